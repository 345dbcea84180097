#include "EndSignals.h"

#include "Player.h"

#include "cardformat/RemovalOnExit.h"
#include "scriptbudget/EndRequest.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace player {
namespace {

// The only thing a signal handler may safely do here: write a byte to a pipe. The copy's
// name is kept as plain characters for the exit handler, which runs when no other code can.
std::array<int, 2> wakeUp = {-1, -1};
// The watchdog waits on this pipe: a byte of 1 starts its grace period, 0 ends it unused.
std::array<int, 2> watchdogPipe = {-1, -1};
std::array<char, PATH_MAX> copyPath{};
constexpr char StartGrace = 1, Dismiss = 0;

void removeCopy() {
    if (copyPath[0] != '\0') {
        ::unlink(copyPath.data());
    }
}

void startGrace() noexcept {
    if (watchdogPipe[1] >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(watchdogPipe[1], &StartGrace, 1);
    }
}

extern "C" void onEndingSignal(int) {
    const int saved = errno;
    scriptbudget::requestEnd();
    startGrace();
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
    errno = saved;
}

// Waits for the start of the grace period; past it the program ends here, the temporary
// movie removed, however busy the window thread still is.
void watch(int fd) {
    char byte = Dismiss;
    while (::read(fd, &byte, 1) < 0 && errno == EINTR) {
    }
    if (byte != StartGrace) {
        return;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(EndSignals::GraceMilliseconds);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        // A dismissal during the grace period (the program ended normally) ends the wait.
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, static_cast<int>(left.count())) > 0 && ::read(fd, &byte, 1) == 1 &&
            byte == Dismiss) {
            return;
        }
    }
    removeCopy();
    ::_exit(0);
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

void EndSignals::endingNow() noexcept {
    scriptbudget::requestEnd();
    startGrace();
}

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
    if (::pipe2(watchdogPipe.data(), O_CLOEXEC) == 0) {
        watchdog_ = std::thread(watch, watchdogPipe[0]);
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
    if (watchdog_.joinable()) {
        [[maybe_unused]] const ssize_t written = ::write(watchdogPipe[1], &Dismiss, 1);
        watchdog_.join();
        ::close(watchdogPipe[0]);
        ::close(watchdogPipe[1]);
        watchdogPipe = {-1, -1};
    }
}

} // namespace player
