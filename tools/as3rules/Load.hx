// Loader without a network: pictures and movies from bytes (PNG, GIF, JPEG, SWF of both script
// versions), one after another, with the loader info's events in their order and the frame
// they come in, what the info tells at INIT and COMPLETE, unload and unloadAndStop, and the
// errors for unknown bytes and a missing file. Compare with --frames 40.
import flash.display.Loader;
import flash.events.Event;
import flash.utils.ByteArray;

class Load {
	// Pictures and movies written for this table: a 3x2 PNG with alpha, a 16x16 GIF and JPEG,
	// and movies of two frames at 24 fps (version 10 ActionScript 3, version 8 ActionScript 2).
	static var PNG = "89504e470d0a1a0a0000000d49484452000000030000000208060000009d74661a0000001049444154789c6360f8cfd000c7"
		+ "c81c00734908fb27283a1e0000000049454e44ae426082";
	static var GIF = "47494638396110001000f66400ebbb18ebbe21f3c11afac719fdcb1bffcc1cebc22affcf23ffcf24ffd025ffd026ffd32dfd"
		+ "d22fffd32effd32febc534e8c73dffd330ffd430fdd536ffd637fad339ffd738ffd739ffd73af9d53effd83aecce45fdd941"
		+ "ffda41ffda42ffdb42ffdb43ffdb44fddd4affde4bffdf4dfdde4effdf4effe255ffe357ffe358ffe661ffe761ffe762f2e1"
		+ "6ef5e36ffde96affeb6c326087366690366791356892366993366994376896376a96396c96386c97396d993a6f9b3a709c3b"
		+ "709c3b709d3c719e3d73a03d73a23d74a13e74a23e75a33f76a54078a64078a74179a8427baa437cab437dad437dae447dad"
		+ "447ead457faf4680b04680b14681b24781b24883b44884b54885b64985b74a87b94a86ba4b88bb4c89bc4c8abc4d8bbe4c8a"
		+ "bf4e8dc04f8dc1508fc35291c6ffffff00000000000000000000000000000000000000000000000000000000000000000000"
		+ "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000021f904"
		+ "010000650021ff0b496d6167654d616769636b0767616d6d613d30002c00000000100010000007a880658265615a524c4640"
		+ "37838c825d64524a443d388d8c5791443e383596655f574c4439323938958c63615c555047403c35a76527231965625f5450"
		+ "4ab035bf3165231d139f57549240a733c11bc40b65c74b479d8d1d170b0765874733652d2f2c27261d1a0b0804654c92652e"
		+ "302c292621171108050282423e65eff1e5e7050a58826702c20303010000f0146f5e8404023d95917741420232e92496a9f0"
		+ "b0c0008d20070502003b";
	static var JPG = "ffd8ffe000104a46494600010101000100010000ffdb00430003020202020203020202030303030406040404040408060605"
		+ "0609080a0a090809090a0c0f0c0a0b0e0b09090d110d0e0f101011100a0c12131210130f101010ffdb004301030303040304"
		+ "08040408100b090b101010101010101010101010101010101010101010101010101010101010101010101010101010101010"
		+ "1010101010101010ffc00011080010001003012200021101031101ffc4001600010101000000000000000000000000000704"
		+ "05ffc4002410000104010402020300000000000000000102030406050708121311220014093132ffc4001501010100000000"
		+ "000000000000000000000006ffc400231100010205030500000000000000000000010211030405062100123115166181e1ff"
		+ "da000c03010002110311003f0014a6d26a1b73c1e61312d4951cf31163e42565beba5aec694540b1e520b254a51fd2cab8fa"
		+ "f220ab963d976c9335e69b77d7e66da71781a5571c7f1cea71e24b39d7e32253f21a69ded4714a38b482e84b892a71691ecd"
		+ "2d213bf1efb91a74aceea15a758ed548ac655b858b81857b21299867a96b94b949654fb9c88529114b812af07ad9f23c807e"
		+ "55be0df662a140cce8e69a3d5cb743b3d77a6558b1d9512188bf64b8d3f1c3680429c0d0febb3c02e03c5407b4bdd97b54e6"
		+ "27fb6edf9460148262138db8529828370589727960e432896fc3828ea7528cea208dbe78191f07ad7fffd9";
	static var SWF3 = "4657530a260000007800055f00000fa000001802004411080000004302112233400040000000";
	static var SWF2 = "46575308280000007800055f00000fa000000c030044110000000043021122334000400040000000";

	static var frame = 0;
	static var started = 0;
	static var steps:Array<Void->Void> = [];

	static function bytes(hex:String):ByteArray {
		var b = new ByteArray();
		var i = 0;
		while (i < hex.length) {
			b.writeByte(Std.parseInt("0x" + hex.substr(i, 2)));
			i += 2;
		}
		return b;
	}

	// Whether an event came inside the call that started the load or on a later frame: how many
	// frames a decode takes is the player's own business.
	static function when():String {
		return frame == started && calling ? "sync" : "later";
	}

	static var calling = false;

	static function cls(v:Dynamic):String {
		return v == null ? "null" : untyped __global__["flash.utils.getQualifiedClassName"](v);
	}

	static function tryGet(o:Dynamic, n:String):String {
		try {
			return R.str(Reflect.getProperty(o, n));
		} catch (e:flash.errors.Error) {
			return "threw " + e.errorID;
		}
	}

	// What the loader's info says, each field read on its own since some throw for pictures.
	static function info(l:Loader):String {
		var i:Dynamic = l.contentLoaderInfo;
		var out = [];
		for (n in ["bytesLoaded", "bytesTotal", "width", "height", "frameRate", "swfVersion", "actionScriptVersion", "contentType",
			"childAllowsParent", "parentAllowsChild", "sameDomain"])
			out.push(n + "=" + tryGet(i, n));
		var c:Dynamic = l.content;
		out.push("content=" + cls(c));
		if (c != null) {
			out.push("size=" + c.width + "x" + c.height);
			out.push("parent=" + (c.parent == l));
			out.push("children=" + l.numChildren);
			out.push("infoContent=" + (i.content == c));
			out.push("loader=" + (i.loader == l));
		}
		return out.join(" ");
	}

	static function next() {
		if (steps.length > 0)
			steps.shift()();
	}

	static function watch(label:String, l:Loader, after:Loader->Void) {
		var i = l.contentLoaderInfo;
		for (k in ["open", "progress", "init", "complete", "httpStatus", "ioError", "securityError", "unload"])
			i.addEventListener(k, function(e:Dynamic) {
				var line = label + " " + k + " " + when();
				if (k == "progress")
					line += " " + e.bytesLoaded + "/" + e.bytesTotal;
				if (k == "ioError")
					line += " " + R.str(e.text).split(dir).join("<dir>") + " id=" + e.errorID;
				if (k == "init" || k == "complete")
					line += " " + info(l);
				R.t(line);
				if (k == "complete" || k == "ioError") {
					after(l);
					pending = true;
				}
			});
	}

	static var dir = "";
	static var pending = false;

	static function fromBytes(label:String, hex:String, after:Loader->Void) {
		steps.push(function() {
			var l = new Loader();
			watch(label, l, after);
			started = frame;
			try {
				calling = true;
				l.loadBytes(bytes(hex));
				calling = false;
				R.t(label + " called " + info(l));
			} catch (e:flash.errors.Error) {
				calling = false;
				R.t(label + " threw " + R.str(e));
				pending = true;
			}
		});
	}

	static function unloadIt(how:String):Loader->Void {
		return function(l:Loader) {
			if (how == "unload")
				l.unload();
			else if (how == "unloadAndStop")
				l.unloadAndStop();
			R.t("  after " + how + " " + info(l));
		};
	}

	static function main() {
		var root = flash.Lib.current;
		var url = root.loaderInfo.url;
		dir = url.substr(0, url.lastIndexOf("/") + 1);
		// The next load starts on the frame after one ends, outside the last one's events.
		root.addEventListener("enterFrame", function(e) {
			frame++;
			if (pending) {
				pending = false;
				next();
			}
		});
		fromBytes("png", PNG, unloadIt("unload"));
		fromBytes("gif", GIF, unloadIt("none"));
		fromBytes("jpg", JPG, unloadIt("unloadAndStop"));
		fromBytes("swf10", SWF3, unloadIt("unload"));
		fromBytes("swf8", SWF2, unloadIt("none"));
		fromBytes("junk", "00010203040506070809", unloadIt("none"));
		fromBytes("empty", "", unloadIt("none"));
		steps.push(function() {
			R.run("loadBytes(null)", function() {
				new Loader().loadBytes(null);
				return "ok";
			});
			R.run("close unopened", function() {
				new Loader().close();
				return "ok";
			});
			R.run("unload unopened", function() {
				var l = new Loader();
				var seen = [];
				l.contentLoaderInfo.addEventListener("unload", function(e) seen.push("unload"));
				l.unload();
				return seen.join(",") + " " + info(l);
			});
			var l = new Loader();
			watch("missing", l, unloadIt("none"));
			started = frame;
			calling = true;
			l.load(new flash.net.URLRequest("no-such-picture.png"));
			calling = false;
			R.t("missing called " + info(l));
		});
		steps.push(function() {
			// A second load through the same loader replaces the first one's content.
			var l = new Loader();
			var round = 0;
			watch("again", l, function(l) {
				if (round++ == 0) {
					var first = l.content;
					l.loadBytes(bytes(GIF));
					R.t("  reloading, old content's parent " + (first.parent == l));
					// The first load's end asks for the next step: an empty one takes its turn.
					steps.unshift(function() {});
				}
			});
			started = frame;
			calling = true;
			l.loadBytes(bytes(PNG));
			calling = false;
		});
		steps.push(function() R.t("done " + when()));
		next();
	}
}
