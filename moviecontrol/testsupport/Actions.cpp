#include "testsupport/Actions.h"

#include "testsupport/BitWriter.h"

#include <stdexcept>

namespace swftest {

namespace {
constexpr uint8_t kNextFrame = 0x04;
constexpr uint8_t kPreviousFrame = 0x05;
constexpr uint8_t kPlay = 0x06;
constexpr uint8_t kStop = 0x07;
constexpr uint8_t kGotoFrame = 0x81;
constexpr uint8_t kGotoLabel = 0x8C;
} // namespace

Actions& Actions::stop() {
    code_.push_back(kStop);
    return *this;
}

Actions& Actions::play() {
    code_.push_back(kPlay);
    return *this;
}

Actions& Actions::nextFrame() {
    code_.push_back(kNextFrame);
    return *this;
}

Actions& Actions::previousFrame() {
    code_.push_back(kPreviousFrame);
    return *this;
}

Actions& Actions::gotoFrame(uint16_t frameIndex) {
    return withPayload(kGotoFrame, {static_cast<uint8_t>(frameIndex & 0xFF),
                                    static_cast<uint8_t>(frameIndex >> 8)});
}

Actions& Actions::gotoLabel(std::string_view label) {
    BitWriter text;
    text.string(label);
    return withPayload(kGotoLabel, text.data());
}

Actions& Actions::withPayload(uint8_t code, const std::vector<uint8_t>& payload) {
    // Codes from 0x80 up carry a 16-bit payload length.
    if (payload.size() > 0xFFFF) {
        throw std::invalid_argument("action payload too long");
    }
    code_.push_back(code);
    code_.push_back(static_cast<uint8_t>(payload.size() & 0xFF));
    code_.push_back(static_cast<uint8_t>(payload.size() >> 8));
    code_.insert(code_.end(), payload.begin(), payload.end());
    return *this;
}

std::vector<uint8_t> Actions::bytes() const {
    std::vector<uint8_t> all = code_;
    all.push_back(0);
    return all;
}

} // namespace swftest
