// flash.utils.Proxy: which hook every form of access reaches, and the name it is handed
// (a QName for a written name or an index, a String for `in`).
import flash.utils.Proxy;

class Logging extends Proxy {
	public var declared:Int = 5;

	public function new() {
		super();
	}

	public function own():String {
		return "own method";
	}

	static function describe(name:Dynamic):String {
		var ty:String = untyped __typeof__(name);
		var isQ:Bool = untyped __is__(name, R.g("QName"));
		var s = ty + (isQ ? " QName" : "") + " " + R.str(name);
		if (isQ)
			s += " uri=" + R.str(name.uri) + " local=" + R.str(name.localName);
		return s;
	}

	@:ns("http://www.adobe.com/2006/actionscript/flash/proxy") override function getProperty(name:Dynamic):Dynamic {
		R.t("  getProperty " + describe(name) + " attr=" + R.str(isAttribute(name)));
		return "got";
	}

	@:ns("http://www.adobe.com/2006/actionscript/flash/proxy") override function setProperty(name:Dynamic, value:Dynamic):Void {
		R.t("  setProperty " + describe(name) + " = " + R.str(value));
	}

	@:ns("http://www.adobe.com/2006/actionscript/flash/proxy") override function callProperty(name:Dynamic, rest:haxe.extern.Rest<Dynamic>):Dynamic {
		R.t("  callProperty " + describe(name) + " args=" + R.str(rest.length));
		return "called";
	}

	@:ns("http://www.adobe.com/2006/actionscript/flash/proxy") override function hasProperty(name:Dynamic):Bool {
		R.t("  hasProperty " + describe(name));
		return R.str(name) == "yes";
	}

	@:ns("http://www.adobe.com/2006/actionscript/flash/proxy") override function deleteProperty(name:Dynamic):Bool {
		R.t("  deleteProperty " + describe(name));
		return R.str(name) == "yes";
	}

	@:ns("http://www.adobe.com/2006/actionscript/flash/proxy") override function nextNameIndex(index:Int):Int {
		R.t("  nextNameIndex " + describe(index));
		return index < 2 ? index + 1 : 0;
	}

	@:ns("http://www.adobe.com/2006/actionscript/flash/proxy") override function nextName(index:Int):String {
		R.t("  nextName " + describe(index));
		return "n" + index;
	}

	@:ns("http://www.adobe.com/2006/actionscript/flash/proxy") override function nextValue(index:Int):Dynamic {
		R.t("  nextValue " + describe(index));
		return "v" + index;
	}
}

class Bare extends Proxy {
	public function new() {
		super();
	}
}

class Prox {
	static function main() {
		var z:Float = 0;
		var p:Dynamic = new Logging();
		var keys:Array<Dynamic> = ["k", "yes", "1", "-1", 0, 1, -1, 2.5, 4294967295.0, 4294967296.0, -z, null, true, {}];
		R.run("p.k", function() return p.k);
		R.run("p.declared", function() return p.declared);
		R.run("p.own()", function() return p.own());
		R.run("p.k(1,2)", function() return p.k(1, 2));
		R.run("p.k = 3", function() {
			p.k = 3;
			return "done";
		});
		R.run("p.declared = 4", function() {
			p.declared = 4;
			return p.declared;
		});
		for (k in keys) {
			var label = R.show(k);
			R.run("p[" + label + "]", function() return p[k]);
			R.run("p[" + label + "] = 1", function() {
				p[k] = 1;
				return "done";
			});
			R.run("p[" + label + "]()", function() return p[k]());
			R.run(label + " in p", function() return untyped __in__(k, p));
			R.run("delete p[" + label + "]", function() return untyped __delete__(p, k));
			R.run("hasOwnProperty(" + label + ")", function() return p.hasOwnProperty(k));
			R.run("propertyIsEnumerable(" + label + ")", function() return p.propertyIsEnumerable(k));
		}
		R.run("'declared' in p", function() return untyped __in__("declared", p));
		R.run("'own' in p", function() return untyped __in__("own", p));
		R.run("delete p.declared", function() return untyped __delete__(p, "declared"));
		R.run("QName key", function() return p[untyped __new__(R.g("QName"), "http://x", "q")]);
		R.run("QName null uri key", function() return p[untyped __new__(R.g("QName"), null, "q")]);
		R.run("for-in", function() {
			var names = [];
			var o:Dynamic = p;
			var i = 0;
			while (untyped __has_next__(o, i))
				names.push(R.str(untyped __forin__(o, i)));
			return names.join(",");
		});
		R.run("for-each", function() {
			var values = [];
			var o:Dynamic = p;
			var i = 0;
			while (untyped __has_next__(o, i))
				values.push(R.str(untyped __foreach__(o, i)));
			return values.join(",");
		});
		R.run("String(p)", function() return R.str(p));
		R.run("p.toString()", function() return p.toString());
		R.run("typeof p", function() return untyped __typeof__(p));
		var b:Dynamic = new Bare();
		R.run("bare.k", function() return b.k);
		R.run("bare.k = 1", function() {
			b.k = 1;
			return "done";
		});
		R.run("bare.k()", function() return b.k());
		R.run("'k' in bare", function() return untyped __in__("k", b));
		R.run("delete bare.k", function() return untyped __delete__(b, "k"));
		R.run("bare for-in", function() {
			var o:Dynamic = b;
			var i = 0;
			return untyped __has_next__(o, i);
		});
		R.run("bare[0]", function() return b[0]);
		R.run("String(bare)", function() return R.str(b));
	}
}
