#include "OutputPath.h"

namespace builder {

std::optional<std::string> deriveOutputPath(std::string_view sourcePath) {
    // Plain byte search: in UTF-8 the ASCII bytes of "swf" never occur inside another
    // character, so this finds exactly the characters.
    const std::size_t at = sourcePath.rfind("swf");
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string derived(sourcePath.substr(0, at));
    derived += "exe";
    return derived;
}

} // namespace builder
