// The event classes the player's loaders, menus and sound name: each made with no arguments,
// with every argument and with values of the wrong type; its fields, toString and clone; a
// write to a read-only field; and the dispatchers movies hang their error listeners on.
class EvtKinds {
	static function g(n:String):Dynamic {
		return untyped __global__["flash.utils.getDefinitionByName"]("flash.events." + n);
	}

	static function fields(e:Dynamic, names:Array<String>):String {
		var s = [];
		for (n in names)
			s.push(n + "=" + R.show(Reflect.getProperty(e, n)));
		return s.join(" ");
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var table:Array<Array<Dynamic>> = [
			["HTTPStatusEvent", ["status", "redirected", "responseURL", "responseHeaders"], [404, true], ["7.9", 0]],
			["DataEvent", ["data", "text"], ["payload"], [null]],
			["SampleDataEvent", ["position", "data"], [12.5, null], ["x", u]],
			["ContextMenuEvent", ["mouseTarget", "contextMenuOwner", "isMouseTargetInaccessible"], [null, null], [u, u]],
			["SyncEvent", ["changeList"], [[1, 2]], [u]],
			["UncaughtErrorEvent", ["error", "text", "errorID"], ["boom"], [u]],
			["GestureEvent", ["phase", "localX", "localY", "stageX"], ["begin", 4.5], [u, "x"]],
			["TransformGestureEvent", ["phase", "localX", "scaleX", "scaleY", "rotation", "offsetX"], ["update", 2], [null, u]],
			["TouchEvent", ["touchPointID", "isPrimaryTouchPoint", "localX", "sizeX", "pressure", "relatedObject"], [7.5, 1], ["x", u]],
		];
		for (row in table) {
			var name:String = row[0];
			var names:Array<String> = row[1];
			var C:Dynamic = null;
			try {
				C = g(name);
			} catch (e:flash.errors.Error) {
				R.t(name + " " + R.err(e));
				continue;
			}
			R.run(name + "()", function() {
				var e:Dynamic = untyped __new__(C);
				return R.str(e) + " " + fields(e, names);
			});
			var cases:Array<Array<Dynamic>> = [row[2], row[3]];
			for (extra in cases) {
				R.run(name + "(t, true, true, " + extra.join(",") + ")", function() {
					var args:Array<Dynamic> = ["t", true, true];
					for (x in extra)
						args.push(x);
					var e:Dynamic = switch (args.length) {
						case 4: untyped __new__(C, args[0], args[1], args[2], args[3]);
						default: untyped __new__(C, args[0], args[1], args[2], args[3], args[4]);
					};
					var c:Dynamic = e.clone();
					return R.str(e) + " " + fields(e, names) + " | clone " + R.str(c) + " " + fields(c, names);
				});
			}
			for (n in names)
				R.run(name + "." + n + " = 3", function() {
					var e:Dynamic = untyped __new__(C, "t");
					Reflect.setProperty(e, n, 3);
					return Reflect.getProperty(e, n);
				});
			R.run(name + " constants", function() {
				var k = [];
				for (c in ["HTTP_STATUS", "HTTP_RESPONSE_STATUS", "DATA", "UPLOAD_COMPLETE_DATA", "SAMPLE_DATA", "MENU_ITEM_SELECT",
					"MENU_SELECT", "SYNC", "UNCAUGHT_ERROR", "TOUCH_BEGIN", "TOUCH_TAP", "TOUCH_ROLL_OVER", "GESTURE_TWO_FINGER_TAP", "GESTURE_ZOOM", "GESTURE_SWIPE"])
					if (Reflect.field(C, c) != null)
						k.push(c + "=" + Reflect.field(C, c));
				return k.join(" ");
			});
		}
		var mt:Dynamic = untyped __global__["flash.ui.Multitouch"];
		R.run("Multitouch", function() return R.str(mt.supportsTouchEvents) + " " + R.str(mt.supportsGestureEvents) + " "
			+ R.str(mt.maxTouchPoints) + " " + R.str(mt.supportedGestures) + " " + R.str(mt.inputMode));
		for (mode in ["touchPoint", "none", "sideways", "gesture"])
			R.run("Multitouch.inputMode = " + mode, function() {
				mt.inputMode = mode;
				return mt.inputMode;
			});
		var root:Dynamic = flash.Lib.current;
		R.run("loaderInfo.uncaughtErrorEvents", function() {
			var d:Dynamic = root.loaderInfo.uncaughtErrorEvents;
			return R.str(d) + " same " + (d == root.loaderInfo.uncaughtErrorEvents) + " dispatcher "
				+ untyped __is__(d, __global__["flash.events.EventDispatcher"]);
		});
		R.run("loader.uncaughtErrorEvents", function() {
			var l:Dynamic = untyped __new__(__global__["flash.display.Loader"]);
			var d:Dynamic = l.uncaughtErrorEvents;
			return R.str(d) + " same " + (d == l.uncaughtErrorEvents) + " info's " + (d == l.contentLoaderInfo.uncaughtErrorEvents);
		});
	}
}
