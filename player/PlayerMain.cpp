#include "PlayerMain.h"

#include "EndSignals.h"
#include "Form1.h"
#include "QtPlayerPlatform.h"
#include "VelmoraAddresses.h"

#include "cardformat/ErrorLog.h"
#include "cardformat/FileIO.h"
#include "cardformat/Platform.h"

#include "MovieWidget.h"
#include "QtTranslations.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <unistd.h>

namespace player {
namespace {

// Start-up measurements: with VELMORA_FIRST_FRAME_FD naming an open descriptor, the player
// writes one byte to it once the movie's first frame has been drawn.
class FirstFrameSignal : public QObject {
  public:
    FirstFrameSignal(QWidget* movie, int fd) : fd_(fd) { movie->installEventFilter(this); }

    static int descriptorFromEnvironment() {
        const char* value = std::getenv("VELMORA_FIRST_FRAME_FD");
        if (value == nullptr || *value == '\0') {
            return -1;
        }
        char* end = nullptr;
        const long fd = std::strtol(value, &end, 10);
        return *end == '\0' && fd > 2 && fd < 1024 ? static_cast<int>(fd) : -1;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // After this paint event has run its course: the frame is drawn.
            QTimer::singleShot(0, [fd = fd_] {
                const char drawn = '1';
                [[maybe_unused]] const ssize_t n = ::write(fd, &drawn, 1);
            });
        }
        return false;
    }

  private:
    int fd_;
};

} // namespace

int playerMain(int argc, char** argv, const std::string& ownPath) {
    QApplication app(argc, argv);
    qtlocale::loadQtTranslations(app);
    // Only the end sequence ends the player, whichever window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    cardformat::ErrorLog::configureBesideProgram("Velmora.log",
                                                 cardformat::nativeFolderOf(ownPath));
    // Copies left by players that were killed outright (SIGKILL, a power cut) go now.
    cardformat::removeOrphanedRunningCopies();

    QtPlayerPlatform platform(joinedArguments(argc, argv), ownPath);
    Form1 form1(platform,
                withHelpPageDefaults(configuredAddresses(), platform.ownExecutablePath()));
    EndSignals endSignals(form1.player());
    if (form1.player().Form_Load() == StartUpOutcome::Ended) {
        return 0;
    }
    if (form1.player().state().CardMode != FlagFalse) {
        endSignals.removeWithProgram(form1.player().state().MoviePath);
    }
    std::unique_ptr<FirstFrameSignal> firstFrame;
    if (const int fd = FirstFrameSignal::descriptorFromEnvironment(); fd >= 0) {
        firstFrame = std::make_unique<FirstFrameSignal>(form1.ShockwaveFlash1(), fd);
    }
    form1.show();
    return QApplication::exec();
}

} // namespace player
