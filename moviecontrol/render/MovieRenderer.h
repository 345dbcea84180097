#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "CommandRecord.h"
#include "FrameBudget.h"
#include "MovieCatalog.h"
#include "RenderQuality.h"
#include "RenderResources.h"
#include "StageFit.h"
#include "StageInput.h"
#include "StageScripts.h"
#include "TimelinePlayer.h"
#include "swf/Movie.h"

namespace mc {

// A loaded movie ready to play and paint: the parsed movie, its timeline and the converted
// characters, kept together because each refers to the ones before it.
class MovieRenderer {
  public:
    // Null when the bytes are not a movie that can be played.
    // A movie that carries ActionScript 1/2 runs it, reaching the outside through
    // `callbacks`.
    // `prepared` is called with the parsed movie before its first frame is built and its
    // first scripts run (the movie's sound is made there, so that those scripts find it).
    using Prepared = std::function<void(const swf::Movie&)>;
    static std::unique_ptr<MovieRenderer> fromBytes(std::span<const std::uint8_t> bytes,
                                                    StageCallbacks callbacks = {},
                                                    const Prepared& prepared = {});
    // Reads at most kMaxFileBytes of the file. Scripts may load files beside it.
    static std::unique_ptr<MovieRenderer>
    fromFile(const std::string& path, StageCallbacks callbacks = {}, const Prepared& prepared = {});
    static constexpr std::int64_t kMaxFileBytes = 256LL << 20;
    // What loadMovie and loadVariables read of a file beside the movie.
    static constexpr std::int64_t kMaxBesideBytes = 64LL << 20;

    MovieRenderer(const MovieRenderer&) = delete;
    MovieRenderer& operator=(const MovieRenderer&) = delete;

    TimelinePlayer& player() { return *player_; }
    // Null when the movie carries no script (or only ActionScript 3, which is not run).
    StageScripts* scripts() { return scripts_.get(); }
    // The scripts' timers due on their clock, and what they queued.
    void runTimers();
    // Where the mouse and keyboard reach the movie; positions in stage twips.
    StageInput& input() { return *input_; }
    const TimelinePlayer& player() const { return *player_; }
    const swf::Movie& movie() const { return *movie_; }
    TwipsRect stage() const;
    // (xmax - xmin) / 20 and (ymax - ymin) / 20, rounded down.
    QSize stageSizePixels() const;
    std::uint16_t frameRate8_8() const { return movie_->header.frameRateRaw; }

    // Paints the frame shown into `target` with ShowAll: the stage fitted and centred, the
    // letterbox in `letterbox`. `background`, when set, replaces the movie's own.
    void paint(QImage& target, RenderQuality quality, QColor letterbox,
               std::optional<QColor> background = std::nullopt);
    QImage renderFrame(QSize size, RenderQuality quality);
    // Whether the frame shown now draws anything other than the one painted last: a surface
    // that still holds that picture need not paint again.
    bool frameChanged() const;
    // What painting converts and keeps across frames (its caches count their use).
    RenderResources& resources() { return resources_; }

    // From now on each frame's drawing keeps to `limit` (see FrameBudget); none by default,
    // so that an offline picture is drawn in full however long it takes.
    void setFrameBudget(std::chrono::milliseconds limit) { budget_.emplace(limit); }
    // Effects the last frame drew smaller or left out for want of time.
    int degradedEffects() const { return budget_ ? budget_->degradedEffects() : 0; }

  private:
    MovieRenderer(std::unique_ptr<swf::Movie> movie, StageCallbacks callbacks,
                  const Prepared& prepared);
    // A library bitmap's pixels for BitmapData.loadBitmap.
    std::optional<avm1::BitmapPixels> libraryPixels(std::uint16_t id);
    // BitmapData.draw and its filters, painted with this movie's resources.
    void installBitmapPainting(StageCallbacks& callbacks);

    std::unique_ptr<swf::Movie> movie_;
    MovieCatalog catalog_;
    // Declared before the player: the player is destroyed first, the scripts after it.
    std::unique_ptr<StageScripts> scripts_;
    std::unique_ptr<TimelinePlayer> player_;
    std::unique_ptr<StageInput> input_;
    RenderResources resources_;
    // The resources of the movies scripts loaded, by library index, made when first drawn.
    std::vector<std::unique_ptr<RenderResources>> loadedResources_;
    static constexpr qint64 kLoadedBitmapBudget = 96LL << 20;
    RenderResources* resourcesOf(std::uint16_t library);
    CommandRecord painted_;
    bool paintedOnce_ = false;
    std::optional<FrameBudget> budget_;
};

} // namespace mc
