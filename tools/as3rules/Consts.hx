// The classes that only name values: each constant read through its class, with its type, and
// whether a script may make one of the class. Classes a movie's script names only to read
// these must exist even where the feature behind them does not.
class Consts {
	static function main() {
		var table:Array<Array<String>> = [
			["flash.display.LineScaleMode", "HORIZONTAL NONE NORMAL VERTICAL"],
			["flash.display.CapsStyle", "NONE ROUND SQUARE"],
			["flash.display.JointStyle", "BEVEL MITER ROUND"],
			["flash.display.GradientType", "LINEAR RADIAL"],
			["flash.display.SpreadMethod", "PAD REFLECT REPEAT"],
			["flash.display.InterpolationMethod", "LINEAR_RGB RGB"],
			["flash.display.PixelSnapping", "ALWAYS AUTO NEVER"],
			["flash.display.TriangleCulling", "NEGATIVE NONE POSITIVE"],
			["flash.display.ColorCorrection", "DEFAULT OFF ON"],
			["flash.display.ColorCorrectionSupport", "DEFAULT_OFF DEFAULT_ON UNSUPPORTED"],
			["flash.display.ActionScriptVersion", "ACTIONSCRIPT2 ACTIONSCRIPT3"],
			["flash.display.SWFVersion", "FLASH1 FLASH2 FLASH3 FLASH4 FLASH5 FLASH6 FLASH7 FLASH8 FLASH9 FLASH10 FLASH11"],
			["flash.display.FocusDirection", "BOTTOM NONE TOP"],
			["flash.display.BitmapDataChannel", "ALPHA BLUE GREEN RED"],
			["flash.display.GraphicsPathWinding", "EVEN_ODD NON_ZERO"],
			["flash.events.EventPhase", "AT_TARGET BUBBLING_PHASE CAPTURING_PHASE"],
			["flash.events.GesturePhase", "ALL BEGIN END UPDATE"],
			["flash.events.ThrottleType", "PAUSE RESUME THROTTLE"],
			["flash.ui.KeyLocation", "LEFT NUM_PAD RIGHT STANDARD"],
			["flash.ui.MultitouchInputMode", "GESTURE NONE TOUCH_POINT"],
			["flash.net.SharedObjectFlushStatus", "FLUSHED PENDING"],
			["flash.text.TextDisplayMode", "CRT DEFAULT LCD"],
			["flash.text.TextColorType", "DARK_COLOR LIGHT_COLOR"],
			["flash.utils.CompressionAlgorithm", "DEFLATE LZMA ZLIB"],
			["flash.media.SoundCodec", "NELLYMOSER PCMA PCMU SPEEX"],
			["flash.media.StageVideoAvailability", "AVAILABLE UNAVAILABLE"],
			["flash.media.VideoStatus", "ACCELERATED SOFTWARE UNAVAILABLE"],
			["flash.geom.Orientation3D", "AXIS_ANGLE EULER_ANGLES QUATERNION"],
		];
		var gd:Dynamic = untyped __global__["flash.utils.getDefinitionByName"];
		for (row in table) {
			var cls:Dynamic = null;
			try {
				cls = gd(row[0]);
			} catch (e:flash.errors.Error) {
				R.t(row[0] + " " + R.err(e));
				continue;
			}
			for (n in row[1].split(" "))
				R.run(row[0] + "." + n, function() return Reflect.field(cls, n));
			R.run("new " + row[0], function() return untyped __new__(cls) != null);
			R.run("keys " + row[0], function() {
				var k = [];
				for (f in Reflect.fields(cls))
					k.push(f);
				return k.join(",");
			});
		}
	}
}
