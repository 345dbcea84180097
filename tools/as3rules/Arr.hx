// Array's methods: join, slice, splice, concat, indexOf, sort and sortOn flags, length.
class Arr {
	static function mk():Dynamic {
		return untyped __new__(R.g("Array"), 3, "b", 1, "10", null, true, 2.5, "B", -1);
	}

	static function call(a:Dynamic, m:String, args:Array<Dynamic>):Dynamic {
		var f:Dynamic = Reflect.field(a, m);
		return f.apply(a, args);
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var z:Float = 0;
		var A:Dynamic = R.g("Array");
		var idx:Array<Dynamic> = [u, null, 0, -z, 1, -1, 2.7, -2.7, 3, 20, -20, Math.NaN, Math.POSITIVE_INFINITY, "2", "x"];
		for (a in idx) {
			R.run("join(" + R.str(a) + ")", function() return call(mk(), "join", [a]));
			R.run("slice(" + R.str(a) + ")", function() return call(mk(), "slice", [a]));
			for (b in [0, 2, -2, 20, u, Math.NaN]) {
				R.run("slice(" + R.str(a) + "," + R.str(b) + ")", function() return call(mk(), "slice", [a, b]));
				R.run("splice(" + R.str(a) + "," + R.str(b) + ")", function() {
					var x = mk();
					var r = call(x, "splice", [a, b, "X", "Y"]);
					return R.str(r) + " / " + R.str(x);
				});
			}
			R.run("splice(" + R.str(a) + ")", function() {
				var x = mk();
				var r = call(x, "splice", [a]);
				return R.str(r) + " / " + R.str(x);
			});
			R.run("indexOf(1," + R.str(a) + ")", function() return call(mk(), "indexOf", [1, a]));
			R.run("lastIndexOf(1," + R.str(a) + ")", function() return call(mk(), "lastIndexOf", [1, a]));
			R.run("indexOf(" + R.str(a) + ")", function() return call(mk(), "indexOf", [a]));
		}
		R.run("splice()", function() {
			var x = mk();
			var r = call(x, "splice", []);
			return R.str(r) + " / " + R.str(x);
		});
		R.run("join()", function() return call(mk(), "join", []));
		R.run("nested join", function() return call([[1, [2, 3]], null, u, [], [null]], "join", ["-"]));
		R.run("concat", function() return call([1], "concat", [2, [3, [4]], null, u, "s"]));
		R.run("concat length", function() return call([1], "concat", [[2, 3]]).length);
		R.run("push returns", function() return call([1], "push", [2, 3]));
		R.run("unshift returns", function() return call([1], "unshift", [2, 3]));
		R.run("push none", function() return call([1], "push", []));
		R.run("pop empty", function() return call([], "pop", []));
		R.run("shift empty", function() return call([], "shift", []));
		R.run("reverse", function() return call(mk(), "reverse", []));
		var lens:Array<Dynamic> = [0, 2, 2.5, 4294967296.0, Math.NaN, "3", "x"];
		for (len in lens) {
			R.run("length=" + R.str(len), function() {
				var x = mk();
				x.length = len;
				return R.str(x.length) + " " + R.str(x);
			});
		}
		R.run("new Array(3)", function() return __new(A, [3]));
		R.run("new Array(-1)", function() return __new(A, [-1]));
		R.run("new Array(2.5)", function() return __new(A, [2.5]));
		R.run("new Array('3')", function() return __new(A, ["3"]));
		R.run("Array(2,3)", function() return A(2, 3));
		R.run("sparse length", function() {
			var x:Dynamic = untyped __new__(A);
			x[5] = 1;
			return R.str(x.length) + " " + R.str(x);
		});
		var flags = [0, 1, 2, 4, 8, 16, 1 | 2, 1 | 16, 2 | 16, 16 | 4, 8 | 16, 2 | 4, 1 | 2 | 16, 4 | 8];
		for (f in flags) {
			R.run("sort(" + f + ")", function() {
				var x = mk();
				var r = call(x, "sort", [f]);
				return R.str(r) + " / " + R.str(x);
			});
			R.run("sort(cmp," + f + ")", function() {
				var x = mk();
				var r = call(x, "sort", [function(a, b) return R.g("String")(a).length - R.g("String")(b).length, f]);
				return R.str(r);
			});
			R.run("sort nums(" + f + ")", function() {
				var x:Dynamic = [10, 9, 1, -5, 100, 2.5, 10, Math.NaN, u];
				return R.str(call(x, "sort", [f]));
			});
			R.run("sortOn name(" + f + ")", function() {
				var x:Dynamic = [{n: "b", v: 10}, {n: "a", v: 9}, {n: "B", v: 100}, {n: "a", v: 1}, {n: "c"}];
				var r:Dynamic = call(x, "sortOn", ["v", f]);
				var s = [];
				for (i in 0...x.length)
					s.push(R.str(x[i].n) + R.str(x[i].v));
				return R.str(r == x ? "same" : R.str(r)) + " / " + s.join(" ");
			});
			R.run("sortOn two(" + f + ")", function() {
				var x:Dynamic = [{n: "b", v: 10}, {n: "a", v: 9}, {n: "B", v: 100}, {n: "a", v: 1}];
				call(x, "sortOn", [["n", "v"], [f, 16 | 2]]);
				var s = [];
				for (i in 0...x.length)
					s.push(R.str(x[i].n) + R.str(x[i].v));
				return s.join(" ");
			});
		}
		R.run("sort unique dup", function() return call([3, 1, 3], "sort", [4]));
		R.run("sort no args", function() return call([10, 9, 1, u, null, "a", "B"], "sort", []));
		R.run("sort cmp returning NaN", function() return call([3, 1, 2], "sort", [function(a, b) return Math.NaN]));
		R.run("sort cmp returning bool", function() return call([3, 1, 2], "sort", [function(a, b) return untyped a > b]));
		R.run("sortOn missing field", function() return R.str(call([{a: 2}, {a: 1}], "sortOn", ["b"]).length));
		R.run("every/some/filter/map/forEach", function() {
			var x:Dynamic = [1, 2, 3];
			var s = R.str(x.every(function(v, i, a) return v > 0)) + R.str(x.some(function(v, i, a) return v > 2));
			s += R.str(x.filter(function(v, i, a) return v != 2)) + R.str(x.map(function(v, i, a) return v * i));
			return s;
		});
		R.run("toString of holes", function() {
			var x:Dynamic = [1, u, null, 3];
			return R.str(x);
		});
		R.run("Array.prototype.join.call(obj)", function() return A.prototype.join.call({length: 2, "0": "a", "1": "b"}, "+"));
		R.run("array numeric-string keys", function() {
			var x:Dynamic = [];
			untyped x["2"] = 1;
			untyped x["02"] = 2;
			return R.str(x.length);
		});
		R.run("Array.CASEINSENSITIVE", function() return A.CASEINSENSITIVE + A.DESCENDING * 10 + A.UNIQUESORT * 100 + A.RETURNINDEXEDARRAY * 1000 + A.NUMERIC * 10000);
	}

	static function __new(c:Dynamic, a:Array<Dynamic>):Dynamic {
		return untyped __new__(c, a[0]);
	}
}
