// Vector errors and coercions, Array sort and sortOn with each option and their mixes, holes,
// index searches, splice and concat, and Dictionary keys.
class Sorts {
	static function names(a:Dynamic, f:String):String { var out = []; var n:Int = a.length; for (i in 0...n) out.push(R.str(Reflect.field(a[i], f))); return out.join(","); }
	static function main() {
		var V:Dynamic = untyped __global__["__AS3__.vec.Vector"];
		var vi:Dynamic = untyped V[R.g("int")];
		var vs:Dynamic = untyped V[R.g("String")];
		R.run("vec idx", function() { var v:Dynamic = untyped __new__(vi, 2); return v[5]; });
		R.run("vec set far", function() { var v:Dynamic = untyped __new__(vi, 2); v[5] = 1; return v; });
		R.run("vec set -1", function() { var v:Dynamic = untyped __new__(vi, 2); v[-1] = 1; return v; });
		R.run("vec fixed push", function() { var v:Dynamic = untyped __new__(vi, 2, true); v.push(1); return v; });
		R.run("vec fixed length", function() { var v:Dynamic = untyped __new__(vi, 2, true); v.length = 3; return v; });
		R.run("vec fixed shift", function() { var v:Dynamic = untyped __new__(vi, 2, true); return v.shift(); });
		R.run("vec fixed unshift", function() { var v:Dynamic = untyped __new__(vi, 2, true); return v.unshift(1); });
		R.run("vec coerce str", function() { var v:Dynamic = untyped __new__(vs); v.push(1); v.push(null); v.push(untyped __global__["undefined"]); return v.join("|"); });
		R.run("vec of class", function() { var vp:Dynamic = untyped V[untyped __global__["flash.geom.Point"]]; var v:Dynamic = untyped __new__(vp); v.push({}); return v; });
		R.run("vec length neg", function() { return untyped __new__(vi, -1); });
		R.run("vec idx str", function() { var v:Dynamic = untyped __new__(vi, 2); return untyped v["x"]; });
		R.run("vec set str", function() { var v:Dynamic = untyped __new__(vi, 2); untyped v["x"] = 1; return v; });
		R.run("vec idx 1.5", function() { var v:Dynamic = untyped __new__(vi, 2); return untyped v[1.5]; });
		R.run("vec forEach bad", function() { var v:Dynamic = untyped __new__(vi, 2); v.forEach(5); return v; });
		R.run("vec every null", function() { var v:Dynamic = untyped __new__(vi, 2); return v.every(null); });
		R.run("vec toString", function() { var v:Dynamic = untyped __new__(vi, 3); return v.toString() + "|" + untyped __global__["String"](v); });
		R.run("vec class name", function() { return untyped __global__["flash.utils.getQualifiedClassName"](untyped __new__(vi)); });
		R.run("vec is", function() { var v:Dynamic = untyped __new__(vi); return untyped __is__(v, untyped V[untyped __global__["Object"]]); });
		R.run("vec removeAt fixed", function() { var v:Dynamic = untyped __new__(vi, 2, true); return v.removeAt(0); });
		R.run("vec insertAt fixed", function() { var v:Dynamic = untyped __new__(vi, 2, true); v.insertAt(0, 1); return v; });
		R.run("vec splice insert fixed", function() { var v:Dynamic = untyped __new__(vi, 2, true); return v.splice(0, 0, 5); });
		R.run("vec sort fn", function() { var v:Dynamic = untyped __new__(vi); v.push(3); v.push(1); v.push(2); v.sort(function(a, b) return a - b); return v; });
		R.run("vec sort none", function() { var v:Dynamic = untyped __new__(vi); v.push(3); v.push(1); return v.sort(); });
		// Array sort/sortOn
		var A:Dynamic = R.g("Array");
		function arr(xs:Array<Dynamic>):Dynamic { var a:Dynamic = untyped __new__(A); for (x in xs) a.push(x); return a; }
		R.run("sort CI", function() return arr(["b", "A", "c", "a"]).sort(1));
		R.run("sort DESC", function() return arr(["b", "A", "c", "a"]).sort(2));
		R.run("sort UNIQUE ok", function() return arr(["b", "A", "c"]).sort(4));
		R.run("sort UNIQUE dup", function() return arr(["b", "A", "b"]).sort(4));
		R.run("sort RETURNINDEXED", function() return arr(["b", "A", "c"]).sort(8));
		R.run("sort NUMERIC", function() return arr([10, 9, "100", 1.5]).sort(16));
		R.run("sort NUMERIC|DESC", function() return arr([10, 9, 100, 1.5]).sort(18));
		R.run("sort mixed", function() return arr([10, "9", null, untyped __global__["undefined"], "a", true]).sort());
		R.run("sort fn+opts", function() return arr([3, 1, 2]).sort(function(a, b) return a - b, 2));
		R.run("sortOn", function() { var a:Dynamic = arr([{n: "b", v: 2}, {n: "a", v: 10}, {n: "c", v: 1}]); a.sortOn("v"); return names(a, "n"); });
		R.run("sortOn NUMERIC", function() { var a:Dynamic = arr([{n: "b", v: 2}, {n: "a", v: 10}, {n: "c", v: 1}]); a.sortOn("v", 16); return names(a, "n"); });
		R.run("sortOn multi", function() { var a:Dynamic = arr([{n: "b", v: 1}, {n: "a", v: 2}, {n: "a", v: 1}]); a.sortOn(["n", "v"], [0, 16 | 2]); return names(a, "n") + "/" + names(a, "v"); });
		R.run("sortOn RETURNINDEXED", function() { var a:Dynamic = arr([{v: 2}, {v: 10}, {v: 1}]); return a.sortOn("v", 8 | 16); });
		R.run("sortOn UNIQUE", function() { var a:Dynamic = arr([{v: 2}, {v: 2}]); return a.sortOn("v", 4); });
		R.run("sortOn missing", function() { var a:Dynamic = arr([{v: 2}, {w: 1}, {v: 1}]); a.sortOn("v"); return names(a, "v"); });
		R.run("sortOn CI", function() { var a:Dynamic = arr([{v: "b"}, {v: "A"}, {v: "a"}]); a.sortOn("v", 1); return names(a, "v"); });
		R.run("sortOn 2 names 1 opt", function() { var a:Dynamic = arr([{a: 1, b: 2}, {a: 1, b: 1}]); a.sortOn(["a", "b"], [16]); return names(a, "b"); });
		R.run("sort holes", function() { var a:Dynamic = arr([3, 1]); a[5] = 0; return a.sort() + ":" + a.length; });
		R.run("indexOf NaN", function() { var a:Dynamic = arr([Math.NaN, 1]); return a.indexOf(Math.NaN) + "," + a.indexOf("1"); });
		R.run("lastIndexOf from", function() { var a:Dynamic = arr([1, 2, 1, 2]); return a.lastIndexOf(1, -2) + "," + a.lastIndexOf(2, 10) + "," + a.indexOf(1, -1); });
		R.run("join nested", function() { var a:Dynamic = arr([1, arr([2, 3]), null, untyped __global__["undefined"]]); return a.join("-"); });
		R.run("splice neg", function() { var a:Dynamic = arr([1, 2, 3, 4]); var r:Dynamic = a.splice(-3, -1); return a + "|" + r; });
		R.run("concat nonarray", function() { var a:Dynamic = arr([1]); return a.concat(2, arr([3, arr([4])])).length; });
		R.run("Array(3)", function() { var a:Dynamic = untyped R.g("Array")(3); return a.length; });
		R.run("Array('3')", function() { var a:Dynamic = untyped R.g("Array")("3"); return a.length + ":" + a[0]; });
		R.run("arr length set", function() { var a:Dynamic = arr([1, 2, 3]); a.length = 1; return a + ":" + a.length; });
		R.run("arr length bad", function() { var a:Dynamic = arr([1]); a.length = -1; return a.length; });
		// Dictionary
		var Dc:Dynamic = R.g("flash.utils.Dictionary");
		R.run("dict keys", function() { var d:Dynamic = untyped __new__(Dc); var o = {}; untyped d[o] = 1; untyped d["1"] = 2; untyped d[1] = 3; return untyped d[1] + "," + untyped d["1"]; });
		R.run("dict delete", function() { var d:Dynamic = untyped __new__(Dc, true); var o = {}; untyped d[o] = 1; untyped __delete__(d, o); return untyped d[o]; });
		R.run("dict toString", function() { return untyped __new__(Dc) + ""; });
		R.run("dict null key", function() { var d:Dynamic = untyped __new__(Dc); var nk:Dynamic = null; untyped d[nk] = 5; return untyped d["null"]; });
	}
}
