// Player packages without a network or devices: flash.utils timers, flash.media defaults,
// flash.system, flash.ui, flash.external and the flash.errors classes.
class Pkg {
	static function g(n:String):Dynamic {
		return switch (n) {
			case "Timer": untyped __global__["flash.utils.Timer"];
			case "setTimeout": untyped __global__["flash.utils.setTimeout"];
			case "setInterval": untyped __global__["flash.utils.setInterval"];
			case "clearInterval": untyped __global__["flash.utils.clearInterval"];
			case "clearTimeout": untyped __global__["flash.utils.clearTimeout"];
			case "getTimer": untyped __global__["flash.utils.getTimer"];
			case "Sound": untyped __global__["flash.media.Sound"];
			case "SoundChannel": untyped __global__["flash.media.SoundChannel"];
			case "SoundTransform": untyped __global__["flash.media.SoundTransform"];
			case "SoundMixer": untyped __global__["flash.media.SoundMixer"];
			case "Video": untyped __global__["flash.media.Video"];
			case "Camera": untyped __global__["flash.media.Camera"];
			case "Microphone": untyped __global__["flash.media.Microphone"];
			case "Capabilities": untyped __global__["flash.system.Capabilities"];
			case "Security": untyped __global__["flash.system.Security"];
			case "System": untyped __global__["flash.system.System"];
			case "ApplicationDomain": untyped __global__["flash.system.ApplicationDomain"];
			case "LoaderContext": untyped __global__["flash.system.LoaderContext"];
			case "Keyboard": untyped __global__["flash.ui.Keyboard"];
			case "Mouse": untyped __global__["flash.ui.Mouse"];
			case "ContextMenu": untyped __global__["flash.ui.ContextMenu"];
			case "ContextMenuItem": untyped __global__["flash.ui.ContextMenuItem"];
			case "ExternalInterface": untyped __global__["flash.external.ExternalInterface"];
			case "IOError": untyped __global__["flash.errors.IOError"];
			case "EOFError": untyped __global__["flash.errors.EOFError"];
			case "IllegalOperationError": untyped __global__["flash.errors.IllegalOperationError"];
			case "MemoryError": untyped __global__["flash.errors.MemoryError"];
			case "StackOverflowError": untyped __global__["flash.errors.StackOverflowError"];
			case "ScriptTimeoutError": untyped __global__["flash.errors.ScriptTimeoutError"];
			case "InvalidSWFError": untyped __global__["flash.errors.InvalidSWFError"];
			case "describeType": untyped __global__["flash.utils.describeType"];
			default: untyped __global__["flash.utils.getQualifiedClassName"];
		}
	}

	static function main() {
		var u:Dynamic = untyped __global__["undefined"];
		var qn:Dynamic = g("qn");
		var T:Dynamic = g("Timer");
		var tv:Array<Dynamic> = [u, null, 0, -1, 0.5, 1, Math.NaN, Math.POSITIVE_INFINITY, "10", 1e10];
		for (v in tv) {
			R.run("new Timer(" + R.str(v) + ")", function() {
				var t:Dynamic = untyped __new__(T, v);
				return R.str(t.delay) + " " + R.str(t.repeatCount) + " " + R.str(t.running) + " " + R.str(t.currentCount);
			});
			R.run("new Timer(10," + R.str(v) + ")", function() {
				var t:Dynamic = untyped __new__(T, 10, v);
				return R.str(t.repeatCount);
			});
			R.run("timer.delay=" + R.str(v), function() {
				var t:Dynamic = untyped __new__(T, 10);
				t.delay = v;
				return t.delay;
			});
			R.run("timer.repeatCount=" + R.str(v), function() {
				var t:Dynamic = untyped __new__(T, 10);
				t.repeatCount = v;
				return R.str(t.repeatCount) + " " + R.str(t.running);
			});
		}
		R.run("timer start/stop/reset", function() {
			var t:Dynamic = untyped __new__(T, 1000, 2);
			var s = [];
			t.start();
			s.push(t.running);
			t.stop();
			s.push(t.running);
			t.start();
			t.reset();
			s.push(t.running);
			s.push(t.currentCount);
			return s.join(",");
		});
		R.run("timer repeatCount below currentCount", function() {
			var t:Dynamic = untyped __new__(T, 1000, 0);
			t.start();
			t.repeatCount = 0;
			var a = t.running;
			t.stop();
			return a;
		});
		var st:Dynamic = g("setTimeout");
		var si:Dynamic = g("setInterval");
		var ci:Dynamic = g("clearInterval");
		var ct:Dynamic = g("clearTimeout");
		R.run("setTimeout(null)", function() return st(null, 10));
		R.run("setTimeout(5)", function() return st(5, 10));
		R.run("setInterval(null)", function() return si(null, 10));
		R.run("setTimeout ids", function() {
			var a:Dynamic = st(function() {}, 100000);
			var b:Dynamic = si(function() {}, 100000);
			ct(a);
			ci(b);
			return untyped __typeof__(a) + " " + R.str(b - a);
		});
		R.run("clearInterval(null)", function() return ci(null));
		R.run("clearInterval('x')", function() return ci("x"));
		R.run("clearTimeout(-1)", function() return ct(-1));
		R.run("getTimer type", function() return untyped __typeof__(g("getTimer")()));
		R.run("getTimer(1)", function() return untyped __typeof__(g("getTimer")(1)));

		var S:Dynamic = g("Sound");
		R.run("Sound()", function() {
			var s:Dynamic = untyped __new__(S);
			return R.str(s.length) + " " + R.str(s.bytesLoaded) + " " + R.str(s.bytesTotal) + " " + R.str(s.isBuffering) + " " + R.str(s.url) + " "
				+ R.str(qn(s.id3));
		});
		R.run("Sound.id3 fields", function() {
			var s:Dynamic = untyped __new__(S);
			var i:Dynamic = s.id3;
			return R.str(i.songName) + " " + R.str(i.artist) + " " + R.str(i.comment);
		});
		R.run("Sound(null)", function() return R.str(untyped __new__(S, null).url));
		R.run("Sound.play no data", function() return R.str(untyped __new__(S).play()));
		R.run("Sound.close unopened", function() return untyped __new__(S).close());
		R.run("Sound.extract no data", function() {
			var b:Dynamic = untyped __new__(untyped __global__["flash.utils.ByteArray"]);
			return R.str(untyped __new__(S).extract(b, 10)) + " " + R.str(b.length);
		});
		R.run("Sound.extract(null)", function() return untyped __new__(S).extract(null, 10));
		R.run("Sound.load(null)", function() return untyped __new__(S).load(null));
		R.run("new SoundChannel", function() return untyped __new__(g("SoundChannel")));
		var ST:Dynamic = g("SoundTransform");
		R.run("SoundTransform()", function() {
			var s:Dynamic = untyped __new__(ST);
			return [s.volume, s.pan, s.leftToLeft, s.leftToRight, s.rightToLeft, s.rightToRight].join(",");
		});
		var stv:Array<Dynamic> = [u, null, -1, 0.3, 2, Math.NaN, "0.5"];
		for (v in stv) {
			R.run("SoundTransform(" + R.str(v) + "," + R.str(v) + ")", function() {
				var s:Dynamic = untyped __new__(ST, v, v);
				return [s.volume, s.pan, s.leftToLeft, s.leftToRight, s.rightToLeft, s.rightToRight].join(",");
			});
			R.run("st.pan=" + R.str(v), function() {
				var s:Dynamic = untyped __new__(ST);
				s.pan = v;
				return [s.volume, s.pan, s.leftToLeft, s.leftToRight, s.rightToLeft, s.rightToRight].join(",");
			});
			R.run("st.volume=" + R.str(v), function() {
				var s:Dynamic = untyped __new__(ST);
				s.volume = v;
				return s.volume;
			});
			R.run("st.leftToRight=" + R.str(v), function() {
				var s:Dynamic = untyped __new__(ST);
				s.leftToRight = v;
				return [s.pan, s.leftToRight].join(",");
			});
		}
		var SM:Dynamic = g("SoundMixer");
		R.run("SoundMixer defaults", function() {
			return R.str(SM.bufferTime) + " " + R.str(qn(SM.soundTransform)) + " " + R.str(SM.soundTransform.volume) + " " + R.str(SM.soundTransform == SM.soundTransform);
		});
		R.run("SoundMixer.areSoundsInaccessible", function() return SM.areSoundsInaccessible());
		R.run("SoundMixer.stopAll", function() return SM.stopAll());
		R.run("SoundMixer.bufferTime=-5", function() {
			SM.bufferTime = -5;
			var r = SM.bufferTime;
			SM.bufferTime = 1000;
			return r;
		});
		R.run("SoundMixer.soundTransform=null", function() {
			SM.soundTransform = null;
			return R.str(SM.soundTransform);
		});
		var Vid:Dynamic = g("Video");
		R.run("Video()", function() {
			var v:Dynamic = untyped __new__(Vid);
			return [v.width, v.height, v.videoWidth, v.videoHeight, v.smoothing, v.deblocking].join(",");
		});
		R.run("Video(10,20)", function() {
			var v:Dynamic = untyped __new__(Vid, 10, 20);
			return [v.width, v.height].join(",");
		});
		R.run("Video(-1,0)", function() {
			var v:Dynamic = untyped __new__(Vid, -1, 0);
			return [v.width, v.height].join(",");
		});
		R.run("video.deblocking=9", function() {
			var v:Dynamic = untyped __new__(Vid);
			v.deblocking = 9;
			return v.deblocking;
		});
		R.run("video.attachNetStream(null)", function() return untyped __new__(Vid).attachNetStream(null));
		R.run("video.clear", function() return untyped __new__(Vid).clear());
		R.run("Camera.names", function() return R.str(g("Camera").names.length));
		R.run("Camera.isSupported", function() return g("Camera").isSupported);
		R.run("Camera.getCamera()", function() return g("Camera").getCamera());
		R.run("Microphone.names", function() return R.str(g("Microphone").names.length));
		R.run("Microphone.getMicrophone()", function() return g("Microphone").getMicrophone());
		R.run("new Camera", function() return untyped __new__(g("Camera")));

		var C:Dynamic = g("Capabilities");
		for (f in ["avHardwareDisable", "hasAccessibility", "hasAudio", "hasAudioEncoder", "hasEmbeddedVideo", "hasIME", "hasMP3", "hasPrinting",
			"hasScreenBroadcast", "hasScreenPlayback", "hasStreamingAudio", "hasStreamingVideo", "hasTLS", "hasVideoEncoder", "isDebugger",
			"isEmbeddedInAcrobat", "language", "localFileReadDisable", "manufacturer", "maxLevelIDC", "os", "pixelAspectRatio", "playerType",
			"screenColor", "screenDPI", "screenResolutionX", "screenResolutionY", "serverString", "supports32BitProcesses", "supports64BitProcesses",
			"touchscreenType", "version", "cpuArchitecture"]) {
			R.run("Capabilities." + f + " type", function() return untyped __typeof__(untyped C[f]));
		}
		R.run("Capabilities.hasMP3", function() return C.hasMP3);
		R.run("Capabilities.pixelAspectRatio", function() return C.pixelAspectRatio);
		R.run("Capabilities.screenColor", function() return C.screenColor);
		R.run("Capabilities.language length", function() return R.str(C.language.length > 0));
		R.run("Capabilities.hasIMe", function() return C.hasIME);
		R.run("new Capabilities", function() return untyped __new__(C));
		var Sec:Dynamic = g("Security");
		R.run("Security.sandboxType type", function() return untyped __typeof__(Sec.sandboxType));
		R.run("Security constants", function() return [Sec.REMOTE, Sec.LOCAL_WITH_FILE, Sec.LOCAL_WITH_NETWORK, Sec.LOCAL_TRUSTED, Sec.APPLICATION].join(","));
		R.run("Security.allowDomain('*')", function() return Sec.allowDomain("*"));
		R.run("Security.allowDomain()", function() return Sec.allowDomain());
		R.run("Security.allowInsecureDomain(null)", function() return Sec.allowInsecureDomain(null));
		R.run("Security.exactSettings", function() return Sec.exactSettings);
		R.run("Security.loadPolicyFile(null)", function() return Sec.loadPolicyFile(null));
		R.run("Security.showSettings()", function() return Sec.showSettings());
		var Sys:Dynamic = g("System");
		for (f in ["totalMemory", "totalMemoryNumber", "freeMemory", "privateMemory", "useCodePage", "ime", "vmVersion", "processCPUUsage"])
			R.run("System." + f + " type", function() return untyped __typeof__(untyped Sys[f]));
		R.run("System.useCodePage=1", function() {
			Sys.useCodePage = 1;
			var r = Sys.useCodePage;
			Sys.useCodePage = false;
			return r;
		});
		R.run("System.setClipboard(null)", function() return Sys.setClipboard(null));
		R.run("System.gc()", function() return Sys.gc());
		R.run("System.pause type", function() return untyped __typeof__(Sys.pause));
		var AD:Dynamic = g("ApplicationDomain");
		R.run("currentDomain same", function() return AD.currentDomain == AD.currentDomain);
		R.run("currentDomain.parentDomain", function() return R.str(qn(AD.currentDomain.parentDomain)) + " " + R.str(AD.currentDomain.parentDomain.parentDomain));
		R.run("hasDefinition(flash.display.Sprite)", function() return AD.currentDomain.hasDefinition("flash.display.Sprite"));
		R.run("hasDefinition(nope)", function() return AD.currentDomain.hasDefinition("nope.Nope"));
		R.run("hasDefinition(null)", function() return AD.currentDomain.hasDefinition(null));
		R.run("getDefinition(nope)", function() return AD.currentDomain.getDefinition("nope.Nope"));
		R.run("getDefinition(flash.utils::Timer)", function() return R.str(AD.currentDomain.getDefinition("flash.utils::Timer") == T));
		R.run("getDefinition(flash.utils.getTimer)", function() return untyped __typeof__(AD.currentDomain.getDefinition("flash.utils.getTimer")));
		R.run("MIN_DOMAIN_MEMORY_LENGTH", function() return AD.MIN_DOMAIN_MEMORY_LENGTH);
		R.run("new ApplicationDomain()", function() {
			var d:Dynamic = untyped __new__(AD);
			return R.str(d.parentDomain == null) + " " + R.str(d.hasDefinition("Object")) + " " + R.str(d.domainMemory);
		});
		R.run("new ApplicationDomain(cur)", function() return untyped __new__(AD, AD.currentDomain).parentDomain == AD.currentDomain);
		var LC:Dynamic = g("LoaderContext");
		R.run("LoaderContext()", function() {
			var c:Dynamic = untyped __new__(LC);
			return [c.checkPolicyFile, c.applicationDomain, c.securityDomain, c.allowCodeImport, c.allowLoadBytesCodeExecution, c.parameters,
				c.requestedContentParent, c.imageDecodingPolicy].join(",");
		});
		R.run("LoaderContext(true, cur)", function() {
			var c:Dynamic = untyped __new__(LC, true, AD.currentDomain);
			return R.str(c.checkPolicyFile) + " " + R.str(c.applicationDomain == AD.currentDomain);
		});

		var K:Dynamic = g("Keyboard");
		for (f in ["A", "Z", "NUMBER_0", "NUMPAD_0", "F1", "F15", "ENTER", "ESCAPE", "SPACE", "LEFT", "UP", "RIGHT", "DOWN", "SHIFT", "CONTROL",
			"ALTERNATE", "BACKSPACE", "TAB", "DELETE", "INSERT", "HOME", "END", "PAGE_UP", "PAGE_DOWN", "CAPS_LOCK", "NUMPAD_ADD", "NUMPAD_DECIMAL",
			"NUMPAD_DIVIDE", "NUMPAD_ENTER", "NUMPAD_MULTIPLY", "NUMPAD_SUBTRACT", "SEMICOLON", "EQUAL", "COMMA", "MINUS", "PERIOD", "SLASH",
			"BACKQUOTE", "LEFTBRACKET", "BACKSLASH", "RIGHTBRACKET", "QUOTE", "COMMAND", "NUMPAD", "STRING_UP", "KEYNAME_UPARROW", "STRING_F1"]) {
			R.run("Keyboard." + f, function() return untyped K[f]);
		}
		R.run("Keyboard.capsLock type", function() return untyped __typeof__(K.capsLock));
		R.run("Keyboard.numLock type", function() return untyped __typeof__(K.numLock));
		R.run("Keyboard.isAccessible()", function() return untyped __typeof__(K.isAccessible()));
		var M:Dynamic = g("Mouse");
		R.run("Mouse.hide()", function() return M.hide());
		R.run("Mouse.show()", function() return M.show());
		R.run("Mouse.cursor", function() return M.cursor);
		R.run("Mouse.cursor=button", function() {
			M.cursor = "button";
			var r = M.cursor;
			M.cursor = "auto";
			return r;
		});
		R.run("Mouse.cursor=bogus", function() {
			M.cursor = "bogus";
			return M.cursor;
		});
		R.run("Mouse.cursor=null", function() {
			M.cursor = null;
			return M.cursor;
		});
		R.run("Mouse.supportsCursor", function() return M.supportsCursor);
		R.run("new Mouse", function() return untyped __new__(M));
		var CM:Dynamic = g("ContextMenu");
		var CMI:Dynamic = g("ContextMenuItem");
		R.run("ContextMenu()", function() {
			var m:Dynamic = untyped __new__(CM);
			var bi:Dynamic = m.builtInItems;
			return R.str(m.customItems.length) + " " + R.str(qn(bi)) + " " + [bi.print, bi.zoom, bi.quality, bi.play, bi.loop, bi.rewind, bi.forwardAndBack,
				bi.save].join(",");
		});
		R.run("ContextMenu.hideBuiltInItems", function() {
			var m:Dynamic = untyped __new__(CM);
			m.hideBuiltInItems();
			var bi:Dynamic = m.builtInItems;
			return [bi.print, bi.zoom, bi.quality, bi.play, bi.loop, bi.rewind, bi.forwardAndBack, bi.save].join(",");
		});
		R.run("ContextMenuItem()", function() return untyped __new__(CMI));
		R.run("ContextMenuItem(a)", function() {
			var i:Dynamic = untyped __new__(CMI, "a");
			return [i.caption, i.separatorBefore, i.enabled, i.visible].join(",");
		});
		R.run("ContextMenuItem(a,1,0,0)", function() {
			var i:Dynamic = untyped __new__(CMI, "a", 1, 0, 0);
			return [i.caption, i.separatorBefore, i.enabled, i.visible].join(",");
		});
		R.run("ContextMenuItem(null)", function() return untyped __new__(CMI, null).caption);
		R.run("ContextMenu.clone", function() {
			var m:Dynamic = untyped __new__(CM);
			m.customItems.push(untyped __new__(CMI, "x"));
			m.builtInItems.zoom = false;
			var c:Dynamic = m.clone();
			return R.str(c.customItems.length) + " " + R.str(c.customItems[0] == m.customItems[0]) + " " + R.str(c.builtInItems.zoom) + " " + R.str(c.builtInItems == m.builtInItems);
		});
		R.run("ContextMenuItem.clone", function() {
			var i:Dynamic = untyped __new__(CMI, "a", true, false, false);
			var c:Dynamic = i.clone();
			return [c.caption, c.separatorBefore, c.enabled, c.visible, c == i].join(",");
		});
		R.run("ContextMenu.isSupported", function() return untyped __typeof__(CM.isSupported));

		var EI:Dynamic = g("ExternalInterface");
		R.run("ExternalInterface.available", function() return EI.available);
		R.run("ExternalInterface.objectID", function() return EI.objectID);
		R.run("ExternalInterface.marshallExceptions", function() return EI.marshallExceptions);
		R.run("ExternalInterface.call(f)", function() return EI.call("f"));
		R.run("ExternalInterface.call(null)", function() return EI.call(null));
		R.run("ExternalInterface.addCallback(f,g)", function() return EI.addCallback("f", function() {}));
		R.run("ExternalInterface.addCallback(null,null)", function() return EI.addCallback(null, null));

		for (n in ["IOError", "EOFError", "IllegalOperationError", "MemoryError", "StackOverflowError", "ScriptTimeoutError", "InvalidSWFError"]) {
			R.run("new " + n + "()", function() {
				var e:Dynamic = untyped __new__(g(n));
				return R.str(e.name) + "|" + R.str(e.message) + "|" + R.str(e.errorID) + "|" + R.str(e) + "|" + R.str(qn(e));
			});
			R.run("new " + n + "(m,7)", function() {
				var e:Dynamic = untyped __new__(g(n), "m", 7);
				return R.str(e.name) + "|" + R.str(e.message) + "|" + R.str(e.errorID) + "|" + R.str(e) + "|" + R.str(untyped __global__["flash.utils.getQualifiedSuperclassName"](e));
			});
			R.run(n + "(m) call", function() return R.str(g(n)("m")));
			R.run(n + ".length", function() return g(n).length);
		}

		var dt:Dynamic = g("describeType");
		for (n in ["Timer", "SoundTransform", "ContextMenuItem", "Capabilities"]) {
			R.run("describeType(" + n + ") shape", function() {
				var x:Dynamic = dt(g(n));
				var f:Dynamic = x.factory;
				return R.str(x.attribute("name")) + " base=" + R.str(x.attribute("base")) + " final=" + R.str(x.attribute("isFinal")) + " static=" + R.str(x.attribute("isStatic")) + " dyn=" + R.str(x.attribute("isDynamic"))
					+ " | st: acc=" + R.str(x.accessor.length()) + " m=" + R.str(x.method.length()) + " c=" + R.str(x.constant.length()) + " v=" + R.str(x.variable.length())
					+ " | f: acc=" + R.str(f.accessor.length()) + " m=" + R.str(f.method.length()) + " ext=" + R.str(f.extendsClass.length()) + " ctor=" + R.str(f.child("constructor").parameter.length());
			});
		}
		R.run("describeType(timer) accessors", function() {
			var x:Dynamic = dt(untyped __new__(T, 5));
			var s = [];
			var a:Dynamic = x.accessor;
			for (i in 0...a.length())
				s.push(R.str(a[i].attribute("name")) + ":" + R.str(a[i].attribute("access")) + ":" + R.str(a[i].attribute("type")) + ":" + R.str(a[i].attribute("declaredBy")));
			s.sort(function(a, b) return a < b ? -1 : (a > b ? 1 : 0));
			return s.join(" ");
		});
		R.run("describeType(timer) methods", function() {
			var x:Dynamic = dt(untyped __new__(T, 5));
			var s = [];
			var a:Dynamic = x.method;
			for (i in 0...a.length())
				s.push(R.str(a[i].attribute("name")) + ":" + R.str(a[i].attribute("returnType")) + ":" + R.str(a[i].parameter.length()) + ":" + R.str(a[i].attribute("declaredBy")));
			s.sort(function(a, b) return a < b ? -1 : (a > b ? 1 : 0));
			return s.join(" ");
		});
	}
}
