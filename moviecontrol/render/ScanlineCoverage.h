#pragma once

#include <QPainterPath>
#include <QRect>
#include <QTransform>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace mc {

// Anti-aliased coverage of a filled path over a rectangle of device pixels. Each edge adds
// the signed area it sweeps to the cells it crosses; summing a row from the left gives the
// winding-weighted coverage of every pixel, which the fill rule then folds into 0..255.
// Only the rectangle is kept: edges left of it still count for the rows they cross, edges
// right of, above or below it are dropped. Work and memory follow the number of edges and
// the rows they cross, never the coordinates' size.
class ScanlineCoverage {
  public:
    explicit ScanlineCoverage(const QRect& area);

    // Adds the outline of every subpath, closed. Curves become lines no further than
    // `tolerance` device pixels from them. False (and nothing added) when a point is not a
    // finite number after the transform.
    bool addPath(const QPainterPath& path, const QTransform& toDevice, double tolerance = 0.025);
    // A line in device pixels.
    void addLine(double x0, double y0, double x1, double y1);

    // Calls `span(y, x, count, coverage, level)` for the covered pixels of each row, left to
    // right: with a coverage per pixel (some of which may be 0) near edges, and with null
    // `coverage` and one `level` for all pixels of runs between edges.
    using Span = std::function<void(int y, int x, int count, const std::uint8_t* coverage,
                                    std::uint8_t level)>;
    void sweep(Qt::FillRule rule, const Span& span);

    // The working rows of a sweep, which several coverages of one area may share when they
    // are swept band by band in turn: each band leaves them cleared.
    struct Scratch {
        std::vector<float> cells; // one band of rows, width + 2 cells each
        // Which blocks of cells each row of the band has touched, a bit each.
        std::vector<std::uint64_t> touched;
        std::vector<std::uint8_t> coverage; // one row
        int wordsPerRow = 0;
    };
    static constexpr int kBandRows = 32;
    // Sweeping band by band, for callers that combine several coverages pixel by pixel: call
    // beginSweep once, then sweepBand for band tops 0, kBandRows, 2 * kBandRows... below the
    // area's height, in order. `y` in the spans is in device pixels as for sweep.
    void beginSweep(Scratch& scratch);
    void sweepBand(int bandTop, Qt::FillRule rule, Scratch& scratch, const Span& span);

    std::size_t lineCount() const { return lines_.size(); }
    // Past this many lines, curves are drawn as their chords.
    static constexpr std::size_t kCurveLineLimit = std::size_t{1} << 20;

  private:
    struct Line {
        float x0, y0, x1, y1; // area pixels, y0 < y1
        float dir;            // +1 going down, -1 going up
        int firstRow, lastRow;
        float dxdy; // worked out once: a line is swept in every band it reaches
    };
    void addClippedInY(double x0, double y0, double x1, double y1, float dir);
    void addCurve(const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3,
                  double tolerance);
    void accumulate(const Line& line, int bandTop, int bandRows, Scratch& scratch) const;

    QRect area_;
    int width_;
    int height_;
    std::vector<Line> lines_;
    static constexpr int kBlockShift = 4;
    // Lines reaching into the band being swept, and the first not yet reached.
    std::vector<const Line*> active_;
    std::size_t next_ = 0;
};

} // namespace mc
