// flash.geom over awkward arguments: Matrix, Point, Rectangle and ColorTransform.
class Geom {
	static function cls(n:String):Dynamic {
		return switch (n) {
			case "Matrix": untyped __global__["flash.geom.Matrix"];
			case "Point": untyped __global__["flash.geom.Point"];
			case "Rectangle": untyped __global__["flash.geom.Rectangle"];
			default: untyped __global__["flash.geom.ColorTransform"];
		}
	}

	static function mk(n:String, a:Array<Dynamic>):Dynamic {
		var c:Dynamic = cls(n);
		return switch (a.length) {
			case 0: untyped __new__(c);
			case 1: untyped __new__(c, a[0]);
			case 2: untyped __new__(c, a[0], a[1]);
			case 3: untyped __new__(c, a[0], a[1], a[2]);
			case 4: untyped __new__(c, a[0], a[1], a[2], a[3]);
			case 5: untyped __new__(c, a[0], a[1], a[2], a[3], a[4]);
			case 6: untyped __new__(c, a[0], a[1], a[2], a[3], a[4], a[5]);
			default: untyped __new__(c, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
		}
	}

	static function call(o:Dynamic, m:String, a:Array<Dynamic>):Dynamic {
		var f:Dynamic = Reflect.field(o, m);
		return f.apply(o, a);
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var nan = Math.NaN;
		var inf = Math.POSITIVE_INFINITY;
		var odd:Array<Dynamic> = [u, null, nan, inf, -inf, -1, 0, 0.5, 1e20, "3", "x", true];
		// Constructors with odd arguments.
		for (n in ["Matrix", "Point", "Rectangle", "ColorTransform"]) {
			R.run("new " + n + "()", function() return mk(n, []));
			for (v in odd) {
				R.run("new " + n + "(" + R.str(v) + ", ...)", function() return mk(n, [v, v, v, v, v, v, v, v]));
				R.run("new " + n + "(1, " + R.str(v) + ")", function() return mk(n, [1, v]));
			}
		}
		// Matrix
		var mats:Array<Array<Dynamic>> = [[], [2, 0, 0, 2, 10, 20], [1, 2, 3, 4, 5, 6], [0, 0, 0, 0, 5, 5], [1, 2, 2, 4, 0, 0], [nan, 1, 1, 1, 0, 0], [inf, 0, 0, 1, 0, 0], [-1, 0.5, 0.25, -2, -3, 7]];
		for (ma in mats) {
			var lbl = "Matrix(" + ma.join(",") + ")";
			R.run(lbl + ".invert", function() {
				var m = mk("Matrix", ma);
				m.invert();
				return m;
			});
			R.run(lbl + ".transformPoint", function() return mk("Matrix", ma).transformPoint(mk("Point", [3, -4])));
			R.run(lbl + ".deltaTransformPoint", function() return mk("Matrix", ma).deltaTransformPoint(mk("Point", [3, -4])));
			R.run(lbl + ".concat", function() {
				var m = mk("Matrix", ma);
				m.concat(mk("Matrix", [1, 2, 3, 4, 5, 6]));
				return m;
			});
			R.run(lbl + ".rotate(1)", function() {
				var m = mk("Matrix", ma);
				m.rotate(1);
				return m;
			});
			R.run(lbl + ".scale(2,-3)", function() {
				var m = mk("Matrix", ma);
				m.scale(2, -3);
				return m;
			});
			R.run(lbl + ".translate(1,2)", function() {
				var m = mk("Matrix", ma);
				m.translate(1, 2);
				return m;
			});
			R.run(lbl + ".clone", function() return mk("Matrix", ma).clone());
			R.run(lbl + ".identity", function() {
				var m = mk("Matrix", ma);
				m.identity();
				return m;
			});
		}
		var boxes:Array<Array<Dynamic>> = [[2, 3], [2, 3, 1], [2, 3, 1, 10, 20], [-1, 0, nan, 1, 1], [0, 0, 3.14159, 0, 0], [1, 1, inf, 0, 0]];
		for (args in boxes) {
			R.run("createBox(" + args.join(",") + ")", function() {
				var m = mk("Matrix", []);
				call(m, "createBox", args);
				return m;
			});
			R.run("createGradientBox(" + args.join(",") + ")", function() {
				var m = mk("Matrix", []);
				call(m, "createGradientBox", args);
				return m;
			});
		}
		R.run("transformPoint(null)", function() return mk("Matrix", []).transformPoint(null));
		R.run("concat(null)", function() return mk("Matrix", []).concat(null));
		R.run("Matrix.copyFrom", function() {
			var m = mk("Matrix", []);
			m.copyFrom(mk("Matrix", [1, 2, 3, 4, 5, 6]));
			return m;
		});
		R.run("Matrix.setTo", function() {
			var m = mk("Matrix", []);
			m.setTo(1, "2", nan, null, u, 6);
			return m;
		});
		R.run("Matrix.copyRowTo/ColumnTo", function() {
			var m = mk("Matrix", [1, 2, 3, 4, 5, 6]);
			var v = untyped __new__(untyped __global__["flash.geom.Vector3D"]);
			m.copyRowTo(0, v);
			var s = R.str(v);
			m.copyColumnTo(1, v);
			return s + " " + R.str(v) + " " + R.str(v.w);
		});
		R.run("Matrix a=string", function() {
			var m = mk("Matrix", []);
			m.a = "5";
			return R.str(m.a) + " " + untyped __typeof__(m.a);
		});
		// Point
		var pts:Array<Array<Dynamic>> = [[0, 0], [3, 4], [-3, 4], [nan, 1], [inf, 0], [1e20, 1e20], [0.1, 0.2]];
		for (pa in pts) {
			var lbl = "Point(" + pa.join(",") + ")";
			R.run(lbl + ".length", function() return mk("Point", pa).length);
			for (len in [1, 0, -2, 10, nan]) {
				R.run(lbl + ".normalize(" + R.str(len) + ")", function() {
					var p = mk("Point", pa);
					p.normalize(len);
					return p;
				});
			}
			R.run(lbl + ".add/subtract", function() {
				var p = mk("Point", pa);
				return R.str(p.add(mk("Point", [1, 1]))) + " " + R.str(p.subtract(mk("Point", [1, 1])));
			});
			R.run(lbl + ".offset", function() {
				var p = mk("Point", pa);
				p.offset(1, u);
				return p;
			});
			R.run(lbl + " distance", function() return cls("Point").distance(mk("Point", pa), mk("Point", [1, 1])));
			for (f in [0, 0.5, 1, -1, 2, nan]) {
				R.run(lbl + " interpolate " + R.str(f), function() return cls("Point").interpolate(mk("Point", pa), mk("Point", [10, 20]), f));
			}
			R.run(lbl + ".equals", function() return mk("Point", pa).equals(mk("Point", pa)));
		}
		var pol:Array<Array<Dynamic>> = [[1, 0], [2, Math.PI], [-1, 1], [nan, 0], [1, inf], [0, 0]];
		for (pa in pol) {
			R.run("polar(" + pa.join(",") + ")", function() return call(cls("Point"), "polar", pa));
		}
		R.run("Point.distance(null)", function() return cls("Point").distance(null, mk("Point", [])));
		R.run("Point.add(null)", function() return mk("Point", []).add(null));
		R.run("Point.setTo/copyFrom", function() {
			var p = mk("Point", []);
			p.setTo("1", null);
			var q = mk("Point", []);
			q.copyFrom(p);
			return q;
		});
		// Rectangle
		var rects:Array<Array<Dynamic>> = [[0, 0, 10, 10], [5, 5, 10, 10], [0, 0, 0, 0], [2, 2, -5, -5], [20, 20, 5, 5], [0, 0, 10, 0], [nan, 0, 5, 5], [-10, -10, 30, 1], [0, 0, inf, 5]];
		for (ra in rects) {
			var lbl = "Rect(" + ra.join(",") + ")";
			R.run(lbl + " props", function() {
				var r = mk("Rectangle", ra);
				return R.str(r.left) + "," + R.str(r.right) + "," + R.str(r.top) + "," + R.str(r.bottom) + " " + R.str(r.topLeft) + R.str(r.bottomRight) + R.str(r.size) + " " + R.str(r.isEmpty());
			});
			for (rb in rects) {
				var l2 = lbl + " & Rect(" + rb.join(",") + ")";
				R.run(l2 + " union", function() return mk("Rectangle", ra).union(mk("Rectangle", rb)));
				R.run(l2 + " intersection", function() return mk("Rectangle", ra).intersection(mk("Rectangle", rb)));
				R.run(l2 + " intersects", function() return mk("Rectangle", ra).intersects(mk("Rectangle", rb)));
				R.run(l2 + " containsRect", function() return mk("Rectangle", ra).containsRect(mk("Rectangle", rb)));
				R.run(l2 + " equals", function() return mk("Rectangle", ra).equals(mk("Rectangle", rb)));
			}
			var cps:Array<Array<Dynamic>> = [[0, 0], [10, 10], [5, 5], [9.99, 0], [-1, 3], [nan, 1]];
			for (p in cps) {
				R.run(lbl + " contains(" + p.join(",") + ")", function() return call(mk("Rectangle", ra), "contains", p));
				R.run(lbl + " containsPoint(" + p.join(",") + ")", function() return mk("Rectangle", ra).containsPoint(mk("Point", p)));
			}
			var ds:Array<Array<Dynamic>> = [[1, 2], [-3, -3], [nan, 1], [-20, 0]];
			for (d in ds) {
				R.run(lbl + " inflate(" + d.join(",") + ")", function() {
					var r = mk("Rectangle", ra);
					call(r, "inflate", d);
					return r;
				});
				R.run(lbl + " inflatePoint(" + d.join(",") + ")", function() {
					var r = mk("Rectangle", ra);
					r.inflatePoint(mk("Point", d));
					return r;
				});
				R.run(lbl + " offset(" + d.join(",") + ")", function() {
					var r = mk("Rectangle", ra);
					call(r, "offset", d);
					return r;
				});
			}
			R.run(lbl + " setEmpty", function() {
				var r = mk("Rectangle", ra);
				r.setEmpty();
				return r;
			});
		}
		R.run("Rect setters", function() {
			var r = mk("Rectangle", [1, 2, 3, 4]);
			r.left = 5;
			var a = R.str(r);
			r.right = 2;
			var b = R.str(r);
			r.top = -1;
			r.bottom = null;
			var c = R.str(r);
			r.bottomRight = mk("Point", [9, 9]);
			r.topLeft = mk("Point", [1, 1]);
			r.size = mk("Point", [3, 3]);
			return a + " " + b + " " + c + " " + R.str(r);
		});
		R.run("Rect union(null)", function() return mk("Rectangle", []).union(null));
		R.run("Rect topLeft = null", function() {
			var r = mk("Rectangle", []);
			r.topLeft = null;
			return r;
		});
		// ColorTransform
		R.run("CT defaults", function() {
			var c = mk("ColorTransform", []);
			return R.str(c) + " color " + R.str(c.color);
		});
		var cols:Array<Dynamic> = [0, 0xFF8040, 0x12345678, -1, nan, 4294967295.0, "0x10"];
		for (col in cols) {
			R.run("CT color=" + R.str(col), function() {
				var c = mk("ColorTransform", [2, 2, 2, 0.5, 1, 2, 3, 4]);
				c.color = col;
				return R.str(c) + " color " + R.str(c.color);
			});
		}
		var offs:Array<Array<Dynamic>> = [[1, 2, 3, 4], [-300, 0, 255.7, 256], [nan, 0, 0, 0], [1.5, -1.5, 300, -300]];
		for (off in offs) {
			R.run("CT offsets " + off.join(",") + " color", function() {
				var c = mk("ColorTransform", [1, 1, 1, 1, off[0], off[1], off[2], off[3]]);
				return c.color;
			});
		}
		R.run("CT concat", function() {
			var c = mk("ColorTransform", [2, 0.5, 1, 0.5, 10, 20, 30, 40]);
			c.concat(mk("ColorTransform", [0.5, 2, 3, 2, 1, 2, 3, 4]));
			return c;
		});
		R.run("CT concat(null)", function() return mk("ColorTransform", []).concat(null));
		R.run("CT multiplier string", function() {
			var c = mk("ColorTransform", []);
			c.redMultiplier = "2";
			c.alphaOffset = true;
			return c;
		});
	}
}
