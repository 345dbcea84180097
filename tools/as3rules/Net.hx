// flash.net without a network: URLRequest, URLVariables, URLRequestHeader, URLLoader,
// SharedObject data round trips and the class alias registry.
class Net {
	static function g(n:String):Dynamic {
		return switch (n) {
			case "URLRequest": untyped __global__["flash.net.URLRequest"];
			case "URLVariables": untyped __global__["flash.net.URLVariables"];
			case "URLRequestHeader": untyped __global__["flash.net.URLRequestHeader"];
			case "URLLoader": untyped __global__["flash.net.URLLoader"];
			case "SharedObject": untyped __global__["flash.net.SharedObject"];
			case "registerClassAlias": untyped __global__["flash.net.registerClassAlias"];
			case "getClassByAlias": untyped __global__["flash.net.getClassByAlias"];
			case "navigateToURL": untyped __global__["flash.net.navigateToURL"];
			case "ByteArray": untyped __global__["flash.utils.ByteArray"];
			default: untyped __global__["flash.utils.getQualifiedClassName"];
		}
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var Req:Dynamic = g("URLRequest");
		R.run("URLRequest()", function() {
			var r:Dynamic = untyped __new__(Req);
			return R.str(r.url) + "|" + R.str(r.method) + "|" + R.str(r.data) + "|" + R.str(r.contentType) + "|" + R.str(r.requestHeaders.length);
		});
		R.run("URLRequest(null).url", function() return untyped __new__(Req, null).url);
		R.run("URLRequest(5).url", function() return untyped __new__(Req, 5).url);
		var vals:Array<Dynamic> = [u, null, 3, "", "get", "GET", "POST", "post", "PUT", "x"];
		for (v in vals) {
			R.run("req.method=" + R.str(v), function() {
				var r:Dynamic = untyped __new__(Req, "a");
				r.method = v;
				return r.method;
			});
			R.run("req.url=" + R.str(v), function() {
				var r:Dynamic = untyped __new__(Req, "a");
				r.url = v;
				return r.url;
			});
			R.run("req.contentType=" + R.str(v), function() {
				var r:Dynamic = untyped __new__(Req, "a");
				r.contentType = v;
				return r.contentType;
			});
			R.run("req.data=" + R.str(v), function() {
				var r:Dynamic = untyped __new__(Req, "a");
				r.data = v;
				return r.data;
			});
		}
		R.run("req.requestHeaders=null", function() {
			var r:Dynamic = untyped __new__(Req, "a");
			r.requestHeaders = null;
			return r.requestHeaders;
		});
		var H:Dynamic = g("URLRequestHeader");
		R.run("URLRequestHeader()", function() {
			var h:Dynamic = untyped __new__(H);
			return R.str(h.name) + "|" + R.str(h.value);
		});
		R.run("URLRequestHeader(a,b)", function() {
			var h:Dynamic = untyped __new__(H, "a", "b");
			h.name = null;
			return R.str(h.name) + "|" + R.str(h.value);
		});
		var V:Dynamic = g("URLVariables");
		var srcs:Array<Dynamic> = [u, null, "", "a=1", "a=1&b=2", "a=1&a=2", "a=1&a=2&a=3", "a", "a=", "=1", "&", "a=1&&b=2", "a+b=c+d",
			"a=%20%41", "a=%zz", "a=%", "a=1=2", "%41=1", "a=%u0041", "a=1;b=2", "x=1&x="];
		for (s in srcs) {
			R.run("URLVariables(" + R.str(s) + ")", function() {
				var v:Dynamic = untyped __new__(V, s);
				var ks:Array<String> = [];
				var keys:Array<String> = untyped __keys__(v);
				for (k in keys) { var x:Dynamic = Reflect.field(v, k); ks.push(k + ":" + (untyped __typeof__(x)) + ":" + R.str(x)); }
				ks.sort(function(a:String, b:String) return a < b ? -1 : (a > b ? 1 : 0));
				return ks.join(",") + " | " + R.str(v);
			});
			R.run("decode(" + R.str(s) + ")", function() {
				var v:Dynamic = untyped __new__(V);
				v.decode(s);
				return R.str(v);
			});
		}
		R.run("URLVariables toString", function() {
			var v:Dynamic = untyped __new__(V);
			v.b = "x y&z=";
			v.a = [1, "two"];
			v.c = null;
			v.d = u;
			v.e = true;
			Reflect.setField(v, "é", "ü");
			return R.str(v);
		});
		R.run("URLVariables decode twice", function() {
			var v:Dynamic = untyped __new__(V, "a=1");
			v.decode("a=2&b=3");
			return R.str(v.a) + " " + untyped __typeof__(v.a) + " " + R.str(v.b);
		});
		var L:Dynamic = g("URLLoader");
		R.run("URLLoader()", function() {
			var l:Dynamic = untyped __new__(L);
			return R.str(l.dataFormat) + "|" + R.str(l.data) + "|" + R.str(l.bytesLoaded) + "|" + R.str(l.bytesTotal);
		});
		for (f in ["binary", "text", "variables", "x", "", null]) {
			R.run("loader.dataFormat=" + R.str(f), function() {
				var l:Dynamic = untyped __new__(L);
				l.dataFormat = f;
				return l.dataFormat;
			});
		}
		R.run("URLLoader(null).load(null)", function() {
			var l:Dynamic = untyped __new__(L);
			return l.load(null);
		});
		R.run("URLLoader.close unopened", function() {
			var l:Dynamic = untyped __new__(L);
			return l.close();
		});
		var SO:Dynamic = g("SharedObject");
		var soNames:Array<Dynamic> = [u, null, "", "ok", "a b", "a/b", "a~b", "a%b", "a&b", "a\"b", "a:b", "a;b", "a?b", "a#b", "a'b", "a<b", "a>b", "a\\b", "a,b", "a@b", "a=b", "a.b", "a*b"];
		for (n in soNames) {
			R.run("getLocal(" + R.str(n) + ")", function() {
				var so:Dynamic = SO.getLocal(n);
				return untyped __typeof__(so) + " " + R.str(so.size);
			});
		}
		R.run("getLocal path '/'", function() return R.str(SO.getLocal("p1", "/").size));
		R.run("getLocal path 'x'", function() return R.str(SO.getLocal("p2", "x").size));
		R.run("getLocal same", function() return SO.getLocal("same") == SO.getLocal("same"));
		R.run("so defaults", function() {
			var so:Dynamic = SO.getLocal("defs");
			return R.str(so.data) + " " + R.str(so.size) + " " + R.str(so.objectEncoding) + " " + R.str(SO.defaultObjectEncoding) + " " + R.str(so.client == so);
		});
		var B:Dynamic = g("ByteArray");
		var d:Dynamic = untyped __new__(untyped __global__["Date"], 0);
		var arr:Array<Dynamic> = [1, "a", null];
		untyped arr["k"] = 2;
		var data:Array<Dynamic> = [u, null, true, false, 0, -1, 268435455, 268435456, -268435457, 1.5, Math.NaN, "", "str", "é", [], arr, {}, {a: 1, b: "x"}, d,
			untyped __new__(B)];
		var dn = ["undefined", "null", "true", "false", "0", "-1", "2^28-1", "2^28", "-2^28-1", "1.5", "NaN", "''", "'str'", "'é'", "[]", "[1,a,null,k:2]", "{}", "{a,b}", "Date", "ByteArray"];
		for (i in 0...data.length) {
			R.run("so.data round " + dn[i], function() {
				var so:Dynamic = SO.getLocal("rt" + i);
				so.data.v = data[i];
				var before = so.size;
				so.flush();
				var back:Dynamic = so.data.v;
				var qn:Dynamic = g("qn");
				return R.str(qn(back)) + " " + R.str(back) + " size>0=" + R.str(before > 0);
			});
			R.run("amf3 round " + dn[i], function() {
				var b:Dynamic = untyped __new__(B);
				b.writeObject(data[i]);
				var n = b.length;
				b.position = 0;
				var back:Dynamic = b.readObject();
				var qn:Dynamic = g("qn");
				return R.str(n) + " " + R.str(qn(back)) + " " + R.str(back);
			});
			R.run("amf0 round " + dn[i], function() {
				var b:Dynamic = untyped __new__(B);
				b.objectEncoding = 0;
				b.writeObject(data[i]);
				var n = b.length;
				b.position = 0;
				var back:Dynamic = b.readObject();
				var qn:Dynamic = g("qn");
				return R.str(n) + " " + R.str(qn(back)) + " " + R.str(back);
			});
		}
		R.run("so.clear", function() {
			var so:Dynamic = SO.getLocal("clr");
			so.data.a = 1;
			var s1 = so.size;
			var same = so.data;
			so.clear();
			return R.str(s1 > 0) + " " + R.str(so.size) + " " + R.str(so.data.a) + " " + R.str(same == so.data);
		});
		R.run("so.flush result", function() {
			var so:Dynamic = SO.getLocal("fl");
			so.data.a = 1;
			return so.flush();
		});
		R.run("so.flush(0)", function() {
			var so:Dynamic = SO.getLocal("fl0");
			return so.flush(0);
		});
		R.run("so.data=", function() {
			var so:Dynamic = SO.getLocal("dd");
			so.data = {};
			return "set";
		});
		var rca:Dynamic = g("registerClassAlias");
		var gca:Dynamic = g("getClassByAlias");
		R.run("registerClassAlias(null,X)", function() return rca(null, B));
		R.run("registerClassAlias(a,null)", function() return rca("a", null));
		R.run("registerClassAlias('',X)", function() return rca("", B));
		R.run("getClassByAlias(nope)", function() return gca("nope"));
		R.run("getClassByAlias(null)", function() return gca(null));
		R.run("register then get", function() {
			rca("myAlias", B);
			return gca("myAlias") == B;
		});
		var nav:Dynamic = g("navigateToURL");
		R.run("navigateToURL(null)", function() return nav(null));
		R.run("navigateToURL(req no url)", function() return nav(untyped __new__(Req)));
	}
}
