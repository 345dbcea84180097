#pragma once

#include "composer/Composition.h"

#include <optional>
#include <string>
#include <vector>

namespace composer {

// Where each photo sits on the timeline, in frames.
struct PhotoSpan {
    int start = 0;
    int frames = 0; // shown alone and moving, the transition to the next one included
};

// The movie's time line, decided before anything is decoded or drawn.
struct MoviePlan {
    int totalFrames = 0;
    int transitionFrames = 0; // overlap between one photo and the next
    int titleFrames = 0;      // the title's entrance at the start
    int endingStart = 0;      // first frame of the ending (title, words, replay)
    std::vector<PhotoSpan> photos;
    // The song: where to start and how long to play, in seconds; fades in seconds.
    double musicStart = 0;
    double musicSeconds = 0;
    double fadeIn = 0;
    double fadeOut = 0;
    bool songTrimmed = false;         // the song is longer than the movie may be
    std::vector<std::string> notices; // for the person: what was changed and why
};

inline constexpr double kEndingSeconds = 4.0;
inline constexpr double kTitleSeconds = 2.5;
inline constexpr double kTransitionSeconds = 1.0;
inline constexpr double kMinSecondsPerPhoto = 1.5;

// `songSeconds` is the song's whole length (none without music). The song's length after the
// start point makes the movie's in MovieLength::Song; a song that would make the movie pass
// the frame cap is trimmed, with a notice saying so.
MoviePlan planMovie(const Composition& c, std::size_t photoCount,
                    std::optional<double> songSeconds);

} // namespace composer
