// ByteArray reads and writes at and past the end in both byte orders, and the String and
// Number methods' declared argument counts.
class Bytes {
	static function hex(b:Dynamic):String {
		var out = [];
		b.position = 0;
		for (i in 0...b.length) {
			var v:Int = b.readUnsignedByte();
			out.push(StringTools.hex(v, 2));
		}
		return out.join(" ");
	}

	static function main() {
		var BA:Dynamic = R.g("flash.utils.ByteArray");
		var reads = [
			"readByte", "readUnsignedByte", "readShort", "readUnsignedShort", "readInt", "readUnsignedInt", "readFloat", "readDouble", "readBoolean",
			"readUTF"
		];
		for (endian in ["bigEndian", "littleEndian"]) {
			for (r in reads) {
				for (size in [0, 1, 3, 8]) {
					R.run(endian + " " + r + " of " + size, function() {
						var b:Dynamic = untyped __new__(BA);
						b.endian = endian;
						for (i in 0...size)
							b.writeByte(0x81 + i);
						b.position = 0;
						var v:Dynamic = Reflect.callMethod(b, Reflect.field(b, r), []);
						return R.str(v) + " @" + R.str(b.position);
					});
				}
			}
			var writes:Array<Array<Dynamic>> = [
				["writeShort", 0x12345], ["writeShort", -1], ["writeInt", 4294967295.0], ["writeUnsignedInt", -1], ["writeFloat", 1.5],
				["writeDouble", -2.25], ["writeBoolean", "x"], ["writeUTF", "hé"], ["writeUTFBytes", "hé"], ["writeMultiByte", "hé"]
			];
			for (w in writes) {
				R.run(endian + " " + w[0] + "(" + R.str(w[1]) + ")", function() {
					var b:Dynamic = untyped __new__(BA);
					b.endian = endian;
					if (w[0] == "writeMultiByte")
						b.writeMultiByte(w[1], "utf-8");
					else
						Reflect.callMethod(b, Reflect.field(b, w[0]), [w[1]]);
					return hex(b) + " len " + R.str(b.length);
				});
			}
		}
		R.run("position past end then write", function() {
			var b:Dynamic = untyped __new__(BA);
			b.position = 4;
			b.writeByte(7);
			return hex(b) + " len " + R.str(b.length);
		});
		R.run("length shrink keeps position", function() {
			var b:Dynamic = untyped __new__(BA);
			b.writeInt(1);
			b.length = 2;
			return R.str(b.position) + " " + R.str(b.bytesAvailable);
		});
		R.run("readBytes past end", function() {
			var b:Dynamic = untyped __new__(BA);
			b.writeInt(1);
			b.position = 2;
			var c:Dynamic = untyped __new__(BA);
			b.readBytes(c, 0, 5);
			return hex(c);
		});
		var s:Dynamic = "hello";
		for (m in ["charAt", "charCodeAt", "indexOf", "lastIndexOf", "concat", "slice", "split", "substr", "toUpperCase", "match", "replace"]) {
			for (n in 0...4) {
				var args:Array<Dynamic> = [for (i in 0...n) 1];
				R.run("'hello'." + m + " with " + n, function() return Reflect.callMethod(s, Reflect.field(s, m), args));
			}
			R.run("'hello'." + m + ".length", function() return Reflect.field(s, m).length);
		}
		var x:Dynamic = 12.5;
		for (m in ["toString", "toFixed", "toPrecision", "toExponential", "valueOf"]) {
			for (n in 0...3) {
				var args:Array<Dynamic> = [for (i in 0...n) 2];
				R.run("12.5." + m + " with " + n, function() return Reflect.callMethod(x, Reflect.field(x, m), args));
			}
		}
	}
}
