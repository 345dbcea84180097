// describeType of a script's own classes and the player's, as instances and as class objects;
// the qualified names of every kind of value; getDefinitionByName's errors; what functions and
// methods declare as their length.
interface IDescShape {
	function area():Float;
}

@:meta(Card(kind = "front", size = "2"))
class DescBase implements IDescShape {
	@:meta(Inject(name = "w"))
	public var width:Int;
	public var label:String;
	public var anything:Dynamic;
	public static var count:Int = 0;
	public static inline var LIMIT:Int = 3;

	public function new(w:Int, ?name:String) {
		width = w;
		label = name;
	}

	@:meta(Handler)
	public function area():Float {
		return width * 2.0;
	}

	public function scaled(by:Float, ?round:Bool, ?extra:Dynamic):Float {
		return width * by;
	}

	@:getter(size) function getSize():Int {
		return width;
	}

	@:setter(size) function setSize(v:Int):Void {
		width = v;
	}

	@:getter(title) function getTitle():String {
		return label;
	}

	public static function make(n:Int):DescBase {
		return new DescBase(n);
	}
}

@:final class DescLeaf extends DescBase {
	public var depth:Float;

	public function new() {
		super(1);
	}

	override public function area():Float {
		return 1.0;
	}

	public function rest(a:Int, b:Dynamic, ?c:String, ?d:Int):Void {}
}

class Desc {
	static function lines(label:String, v:Dynamic):Void {
		var dt:Dynamic = untyped __global__["flash.utils.describeType"];
		try {
			var x:Dynamic = dt(v);
			R.t(label + ":");
			var s:String = x.toXMLString();
			for (l in s.split("\n"))
				R.t("  " + l);
		} catch (e:flash.errors.Error) {
			R.t(label + " " + R.err(e));
		}
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var qn:Dynamic = untyped __global__["flash.utils.getQualifiedClassName"];
		var qsn:Dynamic = untyped __global__["flash.utils.getQualifiedSuperclassName"];
		var gd:Dynamic = untyped __global__["flash.utils.getDefinitionByName"];

		// describeType: own classes, as instances and as classes.
		lines("DescBase instance", new DescBase(2, "x"));
		lines("DescBase class", DescBase);
		lines("DescLeaf instance", new DescLeaf());
		lines("IDescShape", IDescShape);
		// The player's own classes and values.
		var players:Array<Dynamic> = [
			null, 0, -1, 0.5, 4294967296.0, "s", true, [], {}, function() {}, untyped __new__(R.g("Date"), 0), untyped __new__(R.g("Error"), "m"),
			untyped __new__(R.g("flash.utils.Dictionary")), untyped __global__["flash.geom.Point"], untyped __new__(untyped __global__["flash.geom.Point"], 1, 2),
			untyped __global__["flash.events.Event"], R.g("Object"), R.g("Class"), R.g("int"), untyped __new__(R.g("Namespace"), "p", "u"),
			untyped __new__(R.g("QName"), "u", "n")
		];
		for (v in players)
			lines("describeType " + R.show(v), v);

		// Qualified names of every kind of value.
		var vals:Array<Dynamic> = [
			null, 0, -1, 0.5, 2147483648.0, -2147483649.0, 4294967295.0, Math.NaN, "s", true, [], {}, function() {}, new DescBase(1), DescBase,
			new DescLeaf(), DescLeaf, IDescShape, R.g("Object"), R.g("Class"), R.g("int"), R.g("uint"), R.g("Number"), R.g("Array"),
			R.g("Function"), untyped __new__(R.g("Date"), 0), untyped __new__(R.g("TypeError"), "t"), untyped __new__(R.g("XML"), "<a/>"),
			untyped __new__(R.g("XMLList"), "<a/><b/>"), untyped __new__(R.g("flash.utils.ByteArray")), untyped __new__(R.g("__AS3__.vec.Vector"), 1),
			R.g("__AS3__.vec.Vector"), untyped __new__(R.g("RegExp"), "a", "g"), untyped __new__(R.g("Namespace"), "u"), untyped __global__["flash.events.Event"],
			untyped __new__(untyped __global__["flash.events.Event"], "x"), untyped __global__["flash.utils.Proxy"], Math, R.g("JSON")
		];
		for (v in vals) {
			R.run("getQualifiedClassName " + R.show(v), function() return qn(v));
			R.run("getQualifiedSuperclassName " + R.show(v), function() return qsn(v));
		}

		// getDefinitionByName: found, missing and malformed names.
		var names:Array<Dynamic> = [
			"DescBase", "IDescShape", "flash.events.Event", "flash.events::Event", "flash.events.Nope", "Nope", "", " int", "int", "Vector",
			"__AS3__.vec.Vector", "__AS3__.vec::Vector", "flash.utils.getTimer", "Math.PI", "Vector.<int>", "__AS3__.vec.Vector.<int>", null, u, 5, "a..b", "."
		];
		for (n in names) {
			R.run("getDefinitionByName(" + R.str(n) + ")", function() {
				var d:Dynamic = gd(n);
				return untyped __typeof__(d) + " " + R.str(qn(d));
			});
		}
		R.run("getDefinitionByName()", function() return gd());

		// Declared lengths and arguments.
		var b = new DescBase(1);
		var fs:Array<Dynamic> = [
			b.area, b.scaled, DescBase.make, new DescLeaf().rest, function() {}, function(a) {}, function(a, b, ?c) {}, function(a:Int, ?b:Int, ?c:Int) {}
		];
		var i = 0;
		for (f in fs) {
			var n = i++;
			R.run("length #" + n, function() return f.length);
		}
		// Last: the reference player stops at some of these.
		R.run("getQualifiedClassName()", function() return qn());
		R.run("getQualifiedClassName(undefined)", function() return qn(u));
		R.run("getQualifiedSuperclassName(undefined)", function() return qsn(u));
		lines("describeType undefined", u);
	}
}
