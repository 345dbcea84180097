#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ClipLoader.h"
#include "InputState.h"
#include "PageOpening.h"
#include "ScriptRunner.h"
#include "SoundPort.h"
#include "StageClassList.h"
#include "StageHost.h"
#include "TimelinePlayer.h"
#include "avm1/Host.h"
#include "avm1/Machine.h"
#include "swf/Movie.h"

namespace storage {
class SavedDataStore;
}

namespace mc {

class SoundPort;
class StageObject;

// What the scripts reach outside the display tree. Every member may be left empty: trace
// output is dropped, fscommand and getURL are refused, the clock stands at 0.
struct StageCallbacks {
    // One trace() line, UTF-8.
    std::function<void(std::string_view line)> trace;
    // fscommand("quit") and fscommand("fullscreen", "true"/"false"); the rest never arrive.
    std::function<void(std::string_view command, std::string_view args)> fscommand;
    // An http, https or mailto address to open in the system's browser, asked for by a
    // person's click or key press.
    std::function<void(const std::string& url)> openUrl;
    // The same, from a movie that has read a local file: opened only when the person, shown
    // the whole address, agrees. Left empty, such pages are not opened.
    std::function<void(const std::string& url)> confirmUrl;
    // Milliseconds since the movie started, on the player's clock.
    std::function<double()> clockMs;
    // A limit a script hit (logged once per kind by the caller's log).
    std::function<void(std::string_view message)> logLimit;
    // Reads a file beside the movie for loadMovie/loadVariables: `relative` is checked to
    // stay beside the movie before this is called. Empty result: not there. Left empty,
    // nothing is read and _url reads as empty text.
    std::function<std::vector<std::uint8_t>(const std::string& relative)> readBeside;
    // Where the movie was read from ("file:///card.swf"), as _url reads it; files loaded
    // beside it are named relative to it.
    std::string movieUrl;
    SoundPort* sound = nullptr;
    // Where SharedObject keeps what movies save; null: the store of this process.
    storage::SavedDataStore* savedData = nullptr;
    // The decoded pixels of a library bitmap (BitmapData.loadBitmap); none when missing.
    std::function<std::optional<pixels::BitmapPixels>(std::uint16_t characterId)> libraryBitmap;
    // The same from the library of a movie loaded since, by its index in the player's
    // library: an older movie inside an ActionScript 3 movie loads its own bitmaps.
    std::function<std::optional<pixels::BitmapPixels>(std::uint16_t library,
                                                      std::uint16_t characterId)>
        loadedLibraryBitmap;
    // The pixels of a JPEG, PNG or GIF file a Loader loaded; none when it does not decode.
    std::function<std::optional<pixels::BitmapPixels>(std::span<const std::uint8_t> file)>
        decodePicture;
    // BitmapData.draw of a bitmap (`object` null) or of a display object's content (of the
    // timeline `player` plays), and applyFilter and generateFilterRect; left empty, bitmaps
    // stay as they are.
    std::function<void(pixels::BitmapPixels& target, const avm1::BitmapDrawing& drawing,
                       const TimelinePlayer& player, const DisplayObject* object,
                       swf::BlendMode mode)>
        drawIntoBitmap;
    std::function<bool(pixels::BitmapPixels& target, const pixels::BitmapPixels& source,
                       pixels::Placement at, const swf::Filter& filter)>
        filterIntoBitmap;
    std::function<pixels::PixelRect(pixels::PixelRect rect, const swf::Filter& filter)>
        filteredRect;
};

// Runs a movie's ActionScript 1/2 as the timeline's script runner. It owns the machine, the
// machine's host (StageHost, which answers the machine through this stage) and the script
// objects of the display objects; the timeline keeps owning the display tree.
class StageScripts final : public ScriptRunner {
  public:
    StageScripts(const swf::Movie& movie, StageCallbacks callbacks);
    ~StageScripts() override;
    StageScripts(const StageScripts&) = delete;
    StageScripts& operator=(const StageScripts&) = delete;

    avm1::Machine& machine() { return *machine_; }
    // What the machine asks of the stage.
    StageHost& host() { return *host_; }
    // The player, once it attached this runner (the first thing it does).
    bool attached() const { return player_ != nullptr; }
    TimelinePlayer& player() { return *player_; }
    const swf::Movie& movie() const { return movie_; }
    int version() const { return movie_.header.version; }
    // Runs the setInterval/setTimeout callbacks due by the clock, then what they queued.
    void runTimers();

    // The script object of a display object, made on first use.
    StageObject* objectOf(DisplayObject& object);
    // The live display object behind a script value, or null.
    DisplayObject* displayOf(const avm1::Value& value);
    DisplayObject* displayOf(avm1::Object* object);
    // True while a removed object's unload scripts may still run.
    bool leaving(std::uint64_t serial) const;
    // Registered StageObject prototypes.
    avm1::Object* movieClipPrototype() const { return movieClipProto_; }
    avm1::Object* textFieldPrototype() const { return textFieldProto_; }
    avm1::Object* buttonPrototype() const { return buttonProto_; }
    const StageCallbacks& callbacks() const { return callbacks_; }
    // Keeps the C++ side of native methods for as long as the stage lives.
    void keepAlive(std::shared_ptr<void> helper) { helpers_.push_back(std::move(helper)); }
    // Runs `hook` each time the timers run, before them (sound completions).
    void onTimers(std::function<void()> hook) { timerHooks_.push_back(std::move(hook)); }
    // Keeps an object alive for as long as the stage lives (listeners, loaders).
    void keep(avm1::Object* object) { kept_.push_back(object); }

    // Serves an older movie that a Loader of an ActionScript 3 movie placed as `root`, in the
    // player that movie's runner drives: that clip is this movie's _root and _level0, it has
    // no levels above, and nothing outside the clip is within its scripts' reach.
    void hostAt(TimelinePlayer& player, const DisplayObject& root);
    bool hosted() const { return hostedRoot_ != 0; }
    // Whether `object` is part of the movie these scripts serve.
    bool serves(const DisplayObject& object) const;
    // The movie's level `n` (its root at 0), or null.
    DisplayObject* level(int n) const;
    // Whether `object` is the movie's own root (its _level0).
    bool isMovieRoot(const DisplayObject& object) const;
    // The movie's root clip: the player's root, or the clip a hosted movie plays in.
    DisplayObject& movieRoot() const;
    // What _droptarget names for a clip dropped on `object`: nothing for the movie's root or
    // for what lies outside the movie.
    std::string dropTargetPathOf(const DisplayObject& object) const;
    // The parent scripts see: none above the movie's root.
    DisplayObject* parentOf(const DisplayObject& object) const;

    // ScriptRunner
    void attach(TimelinePlayer& player) override;
    void beginTick() override;
    void endTick() override;
    void takeArrivals() override;
    void runActions(DisplayObject& object, const swf::ActionBlock& block) override;
    void callHandler(DisplayObject& object, std::string_view name) override;
    bool hasHandler(DisplayObject& object, std::string_view name) override;
    void prepareObject(DisplayObject& object) override;
    void construct(DisplayObject& object) override;
    bool hasClass(DisplayObject& object) override { return registeredClassOf(object) != nullptr; }
    void forget(DisplayObject& object) override;
    void contentReplaced(DisplayObject& object) override;

    // What the stage keeps alive for scripts: script objects, prototypes, loaders and kept
    // objects (the machine's roots).
    void traceKept(avm1::Tracer& tracer) const;

    // Paths as scripts print them.
    std::string dotPathOf(const DisplayObject& object) const;
    std::string slashPathOf(const DisplayObject& object) const;
    // The mouse and keyboard as scripts read them; the stage's input side keeps it.
    InputState input;
    // The quality scripts read and set ("LOW", "MEDIUM", "HIGH", "BEST").
    std::string quality = "HIGH";
    // _soundbuftime, in whole seconds, and the player's one _focusrect: what a level's root
    // reads, and every clip before version 6.
    double soundBufferTime = 5;
    bool stageFocusRect = true;
    // The bytes of the file beside the movie a script named (every script read comes
    // through here); empty when refused or missing.
    std::vector<std::uint8_t> readBesideMovie(std::string_view url);
    // The SWF version of the movie whose bytes hold `code`; 0 for the first movie (or code
    // of no movie), whose version the machine runs by.
    int versionOfCode(std::span<const std::uint8_t> code) const;
    // Which pages the movie's getURL may open; the input side marks a person's events.
    PageOpening& pages() { return sharedPages_ != nullptr ? *sharedPages_ : pages_; }
    // A hosted movie's pages are its host's, which the host's input marks.
    void sharePages(PageOpening& pages) { sharedPages_ = &pages; }
    // Loads a movie or variables beside this one into a clip (loadMovie, loadVariables).
    void loadInto(DisplayObject& target, const std::string& url, bool variables);
    // _root as `object` sees it: its level's root, or the nearest clip that locks it.
    DisplayObject* rootOf(DisplayObject& object);
    // Where the movie `object` plays came from, as _url reads it.
    std::string urlOf(const DisplayObject& object) const;
    // Movies and pictures loaded into clips and levels.
    ClipLoader& loader() { return *loader_; }
    // Where a script's load target (a clip, its path, a level name or number) points, seen
    // from the clip `from`; nullopt for none.
    std::optional<ClipLoader::Target> loadTarget(const avm1::Value& target, avm1::Object* from);
    // The same, levels allowed.
    std::optional<ClipLoader::Target> levelOrClip(const avm1::Value& target, avm1::Object* from);
    // unloadMovie: a clip is emptied, a level above 0 goes; loads on the way there are
    // forgotten.
    void unload(const ClipLoader::Target& target);

    // removeMovieClip, removeTextField: the focus inside the object goes first, while the
    // object can still be named. True when removed.
    bool removeByScript(DisplayObject& object);

    // A person or a script changed a field's text: the variable bound to it follows.
    void fieldEdited(DisplayObject& field);
    // A script bound `field` to a variable: it shows the variable's value at once.
    void fieldBound(DisplayObject& field);
    // A script stored `value` as `name` on a clip's object: the fields bound to that
    // variable show it at once.
    void variableStored(avm1::Object* holder, std::string_view name, const avm1::Value& value);

  private:
    void installClasses();
    void syncBoundFields();
    // The object holding the variable an edit field is bound to, and the variable's name.
    avm1::Object* boundVariable(DisplayObject& field, std::string_view& name);
    avm1::Object* registeredClassOf(const DisplayObject& object);
    bool hasUnloadHandler(const DisplayObject& object);
    // Looked up for every script access to a clip: a set, as a whole tree may leave at once.
    std::unordered_set<std::uint64_t> leaving_;
    // Of those, the ones with an unload handler, still reachable by scripts.
    std::unordered_set<std::uint64_t> lingering_;

    // The fields bound to variables, as the last frame found them and scripts bound since.
    std::vector<std::weak_ptr<DisplayObject>> boundFields_;

    const swf::Movie& movie_;
    StageCallbacks callbacks_;
    // Before the machine, which holds on to it.
    std::unique_ptr<StageHost> host_;
    std::unique_ptr<avm1::Machine> machine_;
    TimelinePlayer* player_ = nullptr;
    // The serial of the root clip of a hosted movie; 0 for the player's own first movie.
    std::uint64_t hostedRoot_ = 0;
    std::unordered_map<std::uint64_t, StageObject*> objects_;
    avm1::Object* movieClipProto_ = nullptr;
    avm1::Object* textFieldProto_ = nullptr;
    avm1::Object* buttonProto_ = nullptr;
    avm1::Object* videoProto_ = nullptr;
    std::vector<avm1::Object*> kept_;
    std::unordered_map<std::uint16_t, std::string> symbolOf_;
    std::vector<std::shared_ptr<void>> helpers_;
    std::vector<std::function<void()>> timerHooks_;
    // Variables read by loadVariables, delivered at the start of the next frame.
    struct PendingVariables {
        std::weak_ptr<DisplayObject> target;
        std::string text;
    };
    std::vector<PendingVariables> pendingVariables_;
    void deliverVariables();
    std::unique_ptr<ClipLoader> loader_;
    avm1::Object* initObject_ = nullptr;
    PageOpening pages_;
    PageOpening* sharedPages_ = nullptr;

  public:
    // attachMovie's init object, applied by the construction that follows.
    void setInitObject(avm1::Object* init) { initObject_ = init; }
    // The init object no construction took yet.
    avm1::Object* pendingInitObject() const { return initObject_; }
};

// Installs the display classes on the machine's global object, one function per entry of
// StageClassList.h.
#define MC_DECLARE_INSTALL(Name) void install##Name(StageScripts& stage);
MC_STAGE_CLASS_LIST(MC_DECLARE_INSTALL)
#undef MC_DECLARE_INSTALL
// Gives the keyboard focus to `target` (null: to nothing), telling the objects that lose
// and gain it and the Selection listeners.
void moveFocus(StageScripts& stage, DisplayObject* target);
// A focus given by a script or the Tab key rolls the pointer's idea of what it is over
// along: what it rolled over before hears onRollOut, `target` onRollOver (queued; text
// fields hear neither), even when the focus stays where it was.
void rollFocusTo(StageScripts& stage, DisplayObject* target);
// `leaving` is about to be removed: when it or something inside it has the focus, the
// focus goes to nothing, while the listeners can still name what had it.
void releaseFocusWithin(StageScripts& stage, DisplayObject& leaving);

} // namespace mc
