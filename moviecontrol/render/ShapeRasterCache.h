#pragma once

#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QSize>
#include <cstdint>
#include <list>
#include <optional>
#include <unordered_map>

#include "ColorTransform.h"
#include "RenderQuality.h"
#include "Transform.h"

namespace mc {

// Everything a shape's picture depends on except where it lies: which shape (a dictionary
// shape, a morph at one ratio or one state of a script's drawing), the device transform's
// linear part, the colour transform and the quality.
struct ShapeLook {
    std::uint16_t library = 0;
    std::uint16_t id = 0;
    // Morph shapes only; `morph` tells a morph from a shape of the same id in another role.
    std::uint16_t ratio = 0;
    bool morph = false;
    // The generation of a script's drawing; 0 for dictionary characters.
    std::uint64_t drawing = 0;
    double a = 1.0;
    double b = 0.0;
    double c = 0.0;
    double d = 1.0;
    ColorTransform colorTransform;
    RenderQuality quality = RenderQuality::High;
    friend bool operator==(const ShapeLook&, const ShapeLook&) = default;
};

// Where a cached picture goes: the device translation split into a whole pixel and a
// sub-pixel phase in steps of 1/kPhases pixel.
struct RasterPlacement {
    QPoint pixel;
    std::uint8_t phaseX = 0;
    std::uint8_t phaseY = 0;
    // The translation the picture is drawn with inside its image, less the image's corner.
    double phaseOffsetX() const;
    double phaseOffsetY() const;
};

// Pictures of shapes drawn once and blitted wherever the same shape shows again with the same
// look, so that an object that only moves is not rasterised anew every frame. A shape is
// kept from its second showing on: one seen once is usually changing (a morph, a rotation, a
// fade) and keeping it would cost more than it saves. Bounded by bytes and entries; what goes
// unused for a while is dropped first, and pictures used in the frame being drawn are never
// dropped to make room for others, so that a frame holding more than the budget draws the
// rest directly instead of thrashing.
class ShapeRasterCache {
  public:
    explicit ShapeRasterCache(qint64 maxBytes = kDefaultMaxBytes) : maxBytes_(maxBytes) {}

    struct Raster {
        QImage image;
        // From the placement's whole pixel to the image's top left.
        QPoint offset;
    };

    // Steps per pixel of the sub-pixel phase. A quarter pixel moves an anti-aliased edge by
    // at most an eighth of a pixel, which no one sees on a moving object.
    static constexpr int kPhases = 4;
    static constexpr qint64 kDefaultMaxBytes = 96LL << 20;
    static constexpr std::size_t kMaxEntries = 4096;
    // Pictures and sightings unused this many frames go.
    static constexpr std::uint64_t kIdleFrames = 48;
    // Sightings remembered at most: a frame of more distinct shapes keeps the first ones.
    static constexpr std::size_t kMaxSightings = 1 << 16;
    // Pixels added around the shape's box for anti-aliasing, pixel snapping and the phase.
    static constexpr int kPad = 3;

    // None when the translation is too far out to be a device pixel.
    static std::optional<RasterPlacement> place(double tx, double ty);
    // The image rectangle, relative to the placement's whole pixel, that holds a shape whose
    // box under the linear part is `linearBox` (device pixels, translation left out).
    static QRect imageArea(const QRectF& linearBox);

    // The kept picture for this look and phase, or null. A miss counts a sighting of the look.
    const Raster* find(const ShapeLook& look, const RasterPlacement& at);
    // Whether a picture of `bytes` for this look, just missed, is worth drawing and keeping:
    // the look was seen before and there is room without dropping what this frame uses.
    bool shouldKeep(const ShapeLook& look, qint64 bytes);
    void store(const ShapeLook& look, const RasterPlacement& at, Raster raster);
    // Ages pictures and sightings; called once per painted frame.
    void startFrame();

    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }
    long hits() const { return hits_; }
    long misses() const { return misses_; }
    std::size_t entries() const { return entries_.size(); }
    qint64 bytesHeld() const { return bytes_; }

  private:
    struct Key {
        ShapeLook look;
        std::uint8_t phaseX = 0;
        std::uint8_t phaseY = 0;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct LookHash {
        std::size_t operator()(const ShapeLook& look) const;
    };
    struct Entry {
        Raster raster;
        std::uint64_t lastUsed = 0;
        std::list<Key>::iterator order;
    };
    // Drops least recently used pictures not used in this frame until `bytes` more fit.
    bool makeRoom(qint64 bytes);
    void drop(std::list<Key>::iterator oldest);

    qint64 maxBytes_;
    std::unordered_map<Key, Entry, KeyHash> entries_;
    std::list<Key> order_; // most recently used first
    // When each look was last drawn, kept or not.
    std::unordered_map<ShapeLook, std::uint64_t, LookHash> seen_;
    qint64 bytes_ = 0;
    std::uint64_t frame_ = 1;
    long hits_ = 0;
    long misses_ = 0;
    bool enabled_ = true;
};

} // namespace mc
