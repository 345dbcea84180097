#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace moviemaker {

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
    // An action without payload by its code (swf::op::Trace, GetVariable, GetMember,
    // CallMethod...).
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

    // Script actions of versions 4 to 7 (codes in swf/ActionCodes.h).
    Actions& pushInt(int32_t number);
    Actions& pushBool(bool value);
    Actions& pushNull();
    Actions& pushUndefined();
    Actions& pushRegister(uint8_t index);
    Actions& pushConstant(uint16_t index);
    Actions& constantPool(const std::vector<std::string>& names);
    Actions& storeRegister(uint8_t index);
    // Offsets count from the end of the jump action.
    Actions& jump(int16_t offset);
    Actions& ifTrue(int16_t offset);
    Actions& defineFunction(std::string_view name, const std::vector<std::string>& params,
                            const Actions& body);
    struct Param {
        uint8_t reg;
        std::string name;
    };
    Actions& defineFunction2(std::string_view name, uint8_t registerCount, uint16_t flags,
                             const std::vector<Param>& params, const Actions& body);
    Actions& with(const Actions& body);
    // try { tryBody } catch (catchName) { catchBody } finally { finallyBody }; an empty
    // catch name leaves the catch block out, an empty finally body the finally block.
    Actions& tryCatch(const Actions& tryBody, std::string_view catchName, const Actions& catchBody,
                      const Actions& finallyBody);
    Actions& setTarget(std::string_view target);
    Actions& gotoFrame2(bool play);
    Actions& getUrl(std::string_view url, std::string_view target);
    Actions& getUrl2(uint8_t flags);
    // Bytes as given, for malformed blocks.
    Actions& raw(const std::vector<uint8_t>& bytes);
    // Byte length so far, without the closing End.
    size_t size() const { return code_.size(); }

  private:
    // Pushes the value of a variable or dotted member path.
    Actions& pushValue(std::string_view path);
    Actions& withPayload(uint8_t code, const std::vector<uint8_t>& payload);
    std::vector<uint8_t> code_;
};

} // namespace moviemaker
