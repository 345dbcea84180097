// Haxe's own runtime on the player: its boot code patches the core prototypes, and its
// standard library leans on them (Std, StringTools, Map, enums, exceptions, Reflect).
enum Shape {
	Circle(r:Float);
	Box(w:Int, h:Int);
}

class HaxeStd {
	static function main() {
		var s = "Hello, World";
		R.t("charCodeAt " + s.charCodeAt(1) + " " + s.charCodeAt(99));
		R.t("substr " + s.substr(-5) + " " + s.substring(7, 2) + " " + s.indexOf("o", 5) + " " + s.lastIndexOf("o"));
		R.t("split " + s.split(", ").join("|") + " " + s.toUpperCase());
		R.t("Std.string " + Std.string([1, 2, 3]) + " " + Std.string({a: 1}) + " " + Std.string(null) + " " + Std.string(1.5));
		R.t("Std.parseInt " + Std.parseInt("0x1F") + " " + Std.parseInt("12abc") + " " + Std.parseInt("abc") + " " + Std.parseFloat("1.5e3x"));
		R.t("Std.int " + Std.int(-2.7) + " " + Std.int(3.9));
		R.t("StringTools " + StringTools.trim("  x  ") + "|" + StringTools.lpad("7", "0", 3) + "|" + StringTools.hex(255, 4) + "|"
			+ StringTools.replace("a.b.c", ".", "-") + "|" + StringTools.urlEncode("a b&c") + "|" + StringTools.htmlEscape("<a&b>"));
		var m = new Map<String, Int>();
		m.set("b", 2);
		m.set("a", 1);
		var keys = [for (k in m.keys()) k];
		keys.sort(Reflect.compare);
		R.t("Map " + keys.join(",") + " " + m.get("a") + " " + m.exists("z") + " " + m.get("z"));
		var im = new Map<Int, String>();
		im.set(3, "three");
		R.t("IntMap " + im.get(3) + " " + im.exists(4));
		var shapes = [Circle(1.5), Box(2, 3)];
		for (sh in shapes) {
			var d = switch (sh) {
				case Circle(r): "circle " + r;
				case Box(w, h): "box " + (w * h);
			}
			R.t("enum " + d + " " + Std.string(sh) + " " + Type.enumIndex(sh));
		}
		var a = [5, 3, 9, 1];
		a.sort(function(x, y) return x - y);
		R.t("sort " + a.join(",") + " " + a.indexOf(9) + " " + a.filter(function(x) return x > 2).join(",") + " " + a.map(function(x) return x * 2).join(","));
		R.t("Reflect " + Reflect.fields({b: 1}).join(",") + " " + Reflect.hasField({b: 1}, "b") + " " + Reflect.isFunction(main));
		var buf = new StringBuf();
		buf.add("a");
		buf.addChar(66);
		buf.add(3);
		R.t("StringBuf " + buf.toString());
		R.t("Math " + Math.floor(-1.5) + " " + Math.round(2.5) + " " + Math.isNaN(Math.NaN) + " " + Math.isFinite(1 / 0));
		R.t("Type " + Type.getClassName(Type.getClass(s)) + " " + Type.typeof(1.5) + " " + Type.typeof(1) + " " + Type.typeof("s"));
		R.t("Date " + Date.fromTime(0).getTime() + " " + (Date.fromString("2000-01-02") != null));
		R.t("interp ${1 + 1} " + '${s.length}');
		R.t("iterator " + [for (i in 0...3) i * i].join(","));
		R.t("Lambda " + Lambda.count([1, 2, 3]) + " " + Lambda.has([1, 2], 2));
		var mixed:Array<Dynamic> = [1, "s", 2.5];
		R.t("Unserializer " + Std.string(haxe.Unserializer.run(haxe.Serializer.run(mixed))));
		R.t("Bytes " + haxe.io.Bytes.ofString("h\u00e9").length + " " + haxe.io.Bytes.ofString("abc").toHex());
		R.t("Serializer " + haxe.Serializer.run({a: 1, b: [true, null]}));
		R.t("Unserializer " + Std.string(haxe.Unserializer.run(haxe.Serializer.run(([1, "s", 2.5] : Array<Dynamic>)))));
		R.t("md5 " + haxe.crypto.Md5.encode("abc"));
		R.t("base64 " + haxe.crypto.Base64.encode(haxe.io.Bytes.ofString("hello")));
		// Last: the reference player cannot run Haxe's exception wrapping.
		try {
			throw "boom";
		} catch (e:String) {
			R.t("caught string " + e);
		}
		try {
			var o:Dynamic = null;
			o.f();
		} catch (e:Dynamic) {
			R.t("caught dynamic");
		}
	}
}
