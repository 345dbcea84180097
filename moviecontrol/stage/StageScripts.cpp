#include "StageScripts.h"

#include <algorithm>
#include <functional>

#include "StageObject.h"
#include "TextFieldProperties.h"
#include "TextFieldState.h"
#include "UrlPolicy.h"
#include "avm1/FormEncoding.h"
#include "avm1/Str.h"

namespace mc {

using avm1::Value;

StageScripts::StageScripts(const swf::Movie& movie, StageCallbacks callbacks)
    : movie_(movie), callbacks_(std::move(callbacks)), host_(std::make_unique<StageHost>(*this)),
      machine_(std::make_unique<avm1::Machine>(*host_, movie.header.version)),
      loader_(std::make_unique<ClipLoader>(*this)) {
    for (const auto& [name, id] : movie_.exports) {
        symbolOf_.try_emplace(id, name);
    }
    installClasses();
}

StageScripts::~StageScripts() = default;

void StageScripts::installClasses() {
#define MC_INSTALL(Name) install##Name(*this);
    MC_STAGE_CLASS_LIST(MC_INSTALL)
#undef MC_INSTALL
    movieClipProto_ = machine_->prototypeOf("MovieClip");
    // TextField's prototype is hidden from movies before version 6, whose fields still take
    // it: read it as stored.
    const avm1::Property* field =
        machine_->global()->properties().find(machine_->str("TextField"), true);
    avm1::Object* fieldClass = field != nullptr ? field->value.asObject() : nullptr;
    const avm1::Property* proto =
        fieldClass != nullptr ? fieldClass->properties().find(machine_->str("prototype"), true)
                              : nullptr;
    textFieldProto_ = proto != nullptr ? proto->value.asObject() : nullptr;
    buttonProto_ = machine_->prototypeOf("Button");
    videoProto_ = machine_->prototypeOf("Video");
}

void StageScripts::attach(TimelinePlayer& player) {
    player_ = &player;
    player.setNameFold(&avm1::equalsFolded);
    player.setTimelineStacksPlacements(version() < 6);
    // What the movie imports is there before its first frame.
    loader_->linkImports(0);
}

void StageScripts::hostAt(TimelinePlayer& player, const DisplayObject& root) {
    // The name fold stays the host's: its own scripts name children their way.
    player_ = &player;
    hostedRoot_ = root.serial;
}

bool StageScripts::isMovieRoot(const DisplayObject& object) const {
    return hostedRoot_ != 0 ? object.serial == hostedRoot_
                            : player_ != nullptr && &object == &player_->rootObject();
}

bool StageScripts::serves(const DisplayObject& object) const {
    if (hostedRoot_ == 0) {
        return true;
    }
    const DisplayObject* at = &object;
    for (int steps = 0; at != nullptr && steps < 4096; ++steps, at = at->parent) {
        if (at->serial == hostedRoot_) {
            return true;
        }
    }
    return false;
}

DisplayObject* StageScripts::level(int n) const {
    if (player_ == nullptr) {
        return nullptr;
    }
    if (hostedRoot_ == 0) {
        return player_->levels().level(n);
    }
    return n == 0 ? player_->bySerial(hostedRoot_).get() : nullptr;
}

DisplayObject& StageScripts::movieRoot() const {
    if (hostedRoot_ != 0) {
        if (const auto root = player_->bySerial(hostedRoot_)) {
            return *root;
        }
    }
    return player_->rootObject();
}

std::string StageScripts::dropTargetPathOf(const DisplayObject& object) const {
    return serves(object) && !isMovieRoot(object) ? slashPathOf(object) : std::string();
}

DisplayObject* StageScripts::parentOf(const DisplayObject& object) const {
    return isMovieRoot(object) ? nullptr : object.parent;
}

void StageScripts::beginTick() {
    machine_->beginFrame();
    if (!pendingVariables_.empty()) {
        deliverVariables();
    }
}

void StageScripts::takeArrivals() {
    loader_->beginFrame();
}

void StageScripts::endTick() {
    loader_->endFrame();
    for (const std::uint64_t serial : leaving_) {
        objects_.erase(serial);
    }
    leaving_.clear();
    lingering_.clear();
    syncBoundFields();
    machine_->collectIfNeeded();
}

void StageScripts::runTimers() {
    if (player_ == nullptr) {
        return;
    }
    for (const auto& hook : timerHooks_) {
        hook();
    }
    // A timer's call is no frame script: a goto it makes moves the clip at once, and the
    // scripts the goto queued (the frame's actions, init actions of the frames it passed)
    // run with the rest of what the round of calls due together queued, once it ends.
    EventQueue& events = player_->events();
    events.holdQueuedScripts(true);
    machine_->tickTimers(host_->timerMs(), [&events] {
        events.holdQueuedScripts(false);
        events.runQueuedScripts();
        events.holdQueuedScripts(true);
    });
    events.holdQueuedScripts(false);
    syncBoundFields();
}

StageObject* StageScripts::objectOf(DisplayObject& object) {
    const auto it = objects_.find(object.serial);
    if (it != objects_.end()) {
        return it->second;
    }
    // Shapes, texts and bitmaps have no script object: scripts reach their clip instead.
    if (!object.clip && !object.text && object.kind != CharacterKind::Button &&
        object.kind != CharacterKind::Video) {
        return object.parent != nullptr ? objectOf(*object.parent) : nullptr;
    }
    const auto shared = player_ != nullptr ? player_->sharedOf(object) : nullptr;
    if (!shared) {
        return nullptr;
    }
    // Version 5 knew no text field objects: to its code a field is a clip, made from
    // MovieClip's prototype.
    const bool fieldObject = object.kind == CharacterKind::EditText && machine_->version() >= 6;
    avm1::Object* proto = fieldObject                            ? textFieldProto_
                          : object.kind == CharacterKind::Button ? buttonProto_
                          : object.kind == CharacterKind::Video  ? videoProto_
                                                                 : movieClipProto_;
    if (object.clip && !isMovieRoot(object)) {
        if (avm1::Object* ctor = registeredClassOf(object)) {
            const Value p = machine_->get(ctor, "prototype");
            if (p.isObject()) {
                proto = p.asObject();
            }
        }
    }
    StageObject* made = machine_->make<StageObject>(proto, *this, shared);
    objects_.emplace(object.serial, made);
    if (isMovieRoot(object)) {
        // The first movie's timeline holds the player's version, an ordinary variable.
        machine_->set(made, "$version", Value(machine_->str("LNX 8,0,0,0")));
    }
    if (object.kind == CharacterKind::EditText) {
        listenToItself(*machine_, *made);
    }
    return made;
}

avm1::Object* StageScripts::registeredClassOf(const DisplayObject& object) {
    if (!object.exportName.empty()) {
        if (avm1::Object* ctor = machine_->registeredClass(object.exportName)) {
            return ctor;
        }
    }
    // The symbols named here are the first movie's; a loaded movie's registers none. A class
    // belongs to the character its symbol names, so any other name the character is exported
    // under finds it as well.
    if (object.library != 0 || !symbolOf_.contains(object.characterId)) {
        return nullptr;
    }
    for (const auto& [symbol, id] : movie_.exports) {
        if (id != object.characterId) {
            continue;
        }
        if (avm1::Object* ctor = machine_->registeredClass(symbol)) {
            return ctor;
        }
    }
    return nullptr;
}

DisplayObject* StageScripts::displayOf(avm1::Object* object) {
    if (object == nullptr || !object->isDisplayObject()) {
        return nullptr;
    }
    return static_cast<StageObject*>(object)->display();
}

DisplayObject* StageScripts::displayOf(const Value& value) {
    return displayOf(value.asObject());
}

void StageScripts::runActions(DisplayObject& object, const swf::ActionBlock& block) {
    if (StageObject* o = objectOf(object)) {
        machine_->runBlock(avm1::Code{nullptr, block.bytes}, o, versionOfCode(block.bytes));
    }
}

int StageScripts::versionOfCode(std::span<const std::uint8_t> code) const {
    // Code runs by the rules of the movie it comes from: a block lies within the bytes of
    // one movie of the library. The first movie's version is the machine's own.
    if (player_ == nullptr || code.empty()) {
        return 0;
    }
    const MovieLibrary& library = player_->library();
    const std::less_equal<const std::uint8_t*> notAfter;
    for (std::size_t i = 1; i < library.size(); ++i) {
        const swf::Movie* movie = library.movie(static_cast<std::uint16_t>(i));
        if (movie == nullptr || movie->bytes().empty()) {
            continue;
        }
        const std::span<const std::uint8_t> bytes = movie->bytes();
        if (notAfter(bytes.data(), code.data()) &&
            notAfter(code.data() + code.size(), bytes.data() + bytes.size())) {
            return movie->header.version;
        }
    }
    return 0;
}

void StageScripts::callHandler(DisplayObject& object, std::string_view name) {
    if (StageObject* o = objectOf(object)) {
        machine_->callMethod(o, name, {});
    }
}

bool StageScripts::hasHandler(DisplayObject& object, std::string_view name) {
    StageObject* o = objectOf(object);
    return o != nullptr && machine_->hasProperty(o, machine_->str(name));
}

void StageScripts::prepareObject(DisplayObject& object) {
    objectOf(object);
}

void StageScripts::construct(DisplayObject& object) {
    StageObject* o = objectOf(object);
    if (o == nullptr) {
        return;
    }
    if (initObject_ != nullptr) {
        // attachMovie's init object: its properties land on the clip before the constructor.
        avm1::Object* init = initObject_;
        initObject_ = nullptr;
        for (const avm1::Str& name : machine_->enumerate(init)) {
            machine_->set(o, name, machine_->get(init, name));
        }
    }
    if (!object.clip || isMovieRoot(object)) {
        return;
    }
    if (avm1::Object* ctor = registeredClassOf(object)) {
        // As `new` records it: before version 7 the class is also the clip's own
        // `constructor`.
        machine_->define(o, "__constructor__", Value(ctor), avm1::attr::DontEnum);
        if (version() < 7) {
            machine_->define(o, "constructor", Value(ctor), avm1::attr::DontEnum);
        }
        machine_->call(Value(ctor), Value(static_cast<avm1::Object*>(o)), {});
    }
}

void StageScripts::forget(DisplayObject& object) {
    // Only a clip with an unload handler stays reachable until the frame's scripts ran, for
    // its handler to see it; any other removed clip is gone at once.
    leaving_.insert(object.serial);
    if (hasUnloadHandler(object)) {
        lingering_.insert(object.serial);
    }
}

bool StageScripts::hasUnloadHandler(const DisplayObject& object) {
    if (object.clipActions != nullptr) {
        for (const swf::ClipAction& a : *object.clipActions) {
            if ((a.events & clip_event::Unload) != 0) {
                return true;
            }
        }
    }
    const auto it = objects_.find(object.serial);
    return it != objects_.end() && machine_->get(it->second, "onUnload").isObject();
}

bool StageScripts::leaving(std::uint64_t serial) const {
    return lingering_.contains(serial);
}

void StageScripts::traceKept(avm1::Tracer& tracer) const {
    for (const auto& [serial, object] : objects_) {
        tracer.mark(object);
    }
    tracer.mark(movieClipProto_);
    tracer.mark(textFieldProto_);
    tracer.mark(buttonProto_);
    tracer.mark(videoProto_);
    tracer.mark(initObject_);
    loader_->trace(tracer);
    for (avm1::Object* o : kept_) {
        tracer.mark(o);
    }
}

// ---- Paths and roots

std::string StageScripts::dotPathOf(const DisplayObject& object) const {
    std::vector<const DisplayObject*> chain;
    const DisplayObject* top = &object;
    for (; parentOf(*top) != nullptr && chain.size() < 4096; top = top->parent) {
        chain.push_back(top);
    }
    std::string path = "_level" + std::to_string(hosted() ? 0 : top->loadedLevel);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += '.';
        path += (*it)->name;
    }
    return path;
}

std::string StageScripts::slashPathOf(const DisplayObject& object) const {
    std::vector<const DisplayObject*> chain;
    const DisplayObject* top = &object;
    for (; parentOf(*top) != nullptr && chain.size() < 4096; top = top->parent) {
        chain.push_back(top);
    }
    // Paths in the levels above the first name their level; such a level itself is its name
    // alone, where the first level is "/". A hosted movie's root is its own first level.
    std::string path = top->level != 0 && !hosted() ? "_level" + std::to_string(top->level) : "";
    if (chain.empty()) {
        return path.empty() ? "/" : path;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += '/';
        path += (*it)->name;
    }
    return path;
}

DisplayObject* StageScripts::rootOf(DisplayObject& object) {
    DisplayObject* at = &object;
    for (int steps = 0; parentOf(*at) != nullptr && !at->lockRoot && steps < 4096; ++steps) {
        at = at->parent;
    }
    if (hosted()) {
        // A clip that left the hosted movie sees the movie's root while it has one.
        DisplayObject* root = level(0);
        return isMovieRoot(*at) || at->lockRoot || root == nullptr ? at : root;
    }
    // A clip that left the stage has no level of its own: its scripts see the first one.
    if (at->parent == nullptr && player_->levels().level(at->level) != at) {
        return &player_->rootObject();
    }
    return at;
}

std::string StageScripts::urlOf(const DisplayObject& object) const {
    if (!callbacks_.readBeside) {
        return "";
    }
    std::string root = callbacks_.movieUrl.empty() ? "file:///movie.swf" : callbacks_.movieUrl;
    const std::string& loaded = player_->library().url(object.library);
    if (loaded.empty()) {
        return root;
    }
    return root.substr(0, root.rfind('/') + 1) + loaded;
}

bool StageScripts::removeByScript(DisplayObject& object) {
    if (!player_->edits().removableByScript(object)) {
        return false;
    }
    releaseFocusWithin(*this, object);
    return player_->edits().removeByScript(object);
}

// ---- Loading files beside the movie

std::vector<std::uint8_t> StageScripts::readBesideMovie(std::string_view url) {
    const std::string path = besideMoviePath(url);
    if (path.empty() || !callbacks_.readBeside) {
        return {};
    }
    std::vector<std::uint8_t> bytes = callbacks_.readBeside(path);
    if (!bytes.empty()) {
        pages_.localFileRead();
    }
    return bytes;
}

void StageScripts::loadInto(DisplayObject& target, const std::string& url, bool variables) {
    const std::string path = besideMoviePath(url);
    if (path.empty() || !callbacks_.readBeside) {
        return;
    }
    if (!variables) {
        ClipLoader::Target t;
        t.clip = player_->sharedOf(target);
        if (target.parent == nullptr) {
            t.level = target.level;
        }
        loader_->load(t, url, nullptr);
        return;
    }
    const std::vector<std::uint8_t> bytes = readBesideMovie(path);
    if (bytes.empty() || pendingVariables_.size() >= 64) {
        return;
    }
    pendingVariables_.push_back(
        {player_->sharedOf(target), std::string(bytes.begin(), bytes.end())});
}

void StageScripts::unload(const ClipLoader::Target& target) {
    loader_->cancel(target);
    if (target.level) {
        player_->levels().unloadLevel(*target.level);
    } else if (const auto clip = target.clip.lock()) {
        player_->edits().unloadMovie(*clip);
    }
}

void StageScripts::contentReplaced(DisplayObject& object) {
    const auto it = objects_.find(object.serial);
    if (it == objects_.end()) {
        return;
    }
    // What scripts stored on the clip belonged to its old content.
    avm1::PropertyMap& props = it->second->properties();
    std::vector<avm1::Str> names;
    props.forEach([&](const avm1::Property& p) { names.push_back(p.name); });
    for (const avm1::Str& name : names) {
        props.remove(name, true);
    }
    object.lockRoot = false;
}

void StageScripts::deliverVariables() {
    std::vector<PendingVariables> pending = std::move(pendingVariables_);
    pendingVariables_.clear();
    for (const PendingVariables& p : pending) {
        const auto target = p.target.lock();
        if (!target || target->removed) {
            continue;
        }
        StageObject* object = objectOf(*target);
        // Only '&' and '=' divide the text: a line break that ends the file stays in the
        // last value, as LoadVars.decode keeps it.
        for (const auto& [name, value] : avm1::decodeForm(p.text)) {
            machine_->set(object, name, Value(machine_->str(value)));
        }
        player_->events().dataArrived(*target);
    }
}

} // namespace mc
