// Graphics.drawTriangles: which triangles fill (hit-tested by shape), with and without
// indices, an index past the vertices, each culling; the errors for missing vertices and an
// unknown culling; and where a bitmap fill lands when uvtData places it on each triangle
// (pixels read back after drawing the sprite into a BitmapData).
import flash.display.Sprite;
import flash.display.BitmapData;

class Tri {
	static function v(a:Array<Float>):flash.Vector<Float> {
		var r = new flash.Vector<Float>();
		for (x in a)
			r.push(x);
		return r;
	}

	static function iv(a:Array<Int>):flash.Vector<Int> {
		var r = new flash.Vector<Int>();
		for (x in a)
			r.push(x);
		return r;
	}

	// Two triangles: a clockwise one on the left (on screen) and a counter-clockwise one on the right.
	static var pts = [0.0, 0, 40, 0, 0, 40, 100, 0, 60, 0, 100, 40];

	static function hits(s:Sprite):String {
		var r = [];
		for (p in [[5, 5], [95, 5], [35, 35], [70, 30], [50, 50]])
			r.push(s.hitTestPoint(p[0], p[1], true) ? "1" : "0");
		return r.join("");
	}

	static function draw(f:Sprite->Void):String {
		var s = new Sprite();
		flash.Lib.current.addChild(s);
		s.graphics.beginFill(0xff0000);
		f(s);
		s.graphics.endFill();
		var r = hits(s) + " " + R.str(s.getBounds(s));
		flash.Lib.current.removeChild(s);
		return r;
	}

	static function main() {
		R.run("plain", function() return draw(function(s) s.graphics.drawTriangles(v(pts))));
		for (c in ["none", "positive", "negative"])
			R.run("culling " + c, function() return draw(function(s) s.graphics.drawTriangles(v(pts), null, null, cast c)));
		R.run("indices 3,4,5", function() return draw(function(s) s.graphics.drawTriangles(v(pts), iv([3, 4, 5]))));
		R.run("indices 0,1,2,3,4", function() return draw(function(s) s.graphics.drawTriangles(v(pts), iv([0, 1, 2, 3, 4]))));
		R.run("index past end", function() return draw(function(s) s.graphics.drawTriangles(v(pts), iv([0, 1, 9, 3, 4, 5]))));
		R.run("odd vertex count", function() return draw(function(s) s.graphics.drawTriangles(v([0.0, 0, 40, 0, 0, 40, 100]))));
		R.run("four vertices", function() return draw(function(s) s.graphics.drawTriangles(v([0.0, 0, 40, 0, 0, 40, 100, 0]))));
		R.run("index past end alone", function() return draw(function(s) s.graphics.drawTriangles(v(pts), iv([3, 4, 9]))));
		R.run("negative index", function() return draw(function(s) s.graphics.drawTriangles(v(pts), iv([0, 1, -1, 3, 4, 5]))));
		R.run("uv of another length", function() return draw(function(s) s.graphics.drawTriangles(v(pts), null, v([0.0, 1, 0]))));
		R.run("overlap", function() return draw(function(s) s.graphics.drawTriangles(v([0.0, 0, 40, 0, 0, 40, 0, 0, 40, 0, 0, 40]))));
		R.run("null vertices", function() return draw(function(s) s.graphics.drawTriangles(null)));
		R.run("bad culling", function() return draw(function(s) s.graphics.drawTriangles(v(pts), null, null, cast "sideways")));
		R.run("no fill, line only", function() {
			var s = new Sprite();
			s.graphics.lineStyle(2, 0);
			s.graphics.drawTriangles(v(pts));
			return hits(s) + " " + R.str(s.getBounds(s));
		});
		// A 2x2 bitmap of four colours, mapped by uv onto a 40x40 square made of two triangles.
		var tex = new BitmapData(2, 2, false, 0);
		tex.setPixel(0, 0, 0xff0000);
		tex.setPixel(1, 0, 0x00ff00);
		tex.setPixel(0, 1, 0x0000ff);
		tex.setPixel(1, 1, 0xffff00);
		var square = v([0.0, 0, 40, 0, 0, 40, 40, 40]);
		var quad = iv([0, 1, 2, 1, 3, 2]);
		var cases:Array<Array<Float>> = [
			[0, 0, 1, 0, 0, 1, 1, 1],
			[1, 0, 0, 0, 1, 1, 0, 1],
			[0, 0, 0.5, 0, 0, 0.5, 0.5, 0.5],
			[0, 0, 1, 0, 0, 1, 1, 1, 9],
		];
		for (uv in cases) {
			R.run("uv " + uv.join(","), function() {
				var s = new Sprite();
				s.graphics.beginBitmapFill(tex, null, false, false);
				s.graphics.drawTriangles(square, quad, v(uv));
				s.graphics.endFill();
				var out = new BitmapData(40, 40, false, 0xffffff);
				out.draw(s);
				var r = [];
				for (p in [[5, 5], [35, 5], [5, 35], [35, 35]])
					r.push(StringTools.hex(out.getPixel(p[0], p[1]), 6));
				return r.join(" ");
			});
		}
		R.run("uvt", function() {
			var s = new Sprite();
			s.graphics.beginBitmapFill(tex, null, false, false);
			s.graphics.drawTriangles(square, quad, v([0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1]));
			s.graphics.endFill();
			var out = new BitmapData(40, 40, false, 0xffffff);
			out.draw(s);
			return StringTools.hex(out.getPixel(5, 5), 6) + " " + StringTools.hex(out.getPixel(35, 35), 6);
		});
	}
}
