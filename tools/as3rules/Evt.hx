// Events through a display tree on the stage, the display list's own events, frame events
// over several frames, Stage settings and measured drawings. Compare with --frames 4.
import flash.display.DisplayObject;
import flash.display.DisplayObjectContainer;
import flash.display.Shape;
import flash.display.Sprite;
import flash.events.Event;

class Evt {
	static var log:Array<String> = [];

	static function sprite(name:String):Sprite {
		var s = new Sprite();
		s.name = name;
		return s;
	}

	// root > a > b > c, a hanging from the stage's root when `onStage`.
	static function chain(onStage:Bool):Array<Sprite> {
		var a = sprite("a"), b = sprite("b"), c = sprite("c");
		a.addChild(b);
		b.addChild(c);
		if (onStage)
			flash.Lib.current.addChild(a);
		return [a, b, c];
	}

	static function note(tag:String):Dynamic->Void {
		return function(e:Dynamic) log.push(tag + ":" + e.currentTarget.name + "/" + e.target.name + "/" + e.eventPhase);
	}

	static function flush():String {
		var s = log.join(" ");
		log = [];
		return s;
	}

	static function drop(a:Sprite) {
		if (a.parent != null)
			a.parent.removeChild(a);
	}

	static function main() {
		var root = flash.Lib.current;
		// Phases
		for (bubbles in [true, false]) {
			R.run("phases bubbles=" + bubbles, function() {
				var t = chain(true);
				for (s in t) {
					s.addEventListener("x", note("C"), true);
					s.addEventListener("x", note("B"));
				}
				t[2].dispatchEvent(new Event("x", bubbles));
				drop(t[0]);
				return flush();
			});
		}
		R.run("phases at the stage", function() {
			var t = chain(true);
			var f = note("S");
			root.stage.addEventListener("x", f, true);
			root.stage.addEventListener("x", f);
			root.addEventListener("x", note("R"));
			t[1].dispatchEvent(new Event("x", true));
			root.stage.removeEventListener("x", f, true);
			root.stage.removeEventListener("x", f);
			drop(t[0]);
			return flush();
		});
		R.run("capture priorities", function() {
			var t = chain(false);
			t[0].addEventListener("x", note("c0"), true, 0);
			t[0].addEventListener("x", note("c9"), true, 9);
			t[0].addEventListener("x", note("b9"), false, 9);
			t[2].addEventListener("x", note("t-1"), true, -1);
			t[2].addEventListener("x", note("t5"), false, 5);
			t[2].dispatchEvent(new Event("x", true));
			return flush();
		});
		R.run("same listener capture and not", function() {
			var t = chain(false);
			var f = note("f");
			t[0].addEventListener("x", f, true);
			t[0].addEventListener("x", f, false);
			t[0].addEventListener("x", f, false, 7);
			t[2].dispatchEvent(new Event("x", true));
			t[0].removeEventListener("x", f);
			t[2].dispatchEvent(new Event("x", true));
			return flush();
		});
		R.run("stopPropagation in capture", function() {
			var t = chain(false);
			t[0].addEventListener("x", function(e:Event) {
				log.push("a1");
				e.stopPropagation();
			}, true);
			t[0].addEventListener("x", note("a2"), true);
			t[1].addEventListener("x", note("b"), true);
			t[2].addEventListener("x", note("c"));
			t[2].dispatchEvent(new Event("x", true));
			return flush();
		});
		R.run("stopImmediatePropagation at target", function() {
			var t = chain(false);
			t[2].addEventListener("x", function(e:Event) {
				log.push("c1");
				e.stopImmediatePropagation();
				log.push(Std.string(e.isDefaultPrevented()));
			});
			t[2].addEventListener("x", note("c2"));
			t[1].addEventListener("x", note("b"));
			var r = t[2].dispatchEvent(new Event("x", true, true));
			return flush() + " " + r;
		});
		R.run("stop both then bubble", function() {
			var t = chain(false);
			t[1].addEventListener("x", function(e:Event) {
				e.stopImmediatePropagation();
				e.stopPropagation();
				log.push("b1");
			});
			t[1].addEventListener("x", note("b2"));
			t[0].addEventListener("x", note("a"));
			t[2].dispatchEvent(new Event("x", true));
			return flush();
		});
		R.run("listener added further along", function() {
			var t = chain(false);
			t[0].addEventListener("x", function(e:Event) {
				log.push("a");
				t[1].addEventListener("x", note("late-b"));
				t[0].addEventListener("x", note("late-a"));
			});
			t[2].dispatchEvent(new Event("x", true));
			return flush();
		});
		R.run("listener removed further along", function() {
			var t = chain(false);
			var gone = note("gone");
			t[2].addEventListener("x", function(e:Event) {
				log.push("c");
				t[0].removeEventListener("x", gone);
			});
			t[0].addEventListener("x", gone);
			t[2].dispatchEvent(new Event("x", true));
			return flush();
		});
		R.run("path fixed at dispatch", function() {
			var t = chain(false);
			var other = sprite("o");
			other.addEventListener("x", note("o"));
			t[0].addEventListener("x", note("a"));
			t[2].addEventListener("x", function(e:Event) {
				log.push("c");
				other.addChild(t[2]);
			});
			t[2].dispatchEvent(new Event("x", true));
			return flush();
		});
		R.run("event after dispatch", function() {
			var t = chain(false);
			var seen:Event = null;
			t[1].addEventListener("x", function(e:Event) seen = e);
			var e = new Event("x", true, true);
			t[2].dispatchEvent(e);
			return R.str(seen == e) + " " + R.str(e.target == t[2]) + " " + R.str(e.currentTarget) + " " + e.eventPhase + " " + e.bubbles;
		});
		R.run("preventDefault answer", function() {
			var t = chain(false);
			t[1].addEventListener("x", function(e:Event) e.preventDefault());
			var a = t[2].dispatchEvent(new Event("x", true, true));
			var b = t[2].dispatchEvent(new Event("x", true, false));
			return a + " " + b;
		});
		R.run("willTrigger/hasEventListener capture", function() {
			var t = chain(false);
			t[0].addEventListener("x", note("a"), true);
			return t[2].willTrigger("x") + " " + t[2].hasEventListener("x") + " " + t[0].hasEventListener("x") + " " + t[0].willTrigger("x") + " " + t[1].willTrigger("y");
		});
		R.run("custom event clone on redispatch", function() {
			var t = chain(false);
			t[1].addEventListener("k", function(e:Event) {
				log.push(Type.getClassName(Type.getClass(e)) + " " + (untyped e.extra));
				if (e.currentTarget == t[1] && e.target == t[2])
					t[0].dispatchEvent(e);
			});
			t[0].addEventListener("k", note("a"));
			t[2].dispatchEvent(new Custom("k", 5));
			return flush();
		});
		R.run("Event clone and toString", function() {
			var e = new Custom("k", 3);
			var c:Dynamic = e.clone();
			return R.str(c) + " " + R.str(c.extra) + " " + R.str(new Event("y", true, true).clone());
		});
		// The display list's events
		var kinds = ["added", "addedToStage", "removed", "removedFromStage"];
		function watch(objs:Array<Sprite>) {
			for (o in objs)
				for (k in kinds) {
					o.addEventListener(k, function(e:Event) log.push(k + ":" + o.name + "<" + e.target.name + "." + e.eventPhase));
					o.addEventListener(k, function(e:Event) log.push("cap-" + k + ":" + o.name + "<" + e.target.name), true);
				}
		}
		R.run("add subtree to stage", function() {
			var t = chain(false);
			watch(t);
			root.addChild(t[0]);
			var r = flush();
			drop(t[0]);
			return r;
		});
		R.run("remove subtree from stage", function() {
			var t = chain(true);
			watch(t);
			root.removeChild(t[0]);
			return flush();
		});
		R.run("add subtree off stage", function() {
			var t = chain(false);
			var p = sprite("p");
			watch(t.concat([p]));
			p.addChild(t[0]);
			return flush();
		});
		R.run("reparent on stage", function() {
			var t = chain(true);
			var p = sprite("p");
			root.addChild(p);
			watch(t.concat([p]));
			p.addChild(t[1]);
			var r = flush();
			drop(t[0]);
			drop(p);
			return r;
		});
		R.run("re-add to same parent", function() {
			var t = chain(true);
			var d = sprite("d");
			t[0].addChild(d);
			watch(t.concat([d]));
			t[0].addChild(t[1]);
			t[0].addChildAt(d, 0);
			t[0].setChildIndex(d, 1);
			t[0].swapChildren(d, t[1]);
			var r = flush() + " " + t[0].getChildIndex(d);
			drop(t[0]);
			return r;
		});
		R.run("removeChildren events", function() {
			var t = chain(true);
			var d = sprite("d");
			t[0].addChild(d);
			watch(t.concat([d]));
			(t[0] : Dynamic).removeChildren();
			var r = flush();
			drop(t[0]);
			return r;
		});
		R.run("remove in removed listener", function() {
			var t = chain(true);
			t[1].addEventListener("removedFromStage", function(e:Event) {
				log.push("rfs " + R.str(t[1].stage != null) + " " + R.str(t[1].parent != null));
			});
			t[1].addEventListener("removed", function(e:Event) {
				log.push("removed " + R.str(t[1].stage != null) + " " + R.str(t[1].parent != null));
			});
			t[0].removeChild(t[1]);
			drop(t[0]);
			return flush();
		});
		R.run("added sees parent and stage", function() {
			var t = chain(false);
			t[1].addEventListener("added", function(e:Event) log.push("added " + R.str(t[1].parent != null) + " " + R.str(t[1].stage != null)));
			t[2].addEventListener("addedToStage", function(e:Event) log.push("ats " + R.str(t[2].stage != null) + " " + t[0].numChildren));
			root.addChild(t[0]);
			drop(t[0]);
			return flush();
		});
		// Names of what the timeline made
		R.run("root name", function() return root.name);
		R.run("rename root", function() {
			root.name = "x";
			return root.name;
		});
		R.run("stage name", function() return R.str(root.stage.name));
		R.run("rename stage", function() {
			root.stage.name = "s";
			return R.str(root.stage.name);
		});
		R.run("root loaderInfo", function() return R.str(root.loaderInfo != null) + " " + R.str(sprite("q").loaderInfo) + " " + R.str(chain(true)[2].loaderInfo == root.loaderInfo));
		R.run("stage root/parent", function() return R.str(root.stage.root == root.stage) + " " + R.str(root.stage.parent) + " " + R.str(root.root == root) + " " + R.str(root.parent == root.stage));
		// Stage settings
		var st = root.stage;
		R.run("stage defaults", function() return st.scaleMode + " " + st.align + " " + st.stageWidth + " " + st.stageHeight + " " + st.frameRate + " " + R.str(st.focus) + " " + st.quality);
		for (v in ["noScale", "NOSCALE", "exactFit", "bogus", ""]) {
			R.run("scaleMode=" + v, function() {
				var d:Dynamic = st;
				d.scaleMode = v;
				var r = st.scaleMode;
				st.scaleMode = flash.display.StageScaleMode.SHOW_ALL;
				return r;
			});
		}
		for (v in ["T", "TL", "LT", "BR", "bogus", "tl", "RB", ""]) {
			R.run("align=" + v, function() {
				var d:Dynamic = st;
				d.align = v;
				var r = st.align;
				d.align = "";
				return r;
			});
		}
		var rates:Array<Dynamic> = [0, 0.001, 0.5, 12, 1000, 2000, -5, Math.NaN, "7"];
		for (v in rates) {
			R.run("frameRate=" + R.str(v), function() {
				var d:Dynamic = st;
				d.frameRate = v;
				var r = st.frameRate;
				st.frameRate = 30;
				return r;
			});
		}
		for (v in ["low", "MEDIUM", "best", "bogus", "16x16"]) {
			R.run("quality=" + v, function() {
				var d:Dynamic = st;
				d.quality = v;
				var r = st.quality;
				d.quality = "high";
				return r;
			});
		}
		R.run("stage width/x", function() {
			var d:Dynamic = st;
			return R.str(d.x) + " " + R.str(d.scaleX) + " " + R.str(d.mouseChildren) + " " + R.str(d.numChildren);
		});
		R.run("stage.x = 5", function() {
			var d:Dynamic = st;
			d.x = 5;
			return R.str(d.x);
		});
		R.run("focus = sprite", function() {
			var s = sprite("f");
			root.addChild(s);
			st.focus = s;
			var r = R.str(st.focus == s);
			st.focus = null;
			drop(s);
			return r + " " + R.str(st.focus);
		});
		// Measured drawings
		var shapes:Array<Dynamic> = [
			["rect", function(g:Dynamic) g.drawRect(0, 0, 10, 10)],
			["rect stroke 4", function(g:Dynamic) {
				g.lineStyle(4);
				g.drawRect(0, 0, 10, 10);
			}],
			["rect stroke 0", function(g:Dynamic) {
				g.lineStyle(0);
				g.drawRect(0, 0, 10, 10);
			}],
			["rect stroke 300", function(g:Dynamic) {
				g.lineStyle(300);
				g.drawRect(0, 0, 10, 10);
			}],
			["line square caps", function(g:Dynamic) {
				g.lineStyle(10, 0, 1, false, "normal", "square");
				g.moveTo(0, 0);
				g.lineTo(20, 0);
			}],
			["line no caps", function(g:Dynamic) {
				g.lineStyle(10, 0, 1, false, "normal", "none");
				g.moveTo(0, 0);
				g.lineTo(20, 0);
			}],
			["line miter", function(g:Dynamic) {
				g.lineStyle(10, 0, 1, false, "normal", "none", "miter", 10);
				g.moveTo(0, 0);
				g.lineTo(20, 0);
				g.lineTo(0, 5);
			}],
			["curve", function(g:Dynamic) {
				g.beginFill(0);
				g.moveTo(0, 0);
				g.curveTo(50, 100, 100, 0);
			}],
			["curve stroked", function(g:Dynamic) {
				g.lineStyle(2);
				g.moveTo(0, 0);
				g.curveTo(50, 100, 100, 0);
			}],
			["circle", function(g:Dynamic) g.drawCircle(5, 5, 10)],
			["ellipse", function(g:Dynamic) g.drawEllipse(1, 2, 30, 10)],
			["roundRect", function(g:Dynamic) g.drawRoundRect(0, 0, 20, 10, 5)],
			["moveTo only", function(g:Dynamic) g.moveTo(50, 50)],
			["lineTo from origin", function(g:Dynamic) g.lineTo(10, 20)],
			["negative rect", function(g:Dynamic) g.drawRect(10, 10, -5, -5)],
			["fill no stroke after clear", function(g:Dynamic) {
				g.lineStyle(8);
				g.drawRect(0, 0, 1, 1);
				g.clear();
				g.beginFill(0);
				g.drawRect(2, 3, 4, 5);
			}],
			["lineStyle() off", function(g:Dynamic) {
				g.lineStyle(8);
				g.moveTo(0, 0);
				g.lineTo(10, 0);
				g.lineStyle();
				g.lineTo(10, 40);
			}],
		];
		for (sh in shapes) {
			R.run("bounds " + sh[0], function() {
				var s = new Shape();
				sh[1](s.graphics);
				return R.str(s.getBounds(s)) + " " + R.str(s.getRect(s)) + " " + s.width + "x" + s.height;
			});
			R.run("bounds scaled rotated " + sh[0], function() {
				var p = sprite("p");
				var s = new Shape();
				p.addChild(s);
				sh[1](s.graphics);
				s.scaleX = 2;
				s.rotation = 30;
				s.x = 3;
				return R.str(s.getBounds(p)) + " " + R.str(s.getRect(p)) + " " + s.width + "x" + s.height + " " + R.str(p.getBounds(s));
			});
		}
		// Points
		R.run("localToGlobal on stage", function() {
			var t = chain(true);
			t[0].x = 10;
			t[1].scaleY = -2;
			t[2].rotation = 90;
			var g = t[2].localToGlobal(new flash.geom.Point(1, 2));
			var l = t[2].globalToLocal(g);
			drop(t[0]);
			return R.str(g) + " " + R.str(l);
		});
		R.run("hitTestPoint", function() {
			var t = chain(true);
			t[2].graphics.beginFill(0);
			t[2].graphics.drawCircle(50, 50, 10);
			t[0].x = 100;
			var r = [t[2].hitTestPoint(150, 50), t[2].hitTestPoint(150, 50, true), t[2].hitTestPoint(142, 42), t[2].hitTestPoint(142, 42, true), t[2].hitTestPoint(50, 50)];
			drop(t[0]);
			return r.join(",");
		});
		R.run("hitTestPoint off stage", function() {
			var s = sprite("s");
			s.graphics.beginFill(0);
			s.graphics.drawRect(0, 0, 10, 10);
			return s.hitTestPoint(5, 5) + " " + s.hitTestPoint(5, 5, true);
		});
		R.run("hitTestObject", function() {
			var a = sprite("a"), b = sprite("b"), c = sprite("c");
			for (s in [a, b, c]) {
				s.graphics.beginFill(0);
				s.graphics.drawRect(0, 0, 10, 10);
			}
			b.x = 10;
			c.x = 9.95;
			return a.hitTestObject(b) + " " + a.hitTestObject(c) + " " + a.hitTestObject(a) + " " + a.hitTestObject(sprite("e"));
		});
		// Frame events across a tree, over the next frames
		var frame = 0;
		var t = chain(true);
		for (k in ["enterFrame", "frameConstructed", "exitFrame", "render"]) {
			for (s in [t[0], t[2]])
				s.addEventListener(k, function(e:Event) log.push(k + ":" + s.name + "." + e.eventPhase + R.str(e.target == s)));
		}
		root.addEventListener("enterFrame", function(e:Event) {
			frame++;
			R.t("frame " + frame + " " + flush());
			if (frame == 3) {
				drop(t[0]);
				st.invalidate();
			}
		});
		R.t("main done " + flush());
	}
}

class Custom extends Event {
	public var extra:Int;

	public function new(type:String, extra:Int) {
		super(type, true);
		this.extra = extra;
	}

	override public function clone():Event {
		return new Custom(type, extra + 100);
	}
}
