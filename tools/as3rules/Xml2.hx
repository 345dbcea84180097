// E4X beyond elements and attributes: XML's settings and how each changes parsing and
// printing, every kind of node printed both ways, simple and complex content, normalize,
// comments and processing instructions, and XMLList methods on lists of one and of several.
class Xml2 {
	static var X:Dynamic;
	static var XL:Dynamic;

	static function xml(s:String):Dynamic {
		return untyped __new__(X, s);
	}

	static function list(s:String):Dynamic {
		return untyped __new__(XL, s);
	}

	static function call(o:Dynamic, m:String, a:Array<Dynamic>):Dynamic {
		var f:Dynamic = Reflect.field(o, m);
		return f.apply(o, a);
	}

	static function main() {
		X = R.g("XML");
		XL = R.g("XMLList");
		var doc = "<r a='1'><!-- c1 --><?pi one?>  <b>t1</b> text <c><d/></c><b x='2'>t2</b></r>";

		R.run("defaultSettings", function() {
			var s:Dynamic = X.defaultSettings();
			return [s.ignoreComments, s.ignoreProcessingInstructions, s.ignoreWhitespace, s.prettyPrinting, s.prettyIndent].map(R.str).join(" ");
		});
		var settingsCases:Array<Array<Dynamic>> = [
			["ignoreComments", false], ["ignoreProcessingInstructions", false], ["ignoreWhitespace", false],
			["prettyPrinting", false], ["prettyIndent", 0], ["prettyIndent", 4], ["prettyIndent", -1]
		];
		for (c in settingsCases)
			R.run("setting " + c[0] + "=" + R.str(c[1]), function() {
				Reflect.setField(X, c[0], c[1]);
				var out:String;
				try {
					var x:Dynamic = xml(doc);
					out = R.str(x.children().length()) + " | " + x.toXMLString();
				} catch (e:flash.errors.Error) {
					out = R.err(e);
				}
				X.setSettings(null);
				return out;
			});
		R.run("setSettings partial", function() {
			X.setSettings({prettyIndent: 1});
			var s:Dynamic = X.settings();
			var out = [s.ignoreComments, s.prettyPrinting, s.prettyIndent].map(R.str).join(" ");
			X.setSettings();
			return out + " / " + R.str(X.prettyIndent);
		});

		// Every node kind, printed both ways.
		X.ignoreComments = false;
		X.ignoreProcessingInstructions = false;
		var x:Dynamic = xml(doc);
		X.setSettings(null);
		var kids:Dynamic = x.children();
		for (i in 0...kids.length()) {
			R.run("child " + i, function() {
				var k:Dynamic = kids[i];
				return [k.nodeKind(), R.str(k.name()), k.toString(), k.toXMLString(), R.str(k.hasSimpleContent()), R.str(k.hasComplexContent())].join(" ~ ");
			});
		}
		R.run("attribute node", function() {
			var a:Dynamic = x.attribute("a")[0];
			return [a.nodeKind(), R.str(a.name()), a.toString(), a.toXMLString(), R.str(a.parent() == x)].join(" ~ ");
		});
		R.run("comments()", function() return x.comments().length());
		R.run("processingInstructions()", function() return x.processingInstructions().toXMLString());
		R.run("processingInstructions(pi)", function() return x.processingInstructions("pi").length());
		R.run("text()", function() return x.text().toXMLString());
		R.run("b.text()", function() return x.b.text());
		R.run("descendants text", function() return x.descendants().length());
		R.run("contains", function() return R.str(x.contains(x)) + " " + R.str(x.b.contains(xml("<b>t1</b>"))));

		// Content kinds.
		for (s in ["<a/>", "<a>t</a>", "<a><b/></a>", "<a>t<b/></a>", "<a><!--c--></a>", "<a>  </a>"])
			R.run("content " + s, function() {
				var e:Dynamic = xml(s);
				return R.str(e.hasSimpleContent()) + " " + R.str(e.hasComplexContent()) + " " + R.str(e.length()) + " [" + e.toString() + "]";
			});

		// normalize joins adjacent text and drops empty text.
		R.run("normalize", function() {
			var e:Dynamic = xml("<a><b/></a>");
			e.appendChild("one");
			e.appendChild("two");
			e.prependChild("");
			var before = e.children().length();
			e.normalize();
			return R.str(before) + " " + R.str(e.children().length()) + " " + e.toXMLString();
		});

		// XMLList: methods of XML on a list of one, and on several.
		var one:Dynamic = x.c;
		var two:Dynamic = x.b;
		for (m in ["name", "localName", "nodeKind", "children", "attributes", "hasSimpleContent", "text", "toXMLString", "parent", "childIndex", "length", "copy"])
			R.run("list." + m, function() {
				var a:String;
				var b:String;
				try {
					a = R.str(call(one, m, []));
				} catch (e:flash.errors.Error) {
					a = R.err(e);
				}
				try {
					b = R.str(call(two, m, []));
				} catch (e:flash.errors.Error) {
					b = R.err(e);
				}
				return a + " || " + b;
			});
		R.run("list.appendChild", function() {
			try {
				two.appendChild(xml("<z/>"));
				return "appended";
			} catch (e:flash.errors.Error) {
				return R.err(e);
			}
		});
		R.run("empty list.name", function() {
			try {
				return x.nothing.name();
			} catch (e:flash.errors.Error) {
				return R.err(e);
			}
		});
		R.run("list(s) attribute", function() return x.b.attribute("x").toXMLString());
		R.run("list of texts", function() return list("a<b/>c").length());
		R.run("list(xml) copies", function() {
			var l:Dynamic = untyped __new__(XL, x.b);
			return R.str(l.length());
		});
		R.run("XML(list of one)", function() return untyped __global__["XML"](x.c).toXMLString());
		R.run("XML(list of two)", function() {
			try {
				return untyped __global__["XML"](x.b);
			} catch (e:flash.errors.Error) {
				return R.err(e);
			}
		});
		R.run("toString of numbers", function() return xml("<n>0012</n>") * 2);
		R.run("attribute order", function() return xml("<a z='1' b='2' m='3'/>").attributes().toXMLString());
		R.run("namespaced print", function() return xml("<p:a xmlns:p='u' xmlns='d'><p:b/><c/></p:a>").toXMLString());
		R.run("inScopeNamespaces", function() return xml("<p:a xmlns:p='u' xmlns='d'/>").inScopeNamespaces().length);
		R.run("namespaceDeclarations", function() return xml("<p:a xmlns:p='u'><b xmlns:q='v'/></p:a>").b.namespaceDeclarations().length);
		R.run("setLocalName", function() {
			var e:Dynamic = xml("<p:a xmlns:p='u'/>");
			e.setLocalName("z");
			return e.toXMLString();
		});
		R.run("setNamespace", function() {
			var e:Dynamic = xml("<a/>");
			e.setNamespace(untyped __new__(R.g("Namespace"), "q", "w"));
			return e.toXMLString();
		});
		R.run("removeNamespace", function() {
			var e:Dynamic = xml("<a xmlns:p='u'><b/></a>");
			e.removeNamespace(untyped __new__(R.g("Namespace"), "p", "u"));
			return e.toXMLString();
		});
		R.run("escaping", function() {
			var e:Dynamic = xml("<a/>");
			Reflect.setField(e, "@t", "<\"&'>\n\t");
			e.appendChild("<&>\"'");
			return e.toXMLString();
		});
		R.run("whitespace text kept", function() {
			X.ignoreWhitespace = false;
			var e:Dynamic = xml("<a> <b/>\n</a>");
			X.setSettings(null);
			return R.str(e.children().length()) + " " + R.oneLine(e.toXMLString());
		});
	}
}
