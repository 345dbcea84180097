#pragma once
// The process's one sound device, through SDL's audio subsystem (no SDL window). It opens
// when the first user asks for it and closes when the last user lets go, so a program that
// ends its movie leaves no device open. Without a device the mixer still runs for the
// movie's clock, silent, and the log says so once.

#include "Mixer.h"

#include <memory>

namespace audio {

class SdlOutput {
  public:
    // A claim on the device; the device stays open while any claim lives.
    class Claim {
      public:
        Claim(const Claim&) = delete;
        Claim& operator=(const Claim&) = delete;
        ~Claim();
        Mixer& mixer();
        // Whether sound really reaches a device.
        bool audible() const;

      private:
        friend class SdlOutput;
        Claim() = default;
    };

    static std::unique_ptr<Claim> claim();
    // Whether a device is open now (for tests of the end of a program).
    static bool deviceOpen();
};

} // namespace audio
