// Operators on every pair of mixed types: +, <, ==, ===, in; the comparison order of valueOf.
class Ops {
	static function main() {
		var vs = R.values();
		var ns = R.names();
		for (i in 0...vs.length) {
			for (j in 0...vs.length) {
				var a:Dynamic = vs[i];
				var b:Dynamic = vs[j];
				var p = ns[i] + " , " + ns[j];
				R.run("+ " + p, function() return untyped a + b);
				R.run("< " + p, function() return untyped a < b);
				R.run("<= " + p, function() return untyped a <= b);
				R.run("== " + p, function() return untyped a == b);
			}
		}
		for (i in 0...vs.length) {
			var a:Dynamic = vs[i];
			R.run("- " + ns[i], function() return untyped -a);
			R.run("~ " + ns[i], function() return untyped ~a);
			R.run("* 2 " + ns[i], function() return untyped a * 2);
			R.run("% 3 " + ns[i], function() return untyped a % 3);
			R.run(">>> 0 " + ns[i], function() return untyped a >>> 0);
			R.run("! " + ns[i], function() return untyped !a);
			R.run("'length' in " + ns[i], function() return untyped __in__("length", a));
			R.run("0 in " + ns[i], function() return untyped __in__(0, a));
		}
	}
}
