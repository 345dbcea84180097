#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace moviemaker {

// Thrown when a value cannot be written as asked: it does not fit the field the format
// gives it (a delta wider than 17 bits, a string with a zero byte, a 65536th frame), or a
// version or combination does not exist. Nothing is written in that case: the builders
// throw before the movie's bytes exist, so a caller that catches this at its edge (the
// composer, a tool) never holds a corrupt movie.
class WriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// `value` as the field type `Field`; a count or length that does not fit is refused rather
// than cut to its low bits, which would leave a tag whose lengths lie.
template <typename Field> Field fieldValue(std::uint64_t value, const char* what) {
    if (value > std::numeric_limits<Field>::max()) {
        throw WriteError(std::string(what) + " does not fit its " +
                         std::to_string(std::numeric_limits<Field>::digits) + "-bit field");
    }
    return static_cast<Field>(value);
}

} // namespace moviemaker
