// Text fields measured and walked by scripts: sizes each autoSize gives with each alignment,
// line metrics, character boundaries and the characters and lines under a point, scrolling
// limits, html read back, formats kept for new text, style sheets, and the range errors.
import flash.text.TextField;
import flash.text.TextFormat;

class Txt3 {
	static function tf(w:Float, h:Float, text:String, ?multi:Bool = false, ?wrap:Bool = false):TextField {
		var t = new TextField();
		t.width = w;
		t.height = h;
		t.multiline = multi;
		t.wordWrap = wrap;
		t.text = text;
		return t;
	}

	static function rnd(v:Float):Float {
		return Math.round(v * 100) / 100;
	}

	static function rect(x:Dynamic):String {
		if (x == null)
			return "null";
		return rnd(x.x) + "," + rnd(x.y) + "," + rnd(x.width) + "," + rnd(x.height);
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var nan = Math.NaN;
		var lines12 = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12";

		// autoSize with each alignment: where the field moves and how it grows
		var autos:Array<String> = ["none", "left", "center", "right"];
		var aligns:Array<String> = ["left", "center", "right"];
		for (a in autos)
			for (al in aligns) {
				R.run("autoSize " + a + " align " + al, function() {
					var t = new TextField();
					t.x = 100;
					t.y = 50;
					t.width = 200;
					t.height = 100;
					var f = new TextFormat();
					f.align = cast al;
					t.defaultTextFormat = f;
					t.autoSize = cast a;
					t.text = "Hi";
					var w1 = t.width;
					var s = rnd(t.x) + " " + rnd(t.y) + " " + (t.height < 100) + " " + (t.width < 200);
					t.text = "Hi there everyone";
					return s + " / " + (t.x == 100 ? "same x" : t.x < 100 ? "left" : "right") + " " + (t.width > w1) + " " + (t.height < 100);
				});
			}
		for (a in autos)
			R.run("autoSize " + a + " wordWrap", function() {
				var t = new TextField();
				t.x = 100;
				t.width = 60;
				t.wordWrap = true;
				t.autoSize = cast a;
				t.text = "one two three four five six";
				return t.x + " " + t.width + " " + (t.numLines > 1) + " " + (t.height > 40);
			});
		R.run("autoSize empty", function() {
			var t = new TextField();
			t.x = 10;
			t.autoSize = cast "left";
			return t.width + " " + t.height + " " + t.textWidth + " " + t.textHeight;
		});
		R.run("autoSize center empty", function() {
			var t = new TextField();
			t.x = 10;
			t.width = 100;
			t.autoSize = cast "center";
			return t.x + " " + t.width;
		});
		R.run("autoSize right then none", function() {
			var t = new TextField();
			t.x = 10;
			t.width = 100;
			t.autoSize = cast "right";
			t.text = "ab";
			var x1 = t.x;
			t.autoSize = cast "none";
			t.text = "abcdefgh abcdefgh";
			return (x1 > 10) + " " + (t.x == x1) + " " + (t.width < 100);
		});

		// Sizes of the text itself
		R.run("textWidth grows", function() {
			var t = tf(300, 100, "a");
			var w1 = t.textWidth;
			t.text = "aaaa";
			var w2 = t.textWidth;
			var h1 = t.textHeight;
			t.multiline = true;
			t.text = "a\na";
			return (w2 > w1) + " " + (t.textHeight > h1) + " " + (t.textHeight < 3 * h1);
		});
		R.run("textHeight of empty", function() {
			var t = tf(300, 100, "");
			return t.textWidth + " " + t.textHeight;
		});
		R.run("text in gutter", function() {
			var t = new TextField();
			t.autoSize = cast "left";
			t.text = "abc";
			return rnd(t.width - t.textWidth) + " " + rnd(t.height - t.textHeight);
		});

		// Line metrics
		var lms:Array<Dynamic> = [-1, 0, 1, 2, 3, nan, 1.7];
		for (l in lms) {
			R.run("getLineMetrics(" + R.str(l) + ")", function() {
				var t = tf(300, 100, "ab\ncd\nef", true);
				var m = t.getLineMetrics(l);
				return (m.width > 0) + " " + (m.height > 0) + " " + (m.ascent > m.descent) + " " + rnd(m.height - m.ascent - m.descent - m.leading) + " " + m.x;
			});
		}
		R.run("getLineMetrics leading", function() {
			var t = new TextField();
			var f = new TextFormat();
			f.leading = 7;
			t.defaultTextFormat = f;
			t.multiline = true;
			t.text = "ab\ncd";
			var m = t.getLineMetrics(0);
			return m.leading + " " + rnd(m.height - m.ascent - m.descent);
		});
		R.run("getLineMetrics x per align", function() {
			var out = [];
			for (al in ["left", "center", "right"]) {
				var t = new TextField();
				t.width = 200;
				var f = new TextFormat();
				f.align = cast al;
				t.defaultTextFormat = f;
				t.text = "ab";
				var m = t.getLineMetrics(0);
				out.push(rnd(m.x + m.width / 2 - (al == "left" ? 0 : al == "center" ? 100 : 200)));
			}
			return out.join(" ");
		});
		R.run("getLineMetrics empty", function() {
			var t = new TextField();
			var m = t.getLineMetrics(0);
			return m.width + " " + (m.height > 0);
		});

		// Character boundaries and the characters and lines under a point
		var cs:Array<Dynamic> = [-1, 0, 1, 2, 3, 5, 6, 7, 8, nan];
		for (c in cs)
			R.run("getCharBoundaries(" + R.str(c) + ")", function() {
				var t = tf(300, 100, "ab\ncd\nef", true);
				var b = t.getCharBoundaries(c);
				if (b == null)
					return "null";
				return (b.x >= 2) + " " + (b.y >= 2) + " " + (b.width >= 0) + " " + (b.height > 0) + " line " + t.getLineIndexOfChar(c);
			});
		R.run("getCharBoundaries advance", function() {
			var t = tf(300, 100, "abc");
			var a = t.getCharBoundaries(0);
			var b = t.getCharBoundaries(1);
			return rnd(a.x + a.width - b.x) + " " + rnd(a.x) + " " + rnd(a.y) + " " + (a.y == b.y);
		});
		R.run("getCharBoundaries scrolled", function() {
			var t = tf(300, 30, lines12, true);
			var before = t.getCharBoundaries(4);
			t.scrollV = 3;
			return (before != null) + " " + t.getCharBoundaries(4) + " " + (t.getCharBoundaries(0) == null);
		});
		var pts:Array<Array<Float>> = [[-5, 5], [0, 0], [3, 5], [2.5, 10], [5, 25], [5, 45], [5, 200], [290, 5], [400, 5], [nan, 5]];
		for (p in pts) {
			R.run("getCharIndexAtPoint(" + p.join(",") + ")", function() {
				var t = tf(300, 100, "ab\ncd\nef", true);
				return t.getCharIndexAtPoint(p[0], p[1]);
			});
			R.run("getLineIndexAtPoint(" + p.join(",") + ")", function() {
				var t = tf(300, 100, "ab\ncd\nef", true);
				return t.getLineIndexAtPoint(p[0], p[1]);
			});
		}
		R.run("getCharIndexAtPoint round trip", function() {
			var t = tf(300, 100, "hello world\nsecond", true);
			var out = [];
			for (i in [0, 4, 10, 12, 17]) {
				var b = t.getCharBoundaries(i);
				out.push(t.getCharIndexAtPoint(b.x + b.width / 2, b.y + b.height / 2));
			}
			return out.join(" ");
		});
		R.run("getLineIndexOfChar", function() {
			var t = tf(300, 100, "ab\ncd\nef", true);
			var out = [];
			for (i in [-1, 0, 2, 3, 7, 8, 9])
				out.push(t.getLineIndexOfChar(i));
			return out.join(" ");
		});
		R.run("getFirstCharInParagraph", function() {
			var t = tf(300, 100, "ab\ncd\nef", true);
			var out = [];
			for (i in [-1, 0, 2, 3, 4, 7, 8, 9])
				out.push(t.getFirstCharInParagraph(i) + ":" + t.getParagraphLength(i));
			return out.join(" ");
		});

		// Lines of wrapped and unwrapped text
		R.run("wrapped lines", function() {
			var t = tf(60, 200, "one two three four", true, true);
			var out = [];
			for (i in 0...t.numLines)
				out.push(t.getLineOffset(i) + ":" + t.getLineLength(i) + ":" + R.oneLine(t.getLineText(i)));
			return t.numLines + " " + out.join(" | ");
		});
		R.run("lines of trailing newline", function() {
			var t = tf(300, 100, "ab\n", true);
			return t.numLines + " " + t.getLineLength(0) + " " + t.getLineOffset(1) + " " + t.getLineLength(1);
		});
		R.run("single line keeps newline", function() {
			var t = tf(300, 100, "ab\ncd", false);
			return t.numLines + " " + t.length;
		});

		// Scrolling
		var hs:Array<Float> = [20, 40, 100, 300];
		for (h in hs)
			R.run("scroll limits height " + h, function() {
				var t = tf(100, h, lines12, true);
				var a = t.maxScrollV + " " + t.bottomScrollV;
				t.scrollV = 99;
				return a + " / " + t.scrollV + " " + t.bottomScrollV + " " + (t.bottomScrollV - t.scrollV);
			});
		var svs:Array<Dynamic> = [0, -5, 2.7, "3", nan, null];
		for (v in svs)
			R.run("scrollV=" + R.str(v), function() {
				var t = tf(100, 40, lines12, true);
				var d:Dynamic = t;
				d.scrollV = v;
				return t.scrollV;
			});
		R.run("scrollV after text shrinks", function() {
			var t = tf(100, 40, lines12, true);
			t.scrollV = 8;
			var a = t.scrollV;
			t.text = "1\n2";
			return a + " " + t.scrollV + " " + t.maxScrollV;
		});
		R.run("maxScrollH", function() {
			var t = tf(50, 30, "a long line of text that will not fit at all");
			var m = t.maxScrollH;
			var out = (m > 100) + " ";
			t.scrollH = 30;
			out += t.scrollH + " ";
			t.scrollH = 99999;
			out += (t.scrollH == m) + " ";
			t.scrollH = -4;
			out += t.scrollH + " ";
			t.wordWrap = true;
			return out + t.maxScrollH;
		});
		R.run("maxScrollH short", function() {
			var t = tf(300, 30, "short");
			t.scrollH = 10;
			return t.maxScrollH + " " + t.scrollH;
		});

		// Html round trips and formats for new text
		var htmls:Array<String> = [
			"<b>bold</b> plain",
			"<p align='center'>mid</p>",
			"<font color='#ff0000' size='20'>big</font>",
			"<a href='http://x/' target='_blank'>link</a>",
			"a<br>b",
			"<i><u>iu</u></i>",
			"<li>one</li><li>two</li>",
			"<textformat leftmargin='5' indent='3'>tf</textformat>",
			"&lt;&amp;&gt;&quot;&apos;&nbsp;",
			"<unknown>x</unknown>",
			"<p>a</p><p>b</p>",
			"<font face='Courier'>c</font>",
		];
		for (h in htmls)
			R.run("htmlText " + h, function() {
				var t = new TextField();
				t.multiline = true;
				t.htmlText = h;
				return t.text + " || " + t.htmlText;
			});
		R.run("defaultTextFormat for new text only", function() {
			var t = new TextField();
			t.text = "ab";
			var f = new TextFormat();
			f.bold = true;
			f.size = 20;
			t.defaultTextFormat = f;
			var s = t.getTextFormat(0, 1).bold + " " + t.getTextFormat(0, 1).size + " ";
			t.appendText("cd");
			s += t.getTextFormat(2, 3).bold + " " + t.getTextFormat(0, 1).bold + " ";
			t.text = "xy";
			return s + t.getTextFormat(0, 1).bold + " " + t.getTextFormat(0, 1).size;
		});
		R.run("setTextFormat not for new text", function() {
			var t = new TextField();
			t.text = "ab";
			var f = new TextFormat();
			f.italic = true;
			t.setTextFormat(f);
			t.appendText("cd");
			return t.getTextFormat(0, 1).italic + " " + t.getTextFormat(3, 4).italic + " " + t.getTextFormat(0, 4).italic;
		});
		R.run("appendText takes last format", function() {
			var t = new TextField();
			t.text = "ab";
			var f = new TextFormat();
			f.underline = true;
			t.setTextFormat(f, 1, 2);
			t.appendText("cd");
			return t.getTextFormat(2, 3).underline + " " + t.getTextFormat(0, 1).underline;
		});
		R.run("replaceText takes format", function() {
			var t = new TextField();
			t.text = "abcd";
			var f = new TextFormat();
			f.bold = true;
			t.setTextFormat(f, 1, 3);
			t.replaceText(1, 3, "XYZ");
			var s = "";
			for (i in 0...t.length)
				s += t.getTextFormat(i, i + 1).bold ? "B" : "-";
			return t.text + " " + s;
		});
		R.run("getTextFormat mixed", function() {
			var t = new TextField();
			t.text = "abcd";
			var f = new TextFormat();
			f.bold = true;
			f.size = 30;
			t.setTextFormat(f, 0, 2);
			var m = t.getTextFormat(0, 4);
			return m.bold + " " + m.size + " " + m.font + " " + t.getTextFormat(0, 2).bold;
		});
		R.run("replaceSelectedText", function() {
			var t = new TextField();
			t.text = "abcdef";
			t.setSelection(1, 3);
			t.replaceSelectedText("XY Z");
			return t.text + " " + t.selectionBeginIndex + " " + t.selectionEndIndex + " " + t.caretIndex;
		});
		R.run("replaceSelectedText caret", function() {
			var t = new TextField();
			t.text = "abcdef";
			t.setSelection(2, 2);
			t.replaceSelectedText("__");
			return t.text + " " + t.caretIndex;
		});
		R.run("length with html", function() {
			var t = new TextField();
			t.multiline = true;
			t.htmlText = "<p>ab</p><p>cd</p>";
			return t.length + " " + R.oneLine(t.text);
		});

		// Style sheets
		R.run("styleSheet", function() {
			var t = new TextField();
			var ss = new flash.text.StyleSheet();
			ss.parseCSS(".red { color: #FF0000; font-weight: bold; } p { font-size: 20px; }");
			t.styleSheet = ss;
			t.htmlText = "<p><span class='red'>x</span>y</p>";
			var f = t.getTextFormat(0, 1);
			var g = t.getTextFormat(1, 2);
			return StringTools.hex(f.color) + " " + f.bold + " " + f.size + " " + g.bold + " " + g.size + " " + t.text;
		});
		R.run("styleSheet blocks setTextFormat", function() {
			var t = new TextField();
			t.styleSheet = new flash.text.StyleSheet();
			t.htmlText = "ab";
			var s = "";
			try {
				t.setTextFormat(new TextFormat());
				s = "ok";
			} catch (e:flash.errors.Error) {
				s = R.err(e);
			}
			try {
				t.replaceText(0, 1, "x");
				s += " ok";
			} catch (e:flash.errors.Error) {
				s += " " + R.err(e);
			}
			return s + " " + t.text;
		});
		R.run("styleSheet text keeps tags", function() {
			var t = new TextField();
			t.styleSheet = new flash.text.StyleSheet();
			t.htmlText = "<b>a</b>";
			return t.text + " || " + t.htmlText;
		});
		R.run("styleSheet names", function() {
			var ss = new flash.text.StyleSheet();
			ss.parseCSS("A { color: #00ff00 } .Big{font-size:30} h1, h2 { margin-left: 4px }");
			var names = ss.styleNames;
			names.sort(function(a, b) return a < b ? -1 : a > b ? 1 : 0);
			var a:Dynamic = ss.getStyle("a");
			var h:Dynamic = ss.getStyle("h2");
			return names.join(",") + " " + a.color + " " + h.marginLeft;
		});

		// condenseWhite, restrict and maxChars
		var cws:Array<String> = ["a  b", " a\tb\n", "<p> a </p><p>  b</p>", "a&nbsp;&nbsp;b", "a <b> b </b> c"];
		for (c in cws)
			R.run("condenseWhite " + R.oneLine(c), function() {
				var t = new TextField();
				t.multiline = true;
				t.condenseWhite = true;
				t.htmlText = c;
				return "[" + R.oneLine(t.text) + "]";
			});
		R.run("condenseWhite plain text", function() {
			var t = new TextField();
			t.condenseWhite = true;
			t.text = "a   b";
			return t.text;
		});
		var rs:Array<String> = ["a-z", "^0-9", "A-Z^Q", "\\-", "\\^a", "a-", "-a", "z-a", "^", "0-9^5-6"];
		for (m in rs)
			R.run("restrict " + m, function() {
				var t = new TextField();
				t.type = cast "input";
				t.restrict = m;
				t.text = "abc-XYZ^Q 0156";
				t.replaceSelectedText("aQ5-^");
				return t.text;
			});
		R.run("maxChars replaceSelectedText", function() {
			var t = new TextField();
			t.type = cast "input";
			t.maxChars = 5;
			t.text = "abcd";
			t.setSelection(4, 4);
			t.replaceSelectedText("XYZ");
			var a = t.text;
			t.appendText("QQ");
			return a + " " + t.text;
		});

		// type
		R.run("type errors", function() {
			var t = new TextField();
			var d:Dynamic = t;
			var out = [];
			for (v in (["input", "dynamic", "Input", "", null] : Array<Dynamic>)) {
				try {
					d.type = v;
					out.push(R.str(d.type));
				} catch (e:flash.errors.Error) {
					out.push(R.err(e));
				}
			}
			return out.join(" | ");
		});

		// Range errors
		var bad:Array<Array<Dynamic>> = [[-1, 1], [0, 99], [3, 1], [99, 100], [2, 2], [4, 4], [5, 5]];
		for (b in bad) {
			R.run("replaceText range " + b.join(","), function() {
				var t = new TextField();
				t.text = "abcd";
				t.replaceText(b[0], b[1], "Z");
				return t.text;
			});
			R.run("getTextFormat range " + b.join(","), function() {
				var t = new TextField();
				t.text = "abcd";
				return t.getTextFormat(b[0], b[1]).size;
			});
			R.run("setTextFormat range " + b.join(","), function() {
				var t = new TextField();
				t.text = "abcd";
				t.setTextFormat(new TextFormat(), b[0], b[1]);
				return "ok";
			});
		}
		var lines:Array<Dynamic> = [-1, 3, 4, 99];
		for (l in lines) {
			R.run("getLineText range " + l, function() return tf(300, 100, "ab\ncd\nef", true).getLineText(l));
			R.run("getLineLength range " + l, function() return tf(300, 100, "ab\ncd\nef", true).getLineLength(l));
			R.run("getLineOffset range " + l, function() return tf(300, 100, "ab\ncd\nef", true).getLineOffset(l));
			R.run("getLineMetrics range " + l, function() return tf(300, 100, "ab\ncd\nef", true).getLineMetrics(l).x);
		}
	}
}
