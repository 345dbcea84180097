#pragma once
// Reads an ABC block. Every count is checked against the bytes that remain and every index
// against its pool: a damaged block throws AbcError, never reads out of bounds or allocates
// beyond what its bytes could describe.

#include "avm2/AbcFile.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace avm2 {

// What Flash reports as a VerifyError while loading: its error number and message.
class AbcError : public std::runtime_error {
  public:
    AbcError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

  private:
    int code_;
};

AbcFile readAbc(std::span<const std::uint8_t> bytes);

} // namespace avm2
