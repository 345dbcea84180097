#pragma once

#include "composer/Composition.h"

#include <filesystem>
#include <string>

namespace composer {

// A composition kept to change and compose again: a small UTF-8 JSON file naming the photos,
// the music, the style, the words and every choice. Paths inside the file's folder are kept
// relative to it, so the folder can move as a whole.
std::string compositionText(const Composition& c, const std::filesystem::path& folder);
// Throws ComposeError naming `file` when the text is not a composition.
Composition compositionFromText(const std::string& text, const std::filesystem::path& folder,
                                const std::filesystem::path& file);

// Written whole (a new file renamed over the old); read with a bound on its size.
void saveComposition(const Composition& c, const std::filesystem::path& file);
Composition loadComposition(const std::filesystem::path& file);

} // namespace composer
