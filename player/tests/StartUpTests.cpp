#include "PlayerFakes.h"

#include "moviemaker/SwfWriter.h"

#include "player/Captions.h"
#include "player/CommandLineHelp.h"

#include "cardformat/CardLayout.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace player::testing {
namespace {

using cardformat::CardNote;

std::size_t indexOf(const std::vector<std::string>& events, const std::string& event) {
    return static_cast<std::size_t>(std::find(events.begin(), events.end(), event) -
                                    events.begin());
}

class StartUpTest : public PlayerFolderTest {
  protected:
    FakePlayerWorld world;
    Player player{world, world};

    void SetUp() override {
        PlayerFolderTest::SetUp();
        world.player = &player;
        world.executable = path("Velmora");
        writeFile(world.executable, Bytes(cardformat::MovieOffset, 0));
    }

    // The running program becomes a card that carries `attached`.
    void runAsCard(const Bytes& attached) { writeFile(world.executable, cardBytes(attached)); }

    // A bare player given a movie with this note.
    void playMovieWithNote(const CardNote& note) {
        writeFile(path("movie.swf"), movieWithNote(note));
        world.arguments = path("movie.swf");
    }
};

TEST_F(StartUpTest, ProgramOfExactlyTheThresholdIsNoCard) {
    writeFile(world.executable, Bytes(cardformat::CardThreshold, 0));
    writeFile(path("x.swf"), movieBytes(100, 50, 1));
    world.arguments = path("x.swf");

    EXPECT_EQ(player.Form_Load(), StartUpOutcome::Running);
    EXPECT_EQ(player.state().CardMode, FlagFalse);
    EXPECT_EQ(player.state().MoviePath, world.executable);
    EXPECT_EQ(world.control.movie, path("x.swf"));
    EXPECT_FALSE(world.returnPlayEnabled);
    EXPECT_TRUE(temporaryFiles().empty());
    // A plain movie reads beside itself and is known by its own name.
    EXPECT_TRUE(world.cardFileName.empty());
}

// Whatever its file is called: a card knows itself by its length, not its name.
TEST_F(StartUpTest, CardPlaysItsOwnMovieAndIgnoresTheCommandLine) {
    world.executable = path("贺卡.bin");
    runAsCard(movieWithNote({"Ferlo", "云杉小径", "T", "新年好", "1.0"}));
    writeFile(path("other.swf"), movieBytes(10, 10, 1));
    world.arguments = path("other.swf");

    EXPECT_EQ(player.Form_Load(), StartUpOutcome::Running);
    const PlayerState& state = player.state();
    EXPECT_EQ(state.CardMode, FlagTrue);
    ASSERT_EQ(temporaryFiles().size(), 1u);
    EXPECT_EQ(state.MoviePath, temporaryFolder() + "/" + temporaryFiles()[0]);
    EXPECT_EQ(world.control.movie, state.MoviePath);
    // Its scripts learn the card's name, never the temporary copy's.
    EXPECT_EQ(world.cardFileName, "贺卡.bin");
    EXPECT_TRUE(world.returnPlayEnabled);
    EXPECT_EQ(world.returnPlayCaption, captions::ReturnPlayInCard);
    // The marker: no password box, the blessing at once.
    EXPECT_TRUE(world.prompts.empty());
    EXPECT_EQ(world.blessing, "新年好");
    EXPECT_EQ(state.MovieWidthPx, 550);
    EXPECT_EQ(state.MovieHeightPx, 400);
    EXPECT_EQ(state.MovieFrameCount, 2);
}

TEST_F(StartUpTest, DamagedCardSaysSoAndEndsWithoutWindow) {
    Bytes attached(31, 'x');
    runAsCard(attached);

    EXPECT_EQ(player.Form_Load(), StartUpOutcome::Failed);
    ASSERT_EQ(world.messages.size(), 1u);
    EXPECT_EQ(world.messages[0].text, "\r\n        文件已经被破坏！    \r\n");
    EXPECT_EQ(world.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(world.messages[0].title, "云杉小径");
    EXPECT_EQ(world.events, (std::vector<std::string>{"message"}));
    EXPECT_FALSE(world.windowShown);
    EXPECT_EQ(player.state().CardMode, FlagFalse);
    EXPECT_TRUE(temporaryFiles().empty());
}

TEST_F(StartUpTest, QuotesInTheTemporaryFolderAreLeftAlone) {
    // The quotes rule is the command line's; the card's copy may live anywhere.
    const std::string quoted = path("say \"hi\"");
    ASSERT_EQ(::mkdir(quoted.c_str(), 0700), 0);
    ::setenv("TMPDIR", quoted.c_str(), 1);
    runAsCard(movieWithNote({"A", "云杉小径", "T", "B", "V"}));
    world.arguments = "\"ignored\"";

    EXPECT_EQ(player.Form_Load(), StartUpOutcome::Running);
    EXPECT_EQ(player.state().MoviePath.rfind(quoted + "/", 0), 0u) << player.state().MoviePath;
    EXPECT_EQ(world.control.movie, player.state().MoviePath);
    EXPECT_TRUE(world.messages.empty());
    EXPECT_EQ(world.blessing, "B");
    // The copy's name tells which process it belongs to.
    char pid[11];
    std::snprintf(pid, sizeof pid, "%010d", static_cast<int>(::getpid()));
    EXPECT_NE(player.state().MoviePath.find(std::string("/vmcard-") + pid + "-"),
              std::string::npos);
}

TEST_F(StartUpTest, UnwritableTemporaryFolderSaysSoAndEnds) {
    runAsCard(movieWithNote({"A", "云杉小径", "T", "B", "V"}));
    ::setenv("TMPDIR", path("no such folder").c_str(), 1);

    EXPECT_EQ(player.Form_Load(), StartUpOutcome::Failed);
    ASSERT_EQ(world.messages.size(), 1u);
    EXPECT_EQ(world.messages[0].title, "云杉小径");
    EXPECT_EQ(world.messages[0].text.rfind(captions::ExtractionFailed, 0), 0u)
        << world.messages[0].text;
    EXPECT_GT(world.messages[0].text.size(), captions::ExtractionFailed.size());
    EXPECT_EQ(world.events.back(), "message");
    EXPECT_FALSE(world.windowShown);
    EXPECT_EQ(player.state().CardMode, FlagFalse);
}

TEST_F(StartUpTest, QuotesRuleDropsFirstAndLastCharacter) {
    EXPECT_EQ(unquotedMoviePath("\"/My Cards/x.swf\""), "/My Cards/x.swf");
    EXPECT_EQ(unquotedMoviePath("a\"bc"), "\"b");
    EXPECT_EQ(unquotedMoviePath("/plain path.swf"), "/plain path.swf");
    EXPECT_EQ(unquotedMoviePath("\""), "");
    EXPECT_EQ(unquotedMoviePath("贺\"卡片"), "\"卡");
}

TEST_F(StartUpTest, QuotedCommandLineOpensTheMovie) {
    writeFile(path("My Card.swf"), movieBytes(20, 10, 1));
    world.arguments = "\"" + path("My Card.swf") + "\"";
    player.Form_Load();
    EXPECT_EQ(world.control.movie, path("My Card.swf"));
    EXPECT_TRUE(world.messages.empty());
}

TEST_F(StartUpTest, TakeoverComesBeforeTheMovieAndTheMovieBeforeThePassword) {
    playMovieWithNote({"A", "secret", "T", "B", "V"});
    world.control.calls.clear();
    player.Form_Load();
    EXPECT_LT(indexOf(world.events, "hook"), indexOf(world.events, "show"));
    EXPECT_LT(indexOf(world.events, "show"), indexOf(world.events, "input"));
    EXPECT_EQ(world.control.calls,
              (std::vector<std::string>{"Visible=true", "BackgroundColor",
                                        "Movie=" + path("movie.swf"), "Play"}));
}

TEST_F(StartUpTest, HeaderFailuresShowTheirMessageAndLoadNothing) {
    struct Case {
        std::string file;
        Bytes bytes;
        std::string message;
    };
    Bytes compressed = movieBytes(10, 10, 1);
    compressed[0] = 'C'; // in name only: it does not inflate
    // The text, the file's name and what to do, each on a line of its own.
    const auto message = [this](std::string_view text, const std::string& file,
                                std::string_view hint) {
        return std::string(text) + "\r\n" + path(file) + "\r\n" + std::string(hint);
    };
    const std::vector<Case> cases = {
        {"missing.swf", {}, message(captions::MovieMissing, "missing.swf", captions::MissingHint)},
        {"compressed.swf", compressed,
         message(captions::NotFlashMovie, "compressed.swf", captions::NotFlashHint)},
        {"short.swf", Bytes{'F', 'W', 'S', 6, 1},
         message(captions::UnknownError, "short.swf", captions::UnreadableHint)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        FakePlayerWorld fresh;
        fresh.executable = world.executable;
        if (!c.bytes.empty()) {
            writeFile(path(c.file), c.bytes);
        }
        fresh.arguments = path(c.file);
        Player other(fresh, fresh);
        EXPECT_EQ(other.Form_Load(), StartUpOutcome::Failed);
        ASSERT_EQ(fresh.messages.size(), 1u);
        EXPECT_TRUE(fresh.prompts.empty());
        EXPECT_EQ(fresh.messages[0].text, c.message);
        EXPECT_EQ(fresh.messages[0].icon, MessageIcon::Critical);
        EXPECT_EQ(fresh.messages[0].title, "云杉小径");
        EXPECT_EQ(fresh.control.movie, "");
        EXPECT_FALSE(fresh.windowShown);
        EXPECT_EQ(other.state().CurrentNote, CardNote{});
    }
}

TEST_F(StartUpTest, NoArgumentSaysHowToStartAndEndsWithoutAsking) {
    world.arguments = "";
    EXPECT_EQ(player.Form_Load(), StartUpOutcome::Failed);
    ASSERT_EQ(world.messages.size(), 1u);
    EXPECT_EQ(world.messages[0].text,
              std::string(captions::MovieMissing) + "\r\n" + std::string(captions::NoMovieGiven));
    EXPECT_TRUE(world.prompts.empty());
    EXPECT_FALSE(world.windowShown);
    EXPECT_EQ(world.events.back(), "unhook");
}

TEST_F(StartUpTest, PasswordIsComparedUntrimmedButTheMarkerTrimmed) {
    struct Case {
        std::string stored;
        std::string typed;
        bool asked;
        bool unlocked;
    };
    const std::vector<Case> cases = {
        {"abc", "abc", true, true},
        {"abc", "ABC", true, false},
        {" abc ", "abc", true, false},
        {" abc ", " abc ", true, true},
        {"  云杉小径 ", "", false, true},
        {"云杉小径", "", false, true},
        {"\t云杉小径", "\t云杉小径", true, true},
        {"未知", "未知", true, true},
        {"abc", "", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("stored '" + c.stored + "' typed '" + c.typed + "'");
        FakePlayerWorld fresh;
        fresh.executable = world.executable;
        writeFile(path("p.swf"), movieWithNote({"A", c.stored, "T", "福", "V"}));
        fresh.arguments = path("p.swf");
        fresh.answer = c.typed;
        Player other(fresh, fresh);
        other.Form_Load();
        EXPECT_EQ(fresh.prompts.size(), c.asked ? 1u : 0u);
        EXPECT_EQ(fresh.blessing, c.unlocked ? "福" : "design text");
    }
}

TEST_F(StartUpTest, MovieWithoutNotePlaysWithoutAsking) {
    writeFile(path("plain.swf"), movieBytes(30, 20, 1));
    world.arguments = path("plain.swf");
    world.answer = "未知";
    EXPECT_EQ(player.Form_Load(), StartUpOutcome::Running);
    EXPECT_TRUE(world.prompts.empty());
    EXPECT_EQ(world.control.movie, path("plain.swf"));
    EXPECT_EQ(world.blessing, "design text");
}

TEST_F(StartUpTest, UntaggedTrailerStillAsksForTheDefaultPassword) {
    Bytes movie = movieBytes(30, 20, 1);
    const std::string trailer = "just words";
    movie.insert(movie.end(), trailer.begin(), trailer.end());
    writeFile(path("untagged.swf"), movie);
    world.arguments = path("untagged.swf");
    world.answer = "未知";
    EXPECT_EQ(player.Form_Load(), StartUpOutcome::Running);
    ASSERT_EQ(world.prompts.size(), 1u);
    EXPECT_EQ(world.blessing, "just words");
}

// A download broken off just before the movie's end, and one broken off inside the launcher:
// both are damaged cards (not missing movies), and neither leaves a copy.
TEST_F(StartUpTest, CardsCutShortAreDamagedAndLeaveNoCopy) {
    Bytes movie = movieWithNote({"A", "云杉小径", "T", "B", "V"});
    const std::size_t declared = movie[4] | (movie[5] << 8);
    ASSERT_GT(declared, cardformat::CardThreshold - cardformat::MovieOffset + 1);
    movie.resize(declared - 1);
    Bytes launcher(cardformat::MovieOffset / 2, 0);
    const Bytes elf{0x7F, 'E', 'L', 'F'};
    std::copy(elf.begin(), elf.end(), launcher.begin());
    for (const Bytes& card : {cardBytes(movie), launcher}) {
        FakePlayerWorld fresh;
        fresh.executable = world.executable;
        writeFile(fresh.executable, card);
        Player other(fresh, fresh);
        EXPECT_EQ(other.Form_Load(), StartUpOutcome::Failed);
        ASSERT_EQ(fresh.messages.size(), 1u);
        EXPECT_EQ(fresh.messages[0].text, captions::DamagedCard);
        EXPECT_FALSE(fresh.windowShown);
        EXPECT_TRUE(temporaryFiles().empty());
    }
}

TEST_F(StartUpTest, OpenSetsColourCentresTheWindowAndLeavesFullScreen) {
    player.OpenFlash(path("none.swf"));
    writeFile(path("m.swf"), movieBytes(550, 400, 1, 0x102030));
    player.OpenFlash(path("m.swf"));
    EXPECT_EQ(world.control.background, 0x102030u);
    const TwipPlace& window = world.lastGeometry.window();
    EXPECT_EQ(window, (TwipPlace{3495, 2700, 8370, 6120}));
    EXPECT_EQ(world.lastGeometry.control(), (TwipPlace{60, 60, 8250, 6000}));

    player.toggleFullScreen();
    ASSERT_EQ(player.state().FullScreenOn, FlagTrue);
    player.OpenFlash(path("m.swf"));
    EXPECT_EQ(player.state().FullScreenOn, FlagFalse);
    EXPECT_EQ(world.lastGeometry.window().width, 8370);
}

// Inside the screen's available area, keeping the movie's shape: `window` less `margin`.
void expectFitted(const TwipPlace& window, const TwipPlace& control, const TwipPlace& area,
                  double movieAspect) {
    EXPECT_GE(window.left, area.left);
    EXPECT_GE(window.top, area.top);
    EXPECT_LE(window.left + window.width, area.left + area.width);
    EXPECT_LE(window.top + window.height, area.top + area.height);
    EXPECT_NEAR(control.width / control.height, movieAspect, movieAspect * 0.02);
}

TEST_F(StartUpTest, AMovieLargerThanTheScreenOpensFittedToItsAvailableArea) {
    // 1024 x 768 pixels with a 28-pixel panel at the top.
    world.available = TwipPlace{0, 28 * 15, 1024 * 15, 740 * 15};
    writeFile(path("big.swf"), movieBytes(1600, 1200, 2));
    player.OpenFlash(path("big.swf"));
    const TwipPlace area = *world.available;
    expectFitted(world.lastGeometry.window(), world.lastGeometry.control(), area, 4.0 / 3.0);
    EXPECT_EQ(world.lastGeometry.window().height, area.height); // as large as it can be
    // The movie keeps its own size in the state; leaving full screen fits it again.
    EXPECT_EQ(player.state().MovieWidthPx, 1600);
    player.toggleFullScreen();
    player.toggleFullScreen();
    expectFitted(world.lastGeometry.window(), world.lastGeometry.control(), area, 4.0 / 3.0);
    // The drawing surface never grows past the screen.
    for (int notch = 0; notch < 20; ++notch) {
        player.zoomStep(true);
    }
    EXPECT_LE(world.lastGeometry.control().width, world.screen.width);
    EXPECT_LE(world.lastGeometry.control().height, world.screen.height);

    // The giant of the 16-bit limit too: its width is held at the limit.
    writeFile(path("huge.swf"), movieBytes(40000, 3000, 1));
    player.OpenFlash(path("huge.swf"));
    EXPECT_EQ(player.state().MovieWidthPx, 32767);
    EXPECT_EQ(player.state().MovieHeightPx, 3000);
    expectFitted(world.lastGeometry.window(), world.lastGeometry.control(), area, 32767.0 / 3000);
}

TEST_F(StartUpTest, AMovieThatFitsStaysCentredOnTheScreenButNotUnderItsPanel) {
    world.available = TwipPlace{0, 28 * 15, 1024 * 15, 740 * 15};
    writeFile(path("m.swf"), movieBytes(550, 400, 1));
    player.OpenFlash(path("m.swf"));
    EXPECT_EQ(world.lastGeometry.window(), (TwipPlace{3495, 2700, 8370, 6120}));
    // A movie that just fits the area's height stands below the panel, not off the top.
    writeFile(path("tall.swf"), movieBytes(500, 730, 1));
    player.OpenFlash(path("tall.swf"));
    EXPECT_EQ(world.lastGeometry.window().top, 28 * 15);
    EXPECT_EQ(world.lastGeometry.window().height, 730 * 15 + 120);
}

TEST_F(StartUpTest, CompressedMoviesOnTheCommandLinePlay) {
    moviemaker::MovieHeader header;
    header.frameSize = moviemaker::Rect::pixels(320, 240);
    header.compressed = true;
    moviemaker::SwfWriter writer(header);
    writer.setBackgroundColor({0x33, 0x66, 0x99});
    for (int i = 0; i < 3; ++i) {
        writer.showFrame();
    }
    writeFile(path("packed.swf"), writer.finish());
    world.arguments = path("packed.swf");
    world.answer = "未知";
    EXPECT_EQ(player.Form_Load(), StartUpOutcome::Running);
    EXPECT_TRUE(world.messages.empty());
    EXPECT_EQ(world.control.movie, path("packed.swf"));
    EXPECT_EQ(world.control.background, 0x336699u);
    EXPECT_EQ(player.state().MovieWidthPx, 320);
    EXPECT_EQ(player.state().MovieFrameCount, 3);
    EXPECT_EQ(world.lastGeometry.window().width, 320 * 15 + 120);
}

TEST_F(StartUpTest, TheStageGetsTheMoviesOwnColourNotTheBytesAfterItsFirstTag) {
    // From version 8 on the first tag holds file attributes; the colour comes after it.
    moviemaker::SwfWriter modern;
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    modern.rawTag(69, attributes);
    modern.setBackgroundColor({0xFF, 0xFF, 0xFF});
    modern.showFrame();
    writeFile(path("modern.swf"), modern.finish());
    player.OpenFlash(path("modern.swf"));
    EXPECT_EQ(world.control.background, 0xFFFFFFu);

    // Without a colour tag the stage is white, as in Flash.
    moviemaker::SwfWriter bare;
    bare.rawTag(69, attributes);
    bare.showFrame();
    writeFile(path("bare.swf"), bare.finish());
    player.OpenFlash(path("bare.swf"));
    EXPECT_EQ(world.control.background, 0xFFFFFFu);

    writeFile(path("dark.swf"), movieBytes(20, 20, 1, 0x102030));
    player.OpenFlash(path("dark.swf"));
    EXPECT_EQ(world.control.background, 0x102030u);
}

TEST_F(StartUpTest, TheMenusAddressesDefaultToTheHelpPageBesideThePlayer) {
    const WebAddresses defaults = withHelpPageDefaults({}, "/opt/velmora/Velmora");
    EXPECT_EQ(defaults.HomePageAddress, "file:///opt/velmora/Velmora.htm");
    EXPECT_EQ(defaults.AuthorSiteAddress, "file:///opt/velmora/Velmora.htm");
    const WebAddresses configured =
        withHelpPageDefaults({"https://home.example/", ""}, "/my cards/#1/贺卡.exe");
    EXPECT_EQ(configured.HomePageAddress, "https://home.example/");
    EXPECT_EQ(configured.AuthorSiteAddress, "file:///my%20cards/%231/Velmora.htm");
}

TEST_F(StartUpTest, ACardOpensTheHelpPageOfTheInstalledRuntime) {
    ::mkdir(path("runtime").c_str(), 0700);
    ::mkdir(path("cards").c_str(), 0700);
    const std::string card = path("cards/贺卡.exe");
    // Without the package's page, the page beside the card (where a builder left one).
    EXPECT_EQ(withHelpPageDefaults({}, card, path("runtime")).AuthorSiteAddress,
              "file://" + path("cards/Velmora.htm"));
    writeFile(path("runtime/Velmora.htm"), Bytes{'<', 'p', '>'});
    const WebAddresses addresses = withHelpPageDefaults({}, card, path("runtime"));
    EXPECT_EQ(addresses.HomePageAddress, "file://" + path("runtime/Velmora.htm"));
    EXPECT_EQ(addresses.AuthorSiteAddress, "file://" + path("runtime/Velmora.htm"));
}

TEST_F(StartUpTest, SignalDuringPasswordBoxEndsAndRemovesTheCopy) {
    runAsCard(movieWithNote({"A", "pw", "T", "B", "V"}));
    world.endDuringInputBox = true;
    player.Form_Load();
    EXPECT_TRUE(world.ended);
    EXPECT_TRUE(temporaryFiles().empty());
}

TEST_F(StartUpTest, TheSenderAndTitleShowWithTheBlessingOnceItIsUnlocked) {
    EXPECT_EQ(senderLine({"小明", "云杉小径", "春节快乐", "B", "1.0"}), "春节快乐　来自：小明");
    EXPECT_EQ(senderLine({"小明", "云杉小径", "云杉小径", "B", "1.0"}), "来自：小明");
    // What every card carried before the fields: nothing to show.
    EXPECT_EQ(senderLine({"Ferlo", "云杉小径", "云杉小径", "B", "1.0"}), "");
    EXPECT_EQ(senderLine({"未知", "未知", "", "B", "0"}), "");

    playMovieWithNote({"小明", "secret", "春节快乐", "福", "1.0"});
    world.answer = "wrong";
    player.Form_Load();
    EXPECT_EQ(world.senderLine, ""); // guarded with the blessing

    FakePlayerWorld fresh;
    fresh.executable = world.executable;
    fresh.arguments = world.arguments;
    fresh.answer = "secret";
    Player other(fresh, fresh);
    other.Form_Load();
    EXPECT_EQ(fresh.blessing, "福");
    EXPECT_EQ(fresh.senderLine, "春节快乐　来自：小明");
}

TEST(CommandLineHelpTest, HelpAndVersionAnswerAloneAndAnythingElsePlays) {
    const auto help = commandLineAnswer({"--help"});
    ASSERT_TRUE(help.has_value());
    EXPECT_NE(help->find("Velmora"), std::string::npos);
    EXPECT_NE(help->find("F11"), std::string::npos);
    EXPECT_EQ(commandLineAnswer({"-h"}), help);
    const auto version = commandLineAnswer({"--version"});
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->rfind("Velmora ", 0), 0u);
    EXPECT_FALSE(commandLineAnswer({}).has_value());
    EXPECT_FALSE(commandLineAnswer({"movie.swf"}).has_value());
    // A movie that happens to be called --help is played when it is not alone.
    EXPECT_FALSE(commandLineAnswer({"--help", "x"}).has_value());
}

} // namespace
} // namespace player::testing
