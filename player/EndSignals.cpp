#include "EndSignals.h"

#include "Player.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace player {
namespace {

// The only thing a signal handler may safely do here: write a byte to a pipe.
std::array<int, 2> wakeUp = {-1, -1};
constexpr std::array<int, 3> EndingSignals = {SIGTERM, SIGINT, SIGHUP};

extern "C" void onEndingSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
    errno = saved;
}

} // namespace

EndSignals::EndSignals(Player& player) : player_(player) {
    if (::pipe2(wakeUp.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // the default action then ends the program, without the end sequence
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
    for (const int signal : EndingSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

EndSignals::~EndSignals() {
    if (!notifier_) {
        return;
    }
    for (const int signal : EndingSignals) {
        std::signal(signal, SIG_DFL);
    }
    notifier_.reset();
    ::close(wakeUp[0]);
    ::close(wakeUp[1]);
    wakeUp = {-1, -1};
}

} // namespace player
