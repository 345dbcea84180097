// The display list without a stage, display properties, and events dispatched by hand. Each
// part can be left out (haxe -D s0 ... -D s7) to compare one part alone: the reference player
// stops on the BitmapData part (s5), so compare it with that part left out.
class Disp {
	static function g(n:String):Dynamic {
		return switch (n) {
			case "Sprite": untyped __global__["flash.display.Sprite"];
			case "Shape": untyped __global__["flash.display.Shape"];
			case "MovieClip": untyped __global__["flash.display.MovieClip"];
			case "Event": untyped __global__["flash.events.Event"];
			case "EventDispatcher": untyped __global__["flash.events.EventDispatcher"];
			case "Timer": untyped __global__["flash.utils.Timer"];
			case "TextField": untyped __global__["flash.text.TextField"];
			case "BitmapData": untyped __global__["flash.display.BitmapData"];
			case "Rectangle": untyped __global__["flash.geom.Rectangle"];
			case "Point": untyped __global__["flash.geom.Point"];
			case "sclass": untyped __global__["flash.utils.getQualifiedSuperclassName"];
			default: untyped __global__["flash.utils.getQualifiedClassName"];
		}
	}

	static function names(p:Dynamic):String {
		var s = [];
		for (i in 0...p.numChildren)
			s.push(p.getChildAt(i).name);
		return s.join(",");
	}

	static function tree():Dynamic {
		var p:Dynamic = untyped __new__(g("Sprite"));
		for (n in ["a", "b", "c"]) {
			var c:Dynamic = untyped __new__(g("Shape"));
			c.name = n;
			p.addChild(c);
		}
		return p;
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var nan = Math.NaN;
		var inf = Math.POSITIVE_INFINITY;
		var E:Dynamic = g("Event");
		var T:Dynamic = g("Timer");
		#if !s0
		var idx:Array<Dynamic> = [-1, 0, 2, 3, 4, nan, 1.5, "1", null, u, inf];
		for (i in idx) {
			R.run("getChildAt(" + R.str(i) + ")", function() return tree().getChildAt(i).name);
			R.run("removeChildAt(" + R.str(i) + ")", function() {
				var p:Dynamic = tree();
				var r = p.removeChildAt(i).name;
				return r + " " + names(p);
			});
			R.run("addChildAt(x, " + R.str(i) + ")", function() {
				var p:Dynamic = tree();
				var x:Dynamic = untyped __new__(g("Shape"));
				x.name = "x";
				p.addChildAt(x, i);
				return names(p);
			});
			R.run("setChildIndex(a, " + R.str(i) + ")", function() {
				var p:Dynamic = tree();
				p.setChildIndex(p.getChildAt(0), i);
				return names(p);
			});
			R.run("swapChildrenAt(0, " + R.str(i) + ")", function() {
				var p:Dynamic = tree();
				p.swapChildrenAt(0, i);
				return names(p);
			});
		}
		var rr:Array<Array<Dynamic>> = [[], [1], [0, 1], [1, 5], [2, 1], [-1, 1], [0, 2147483647]];
		for (r in rr) {
			R.run("removeChildren(" + r.join(",") + ")", function() {
				var p:Dynamic = tree();
				var f:Dynamic = p.removeChildren;
				f.apply(p, r);
				return names(p);
			});
		}
		var bad:Array<Dynamic> = [null, u, {}, 5, "a"];
		for (b in bad) {
			for (m in ["addChild", "removeChild", "contains", "getChildIndex"]) {
				R.run(m + "(" + R.str(b) + ")", function() {
					var p:Dynamic = tree();
					var f:Dynamic = Reflect.field(p, m);
					return f.apply(p, [b]);
				});
			}
		}
		R.run("removeChild(stranger)", function() return tree().removeChild(untyped __new__(g("Shape"))));
		R.run("getChildIndex(stranger)", function() return tree().getChildIndex(untyped __new__(g("Shape"))));
		R.run("setChildIndex(stranger)", function() return tree().setChildIndex(untyped __new__(g("Shape")), 0));
		R.run("swapChildren(stranger)", function() {
			var p:Dynamic = tree();
			return p.swapChildren(p.getChildAt(0), untyped __new__(g("Shape")));
		});
		R.run("addChild(self)", function() {
			var p:Dynamic = tree();
			return p.addChild(p);
		});
		R.run("addChild(ancestor)", function() {
			var p:Dynamic = tree();
			var q:Dynamic = untyped __new__(g("Sprite"));
			p.addChild(q);
			return q.addChild(p);
		});
		R.run("contains(self)", function() {
			var p:Dynamic = tree();
			return p.contains(p);
		});
		R.run("contains(grandchild)", function() {
			var p:Dynamic = tree();
			var q:Dynamic = untyped __new__(g("Sprite"));
			var s:Dynamic = untyped __new__(g("Shape"));
			p.addChild(q);
			q.addChild(s);
			return p.contains(s);
		});
		R.run("re-add moves to end", function() {
			var p:Dynamic = tree();
			p.addChild(p.getChildAt(0));
			return names(p);
		});
		R.run("addChildAt same at end", function() {
			var p:Dynamic = tree();
			p.addChildAt(p.getChildAt(0), 3);
			return names(p);
		});
		R.run("getChildByName", function() {
			var p:Dynamic = tree();
			return R.str(p.getChildByName("b").name) + " " + R.str(p.getChildByName("zz")) + " " + R.str(p.getChildByName(null));
		});
		R.run("default names", function() {
			var s:Dynamic = untyped __new__(g("Sprite"));
			var t:Dynamic = untyped __new__(g("Shape"));
			return (s.name.indexOf("instance") == 0) + " " + (t.name.indexOf("instance") == 0);
		});
		R.run("unattached parent/root/stage", function() {
			var s:Dynamic = untyped __new__(g("Sprite"));
			return R.str(s.parent) + " " + R.str(s.root) + " " + R.str(s.stage) + " " + R.str(s.loaderInfo);
		});
		R.run("child root", function() {
			var p:Dynamic = tree();
			var c:Dynamic = p.getChildAt(0);
			return R.str(c.root == p) + " " + R.str(c.parent == p);
		});
		R.run("name = null", function() {
			var s:Dynamic = untyped __new__(g("Sprite"));
			s.name = null;
			return s.name;
		});
		#end
		#if !s1
		// Properties
		var vals:Array<Dynamic> = [nan, inf, -inf, 1e10, -1e10, 0.01, 0.026, 0.074, -3.3, 123.456, 1 / 3, "7", null, u, true];
		for (p in ["x", "y", "z", "scaleX", "scaleY", "rotation", "alpha", "width", "height", "visible", "scrollRect"]) {
			for (v in vals) {
				R.run(p + " = " + R.str(v), function() {
					var s:Dynamic = untyped __new__(g("Sprite"));
					s.graphics.beginFill(0);
					s.graphics.drawRect(0, 0, 10, 20);
					Reflect.setProperty(s, p, v);
					return R.str(Reflect.getProperty(s, p)) + " w " + R.str(s.width) + " sx " + R.str(s.scaleX);
				});
			}
		}
		for (r in [0, 90, 180, 181, 270, 360, 540, -180, -181, 720.5, 45.123456789, 1e9]) {
			R.run("rotation " + R.str(r), function() {
				var s:Dynamic = untyped __new__(g("Sprite"));
				s.rotation = r;
				return R.str(s.rotation) + " " + R.str(s.transform.matrix);
			});
		}
		R.run("matrix round trip", function() {
			var s:Dynamic = untyped __new__(g("Sprite"));
			var M:Dynamic = untyped __global__["flash.geom.Matrix"];
			s.transform.matrix = untyped __new__(M, 2, 0.5, -0.5, 3, 10.123, -7.777);
			return R.str(s.transform.matrix) + " " + R.str(s.x) + " " + R.str(s.scaleX) + " " + R.str(s.scaleY) + " " + R.str(s.rotation);
		});
		R.run("empty getBounds", function() {
			var s:Dynamic = untyped __new__(g("Sprite"));
			return R.str(s.getBounds(s)) + R.str(s.getRect(s)) + R.str(s.width);
		});
		R.run("drawn getBounds", function() {
			var s:Dynamic = untyped __new__(g("Sprite"));
			s.graphics.lineStyle(4);
			s.graphics.drawRect(1, 2, 10, 20);
			s.x = 5;
			return R.str(s.getBounds(s)) + R.str(s.getRect(s)) + R.str(s.width);
		});
		R.run("getBounds(null)", function() {
			var s:Dynamic = untyped __new__(g("Sprite"));
			s.graphics.drawRect(1, 2, 10, 20);
			s.x = 5;
			return R.str(s.getBounds(null));
		});
		R.run("localToGlobal", function() {
			var p:Dynamic = tree();
			p.x = 10;
			p.scaleX = 2;
			var c:Dynamic = p.getChildAt(0);
			c.y = 3;
			return R.str(c.localToGlobal(untyped __new__(g("Point"), 1, 1))) + R.str(c.globalToLocal(untyped __new__(g("Point"), 1, 1)));
		});
		#end
		#if !s2
		// Events

		R.run("Event toString", function() {
			var e:Dynamic = untyped __new__(E, "foo", true, false);
			return R.str(e) + " " + R.str(e.clone()) + " " + e.formatToString("X", "type", "bubbles", "nope");
		});
		R.run("Event defaults", function() {
			var e:Dynamic = untyped __new__(E, null);
			return R.str(e.type) + R.str(e.target) + R.str(e.eventPhase) + R.str(e.currentTarget);
		});
		R.run("preventDefault", function() {
			var e:Dynamic = untyped __new__(E, "x", false, false);
			e.preventDefault();
			var a = e.isDefaultPrevented();
			var e2:Dynamic = untyped __new__(E, "x", false, true);
			e2.preventDefault();
			return R.str(a) + R.str(e2.isDefaultPrevented());
		});
		R.run("priority order", function() {
			var d:Dynamic = untyped __new__(g("EventDispatcher"));
			var log = [];
			d.addEventListener("x", function(e) log.push("a0"));
			d.addEventListener("x", function(e) log.push("b5"), false, 5);
			d.addEventListener("x", function(e) log.push("c0"));
			d.addEventListener("x", function(e) log.push("d-1"), false, -1);
			d.addEventListener("x", function(e) log.push("e5"), false, 5);
			var r = d.dispatchEvent(untyped __new__(E, "x"));
			return log.join(",") + " " + R.str(r);
		});
		R.run("remove during dispatch", function() {
			var d:Dynamic = untyped __new__(g("EventDispatcher"));
			var log = [];
			var second:Dynamic = null;
			d.addEventListener("x", function(e) {
				log.push("1");
				d.removeEventListener("x", second);
				d.addEventListener("x", function(e) log.push("late"));
			});
			second = function(e) log.push("2");
			d.addEventListener("x", second);
			d.dispatchEvent(untyped __new__(E, "x"));
			d.dispatchEvent(untyped __new__(E, "x"));
			return log.join(",");
		});
		R.run("bubble unattached", function() {
			var p:Dynamic = tree();
			var c:Dynamic = p.getChildAt(1);
			var log = [];
			var f = function(e:Dynamic) log.push(R.str(e.currentTarget.name == null ? "?" : "n") + e.eventPhase + (e.target == c));
			p.addEventListener("x", f, true);
			p.addEventListener("x", f);
			c.addEventListener("x", f, true);
			c.addEventListener("x", f);
			c.dispatchEvent(untyped __new__(E, "x", true));
			c.dispatchEvent(untyped __new__(E, "x", false));
			return log.join(",");
		});
		R.run("stopPropagation vs Immediate", function() {
			var p:Dynamic = tree();
			var c:Dynamic = p.getChildAt(1);
			var log = [];
			c.addEventListener("x", function(e) {
				log.push("c1");
				e.stopPropagation();
			});
			c.addEventListener("x", function(e) log.push("c2"));
			p.addEventListener("x", function(e) log.push("p"));
			c.dispatchEvent(untyped __new__(E, "x", true));
			c.removeEventListener("x", null);
			var q:Dynamic = tree();
			var d:Dynamic = q.getChildAt(0);
			d.addEventListener("x", function(e) {
				log.push("d1");
				e.stopImmediatePropagation();
			});
			d.addEventListener("x", function(e) log.push("d2"));
			d.dispatchEvent(untyped __new__(E, "x", true));
			return log.join(",");
		});
		R.run("redispatch clones", function() {
			var d:Dynamic = untyped __new__(g("EventDispatcher"));
			var seen = [];
			d.addEventListener("x", function(e) seen.push(e));
			var e:Dynamic = untyped __new__(E, "x");
			d.dispatchEvent(e);
			d.dispatchEvent(e);
			return R.str(seen[0] == seen[1]) + " " + R.str(seen[0] == e) + " " + R.str(e.target == d);
		});
		R.run("willTrigger/hasEventListener", function() {
			var p:Dynamic = tree();
			var c:Dynamic = p.getChildAt(0);
			p.addEventListener("x", function(e) {});
			return R.str(c.hasEventListener("x")) + R.str(c.willTrigger("x")) + R.str(p.hasEventListener("x")) + R.str(p.willTrigger("y"));
		});
		R.run("dispatchEvent(null)", function() return untyped __new__(g("EventDispatcher")).dispatchEvent(null));
		R.run("addEventListener(null)", function() return untyped __new__(g("EventDispatcher")).addEventListener(null, function(e) {}));
		R.run("addEventListener(x, null)", function() return untyped __new__(g("EventDispatcher")).addEventListener("x", null));
		#end
		#if !s3
		// Timer

		for (dl in [-1, 0, 0.5, 100, nan, inf]) {
			R.run("Timer(" + R.str(dl) + ")", function() {
				var t:Dynamic = untyped __new__(T, dl);
				return R.str(t.delay) + " " + R.str(t.repeatCount) + " " + R.str(t.running) + " " + R.str(t.currentCount);
			});
			R.run("Timer.delay=" + R.str(dl), function() {
				var t:Dynamic = untyped __new__(T, 10, -3);
				t.delay = dl;
				return R.str(t.delay) + " " + R.str(t.repeatCount);
			});
		}
		R.run("Timer start/stop/reset", function() {
			var t:Dynamic = untyped __new__(T, 1000, 2);
			t.start();
			var a = R.str(t.running);
			t.stop();
			t.reset();
			return a + R.str(t.running) + R.str(t.currentCount);
		});
		#end
		#if !s4
		// TextField
		var TF:Dynamic = g("TextField");
		var texts:Array<Dynamic> = ["a\rb", "a\nb", "a\r\nb", "", "<b>x</b>", "a&amp;b", null];
		for (tx in texts) {
			R.run("text=" + R.str(tx), function() {
				var t:Dynamic = untyped __new__(TF);
				t.text = tx;
				return R.oneLine(R.str(t.text)) + " len " + R.str(t.length) + " lines " + R.str(t.numLines);
			});
			R.run("htmlText of text=" + R.str(tx), function() {
				var t:Dynamic = untyped __new__(TF);
				t.text = tx;
				return R.oneLine(t.htmlText);
			});
		}
		R.run("maxChars/restrict", function() {
			var t:Dynamic = untyped __new__(TF);
			t.maxChars = 3;
			t.restrict = "a-c";
			t.text = "abcdef";
			var r1 = R.str(t.text);
			t.maxChars = -1;
			t.restrict = "";
			return r1 + " " + R.str(t.maxChars) + " " + R.str(t.restrict);
		});
		R.run("defaultTextFormat", function() {
			var t:Dynamic = untyped __new__(TF);
			var f:Dynamic = t.defaultTextFormat;
			return R.str(f.font) + " " + R.str(f.size) + " " + R.str(f.color) + " " + R.str(f.bold) + " " + R.str(f.align) + " " + R.str(f.leading);
		});
		#end
		#if !s5
		// BitmapData
		var BD:Dynamic = g("BitmapData");
		R.run("BitmapData pixels", function() {
			var b:Dynamic = untyped __new__(BD, 4, 4, true, 0x80FF8040);
			var o:Dynamic = untyped __new__(BD, 4, 4, false, 0x80FF8040);
			var r = [R.str(b.getPixel32(0, 0)), R.str(b.getPixel(0, 0)), R.str(o.getPixel32(0, 0)), R.str(b.getPixel32(-1, 0)), R.str(b.getPixel32(4, 0))];
			b.setPixel32(1, 1, 0x33123456);
			r.push(StringTools.hex(b.getPixel32(1, 1)));
			b.setPixel32(10, 10, 0xFFFFFFFF);
			b.setPixel(2, 2, 0x123456);
			r.push(StringTools.hex(b.getPixel32(2, 2)));
			o.setPixel32(1, 1, 0x33123456);
			r.push(StringTools.hex(o.getPixel32(1, 1)));
			return r.join(" ");
		});
		R.run("BitmapData bad size", function() return untyped __new__(BD, 0, 4));
		R.run("BitmapData dispose", function() {
			var b:Dynamic = untyped __new__(BD, 4, 4);
			b.dispose();
			return b.width;
		});
		R.run("BitmapData disposed getPixel", function() {
			var b:Dynamic = untyped __new__(BD, 4, 4);
			b.dispose();
			return b.getPixel(0, 0);
		});
		R.run("BitmapData compare", function() {
			var b:Dynamic = untyped __new__(BD, 4, 4, true, 0);
			var c:Dynamic = untyped __new__(BD, 4, 4, true, 0);
			var d:Dynamic = untyped __new__(BD, 3, 4, true, 0);
			return R.str(b.compare(c)) + " " + R.str(b.compare(d)) + " " + R.str(b.compare(b));
		});
		R.run("BitmapData threshold count", function() {
			var b:Dynamic = untyped __new__(BD, 4, 4, true, 0xFF102030);
			b.setPixel32(0, 0, 0xFF000000);
			var src:Dynamic = b.clone();
			return b.threshold(src, b.rect, untyped __new__(g("Point")), ">", 0xFF000000, 0xFFFF0000, 0xFFFFFFFF, false);
		});
		#end
		#if !s6
		// Graphics odd arguments
		R.run("graphics odd", function() {
			var s:Dynamic = untyped __new__(g("Sprite"));
			var gr:Dynamic = s.graphics;
			gr.lineStyle(nan, nan, nan);
			gr.beginFill(u, nan);
			gr.drawRect(nan, 0, -5, inf);
			gr.drawCircle(0, 0, -1);
			gr.drawEllipse(0, 0, nan, 1);
			gr.drawRoundRect(0, 0, 10, 10, -1, nan);
			gr.curveTo(nan, nan, 1, 1);
			gr.lineTo(inf, 0);
			gr.endFill();
			return R.str(s.width) + " " + R.str(s.height);
		});
		#end
		#if !s7
		// Names of player classes
		var gq:Dynamic = g("q");
		var gs:Dynamic = g("sclass");
		var objs:Array<Dynamic> = [untyped __new__(g("Sprite")), untyped __new__(g("Shape")), untyped __new__(g("MovieClip")), untyped __new__(E, "x"), untyped __new__(T, 1), untyped __new__(g("TextField")), g("Sprite"), g("Event"), untyped __new__(g("Rectangle"))];
		for (o in objs) {
			R.run("names " + R.str(gq(o)), function() return R.str(gs(o)));
		}
		#end
	}
}
