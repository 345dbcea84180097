#pragma once

#include <QImage>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

#include "CommandRecord.h"
#include "GroupCompositor.h"
#include "RenderQuality.h"

namespace mc {

// What a cached group's picture depends on besides its own commands.
struct GroupSetting {
    // The stage-to-device transform without its translation: scale and rotation of the view.
    Transform view;
    // Colour transforms of enclosing groups that had no layer of their own.
    ColorTransform pending;
    RenderQuality quality = RenderQuality::High;
};

// The finished pictures (filters and colour transform applied, not yet blended) of groups
// drawn as cached bitmaps, kept across frames. Such a bitmap sits with its content's corner
// on a whole device pixel, so the same commands seen from that corner make the same picture
// wherever it lies: a move of the whole object finds its picture again, and any change
// inside, of its filters, colour transform, scale or rotation does not.
class GroupCache {
  public:
    struct Picture {
        QImage image;
        // From the content's corner, rounded to the device pixel, to the picture's top left.
        QPoint offset;
    };

    // Whether groups of this style are cached at all: those drawn as a bitmap of their own.
    static bool caches(const GroupStyle& style);
    // The whole device pixel the group's content corner is drawn on; none when the group
    // has no usable box.
    static std::optional<QPoint> corner(const GroupStyle& style, const Transform& stageToDevice);
    // The part of the parent's device a cached group's layer covers: its whole content and
    // the filters' reach, when that is no larger than `view` (the device grown by the same
    // reach) allows; none when the view should be used instead.
    static std::optional<QRect> layerArea(const GroupStyle& style, const Transform& stageToDevice,
                                          QMargins reach, QRect view);
    // Device pixels around the content's box that a layer keeps and a kept picture needs:
    // antialiasing and strokes reach a little past the box.
    static constexpr int kSlack = 3;
    static constexpr double kMaxViews = 8.0;
    // The content corner in stage twips, from which a record's positions are counted.
    static TwipsOrigin origin(const GroupStyle& style);

    // Null when nothing drawn from an equal record and setting is kept.
    const Picture* find(const GroupStyle& style, const CommandRecord& record,
                        const GroupSetting& setting);
    void store(const GroupStyle& style, CommandRecord record, const GroupSetting& setting,
               Picture picture);
    // Forgets what went unused for a while; called once per painted frame.
    void startFrame();

    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }
    long hits() const { return hits_; }
    long misses() const { return misses_; }
    std::size_t entries() const { return entries_.size(); }
    qint64 bytesHeld() const { return bytes_; }

    static constexpr qint64 kMaxBytes = 192LL << 20;
    static constexpr std::size_t kMaxEntries = 512;
    // A picture unused this many frames goes: an object that left the stage rarely returns
    // unchanged.
    static constexpr std::uint64_t kIdleFrames = 48;

  private:
    struct Entry {
        GroupStyle style;
        CommandRecord record;
        GroupSetting setting;
        Picture picture;
        std::uint64_t lastUsed = 0;
    };
    void evictOldest();

    std::vector<Entry> entries_;
    qint64 bytes_ = 0;
    std::uint64_t frame_ = 0;
    long hits_ = 0;
    long misses_ = 0;
    bool enabled_ = true;
};

// Holds back the commands of a cached group until it ends, so that its picture can be looked
// up before anything of it is drawn.
class GroupRecorder {
  public:
    struct Group {
        GroupStyle style;
        CommandRecord record;
    };
    bool recording() const { return depth_ > 0; }
    void start(const GroupStyle& style);
    // Where the group's drawing and masks go while it is recorded.
    CommandRecord& record() { return group_.record; }
    void beginGroup(const GroupStyle& style);
    // True when this ends the recorded group itself.
    bool endGroup();
    Group take();

  private:
    Group group_;
    int depth_ = 0;
};

// A group layer's area as it will be blended: filters and colour transform applied.
QImage finishedPicture(const QImage& layer, QRect area, const GroupStyle& style, GroupScale scale,
                       int filterReduction = 1);
// Blends a finished picture onto the painter's device with its top left at `at` (device
// pixels), within the painter's clip.
void drawPicture(QPainter& painter, const QImage& picture, QPoint at, swf::BlendMode mode,
                 GroupScale scale);

} // namespace mc
