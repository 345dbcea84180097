// Keyboard and focus: which object hears keyDown and keyUp (the focus, else the stage), their
// keyCode, charCode and keyLocation, focusIn and focusOut with their relatedObject when a
// press, Tab, Shift+Tab or a script moves the focus, the tab order tabIndex gives, and typing
// into input fields: textInput and change, restrict and maxChars. The input that drives it is
// Keys.input.json beside this file.
import flash.display.Sprite;
import flash.events.Event;
import flash.events.FocusEvent;
import flash.events.KeyboardEvent;
import flash.events.TextEvent;
import flash.text.TextField;
import flash.text.TextFieldType;

class Keys {
	static function nm(o:Dynamic):String {
		return o == null ? "null" : o.name;
	}

	static function box(name:String, x:Float, y:Float, w:Float, h:Float):Sprite {
		var s = new Sprite();
		s.name = name;
		s.x = x;
		s.y = y;
		s.graphics.beginFill(0x3366cc);
		s.graphics.drawRect(0, 0, w, h);
		s.graphics.endFill();
		return s;
	}

	static function field(name:String, x:Float, y:Float, input:Bool):TextField {
		var t = new TextField();
		t.name = name;
		t.x = x;
		t.y = y;
		t.width = 120;
		t.height = 20;
		t.border = true;
		if (input)
			t.type = TextFieldType.INPUT;
		return t;
	}

	static function listenKeys(o:Dynamic) {
		for (type in [KeyboardEvent.KEY_DOWN, KeyboardEvent.KEY_UP])
			o.addEventListener(type, function(e:KeyboardEvent) {
				R.t(nm(o) + " " + e.type + " target=" + nm(e.target) + " phase=" + e.eventPhase + " keyCode=" + e.keyCode
					+ " charCode=" + e.charCode + " location=" + e.keyLocation + " shift=" + e.shiftKey + " ctrl=" + e.ctrlKey
					+ " bubbles=" + e.bubbles + " cancelable=" + e.cancelable);
			});
	}

	static function listenFocus(o:Dynamic) {
		for (type in [FocusEvent.FOCUS_IN, FocusEvent.FOCUS_OUT, FocusEvent.KEY_FOCUS_CHANGE, FocusEvent.MOUSE_FOCUS_CHANGE])
			o.addEventListener(type, function(e:FocusEvent) {
				R.t(nm(o) + " " + e.type + " target=" + nm(e.target) + " phase=" + e.eventPhase + " related="
					+ nm(e.relatedObject) + " shift=" + e.shiftKey + " keyCode=" + e.keyCode + " bubbles=" + e.bubbles
					+ " cancelable=" + e.cancelable + " focus=" + nm(o.stage == null ? null : o.stage.focus));
			});
	}

	static function listenText(t:TextField) {
		t.addEventListener(TextEvent.TEXT_INPUT, function(e:TextEvent) {
			R.t(t.name + " textInput text=" + e.text + " phase=" + e.eventPhase + " bubbles=" + e.bubbles + " cancelable="
				+ e.cancelable + " before=" + t.text);
		});
		t.addEventListener(Event.CHANGE, function(e:Event) {
			R.t(t.name + " change target=" + nm(e.target) + " phase=" + e.eventPhase + " bubbles=" + e.bubbles + " text="
				+ t.text + " caret=" + t.caretIndex);
		});
	}

	static function main() {
		var root = flash.Lib.current;
		var stage = root.stage;
		var a = box("a", 10, 10, 50, 50);
		var b = box("b", 70, 10, 50, 50);
		var c = box("c", 130, 10, 50, 50);
		a.tabIndex = 2;
		b.tabIndex = 1;
		// Without a tabIndex of its own, c is left out of an order the others give.
		c.tabEnabled = true;
		var t1 = field("t1", 10, 100, true);
		t1.restrict = "a-z";
		t1.maxChars = 4;
		t1.tabIndex = 3;
		var t2 = field("t2", 150, 100, true);
		t2.tabIndex = 4;
		var t3 = field("t3", 10, 150, false);
		t3.text = "fixed";
		for (o in ([a, b, c, t1, t2, t3] : Array<Dynamic>))
			root.addChild(o);
		listenKeys(stage);
		for (o in ([stage, a, b, c, t1, t2, t3] : Array<Dynamic>))
			listenFocus(o);
		listenText(t1);
		listenText(t2);
		R.run("tabEnabled a,c,t1,t3", function() return a.tabEnabled + "," + c.tabEnabled + "," + t1.tabEnabled + "," + t3.tabEnabled);
		R.run("tabIndex a,c,t3", function() return a.tabIndex + "," + c.tabIndex + "," + t3.tabIndex);
		R.run("stage.focus", function() return nm(stage.focus));
		// Keys (F and G, typed as capitals) that a script answers by moving the focus itself.
		stage.addEventListener(KeyboardEvent.KEY_DOWN, function(e:KeyboardEvent) {
			if (e.charCode == 70) {
				stage.focus = t3;
				R.t("script focus -> " + nm(stage.focus));
			} else if (e.charCode == 71) {
				stage.focus = null;
				R.t("script focus -> " + nm(stage.focus));
			}
		});
		var frame = 0;
		root.addEventListener(Event.ENTER_FRAME, function(e) {
			frame++;
			R.t("-- frame " + frame + " focus=" + nm(stage.focus) + " t1=" + t1.text + " t2=" + t2.text + " t3=" + t3.text);
		});
	}
}
