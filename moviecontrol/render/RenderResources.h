#pragma once

#include "BitmapLibrary.h"
#include "CharacterCache.h"
#include "GroupCache.h"
#include "ShapeRasterCache.h"
#include "TextLayout.h"
#include "VideoLibrary.h"
#include "swf/Movie.h"

namespace mc {

// Everything a painter backend converts once and reuses across frames.
struct RenderResources {
    explicit RenderResources(const swf::Movie& m,
                             qint64 bitmapBudget = BitmapLibrary::kDefaultBudgetBytes)
        : movie(m), characters(m), bitmaps(m, bitmapBudget), videos(m) {}
    const swf::Movie& movie;
    CharacterCache characters;
    BitmapLibrary bitmaps;
    TextLibrary texts;
    GroupCache groups;
    ShapeRasterCache rasters;
    VideoLibrary videos;
};

} // namespace mc
