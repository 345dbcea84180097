// Frame events over several frames across nested script-made clips: the order of enterFrame,
// frameConstructed and exitFrame among siblings and nested children, objects added or removed
// while those events run, and the display list's events raised from inside them. Compare with
// --frames 5.
import flash.display.MovieClip;
import flash.display.Sprite;
import flash.events.Event;

class Frames {
	static var log:Array<String> = [];
	static var frame = 0;

	static function clip(name:String):MovieClip {
		var m = new MovieClip();
		m.name = name;
		for (k in ["enterFrame", "frameConstructed", "exitFrame", "added", "addedToStage", "removed", "removedFromStage"])
			m.addEventListener(k, function(e:Event) {
				if (e.target == m)
					log.push(k.substr(0, 5) + ":" + name);
			});
		return m;
	}

	static function flush():String {
		var s = log.join(" ");
		log = [];
		return s;
	}

	static function main() {
		var root = flash.Lib.current;
		// root > p(a, b > b1), q added later; enterFrame order among siblings and children.
		var p = clip("p");
		var a = clip("a");
		var b = clip("b");
		var b1 = clip("b1");
		b.addChild(b1);
		p.addChild(a);
		p.addChild(b);
		root.addChild(p);
		R.t("setup " + flush());
		var q:MovieClip = null;
		var late:MovieClip = null;
		root.addEventListener("enterFrame", function(e:Event) {
			frame++;
			R.t("frame " + frame + " " + flush());
			switch (frame) {
				case 1:
					// A child added during the root's enterFrame: does it see this frame's events?
					q = clip("q");
					root.addChild(q);
					R.t("  added q " + flush());
				case 2:
					// Reordering siblings
					p.setChildIndex(b, 0);
					R.t("  b first " + flush());
				case 3:
					// Removing a nested subtree during enterFrame
					b.removeChild(b1);
					R.t("  removed b1 " + flush());
				case 4:
					root.removeChild(p);
					root.removeChild(q);
					R.t("  removed p q " + flush());
			}
		});
		a.addEventListener("enterFrame", function(e:Event) {
			if (frame == 2 && late == null) {
				// A clip made and added inside a child's enterFrame
				late = clip("late");
				a.addChild(late);
				log.push("madeLate");
			}
		});
		b.addEventListener("exitFrame", function(e:Event) {
			if (frame == 3)
				log.push("b exit sees b1=" + (b1.parent != null));
		});
		var off = clip("off");
		off.addEventListener("enterFrame", function(e:Event) {
			if (frame <= 1)
				log.push("offstage enter");
		});
		R.t("main done " + flush());
	}
}
