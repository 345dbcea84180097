// Date, ByteArray, Dictionary and enumeration order, Vector, XML basics and common errors.
class Lib {
	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var D:Dynamic = R.g("Date");
		// Dates: compare in UTC so the table does not depend on the machine's zone.
		var forms:Array<Array<Dynamic>> = [
			[0], [86400000], [-1], [1e20], [8.64e15], [8.64e15 + 1], [Math.NaN], ["2000/01/02 03:04:05 GMT"], ["Sat Jan 1 00:00:00 GMT+0000 2000"],
			["garbage"], [2000, 0], [2000, 0, 1, 25, 61, 61, 1001], [99, 11, 31], [2000, 13, 1], [2000, -1, 1], [2000, Math.NaN], [null], [true]
		];
		for (f in forms) {
			R.run("new Date(" + f.join(",") + ").time", function() {
				var d:Dynamic = switch (f.length) {
					case 1: untyped __new__(D, f[0]);
					case 2: untyped __new__(D, f[0], f[1]);
					default: untyped __new__(D, f[0], f[1], f[2], f[3], f[4], f[5], f[6]);
				};
				return R.str(d.getTime()) + " " + R.str(d.getUTCFullYear()) + "-" + R.str(d.getUTCMonth()) + "-" + R.str(d.getUTCDate()) + " " + R.str(d.getUTCDay());
			});
		}
		R.run("Date.UTC(2000,0)", function() return D.UTC(2000, 0));
		R.run("Date.UTC(99,1,29)", function() return D.UTC(99, 1, 29));
		R.run("Date.UTC()", function() return D.UTC());
		R.run("Date.parse('Thu Jan 1 00:00:00 GMT+0100 1970')", function() return D.parse("Thu Jan 1 00:00:00 GMT+0100 1970"));
		R.run("Date.parse('1970/01/02 UTC')", function() return D.parse("1970/01/02 UTC"));
		R.run("Date.parse('Jan 2, 1970 GMT')", function() return D.parse("Jan 2, 1970 GMT"));
		R.run("Date.parse('')", function() return D.parse(""));
		var setters = ["setUTCFullYear", "setUTCMonth", "setUTCDate", "setUTCHours", "setUTCMinutes", "setUTCSeconds", "setUTCMilliseconds", "setTime"];
		var args:Array<Dynamic> = [Math.NaN, u, 5, -1, 1e10, "7", 2.9];
		for (s in setters) {
			for (a in args) {
				R.run(s + "(" + R.str(a) + ")", function() {
					var d:Dynamic = untyped __new__(D, 951782400000.0);
					var r:Dynamic = Reflect.callMethod(d, Reflect.field(d, s), [a]);
					return R.str(r) + " " + R.str(d.time);
				});
			}
			R.run(s + " on invalid", function() {
				var d:Dynamic = untyped __new__(D, Math.NaN);
				return R.str(Reflect.callMethod(d, Reflect.field(d, s), [1]));
			});
		}
		R.run("setUTCFullYear 3 args", function() {
			var d:Dynamic = untyped __new__(D, 0);
			return d.setUTCFullYear(2001, 1, 30);
		});
		R.run("fullYearUTC property", function() {
			var d:Dynamic = untyped __new__(D, 0);
			d.fullYearUTC = 1999;
			return R.str(d.fullYearUTC) + " " + R.str(d.monthUTC) + " " + R.str(d.time);
		});
		R.run("invalid date toString", function() return R.str(untyped __new__(D, Math.NaN)));
		R.run("invalid getters", function() {
			var d:Dynamic = untyped __new__(D, Math.NaN);
			return R.str(d.getUTCHours()) + R.str(d.fullYear) + R.str(d.timezoneOffset);
		});
		R.run("date + 1 type", function() return untyped __typeof__(untyped __new__(D, 0) + 1));
		R.run("date - 1", function() return untyped __new__(D, 10) - 1);
		R.run("date valueOf", function() return untyped __new__(D, 10).valueOf());
		R.run("Date() typeof", function() return untyped __typeof__(D()));
		// ByteArray
		var BA:Dynamic = R.g("flash.utils.ByteArray");
		var writes:Array<Array<Dynamic>> = [
			["writeByte", 300], ["writeByte", -1], ["writeShort", 70000], ["writeShort", -2], ["writeInt", 4294967295.0], ["writeInt", Math.NaN],
			["writeUnsignedInt", -1], ["writeFloat", 1.1], ["writeFloat", Math.NaN], ["writeDouble", -0.0], ["writeDouble", 1e300], ["writeBoolean", "x"],
			["writeBoolean", 0], ["writeUTF", "h\u00e9\u20ac"], ["writeUTFBytes", "h\u00e9\u20ac"], ["writeMultiByte", "h\u00e9"]
		];
		for (endian in ["bigEndian", "littleEndian"]) {
			for (w in writes) {
				R.run(endian + " " + w[0] + "(" + R.str(w[1]) + ")", function() {
					var b:Dynamic = untyped __new__(BA);
					b.endian = endian;
					if (w[0] == "writeMultiByte")
						b.writeMultiByte(w[1], "utf-8");
					else
						Reflect.callMethod(b, Reflect.field(b, w[0]), [w[1]]);
					var hex = [];
					b.position = 0;
					while (b.bytesAvailable > 0) {
						var x:Int = b.readUnsignedByte();
						hex.push(StringTools.hex(x, 2));
					}
					return hex.join(" ") + " len " + R.str(b.length);
				});
			}
		}
		var reads = [
			"readByte", "readUnsignedByte", "readShort", "readUnsignedShort", "readInt", "readUnsignedInt", "readFloat", "readDouble", "readBoolean",
			"readUTF"
		];
		for (endian in ["bigEndian", "littleEndian"]) {
			for (r in reads) {
				R.run(endian + " " + r, function() {
					var b:Dynamic = untyped __new__(BA);
					b.endian = endian;
					for (x in [0xC0, 0x01, 0x80, 0xFF, 0x40, 0x09, 0x21, 0xFB, 0x54, 0x44])
						b.writeByte(x);
					b.position = 0;
					var v:Dynamic = Reflect.callMethod(b, Reflect.field(b, r), []);
					return R.str(v) + " @" + R.str(b.position);
				});
				R.run(endian + " " + r + " past end", function() {
					var b:Dynamic = untyped __new__(BA);
					b.writeByte(1);
					b.position = 1;
					var v:Dynamic = Reflect.callMethod(b, Reflect.field(b, r), []);
					return R.str(v) + " @" + R.str(b.position);
				});
			}
		}
		R.run("position past end then write", function() {
			var b:Dynamic = untyped __new__(BA);
			b.position = 4;
			b.writeByte(7);
			return R.str(b.length) + " " + R.str(b[0]) + R.str(b[4]) + R.str(b[9]);
		});
		R.run("readBytes", function() {
			var b:Dynamic = untyped __new__(BA);
			b.writeUTFBytes("abcdef");
			b.position = 1;
			var c:Dynamic = untyped __new__(BA);
			b.readBytes(c, 2, 3);
			return R.str(c.length) + " " + R.str(c.toString()) + " @" + R.str(b.position);
		});
		R.run("readBytes too many", function() {
			var b:Dynamic = untyped __new__(BA);
			b.writeUTFBytes("ab");
			b.position = 0;
			var c:Dynamic = untyped __new__(BA);
			b.readBytes(c, 0, 5);
			return R.str(c.length);
		});
		R.run("readUTFBytes past", function() {
			var b:Dynamic = untyped __new__(BA);
			b.writeUTFBytes("ab");
			b.position = 0;
			return b.readUTFBytes(5);
		});
		R.run("length shrink", function() {
			var b:Dynamic = untyped __new__(BA);
			b.writeUTFBytes("abcdef");
			b.length = 2;
			return R.str(b.position) + " " + R.str(b.toString());
		});
		R.run("bom toString", function() {
			var b:Dynamic = untyped __new__(BA);
			for (x in [0xEF, 0xBB, 0xBF, 0x41])
				b.writeByte(x);
			return b.toString();
		});
		R.run("b[1]=300", function() {
			var b:Dynamic = untyped __new__(BA);
			b[1] = 300;
			return R.str(b.length) + " " + R.str(b[1]) + " " + R.str(b[0]);
		});
		R.run("endian bad", function() {
			var b:Dynamic = untyped __new__(BA);
			b.endian = "middle";
			return b.endian;
		});
		// Dictionary and enumeration
		var Dict:Dynamic = R.g("flash.utils.Dictionary");
		R.run("dictionary keys", function() {
			var d:Dynamic = untyped __new__(Dict);
			var k1 = {};
			untyped d[k1] = "obj";
			untyped d["1"] = "s1";
			untyped d[1] = "n1";
			untyped d[true] = "t";
			var nk:Dynamic = null;
			untyped d[nk] = "n";
			var c = 0;
			for (k in Reflect.fields(d))
				c++;
			return R.str(untyped d[k1]) + R.str(untyped d["1"]) + R.str(untyped d["true"]) + R.str(untyped d["null"]) + " " + c;
		});
		R.run("object for-in order", function() {
			var o:Dynamic = {};
			for (k in ["b", "a", "10", "2", "c", "1"])
				untyped o[k] = 1;
			var ks:Array<String> = untyped __keys__(o);
			return ks.join(",");
		});
		R.run("array for-in with extras", function() {
			var a:Dynamic = [1, 2, 3];
			a.x = 1;
			untyped a[5] = 6;
			var ks:Array<String> = untyped __keys__(a);
			return ks.join(",");
		});
		// Vector
		R.run("Vector.<int> conversions", function() {
			var v:Dynamic = new flash.Vector<Int>(0);
			v.push(1.7, "3", -2.5, Math.NaN, null, u, true);
			return R.str(v);
		});
		R.run("Vector.<String> nulls", function() {
			var v:Dynamic = new flash.Vector<String>(2);
			v.push(null, u, 5);
			return R.str(v) + " " + R.str(v.length) + " " + R.str(v[0] == null);
		});
		R.run("Vector fixed push", function() {
			var v:Dynamic = new flash.Vector<Int>(2, true);
			return v.push(1);
		});
		R.run("Vector out of range read", function() {
			var v:Dynamic = new flash.Vector<Int>(2);
			return untyped v[5];
		});
		R.run("Vector write at length", function() {
			var v:Dynamic = new flash.Vector<Int>(2);
			untyped v[2] = 9;
			return R.str(v);
		});
		R.run("Vector write past length", function() {
			var v:Dynamic = new flash.Vector<Int>(2);
			untyped v[3] = 9;
			return R.str(v);
		});
		R.run("Vector splice/slice/indexOf", function() {
			var v:Dynamic = new flash.Vector<Float>(0);
			v.push(5, 1, 4, 1, 3);
			var s = v.splice(1, 2, 9);
			return R.str(s) + " " + R.str(v) + " " + R.str(v.slice(-2)) + " " + R.str(v.indexOf(1)) + " " + R.str(v.lastIndexOf(9, -4));
		});
		R.run("Vector sort numeric", function() {
			var v:Dynamic = new flash.Vector<Float>(0);
			v.push(10, 9, 1, 100);
			return R.str(v.sort(16)) + " / " + R.str(v.sort(function(a, b) return b - a));
		});
		R.run("Vector join/reverse/concat", function() {
			var v:Dynamic = new flash.Vector<String>(0);
			v.push("a", "b");
			return v.join("-") + " " + R.str(v.reverse()) + " " + R.str(v.concat(v));
		});
		R.run("Vector length set", function() {
			var v:Dynamic = new flash.Vector<Int>(0);
			v.length = 3;
			return R.str(v);
		});
		R.run("Vector fixed length set", function() {
			var v:Dynamic = new flash.Vector<Int>(1, true);
			v.length = 3;
			return R.str(v);
		});
		R.run("Vector index 1.5", function() {
			var v:Dynamic = new flash.Vector<Int>(3);
			return untyped v[1.5];
		});
		R.run("Vector pop empty", function() {
			var v:Dynamic = new flash.Vector<Int>(0);
			return v.pop();
		});
		R.run("Vector of Vector toString", function() {
			var v:Dynamic = new flash.Vector<Dynamic>(0);
			v.push(new flash.Vector<Int>(2), null);
			return R.str(v);
		});
		// XML
		var X:Dynamic = R.g("XML");
		R.run("xml basics", function() {
			var x:Dynamic = untyped __new__(X, "<a b='1'><c>t</c><c>u</c><!-- k --></a>");
			return R.str(x.c.length()) + " " + R.str(x.attribute("b")) + " " + R.str(x.c[1]) + " " + R.str(x.children().length()) + " " + x.toXMLString();
		});
		R.run("xml text", function() return R.str(untyped __new__(X, "  hi  ")));
		R.run("xml bad", function() return R.str(untyped __new__(X, "<a><b></a>")));
		R.run("xml name/attributes", function() {
			var x:Dynamic = untyped __new__(X, "<p:a xmlns:p='urn:x' k='v' j='w'/>");
			return R.str(x.name()) + " " + R.str(x.localName()) + " " + R.str(x.attributes().length()) + " " + R.str(x.attributes()[1].name());
		});
		R.run("xmllist toString", function() {
			var x:Dynamic = untyped __new__(X, "<a><b>1</b><b>2</b></a>");
			return R.str(x.b) + "|" + x.b.toXMLString();
		});
		R.run("xml hasSimpleContent", function() {
			var x:Dynamic = untyped __new__(X, "<a><b>1</b></a>");
			return R.str(x.hasSimpleContent()) + R.str(x.b.hasSimpleContent()) + R.str(x.nodeKind());
		});
		// Errors for common mistakes
		var nul:Dynamic = null;
		R.run("call null method", function() return nul.foo());
		R.run("read null property", function() return nul.foo);
		R.run("call undefined", function() return u());
		R.run("call non-function", function() {
			var o:Dynamic = {f: 1};
			return o.f();
		});
		R.run("missing method", function() {
			var o:Dynamic = {};
			return o.nothing();
		});
		R.run("new non-constructor", function() return untyped __new__(1));
		R.run("Array(-1)", function() return untyped __new__(R.g("Array"), -1));
		R.run("Array(1.5)", function() return untyped __new__(R.g("Array"), 1.5));
		R.run("toFixed(30)", function() return (untyped 1).toFixed(30));
		R.run("in on number", function() return untyped __in__("a", 1));
		R.run("String.fromCharCode.call", function() return R.g("String").fromCharCode.call(null, 72, 105));
		R.run("Function.apply non-array", function() return { var fn:Dynamic = function(a) return a; fn.apply(null, 5); });
		R.run("Error()", function() return R.str(untyped __new__(R.g("Error"))));
		R.run("Error(msg, id)", function() {
			var e:Dynamic = untyped __new__(R.g("Error"), "m", 7);
			return R.str(e) + " " + R.str(e.errorID) + " " + R.str(e.name) + " " + R.str(e.message);
		});
		R.run("TypeError toString", function() return R.str(untyped __new__(R.g("TypeError"), "x")));
		R.run("RangeError errorID", function() return untyped __new__(R.g("RangeError"), "x").errorID);
		R.run("Error.prototype.name", function() return R.g("Error").prototype.name);
		R.run("throw string", function() {
			try {
				throw "s";
			} catch (e:String) {
				return "caught " + e;
			}
			return "";
		});
	}
}
