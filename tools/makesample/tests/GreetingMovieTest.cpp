#include "GreetingMovie.h"
#include "GreetingText.h"
#include "MovieCheck.h"

#include <QFile>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace makesample {
namespace {

using testing::summarize;

constexpr uint16_t kShowFrame = 1;
constexpr uint16_t kDoAction = 12;
constexpr uint16_t kDefineSprite = 39;

class GreetingMovie : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "makesample_tests";
        static char* argv[] = {name, nullptr};
        if (QGuiApplication::instance() == nullptr) {
            app_ = std::make_unique<QGuiApplication>(argc, argv);
        }
    }

    // Qt's font database must go before the application object, not at exit.
    static void TearDownTestSuite() { app_.reset(); }

    static std::optional<QRawFont> font() {
        return findGreetingFont(QString::fromUtf8(greetingCharacters()));
    }

    static inline std::unique_ptr<QGuiApplication> app_;
};

// The stage, rate and length the card builder and the demo rely on.
void expectSampleHeader(const std::vector<uint8_t>& movie) {
    const auto s = summarize(movie);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(std::string(s->signature, 3), "FWS");
    EXPECT_EQ(s->declaredLength, movie.size());
    EXPECT_EQ(s->frameRect,
              (std::vector<uint8_t>{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}));
    EXPECT_EQ(s->frameRate, 24 << 8);
    EXPECT_EQ(s->frameCount, kFrameCount);
    EXPECT_TRUE(s->endsCleanly);
    EXPECT_LT(movie.size(), 200u * 1024);
    // Four to six seconds.
    EXPECT_GE(s->frameCount, 4 * 24);
    EXPECT_LE(s->frameCount, 6 * 24);

    const auto frames = std::count_if(s->tags.begin(), s->tags.end(),
                                      [](const auto& t) { return t.code == kShowFrame; });
    EXPECT_EQ(frames, s->frameCount);
    EXPECT_GE(std::count_if(s->tags.begin(), s->tags.end(),
                            [](const auto& t) { return t.code == kDefineSprite; }),
              4);
    // The last frame stops the movie: a stop action, then the final show-frame.
    auto lastShow = std::find_if(s->tags.rbegin(), s->tags.rend(),
                                 [](const auto& t) { return t.code == kShowFrame; });
    ASSERT_NE(lastShow, s->tags.rend());
    auto action = std::find_if(lastShow + 1, s->tags.rend(), [](const auto& t) {
        return t.code == kDoAction || t.code == kShowFrame;
    });
    ASSERT_NE(action, s->tags.rend());
    ASSERT_EQ(action->code, kDoAction);
    ASSERT_EQ(action->length, 2u);
    EXPECT_EQ(movie[action->offset], 0x07);
    EXPECT_EQ(movie[action->offset + 1], 0x00);
}

TEST_F(GreetingMovie, SameBytesOnEveryBuild) {
    const auto f = font();
    if (!f) {
        GTEST_SKIP() << "no CJK font installed";
    }
    const auto first = buildGreetingMovie(*f);
    const auto second = buildGreetingMovie(*f);
    EXPECT_EQ(first, second);
    expectSampleHeader(first);
}

TEST_F(GreetingMovie, CommittedSampleIsAValidCard) {
    const char* source = std::getenv("VELMORA_SOURCE_DIR");
    if (source == nullptr) {
        source = MAKESAMPLE_SOURCE_DIR;
    }
    QFile file(QString::fromUtf8(source) + "/samples/greeting.swf");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    expectSampleHeader(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

TEST_F(GreetingMovie, GreetingLinesAreCentredOnTheOrigin) {
    const auto f = font();
    if (!f) {
        GTEST_SKIP() << "no CJK font installed";
    }
    const QPainterPath line = greetingPath(*f, QString::fromUtf8("新年快乐"), 78, 10);
    const QRectF box = line.boundingRect();
    EXPECT_NEAR(box.center().x(), 0, 0.01);
    EXPECT_NEAR(box.center().y(), 0, 0.01);
    // Four glyphs of 78 pixels with 10 pixels between them.
    EXPECT_GT(box.width(), 4 * 70);
    EXPECT_LT(box.width(), 4 * 78 + 3 * 10 + 1);
    EXPECT_GT(box.height(), 60);
    EXPECT_LT(box.height(), 80);
}

TEST_F(GreetingMovie, RefusesAFontFileThatIsNoFont) {
    EXPECT_FALSE(findGreetingFont("新", "/nonexistent/font.otf").has_value());
}

} // namespace
} // namespace makesample
