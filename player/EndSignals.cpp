#include "EndSignals.h"

#include "Player.h"

#include "cardformat/RemovalOnExit.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace player {
namespace {

// The only thing a signal handler may safely do here: write a byte to a pipe. The copy's
// name is kept as plain characters for the exit handler, which runs when no other code can.
std::array<int, 2> wakeUp = {-1, -1};
std::array<char, PATH_MAX> copyPath{};

void removeCopy() {
    if (copyPath[0] != '\0') {
        ::unlink(copyPath.data());
    }
}

extern "C" void onEndingSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
    errno = saved;
}

// Destroyed by exit(): a library that gives up on its display connection ends that way.
struct RemoveAtExit {
    RemoveAtExit() = default;
    RemoveAtExit(const RemoveAtExit&) = delete;
    RemoveAtExit& operator=(const RemoveAtExit&) = delete;
    ~RemoveAtExit() { removeCopy(); }
};
const RemoveAtExit removeAtExit;

} // namespace

void EndSignals::removeWithProgram(const std::string& copy) {
    if (copy.size() < copyPath.size()) {
        std::copy(copy.begin(), copy.end(), copyPath.begin());
        copyPath[copy.size()] = '\0';
    }
}

EndSignals::EndSignals(Player& player) : player_(player) {
    if (::pipe2(wakeUp.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // the default actions then end the program; the next start removes the copy
    }
    notifier_ = std::make_unique<QSocketNotifier>(wakeUp[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        std::array<char, 16> bytes{};
        while (::read(wakeUp[0], bytes.data(), bytes.size()) > 0) {
        }
        player_.endSequence();
    });
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal = 1; signal < cardformat::LastSignal; ++signal) {
        if ((cardformat::EndingSignalMask >> signal & 1) != 0) {
            ::sigaction(signal, &action, nullptr);
        }
    }
}

EndSignals::~EndSignals() {
    if (!notifier_) {
        return;
    }
    for (int signal = 1; signal < cardformat::LastSignal; ++signal) {
        if ((cardformat::EndingSignalMask >> signal & 1) != 0) {
            std::signal(signal, SIG_DFL);
        }
    }
    notifier_.reset();
    ::close(wakeUp[0]);
    ::close(wakeUp[1]);
    wakeUp = {-1, -1};
}

} // namespace player
