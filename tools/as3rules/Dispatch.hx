// EventDispatcher on one object and through a short chain: listeners added or removed at the
// node being served, the same listener again with another priority or phase, weak listeners,
// a dispatcher standing for another target, an event dispatched again from its own listener,
// a listener that throws, and the text of formatToString for every kind of field.
import flash.display.Sprite;
import flash.events.Event;
import flash.events.EventDispatcher;

class Dispatch {
	static var log:Array<String> = [];

	static function note(tag:String):Dynamic->Void {
		return function(e:Dynamic) log.push(tag + (e.eventPhase == 2 ? "" : "@" + e.eventPhase));
	}

	static function flush():String {
		var s = log.join(" ");
		log = [];
		return s;
	}

	static function pair():Array<Sprite> {
		var a = new Sprite(), b = new Sprite();
		a.name = "a";
		b.name = "b";
		a.addChild(b);
		return [a, b];
	}

	static function main() {
		R.run("added at the node being served", function() {
			var d = new EventDispatcher();
			d.addEventListener("x", function(e) {
				log.push("first");
				d.addEventListener("x", note("late"));
				d.addEventListener("x", note("late-high"), false, 10);
			});
			d.dispatchEvent(new Event("x"));
			log.push("|");
			d.dispatchEvent(new Event("x"));
			return flush();
		});
		R.run("removed at the node being served", function() {
			var d = new EventDispatcher();
			var second = note("second");
			d.addEventListener("x", function(e) {
				log.push("first");
				d.removeEventListener("x", second);
			});
			d.addEventListener("x", second);
			d.dispatchEvent(new Event("x"));
			log.push("|");
			d.dispatchEvent(new Event("x"));
			return flush();
		});
		R.run("removes itself", function() {
			var d = new EventDispatcher();
			var self:Dynamic->Void = null;
			self = function(e) {
				log.push("self");
				d.removeEventListener("x", self);
			};
			d.addEventListener("x", self);
			d.addEventListener("x", note("after"));
			d.dispatchEvent(new Event("x"));
			d.dispatchEvent(new Event("x"));
			return flush() + " " + d.hasEventListener("x");
		});
		for (p in [[0, 5], [5, 0], [-3, -3]])
			R.run("added again with priority " + p[0] + " then " + p[1], function() {
				var d = new EventDispatcher();
				var f = note("f");
				d.addEventListener("x", f, false, p[0]);
				d.addEventListener("x", note("mid"), false, 1);
				d.addEventListener("x", f, false, p[1]);
				d.dispatchEvent(new Event("x"));
				return flush();
			});
		R.run("priorities mixed", function() {
			var d = new EventDispatcher();
			for (p in [0, 3, -1, 3, 2147483647, -2147483648, 0])
				d.addEventListener("x", note("p" + p), false, p);
			d.dispatchEvent(new Event("x"));
			return flush();
		});
		R.run("remove with the other phase", function() {
			var t = pair();
			var f = note("f");
			t[0].addEventListener("x", f, true);
			t[0].addEventListener("x", f, false);
			t[0].removeEventListener("x", f, false);
			t[1].dispatchEvent(new Event("x", true));
			var r = flush() + " " + t[0].hasEventListener("x");
			t[0].removeEventListener("x", f, true);
			return r + " " + t[0].hasEventListener("x");
		});
		R.run("capture listener at the target", function() {
			var d = new Sprite();
			d.addEventListener("x", note("cap"), true);
			d.addEventListener("x", note("plain"));
			d.dispatchEvent(new Event("x", true));
			return flush() + " " + d.hasEventListener("x") + " " + d.willTrigger("x");
		});
		R.run("weak listeners", function() {
			var d = new EventDispatcher();
			d.addEventListener("x", note("weak"), false, 0, true);
			d.addEventListener("x", note("strong"), false, 0, false);
			d.dispatchEvent(new Event("x"));
			return flush() + " " + d.hasEventListener("x");
		});
		R.run("dispatcher for another target", function() {
			var target = new Sprite();
			target.name = "t";
			var d = new EventDispatcher(target);
			var seen = "";
			d.addEventListener("x", function(e:Event) seen = R.str(e.target == target) + " " + R.str(e.currentTarget == target));
			target.addEventListener("x", note("on-target"));
			var r = d.dispatchEvent(new Event("x", true, true));
			return seen + " " + r + " " + flush();
		});
		R.run("event dispatched again from its listener", function() {
			var d = new EventDispatcher(), other = new EventDispatcher();
			var e = new Event("x", false, true);
			other.addEventListener("x", function(e2:Event) log.push("other same=" + (e2 == e) + " prevented=" + e2.isDefaultPrevented()));
			d.addEventListener("x", function(e1:Event) {
				e1.preventDefault();
				log.push("d");
				other.dispatchEvent(e1);
				log.push("back target=" + (e1.target == d) + " current=" + (e1.currentTarget == d));
			});
			var r = d.dispatchEvent(e);
			return flush() + " " + r;
		});
		R.run("an event dispatched twice", function() {
			var d = new EventDispatcher();
			var seen:Array<Event> = [];
			d.addEventListener("x", function(e:Event) seen.push(e));
			var e = new Event("x");
			d.dispatchEvent(e);
			d.dispatchEvent(e);
			return R.str(seen[0] == e) + " " + R.str(seen[1] == e) + " " + R.str(seen[0] == seen[1]);
		});
		R.run("a listener throws", function() {
			var d = new EventDispatcher();
			d.addEventListener("x", function(e) {
				log.push("one");
				throw new flash.errors.Error("boom");
			});
			d.addEventListener("x", note("two"));
			var r = "";
			try {
				d.dispatchEvent(new Event("x"));
				r = "returned";
			} catch (err:flash.errors.Error) {
				r = "threw " + err.message;
			}
			return r + " " + flush();
		});
		R.run("preventDefault not cancelable", function() {
			var d = new EventDispatcher();
			d.addEventListener("x", function(e:Event) {
				e.preventDefault();
				log.push("in " + e.isDefaultPrevented());
			});
			var r = d.dispatchEvent(new Event("x", false, false));
			return flush() + " " + r;
		});
		R.run("stop in capture at the top", function() {
			var t = pair();
			t[0].addEventListener("x", function(e:Event) {
				e.stopPropagation();
				log.push("cap-a");
			}, true);
			t[0].addEventListener("x", note("cap-a2"), true);
			t[1].addEventListener("x", note("b"));
			t[0].addEventListener("x", note("a"));
			t[1].dispatchEvent(new Event("x", true));
			return flush();
		});
		R.run("removed from its parent during capture", function() {
			var t = pair();
			t[0].addEventListener("x", function(e:Event) {
				t[0].removeChild(t[1]);
				log.push("cap-a");
			}, true);
			t[1].addEventListener("x", note("b"));
			t[0].addEventListener("x", note("a"));
			t[1].dispatchEvent(new Event("x", true));
			return flush();
		});
		R.run("no type", function() {
			var d = new EventDispatcher();
			d.addEventListener("", note("empty"));
			d.dispatchEvent(new Event(""));
			return flush();
		});
		R.run("addEventListener(null)", function() {
			new EventDispatcher().addEventListener("x", null);
			return "ok";
		});
		R.run("removeEventListener unknown", function() {
			new EventDispatcher().removeEventListener("x", note("n"));
			return "ok";
		});
		R.run("dispatchEvent(null)", function() return new EventDispatcher().dispatchEvent(null));
		var fields:Array<Dynamic> = ["type", "bubbles", "cancelable", "eventPhase", "target", "currentTarget", "missing"];
		R.run("formatToString fields", function() {
			var e:Dynamic = new Event("y", true);
			return e.formatToString.apply(e, (["Name"] : Array<Dynamic>).concat(fields));
		});
		R.run("formatToString none", function() return new Event("y").formatToString("Only"));
		R.run("formatToString of a subclass", function() {
			var e:Dynamic = new flash.events.MouseEvent("click", true, false, 1.5, 2);
			return e.formatToString("M", "localX", "delta", "ctrlKey", "relatedObject");
		});
		R.run("formatToString strings", function() {
			var e:Dynamic = new flash.events.TextEvent("textInput", false, false, "a\"b");
			return e.formatToString("T", "text", "type");
		});
		R.run("toString after dispatch", function() {
			var d = new Sprite();
			var e = new Event("z", true, true);
			d.dispatchEvent(e);
			return R.str(e);
		});
	}
}
