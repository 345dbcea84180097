#include "EndSignals.h"

#include "Player.h"

#include "cardformat/RemovalOnExit.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace player {
namespace {

// The only things a signal handler may safely do here: write a byte to a pipe, and remove
// files by name.
std::array<int, 2> wakeUp = {-1, -1};
std::atomic<int> pendingEnds{0};

extern "C" void onEndingSignal(int signal) {
    const int saved = errno;
    if (pendingEnds.fetch_add(1) > 0) {
        // The window thread has not got round to the first one: end now, files removed, as
        // the signal would have ended the program without us.
        cardformat::RemovalOnExit::removeAll();
        struct sigaction action {};
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
        ::raise(signal);
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
    errno = saved;
}

} // namespace

EndSignals::EndSignals(Player& player) : player_(player) {
    // A fault, or exit() from a lost display connection: the copy is removed all the same.
    cardformat::RemovalOnExit::removeOnSignals(cardformat::faultSignals());
    if (::pipe2(wakeUp.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        cardformat::RemovalOnExit::removeOnSignals(cardformat::endingSignals());
        return;
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
    for (const int signal : cardformat::endingSignals()) {
        ::sigaction(signal, &action, nullptr);
    }
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        ::sigaction(signal, &action, nullptr);
    }
}

EndSignals::~EndSignals() {
    if (!notifier_) {
        return;
    }
    for (const int signal : cardformat::endingSignals()) {
        std::signal(signal, SIG_DFL);
    }
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        std::signal(signal, SIG_DFL);
    }
    notifier_.reset();
    ::close(wakeUp[0]);
    ::close(wakeUp[1]);
    wakeUp = {-1, -1};
    pendingEnds = 0;
}

} // namespace player
