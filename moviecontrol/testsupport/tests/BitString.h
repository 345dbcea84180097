#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace swftest::testing {

// Bytes from a string of bit groups ("00011 0101"), most significant bit first, the last
// byte padded with zeros. Spaces only separate fields for the reader.
inline std::vector<uint8_t> bits(std::string_view groups) {
    std::vector<uint8_t> out;
    unsigned used = 0;
    for (const char c : groups) {
        if (c == ' ' || c == '\n') {
            continue;
        }
        if (c != '0' && c != '1') {
            throw std::invalid_argument("bit strings hold 0, 1 and spaces");
        }
        if (used == 0) {
            out.push_back(0);
        }
        if (c == '1') {
            out.back() = static_cast<uint8_t>(out.back() | (0x80u >> used));
        }
        used = (used + 1) % 8;
    }
    return out;
}

inline std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

} // namespace swftest::testing
