// flash.media.Video in ActionScript 3 movies: a video character the timeline placed shows
// its embedded stream as in older movies; scripts read its definition and ask for smoothing.
#include "As3DisplayTree.h"
#include "ScriptPixels.h"
#include "VideoDecoder.h"
#include "pixels/BitmapPixels.h"

#include <cmath>

namespace mc {

std::optional<avm2::DisplayHost::VideoStreamInfo> As3DisplayTree::videoStream(avm2::NodeId node) {
    DisplayObject* o = find(node);
    if (o == nullptr || o->kind != CharacterKind::Video) {
        return std::nullopt;
    }
    const swf::Movie* movie = player_.library().movie(o->library);
    const auto* stream =
        movie != nullptr ? movie->findAs<swf::VideoStream>(o->characterId) : nullptr;
    if (stream == nullptr) {
        return std::nullopt;
    }
    return VideoStreamInfo{stream->width, stream->height, stream->smoothing, stream->deblocking};
}

void As3DisplayTree::setVideoSmoothing(avm2::NodeId node, bool smoothing) {
    if (DisplayObject* o = find(node)) {
        o->smoothing = smoothing;
    }
}

std::optional<avm2::DisplayHost::VideoFrameSize>
As3DisplayTree::showVideoFrame(avm2::NodeId node, int codec, const std::vector<std::uint8_t>& frame,
                               double boxWidth, double boxHeight, bool smoothing) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->clip || !video::VideoDecoder::supports(codec)) {
        return std::nullopt;
    }
    VideoPlayback& playback = videoPlaybacks_[node];
    if (!playback.decoder) {
        // The size comes from the frames' own headers.
        playback.decoder = std::make_shared<video::VideoDecoder>(codec, 0, 0);
    }
    if (!playback.decoder->decode(frame) || !playback.decoder->hasPicture()) {
        return std::nullopt;
    }
    const video::YuvPicture& picture = playback.decoder->picture();
    const bool alpha = !picture.alpha.samples.empty();
    // The drawn child reads the picture as it is at each frame: only a new size, box or
    // smoothing places it anew.
    const bool same = playback.picture && playback.picture->width() == picture.width &&
                      playback.picture->height() == picture.height &&
                      playback.picture->transparent() == alpha && playback.boxWidth == boxWidth &&
                      playback.boxHeight == boxHeight && o->clip->displayList.count(0) == 1 &&
                      o->clip->displayList.find(0)->second->smoothing == smoothing;
    if (!same) {
        playback.picture =
            std::make_shared<pixels::BitmapPixels>(picture.width, picture.height, alpha, 0);
        playback.boxWidth = boxWidth;
        playback.boxHeight = boxHeight;
    }
    const std::vector<std::uint8_t> rgba = video::toRgba(picture);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 4;
            playback.picture->setPremultiplied(x, y,
                                               std::uint32_t{rgba[at + 3]} << 24 |
                                                   std::uint32_t{rgba[at]} << 16 |
                                                   std::uint32_t{rgba[at + 1]} << 8 | rgba[at + 2]);
        }
    }
    if (!same) {
        auto child = player_.edits().attachPixels(
            *o, 0, std::make_shared<ScriptPixels>(playback.picture), smoothing);
        if (child && std::isfinite(boxWidth) && std::isfinite(boxHeight) && boxWidth > 0 &&
            boxHeight > 0) {
            child->matrix =
                Transform::scaling(boxWidth / picture.width, boxHeight / picture.height);
        }
    }
    return VideoFrameSize{static_cast<std::uint32_t>(picture.width),
                          static_cast<std::uint32_t>(picture.height)};
}

void As3DisplayTree::clearVideo(avm2::NodeId node) {
    if (videoPlaybacks_.erase(node) > 0) {
        showPixels(node, nullptr, false);
    }
}

} // namespace mc
