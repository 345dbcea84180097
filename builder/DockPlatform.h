#pragma once

#include "DockGeometry.h"

#include <optional>
#include <vector>

namespace builder {

struct LoadedWindow {
    WindowHandle window = 0;
    bool visible = false;
    DockRect rect;
};

// What the docking asks of the window system. The Qt side answers from the builder's own
// windows; tests answer from a table.
class DockPlatform {
  public:
    virtual ~DockPlatform() = default;

    // The outer rectangle of a live window; nothing once the window is gone.
    virtual std::optional<DockRect> windowRect(WindowHandle window) const = 0;
    virtual DockPoint cursorPos() const = 0;
    // The part of the screen that windows may use (without panels and task bars).
    virtual DockRect workArea() const = 0;
    // The builder's live windows in the program's window order.
    virtual std::vector<LoadedWindow> loadedWindows() const = 0;
    virtual void moveWindow(WindowHandle window, const DockRect& rect) = 0;
    // Puts the docking in front of the window's own handling of its move and size steps.
    virtual void installDockFilter(WindowHandle window) = 0;
};

} // namespace builder
