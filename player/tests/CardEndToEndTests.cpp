// The shipped template as a card: made with cardtool, run as a program of its own.
#include "PlayerFakes.h"

#include "VirtualDisplay.h"
#include "cardformat/CardLayout.h"
#include "moviemaker/SwfWriter.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace player::testing {
namespace {

using namespace std::chrono_literals;

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PlayerTemplateTest, ShippedTemplateIsExactlyTheMovieOffsetLong) {
    const Bytes shipped = readBytes(VELMORA_TEMPLATE);
    ASSERT_EQ(shipped.size(), cardformat::MovieOffset);
    EXPECT_EQ(cardformat::CardThreshold, cardformat::MovieOffset + 30);
    ASSERT_GE(shipped.size(), 4u);
    EXPECT_EQ(std::memcmp(shipped.data(),
                          "\x7f"
                          "ELF",
                          4),
              0);
    // The program itself, then nothing but zero bytes up to the movie.
    const Bytes program = readBytes(VELMORA_STRIPPED_PLAYER);
    ASSERT_LE(program.size(), shipped.size());
    EXPECT_TRUE(std::equal(program.begin(), program.end(), shipped.begin()));
    EXPECT_TRUE(std::all_of(shipped.begin() + static_cast<std::ptrdiff_t>(program.size()),
                            shipped.end(), [](std::uint8_t b) { return b == 0; }));
    if (VELMORA_SANITIZED) {
        GTEST_SKIP() << "sanitizer build: the offset is raised; the release build checks 90,112";
    }
    EXPECT_EQ(cardformat::MovieOffset, 90112u);
}

// What a command writes to its standard output.
std::string commandOutput(const std::string& command) {
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return text;
    }
    char buffer[4096];
    for (std::size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        text.append(buffer, n);
    }
    ::pclose(pipe);
    return text;
}

// The dynamic section of a program as readelf shows it.
std::string dynamicSection(const std::string& program) {
    return commandOutput("readelf -d '" + program + "' 2>&1");
}

TEST(PlayerTemplateTest, TheTemplateLinksTheCLibraryAloneAndNoSearchPath) {
    if (VELMORA_SANITIZED) {
        GTEST_SKIP() << "sanitizer build: the launcher carries the sanitizers' libraries";
    }
    const std::string dynamic = dynamicSection(VELMORA_TEMPLATE);
    ASSERT_NE(dynamic.find("(NEEDED)"), std::string::npos) << dynamic;
    std::size_t needed = 0;
    for (std::size_t at = dynamic.find("(NEEDED)"); at != std::string::npos;
         at = dynamic.find("(NEEDED)", at + 1)) {
        ++needed;
    }
    EXPECT_EQ(needed, 1u) << dynamic;
    EXPECT_NE(dynamic.find("[libc.so.6]"), std::string::npos) << dynamic;
    EXPECT_EQ(dynamic.find("(RPATH)"), std::string::npos) << dynamic;
    EXPECT_EQ(dynamic.find("(RUNPATH)"), std::string::npos) << dynamic;
    // The runtime finds its libraries beside itself, wherever that folder is.
    const std::string runtime = dynamicSection(VELMORA_RUNTIME_LIBRARY);
    EXPECT_NE(runtime.find("[$ORIGIN]"), std::string::npos) << runtime;
    EXPECT_EQ(runtime.find(VELMORA_BUILD_FOLDER), std::string::npos) << runtime;
}

// A card's start binds the movie control's calls when the runtime was linked: the control is
// inside, and nothing but the entry point can be looked up from outside.
TEST(PlayerTemplateTest, TheRuntimeCarriesTheMovieControlAndExportsItsEntryPointAlone) {
    const std::string dynamic = dynamicSection(VELMORA_RUNTIME_LIBRARY);
    ASSERT_NE(dynamic.find("(NEEDED)"), std::string::npos) << dynamic;
    EXPECT_EQ(dynamic.find("moviecontrol"), std::string::npos) << dynamic;
    const std::string symbols =
        commandOutput(std::string("nm -D --defined-only '") + VELMORA_RUNTIME_LIBRARY + "' 2>&1");
    // "address type name" lines; a capital type is a global symbol, one others can look up.
    std::vector<std::string> global;
    std::istringstream lines(symbols);
    for (std::string address, type, name; lines >> address >> type >> name;) {
        if (type.size() == 1 && std::isupper(static_cast<unsigned char>(type[0])) != 0) {
            global.push_back(name);
        }
    }
    EXPECT_EQ(global, std::vector<std::string>{"velmora_play"}) << symbols;
}

TEST(PlayerTemplateTest, TheShippedPlayerIsThePlayerAsCardsCarryIt) {
    // A program longer than the card threshold takes itself for a card and, finding no
    // movie in itself, reports a damaged card instead of playing the movie it was given.
    const Bytes program = readBytes(VELMORA_PLAYER_PROGRAM);
    EXPECT_LE(program.size(), cardformat::CardThreshold);
    EXPECT_EQ(program, readBytes(VELMORA_TEMPLATE));
    EXPECT_EQ(::access(VELMORA_PLAYER_PROGRAM, X_OK), 0);
}

std::string textOf(const std::string& path) {
    const Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class CardProcessTest : public PlayerFolderTest {
  protected:
    void TearDown() override {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        PlayerFolderTest::TearDown();
    }

    // A card from `movie` (a two-frame movie by default), made by cardtool from the shipped
    // template (or another).
    std::string makeCard(const std::string& name, const std::string& password = {},
                         const std::string& templatePath = VELMORA_TEMPLATE,
                         const Bytes& movie = movieBytes(320, 240, 2, 0x336699)) {
        writeFile(path("movie.swf"), movie);
        std::string command = std::string("'") + VELMORA_CARDTOOL + "' make '" + path("movie.swf") +
                              "' '" + path(name) + "' --template '" + templatePath +
                              "' --blessing '新年快乐' --yes >/dev/null";
        if (!password.empty()) {
            command += " --password '" + password + "'";
        }
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return path(name);
    }

    // Starts `program` with the built runtime, unless `settings` (NAME=value entries) name
    // another; standard error goes to the file errors().
    void start(const std::string& program, std::vector<std::string> settings = {}) {
        settings.push_back("TMPDIR=" + temporaryFolder());
        settings.push_back("XDG_RUNTIME_DIR=" + path("runtime"));
        settings.push_back("QT_QPA_PLATFORM=offscreen");
        settings.push_back(std::string("VELMORA_RUNTIME=") + VELMORA_RUNTIME_LIBRARY);
        std::vector<std::string> environment;
        const auto isSet = [&environment](std::string_view entry) {
            const std::string_view name = entry.substr(0, entry.find('=') + 1);
            return std::any_of(environment.begin(), environment.end(),
                               [name](const std::string& e) { return e.rfind(name, 0) == 0; });
        };
        for (const std::string& entry : settings) {
            if (!isSet(entry)) {
                environment.push_back(entry);
            }
        }
        for (char** variable = environ; *variable != nullptr; ++variable) {
            if (!isSet(*variable)) {
                environment.emplace_back(*variable);
            }
        }
        std::vector<char*> envp;
        envp.reserve(environment.size() + 1);
        for (std::string& entry : environment) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        std::string argument0 = program;
        char* argv[] = {argument0.data(), nullptr};
        pid_ = ::fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            const int said = ::open(errors().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(said, STDERR_FILENO);
            ::execve(program.c_str(), argv, envp.data());
            ::_exit(127);
        }
    }

    // Waits until the card copied its movie into the temporary folder; the copy's path.
    std::string waitForCopy() {
        for (auto waited = 0ms; waited < 30s; waited += 50ms) {
            const std::vector<std::string> files = temporaryFiles();
            if (!files.empty()) {
                return temporaryFolder() + "/" + files[0];
            }
            std::this_thread::sleep_for(50ms);
        }
        return {};
    }

    std::string errors() const { return path("errors.txt"); }

    bool running() { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

    // The exit status after `signal`, or -1 when the card did not end in time.
    int endWith(int signal) {
        ::kill(pid_, signal);
        return waitForEnd();
    }

    // The exit status once the card ended by itself, or -1 when it did not end in time.
    int waitForEnd() {
        for (auto waited = 0ms; waited < 30s; waited += 20ms) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }

    pid_t pid_ = 0;
};

// Also a card made with the template as the first launcher built it, kept in the tests: such
// cards are out there and must keep playing with today's runtime.
TEST_F(CardProcessTest, CardsOfEveryLauncherExtractTheirMovieAndRemoveItOnSigterm) {
    ASSERT_EQ(readBytes(VELMORA_TEMPLATE_V1).size(), cardformat::MovieOffset);
    for (const char* launcher : {VELMORA_TEMPLATE, VELMORA_TEMPLATE_V1}) {
        SCOPED_TRACE(launcher);
        const std::string card = makeCard("card", {}, launcher);
        start(card);
        // The copy is named only once it is whole: what is found here is the movie.
        const std::string copy = waitForCopy();
        ASSERT_FALSE(copy.empty()) << "the card made no temporary movie: " << textOf(errors());
        const Bytes cardContent = readBytes(card);
        ASSERT_GT(cardContent.size(), cardformat::MovieOffset);
        EXPECT_EQ(readBytes(copy),
                  Bytes(cardContent.begin() + static_cast<std::ptrdiff_t>(cardformat::MovieOffset),
                        cardContent.end()));
        std::this_thread::sleep_for(300ms);
        EXPECT_TRUE(running()) << "the card did not keep playing: " << textOf(errors());
        EXPECT_EQ(endWith(SIGTERM), 0);
        EXPECT_TRUE(temporaryFiles().empty());
    }
}

// A two-frame movie whose first frame runs `script` each time it plays.
Bytes movieRunning(const moviemaker::Actions& script) {
    moviemaker::MovieHeader header;
    header.frameSize = moviemaker::Rect::pixels(320, 240);
    header.frameRate = 12;
    moviemaker::SwfWriter movie(header);
    movie.doAction(script);
    movie.showFrame();
    movie.showFrame();
    return movie.finish();
}

// Whatever its script is doing, a card ends within 2 s of SIGTERM and leaves no copy.
TEST_F(CardProcessTest, ACardBusyInItsScriptsEndsWithin2sOfSigterm) {
    moviemaker::Actions endless;
    endless.jump(-5);
    // new Array(4294967295).join(""): one built-in call that visits four billion indexes.
    moviemaker::Actions join;
    join.push("").push(1.0).push(4294967295.0).push(1.0).push("Array").code(0x40);
    join.push("join").code(0x52).code(0x17);
    // "x" doubled to 32 MB, then split into single characters.
    moviemaker::Actions split;
    split.push("s").push("x").code(0x1D);
    for (int i = 0; i < 25; ++i) {
        split.push("s").push("s").code(0x1C).push("s").code(0x1C).code(0x47).code(0x1D);
    }
    split.push("").push(1.0).push("s").code(0x1C).push("split").code(0x52).code(0x17);
    const auto limit = VELMORA_SANITIZED ? 6s : 2s;
    for (const auto& [name, script] : {std::pair<std::string, moviemaker::Actions>{"loop", endless},
                                       {"join", join},
                                       {"split", split}}) {
        SCOPED_TRACE(name);
        start(makeCard(name, {}, VELMORA_TEMPLATE, movieRunning(script)));
        ASSERT_FALSE(waitForCopy().empty());
        std::this_thread::sleep_for(700ms); // the script is running by now
        ASSERT_TRUE(running());
        const auto sent = std::chrono::steady_clock::now();
        EXPECT_EQ(endWith(SIGTERM), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - sent, limit);
        EXPECT_TRUE(temporaryFiles().empty());
    }
}

TEST_F(CardProcessTest, RenamedCardWaitingForItsPasswordEndsCleanOnSigint) {
    const std::string card = makeCard("贺卡.exe", "口令");
    start(card);
    ASSERT_FALSE(waitForCopy().empty());
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(running());
    EXPECT_EQ(endWith(SIGINT), 0);
    EXPECT_TRUE(temporaryFiles().empty());
}

TEST_F(CardProcessTest, EverySignalThatEndsTheCardRemovesItsCopy) {
    const std::string card = makeCard("card");
    for (const int signal :
         {SIGPIPE, SIGUSR1, SIGUSR2, SIGALRM, SIGQUIT, SIGVTALRM, SIGRTMIN + 3}) {
        start(card);
        ASSERT_FALSE(waitForCopy().empty()) << signal;
        EXPECT_EQ(endWith(signal), 0) << signal;
        EXPECT_TRUE(temporaryFiles().empty()) << signal;
    }
}

// The sweep waits for the first frame, which a card with a password shows while its box
// waits for an answer: the sweep does not wait for the answer too.
TEST_F(CardProcessTest, CopyOfAKilledCardGoesAtTheNextStart) {
    for (const std::string password : {"", "口令"}) {
        SCOPED_TRACE("password \"" + password + "\"");
        const std::string card = makeCard("card", password);
        start(card);
        const std::string first = waitForCopy();
        ASSERT_FALSE(first.empty());
        EXPECT_EQ(endWith(SIGKILL), 128 + SIGKILL);
        ASSERT_EQ(temporaryFiles().size(), 1u); // nothing can run on SIGKILL

        start(card);
        const std::string firstName = first.substr(first.rfind('/') + 1);
        std::vector<std::string> left = temporaryFiles();
        for (auto waited = 0ms; waited < 30s && !(left.size() == 1 && left[0] != firstName);
             waited += 50ms) {
            std::this_thread::sleep_for(50ms);
            left = temporaryFiles();
        }
        // The new start removed the killed one's copy and made its own.
        ASSERT_EQ(left.size(), 1u);
        EXPECT_NE(left[0], firstName);
        EXPECT_TRUE(running()) << "the card ended instead of playing";
        EXPECT_EQ(endWith(SIGTERM), 0);
        EXPECT_TRUE(temporaryFiles().empty());
    }
}

TEST_F(CardProcessTest, DamagedCardCopiesNothing) {
    Bytes damaged = readBytes(VELMORA_TEMPLATE);
    const Bytes notAMovie(64, 'x');
    damaged.insert(damaged.end(), notAMovie.begin(), notAMovie.end());
    writeFile(path("damaged"), damaged);
    ASSERT_EQ(::chmod(path("damaged").c_str(), 0700), 0);
    start(path("damaged"));
    std::this_thread::sleep_for(1s); // the message box is up by now
    EXPECT_TRUE(running());
    EXPECT_TRUE(temporaryFiles().empty());
    EXPECT_EQ(endWith(SIGTERM), 0);
    EXPECT_TRUE(temporaryFiles().empty());
}

TEST_F(CardProcessTest, ACardWithoutRuntimeSaysWhichPackageItNeeds) {
    const std::string card = makeCard("card");
    // A desktop with a message tool: the card shows the message there too.
    ::mkdir(path("tools").c_str(), 0755);
    const std::string script = "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + path("shown.txt") + "'\n";
    writeFile(path("tools/zenity"), Bytes(script.begin(), script.end()));
    ASSERT_EQ(::chmod(path("tools/zenity").c_str(), 0755), 0);
    start(card, {"VELMORA_RUNTIME=" + path("no/libvelmora-runtime.so.1"), "DISPLAY=:97",
                 "PATH=" + path("tools") + ":/usr/bin:/bin"});
    EXPECT_EQ(waitForEnd(), 69);
    const std::string said = textOf(errors());
    EXPECT_NE(said.find("install the package \"velmora\""), std::string::npos) << said;
    EXPECT_NE(said.find("no/libvelmora-runtime.so.1"), std::string::npos) << said;
    const std::string shown = textOf(path("shown.txt"));
    EXPECT_NE(shown.find("--error"), std::string::npos) << shown;
    EXPECT_NE(shown.find("软件包 velmora"), std::string::npos) << shown;
    EXPECT_TRUE(temporaryFiles().empty()); // nothing was extracted

    // Without a display: standard error alone, the same status.
    ::unlink(path("shown.txt").c_str());
    start(card, {"VELMORA_RUNTIME=" + path("no/libvelmora-runtime.so.1"),
                 "DISPLAY=", "WAYLAND_DISPLAY=", "PATH=" + path("tools") + ":/usr/bin:/bin"});
    EXPECT_EQ(waitForEnd(), 69);
    EXPECT_NE(textOf(errors()).find("velmora"), std::string::npos);
    EXPECT_NE(::access(path("shown.txt").c_str(), F_OK), 0);
}

TEST_F(CardProcessTest, ALibraryWithoutTheEntryPointIsRefused) {
    const std::string card = makeCard("card");
    start(card, {std::string("VELMORA_RUNTIME=") + VELMORA_LIBRARY_WITHOUT_ENTRY, "DISPLAY="});
    EXPECT_EQ(waitForEnd(), 76);
    const std::string said = textOf(errors());
    EXPECT_NE(said.find("newer Velmora card player"), std::string::npos) << said;
}

// White, with a red button in the middle whose release goes to the third frame, which
// shows green all over instead. The first two frames play round and round, so that the
// player's own Play at the start cannot take the movie on.
Bytes buttonMovie() {
    moviemaker::MovieHeader header;
    header.frameSize = moviemaker::Rect::pixels(320, 240);
    header.frameRate = 12;
    moviemaker::SwfWriter movie(header);
    movie.setBackgroundColor({255, 255, 255});
    const auto box = [&movie](moviemaker::Rgba colour, std::int32_t x, std::int32_t y,
                              std::int32_t w, std::int32_t h) {
        moviemaker::Shape s;
        s.fill1(s.addFill(moviemaker::FillStyle::solid(colour))).rectangle(x, y, w, h);
        return movie.defineShape(s);
    };
    moviemaker::Button button;
    button.records = {{0x0F, box({255, 0, 0, 255}, 1600, 1200, 3200, 2400), 1, {}, {}}};
    button.conditions = {{0x0008, moviemaker::Actions().gotoFrame(2)}};
    movie.place(movie.defineButton2(button), 1);
    movie.showFrame();
    movie.doAction(moviemaker::Actions().gotoFrame(0).play());
    movie.showFrame();
    movie.removeObject(1);
    movie.place(box({0, 255, 0, 255}, 0, 0, 6400, 4800), 2);
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    return movie.finish();
}

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;

// A card playing the button movie on a display of its own, clicked with real X events.
class CardOnDisplayTest : public CardProcessTest {
  protected:
    void SetUp() override {
        CardProcessTest::SetUp();
        if (!display_.ready()) {
            GTEST_SKIP() << "no X server for the test: " << display_.problem();
        }
        // The X keyboard library hands strndup buffers without a terminating zero, which
        // the sanitizer's strict string check takes for an overflow: off for this process.
        start(makeCard("card", {}, VELMORA_TEMPLATE, buttonMovie()),
              {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display_.name(), "WAYLAND_DISPLAY=",
               "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=0"});
        window_ = display_.windowOf(pid_, 60s);
        ASSERT_NE(window_, 0u) << "the card showed no window: " << textOf(errors());
        const auto g = display_.geometry(window_);
        ASSERT_TRUE(g);
        shown_ = *g;
        // The button is in the middle of the movie, and so of the window it fills.
        ASSERT_TRUE(display_.waitForPixel(middleX(), middleY(), kRed, 30s))
            << "the button never showed";
    }

    int middleX() const { return shown_.x + shown_.width / 2; }
    int middleY() const { return shown_.y + shown_.height / 2; }

    VirtualDisplay display_;
    unsigned long window_ = 0;
    VirtualDisplay::Geometry shown_;
};

TEST_F(CardOnDisplayTest, AClickOnTheButtonGoesToItsFrame) {
    display_.moveMouse(middleX(), middleY());
    display_.pressLeft();
    display_.releaseLeft();
    EXPECT_TRUE(display_.waitForPixel(middleX(), middleY(), kGreen, 30s))
        << "the click did not reach the button";
    EXPECT_TRUE(running());
    EXPECT_EQ(endWith(SIGTERM), 0);
}

TEST_F(CardOnDisplayTest, ADragFromTheButtonMovesTheWindowInstead) {
    display_.moveMouse(middleX(), middleY());
    display_.pressLeft();
    for (int step = 1; step <= 10; ++step) {
        display_.moveMouse(middleX() + 6 * step, middleY() + 4 * step);
        std::this_thread::sleep_for(30ms);
    }
    display_.releaseLeft();
    std::optional<VirtualDisplay::Geometry> moved;
    for (auto waited = 0ms; waited < 30s; waited += 50ms) {
        moved = display_.geometry(window_);
        if (moved && moved->x == shown_.x + 60 && moved->y == shown_.y + 40) {
            break;
        }
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->x, shown_.x + 60);
    EXPECT_EQ(moved->y, shown_.y + 40);
    // The movie never saw a click: the button still shows where the window took it.
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(display_.pixel(middleX() + 60, middleY() + 40), kRed);
    EXPECT_EQ(endWith(SIGTERM), 0);
}

} // namespace
} // namespace player::testing
