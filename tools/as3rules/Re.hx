// RegExp: flags, lastIndex, exec groups, lookahead, backreferences.
class Re {
	static function re(p:String, f:String):Dynamic {
		return untyped __new__(R.g("RegExp"), p, f);
	}

	static function execAll(p:String, f:String, s:String):String {
		var r:Dynamic = re(p, f);
		var out = [];
		for (k in 0...4) {
			var m:Dynamic = r.exec(s);
			if (m == null) {
				out.push("null@" + R.str(r.lastIndex));
				break;
			}
			var groups = [];
			for (i in 0...m.length)
				groups.push(R.str(m[i]));
			out.push("[" + groups.join("|") + "]@" + R.str(m.index) + "/" + R.str(r.lastIndex));
			if (!r.global)
				break;
		}
		return out.join(" ");
	}

	static function main() {
		var cases = [
			["a(b)?c", "", "ac abc"], ["(a)|(b)", "g", "ab"], ["\\d+(?=px)", "g", "10px 20em 30px"], ["\\w+(?!\\d)", "", "abc1"],
			["(\\w)\\1", "g", "aabbcd"], ["\\1(a)", "", "aa"], ["(?:x)(y)", "", "xy"], ["^b", "m", "a\nb"], ["^b", "", "a\nb"],
			["a.c", "s", "a\nc"], ["a.c", "", "a\nc"], ["A", "i", "bab"], ["a b # comment", "x", "ab"], ["", "g", "ab"],
			["x*", "g", "axxb"], ["(?P<n>a)", "", "a"], ["[^]", "", "a"], ["[]", "", "a"], ["a{2,}", "", "aaaa"], ["a{,2}", "", "a{,2}"],
			["\\bfoo\\b", "g", "foo food foo"], ["[\\s\\S]", "", "x"], ["\\u0041", "", "A"], ["\\x41", "", "A"], ["(a*)*b", "", "aab"],
			["(a|ab)(c|bcd)(d*)", "", "abcd"], ["a+?", "", "aaa"], ["(\\d{3})-(\\d{4})", "g", "555-1234 666-9999"],
			["\\.", "g", "a.b.c"], ["[a-", "", "x"], ["(", "", "x"], ["a**", "", "a"]
		];
		for (c in cases)
			R.run("exec /" + c[0] + "/" + c[1] + " on " + c[2], function() return execAll(c[0], c[1], c[2]));
		for (c in cases)
			R.run("test /" + c[0] + "/" + c[1], function() {
				var r:Dynamic = re(c[0], c[1]);
				return R.str(r.test(c[2])) + " " + R.str(r.lastIndex);
			});
		for (f in ["", "g", "gimsx", "q", "gg", "G"]) {
			R.run("flags " + f, function() {
				var r:Dynamic = re("a", f);
				return R.str(r) + " " + R.str(r.global) + R.str(r.ignoreCase) + R.str(r.multiline) + R.str(r.dotall) + R.str(r.extended) + " " + R.str(r.source);
			});
		}
		R.run("RegExp(re)", function() return R.str(R.g("RegExp")(re("a", "g"))));
		R.run("new RegExp(re, flags)", function() return R.str(untyped __new__(R.g("RegExp"), re("a", "g"), "i")));
		R.run("new RegExp(undefined)", function() return R.str(untyped __new__(R.g("RegExp"), untyped __global__["undefined"])));
		R.run("new RegExp('/')", function() return R.str(untyped __new__(R.g("RegExp"), "/")));
		R.run("lastIndex set", function() {
			var r:Dynamic = re("a", "g");
			r.lastIndex = 2;
			var m:Dynamic = r.exec("aaaa");
			r.lastIndex = 10;
			return R.str(m.index) + " " + R.str(r.exec("aaaa")) + " " + R.str(r.lastIndex);
		});
		R.run("lastIndex -1", function() {
			var r:Dynamic = re("a", "g");
			r.lastIndex = -1;
			return R.str(r.exec("aaaa")) + " " + R.str(r.lastIndex);
		});
		R.run("lastIndex non-global", function() {
			var r:Dynamic = re("a", "");
			r.lastIndex = 3;
			r.exec("aaaa");
			return R.str(r.lastIndex);
		});
		R.run("exec input", function() {
			var m:Dynamic = re("b", "").exec("abc");
			return R.str(m.input) + " " + R.str(m.index) + " " + R.str(m.length);
		});
		R.run("named group", function() {
			var m:Dynamic = re("(?P<word>b+)", "").exec("abbc");
			return m == null ? "null" : R.str(m.word);
		});
	}
}
