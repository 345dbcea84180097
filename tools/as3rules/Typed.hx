// The player's typed properties given every kind of value: what a setter's declared type
// makes of it (a coercion, a conversion or an error) and what reads back.
class Typed {
	static function g(n:String):Dynamic {
		return switch (n) {
			case "Sprite": untyped __global__["flash.display.Sprite"];
			case "Shape": untyped __global__["flash.display.Shape"];
			case "MovieClip": untyped __global__["flash.display.MovieClip"];
			case "Bitmap": untyped __global__["flash.display.Bitmap"];
			case "BitmapData": untyped __global__["flash.display.BitmapData"];
			case "SimpleButton": untyped __global__["flash.display.SimpleButton"];
			case "TextField": untyped __global__["flash.text.TextField"];
			case "TextFormat": untyped __global__["flash.text.TextFormat"];
			case "StyleSheet": untyped __global__["flash.text.StyleSheet"];
			case "Rectangle": untyped __global__["flash.geom.Rectangle"];
			case "Point": untyped __global__["flash.geom.Point"];
			case "Matrix": untyped __global__["flash.geom.Matrix"];
			case "ColorTransform": untyped __global__["flash.geom.ColorTransform"];
			case "SoundTransform": untyped __global__["flash.media.SoundTransform"];
			case "Timer": untyped __global__["flash.utils.Timer"];
			case "ContextMenu": untyped __global__["flash.ui.ContextMenu"];
			case "Event": untyped __global__["flash.events.Event"];
			case "URLRequest": untyped __global__["flash.net.URLRequest"];
			default: throw "no class " + n;
		}
	}

	static function make(n:String):Dynamic {
		if (n == "Timer")
			return untyped __new__(g(n), 100);
		if (n == "BitmapData")
			return untyped __new__(g(n), 2, 2);
		if (n == "Event")
			return untyped __new__(g(n), "x");
		return untyped __new__(g(n));
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var values:Array<Dynamic> = [u, null, Math.NaN, -1, 0.5, 2.5, "7", "abc", true, {}, [1]];
		var names = ["undefined", "null", "NaN", "-1", "0.5", "2.5", "'7'", "'abc'", "true", "{}", "[1]"];
		var props:Array<Array<String>> = [
			["Sprite", "x"], ["Sprite", "alpha"], ["Sprite", "rotation"], ["Sprite", "visible"], ["Sprite", "name"],
			["Sprite", "mask"], ["Sprite", "hitArea"], ["Sprite", "scrollRect"], ["Sprite", "scale9Grid"],
			["Sprite", "transform"], ["Sprite", "soundTransform"], ["Sprite", "contextMenu"], ["Sprite", "buttonMode"],
			["Sprite", "tabIndex"], ["Sprite", "focusRect"], ["Sprite", "blendMode"], ["Sprite", "opaqueBackground"],
			["Sprite", "cacheAsBitmap"], ["Sprite", "useHandCursor"], ["Sprite", "mouseEnabled"], ["Sprite", "doubleClickEnabled"],
			["Sprite", "accessibilityProperties"], ["MovieClip", "enabled"], ["MovieClip", "trackAsMenu"],
			["Bitmap", "bitmapData"], ["Bitmap", "pixelSnapping"], ["Bitmap", "smoothing"],
			["SimpleButton", "upState"], ["SimpleButton", "hitTestState"], ["SimpleButton", "enabled"],
			["TextField", "text"], ["TextField", "htmlText"], ["TextField", "defaultTextFormat"], ["TextField", "styleSheet"],
			["TextField", "maxChars"], ["TextField", "textColor"], ["TextField", "autoSize"], ["TextField", "type"],
			["TextField", "restrict"], ["TextField", "scrollV"], ["TextField", "antiAliasType"], ["TextField", "gridFitType"],
			["TextField", "sharpness"], ["TextField", "thickness"], ["TextField", "border"],
			["TextFormat", "size"], ["TextFormat", "bold"], ["TextFormat", "color"], ["TextFormat", "font"], ["TextFormat", "align"],
			["TextFormat", "tabStops"], ["TextFormat", "leading"], ["TextFormat", "indent"],
			["Timer", "delay"], ["Timer", "repeatCount"],
			["SoundTransform", "volume"], ["SoundTransform", "pan"],
			["URLRequest", "url"], ["URLRequest", "method"], ["URLRequest", "data"], ["URLRequest", "requestHeaders"],
			["Rectangle", "topLeft"], ["Rectangle", "size"], ["Rectangle", "bottomRight"],
			["ColorTransform", "color"], ["ColorTransform", "redOffset"],
		];
		for (p in props) {
			var out:Array<String> = [];
			for (i in 0...values.length) {
				var o:Dynamic = make(p[0]);
				var line:String;
				try {
					Reflect.setProperty(o, p[1], values[i]);
					line = names[i] + ">" + R.show(Reflect.getProperty(o, p[1]));
				} catch (e:flash.errors.Error) {
					line = names[i] + ">#" + e.errorID;
				}
				out.push(line);
			}
			R.t(R.oneLine(p[0] + "." + p[1] + ": " + out.join(" | ")));
		}
		// Objects of the right class, but not the expected kind of display object.
		R.run("mask = Shape", function() {
			var s:Dynamic = make("Sprite");
			s.mask = make("Shape");
			return s.mask;
		});
		R.run("hitArea = MovieClip", function() {
			var s:Dynamic = make("Sprite");
			s.hitArea = make("MovieClip");
			return s.hitArea;
		});
		R.run("hitArea = Shape", function() {
			var s:Dynamic = make("Sprite");
			untyped s.hitArea = make("Shape");
			return s.hitArea;
		});
		R.run("upState = Bitmap", function() {
			var b:Dynamic = make("SimpleButton");
			b.upState = make("Bitmap");
			return b.upState;
		});
		R.run("bitmapData = disposed", function() {
			var b:Dynamic = make("Bitmap");
			var d:Dynamic = make("BitmapData");
			d.dispose();
			b.bitmapData = d;
			return R.str(b.width) + " " + R.str(b.bitmapData == d);
		});
		R.run("transform = other's", function() {
			var a:Dynamic = make("Sprite");
			var b:Dynamic = make("Sprite");
			b.x = 7;
			b.alpha = 0.5;
			a.transform = b.transform;
			return R.str(a.x) + " " + R.str(a.alpha) + " " + R.str(a.transform == b.transform);
		});
	}
}
