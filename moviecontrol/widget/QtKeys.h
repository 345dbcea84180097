#pragma once

#include <QString>
#include <optional>

#include "KeyCodes.h"

namespace mc {

// A Qt key with the text it typed, as the movie's scripts see the key; nothing for keys a
// movie never hears of.
std::optional<KeyStroke> keyStrokeOf(int qtKey, const QString& text);

} // namespace mc
