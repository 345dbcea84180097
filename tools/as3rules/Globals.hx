// The global functions (isXMLName, escape, the URI coders, parseInt and parseFloat, the
// conversions), the numeric constants and formats, Object's prototype methods, the error
// classes and Error.getErrorMessage and throwError.
class Globals {
	static function g(n:String):Dynamic {
		return untyped __global__["flash.utils.getDefinitionByName"](n);
	}
	static function main() {
		var E:Dynamic = untyped __global__["Error"];
		R.run("isXMLName", function() return [g("isXMLName")("a"), g("isXMLName")("1a"), g("isXMLName")(""), g("isXMLName")("a:b"), g("isXMLName")("_x.y-z")].join(","));
		R.run("escape", function() return g("escape")("a b+c/é€@*_-.") + "|" + g("unescape")("%u20AC%E9%zz"));
		R.run("encodeURI", function() return g("encodeURI")("a b;/?:@&=+$,#é") + "|" + g("encodeURIComponent")("a b;/?:@&=+$,#é"));
		R.run("decodeURIComponent", function() return g("decodeURIComponent")("%41%20%3B") + "|" + g("decodeURI")("%3B%41"));
		R.run("parseFloat", function() return [g("parseFloat")("Infinityx"), g("parseFloat")("-.5"), g("parseFloat")("0x10"), g("parseFloat")("  1e+2x")].join(","));
		R.run("parseInt", function() return [g("parseInt")("0x"), g("parseInt")("-0x10"), g("parseInt")("1010", 2), g("parseInt")("z", 36), g("parseInt")("9007199254740993"), g("parseInt")(" +12")].join(","));
		R.run("isNaN/isFinite", function() return [g("isNaN")("x"), g("isNaN")(""), g("isFinite")("1e400"), g("isFinite")(null)].join(","));
		R.run("Number()", function() return [g("Number")(""), g("Number")(" 12 "), g("Number")("0x1F"), g("Number")("1e"), g("Number")(null), g("Number")(untyped g("undefined")), g("Number")("-0x10"), g("Number")("Infinity"), g("Number")("+Infinity")].join(","));
		R.run("int()", function() return [g("int")("0x7fffffff1"), g("int")(-2147483649.0), g("int")(3.9), g("int")(-3.9), g("int")("  -12abc"), g("int")(1e20)].join(","));
		R.run("uint()", function() return [g("uint")(-1.5), g("uint")("4294967296"), g("uint")(1e20)].join(","));
		R.run("String()", function() return [g("String")(null), g("String")(untyped g("undefined")), g("String")(-0.0), g("String")(1e21), g("String")(123456789012), g("String")(0.000001), g("String")(1e-7)].join(","));
		R.run("Boolean()", function() return [g("Boolean")(""), g("Boolean")("0"), g("Boolean")(Math.NaN), g("Boolean")({}), g("Boolean")(untyped g("undefined"))].join(","));
		R.run("consts", function() return [g("int").MAX_VALUE, g("int").MIN_VALUE, g("uint").MAX_VALUE, g("Number").MIN_VALUE, g("Number").MAX_VALUE].join(","));
		R.run("Math", function() return [Math.pow(-8, 1/3), Math.pow(0, -1), Math.sqrt(-1), Math.floor(-0.5), Math.ceil(-0.5), Math.abs(-0.0), untyped Math.round(0.49999999999999994)].join(","));
		R.run("Math more", function() { var M:Dynamic = g("Math"); return [M.max(1, Math.NaN), M.min(), M.max(1, "3"), M.log(0), M.exp(1), M.E, M.LN2, M.SQRT1_2].join(","); });
		R.run("toString radix frac", function() { var n:Dynamic = 0.5; return n.toString(2) + "," + (untyped 255.5).toString(16) + "," + (untyped -0.1).toString(3); });
		R.run("number fmt", function() return ([0.1 * 3, 100 / 3, 1 / 7, 123e-20, 2e-7, 1234567890123456789, 0.000001234, 4.35, 1.005 * 1000]:Array<Dynamic>).join(","));
				R.run("Object.prototype", function() { var o:Dynamic = {a: 1}; return [o.hasOwnProperty("a"), o.propertyIsEnumerable("a"), untyped o.isPrototypeOf(o), o.toString(), o.toLocaleString(), untyped __typeof__(o.valueOf())].join(","); });
		R.run("setPropertyIsEnumerable", function() { var o:Dynamic = {a: 1, b: 2}; o.setPropertyIsEnumerable("a", false); var k = []; for (f in Reflect.fields(o)) k.push(f); return k.join(",") + "|" + o.propertyIsEnumerable("a"); });
		R.run("Class props", function() { var c:Dynamic = g("Array"); return [c.length, untyped __typeof__(c.prototype), c.prototype.constructor == c, untyped g("Object").prototype.constructor == g("Object")].join(","); });
		R.run("Error props", function() { var e:Dynamic = untyped __new__((untyped __global__["TypeError"]), "msg"); return [e.name, e.message, e.errorID, e.toString(), untyped __is__(e, E), (untyped __global__["TypeError"]).length].join(","); });
		R.run("Error subclass names", function() { var out:Array<String> = []; for (n in ["Error", "DefinitionError", "EvalError", "RangeError", "ReferenceError", "SecurityError", "SyntaxError", "TypeError", "URIError", "VerifyError", "ArgumentError", "UninitializedError"]) { var c:Dynamic = g(n); out.push(c == null ? n + "?" : untyped __new__(c).name); } var r:Dynamic = out.join(","); return r; });
		R.run("flash.errors", function() { var out:Array<String> = []; for (n in ["flash.errors.IOError", "flash.errors.EOFError", "flash.errors.MemoryError", "flash.errors.IllegalOperationError", "flash.errors.ScriptTimeoutError", "flash.errors.StackOverflowError", "flash.errors.InvalidSWFError", "flash.errors.DRMManagerError", "flash.errors.SQLError"]) { var c:Dynamic = g(n); out.push(c == null ? n + "?" : untyped __new__(c, "m").toString()); } var r:Dynamic = out.join(","); return r; });
		R.run("Error.getErrorMessage", function() { var r:Dynamic = E.getErrorMessage(1009) + "|" + E.getErrorMessage(2007); return r; });
		R.run("Error.throwError", function() { var r:Dynamic = E.throwError((untyped __global__["TypeError"]), 1009); return r; });
		R.run("Error.throwError args", function() { var r:Dynamic = E.throwError((untyped __global__["RangeError"]), 1003, 99); return r; });
	}
}
