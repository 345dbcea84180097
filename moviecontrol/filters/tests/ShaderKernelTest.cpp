// A script's shader filter on a layer: the kernel sees the premultiplied layer and paints
// the result; a kernel that answers the wrong size leaves the layer as it was; the
// extensions grow the layer under the stage's scale.
#include "FilterApply.h"
#include "FilterGrowth.h"

#include <gtest/gtest.h>

namespace {

// Swaps red and blue, counting its runs.
class SwapKernel final : public swf::PixelKernel {
  public:
    mutable int runs = 0;
    bool wrongSize = false;
    std::vector<std::uint32_t> run(const std::vector<std::uint32_t>& p, int, int) const override {
        ++runs;
        std::vector<std::uint32_t> out;
        for (const std::uint32_t v : p) {
            out.push_back((v & 0xFF00FF00u) | ((v >> 16) & 0xFF) | ((v & 0xFF) << 16));
        }
        if (wrongSize) {
            out.pop_back();
        }
        return out;
    }
};

TEST(ShaderKernel, RunsOverTheLayerOrLeavesIt) {
    QImage layer(3, 2, QImage::Format_ARGB32_Premultiplied);
    layer.fill(QColor(200, 10, 50));
    auto kernel = std::make_shared<SwapKernel>();
    swf::ShaderFilter f;
    f.kernel = kernel;
    const QImage swapped = mc::applyFilter(layer, f, {});
    EXPECT_EQ(kernel->runs, 1);
    EXPECT_EQ(swapped.size(), layer.size());
    EXPECT_EQ(QColor(swapped.pixel(2, 1)), QColor(50, 10, 200));
    kernel->wrongSize = true;
    EXPECT_EQ(QColor(mc::applyFilter(layer, f, {}).pixel(0, 0)), QColor(200, 10, 50));
    f.kernel = nullptr;
    EXPECT_EQ(QColor(mc::applyFilter(layer, f, {}).pixel(0, 0)), QColor(200, 10, 50));
}

TEST(ShaderKernel, ExtensionsGrowTheLayerUnderTheScale) {
    swf::ShaderFilter f;
    f.left = 2;
    f.right = 3;
    f.top = -5; // nothing shrinks
    f.bottom = 1;
    EXPECT_EQ(mc::filterMargins(f, {2.0, 1.0}), QMargins(4, 0, 6, 1));
}

} // namespace
