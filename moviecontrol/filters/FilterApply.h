#pragma once
// Entry point for the renderer: a filter record applied to an object's off-screen layer.

#include "FilterScale.h"
#include "swf/Filters.h"

#include <QImage>
#include <vector>

namespace mc {

// Blurs every channel of a premultiplied layer (the blur filter itself).
QImage applyBlur(const QImage& source, const swf::BlurFilter& filter, FilterScale scale);

// Applies one filter; the layer should already include filterMargins of room. The result
// is premultiplied ARGB32 of the same size.
QImage applyFilter(const QImage& source, const swf::Filter& filter, FilterScale scale);

// The work of applying `filters` per pixel of the layer: one unit per pass over it (each
// blur pass counts twice, once per direction). The frame budget prices effects with it.
double filterWork(const std::vector<swf::Filter>& filters);

// Applies the filters in order, each to the previous result.
QImage applyFilters(const QImage& source, const std::vector<swf::Filter>& filters,
                    FilterScale scale);

} // namespace mc
