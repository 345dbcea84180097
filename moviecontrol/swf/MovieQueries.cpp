#include "DeferredShapes.h"
#include "swf/Movie.h"

#include <algorithm>

namespace swf {

Movie::Movie() = default;
Movie::~Movie() = default;

const Definition* Movie::find(std::uint16_t id) const {
    const auto it = dictionary.find(id);
    if (it != dictionary.end()) {
        return &it->second;
    }
    return deferred_ ? deferred_->read(id, dictionary, diagnostics) : nullptr;
}

void Movie::readAllDefinitions() const {
    if (deferred_) {
        deferred_->readAll(dictionary, diagnostics);
    }
}

bool Movie::has(Issue issue) const {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [issue](const Diagnostic& d) { return d.issue == issue; });
}

} // namespace swf
