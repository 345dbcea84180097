#pragma once
// Nested script calls recurse on the thread's own stack. The machines bound the number of
// nested calls as Flash does, but what one call costs in native stack depends on the path it
// takes (getters, built-ins that call back, XML walks) and on the build (a sanitizer build's
// frames are several times larger). So they bound the bytes too: a script that recurses
// without end meets its "stack overflow" error, never the end of the thread's stack.

#include <cstddef>
#include <cstdint>

namespace scriptbudget {

// Stack bytes the scripts may use beyond where the outermost one started: half of what the
// system gives a thread's stack, at most 4 MB (far beyond Flash's 256 calls in a release
// build), at least 256 KB.
std::size_t defaultScriptStackBytes();

class NativeStack {
  public:
    explicit NativeStack(std::size_t limitBytes = defaultScriptStackBytes()) : limit_(limitBytes) {}

    // Marks the caller's frame as where the outermost script starts.
    void markStart() noexcept;
    // Whether the caller's frame lies further than the limit from the mark.
    bool exhausted() const noexcept;

  private:
    std::size_t limit_;
    std::uintptr_t start_ = 0;
};

} // namespace scriptbudget
