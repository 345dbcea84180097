// An older movie a Loader of an ActionScript 3 movie placed plays in an ActionScript 1/2
// machine of its own: its frame scripts and buttons run, its _root and _level0 are its own
// root clip, its trace lines join the host's in order; its enterFrame handlers and timers
// keep the host's step; the sounds and bitmaps it attaches are its own library's; letting it
// go stops it. Endless scripts, loads back into the host and deep nesting stay bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "OlderMovieHost.h"

namespace mc {
namespace {

using avm2test::Bytes;
using hosting::Host;
using hosting::hostMovie;
using hosting::olderMovie;
using moviemaker::Actions;

// The variable `name`'s value.
Actions& get(Actions& a, std::string_view name) {
    return a.push(name).code(0x1C);
}

// Traces whether the two variables hold the same value.
Actions& traceSame(Actions& a, std::string_view left, std::string_view right) {
    return get(get(a, left), right).code(0x49).code(0x26);
}

TEST(As3OlderMoviesTest, FrameScriptsRunWithTheMovieAsItsOwnRoot) {
    Host host;
    ASSERT_NE(host.loads, nullptr);
    Actions first;
    first.trace("one");
    traceSame(first, "_root", "this");
    traceSame(first, "_level0", "this");
    first.traceValue("_target");
    // Nothing above its root is within its reach.
    get(first, "_parent").code(0x44).code(0x26);
    first.setVariable("_global.mine", "kept");
    Actions second;
    second.trace("two").traceValue("mine").stop();
    const auto content = host.place(olderMovie({first, second}));
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->kind, avm2::LoadedContent::Kind::OlderMovie);
    EXPECT_EQ(content->contentType, "application/x-shockwave-flash");
    // The first frame's scripts ran as it was placed.
    EXPECT_EQ(host.traced, (std::vector<std::string>{"one", "true", "true", "/", "undefined"}));
    host.traced.clear();
    host.playback->stepFrame();
    // The second frame follows at the host's rate; its lines come with the host's.
    EXPECT_EQ(host.traced, (std::vector<std::string>{"two", "kept"}));
    host.traced.clear();
    host.playback->stepFrame();
    host.playback->stepFrame();
    EXPECT_TRUE(host.traced.empty()) << "stopped at its second frame";
}

TEST(As3OlderMoviesTest, EachMovieHasItsOwnGlobals) {
    Host host;
    Actions writes;
    writes.setVariable("_global.shared", "first");
    Actions reads;
    get(reads, "shared").code(0x44).code(0x26).stop();
    ASSERT_TRUE(host.place(olderMovie({writes.stop()})).has_value());
    ASSERT_TRUE(host.place(olderMovie({reads})).has_value());
    EXPECT_EQ(host.traced, std::vector<std::string>{"undefined"});
}

TEST(As3OlderMoviesTest, LettingGoOfTheContentStopsItsScripts) {
    Host host;
    Actions every;
    every.trace("tick");
    const auto content = host.place(olderMovie({every, every}));
    ASSERT_TRUE(content.has_value());
    host.playback->stepFrame();
    EXPECT_EQ(host.traced, (std::vector<std::string>{"tick", "tick"}));
    host.unload(content->node);
    host.traced.clear();
    for (int i = 0; i < 3; ++i) {
        host.playback->stepFrame();
    }
    EXPECT_TRUE(host.traced.empty());
    // Another load afterwards plays as the first did.
    ASSERT_TRUE(host.place(olderMovie({every})).has_value());
    EXPECT_EQ(host.traced, std::vector<std::string>{"tick"});
}

TEST(As3OlderMoviesTest, ItsButtonAnswersAClick) {
    moviemaker::MovieHeader h;
    h.version = 8;
    h.frameSize = moviemaker::Rect::pixels(100, 100);
    moviemaker::SwfWriter movie(h);
    moviemaker::Shape shape;
    shape.fill1(shape.addFill(moviemaker::FillStyle::solid({200, 0, 0})))
        .rectangle(0, 0, 2000, 2000);
    const std::uint16_t face = movie.defineShape(shape);
    moviemaker::Button button;
    button.records = {{0x0F, face, 1, {}, {}}};
    // on (press) and on (release), on the timeline that holds the button; a page opens in
    // answer to the click, never from the frame's script.
    button.conditions = {
        {0x0004, Actions().trace("pressed")},
        {0x0008, Actions().traceValue("_target").getUrl("https://example.org/", "_blank")}};
    movie.place(movie.defineButton2(button), 1);
    movie.doAction(Actions().getUrl("https://example.org/frame", "_blank").stop());
    movie.showFrame();

    Host host;
    ASSERT_TRUE(host.place(movie.finish()).has_value());
    host.playback->stepFrame();
    host.playback->input().mouseMove(500, 500);
    host.playback->input().mouseDown(500, 500);
    host.playback->input().mouseUp(500, 500);
    EXPECT_EQ(host.traced, (std::vector<std::string>{"pressed", "/"}));
    EXPECT_EQ(host.opened, std::vector<std::string>{"https://example.org/"});
    host.traced.clear();
    // Away from it, nothing.
    host.playback->input().mouseDown(3500, 3500);
    host.playback->input().mouseUp(3500, 3500);
    EXPECT_TRUE(host.traced.empty());
}

TEST(As3OlderMoviesTest, ItsEnterFrameHandlersAndTimersKeepStepWithTheHostsFrames) {
    Host host;
    Actions first;
    // this.onEnterFrame = function () { trace("enter"); }
    first.push("this")
        .code(0x1C)
        .push("onEnterFrame")
        .function(Actions().trace("enter"))
        .code(0x4F);
    // setInterval(function () { trace("timer"); }, 100)
    first.push(100.0)
        .function(Actions().trace("timer"))
        .push(2.0)
        .push("setInterval")
        .code(0x3D)
        .code(0x17);
    ASSERT_TRUE(host.place(olderMovie({first.stop()})).has_value());
    host.traced.clear();
    // Six frames of the host's 24 a second: a quarter of a second and a bit.
    for (int i = 0; i < 6; ++i) {
        host.playback->stepFrame();
    }
    EXPECT_EQ(std::count(host.traced.begin(), host.traced.end(), "enter"), 6);
    EXPECT_EQ(std::count(host.traced.begin(), host.traced.end(), "timer"), 2);
}

// A movie exporting, as "beep", silence of `tenths` tenths of a second at 44 kHz, whose first
// frame attaches it to a new Sound object and whose second traces its duration.
Bytes soundMovie(int tenths) {
    moviemaker::MovieHeader h;
    h.version = 8;
    moviemaker::SwfWriter movie(h);
    const auto count = static_cast<std::uint32_t>(4410 * tenths);
    const std::vector<std::uint8_t> samples(static_cast<std::size_t>(count) * 2, 0);
    movie.exportAssets(movie.defineSound({3, 3, true, false}, count, samples), "beep");
    Actions first;
    // s = new Sound(); s.attachSound("beep")
    first.push("s").push(0.0).push("Sound").code(0x40).code(0x1D);
    first.callMethod("s", "attachSound", {"beep"});
    movie.doAction(first);
    movie.showFrame();
    movie.doAction(Actions().traceValue("s.duration").stop());
    movie.showFrame();
    return movie.finish();
}

TEST(As3OlderMoviesTest, ItsSoundObjectsAttachTheSoundsOfItsOwnLibrary) {
    Host host;
    // Both movies' first Sound object has the same number in its own machine.
    ASSERT_TRUE(host.place(soundMovie(1)).has_value());
    ASSERT_TRUE(host.place(soundMovie(2)).has_value());
    host.playback->stepFrame();
    std::sort(host.traced.begin(), host.traced.end());
    EXPECT_EQ(host.traced, (std::vector<std::string>{"100", "200"}));
}

TEST(As3OlderMoviesTest, ItLoadsTheBitmapsOfItsOwnLibrary) {
    std::vector<std::uint16_t> bitmapsAsked;
    Host host({}, [&bitmapsAsked](PlaybackSetup& setup) {
        setup.callbacks.loadedLibraryBitmap = [&bitmapsAsked](std::uint16_t library,
                                                              std::uint16_t id) {
            // The first movie's library is not the older movie's.
            EXPECT_NE(library, 0);
            bitmapsAsked.push_back(id);
            return std::optional<pixels::BitmapPixels>(pixels::BitmapPixels(3, 2, false, 0));
        };
    });
    moviemaker::MovieHeader h;
    h.version = 8;
    moviemaker::SwfWriter movie(h);
    moviemaker::RawImage image;
    image.width = 3;
    image.height = 2;
    image.pixels.assign(6, {1, 2, 3, 255});
    const std::uint16_t bitmap = movie.defineBitsLossless(image);
    movie.exportAssets(bitmap, "pic");
    Actions a;
    // trace(flash.display.BitmapData.loadBitmap("pic").width)
    a.push("pic").push(1.0).push("flash").code(0x1C).push("display").code(0x4E);
    a.push("BitmapData")
        .code(0x4E)
        .push("loadBitmap")
        .code(0x52)
        .push("width")
        .code(0x4E)
        .code(0x26);
    movie.doAction(a.stop());
    movie.showFrame();
    ASSERT_TRUE(host.place(movie.finish()).has_value());
    EXPECT_EQ(host.traced, std::vector<std::string>{"3"});
    EXPECT_EQ(bitmapsAsked, std::vector<std::uint16_t>{bitmap});
}

TEST(As3OlderMoviesTest, AScriptThatNeverEndsStopsAndThePlayingGoesOn) {
    Host host;
    Actions endless;
    endless.trace("before").jump(-5);
    Actions after;
    after.trace("after").stop();
    ASSERT_TRUE(host.place(olderMovie({endless, after})).has_value());
    EXPECT_EQ(host.traced, std::vector<std::string>{"before"});
    host.playback->stepFrame();
    EXPECT_EQ(host.traced, (std::vector<std::string>{"before", "after"}));
}

TEST(As3OlderMoviesTest, LoadsBackIntoTheHostStayBounded) {
    // The older movie loads, into its own root, the host movie (which plays without its
    // scripts there) and itself into a clip of its own, again and again.
    Bytes self;
    Host host([&self](const std::string& path) { return path == "host.swf" ? hostMovie() : self; });
    Actions loads;
    // loadMovie is GetURL2 with its target a clip.
    loads.trace("older")
        .callMethod("this", "createEmptyMovieClip", {"child", "5"})
        .push("older.swf")
        .push("child")
        .getUrl2(0x40)
        .push("host.swf")
        .push("_level0")
        .getUrl2(0x40);
    self = olderMovie({loads, Actions().trace("second")});
    ASSERT_TRUE(host.place(self).has_value());
    for (int i = 0; i < 40; ++i) {
        host.playback->stepFrame();
    }
    EXPECT_FALSE(host.traced.empty());
    EXPECT_LT(host.traced.size(), 400u);
}

// this.createEmptyMovieClip(name, depth); name.loadMovie(url) (GetURL2 with a clip target).
Actions& loadIntoNewClip(Actions& a, const std::string& name, const std::string& depth,
                         std::string_view url) {
    return a.callMethod("this", "createEmptyMovieClip", {name, depth})
        .push(url)
        .push(name)
        .getUrl2(0x40);
}

TEST(As3OlderMoviesTest, ItLoadsIntoItsClipsButNotIntoLevelsNorOverItself) {
    std::vector<std::string> read;
    const Bytes three = olderMovie({Actions().stop(), Actions(), Actions()});
    Host host([&](const std::string& path) {
        read.push_back(path);
        return path == "host.swf" ? hostMovie() : three;
    });
    Actions first;
    // loadMovieNum("level.swf", 1), loadMovie("self.swf", this), loadMovie into _level0.
    first.push("level.swf").push("_level1").getUrl2(0x40);
    first.push("self.swf").push("").getUrl2(0x40);
    first.push("zero.swf").push("_level0").getUrl2(0x40);
    loadIntoNewClip(first, "other", "1", "three.swf");
    // An ActionScript 3 movie is no content for an older movie's clip.
    loadIntoNewClip(first, "newer", "2", "host.swf");
    Actions second;
    second.traceValue("other._totalframes").traceValue("newer._totalframes").stop();
    ASSERT_TRUE(host.place(olderMovie({first, second})).has_value());
    host.playback->stepFrame();
    EXPECT_EQ(read, (std::vector<std::string>{"three.swf", "host.swf"}));
    EXPECT_EQ(host.traced, (std::vector<std::string>{"3", "1"}));
}

TEST(As3OlderMoviesTest, PicturesNameTheirType) {
    Host host;
    const Bytes png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
                    0,    0,   2,   0,   0,    0,    3,    8,    6, 0, 0, 0,  0,   0,   0,   0};
    const Bytes gif{'G', 'I', 'F', '8', '9', 'a', 4, 0, 5, 0, 0, 0, 0};
    std::vector<std::string> types;
    for (const Bytes& file : {png, gif}) {
        PlaybackSetup setup;
        setup.pace = Pace::FrameSteps;
        setup.callbacks.decodePicture = [](std::span<const std::uint8_t>) {
            return std::optional<pixels::BitmapPixels>(pixels::BitmapPixels(2, 3, false, 0));
        };
        auto playback = MoviePlayback::fromBytes(hostMovie(), std::move(setup));
        auto* loads = dynamic_cast<avm2::LoaderHost*>(&playback->runner());
        auto* display = dynamic_cast<avm2::Host*>(&playback->runner())->display();
        const avm2::NodeId loader = display->createNode(avm2::NodeKind::Sprite);
        display->insertChild(display->rootNode(), loader, 0);
        const auto picture = loads->placeContent(loader, file, "p");
        types.push_back(picture ? picture->contentType : "refused");
    }
    EXPECT_EQ(types, (std::vector<std::string>{"image/png", "image/gif"}));
}

} // namespace
} // namespace mc
