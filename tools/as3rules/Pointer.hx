// The pointer over a script-made SimpleButton (which state shows, its states replaced while the
// pointer is over it, a press dragged out and back), a sprite whose hitArea is another sprite,
// two quick clicks on a sprite without doubleClickEnabled, a child of a scaled parent that has
// mouseEnabled off (its local position), and presses that start on one object and end on
// another. The input that drives it is Pointer.input.json beside this file.
import flash.display.DisplayObject;
import flash.display.Shape;
import flash.display.SimpleButton;
import flash.display.Sprite;
import flash.events.MouseEvent;

class Pointer {
	static function nm(o:Dynamic):String {
		return o == null ? "null" : o == flash.Lib.current ? "root" : o.name;
	}

	static function rect<T>(s:T, name:String, x:Float, y:Float, w:Float, h:Float, color:Int):T {
		var d:Dynamic = s;
		d.name = name;
		d.x = x;
		d.y = y;
		d.graphics.beginFill(color);
		d.graphics.drawRect(0, 0, w, h);
		d.graphics.endFill();
		return s;
	}

	static var btn:SimpleButton;

	static function shown():String {
		var out = [];
		for (n in ["upState", "overState", "downState", "hitTestState"]) {
			var st:DisplayObject = Reflect.getProperty(btn, n);
			if (st != null && st.stage != null)
				out.push(st.name);
		}
		return out.join("+");
	}

	static function listen(o:Dynamic) {
		for (t in [
			MouseEvent.MOUSE_DOWN, MouseEvent.MOUSE_UP, MouseEvent.CLICK, MouseEvent.DOUBLE_CLICK, MouseEvent.MOUSE_OVER, MouseEvent.MOUSE_OUT,
			MouseEvent.ROLL_OVER, MouseEvent.ROLL_OUT
		])
			o.addEventListener(t, function(e:MouseEvent) {
				if ((cast e.eventPhase : Int) == 3 && o != flash.Lib.current.stage)
					return;
				var line = nm(o) + " " + e.type + " target=" + nm(e.target) + " related=" + nm(e.relatedObject) + " local=" + e.localX + ","
					+ e.localY + " down=" + e.buttonDown;
				if (o == btn)
					line += " shown=" + shown();
				R.t(line);
			});
	}

	static function main() {
		var root = flash.Lib.current;
		var stage = root.stage;
		btn = new SimpleButton();
		btn.name = "btn";
		btn.x = 20;
		btn.y = 20;
		btn.upState = rect(new Shape(), "up", 0, 0, 60, 40, 0xcc0000);
		btn.overState = rect(new Shape(), "over", 0, 0, 60, 40, 0x00cc00);
		btn.downState = rect(new Shape(), "down", 0, 0, 60, 40, 0x0000cc);
		btn.hitTestState = rect(new Shape(), "hit", 0, 0, 60, 40, 0);
		root.addChild(btn);
		var ha = rect(new Sprite(), "ha", 120, 20, 60, 40, 0x888888);
		var hz = rect(new Sprite(), "hz", 120, 100, 60, 40, 0x444444);
		root.addChild(ha);
		root.addChild(hz);
		ha.hitArea = hz;
		ha.buttonMode = true;
		var nodc = rect(new Sprite(), "nodc", 220, 20, 60, 40, 0x999900);
		root.addChild(nodc);
		var par = rect(new Sprite(), "par", 20, 150, 50, 40, 0x009999);
		par.scaleX = 2;
		par.scaleY = 1.5;
		par.mouseEnabled = false;
		var kid = rect(new Sprite(), "kid", 10, 10, 30, 20, 0x990099);
		par.addChild(kid);
		root.addChild(par);
		for (o in ([stage, btn, ha, hz, nodc, par, kid] : Array<Dynamic>))
			listen(o);
		R.run("hitArea", function() return nm(ha.hitArea) + " " + ha.buttonMode + " " + ha.useHandCursor + " " + hz.mouseEnabled);
		R.run("button shown at start", function() return shown() + " " + btn.enabled + " " + btn.useHandCursor + " " + btn.trackAsMenu);
		var frame = 0;
		root.addEventListener("enterFrame", function(e) {
			frame++;
			R.t("-- frame " + frame + " shown=" + shown() + " mouse=" + root.mouseX + "," + root.mouseY + " kid=" + kid.mouseX + ","
				+ kid.mouseY);
			if (frame == 4) {
				// New states while the pointer is over the button
				btn.overState = rect(new Shape(), "over2", 0, 0, 60, 40, 0x00ff00);
				btn.upState = rect(new Shape(), "up2", 0, 0, 60, 40, 0xff0000);
				R.t("replaced states shown=" + shown());
			}
			if (frame == 12) {
				btn.enabled = false;
				R.t("disabled shown=" + shown());
			}
		});
	}
}
