// The least a Qt program does to show a window: the yardstick for a card's start. It signals
// its first paint the way the player does (one byte to VELMORA_FIRST_FRAME_FD).
#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <unistd.h>

namespace {

class Window : public QWidget {
  public:
    explicit Window(int fd) : fd_(fd) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), Qt::black);
        if (fd_ >= 0) {
            // After this paint has run its course, as the player reports its first frame.
            QTimer::singleShot(0, [fd = fd_] {
                const char drawn = '1';
                [[maybe_unused]] const ssize_t n = ::write(fd, &drawn, 1);
            });
            fd_ = -1;
        }
    }

  private:
    int fd_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const char* value = std::getenv("VELMORA_FIRST_FRAME_FD");
    Window window(value != nullptr ? std::atoi(value) : -1);
    window.resize(550, 400);
    window.show();
    return QApplication::exec();
}
