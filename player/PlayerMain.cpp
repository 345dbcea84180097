#include "PlayerMain.h"

#include "AfterFirstFrame.h"
#include "CommandLineHelp.h"
#include "EndSignals.h"
#include "Form1.h"
#include "QtPlayerPlatform.h"
#include "VelmoraAddresses.h"

#include "cardformat/ErrorLog.h"
#include "cardformat/FileIO.h"
#include "cardformat/Platform.h"

#include "MovieWidget.h"

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <functional>
#include <unistd.h>
#include <vector>

namespace player {
namespace {

// Start-up measurements: with VELMORA_FIRST_FRAME_FD naming an open descriptor, the player
// writes one byte to it once its window, with the movie's first frame, has been drawn.
int firstFrameDescriptor() {
    const char* value = std::getenv("VELMORA_FIRST_FRAME_FD");
    if (value == nullptr || *value == '\0') {
        return -1;
    }
    char* end = nullptr;
    const long fd = std::strtol(value, &end, 10);
    return *end == '\0' && fd > 2 && fd < 1024 ? static_cast<int>(fd) : -1;
}

// The folder of the library (or program) this code was loaded from: the installed runtime's.
std::string runtimeFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&firstFrameDescriptor), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    return cardformat::nativeFolderOf(info.dli_fname);
}

} // namespace

int playerMain(int argc, char** argv, const std::string& ownPath) {
    // Answered before any window: a terminal asking for help needs no display.
    if (const auto answer =
            commandLineAnswer(std::vector<std::string>(argv + std::min(argc, 1), argv + argc))) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    // Only the end sequence ends the player, whichever window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    cardformat::ErrorLog::configureBesideProgram("Velmora.log",
                                                 cardformat::nativeFolderOf(ownPath));

    QtPlayerPlatform platform(joinedArguments(argc, argv), ownPath);
    Form1 form1(platform, withHelpPageDefaults(configuredAddresses(), platform.ownExecutablePath(),
                                               runtimeFolder()));
    EndSignals endSignals(form1.player());

    std::vector<std::function<void()>> later;
    if (const int fd = firstFrameDescriptor(); fd >= 0) {
        later.emplace_back([fd] {
            const char drawn = '1';
            [[maybe_unused]] const ssize_t n = ::write(fd, &drawn, 1);
        });
    }
    // Copies left by players that were killed outright (SIGKILL, a power cut): their sweep
    // reads the whole temporary folder, which can be large.
    later.emplace_back([] { cardformat::removeOrphanedRunningCopies(); });
    // Qt's own texts come with the first dialog, or now.
    later.emplace_back([&platform] { platform.loadQtTexts(); });
    // Watching from before start-up: the window may first be painted while the password box
    // waits for its answer.
    const AfterFirstFrame afterFirstFrame({&form1, form1.ShockwaveFlash1()}, std::move(later));

    switch (form1.player().Form_Load()) {
    case StartUpOutcome::Ended:
        return 0;
    case StartUpOutcome::Failed:
        return 1;
    case StartUpOutcome::Running:
        break;
    }
    if (form1.player().state().CardMode != FlagFalse) {
        endSignals.removeWithProgram(form1.player().state().MoviePath);
    }
    form1.show();
    return QApplication::exec();
}

} // namespace player
