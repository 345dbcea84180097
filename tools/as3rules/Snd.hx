// flash.media without a sound file: a Sound that loaded nothing, SoundTransform's four
// channel gains against volume and pan, SoundMixer's settings, and what a script may call on
// each before anything plays.
class Snd {
	static function main() {
		var S:Dynamic = untyped __global__["flash.media.Sound"];
		var ST:Dynamic = untyped __global__["flash.media.SoundTransform"];
		var SM:Dynamic = untyped __global__["flash.media.SoundMixer"];
		var u:Dynamic = untyped __global__["undefined"];
		var odd:Array<Dynamic> = [u, null, Math.NaN, -1, 0, 0.25, 1.5, "0.5", "x", true];

		R.run("Sound()", function() {
			var s:Dynamic = untyped __new__(S);
			return [R.show(s.length), R.show(s.bytesLoaded), R.show(s.bytesTotal), R.show(s.url), R.show(s.isBuffering), R.show(s.id3)].join(" ");
		});
		R.run("Sound().play()", function() return untyped __new__(S).play());
		R.run("Sound().play(odd)", function() return untyped __new__(S).play(-5, -2, null));
		R.run("Sound().close()", function() {
			untyped __new__(S).close();
			return "done";
		});
		R.run("Sound().extract", function() {
			var b:Dynamic = untyped __new__(untyped __global__["flash.utils.ByteArray"]);
			return untyped __new__(S).extract(b, 10);
		});
		R.run("Sound().load(null)", function() {
			untyped __new__(S).load(null);
			return "done";
		});

		// SoundTransform: constructor, each field, and the volume/pan view of the gains.
		R.run("SoundTransform()", function() {
			var t:Dynamic = untyped __new__(ST);
			return [t.volume, t.pan, t.leftToLeft, t.leftToRight, t.rightToLeft, t.rightToRight].map(R.str).join(" ");
		});
		for (v in odd) {
			R.run("SoundTransform(" + R.str(v) + ", " + R.str(v) + ")", function() {
				var t:Dynamic = untyped __new__(ST, v, v);
				return [t.volume, t.pan, t.leftToLeft, t.leftToRight, t.rightToLeft, t.rightToRight].map(R.str).join(" ");
			});
			for (f in ["volume", "pan", "leftToLeft", "leftToRight", "rightToLeft", "rightToRight"])
				R.run("SoundTransform." + f + " = " + R.str(v), function() {
					var t:Dynamic = untyped __new__(ST);
					Reflect.setProperty(t, f, v);
					return [t.volume, t.pan, t.leftToLeft, t.leftToRight, t.rightToLeft, t.rightToRight].map(R.str).join(" ");
				});
		}
		for (p in [-1.0, -0.5, 0.0, 0.3, 1.0, 2.0])
			R.run("pan " + p + " then gains", function() {
				var t:Dynamic = untyped __new__(ST, 0.8, p);
				var out = [t.leftToLeft, t.leftToRight, t.rightToLeft, t.rightToRight].map(R.str).join(" ");
				t.leftToLeft = 0.2;
				return out + " | pan " + R.str(t.pan) + " volume " + R.str(t.volume);
			});

		// SoundMixer's statics.
		R.run("SoundMixer.bufferTime", function() return SM.bufferTime);
		for (v in odd)
			R.run("SoundMixer.bufferTime = " + R.str(v), function() {
				var before = SM.bufferTime;
				SM.bufferTime = v;
				var after = SM.bufferTime;
				SM.bufferTime = before;
				return after;
			});
		R.run("SoundMixer.soundTransform", function() {
			var t:Dynamic = SM.soundTransform;
			return R.str(t.volume) + " " + R.str(t.pan) + " " + R.str(SM.soundTransform == SM.soundTransform);
		});
		R.run("SoundMixer.soundTransform = null", function() {
			SM.soundTransform = null;
			return SM.soundTransform.volume;
		});
		R.run("SoundMixer.soundTransform copy", function() {
			var t:Dynamic = untyped __new__(ST, 0.5, -1);
			SM.soundTransform = t;
			t.volume = 0.1;
			var got:Dynamic = SM.soundTransform;
			SM.soundTransform = untyped __new__(ST);
			return R.str(got.volume) + " " + R.str(got.pan);
		});
		R.run("SoundMixer.areSoundsInaccessible", function() return SM.areSoundsInaccessible());
		R.run("SoundMixer.stopAll", function() {
			SM.stopAll();
			return "done";
		});
		R.run("SoundMixer.computeSpectrum", function() {
			var b:Dynamic = untyped __new__(untyped __global__["flash.utils.ByteArray"]);
			SM.computeSpectrum(b, false, 0);
			return R.str(b.length) + " " + R.str(b.position);
		});
		R.run("SoundMixer.computeSpectrum null", function() {
			SM.computeSpectrum(null);
			return "done";
		});
		R.run("SoundMixer.useSpeakerphoneForVoice", function() return SM.useSpeakerphoneForVoice);
		R.run("new SoundMixer", function() return untyped __new__(SM));

		// Sprite.soundTransform: a copy each time.
		var SP:Dynamic = untyped __global__["flash.display.Sprite"];
		R.run("Sprite.soundTransform", function() {
			var s:Dynamic = untyped __new__(SP);
			var t:Dynamic = s.soundTransform;
			return R.str(t.volume) + " " + R.str(s.soundTransform == s.soundTransform);
		});
		R.run("Sprite.soundTransform set", function() {
			var s:Dynamic = untyped __new__(SP);
			var t:Dynamic = untyped __new__(ST, 0.25, 0.5);
			s.soundTransform = t;
			t.volume = 1;
			return R.str(s.soundTransform.volume) + " " + R.str(s.soundTransform.pan);
		});
	}
}
