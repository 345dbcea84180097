// Older movies inside an ActionScript 3 movie. Flash plays a movie of ActionScript 1 or 2 that
// a Loader loaded (an AVM1Movie) in an ActionScript 1/2 machine of its own: its frame scripts,
// clip events and buttons run there, with its root clip as its _root and _level0 and its
// own _global, while the ActionScript 3 side sees only the display object. Both live in one
// display tree, so the timeline's script work for a clip goes to the machine of the older
// movie the clip is part of, found by climbing to that movie's root; the rest of the tree
// has no ActionScript 1/2 work at all. Each such movie also hears the mouse and keyboard
// through an input of its own, as a movie playing alone would, over its own objects only.
#include "As3Scripts.h"
#include "HostedSoundPort.h"

#include <algorithm>

namespace mc {

namespace {

// Older movies with a machine of their own at once; past this a loaded one plays its
// timeline with its scripts silent. Every machine keeps the budgets of any movie's.
constexpr std::size_t kMaxHostedMovies = 32;
// Ancestors climbed to find the older movie a clip belongs to.
constexpr int kMaxClimb = 4096;

} // namespace

StageScripts* As3Scripts::hostedFor(const DisplayObject& object) {
    if (hosted_.empty()) {
        return nullptr;
    }
    const DisplayObject* at = &object;
    for (int steps = 0; at != nullptr && steps < kMaxClimb; ++steps, at = at->parent) {
        for (const HostedMovie& h : hosted_) {
            if (h.root == at->serial) {
                return h.released ? nullptr : h.scripts.get();
            }
        }
    }
    return nullptr;
}

bool As3Scripts::hostOlderMovie(DisplayObject& root, const swf::Movie& movie,
                                std::uint16_t library) {
    dropHostedMovies();
    if (player_ == nullptr || hosted_.size() >= kMaxHostedMovies) {
        return false;
    }
    StageCallbacks callbacks = callbacks_;
    // The sounds the player's sound layer holds are the first movie's; the bitmaps come from
    // the movie's own library.
    callbacks.libraryBitmap = nullptr;
    if (callbacks_.loadedLibraryBitmap) {
        callbacks.libraryBitmap = [bitmap = callbacks_.loadedLibraryBitmap,
                                   library](std::uint16_t id) { return bitmap(library, id); };
    }
    callbacks.sound = nullptr;
    std::unique_ptr<SoundPort> sound;
    if (callbacks_.sound != nullptr) {
        sound = std::make_unique<HostedSoundPort>(*callbacks_.sound, movie, hostedSounds_++);
        callbacks.sound = sound.get();
    }
    auto scripts = std::make_unique<StageScripts>(movie, std::move(callbacks));
    scripts->hostAt(*player_, root);
    scripts->sharePages(pages_);
    // Its hit tests read the host's shapes too: the host's objects above it take the pointer.
    auto input = std::make_unique<StageInput>(movie_, *player_, scripts.get());
    input->reaches = [this, at = root.serial](double x, double y) {
        return pointerReaches(at, x, y);
    };
    hosted_.push_back({root.serial, player_->sharedOf(root), std::move(sound), std::move(scripts),
                       std::move(input), false});
    return true;
}

void As3Scripts::eachHostedInput(const std::function<void(StageInput&)>& each) {
    // An event's scripts reach no Loader, so the list keeps its machines while they run;
    // it is read afresh at every step all the same.
    for (std::size_t i = 0; i < hosted_.size(); ++i) {
        if (!hosted_[i].released && !hosted_[i].clip.expired() && hosted_[i].input) {
            each(*hosted_[i].input);
        }
    }
}

bool As3Scripts::pointerReaches(std::uint64_t root, double x, double y) {
    if (!vm_ || !rootMade_ || tree_ == nullptr) {
        return true;
    }
    avm2::NodeId target = 0;
    try {
        target = pointerTarget(x, y);
    } catch (const avm2::ScriptAbort&) {
        return false;
    }
    if (target == 0) {
        return true;
    }
    // The target is part of the movie, or holds it: nothing of the host's is above it there.
    const auto within = [this](std::uint64_t inner, std::uint64_t outer) {
        const DisplayObject* at = player_->bySerial(inner).get();
        for (int steps = 0; at != nullptr && steps < kMaxClimb; ++steps, at = at->parent) {
            if (at->serial == outer) {
                return true;
            }
        }
        return false;
    };
    return within(target, root) || within(root, target);
}

void As3Scripts::dropHostedMovies(std::uint64_t release) {
    for (HostedMovie& h : hosted_) {
        if (h.root == release) {
            h.released = true;
        }
    }
    // A machine that is running is never on this path: the older movies' scripts reach no
    // Loader, and this runs between their turns.
    std::erase_if(hosted_, [](const HostedMovie& h) { return h.released || h.clip.expired(); });
}

void As3Scripts::releaseContent(avm2::NodeId content) {
    for (HostedMovie& h : hosted_) {
        if (h.root == content) {
            h.released = true;
        }
    }
}

void As3Scripts::beginHostedTick() {
    dropHostedMovies();
    // Each machine's turn may load movies into its clips, which can reach this list.
    for (std::size_t i = 0; i < hosted_.size(); ++i) {
        hosted_[i].scripts->beginTick();
    }
}

void As3Scripts::takeArrivals() {
    // An arrival's scripts may load more, which can reach this list.
    for (std::size_t i = 0; i < hosted_.size(); ++i) {
        if (!hosted_[i].released) {
            hosted_[i].scripts->takeArrivals();
        }
    }
}

void As3Scripts::endHostedTick() {
    const bool newTick = player_ != nullptr && hostedTimersTick_ != player_->tick();
    if (player_ != nullptr) {
        hostedTimersTick_ = player_->tick();
    }
    for (std::size_t i = 0; i < hosted_.size(); ++i) {
        if (hosted_[i].released) {
            continue;
        }
        StageScripts& scripts = *hosted_[i].scripts;
        scripts.endTick();
        if (newTick) {
            scripts.runTimers();
        }
    }
}

void As3Scripts::runActions(DisplayObject& object, const swf::ActionBlock& block) {
    if (StageScripts* s = hostedFor(object)) {
        s->runActions(object, block);
    }
}

void As3Scripts::callHandler(DisplayObject& object, std::string_view name) {
    if (StageScripts* s = hostedFor(object)) {
        s->callHandler(object, name);
    }
}

bool As3Scripts::hasHandler(DisplayObject& object, std::string_view name) {
    StageScripts* s = hostedFor(object);
    return s != nullptr && s->hasHandler(object, name);
}

void As3Scripts::prepareObject(DisplayObject& object) {
    if (StageScripts* s = hostedFor(object)) {
        s->prepareObject(object);
    }
}

void As3Scripts::construct(DisplayObject& object) {
    if (StageScripts* s = hostedFor(object)) {
        s->construct(object);
    }
}

void As3Scripts::contentReplaced(DisplayObject& object) {
    if (StageScripts* s = hostedFor(object)) {
        s->contentReplaced(object);
    }
}

} // namespace mc
