// BitmapData.draw in ActionScript 3 movies: the stage hands the source (a display object of
// the tree, or a bitmap's pixels) to the renderer the same way it does for ActionScript 1/2;
// the pixels of bitmap symbols that classes stand for; and the blend modes scripts give
// display objects.
#include "As3DisplayTree.h"
#include "StageObject.h"
#include "StageScripts.h"

namespace mc {

void As3DisplayTree::drawIntoBitmap(pixels::BitmapPixels& target, const BitmapDraw& draw) {
    if (painting_ == nullptr || !painting_->drawIntoBitmap) {
        return;
    }
    avm1::BitmapDrawing drawing;
    const DisplayObject* object = nullptr;
    if (draw.bitmap) {
        drawing.bitmap = draw.bitmap.get();
    } else if (draw.node == kStageNode) {
        // The stage draws what it shows: the root and what scripts added beside it.
        drawing.wholeStage = true;
    } else {
        object = find(draw.node);
        if (object == nullptr) {
            return;
        }
    }
    drawing.matrix = draw.matrix;
    drawing.colors = draw.colors;
    if (draw.clipRect) {
        drawing.clipped = true;
        drawing.clipRect = *draw.clipRect;
    }
    drawing.smoothing = draw.smoothing;
    const swf::BlendMode mode = blendModeNamed(draw.blendMode).value_or(swf::BlendMode::Normal);
    painting_->drawIntoBitmap(target, drawing, player_, object, mode);
}

std::optional<pixels::BitmapPixels> As3DisplayTree::bitmapOfClass(const std::string& className) {
    if (painting_ == nullptr || !painting_->libraryBitmap) {
        return std::nullopt;
    }
    const auto symbol = classSymbols_.find(className);
    return symbol != classSymbols_.end() ? painting_->libraryBitmap(symbol->second) : std::nullopt;
}

void As3DisplayTree::setBlendMode(avm2::NodeId node, const std::string& name) {
    if (DisplayObject* o = find(node)) {
        o->blendMode = blendModeNamed(name).value_or(swf::BlendMode::Normal);
    }
}

} // namespace mc
