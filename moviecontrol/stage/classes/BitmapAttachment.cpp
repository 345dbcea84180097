// MovieClip.attachBitmap: a BitmapData shown in a clip. The clip draws the bitmap's pixels
// as they are at each frame; once the script disposes of the bitmap it shows nothing.

#include <cmath>
#include <memory>

#include "ScriptPixels.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "avm1/BitmapData.h"

namespace mc {

using avm1::CallArgs;
using avm1::Value;

void installBitmapAttachment(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::Object* proto = stage.movieClipPrototype() != nullptr ? stage.movieClipPrototype()
                                                                : m.prototypeOf("MovieClip");
    if (proto == nullptr) {
        return;
    }
    m.defineMethod(
        proto, "attachBitmap",
        [&stage](CallArgs& c) {
            DisplayObject* clip = stage.displayOf(c.thisValue);
            std::shared_ptr<pixels::BitmapPixels> pixels = avm1::bitmapDataPixels(c.arg(0));
            const double depth = c.machine.toNumber(c.arg(1));
            if (clip == nullptr || !clip->clip || !pixels || !std::isfinite(depth) ||
                depth < kMinScriptDepth || depth > kMaxScriptDepth) {
                return Value();
            }
            stage.player().edits().attachPixels(*clip, static_cast<std::int32_t>(depth),
                                                std::make_shared<ScriptPixels>(pixels),
                                                c.machine.toBoolean(c.arg(3)));
            return Value();
        },
        avm1::attr::DontEnum | avm1::attr::Only8); // it came with Flash Player 8
}

} // namespace mc
