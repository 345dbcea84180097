// flash.display.Bitmap in ActionScript 3 movies: the node a script made holds one child,
// at the bottom, that draws the BitmapData's pixels as they are at each frame, the same
// way MovieClip.attachBitmap shows them for ActionScript 1/2.
#include "As3DisplayTree.h"
#include "ScriptPixels.h"

namespace mc {

void As3DisplayTree::showPixels(avm2::NodeId node,
                                const std::shared_ptr<pixels::BitmapPixels>& pixels,
                                bool smoothing) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->clip) {
        return;
    }
    // Whatever showed before is replaced: the new child takes the same depth.
    player_.edits().attachPixels(*o, 0, std::make_shared<ScriptPixels>(pixels), smoothing);
}

// A Stage3D layer's presented picture, read as it is at each frame.
void As3DisplayTree::showStage3D(std::size_t index,
                                 const std::shared_ptr<pixels::BitmapPixels>& pixels, double x,
                                 double y) {
    TimelinePlayer::Underlay layer;
    if (pixels) {
        layer.pixels = std::make_shared<ScriptPixels>(pixels);
    }
    layer.x = x;
    layer.y = y;
    player_.setUnderlay(index, std::move(layer));
}

} // namespace mc
