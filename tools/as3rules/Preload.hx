// What a preloader reads: the root's loader info (bytes, frames, its events and the frame they
// come in), the root's and a script-made clip's scenes and labels, gotos to a label that is not
// there, and a frame script added to a clip that plays or stands. Compare with --frames 6.
import flash.display.MovieClip;
import flash.events.Event;

class Preload {
	static var frame = 0;
	static var log:Array<String> = [];

	static function main() {
		var root:MovieClip = flash.Lib.current;
		var li = root.loaderInfo;
		R.run("bytesLoaded == bytesTotal", function() return li.bytesLoaded == li.bytesTotal);
		R.run("bytesTotal > 0", function() return li.bytesTotal > 0);
		R.run("framesLoaded", function() return root.framesLoaded);
		R.run("totalFrames", function() return root.totalFrames);
		R.run("currentFrame", function() return root.currentFrame);
		R.run("currentLabels", function() return root.currentLabels.length);
		R.run("currentLabel", function() return root.currentLabel);
		R.run("currentFrameLabel", function() return root.currentFrameLabel);
		R.run("scenes", function() return root.scenes.length);
		R.run("scene 0", function() {
			var s = root.scenes[0];
			return s.name + " " + s.numFrames + " " + s.labels.length;
		});
		R.run("currentScene", function() return root.currentScene.name + " " + root.currentScene.numFrames);
		R.run("currentScene is scenes[0]", function() return root.currentScene == root.scenes[0]);
		R.run("content is root", function() return li.content == root);
		R.run("loader", function() return li.loader);
		R.run("contentType", function() return li.contentType);
		R.run("versions", function() return li.swfVersion + " " + li.actionScriptVersion);
		R.run("frameRate", function() return li.frameRate);
		R.run("size", function() return li.width + "x" + li.height);
		R.run("stage loaderInfo", function() return root.stage.loaderInfo == li);
		R.run("url", function() return li.url != null && li.url.length > 0);
		R.run("loaderURL is url", function() return li.loaderURL == li.url);
		R.run("parameters", function() return Reflect.fields(li.parameters).length);
		R.run("sameDomain", function() return li.sameDomain);
		R.run("bytes", function() return li.bytes == null ? "null" : "" + li.bytes.length);
		for (k in ["open", "progress", "init", "complete", "httpStatus", "unload"])
			li.addEventListener(k, function(e:Event) log.push(k + "@" + frame));

		var mc = new MovieClip();
		R.run("mc framesLoaded totalFrames", function() return mc.framesLoaded + " " + mc.totalFrames);
		R.run("mc currentFrame", function() return mc.currentFrame);
		R.run("mc scenes", function() {
			var s = mc.scenes;
			return s.length + " " + s[0].name + " " + s[0].numFrames + " " + s[0].labels.length;
		});
		R.run("mc currentScene", function() return mc.currentScene.name + " " + mc.currentScene.numFrames);
		R.run("mc currentLabels", function() return mc.currentLabels.length);
		R.run("mc currentLabel", function() return mc.currentLabel);
		R.run("mc gotoAndStop(missing label)", function() {
			mc.gotoAndStop("missing");
			return mc.currentFrame;
		});
		R.run("mc gotoAndPlay(missing label)", function() {
			mc.gotoAndPlay("missing");
			return mc.currentFrame;
		});
		R.run("mc gotoAndStop(missing scene)", function() {
			mc.gotoAndStop(1, "nowhere");
			return mc.currentFrame;
		});
		R.run("mc gotoAndStop(1, scene name)", function() {
			mc.gotoAndStop(1, mc.currentScene.name);
			return mc.currentFrame;
		});
		R.run("mc gotoAndStop(0)", function() {
			mc.gotoAndStop(0);
			return mc.currentFrame;
		});
		R.run("mc gotoAndStop(5)", function() {
			mc.gotoAndStop(5);
			return mc.currentFrame;
		});
		R.run("mc nextScene", function() {
			mc.nextScene();
			return mc.currentFrame;
		});
		R.run("mc prevScene", function() {
			mc.prevScene();
			return mc.currentFrame;
		});
		R.run("root gotoAndStop(missing label)", function() {
			root.gotoAndStop("missing");
			return root.currentFrame;
		});
		R.run("root gotoAndStop(missing scene)", function() {
			root.gotoAndStop(1, "nowhere");
			return root.currentFrame;
		});

		// Frame scripts on a one-frame clip: one added while it stands, one added to a clip
		// on the stage, one replaced, one removed with null.
		var standing = new MovieClip();
		standing.addFrameScript(0, function() log.push("standing@" + frame));
		var onStage = new MovieClip();
		root.addChild(onStage);
		onStage.addFrameScript(0, function() log.push("onStage@" + frame));
		var replaced = new MovieClip();
		root.addChild(replaced);
		replaced.addFrameScript(0, function() log.push("first@" + frame));
		replaced.addFrameScript(0, function() log.push("second@" + frame));
		var removed = new MovieClip();
		root.addChild(removed);
		removed.addFrameScript(0, function() log.push("removed@" + frame));
		removed.addFrameScript(0, null);
		R.run("addFrameScript past the end", function() {
			onStage.addFrameScript(3, function() log.push("past@" + frame));
			return onStage.totalFrames;
		});
		R.run("addFrameScript odd arguments", function() {
			onStage.addFrameScript(0, function() log.push("a@" + frame), 1, function() log.push("b@" + frame));
			return onStage.totalFrames;
		});

		root.addEventListener("enterFrame", function(e:Event) {
			frame++;
			R.t("frame " + frame + " " + log.join(" "));
			log = [];
			if (frame == 2) {
				onStage.gotoAndPlay(1);
				R.t("  after gotoAndPlay(1) " + log.join(" "));
				log = [];
			}
			if (frame == 3) {
				standing.play();
				root.addChild(standing);
				R.t("  standing added " + log.join(" "));
				log = [];
			}
		});
		R.t("setup " + log.join(" "));
		log = [];
	}
}
