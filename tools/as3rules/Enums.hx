// Properties and arguments that take one of a set of names: each given every accepted name,
// the names in another case, an unknown name, the empty string and null; what is refused and
// with which error, and what reads back.
class Enums {
	static function g(n:String):Dynamic {
		return switch (n) {
			case "Sprite": untyped __global__["flash.display.Sprite"];
			case "Bitmap": untyped __global__["flash.display.Bitmap"];
			case "TextField": untyped __global__["flash.text.TextField"];
			case "TextFormat": untyped __global__["flash.text.TextFormat"];
			case "Graphics": untyped __global__["flash.display.Graphics"];
			case "Shape": untyped __global__["flash.display.Shape"];
			case "URLRequest": untyped __global__["flash.net.URLRequest"];
			case "URLLoader": untyped __global__["flash.net.URLLoader"];
			case "ByteArray": untyped __global__["flash.utils.ByteArray"];
			case "DisplacementMapFilter": untyped __global__["flash.filters.DisplacementMapFilter"];
			case "BevelFilter": untyped __global__["flash.filters.BevelFilter"];
			case "Event": untyped __global__["flash.events.Event"];
			default: throw "no class " + n;
		}
	}

	static function tryLine(label:String, f:Void->Dynamic):String {
		try {
			return label + ">" + R.str(f());
		} catch (e:flash.errors.Error) {
			return label + ">#" + e.errorID;
		}
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var props:Array<Array<Dynamic>> = [
			["Sprite", "blendMode", ["normal", "layer", "multiply", "screen", "lighten", "darken", "difference", "add", "subtract", "invert", "alpha", "erase", "overlay", "hardlight", "shader"]],
			["Bitmap", "pixelSnapping", ["never", "always", "auto"]],
			["TextField", "autoSize", ["none", "left", "right", "center"]],
			["TextField", "type", ["dynamic", "input"]],
			["TextField", "antiAliasType", ["normal", "advanced"]],
			["TextField", "gridFitType", ["none", "pixel", "subpixel"]],
			["TextFormat", "align", ["left", "right", "center", "justify", "start", "end"]],
			["TextFormat", "display", ["block", "inline", "none"]],
			["URLRequest", "method", ["GET", "POST", "PUT", "DELETE", "HEAD", "OPTIONS"]],
			["URLLoader", "dataFormat", ["text", "binary", "variables"]],
			["ByteArray", "endian", ["bigEndian", "littleEndian"]],
			["ByteArray", "objectEncoding", [0, 3, 1, 2, -1]],
			["DisplacementMapFilter", "mode", ["wrap", "clamp", "ignore", "color"]],
			["BevelFilter", "type", ["inner", "outer", "full"]],
		];
		for (p in props) {
			var cls:String = p[0];
			var prop:String = p[1];
			var accepted:Array<Dynamic> = p[2];
			var tries:Array<Dynamic> = accepted.copy();
			var first:Dynamic = accepted[0];
			if (Std.isOfType(first, String)) {
				tries.push((first : String).toUpperCase());
				tries.push((first : String).charAt(0).toUpperCase() + (first : String).substr(1));
			}
			for (t in (["bogus", "", null, u, 5] : Array<Dynamic>))
				tries.push(t);
			var out:Array<String> = [];
			for (t in tries)
				out.push(tryLine(R.str(t), function() {
					var o:Dynamic = untyped __new__(g(cls));
					Reflect.setProperty(o, prop, t);
					return Reflect.getProperty(o, prop);
				}));
			R.t(R.oneLine(cls + "." + prop + ": " + out.join(" | ")));
		}

		// Arguments that take names.
		var gr:Dynamic = untyped __new__(g("Shape")).graphics;
		var calls:Array<Array<Dynamic>> = [
			["lineStyle caps", ["none", "round", "square", "ROUND", "bogus", "", null]],
			["lineStyle joints", ["bevel", "miter", "round", "BEVEL", "bogus", "", null]],
			["lineStyle scaleMode", ["normal", "none", "vertical", "horizontal", "bogus", "", null]],
			["beginGradientFill type", ["linear", "radial", "LINEAR", "bogus", "", null]],
			["beginGradientFill spread", ["pad", "reflect", "repeat", "bogus", "", null]],
			["beginGradientFill interpolation", ["rgb", "linearRGB", "RGB", "bogus", "", null]],
		];
		for (c in calls) {
			var what:String = c[0];
			var names:Array<Dynamic> = c[1];
			var out:Array<String> = [];
			for (n in names)
				out.push(tryLine(R.str(n), function():Dynamic {
					switch (what) {
						case "lineStyle caps":
							gr.lineStyle(1, 0, 1, false, "normal", n);
						case "lineStyle joints":
							gr.lineStyle(1, 0, 1, false, "normal", "round", n);
						case "lineStyle scaleMode":
							gr.lineStyle(1, 0, 1, false, n);
						case "beginGradientFill type":
							gr.beginGradientFill(n, [0, 0xFF], [1, 1], [0, 255]);
						case "beginGradientFill spread":
							gr.beginGradientFill("linear", [0, 0xFF], [1, 1], [0, 255], null, n);
						case "beginGradientFill interpolation":
							gr.beginGradientFill("linear", [0, 0xFF], [1, 1], [0, 255], null, "pad", n);
						default:
							gr.beginGradientFill("linear", [0, 0xFF], [1, 1], [0, 255], null, "pad", n);
					}
					return "ok";
				}));
			R.t(R.oneLine(what + ": " + out.join(" | ")));
		}
		var ev:Array<String> = [];
		for (t in ["enterFrame", "", null, u])
			ev.push(tryLine(R.str(t), function() return untyped __new__(g("Event"), t).type));
		R.t("Event type: " + ev.join(" | "));
	}
}
