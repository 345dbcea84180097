#include "OutputPath.h"

namespace builder {

std::string deriveOutputPath(std::string_view sourcePath) {
    // Plain byte search: in UTF-8 the ASCII bytes of "swf" never occur inside another
    // character, so this finds exactly the characters.
    const std::size_t at = sourcePath.rfind("swf");
    if (at != std::string_view::npos) {
        return std::string(sourcePath.substr(0, at)) + "exe";
    }
    const std::size_t nameStart = sourcePath.find_last_of("/\\") + 1; // 0 without a folder
    const std::size_t dot = sourcePath.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && dot > nameStart;
    return std::string(sourcePath.substr(0, hasExtension ? dot : sourcePath.size())) + ".exe";
}

} // namespace builder
