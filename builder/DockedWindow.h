#pragma once

#include "DockGeometry.h"

#include <QSize>
#include <QString>
#include <QWidget>

namespace builder {

class CaptionBar;
class DockingHost;

// A builder window with its own caption bar and a fixed client area. Main windows get a
// task bar button; tool windows do not.
class DockedWindow : public QWidget {
    Q_OBJECT

  public:
    enum class Kind { Main, Tool };

    DockedWindow(DockingHost& docking, const QString& caption, QSize clientSize, Kind kind);
    ~DockedWindow() override;

    WindowHandle handle() const { return handle_; }
    CaptionBar* captionBar() const { return captionBar_; }
    // The client area: controls are placed in its coordinates.
    QWidget* client() const { return client_; }
    DockingHost& docking() const { return docking_; }

    static constexpr int BorderWidth = 1;
    static constexpr int MainCaptionHeight = 28;
    // With the border the tool window's frame is 24 pixels taller than its client area, the
    // height the companion windows are placed by.
    static constexpr int ToolCaptionHeight = 22;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    DockingHost& docking_;
    WindowHandle handle_;
    CaptionBar* captionBar_;
    QWidget* client_;
};

} // namespace builder
