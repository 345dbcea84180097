// Helpers shared by the rule tables: print with the player's own trace, describe a value with
// the player's own typeof/String, and run one case so that a throw becomes a line too.
class R {
	public static function t(s:String):Void {
		untyped __global__["trace"](s);
	}

	public static function str(v:Dynamic):String {
		return untyped __global__["String"](v);
	}

	public static function show(v:Dynamic):String {
		var ty:String = untyped __typeof__(v);
		if (ty == "number" && untyped (v == 0 && 1 / v < 0))
			return "number -0";
		return ty + " " + oneLine(str(v));
	}

	// Line breaks inside a value would split its line of the table.
	public static function oneLine(s:String):String {
		return s.split("\r").join("\\r").split("\n").join("\\n");
	}

	public static function err(e:Dynamic):String {
		return "threw " + str(e);
	}

	public static function run(label:String, f:Void->Dynamic):Void {
		var line:String;
		try {
			line = label + " -> " + show(f());
		} catch (e:flash.errors.Error) {
			// A native catch: Haxe's own wrapping of a Dynamic catch walks stack traces.
			line = label + " " + err(e);
		}
		t(oneLine(line));
	}

	public static function g(name:String):Dynamic {
		return switch (name) {
			case "String": untyped __global__["String"];
			case "Number": untyped __global__["Number"];
			case "int": untyped __global__["int"];
			case "uint": untyped __global__["uint"];
			case "Boolean": untyped __global__["Boolean"];
			case "Object": untyped __global__["Object"];
			case "Array": untyped __global__["Array"];
			case "Function": untyped __global__["Function"];
			case "isNaN": untyped __global__["isNaN"];
			case "isFinite": untyped __global__["isFinite"];
			case "parseInt": untyped __global__["parseInt"];
			case "parseFloat": untyped __global__["parseFloat"];
			case "Math": untyped __global__["Math"];
			case "Date": untyped __global__["Date"];
			case "RegExp": untyped __global__["RegExp"];
			case "JSON": untyped __global__["JSON"];
			case "XML": untyped __global__["XML"];
			case "XMLList": untyped __global__["XMLList"];
			case "Error": untyped __global__["Error"];
			case "TypeError": untyped __global__["TypeError"];
			case "RangeError": untyped __global__["RangeError"];
			case "ArgumentError": untyped __global__["ArgumentError"];
			case "ReferenceError": untyped __global__["ReferenceError"];
			case "escape": untyped __global__["escape"];
			case "unescape": untyped __global__["unescape"];
			case "encodeURIComponent": untyped __global__["encodeURIComponent"];
			case "decodeURIComponent": untyped __global__["decodeURIComponent"];
			case "encodeURI": untyped __global__["encodeURI"];
			case "decodeURI": untyped __global__["decodeURI"];
			case "flash.utils.ByteArray": untyped __global__["flash.utils.ByteArray"];
			case "flash.utils.Dictionary": untyped __global__["flash.utils.Dictionary"];
			case "flash.utils.getQualifiedClassName": untyped __global__["flash.utils.getQualifiedClassName"];
			case "__AS3__.vec.Vector": untyped __global__["__AS3__.vec.Vector"];
			case "Namespace": untyped __global__["Namespace"];
			case "QName": untyped __global__["QName"];
			case "Class": untyped __global__["Class"];
			case "flash.utils.Endian": untyped __global__["flash.utils.Endian"];
			default: throw "no global " + name;
		}
	}

	// Every kind of argument a built-in meets; objects announce when they are converted.
	public static function values():Array<Dynamic> {
		var z:Float = 0;
		var o:Dynamic = {};
		o.valueOf = function() {
			t("  valueOf called");
			return 7;
		};
		o.toString = function() {
			t("  toString called");
			return "obj";
		};
		var s:Dynamic = {};
		s.toString = function() {
			t("  toString called");
			return " 12 ";
		};
		return [
			untyped __global__["undefined"], null, true, false, 0, -z, 1, -1, 0.5, 1e21, 1.5e-7, 123456789012, Math.NaN,
			Math.POSITIVE_INFINITY, Math.NEGATIVE_INFINITY, "", "0", " 12 ", "0x1F", "abc", "1e3", "-0", o, s, [], [1, 2],
			[untyped __global__["undefined"], null], function() {}, {}
		];
	}

	public static function names():Array<String> {
		return [
			"undefined", "null", "true", "false", "0", "-0", "1", "-1", "0.5", "1e21", "1.5e-7", "123456789012", "NaN", "Infinity",
			"-Infinity", "''", "'0'", "' 12 '", "'0x1F'", "'abc'", "'1e3'", "'-0'", "objVO", "objTS", "[]", "[1,2]", "[u,n]",
			"function", "{}"
		];
	}
}
