// The focus as a script sets it: stage.focus given objects of every kind (on the stage and
// off it, a shape, the stage, the root, null, a text field of either type), the focus events
// each change sends and what stage.focus reads back; then the tab settings each kind starts
// with.
import flash.display.Shape;
import flash.display.SimpleButton;
import flash.display.Sprite;
import flash.display.MovieClip;
import flash.events.FocusEvent;
import flash.text.TextField;
import flash.text.TextFieldType;

class FocusSet {
	static var log:Array<String> = [];

	static function nm(o:Dynamic):String {
		if (o == null)
			return "null";
		if (o == flash.Lib.current)
			return "root";
		if (o == flash.Lib.current.stage)
			return "stage";
		return o.name;
	}

	static function watch(o:Dynamic) {
		for (k in ["focusIn", "focusOut"])
			o.addEventListener(k, function(e:FocusEvent) {
				if (e.target == o)
					log.push(k + ":" + nm(o) + " related=" + nm(e.relatedObject) + " shift=" + e.shiftKey + " key=" + e.keyCode);
			});
	}

	static function main() {
		var root = flash.Lib.current;
		var stage = root.stage;
		var s = new Sprite();
		s.name = "s";
		var off = new Sprite();
		off.name = "off";
		var sh = new Shape();
		sh.name = "sh";
		var input = new TextField();
		input.name = "input";
		input.type = TextFieldType.INPUT;
		var dyn = new TextField();
		dyn.name = "dyn";
		var mc = new MovieClip();
		mc.name = "mc";
		var b = new SimpleButton();
		b.name = "b";
		for (o in ([s, input, dyn, mc, b, sh] : Array<Dynamic>))
			root.addChild(o);
		for (o in ([s, off, input, dyn, mc, b, root, stage] : Array<Dynamic>))
			watch(o);
		var targets:Array<Dynamic> = [s, off, input, dyn, mc, b, root, stage, null, s, s, sh, 5, "s"];
		for (t in targets)
			R.run("focus = " + (Std.isOfType(t, String) || Std.isOfType(t, Int) ? R.str(t) : nm(t)), function() {
				var d:Dynamic = stage;
				d.focus = t;
				var r = nm(stage.focus) + " " + log.join(" ");
				log = [];
				return r;
			});
		R.run("focus then removed from stage", function() {
			stage.focus = s;
			log = [];
			root.removeChild(s);
			var r = nm(stage.focus) + " " + log.join(" ");
			log = [];
			root.addChild(s);
			return r + " back " + nm(stage.focus);
		});
		R.run("focus on a hidden sprite", function() {
			mc.visible = false;
			stage.focus = mc;
			var r = nm(stage.focus) + " " + log.join(" ");
			log = [];
			mc.visible = true;
			return r;
		});
		for (o in ([s, off, input, dyn, mc, b, root] : Array<Dynamic>))
			R.run("tab settings " + nm(o), function() return R.str(o.tabEnabled) + " " + R.str(o.tabIndex) + " "
				+ (Std.isOfType(o, flash.display.DisplayObjectContainer) ? R.str(o.tabChildren) : "-") + " " + R.str(o.focusRect)
				+ " " + R.str(o.mouseEnabled));
		R.run("buttonMode makes a tab stop", function() {
			var t = new Sprite();
			var before = t.tabEnabled;
			t.buttonMode = true;
			return before + " " + t.tabEnabled;
		});
		R.run("tabIndex = -5", function() {
			s.tabIndex = -5;
			return s.tabIndex;
		});
		R.run("tabIndex = 1.7", function() {
			var d:Dynamic = s;
			d.tabIndex = 1.7;
			return s.tabIndex;
		});
		R.run("stage tab settings", function() {
			var d:Dynamic = stage;
			return R.str(d.tabChildren) + " " + R.str(d.stageFocusRect);
		});
		R.run("stage.tabEnabled = true", function() {
			var d:Dynamic = stage;
			d.tabEnabled = true;
			return R.str(d.tabEnabled);
		});
		R.run("stage.tabIndex = 1", function() {
			var d:Dynamic = stage;
			d.tabIndex = 1;
			return R.str(d.tabIndex);
		});
		R.run("stage.focusRect", function() {
			var d:Dynamic = stage;
			return R.str(d.focusRect);
		});
	}
}
