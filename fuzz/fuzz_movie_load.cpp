// Arbitrary bytes as a file beside the movie: read as a picture or a movie, then loaded into
// a clip and a level of a fixed first movie and played a few frames. Nothing may crash, and a
// picture's size stays within the decoders' limits.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "LoadableFile.h"
#include "MovieCatalog.h"
#include "RecordingBackend.h"
#include "StageScripts.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace {

const std::vector<std::uint8_t>& firstMovie() {
    static const std::vector<std::uint8_t> bytes = [] {
        moviemaker::MovieHeader header;
        header.version = 8;
        moviemaker::SwfWriter movie(header);
        movie.doAction(moviemaker::Actions()
                           .callMethod("this", "createEmptyMovieClip", {"holder", "1"})
                           .push("loaded.swf")
                           .push("holder")
                           .getUrl2(0x40)
                           .getUrl("loaded.swf", "_level1"));
        movie.showFrame();
        movie.showFrame();
        return movie.finish();
    }();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    if (const auto picture = mc::pictureSize(input)) {
        if (picture->width == 0 || picture->height == 0 || picture->width > 16384 ||
            picture->height > 16384) {
            std::abort();
        }
    }
    swf::LoadResult first = swf::loadMovie(firstMovie());
    if (!first.ok()) {
        std::abort();
    }
    mc::MovieCatalog catalog(*first.movie);
    mc::StageCallbacks callbacks;
    callbacks.readBeside = [&](const std::string&) {
        return std::vector<std::uint8_t>(input.begin(), input.end());
    };
    mc::StageScripts scripts(*first.movie, std::move(callbacks));
    mc::TimelineLimits limits;
    limits.maxObjects = 5'000;
    limits.maxCommands = 20'000;
    mc::TimelinePlayer player(catalog, first.movie->root, mc::Rgba{255, 255, 255, 255}, limits,
                              &scripts, first.movie.get());
    mc::RecordingBackend backend;
    for (int i = 0; i < 3; ++i) {
        player.advance();
        player.render(backend);
    }
    return 0;
}
