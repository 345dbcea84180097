#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "Bounds.h"
#include "CharacterCatalog.h"
#include "DisplayObject.h"
#include "MovieLibrary.h"
#include "RenderBackend.h"
#include "ScriptRunner.h"
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
    // Script work queued per tick (action blocks, handlers, constructors); past this the
    // rest of the tick's queue is dropped, so that scripts re-queuing work cannot spin.
    std::size_t maxQueuedScripts = 100'000;
};

// Plays the root timeline and every sprite in it: display lists, frame counters, when the
// movie's scripts run, and the per-frame drawing commands.
//
// Frame numbers here are 0-based indexes. A freshly constructed player shows frame 0 with its
// actions already run; advance() is one tick of the movie's clock.
//
// Each tick follows the players' order: every clip, newest first and the root last, gets its
// enterFrame event and then moves on one frame when it plays; the scripts this queued (init
// actions first, then constructors, then frame actions and events in the order queued) run
// after the whole display tree has moved.
class TimelinePlayer {
  public:
    // The movie's scripts run through `runner`; without one its action blocks are not run.
    // `rootMovie`, when given, is the movie `catalog` answers for.
    TimelinePlayer(const CharacterCatalog& catalog, const swf::Timeline& root, Rgba background,
                   TimelineLimits limits = {}, ScriptRunner* runner = nullptr,
                   const swf::Movie* rootMovie = nullptr);

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
    const CharacterCatalog& catalog() const { return library_.catalog(0); }
    // The dictionaries of the first movie and of the movies scripts loaded.
    MovieLibrary& library() { return library_; }
    const MovieLibrary& library() const { return library_; }
    // The dictionary the object's character id (and its children's) belong to.
    const CharacterCatalog& catalogOf(const DisplayObject& object) const {
        return library_.catalog(object.library);
    }

    // ---- Movies loaded by scripts (LoadedContent.cpp).

    // The clip shows the movie of `library` from its first frame on: its children and
    // drawing go (with their unload events), its name, depth and placement stay, its load
    // event runs and the first frame's actions are queued. False for a clip that cannot hold
    // a movie or an unknown library.
    bool replaceContent(DisplayObject& clip, std::uint16_t library);
    // _levelN: 0 is the root; the others exist once a movie was loaded into them.
    DisplayObject* level(int n) const;
    // An empty level (made when missing); null past the level limits.
    DisplayObject* makeLevel(int n);
    // unloadMovieNum: level 0 is emptied, the others go.
    void unloadLevel(int n);
    // The levels above the root, lowest first.
    std::vector<DisplayObject*> upperLevels() const;
    static constexpr int kMaxLevel = 1 << 20;
    static constexpr std::size_t kMaxLevels = 64;

    // The drawing commands of the frame shown, matrices in stage twips.
    void render(RenderBackend& backend) const;
    // The drawing commands of one object's content alone, under `matrix` (from its own
    // twips) rather than its place on the stage: BitmapData.draw's picture of it.
    void renderContent(RenderBackend& backend, const DisplayObject& object, const Transform& matrix,
                       const ColorTransform& cx) const;

    // Frames entered, clips removed and ticks from now on go to `events` (null: nowhere).
    // On attaching, the frame each clip shows now is reported as entered, so that the
    // sounds of the first frame play.
    void setSoundEvents(SoundEvents* events);

    // ---- The display tree as scripts see it.

    DisplayObject& rootObject() { return *rootObject_; }
    const DisplayObject& rootObject() const { return *rootObject_; }
    // A live object by its serial; null once it left the display list.
    std::shared_ptr<DisplayObject> bySerial(std::uint64_t serial) const;
    std::shared_ptr<DisplayObject> sharedOf(const DisplayObject& object) const {
        return bySerial(object.serial);
    }
    // A child by instance name; names compare without case unless `caseSensitive`. The
    // lowest depth wins when names repeat.
    std::shared_ptr<DisplayObject> childByName(const DisplayObject& parent, std::string_view name,
                                               bool caseSensitive) const;
    // How names compare without case beyond ASCII (the script machine's letter tables);
    // ASCII only when unset.
    using NameFold = bool (*)(std::string_view, std::string_view);
    void setNameFold(NameFold fold) { nameFold_ = fold; }
    std::shared_ptr<DisplayObject> childAtDepth(const DisplayObject& parent,
                                                std::int32_t depth) const;

    // Timeline control of any clip, as the script methods do. Frames are 0-based; a frame
    // past the end goes to the last one.
    void gotoClipFrame(DisplayObject& clip, std::uint32_t frame, bool play);
    bool gotoClipLabel(DisplayObject& clip, const std::string& label, bool play);
    void setClipPlaying(DisplayObject& clip, bool playing);
    void nextClipFrame(DisplayObject& clip);
    void previousClipFrame(DisplayObject& clip);
    // -1 when the clip has no such label (labels compare without case).
    std::int64_t frameOfLabel(const Clip& clip, const std::string& label) const;

    // Dynamic children. Each returns the new object or null (unknown symbol, depth out of
    // range, object limit reached). An object already at the depth is removed first.
    std::shared_ptr<DisplayObject> attachMovie(DisplayObject& parent, std::string_view symbol,
                                               std::string_view name, std::int32_t depth);
    std::shared_ptr<DisplayObject> duplicateClip(DisplayObject& original, std::string_view name,
                                                 std::int32_t depth);
    std::shared_ptr<DisplayObject> createEmptyClip(DisplayObject& parent, std::string_view name,
                                                   std::int32_t depth);
    // attachBitmap: a bitmap drawn from a script's pixels, named after its depth.
    std::shared_ptr<DisplayObject> attachPixels(DisplayObject& parent, std::int32_t depth,
                                                std::shared_ptr<const PixelSource> pixels,
                                                bool smoothing);
    std::shared_ptr<DisplayObject> createTextField(DisplayObject& parent, std::string_view name,
                                                   std::int32_t depth, const Bounds& twips);
    // removeMovieClip: only objects at the depths scripts own can go. True when removed.
    bool removeByScript(DisplayObject& object);
    bool removableByScript(const DisplayObject& object) const;
    // Variables a load brought arrived for `clip`: its data event runs.
    void dataArrived(DisplayObject& clip);
    // unloadMovie: the clip's children go and its timeline is emptied.
    void unloadClip(DisplayObject& clip);
    // swapDepths with a depth (whatever is there moves to the object's old depth).
    bool swapDepths(DisplayObject& object, std::int32_t depth);
    // The depth above every child, never below 0.
    std::int32_t nextHighestDepth(const DisplayObject& parent) const;
    // setMask: `mask` null clears it.
    void setMask(DisplayObject& object, DisplayObject* mask);

    // Where an object is: its matrix to the stage, and the bounds of its content in the
    // space `toSpace` maps into (identity: its own space). The global matrix maps the
    // object's content, moved by its scroll window; the frame matrix the object itself,
    // where its window and bounds stand.
    Transform globalMatrix(const DisplayObject& object) const;
    Transform frameMatrix(const DisplayObject& object) const;
    Bounds boundsOf(const DisplayObject& object, const Transform& toSpace) const;
    // The bounds scripts read (getBounds, hitTest between clips): a morph shape counts with
    // its start shape whatever its ratio, as players report it.
    Bounds scriptBoundsOf(const DisplayObject& object, const Transform& toSpace) const;

    // The tick counter; scripts' timers and tools read it.
    std::uint64_t tick() const { return tick_; }
    // Runs what scripts queued outside a tick (timers, a widget's calls) now.
    void runQueuedScripts() { runPendingActions(); }
    // Objects with an edit field's state, for the stage's variable bindings.
    template <class F> void forEachObject(F&& f) const {
        for (const auto& [serial, weak] : objects_) {
            if (auto o = weak.lock(); o && !o->removed) {
                f(*o);
            }
        }
    }

    // ---- Input. The caller runs the queue (runInputScripts) once the event is handled.

    // Shows a button's records of `state` (up 1, over 2, down 4) as its children.
    void setButtonState(DisplayObject& button, std::uint8_t state);
    // Runs what an input event queued, with the budgets of a tick of its own.
    void runInputScripts();

    // A button's action block, run with `timeline` as its clip: buttons act on the timeline
    // that holds them.
    void queueActions(DisplayObject& timeline, const swf::ActionBlock& block);
    // The object's onClipEvent blocks for `event` and its handler method `handler`.
    void queueClipEvent(DisplayObject& object, std::uint32_t event, const char* handler) {
        dispatchEvent(object, event, handler);
    }
    // The onClipEvent(keyPress) blocks of the object whose key is `buttonKey`.
    void queueKeyPress(DisplayObject& object, std::uint8_t buttonKey);
    // Clips in the order a tick visits them: newest first, the root last.
    std::vector<std::shared_ptr<DisplayObject>> clipsNewestFirst() const;

  private:
    NameFold nameFold_ = nullptr;
    enum class QueuedKind : std::uint8_t { Actions, Handler, Construct };
    struct QueuedScript {
        std::shared_ptr<DisplayObject> object;
        QueuedKind kind = QueuedKind::Actions;
        const swf::ActionBlock* block = nullptr;
        const char* handler = nullptr;
        // Unload scripts run for objects already removed; nothing else does.
        bool unload = false;
    };
    using Pool = DisplayList;

    void enterFrame(DisplayObject& object, std::uint32_t frame, bool queueActions, Pool* reuse);
    void applyPlace(DisplayObject& parent, const swf::PlaceObject& tag, std::uint32_t frame,
                    Pool* reuse);
    void removeAt(DisplayObject& parent, std::int32_t depth);
    // Makes `object` a live instance of the character inside `parent`; a sprite runs its
    // first frame. `byScript` objects are constructed at once, timeline ones through the
    // queue.
    bool instantiate(DisplayObject& parent, const std::shared_ptr<DisplayObject>& object,
                     std::uint16_t characterId, bool byScript);
    void createTextState(DisplayObject& object);
    void beginScripts();
    void endScripts();
    std::shared_ptr<DisplayObject> insertNew(DisplayObject& parent, std::int32_t depth,
                                             std::string_view name);
    void releaseObject(DisplayObject& object, bool unloadEvents);
    void advanceClip(DisplayObject& object, bool isRoot);
    void gotoFrameOf(DisplayObject& object, std::uint32_t frame);
    void queueFrameActions(DisplayObject& object, std::uint32_t frame);
    void dispatchEvent(DisplayObject& object, std::uint32_t event, const char* handler);
    void queue(QueuedScript script, bool early);
    void runPendingActions();
    void runQueued(const QueuedScript& script);
    bool tickBudgetSpent() const { return tagsThisTick_ >= limits_.maxTagsPerTick; }
    std::shared_ptr<DisplayObject> makeObject();
    void emitClip(RenderBackend& backend, const DisplayObject& clip, const Transform& matrix,
                  const ColorTransform& cx, bool inMask, std::size_t& budget) const;
    void emitObject(RenderBackend& backend, const DisplayObject& object,
                    const Transform& parentMatrix, const ColorTransform& parentCx, bool inMask,
                    std::size_t& budget) const;
    void emitContent(RenderBackend& backend, const DisplayObject& object, const Transform& m,
                     const ColorTransform& cx, bool inMask, std::size_t& budget) const;
    // The content with what the object's scroll window and opaque background add to it.
    void emitSurface(RenderBackend& backend, const DisplayObject& object, const Transform& m,
                     const ColorTransform& cx, bool inMask, std::size_t& budget) const;
    void emitBackground(RenderBackend& backend, const DisplayObject& object,
                        const Transform& m) const;
    // What the characters of `object` and everything inside it cover under `m`, from the
    // bounds their definitions state; each object visited uses up one of `budget`.
    Bounds contentBounds(const DisplayObject& object, const Transform& m, std::size_t& budget,
                         bool startShapes = false) const;
    // `windowed`: a scroll window stands for the content behind it.
    Bounds ownBounds(const DisplayObject& object, const Transform& toSpace, bool startShapes,
                     bool windowed = true) const;

    MovieLibrary library_;
    TimelineLimits limits_;
    Rgba background_;
    ScriptRunner& runner_;
    std::shared_ptr<DisplayObject> rootObject_;
    std::shared_ptr<Clip> root_;
    bool loop_ = true;
    std::size_t liveObjects_ = 0;
    std::uint64_t nextSerial_ = 1;
    // Every live object by serial, for scripts' references.
    std::unordered_map<std::uint64_t, std::weak_ptr<DisplayObject>> objects_;
    // Clips in creation order; each tick walks it newest first.
    std::vector<std::weak_ptr<DisplayObject>> executionList_;
    // Scripts waiting to run: constructors (and the events before them) ahead of the rest.
    std::deque<QueuedScript> earlyQueue_;
    std::deque<QueuedScript> queue_;
    bool runningQueue_ = false;
    std::size_t scriptsThisTick_ = 0;
    // Init actions already run, by library << 16 | sprite id.
    std::set<std::uint32_t> initActionsRun_;
    std::map<int, std::shared_ptr<DisplayObject>> levels_; // above 0
    std::uint64_t instanceNames_ = 0;
    SoundEvents* sound_ = nullptr;
    mutable std::map<const swf::Timeline*, std::map<std::string, std::uint32_t>> labels_;
    // Objects placed during the current tick; they do not advance in the tick that made them.
    std::uint64_t tick_ = 0;
    std::size_t tagsThisTick_ = 0;
};

} // namespace mc
