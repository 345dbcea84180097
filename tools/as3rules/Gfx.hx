// The drawing API given too few arguments, too many, nulls and wrong kinds: what each method
// refuses, and with which error.
class Gfx {
	static function main() {
		var S:Dynamic = untyped __global__["flash.display.Shape"];
		var BD:Dynamic = untyped __global__["flash.display.BitmapData"];
		var u:Dynamic = untyped __global__["undefined"];
		var cases:Array<Array<Dynamic>> = [
			["beginBitmapFill", [null]], ["beginBitmapFill", [u]], ["beginBitmapFill", [5]],
			["lineBitmapStyle", [null]], ["beginShaderFill", [null]], ["lineShaderStyle", [null]],
			["drawGraphicsData", [null]], ["copyFrom", [null]], ["lineGradientStyle", [null, [0], [1], [0]]],
			["beginGradientFill", [null, [0], [1], [0]]], ["beginGradientFill", ["linear", null, null, null]],
			["beginGradientFill", ["linear", [0, 1], [1], [0, 255]]], ["beginGradientFill", ["linear", 5, [1], [0]]],
			["drawTriangles", [null]], ["drawPath", [null, null]], ["cubicCurveTo", [1, 2, 3, 4, 5, 6]],
			["drawRoundRectComplex", [0, 0, 10, 10, 1, 2, 3, 4]], ["drawRoundRect", [0, 0, 10, 10]],
			["drawRoundRect", [0, 0, 10, 10, 5, u]], ["drawEllipse", [0, 0, 10]], ["drawCircle", [0, 0]],
			["lineStyle", []], ["beginFill", []], ["moveTo", []], ["lineTo", [1]], ["curveTo", [1, 2, 3]],
			["drawRect", [0, 0, 10]], ["readGraphicsData", [5]]
		];
		for (c in cases) {
			var line:String;
			try {
				var s:Dynamic = untyped __new__(S);
				var gr:Dynamic = s.graphics;
				var f:Dynamic = Reflect.field(gr, c[0]);
				var r:Dynamic = f.apply(gr, c[1]);
				line = "-> " + R.str(r) + " w=" + R.str(s.width) + " h=" + R.str(s.height);
			} catch (e:flash.errors.Error) {
				line = R.err(e);
			}
			R.t(c[0] + "(" + (c[1] : Array<Dynamic>).map(R.str).join(",") + ") " + line);
		}
	}
}
