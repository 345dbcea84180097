#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace builder {

struct ToolbarPoint {
    std::int32_t left = 0;
    std::int32_t top = 0;
    friend bool operator==(const ToolbarPoint&, const ToolbarPoint&) = default;
};

enum class ToolbarAction {
    MakeCard,
    ShowPreview,
    ShowBlessingEditor,
    OpenHelp,
    Exit,
    ShowLargePreview,
    ComposeFromPhotos,
};

// One picture button of the main window: an icon and a caption beside it. Released positions
// are the design positions; a pressed button sits ToolbarPressShift pixels right and down.
struct ToolbarButton {
    std::string_view caption;
    std::string_view tooltip; // empty: none
    ToolbarPoint iconReleased;
    ToolbarPoint captionReleased;
    ToolbarAction action;
};

inline constexpr std::int32_t ToolbarPressShift = 2;
inline constexpr std::int32_t ToolbarIconSize = 16;

// The first five keep the element numbers the window has always given them; the larger
// preview and composing, added later, come last in the list but stand where they belong.
inline constexpr std::array<ToolbarButton, 7> ToolbarButtons{{
    {"生成贺卡", "生成贺卡", {16, 296}, {40, 298}, ToolbarAction::MakeCard},
    {"Flash预览窗口", "显示Flash预览窗口", {104, 296}, {128, 298}, ToolbarAction::ShowPreview},
    {"祝福", "显示祝福留言窗口", {168, 32}, {186, 32}, ToolbarAction::ShowBlessingEditor},
    {"使用说明", "", {280, 296}, {304, 298}, ToolbarAction::OpenHelp},
    {"退出", "", {368, 296}, {392, 298}, ToolbarAction::Exit},
    {"大预览",
     "打开可以调整大小的预览窗口：播放、暂停、拖动进度",
     {212, 296},
     {236, 298},
     ToolbarAction::ShowLargePreview},
    // Left of the blessing button, above the blessing: a movie of one's own photos.
    {"用照片制作…",
     "用照片、音乐和文字制作影片",
     {40, 32},
     {58, 32},
     ToolbarAction::ComposeFromPhotos},
}};

constexpr ToolbarPoint pressed(ToolbarPoint released) {
    return {released.left + ToolbarPressShift, released.top + ToolbarPressShift};
}

} // namespace builder
