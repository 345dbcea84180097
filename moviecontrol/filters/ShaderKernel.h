#pragma once
// A script's shader filter on an object's layer: the layer, margins included, is the
// kernel's first input and its picture is the result.
#include "swf/Filters.h"

#include <QImage>

namespace mc {

// Premultiplied ARGB32 of the source's size; the source as it was without a kernel.
QImage applyShaderKernel(const QImage& source, const swf::ShaderFilter& filter);

} // namespace mc
