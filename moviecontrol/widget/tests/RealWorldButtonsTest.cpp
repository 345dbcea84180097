// Clicks the buttons of the real-world movies beside the project through the widget and
// counts those whose movie reacts: the picture or the frame differs from the same movie left
// alone for the same time. A long run (minutes under the sanitizers): it runs when
// VELMORA_REALWORLD_BUTTONS is set and the movies are there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTest>
#include <cstdio>
#include <memory>

#include "MovieView.h"
#include "MovieWidget.h"
#include "WidgetTestApp.h"

namespace mc {
namespace {

constexpr int kViewWidth = 550;
constexpr int kViewHeight = 400;

// Sends a left click at a stage position (twips) through the widget, as a person would.
void clickAtStage(MovieWidget& widget, double x, double y) {
    MovieView* movie = widget.loadedMovie();
    const TwipsRect stage = movie->stage();
    const Transform toView = fitShowAll(stage, widget.width(), widget.height()).toDevice(stage);
    const QPoint at(static_cast<int>(toView.mapX(x, y)), static_cast<int>(toView.mapY(x, y)));
    QTest::mouseMove(&widget, at);
    QTest::mouseClick(&widget, Qt::LeftButton, {}, at);
}

// The middles of the buttons on the stage now, in stage twips.
std::vector<std::pair<double, double>> buttonsOnStage(MovieView& movie) {
    std::vector<std::pair<double, double>> found;
    const TimelinePlayer& player = movie.player();
    player.forEachObject([&](const DisplayObject& o) {
        if (o.kind != CharacterKind::Button || o.parent == nullptr) {
            return;
        }
        const Bounds b = player.geometry().boundsOf(o, player.geometry().globalMatrix(o));
        if (!b.empty()) {
            found.emplace_back((b.xMin + b.xMax) / 2, (b.yMin + b.yMax) / 2);
        }
    });
    return found;
}

void play(MovieWidget& widget, int frames, std::int64_t& clockMs) {
    for (int i = 0; i < frames; ++i) {
        clockMs += 1000 / 12;
        widget.tickAt(clockMs);
    }
}

std::unique_ptr<MovieWidget> open(const QString& path) {
    auto widget = std::make_unique<MovieWidget>();
    widget->resize(kViewWidth, kViewHeight);
    widget->setMovie(path.toStdString());
    widget->setPlaying(true);
    return widget;
}

TEST(RealWorldButtonsTest, ClickedButtonsChangeWhatTheMovieShows) {
    const QDir movies(qEnvironmentVariable("VELMORA_SOURCE_DIR") +
                      QStringLiteral("/../shared/realworld/movies"));
    if (!movies.exists() || qEnvironmentVariableIsEmpty("VELMORA_REALWORLD_BUTTONS")) {
        GTEST_SKIP() << "set VELMORA_REALWORLD_BUTTONS with the real-world movies beside the "
                        "project";
    }
    testing::widgetTestApp();
    int withButtons = 0;
    int reacting = 0;
    int frameChanged = 0;
    for (const QString& file : movies.entryList({"*.swf"}, QDir::Files, QDir::Name)) {
        const QString path = movies.filePath(file);
        auto clicked = open(path);
        auto alone = open(path);
        if (!clicked->hasMovie()) {
            continue;
        }
        std::int64_t clockA = 0;
        std::int64_t clockB = 0;
        // Most cards show their buttons after an intro: wait for them, up to a minute.
        std::vector<std::pair<double, double>> buttons;
        for (int second = 0; second < 60 && buttons.empty(); ++second) {
            play(*clicked, 12, clockA);
            play(*alone, 12, clockB);
            buttons = buttonsOnStage(*clicked->loadedMovie());
        }
        if (buttons.empty()) {
            continue;
        }
        ++withButtons;
        bool reacted = false;
        bool moved = false;
        for (const auto& [x, y] : buttons) {
            clickAtStage(*clicked, x, y);
            play(*clicked, 6, clockA);
            play(*alone, 6, clockB);
            moved = clicked->currentFrame() != alone->currentFrame();
            if (moved || clicked->grabFrame() != alone->grabFrame()) {
                reacted = true;
                break;
            }
        }
        reacting += reacted ? 1 : 0;
        frameChanged += moved ? 1 : 0;
        std::printf("%s: %zu buttons, %s\n", qPrintable(file), buttons.size(),
                    moved     ? "goes to another frame"
                    : reacted ? "changes its picture"
                              : "no reaction");
    }
    std::printf("real-world movies with buttons on stage: %d, reacting to a click: %d (the main "
                "timeline moving: %d)\n",
                withButtons, reacting, frameChanged);
    EXPECT_GT(reacting, 0);
}

} // namespace
} // namespace mc
