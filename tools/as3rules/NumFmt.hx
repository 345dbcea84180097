// Number's toFixed/toPrecision/toExponential/toString(radix) and Math.
class NumFmt {
	static function main() {
		var nums:Array<Dynamic> = [
			0, -0.0, 1, -1, 0.5, 1.5, 2.5, -2.5, 1.005, 1.45, 123.456, 1e21, 1e-7, 123456789, 0.000123, Math.NaN,
			Math.POSITIVE_INFINITY, Math.NEGATIVE_INFINITY, 255, -255, 0.1, 3.14159, 1e100, 4294967295
		];
		var z:Float = 0;
		nums[1] = -z;
		var digits:Array<Dynamic> = [untyped __global__["undefined"], 0, 1, 2, 5, 20, 21, -1, 100, 0.5, "3", Math.NaN];
		for (n in nums) {
			var v:Dynamic = n;
			var l = R.str(v);
			for (d in digits) {
				var dd:Dynamic = d;
				R.run(l + ".toFixed(" + R.str(dd) + ")", function() return v.toFixed(dd));
				R.run(l + ".toPrecision(" + R.str(dd) + ")", function() return v.toPrecision(dd));
				R.run(l + ".toExponential(" + R.str(dd) + ")", function() return v.toExponential(dd));
			}
			for (r in [2, 8, 10, 16, 36, 1, 37, 0]) {
				var rr:Dynamic = r;
				R.run(l + ".toString(" + r + ")", function() return v.toString(rr));
			}
		}
		var m:Dynamic = R.g("Math");
		var args:Array<Dynamic> = R.values();
		var names = R.names();
		var fns = ["abs", "ceil", "floor", "round", "sqrt", "exp", "log", "sin", "cos", "tan", "asin", "acos", "atan"];
		for (f in fns) {
			for (i in 0...args.length) {
				var x:Dynamic = args[i];
				R.run("Math." + f + "(" + names[i] + ")", function() return Reflect.field(m, f)(x));
			}
		}
		var rounds:Array<Float> = [-0.5, -1.5, 0.49999999999999994, 2.5, -2.5, -0.4, 1e16 + 1];
		for (x in rounds)
			R.run("Math.round(" + R.str(x) + ")", function() return m.round(x));
		R.run("Math.max()", function() return m.max());
		R.run("Math.min()", function() return m.min());
		R.run("Math.max(1,NaN,3)", function() return m.max(1, Math.NaN, 3));
		R.run("Math.max(-0,0)", function() return 1 / m.max(-z, 0));
		R.run("Math.min(-0,0)", function() return 1 / m.min(0, -z));
		R.run("Math.max('3','20')", function() return m.max("3", "20"));
		R.run("Math.pow(NaN,0)", function() return m.pow(Math.NaN, 0));
		R.run("Math.pow(1,Infinity)", function() return m.pow(1, Math.POSITIVE_INFINITY));
		R.run("Math.pow(-8,1/3)", function() return m.pow(-8, 1 / 3));
		R.run("Math.atan2(0,-0)", function() return m.atan2(0, -z));
		R.run("Math.atan2(-0,-1)", function() return m.atan2(-z, -1));
		R.run("Math.atan2(1)", function() return m.atan2(1));
		R.run("Math.abs()", function() return m.abs());
		R.run("Math.PI", function() return m.PI);
		R.run("Math.E", function() return m.E);
		R.run("Math.LN2", function() return m.LN2);
		R.run("Math.SQRT1_2", function() return m.SQRT1_2);
		R.run("Math.LOG10E", function() return m.LOG10E);
		R.run("Number.MAX_VALUE", function() return R.g("Number").MAX_VALUE);
		R.run("Number.MIN_VALUE", function() return R.g("Number").MIN_VALUE);
		R.run("int.MAX_VALUE", function() return R.g("int").MAX_VALUE);
		R.run("uint.MAX_VALUE", function() return R.g("uint").MAX_VALUE);
		R.run("(5).toString.length", function() return R.g("Number").prototype.toString.length);
		R.run("Number.prototype.toFixed.call('5',1)", function() return R.g("Number").prototype.toFixed.call("5", 1));
	}
}
