#pragma once

namespace mc {

// The left button over a movie in a window that moves when dragged: a press that the
// pointer leaves before the release moves the window; a press released where it went down
// is a click, which the movie receives as its press and release. Positions are screen
// pixels.
class ClickOrDrag {
  public:
    enum class Step {
        None,      // nothing to do (yet)
        StartMove, // the pointer left the press: the window follows it from now on
        Click,     // released where pressed: the movie gets the press, then the release
    };

    // A hand never holds a mouse quite still: this much play still counts as not moved.
    static constexpr int kTolerance = 2;

    void press(int x, int y);
    Step move(int x, int y);
    Step release(int x, int y);
    // The window is being moved by this press.
    bool moving() const { return state_ == State::Moving; }
    // A press is held that may still become a click.
    bool pending() const { return state_ == State::Pending; }
    // The window system took the move over: it ends the drag itself.
    void handedOver() { state_ = State::Idle; }

  private:
    enum class State { Idle, Pending, Moving };
    bool leftPress(int x, int y) const;
    State state_ = State::Idle;
    int pressX_ = 0;
    int pressY_ = 0;
};

} // namespace mc
