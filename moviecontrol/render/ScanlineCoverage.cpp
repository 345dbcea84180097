#include "ScanlineCoverage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <numeric>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mc {

namespace {

constexpr int kMaxCurveLines = 64;

bool finite(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Rounding of coordinates known to be at least 0, without a call into the maths library.
inline int floorOf(float v) {
    return static_cast<int>(v);
}
inline int ceilOf(float v) {
    const int i = static_cast<int>(v);
    return static_cast<float>(i) < v ? i + 1 : i;
}

} // namespace

ScanlineCoverage::ScanlineCoverage(const QRect& area)
    : area_(area), width_(std::max(0, area.width())), height_(std::max(0, area.height())) {}

void ScanlineCoverage::addLine(double x0, double y0, double x1, double y1) {
    x0 -= area_.left();
    x1 -= area_.left();
    y0 -= area_.top();
    y1 -= area_.top();
    if (y0 == y1 ||
        !(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))) {
        return;
    }
    float dir = 1.0f;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        dir = -1.0f;
    }
    const double h = height_;
    if (y1 <= 0.0 || y0 >= h || width_ == 0) {
        return;
    }
    const double dxdy = (x1 - x0) / (y1 - y0);
    if (y0 < 0.0) {
        x0 += dxdy * (0.0 - y0);
        y0 = 0.0;
    }
    if (y1 > h) {
        x1 -= dxdy * (y1 - h);
        y1 = h;
    }
    addClippedInY(x0, y0, x1, y1, dir);
}

void ScanlineCoverage::addClippedInY(double x0, double y0, double x1, double y1, float dir) {
    const double w = width_;
    if (x0 >= w && x1 >= w) {
        return; // right of the area: no pixel in it lies to the right of the edge
    }
    // Split where the line crosses the area's sides; the parts beyond the left side keep
    // their rows but lie on the side, where they cover every pixel to their right.
    std::array<double, 4> ts{0.0, 0.0, 0.0, 1.0};
    int n = 1;
    for (const double side : {0.0, w}) {
        if ((x0 < side) != (x1 < side)) {
            ts[static_cast<std::size_t>(n++)] = (side - x0) / (x1 - x0);
        }
    }
    ts[static_cast<std::size_t>(n)] = 1.0;
    if (n == 3 && ts[2] < ts[1]) { // crossing both sides: the nearer one first
        std::swap(ts[1], ts[2]);
    }
    for (int i = 0; i < n; ++i) {
        const double ta = std::clamp(ts[static_cast<std::size_t>(i)], 0.0, 1.0);
        const double tb = std::clamp(ts[static_cast<std::size_t>(i + 1)], 0.0, 1.0);
        const double ya = y0 + (y1 - y0) * ta;
        const double yb = i + 1 == n ? y1 : y0 + (y1 - y0) * tb;
        if (!(yb > ya)) {
            continue;
        }
        const double xa = std::clamp(x0 + (x1 - x0) * ta, 0.0, w);
        const double xb = std::clamp(i + 1 == n ? x1 : x0 + (x1 - x0) * tb, 0.0, w);
        if (xa >= w && xb >= w) {
            continue;
        }
        Line line{static_cast<float>(xa),
                  static_cast<float>(ya),
                  static_cast<float>(xb),
                  static_cast<float>(yb),
                  dir,
                  static_cast<int>(ya),
                  std::min(height_ - 1, static_cast<int>(std::ceil(yb)) - 1),
                  0.0f};
        if (line.y1 > line.y0 && line.lastRow >= line.firstRow) {
            line.dxdy = (line.x1 - line.x0) / (line.y1 - line.y0);
            lines_.push_back(line);
        }
    }
}

void ScanlineCoverage::addCurve(const QPointF& p0, const QPointF& p1, const QPointF& p2,
                                const QPointF& p3, double tolerance) {
    // A curve wholly outside the area's rows or right of it adds what its chord adds.
    const double minY = std::min({p0.y(), p1.y(), p2.y(), p3.y()}) - area_.top();
    const double maxY = std::max({p0.y(), p1.y(), p2.y(), p3.y()}) - area_.top();
    const double minX = std::min({p0.x(), p1.x(), p2.x(), p3.x()}) - area_.left();
    const double maxX = std::max({p0.x(), p1.x(), p2.x(), p3.x()}) - area_.left();
    int pieces = 1;
    if (maxY > 0.0 && minY < height_ && minX < width_ && maxX > 0.0 &&
        lines_.size() < kCurveLineLimit) {
        const QPointF d1 = p0 - 2.0 * p1 + p2;
        const QPointF d2 = p1 - 2.0 * p2 + p3;
        const double dd =
            std::sqrt(std::max(QPointF::dotProduct(d1, d1), QPointF::dotProduct(d2, d2)));
        const double wanted = std::ceil(std::sqrt(0.75 * dd / tolerance));
        pieces = static_cast<int>(std::clamp(wanted, 1.0, double{kMaxCurveLines}));
    }
    QPointF from = p0;
    for (int i = 1; i <= pieces; ++i) {
        const double t = i / static_cast<double>(pieces);
        const double u = 1.0 - t;
        const QPointF to = i == pieces ? p3
                                       : u * u * u * p0 + 3.0 * u * u * t * p1 +
                                             3.0 * u * t * t * p2 + t * t * t * p3;
        addLine(from.x(), from.y(), to.x(), to.y());
        from = to;
    }
}

bool ScanlineCoverage::addPath(const QPainterPath& path, const QTransform& toDevice,
                               double tolerance) {
    const int count = path.elementCount();
    std::vector<QPointF> points;
    points.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QPointF p = toDevice.map(QPointF(path.elementAt(i)));
        if (!finite(p)) {
            return false;
        }
        points.push_back(p);
    }
    QPointF start;
    QPointF current;
    bool open = false;
    auto close = [&] {
        if (open && current != start) {
            addLine(current.x(), current.y(), start.x(), start.y());
        }
        open = false;
    };
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        const QPointF& p = points[static_cast<std::size_t>(i)];
        if (e.isMoveTo()) {
            close();
            start = current = p;
            open = true;
        } else if (e.isLineTo()) {
            addLine(current.x(), current.y(), p.x(), p.y());
            current = p;
            open = true;
        } else if (e.isCurveTo() && i + 2 < count) {
            const QPointF& c2 = points[static_cast<std::size_t>(i + 1)];
            const QPointF& to = points[static_cast<std::size_t>(i + 2)];
            addCurve(current, p, c2, to, tolerance);
            current = to;
            open = true;
            i += 2;
        }
    }
    close();
    return true;
}

void ScanlineCoverage::accumulate(const Line& line, int bandTop, int bandRows,
                                  Scratch& scratch) const {
    const int stride = width_ + 2;
    const float w = static_cast<float>(width_);
    const float top = static_cast<float>(bandTop);
    const float y0 = std::max(line.y0, top);
    const float y1 = std::min(line.y1, top + static_cast<float>(bandRows));
    if (!(y1 > y0)) {
        return;
    }
    const float dxdy = line.dxdy;
    float x = std::clamp(line.x0 + dxdy * (y0 - line.y0), 0.0f, w);
    const int rowEnd = std::min(bandRows, ceilOf(y1) - bandTop);
    for (int row = std::max(0, static_cast<int>(y0) - bandTop); row < rowEnd; ++row) {
        const float rowTop = top + static_cast<float>(row);
        const float dy = std::min(rowTop + 1.0f, y1) - std::max(rowTop, y0);
        const float xnext = std::clamp(x + dxdy * dy, 0.0f, w);
        const float d = dy * line.dir;
        const float xa = std::min(x, xnext);
        const float xb = std::max(x, xnext);
        const int ia = floorOf(xa);
        const auto xaFloor = static_cast<float>(ia);
        const int ib = ceilOf(xb);
        float* cells = scratch.cells.data() + static_cast<std::size_t>(row) * stride;
        if (ib <= ia + 1) {
            // Within one pixel: the area left of the line's middle goes to this pixel.
            const float mid = 0.5f * (x + xnext) - xaFloor;
            cells[ia] += d - d * mid;
            cells[ia + 1] += d * mid;
        } else {
            const float s = 1.0f / (xb - xa);
            const float fa = xa - xaFloor;
            const float a0 = 0.5f * s * (1.0f - fa) * (1.0f - fa);
            const float fb = xb - static_cast<float>(ib) + 1.0f;
            const float am = 0.5f * s * fb * fb;
            cells[ia] += d * a0;
            if (ib == ia + 2) {
                cells[ia + 1] += d * (1.0f - a0 - am);
            } else {
                const float a1 = s * (1.5f - fa);
                cells[ia + 1] += d * (a1 - a0);
                for (int i = ia + 2; i < ib - 1; ++i) {
                    cells[i] += d * s;
                }
                const float a2 = a1 + static_cast<float>(ib - ia - 3) * s;
                cells[ib - 1] += d * (1.0f - a2 - am);
            }
            cells[ib] += d * am;
        }
        std::uint64_t* words =
            scratch.touched.data() + static_cast<std::size_t>(row) * scratch.wordsPerRow;
        const int lastBlock = std::min(std::max(ib, ia + 1), width_ + 1) >> kBlockShift;
        for (int b = ia >> kBlockShift; b <= lastBlock; ++b) {
            words[b >> 6] |= std::uint64_t{1} << (b & 63);
        }
        x = xnext;
    }
}

namespace {

inline std::uint8_t level(float acc, bool evenOdd) {
    float c = std::fabs(acc);
    if (evenOdd) {
        c -= 2.0f * static_cast<float>(static_cast<int>(std::min(c, 1e6f) * 0.5f));
        c = c > 1.0f ? 2.0f - c : c;
    } else {
        c = std::min(c, 1.0f);
    }
    return static_cast<std::uint8_t>(c * 255.0f + 0.5f);
}

#if defined(__SSE2__)
// The levels of four pixels at once, as `level` gives them, packed a byte each from the lowest;
// `acc` moves past them. The running sum adds up in pairs, which rounds a little differently
// from adding one cell at a time.
inline std::uint32_t levels4(const float* cells, float& acc, bool evenOdd) {
    __m128 x = _mm_loadu_ps(cells);
    x = _mm_add_ps(x, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(x), 4)));
    x = _mm_add_ps(x, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(x), 8)));
    x = _mm_add_ps(x, _mm_set1_ps(acc));
    acc = _mm_cvtss_f32(_mm_shuffle_ps(x, x, 0xff));
    __m128 c = _mm_and_ps(x, _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff)));
    if (evenOdd) {
        const __m128 pairs = _mm_cvtepi32_ps(
            _mm_cvttps_epi32(_mm_mul_ps(_mm_min_ps(c, _mm_set1_ps(1e6f)), _mm_set1_ps(0.5f))));
        c = _mm_sub_ps(c, _mm_add_ps(pairs, pairs));
        c = _mm_min_ps(c, _mm_sub_ps(_mm_set1_ps(2.0f), c));
    } else {
        c = _mm_min_ps(c, _mm_set1_ps(1.0f));
    }
    __m128i v = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(c, _mm_set1_ps(255.0f)), _mm_set1_ps(0.5f)));
    v = _mm_packs_epi32(v, v);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
}
#endif

} // namespace

void ScanlineCoverage::sweep(Qt::FillRule rule, const Span& span) {
    if (lines_.empty() || width_ == 0 || height_ == 0) {
        return;
    }
    // Kept from fill to fill: a sweep leaves its rows cleared, and a fill as wide as the
    // picture would otherwise take fresh pages from the system every time.
    thread_local Scratch scratch;
    beginSweep(scratch);
    for (int bandTop = 0; bandTop < height_ && !(active_.empty() && next_ == lines_.size());
         bandTop += kBandRows) {
        sweepBand(bandTop, rule, scratch, span);
    }
}

void ScanlineCoverage::beginSweep(Scratch& scratch) {
    const int stride = width_ + 2;
    const int blocks = (stride + (1 << kBlockShift) - 1) >> kBlockShift;
    const int wordsPerRow = (blocks + 63) / 64;
    const int rows = std::min(kBandRows, height_);
    const auto cells = static_cast<std::size_t>(stride) * rows;
    const auto words = static_cast<std::size_t>(wordsPerRow) * rows;
    // Cleared rows are all zeros whatever their width: they only need to be long enough.
    scratch.cells.resize(std::max(scratch.cells.size(), cells), 0.0f);
    scratch.touched.resize(std::max(scratch.touched.size(), words), 0);
    scratch.coverage.resize(std::max(scratch.coverage.size(), static_cast<std::size_t>(width_)));
    scratch.wordsPerRow = wordsPerRow;
    // Lines in order of the band they first reach, which is all the sweep asks of their order:
    // counted into place, in time that follows the lines and bands rather than a sort's.
    const int bands = (height_ + kBandRows - 1) / kBandRows;
    std::vector<std::size_t> starts(static_cast<std::size_t>(bands) + 1, 0);
    for (const Line& line : lines_) {
        ++starts[static_cast<std::size_t>(line.firstRow / kBandRows) + 1];
    }
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<Line> ordered(lines_.size());
    for (const Line& line : lines_) {
        ordered[starts[static_cast<std::size_t>(line.firstRow / kBandRows)]++] = line;
    }
    lines_.swap(ordered);
    active_.clear();
    next_ = 0;
}

void ScanlineCoverage::sweepBand(int bandTop, Qt::FillRule rule, Scratch& scratch,
                                 const Span& span) {
    const int rows = std::min(kBandRows, height_ - bandTop);
    if (rows <= 0) {
        return;
    }
    const int stride = width_ + 2;
    const int blocks = (stride + (1 << kBlockShift) - 1) >> kBlockShift;
    const int wordsPerRow = scratch.wordsPerRow;
    const bool evenOdd = rule == Qt::OddEvenFill;
    const int bandLast = bandTop + rows - 1;
    while (next_ < lines_.size() && lines_[next_].firstRow <= bandLast) {
        active_.push_back(&lines_[next_++]);
    }
    if (active_.empty()) {
        return;
    }
    for (const Line* line : active_) {
        accumulate(*line, bandTop, rows, scratch);
    }
    std::erase_if(active_, [bandLast](const Line* l) { return l->lastRow <= bandLast; });
    std::uint8_t* coverage = scratch.coverage.data();
    for (int row = 0; row < rows; ++row) {
        const int y = area_.top() + bandTop + row;
        float* cells = scratch.cells.data() + static_cast<std::size_t>(row) * stride;
        std::uint64_t* words = scratch.touched.data() + static_cast<std::size_t>(row) * wordsPerRow;
        float acc = 0.0f;
        int x = 0; // the first pixel not yet handed out
        for (int w = 0; w < wordsPerRow; ++w) {
            while (words[w] != 0) {
                // A run of touched blocks: coverage pixel by pixel.
                const int first = w * 64 + std::countr_zero(words[w]);
                int last = first;
                while (last + 1 < blocks &&
                       (words[(last + 1) >> 6] >> ((last + 1) & 63) & 1u) != 0) {
                    ++last;
                }
                for (int b = first; b <= last; ++b) {
                    words[b >> 6] &= ~(std::uint64_t{1} << (b & 63));
                }
                const int from = first << kBlockShift;
                const int to = std::min((last + 1) << kBlockShift, stride);
                const std::uint8_t before = level(acc, evenOdd);
                if (std::min(from, width_) > x && before != 0) {
                    span(y, area_.left() + x, std::min(from, width_) - x, nullptr, before);
                }
                const int shown = std::min(to, width_);
                bool any = false;
                int i = from;
#if defined(__SSE2__)
                std::uint32_t anyFour = 0;
                for (; i + 4 <= shown; i += 4) {
                    const std::uint32_t four = levels4(cells + i, acc, evenOdd);
                    std::memcpy(coverage + (i - from), &four, 4);
                    anyFour |= four;
                }
                any = anyFour != 0;
#endif
                for (; i < shown; ++i) {
                    acc += cells[i];
                    const std::uint8_t v = level(acc, evenOdd);
                    coverage[i - from] = v;
                    any = any || v != 0;
                }
                for (i = std::max(from, shown); i < to; ++i) {
                    acc += cells[i];
                }
                std::fill(cells + from, cells + to, 0.0f);
                if (any && shown > from) {
                    span(y, area_.left() + from, shown - from, coverage, 0);
                }
                x = std::max(x, shown);
            }
        }
        // Right of the last edge, as when the closing edges lie beyond the area.
        const std::uint8_t after = level(acc, evenOdd);
        if (x < width_ && after != 0) {
            span(y, area_.left() + x, width_ - x, nullptr, after);
        }
    }
}

} // namespace mc
