// Script-made clips, text fields, text formats and buttons: defaults, settings with odd values,
// range checks of the text methods, and the line methods' int arguments.
class TextBtn {
	static function g(n:String):Dynamic {
		return switch (n) {
			case "MovieClip": untyped __global__["flash.display.MovieClip"];
			case "Sprite": untyped __global__["flash.display.Sprite"];
			case "Shape": untyped __global__["flash.display.Shape"];
			case "TextField": untyped __global__["flash.text.TextField"];
			case "TextFormat": untyped __global__["flash.text.TextFormat"];
			case "SimpleButton": untyped __global__["flash.display.SimpleButton"];
			default: null;
		}
	}

	static function tf():Dynamic {
		var t:Dynamic = untyped __new__(g("TextField"));
		return t;
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var nan = Math.NaN;
		// MovieClip made by script
		var mc:Dynamic = untyped __new__(g("MovieClip"));
		for (p in ["currentFrame", "totalFrames", "framesLoaded", "currentLabel", "currentFrameLabel", "isPlaying", "enabled", "trackAsMenu", "buttonMode", "useHandCursor"])
			R.run("mc." + p, function() return Reflect.field(mc, p));
		R.run("mc.currentLabels", function() return mc.currentLabels.length);
		R.run("mc.scenes", function() return mc.scenes.length);
		R.run("mc.currentScene.name", function() return mc.currentScene.name);
		R.run("mc.currentScene.numFrames", function() return mc.currentScene.numFrames);
		R.run("mc.currentScene.labels", function() return mc.currentScene.labels.length);
		var args:Array<Dynamic> = [0, 1, 2, -1, nan, "x", "1", null, u, 1.5];
		for (a in args) {
			R.run("gotoAndStop(" + R.str(a) + ")", function() {
				var m:Dynamic = untyped __new__(g("MovieClip"));
				m.gotoAndStop(a);
				return m.currentFrame + " " + m.isPlaying;
			});
			R.run("gotoAndPlay(" + R.str(a) + ")", function() {
				var m:Dynamic = untyped __new__(g("MovieClip"));
				m.gotoAndPlay(a);
				return m.currentFrame + " " + m.isPlaying;
			});
			R.run("gotoAndStop(1, " + R.str(a) + ")", function() {
				var m:Dynamic = untyped __new__(g("MovieClip"));
				m.gotoAndStop(1, a);
				return m.currentFrame;
			});
		}
		R.run("nextFrame", function() {
			var m:Dynamic = untyped __new__(g("MovieClip"));
			m.nextFrame();
			return m.currentFrame + " " + m.isPlaying;
		});
		R.run("prevFrame", function() {
			var m:Dynamic = untyped __new__(g("MovieClip"));
			m.prevFrame();
			return m.currentFrame + " " + m.isPlaying;
		});
		R.run("stop/play", function() {
			var m:Dynamic = untyped __new__(g("MovieClip"));
			var s = "" + m.isPlaying;
			m.stop();
			s += " " + m.isPlaying;
			m.play();
			return s + " " + m.isPlaying;
		});
		R.run("nextScene", function() {
			var m:Dynamic = untyped __new__(g("MovieClip"));
			m.nextScene();
			return m.currentFrame;
		});
		R.run("prevScene", function() {
			var m:Dynamic = untyped __new__(g("MovieClip"));
			m.prevScene();
			return m.currentFrame;
		});
		var fs:Array<Dynamic> = [0, 1, -1, 5, nan, "0"];
		for (f in fs)
			R.run("addFrameScript(" + R.str(f) + ")", function() {
				var m:Dynamic = untyped __new__(g("MovieClip"));
				m.addFrameScript(f, function() R.t("  script"));
				return m.totalFrames;
			});
		// TextField defaults
		var t:Dynamic = tf();
		for (p in ["text", "htmlText", "length", "maxChars", "restrict", "autoSize", "type", "wordWrap", "multiline", "scrollV", "maxScrollV", "scrollH", "maxScrollH", "bottomScrollV", "selectable", "selectionBeginIndex", "selectionEndIndex", "caretIndex", "condenseWhite", "numLines", "width", "height", "textWidth", "textHeight", "border", "background", "backgroundColor", "borderColor", "textColor", "embedFonts", "antiAliasType", "gridFitType", "sharpness", "thickness", "displayAsPassword", "alwaysShowSelection", "mouseWheelEnabled", "useRichTextClipboard", "styleSheet", "defaultTextFormat", "tabEnabled", "doubleClickEnabled", "mouseEnabled"])
			R.run("tf." + p, function() return Reflect.field(t, p));
		var d:Dynamic = t.defaultTextFormat;
		for (p in ["font", "size", "color", "bold", "italic", "underline", "url", "target", "align", "leftMargin", "rightMargin", "indent", "leading", "blockIndent", "kerning", "letterSpacing", "display", "bullet", "tabStops"])
			R.run("dtf." + p, function() return Reflect.field(d, p));
		var f0:Dynamic = untyped __new__(g("TextFormat"));
		for (p in ["font", "size", "color", "bold", "align", "tabStops", "display", "letterSpacing"])
			R.run("new TextFormat()." + p, function() return Reflect.field(f0, p));
		var odd:Array<Dynamic> = ["left", "LEFT", "bogus", null, "justify", "center", "right", "start", "end"];
		for (a in odd)
			R.run("tfmt.align=" + R.str(a), function() {
				var f:Dynamic = untyped __new__(g("TextFormat"));
				f.align = a;
				return f.align;
			});
		var oddn:Array<Dynamic> = [nan, -1, 1.5, "12", null, u, 1e10];
		for (a in oddn) {
			R.run("tfmt.size=" + R.str(a), function() {
				var f:Dynamic = untyped __new__(g("TextFormat"));
				f.size = a;
				return f.size;
			});
			R.run("tfmt.color=" + R.str(a), function() {
				var f:Dynamic = untyped __new__(g("TextFormat"));
				f.color = a;
				return f.color;
			});
			R.run("tfmt.leftMargin=" + R.str(a), function() {
				var f:Dynamic = untyped __new__(g("TextFormat"));
				f.leftMargin = a;
				return f.leftMargin;
			});
		}
		var autos:Array<Dynamic> = ["none", "left", "right", "center", "LEFT", "bogus", null];
		for (a in autos)
			R.run("autoSize=" + R.str(a), function() {
				var x:Dynamic = tf();
				x.autoSize = a;
				return x.autoSize;
			});
		var types:Array<Dynamic> = ["input", "dynamic", "INPUT", "bogus", null];
		for (a in types)
			R.run("type=" + R.str(a), function() {
				var x:Dynamic = tf();
				x.type = a;
				return x.type;
			});
		var texts:Array<Dynamic> = ["abc", "a\nb", "a\rb", "a\r\nb", "<b>x</b>", "", null];
		for (s in texts) {
			R.run("text=" + R.str(s), function() {
				var x:Dynamic = tf();
				x.text = s;
				return x.text + "|" + x.length + "|" + x.numLines;
			});
			R.run("htmlText=" + R.str(s), function() {
				var x:Dynamic = tf();
				x.htmlText = s;
				return x.text + "|" + x.htmlText;
			});
			R.run("multiline htmlText=" + R.str(s), function() {
				var x:Dynamic = tf();
				x.multiline = true;
				x.htmlText = s;
				return x.text + "|" + x.length;
			});
		}
		R.run("appendText", function() {
			var x:Dynamic = tf();
			x.text = "ab";
			x.appendText("cd");
			x.appendText(null);
			return x.text;
		});
		var reps:Array<Array<Dynamic>> = [[0, 0, "X"], [1, 2, "X"], [2, 1, "X"], [-1, 2, "X"], [0, 99, "X"], [99, 100, "X"], [1, 3, null]];
		for (r in reps)
			R.run("replaceText(" + r.join(",") + ")", function() {
				var x:Dynamic = tf();
				x.text = "abcd";
				x.replaceText(r[0], r[1], r[2]);
				return x.text;
			});
		var rng:Array<Array<Dynamic>> = [[-1, -1], [0, 1], [0, 4], [0, 5], [3, 2], [-2, 1], [4, 4], [2, 2], [5, 6], [0, -1]];
		for (r in rng) {
			R.run("setTextFormat(" + r.join(",") + ")", function() {
				var x:Dynamic = tf();
				x.text = "abcd";
				var f:Dynamic = untyped __new__(g("TextFormat"));
				f.bold = true;
				x.setTextFormat(f, r[0], r[1]);
				var s = "";
				for (i in 0...4)
					s += x.getTextFormat(i, i + 1).bold ? "B" : "-";
				return s;
			});
			R.run("getTextFormat(" + r.join(",") + ")", function() {
				var x:Dynamic = tf();
				x.text = "abcd";
				return x.getTextFormat(r[0], r[1]).size;
			});
		}
		R.run("getTextFormat empty", function() {
			var x:Dynamic = tf();
			return x.getTextFormat().size;
		});
		var ls:Array<Dynamic> = [-1, 0, 1, 2, 3, nan];
		for (l in ls) {
			R.run("getLineText(" + R.str(l) + ")", function() {
				var x:Dynamic = tf();
				x.multiline = true;
				x.text = "ab\ncd\nef";
				return x.getLineText(l);
			});
			R.run("getLineOffset(" + R.str(l) + ")", function() {
				var x:Dynamic = tf();
				x.multiline = true;
				x.text = "ab\ncd\nef";
				return x.getLineOffset(l);
			});
			R.run("getLineLength(" + R.str(l) + ")", function() {
				var x:Dynamic = tf();
				x.multiline = true;
				x.text = "ab\ncd\nef";
				return x.getLineLength(l);
			});
		}
		var mcs:Array<Dynamic> = [-1, 0, 2, 5, nan];
		for (m in mcs)
			R.run("maxChars=" + R.str(m), function() {
				var x:Dynamic = tf();
				x.maxChars = m;
				x.text = "abcdef";
				return x.maxChars + " " + x.text;
			});
		var rs:Array<Dynamic> = ["a-c", "^a", "", null, "0-9"];
		for (m in rs)
			R.run("restrict=" + R.str(m), function() {
				var x:Dynamic = tf();
				x.restrict = m;
				x.text = "abcdef123";
				return x.restrict + " " + x.text;
			});
		var sels:Array<Array<Dynamic>> = [[0, 2], [2, 0], [-1, 3], [1, 99], [nan, 2]];
		for (r in sels)
			R.run("setSelection(" + r.join(",") + ")", function() {
				var x:Dynamic = tf();
				x.text = "abcd";
				x.setSelection(r[0], r[1]);
				return x.selectionBeginIndex + " " + x.selectionEndIndex + " " + x.caretIndex;
			});
		var svs:Array<Dynamic> = [0, 1, 2, 99, -1, nan];
		for (m in svs)
			R.run("scrollV=" + R.str(m), function() {
				var x:Dynamic = tf();
				x.multiline = true;
				x.text = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12";
				x.scrollV = m;
				return x.scrollV + " " + x.maxScrollV + " " + x.bottomScrollV + " " + x.numLines;
			});
		R.run("condenseWhite", function() {
			var x:Dynamic = tf();
			x.condenseWhite = true;
			x.htmlText = "a   b \n c";
			return x.text;
		});
		// SimpleButton
		var b:Dynamic = untyped __new__(g("SimpleButton"));
		for (p in ["upState", "overState", "downState", "hitTestState", "enabled", "useHandCursor", "trackAsMenu", "numChildren", "soundTransform", "tabEnabled", "mouseEnabled"])
			R.run("sb." + p, function() return Reflect.field(b, p));
		R.run("sb(shapes)", function() {
			var s1:Dynamic = untyped __new__(g("Shape"));
			var s2:Dynamic = untyped __new__(g("Shape"));
			var bb:Dynamic = untyped __new__(g("SimpleButton"), s1, s2, null, s1);
			return (bb.upState == s1) + " " + (bb.overState == s2) + " " + bb.downState + " " + (bb.hitTestState == s1) + " " + bb.numChildren + " " + (s1.parent == bb);
		});
		R.run("sb upState set", function() {
			var bb:Dynamic = untyped __new__(g("SimpleButton"));
			var s1:Dynamic = untyped __new__(g("Sprite"));
			bb.upState = s1;
			return bb.numChildren + " " + (s1.parent == null);
		});
	}
}
