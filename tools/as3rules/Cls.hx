// Classes as scripts meet them: sealed instances refusing new, missing and method-valued
// properties, accessors through super, method closures keeping their object, arguments and
// rest lists, Function.apply and call with every kind of array-like, for-in and for-each over
// every kind of object, and Object's prototype methods on instances, classes and prototypes.
interface IClsA {
	function a():String;
}

interface IClsB extends IClsA {
	function b():String;
}

class ClsBase implements IClsB {
	public var v:Int;
	public static var order:Array<String> = [];

	public function new(v:Int) {
		order.push("base ctor " + v);
		this.v = v;
	}

	public function a():String {
		return "base a " + v;
	}

	public function b():String {
		return "base b";
	}

	public function who():String {
		return "base";
	}

	@:getter(size) function getSize():Int {
		return v * 10;
	}

	@:setter(size) function setSize(x:Int):Void {
		v = x;
	}

	@:getter(label) function getLabel():String {
		return "base label";
	}
}

class ClsLeaf extends ClsBase {
	public var w:String;

	public function new() {
		ClsBase.order.push("leaf ctor before super");
		super(7);
		w = "leaf";
		ClsBase.order.push("leaf ctor after super");
	}

	override public function who():String {
		return "leaf>" + super.who();
	}

	@:getter(label) override function getLabel():String {
		return "leaf>" + super.getLabel();
	}
}

class Cls {
	static function args(a:Dynamic, ?b:Dynamic, ?c:Dynamic):String {
		return R.str(a) + "," + R.str(b) + "," + R.str(c);
	}

	static function main() {
		var leaf = new ClsLeaf();
		for (line in ClsBase.order)
			R.t(line);
		var d:Dynamic = leaf;
		R.run("who", function() return d.who());
		R.run("label", function() return d.label);
		R.run("size", function() return d.size);
		R.run("set size", function() {
			d.size = 3;
			return d.v;
		});
		R.run("set missing on sealed", function() {
			d.nope = 1;
			return d.nope;
		});
		R.run("read missing on sealed", function() return d.nope);
		R.run("call missing on sealed", function() return d.nope());
		R.run("assign to a method", function() {
			d.who = null;
			return d.who();
		});
		R.run("write a getter-only accessor", function() {
			d.label = "x";
			return d.label;
		});
		R.run("delete a fixed property", function() return untyped __delete__(d, "w"));
		R.run("in fixed", function() return untyped __in__("w", d));
		R.run("in method", function() return untyped __in__("who", d));
		R.run("in accessor", function() return untyped __in__("size", d));
		R.run("in missing", function() return untyped __in__("nope", d));

		// Interfaces and is/as.
		var ia:Dynamic = IClsA;
		var ib:Dynamic = IClsB;
		var clsLeaf:Dynamic = ClsLeaf;
		var clsBase:Dynamic = ClsBase;
		var vals:Array<Dynamic> = [leaf, new ClsBase(1), {}, null, 5, "s", clsLeaf, ia];
		var names = ["leaf", "base", "object", "null", "5", "s", "class ClsLeaf", "interface IClsA"];
		var types:Array<Dynamic> = [ia, ib, clsBase, clsLeaf, R.g("Object"), R.g("Class")];
		var typeNames = ["IClsA", "IClsB", "ClsBase", "ClsLeaf", "Object", "Class"];
		for (i in 0...vals.length) {
			var v = vals[i];
			for (j in 0...types.length) {
				var t = types[j];
				R.run(names[i] + " is " + typeNames[j], function() return untyped __is__(v, t));
				R.run(names[i] + " as " + typeNames[j] + " is null", function() return untyped __as__(v, t) == null);
			}
		}

		// Method closures keep their object; plain functions take the one they are given.
		var m:Dynamic = d.who;
		var other:Dynamic = new ClsBase(2);
		R.run("closure", function() return m());
		R.run("closure call other", function() return m.call(other));
		R.run("closure apply other", function() return m.apply(other, []));
		R.run("closure equal", function() return m == d.who);
		R.run("closure length", function() return m.length);

		// Function.apply and call with array-likes.
		var fa:Dynamic = args;
		var likes:Array<Dynamic> = [
			[1, 2], null, untyped __global__["undefined"], untyped __new__(R.g("Array"), 3), {length: 2, "0": "x", "1": "y"}, "ab", 5
		];
		var likeNames = ["array", "null", "undefined", "Array(3)", "object with length", "string", "number"];
		for (i in 0...likes.length) {
			var l = likes[i];
			R.run("apply " + likeNames[i], function() return fa.apply(null, l));
		}
		R.run("call no args", function() return fa.call(null));
		R.run("call more args", function() return fa.call(null, 1, 2, 3, 4));

		// for-in and for-each over every kind of object.
		var dyn:Dynamic = {fixed: 1};
		dyn.extra = "e";
		dyn.more = 2;
		var dict:Dynamic = untyped __new__(R.g("flash.utils.Dictionary"));
		dict[clsLeaf] = "k";
		var objs:Array<Dynamic> = [
			leaf, dyn, [1, 2, 3], {a: 1}, "str", 42, null, R.g("Object"), clsLeaf, untyped __new__(R.g("XML"), "<a x='1'><b/>t</a>"),
			untyped __new__(R.g("XMLList"), "<a/><b/>"), untyped __new__(R.g("Date"), 0), untyped __new__(R.g("flash.utils.ByteArray"))
		];
		var objNames = ["leaf", "dynamic", "array", "object", "string", "number", "null", "Object", "ClsLeaf", "xml", "xmllist", "date", "bytes"];
		for (i in 0...objs.length) {
			var o = objs[i];
			R.run("for-in " + objNames[i], function() {
				var keys:Array<String> = [];
				var ks:Array<Dynamic> = untyped __keys__(o);
				for (k in ks)
					keys.push(R.str(k));
				var vs:Array<String> = [];
				untyped __foreach__(o, function(x) vs.push(R.str(x)));
				keys.sort(function(x, y) return x < y ? -1 : x > y ? 1 : 0);
				vs.sort(function(x, y) return x < y ? -1 : x > y ? 1 : 0);
				return keys.join(",") + " | " + vs.join(",");
			});
		}

		// Object's prototype methods.
		var objProto:Dynamic = untyped R.g("Object").prototype;
		var checks:Array<Array<Dynamic>> = [
			[leaf, "w"], [leaf, "who"], [leaf, "size"], [dyn, "extra"], [dyn, "fixed"], [clsLeaf, "prototype"], [clsBase, "order"],
			[[1, 2], "0"], [[1, 2], "length"], ["str", "length"], ["str", "0"], [untyped R.g("Array").prototype, "push"], [objProto, "hasOwnProperty"]
		];
		var checkNames = ["leaf.w", "leaf.who", "leaf.size", "dyn.extra", "dyn.fixed", "ClsLeaf.prototype", "ClsBase.order", "[1,2].0", "[1,2].length", "str.length", "str.0", "Array.prototype.push", "Object.prototype.hasOwnProperty"];
		for (i in 0...checks.length) {
			var o:Dynamic = checks[i][0];
			var k:Dynamic = checks[i][1];
			R.run("hasOwnProperty " + checkNames[i], function() return o.hasOwnProperty(k));
			R.run("propertyIsEnumerable " + checkNames[i], function() return o.propertyIsEnumerable(k));
		}
		R.run("setPropertyIsEnumerable dynamic", function() {
			dyn.setPropertyIsEnumerable("extra", false);
			// The order of a dynamic object's keys is the player's own: sorted, they compare.
			var ks:Array<String> = untyped __keys__(dyn);
			ks.sort(function(x, y) return x < y ? -1 : x > y ? 1 : 0);
			return ks.join(",") + " " + dyn.propertyIsEnumerable("extra");
		});
		R.run("setPropertyIsEnumerable fixed", function() {
			d.setPropertyIsEnumerable("w", true);
			return d.propertyIsEnumerable("w");
		});
		R.run("isPrototypeOf", function() return untyped clsBase.prototype.isPrototypeOf(leaf));
		R.run("isPrototypeOf own", function() return untyped clsLeaf.prototype.isPrototypeOf(leaf));
		R.run("valueOf is self", function() return d.valueOf() == d);
		R.run("toString leaf", function() return d.toString());
		R.run("toLocaleString leaf", function() return d.toLocaleString());
		R.run("constructor", function() return d.constructor == clsLeaf);
		R.run("prototype.constructor", function() return untyped clsLeaf.prototype.constructor == clsLeaf);
	}
}
