#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <chrono>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "MoviePainter.h"
#include "MoviePlayback.h"

namespace mc {

// A playing movie with the painter that shows it: the playback core, and the renderer
// joined to the scripts (BitmapData draws with the renderer's painter and filters).
class MovieView {
  public:
    // Null when the bytes are not a movie that can be played. `setup` as the core takes it;
    // the scripts' bitmap hooks it leaves unset are the renderer's.
    static std::unique_ptr<MovieView> fromBytes(std::span<const std::uint8_t> bytes,
                                                PlaybackSetup setup = {});
    static std::unique_ptr<MovieView> fromFile(const std::string& path, PlaybackSetup setup = {});
    // Old-style: callbacks only, played in frame steps.
    static std::unique_ptr<MovieView> fromBytes(std::span<const std::uint8_t> bytes,
                                                StageCallbacks callbacks);
    static std::unique_ptr<MovieView> fromFile(const std::string& path, StageCallbacks callbacks);

    MovieView(const MovieView&) = delete;
    MovieView& operator=(const MovieView&) = delete;
    ~MovieView();

    MoviePlayback& playback() { return *playback_; }
    MoviePainter& painter() { return *painter_; }
    TimelinePlayer& player() { return playback_->player(); }
    const TimelinePlayer& player() const { return playback_->player(); }
    StageInput& input() { return playback_->input(); }
    StageScripts* scripts() { return playback_->scripts(); }
    const swf::Movie& movie() const { return playback_->movie(); }
    void runTimers() { playback_->runTimers(); }
    TwipsRect stage() const { return playback_->stage(); }
    // (xmax - xmin) / 20 and (ymax - ymin) / 20, rounded down.
    QSize stageSizePixels() const;
    std::uint16_t frameRate8_8() const { return playback_->frameRate8_8(); }

    // The frame shown, with the keyboard focus drawn (see MoviePainter::paint).
    void paint(QImage& target, RenderQuality quality, QColor letterbox,
               std::optional<QColor> background = std::nullopt);
    QImage renderFrame(QSize size, RenderQuality quality);
    bool frameChanged() const { return painter_->frameChanged(playback_->player()); }
    RenderResources& resources() { return painter_->resources(); }
    void setFrameBudget(std::chrono::milliseconds limit) { painter_->setFrameBudget(limit); }
    int degradedEffects() const { return painter_->degradedEffects(); }

  private:
    MovieView() = default;
    static std::unique_ptr<MovieView> made(std::unique_ptr<MovieView> view);
    // The scripts' bitmap hooks, painted by this view's painter, and the prepare step that
    // makes the painter before the first scripts run.
    PlaybackSetup joined(PlaybackSetup setup);

    // Declared first: the playback, whose scripts call the painter, goes before it.
    std::unique_ptr<MoviePainter> painter_;
    std::unique_ptr<MoviePlayback> playback_;
    // The core from the moment it starts being made, before playback_ holds it.
    MoviePlayback* making_ = nullptr;
};

} // namespace mc
