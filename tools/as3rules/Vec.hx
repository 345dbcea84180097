// Vector: fixed length, coercion of stored values, conversion, and the array-like methods.
class Vec {
	static function main() {
		var V:Dynamic = R.g("__AS3__.vec.Vector");
		var u:Dynamic = untyped __global__["undefined"];
		var vi:Dynamic = untyped V[R.g("int")];
		var vs:Dynamic = untyped V[R.g("String")];
		var vn:Dynamic = untyped V[R.g("Number")];
		var vals:Array<Dynamic> = [u, null, true, 1.7, -1.5, "3", "x", Math.NaN, 4294967297.0];
		for (v in vals) {
			R.run("int push " + R.show(v), function() {
				var a:Dynamic = untyped __new__(vi);
				a.push(v);
				return a[0];
			});
			R.run("String push " + R.show(v), function() {
				var a:Dynamic = untyped __new__(vs);
				a.push(v);
				return a[0];
			});
			R.run("Number push " + R.show(v), function() {
				var a:Dynamic = untyped __new__(vn);
				a.push(v);
				return a[0];
			});
			R.run("int index " + R.show(v), function() {
				var a:Dynamic = untyped __new__(vi, 3);
				return untyped a[v];
			});
		}
		R.run("fixed push", function() {
			var a:Dynamic = untyped __new__(vi, 2, true);
			return a.push(1);
		});
		R.run("fixed pop", function() {
			var a:Dynamic = untyped __new__(vi, 2, true);
			return a.pop();
		});
		R.run("fixed length", function() {
			var a:Dynamic = untyped __new__(vi, 2, true);
			a.length = 5;
			return a.length;
		});
		R.run("fixed splice", function() {
			var a:Dynamic = untyped __new__(vi, 2, true);
			return a.splice(0, 1);
		});
		R.run("write past end", function() {
			var a:Dynamic = untyped __new__(vi, 2);
			untyped a[3] = 1;
			return a.length;
		});
		R.run("write at end", function() {
			var a:Dynamic = untyped __new__(vi, 2);
			untyped a[2] = 1;
			return a.length;
		});
		R.run("read past end", function() {
			var a:Dynamic = untyped __new__(vi, 2);
			return untyped a[5];
		});
		R.run("negative length", function() return untyped __new__(vi, -1));
		R.run("convert array", function() return untyped vi([1.5, "2", null]));
		R.run("convert vector", function() return untyped vs(__new__(vi, 2)));
		R.run("convert number", function() return untyped vi(5));
		R.run("convert args", function() return untyped vi(1, 2));
		R.run("sort", function() {
			var a:Dynamic = untyped vi([3, 1, 2]);
			return a.sort(function(x, y) return x - y);
		});
		R.run("sort flags", function() {
			var a:Dynamic = untyped vi([3, 10, 2]);
			return a.sort(16);
		});
		R.run("sort none", function() return untyped vi([3, 10, 2]).sort());
		R.run("concat", function() return untyped vi([1]).concat(vi([2, 3])));
		R.run("concat wrong", function() return untyped vi([1]).concat(vs(["a"])));
		R.run("concat array", function() return untyped vi([1]).concat([2]));
		R.run("slice", function() return untyped vi([1, 2, 3, 4]).slice(1, -1));
		R.run("splice", function() {
			var a:Dynamic = untyped vi([1, 2, 3, 4]);
			var r = a.splice(1, 2, "7", 8.9);
			return R.str(r) + " / " + R.str(a);
		});
		R.run("join nested", function() {
			var a:Dynamic = untyped __new__(V[R.g("Object")]);
			a.push(([1, [2, 3]] : Array<Dynamic>));
			a.push(null);
			a.push(vi([4, 5]));
			return a.join("-");
		});
		R.run("indexOf", function() return untyped vi([1, 2, 3]).indexOf("2"));
		R.run("lastIndexOf", function() return untyped vi([1, 2, 1]).lastIndexOf(1, -2));
		R.run("toString", function() return untyped vn([1.5, Math.NaN, -0.0]).toString());
		R.run("fixed setter", function() {
			var a:Dynamic = untyped vi([1]);
			a.fixed = true;
			return R.str(a.fixed) + " " + R.str(a.shift == null);
		});
		R.run("map", function() return untyped vi([1, 2]).map(function(x, i, v) return x * 1.5));
		R.run("filter", function() return untyped vi([1, 2, 3]).filter(function(x, i, v) return x > 1));
		R.run("reverse", function() return untyped vi([1, 2, 3]).reverse());
		R.run("unshift", function() {
			var a:Dynamic = untyped vi([1]);
			return R.str(a.unshift("5", 2.5)) + " " + R.str(a);
		});
		R.run("insertAt missing", function() return untyped vi([1]).insertAt);
		R.run("length 2.5", function() {
			var a:Dynamic = untyped vi([1]);
			a.length = 2.5;
			return a.length;
		});
	}
}
