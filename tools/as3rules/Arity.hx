// A function's length: what each built-in prototype function declares, what closures and
// methods declare (defaults count, a rest list does not), and what a call with one argument
// too many does.
class ArityHolder {
	public function new() {}

	public function two(a:Int, b:Int):Int {
		return a + b;
	}

	public function withDefault(a:Int, b:Int = 3):Int {
		return a + b;
	}

	public static function st(a:Dynamic, b:Dynamic, c:Dynamic):Dynamic {
		return a;
	}
}

class Arity {
	static function lengthOf(label:String, f:Dynamic):Void {
		R.run(label + ".length", function() return f.length);
	}

	static function protoLengths(className:String, names:Array<String>):Void {
		var proto:Dynamic = R.g(className).prototype;
		for (n in names)
			lengthOf(className + ".prototype." + n, Reflect.field(proto, n));
	}

	static function main() {
		protoLengths("Array", [
			"join", "pop", "toString", "toLocaleString", "push", "reverse", "concat", "shift", "slice", "unshift", "splice", "sort",
			"sortOn", "indexOf", "lastIndexOf", "every", "filter", "forEach", "map", "some"
		]);
		protoLengths("Object", ["hasOwnProperty", "isPrototypeOf", "propertyIsEnumerable", "setPropertyIsEnumerable", "toString", "toLocaleString", "valueOf"]);
		protoLengths("Function", ["call", "apply", "toString"]);
		protoLengths("Number", ["toString", "toLocaleString", "valueOf", "toFixed", "toExponential", "toPrecision"]);
		protoLengths("String", [
			"indexOf", "lastIndexOf", "charAt", "charCodeAt", "concat", "localeCompare", "match", "replace", "search", "slice", "split",
			"substring", "substr", "toLowerCase", "toUpperCase", "toString", "valueOf"
		]);
		protoLengths("Date", [
			"getTime", "setTime", "setFullYear", "setMonth", "setDate", "setHours", "setMinutes", "setSeconds", "setMilliseconds", "setUTCFullYear",
			"setUTCHours", "toString", "toDateString", "valueOf", "getTimezoneOffset"
		]);
		protoLengths("RegExp", ["exec", "test", "toString"]);
		protoLengths("XML", ["toString", "valueOf", "hasOwnProperty", "propertyIsEnumerable", "toXMLString", "child", "attribute", "appendChild"]);
		var a:Dynamic = R.g("Array");
		for (s in ["join", "slice", "indexOf", "every", "pop", "sortOn"]) {
			R.run("Array.prototype." + s + " one too many", function() {
				var f:Dynamic = Reflect.field(a.prototype, s);
				var args:Array<Dynamic> = [];
				for (i in 0...f.length + 1)
					args.push(i);
				var t:Dynamic = [1, 2, 3];
				if (s == "every")
					args[0] = function(x) return true;
				return f.apply(t, args);
			});
		}
		lengthOf("function()", function() return 0);
		lengthOf("function(a)", function(a:Dynamic) return a);
		lengthOf("function(a,b,c)", function(a:Dynamic, b:Dynamic, c:Dynamic) return a);
		lengthOf("function(a,?b)", function(a:Dynamic, ?b:Dynamic) return a);
		var h = new ArityHolder();
		var hd:Dynamic = h;
		lengthOf("method closure two", hd.two);
		lengthOf("method closure withDefault", hd.withDefault);
		lengthOf("static st", ArityHolder.st);
		lengthOf("Function.prototype", R.g("Function").prototype);
		lengthOf("Math.max", R.g("Math").max);
		lengthOf("Math.pow", R.g("Math").pow);
		lengthOf("Math.random", R.g("Math").random);
		lengthOf("parseInt", R.g("parseInt"));
		lengthOf("isNaN", R.g("isNaN"));
		lengthOf("escape", R.g("escape"));
		lengthOf("String.fromCharCode", R.g("String").fromCharCode);
		lengthOf("Date.UTC", R.g("Date").UTC);
		lengthOf("Date.parse", R.g("Date").parse);
		lengthOf("trace", untyped __global__["trace"]);
		lengthOf("bound method via Function.apply", function(x, y) return 1);
		R.run("function.length = 5", function() {
			var f:Dynamic = function(a) return a;
			f.length = 5;
			return f.length;
		});
	}
}
