// A library symbol with a timeline, bound by SymbolClass to a class that extends Sprite rather
// than MovieClip, is a Sprite: whether the timeline or a script makes it, it shows its first
// frame and stays there (a component keeps the skins it exports on a second frame).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AbcBuilder.h"
#include "MoviePlayback.h"
#include "avm2/DisplayHost.h"
#include "avm2/Host.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using avm2test::AbcBuilder;
using avm2test::BodySpec;
using avm2test::Bytes;
using avm2test::call;
using avm2test::ClassSpec;
using avm2test::name;

// class Skin extends flash.display.<base> {}
// class Root extends flash.display.MovieClip { function Root() { addChild(new Skin()); } }
Bytes skinScript(const std::string& base) {
    AbcBuilder abc;
    const auto publicNs = abc.package(abc.string(""));
    const auto displayNs = abc.package(abc.string("flash.display"));
    const auto skin = abc.qname(publicNs, abc.string("Skin"));
    const auto root = abc.qname(publicNs, abc.string("Root"));
    const auto skinBase = abc.qname(displayNs, abc.string(base));
    const auto clip = abc.qname(displayNs, abc.string("MovieClip"));
    const auto addChild = abc.qname(publicNs, abc.string("addChild"));
    const auto skinInit = abc.method();
    const auto skinClassInit = abc.method();
    const auto rootInit = abc.method();
    const auto rootClassInit = abc.method();
    const auto init = abc.method();
    abc.classes.push_back(ClassSpec{skin, skinBase, skinInit, skinClassInit, {}, {}});
    abc.classes.push_back(ClassSpec{root, clip, rootInit, rootClassInit, {}, {}});
    abc.scripts.push_back({init, {{skin, 4, 1, 0, 0}, {root, 4, 2, 1, 0}}});

    const Bytes superOnly{0xD0, 0x30, 0xD0, 0x49, 0x00, 0x47};
    abc.bodies.push_back(BodySpec{skinInit, 2, 1, 0, 1, superOnly, {}});
    abc.bodies.push_back(BodySpec{skinClassInit, 1, 1, 0, 1, {0x47}, {}});
    Bytes made{0xD0, 0x30, 0xD0, 0x49, 0x00, 0xD0};
    name(made, 0x5D, skin);
    call(made, 0x4A, skin, 0);
    call(made, 0x4F, addChild, 1);
    made.push_back(0x47);
    abc.bodies.push_back(BodySpec{rootInit, 3, 1, 0, 1, made, {}});
    abc.bodies.push_back(BodySpec{rootClassInit, 1, 1, 0, 1, {0x47}, {}});

    Bytes code{0xD0, 0x30, 0x65, 0x00};
    name(code, 0x60, skinBase);
    name(code, 0x58, 0); // newclass Skin
    name(code, 0x68, skin);
    code.insert(code.end(), {0x65, 0x00});
    name(code, 0x60, clip);
    name(code, 0x58, 1); // newclass Root
    name(code, 0x68, root);
    code.push_back(0x47);
    abc.bodies.push_back(BodySpec{init, 3, 1, 0, 1, code, {}});
    return abc.build();
}

// A two-frame symbol (a red square, then a blue one) bound to Skin, placed by the root's
// first frame; the root's constructor adds another Skin of its own.
Bytes skinMovie(const std::string& base) {
    moviemaker::MovieHeader h;
    h.version = 10;
    h.frameSize = moviemaker::Rect::pixels(200, 100);
    moviemaker::SwfWriter movie(h);
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes);
    moviemaker::Shape red;
    red.fill1(red.addFill(moviemaker::FillStyle::solid({255, 0, 0}))).rectangle(0, 0, 400, 400);
    moviemaker::Shape blue;
    blue.fill1(blue.addFill(moviemaker::FillStyle::solid({0, 0, 255}))).rectangle(0, 0, 400, 400);
    const uint16_t redId = movie.defineShape(red);
    const uint16_t blueId = movie.defineShape(blue);
    moviemaker::Sprite skin;
    skin.place(redId, 1);
    skin.showFrame();
    skin.removeObject(1);
    skin.place(blueId, 1);
    skin.showFrame();
    const uint16_t skinId = movie.defineSprite(skin);
    Bytes doAbc{0, 0, 0, 0, 0};
    const Bytes block = skinScript(base);
    doAbc.insert(doAbc.end(), block.begin(), block.end());
    movie.rawTag(82, doAbc);
    Bytes symbols{2, 0, static_cast<std::uint8_t>(skinId & 0xFF),
                  static_cast<std::uint8_t>(skinId >> 8)};
    for (const char c : std::string("Skin")) {
        symbols.push_back(static_cast<std::uint8_t>(c));
    }
    symbols.insert(symbols.end(), {0, 0, 0, 'R', 'o', 'o', 't', 0});
    movie.rawTag(76, symbols);
    movie.place(skinId, 1, moviemaker::Matrix::translate(2000, 0));
    movie.showFrame();
    movie.showFrame();
    return movie.finish();
}

TEST(As3SpriteSymbolTest, ASymbolBoundToASpriteClassKeepsToItsFirstFrame) {
    struct Row {
        const char* base;
        bool plays; // both Skins, the timeline's and the script's
    };
    const Row rows[] = {{"Sprite", false}, {"MovieClip", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.base);
        PlaybackSetup setup;
        setup.pace = Pace::FrameSteps;
        auto playback = MoviePlayback::fromBytes(skinMovie(row.base), std::move(setup));
        ASSERT_NE(playback, nullptr);
        playback->stepFrame();
        auto* host = dynamic_cast<avm2::Host*>(&playback->runner());
        ASSERT_NE(host, nullptr);
        avm2::DisplayHost* display = host->display();
        ASSERT_NE(display, nullptr);
        const std::vector<avm2::NodeId> skins = display->children(display->rootNode());
        ASSERT_EQ(skins.size(), 2u);
        std::vector<bool> reachedSecondFrame(skins.size(), false);
        for (int step = 0; step < 3; ++step) {
            playback->stepFrame();
            for (std::size_t i = 0; i < skins.size(); ++i) {
                EXPECT_EQ(display->frameCount(skins[i]), 2u);
                EXPECT_EQ(display->playing(skins[i]), row.plays);
                reachedSecondFrame[i] =
                    reachedSecondFrame[i] || display->currentFrame(skins[i]) == 1;
            }
        }
        EXPECT_EQ(reachedSecondFrame, std::vector<bool>(skins.size(), row.plays));
    }
}

} // namespace
} // namespace mc
