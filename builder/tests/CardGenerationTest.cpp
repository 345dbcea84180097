#include "CardGeneration.h"
#include "GenerationMessages.h"
#include "PreviewSeek.h"
#include "RecentMovies.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/tests/RecordingMovieControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace builder {
namespace {

namespace fs = std::filesystem;

struct CardWrite {
    std::string movie;
    std::string card;
    cardformat::CardNote note;
};

// The main window's controls as plain values; dialogs answer from a script.
class FakeHost : public GenerationHost {
  public:
    std::string sourcePath() const override { return source; }
    void setSourcePath(const std::string& path) override { source = path; }
    std::string outputPath() const override { return output; }
    void setOutputPath(const std::string& path) override { output = path; }
    std::string blessing() const override { return blessingText; }
    void setBlessing(const std::string& text) override {
        blessingText = text;
        typed = false;
        ++blessingsSet;
    }
    bool blessingTyped() const override { return typed; }
    bool keepTypedBlessing(const std::string& noteBlessing) override {
        messages.push_back("keep?" + noteBlessing);
        return keepAnswer;
    }
    std::string password() const override { return passwordText; }
    std::string author() const override { return authorText; }
    std::string title() const override { return titleText; }
    cardformat::MovieControl& previewControl() override {
        if (!preview) {
            preview.emplace();
        }
        return *preview;
    }
    std::string showOpenDialog(const FileDialogRequest& request) override {
        openRequests.push_back(request);
        return openAnswer;
    }
    std::string showSaveDialog(const FileDialogRequest& request) override {
        saveRequests.push_back(request);
        return saveAnswer;
    }
    cardformat::CardOutcome writeCard(const std::string& movie, const std::string& card,
                                      cardformat::CardNote& note) override {
        writes.push_back({movie, card, note});
        passwordText = "changed while the card is written";
        return writeResult;
    }
    void showSuccess(const std::string& text) override {
        ++successes;
        messages.push_back("success:" + text);
    }
    void showFailure(const std::string& text) override { messages.push_back("failure:" + text); }
    bool askOverwrite(const std::string& question) override {
        messages.push_back("question:" + question);
        return overwriteAnswer;
    }

    std::string source, output, blessingText, passwordText, authorText, titleText;
    std::optional<cardformat::testing::RecordingMovieControl> preview;
    std::string openAnswer, saveAnswer;
    cardformat::CardOutcome writeResult = cardformat::CardOutcome::Made;
    bool overwriteAnswer = true;
    bool typed = false;
    bool keepAnswer = true;
    std::vector<std::string> messages;
    std::vector<FileDialogRequest> openRequests, saveRequests;
    std::vector<CardWrite> writes;
    int successes = 0;
    int blessingsSet = 0;
};

class CardGenerationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("builder-gen-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        cardformat::ErrorLog::configure("Trelvane.log", dir.string());
    }
    void TearDown() override { fs::remove_all(dir); }

    // The bundled sample movie, copied so its note can be rewritten.
    std::string copySample(const std::string& name) {
        const char* source = std::getenv("VELMORA_SOURCE_DIR");
        const fs::path target = dir / name;
        fs::copy_file(fs::path(source ? source : ".") / "samples" / "greeting.swf", target);
        return target.string();
    }
    std::string withNote(const std::string& name, const std::string& blessing) {
        std::string movie = copySample(name); // returned, so not const
        std::string title = "t";
        EXPECT_TRUE(cardformat::writeNote(movie, "a", "p", blessing, "1.0", title, {}));
        return movie;
    }

    fs::path dir;
    FakeHost host;
    CardGeneration generation{host};
};

TEST_F(CardGenerationTest, MakeCardWritesTheFixedNoteWithTheMarkerForNoPassword) {
    host.source = "/cards/movie.swf";
    host.output = "/cards/movie.exe";
    generation.MakeCard();
    ASSERT_EQ(host.writes.size(), 1u);
    EXPECT_EQ(host.writes[0].movie, "/cards/movie.swf");
    EXPECT_EQ(host.writes[0].card, "/cards/movie.exe");
    EXPECT_EQ(host.writes[0].note,
              (cardformat::CardNote{"Ferlo", "云杉小径", "云杉小径", "", "1.0"}));
    EXPECT_EQ(host.successes, 1);
}

TEST_F(CardGenerationTest, MakeCardTakesPasswordAndBlessingAsTypedWhenItStarts) {
    host.source = "m.swf";
    host.output = "m.exe";
    host.passwordText = " secret ";
    host.blessingText = "新年快乐\r\n万事如意 ";
    generation.MakeCard();
    generation.MakeCard(); // the fake changed the password during the first write
    ASSERT_EQ(host.writes.size(), 2u);
    EXPECT_EQ(host.writes[0].note.Password, " secret ");
    EXPECT_EQ(host.writes[0].note.Blessing, "新年快乐\r\n万事如意 ");
    EXPECT_EQ(host.writes[1].note.Password, "changed while the card is written");
}

TEST_F(CardGenerationTest, MakeCardWithAnEmptyPathSaysWhatIsMissing) {
    host.output = "m.exe";
    generation.MakeCard();
    host.source = "m.swf";
    host.output.clear();
    generation.MakeCard();
    EXPECT_TRUE(host.writes.empty());
    EXPECT_EQ(host.successes, 0);
    EXPECT_EQ(host.messages, (std::vector<std::string>{"failure:" + noMovieChosenText(),
                                                       "failure:" + noCardPathText()}));
}

TEST_F(CardGenerationTest, EveryFailureIsToldAndSuccessNamesTheCard) {
    using cardformat::CardOutcome;
    host.source = "/movies/m.swf";
    host.output = "/cards/m.exe";
    const std::vector<CardOutcome> failures = {
        CardOutcome::MovieMissing,        CardOutcome::NotAMovie,
        CardOutcome::MovieDoesNotInflate, CardOutcome::CardIsSource,
        CardOutcome::CardFolderMissing,   CardOutcome::TemplateMissing,
        CardOutcome::NoteNotWritten,      CardOutcome::Failed};
    std::vector<std::string> texts;
    for (CardOutcome outcome : failures) {
        host.writeResult = outcome;
        host.messages.clear();
        generation.MakeCard();
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0], "failure:" + failureText(outcome, host.source, host.output));
        texts.push_back(host.messages[0]);
    }
    EXPECT_EQ(host.successes, 0);
    // Each failure has its own text, and the ones about a path name that path.
    EXPECT_EQ(std::set<std::string>(texts.begin(), texts.end()).size(), failures.size());
    EXPECT_NE(texts[0].find("/movies/m.swf"), std::string::npos);
    EXPECT_NE(texts[3].find("/cards/m.exe"), std::string::npos);
    EXPECT_NE(texts[4].find("/cards"), std::string::npos);

    host.writeResult = CardOutcome::Made;
    host.messages.clear();
    generation.MakeCard();
    EXPECT_EQ(host.successes, 1);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"success:制作成功！\r\n贺卡保存在：\r\n/cards/m.exe"});
}

TEST_F(CardGenerationTest, ABlessingLongerThanTheNoteCarriesIsRefusedWithAWarning) {
    host.source = "m.swf";
    host.output = "m.exe";
    // Two bytes a character in the stored encoding: 16383 characters and one ASCII byte fit.
    std::string blessing;
    for (int i = 0; i < 16383; ++i) {
        blessing += "福";
    }
    host.blessingText = blessing + "!";
    generation.MakeCard();
    EXPECT_EQ(host.writes.size(), 1u);
    host.blessingText = blessing + "福";
    host.messages.clear();
    generation.MakeCard();
    EXPECT_EQ(host.writes.size(), 1u);
    EXPECT_EQ(host.messages, std::vector<std::string>{"failure:" + blessingTooLongText(32768)});
}

TEST_F(CardGenerationTest, TheSendersNameAndTitleGoIntoTheNoteWithinWhatItCarries) {
    host.source = "m.swf";
    host.output = "m.exe";
    host.authorText = "小明";
    host.titleText = "新年快乐";
    generation.MakeCard();
    ASSERT_EQ(host.writes.size(), 1u);
    EXPECT_EQ(host.writes[0].note.Author, "小明");
    EXPECT_EQ(host.writes[0].note.Title, "新年快乐");
    // Empty fields keep the values every older player knows.
    host.authorText.clear();
    host.titleText.clear();
    generation.MakeCard();
    ASSERT_EQ(host.writes.size(), 2u);
    EXPECT_EQ(host.writes[1].note.Author, "Ferlo");
    EXPECT_EQ(host.writes[1].note.Title, "云杉小径");
    // Together past what a note carries: told, nothing written.
    host.blessingText = std::string(32760, 'x');
    host.authorText = "12345";
    host.titleText = "678";
    host.messages.clear();
    generation.MakeCard();
    EXPECT_EQ(host.writes.size(), 2u);
    EXPECT_EQ(host.messages, std::vector<std::string>{"failure:" + noteTextsTooLongText(32768)});
}

TEST_F(CardGenerationTest, OverwritingAFileAsksUnlessTheSaveDialogAskedOrTheCardIsOurs) {
    const std::string movie = copySample("m.swf");
    const std::string existing = (dir / "friend.exe").string();
    { std::ofstream(existing) << "someone's program"; }
    host.source = movie;
    host.output = existing;
    host.overwriteAnswer = false;
    generation.MakeCard();
    EXPECT_TRUE(host.writes.empty());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "question:" + overwriteQuestion(existing));

    host.overwriteAnswer = true;
    host.messages.clear();
    generation.MakeCard();
    EXPECT_EQ(host.writes.size(), 1u);
    ASSERT_EQ(host.messages.size(), 2u);
    // Made now by this builder: making it again asks nothing.
    host.messages.clear();
    generation.MakeCard();
    EXPECT_EQ(host.writes.size(), 2u);
    EXPECT_EQ(host.messages.size(), 1u);

    // A path the save dialog confirmed is not asked about again.
    const std::string chosen = (dir / "chosen.exe").string();
    { std::ofstream(chosen) << "old card"; }
    host.saveAnswer = chosen;
    generation.chooseCardPathClicked();
    host.messages.clear();
    generation.MakeCard();
    EXPECT_EQ(host.writes.size(), 3u);
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(CardGenerationTest, OpenMovieAsksForAFlashMovie) {
    generation.OpenMovie();
    ASSERT_EQ(host.openRequests.size(), 1u);
    EXPECT_EQ(host.openRequests[0],
              (FileDialogRequest{"Flash Movie", "*.swf;*.spl", "打开...", "", "", "swf"}));
    EXPECT_FALSE(host.preview.has_value()); // cancelled: the preview is not even created
    EXPECT_EQ(host.source, "");
}

TEST_F(CardGenerationTest, LoadingReadsTheNoteAndProposesTheCardPath) {
    const std::string movie = withNote("card.swf", "恭喜发财");
    host.openAnswer = movie;
    host.output = "/somewhere/else.exe";
    host.passwordText = "kept";
    generation.loadMovieClicked();
    EXPECT_EQ(host.preview->Movie(), movie);
    EXPECT_EQ(host.source, movie);
    EXPECT_EQ(host.blessingText, "恭喜发财");
    EXPECT_EQ(host.output, (dir / "card.exe").string());
    EXPECT_EQ(host.passwordText, "kept");
}

TEST_F(CardGenerationTest, AMovieWithoutABlessingOfItsOwnKeepsTheBlessingOnScreen) {
    const std::string untagged = copySample("untagged.swf");
    std::ofstream(untagged, std::ios::binary | std::ios::app) << "trailing words";
    const std::vector<std::string> movies = {
        copySample("plain.swf"),
        untagged,
        (dir / "gone.swf").string(), // the reader's error text
        withNote("empty.swf", ""),
    };
    for (const bool typed : {true, false}) {
        for (const std::string& movie : movies) {
            SCOPED_TRACE(movie + (typed ? " typed" : " not typed"));
            host.blessingText = "我写的祝福";
            host.typed = typed;
            host.blessingsSet = 0;
            host.messages.clear();
            host.openAnswer = movie;
            generation.loadMovieClicked();
            EXPECT_EQ(host.blessingText, "我写的祝福");
            EXPECT_EQ(host.blessingsSet, 0);
            EXPECT_TRUE(host.messages.empty());
        }
    }
}

TEST_F(CardGenerationTest, ATypedBlessingAndTheMoviesOwnAskWhichToKeep) {
    const std::string movie = withNote("theirs.swf", "动画里的祝福");
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "keep" : "take");
        host.blessingText = "我写的祝福";
        host.typed = true;
        host.keepAnswer = keep;
        host.messages.clear();
        host.openAnswer = movie;
        generation.loadMovieClicked();
        EXPECT_EQ(host.messages, std::vector<std::string>{"keep?动画里的祝福"});
        EXPECT_EQ(host.blessingText, keep ? "我写的祝福" : "动画里的祝福");
        EXPECT_EQ(host.typed, keep);
    }
    // Nothing typed: the movie's blessing is taken without a question.
    host.blessingText = "";
    host.typed = false;
    host.messages.clear();
    generation.loadMovieClicked();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.blessingText, "动画里的祝福");
}

TEST(NoteCarriesBlessingTest, OnlyATaggedNonEmptyEntryCounts) {
    using cardformat::CardNote;
    EXPECT_TRUE(noteCarriesBlessing(CardNote{"A", "P", "T", "福", "1.0"}, "m.swf"));
    // A tagged note without version or author entries still carries its blessing.
    EXPECT_TRUE(noteCarriesBlessing(CardNote{"未知", "未知", "T", "福", ""}, "m.swf"));
    EXPECT_FALSE(noteCarriesBlessing(CardNote{"A", "P", "T", "", "1.0"}, "m.swf"));
    EXPECT_FALSE(noteCarriesBlessing(CardNote{"未知", "未知", "T", "words", "0"}, "m.swf"));
    EXPECT_FALSE(noteCarriesBlessing(CardNote{"未知", "未知", "T", "不是SWF文件", ""}, "m.swf"));
    EXPECT_FALSE(noteCarriesBlessing(CardNote{"未知", "未知", "T", "抱歉,发生错误!", ""}, "m.swf"));
    EXPECT_FALSE(
        noteCarriesBlessing(CardNote{"未知", "未知", "T", "找不到文件m.swf", ""}, "m.swf"));
}

TEST_F(CardGenerationTest, CancellingWithAnEmptySourceBoxDoesNothing) {
    host.output = "x.exe";
    generation.loadMovieClicked();
    EXPECT_FALSE(host.preview.has_value());
    EXPECT_EQ(host.blessingsSet, 0);
    EXPECT_EQ(host.output, "x.exe");
}

TEST_F(CardGenerationTest, CancellingWithASourcePathReloadsWhatThePreviewHolds) {
    const std::string first = withNote("first.swf", "first blessing");
    host.openAnswer = first;
    generation.loadMovieClicked();
    // The user typed another path, chose another card path, changed the blessing, then
    // cancelled the open dialog.
    host.source = dir.string() + "/typed.swf";
    host.output = "/chosen/with/browse.exe";
    host.blessingText = "edited";
    host.openAnswer.clear();
    generation.loadMovieClicked();
    EXPECT_EQ(host.preview->moviesSet(), 1);
    EXPECT_EQ(host.blessingText, "first blessing");
    EXPECT_EQ(host.output, dir.string() + "/typed.exe");
}

TEST_F(CardGenerationTest, AnotherMovieNeverKeepsThePreviousMoviesCardPath) {
    host.openAnswer = copySample("first.swf");
    generation.loadMovieClicked();
    EXPECT_EQ(host.output, (dir / "first.exe").string());
    // A name without a lower-case "swf": the card path still follows the movie.
    const std::string movie = (dir / "MOVIE.SWF").string();
    fs::copy_file(copySample("sample.swf"), movie);
    host.openAnswer = movie;
    generation.loadMovieClicked();
    EXPECT_EQ(host.source, movie);
    EXPECT_EQ(host.output, (dir / "MOVIE.exe").string());
    EXPECT_EQ(host.blessingText, "");
}

TEST_F(CardGenerationTest, LoadingACompressedMovieShowsTheNoteItCarries) {
    // The sample with a note, compressed by hand: zlib after the first eight bytes.
    const std::string plain = withNote("plain.swf", "压缩动画里的祝福");
    std::ifstream in(plain, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    uLongf length = compressBound(static_cast<uLong>(bytes.size() - 8));
    std::vector<unsigned char> packed(8 + length);
    std::copy_n(bytes.begin(), 8, packed.begin());
    packed[0] = 'C';
    ASSERT_EQ(compress(packed.data() + 8, &length, bytes.data() + 8,
                       static_cast<uLong>(bytes.size() - 8)),
              Z_OK);
    packed.resize(8 + length);
    const fs::path compressed = dir / "packed.swf";
    std::ofstream(compressed, std::ios::binary)
        .write(reinterpret_cast<const char*>(packed.data()),
               static_cast<std::streamsize>(packed.size()));
    host.openAnswer = compressed.string();
    generation.loadMovieClicked();
    EXPECT_EQ(host.blessingText, "压缩动画里的祝福");
}

TEST_F(CardGenerationTest, ChoosingTheCardPath) {
    host.output = "before.exe";
    generation.chooseCardPathClicked();
    EXPECT_EQ(host.output, "before.exe");
    ASSERT_EQ(host.saveRequests.size(), 1u);
    EXPECT_EQ(host.saveRequests[0],
              (FileDialogRequest{"程序文件(*.exe)", "*.exe", "选择文件...", "", "vorn", "exe"}));
    host.saveAnswer = "/cards/new.exe";
    generation.chooseCardPathClicked();
    EXPECT_EQ(host.output, "/cards/new.exe");
}

TEST(RecentMoviesTest, NewestFirstEachOnceAndAtMostTheLimit) {
    RecentMovies recent({"b", "", "a", "b"});
    EXPECT_EQ(recent.paths(), (std::vector<std::string>{"b", "a"}));
    recent.add("a");
    EXPECT_EQ(recent.paths(), (std::vector<std::string>{"a", "b"}));
    for (int i = 0; i < 20; ++i) {
        recent.add(std::to_string(i));
    }
    ASSERT_EQ(recent.paths().size(), RecentMovies::Limit);
    EXPECT_EQ(recent.paths().front(), "19");
    EXPECT_EQ(recent.paths().back(), "12");
}

TEST(PreviewSeekTest, TheShorterWayToAFrame) {
    EXPECT_EQ(seekPlan(3, 10), (SeekPlan{false, 7, 0}));
    EXPECT_EQ(seekPlan(5, 5), (SeekPlan{false, 0, 0}));
    EXPECT_EQ(seekPlan(10, 8), (SeekPlan{false, 0, 2})); // two steps back
    EXPECT_EQ(seekPlan(100, 2), (SeekPlan{true, 2, 0})); // rewind, then two forward
    EXPECT_EQ(seekPlan(10, 5), (SeekPlan{false, 0, 5})); // a tie steps back
    EXPECT_EQ(seekPlan(10, 0), (SeekPlan{true, 0, 0}));
}

} // namespace
} // namespace builder
