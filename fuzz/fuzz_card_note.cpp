// Arbitrary bytes as a movie for the note reader, then the writer on the same file: whatever
// the reader made of it, a note the writer accepted must read back exactly.
#include "FuzzFile.h"

#include "cardformat/ErrorLog.h"
#include "cardformat/NoteTrailer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFile file(".swf");
    static const bool configured = (cardformat::ErrorLog::configure("null", "/dev"), true);
    (void)configured;
    const std::string& path = file.write(data, size);
    (void)cardformat::getNote(path);

    std::string title = "标题";
    const bool written = cardformat::writeNote(path, "作者", "pw", "祝福\r\n第二行", "1.0", title,
                                               [](auto, auto) { return true; });
    if (written) {
        const cardformat::CardNote expected{"作者", "pw", "标题", "祝福\r\n第二行", "1.0"};
        if (!(cardformat::getNote(path) == expected)) {
            std::abort();
        }
    }
    return 0;
}
