// Mouse events over nested sprites: which events, in which order, with which fields, for a
// pointer moved, pressed, double-clicked and wheeled over an outer sprite, an inner child, a
// sibling with mouseChildren off, a shape-hit child outside its parent's box, a rotated and
// stretched sprite (its local position) and the empty stage (the stage as the target). The
// input that drives it is Mouse.input.json beside this file.
import flash.display.Sprite;
import flash.display.Shape;
import flash.events.MouseEvent;

class Mouse {
	static function nm(o:Dynamic):String {
		return o == null ? "null" : o.name;
	}

	static function box(name:String, x:Float, y:Float, w:Float, h:Float, round:Bool):Sprite {
		var s = new Sprite();
		s.name = name;
		s.x = x;
		s.y = y;
		s.graphics.beginFill(0x3366cc);
		if (round)
			s.graphics.drawCircle(w / 2, h / 2, w / 2);
		else
			s.graphics.drawRect(0, 0, w, h);
		s.graphics.endFill();
		return s;
	}

	static function listen(o:Dynamic) {
		var types = [
			MouseEvent.MOUSE_DOWN, MouseEvent.MOUSE_UP, MouseEvent.CLICK, MouseEvent.DOUBLE_CLICK, MouseEvent.MOUSE_OVER,
			MouseEvent.MOUSE_OUT, MouseEvent.ROLL_OVER, MouseEvent.ROLL_OUT, MouseEvent.MOUSE_WHEEL
		];
		for (t in types)
			o.addEventListener(t, function(e:MouseEvent) {
				R.t(nm(o) + " " + e.type + " target=" + nm(e.target) + " phase=" + e.eventPhase + " related="
					+ nm(e.relatedObject) + " local=" + e.localX + "," + e.localY + " stage=" + e.stageX + "," + e.stageY
					+ " down=" + e.buttonDown + " delta=" + e.delta + " ctrl=" + e.ctrlKey + " shift=" + e.shiftKey
					+ " bubbles=" + e.bubbles);
			});
	}

	static function main() {
		var root = flash.Lib.current;
		var stage = root.stage;
		R.run("root.name = 'root'", function() {
			root.name = "root";
			return root.name;
		});
		R.run("stage.name", function() return stage.name);
		var outer = box("outer", 20, 20, 160, 160, false);
		var inner = box("inner", 40, 40, 60, 60, false);
		inner.doubleClickEnabled = true;
		outer.addChild(inner);
		// A round child: its bounding box corner is not a hit.
		var round = box("round", 140, 140, 50, 50, true);
		outer.addChild(round);
		var sib = box("sib", 220, 20, 100, 100, false);
		sib.mouseChildren = false;
		var sibKid = box("sibKid", 10, 10, 40, 40, false);
		sib.addChild(sibKid);
		var off = box("off", 220, 160, 60, 60, false);
		off.mouseEnabled = false;
		root.addChild(outer);
		root.addChild(sib);
		root.addChild(off);
		var rot = box("rot", 360, 200, 40, 20, false);
		rot.rotation = 90;
		rot.scaleX = 2;
		root.addChild(rot);
		for (o in ([stage, root, outer, inner, round, sib, sibKid, off, rot] : Array<Dynamic>))
			listen(o);
		stage.addEventListener(flash.events.Event.MOUSE_LEAVE, function(e) R.t("stage mouseLeave"));
		var frame = 0;
		root.addEventListener(flash.events.Event.ENTER_FRAME, function(e) {
			frame++;
			R.t("-- frame " + frame + " mouse=" + root.mouseX + "," + root.mouseY + " outer=" + outer.mouseX + ","
				+ outer.mouseY);
		});
	}
}
