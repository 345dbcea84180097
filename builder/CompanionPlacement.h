#pragma once

#include <QPoint>
#include <QRect>

namespace builder {

inline constexpr int TwipsPerPixel = 15;
// The blessing editor stands this far below the main window's top: the preview window's
// outer height, so the two companions stack.
inline constexpr int BlessingEditorDropTwips = 3450;

// Where a companion window goes: against the main window's right edge, top aligned, lowered
// by `dropTwips`. `mainFrame` is the main window's outer rectangle.
inline QPoint companionPosition(const QRect& mainFrame, int dropTwips) {
    return {mainFrame.left() + mainFrame.width(), mainFrame.top() + dropTwips / TwipsPerPixel};
}

} // namespace builder
