#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace swftest {

// The timeline actions of the first script version, in the order given; bytes() ends the
// list with the zero action code.
class Actions {
  public:
    Actions& stop();
    Actions& play();
    Actions& nextFrame();
    Actions& previousFrame();
    // Frames count from 0 here, as the action stores them.
    Actions& gotoFrame(uint16_t frameIndex);
    Actions& gotoLabel(std::string_view label);

    // Later versions' stack actions, for scripted test movies.
    Actions& push(std::string_view text);
    Actions& push(double number);
    // An action without payload by its code (0x26 trace, 0x1C get variable, 0x4E get
    // member, 0x52 call method...).
    Actions& code(uint8_t actionCode);
    // Calls `object.method(args...)` with string arguments and drops the result:
    // the arguments are pushed last first, then their count, the object and the name.
    Actions& callMethod(std::string_view object, std::string_view method,
                        const std::vector<std::string>& args = {});
    Actions& trace(std::string_view text);
    // trace(eval(expression)) for a variable or a dotted member path ("a.b._x").
    Actions& traceValue(std::string_view path);
    Actions& setVariable(std::string_view name, std::string_view value);
    Actions& setVariable(std::string_view name, double value);
    // Pushes a function without parameters whose body is `body` (first-version functions).
    Actions& function(const Actions& body);
    // The bytes of these actions without the closing zero, to nest in a function.
    std::vector<uint8_t> body() const { return code_; }

    std::vector<uint8_t> bytes() const;

  private:
    // Pushes the value of a variable or dotted member path.
    Actions& pushValue(std::string_view path);
    Actions& withPayload(uint8_t code, const std::vector<uint8_t>& payload);
    std::vector<uint8_t> code_;
};

} // namespace swftest
