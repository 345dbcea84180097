#include "ClickOrDrag.h"

#include <cstdlib>

namespace mc {

void ClickOrDrag::press(int x, int y) {
    state_ = State::Pending;
    pressX_ = x;
    pressY_ = y;
}

bool ClickOrDrag::leftPress(int x, int y) const {
    return std::abs(x - pressX_) > kTolerance || std::abs(y - pressY_) > kTolerance;
}

ClickOrDrag::Step ClickOrDrag::move(int x, int y) {
    if (state_ == State::Pending && leftPress(x, y)) {
        state_ = State::Moving;
        return Step::StartMove;
    }
    return Step::None;
}

ClickOrDrag::Step ClickOrDrag::release(int x, int y) {
    const State was = state_;
    state_ = State::Idle;
    // A release away from the press without a move between (the pointer jumped) is a drag
    // too: nothing for the movie.
    return was == State::Pending && !leftPress(x, y) ? Step::Click : Step::None;
}

} // namespace mc
