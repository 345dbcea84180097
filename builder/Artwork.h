#pragma once

#include "ToolbarLayout.h"

#include <QFont>
#include <QPixmap>

namespace builder {

inline constexpr int MainClientWidth = 433;
inline constexpr int MainClientHeight = 325;

// The main window's background, exactly the size of its client area: a winter evening with
// a path between spruces, a frame for the blessing and a band for the toolbar.
QPixmap mainBackground();

// The 16 x 16 face of a toolbar button.
QPixmap toolbarIcon(ToolbarAction action);

// The builder's text font at a pixel size, with the CJK faces first so Chinese captions keep
// their shapes on any desktop.
QFont builderFont(int pixelSize, bool bold = false);

} // namespace builder
