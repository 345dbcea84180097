// BitmapData's drawing and filters as the stage hands them to the renderer: script objects
// become display objects, filter objects become the records the renderer applies.

#include "FilterBinding.h"
#include "StageObject.h"
#include "StageScripts.h"

namespace mc {

void StageScripts::drawIntoBitmap(pixels::BitmapPixels& target,
                                  const avm1::BitmapDrawing& drawing) {
    if (!callbacks_.drawIntoBitmap) {
        return;
    }
    const DisplayObject* object = nullptr;
    if (drawing.clip != nullptr) {
        object = displayOf(drawing.clip);
        if (object == nullptr) {
            return;
        }
    }
    const swf::BlendMode mode =
        blendModeOf(*machine_, drawing.blendMode).value_or(swf::BlendMode::Normal);
    callbacks_.drawIntoBitmap(target, drawing, object, mode);
}

bool StageScripts::filterIntoBitmap(pixels::BitmapPixels& target,
                                    const pixels::BitmapPixels& source, pixels::Placement at,
                                    const avm1::FilterFields& filter) {
    const std::optional<swf::Filter> record = filterRecord(filter);
    return record && callbacks_.filterIntoBitmap &&
           callbacks_.filterIntoBitmap(target, source, at, *record);
}

std::optional<pixels::PixelRect> StageScripts::filteredRect(pixels::PixelRect rect,
                                                            const avm1::FilterFields& filter) {
    const std::optional<swf::Filter> record = filterRecord(filter);
    if (!record || !callbacks_.filteredRect) {
        return std::nullopt;
    }
    return callbacks_.filteredRect(rect, *record);
}

} // namespace mc
