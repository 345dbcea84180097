// BitmapData's drawing and filters as the stage hands them to the renderer: script objects
// become display objects, filter objects become the records the renderer applies.

#include "FilterBinding.h"
#include "StageHost.h"
#include "StageObject.h"
#include "StageScripts.h"

namespace mc {

void StageHost::drawIntoBitmap(pixels::BitmapPixels& target, const avm1::BitmapDrawing& drawing) {
    if (!stage_.callbacks().drawIntoBitmap) {
        return;
    }
    const DisplayObject* object = nullptr;
    if (drawing.clip != nullptr) {
        object = stage_.displayOf(drawing.clip);
        if (object == nullptr) {
            return;
        }
    }
    const swf::BlendMode mode =
        blendModeOf(stage_.machine(), drawing.blendMode).value_or(swf::BlendMode::Normal);
    stage_.callbacks().drawIntoBitmap(target, drawing, stage_.player(), object, mode);
}

bool StageHost::filterIntoBitmap(pixels::BitmapPixels& target, const pixels::BitmapPixels& source,
                                 pixels::Placement at, const avm1::FilterFields& filter) {
    const std::optional<swf::Filter> record = filterRecord(filter);
    return record && stage_.callbacks().filterIntoBitmap &&
           stage_.callbacks().filterIntoBitmap(target, source, at, *record);
}

std::optional<pixels::PixelRect> StageHost::filteredRect(pixels::PixelRect rect,
                                                         const avm1::FilterFields& filter) {
    const std::optional<swf::Filter> record = filterRecord(filter);
    if (!record || !stage_.callbacks().filteredRect) {
        return std::nullopt;
    }
    return stage_.callbacks().filteredRect(rect, *record);
}

} // namespace mc
