// Errors no script catches: the uncaughtError event on the movie's uncaughtErrorEvents, from a
// timer, an event listener and a frame's listener, and what preventDefault leaves out.
class Uncaught {
	static var step = 0;

	static function main() {
		var root:Dynamic = flash.Lib.current;
		var events:Dynamic = root.loaderInfo.uncaughtErrorEvents;
		R.t("same object " + (events == root.loaderInfo.uncaughtErrorEvents));
		R.t("class " + untyped __global__["flash.utils.getQualifiedClassName"](events));
		events.addEventListener("uncaughtError", function(e:Dynamic) {
			var err:Dynamic = e.error;
			var text:String = untyped __global__["String"](err);
			R.t("uncaught: " + text + " type=" + e.type + " bubbles=" + e.bubbles + " cancelable=" + e.cancelable
				+ " phase=" + e.eventPhase + " target=" + (e.target == events) + " errorID=" + e.errorID);
			if (text.indexOf("prevent") >= 0)
				e.preventDefault();
			if (text.indexOf("rethrow") >= 0)
				throw untyped __new__(untyped __global__["Error"], "from the listener");
		});
		var d:Dynamic = untyped __new__(untyped __global__["flash.events.EventDispatcher"]);
		d.addEventListener("x", function(e:Dynamic) {
			throw untyped __new__(untyped __global__["Error"], "listener prevent");
		});
		d.addEventListener("y", function(e:Dynamic) {
			throw untyped __new__(untyped __global__["RangeError"], "listener shown");
		});
		d.addEventListener("z", function(e:Dynamic) {
			throw "a string prevent";
		});
		d.addEventListener("w", function(e:Dynamic) {
			throw untyped __new__(untyped __global__["Error"], "rethrow", 42);
		});
		var setTimeout:Dynamic = untyped __global__["flash.utils.setTimeout"];
		setTimeout(function() {
			throw untyped __new__(untyped __global__["Error"], "timer prevent");
		}, 1);
		setTimeout(function() {
			throw untyped __new__(untyped __global__["TypeError"], "timer shown");
		}, 2);
		root.addEventListener("enterFrame", function(e:Dynamic) {
			step++;
			R.t("frame " + step);
			if (step == 2) {
				d.dispatchEvent(untyped __new__(untyped __global__["flash.events.Event"], "x"));
				R.t("after x");
				d.dispatchEvent(untyped __new__(untyped __global__["flash.events.Event"], "y"));
				R.t("after y");
				d.dispatchEvent(untyped __new__(untyped __global__["flash.events.Event"], "z"));
				d.dispatchEvent(untyped __new__(untyped __global__["flash.events.Event"], "w"));
				R.t("after w");
			}
			if (step == 3)
				throw untyped __new__(untyped __global__["Error"], "frame prevent");
			if (step == 4)
				throw untyped __new__(untyped __global__["Error"], "frame shown");
		});
	}
}
