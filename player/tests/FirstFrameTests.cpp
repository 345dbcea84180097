// The card's first frame, and the work that waits for it: what the window shows first, a
// movie whose later frames are damaged, and the work done after the first paint.
#include "PlayerFakes.h"
#include "QtTestApp.h"

#include "player/AfterFirstFrame.h"
#include "player/Form1.h"

#include "MovieView.h"
#include "MovieWidget.h"
#include "cardformat/ErrorLog.h"
#include "moviemaker/SwfWriter.h"

#include <QPaintEvent>
#include <QPainter>

namespace player::testing {
namespace {

constexpr QRgb Red = 0xFFFF0000;

// 200 x 100 pixels, white; frame 1 a red square at 50..150 x 25..75 pixels. Frame 2 places a
// shape whose records are noise, frame 3 a placement cut short, and a last tag claims far
// more bytes than the file has.
Bytes damagedRedSquareMovie() {
    moviemaker::MovieHeader header;
    header.frameSize = moviemaker::Rect::pixels(200, 100);
    header.frameRate = 12;
    moviemaker::SwfWriter movie(header);
    movie.setBackgroundColor({255, 255, 255});
    moviemaker::Shape square;
    square.fill1(square.addFill(moviemaker::FillStyle::solid({255, 0, 0, 255})))
        .rectangle(1000, 500, 3000, 1500);
    movie.place(movie.defineShape(square), 1);
    movie.showFrame();
    const std::vector<std::uint8_t> noise = {0x02, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                             0xFF, 0xFF, 0xFF, 0x13, 0x37, 0xFF, 0xFF};
    movie.rawTag(static_cast<std::uint16_t>(moviemaker::TagCode::DefineShape), noise);
    movie.place(2, 2);
    movie.showFrame();
    // PlaceObject2 that promises a character and a matrix and ends after the depth.
    const std::vector<std::uint8_t> cut = {0x06, 0x03, 0x00};
    movie.rawTag(26, cut);
    movie.showFrame();
    Bytes bytes = movie.finish();
    // In place of the end tag, a long tag header claiming a megabyte, then four bytes.
    bytes.resize(bytes.size() - 2);
    const Bytes overlong = {0xBF, 0x00, 0x00, 0x00, 0x10, 0x00, 1, 2, 3, 4};
    bytes.insert(bytes.end(), overlong.begin(), overlong.end());
    const auto length = static_cast<std::uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i) {
        bytes[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (8 * i));
    }
    return bytes;
}

class FirstFrameTest : public PlayerFolderTest {
  protected:
    void SetUp() override {
        PlayerFolderTest::SetUp();
        testApp();
        cardformat::ErrorLog::configure("Velmora.log", path(""));
        world.executable = path("Velmora");
        writeFile(world.executable, Bytes(64, 0));
        world.answer = "未知"; // a movie without a note asks; this unlocks its default
        form = std::make_unique<Form1>(world, WebAddresses{"https://home.example/", ""});
    }

    void TearDown() override {
        form.reset();
        PlayerFolderTest::TearDown();
    }

    void open(const Bytes& movie) {
        writeFile(path("m.swf"), movie);
        world.arguments = path("m.swf");
        ASSERT_EQ(form->player().Form_Load(), StartUpOutcome::Running);
        form->show();
        QApplication::processEvents();
    }

    // The movie's picture at a point given in stage pixels.
    QRgb shownAt(int x, int y) {
        mc::MovieWidget& movie = *form->ShockwaveFlash1();
        const QImage picture = movie.grabFrame();
        const QPointF scale(static_cast<double>(picture.width()) / 200.0,
                            static_cast<double>(picture.height()) / 100.0);
        return picture.pixel(static_cast<int>(x * scale.x()), static_cast<int>(y * scale.y()));
    }

    FakePlayerWorld world;
    std::unique_ptr<Form1> form;
};

TEST_F(FirstFrameTest, DamagedLaterFramesLeaveTheFirstFrameWholeAndPlaySafely) {
    open(damagedRedSquareMovie());
    mc::MovieWidget& movie = *form->ShockwaveFlash1();
    ASSERT_TRUE(movie.hasMovie());
    EXPECT_EQ(movie.currentFrame(), 0u);
    const swf::Movie& loaded = movie.loadedMovie()->movie();
    ASSERT_TRUE(loaded.has(swf::Issue::TagTruncated));
    ASSERT_TRUE(loaded.has(swf::Issue::InvalidRecord) || loaded.has(swf::Issue::RecordOverrun));
    EXPECT_EQ(shownAt(100, 50), Red);
    EXPECT_EQ(shownAt(20, 50), 0xFFFFFFFFu);
    // Through every frame that could be read, twice round, and back to the first.
    const std::uint32_t frames = movie.frameCount();
    ASSERT_GE(frames, 1u);
    for (std::uint32_t i = 0; i < 2 * frames; ++i) {
        movie.Forward();
        shownAt(100, 50);
    }
    movie.Rewind();
    EXPECT_EQ(movie.currentFrame(), 0u);
    EXPECT_EQ(shownAt(100, 50), Red);
    movie.Play();
    for (int ms = 100; ms <= 1000; ms += 100) {
        movie.tickAt(ms);
    }
    EXPECT_TRUE(movie.hasMovie());
    EXPECT_LT(movie.currentFrame(), frames);
}

// A window with a child that counts its paints, as the playback window holds the movie.
struct Counted : QWidget {
    using QWidget::QWidget;
    int paints = 0;
    void paintEvent(QPaintEvent*) override {
        ++paints;
        QPainter(this).fillRect(rect(), Qt::red);
    }
};

class PaintedWindow : public Counted {
  public:
    explicit PaintedWindow(int margin) : child(new Counted(this)) {
        resize(120, 80);
        child->setGeometry(rect().adjusted(margin, margin, -margin, -margin));
        child->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    Counted* child;
};

TEST(AfterFirstFrameTest, RunsOnceInOrderAfterTheWindowAndItsChildWerePainted) {
    testApp();
    PaintedWindow window(10);
    std::vector<std::string> ran;
    int childPaintsSeen = -1;
    const AfterFirstFrame after({&window, window.child}, {[&] {
                                                              ran.push_back("signal");
                                                              childPaintsSeen =
                                                                  window.child->paints;
                                                          },
                                                          [&] { ran.push_back("sweep"); }});
    QApplication::processEvents();
    EXPECT_FALSE(after.done()) << "ran before the window was shown";
    EXPECT_TRUE(ran.empty());

    window.show();
    for (int i = 0; i < 20 && !after.done(); ++i) {
        QApplication::processEvents();
    }
    ASSERT_TRUE(after.done());
    EXPECT_EQ(ran, (std::vector<std::string>{"signal", "sweep"}));
    EXPECT_GE(childPaintsSeen, 1) << "the work came before the movie was painted";

    window.update();
    window.repaint();
    QApplication::processEvents();
    EXPECT_EQ(ran.size(), 2u) << "a later paint ran the work again";
}

// The movie covers the whole window: only the movie is painted.
TEST(AfterFirstFrameTest, RunsWhenOnlyTheMovieIsPainted) {
    testApp();
    PaintedWindow window(0);
    const AfterFirstFrame after({&window, window.child}, {[] {}});
    window.show();
    for (int i = 0; i < 20 && !after.done(); ++i) {
        QApplication::processEvents();
    }
    EXPECT_GE(window.child->paints, 1);
    EXPECT_TRUE(after.done()) << "window paints: " << window.paints;
}

} // namespace
} // namespace player::testing
