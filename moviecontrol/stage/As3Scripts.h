#pragma once
// The runner of an ActionScript 3 movie: its DoABC blocks run as the root timeline reaches
// their frames, the document class (SymbolClass id 0) is made once its frame's blocks have
// run, and every display object of the timeline gets its script object, a view of the same
// display tree (As3DisplayTree). Each tick sends the frame's events in Flash's order:
// enterFrame, the new children's construction, frameConstructed, frame scripts, exitFrame.

#include "As3DisplayTree.h"
#include "ButtonTracker.h"
#include "HitTest.h"
#include "KeyCodes.h"
#include "ScriptRunner.h"
#include "StageInput.h"
#include "StageScripts.h"
#include "avm2/Host.h"
#include "avm2/LoadHost.h"
#include "avm2/LoaderHost.h"
#include "avm2/Machine.h"
#include "avm2/SoundHost.h"
#include "swf/AbcTags.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace mc {

// The hosts are public bases: the machine finds the loading and sound ones by a cast from
// its host.
class As3Scripts final : public ScriptRunner,
                         public avm2::Host,
                         public avm2::LoadHost,
                         public avm2::LoaderHost,
                         public avm2::SoundHost {
  public:
    As3Scripts(const swf::Movie& movie, StageCallbacks callbacks);
    ~As3Scripts() override;

    void attach(TimelinePlayer& player) override;
    void beginTick() override;
    void endTick() override;
    // The timeline's ActionScript 1/2 work (As3HostedMovies.cpp): an older movie a Loader
    // placed runs it in its own machine; the rest of the tree has none.
    void runActions(DisplayObject& object, const swf::ActionBlock& block) override;
    // Movies the older movies loaded into their clips come in at the timeline's moment.
    void takeArrivals() override;
    void callHandler(DisplayObject& object, std::string_view name) override;
    bool hasHandler(DisplayObject& object, std::string_view name) override;
    void prepareObject(DisplayObject& object) override;
    void construct(DisplayObject& object) override;
    void contentReplaced(DisplayObject& object) override;
    void forget(DisplayObject& object) override;

    // The person's input (As3Input.cpp): the pointer in stage twips, and the keys; the mouse
    // and keyboard events go to the object under the pointer or with the focus.
    void pointer(PointerAction action, double x, double y);
    // Wheel steps (positive away from the person) with the pointer at the stage point.
    void wheel(int delta, double x, double y);
    void key(const KeyStroke& key, bool down, KeyModifiers held);
    // Text committed at once (an input method's) and the editing commands that come without
    // a key, for the focused input field (As3Typing.cpp).
    void typeText(std::string_view utf8);
    void editText(StageInput::TextCommand command, CaretMove move, bool extend);
    // The script machine, for tools and tests that reach the movie's objects.
    avm2::Machine& machine() { return *vm_; }
    // The yellow rectangle the player draws round the focus, in stage twips: only for a focus
    // a script or a key gave, not a text field's, and as its focusRect (else the stage's
    // stageFocusRect) allows.
    std::optional<Bounds> focusHighlight();
    // Which pages the older movies this runner hosts may open; the input marks a person's
    // events on it.
    PageOpening& olderMoviePages() { return pages_; }
    // The inputs of the older movies this runner hosts (As3HostedMovies.cpp), which the
    // stage's input passes each event on to, and whether an object is part of such a movie.
    void eachHostedInput(const std::function<void(StageInput&)>& each);
    bool hostsObject(const DisplayObject& object) { return hostedFor(object) != nullptr; }

  private:
    void trace(std::string_view line) override;
    double clockMs() override;
    void limitHit(std::string_view what) override;
    avm2::DisplayHost* display() override { return tree_.get(); }
    std::string movieUrl() override;
    std::optional<std::vector<std::uint8_t>> readBesideMovie(std::string_view url) override;
    // As3Loader.cpp: what a Loader loaded, placed under it.
    std::optional<avm2::LoadedContent> placeContent(avm2::NodeId loader,
                                                    std::vector<std::uint8_t> bytes,
                                                    const std::string& url) override;
    void releaseContent(avm2::NodeId content) override;
    // Runs a loaded movie's ActionScript 3 tags, binding its symbols; its document class.
    std::string runLoadedTags(const swf::Movie& movie, std::uint16_t library);
    // The sound layer (As3Sound.cpp), through the stage's sound port.
    bool attachClassSound(std::uint64_t sound, std::string_view className) override;
    bool attachLoadedSound(std::uint64_t sound, std::vector<std::uint8_t> mp3) override;
    bool playChannel(std::uint64_t sound, std::uint64_t channel, double startMs, int loops,
                     double volume, double pan) override;
    void stopChannel(std::uint64_t channel) override;
    void setChannelTransform(std::uint64_t channel, double volume, double pan) override;
    std::optional<double> channelPositionMs(std::uint64_t channel) override;
    std::optional<double> soundLengthMs(std::uint64_t sound) override;
    std::vector<std::uint64_t> finishedChannels() override;
    void stopAllSounds() override;
    void setMixerTransform(double volume, double pan) override;
    std::vector<float> recentOutput(std::size_t frames) override;
    void setDisplayTransform(std::uint64_t node, double volume, double pan) override;
    std::uint32_t rootFrame() override;
    std::uint32_t rootFrameCount() override;
    void rootGoto(std::uint32_t frame, bool play) override;
    void rootSetPlaying(bool playing) override;
    // flash.system.fscommand: the commands the program acts on reach it, as from older
    // movies; the machine's host is always the runner that made it.
    static avm2::Value fscommand(avm2::Machine& m, const avm2::Value& self, avm2::Args& args);
    // As3HostedMovies.cpp: the machine of the older movie `object` is part of, or null.
    StageScripts* hostedFor(const DisplayObject& object);
    // Whether the pointer at the stage point reaches the older movie rooted at `root`: the
    // object the host's pointer goes to there holds the movie or is part of it.
    bool pointerReaches(std::uint64_t root, double x, double y);
    // Gives the older movie rooted at `root` a machine of its own; false past the bound.
    // `library` is the movie's index in the player's library.
    bool hostOlderMovie(DisplayObject& root, const swf::Movie& movie, std::uint16_t library);
    // Ends the machines of older movies whose root went; `release`: that root's at once.
    void dropHostedMovies(std::uint64_t release = 0);
    // The hosted machines' share of a tick: their budgets, timers and collections.
    void beginHostedTick();
    void endHostedTick();
    void runTagsUpTo(std::uint32_t frame);
    void bindSymbols(const swf::AbcTag& tag);
    void makeRoot();
    // The nodes with script objects, parents before their children.
    std::vector<avm2::NodeId> scriptedNodes();
    void constructNewChildren();
    // Nested: a button's frame, which runs the scripts of clips whose script is running.
    void runFrameScripts(bool nested = false);
    void sendRemovedEvents();
    // The same, the clips named reading the frame they left while they hear of it.
    void sendRemovedEventsLeaving(std::unordered_map<avm2::NodeId, std::uint32_t> framesBefore);
    void afterScriptedGoto(avm2::NodeId node);
    void runGotoFrame();
    // The frame a button of the timeline plays before its constructor runs.
    void runNestedFrame();
    void sendLoadedEvents();
    // The node mouse events go to at the point (0: the stage).
    avm2::NodeId pointerTarget(double x, double y);
    // The interactive object under the point within `object` (itself included); `taken`
    // false when none takes it there.
    // The SimpleButton under the pointer as the button tracker knows it; none when the
    // target is no button or a disabled one.
    PointerTarget buttonUnder(avm2::NodeId target);
    void showButtonStates(const std::vector<ButtonChange>& changes);
    bool pointerTakesText(const DisplayObject& field, double x, double y);
    avm2::NodeId pickUnder(DisplayObject& object, double x, double y, int nesting, bool& taken);
    const DisplayObject* hitAreaOf(const DisplayObject& object);
    void sendMouseEvent(avm2::NodeId node, const char* type, bool bubbles, double x, double y,
                        bool buttonDown, avm2::NodeId related, int delta = 0);
    void movePointerOver(avm2::NodeId target, double x, double y);
    void focusByPress(avm2::NodeId target);
    // click, or doubleClick for the second of two quick clicks on an object that wants them.
    void sendClick(avm2::NodeId target, double x, double y);
    // The focused object when it is an input field a person may type into, else null.
    DisplayObject* focusedInputField(avm2::Object*& field);
    // One character (a UTF-16 unit or pair) typed into the focused input field; false when
    // the field did not take it.
    bool typeCharacter(std::u16string_view character);
    // Backspace (`before`) or Delete in the focused input field: the selection, or the
    // character beside the caret.
    bool eraseInField(bool before);
    // The caret of the focused text field moved, the selection stretched with `extend`, or
    // all of its text selected.
    void moveInField(StageInput::TextCommand command, CaretMove move, bool extend);
    void sendFieldChange(avm2::Object* field);
    // Tab moves the focus to the next object in tab order (the one before with Shift).
    void tabFocus(bool backwards);
    // The objects Tab visits, in its order.
    std::vector<avm2::NodeId> tabOrder();
    // An arrow key moves the focus to the nearest object Tab visits on that side.
    void arrowFocus(std::uint8_t keyCode);

    const swf::Movie& movie_;
    StageCallbacks callbacks_;
    PageOpening pages_;
    // Older movies Loaders placed, each with an ActionScript 1/2 machine of its own, by the
    // serial of its root clip. The destructor ends them before the tree goes.
    struct HostedMovie {
        std::uint64_t root = 0;
        std::weak_ptr<DisplayObject> clip;
        // The sound port its machine plays through, which outlives the machine.
        std::unique_ptr<SoundPort> sound;
        std::unique_ptr<StageScripts> scripts;
        // Its mouse and keyboard, after its machine, which it reaches; it goes first.
        std::unique_ptr<StageInput> input;
        bool released = false;
    };
    std::vector<HostedMovie> hosted_;
    // Older movies given a sound port so far: each numbers its Sound objects apart.
    std::uint32_t hostedSounds_ = 0;
    // The tick whose timers the hosted machines ran.
    std::uint64_t hostedTimersTick_ = 0;
    std::vector<swf::AbcTag> tags_;
    std::size_t nextTag_ = 0;
    TimelinePlayer* player_ = nullptr;
    std::unique_ptr<As3DisplayTree> tree_;
    std::unique_ptr<avm2::Machine> vm_;
    bool limitReported_ = false;
    bool rootMade_ = false;
    bool loadedSent_ = false;
    ButtonTracker buttons_;
    // The tick whose frame events ran: input between frames runs its scripts alone.
    std::optional<std::uint64_t> phasesTick_;
    const std::string* documentClass_ = nullptr;
    // The frame whose script ran last, per clip.
    std::unordered_map<avm2::NodeId, std::uint32_t> scriptedFrame_;
    // Display objects the timeline took away since their events were last sent: the one
    // taken from its container gets `removed` along the ancestors it had.
    struct Removal {
        avm2::Object* object = nullptr;
        std::string name;
        avm2::Object* container = nullptr;
        std::vector<avm2::Object*> ancestors;
        bool fromContainer = false;
        bool fromStage = false;
    };
    std::vector<Removal> removed_;
    // The frame each scripted clip showed when this tick began.
    std::unordered_map<avm2::NodeId, std::uint32_t> framesBeforeAdvance_;
    // The clips whose frame scripts are running, outermost first; a goto on one of them
    // runs its frame once the outermost returns.
    std::vector<avm2::NodeId> scriptStack_;
    bool gotoQueued_ = false;
    int gotoDepth_ = 0;
    std::unique_ptr<HitTester> hit_;
    // hitTestPoint's: hidden objects count.
    std::unique_ptr<HitTester> scriptHit_;
    // The object the pointer is over and the one it went down on (0: none, the stage).
    avm2::NodeId over_ = 0;
    avm2::NodeId pressed_ = 0;
    // The object the last single click went to, and when: a second one soon after on the
    // same object is a double click where the object asks for them.
    avm2::NodeId clicked_ = 0;
    // The object the keys last gave the focus to: the arrows move the focus on from it.
    avm2::NodeId keyFocus_ = 0;
    double clickedMs_ = 0;
    avm2::NodeId middlePressed_ = 0;
    avm2::NodeId rightPressed_ = 0;
    bool buttonDown_ = false;
    // The class name each attached sound was found by: its channels attach the same.
};

} // namespace mc
