#include "testsupport/Actions.h"

#include "testsupport/BitWriter.h"

#include <cstring>
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

Actions& Actions::push(std::string_view text) {
    BitWriter value;
    value.u8(0); // string
    value.string(text);
    return withPayload(0x96, value.data());
}

Actions& Actions::push(double number) {
    uint64_t bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    std::vector<uint8_t> value{6}; // double: the high word first, each word low byte first
    for (int word : {1, 0}) {
        const auto w = static_cast<uint32_t>(bits >> (32 * word));
        for (int i = 0; i < 4; ++i) {
            value.push_back(static_cast<uint8_t>(w >> (8 * i)));
        }
    }
    return withPayload(0x96, value);
}

Actions& Actions::code(uint8_t actionCode) {
    code_.push_back(actionCode);
    return *this;
}

Actions& Actions::callMethod(std::string_view object, std::string_view method,
                             const std::vector<std::string>& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        push(*it);
    }
    push(static_cast<double>(args.size()));
    pushValue(object);
    push(method);
    code(0x52);        // call method
    return code(0x17); // pop
}

Actions& Actions::function(const Actions& body) {
    const std::vector<uint8_t> code = body.body();
    if (code.size() > 0xFFFF) {
        throw std::length_error("function body too long");
    }
    // Name (empty: pushed as a value), no parameters, then the body's length; the body
    // follows the action.
    withPayload(0x9B, {0, 0, 0, static_cast<uint8_t>(code.size() & 0xFF),
                       static_cast<uint8_t>(code.size() >> 8)});
    code_.insert(code_.end(), code.begin(), code.end());
    return *this;
}

Actions& Actions::trace(std::string_view text) {
    push(text);
    return code(0x26);
}

Actions& Actions::traceValue(std::string_view path) {
    pushValue(path);
    return code(0x26);
}

Actions& Actions::setVariable(std::string_view name, std::string_view value) {
    push(name);
    push(value);
    return code(0x1D);
}

Actions& Actions::setVariable(std::string_view name, double value) {
    push(name);
    push(value);
    return code(0x1D);
}

Actions& Actions::pushValue(std::string_view path) {
    // The first part is a variable, each further one a member of the value before.
    std::size_t start = 0;
    bool first = true;
    while (start <= path.size()) {
        const std::size_t dot = path.find('.', start);
        const std::string_view part = path.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        push(part);
        code(first ? 0x1C : 0x4E);
        first = false;
        if (dot == std::string_view::npos) {
            break;
        }
        start = dot + 1;
    }
    return *this;
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
