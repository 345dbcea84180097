// Linked into every test program: tests find the source tree and run Qt offscreen, however
// they are started (ctest, by hand, from a debugger). Values already set win.
#include <cstdlib>

namespace {

const bool environmentReady = [] {
    ::setenv("VELMORA_SOURCE_DIR", VELMORA_TEST_SOURCE_DIR, 0);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

} // namespace
