// The drawing API as data: the IGraphicsData classes' constructors and fields, GraphicsPath's
// own methods, and what drawGraphicsData draws (seen through the shape's bounds).
class GData {
	static function cls(n:String):Dynamic {
		return switch (n) {
			case "GraphicsSolidFill": untyped __global__["flash.display.GraphicsSolidFill"];
			case "GraphicsGradientFill": untyped __global__["flash.display.GraphicsGradientFill"];
			case "GraphicsBitmapFill": untyped __global__["flash.display.GraphicsBitmapFill"];
			case "GraphicsShaderFill": untyped __global__["flash.display.GraphicsShaderFill"];
			case "GraphicsEndFill": untyped __global__["flash.display.GraphicsEndFill"];
			case "GraphicsStroke": untyped __global__["flash.display.GraphicsStroke"];
			case "GraphicsPath": untyped __global__["flash.display.GraphicsPath"];
			case "GraphicsTrianglePath": untyped __global__["flash.display.GraphicsTrianglePath"];
			case "IGraphicsData": untyped __global__["flash.display.IGraphicsData"];
			case "IGraphicsFill": untyped __global__["flash.display.IGraphicsFill"];
			case "IGraphicsPath": untyped __global__["flash.display.IGraphicsPath"];
			case "IGraphicsStroke": untyped __global__["flash.display.IGraphicsStroke"];
			case "Shape": untyped __global__["flash.display.Shape"];
			case "Matrix": untyped __global__["flash.geom.Matrix"];
			case "BitmapData": untyped __global__["flash.display.BitmapData"];
			case "Vector": untyped __global__["__AS3__.vec.Vector"];
			case "int": untyped __global__["int"];
			case "Number": untyped __global__["Number"];
			default: untyped __global__["Object"];
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
			default: untyped __new__(c, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
		}
	}

	static var fieldsOf = [
		"GraphicsSolidFill" => ["color", "alpha"],
		"GraphicsGradientFill" => [
			"type", "colors", "alphas", "ratios", "matrix", "spreadMethod", "interpolationMethod", "focalPointRatio"
		],
		"GraphicsBitmapFill" => ["bitmapData", "matrix", "repeat", "smooth"],
		"GraphicsShaderFill" => ["shader", "matrix"],
		"GraphicsEndFill" => [],
		"GraphicsStroke" => ["thickness", "pixelHinting", "scaleMode", "caps", "joints", "miterLimit", "fill"],
		"GraphicsPath" => ["commands", "data", "winding"],
		"GraphicsTrianglePath" => ["vertices", "indices", "uvtData", "culling"],
	];

	static function show(o:Dynamic, n:String):String {
		var out = [];
		for (f in fieldsOf.get(n))
			out.push(f + "=" + R.show(Reflect.field(o, f)));
		return out.join(" ");
	}

	static function vec(t:String, items:Array<Dynamic>):Dynamic {
		var out:Dynamic = switch (t) {
			case "int": new flash.Vector<Int>();
			case "Number": new flash.Vector<Float>();
			default: new flash.Vector<flash.display.IGraphicsData>();
		}
		for (i in items)
			out.push(i);
		return out;
	}

	static function bounds(data:Array<Dynamic>):String {
		var s:Dynamic = mk("Shape", []);
		s.graphics.drawGraphicsData(vec("IGraphicsData", data));
		var r:Dynamic = s.getBounds(s);
		return r.x + "," + r.y + "," + r.width + "," + r.height + " hit " + s.hitTestPoint(5, 5, true);
	}

	static function square(x:Float, y:Float, w:Float):Dynamic {
		var p:Dynamic = mk("GraphicsPath", []);
		p.moveTo(x, y);
		p.lineTo(x + w, y);
		p.lineTo(x + w, y + w);
		p.lineTo(x, y + w);
		p.lineTo(x, y);
		return p;
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var odd:Array<Dynamic> = [u, null, Math.NaN, -1, 0.5, "3", "x", true];
		var order = [
			"GraphicsSolidFill", "GraphicsGradientFill", "GraphicsBitmapFill", "GraphicsShaderFill", "GraphicsEndFill", "GraphicsStroke",
			"GraphicsPath", "GraphicsTrianglePath"
		];
		for (n in order) {
			R.run("new " + n + "()", function() return show(mk(n, []), n));
			var count = fieldsOf.get(n).length;
			for (v in odd)
				R.run("new " + n + "(" + R.str(v) + " x" + count + ")", function() return show(mk(n, [for (i in 0...count) v]), n));
			R.run("new " + n + "(" + (count + 1) + " args)", function() return show(mk(n, [for (i in 0...count + 1) null]), n));
			for (i in ["IGraphicsData", "IGraphicsFill", "IGraphicsPath", "IGraphicsStroke"])
				R.run(n + " is " + i, function() return untyped __is__(mk(n, []), cls(i)));
		}
		// Each text field set to a name it does not know, to null, and to each name it knows.
		var words:Array<Array<Dynamic>> = [
			["GraphicsGradientFill", "type", ["linear", "radial"]],
			["GraphicsGradientFill", "spreadMethod", ["pad", "reflect", "repeat"]],
			["GraphicsGradientFill", "interpolationMethod", ["rgb", "linearRGB"]],
			["GraphicsStroke", "scaleMode", ["normal", "none", "horizontal", "vertical"]],
			["GraphicsStroke", "caps", ["none", "round", "square"]],
			["GraphicsStroke", "joints", ["round", "bevel", "miter"]],
			["GraphicsPath", "winding", ["evenOdd", "nonZero"]],
			["GraphicsTrianglePath", "culling", ["none", "positive", "negative"]],
		];
		for (w in words) {
			var known:Array<Dynamic> = w[2];
			for (v in known.concat(["bad", null, "NONE"]))
				R.run(w[0] + "." + w[1] + " = " + R.str(v), function() {
					var o:Dynamic = mk(w[0], []);
					untyped o[w[1]] = v;
					return untyped o[w[1]];
				});
		}
		R.run("GraphicsPath([1,2])", function() return show(mk("GraphicsPath", [[1, 2]]), "GraphicsPath"));
		R.run("GraphicsSolidFill.color = -1", function() {
			var f:Dynamic = mk("GraphicsSolidFill", []);
			f.color = -1;
			return f.color;
		});
		R.run("GraphicsSolidFill.extra", function() {
			var f:Dynamic = mk("GraphicsSolidFill", []);
			f.extra = 1;
			return f.extra;
		});
		// Each path method on a fresh path, then on one whose lists exist, then on fixed ones.
		var calls:Array<Array<Dynamic>> = [
			["moveTo", [1, 2]], ["lineTo", [3, "4"]], ["curveTo", [1, 2, 3, 4]], ["cubicCurveTo", [1, 2, 3, 4, 5, 6]],
			["wideMoveTo", [7, 8]], ["wideLineTo", [9, null]], ["lineTo", [u, u]]
		];
		for (c in calls) {
			R.run("path." + c[0] + R.str(c[1]), function() {
				var p:Dynamic = mk("GraphicsPath", []);
				var f:Dynamic = untyped p[c[0]];
				f.apply(p, c[1]);
				f.apply(p, c[1]);
				return show(p, "GraphicsPath");
			});
			R.run("fixed path." + c[0], function() {
				var cmds:Dynamic = vec("int", [1]);
				cmds.fixed = true;
				var p:Dynamic = mk("GraphicsPath", [cmds, vec("Number", [0, 0])]);
				var f:Dynamic = untyped p[c[0]];
				f.apply(p, c[1]);
				return show(p, "GraphicsPath");
			});
		}
		R.run("path.moveTo()", function() {
			var p:Dynamic = mk("GraphicsPath", []);
			p.moveTo();
			return show(p, "GraphicsPath");
		});
		// drawGraphicsData: what each entry draws.
		var solid:Dynamic = mk("GraphicsSolidFill", [0xFF0000, 1]);
		var stroke:Dynamic = mk("GraphicsStroke", [10]);
		stroke.fill = mk("GraphicsSolidFill", [0]);
		var bare:Dynamic = mk("GraphicsStroke", [10]);
		var nanStroke:Dynamic = mk("GraphicsStroke", []);
		nanStroke.fill = mk("GraphicsSolidFill", [0]);
		var end:Dynamic = mk("GraphicsEndFill", []);
		var tri:Dynamic = mk("GraphicsTrianglePath", [vec("Number", [0, 0, 40, 0, 0, 40])]);
		var grad:Dynamic = mk("GraphicsGradientFill", ["linear", [0, 0xFFFFFF], [1, 1], [0, 255]]);
		var bmp:Dynamic = mk("GraphicsBitmapFill", [untyped __new__(cls("BitmapData"), 4, 4, false, 0xFF00FF00)]);
		var cases:Array<Array<Dynamic>> = [
			["fill path end", [solid, square(0, 0, 20), end]],
			["path only", [square(0, 0, 20)]],
			["stroke path", [stroke, square(0, 0, 20)]],
			["stroke without fill", [bare, square(0, 0, 20)]],
			["stroke NaN", [nanStroke, square(0, 0, 20)]],
			["gradient path", [grad, square(2, 2, 30), end]],
			["bitmap path", [bmp, square(2, 2, 30), end]],
			["triangles", [solid, tri, end]],
			["null entry", [solid, null, square(0, 0, 20), end]],
			["two paths", [solid, square(0, 0, 10), square(20, 20, 10), end]],
			["wide path", [solid, {var p:Dynamic = mk("GraphicsPath", []); p.wideMoveTo(1, 1); p.wideLineTo(30, 1); p.wideLineTo(30, 30); p;}, end]],
			["stroke then none", [stroke, square(0, 0, 20), bare, square(50, 50, 10)]],
		];
		for (c in cases)
			R.run("drawGraphicsData " + c[0], function() return bounds(c[1]));
		R.run("drawGraphicsData(null)", function() return mk("Shape", []).graphics.drawGraphicsData(null));
		R.run("drawGraphicsData(Array)", function() return mk("Shape", []).graphics.drawGraphicsData([solid]));
		// drawRoundRectComplex and copyFrom.
		var rr:Array<Array<Dynamic>> = [
			[0, 0, 40, 20, 5, 5, 5, 5], [0, 0, 40, 20, 30, 0, 0, 30], [10, 10, -40, -20, 5, 0, 5, 0],
			[0, 0, 40, 20, -5, u, null, "3"], [0, 0, 40, 20]
		];
		for (c in rr)
			R.run("drawRoundRectComplex" + R.str(c), function() {
				var s:Dynamic = mk("Shape", []);
				s.graphics.beginFill(0);
				var g:Dynamic = s.graphics;
				var f:Dynamic = untyped g["drawRoundRectComplex"];
				f.apply(g, c);
				var r:Dynamic = s.getBounds(s);
				return r.x + "," + r.y + "," + r.width + "," + r.height + " corner " + s.hitTestPoint(c[0] + 0.5, c[1] + 0.5, true);
			});
		R.run("copyFrom", function() {
			var a:Dynamic = mk("Shape", []);
			var b:Dynamic = mk("Shape", []);
			a.graphics.beginFill(0);
			a.graphics.drawRect(0, 0, 10, 10);
			b.graphics.drawRect(50, 50, 5, 5);
			b.graphics.copyFrom(a.graphics);
			var before = b.width;
			a.graphics.drawRect(20, 20, 10, 10);
			b.graphics.lineTo(30, 0);
			return before + " " + a.width + "x" + a.height + " " + b.width + "x" + b.height;
		});
		R.run("copyFrom(empty)", function() {
			var a:Dynamic = mk("Shape", []);
			var b:Dynamic = mk("Shape", []);
			b.graphics.beginFill(0);
			b.graphics.drawRect(50, 50, 5, 5);
			b.graphics.copyFrom(a.graphics);
			return b.width;
		});
		R.run("copyFrom(null)", function() return mk("Shape", []).graphics.copyFrom(null));
		R.run("copyFrom(shape)", function() return mk("Shape", []).graphics.copyFrom(mk("Shape", [])));
		R.run("bad path winding", function() {
			var p:Dynamic = square(0, 0, 20);
			p.winding = "bad";
			return bounds([solid, p, end]);
		});
		R.run("bad triangle culling", function() {
			var t:Dynamic = mk("GraphicsTrianglePath", [vec("Number", [0, 0, 40, 0, 0, 40])]);
			t.culling = "bad";
			return bounds([solid, t, end]);
		});
	}
}
