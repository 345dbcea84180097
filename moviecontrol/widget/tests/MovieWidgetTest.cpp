#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "MovieWidget.h"
#include "WidgetTestApp.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

QApplication& app() {
    return testing::widgetTestApp();
}

TEST(MovieWidgetTest, MovieGivesBackThePathEvenWhenLoadingFails) {
    app();
    MovieWidget w;
    // Playing and looping from the start: the player's menu shows both marked.
    EXPECT_TRUE(w.Playing());
    EXPECT_TRUE(w.Loop());
    EXPECT_EQ(w.Movie(), "");
    w.resize(40, 30);
    w.setBackgroundColor(0x123456);
    const std::string path = "/nonexistent/dir/ünï.swf";
    w.setMovie(path);
    EXPECT_EQ(w.Movie(), path);
    EXPECT_FALSE(w.hasMovie());
    const QImage frame = w.grabFrame();
    EXPECT_EQ(frame.pixelColor(20, 15), QColor(0x12, 0x34, 0x56));
}

// The colour keeps its three channels; the place is in twips, 15 to the pixel.
TEST(MovieWidgetTest, ColourAndPlaceConvertWhatTheyAreGiven) {
    app();
    QWidget parent;
    MovieWidget* w = new MovieWidget(&parent);
    w->setBackgroundColor(0xFFAA0011);
    EXPECT_EQ(w->BackgroundColor(), 0xAA0011u);
    w->setPlace(cardformat::TwipRect{150, 300, 8250, 6000});
    EXPECT_EQ(w->geometry(), QRect(10, 20, 550, 400));
    EXPECT_EQ(w->Place(), (cardformat::TwipRect{150, 300, 8250, 6000}));
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
    const QMenu* menu = w.findChild<QMenu*>();
    EXPECT_TRUE(menu == nullptr || !menu->isVisible());
}

// Where the surface stands alone (the builder's previews) its own menu carries the volume the
// player's menu has: it shows the control's level and mute, and acts on them.
TEST(MovieWidgetTest, ItsOwnMenuShowsAndSetsTheVolume) {
    app();
    MovieWidget w;
    w.setVolume(75);
    w.setMuted(true);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(1, 1), QPoint(1, 1));
    QApplication::sendEvent(&w, &event);
    auto* volume = w.findChild<QMenu*>(QStringLiteral("VolumeMenu"));
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->title(), QStringLiteral("音量"));
    QStringList items;
    for (const QAction* action : volume->actions()) {
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(items,
              (QStringList{QStringLiteral("静音"), QStringLiteral("-"), QStringLiteral("100%"),
                           QStringLiteral("75%"), QStringLiteral("50%"), QStringLiteral("25%")}));
    const auto item = [volume](const char* name) {
        return volume->findChild<QAction*>(QString::fromLatin1(name));
    };
    EXPECT_EQ(item("Mute")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_TRUE(item("Mute")->isChecked());
    EXPECT_TRUE(item("Volume75")->isChecked());
    EXPECT_FALSE(item("Volume100")->isChecked());

    // A level is to be heard: choosing one ends the mute. Whoever shows the level elsewhere
    // learns of each change.
    int told = 0;
    QObject::connect(&w, &MovieWidget::levelChanged, [&told] { ++told; });
    item("Volume25")->trigger();
    EXPECT_EQ(w.volume(), 25);
    EXPECT_FALSE(w.muted());
    item("Mute")->trigger();
    EXPECT_TRUE(w.muted());
    EXPECT_EQ(w.volume(), 25);
    EXPECT_EQ(told, 2);
    // The key works without opening the menu.
    QTest::keyClick(&w, Qt::Key_M, Qt::ControlModifier);
    EXPECT_FALSE(w.muted());
    EXPECT_EQ(told, 3);
    w.setVolume(50);
    EXPECT_EQ(told, 3);

    // Changed elsewhere (a level between the steps), the next opening shows it.
    w.setMuted(false);
    w.setVolume(60);
    QApplication::sendEvent(&w, &event);
    EXPECT_FALSE(item("Mute")->isChecked());
    for (const char* name : {"Volume100", "Volume75", "Volume50", "Volume25"}) {
        EXPECT_FALSE(item(name)->isChecked()) << name;
    }
}

// A 3-frame movie at 10 fps whose square moves right by 10 px a frame; white, or with no
// colour of its own when `namesColour` is false.
std::string writeMovie(const QTemporaryDir& dir, bool namesColour = true) {
    moviemaker::MovieHeader header;
    header.frameSize = moviemaker::Rect::pixels(100, 50);
    header.frameRate = 10.0;
    moviemaker::SwfWriter movie(header);
    if (namesColour) {
        movie.setBackgroundColor({255, 255, 255});
    }
    moviemaker::Shape box;
    box.fill1(box.addFill(moviemaker::FillStyle::solid({255, 0, 0, 255})))
        .rectangle(0, 0, 200, 200);
    movie.place(movie.defineShape(box), 1);
    movie.showFrame();
    movie.moveObject(1, moviemaker::Matrix::translate(200, 0));
    movie.showFrame();
    movie.moveObject(1, moviemaker::Matrix::translate(400, 0));
    movie.showFrame();
    const std::vector<std::uint8_t> bytes = movie.finish();
    const QString path = dir.filePath(namesColour ? QStringLiteral("three.swf")
                                                  : QStringLiteral("three-no-colour.swf"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path.toStdString();
}

TEST(MovieWidgetTest, FrameClockPlaysLoopsAndStops) {
    app();
    QTemporaryDir dir;
    MovieWidget w;
    w.resize(100, 50);
    w.setMovie(writeMovie(dir));
    ASSERT_TRUE(w.hasMovie());
    EXPECT_EQ(w.frameCount(), 3u);
    EXPECT_EQ(w.currentFrame(), 0u);
    EXPECT_TRUE(w.Playing());
    w.tickAt(50);
    EXPECT_EQ(w.currentFrame(), 0u);
    w.tickAt(100);
    EXPECT_EQ(w.currentFrame(), 1u);
    w.tickAt(300); // two frames due at once: loops back to the first
    EXPECT_EQ(w.currentFrame(), 0u);

    w.setLoop(false);
    w.tickAt(400);
    w.tickAt(500);
    w.tickAt(600);
    EXPECT_EQ(w.currentFrame(), 2u);
    EXPECT_FALSE(w.Playing());

    w.Rewind();
    EXPECT_EQ(w.currentFrame(), 0u);
    w.Play();
    w.setPlaying(false);
    w.tickAt(10'000);
    EXPECT_EQ(w.currentFrame(), 0u);
}

TEST(MovieWidgetTest, BackAndForwardStepAndShowTheFrame) {
    app();
    QTemporaryDir dir;
    MovieWidget w;
    w.resize(100, 50);
    w.setMovie(writeMovie(dir));
    w.Forward();
    w.Forward();
    EXPECT_EQ(w.currentFrame(), 2u);
    EXPECT_FALSE(w.Playing());
    QImage frame = w.grabFrame();
    EXPECT_EQ(frame.pixelColor(25, 5), QColor(255, 0, 0));
    EXPECT_EQ(frame.pixelColor(5, 5), QColor(255, 255, 255));
    w.Back();
    EXPECT_EQ(w.currentFrame(), 1u);
    frame = w.grabFrame();
    EXPECT_EQ(frame.pixelColor(15, 5), QColor(255, 0, 0));
    EXPECT_EQ(frame.pixelColor(25, 5), QColor(255, 255, 255));
    // A new movie starts playing at once, whatever the last one did.
    w.setMovie(writeMovie(dir));
    EXPECT_TRUE(w.Playing());
    EXPECT_EQ(w.currentFrame(), 0u);
}

// Full screen and the wheel's zoom give the surface another shape than the stage's. Beside
// the stage it shows the movie's colour; a movie that names none keeps the window's black
// there (not a white bar), while its stage stays Flash's white.
TEST(MovieWidgetTest, TheSpaceBesideTheStageIsTheMoviesColourOrBlack) {
    app();
    QTemporaryDir dir;
    MovieWidget w;
    w.resize(100, 100); // a 100 x 50 stage: bars of 25 pixels above and below
    const auto beside = [&w] {
        const QImage frame = w.grabFrame();
        return std::pair(frame.pixelColor(50, 5), frame.pixelColor(50, 95));
    };
    const auto stage = [&w] { return w.grabFrame().pixelColor(50, 40); };
    const QColor white(255, 255, 255);
    const QColor black(0, 0, 0);

    w.setMovie(writeMovie(dir, false));
    ASSERT_TRUE(w.hasMovie());
    EXPECT_EQ(beside(), std::pair(black, black));
    EXPECT_EQ(stage(), white);
    // The player sets the colour it read from the header, white for such a movie.
    w.setBackgroundColor(0xFFFFFF);
    EXPECT_EQ(beside(), std::pair(black, black));
    EXPECT_EQ(stage(), white);

    w.setMovie(writeMovie(dir, true));
    w.setBackgroundColor(0x102030);
    const QColor named(0x10, 0x20, 0x30);
    EXPECT_EQ(beside(), std::pair(named, named));
    EXPECT_EQ(stage(), named);
}

TEST(MovieWidgetTest, DrawingSurfaceNeverExceedsTheScreen) {
    EXPECT_EQ(surfaceWithin(QSize(550, 400), QSize(1920, 1080)), QSize(550, 400));
    EXPECT_EQ(surfaceWithin(QSize(32767, 32767), QSize(1920, 1080)), QSize(1080, 1080));
    EXPECT_EQ(surfaceWithin(QSize(40000, 100), QSize(1000, 1000)), QSize(1000, 2));
    EXPECT_EQ(surfaceWithin(QSize(0, 0), QSize(1000, 1000)), QSize(1, 1));

    // A movie whose window grew far past any screen is drawn at the screen's size at most.
    app();
    QTemporaryDir dir;
    MovieWidget w;
    w.setMovie(writeMovie(dir));
    ASSERT_TRUE(w.hasMovie());
    w.resize(16000, 8000);
    const QSize screen = w.screen()->size();
    const QImage frame = w.grabFrame();
    EXPECT_LE(frame.width(), screen.width());
    EXPECT_LE(frame.height(), screen.height());
    EXPECT_EQ(frame.width(), std::min(screen.width(), 2 * screen.height()));
    // Still the whole stage: its red square in the top-left corner, fitted as ShowAll.
    EXPECT_EQ(frame.pixelColor(1, 1), QColor(255, 0, 0));
}

TEST(MovieWidgetTest, NamedPipeIsNoMovieAndDoesNotWait) {
    app();
    QTemporaryDir dir;
    const std::string pipe = dir.filePath(QStringLiteral("pipe.swf")).toStdString();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ::alarm(20); // a hang fails the test
    MovieWidget w;
    w.setMovie(pipe);
    ::alarm(0);
    EXPECT_FALSE(w.hasMovie());
}

} // namespace
} // namespace mc
