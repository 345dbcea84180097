#include "CharacterCache.h"

namespace mc {

const ConvertedShape* CharacterCache::shape(std::uint16_t id) {
    auto it = shapes_.find(id);
    if (it == shapes_.end()) {
        const swf::Shape* s = movie_.findAs<swf::Shape>(id);
        if (s == nullptr) {
            return nullptr;
        }
        it = shapes_.emplace(id, convertDrawing(swf::buildDrawing(*s))).first;
    }
    return &it->second;
}

const ConvertedShape* CharacterCache::drawing(const Drawing& drawing) {
    auto it = drawings_.find(&drawing);
    if (it == drawings_.end()) {
        // Drawings come and go with their clips; a bounded cache forgets the old ones.
        if (drawings_.size() >= kMaxDrawings) {
            drawings_.clear();
        }
        it = drawings_.emplace(&drawing, ConvertedDrawing{}).first;
        it->second.generation = drawing.generation() + 1;
    }
    if (it->second.generation != drawing.generation()) {
        it->second.shape = convertDrawing(swf::buildDrawing(drawing.shownShape()));
        it->second.generation = drawing.generation();
    }
    return &it->second.shape;
}

const ConvertedShape* CharacterCache::morph(std::uint16_t id, std::uint16_t ratio) {
    const swf::MorphShape* m = movie_.findAs<swf::MorphShape>(id);
    if (m == nullptr) {
        return nullptr;
    }
    auto& byRatio = morphs_[id];
    auto it = byRatio.find(ratio);
    if (it == byRatio.end()) {
        if (byRatio.size() >= kMaxRatiosPerMorph) {
            byRatio.clear();
        }
        it = byRatio.emplace(ratio, convertDrawing(swf::buildMorphDrawing(*m, ratio))).first;
    }
    return &it->second;
}

const QPainterPath* CharacterCache::glyph(std::uint16_t fontId, std::uint32_t index) {
    const auto key = std::make_pair(fontId, index);
    auto it = glyphs_.find(key);
    if (it == glyphs_.end()) {
        const swf::Font* font = movie_.findAs<swf::Font>(fontId);
        if (font == nullptr || index >= font->glyphs.size()) {
            return nullptr;
        }
        const swf::ShapeDrawing d = swf::buildGlyphDrawing(font->glyphs[index].records);
        const Qt::FillRule rule =
            d.fillRule == swf::FillRule::NonZero ? Qt::WindingFill : Qt::OddEvenFill;
        QPainterPath path;
        path.setFillRule(rule);
        for (const swf::Layer& layer : d.layers) {
            for (const swf::FillPath& f : layer.fills) {
                path.addPath(toPainterPath(f.path, rule));
            }
        }
        it = glyphs_.emplace(key, std::move(path)).first;
    }
    return &it->second;
}

} // namespace mc
