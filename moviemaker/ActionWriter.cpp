#include "moviemaker/ActionWriter.h"

#include "moviemaker/BitWriter.h"
#include "moviemaker/WriteError.h"

#include <cstring>

namespace moviemaker {

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
    fieldValue<uint16_t>(code.size(), "function body length");
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
    fieldValue<uint16_t>(payload.size(), "action payload length");
    code_.push_back(code);
    code_.push_back(static_cast<uint8_t>(payload.size() & 0xFF));
    code_.push_back(static_cast<uint8_t>(payload.size() >> 8));
    code_.insert(code_.end(), payload.begin(), payload.end());
    return *this;
}

namespace {
constexpr uint8_t kPush = 0x96;

void putU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    putU16(out, static_cast<uint16_t>(v & 0xFFFF));
    putU16(out, static_cast<uint16_t>(v >> 16));
}

void putString(std::vector<uint8_t>& out, std::string_view text) {
    if (text.find('\0') != std::string_view::npos) {
        throw WriteError("a stored string cannot contain a zero byte");
    }
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}
} // namespace

Actions& Actions::pushInt(int32_t number) {
    std::vector<uint8_t> p{7};
    putU32(p, static_cast<uint32_t>(number));
    return withPayload(kPush, p);
}

Actions& Actions::pushBool(bool value) {
    return withPayload(kPush, {5, static_cast<uint8_t>(value ? 1 : 0)});
}

Actions& Actions::pushNull() {
    return withPayload(kPush, {2});
}

Actions& Actions::pushUndefined() {
    return withPayload(kPush, {3});
}

Actions& Actions::pushRegister(uint8_t index) {
    return withPayload(kPush, {4, index});
}

Actions& Actions::pushConstant(uint16_t index) {
    if (index < 256) {
        return withPayload(kPush, {8, static_cast<uint8_t>(index)});
    }
    std::vector<uint8_t> p{9};
    putU16(p, index);
    return withPayload(kPush, p);
}

Actions& Actions::constantPool(const std::vector<std::string>& names) {
    std::vector<uint8_t> p;
    putU16(p, fieldValue<uint16_t>(names.size(), "constant pool size"));
    for (const auto& n : names) {
        putString(p, n);
    }
    return withPayload(0x88, p);
}

Actions& Actions::storeRegister(uint8_t index) {
    return withPayload(0x87, {index});
}

Actions& Actions::jump(int16_t offset) {
    std::vector<uint8_t> p;
    putU16(p, static_cast<uint16_t>(offset));
    return withPayload(0x99, p);
}

Actions& Actions::ifTrue(int16_t offset) {
    std::vector<uint8_t> p;
    putU16(p, static_cast<uint16_t>(offset));
    return withPayload(0x9D, p);
}

Actions& Actions::defineFunction(std::string_view name, const std::vector<std::string>& params,
                                 const Actions& body) {
    std::vector<uint8_t> p;
    putString(p, name);
    putU16(p, fieldValue<uint16_t>(params.size(), "parameter count"));
    for (const auto& param : params) {
        putString(p, param);
    }
    putU16(p, fieldValue<uint16_t>(body.code_.size(), "function body length"));
    withPayload(0x9B, p);
    code_.insert(code_.end(), body.code_.begin(), body.code_.end());
    return *this;
}

Actions& Actions::defineFunction2(std::string_view name, uint8_t registerCount, uint16_t flags,
                                  const std::vector<Param>& params, const Actions& body) {
    std::vector<uint8_t> p;
    putString(p, name);
    putU16(p, fieldValue<uint16_t>(params.size(), "parameter count"));
    p.push_back(registerCount);
    putU16(p, flags);
    for (const auto& param : params) {
        p.push_back(param.reg);
        putString(p, param.name);
    }
    putU16(p, fieldValue<uint16_t>(body.code_.size(), "function body length"));
    withPayload(0x8E, p);
    code_.insert(code_.end(), body.code_.begin(), body.code_.end());
    return *this;
}

Actions& Actions::with(const Actions& body) {
    std::vector<uint8_t> p;
    putU16(p, fieldValue<uint16_t>(body.code_.size(), "function body length"));
    withPayload(0x94, p);
    code_.insert(code_.end(), body.code_.begin(), body.code_.end());
    return *this;
}

Actions& Actions::tryCatch(const Actions& tryBody, std::string_view catchName,
                           const Actions& catchBody, const Actions& finallyBody) {
    bool hasCatch = !catchName.empty();
    bool hasFinally = !finallyBody.code_.empty();
    std::vector<uint8_t> p{static_cast<uint8_t>((hasCatch ? 1 : 0) | (hasFinally ? 2 : 0))};
    putU16(p, fieldValue<uint16_t>(tryBody.code_.size(), "try block length"));
    putU16(p, fieldValue<uint16_t>(hasCatch ? catchBody.code_.size() : 0, "catch block length"));
    putU16(p, fieldValue<uint16_t>(finallyBody.code_.size(), "finally block length"));
    putString(p, catchName);
    withPayload(0x8F, p);
    code_.insert(code_.end(), tryBody.code_.begin(), tryBody.code_.end());
    if (hasCatch) {
        code_.insert(code_.end(), catchBody.code_.begin(), catchBody.code_.end());
    }
    code_.insert(code_.end(), finallyBody.code_.begin(), finallyBody.code_.end());
    return *this;
}

Actions& Actions::setTarget(std::string_view target) {
    std::vector<uint8_t> p;
    putString(p, target);
    return withPayload(0x8B, p);
}

Actions& Actions::gotoFrame2(bool play) {
    return withPayload(0x9F, {static_cast<uint8_t>(play ? 1 : 0)});
}

Actions& Actions::getUrl(std::string_view url, std::string_view target) {
    std::vector<uint8_t> p;
    putString(p, url);
    putString(p, target);
    return withPayload(0x83, p);
}

Actions& Actions::getUrl2(uint8_t flags) {
    return withPayload(0x9A, {flags});
}

Actions& Actions::raw(const std::vector<uint8_t>& bytes) {
    code_.insert(code_.end(), bytes.begin(), bytes.end());
    return *this;
}

std::vector<uint8_t> Actions::bytes() const {
    std::vector<uint8_t> all = code_;
    all.push_back(0);
    return all;
}

} // namespace moviemaker
