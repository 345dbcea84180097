// Arbitrary PATH values, program names and buffer lengths for the card launcher's search of
// a message tool: a found path always fits its buffer and names an absolute file.
#include "RuntimeLookup.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t bufferSize = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    // The name up to the first line end, PATH behind it; both end at a zero byte.
    const std::size_t lineEnd = text.find('\n');
    const std::string name = text.substr(0, lineEnd).c_str();
    const std::string path = lineEnd == std::string::npos ? "" : text.substr(lineEnd + 1).c_str();

    // Exactly bufferSize bytes, so that the sanitizer sees any write past them.
    char* found = static_cast<char*>(std::malloc(bufferSize > 0 ? bufferSize : 1));
    if (launcher::findOnPath(name.c_str(), path.c_str(), found, bufferSize)) {
        if (found[0] != '/' || std::strlen(found) >= bufferSize) {
            std::abort();
        }
    }
    std::free(found);

    launcher::MessageCommand command{};
    if (launcher::messageCommand(path.c_str(), "Velmora", name.c_str(), command)) {
        if (command.program[0] != '/' || command.argv[0] == nullptr) {
            std::abort();
        }
    }
    return 0;
}
