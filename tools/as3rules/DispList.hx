// Display geometry read back by scripts: bounds with and without strokes, sizes set on rotated,
// scaled and empty objects, odd numbers given to the position and scale properties, transforms,
// hit tests with and without the shape flag, and the objects under a point.
import flash.display.DisplayObject;
import flash.display.Shape;
import flash.display.Sprite;
import flash.geom.ColorTransform;
import flash.geom.Matrix;
import flash.geom.Point;
import flash.geom.Rectangle;

class DispList {
	static function r(x:Rectangle):String {
		return x.x + "," + x.y + "," + x.width + "," + x.height;
	}

	static function box(w:Float, h:Float, stroke:Float):Shape {
		var s = new Shape();
		if (stroke >= 0)
			s.graphics.lineStyle(stroke, 0);
		s.graphics.beginFill(0xff0000);
		s.graphics.drawRect(0, 0, w, h);
		s.graphics.endFill();
		return s;
	}

	static function circle():Shape {
		var s = new Shape();
		s.graphics.beginFill(0xff);
		s.graphics.drawCircle(50, 50, 50);
		return s;
	}

	static function main() {
		var root = flash.Lib.current;
		var u:Dynamic = untyped __global__["undefined"];
		var nan = Math.NaN;
		var inf = Math.POSITIVE_INFINITY;

		// Bounds and rectangles of strokes, hairlines and lines alone
		var strokes:Array<Float> = [-1, 0, 1, 4, 10, 300];
		for (w in strokes) {
			R.run("getBounds stroke " + w, function() return r(box(20, 10, w).getBounds(null)));
			R.run("getRect stroke " + w, function() return r(box(20, 10, w).getRect(null)));
			R.run("width stroke " + w, function() {
				var s = box(20, 10, w);
				return s.width + " " + s.height;
			});
		}
		R.run("line only bounds", function() {
			var s = new Shape();
			s.graphics.lineStyle(6, 0);
			s.graphics.moveTo(10, 10);
			s.graphics.lineTo(50, 10);
			return r(s.getBounds(s)) + " / " + r(s.getRect(s));
		});
		R.run("moveTo only bounds", function() {
			var s = new Shape();
			s.graphics.lineStyle(2, 0);
			s.graphics.moveTo(10, 10);
			return r(s.getBounds(s)) + " " + s.width;
		});
		R.run("nested bounds", function() {
			var p = new Sprite();
			var a = box(10, 10, -1);
			a.x = 5;
			a.y = -5;
			var b = box(10, 10, 2);
			b.x = 30;
			b.rotation = 45;
			p.addChild(a);
			p.addChild(b);
			p.scaleX = 2;
			return r(p.getBounds(p)) + " / " + r(p.getRect(p)) + " / " + r(a.getBounds(b));
		});
		R.run("bounds of rotated in parent", function() {
			var p = new Sprite();
			var a = box(40, 20, -1);
			a.rotation = 30;
			p.addChild(a);
			return r(a.getBounds(p)) + " " + a.width + " " + a.height;
		});

		// Sizes set on scaled, rotated and empty objects
		var rots:Array<Float> = [0, 30, 90, -45, 180];
		for (rot in rots) {
			R.run("width=80 rotation " + rot, function() {
				var s = box(40, 20, -1);
				s.rotation = rot;
				s.width = 80;
				return Math.round(s.scaleX * 1000) / 1000 + " " + Math.round(s.scaleY * 1000) / 1000 + " " + s.rotation + " "
					+ Math.round(s.width * 100) / 100;
			});
			R.run("height=10 rotation " + rot, function() {
				var s = box(40, 20, -1);
				s.rotation = rot;
				s.height = 10;
				return Math.round(s.scaleX * 1000) / 1000 + " " + Math.round(s.scaleY * 1000) / 1000 + " " + s.rotation + " "
					+ Math.round(s.height * 100) / 100;
			});
		}
		var sizes:Array<Dynamic> = [0, -10, 50, nan, inf, 1e10, 0.01];
		for (v in sizes) {
			R.run("empty width=" + R.str(v), function() {
				var s = new Shape();
				var d:Dynamic = s;
				d.width = v;
				return s.width + " " + s.scaleX + " " + s.scaleY;
			});
			R.run("box width=" + R.str(v), function() {
				var s = box(40, 20, -1);
				var d:Dynamic = s;
				d.width = v;
				return s.width + " " + s.scaleX + " " + s.scaleY + " " + s.height;
			});
			R.run("box height=" + R.str(v), function() {
				var s = box(40, 20, -1);
				var d:Dynamic = s;
				d.height = v;
				return s.height + " " + s.scaleX + " " + s.scaleY;
			});
		}
		R.run("scale 0 then width", function() {
			var s = box(40, 20, -1);
			s.scaleX = 0;
			s.width = 30;
			return s.width + " " + s.scaleX;
		});

		// Odd numbers given to position, scale, rotation and alpha
		var odd:Array<Dynamic> = [nan, inf, -inf, 1e10, -1e10, 0.0001, 12.3456, -0.04, 1e-10];
		for (v in odd) {
			for (p in ["x", "y", "scaleX", "rotation", "alpha", "z"]) {
				R.run(p + "=" + R.str(v), function() {
					var s = box(10, 10, -1);
					s.x = 5;
					s.scaleX = 2;
					s.rotation = 10;
					s.alpha = 0.5;
					Reflect.setField(s, p, v);
					return Reflect.field(s, p);
				});
			}
		}
		var angles:Array<Float> = [360, 370, 180, -180, 181, -181, 540, 720.5, -359];
		for (a in angles)
			R.run("rotation=" + a, function() {
				var s = new Shape();
				s.rotation = a;
				return s.rotation;
			});

		// Transforms
		R.run("matrix of rotated scaled", function() {
			var s = new Shape();
			s.x = 10;
			s.y = 20;
			s.scaleX = 2;
			s.rotation = 90;
			var m = s.transform.matrix;
			return Math.round(m.a * 1000) / 1000 + " " + Math.round(m.b * 1000) / 1000 + " " + Math.round(m.c * 1000) / 1000 + " "
				+ Math.round(m.d * 1000) / 1000 + " " + m.tx + " " + m.ty;
		});
		R.run("matrix set reads back", function() {
			var s = new Shape();
			s.transform.matrix = new Matrix(2, 0, 0, -3, 5.5, 7.25);
			return s.scaleX + " " + s.scaleY + " " + s.rotation + " " + s.x + " " + s.y;
		});
		R.run("matrix skew reads back", function() {
			var s = new Shape();
			s.transform.matrix = new Matrix(1, 0.5, -0.5, 1, 0, 0);
			return Math.round(s.scaleX * 1000) / 1000 + " " + Math.round(s.scaleY * 1000) / 1000 + " " + Math.round(s.rotation * 1000) / 1000;
		});
		R.run("matrix tx twips", function() {
			var s = new Shape();
			s.transform.matrix = new Matrix(1, 0, 0, 1, 1.234567, -0.07);
			return s.x + " " + s.y + " " + s.transform.matrix.tx;
		});
		R.run("matrix is a copy", function() {
			var s = new Shape();
			var m = s.transform.matrix;
			m.tx = 50;
			return s.x + " " + s.transform.matrix.tx;
		});
		R.run("colorTransform default", function() {
			var c = new Shape().transform.colorTransform;
			return c.toString();
		});
		R.run("colorTransform alpha follows", function() {
			var s = new Shape();
			s.alpha = 0.25;
			var c = s.transform.colorTransform;
			var t = c.alphaMultiplier + " ";
			s.transform.colorTransform = new ColorTransform(1, 0.5, 2, 0.75, 10, -300, 300, 1);
			return t + s.alpha + " " + s.transform.colorTransform.toString();
		});
		R.run("colorTransform multipliers in 1/256", function() {
			var s = new Shape();
			s.transform.colorTransform = new ColorTransform(0.1, 0.333, 1.001, 0.999, 0.5, 1.5, -0.5, 2.7);
			return s.transform.colorTransform.toString() + " " + s.alpha;
		});
		R.run("alpha in 1/256", function() {
			var s = new Shape();
			var out = [];
			for (a in [0.1, 0.333, 0.5, 0.999, 1.5, -0.2])
				s.alpha = a;
			for (a in [0.1, 0.333, 0.5, 0.999, 1.5, -0.2]) {
				s.alpha = a;
				out.push(s.alpha);
			}
			return out.join(" ");
		});
		R.run("concatenatedMatrix", function() {
			var p = new Sprite();
			p.x = 10;
			p.scaleX = 2;
			var c = new Shape();
			c.x = 5;
			c.y = 3;
			p.addChild(c);
			var m = c.transform.concatenatedMatrix;
			return m.a + " " + m.d + " " + m.tx + " " + m.ty;
		});
		R.run("concatenatedMatrix on stage", function() {
			var p = new Sprite();
			p.x = 10;
			var c = new Shape();
			c.rotation = 90;
			p.addChild(c);
			root.addChild(p);
			var m = c.transform.concatenatedMatrix;
			root.removeChild(p);
			return Math.round(m.b * 1000) / 1000 + " " + m.tx;
		});
		R.run("pixelBounds", function() {
			var p = new Sprite();
			var c = box(20, 10, -1);
			c.x = 3.5;
			c.y = 4.25;
			c.scaleX = 1.5;
			p.addChild(c);
			root.addChild(p);
			var b = r(c.transform.pixelBounds);
			root.removeChild(p);
			return b + " / " + r(c.transform.pixelBounds);
		});

		// Hit tests
		var sp = circle();
		sp.x = 100;
		sp.y = 50;
		root.addChild(sp);
		var pts:Array<Array<Float>> = [[150, 100], [105, 55], [100, 50], [200, 150], [199.9, 100], [201, 100], [100, 150], [100, 150.1]];
		for (p in pts) {
			R.run("hitTestPoint(" + p.join(",") + ")", function() return sp.hitTestPoint(p[0], p[1]));
			R.run("hitTestPoint(" + p.join(",") + ", true)", function() return sp.hitTestPoint(p[0], p[1], true));
		}
		R.run("hitTestPoint off stage", function() {
			var c = circle();
			return c.hitTestPoint(50, 50) + " " + c.hitTestPoint(50, 50, true) + " " + c.hitTestPoint(1, 1, true);
		});
		R.run("hitTestPoint invisible", function() {
			sp.visible = false;
			var h = sp.hitTestPoint(150, 100, true);
			sp.visible = true;
			return h;
		});
		R.run("hitTestPoint alpha 0", function() {
			sp.alpha = 0;
			var h = sp.hitTestPoint(150, 100, true);
			sp.alpha = 1;
			return h;
		});
		R.run("hitTestPoint masked", function() {
			var m = box(10, 10, -1);
			m.x = 100;
			m.y = 50;
			root.addChild(m);
			sp.mask = m;
			var h = sp.hitTestPoint(150, 100, true) + " " + sp.hitTestPoint(105, 55, true);
			sp.mask = null;
			root.removeChild(m);
			return h;
		});
		R.run("hitTestPoint line only", function() {
			var s = new Shape();
			s.graphics.lineStyle(10, 0);
			s.graphics.moveTo(0, 0);
			s.graphics.lineTo(100, 0);
			root.addChild(s);
			var h = s.hitTestPoint(50, 0, true) + " " + s.hitTestPoint(50, 4, true) + " " + s.hitTestPoint(50, 6, true) + " "
				+ s.hitTestPoint(50, 4);
			root.removeChild(s);
			return h;
		});
		var placed:Array<Array<Float>> = [[0, 0], [150, 0], [190, 90], [201, 0], [50, 50]];
		for (p in placed)
			R.run("hitTestObject at " + p.join(","), function() {
				var o = box(10, 10, -1);
				o.x = p[0];
				o.y = p[1];
				root.addChild(o);
				var h = sp.hitTestObject(o) + " " + o.hitTestObject(sp);
				root.removeChild(o);
				return h;
			});
		R.run("hitTestObject unattached", function() {
			var a = box(10, 10, -1);
			var b = box(10, 10, -1);
			b.x = 5;
			return a.hitTestObject(b) + " " + a.hitTestObject(a);
		});
		R.run("hitTestObject touching edge", function() {
			var a = box(10, 10, -1);
			var b = box(10, 10, -1);
			b.x = 10;
			return a.hitTestObject(b);
		});

		// Objects under a point
		R.run("getObjectsUnderPoint", function() {
			var p = new Sprite();
			p.name = "p";
			var a = box(50, 50, -1);
			a.name = "a";
			var q = new Sprite();
			q.name = "q";
			var b = box(50, 50, -1);
			b.name = "b";
			b.x = 25;
			q.addChild(b);
			p.addChild(a);
			p.addChild(q);
			root.addChild(p);
			var out = [];
			for (pt in [new Point(10, 10), new Point(30, 10), new Point(60, 10), new Point(200, 200)]) {
				var l = p.getObjectsUnderPoint(pt);
				out.push(l.map(function(o) return o.name).join(","));
			}
			var inv = "";
			b.visible = false;
			inv = p.getObjectsUnderPoint(new Point(30, 10)).map(function(o) return o.name).join(",");
			root.removeChild(p);
			return out.join(" | ") + " | hidden " + inv + " | " + p.areInaccessibleObjectsUnderPoint(new Point(10, 10));
		});
		R.run("getObjectsUnderPoint unattached", function() {
			var p = new Sprite();
			p.addChild(box(50, 50, -1));
			return p.getObjectsUnderPoint(new Point(10, 10)).length;
		});

		// Containment, names and masks
		R.run("contains", function() {
			var p = new Sprite();
			var q = new Sprite();
			var s = new Shape();
			q.addChild(s);
			p.addChild(q);
			var d:Dynamic = p;
			var res = p.contains(s) + " " + q.contains(p) + " " + p.contains(p);
			try {
				res += " " + d.contains(null);
			} catch (e:flash.errors.Error) {
				res += " " + R.err(e);
			}
			return res;
		});
		R.run("getChildByName first", function() {
			var p = new Sprite();
			var a = new Shape();
			a.name = "x";
			a.x = 1;
			var b = new Shape();
			b.name = "x";
			b.x = 2;
			p.addChild(a);
			p.addChild(b);
			var d:Dynamic = p;
			return p.getChildByName("x").x + " " + p.getChildByName("y") + " " + d.getChildByName(null);
		});
		R.run("mask read back", function() {
			var a = box(10, 10, -1);
			var m = box(5, 5, -1);
			a.mask = m;
			var s = (a.mask == m) + " ";
			var b = box(10, 10, -1);
			b.mask = m;
			return s + (a.mask == m) + " " + (b.mask == m);
		});
		R.run("mask bounds", function() {
			var p = new Sprite();
			var a = box(100, 100, -1);
			var m = box(10, 10, -1);
			m.x = 20;
			p.addChild(a);
			p.addChild(m);
			a.mask = m;
			return r(p.getBounds(p)) + " " + p.width;
		});
		R.run("scrollRect", function() {
			var s = new Sprite();
			s.addChild(box(100, 100, -1));
			var a = s.scrollRect + " " + s.width;
			s.scrollRect = new Rectangle(10, 20, 30, 40);
			var b = r(s.scrollRect) + " " + s.width + " " + s.height + " " + r(s.getBounds(s));
			s.scrollRect = null;
			return a + " / " + b + " / " + s.scrollRect;
		});
		R.run("scale9Grid", function() {
			var s = new Sprite();
			s.graphics.beginFill(0);
			s.graphics.drawRect(0, 0, 100, 100);
			var a = s.scale9Grid + " ";
			s.scale9Grid = new Rectangle(10, 10, 80, 80);
			var b = r(s.scale9Grid);
			s.scale9Grid = null;
			return a + b + " " + s.scale9Grid;
		});
		R.run("scale9Grid empty", function() {
			var s = new Sprite();
			var d:Dynamic = s;
			try {
				s.scale9Grid = new Rectangle(0, 0, 0, 0);
				return r(s.scale9Grid);
			} catch (e:flash.errors.Error) {
				return R.err(e);
			}
		});
		R.run("cacheAsBitmap", function() {
			var s = new Sprite();
			var a = s.cacheAsBitmap + " ";
			s.cacheAsBitmap = true;
			a += s.cacheAsBitmap + " ";
			s.cacheAsBitmap = false;
			s.filters = [new flash.filters.BlurFilter()];
			a += s.cacheAsBitmap + " ";
			s.filters = [];
			a += s.cacheAsBitmap + " ";
			s.scrollRect = new Rectangle(0, 0, 1, 1);
			return a + s.cacheAsBitmap;
		});
		var modes:Array<Dynamic> = ["normal", "layer", "multiply", "screen", "lighten", "darken", "difference", "add", "subtract", "invert", "alpha", "erase", "overlay", "hardlight", "shader", "bogus", "", null];
		for (m in modes)
			R.run("blendMode=" + R.str(m), function() {
				var s = new Sprite();
				var d:Dynamic = s;
				d.blendMode = m;
				return s.blendMode;
			});
		R.run("filters read back", function() {
			var s = new Sprite();
			var f = new flash.filters.GlowFilter(0xff0000, 0.5, 4, 4);
			s.filters = [f];
			f.blurX = 10;
			var got:Array<Dynamic> = s.filters;
			var d:Dynamic = got[0];
			var same = got[0] == f;
			got.push(new flash.filters.BlurFilter());
			return got.length + " " + s.filters.length + " " + same + " " + d.blurX + " " + d.color + " " + d.alpha;
		});
		R.run("filters odd", function() {
			var s = new Sprite();
			var d:Dynamic = s;
			var out = [];
			for (v in ([null, [], [1], ["x"], [{}]] : Array<Dynamic>)) {
				try {
					d.filters = v;
					out.push("" + s.filters.length);
				} catch (e:flash.errors.Error) {
					out.push(R.err(e));
				}
			}
			return out.join(" | ");
		});
		root.removeChild(sp);
	}
}
