// Loads arbitrary bytes as a movie and touches everything the player would: every definition,
// every frame's control tags, and the geometry of every shape, glyph and morph shape. The same
// bytes loaded with shapes read on first use, asked for in another order, must end with the
// same characters.
#include "swf/Geometry.h"
#include "swf/Movie.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

std::size_t sink = 0;

void touch(const swf::ShapeDrawing& drawing) {
    for (const swf::Layer& layer : drawing.layers) {
        for (const swf::FillPath& fill : layer.fills) {
            sink += fill.path.elements.size() + fill.style;
        }
        for (const swf::StrokePath& stroke : layer.strokes) {
            sink += stroke.path.elements.size() + stroke.style;
        }
    }
}

void walk(const swf::Timeline& timeline) {
    for (const swf::Frame& frame : timeline.frames) {
        for (const swf::ControlTag& tag : frame.tags) {
            if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
                sink += place->depth + (place->filters ? place->filters->size() : 0);
            } else if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
                sink += action->actions.actions.size();
            }
        }
    }
}

void compareWithDefinitionsOnFirstUse(std::span<const std::uint8_t> file,
                                      const swf::LoadLimits& limits, const swf::Movie& whole) {
    const swf::LoadResult lazy = swf::loadMovie(file, limits, swf::LoadMode::DefinitionsOnFirstUse);
    if (!lazy.ok()) {
        std::abort();
    }
    const swf::Movie& movie = *lazy.movie;
    for (auto it = whole.dictionary.rbegin(); it != whole.dictionary.rend(); ++it) {
        const swf::Definition* found = movie.find(it->first);
        if (found == nullptr || found->index() != it->second.index()) {
            std::abort();
        }
    }
    movie.readAllDefinitions();
    if (movie.dictionary.size() != whole.dictionary.size() ||
        movie.root.frames.size() != whole.root.frames.size()) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    swf::LoadLimits limits;
    // Keep single runs quick; the limits themselves are what is under test, not their size.
    limits.maxBodyBytes = 64u << 20;
    const swf::LoadResult result = swf::loadMovie(std::span(data, size), limits);
    swf::Header header;
    (void)swf::readHeader(std::span(data, size), header);
    if (!result.ok()) {
        return 0;
    }
    const swf::Movie& movie = *result.movie;
    compareWithDefinitionsOnFirstUse(std::span(data, size), limits, movie);
    walk(movie.root);
    for (const auto& [id, definition] : movie.dictionary) {
        if (const auto* shape = std::get_if<swf::Shape>(&definition)) {
            touch(swf::buildDrawing(*shape));
        } else if (const auto* morph = std::get_if<swf::MorphShape>(&definition)) {
            for (const std::uint16_t ratio : {0, 21845, 32768, 65535}) {
                touch(swf::buildMorphDrawing(*morph, ratio));
            }
        } else if (const auto* font = std::get_if<swf::Font>(&definition)) {
            for (const swf::Glyph& glyph : font->glyphs) {
                touch(swf::buildGlyphDrawing(glyph.records));
            }
        } else if (const auto* sprite = std::get_if<swf::Sprite>(&definition)) {
            walk(sprite->timeline);
        }
        sink += id;
    }
    return 0;
}
