#pragma once

#include <cstdint>
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

    std::vector<uint8_t> bytes() const;

  private:
    Actions& withPayload(uint8_t code, const std::vector<uint8_t>& payload);
    std::vector<uint8_t> code_;
};

} // namespace swftest
