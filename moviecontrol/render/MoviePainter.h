#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Bounds.h"
#include "CommandRecord.h"
#include "FrameBudget.h"
#include "RenderQuality.h"
#include "RenderResources.h"
#include "StageFit.h"
#include "TimelinePlayer.h"
#include "swf/Movie.h"

namespace mc {

// Paints what a playing movie's timeline shows: converts its characters once and keeps them
// across frames, and remembers the frame painted last. It only paints; the playing is the
// playback core's.
class MoviePainter {
  public:
    explicit MoviePainter(const swf::Movie& movie);
    MoviePainter(const MoviePainter&) = delete;
    MoviePainter& operator=(const MoviePainter&) = delete;

    // Paints the frame `player` shows into `target`, the stage fitted as the movie's stage
    // layout says (ShowAll, centred, by default), any letterbox in `letterbox`. `background`, when
    // set, replaces the movie's own. `focus`, in stage twips, is drawn round the object the
    // keyboard focus is on.
    void paint(QImage& target, const TimelinePlayer& player, RenderQuality quality,
               QColor letterbox, std::optional<QColor> background = std::nullopt,
               std::optional<Bounds> focus = std::nullopt);
    // Whether the frame shown now draws anything other than the one painted last: a surface
    // that still holds that picture need not paint again.
    bool frameChanged(const TimelinePlayer& player) const;
    // One display object's content into `painter`, whose transform maps the target's pixels;
    // `toTarget` maps the object's twips to them (BitmapData.draw of a clip).
    void paintContent(QPainter& painter, const Transform& toTarget, const TimelinePlayer& player,
                      const DisplayObject& object);
    // The same of all the stage shows, from the stage's twips (BitmapData.draw of the stage).
    void paintStageContent(QPainter& painter, const Transform& toTarget,
                           const TimelinePlayer& player);
    // What painting converts and keeps across frames (its caches count their use).
    RenderResources& resources() { return resources_; }
    // The resources of the movies scripts loaded, by library index, made when first drawn;
    // null for an index without a movie.
    RenderResources* resourcesOf(const TimelinePlayer& player, std::uint16_t library);

    // From now on each frame's drawing keeps to `limit` (see FrameBudget); none by default,
    // so that an offline picture is drawn in full however long it takes.
    void setFrameBudget(std::chrono::milliseconds limit) { budget_.emplace(limit); }
    // Effects the last frame drew smaller or left out for want of time.
    int degradedEffects() const { return budget_ ? budget_->degradedEffects() : 0; }

  private:
    const swf::Movie& movie_;
    RenderResources resources_;
    std::vector<std::unique_ptr<RenderResources>> loadedResources_;
    static constexpr qint64 kLoadedBitmapBudget = 96LL << 20;
    CommandRecord painted_;
    bool paintedOnce_ = false;
    std::optional<FrameBudget> budget_;
};

} // namespace mc
