// Velmora.vmd, the start of every card: finds the installed player runtime and hands it the
// card. It links nothing but the C library, so that a card made today starts on any later
// system that has the runtime, and says so plainly on one that has not.
#include "RuntimeEntry.h"
#include "RuntimeLookup.h"

#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Exit statuses of a card that cannot play, apart from the player's own.
constexpr int ExitNoRuntime = 69;      // no runtime could be loaded
constexpr int ExitRuntimeRefused = 76; // a runtime that does not take this card's launcher

constexpr const char* MessageTitle = "Velmora";
constexpr const char* NoRuntimeText =
    "此贺卡需要 Velmora 贺卡播放程序：请安装软件包 velmora 后再打开贺卡。\n"
    "This card needs the Velmora card player: install the package \"velmora\" "
    "(sudo apt install velmora), then open the card again.";
constexpr const char* RefusedText =
    "此贺卡需要较新的 Velmora 贺卡播放程序：请更新软件包 velmora。\n"
    "This card needs a newer Velmora card player: update the package \"velmora\".";

void writeError(const char* text) {
    size_t left = strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, text, left);
        if (n <= 0) {
            return;
        }
        text += n;
        left -= static_cast<size_t>(n);
    }
}

// On standard error always, with what the system said of each try; in a window too when
// the desktop has one of its message tools.
void tellUser(const char* text, const char* const* details, int detailCount) {
    writeError("velmora: ");
    writeError(text);
    writeError("\n");
    for (int i = 0; i < detailCount; ++i) {
        writeError("velmora: ");
        writeError(details[i]);
        writeError("\n");
    }
    const char* display = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    if ((display == nullptr || display[0] == '\0') && (wayland == nullptr || wayland[0] == '\0')) {
        return;
    }
    launcher::MessageCommand command{};
    if (!launcher::messageCommand(getenv("PATH"), MessageTitle, text, command)) {
        return;
    }
    pid_t child = 0;
    if (posix_spawn(&child, command.program, nullptr, nullptr,
                    const_cast<char* const*>(command.argv), environ) != 0) {
        return;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

int main(int argc, char** argv) {
    // The card under its real name: the runtime reads the movie behind it and logs beside it.
    char self[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    self[length > 0 ? length : 0] = '\0';

    // The development variable counts only for a card its user started (not one running
    // with raised privileges), as the system's own library variables.
    const launcher::RuntimeCandidates candidates =
        launcher::runtimeCandidates(secure_getenv(VELMORA_RUNTIME_VARIABLE),
                                    VELMORA_RUNTIME_INSTALLED, VELMORA_RUNTIME_LIBRARY);
    void* runtime = nullptr;
    // What the system said of each library it could not load (dlerror's text is its own
    // until the next call).
    char failures[2][1024] = {};
    const char* details[2] = {failures[0], failures[1]};
    int tried = 0;
    for (; tried < candidates.count && runtime == nullptr; ++tried) {
        runtime = dlopen(candidates.paths[tried], RTLD_NOW | RTLD_LOCAL);
        if (runtime == nullptr) {
            const char* said = dlerror();
            strncpy(failures[tried], said != nullptr ? said : candidates.paths[tried],
                    sizeof failures[tried] - 1);
        }
    }
    if (runtime == nullptr) {
        tellUser(NoRuntimeText, details, tried);
        return ExitNoRuntime;
    }
    const auto play = reinterpret_cast<VelmoraPlayFunction>(dlsym(runtime, VELMORA_RUNTIME_ENTRY));
    if (play == nullptr) {
        details[0] = dlerror();
        tellUser(RefusedText, details, details[0] != nullptr ? 1 : 0);
        return ExitRuntimeRefused;
    }
    const VelmoraLaunch launch = {sizeof(VelmoraLaunch), VelmoraEntryVersion, self, argc, argv,
                                  VELMORA_MOVIE_OFFSET};
    const int status = play(&launch);
    if (status == VelmoraLaunchRefused) {
        tellUser(RefusedText, nullptr, 0);
        return ExitRuntimeRefused;
    }
    return status;
}
