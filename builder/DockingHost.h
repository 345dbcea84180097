#pragma once

#include "DockPlatform.h"
#include "Docking.h"

#include <QObject>
#include <QPointer>
#include <optional>
#include <vector>

namespace builder {

class DockedWindow;

// The docking on Qt: it knows the builder's live windows, answers the docking's questions
// about them and turns a drag on an attached window's caption bar into the move steps the
// docking adjusts. One per builder process, created before the first window.
class DockingHost : public QObject, public DockPlatform {
    Q_OBJECT

  public:
    DockingHost();

    Docking& docking() { return docking_; }
    void attach(const DockedWindow& window, bool isMain);

    // Called by every builder window when it is created and destroyed.
    WindowHandle registerWindow(DockedWindow* window);
    void forgetWindow(WindowHandle window);
    DockedWindow* window(WindowHandle handle) const;

    std::optional<DockRect> windowRect(WindowHandle window) const override;
    DockPoint cursorPos() const override { return cursor_; }
    DockRect workArea() const override;
    std::vector<LoadedWindow> loadedWindows() const override;
    void moveWindow(WindowHandle window, const DockRect& rect) override;
    void installDockFilter(WindowHandle window) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Tracked {
        WindowHandle handle{};
        QPointer<DockedWindow> window;
    };
    struct Drag {
        WindowHandle window;
        DockRect startRect;
        DockPoint startCursor;
    };

    std::optional<WindowHandle> captionOwner(QObject* watched) const;

    std::vector<Tracked> windows_; // creation order is the program's window order
    WindowHandle nextHandle_ = 1;
    DockPoint cursor_;
    std::optional<Drag> drag_;
    Docking docking_;
};

} // namespace builder
