#include "DockingHost.h"

#include "CaptionBar.h"
#include "DockedWindow.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>

namespace builder {

namespace {

DockRect toDockRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

DockPoint toDockPoint(const QPointF& p) {
    const QPoint whole = p.toPoint();
    return {whole.x(), whole.y()};
}

} // namespace

DockingHost::DockingHost() : docking_(*this) {}

void DockingHost::attach(const DockedWindow& window, bool isMain) {
    docking_.AttachDockWindow(window.handle(), isMain);
}

WindowHandle DockingHost::registerWindow(DockedWindow* window) {
    const WindowHandle handle = nextHandle_++;
    windows_.push_back({handle, window});
    return handle;
}

void DockingHost::forgetWindow(WindowHandle window) {
    std::erase_if(windows_, [window](const Tracked& t) { return t.handle == window; });
    if (drag_ && drag_->window == window) {
        drag_.reset();
    }
}

DockedWindow* DockingHost::window(WindowHandle handle) const {
    for (const Tracked& t : windows_) {
        if (t.handle == handle) {
            return t.window.data();
        }
    }
    return nullptr;
}

std::optional<DockRect> DockingHost::windowRect(WindowHandle handle) const {
    const DockedWindow* w = window(handle);
    if (!w) {
        return std::nullopt;
    }
    return toDockRect(w->frameGeometry());
}

DockRect DockingHost::workArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return {};
    }
    return toDockRect(screen->availableGeometry());
}

std::vector<LoadedWindow> DockingHost::loadedWindows() const {
    std::vector<LoadedWindow> loaded;
    for (const Tracked& t : windows_) {
        if (t.window) {
            loaded.push_back(
                {t.handle, t.window->isVisible(), toDockRect(t.window->frameGeometry())});
        }
    }
    return loaded;
}

void DockingHost::moveWindow(WindowHandle handle, const DockRect& rect) {
    if (DockedWindow* w = window(handle)) {
        w->move(rect.left, rect.top);
        w->update();
    }
}

void DockingHost::installDockFilter(WindowHandle handle) {
    // Qt keeps one filter per object however often it is installed.
    if (DockedWindow* w = window(handle)) {
        w->captionBar()->installEventFilter(this);
    }
}

std::optional<WindowHandle> DockingHost::captionOwner(QObject* watched) const {
    for (const Tracked& t : windows_) {
        if (t.window && t.window->captionBar() == watched) {
            return t.handle;
        }
    }
    return std::nullopt;
}

bool DockingHost::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto handle = captionOwner(watched);
    if (!handle) {
        return false;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    const auto* bar = static_cast<CaptionBar*>(watched);

    if (type == QEvent::MouseButtonPress) {
        if (mouse->button() != Qt::LeftButton ||
            bar->closeBoxRect().contains(mouse->position().toPoint())) {
            return false;
        }
        const auto rect = windowRect(*handle);
        if (!rect) {
            return false;
        }
        cursor_ = toDockPoint(mouse->globalPosition());
        drag_ = Drag{*handle, *rect, cursor_};
        DockRect unused;
        docking_.DockWindowProc(*handle, DockMessage::EnterSizeMove, 0, unused);
        return true;
    }
    if (!drag_ || drag_->window != *handle) {
        return false;
    }
    if (type == QEvent::MouseButtonRelease) {
        if (mouse->button() == Qt::LeftButton) {
            drag_.reset();
        }
        return true;
    }
    // Like the window system's own move loop, each step proposes the starting rectangle
    // moved by the cursor's way so far; the docking then adjusts it.
    cursor_ = toDockPoint(mouse->globalPosition());
    DockRect proposed = drag_->startRect;
    proposed.offset(cursor_.x - drag_->startCursor.x, cursor_.y - drag_->startCursor.y);
    if (docking_.DockWindowProc(*handle, DockMessage::Moving, 0, proposed)) {
        moveWindow(*handle, proposed);
    }
    return true;
}

} // namespace builder
