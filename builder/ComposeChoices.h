#pragma once

#include "ComposePhotos.h"

#include "composer/Composition.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace builder {

// What the window shows and the person changes. What it does not show (captions, fit, fades,
// font) is carried over from the composition the choices came from.
struct ComposeChoices {
    std::vector<ComposePhoto> photos;
    std::filesystem::path music; // empty: none
    std::string style = "简约";
    std::string title;
    std::string words;
    // An index into composer::kSizePresets; none: the size the reopened composition had.
    std::optional<std::size_t> sizePreset = 0;
    int fps = 24;
    bool loop = false; // the ending: play again from the start, or stop with a replay button
};

// The window's choices over `base` (a reopened composition, or the composer's defaults).
composer::Composition compositionFor(const ComposeChoices& choices,
                                     const composer::Composition& base = {});
// The choices a composition holds, for the window to show.
ComposeChoices choicesFrom(const composer::Composition& composition);

// A small, quick composition of the first few photos for the live look at a style: a small
// stage of the chosen shape, no music, a short time per photo.
inline constexpr std::size_t kPreviewPhotos = 3;
inline constexpr int kPreviewLongSide = 240;
composer::Composition previewComposition(const ComposeChoices& choices);

// Where the movie goes: the chosen path, with ".swf" added when it has another ending.
std::filesystem::path moviePathFor(const std::filesystem::path& chosen);

} // namespace builder
