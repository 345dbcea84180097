#include "LoadableFile.h"

#include <algorithm>
#include <initializer_list>
#include <limits>

namespace mc {

namespace {

// Movies loaded by scripts get less room than the first one.
constexpr std::size_t kMaxLoadedBody = 64u << 20;

bool startsWith(std::span<const std::uint8_t> b, std::initializer_list<std::uint8_t> sig) {
    return b.size() >= sig.size() && std::equal(sig.begin(), sig.end(), b.begin());
}

} // namespace

std::optional<LoadableFile> readLoadableFile(std::vector<std::uint8_t> bytes,
                                             std::uint8_t version) {
    LoadableFile file;
    if (startsWith(bytes, {'F', 'W', 'S'}) || startsWith(bytes, {'C', 'W', 'S'}) ||
        startsWith(bytes, {'Z', 'W', 'S'})) {
        swf::LoadLimits limits;
        limits.maxBodyBytes = kMaxLoadedBody;
        swf::LoadResult loaded =
            swf::loadMovie(bytes, limits, swf::LoadMode::DefinitionsOnFirstUse);
        if (!loaded.ok() || !loaded.movie) {
            return std::nullopt;
        }
        file.movie = std::move(loaded.movie);
        return file;
    }
    const auto size = pictureSize(bytes);
    if (!size) {
        return std::nullopt;
    }
    file.ownedBytes = std::move(bytes);
    auto movie = std::make_unique<swf::Movie>();
    movie->header.version = version;
    movie->header.declaredLength = static_cast<std::uint32_t>(file.ownedBytes.size());
    movie->header.frameRect = swf::Rect{0, static_cast<std::int32_t>(size->width * 20), 0,
                                        static_cast<std::int32_t>(size->height * 20)};
    movie->header.frameCount = 1;
    // The bitmap tag that carries JPEG, PNG or GIF data alike.
    swf::JpegBitmap bitmap;
    bitmap.id = 1;
    bitmap.version = 2;
    bitmap.imageData = file.ownedBytes;
    movie->dictionary.emplace(1, bitmap);
    swf::PlaceObject place;
    place.version = 2;
    place.depth = 1;
    place.characterId = 1;
    place.matrix = swf::Matrix{};
    swf::Frame frame;
    frame.tags.emplace_back(std::move(place));
    movie->root.declaredFrameCount = 1;
    movie->root.frames.push_back(std::move(frame));
    file.movie = std::move(movie);
    return file;
}

LoadableFile emptyLoadableFile(std::size_t bytes, std::uint8_t version) {
    LoadableFile file;
    auto movie = std::make_unique<swf::Movie>();
    movie->header.version = version;
    movie->header.declaredLength = static_cast<std::uint32_t>(
        std::min<std::size_t>(bytes, std::numeric_limits<std::uint32_t>::max()));
    movie->header.frameCount = 1;
    movie->root.declaredFrameCount = 1;
    movie->root.frames.emplace_back();
    file.movie = std::move(movie);
    return file;
}

} // namespace mc
