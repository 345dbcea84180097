#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace mc {

// The last literal of an ActionPush, when it is a number or a string: enough to follow
// "push 5; gotoFrame2" without an interpreter.
struct PushedValue {
    bool isNumber = false;
    double number = 0.0;
    std::string text;
};

std::optional<PushedValue> lastPushedLiteral(std::span<const std::uint8_t> payload);

} // namespace mc
