#pragma once

#include "moviemaker/Records.h"

#include <span>
#include <string>
#include <string_view>

namespace composer {

enum class Transition {
    CrossFade, // the next photo fades in over the last
    Push,      // the next photo pushes the last out to the left
    ZoomPan,   // cross-fade, each photo slowly zoomed and panned
    MaskWipe,  // the next photo grows through a shaped mask
};

enum class Decoration {
    None,
    Lanterns,  // swinging lanterns and bursting fireworks
    Balloons,  // rising balloons and falling confetti
    Snow,      // falling snowflakes
    Hearts,    // rising hearts
    MoonClouds // a moon and drifting clouds
};

enum class WipeShape { Circle, Heart, Star };

// A coherent look: background, how photos follow each other, what is drawn over them, and
// how the words look.
struct Style {
    const char* name;        // as the person picks it
    const char* description; // one line for lists
    moviemaker::Rgb backgroundTop;
    moviemaker::Rgb backgroundBottom;
    Transition transition;
    WipeShape wipe;
    Decoration decoration;
    moviemaker::Rgb titleColor;
    moviemaker::Rgb wordsColor;
    moviemaker::Rgb outlineColor; // the glow behind text that keeps it readable on photos
    bool titleAtTop;
};

std::span<const Style> allStyles();
// The style by name; nullptr when there is none.
const Style* findStyle(std::string_view name);

} // namespace composer
