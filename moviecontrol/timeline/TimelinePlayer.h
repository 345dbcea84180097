#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "Bounds.h"
#include "CharacterCatalog.h"
#include "ClipControl.h"
#include "DisplayEdits.h"
#include "DisplayObject.h"
#include "EventQueue.h"
#include "MovieLevels.h"
#include "MovieLibrary.h"
#include "ObjectGeometry.h"
#include "PixelSource.h"
#include "RenderBackend.h"
#include "ScriptRunner.h"
#include "SoundEvents.h"
#include "StageFit.h"

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
    // Pictures drawn over the background and beneath everything else (the Stage3D layers),
    // by slot, each with its top-left corner at a stage position in pixels.
    struct Underlay {
        std::shared_ptr<const PixelSource> pixels;
        double x = 0;
        double y = 0;
    };
    void setUnderlay(std::size_t slot, Underlay underlay);
    // How views fit the stage, as the movie's scripts set it (Stage.scaleMode, Stage.align).
    StageLayout& stageLayout() { return stageLayout_; }
    const StageLayout& stageLayout() const { return stageLayout_; }
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

    // The drawing commands of the frame shown, matrices in stage twips.
    void render(RenderBackend& backend) const;
    // The drawing commands of one object's content alone, under `matrix` (from its own
    // twips) rather than its place on the stage: BitmapData.draw's picture of it.
    void renderContent(RenderBackend& backend, const DisplayObject& object, const Transform& matrix,
                       const ColorTransform& cx) const;
    // The same of everything the stage shows (the root and the levels above it), without
    // the background: BitmapData.draw's picture of the stage.
    void renderStageContent(RenderBackend& backend, const Transform& matrix,
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

    // The roles callers reach the timeline through: any clip's timeline control, the
    // display tree as scripts change it, events between ticks, loaded movies and levels,
    // and where objects stand.
    ClipControl& clips() { return clips_; }
    const ClipControl& clips() const { return clips_; }
    DisplayEdits& edits() { return edits_; }
    const DisplayEdits& edits() const { return edits_; }
    EventQueue& events() { return events_; }
    const EventQueue& events() const { return events_; }
    MovieLevels& levels() { return levels_; }
    const MovieLevels& levels() const { return levels_; }
    // Where objects stand and what their content covers.
    const ObjectGeometry& geometry() const { return geometry_; }

    // The name the next unnamed display object gets: "instance" and a count that every
    // naming advances.
    std::string nextInstanceName() { return "instance" + std::to_string(++instanceNames_); }
    // ActionScript 3 names every display object it makes; older movies name only what
    // their scripts can reach (sprites, buttons and edit fields).
    void setNameEveryObject(bool every) { nameEveryObject_ = every; }
    // ActionScript 3: what a script placed or moved is no longer the timeline's. Removals
    // pass it by, and a placement at its depth puts the new object just above it.
    void setTimelineLeavesScriptChildren(bool leaves) { leavesScriptChildren_ = leaves; }
    // A place tag at a depth the timeline's own object holds: players of version 5 movies
    // keep both, later ones drop the newcomer. (A script's object there always stays beside
    // the timeline's.)
    void setTimelineStacksPlacements(bool stacks) { stacksPlacements_ = stacks; }

    // The tick counter; scripts' timers and tools read it.
    std::uint64_t tick() const { return tick_; }
    // Objects with an edit field's state, for the stage's variable bindings.
    template <class F> void forEachObject(F&& f) const {
        for (const auto& [serial, weak] : objects_) {
            if (auto o = weak.lock(); o && !o->removed) {
                f(*o);
            }
        }
    }

    TimelinePlayer(const TimelinePlayer&) = delete;
    TimelinePlayer& operator=(const TimelinePlayer&) = delete;

  private:
    friend class ClipControl;
    friend class DisplayEdits;
    friend class EventQueue;
    friend class MovieLevels;

    // Clip control (DisplayTree.cpp), reached through clips().
    void gotoClipFrame(DisplayObject& clip, std::uint32_t frame, bool play);
    bool gotoClipLabel(DisplayObject& clip, const std::string& label, bool play);
    void setClipPlaying(DisplayObject& clip, bool playing);
    void nextClipFrame(DisplayObject& clip);
    void previousClipFrame(DisplayObject& clip);
    std::int64_t frameOfLabel(const Clip& clip, const std::string& label) const;

    // Scripts' changes to the display tree (DisplayTree.cpp), reached through edits().
    std::shared_ptr<DisplayObject> attachMovie(DisplayObject& parent, std::string_view symbol,
                                               std::string_view name, std::int32_t depth);
    std::shared_ptr<DisplayObject> duplicateClip(DisplayObject& original, std::string_view name,
                                                 std::int32_t depth);
    std::shared_ptr<DisplayObject> placeCharacter(DisplayObject& parent, std::uint16_t characterId,
                                                  std::int32_t depth);
    std::shared_ptr<DisplayObject> createEmptyClip(DisplayObject& parent, std::string_view name,
                                                   std::int32_t depth);
    std::shared_ptr<DisplayObject> attachPixels(DisplayObject& parent, std::int32_t depth,
                                                std::shared_ptr<const PixelSource> pixels,
                                                bool smoothing);
    std::shared_ptr<DisplayObject> createTextField(DisplayObject& parent, std::string_view name,
                                                   std::int32_t depth, const Bounds& twips);
    bool removeByScript(DisplayObject& object);
    bool removableByScript(const DisplayObject& object) const;
    void unloadClip(DisplayObject& clip);
    void unloadMovie(DisplayObject& clip);
    bool swapDepths(DisplayObject& object, std::int32_t depth);
    std::int32_t nextHighestDepth(const DisplayObject& parent) const;
    void setMask(DisplayObject& object, DisplayObject* mask);

    // Events between ticks, reached through events().
    void setButtonState(DisplayObject& button, std::uint8_t state);
    void runInputScripts();
    void queueActions(DisplayObject& timeline, const swf::ActionBlock& block);
    void queueKeyPress(DisplayObject& object, std::uint8_t buttonKey);
    void dataArrived(DisplayObject& clip);
    std::vector<std::shared_ptr<DisplayObject>> clipsNewestFirst() const;

    // Loaded movies and levels (LoadedContent.cpp), reached through levels().
    bool replaceContent(DisplayObject& clip, std::uint16_t library);
    DisplayObject* level(int n) const;
    DisplayObject* makeLevel(int n);
    void unloadLevel(int n);
    bool swapLevel(DisplayObject& level, std::int32_t depth);
    std::vector<DisplayObject*> upperLevels() const;

    NameFold nameFold_ = nullptr;
    // Construct: the construct events, then the class constructor; ConstructEvents: only the
    // events (a duplicate, whose constructor already ran).
    enum class QueuedKind : std::uint8_t {
        Actions,
        Handler,
        Initialize,
        Construct,
        ConstructEvents
    };
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
    // The root of the movie `object` belongs to: the clip or level a movie was loaded into.
    std::shared_ptr<DisplayObject> movieRootOf(const DisplayObject& object);
    // Queues the init actions of the movies `library` imports characters from.
    void queueImportedInitActions(std::uint16_t library);
    // Movies importing from movies that import in turn, followed this deep.
    static constexpr std::size_t kMaxImportNesting = 8;
    void applyPlace(DisplayObject& parent, const swf::PlaceObject& tag, std::uint32_t frame,
                    Pool* reuse);
    // Takes what answers for the depth, or one entry, out of the parent's list.
    void removeAt(DisplayObject& parent, std::int32_t depth);
    void removeEntry(DisplayObject& parent, DisplayList::iterator entry);
    // `object` has been taken out of `parent`'s display list: it goes, or, when it or a
    // child has unload scripts, waits at its unloading depth until the next frame.
    void leaveDisplayList(DisplayObject& parent, const std::shared_ptr<DisplayObject>& object);
    bool hasUnloadScripts(DisplayObject& object, int nesting);
    void queueUnloadEvents(DisplayObject& object);
    // Drops the objects that waited for their unload scripts.
    void finishUnloading();
    // Makes `object` a live instance of the character inside `parent`; a sprite runs its
    // first frame. `byScript` objects are constructed at once, timeline ones through the
    // queue. A name the place tag gave keeps the object from being named, even an empty one.
    bool instantiate(DisplayObject& parent, const std::shared_ptr<DisplayObject>& object,
                     std::uint16_t characterId, bool byScript, bool namedByTag = false);
    void createTextState(DisplayObject& object);
    void beginScripts();
    void endScripts();
    // `anyDepth`: depths outside the scripts' range are taken too.
    std::shared_ptr<DisplayObject> insertNew(DisplayObject& parent, std::int32_t depth,
                                             std::string_view name, bool anyDepth = false);
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
    // A clip scaled by its nine-slice grid: its shapes' slices, and the matrix they are drawn
    // with (the clip's placement without its own scale).
    struct SlicedClip {
        NineSlice slices;
        Transform unscaled;
    };
    void emitClip(RenderBackend& backend, const DisplayObject& clip, const Transform& matrix,
                  const ColorTransform& cx, bool inMask, std::size_t& budget,
                  const SlicedClip* sliced = nullptr) const;
    std::optional<SlicedClip> slicedClip(const DisplayObject& object, const Transform& m,
                                         bool inMask) const;
    void emitSlicedShape(RenderBackend& backend, const DisplayObject& shape,
                         const SlicedClip& sliced, const ColorTransform& cx,
                         std::size_t& budget) const;
    void emitObject(RenderBackend& backend, const DisplayObject& object,
                    const Transform& parentMatrix, const ColorTransform& parentCx, bool inMask,
                    std::size_t& budget) const;
    void emitContent(RenderBackend& backend, const DisplayObject& object, const Transform& m,
                     const ColorTransform& cx, bool inMask, std::size_t& budget) const;
    // For an object cached as a bitmap without filters: what it covers at `m`, and whether
    // its player can make that bitmap (when not, it shows nothing). Other objects show and
    // have no box here.
    struct CachedCover {
        bool shows = true;
        std::optional<Bounds> covered;
    };
    CachedCover cachedCover(const DisplayObject& object, const Transform& m) const;
    // `object` under a script's mask that lets it show by the mask's alpha (both cached as
    // bitmaps): the two composed in one layer, the mask's picture with the Alpha blend.
    void emitAlphaMasked(RenderBackend& backend, const DisplayObject& object,
                         const DisplayObject& mask, const Transform& matrix,
                         const ColorTransform& cx, std::size_t& budget) const;
    // The content with what the object's scroll window and opaque background add to it.
    void emitSurface(RenderBackend& backend, const DisplayObject& object, const Transform& m,
                     const ColorTransform& cx, bool inMask, std::size_t& budget) const;
    void emitBackground(RenderBackend& backend, const DisplayObject& object,
                        const Transform& m) const;

    MovieLibrary library_;
    TimelineLimits limits_;
    ObjectGeometry geometry_;
    Rgba background_;
    std::vector<Underlay> underlays_;
    bool backgroundNamed_ = false; // the movie's first SetBackgroundColor is the only one used
    ScriptRunner& runner_;
    std::shared_ptr<DisplayObject> rootObject_;
    std::shared_ptr<Clip> root_;
    bool loop_ = true;
    StageLayout stageLayout_;
    std::size_t liveObjects_ = 0;
    std::uint64_t nextSerial_ = 1;
    // Every live object by serial, for scripts' references.
    std::unordered_map<std::uint64_t, std::weak_ptr<DisplayObject>> objects_;
    // Clips in creation order; each tick walks it newest first.
    std::vector<std::weak_ptr<DisplayObject>> executionList_;
    // Objects kept at their unloading depth until the next frame.
    std::vector<std::weak_ptr<DisplayObject>> unloading_;
    // Scripts waiting to run: constructors (and the events before them) ahead of the rest.
    std::deque<QueuedScript> earlyQueue_;
    std::deque<QueuedScript> queue_;
    bool runningQueue_ = false;
    // Set by events(): what is queued waits for the holder's runQueuedScripts.
    bool queueHeld_ = false;
    std::size_t scriptsThisTick_ = 0;
    // Init actions already run, by library << 16 | sprite id.
    std::set<std::uint32_t> initActionsRun_;
    std::map<int, std::shared_ptr<DisplayObject>> levelObjects_; // above 0
    std::uint64_t instanceNames_ = 0;
    bool nameEveryObject_ = false;
    bool leavesScriptChildren_ = false;
    bool stacksPlacements_ = false;
    SoundEvents* sound_ = nullptr;
    mutable std::map<const swf::Timeline*, std::map<std::string, std::uint32_t>> labels_;
    // Objects placed during the current tick; they do not advance in the tick that made them.
    std::uint64_t tick_ = 0;
    bool arrivalsTaken_ = false; // this tick's arrivals came in with the root's advance
    std::size_t tagsThisTick_ = 0;
    ClipControl clips_{*this};
    DisplayEdits edits_{*this};
    EventQueue events_{*this};
    MovieLevels levels_{*this};
};

} // namespace mc
