#include "PushedValue.h"

#include <bit>
#include <cstring>

namespace mc {

namespace {

std::uint32_t le32(std::span<const std::uint8_t> p, std::size_t at) {
    return static_cast<std::uint32_t>(p[at]) | (static_cast<std::uint32_t>(p[at + 1]) << 8) |
           (static_cast<std::uint32_t>(p[at + 2]) << 16) |
           (static_cast<std::uint32_t>(p[at + 3]) << 24);
}

} // namespace

std::optional<PushedValue> lastPushedLiteral(std::span<const std::uint8_t> payload) {
    std::optional<PushedValue> last;
    std::size_t at = 0;
    while (at < payload.size()) {
        const std::uint8_t type = payload[at++];
        const std::size_t left = payload.size() - at;
        switch (type) {
        case 0: { // string
            std::size_t end = at;
            while (end < payload.size() && payload[end] != 0) {
                ++end;
            }
            PushedValue v;
            v.text.assign(reinterpret_cast<const char*>(payload.data() + at), end - at);
            last = std::move(v);
            at = end + 1;
            break;
        }
        case 1: { // float
            if (left < 4) {
                return std::nullopt;
            }
            const float f = std::bit_cast<float>(le32(payload, at));
            last = PushedValue{true, static_cast<double>(f), {}};
            at += 4;
            break;
        }
        case 2: // null
        case 3: // undefined
            last.reset();
            break;
        case 4: // register
        case 5: // boolean
        case 8: // constant pool index
            if (left < 1) {
                return std::nullopt;
            }
            last.reset();
            at += 1;
            break;
        case 9:
            if (left < 2) {
                return std::nullopt;
            }
            last.reset();
            at += 2;
            break;
        case 6: { // double, stored as two little-endian words, high word first
            if (left < 8) {
                return std::nullopt;
            }
            const std::uint64_t hi = le32(payload, at);
            const std::uint64_t lo = le32(payload, at + 4);
            last = PushedValue{true, std::bit_cast<double>((hi << 32) | lo), {}};
            at += 8;
            break;
        }
        case 7: { // int32
            if (left < 4) {
                return std::nullopt;
            }
            last = PushedValue{
                true, static_cast<double>(static_cast<std::int32_t>(le32(payload, at))), {}};
            at += 4;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return last;
}

} // namespace mc
