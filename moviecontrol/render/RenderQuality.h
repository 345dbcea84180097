#pragma once

namespace mc {

// High anti-aliases edges and smooths bitmaps; Low does neither.
enum class RenderQuality { High, Low };

} // namespace mc
