#include "Vp6Reconstruct.h"

#include <algorithm>
#include <cstdlib>

#include "Vp6Tables.h"

namespace video::vp6 {

namespace {

std::uint8_t clampSample(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

constexpr int kC1 = 64277; // cos(k pi / 16) in 16-bit fixed point
constexpr int kC2 = 60547;
constexpr int kC3 = 54491;
constexpr int kC4 = 46341;
constexpr int kC5 = 36410;
constexpr int kC6 = 25080;
constexpr int kC7 = 12785;

int mul(int c, int v) {
    return static_cast<int>((static_cast<std::int64_t>(c) * v) >> 16);
}

// One 8-point pass over in[0], in[step], ... ; `bias` is added to the even part.
void idct8(const int* in, int step, int bias, int out[8]) {
    const int i0 = in[0];
    const int i1 = in[step];
    const int i2 = in[2 * step];
    const int i3 = in[3 * step];
    const int i4 = in[4 * step];
    const int i5 = in[5 * step];
    const int i6 = in[6 * step];
    const int i7 = in[7 * step];
    const int a = mul(kC1, i1) + mul(kC7, i7);
    const int b = mul(kC7, i1) - mul(kC1, i7);
    const int c = mul(kC3, i3) + mul(kC5, i5);
    const int d = mul(kC3, i5) - mul(kC5, i3);
    const int ad = mul(kC4, a - c);
    const int bd = mul(kC4, b - d);
    const int cd = a + c;
    const int dd = b + d;
    const int e = mul(kC4, i0 + i4) + bias;
    const int f = mul(kC4, i0 - i4) + bias;
    const int g = mul(kC2, i2) + mul(kC6, i6);
    const int h = mul(kC6, i2) - mul(kC2, i6);
    const int ed = e - g;
    const int gd = e + g;
    const int add = f + ad;
    const int bdd = bd - h;
    const int fd = f - ad;
    const int hd = bd + h;
    out[0] = gd + cd;
    out[7] = gd - cd;
    out[1] = add + hd;
    out[2] = add - hd;
    out[3] = ed + dd;
    out[4] = ed - dd;
    out[5] = fd + bdd;
    out[6] = fd - bdd;
}

// Rows first, kept to 16 bits as the reference does, then columns with rounding.
std::array<int, 64> inverseTransform(const std::array<std::int16_t, 64>& coeffs) {
    std::array<int, 64> rows{};
    for (int r = 0; r < 8; ++r) {
        int in[8];
        for (int i = 0; i < 8; ++i) {
            in[i] = coeffs[static_cast<std::size_t>(r * 8 + i)];
        }
        int out[8];
        idct8(in, 1, 0, out);
        for (int i = 0; i < 8; ++i) {
            rows[static_cast<std::size_t>(r * 8 + i)] = static_cast<std::int16_t>(out[i]);
        }
    }
    std::array<int, 64> result{};
    for (int col = 0; col < 8; ++col) {
        int out[8];
        idct8(rows.data() + col, 8, 8, out);
        for (int r = 0; r < 8; ++r) {
            result[static_cast<std::size_t>(r * 8 + col)] = out[r] >> 4;
        }
    }
    return result;
}

int bounded(int v, int limit) {
    const int m = std::abs(v);
    if (m < limit) {
        return v;
    }
    if (m < 2 * limit) {
        return v < 0 ? -(2 * limit - m) : 2 * limit - m;
    }
    return 0;
}

constexpr int kWindow = 12;
using Window = std::array<std::uint8_t, kWindow * kWindow>;

// Smooths one block edge of the reference inside the window: `at` is the first sample
// after the edge, `step` crosses it and `along` runs down it.
void deblockEdge(Window& w, int at, int step, int along, int limit) {
    for (int i = 0; i < kWindow; ++i, at += along) {
        const int p0 = w[static_cast<std::size_t>(at - 2 * step)];
        const int p1 = w[static_cast<std::size_t>(at - step)];
        const int q0 = w[static_cast<std::size_t>(at)];
        const int q1 = w[static_cast<std::size_t>(at + step)];
        const int v = bounded((p0 - q1 + 3 * (q0 - p1) + 4) >> 3, limit);
        w[static_cast<std::size_t>(at - step)] = clampSample(p1 + v);
        w[static_cast<std::size_t>(at)] = clampSample(q0 - v);
    }
}

int blockVariance(const Window& w, int origin) {
    int sum = 0;
    int squares = 0;
    for (int y = 0; y < 8; y += 2) {
        for (int x = 0; x < 8; x += 2) {
            const int v = w[static_cast<std::size_t>(origin + y * kWindow + x)];
            sum += v;
            squares += v * v;
        }
    }
    return (16 * squares - sum * sum) >> 8;
}

int floorDiv(int v, int shift) {
    return v >> shift; // arithmetic: rounds towards minus infinity
}

} // namespace

void transformPut(const std::array<std::int16_t, 64>& coeffs, Plane& plane, int x, int y) {
    const std::array<int, 64> r = inverseTransform(coeffs);
    for (int j = 0; j < 8; ++j) {
        std::uint8_t* row = plane.row(y + j) + x;
        for (int i = 0; i < 8; ++i) {
            row[i] = clampSample(r[static_cast<std::size_t>(j * 8 + i)] + 128);
        }
    }
}

void transformAdd(const std::array<std::int16_t, 64>& coeffs, int selector, Plane& plane, int x,
                  int y) {
    if (selector <= 1) {
        const int dc = (coeffs[0] + 15) >> 5;
        for (int j = 0; j < 8; ++j) {
            std::uint8_t* row = plane.row(y + j) + x;
            for (int i = 0; i < 8; ++i) {
                row[i] = clampSample(row[i] + dc);
            }
        }
        return;
    }
    const std::array<int, 64> r = inverseTransform(coeffs);
    for (int j = 0; j < 8; ++j) {
        std::uint8_t* row = plane.row(y + j) + x;
        for (int i = 0; i < 8; ++i) {
            row[i] = clampSample(row[i] + r[static_cast<std::size_t>(j * 8 + i)]);
        }
    }
}

void copyBlock(const Plane& ref, Plane& out, int x, int y) {
    for (int j = 0; j < 8; ++j) {
        std::copy_n(ref.row(y + j) + x, 8, out.row(y + j) + x);
    }
}

void predictBlock(const Plane& ref, Plane& out, int x, int y, MotionVector mv, bool luma,
                  const PredictionFilter& filter) {
    const int shift = luma ? 2 : 3;
    const int div = 1 << shift;
    // The window covers the block moved by the whole-pixel part of the vector (rounded
    // towards zero) plus two samples all round; outside the picture the edge repeats.
    const int dx = mv.x / div;
    const int dy = mv.y / div;
    Window w{};
    for (int j = 0; j < kWindow; ++j) {
        for (int i = 0; i < kWindow; ++i) {
            w[static_cast<std::size_t>(j * kWindow + i)] =
                ref.clamped(x + dx - 2 + i, y + dy - 2 + j);
        }
    }
    if (filter.deblock) {
        // The reference's own block edges that cross the prediction get the loop filter.
        if ((dx & 7) != 0) {
            deblockEdge(w, 10 - (dx & 7), 1, kWindow, filter.deblockLimit);
        }
        if ((dy & 7) != 0) {
            deblockEdge(w, (10 - (dy & 7)) * kWindow, kWindow, 1, filter.deblockLimit);
        }
    }
    int fx = mv.x & (div - 1);
    int fy = mv.y & (div - 1);
    // Sub-pixel filters start at the sample left of / above the true position.
    const int ox = 2 + floorDiv(mv.x, shift) - dx;
    const int oy = 2 + floorDiv(mv.y, shift) - dy;
    const int origin = oy * kWindow + ox;
    bool fourTap = false;
    if (luma) {
        fx *= 2;
        fy *= 2;
        fourTap = filter.mode != 0;
        if (filter.mode == 2) {
            // A long vector, or a flat block, takes the bilinear filter instead.
            const bool longVector = filter.maxVector != 0 && (std::abs(mv.x) > filter.maxVector ||
                                                              std::abs(mv.y) > filter.maxVector);
            if (longVector || (filter.varianceLimit != 0 &&
                               blockVariance(w, 2 * kWindow + 2) < filter.varianceLimit)) {
                fourTap = false;
            }
        }
    }
    const auto sample = [&](int at) { return static_cast<int>(w[static_cast<std::size_t>(at)]); };
    const auto put = [&](int i, int j, int v) { out.row(y + j)[x + i] = clampSample(v); };
    if (fx == 0 && fy == 0) {
        for (int j = 0; j < 8; ++j) {
            for (int i = 0; i < 8; ++i) {
                put(i, j, sample(origin + j * kWindow + i));
            }
        }
        return;
    }
    if (fourTap) {
        const std::int16_t* hw = kFourTapFilters[filter.taps][fx];
        const std::int16_t* vw = kFourTapFilters[filter.taps][fy];
        const auto tap = [](const std::int16_t* k, int a, int b, int c, int d) {
            return (a * k[0] + b * k[1] + c * k[2] + d * k[3] + 64) >> 7;
        };
        if (fy == 0 || fx == 0) {
            const int step = fy == 0 ? 1 : kWindow;
            const std::int16_t* k = fy == 0 ? hw : vw;
            for (int j = 0; j < 8; ++j) {
                for (int i = 0; i < 8; ++i) {
                    const int at = origin + j * kWindow + i;
                    put(i, j,
                        tap(k, sample(at - step), sample(at), sample(at + step),
                            sample(at + 2 * step)));
                }
            }
            return;
        }
        // Both directions: 11 rows filtered across, then down, clamped in between.
        int tmp[11][8];
        for (int j = 0; j < 11; ++j) {
            for (int i = 0; i < 8; ++i) {
                const int at = origin + (j - 1) * kWindow + i;
                tmp[j][i] = clampSample(
                    tap(hw, sample(at - 1), sample(at), sample(at + 1), sample(at + 2)));
            }
        }
        for (int j = 0; j < 8; ++j) {
            for (int i = 0; i < 8; ++i) {
                put(i, j, tap(vw, tmp[j][i], tmp[j + 1][i], tmp[j + 2][i], tmp[j + 3][i]));
            }
        }
        return;
    }
    // Bilinear in eighths; diagonal positions filter across first, rounding each pass.
    const auto lerp = [](int a, int b, int f) { return ((8 - f) * a + f * b + 4) >> 3; };
    if (fy == 0 || fx == 0) {
        const int step = fy == 0 ? 1 : kWindow;
        const int f = fy == 0 ? fx : fy;
        for (int j = 0; j < 8; ++j) {
            for (int i = 0; i < 8; ++i) {
                const int at = origin + j * kWindow + i;
                put(i, j, lerp(sample(at), sample(at + step), f));
            }
        }
        return;
    }
    int tmp[9][8];
    for (int j = 0; j < 9; ++j) {
        for (int i = 0; i < 8; ++i) {
            const int at = origin + j * kWindow + i;
            tmp[j][i] = lerp(sample(at), sample(at + 1), fx);
        }
    }
    for (int j = 0; j < 8; ++j) {
        for (int i = 0; i < 8; ++i) {
            put(i, j, lerp(tmp[j][i], tmp[j + 1][i], fy));
        }
    }
}

} // namespace video::vp6
