#pragma once

#include <QBrush>
#include <QGradientStops>
#include <QTransform>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace mc {

// A gradient's colours over positions 0 to 1 in even steps, premultiplied: entry i holds the
// colour at the middle of its step, (i + 0.5) / kSize, and stands for the whole step, so that
// repeats and reflections come round after exactly one and two table lengths.
struct GradientTable {
    static constexpr int kSize = 1024;
    std::array<std::uint32_t, kSize> colours{};
    bool opaque = true; // every entry has full alpha

    // The colours between `stops` (sorted by position), interpolated per channel before alpha
    // is applied or, `premultipliedMix`, after.
    static GradientTable build(const QGradientStops& stops, bool premultipliedMix = false);
    // The table for `stops`, built once and kept while the same stops keep coming: a shape's
    // brush is made anew each frame, its colours are not. Per thread, so no locking.
    static std::shared_ptr<const GradientTable> shared(const QGradientStops& stops,
                                                       bool premultipliedMix = false);
};

// The colours of a linear or radial gradient brush at device pixels, sampled at pixel centres
// through the inverse of the brush's mapping to the device and found in its table.
class GradientSpans {
  public:
    enum class Spread : std::uint8_t { Pad, Reflect, Repeat };

    // None for a brush it does not write, to be left to Qt: not a linear or radial gradient in
    // logical coordinates, a focal point on or outside the
    // circle, a focal radius, or a mapping that flattens the gradient or is not finite.
    static std::optional<GradientSpans> forBrush(const QBrush& brush, const QTransform& toDevice);

    // The premultiplied colours of `count` pixels of row `y` from column `x` into `out`.
    void fetch(int y, int x, int count, std::uint32_t* out) const;
    bool opaque() const { return table_->opaque; }

  private:
    void fetchLinear(double px, double py, int count, std::uint32_t* out) const;
    void fetchRadial(double px, double py, int count, std::uint32_t* out) const;

    std::shared_ptr<const GradientTable> table_;
    Spread spread_ = Spread::Pad;
    bool radial_ = false;
    // Linear: the table position (0..kSize across the gradient) at device (x, y) is
    // u = ux * x + uy * y + u0. Radial: the point's offset from the focal point, in radii, is
    // (u, v) with v = vx * x + vy * y + v0; the centre lies at (dx, dy) from the focal point,
    // and a = 1 - dx² - dy² > 0 keeps the focal point inside the circle.
    double ux = 0.0, uy = 0.0, u0 = 0.0;
    double vx = 0.0, vy = 0.0, v0 = 0.0;
    double dx = 0.0, dy = 0.0, a = 1.0;
};

} // namespace mc
