#pragma once

#include <QGradient>
#include <array>
#include <cstdint>

namespace mc {

// A gradient's colours as a table of premultiplied ARGB32 pixels, looked up the way Qt's
// raster engine looks up its own table, so that a gradient painted by either looks the same.
class GradientRamp {
  public:
    static constexpr int kSize = 1024;

    // Colours between stops mix component by component and are premultiplied afterwards.
    GradientRamp(const QGradientStops& stops, QGradient::Spread spread);

    // The colour at gradient position `t` (0 and 1 are the first and last stop), with the
    // spread mode applied past either end. Any finite or infinite `t` is accepted.
    std::uint32_t at(double t) const { return table_[index(t)]; }
    int index(double t) const;
    const std::array<std::uint32_t, kSize>& table() const { return table_; }
    bool opaque() const { return opaque_; }

    // A ramp for these stops, made once and kept among the last few used on this thread:
    // a frame paints the same few gradients over and over.
    static const GradientRamp& cached(const QGradientStops& stops, QGradient::Spread spread);

  private:
    std::array<std::uint32_t, kSize> table_{};
    QGradient::Spread spread_;
    bool opaque_ = true;
};

} // namespace mc
