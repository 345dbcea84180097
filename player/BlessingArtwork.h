#pragma once

#include <QImage>
#include <QSize>

namespace player {

// The blessing window's background: drawn here at run time, so the player carries no
// picture file of its own.
QImage blessingBackground(QSize size);

// The close mark: an 11 x 11 red cross with a dark outline on a transparent ground.
QImage closeMark();

} // namespace player
