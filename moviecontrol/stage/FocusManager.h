#pragma once

#include <optional>
#include <vector>

#include "Bounds.h"
#include "DisplayObject.h"
#include "TabOrder.h"

namespace mc {

class StageScripts;

// Whether a clip acts as a button through its handlers: an onClipEvent of the mouse's
// button events, or an onPress, onRelease... method.
bool hasButtonHandlers(StageScripts* scripts, const DisplayObject& clip);

// The keyboard focus as the Tab key moves it: which objects take part (buttons, clips that
// act as buttons or are tabEnabled, input fields; tabEnabled, tabChildren and tabIndex as
// scripts set them), the order Tab visits them in, and the yellow rectangle that marks the
// focus it gave.
class FocusManager {
  public:
    explicit FocusManager(StageScripts& scripts);

    // Every object Tab may visit, in display-tree order, with its corner and tab index.
    std::vector<TabStop> tabStops();
    // Tab (Shift+Tab when `backwards`): the focus goes to the next object; false when
    // there is none to go to.
    bool tab(bool backwards);
    // An arrow key: a focus shown with its rectangle (one Tab or a script gave) moves to
    // the nearest object Tab visits that lies that way. A focus a click gave stays, as does
    // a text field's, where the arrows move the caret. False when the focus did not move.
    bool arrow(Arrow direction);
    // The box, in stage twips, the focus rectangle is drawn round; none when no rectangle
    // shows (no focus, the focus came from the mouse, or _focusrect turned it off).
    std::optional<Bounds> highlight();

  private:
    void collect(DisplayObject& object, std::vector<TabStop>& out);
    bool tabbable(DisplayObject& object);
    bool tabChildren(DisplayObject& object);
    bool focusRectShown(DisplayObject& object);
    // The stage box that marks the object and places it in the tab order.
    Bounds highlightBounds(DisplayObject& object);

    StageScripts& scripts_;
};

} // namespace mc
