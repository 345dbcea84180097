#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "avm1/Host.h"

namespace mc {

class StageScripts;
class TimelinePlayer;

// What the script machine asks of the stage: clips by path, their timelines, dragging, the
// outside world (getURL, fscommand, trace, the clock) and bitmaps the renderer paints. It
// answers through the stage's display tree and callbacks and keeps nothing of its own.
class StageHost final : public avm1::Host {
  public:
    explicit StageHost(StageScripts& stage) : stage_(stage) {}

    avm1::Object* level(int n) override;
    avm1::Object* root(avm1::Object* clip) override;
    avm1::Object* parent(avm1::Object* clip) override;
    avm1::Object* child(avm1::Object* clip, std::string_view name, bool caseSensitive) override;
    std::string dotPath(avm1::Object* clip) override;
    std::string slashPath(avm1::Object* clip) override;
    bool displayProperty(avm1::Object* clip, std::string_view name, avm1::Value& out) override;
    bool removed(avm1::Object* clip) override;
    void gotoFrame(avm1::Object* clip, std::uint32_t frame, bool play) override;
    bool gotoLabel(avm1::Object* clip, std::string_view label, bool play) override;
    void play(avm1::Object* clip) override;
    void stop(avm1::Object* clip) override;
    void nextFrame(avm1::Object* clip) override;
    void prevFrame(avm1::Object* clip) override;
    std::uint32_t currentFrame(avm1::Object* clip) override;
    std::uint32_t framesLoaded(avm1::Object* clip) override;
    std::uint32_t totalFrames(avm1::Object* clip) override;
    std::optional<std::uint32_t> frameOfLabel(avm1::Object* clip, std::string_view label) override;
    void callFrame(avm1::Object* clip, std::uint32_t frame) override;
    void cloneSprite(avm1::Object* clip, std::string_view name, int depth) override;
    void removeSprite(avm1::Object* clip) override;
    void startDrag(avm1::Object* clip, bool lockCenter, std::optional<DragBounds> bounds) override;
    void stopDrag() override;
    void getUrl(const avm1::UrlRequest& request) override;
    void fscommand(std::string_view command, std::string_view args) override;
    void trace(std::string_view line) override;
    double timerMs() override;
    std::optional<pixels::BitmapPixels> libraryBitmap(std::string_view name) override;
    void drawIntoBitmap(pixels::BitmapPixels& target, const avm1::BitmapDrawing& drawing) override;
    bool filterIntoBitmap(pixels::BitmapPixels& target, const pixels::BitmapPixels& source,
                          pixels::Placement at, const avm1::FilterFields& filter) override;
    std::optional<pixels::PixelRect> filteredRect(pixels::PixelRect rect,
                                                  const avm1::FilterFields& filter) override;
    void toggleQuality() override;
    void stopSounds() override;
    void reportLimit(avm1::LimitKind kind, std::string_view message) override;
    void traceRoots(avm1::Tracer& tracer) override;

  private:
    StageScripts& stage_;
};

} // namespace mc
