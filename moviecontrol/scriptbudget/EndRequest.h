#pragma once
// The player is ending (a signal, the window closed, "结束" chosen): every script stops at
// its next budget check, and none starts. Set from a signal handler, read on the thread
// that runs scripts, so it is one lock-free atomic flag and nothing else.

namespace scriptbudget {

// Safe inside a signal handler.
void requestEnd() noexcept;
bool endRequested() noexcept;
// For a new player in the same process (tests).
void clearEndRequest() noexcept;

} // namespace scriptbudget
