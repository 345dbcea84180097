#include <gtest/gtest.h>

#include "MovieCatalog.h"
#include "StageInput.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "testsupport/SwfWriter.h"

namespace mc {
namespace {

using Lines = std::vector<std::string>;

// A movie played with its scripts and a person's mouse and keyboard.
struct InteractiveMovie {
    explicit InteractiveMovie(std::vector<std::uint8_t> bytes) : file(std::move(bytes)) {
        loaded = swf::loadMovie(file);
        EXPECT_TRUE(loaded.ok());
        catalog = std::make_unique<MovieCatalog>(*loaded.movie);
        StageCallbacks callbacks;
        callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        scripts = std::make_unique<StageScripts>(*loaded.movie, std::move(callbacks));
        player =
            std::make_unique<TimelinePlayer>(*catalog, loaded.movie->root, Rgba{255, 255, 255, 255},
                                             TimelineLimits{}, scripts.get());
        input = std::make_unique<StageInput>(*loaded.movie, *player, scripts.get());
    }
    void click(double x, double y) {
        input->mouseMove(x, y);
        input->mouseDown(x, y);
        input->mouseUp(x, y);
    }
    Lines take() { return std::exchange(traced, {}); }
    DisplayObject& child(std::string_view name) {
        auto c = player->childByName(player->rootObject(), name, false);
        EXPECT_TRUE(c);
        return *c;
    }

    std::vector<std::uint8_t> file;
    swf::LoadResult loaded;
    std::unique_ptr<MovieCatalog> catalog;
    std::unique_ptr<StageScripts> scripts;
    std::unique_ptr<TimelinePlayer> player;
    std::unique_ptr<StageInput> input;
    Lines traced;
};

swftest::MovieHeader version8() {
    swftest::MovieHeader h;
    h.version = 8;
    return h;
}

uint16_t rectangleShape(swftest::SwfWriter& movie, swftest::Rgba colour, int32_t x, int32_t y,
                        int32_t w, int32_t h) {
    swftest::Shape s;
    s.fill1(s.addFill(swftest::FillStyle::solid(colour))).rectangle(x, y, w, h);
    return movie.defineShape(s);
}

// Up and over show a red box, down a blue one; the hit area is only the triangle of the
// box's upper left half. Its actions trace what happened; a release goes to frame 2.
uint16_t defineTestButton(swftest::SwfWriter& movie, uint16_t& upShape, uint16_t& downShape) {
    upShape = rectangleShape(movie, {255, 0, 0, 255}, 0, 0, 2000, 1000);
    downShape = rectangleShape(movie, {0, 0, 255, 255}, 0, 0, 2000, 1000);
    swftest::Shape triangle;
    triangle.fill1(triangle.addFill(swftest::FillStyle::solid({0, 0, 0, 255})))
        .moveTo(0, 0)
        .lineTo(2000, 0)
        .lineTo(0, 1000)
        .close();
    const uint16_t hit = movie.defineShape(triangle);
    swftest::Button b;
    b.records = {{0x03, upShape, 1, {}, {}}, {0x04, downShape, 1, {}, {}}, {0x08, hit, 1, {}, {}}};
    b.conditions = {{0x0001, swftest::Actions().trace("over")},
                    {0x0004, swftest::Actions().trace("press")},
                    {0x0008, swftest::Actions().trace("release").gotoFrame(1)},
                    {0x0040, swftest::Actions().trace("outside")},
                    {13 << 9, swftest::Actions().trace("enter")}};
    return movie.defineButton2(b);
}

// The button twice its size at (1000, 1000) twips: the hit triangle runs from there to
// (5000, 1000) and (1000, 3000).
std::vector<uint8_t> buttonMovie(bool masked) {
    swftest::SwfWriter movie(version8());
    uint16_t up = 0;
    uint16_t down = 0;
    const uint16_t button = defineTestButton(movie, up, down);
    if (masked) {
        // Only the stage's left 2000 twips show what lies above the mask.
        swftest::PlaceObject mask;
        mask.depth = 1;
        mask.characterId = rectangleShape(movie, {0, 0, 0, 255}, 0, 0, 2000, 8000);
        mask.clipDepth = 3;
        movie.placeObject(mask);
    }
    swftest::PlaceObject place;
    place.depth = 2;
    place.characterId = button;
    place.matrix = swftest::Matrix::scale(2.0, 2.0, 1000, 1000);
    place.name = "btn";
    movie.placeObject(place);
    movie.doAction(swftest::Actions().stop());
    movie.showFrame();
    movie.showFrame();
    return movie.finish();
}

TEST(StageInputTest, ButtonRollsOverPressesAndReleasesInsideItsHitShapeOnly) {
    InteractiveMovie m(buttonMovie(false));
    // Inside the box the button shows, but outside its hit triangle: nothing.
    m.input->mouseMove(4600, 2600);
    EXPECT_TRUE(m.take().empty());
    m.input->mouseMove(1400, 1400);
    EXPECT_EQ(m.take(), Lines{"over"});
    m.input->mouseDown(1400, 1400);
    EXPECT_EQ(m.take(), Lines{"press"});
    m.input->mouseUp(1400, 1400);
    EXPECT_EQ(m.take(), Lines{"release"});
    // The release's actions ran on the button's timeline, the root.
    EXPECT_EQ(m.player->currentFrame(), 1u);
}

TEST(StageInputTest, ButtonShowsTheChildrenOfItsState) {
    InteractiveMovie m(buttonMovie(false));
    DisplayObject& button = m.child("btn");
    ASSERT_TRUE(button.clip);
    const auto shown = [&] {
        return button.clip->displayList.size() == 1
                   ? button.clip->displayList.begin()->second->characterId
                   : 0;
    };
    const uint16_t up = shown();
    EXPECT_NE(up, 0);
    m.input->mouseMove(1400, 1400);
    EXPECT_EQ(shown(), up); // over shows the same box: kept, not made again
    m.input->mouseDown(1400, 1400);
    EXPECT_NE(shown(), up);
    EXPECT_EQ(button.buttonState, 0x04);
    m.input->mouseMove(100, 7000); // dragged out: the over state
    EXPECT_EQ(shown(), up);
    m.input->mouseUp(100, 7000);
    EXPECT_EQ(m.take(), (Lines{"over", "press", "outside"}));
    EXPECT_EQ(button.buttonState, 0x01);
    EXPECT_EQ(m.player->currentFrame(), 0u);
}

TEST(StageInputTest, MaskHidesTheButtonsHitAreaToo) {
    InteractiveMovie m(buttonMovie(true));
    // In the triangle, but right of the mask.
    m.click(2600, 1100);
    EXPECT_TRUE(m.take().empty());
    m.click(1400, 1400);
    EXPECT_EQ(m.take(), (Lines{"over", "press", "release"}));
}

TEST(StageInputTest, DisabledButtonIgnoresThePointerButNotItsKey) {
    InteractiveMovie m(buttonMovie(false));
    avm1::Machine& machine = m.scripts->machine();
    machine.set(m.scripts->objectOf(m.child("btn")), "enabled", avm1::Value(false));
    m.click(1400, 1400);
    EXPECT_TRUE(m.take().empty());
    machine.set(m.scripts->objectOf(m.child("btn")), "enabled", avm1::Value(true));
    m.input->keyDown(*keyOfName("Enter"));
    EXPECT_EQ(m.take(), Lines{"enter"});
    m.input->keyDown(*keyOfName("Space"));
    EXPECT_TRUE(m.take().empty());
}

TEST(StageInputTest, ClipWithAPressHandlerActsAsAButtonAndReadsThePointer) {
    swftest::SwfWriter movie(version8());
    swftest::Sprite box;
    box.place(rectangleShape(movie, {0, 128, 0, 255}, 0, 0, 1000, 1000), 1);
    box.showFrame();
    swftest::PlaceObject place;
    place.depth = 1;
    place.characterId = movie.defineSprite(box);
    // Turned a quarter and moved: its own space differs from the stage's.
    place.matrix = swftest::Matrix::scaleRotate(1.0, 3.14159265358979 / 2, 3000, 3000);
    place.name = "clip";
    movie.placeObject(place);
    movie.doAction(swftest::Actions()
                       .push("clip")
                       .code(0x1C) // GetVariable
                       .push("onRelease")
                       .function(swftest::Actions().trace("clip released"))
                       .code(0x4F)); // SetMember
    movie.showFrame();
    InteractiveMovie m(movie.finish());
    // A quarter turn clockwise puts the box left of its origin: (2000..3000, 3000..4000).
    m.click(3500, 3500);
    EXPECT_TRUE(m.take().empty());
    m.click(2500, 3500);
    EXPECT_EQ(m.take(), Lines{"clip released"});
    StageObject* clip = m.scripts->objectOf(m.child("clip"));
    avm1::Machine& machine = m.scripts->machine();
    EXPECT_NEAR(machine.toNumber(machine.get(clip, "_xmouse")), 25.0, 0.01);
    EXPECT_NEAR(machine.toNumber(machine.get(clip, "_ymouse")), 25.0, 0.01);
    EXPECT_TRUE(m.input->wantsHandCursor());
    machine.set(clip, "useHandCursor", avm1::Value(false));
    EXPECT_FALSE(m.input->wantsHandCursor());
}

TEST(StageInputTest, KeysAreDownUntilReleasedAndTheLastOneIsKept) {
    InteractiveMovie m(buttonMovie(false));
    m.input->keyDown(*keyOfCharacter('q'));
    EXPECT_TRUE(m.input->state().keysDown[81]);
    EXPECT_EQ(m.input->state().lastKey, (KeyStroke{81, 113}));
    m.input->keyUp(*keyOfCharacter('q'));
    EXPECT_FALSE(m.input->state().keysDown[81]);
    m.input->mouseDown(10, 10);
    EXPECT_TRUE(m.input->state().keysDown[1]); // the left button as scripts ask for it
    m.input->mouseUp(10, 10);
    EXPECT_FALSE(m.input->state().keysDown[1]);
}

TEST(HitTestTest, FilledDrawingContainsByItsFillRule) {
    swf::ShapeDrawing drawing;
    swf::Layer layer;
    swf::FillPath fill;
    // An outer square with a hole: even-odd leaves the hole empty.
    fill.path.moveTo({0, 0});
    fill.path.lineTo({100, 0});
    fill.path.lineTo({100, 100});
    fill.path.lineTo({0, 100});
    fill.path.close();
    fill.path.moveTo({25, 25});
    fill.path.lineTo({75, 25});
    fill.path.lineTo({75, 75});
    fill.path.lineTo({25, 75});
    fill.path.close();
    layer.fills.push_back(fill);
    drawing.layers.push_back(layer);
    EXPECT_TRUE(drawingContains(drawing, 10, 10));
    EXPECT_FALSE(drawingContains(drawing, 50, 50));
    EXPECT_FALSE(drawingContains(drawing, 150, 50));
    drawing.fillRule = swf::FillRule::NonZero; // both contours turn the same way
    EXPECT_TRUE(drawingContains(drawing, 50, 50));
}

TEST(HitTestTest, CurvesCountByTheirBulge) {
    swf::ShapeDrawing drawing;
    swf::Layer layer;
    swf::FillPath fill;
    fill.path.moveTo({0, 0});
    fill.path.quadTo({50, 100}, {100, 0}); // bulges down to y = 50
    fill.path.close();
    layer.fills.push_back(fill);
    drawing.layers.push_back(layer);
    EXPECT_TRUE(drawingContains(drawing, 50, 40));
    EXPECT_FALSE(drawingContains(drawing, 50, 60));
    EXPECT_FALSE(drawingContains(drawing, 5, 40));
}

} // namespace
} // namespace mc
