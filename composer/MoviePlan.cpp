#include "composer/MoviePlan.h"

#include <algorithm>
#include <cmath>

namespace composer {

namespace {

int framesOf(double seconds, int fps) {
    return static_cast<int>(std::lround(seconds * fps));
}

std::string minutesText(double seconds) {
    const long whole = std::lround(seconds);
    const long minutes = whole / 60;
    const long rest = whole % 60;
    return std::to_string(minutes) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
}

} // namespace

MoviePlan planMovie(const Composition& c, std::size_t photoCount,
                    std::optional<double> songSeconds) {
    MoviePlan plan;
    const int fps = std::max(1, c.fps);
    const int count = static_cast<int>(std::max<std::size_t>(photoCount, 1));
    const int ending = framesOf(kEndingSeconds, fps);
    const int minPerPhoto = std::max(2, framesOf(kMinSecondsPerPhoto, fps));
    const int photosOwn = count * std::max(minPerPhoto, framesOf(c.secondsPerPhoto, fps));

    const double start = songSeconds ? std::clamp(c.musicStart, 0.0, *songSeconds) : 0.0;
    const double songLeft = songSeconds ? *songSeconds - start : 0.0;
    int total = photosOwn + ending;
    if (songSeconds && c.length == MovieLength::Song) {
        total = std::max(framesOf(songLeft, fps), count * minPerPhoto + ending);
    }
    if (total > kMaxFrames) {
        total = kMaxFrames;
        plan.notices.push_back("歌曲太长：影片最多 " + std::to_string(kMaxFrames) + " 帧（每秒 " +
                               std::to_string(fps) + " 帧时约 " +
                               minutesText(static_cast<double>(kMaxFrames) / fps) +
                               "），歌曲在此处截断并淡出。");
    }
    plan.totalFrames = total;
    plan.endingStart = total - ending;
    plan.transitionFrames = std::min(framesOf(kTransitionSeconds, fps), minPerPhoto / 2);
    plan.titleFrames = framesOf(kTitleSeconds, fps);

    // The photos share the frames before the ending evenly; the first ones take the rest.
    const int span = plan.endingStart;
    const int each = span / count;
    int extra = span % count;
    int at = 0;
    for (int i = 0; i < count && photoCount > 0; ++i) {
        const int frames = each + (extra > 0 ? 1 : 0);
        extra = std::max(0, extra - 1);
        plan.photos.push_back({at, frames});
        at += frames;
    }

    if (songSeconds) {
        const double movieSeconds = static_cast<double>(total) / fps;
        plan.musicStart = start;
        plan.musicSeconds = std::min(songLeft, movieSeconds);
        plan.songTrimmed = songLeft > movieSeconds + 0.5 / fps;
        // A song played whole keeps its own beginning and end; one cut short fades.
        plan.fadeIn = start > 0 ? std::max(0.0, c.fadeIn) : 0.0;
        plan.fadeOut = plan.songTrimmed ? std::max(0.0, c.fadeOut) : 0.0;
        const double half = plan.musicSeconds / 2;
        plan.fadeIn = std::min(plan.fadeIn, half);
        plan.fadeOut = std::min(plan.fadeOut, half);
    }
    return plan;
}

} // namespace composer
