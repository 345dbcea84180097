// Arbitrary bytes as a movie for the header reader: any status, never a crash.
#include "FuzzFile.h"

#include "cardformat/ErrorLog.h"
#include "cardformat/SwfHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFile file(".swf");
    static const bool configured = (cardformat::ErrorLog::configure("null", "/dev"), true);
    (void)configured;
    const cardformat::FlashHeader h = cardformat::getFlashHeader(file.write(data, size));
    if (h.Status < 0 || h.Status > 2 || h.Width < 0 || h.Height < 0) {
        std::abort();
    }
    return 0;
}
