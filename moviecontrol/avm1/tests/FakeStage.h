#pragma once
// A small display tree for the machine's tests: named clips with a timeline position, and a
// host that records what scripts ask of the stage.

#include "avm1/Machine.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace avm1test {

class FakeClip : public avm1::Object {
  public:
    FakeClip(avm1::Object* proto, std::string name, FakeClip* parent)
        : Object(proto), name(std::move(name)), parent(parent) {}
    bool isDisplayObject() const override { return true; }
    std::string_view className() const override { return "MovieClip"; }
    bool getVirtual(avm1::Machine& m, const avm1::Str& name, avm1::Value& out) override;
    bool hasVirtual(avm1::Machine& m, const avm1::Str& name) override;
    bool setVirtual(avm1::Machine& m, const avm1::Str& name, const avm1::Value& v) override;
    void trace(avm1::Tracer& t) override {
        for (FakeClip* c : children) {
            t.mark(c);
        }
        t.mark(parent);
    }

    std::string name;
    FakeClip* parent;
    std::vector<FakeClip*> children;
    std::uint32_t frame = 0;
    std::uint32_t totalFrames = 10;
    // Frames streamed in so far, while the movie is still loading; all of them when unset.
    std::optional<std::uint32_t> loadedFrames;
    bool playing = true;
    double x = 0;
    std::map<std::string, std::uint32_t> labels;
};

class FakeStage : public avm1::Host {
  public:
    explicit FakeStage(int version = 7, avm1::Limits limits = {});

    FakeClip* addClip(FakeClip* parent, const std::string& name);
    // Runs a block on the root (or `clip`) and returns the trace lines since the last call.
    std::vector<std::string> run(const std::vector<std::uint8_t>& bytes, FakeClip* clip = nullptr);
    std::vector<std::string> takeLines();

    avm1::Object* level(int n) override { return n == 0 ? rootClip : nullptr; }
    avm1::Object* root(avm1::Object*) override { return rootClip; }
    avm1::Object* parent(avm1::Object* clip) override;
    avm1::Object* child(avm1::Object* clip, std::string_view name, bool caseSensitive) override;
    std::string dotPath(avm1::Object* clip) override;
    std::string slashPath(avm1::Object* clip) override;
    void gotoFrame(avm1::Object* clip, std::uint32_t frame, bool play) override;
    bool gotoLabel(avm1::Object* clip, std::string_view label, bool play) override;
    void play(avm1::Object* clip) override { asClip(clip)->playing = true; }
    void stop(avm1::Object* clip) override { asClip(clip)->playing = false; }
    void nextFrame(avm1::Object* clip) override;
    void prevFrame(avm1::Object* clip) override;
    std::uint32_t currentFrame(avm1::Object* clip) override { return asClip(clip)->frame; }
    std::uint32_t framesLoaded(avm1::Object* clip) override {
        return asClip(clip)->loadedFrames.value_or(asClip(clip)->totalFrames);
    }
    std::uint32_t totalFrames(avm1::Object* clip) override { return asClip(clip)->totalFrames; }
    std::optional<std::uint32_t> frameOfLabel(avm1::Object* clip, std::string_view label) override;
    void callFrame(avm1::Object* clip, std::uint32_t frame) override;
    void cloneSprite(avm1::Object* clip, std::string_view name, int depth) override;
    void removeSprite(avm1::Object* clip) override;
    void startDrag(avm1::Object*, bool, std::optional<DragBounds>) override { ++drags; }
    void stopDrag() override {}
    void getUrl(const avm1::UrlRequest& request) override { urls.push_back(request); }
    void fscommand(std::string_view command, std::string_view args) override {
        commands.emplace_back(std::string(command) + "|" + std::string(args));
    }
    void trace(std::string_view line) override { lines.emplace_back(line); }
    double timerMs() override { return clock; }
    double wallClockMs() override { return wallClock; }
    double localOffsetMinutes(double) override { return offsetMinutes; }
    void reportLimit(avm1::LimitKind kind, std::string_view) override { limits.push_back(kind); }
    void traceRoots(avm1::Tracer& tracer) override { tracer.mark(rootClip); }

    static FakeClip* asClip(avm1::Object* o) { return static_cast<FakeClip*>(o); }

    avm1::Machine vm;
    FakeClip* rootClip = nullptr;
    std::vector<std::string> lines;
    std::vector<avm1::UrlRequest> urls;
    std::vector<std::string> commands;
    std::vector<avm1::LimitKind> limits;
    std::map<std::uint32_t, std::vector<std::uint8_t>> frameScripts; // Call action targets
    int drags = 0;
    double clock = 0;
    double wallClock = 0;
    double offsetMinutes = 0;
};

} // namespace avm1test
