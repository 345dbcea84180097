#include "composer/Styles.h"

#include <array>

namespace composer {

namespace {

constexpr std::array<Style, 6> kStyles = {{
    {"新春",
     "红与金，灯笼和烟花，照片缓缓推移放大",
     {178, 16, 24},
     {92, 6, 10},
     Transition::ZoomPan,
     WipeShape::Circle,
     Decoration::Lanterns,
     {255, 214, 90},
     {255, 236, 180},
     {90, 0, 0},
     true},
    {"生日",
     "气球与彩纸，照片依次推入",
     {255, 236, 200},
     {255, 180, 190},
     Transition::Push,
     WipeShape::Star,
     Decoration::Balloons,
     {230, 60, 120},
     {120, 40, 90},
     {255, 255, 255},
     true},
    {"圣诞",
     "飘雪，照片经星形遮罩展开",
     {16, 60, 40},
     {6, 24, 40},
     Transition::MaskWipe,
     WipeShape::Star,
     Decoration::Snow,
     {255, 255, 255},
     {230, 240, 255},
     {120, 10, 20},
     true},
    {"爱心",
     "升起的爱心，照片经心形遮罩展开",
     {255, 214, 226},
     {230, 120, 160},
     Transition::MaskWipe,
     WipeShape::Heart,
     Decoration::Hearts,
     {200, 20, 70},
     {120, 20, 60},
     {255, 240, 245},
     false},
    {"中秋",
     "明月与浮云，照片缓缓推移放大",
     {20, 30, 70},
     {4, 8, 28},
     Transition::ZoomPan,
     WipeShape::Circle,
     Decoration::MoonClouds,
     {255, 226, 150},
     {240, 230, 200},
     {10, 10, 40},
     false},
    {"简约",
     "素净的淡入淡出，没有装饰",
     {245, 245, 240},
     {220, 220, 214},
     Transition::CrossFade,
     WipeShape::Circle,
     Decoration::None,
     {40, 40, 40},
     {70, 70, 70},
     {255, 255, 255},
     false},
}};

} // namespace

std::span<const Style> allStyles() {
    return kStyles;
}

const Style* findStyle(std::string_view name) {
    for (const Style& s : kStyles) {
        if (name == s.name) {
            return &s;
        }
    }
    return nullptr;
}

} // namespace composer
