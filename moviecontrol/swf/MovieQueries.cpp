#include "swf/Movie.h"

#include <algorithm>

namespace swf {

const Definition* Movie::find(std::uint16_t id) const {
    const auto it = dictionary.find(id);
    return it == dictionary.end() ? nullptr : &it->second;
}

bool Movie::has(Issue issue) const {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [issue](const Diagnostic& d) { return d.issue == issue; });
}

} // namespace swf
