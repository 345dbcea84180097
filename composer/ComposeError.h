#pragma once

#include <stdexcept>
#include <string>

namespace composer {

// A reason the composition cannot go on, in words for the person: which file, what is wrong
// with it and what to do. Nothing has been written when it is thrown.
class ComposeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace composer
