// Reads arbitrary bytes as a trace input file: the reader must refuse or take them without
// crashing, and keep every position and wheel turn finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "InputScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto script =
        readInputScript(std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (!script) {
        return 0;
    }
    for (const auto& frame : script->frames) {
        for (const InputEvent& e : frame) {
            if (!std::isfinite(e.x) || !std::isfinite(e.y)) {
                std::abort();
            }
        }
    }
    return 0;
}
