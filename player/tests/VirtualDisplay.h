#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

namespace player::testing {

// An X server of the test's own (Xvfb) and a person's hand on its mouse: real pointer and
// button events through the XTest extension, reaching whatever window lies under the
// pointer as they would from a mouse. ready() is false when Xvfb or XTest is missing.
class VirtualDisplay {
  public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ready() const { return display_ != nullptr; }
    // Why it is not ready.
    const std::string& problem() const { return problem_; }
    // The DISPLAY value, ":N".
    const std::string& name() const { return name_; }

    struct Geometry {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    // The shown top-level window of process `pid` once it appears; 0 when none did in time.
    unsigned long windowOf(pid_t pid, std::chrono::milliseconds timeout);
    // Where the window is on the screen.
    std::optional<Geometry> geometry(unsigned long window);
    // The colour shown on the screen at (x, y), 0xRRGGBB.
    std::optional<std::uint32_t> pixel(int x, int y);
    // Waits until the screen shows `rgb` at (x, y); false when it did not in time.
    bool waitForPixel(int x, int y, std::uint32_t rgb, std::chrono::milliseconds timeout);

    void moveMouse(int x, int y);
    void pressLeft();
    void releaseLeft();

  private:
    void sync();

    pid_t server_ = 0;
    std::string name_;
    std::string problem_;
    // Xlib's Display, kept opaque so that no X header reaches the tests.
    void* display_ = nullptr;
};

} // namespace player::testing
