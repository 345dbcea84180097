#pragma once
// Reads what the writer wrote with the player's own reader, and turns the writer's values
// into what the reader should give back for them.

#include "moviemaker/SwfWriter.h"
#include "swf/Movie.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace moviemaker::roundtrip {

// A well-formed movie loads without a single diagnostic; any diagnostic fails the test.
inline std::unique_ptr<swf::Movie> readBack(const std::vector<uint8_t>& bytes) {
    swf::LoadResult result = swf::loadMovie(bytes);
    if (!result.ok()) {
        ADD_FAILURE() << "the reader refused the movie";
        return nullptr;
    }
    for (const swf::Diagnostic& d : result.movie->diagnostics) {
        ADD_FAILURE() << "reader diagnostic " << static_cast<int>(d.issue) << " in tag "
                      << d.tagCode << " at " << d.offset;
    }
    return std::move(result.movie);
}

inline swf::Rgba expected(Rgba c) {
    return {c.r, c.g, c.b, c.a};
}

inline swf::Rgba opaque(Rgba c) {
    return {c.r, c.g, c.b, 255};
}

inline swf::Rect expected(const Rect& r) {
    return {r.xMin, r.xMax, r.yMin, r.yMax};
}

inline swf::Matrix expected(const Matrix& m) {
    return {
        m.scaleX / 65536.0, m.rotateSkew0 / 65536.0,           m.rotateSkew1 / 65536.0,
        m.scaleY / 65536.0, static_cast<double>(m.translateX), static_cast<double>(m.translateY)};
}

inline swf::ColorTransform expected(const ColorTransform& cx, bool withAlpha) {
    return {cx.redMult, cx.greenMult, cx.blueMult, withAlpha ? cx.alphaMult : int16_t{256},
            cx.redAdd,  cx.greenAdd,  cx.blueAdd,  withAlpha ? cx.alphaAdd : int16_t{0}};
}

// The control tags of one frame of the root timeline.
inline const std::vector<swf::ControlTag>& frameTags(const swf::Movie& movie, std::size_t frame) {
    return movie.root.frames.at(frame).tags;
}

template <typename T> const T& tagAs(const swf::ControlTag& tag) {
    const T* value = std::get_if<T>(&tag);
    if (value == nullptr) {
        throw std::runtime_error("the tag read back is of another kind");
    }
    return *value;
}

} // namespace moviemaker::roundtrip
