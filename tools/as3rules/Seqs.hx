// Vectors edited in place (splice, insertAt, removeAt, fixed length, indexes out of range,
// sorting), ByteArray's byte order, compression, text with bad bytes and AMF round trips, and
// RegExp's lastIndex, groups, flags and the String methods that take a pattern.
class Seqs {
	static function main() {
		var V:Dynamic = R.g("__AS3__.vec.Vector");
		var vi:Dynamic = untyped V[R.g("int")];
		var vo:Dynamic = untyped V[R.g("Object")];
		function mk(n:Int):Dynamic { var a:Dynamic = untyped __new__(vi); for (i in 0...n) a.push(i); return a; }
		R.run("splice(1,2)", function() { var a:Dynamic = mk(5); var r:Dynamic = a.splice(1, 2); return a + "|" + r; });
		R.run("splice(-2)", function() { var a:Dynamic = mk(5); var r:Dynamic = a.splice(-2); return a + "|" + r; });
		R.run("splice(1,0,9,8)", function() { var a:Dynamic = mk(5); var r:Dynamic = a.splice(1, 0, 9, 8); return a + "|" + r; });
		R.run("splice()", function() { var a:Dynamic = mk(5); var r:Dynamic = a.splice(); return a + "|" + r; });
		R.run("insertAt(1,9)", function() { var a:Dynamic = mk(3); a.insertAt(1, 9); return a; });
		R.run("insertAt(-1,9)", function() { var a:Dynamic = mk(3); a.insertAt(-1, 9); return a; });
		R.run("insertAt(10,9)", function() { var a:Dynamic = mk(3); a.insertAt(10, 9); return a; });
		R.run("removeAt(1)", function() { var a:Dynamic = mk(3); return a.removeAt(1) + "|" + a; });
		R.run("removeAt(-1)", function() { var a:Dynamic = mk(3); return a.removeAt(-1) + "|" + a; });
		R.run("removeAt(5)", function() { var a:Dynamic = mk(3); return a.removeAt(5) + "|" + a; });
		R.run("fixed insertAt", function() { var a:Dynamic = mk(3); a.fixed = true; a.insertAt(0, 1); return a; });
		R.run("fixed removeAt", function() { var a:Dynamic = mk(3); a.fixed = true; return a.removeAt(0); });
		R.run("fixed splice", function() { var a:Dynamic = mk(3); a.fixed = true; return a.splice(0, 1); });
		R.run("fixed splice same", function() { var a:Dynamic = mk(3); a.fixed = true; return a.splice(0, 1, 7); });
		R.run("a[3]=1", function() { var a:Dynamic = mk(3); a[3] = 1; return a; });
		R.run("a[5]=1", function() { var a:Dynamic = mk(3); a[5] = 1; return a; });
		R.run("a[-1]", function() { var a:Dynamic = mk(3); return a[-1]; });
		R.run("a[3]", function() { var a:Dynamic = mk(3); return a[3]; });
		R.run("a[1.5]", function() { var a:Dynamic = mk(3); return untyped a[1.5]; });
		R.run("a['1']", function() { var a:Dynamic = mk(3); return untyped a["1"]; });
		R.run("a.length=1", function() { var a:Dynamic = mk(3); a.length = 1; return a; });
		R.run("a.length=-1", function() { var a:Dynamic = mk(3); a.length = -1; return a; });
		R.run("indexOf", function() { var a:Dynamic = mk(3); return a.indexOf(2) + "," + a.indexOf(2, -1) + "," + a.lastIndexOf(0, -5); });
		R.run("sort", function() { var a:Dynamic = untyped __new__(vi); a.push(10); a.push(9); a.push(100); a.sort(0); return a; });
		R.run("sort numeric", function() { var a:Dynamic = untyped __new__(vi); a.push(10); a.push(9); a.push(100); a.sort(16); return a; });
		R.run("sort desc", function() { var a:Dynamic = untyped __new__(vi); a.push(10); a.push(9); a.push(100); a.sort(2|16); return a; });
		R.run("concat", function() { var a:Dynamic = mk(2); return a.concat(mk(2), mk(1)); });
		R.run("concat bad", function() { var a:Dynamic = mk(2); return a.concat([1]); });
		R.run("Vector([1,2])", function() { return untyped V[R.g("int")]((["2", 3.5]:Array<Dynamic>)); });
		R.run("Vector(obj)", function() { return untyped V[R.g("int")]({}); });
		R.run("join", function() { var a:Dynamic = mk(3); return a.join() + "/" + a.join(null) + "/" + a.toLocaleString(); });
		R.run("map", function() { var a:Dynamic = mk(3); return a.map(function(x, i, v) return x * 2); });
		R.run("filter", function() { var a:Dynamic = mk(4); return a.filter(function(x, i, v) return x % 2 == 0); });
		R.run("reverse", function() { var a:Dynamic = mk(4); return a.reverse(); });
		R.run("shift/unshift", function() { var a:Dynamic = mk(3); var s:Dynamic = a.shift(); var n:Dynamic = a.unshift(7, 8); return s + "," + n + "," + a; });
		R.run("slice", function() { var a:Dynamic = mk(5); return a.slice(1, -1) + "|" + a.slice(-2) + "|" + a.slice(3, 1); });
		R.run("obj vec holds", function() { var a:Dynamic = untyped __new__(vo); a.push(null); a.push(untyped __global__["undefined"]); return a.length + ":" + a[0] + ":" + a[1]; });
		// ByteArray
		var BA:Dynamic = R.g("flash.utils.ByteArray");
		R.run("ba endian", function() { var b:Dynamic = untyped __new__(BA); b.endian = "littleEndian"; b.writeInt(1); b.position = 0; b.endian = "bigEndian"; return b.readInt(); });
		R.run("ba bad endian", function() { var b:Dynamic = untyped __new__(BA); b.endian = "x"; return b.endian; });
		R.run("ba compress", function() { var b:Dynamic = untyped __new__(BA); b.writeUTFBytes("hello hello hello"); b.compress(); var l = b.length; var p = b.position; b.uncompress(); return l + "," + p + "," + b.position + "," + b.toString(); });
		R.run("ba deflate", function() { var b:Dynamic = untyped __new__(BA); b.writeUTFBytes("hello hello hello"); b.deflate(); var l = b.length; b.inflate(); return l + "," + b.position + "," + b.toString(); });
		R.run("ba uncompress bad", function() { var b:Dynamic = untyped __new__(BA); b.writeUTFBytes("not zlib"); b.uncompress(); return b.length; });
		R.run("ba compress empty", function() { var b:Dynamic = untyped __new__(BA); b.compress(); return b.length; });
		R.run("ba readUTFBytes bad", function() { var b:Dynamic = untyped __new__(BA); b.writeByte(0x61); b.writeByte(0xff); b.writeByte(0x62); b.writeByte(0xc3); b.position = 0; var s:String = b.readUTFBytes(4); return s.length + ":" + untyped __global__["escape"](s); });
		R.run("ba readUTFBytes nul", function() { var b:Dynamic = untyped __new__(BA); b.writeByte(0x61); b.writeByte(0); b.writeByte(0x62); b.position = 0; var s:String = b.readUTFBytes(3); return s.length + ":" + untyped __global__["escape"](s); });
		R.run("ba readUTFBytes bom", function() { var b:Dynamic = untyped __new__(BA); b.writeByte(0xef); b.writeByte(0xbb); b.writeByte(0xbf); b.writeByte(0x62); b.position = 0; var s:String = b.readUTFBytes(4); return s.length + ":" + untyped __global__["escape"](s); });
		R.run("ba readUTFBytes eof", function() { var b:Dynamic = untyped __new__(BA); b.writeByte(0x61); b.position = 0; return b.readUTFBytes(3); });
		R.run("ba readInt eof", function() { var b:Dynamic = untyped __new__(BA); b.writeByte(0x61); b.position = 0; return b.readInt(); });
		R.run("ba amf3 roundtrip", function() { var b:Dynamic = untyped __new__(BA); b.writeObject({a: 1, b: ([1, "x", null]:Array<Dynamic>), c: untyped __new__(R.g("Date"), 0)}); b.position = 0; var o:Dynamic = b.readObject(); return b.length + ":" + o.a + "," + o.b + "," + o.c.time; });
		R.run("ba amf0 roundtrip", function() { var b:Dynamic = untyped __new__(BA); b.objectEncoding = 0; b.writeObject({a: 1, b: ([1, "x", null]:Array<Dynamic>)}); b.position = 0; var o:Dynamic = b.readObject(); return b.length + ":" + o.a + "," + o.b; });
		R.run("ba amf3 bytes", function() { var b:Dynamic = untyped __new__(BA); b.writeObject(([1, 2.5, "s", true, null, -1, 268435456]:Array<Dynamic>)); var out = []; b.position = 0; while (b.bytesAvailable > 0) out.push(b.readUnsignedByte()); return out.join(","); });
		R.run("ba amf0 bytes", function() { var b:Dynamic = untyped __new__(BA); b.objectEncoding = 0; b.writeObject(([1, "s", true, null]:Array<Dynamic>)); var out = []; b.position = 0; while (b.bytesAvailable > 0) out.push(b.readUnsignedByte()); return out.join(","); });
		R.run("ba toString bom", function() { var b:Dynamic = untyped __new__(BA); b.writeByte(0xfe); b.writeByte(0xff); b.writeByte(0); b.writeByte(0x41); return untyped __global__["escape"](b.toString()); });
		R.run("ba position past", function() { var b:Dynamic = untyped __new__(BA); b.position = 10; b.writeByte(1); return b.length; });
		R.run("ba [i]", function() { var b:Dynamic = untyped __new__(BA); b[3] = 300; return b.length + "," + b[3] + "," + b[10]; });
		R.run("ba readMultiByte", function() { var b:Dynamic = untyped __new__(BA); b.writeUTFBytes("héllo"); b.position = 0; return b.readMultiByte(6, "utf-8") ; });
		R.run("ba writeUTF long", function() { var b:Dynamic = untyped __new__(BA); var s = ""; for (i in 0...70000) s += "a"; b.writeUTF(s); return b.length; });
		// RegExp
		R.run("re lastIndex g", function() { var r:Dynamic = untyped __new__(R.g("RegExp"), "a", "g"); var s = "aXa"; r.exec(s); var l1 = r.lastIndex; r.exec(s); var l2 = r.lastIndex; var x:Dynamic = r.exec(s); return l1 + "," + l2 + "," + x + "," + r.lastIndex; });
		R.run("re lastIndex no g", function() { var r:Dynamic = untyped __new__(R.g("RegExp"), "a"); r.lastIndex = 2; var x:Dynamic = r.exec("aXa"); return x.index + "," + r.lastIndex; });
		R.run("re test g", function() { var r:Dynamic = untyped __new__(R.g("RegExp"), "a", "g"); return r.test("a") + "," + r.lastIndex + "," + r.test("a") + "," + r.lastIndex; });
		R.run("re groups", function() { var r:Dynamic = untyped __new__(R.g("RegExp"), "(a)|(b)"); var x:Dynamic = r.exec("b"); return x.length + ":" + x[0] + "," + x[1] + "," + x[2] + "," + x.index + "," + x.input; });
		R.run("re named", function() { var r:Dynamic = untyped __new__(R.g("RegExp"), "(?P<w>\\w+)-(?P<n>\\d+)"); var x:Dynamic = r.exec("ab-12"); return x.w + "," + x.n + "," + x.length; });
		R.run("re flags", function() { var r:Dynamic = untyped __new__(R.g("RegExp"), "a.b", "gimsx"); return r + "," + r.global + r.ignoreCase + r.multiline + r.dotall + r.extended; });
		R.run("re flags bad", function() { var r:Dynamic = untyped __new__(R.g("RegExp"), "a", "gqg"); return r + ""; });
		R.run("re from re", function() { var r0:Dynamic = untyped __new__(R.g("RegExp"), "a", "g"); var r:Dynamic = untyped __new__(R.g("RegExp"), r0); return r + "," + r.global; });
		R.run("re from re flags", function() { var r0:Dynamic = untyped __new__(R.g("RegExp"), "a", "g"); var r:Dynamic = untyped __new__(R.g("RegExp"), r0, "i"); return r; });
		R.run("re source escape", function() { var r:Dynamic = untyped __new__(R.g("RegExp"), "a/b"); return r.source + " " + r; });
		R.run("re empty", function() { var r:Dynamic = untyped __new__(R.g("RegExp")); return r + "|" + r.source; });
		R.run("re bad", function() { var r:Dynamic = untyped __new__(R.g("RegExp"), "("); return r + "|" + r.test("("); });
		R.run("replace $", function() { var s = "abc"; return untyped s.replace(untyped __new__(R.g("RegExp"), "(b)"), "[$1$2$&$`$'$$]"); });
		R.run("replace fn", function() { var s = "abcb"; return untyped s.replace(untyped __new__(R.g("RegExp"), "(b)", "g"), function(m, g1, idx, str) return "<" + m + g1 + idx + ">"); });
		R.run("split re", function() { var s = "a1b2c"; return untyped s.split(untyped __new__(R.g("RegExp"), "(\\d)")); });
		R.run("match g", function() { var s = "a1b2c"; return untyped s.match(untyped __new__(R.g("RegExp"), "\\d", "g")); });
		R.run("search", function() { var s = "a1b2c"; return untyped s.search(untyped __new__(R.g("RegExp"), "\\d", "g")); });
	}
}
