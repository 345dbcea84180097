// flash.display.BitmapData: every pixel operation over edges, odd rectangles, odd colours and
// disposed bitmaps, printed as hex so that rounding of premultiplied alpha shows.
class Bmp {
	static var BD:Dynamic;
	static var P:Dynamic;
	static var RC:Dynamic;

	static function bd(w:Dynamic, h:Dynamic, t:Dynamic, c:Dynamic):Dynamic {
		return untyped __new__(BD, w, h, t, c);
	}

	static function pt(x:Dynamic, y:Dynamic):Dynamic {
		return untyped __new__(P, x, y);
	}

	static function rc(x:Dynamic, y:Dynamic, w:Dynamic, h:Dynamic):Dynamic {
		return untyped __new__(RC, x, y, w, h);
	}

	static function hex(v:Dynamic):String {
		var n:UInt = v;
		return StringTools.hex(n, 8);
	}

	// Every pixel of a small bitmap, row by row.
	static function dump(b:Dynamic):String {
		var rows:Array<String> = [];
		var w:Int = b.width;
		var h:Int = b.height;
		for (y in 0...h) {
			var row:Array<String> = [];
			for (x in 0...w)
				row.push(hex(b.getPixel32(x, y)));
			rows.push(row.join(","));
		}
		return rows.join(" / ");
	}

	// A 4x4 bitmap whose pixels all differ, in every channel.
	static function ramp(transparent:Bool):Dynamic {
		var b:Dynamic = bd(4, 4, transparent, 0);
		for (y in 0...4)
			for (x in 0...4)
				b.setPixel32(x, y, ((0x40 + x * 0x30 + y * 0x08) << 24) | ((x * 0x40) << 16) | ((y * 0x40) << 8) | (x * 0x10 + y * 0x20));
		return b;
	}

	static function main() {
		BD = untyped __global__["flash.display.BitmapData"];
		P = untyped __global__["flash.geom.Point"];
		RC = untyped __global__["flash.geom.Rectangle"];
		var CT:Dynamic = untyped __global__["flash.geom.ColorTransform"];
		var u:Dynamic = untyped __global__["undefined"];
		var nan = Math.NaN;
		var inf = Math.POSITIVE_INFINITY;

		// Construction: sizes, defaults and the colour a fill starts with.
		for (sz in ([[1, 1], [0, 1], [1, 0], [-1, 5], [8191, 1], [8192, 1], [4096, 4096], [4097, 4096], [2.7, 3.2], [nan, 2], ["3", "2"]] : Array<Array<Dynamic>>))
			R.run("new BitmapData(" + sz.join(",") + ")", function() {
				var b:Dynamic = bd(sz[0], sz[1], u, u);
				return R.str(b.width) + "x" + R.str(b.height) + " " + R.str(b.transparent) + " " + hex(b.getPixel32(0, 0));
			});
		for (c in ([0x80FF8040, 0x00FF8040, 0x01FFFFFF, 0xFE102030, -1, nan, "0x7F00FF00"] : Array<Dynamic>)) {
			R.run("fill " + R.str(c) + " transparent", function() return hex(bd(2, 2, true, c).getPixel32(1, 1)));
			R.run("fill " + R.str(c) + " opaque", function() return hex(bd(2, 2, false, c).getPixel32(1, 1)));
		}

		// setPixel32 and its premultiplied round trip, alpha by alpha.
		for (a in [0x00, 0x01, 0x02, 0x0F, 0x33, 0x7F, 0x80, 0xC0, 0xFE, 0xFF]) {
			R.run("setPixel32 alpha " + StringTools.hex(a, 2), function() {
				var b:Dynamic = bd(1, 1, true, 0);
				var out:Array<String> = [];
				for (c in [0xFFFFFF, 0x123456, 0x808080, 0x010203, 0xFEDCBA]) {
					b.setPixel32(0, 0, (a << 24) | c);
					out.push(hex(b.getPixel32(0, 0)) + "/" + StringTools.hex(b.getPixel(0, 0), 6));
				}
				return out.join(" ");
			});
			R.run("setPixel keeps alpha " + StringTools.hex(a, 2), function() {
				var b:Dynamic = bd(1, 1, true, (a << 24) | 0x101010);
				b.setPixel(0, 0, 0xFF8001);
				return hex(b.getPixel32(0, 0));
			});
		}
		R.run("pixels at odd coordinates", function() {
			var b:Dynamic = ramp(true);
			var out:Array<String> = [];
			for (p in ([[1.9, 1.9], [-0.5, 0], [3.999, 0], [nan, 1], ["2", "1"], [inf, 0], [4, 0], [0, -1]] : Array<Array<Dynamic>>))
				out.push(hex(b.getPixel32(p[0], p[1])));
			b.setPixel32(-0.5, 0.5, 0xFFFFFFFF);
			b.setPixel32(nan, 0, 0xFFFFFFFF);
			out.push(hex(b.getPixel32(0, 0)));
			return out.join(" ");
		});

		// fillRect over odd rectangles.
		for (r in ([[1, 1, 2, 2], [-2, -2, 4, 4], [3, 3, 10, 10], [1.5, 1.5, 1.5, 1.5], [0, 0, -2, 2], [2, 2, 0, 0], [nan, 0, 2, 2], [0, 0, inf, 1]] : Array<Array<Dynamic>>))
			R.run("fillRect(" + r.join(",") + ")", function() {
				var b:Dynamic = bd(4, 4, true, 0);
				b.fillRect(rc(r[0], r[1], r[2], r[3]), 0x80FF0000);
				return dump(b);
			});
		R.run("fillRect null", function() {
			var b:Dynamic = bd(4, 4, true, 0);
			b.fillRect(null, 0);
			return "done";
		});

		// copyPixels: clipping, alpha bitmaps, mergeAlpha.
		for (args in ([[0, 0, 4, 4, 0, 0], [1, 1, 2, 2, 2, 2], [-1, -1, 3, 3, 0, 0], [0, 0, 4, 4, -2, 1], [0, 0, 4, 4, 3, 3], [0.5, 0.5, 2.5, 2.5, 1.5, 0.5]] : Array<Array<Dynamic>>))
			for (merge in [false, true])
				R.run("copyPixels(" + args.join(",") + ") merge " + merge, function() {
					var dst:Dynamic = bd(4, 4, true, 0x800000FF);
					dst.copyPixels(ramp(true), rc(args[0], args[1], args[2], args[3]), pt(args[4], args[5]), null, null, merge);
					return dump(dst);
				});
		R.run("copyPixels with alpha bitmap", function() {
			var dst:Dynamic = bd(4, 4, true, 0xFF0000FF);
			var alpha:Dynamic = bd(4, 4, true, 0x80000000);
			alpha.setPixel32(0, 0, 0x00000000);
			alpha.setPixel32(1, 0, 0xFF000000);
			dst.copyPixels(ramp(false), rc(0, 0, 4, 4), pt(0, 0), alpha, pt(0, 0), true);
			return dump(dst);
		});
		R.run("copyPixels alpha bitmap offset", function() {
			var dst:Dynamic = bd(4, 4, true, 0);
			var alpha:Dynamic = bd(2, 2, true, 0xFF000000);
			dst.copyPixels(ramp(false), rc(0, 0, 4, 4), pt(0, 0), alpha, pt(1, 1), false);
			return dump(dst);
		});
		R.run("copyPixels opaque target", function() {
			var dst:Dynamic = bd(4, 4, false, 0x00FF00);
			dst.copyPixels(ramp(true), rc(0, 0, 4, 4), pt(0, 0), null, null, true);
			return dump(dst);
		});
		R.run("copyPixels onto itself", function() {
			var b:Dynamic = ramp(true);
			b.copyPixels(b, rc(0, 0, 3, 3), pt(1, 1));
			return dump(b);
		});

		// copyChannel between every pair of channels.
		for (from in [1, 2, 4, 8, 3, 0])
			for (to in [1, 2, 4, 8])
				R.run("copyChannel " + from + "->" + to, function() {
					var dst:Dynamic = bd(2, 2, true, 0x80402010);
					dst.copyChannel(ramp(true), rc(1, 1, 2, 2), pt(0, 0), from, to);
					return dump(dst);
				});
		R.run("copyChannel alpha into opaque", function() {
			var dst:Dynamic = bd(2, 2, false, 0x402010);
			dst.copyChannel(ramp(true), rc(0, 0, 2, 2), pt(0, 0), 8, 1);
			dst.copyChannel(ramp(true), rc(0, 0, 2, 2), pt(0, 0), 1, 8);
			return dump(dst);
		});

		// colorTransform, merge, paletteMap, threshold.
		R.run("colorTransform", function() {
			var b:Dynamic = ramp(true);
			b.colorTransform(rc(1, 1, 2, 2), untyped __new__(CT, 0.5, 2, 1, 0.5, 10, -20, 300, 0));
			return dump(b);
		});
		R.run("colorTransform alpha offset on opaque", function() {
			var b:Dynamic = ramp(false);
			b.colorTransform(b.rect, untyped __new__(CT, 1, 1, 1, 0, 0, 0, 0, 0));
			return dump(b);
		});
		for (mult in [[0, 0, 0, 0], [256, 128, 64, 32], [300, -1, 128, 256]])
			R.run("merge " + mult.join(","), function() {
				var b:Dynamic = bd(4, 4, true, 0xFF808080);
				b.merge(ramp(true), rc(0, 0, 4, 4), pt(0, 0), mult[0], mult[1], mult[2], mult[3]);
				return dump(b);
			});
		R.run("paletteMap", function() {
			var b:Dynamic = ramp(true);
			var red:Array<Dynamic> = [];
			for (i in 0...256)
				red.push(0xFF000000 | (255 - i) << 16);
			b.paletteMap(b, rc(0, 0, 4, 2), pt(0, 0), red, null, null, null);
			return dump(b);
		});
		R.run("paletteMap short arrays", function() {
			var b:Dynamic = ramp(true);
			b.paletteMap(b, b.rect, pt(0, 0), [0xFF], [0xFF00], [], [0x80000000]);
			return dump(b);
		});
		for (op in ["<", "<=", ">", ">=", "==", "!=", "?", ""])
			for (copy in [false, true])
				R.run("threshold " + op + " copy " + copy, function() {
					var b:Dynamic = bd(4, 4, true, 0x11223344);
					var n = b.threshold(ramp(true), rc(0, 0, 4, 4), pt(0, 0), op, 0x00400000, 0xFF00FF00, 0x00FF0000, copy);
					return R.str(n) + " " + dump(b);
				});

		// Bounds and tests.
		for (cb in ([[0xFF000000, 0xFF000000, true], [0xFF000000, 0xFF000000, false], [0x00FF0000, 0x00C00000, true], [0, 0, true], [0xFFFFFFFF, 0x12345678, true]] : Array<Array<Dynamic>>))
			R.run("getColorBoundsRect " + cb.map(R.str).join(","), function() return ramp(true).getColorBoundsRect(cb[0], cb[1], cb[2]));
		R.run("hitTest point", function() {
			var b:Dynamic = ramp(true);
			var out:Array<String> = [];
			for (th in [0, 0x40, 0x80, 0xFF])
				out.push(R.str(b.hitTest(pt(0, 0), th, pt(3, 3))) + R.str(b.hitTest(pt(1, 1), th, pt(0, 0))) + R.str(b.hitTest(pt(0, 0), th, rc(1, 1, 2, 2))));
			return out.join(" ");
		});
		R.run("hitTest bitmap", function() {
			var a:Dynamic = bd(4, 4, true, 0);
			a.setPixel32(3, 3, 0xFF000000);
			var b:Dynamic = bd(4, 4, true, 0);
			b.setPixel32(0, 0, 0xFF000000);
			return R.str(a.hitTest(pt(0, 0), 1, b, pt(3, 3), 1)) + " " + R.str(a.hitTest(pt(0, 0), 1, b, pt(2, 2), 1)) + " " + R.str(a.hitTest(pt(10, 10), 1, b, pt(13, 13), 1));
		});
		R.run("hitTest odd object", function() return ramp(true).hitTest(pt(0, 0), 0, {x: 1}));
		R.run("compare", function() {
			var a:Dynamic = ramp(true);
			var b:Dynamic = ramp(true);
			var out:Array<String> = [R.str(a.compare(b))];
			b.setPixel32(1, 1, 0xFF000000);
			var d:Dynamic = a.compare(b);
			out.push(R.str(d) + " " + (Std.isOfType(d, BD) ? dump(d) : ""));
			var c:Dynamic = ramp(true);
			c.setPixel32(2, 2, (c.getPixel32(2, 2) & 0x00FFFFFF) | 0x10000000);
			var e:Dynamic = a.compare(c);
			out.push(Std.isOfType(e, BD) ? dump(e) : R.str(e));
			out.push(R.str(a.compare(bd(4, 3, true, 0))) + " " + R.str(a.compare(bd(3, 4, true, 0))));
			return out.join(" | ");
		});
		R.run("compare opaque", function() {
			var a:Dynamic = ramp(false);
			var b:Dynamic = ramp(false);
			b.setPixel(0, 0, 0x102030);
			var d:Dynamic = a.compare(b);
			return Std.isOfType(d, BD) ? R.str(d.transparent) + " " + dump(d) : R.str(d);
		});
		R.run("compare null", function() return ramp(true).compare(null));

		// floodFill, scroll.
		R.run("floodFill", function() {
			var b:Dynamic = bd(4, 4, true, 0xFF000000);
			b.setPixel32(1, 0, 0xFFFFFFFF);
			b.setPixel32(1, 1, 0xFFFFFFFF);
			b.setPixel32(0, 2, 0xFFFFFFFF);
			b.setPixel32(1, 2, 0xFFFFFFFF);
			b.floodFill(0, 0, 0x80FF0000);
			b.floodFill(10, 10, 0xFF00FF00);
			return dump(b);
		});
		for (s in ([[1, 0], [-1, 2], [5, 0], [0, -4], [1.7, -1.2]] : Array<Array<Dynamic>>))
			R.run("scroll " + s.join(","), function() {
				var b:Dynamic = ramp(true);
				b.scroll(s[0], s[1]);
				return dump(b);
			});

		// Vectors, byte arrays, histogram.
		R.run("getVector rect", function() {
			var v:Dynamic = ramp(true).getVector(rc(2, 2, 5, 5));
			return R.str(v.length) + " " + R.str(v);
		});
		R.run("setVector short", function() {
			var b:Dynamic = bd(2, 2, true, 0);
			var v:Dynamic = ramp(true).getVector(rc(1, 1, 1, 1));
			b.setVector(b.rect, v);
			return dump(b);
		});
		R.run("getPixels bytes", function() {
			var ba:Dynamic = ramp(true).getPixels(rc(0, 0, 2, 1));
			var out:Array<String> = [R.str(ba.length), R.str(ba.position)];
			ba.position = 0;
			while (ba.bytesAvailable > 0)
				out.push(StringTools.hex(ba.readUnsignedByte(), 2));
			return out.join(" ");
		});
		R.run("setPixels short", function() {
			var b:Dynamic = bd(2, 2, true, 0);
			var ba:Dynamic = untyped __new__(untyped __global__["flash.utils.ByteArray"]);
			ba.writeUnsignedInt(0x80FF0000);
			ba.writeUnsignedInt(0xFF00FF00);
			ba.writeByte(1);
			ba.position = 0;
			b.setPixels(b.rect, ba);
			return dump(b);
		});
		R.run("histogram", function() {
			var b:Dynamic = ramp(true);
			var h:Dynamic = b.histogram();
			var out:Array<String> = [R.str(h.length)];
			for (c in 0...4) {
				var ch:Dynamic = h[c];
				var nz:Array<String> = [];
				for (i in 0...256)
					if (ch[i] != 0)
						nz.push(i + ":" + R.str(ch[i]));
				out.push(R.str(ch.length) + "[" + nz.join(" ") + "]");
			}
			return out.join(" ");
		});
		R.run("histogram rect", function() {
			var h:Dynamic = ramp(false).histogram(rc(0, 0, 2, 1));
			return R.str(h[3][255]) + " " + R.str(h[0][0]) + " " + R.str(h[0][64]);
		});

		// noise and pixelDissolve are seeded: their exact pixels are the player's own.
		R.run("noise grey opaque", function() {
			var b:Dynamic = bd(3, 1, false, 0);
			b.noise(7, 10, 10, 7, true);
			return dump(b);
		});
		R.run("pixelDissolve count", function() {
			var b:Dynamic = bd(4, 4, true, 0);
			var next = b.pixelDissolve(ramp(true), b.rect, pt(0, 0), 0, 16, 0xFFFFFFFF);
			var set = 0;
			for (y in 0...4)
				for (x in 0...4)
					if (b.getPixel32(x, y) != 0)
						set++;
			return R.str(set) + " " + R.str(Std.isOfType(next, Int));
		});

		// A disposed bitmap answers every call with the same error.
		var disposed:Dynamic = ramp(true);
		disposed.dispose();
		R.run("disposed width", function() return disposed.width);
		R.run("disposed rect", function() return disposed.rect);
		R.run("disposed transparent", function() return disposed.transparent);
		R.run("disposed getPixel32", function() return disposed.getPixel32(0, 0));
		R.run("disposed setPixel", function() {
			disposed.setPixel(0, 0, 0);
			return "done";
		});
		R.run("disposed fillRect", function() {
			disposed.fillRect(rc(0, 0, 1, 1), 0);
			return "done";
		});
		R.run("disposed clone", function() return disposed.clone());
		R.run("disposed dispose", function() {
			disposed.dispose();
			return "done";
		});
		R.run("copy from disposed", function() {
			var b:Dynamic = bd(2, 2, true, 0);
			b.copyPixels(disposed, rc(0, 0, 2, 2), pt(0, 0));
			return dump(b);
		});
		R.run("draw disposed", function() {
			var b:Dynamic = bd(2, 2, true, 0);
			b.draw(disposed);
			return dump(b);
		});

		// Null arguments where objects are required.
		R.run("copyPixels null source", function() {
			bd(2, 2, true, 0).copyPixels(null, rc(0, 0, 1, 1), pt(0, 0));
			return "done";
		});
		R.run("copyPixels null rect", function() {
			bd(2, 2, true, 0).copyPixels(ramp(true), null, pt(0, 0));
			return "done";
		});
		R.run("copyPixels null point", function() {
			bd(2, 2, true, 0).copyPixels(ramp(true), rc(0, 0, 1, 1), null);
			return "done";
		});
		R.run("threshold null source", function() return bd(2, 2, true, 0).threshold(null, rc(0, 0, 1, 1), pt(0, 0), "==", 0));
		R.run("draw null", function() {
			bd(2, 2, true, 0).draw(null);
			return "done";
		});
		R.run("getPixels null", function() return bd(2, 2, true, 0).getPixels(null));
		R.run("colorTransform null", function() {
			bd(2, 2, true, 0).colorTransform(null, null);
			return "done";
		});
		R.run("clone", function() {
			var c:Dynamic = ramp(true).clone();
			return R.str(c.width) + " " + dump(c);
		});
		R.run("rect is a copy", function() {
			var b:Dynamic = ramp(true);
			var r:Dynamic = b.rect;
			r.width = 1;
			return R.str(b.rect) + " " + R.str(b.rect == b.rect);
		});
	}
}
