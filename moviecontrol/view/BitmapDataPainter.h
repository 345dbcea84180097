#pragma once
// BitmapData's drawing and filters on script-made bitmaps, painted with the renderer's own
// painter, blend modes and filters.

#include "ColorTransform.h"
#include "Transform.h"
#include "avm1/Host.h"
#include "pixels/BitmapPixels.h"
#include "swf/Filters.h"

#include <QImage>
#include <QPainter>
#include <functional>

namespace mc {

// A premultiplied ARGB32 copy of the bitmap.
QImage imageOf(const pixels::BitmapPixels& pixels);
// The pixels of an image, in a bitmap that is transparent or not.
pixels::BitmapPixels pixelsOf(const QImage& image, bool transparent);

// The colour transform of a draw call in the renderer's fixed-point form.
ColorTransform fixedColorTransform(const pixels::ChannelTransform& t);

// Paints a display object's content; the painter's transform maps the target's pixels, the
// transform given maps the object's twips to them.
using ContentPainter = std::function<void(QPainter& painter, const Transform& toTarget)>;

// BitmapData.draw: the source (drawing.bitmap, or what `content` paints) under the
// drawing's matrix and colour transform, blended into `target` with `mode`, changing only
// the clip rectangle when there is one.
void drawIntoBitmap(pixels::BitmapPixels& target, const avm1::BitmapDrawing& drawing,
                    swf::BlendMode mode, const ContentPainter& content);

// BitmapData.applyFilter: the filtered part of `source` replaces the destination's pixels
// at the placement. The filter reads the source's pixels around the part as well.
bool filterIntoBitmap(pixels::BitmapPixels& target, const pixels::BitmapPixels& source,
                      pixels::Placement at, const swf::Filter& filter);

// BitmapData.generateFilterRect: `rect` grown by the filter's reach.
pixels::PixelRect filteredRect(pixels::PixelRect rect, const swf::Filter& filter);

} // namespace mc
