#include "BoxBlur.h"

#include <algorithm>
#include <cmath>

namespace mc {
namespace {

constexpr double kMaxStageBlur = 255.0;
constexpr int kMaxPasses = 15;
// Beyond this a box only flattens the layer further; it keeps the reach finite.
constexpr double kMaxDeviceBlur = 4096.0;

// The passes work on 8-bit levels (0..255) held in floats: sums of whole levels stay exact,
// and each pass keeps only the whole levels of its result, truncated, as Flash does. That
// truncation is what keeps a strong glow's faint tail from reaching the full blur width.
constexpr float kLevels = 255.0f;
// Far below the distance between a true fraction and the next level (1 / 4097 at most), far
// above the float error of one weighted sum.
constexpr float kLevelSlack = 1.0f / 8192.0f;

// Values are never negative, so the integer conversion (one vector instruction, unlike
// floor on plain x86-64) truncates as floor would.
float truncated(float value) {
    return static_cast<float>(static_cast<int>(value + kLevelSlack));
}

struct Box {
    int radius = 0;       // pixels at full weight each side of the centre
    float endWeight = 0;  // weight of the pixel just past the radius, each side
    float normaliser = 1; // 1 / total weight
};

Box boxFor(double width) {
    const double half = (width - 1.0) / 2.0;
    Box box;
    box.radius = static_cast<int>(std::floor(half));
    box.endWeight = static_cast<float>(half - box.radius);
    box.normaliser = static_cast<float>(1.0 / width);
    return box;
}

// One horizontal pass over a row. `line` is scratch: the row copied between zero padding
// one box wide on each side, so the sliding window never needs a bounds check.
void blurLine(float* values, int count, const Box& box, std::vector<float>& line) {
    const auto pad = static_cast<std::size_t>(box.radius) + 1;
    line.assign(static_cast<std::size_t>(count) + 2 * pad, 0.0f);
    std::copy(values, values + count, line.begin() + static_cast<std::ptrdiff_t>(pad));
    const float* centre = line.data() + pad; // centre[i] is values[i], for i in -pad..count+pad
    float sum = 0.0f;
    for (int i = -box.radius; i <= box.radius; ++i) {
        sum += centre[i];
    }
    for (int i = 0; i < count; ++i) {
        const float ends = centre[i - box.radius - 1] + centre[i + box.radius + 1];
        values[i] = truncated((sum + box.endWeight * ends) * box.normaliser);
        sum += centre[i + box.radius + 1] - centre[i - box.radius];
    }
}

// The vertical pass walks whole rows, keeping one running sum per column, so memory is
// read in order rather than a column at a time.
void blurColumns(Plane& plane, const Box& box, std::vector<float>& source,
                 std::vector<float>& sums) {
    const auto width = static_cast<std::size_t>(plane.width);
    const int height = plane.height;
    source = plane.values;
    std::fill(sums.begin(), sums.end(), 0.0f);
    const auto row = [&](int y) -> const float* {
        return y >= 0 && y < height ? source.data() + static_cast<std::size_t>(y) * width : nullptr;
    };
    const auto add = [&](const float* values) {
        if (values != nullptr) {
            for (std::size_t x = 0; x < width; ++x) {
                sums[x] += values[x];
            }
        }
    };
    const auto subtract = [&](const float* values) {
        if (values != nullptr) {
            for (std::size_t x = 0; x < width; ++x) {
                sums[x] -= values[x];
            }
        }
    };
    for (int y = -box.radius; y <= box.radius; ++y) {
        add(row(y));
    }
    for (int y = 0; y < height; ++y) {
        float* out = plane.values.data() + static_cast<std::size_t>(y) * width;
        const float* before = row(y - box.radius - 1);
        const float* after = row(y + box.radius + 1);
        const float* ends = before ? before : after;
        const float* otherEnd = before && after ? after : nullptr;
        for (std::size_t x = 0; x < width; ++x) {
            float total = sums[x];
            if (ends != nullptr) {
                total += box.endWeight * (ends[x] + (otherEnd ? otherEnd[x] : 0.0f));
            }
            out[x] = truncated(total * box.normaliser);
        }
        add(after);
        subtract(row(y - box.radius));
    }
}

} // namespace

BlurSize deviceBlur(double blurX, double blurY, int passes, FilterScale scale) {
    const auto size = [](double stage, double factor) {
        if (!std::isfinite(stage) || !std::isfinite(factor)) {
            return 0.0;
        }
        return std::clamp(std::clamp(stage, 0.0, kMaxStageBlur) * std::abs(factor), 0.0,
                          kMaxDeviceBlur);
    };
    return BlurSize{size(blurX, scale.x), size(blurY, scale.y), std::clamp(passes, 0, kMaxPasses)};
}

int blurReach(double width, int passes) {
    if (width <= 1.0 || passes <= 0) {
        return 0;
    }
    return passes * static_cast<int>(std::ceil((width - 1.0) / 2.0));
}

void boxBlur(Plane& plane, const BlurSize& size) {
    if (size.none() || plane.values.empty()) {
        return;
    }
    for (float& value : plane.values) {
        value = static_cast<float>(static_cast<int>(value * kLevels + 0.5f));
    }
    std::vector<float> line;
    std::vector<float> source;
    std::vector<float> sums(static_cast<std::size_t>(plane.width));
    float* data = plane.values.data();
    const Box horizontal = boxFor(size.x);
    const Box vertical = boxFor(size.y);
    for (int pass = 0; pass < size.passes; ++pass) {
        if (size.x > 1.0) {
            for (int y = 0; y < plane.height; ++y) {
                blurLine(data + static_cast<std::ptrdiff_t>(y) * plane.width, plane.width,
                         horizontal, line);
            }
        }
        if (size.y > 1.0) {
            blurColumns(plane, vertical, source, sums);
        }
    }
    for (float& value : plane.values) {
        value /= kLevels;
    }
}

} // namespace mc
