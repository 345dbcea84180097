#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Bounds.h"
#include "CharacterCatalog.h"
#include "DisplayObject.h"
#include "RenderBackend.h"
#include "SoundEvents.h"

namespace mc {

// Bounds on the work one movie may cause, whatever its bytes say.
struct TimelineLimits {
    int maxNesting = 16;               // sprites placed inside sprites
    std::size_t maxObjects = 50'000;   // display objects alive at once, all clips together
    std::size_t maxCommands = 200'000; // drawing commands per frame
    int maxActionBlocks = 2'000;       // action blocks run per frame
    // Tags replayed per tick: a block of gotos, each jumping back across a long timeline,
    // costs the timeline's length per goto. Past this the tick's actions are dropped.
    std::size_t maxTagsPerTick = 200'000; // real movies replay a few thousand at most
    int maxMaskNesting = 32;
};

// Plays the root timeline and every sprite in it: display lists, frame counters, the
// ActionScript 1 timeline controls, and the per-frame drawing commands.
//
// Frame numbers here are 0-based indexes. A freshly constructed player shows frame 0 with its
// actions already run; advance() is one tick of the movie's clock.
class TimelinePlayer {
  public:
    TimelinePlayer(const CharacterCatalog& catalog, const swf::Timeline& root, Rgba background,
                   TimelineLimits limits = {});

    // One tick: the root moves on when playing (wrapping or stopping at its last frame as
    // loop() says), every sprite that was already on stage moves on, then the actions of the
    // frames entered run.
    void advance();
    // To the first frame; the playing state stays as it is.
    void rewind();
    // One frame forward / back, then stopped there. Back rebuilds the display list from the
    // first frame up to the wanted one, as players do.
    void stepForward();
    void stepBack();
    // To a frame of the root, running that frame's actions; playing as given.
    void gotoFrame(std::uint32_t frame, bool play);

    bool playing() const { return root_->playing; }
    void setPlaying(bool playing) { root_->playing = playing; }
    bool loop() const { return loop_; }
    void setLoop(bool loop) { loop_ = loop; }
    std::uint32_t currentFrame() const { return root_->frame; }
    std::uint32_t frameCount() const { return root_->frameCount(); }
    Rgba background() const { return background_; }
    const Clip& root() const { return *root_; }
    std::size_t liveObjects() const { return liveObjects_; }

    // The drawing commands of the frame shown, matrices in stage twips.
    void render(RenderBackend& backend) const;

    // Frames entered, clips removed and ticks from now on go to `events` (null: nowhere).
    // On attaching, the frame each clip shows now is reported as entered, so that the
    // sounds of the first frame play.
    void setSoundEvents(SoundEvents* events);

  private:
    struct PendingActions {
        std::weak_ptr<Clip> clip;
        const swf::ActionBlock* block = nullptr;
    };
    using Pool = std::map<std::uint16_t, DisplayObject>;

    void enterFrame(const std::shared_ptr<Clip>& clip, std::uint32_t frame, bool queueActions,
                    Pool* reuse);
    void applyPlace(const std::shared_ptr<Clip>& clip, const swf::PlaceObject& tag,
                    std::uint32_t frame, Pool* reuse);
    void removeAt(Clip& clip, std::uint16_t depth);
    bool instantiate(Clip& parent, DisplayObject& object, std::uint16_t characterId);
    void releaseObject(DisplayObject& object);
    void advanceClip(const std::shared_ptr<Clip>& clip, bool isRoot);
    void advanceChildren(Clip& clip);
    void gotoClipFrame(const std::shared_ptr<Clip>& clip, std::uint32_t frame);
    void runPendingActions();
    void runActionBlock(const std::shared_ptr<Clip>& clip, const swf::ActionBlock& block);
    bool tickBudgetSpent() const { return tagsThisTick_ >= limits_.maxTagsPerTick; }
    std::int64_t frameOfLabel(const Clip& clip, const std::string& label) const;
    void emitClip(RenderBackend& backend, const Clip& clip, const Transform& matrix,
                  const ColorTransform& cx, bool inMask, std::size_t& budget) const;
    void emitObject(RenderBackend& backend, const DisplayObject& object,
                    const Transform& parentMatrix, const ColorTransform& parentCx, bool inMask,
                    std::size_t& budget) const;
    void emitButton(RenderBackend& backend, const swf::Button& button, const Transform& matrix,
                    const ColorTransform& cx, std::size_t& budget) const;
    // What the characters of `object` and everything inside it cover under `m`, from the
    // bounds their definitions state; each object visited uses up one of `budget`.
    Bounds contentBounds(const DisplayObject& object, const Transform& m,
                         std::size_t& budget) const;

    const CharacterCatalog& catalog_;
    TimelineLimits limits_;
    Rgba background_;
    std::shared_ptr<Clip> root_;
    bool loop_ = true;
    std::size_t liveObjects_ = 0;
    std::vector<PendingActions> pending_;
    mutable std::map<const swf::Timeline*, std::map<std::string, std::uint32_t>> labels_;
    // Objects placed during the current tick; they do not advance in the tick that made them.
    std::uint64_t tick_ = 0;
    std::size_t tagsThisTick_ = 0;
    SoundEvents* sound_ = nullptr;
};

} // namespace mc
