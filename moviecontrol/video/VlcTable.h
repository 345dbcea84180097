#pragma once
// Variable-length code lookup: every code of a table is at most kMaxBits long, so one peek of
// kMaxBits bits indexes a flat table that gives the symbol and its true length.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "BitStream.h"

namespace video {

struct VlcCode {
    std::uint16_t code;
    std::uint8_t length;
};

class VlcTable {
  public:
    static constexpr unsigned kMaxBits = 13;
    // Symbol i has codes[i]; entries of length 0 are holes with no code.
    explicit VlcTable(std::initializer_list<VlcCode> codes);

    // The symbol at the reader's position, consumed; -1 (nothing consumed) for a bit pattern
    // that starts no code.
    int read(BitStream& in) const;

  private:
    struct Entry {
        std::int16_t symbol = -1;
        std::uint8_t length = 0;
    };
    std::vector<Entry> entries_;
};

} // namespace video
