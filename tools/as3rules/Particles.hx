// What a particle effect (snow, sparks, stars) does each frame: hundreds of sprites added and
// removed from enterFrame and Timer handlers, their graphics redrawn, their bounds and sizes,
// and a BitmapData trail drawn, faded and scrolled each frame. Compare with --frames 8.
import flash.display.BitmapData;
import flash.display.Shape;
import flash.display.Sprite;
import flash.events.Event;
import flash.events.TimerEvent;
import flash.filters.BlurFilter;
import flash.geom.ColorTransform;
import flash.geom.Matrix;
import flash.geom.Point;
import flash.geom.Rectangle;
import flash.utils.Timer;

class Particles {
	static var frame = 0;
	static var log:Array<String> = [];

	static function hex(v:UInt):String {
		return StringTools.hex(v, 8);
	}

	static function flake(size:Float):Sprite {
		var s = new Sprite();
		s.graphics.beginFill(0xFFFFFF, 0.8);
		s.graphics.drawCircle(0, 0, size);
		s.graphics.endFill();
		return s;
	}

	static function main() {
		var root = flash.Lib.current;
		var field = new Sprite();
		root.addChild(field);
		var flakes:Array<Sprite> = [];
		for (i in 0...300) {
			var f = flake(1 + i % 4);
			f.x = (i * 37) % 400;
			f.y = (i * 53) % 300;
			f.cacheAsBitmap = i % 2 == 0;
			if (i % 50 == 0)
				f.filters = [new BlurFilter(2, 2, 1)];
			field.addChild(f);
			flakes.push(f);
		}
		R.run("children", function() return field.numChildren);
		R.run("flake size", function() return flakes[3].width + "x" + flakes[3].height);
		R.run("blurred flake size", function() return flakes[0].width + "x" + flakes[0].height);
		R.run("field bounds", function() return R.str(field.getBounds(root)));
		R.run("cacheAsBitmap with filters", function() return flakes[50].cacheAsBitmap + " " + flakes[51].cacheAsBitmap);

		var trail = new BitmapData(40, 30, true, 0);
		var fade = new ColorTransform(1, 1, 1, 0.5);
		var timer = new Timer(50, 3);
		timer.addEventListener(TimerEvent.TIMER, function(e:TimerEvent) log.push("timer" + timer.currentCount));
		timer.addEventListener(TimerEvent.TIMER_COMPLETE, function(e:TimerEvent) log.push("done"));
		timer.start();

		root.addEventListener(Event.ENTER_FRAME, function(e:Event) {
			frame++;
			// Move, recycle past the bottom, and replace every tenth flake.
			var removed = 0;
			var i = flakes.length - 1;
			while (i >= 0) {
				var f = flakes[i];
				f.y += 40;
				if (f.y > 300) {
					field.removeChild(f);
					flakes.splice(i, 1);
					removed++;
				}
				i--;
			}
			for (k in 0...removed) {
				var f = flake(2);
				f.x = (k * 41 + frame * 7) % 400;
				f.y = -5;
				field.addChildAt(f, 0);
				flakes.push(f);
			}
			// Redraw one flake's graphics each frame.
			var g = flakes[0].graphics;
			g.clear();
			g.beginFill(0xFF0000);
			g.drawRect(-frame, -frame, frame * 2, frame * 2);
			g.endFill();
			// The trail: faded, scrolled, a dot drawn, a block filled, a copy.
			trail.colorTransform(trail.rect, fade);
			trail.scroll(1, 1);
			var dot = new Shape();
			dot.graphics.beginFill(0x00FF00);
			dot.graphics.drawRect(0, 0, 2, 2);
			trail.draw(dot, new Matrix(1, 0, 0, 1, 5, 5));
			trail.fillRect(new Rectangle(30, 0, 4, 4), 0xFF0000FF);
			trail.copyPixels(trail, new Rectangle(0, 0, 10, 10), new Point(20, 15));
			R.t("frame " + frame + " children " + field.numChildren + " removed " + removed + " first " + flakes[0].width + " "
				+ hex(trail.getPixel32(5, 5)) + " " + hex(trail.getPixel32(6, 6)) + " " + hex(trail.getPixel32(31, 1)) + " "
				+ hex(trail.getPixel32(25, 20)) + " " + log.join(" "));
			log = [];
		});
	}
}
