// Dictionary keys of every kind, int-like strings, delete and enumeration; Proxy's hooks.
class Dict {
	static function main() {
		var D:Dynamic = R.g("flash.utils.Dictionary");
		var u:Dynamic = untyped __global__["undefined"];
		var o1:Dynamic = {};
		var keys:Array<Dynamic> = [0, 1, "1", "01", 1.5, "1.5", -1, "-1", -0.0, true, "true", null, "null", u, "undefined", o1, Math.NaN, "NaN", 4294967296.0, "x"];
		for (weak in [false, true]) {
			var d:Dynamic = untyped __new__(D, weak);
			for (i in 0...keys.length)
				untyped d[keys[i]] = i;
			for (k in keys) {
				R.run("weak=" + weak + " get " + R.show(k), function() return untyped d[k]);
				R.run("weak=" + weak + " in " + R.show(k), function() return untyped __in__(k, d));
			}
			var ks:Array<Dynamic> = untyped __keys__(d);
			var names:Array<String> = [for (n in ks) R.show(n)];
			names.sort(function(a, b) return a < b ? -1 : a > b ? 1 : 0);
			R.t("weak=" + weak + " keys " + names.join(","));
			for (k in keys) {
				R.run("weak=" + weak + " delete " + R.show(k), function() return untyped __delete__(d, k));
			}
			var ks2:Array<Dynamic> = untyped __keys__(d);
			var left:Array<String> = [for (n in ks2) R.show(n)];
			R.t("weak=" + weak + " left " + left.join(","));
		}
		var d2:Dynamic = untyped __new__(D);
		untyped d2["2"] = "a";
		untyped d2[2] = "b";
		R.run("int string then int", function() return untyped d2["2"]);
		var a:Dynamic = untyped __new__(R.g("Object"));
		untyped a[2] = "n";
		R.run("object int key", function() return untyped a["2"]);
		R.run("dict toString", function() return R.str(untyped __new__(D)));
	}
}
