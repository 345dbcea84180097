// flash.xml's document model: what parseXML makes of markup (declaration, document type, ids,
// white space), the markup a document writes back, the names and namespaces nodes report, and
// how appendChild, insertBefore, removeNode and cloneNode move nodes.
class XmlDoc {
	static function doc(text:String, ignoreWhite:Bool):Dynamic {
		var d:Dynamic = untyped __new__(untyped __global__["flash.xml.XMLDocument"]);
		d.ignoreWhite = ignoreWhite;
		d.parseXML(text);
		return d;
	}

	static function node(n:Dynamic):String {
		return n == null ? "null" : n.nodeType + ":" + n.nodeName + ":" + n.nodeValue + " prefix=" + n.prefix + " local=" + n.localName + " uri="
			+ n.namespaceURI + " kids=" + n.childNodes.length;
	}

	static function main() {
		var texts = [
			"<a/>", "<a x='1' y=\"&lt;&#65;\">t &amp; u</a>", "<a> <b/> </a>", "<?xml version=\"1.0\"?><!DOCTYPE a><a/>", "<a><![CDATA[1<2]]></a>",
			"<a><!-- c --><?pi x?></a>", "text<a/>more", "<a></b>", "<a>", "<a x=1/>", "<a x='1/>", "<a"
		];
		for (t in texts)
			for (w in [false, true])
				R.run("parse " + t + " white=" + w, function() {
					var d:Dynamic = doc(t, w);
					return d.toString() + " | decl=" + d.xmlDecl + " doctype=" + d.docTypeDecl + " kids=" + d.childNodes.length;
				});
		var d:Dynamic = doc("<r xmlns=\"urn:d\" xmlns:p=\"urn:p\"><p:e p:a=\"1\" id=\"x\"><f/></p:e></r><q:s xmlns:q=\"urn:q\"/>t", false);
		var paths:Array<Array<Int>> = [[0], [0, 0], [0, 0, 0], [1], [2]];
		for (p in paths) {
			var n:Dynamic = d;
			for (i in p)
				n = n.childNodes[i];
			R.run("node " + p.join("."), function() return node(n) + " p->" + n.getNamespaceForPrefix("p") + " urn:p->" + n.getPrefixForNamespace("urn:p"));
		}
		R.run("idMap.x", function() return node(d.idMap.x));
		var e:Dynamic = doc("<a><b/><c/><d/></a><e/>", false);
		var a:Dynamic = e.firstChild;
		var b:Dynamic = a.childNodes[0];
		var c:Dynamic = a.childNodes[1];
		var dd:Dynamic = a.childNodes[2];
		var last:Dynamic = e.lastChild;
		R.run("insertBefore e c", function() { a.insertBefore(last, c); return e.toString(); });
		R.run("appendChild b", function() { a.appendChild(b); return e.toString(); });
		R.run("insertBefore stranger", function() { a.insertBefore(dd, e); return e.toString(); });
		R.run("removeNode c", function() { c.removeNode(); return e.toString() + " " + c.parentNode; });
		R.run("links", function() return node(a.firstChild) + " / " + node(a.lastChild) + " / " + node(a.firstChild.nextSibling));
		R.run("clone shallow", function() return a.cloneNode(false).toString());
		R.run("clone deep", function() return a.cloneNode(true).toString());
		R.run("createTextNode", function() return e.createTextNode("a<b").toString());
		R.run("createElement", function() return e.createElement("n").toString());
		R.run("new XMLNode", function() return node(untyped __new__(untyped __global__["flash.xml.XMLNode"], 3, "v")));
		R.run("XMLNodeType", function() return untyped __global__["flash.xml.XMLNodeType"].ELEMENT_NODE + "," + untyped __global__["flash.xml.XMLNodeType"].TEXT_NODE);
	}
}
