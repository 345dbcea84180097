#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>

#include "ClickOrDrag.h"
#include "MovieWidget.h"
#include "QtKeys.h"
#include "StageFit.h"
#include "WidgetTestApp.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

TEST(ClickOrDragTest, PressReleasedInPlaceIsAClick) {
    ClickOrDrag d;
    d.press(100, 100);
    EXPECT_TRUE(d.pending());
    // A hand's tremble is no drag.
    EXPECT_EQ(d.move(101, 99), ClickOrDrag::Step::None);
    EXPECT_EQ(d.release(102, 100), ClickOrDrag::Step::Click);
    EXPECT_FALSE(d.pending());
}

TEST(ClickOrDragTest, PointerLeavingThePressMovesTheWindowAndIsNoClick) {
    ClickOrDrag d;
    d.press(100, 100);
    EXPECT_EQ(d.move(100, 100 + ClickOrDrag::kTolerance + 1), ClickOrDrag::Step::StartMove);
    EXPECT_TRUE(d.moving());
    EXPECT_EQ(d.move(150, 150), ClickOrDrag::Step::None); // already moving
    // Coming back to where it started does not make it a click.
    EXPECT_EQ(d.release(100, 100), ClickOrDrag::Step::None);
    EXPECT_FALSE(d.moving());
}

TEST(ClickOrDragTest, ReleaseFarFromThePressIsNoClickEvenWithoutAMove) {
    ClickOrDrag d;
    d.press(10, 10);
    EXPECT_EQ(d.release(40, 10), ClickOrDrag::Step::None);
    // Nothing pressed: a release is nothing; a system move ends the press.
    EXPECT_EQ(d.release(10, 10), ClickOrDrag::Step::None);
    d.press(10, 10);
    d.move(50, 50);
    d.handedOver();
    EXPECT_FALSE(d.moving());
    EXPECT_EQ(d.release(50, 50), ClickOrDrag::Step::None);
}

TEST(StageFitTest, ViewPositionsMapBackToStageTwipsThroughTheLetterbox) {
    const TwipsRect stage{200, 100, 200 + 11000, 100 + 8000}; // 550 x 400 pixels, offset
    // Twice as wide as needed: the stage is centred with bars left and right.
    const StageFit fit = fitShowAll(stage, 1400, 400);
    double x = 0;
    double y = 0;
    fit.toStage(stage, 700, 200, x, y);
    EXPECT_DOUBLE_EQ(x, 200 + 5500);
    EXPECT_DOUBLE_EQ(y, 100 + 4000);
    fit.toStage(stage, fit.offsetX, 0, x, y);
    EXPECT_DOUBLE_EQ(x, 200);
    EXPECT_DOUBLE_EQ(y, 100);
    // In the bar: left of the stage.
    fit.toStage(stage, 0, 0, x, y);
    EXPECT_LT(x, 200);
    // And back: the device transform undoes it.
    const Transform d = fit.toDevice(stage);
    fit.toStage(stage, 123, 45, x, y);
    EXPECT_NEAR(d.mapX(x, y), 123, 1e-9);
    EXPECT_NEAR(d.mapY(x, y), 45, 1e-9);
}

TEST(QtKeysTest, QtKeysBecomeTheMoviesKeyCodes) {
    EXPECT_EQ(keyStrokeOf(Qt::Key_A, "a"), (KeyStroke{65, 97}));
    EXPECT_EQ(keyStrokeOf(Qt::Key_A, "A"), (KeyStroke{65, 65}));
    EXPECT_EQ(keyStrokeOf(Qt::Key_Return, "\r"), (KeyStroke{13, 13}));
    EXPECT_EQ(keyStrokeOf(Qt::Key_Left, ""), (KeyStroke{37, 0}));
    EXPECT_EQ(keyStrokeOf(Qt::Key_F3, ""), (KeyStroke{114, 0}));
    EXPECT_EQ(keyStrokeOf(Qt::Key_Semicolon, ";"), (KeyStroke{186, 59}));
    EXPECT_EQ(keyStrokeOf(Qt::Key_Exclam, "!"), (KeyStroke{49, 33}));
    EXPECT_EQ(keyStrokeOf(Qt::Key_Eacute, QString(QChar(0xE9))), (KeyStroke{0, 0xE9}));
    EXPECT_FALSE(keyStrokeOf(Qt::Key_VolumeUp, ""));
}

// A 550 x 400 movie stopped on its first frame with a button over the stage's top left
// quarter whose release goes to the second frame; a key press of 'g' goes to the third.
std::vector<std::uint8_t> clickableMovie() {
    moviemaker::MovieHeader header;
    header.version = 8;
    moviemaker::SwfWriter movie(header);
    moviemaker::Shape box;
    box.fill1(box.addFill(moviemaker::FillStyle::solid({255, 0, 0, 255})))
        .rectangle(0, 0, 5500, 4000);
    const uint16_t shape = movie.defineShape(box);
    moviemaker::Button button;
    button.records = {{0x0F, shape, 1, {}, {}}};
    button.conditions = {{0x0008, moviemaker::Actions().gotoFrame(1)},
                         {static_cast<uint16_t>('g' << 9), moviemaker::Actions().gotoFrame(2)}};
    movie.place(movie.defineButton2(button), 1);
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    movie.showFrame();
    movie.showFrame();
    return movie.finish();
}

class MovieInputWidgetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::widgetTestApp();
        widget_ = std::make_unique<MovieWidget>();
        ASSERT_TRUE(dir_.isValid());
        const auto bytes = clickableMovie();
        path_ = dir_.filePath("click.swf").toStdString();
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        // Twice the stage's height and more than twice its width: bars left and right.
        widget_->resize(1300, 800);
        widget_->setMovie(path_);
        widget_->show();
        ASSERT_TRUE(widget_->hasMovie());
    }
    QTemporaryDir dir_;
    std::string path_;
    std::unique_ptr<MovieWidget> widget_;
};

TEST_F(MovieInputWidgetTest, ClickThroughTheFitReachesTheButtonUnderIt) {
    // The stage spans x 100..1200 at scale 2: x 80 is in the bar, 1000 right of the button.
    QTest::mouseClick(widget_.get(), Qt::LeftButton, {}, QPoint(80, 100));
    QTest::mouseClick(widget_.get(), Qt::LeftButton, {}, QPoint(1000, 100));
    EXPECT_EQ(widget_->currentFrame(), 0u);
    QTest::mouseClick(widget_.get(), Qt::LeftButton, {}, QPoint(600, 300));
    EXPECT_EQ(widget_->currentFrame(), 1u);
    EXPECT_EQ(widget_->cursor().shape(), Qt::PointingHandCursor);
    QMouseEvent away(QEvent::MouseMove, QPointF(1000, 700),
                     widget_->mapToGlobal(QPointF(1000, 700)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(widget_.get(), &away);
    EXPECT_EQ(widget_->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MovieInputWidgetTest, RightButtonNeverReachesTheMovieButKeysDo) {
    QTest::mouseClick(widget_.get(), Qt::RightButton, {}, QPoint(600, 300));
    EXPECT_EQ(widget_->currentFrame(), 0u);
    QTest::keyClick(widget_.get(), Qt::Key_G, Qt::NoModifier);
    EXPECT_EQ(widget_->currentFrame(), 2u);
}

} // namespace
} // namespace mc
