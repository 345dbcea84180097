#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include "MovieWidget.h"

namespace mc {
namespace {

int argc = 1;
char name[] = "moviecontrol_widget_tests";
char* argv[] = {name, nullptr};

QApplication& app() {
    static QApplication instance(argc, argv);
    return instance;
}

TEST(MovieWidgetTest, StartsPlayingAndLoopingWithoutMovie) {
    app();
    MovieWidget w;
    EXPECT_TRUE(w.Playing());
    EXPECT_TRUE(w.Loop());
    EXPECT_EQ(w.Movie(), "");
    EXPECT_FALSE(w.hasMovie());
}

TEST(MovieWidgetTest, MovieGivesBackThePathEvenWhenLoadingFails) {
    app();
    MovieWidget w;
    w.resize(40, 30);
    w.setBackgroundColor(0x123456);
    const std::string path = "/nonexistent/dir/ünï.swf";
    w.setMovie(path);
    EXPECT_EQ(w.Movie(), path);
    EXPECT_FALSE(w.hasMovie());
    const QImage frame = w.grabFrame();
    EXPECT_EQ(frame.pixelColor(20, 15), QColor(0x12, 0x34, 0x56));
}

TEST(MovieWidgetTest, PropertiesRoundTrip) {
    app();
    QWidget parent;
    MovieWidget* w = new MovieWidget(&parent);
    w->setLoop(false);
    EXPECT_FALSE(w->Loop());
    w->setPlaying(false);
    EXPECT_FALSE(w->Playing());
    w->Play();
    EXPECT_TRUE(w->Playing());
    w->setBackgroundColor(0xFFAA0011);
    EXPECT_EQ(w->BackgroundColor(), 0xAA0011u);

    w->setPlace(cardformat::TwipRect{150, 300, 8250, 6000});
    EXPECT_EQ(w->geometry(), QRect(10, 20, 550, 400));
    EXPECT_EQ(w->Place(), (cardformat::TwipRect{150, 300, 8250, 6000}));

    w->setVisible(false);
    EXPECT_FALSE(w->Visible());
    w->setVisible(true);
    EXPECT_TRUE(w->Visible());
}

TEST(MovieWidgetTest, RightClickReachesAnEventFilterFirst) {
    app();
    MovieWidget w;
    struct Eater : QObject {
        int seen = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::ContextMenu) {
                ++seen;
                return true;
            }
            return false;
        }
    } eater;
    w.installEventFilter(&eater);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(1, 1), QPoint(1, 1));
    QApplication::sendEvent(&w, &event);
    EXPECT_EQ(eater.seen, 1);
    EXPECT_EQ(w.findChild<QMenu*>()->isVisible(), false);
}

} // namespace
} // namespace mc
