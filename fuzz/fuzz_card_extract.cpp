// Arbitrary bytes behind a zero template, as the player meets them: extract the movie, read
// its header and note. The extracted file must be exactly the bytes behind the template.
#include "FuzzFile.h"

#include "cardformat/CardLayout.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/FileIO.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/SwfHeader.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFile card(".exe");
    static const bool configured = (cardformat::ErrorLog::configure("null", "/dev"), true);
    (void)configured;
    // Half of the inputs are short of the offset, to reach the refusals too.
    const bool shortCard = size > 0 && (data[0] & 1) != 0;
    const std::size_t prefix = shortCard ? cardformat::MovieOffset / 2 : cardformat::MovieOffset;
    const std::string movie = cardformat::Exe2Swf(card.write(data, size, prefix));
    if (movie == cardformat::NoMovie) {
        return 0;
    }
    const cardformat::Bytes extracted = cardformat::readWholeFile(movie);
    const std::size_t skip =
        prefix == cardformat::MovieOffset ? 0 : cardformat::MovieOffset - prefix;
    if (extracted.size() != size - skip ||
        std::memcmp(extracted.data(), data + skip, extracted.size()) != 0) {
        std::abort();
    }
    (void)cardformat::getFlashHeader(movie);
    (void)cardformat::getNote(movie);
    ::unlink(movie.c_str());
    return 0;
}
