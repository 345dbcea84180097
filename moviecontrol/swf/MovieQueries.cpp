#include "DeferredDefinitions.h"
#include "swf/Movie.h"

#include <algorithm>

namespace swf {

const Definition* Movie::find(std::uint16_t id) const {
    const auto it = dictionary.find(id);
    if (it != dictionary.end()) {
        return &it->second;
    }
    return loader_ ? readDeferred(*loader_, id) : nullptr;
}

void Movie::readAllDefinitions() const {
    if (loader_) {
        readAllDeferred(*loader_);
    }
}

bool Movie::has(Issue issue) const {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [issue](const Diagnostic& d) { return d.issue == issue; });
}

} // namespace swf
