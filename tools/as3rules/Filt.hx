// flash.filters over awkward values: every filter's defaults, each kind of field given odd
// numbers (alphas, strengths, angles, blur sizes, qualities, lists), the lists that must
// agree in length, clones, and filters set on a display object and read back.
class Filt {
	static function cls(n:String):Dynamic {
		return switch (n) {
			case "BlurFilter": untyped __global__["flash.filters.BlurFilter"];
			case "GlowFilter": untyped __global__["flash.filters.GlowFilter"];
			case "DropShadowFilter": untyped __global__["flash.filters.DropShadowFilter"];
			case "BevelFilter": untyped __global__["flash.filters.BevelFilter"];
			case "GradientGlowFilter": untyped __global__["flash.filters.GradientGlowFilter"];
			case "GradientBevelFilter": untyped __global__["flash.filters.GradientBevelFilter"];
			case "ColorMatrixFilter": untyped __global__["flash.filters.ColorMatrixFilter"];
			case "ConvolutionFilter": untyped __global__["flash.filters.ConvolutionFilter"];
			case "DisplacementMapFilter": untyped __global__["flash.filters.DisplacementMapFilter"];
			case "ShaderFilter": untyped __global__["flash.filters.ShaderFilter"];
			default: untyped __global__["flash.filters.BitmapFilter"];
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
			case 7: untyped __new__(c, a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
			case 8: untyped __new__(c, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
			case 9: untyped __new__(c, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
			case 10: untyped __new__(c, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
			case 11: untyped __new__(c, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10]);
			default: untyped __new__(c, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11]);
		}
	}

	static var fields:Map<String, Array<String>> = [
		"BlurFilter" => ["blurX", "blurY", "quality"],
		"GlowFilter" => ["color", "alpha", "blurX", "blurY", "strength", "quality", "inner", "knockout"],
		"DropShadowFilter" => ["distance", "angle", "color", "alpha", "blurX", "blurY", "strength", "quality", "inner", "knockout", "hideObject"],
		"BevelFilter" => ["distance", "angle", "highlightColor", "highlightAlpha", "shadowColor", "shadowAlpha", "blurX", "blurY", "strength", "quality", "type", "knockout"],
		"GradientGlowFilter" => ["distance", "angle", "colors", "alphas", "ratios", "blurX", "blurY", "strength", "quality", "type", "knockout"],
		"GradientBevelFilter" => ["distance", "angle", "colors", "alphas", "ratios", "blurX", "blurY", "strength", "quality", "type", "knockout"],
		"ColorMatrixFilter" => ["matrix"],
		"ConvolutionFilter" => ["matrixX", "matrixY", "matrix", "divisor", "bias", "preserveAlpha", "clamp", "color", "alpha"],
		"DisplacementMapFilter" => ["mapBitmap", "mapPoint", "componentX", "componentY", "scaleX", "scaleY", "mode", "color", "alpha"],
	];

	static var order = ["BlurFilter", "GlowFilter", "DropShadowFilter", "BevelFilter", "GradientGlowFilter", "GradientBevelFilter", "ColorMatrixFilter", "ConvolutionFilter", "DisplacementMapFilter"];

	static function describe(n:String, f:Dynamic):String {
		var out:Array<String> = [];
		for (field in fields.get(n))
			out.push(field + "=" + R.show(Reflect.field(f, field)));
		return out.join(" ");
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var nan = Math.NaN;
		var inf = Math.POSITIVE_INFINITY;
		var odd:Array<Dynamic> = [u, null, nan, inf, -inf, -1, 0, 0.3, 1.5, 2.5, 300, 1e10, -3.7, "7", "x", true];

		// Defaults.
		for (n in order)
			R.run(n + "()", function() return describe(n, mk(n, [])));
		R.run("BitmapFilter()", function() return mk("BitmapFilter", []));

		// Each field set to each odd value, read back.
		for (n in order)
			for (field in fields.get(n))
				for (v in odd)
					R.run(n + "." + field + " = " + R.str(v), function() {
						var f:Dynamic = mk(n, []);
						Reflect.setField(f, field, v);
						return Reflect.field(f, field);
					});

		// Constructor arguments converted as the setters convert them.
		for (v in odd) {
			R.run("BlurFilter(" + R.str(v) + ", " + R.str(v) + ", " + R.str(v) + ")", function() return describe("BlurFilter", mk("BlurFilter", [v, v, v])));
			R.run("GlowFilter(" + R.str(v) + ", ...)", function() return describe("GlowFilter", mk("GlowFilter", [v, v, v, v, v, v, v, v])));
			R.run("DropShadowFilter(" + R.str(v) + ", ...)", function() return describe("DropShadowFilter", mk("DropShadowFilter", [v, v, v, v, v, v, v, v, v, v, v])));
			R.run("ConvolutionFilter(" + R.str(v) + ", " + R.str(v) + ")", function() return describe("ConvolutionFilter", mk("ConvolutionFilter", [v, v])));
		}

		// Lists: the gradient filters' colours, alphas and ratios, the colour matrix, the kernel.
		var lists:Array<Dynamic> = [[], [1], [0x1FFFFFF, -1, 0.5, "0x10"], [2, 0.5, -1, nan], [0, 128, 255, 300, -5], [u, null, "a"]];
		for (l in lists) {
			for (field in ["colors", "alphas", "ratios"])
				R.run("GradientGlowFilter." + field + " = " + R.str(l), function() {
					var f:Dynamic = mk("GradientGlowFilter", [4, 45, [0xFF0000, 0x00FF00, 0x0000FF], [1, 0.5, 0], [0, 128, 255]]);
					Reflect.setField(f, field, l);
					return describe("GradientGlowFilter", f);
				});
			R.run("ColorMatrixFilter(" + R.str(l) + ")", function() return mk("ColorMatrixFilter", [l]).matrix);
			R.run("ConvolutionFilter(2, 2, " + R.str(l) + ")", function() return mk("ConvolutionFilter", [2, 2, l]).matrix);
		}
		R.run("GradientGlowFilter mismatched lists", function() return describe("GradientGlowFilter", mk("GradientGlowFilter", [4, 45, [1, 2, 3], [1], [0, 255]])));
		R.run("GradientBevelFilter nulls", function() return describe("GradientBevelFilter", mk("GradientBevelFilter", [4, 45, null, null, null])));
		R.run("GradientGlowFilter 17 stops", function() {
			var c:Array<Dynamic> = [];
			var a:Array<Dynamic> = [];
			var r:Array<Dynamic> = [];
			for (i in 0...17) {
				c.push(i);
				a.push(1);
				r.push(i * 15);
			}
			var f:Dynamic = mk("GradientGlowFilter", [4, 45, c, a, r]);
			return R.str(f.colors.length) + " " + R.str(f.alphas.length) + " " + R.str(f.ratios.length);
		});
		R.run("ColorMatrixFilter 25 values", function() {
			var l:Array<Dynamic> = [];
			for (i in 0...25)
				l.push(i);
			return mk("ColorMatrixFilter", [l]).matrix;
		});
		R.run("ColorMatrixFilter matrix is a copy", function() {
			var f:Dynamic = mk("ColorMatrixFilter", []);
			var m:Dynamic = f.matrix;
			m[0] = 5;
			return R.str(f.matrix[0]) + " " + R.str(f.matrix == f.matrix);
		});
		R.run("ConvolutionFilter matrix follows size", function() {
			var f:Dynamic = mk("ConvolutionFilter", [3, 3, [1, 2, 3, 4, 5, 6, 7, 8, 9]]);
			f.matrixX = 2;
			var a = R.str(f.matrix);
			f.matrixY = 4;
			return a + " | " + R.str(f.matrix);
		});
		R.run("ConvolutionFilter big", function() return mk("ConvolutionFilter", [16, 16]).matrix.length);
		R.run("ConvolutionFilter divisor 0", function() return describe("ConvolutionFilter", mk("ConvolutionFilter", [1, 1, [1], 0])));
		R.run("DisplacementMapFilter modes", function() {
			var out:Array<String> = [];
			for (mode in ["wrap", "clamp", "ignore", "color", "WRAP", "x", ""]) {
				try {
					out.push(R.str(mk("DisplacementMapFilter", [null, null, 0, 0, 0, 0, mode]).mode));
				} catch (e:flash.errors.Error) {
					out.push(R.err(e));
				}
			}
			return out.join(" ");
		});
		R.run("DisplacementMapFilter mapPoint copy", function() {
			var p:Dynamic = untyped __new__(untyped __global__["flash.geom.Point"], 3, 4);
			var f:Dynamic = mk("DisplacementMapFilter", [null, p]);
			p.x = 9;
			return R.str(f.mapPoint) + " " + R.str(f.mapPoint == f.mapPoint);
		});
		R.run("BevelFilter types", function() {
			var out:Array<String> = [];
			for (t in ["inner", "outer", "full", "INNER", "x", ""]) {
				try {
					var f:Dynamic = mk("BevelFilter", []);
					f.type = t;
					out.push(R.str(f.type));
				} catch (e:flash.errors.Error) {
					out.push(R.err(e));
				}
			}
			return out.join(" ");
		});

		// Clones are new objects with the same fields.
		for (n in order)
			R.run(n + ".clone()", function() {
				var f:Dynamic = mk(n, []);
				var c:Dynamic = f.clone();
				return R.str(c == f) + " " + (describe(n, c) == describe(n, f) ? "same" : describe(n, c));
			});

		// Filters on a display object are copies; what is not a filter is refused.
		var S:Dynamic = untyped __global__["flash.display.Sprite"];
		R.run("filters copies", function() {
			var s:Dynamic = untyped __new__(S);
			var b:Dynamic = mk("BlurFilter", [3, 3, 1]);
			s.filters = [b];
			b.blurX = 10;
			var got:Dynamic = s.filters;
			return R.str(got.length) + " " + R.str(got[0].blurX) + " " + R.str(got[0] == b) + " " + R.str(s.filters == s.filters);
		});
		R.run("filters default", function() return untyped __new__(S).filters);
		R.run("filters null", function() {
			var s:Dynamic = untyped __new__(S);
			s.filters = [mk("GlowFilter", [])];
			s.filters = null;
			return s.filters;
		});
		for (bad in ([[1], ["x"], [null], [{}], [mk("BlurFilter", []), 3]] : Array<Dynamic>))
			R.run("filters = " + R.str(bad), function() {
				var s:Dynamic = untyped __new__(S);
				s.filters = bad;
				return s.filters;
			});
		R.run("filters array-like", function() {
			var s:Dynamic = untyped __new__(S);
			var v:Dynamic = {length: 1};
			Reflect.setField(v, "0", mk("BlurFilter", []));
			s.filters = v;
			return s.filters;
		});
		R.run("filters keep order and kinds", function() {
			var s:Dynamic = untyped __new__(S);
			s.filters = [mk("DropShadowFilter", []), mk("ColorMatrixFilter", []), mk("BlurFilter", [])];
			var out:Array<String> = [];
			var got:Array<Dynamic> = s.filters;
			for (f in got)
				out.push(untyped __global__["flash.utils.getQualifiedClassName"](f));
			return out.join(" ");
		});
	}
}
