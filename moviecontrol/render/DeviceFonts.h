#pragma once

#include <QFont>
#include <QString>

namespace mc {

// The system font that stands for a device font name: the generic names players know
// (_sans, _serif, _typewriter and their Japanese forms) become the faces players use for
// them, with a style hint for systems that lack those faces. A field without a font name
// shows Times New Roman, as in players. `size` is in the caller's units (the layout works
// in twips).
QFont deviceFont(const QString& family, int size, bool bold, bool italic);

} // namespace mc
