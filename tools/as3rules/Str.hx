// String's methods over awkward arguments.
class Str {
	static function call(s:String, m:String, a:Array<Dynamic>):Dynamic {
		var o:Dynamic = s;
		var f:Dynamic = Reflect.field(o, m);
		return f.apply(o, a);
	}

	static function show(a:Array<Dynamic>):String {
		var parts = [];
		for (x in a)
			parts.push(untyped __typeof__(x) == "string" ? "'" + R.str(x) + "'" : R.str(x));
		return parts.join(",");
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var z:Float = 0;
		var idx:Array<Dynamic> = [u, null, 0, -z, 1, -1, 2.7, -2.7, 3, 10, -10, Math.NaN, Math.POSITIVE_INFINITY, Math.NEGATIVE_INFINITY, "1", "x", true];
		var s = "hello";
		for (m in ["charAt", "charCodeAt", "substr", "substring", "slice"]) {
			for (a in idx) {
				var args:Array<Dynamic> = [a];
				R.run(s + "." + m + "(" + show(args) + ")", function() return call(s, m, args));
			}
			for (a in [0, 1, -2, 3, Math.NaN, 10]) {
				for (b in idx) {
					var args:Array<Dynamic> = [a, b];
					R.run(s + "." + m + "(" + show(args) + ")", function() return call(s, m, args));
				}
			}
			R.run(s + "." + m + "()", function() return call(s, m, []));
		}
		var t = "abcabc";
		var needles:Array<Dynamic> = [u, null, "", "a", "bc", "c", "abcabcx", "A", 1, true];
		for (m in ["indexOf", "lastIndexOf"]) {
			for (n in needles) {
				R.run(t + "." + m + "(" + show([n]) + ")", function() return call(t, m, [n]));
				for (f in idx) {
					var args:Array<Dynamic> = [n, f];
					R.run(t + "." + m + "(" + show(args) + ")", function() return call(t, m, args));
				}
			}
			R.run(t + "." + m + "()", function() return call(t, m, []));
		}
		var re:Dynamic = R.g("RegExp");
		var splits:Array<Dynamic> = [
			u, null, "", ",", ", ", "a", "abc", untyped __new__(re, ","), untyped __new__(re, "(,)"), untyped __new__(re, ""), untyped __new__(re, "x*"),
			untyped __new__(re, "\\s*"), untyped __new__(re, "(a)|(b)"), untyped __new__(re, ",", "g")
		];
		for (src in ["a,b,,c", "", "abc", ",a,", "a, b ,c"]) {
			for (sp in splits) {
				R.run("'" + src + "'.split(" + show([sp]) + ")", function() return call(src, "split", [sp]));
				for (lim in [0, 1, 2, -1, u, 4294967295.0, Math.NaN]) {
					var args:Array<Dynamic> = [sp, lim];
					R.run("'" + src + "'.split(" + show(args) + ")", function() return call(src, "split", args));
				}
			}
		}
		var rsrc = "John Smith, Jane Doe; a1b22c333";
		var pats:Array<Dynamic> = [
			"Smith", "o", untyped __new__(re, "o"), untyped __new__(re, "o", "g"), untyped __new__(re, "(\\w+)\\s(\\w+)", "g"), untyped __new__(re, "\\d+", "g"),
			untyped __new__(re, "(x)?y|(a)", "g"), untyped __new__(re, "", "g"), untyped __new__(re, "^", "gm"), u, null
		];
		var reps:Array<Dynamic> = [
			"[$&]", "$2 $1", "$$", "$`|$'", "$0", "$3", "$10", "$01", "$", "x$", "$9$", u, null, 5,
			function(a0, a1, a2, a3, a4) {
				return "<" + R.str(a0) + "|" + R.str(a1) + "|" + R.str(a2) + "|" + R.str(a3) + "|" + R.str(a4) + ">";
			},
			function() {
				return untyped __global__["undefined"];
			}
		];
		for (p in pats) {
			for (rp in reps) {
				var args:Array<Dynamic> = [p, rp];
				R.run("replace(" + show(args) + ")", function() return call(rsrc, "replace", args));
			}
			R.run("match(" + show([p]) + ")", function() return call(rsrc, "match", [p]));
			R.run("search(" + show([p]) + ")", function() return call(rsrc, "search", [p]));
		}
		R.run("replace no args", function() return call(rsrc, "replace", []));
		R.run("match no args", function() return call(rsrc, "match", []));
		R.run("match '.'", function() return call("a.b", "match", ["."]));
		R.run("search '.'", function() return call("a.b", "search", ["."]));
		R.run("replace '.'", function() return call("a.b", "replace", [".", "-"]));
		R.run("replace '(' string", function() return call("a(b", "replace", ["(", "-"]));
		for (a in ["a", "b", "", "B", "ab", "a\u00e9", "z", "10", "9"]) {
			for (b in ["a", "b", "", "A", "aa", "ae", "10"]) {
				R.run("'" + a + "'.localeCompare('" + b + "')", function() return call(a, "localeCompare", [b]));
			}
		}
		R.run("localeCompare()", function() return call("a", "localeCompare", []));
		R.run("localeCompare(undefined)", function() return call("undefined", "localeCompare", [u]));
		var fcc:Dynamic = R.g("String").fromCharCode;
		R.run("fromCharCode()", function() return fcc());
		R.run("fromCharCode(65,66)", function() return fcc(65, 66));
		R.run("fromCharCode(65.9,-1)", function() return R.g("escape")(fcc(65.9, 65601)));
		R.run("fromCharCode('66',NaN)", function() return R.g("escape")(fcc("66", Math.NaN)));
		R.run("fromCharCode(0x20AC)", function() return R.g("escape")(fcc(0x20AC)));
		R.run("concat()", function() return call("a", "concat", []));
		R.run("concat(1,null,u,[2,3])", function() return call("a", "concat", [1, null, u, [2, 3]]));
		for (m in ["toUpperCase", "toLowerCase", "toLocaleUpperCase"])
			R.run(m, function() return call("aBc\u00df\u00e9\u0131", m, []));
		R.run("length of surrogate", function() return call("\u{1F600}", "charCodeAt", [1]));
		R.run("String.prototype.length", function() return R.g("String").prototype.length);
		R.run("'abc'.length", function() return (untyped "abc").length);
		R.run("String(1,2)", function() return R.g("String")(1, 2));
		R.run("new String('x') typeof", function() return untyped __typeof__(__new__(R.g("String"), "x")));
		R.run("String.prototype.charAt.call(123,1)", function() return R.g("String").prototype.charAt.call(123, 1));
	}
}
