// JSON parse/stringify edge cases (JSON arrived with player 11, so this one is built for it).
class Json {
	static function re(p:String, f:String):Dynamic {
		return untyped __new__(R.g("RegExp"), p, f);
	}

	static function main() {
		// JSON
		var J:Dynamic = R.g("JSON");
		var texts = [
			"1", "-0", "1e400", "\"\\u0041\\n\"", "[1,2,]", "{\"a\":1,}", "{'a':1}", "{\"a\":1,\"a\":2}", "[01]", "[.5]", "[1.]", "true ",
			" null", "undefined", "", "{\"__proto__\":1}", "[\"\\x41\"]", "\"\t\"", "[1,[2,[3]]]", "{\"b\":1,\"a\":2,\"1\":3}", "NaN", "[-]", "\"\\uD83D\""
		];
		for (t in texts) {
			R.run("JSON.parse(" + t + ")", function() {
				var v:Dynamic = J.parse(t);
				return untyped __typeof__(v) + " " + J.stringify(v);
			});
		}
		R.run("parse reviver", function() return J.stringify(J.parse("{\"a\":1,\"b\":[2,3]}", function(k, v) return untyped __typeof__(v) == "number" ? v * 10 : v)));
		R.run("parse reviver drops", function() return J.stringify(J.parse("{\"a\":1,\"b\":2}", function(k, v) return k == "a" ? untyped __global__["undefined"] : v)));
		var u:Dynamic = untyped __global__["undefined"];
		var z:Float = 0;
		var vals:Array<Dynamic> = [
			u, null, true, 0, -z, Math.NaN, Math.POSITIVE_INFINITY, 1e21, "a\"b\\c\n\u0001\u2028", [], [u, function() {}, null], {}, {a: u, b: 1},
			function() {}, untyped __new__(R.g("Date"), 0), re("a", "g"), untyped __new__(R.g("flash.utils.Dictionary")), untyped __new__(R.g("flash.utils.ByteArray"))
		];
		for (v in vals) {
			R.run("stringify " + R.str(untyped __typeof__(v)), function() return J.stringify(v));
			R.run("stringify indent", function() return J.stringify([v, {k: v}], null, 2));
		}
		R.run("stringify toJSON", function() return J.stringify({a: {toJSON: function(k) return "J" + k}}));
		R.run("stringify replacer array", function() return J.stringify({a: 1, b: 2, c: 3}, ["c", "a"]));
		R.run("stringify replacer fn", function() return J.stringify({a: 1, b: "x"}, function(k, v) return untyped __typeof__(v) == "number" ? v + 1 : v));
		R.run("stringify indent string", function() return J.stringify({a: [1]}, null, "--"));
		R.run("stringify indent 20", function() return J.stringify([1], null, 20));
		R.run("stringify cycle", function() {
			var o:Dynamic = {};
			o.self = o;
			return J.stringify(o);
		});
		R.run("stringify class instance", function() return J.stringify(untyped __new__(R.g("Error"), "m")));
		R.run("stringify replacer array repeats", function() return J.stringify({a: 1, b: 2}, (["b", "b", "a"] : Array<Dynamic>)));
		R.run("stringify replacer array nested", function() return J.stringify({a: {a: 1, c: 2}, c: 3}, ["a"]));
		R.run("stringify indent -5", function() return J.stringify([1], null, -5));
		R.run("stringify indent 3.7", function() return J.stringify([1], null, 3.7));
		R.run("stringify indent long string", function() return J.stringify([1], null, "abcdefghijklmno"));
		R.run("parse lone surrogate units", function() {
			var s:Dynamic = J.parse("\"\\uD83D\"");
			return R.str(s.length) + " " + R.str(s.charCodeAt(0));
		});
		R.run("parse -1e400", function() return J.parse("[-1e400]")[0]);
		R.run("parse control character", function() return J.parse("\"a\nb\""));
		R.run("parse no args", function() return J.parse());
		// What the two functions declare: (text, reviver = null) and (value, replacer = null, space = null).
		R.run("JSON.parse.length", function() return J.parse.length);
		R.run("JSON.stringify.length", function() return J.stringify.length);
	}
}
