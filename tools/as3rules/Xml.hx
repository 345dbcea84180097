// E4X built from strings: printing settings, navigation, editing, names and kinds, equality.
class Xml {
	static function x(s:String):Dynamic {
		return untyped __new__(R.g("XML"), s);
	}

	// A method call, not a property read: on XML a read finds child elements of that name.
	static function call(o:Dynamic, m:String, args:Array<Dynamic>):Dynamic {
		return switch (m) {
			case "children": o.children();
			case "elements": o.elements();
			case "attributes": o.attributes();
			case "text": o.text();
			case "comments": o.comments();
			case "processingInstructions": o.processingInstructions();
			case "descendants": o.descendants();
			case "nodeKind": o.nodeKind();
			case "name": o.name();
			case "localName": o.localName();
			case "hasSimpleContent": o.hasSimpleContent();
			case "hasComplexContent": o.hasComplexContent();
			case "length": o.length();
			case "copy": o.copy();
			case "namespace": o.namespace();
			case "inScopeNamespaces": o.inScopeNamespaces();
			case "namespaceDeclarations": o.namespaceDeclarations();
			case "normalize": o.normalize();
			case "childIndex": o.childIndex();
			case "parent": o.parent();
			case "toString": o.toString();
			case "valueOf": o.valueOf();
			default: throw "no method " + m;
		}
	}

	static function main() {
		var X:Dynamic = R.g("XML");
		var src = "<a x='1' y=\"2\"><!-- c --><?pi d?><b>t1</b>  <c><d/>text<e>e</e></c><b k='v'>t2</b></a>";
		for (pp in [true, false]) {
			for (iw in [true, false]) {
				for (ic in [true, false]) {
					var label = "pp=" + pp + " iw=" + iw + " ic=" + ic;
					X.prettyPrinting = pp;
					X.ignoreWhitespace = iw;
					X.ignoreComments = ic;
					X.ignoreProcessingInstructions = ic;
					R.run(label + " toXMLString", function() return x(src).toXMLString());
					R.run(label + " toString", function() return x(src).toString());
					R.run(label + " children", function() return x(src).children().length());
				}
			}
		}
		X.setSettings(X.defaultSettings());
		for (ind in [0, 1, 4, -1, 2.5]) {
			X.prettyIndent = ind;
			R.run("indent " + ind, function() return x(src).toXMLString());
		}
		X.setSettings(X.defaultSettings());
		X.ignoreComments = false;
		X.ignoreProcessingInstructions = false;
		var ms:Array<String> = ["children", "elements", "attributes", "text", "comments", "processingInstructions", "descendants", "nodeKind",
			"name", "localName", "hasSimpleContent", "hasComplexContent", "length", "copy", "namespace", "inScopeNamespaces", "namespaceDeclarations",
			"normalize", "childIndex", "parent", "toString", "valueOf"];
		for (m in ms) {
			R.run("a." + m, function() return call(x(src), m, []));
			R.run("b." + m, function() return call(x(src).b, m, []));
			R.run("c." + m, function() return call(x(src).c, m, []));
			R.run("text." + m, function() return call(x("<p>hi</p>").children()[0], m, []));
			R.run("attr." + m, function() return call(x(src).attribute("x")[0], m, []));
		}
		for (arg in ["b", "*", "d", "zz"]) {
			R.run("elements(" + arg + ")", function() return x(src).elements(arg));
			R.run("descendants(" + arg + ")", function() return x(src).descendants(arg));
			R.run("child(" + arg + ")", function() return x(src).child(arg));
			R.run("attribute(" + arg + ")", function() return x(src).attribute(arg));
		}
		R.run("child(1)", function() return x(src).child(1));
		R.run("child(9)", function() return x(src).child(9));
		var vals:Array<Dynamic> = ["str", 5, null, untyped __global__["undefined"], "<n>1</n>"];
		for (v in vals) {
			var l = R.str(v);
			R.run("appendChild " + l, function() {
				var a = x("<a><b/></a>");
				a.appendChild(v);
				return a.toXMLString();
			});
			R.run("prependChild " + l, function() {
				var a = x("<a><b/></a>");
				a.prependChild(v);
				return a.toXMLString();
			});
			R.run("insertChildBefore " + l, function() {
				var a = x("<a><b/><c/></a>");
				a.insertChildBefore(a.c[0], v);
				return a.toXMLString();
			});
			R.run("insertChildAfter " + l, function() {
				var a = x("<a><b/><c/></a>");
				a.insertChildAfter(a.b[0], v);
				return a.toXMLString();
			});
			R.run("insertChildAfter null " + l, function() {
				var a = x("<a><b/><c/></a>");
				a.insertChildAfter(null, v);
				return a.toXMLString();
			});
			R.run("replace 0 " + l, function() {
				var a = x("<a><b/><c/></a>");
				a.replace(0, v);
				return a.toXMLString();
			});
			R.run("replace b " + l, function() {
				var a = x("<a><b/><c/><b/></a>");
				a.replace("b", v);
				return a.toXMLString();
			});
			R.run("setChildren " + l, function() {
				var a = x("<a><b/><c/></a>");
				a.setChildren(v);
				return a.toXMLString();
			});
			R.run("setName " + l, function() {
				var a = x("<a><b/></a>");
				a.setName(v);
				return a.toXMLString();
			});
			R.run("new XML " + l, function() return untyped __new__(X, v).toXMLString());
			R.run("new XMLList " + l, function() return untyped __new__(R.g("XMLList"), v).length());
		}
		R.run("list text", function() return untyped __new__(R.g("XMLList"), "<a>1</a><b>2</b>").toXMLString());
		R.run("list simple", function() return untyped __new__(R.g("XMLList"), "<a>1</a>").hasSimpleContent());
		R.run("eq xml str", function() return untyped (x("<a>1</a>") == "1"));
		R.run("eq xml xml", function() return untyped (x("<a>1</a>") == x("<a>1</a>")));
		R.run("eq xml xml attr", function() return untyped (x("<a k='1'>1</a>") == x("<a k='2'>1</a>")));
		R.run("eq list str", function() return untyped (x("<r><a>1</a></r>").a == "1"));
		R.run("eq list num", function() return untyped (x("<r><a>1</a></r>").a == 1));
		R.run("eq attr str", function() return untyped (x("<r k='5'/>").attribute("k") == "5"));
		R.run("eq list list", function() return untyped (x("<r><a>1</a><a>2</a></r>").a == x("<s><a>1</a><a>2</a></s>").a));
		R.run("addNamespace", function() {
			var a = x("<a/>");
			a.addNamespace(untyped __new__(R.g("Namespace"), "p", "http://p"));
			return a.toXMLString();
		});
		R.run("ns elem", function() return x("<p:a xmlns:p='http://p'><p:b/></p:a>").name());
		R.run("ns localName", function() return x("<p:a xmlns:p='http://p'><p:b/></p:a>").localName());
		R.run("ns namespace", function() return x("<p:a xmlns:p='http://p'><p:b/></p:a>").namespace());
		R.run("ns namespace p", function() return x("<p:a xmlns:p='http://p'><p:b/></p:a>").namespace("p"));
		R.run("ns namespace q", function() return x("<p:a xmlns:p='http://p'><p:b/></p:a>").namespace("q"));
		R.run("ns decls", function() return x("<p:a xmlns:p='http://p' xmlns='http://d'><p:b/></p:a>").namespaceDeclarations().length);
		var Q:Dynamic = R.g("QName");
		var N:Dynamic = R.g("Namespace");
		R.run("QName 1", function() return untyped __new__(Q, "n"));
		R.run("QName 2", function() return untyped __new__(Q, "http://u", "n"));
		R.run("QName uri", function() return untyped __new__(Q, "http://u", "n").uri);
		R.run("QName null uri", function() return untyped __new__(Q, null, "n"));
		R.run("QName null uri uri", function() return untyped __new__(Q, null, "n").uri);
		R.run("QName star", function() return untyped __new__(Q, "*"));
		R.run("QName star uri", function() return untyped __new__(Q, "*").uri);
		R.run("QName ns", function() return untyped __new__(Q, __new__(N, "p", "http://p"), "n"));
		R.run("QName none", function() return untyped __new__(Q));
		R.run("Namespace 1", function() return untyped __new__(N, "http://u"));
		R.run("Namespace 1 prefix", function() return untyped __new__(N, "http://u").prefix);
		R.run("Namespace 0 prefix", function() return untyped __new__(N).prefix);
		R.run("Namespace 2", function() return untyped __new__(N, "p", "http://u").prefix);
		R.run("Namespace empty uri prefix", function() return untyped __new__(N, "p", "").prefix);
		R.run("Namespace eq", function() return untyped (__new__(N, "p", "http://u") == __new__(N, "q", "http://u")));
		R.run("QName eq", function() return untyped (__new__(Q, "http://u", "n") == __new__(Q, "http://u", "n")));
		R.run("bad xml", function() return x("<a><b></a>"));
		R.run("bad xml 2", function() return x("<a>"));
		R.run("two roots", function() return x("<a/><b/>"));
		R.run("text only", function() return x("hello").nodeKind());
		R.run("empty", function() return x("").nodeKind());
		R.run("entity", function() return x("<a>&lt;&amp;&gt;&quot;&apos;</a>").toXMLString());
		R.run("attr escape", function() return x("<a k='&lt;&quot;&amp;'/>").toXMLString());
		R.run("cdata", function() return x("<a><![CDATA[<x>]]></a>").toXMLString());
		R.run("cdata str", function() return x("<a><![CDATA[<x>]]></a>").toString());
		R.run("length list", function() return x(src).b.length());
		R.run("list index", function() return x(src).b[1].toXMLString());
		R.run("list attr", function() return x(src).b.attribute("k"));
	}
}
