// What a Loader loads becomes content under it: an ActionScript 3 movie's scripts run in the
// player's machine, an older movie plays as an AVM1Movie, a picture is handed over as
// pixels; bytes of no known type, damaged or endlessly nested movies are refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AbcBuilder.h"
#include "MoviePlayback.h"
#include "avm2/DisplayHost.h"
#include "avm2/Host.h"
#include "avm2/LoaderHost.h"
#include "moviemaker/SwfWriter.h"
#include "swf/AbcTags.h"
#include "swf/Movie.h"

namespace mc {
namespace {

using avm2test::Bytes;
using avm2test::call;
using avm2test::name;
using Kind = avm2::LoadedContent::Kind;

// class Inner extends ByteArray {} (bound to the binary data symbol 7)
// var info = new Loader().contentLoaderInfo, for each event: info.addEventListener(type,
// function (e) { trace(e.type); }); loader.loadBytes(new Inner()); trace("called");
Bytes loadingScript() {
    avm2test::AbcBuilder abc;
    const auto publicNs = abc.package(abc.string(""));
    const auto displayNs = abc.package(abc.string("flash.display"));
    const auto utilsNs = abc.package(abc.string("flash.utils"));
    const auto inner = abc.qname(publicNs, abc.string("Inner"));
    const auto byteArray = abc.qname(utilsNs, abc.string("ByteArray"));
    const auto loaderClass = abc.qname(displayNs, abc.string("Loader"));
    const auto info = abc.qname(publicNs, abc.string("contentLoaderInfo"));
    const auto listen = abc.qname(publicNs, abc.string("addEventListener"));
    const auto loadBytes = abc.qname(publicNs, abc.string("loadBytes"));
    const auto trace = abc.qname(publicNs, abc.string("trace"));
    const auto type = abc.qname(publicNs, abc.string("type"));
    const auto called = abc.string("called");

    const auto iinit = abc.method();
    const auto cinit = abc.method();
    const auto listener = abc.method(1);
    const auto init = abc.method();
    abc.classes.push_back(avm2test::ClassSpec{inner, byteArray, iinit, cinit, {}, {}});
    abc.scripts.push_back({init, {{inner, 4, 1, 0, 0}}});
    abc.bodies.push_back(
        avm2test::BodySpec{iinit, 2, 1, 0, 1, {0xD0, 0x30, 0xD0, 0x49, 0x00, 0x47}, {}});
    abc.bodies.push_back(avm2test::BodySpec{cinit, 1, 1, 0, 1, {0x47}, {}});
    Bytes heard{0xD0, 0x30};
    name(heard, 0x5D, trace);
    heard.push_back(0xD1);
    name(heard, 0x66, type);
    call(heard, 0x4F, trace, 1);
    heard.push_back(0x47);
    abc.bodies.push_back(avm2test::BodySpec{listener, 3, 2, 0, 1, heard, {}});

    Bytes code{0xD0, 0x30, 0x65, 0x00};
    name(code, 0x60, byteArray);
    name(code, 0x58, 0); // newclass Inner
    name(code, 0x68, inner);
    name(code, 0x5D, loaderClass);
    call(code, 0x4A, loaderClass, 0);
    code.insert(code.end(), {0xD5, 0xD1});
    name(code, 0x66, info);
    code.push_back(0xD6);
    for (const char* event : {"complete", "init", "progress", "open"}) {
        code.push_back(0xD2);
        name(code, 0x2C, abc.string(event));
        name(code, 0x40, listener);
        call(code, 0x4F, listen, 2);
    }
    code.push_back(0xD1);
    name(code, 0x5D, inner);
    call(code, 0x4A, inner, 0);
    call(code, 0x4F, loadBytes, 1);
    name(code, 0x5D, trace);
    name(code, 0x2C, called);
    call(code, 0x4F, trace, 1);
    code.push_back(0x47);
    abc.bodies.push_back(avm2test::BodySpec{init, 4, 3, 0, 2, code, {}});
    return abc.build();
}

// A movie of `width` x 100 pixels; ActionScript 3 ones trace `line` from their script. Its
// binary data symbol 7 holds `binary`.
Bytes movieBytes(int version, int width, const std::string& line,
                 const Bytes& binary = {'a', 'b', 'c'}) {
    moviemaker::MovieHeader h;
    h.version = static_cast<std::uint8_t>(version);
    h.frameSize = moviemaker::Rect::pixels(width, 100);
    h.frameRate = 12;
    moviemaker::SwfWriter movie(h);
    if (!line.empty()) {
        const std::uint8_t attributes[] = {0x08, 0, 0, 0};
        movie.rawTag(69, attributes);
        avm2test::TraceScript script;
        Bytes push{0x2C};
        avm2test::u30(push, script.abc.string(line));
        Bytes doAbc{0, 0, 0, 0, 0};
        const Bytes block = script.build(push);
        doAbc.insert(doAbc.end(), block.begin(), block.end());
        movie.rawTag(82, doAbc);
    }
    // DefineBinaryData 7: a reserved word, then the bytes.
    Bytes data{7, 0, 0, 0, 0, 0};
    data.insert(data.end(), binary.begin(), binary.end());
    movie.rawTag(87, data);
    movie.showFrame();
    return movie.finish();
}

struct Host {
    Host() {
        PlaybackSetup setup;
        setup.pace = Pace::FrameSteps;
        setup.callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        // Any picture decodes to 2 x 3 opaque pixels here.
        setup.callbacks.decodePicture = [](std::span<const std::uint8_t>) {
            return std::optional<pixels::BitmapPixels>(pixels::BitmapPixels(2, 3, false, 0));
        };
        playback = MoviePlayback::fromBytes(movieBytes(10, 200, "host"), std::move(setup));
        playback->stepFrame();
        loads = dynamic_cast<avm2::LoaderHost*>(&playback->runner());
        auto* host = dynamic_cast<avm2::Host*>(&playback->runner());
        display = host != nullptr ? host->display() : nullptr;
    }
    // A Loader's node under `parent` (the root when 0).
    avm2::NodeId loaderUnder(avm2::NodeId parent = 0) {
        const avm2::NodeId node = display->createNode(avm2::NodeKind::Sprite);
        display->insertChild(parent != 0 ? parent : display->rootNode(), node, 0);
        return node;
    }
    std::unique_ptr<MoviePlayback> playback;
    avm2::LoaderHost* loads = nullptr;
    avm2::DisplayHost* display = nullptr;
    std::vector<std::string> traced;
};

TEST(As3LoaderTest, MoviesBecomeContentUnderTheLoader) {
    Host host;
    ASSERT_NE(host.loads, nullptr);
    ASSERT_NE(host.display, nullptr);
    const avm2::NodeId loader = host.loaderUnder();

    // An ActionScript 3 movie: its script runs in the host's machine as it is placed.
    const auto as3 = host.loads->placeContent(loader, movieBytes(10, 320, "inner"), "");
    ASSERT_TRUE(as3.has_value());
    EXPECT_EQ(as3->kind, Kind::Movie);
    EXPECT_EQ(as3->swfVersion, 10);
    EXPECT_DOUBLE_EQ(as3->width, 320);
    EXPECT_DOUBLE_EQ(as3->height, 100);
    EXPECT_DOUBLE_EQ(as3->frameRate, 12);
    EXPECT_EQ(host.display->parentOf(as3->node), loader);
    EXPECT_EQ(host.traced, (std::vector<std::string>{"host", "inner"}));

    // An older movie (of no scripts here) plays as an AVM1Movie.
    const avm2::NodeId second = host.loaderUnder();
    const auto older = host.loads->placeContent(second, movieBytes(8, 50, ""), "");
    ASSERT_TRUE(older.has_value());
    EXPECT_EQ(older->kind, Kind::OlderMovie);
    EXPECT_EQ(host.display->parentOf(older->node), second);
    EXPECT_EQ(host.traced.size(), 2u);
}

TEST(As3LoaderTest, PicturesAreHandedOverAsPixels) {
    Host host;
    ASSERT_NE(host.loads, nullptr);
    // A PNG's header tells its size; the pixels come from the player's decoder.
    const Bytes png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
                    0,    0,   2,   0,   0,    0,    3,    8,    6, 0, 0, 0,  0,   0,   0,   0};
    const auto picture = host.loads->placeContent(host.loaderUnder(), png, "a.png");
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->kind, Kind::Picture);
    ASSERT_TRUE(picture->picture.has_value());
    EXPECT_EQ(picture->picture->width(), 2);
    EXPECT_DOUBLE_EQ(picture->width, 2);
    EXPECT_DOUBLE_EQ(picture->height, 3);
    EXPECT_EQ(picture->node, 0u);
}

TEST(As3LoaderTest, HostileBytesAreRefused) {
    Host host;
    ASSERT_NE(host.loads, nullptr);
    const avm2::NodeId loader = host.loaderUnder();
    Bytes good = movieBytes(10, 100, "never");
    Bytes truncated(good.begin(), good.begin() + 6);
    Bytes huge = good;
    // A declared length of 4 GiB over a body of a few bytes.
    huge[4] = huge[5] = huge[6] = huge[7] = 0xFF;
    const std::vector<Bytes> refused{{}, {'F', 'W', 'S'}, truncated, {'h', 'e', 'l', 'l', 'o'}};
    for (const Bytes& bytes : refused) {
        EXPECT_FALSE(host.loads->placeContent(loader, bytes, "").has_value());
    }
    // The huge claim is read as far as the bytes go, or refused; either way nothing breaks.
    (void)host.loads->placeContent(loader, huge, "");
    // No node of the player's: nothing is placed.
    EXPECT_FALSE(host.loads->placeContent(987654321, good, "").has_value());
}

TEST(As3LoaderTest, NestingOfLoadedMoviesIsBounded) {
    Host host;
    ASSERT_NE(host.loads, nullptr);
    avm2::NodeId parent = 0;
    int placed = 0;
    for (int i = 0; i < 20; ++i) {
        const avm2::NodeId loader = host.loaderUnder(parent);
        const auto content = host.loads->placeContent(loader, movieBytes(8, 10, ""), "");
        if (!content) {
            break;
        }
        ++placed;
        parent = content->node;
    }
    EXPECT_GE(placed, 4);
    EXPECT_LT(placed, 20);
}

// The host movie: the loading script, its Inner class bound to an ActionScript 3 movie.
Bytes loadingMovie() {
    moviemaker::SwfWriter movie;
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes);
    Bytes data{7, 0, 0, 0, 0, 0};
    const Bytes loaded = movieBytes(10, 40, "inner script");
    data.insert(data.end(), loaded.begin(), loaded.end());
    movie.rawTag(87, data);
    Bytes doAbc{0, 0, 0, 0, 0};
    const Bytes block = loadingScript();
    doAbc.insert(doAbc.end(), block.begin(), block.end());
    movie.rawTag(82, doAbc);
    const std::uint8_t symbols[] = {1, 0, 7, 0, 'I', 'n', 'n', 'e', 'r', 0};
    movie.rawTag(76, symbols);
    movie.showFrame();
    movie.showFrame();
    return movie.finish();
}

TEST(As3LoaderTest, LoadBytesAnswersAfterTheScriptInFlashsOrder) {
    std::vector<std::string> traced;
    PlaybackSetup setup;
    setup.pace = Pace::FrameSteps;
    setup.callbacks.trace = [&traced](std::string_view line) { traced.emplace_back(line); };
    auto playback = MoviePlayback::fromBytes(loadingMovie(), std::move(setup));
    ASSERT_NE(playback, nullptr);
    playback->stepFrame();
    playback->stepFrame();
    // The loaded movie's script runs once its bytes arrived, before init.
    EXPECT_EQ(traced, (std::vector<std::string>{"called", "open", "progress", "inner script",
                                                "init", "complete"}));
}

TEST(As3LoaderTest, BinaryDataIsFoundById) {
    const Bytes bytes = movieBytes(10, 10, "");
    auto loaded = swf::loadMovie(bytes);
    ASSERT_TRUE(loaded.ok());
    const auto data = swf::findBinaryData(*loaded.movie, 7);
    EXPECT_EQ(std::string(data.begin(), data.end()), "abc");
    EXPECT_TRUE(swf::findBinaryData(*loaded.movie, 8).empty());
}

} // namespace
} // namespace mc
