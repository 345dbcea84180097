#include "As3Scripts.h"
#include "swf/TagCodes.h"

#include "UrlPolicy.h"
#include "avm2/DisplayClasses.h"
#include "avm2/EventState.h"
#include "avm2/StageFocus.h"
#include "avm2/Timers.h"

#include <algorithm>
#include <cctype>

namespace mc {

namespace {

// Passes of frame scripts in one tick: a script's goto has the new frame's script run in
// the same tick, up to this many times.
constexpr int kMaxScriptPasses = 16;
// Display objects visited per walk of the tree.
constexpr std::size_t kMaxWalk = 1u << 20;
// How deep gotos may nest, each running the frame it reached before the calling script goes
// on: a pair of frames sending each other back and forth stops here.
constexpr int kMaxGotoDepth = 32;

// Holds the frames clips showed before this tick's advance while what it took away hears
// of it, whichever way the sending ends.
class HeldFrames {
  public:
    HeldFrames(As3DisplayTree& tree, std::unordered_map<avm2::NodeId, std::uint32_t> frames)
        : tree_(tree) {
        tree_.holdFrames(std::move(frames));
    }
    ~HeldFrames() { tree_.releaseFrames(); }
    HeldFrames(const HeldFrames&) = delete;
    HeldFrames& operator=(const HeldFrames&) = delete;

  private:
    As3DisplayTree& tree_;
};

} // namespace

As3Scripts::As3Scripts(const swf::Movie& movie, StageCallbacks callbacks)
    : movie_(movie), callbacks_(std::move(callbacks)), tags_(swf::findAbcTags(movie)) {
    // A SimpleButton follows only a press that began on it.
    buttons_.dragEvents(false);
}

As3Scripts::~As3Scripts() {
    // The older movies' machines hold script objects of the tree's display objects.
    hosted_.clear();
}

void As3Scripts::attach(TimelinePlayer& player) {
    player_ = &player;
    player.setNameEveryObject(true);
    player.setTimelineLeavesScriptChildren(true);
    As3DisplayTree::StageInfo stage;
    const swf::Rect& r = movie_.header.frameRect;
    stage.width = r.width() / 20.0;
    stage.height = (r.yMax - r.yMin) / 20.0;
    stage.frameRate = movie_.header.frameRate();
    // What a loader reports having loaded: the file as it came, before inflating.
    stage.bytes = movie_.header.fileLength;
    stage.version = movie_.header.version;
    tree_ = std::make_unique<As3DisplayTree>(player, stage);
    hit_ = std::make_unique<HitTester>(movie_, player);
    tree_->setHitTester(hit_.get());
    scriptHit_ = std::make_unique<HitTester>(movie_, player);
    scriptHit_->includeHidden = true;
    tree_->setScriptHitTester(scriptHit_.get());
    tree_->setPainting(&callbacks_);
    tree_->onScriptedGoto = [this](avm2::NodeId node) { afterScriptedGoto(node); };
    tree_->onScriptedGotoRemoved = [this](avm2::NodeId node, std::uint32_t from) {
        sendRemovedEventsLeaving({{node, from}});
    };
    tree_->onNestedButtonFrame = [this] { runNestedFrame(); };
    vm_ = std::make_unique<avm2::Machine>(static_cast<avm2::Host&>(*this));
    vm_->defineGlobal("flash.system", "fscommand",
                      avm2::Value::object(vm_->newNative(&As3Scripts::fscommand, "fscommand")));
}

void As3Scripts::beginTick() {
    beginHostedTick();
    if (vm_) {
        vm_->beginFrame();
    }
    // The frames before the timeline moves: what the move removes is taken away first.
    framesBeforeAdvance_.clear();
    if (tree_ && rootMade_) {
        for (avm2::NodeId node : scriptedNodes()) {
            if (tree_->frameCount(node) > 0) {
                framesBeforeAdvance_.emplace(node, tree_->currentFrame(node));
            }
        }
    }
}

void As3Scripts::forget(DisplayObject& object) {
    if (StageScripts* s = hostedFor(object)) {
        s->forget(object);
    }
    if (!tree_) {
        return;
    }
    if (avm2::Object* o = tree_->scriptObject(object.serial)) {
        Removal r;
        r.object = o;
        r.name = object.name;
        avm2::keepDetachedName(o, object.name);
        // Children go before their container; only the object taken from a container that
        // stays gets `removed`.
        r.fromContainer = object.parent != nullptr && !object.parent->removed;
        if (r.fromContainer) {
            r.container = tree_->scriptObject(object.parent->serial);
        }
        int climb = 0;
        for (const DisplayObject* up = object.parent; up != nullptr && climb < 4096;
             up = up->parent, ++climb) {
            if (r.fromContainer) {
                if (avm2::Object* a = tree_->scriptObject(up->serial)) {
                    r.ancestors.push_back(a);
                }
            }
            if (up == &player_->rootObject()) {
                r.fromStage = true;
            }
        }
        if (r.fromStage && r.fromContainer) {
            if (avm2::Object* stage = tree_->scriptObject(tree_->stageNode())) {
                r.ancestors.push_back(stage);
            }
        }
        removed_.push_back(std::move(r));
    }
    tree_->forget(object.serial);
    scriptedFrame_.erase(object.serial);
}

void As3Scripts::endTick() {
    if (player_ == nullptr || !vm_) {
        return;
    }
    endHostedTick();
    try {
        if (rootMade_ && phasesTick_ == player_->tick()) {
            // The person's input between two frames: its events went out as it came, and
            // what they queued goes now; the frame's own events wait for the next frame.
            avm2::sendQueuedEvents(*vm_);
            return;
        }
        phasesTick_ = player_->tick();
        runTagsUpTo(player_->currentFrame());
        sendRemovedEventsLeaving(std::move(framesBeforeAdvance_));
        framesBeforeAdvance_.clear();
        avm2::runTimers(*vm_, clockMs());
        avm2::sendSoundCompletions(*vm_);
        if (!rootMade_) {
            makeRoot();
        } else {
            avm2::broadcastEvent(*vm_, "enterFrame");
            constructNewChildren();
        }
        avm2::broadcastEvent(*vm_, "frameConstructed");
        runFrameScripts();
        avm2::broadcastEvent(*vm_, "exitFrame");
        if (!loadedSent_) {
            // The whole movie is there from the start: its loader reports so once the first
            // frame has played.
            loadedSent_ = true;
            sendLoadedEvents();
        }
        avm2::sendQueuedEvents(*vm_);
        // The frame is about to be drawn: the stage's invalidate asked to hear of it first.
        if (avm2::takeRenderRequest(tree_->scriptObject(tree_->stageNode()))) {
            avm2::broadcastEvent(*vm_, "render");
        }
        // The frame is drawn: the fields shown take the boxes autoSize fitted them to.
        tree_->settleShownFits();
    } catch (const avm2::ScriptAbort&) {
        // The budget ran out: this frame's scripts stop; the movie plays on.
    }
}

void As3Scripts::sendLoadedEvents() {
    avm2::Object* root = tree_->scriptObject(tree_->rootNode());
    if (root == nullptr) {
        return;
    }
    avm2::Value info;
    try {
        info = vm_->getProperty(avm2::Value::object(root), avm2::Name::publicName("loaderInfo"));
    } catch (const avm2::ScriptThrow& t) {
        vm_->printUncaught(t.value);
        return;
    }
    if (info.isObject()) {
        avm2::dispatchSimple(*vm_, info.asObject(), "init", false);
        avm2::dispatchSimple(*vm_, info.asObject(), "complete", false);
    }
}

void As3Scripts::makeRoot() {
    rootMade_ = true;
    if (documentClass_ != nullptr) {
        vm_->constructDocument(*documentClass_);
    }
    avm2::Object* root = tree_->scriptObject(tree_->rootNode());
    if (root == nullptr) {
        root = avm2::scriptObjectOf(*vm_, tree_->rootNode());
    }
    // The root's children had their events as they were made; the root has its own alone.
    if (root != nullptr) {
        avm2::dispatchSimple(*vm_, root, "added", true);
        avm2::dispatchSimple(*vm_, root, "addedToStage", false);
    }
}

std::vector<avm2::NodeId> As3Scripts::scriptedNodes() {
    std::vector<avm2::NodeId> out;
    std::vector<avm2::NodeId> stack{tree_->rootNode()};
    while (!stack.empty() && out.size() < kMaxWalk) {
        const avm2::NodeId node = stack.back();
        stack.pop_back();
        if (tree_->scriptObject(node) == nullptr) {
            continue;
        }
        out.push_back(node);
        const std::vector<avm2::NodeId> children = tree_->children(node);
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return out;
}

void As3Scripts::constructNewChildren() {
    for (avm2::NodeId node : scriptedNodes()) {
        avm2::constructChildren(*vm_, node);
    }
}

void As3Scripts::runFrameScripts(bool nested) {
    for (int pass = 0; pass < kMaxScriptPasses; ++pass) {
        bool ran = false;
        for (avm2::NodeId node : scriptedNodes()) {
            if (tree_->frameCount(node) == 0) {
                continue;
            }
            const std::uint32_t frame = tree_->currentFrame(node);
            // A button's frame may come while a constructor has yet to register the
            // script: the frame's own pass runs it then.
            if (nested && !avm2::hasFrameScript(tree_->scriptObject(node), frame)) {
                continue;
            }
            auto [it, fresh] = scriptedFrame_.try_emplace(node, frame);
            if (!fresh && it->second == frame) {
                continue;
            }
            // A clip whose script is running has its new frame's script run once that
            // script returns, unless a button's frame comes first.
            if (!nested &&
                std::find(scriptStack_.begin(), scriptStack_.end(), node) != scriptStack_.end()) {
                continue;
            }
            it->second = frame;
            ran = true;
            scriptStack_.push_back(node);
            try {
                avm2::runFrameScriptOf(*vm_, tree_->scriptObject(node), frame);
            } catch (...) {
                scriptStack_.pop_back();
                throw;
            }
            scriptStack_.pop_back();
            if (scriptStack_.empty() && gotoQueued_) {
                gotoQueued_ = false;
                runGotoFrame();
            }
        }
        if (!ran) {
            break;
        }
    }
}

void As3Scripts::sendRemovedEventsLeaving(
    std::unordered_map<avm2::NodeId, std::uint32_t> framesBefore) {
    // A clip that went forward lost its objects before its playhead moved; one that went
    // back (a loop to its first frame, a goto) moved first, then lost what the frame no
    // longer holds.
    std::erase_if(framesBefore, [this](const auto& entry) {
        return tree_->currentFrame(entry.first) <= entry.second;
    });
    HeldFrames held(*tree_, std::move(framesBefore));
    sendRemovedEvents();
}

void As3Scripts::sendRemovedEvents() {
    std::vector<Removal> gone;
    gone.swap(removed_);
    // The removed object first, then its descendants, each as Flash sends them.
    std::stable_partition(gone.begin(), gone.end(),
                          [](const Removal& r) { return r.fromContainer; });
    for (const Removal& r : gone) {
        try {
            if (r.fromContainer) {
                avm2::dispatchEventAlong(*vm_, r.object, avm2::newEvent(*vm_, "removed", true),
                                         r.ancestors);
                // The container's variable for the child no longer holds it.
                avm2::clearInstanceSlot(*vm_, r.container, r.name);
            }
            if (r.fromStage) {
                avm2::dropFocusWithin(*vm_, *tree_, r.object->displayNode);
            }
            if (r.fromStage && avm2::hasListener(r.object, "removedFromStage")) {
                avm2::dispatchEventAlong(*vm_, r.object, avm2::newEvent(*vm_, "removedFromStage"),
                                         {});
            }
        } catch (const avm2::ScriptThrow& t) {
            vm_->printUncaught(t.value);
        }
    }
}

void As3Scripts::afterScriptedGoto(avm2::NodeId node) {
    // A goto on a clip whose frame script is running (its own, or one it called into) waits
    // for the outermost frame script to return; any other runs its frame at once.
    if (std::find(scriptStack_.begin(), scriptStack_.end(), node) != scriptStack_.end()) {
        gotoQueued_ = true;
        return;
    }
    runGotoFrame();
}

namespace {

// One level of gotos that run frames of their own; a goto inside such a frame nests, and a
// script bouncing between two frames must end before the stack does.
class GotoLevel {
  public:
    explicit GotoLevel(int& depth) : depth_(depth) { ++depth_; }
    ~GotoLevel() { --depth_; }
    GotoLevel(const GotoLevel&) = delete;
    GotoLevel& operator=(const GotoLevel&) = delete;
    bool allowed() const { return depth_ <= kMaxGotoDepth; }

  private:
    int& depth_;
};

} // namespace

void As3Scripts::runGotoFrame() {
    // A frame of its own: what the goto removed, the frame's events and the scripts of every
    // clip whose frame changed.
    const GotoLevel level(gotoDepth_);
    if (!level.allowed()) {
        return;
    }
    sendRemovedEvents();
    avm2::broadcastEvent(*vm_, "frameConstructed");
    runFrameScripts();
    avm2::broadcastEvent(*vm_, "exitFrame");
}

void As3Scripts::runNestedFrame() {
    const GotoLevel level(gotoDepth_);
    if (!level.allowed()) {
        return;
    }
    // The children the timeline placed and no constructor made yet are made, but for those
    // of containers whose constructor is running: theirs come as it goes on.
    for (avm2::NodeId node : scriptedNodes()) {
        if (!avm2::underConstruction(tree_->scriptObject(node))) {
            avm2::constructChildren(*vm_, node);
        }
    }
    avm2::broadcastEvent(*vm_, "frameConstructed");
    runFrameScripts(true);
    avm2::broadcastEvent(*vm_, "exitFrame");
}

std::uint32_t As3Scripts::rootFrame() {
    return player_ != nullptr ? player_->currentFrame() : 0;
}

std::uint32_t As3Scripts::rootFrameCount() {
    return player_ != nullptr ? std::max<std::uint32_t>(player_->frameCount(), 1) : 1;
}

void As3Scripts::rootGoto(std::uint32_t frame, bool play) {
    if (player_ != nullptr) {
        player_->gotoFrame(frame, play);
    }
}

void As3Scripts::rootSetPlaying(bool playing) {
    if (player_ != nullptr) {
        player_->setPlaying(playing);
    }
}

void As3Scripts::runTagsUpTo(std::uint32_t frame) {
    // The movie's own blocks go into its domain, whichever code moved its timeline.
    const avm2::Machine::DomainScope movieDomain(*vm_, avm2::Machine::kMovieDomain);
    while (nextTag_ < tags_.size() && tags_[nextTag_].frame <= frame) {
        const swf::AbcTag& tag = tags_[nextTag_++];
        try {
            if (tag.kind == swf::AbcTag::Kind::DoAbc) {
                vm_->loadFrameAbc(tag.abc, tag.lazy);
            } else {
                bindSymbols(tag);
            }
            // A frame's blocks start once all of its SymbolClass tags bound their classes.
            if (nextTag_ == tags_.size() || tags_[nextTag_].frame != tag.frame) {
                vm_->runEntryPoints();
            }
        } catch (const avm2::ScriptAbort&) {
            // The budget ran out: this frame's scripts stop; the movie plays on.
        }
    }
}

namespace {

// Sounds are characters too, though the display side does not keep them (nor binary data).
bool definesSound(const swf::Movie& movie, std::uint16_t id) {
    return std::any_of(movie.soundDefinitions.begin(), movie.soundDefinitions.end(),
                       [id](const swf::RawControlTag& t) {
                           return t.code == swf::tag::DefineSound && t.body.size() >= 2 &&
                                  (t.body[0] | (t.body[1] << 8)) == id;
                       });
}

} // namespace

void As3Scripts::bindSymbols(const swf::AbcTag& tag) {
    // Id 0 names the document class; some tools give it an id no character has, which
    // counts only when the tag names no id 0 (a class of a character the movie lacks, such
    // as a font it does not embed, is no document class).
    const bool namesRoot = std::any_of(tag.symbols.begin(), tag.symbols.end(),
                                       [](const auto& s) { return s.first == 0; });
    for (const auto& [id, name] : tag.symbols) {
        if (id == 0 ||
            (!namesRoot && documentClass_ == nullptr && !rootMade_ && movie_.find(id) == nullptr &&
             !definesSound(movie_, id) && swf::findBinaryData(movie_, id).empty())) {
            if (documentClass_ == nullptr) {
                documentClass_ = &name;
            }
        } else {
            tree_->setSymbolClass(id, name);
            vm_->defineSymbolClass(name);
        }
    }
}

void As3Scripts::trace(std::string_view line) {
    if (callbacks_.trace) {
        callbacks_.trace(line);
    }
}

avm2::Value As3Scripts::fscommand(avm2::Machine& m, const avm2::Value&, avm2::Args& args) {
    auto& self = static_cast<As3Scripts&>(m.host());
    const std::string command = args.empty() ? std::string() : m.toString(args[0]);
    const std::string value = args.size() > 1 ? m.toString(args[1]) : std::string();
    std::string folded = command;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (self.callbacks_.fscommand && (folded == "quit" || folded == "fullscreen")) {
        self.callbacks_.fscommand(command, value);
    }
    return avm2::Value();
}

double As3Scripts::clockMs() {
    return callbacks_.clockMs ? callbacks_.clockMs() : 0.0;
}

std::string As3Scripts::movieUrl() {
    return callbacks_.movieUrl.empty() ? "file:///movie.swf" : callbacks_.movieUrl;
}

// Only a relative path inside the movie's folder is read; addresses with a scheme (the
// network, file:) and paths climbing out are refused like a missing file.
std::optional<std::vector<std::uint8_t>> As3Scripts::readBesideMovie(std::string_view url) {
    const std::string path = besideMoviePath(url);
    if (path.empty() || !callbacks_.readBeside) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes = callbacks_.readBeside(path);
    if (bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

void As3Scripts::limitHit(std::string_view what) {
    if (!limitReported_ && callbacks_.logLimit) {
        limitReported_ = true;
        callbacks_.logLimit(std::string("ActionScript 3 script stopped: ") + std::string(what));
    }
}

} // namespace mc
