#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ButtonTracker.h"
#include "FocusManager.h"
#include "HitTest.h"
#include "InputState.h"
#include "KeyCodes.h"
#include "PageOpening.h"
#include "TextEditing.h"
#include "TimelinePlayer.h"
#include "swf/Movie.h"

namespace mc {

class StageScripts;

// Delivers a person's mouse and keyboard to a playing movie: buttons change state and run
// their actions, clips acting as buttons get their handlers, clip events and the Key and
// Mouse listeners hear of every press and move, a dragged clip follows the pointer, typed
// text goes into the focused input field. Positions are stage twips.
//
// Every call handles one event completely: the scripts it queued have run when it returns.
// What the pointer did, as an ActionScript 3 runner hears it.
enum class PointerAction : std::uint8_t {
    Move,
    Down,
    Up,
    MiddleDown,
    MiddleUp,
    RightDown,
    RightUp
};

// The keys held with a key or button, as the events of ActionScript 3 report them.
struct KeyModifiers {
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
};

// The address of the html link under the stage point (twips) in `field`; empty if none.
std::string linkUrlAt(TimelinePlayer& player, const DisplayObject& field, double x, double y);

class StageInput {
  public:
    // `scripts` is null for a movie without scripts: buttons then only change state.
    StageInput(const swf::Movie& movie, TimelinePlayer& player, StageScripts* scripts);

    void mouseMove(double x, double y);
    // Before a frame: a pointer that rests over nothing rolls over what came under it since
    // (a clip made, moved or shown there). What it already rolled over stays so until the
    // mouse moves, as does the focus a key rolled over something.
    void pointerRests();
    void mouseDown(double x, double y);
    void mouseUp(double x, double y);
    // The middle or right button: only ActionScript 3 scripts hear of them; for other
    // movies the pointer just moves there.
    void otherButton(bool middle, bool down, double x, double y);
    // Wheel steps, positive away from the person.
    void wheel(int delta);
    void keyDown(const KeyStroke& key);
    void keyUp(const KeyStroke& key);
    // Text committed at once (an input method's composed text): typed into the focused field.
    void typeText(std::string_view utf8);
    // An editing command for the focused field that comes without a key: moving the caret
    // (stretching the selection with `extend`), selecting all, or erasing and new lines in
    // an input field.
    enum class TextCommand : std::uint8_t { Move, SelectAll, Backspace, Delete, Enter };
    void editText(TextCommand command, CaretMove move = CaretMove::Back, bool extend = false);

    // What the pointer shows over the stage: the hand over something clickable that wants
    // it; none at all while a script hid it.
    bool wantsHandCursor() const;
    // An older movie inside an ActionScript 3 movie hides it over the whole stage too.
    bool pointerHidden() const;
    // The box, in stage twips, of the rectangle that marks the keyboard's focus; none when
    // no rectangle shows.
    std::optional<Bounds> focusHighlight();

    // A button changed state: the button's id and the sound transition (leave, enter,
    // press, release as the sound layer numbers them).
    std::function<void(std::uint16_t buttonId, std::size_t transition)> buttonSound;

    const InputState& state() const { return *state_; }

    // Where an ActionScript 3 movie's runner hears the pointer (stage twips) and the keys;
    // left empty for other movies.
    std::function<void(PointerAction action, double x, double y)> scriptPointer;
    std::function<void(const KeyStroke& key, bool down, KeyModifiers held)> scriptKey;
    std::function<void(int delta, double x, double y)> scriptWheel;
    std::function<void(std::string_view utf8)> scriptText;
    std::function<void(TextCommand command, CaretMove move, bool extend)> scriptEdit;
    // Such a runner's own focus rectangle, which focusHighlight reports.
    std::function<std::optional<Bounds>()> scriptFocusHighlight;
    // Such a runner's pages: the older movies it hosts may open one per click or key press.
    PageOpening* scriptPages = nullptr;
    // The older movies such a runner hosts each have an input of their own, which hears
    // every event after the runner did; their objects are theirs, not this input's.
    std::function<void(const std::function<void(StageInput&)>& each)> eachHosted;
    std::function<bool(const DisplayObject& object)> hostedElsewhere;
    // An older movie's input: whether the pointer at a stage point reaches the movie (no
    // object of its host above takes it there). Unset, it reaches everywhere.
    std::function<bool(double x, double y)> reaches;

  private:
    // What the pointer rolled over and a script hid since is left without a roll out (a
    // press on it still ends where the button comes up).
    void dropHiddenHover();
    // Whether an object is one this input delivers to: for an older movie's input, the
    // movie's own; for its host's, none of those movies'.
    bool mine(const DisplayObject& object) const;
    bool reachable(double x, double y) const { return !reaches || reaches(x, y); }
    // The root of what this input serves: the movie's root clip.
    DisplayObject& inputRoot() const;
    // An older movie hosted by an ActionScript 3 movie, whose keyboard focus moves by
    // the host's Tab order.
    bool hostedMovie() const;
    void passOn(const std::function<void(StageInput&)>& each) const;
    PointerTarget targetAt(double x, double y);
    PointerTarget targetOf(const DisplayObject& object);
    // What a hovered or pressed object was: a timeline that places the same character at
    // the same depth again gives back the same button.
    struct Placement {
        std::uint64_t serial = 0;
        std::int32_t depth = 0;
        std::uint16_t characterId = 0;
        std::uint16_t library = 0;
        // The object itself, kept to read the state it showed once it left.
        std::weak_ptr<DisplayObject> object;
        bool same(const DisplayObject& o) const {
            return o.depth == depth && o.characterId == characterId && o.library == library &&
                   !o.removed;
        }
    };
    // Before the pointer's targets are worked out: a hovered or pressed object that left
    // hands its place over to the object that took it.
    void followReplacements(const PointerTarget& under);
    // Afterwards: what the tracker now holds, to recognise it again.
    void rememberTargets();
    // Whether what the held pointer passes hears it drag over and out of it.
    bool heldDragEvents() const;
    DisplayObject* firstPlacedLike(const Placement& placement);
    // The one that took the place of `placement` shows the state it showed.
    void takeOver(const Placement& placement, DisplayObject& now, PointerTarget target);
    Placement hoveredPlacement_;
    Placement pressedPlacement_;
    // The caret a press or drag at (x, y) of the stage puts in `field`.
    std::size_t caretUnder(const DisplayObject& field, double x, double y);
    // With the button held since a press in a field, the selection runs to (x, y).
    void dragSelect(double x, double y);
    // A button, or a clip with a button's handlers: what the pointer can be over.
    bool actsAsButton(const DisplayObject& object);
    // Its enabled property: a disabled one hears no pointer events.
    bool enabled(const DisplayObject& object) const;
    void apply(const std::vector<ButtonChange>& changes);
    // What the pointer is over or pressed on, if it is a button a script disabled, shows its
    // up state and is forgotten.
    void dropDisabledButtons();
    void applyToButton(DisplayObject& button, ButtonEvent event, bool trackAsMenu);
    void applyToClip(DisplayObject& clip, ButtonEvent event);
    // Every clip's onClipEvent for `event`, and the listeners of `broadcaster`.
    void broadcast(std::uint32_t event, avm1::Object* broadcaster, const char* message);
    // Runs what the clips queued, then tells the listeners of `broadcaster`.
    void notifyListeners(avm1::Object* broadcaster, const char* message);
    // A key went down or up: every clip's onClipEvent, the focused object's method, then
    // the Key listeners.
    void broadcastKey(std::uint32_t event, const char* message);
    // What holds the focus for the keys' methods: given by the keyboard or a script, in a
    // movie of version 6 or later; null otherwise.
    DisplayObject* keyboardFocus();
    // The buttons' actions for the key; true when a button took it.
    bool keyPressConditions(std::uint8_t buttonKey);
    // Queues the button's actions for the key; false when it has none.
    bool pressKey(DisplayObject& button, std::uint8_t buttonKey);
    void typeInto(DisplayObject& field, const KeyStroke& key);
    // Typed text replaces the selection of `text`, the field's, unless the field is full;
    // true when it did.
    bool insertTyped(const DisplayObject& field, std::string& text, std::string_view typed);
    static bool isPressKey(const KeyStroke& key);
    // Enter or Space: the button or clip the keyboard moved to is pressed and released.
    void pressFocused();
    // A person changed the field's text: its variable and its onChanged follow.
    void textEdited(DisplayObject& field);
    // The link of the html text field topmost under the point, unless a button is above it:
    // the field and the link's address; null when there is none.
    DisplayObject* linkAt(double x, double y, std::string& url);
    std::string urlAt(const DisplayObject& field, double x, double y) const;
    // A link clicked: an asfunction address calls into the field's timeline, any other
    // opens as getURL would.
    void followLink(DisplayObject& field, const std::string& url);
    void setPointer(double x, double y);
    void pointerHidesHighlight();
    KeyModifiers modifiers() const;
    void finish();
    PageOpening::Gesture personsEvent();

    TimelinePlayer& player_;
    StageScripts* scripts_;
    InputState ownState_;
    InputState* state_;
    HitTester hit_;
    ButtonTracker tracker_;
    std::optional<FocusManager> focus_;
    // The field a press put the caret in, and where: dragging from there selects.
    std::weak_ptr<DisplayObject> selecting_;
    std::size_t selectFrom_ = 0;
};

} // namespace mc
