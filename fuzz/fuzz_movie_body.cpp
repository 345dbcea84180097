// Arbitrary bytes as a movie, compressed or not: the played header, the stage colour, the
// inflated movie and the note a builder reads from it. Any answer, never a crash or an
// allocation beyond the limit.
#include "FuzzFile.h"

#include "cardformat/ErrorLog.h"
#include "cardformat/MovieBody.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/SwfHeader.h"

#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFile file(".swf");
    static const bool configured = (cardformat::ErrorLog::configure("null", "/dev"), true);
    (void)configured;
    const std::span<const std::uint8_t> bytes(data, size);
    // A small limit keeps a claimed length of gigabytes from costing the fuzzer its memory.
    constexpr std::uint64_t Limit = std::uint64_t{4} << 20;
    if (const auto movie = cardformat::inflatedMovie(bytes, Limit)) {
        if (movie->size() > Limit || (*movie)[0] != 'F') {
            std::abort();
        }
    }
    if (cardformat::moviePrefix(bytes, 4096).size() > 4096 + 8) {
        std::abort();
    }
    if (cardformat::firstFrameBackground(bytes) > 0xFFFFFFu) {
        std::abort();
    }
    const std::string& path = file.write(data, size);
    const cardformat::PlayedHeader played = cardformat::getPlayedHeader(path);
    if (played.header.Status < 0 || played.header.Status > 2 || played.background > 0xFFFFFFu) {
        std::abort();
    }
    (void)cardformat::getMovieNote(path);
    return 0;
}
