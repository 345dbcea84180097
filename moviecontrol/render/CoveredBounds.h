#pragma once

#include <QImage>
#include <QRect>

namespace mc {

// Bounds of the pixels of a premultiplied 32-bit picture that are not fully transparent;
// empty when there are none. A group's layer is mostly the size of the view while its
// content is often small: only the empty margins are read, the inside once found is not.
QRect coveredBounds(const QImage& image);

} // namespace mc
