// The docking rules over arbitrary window layouts, cursor paths and message sequences: no
// overflow, a move keeps the window's size, and only docked companions are moved.
#include "Docking.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <map>

namespace {

using builder::DockMessage;
using builder::DockRect;
using builder::WindowHandle;

// Window systems keep coordinates far inside this.
constexpr std::int32_t Reach = 1 << 20;

class FuzzPlatform : public builder::DockPlatform {
  public:
    explicit FuzzPlatform(FuzzedDataProvider& data) : data_(data) {}

    std::optional<DockRect> windowRect(WindowHandle window) const override {
        const auto it = rects.find(window);
        if (it == rects.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    builder::DockPoint cursorPos() const override { return cursor; }
    DockRect workArea() const override { return work; }
    std::vector<builder::LoadedWindow> loadedWindows() const override {
        std::vector<builder::LoadedWindow> loaded;
        for (const auto& [window, rect] : rects) {
            loaded.push_back({window, (window & 1) != 0, rect});
        }
        return loaded;
    }
    void moveWindow(WindowHandle window, const DockRect& rect) override {
        const DockRect before = rects.at(window);
        if (rect.width() != before.width() || rect.height() != before.height()) {
            std::abort();
        }
        rects[window] = rect;
    }
    void installDockFilter(WindowHandle) override {}

    std::int32_t coordinate() { return data_.ConsumeIntegralInRange(-Reach, Reach); }
    DockRect rect() {
        const std::int32_t left = coordinate();
        const std::int32_t top = coordinate();
        return {left, top, left + data_.ConsumeIntegralInRange(0, 4000),
                top + data_.ConsumeIntegralInRange(0, 4000)};
    }

    FuzzedDataProvider& data_;
    std::map<WindowHandle, DockRect> rects;
    DockRect work;
    builder::DockPoint cursor;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    FuzzPlatform platform(data);
    builder::Docking docking(platform);
    platform.work = platform.rect();
    const int windows = data.ConsumeIntegralInRange(1, 6);
    for (int i = 1; i <= windows; ++i) {
        platform.rects[static_cast<WindowHandle>(i)] = platform.rect();
        docking.AttachDockWindow(static_cast<WindowHandle>(i), data.ConsumeBool());
    }
    for (int step = 0; step < 64 && data.remaining_bytes() > 0; ++step) {
        const auto window = static_cast<WindowHandle>(data.ConsumeIntegralInRange(0, windows + 1));
        platform.cursor = {platform.coordinate(), platform.coordinate()};
        DockRect rect = platform.rect();
        const int edge = data.ConsumeIntegralInRange(0, 9);
        switch (data.ConsumeIntegralInRange(0, 2)) {
        case 0:
            docking.DockWindowProc(window, DockMessage::EnterSizeMove, 0, rect);
            break;
        case 1: {
            const DockRect proposed = rect;
            if (docking.DockWindowProc(window, DockMessage::Moving, 0, rect) &&
                (rect.width() != proposed.width() || rect.height() != proposed.height())) {
                std::abort();
            }
            break;
        }
        default:
            docking.DockWindowProc(window, DockMessage::Sizing, edge, rect);
            break;
        }
        if (platform.rects.count(window)) {
            platform.rects[window] = rect;
        }
    }
    return 0;
}
