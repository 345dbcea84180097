// Conversions: String(), Number(), int(), uint(), Boolean(), typeof, is/as, in.
class Conv {
	static function main() {
		var vs = R.values();
		var ns = R.names();
		var fns = ["String", "Number", "int", "uint", "Boolean"];
		for (f in fns) {
			var fn:Dynamic = R.g(f);
			for (i in 0...vs.length) {
				var v = vs[i];
				R.run(f + "(" + ns[i] + ")", function() return fn(v));
			}
		}
		for (i in 0...vs.length) {
			var v = vs[i];
			R.run("typeof " + ns[i], function() return untyped __typeof__(v));
			R.run("isNaN " + ns[i], function() return R.g("isNaN")(v));
			R.run("isFinite " + ns[i], function() return R.g("isFinite")(v));
			R.run("parseInt " + ns[i], function() return R.g("parseInt")(v));
			R.run("parseFloat " + ns[i], function() return R.g("parseFloat")(v));
			for (c in ["Number", "int", "uint", "String", "Boolean", "Object", "Array", "Function"]) {
				var cls:Dynamic = R.g(c);
				R.run(ns[i] + " is " + c, function() return untyped __is__(v, cls));
				R.run(ns[i] + " as " + c, function() return untyped __as__(v, cls));
			}
		}
		var nums:Array<Float> = [
			0, 1, -1, 0.1, 0.5, 1 / 3, 100, 1e20, 1e21, 1.2e21, 123456789012345678, 1e-6, 1e-7, 1.5e-7, 4.35, 0.000001234, 5e-324,
			1.7976931348623157e308, 2147483647, 2147483648, 4294967295, 4294967296, -2147483649, 1.005, 123.456
		];
		for (n in nums) {
			R.run("str " + R.str(n), function() return R.str(n));
			R.run("int " + R.str(n), function() return R.g("int")(n));
			R.run("uint " + R.str(n), function() return R.g("uint")(n));
		}
		var strs = ["1e", "1e+", ".5", "5.", "+5", "-.5e-3", "0x", "0X1f", "-0x10", "+0x10", "1_0", "\t\n 42 \r", "Infinity", "-Infinity", "infinity", "1,5", "0b11", "0o7", "077", "1e400", "00012", "\u00a012", "\u3000 7"];
		for (s in strs) {
			R.run("Number('" + s + "')", function() return R.g("Number")(s));
			R.run("int('" + s + "')", function() return R.g("int")(s));
			R.run("parseInt('" + s + "')", function() return R.g("parseInt")(s));
			R.run("parseFloat('" + s + "')", function() return R.g("parseFloat")(s));
		}
		for (r in [2, 8, 16, 36, 0, 1, 37])
			R.run("parseInt('1f', " + r + ")", function() return R.g("parseInt")("1f", r));
	}
}
