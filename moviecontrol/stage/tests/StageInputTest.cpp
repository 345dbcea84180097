#include <gtest/gtest.h>

#include "InteractiveMovie.h"
#include "MovieCatalog.h"
#include "StageInput.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

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

TEST(StageInputTest, ADisabledButtonShowsItsUpStateAndIsRolledOverAfreshOnceEnabled) {
    InteractiveMovie m(buttonMovie(false));
    avm1::Machine& machine = m.scripts->machine();
    DisplayObject& button = m.child("btn");
    const auto enable = [&](bool on) {
        machine.set(m.scripts->objectOf(button), "enabled", avm1::Value(on));
    };
    const KeyStroke q = *keyOfCharacter('q');
    // Disabled under the still pointer, by a key's script or before the pointer moves.
    for (const bool byKey : {true, false}) {
        SCOPED_TRACE(byKey ? "by a key" : "before a move");
        m.input->mouseMove(5000, 5000);
        m.input->mouseMove(1400, 1400);
        EXPECT_EQ(m.take(), Lines{"over"});
        enable(false);
        if (byKey) {
            m.input->keyDown(q);
            m.input->keyUp(q);
        } else {
            m.input->mouseMove(1405, 1400);
        }
        EXPECT_EQ(button.buttonState, 0x01);
        enable(true);
        m.input->mouseMove(1410, 1400);
        EXPECT_EQ(m.take(), Lines{"over"});
        EXPECT_EQ(button.buttonState, 0x02);
    }
    // Disabled while pressed: the press is forgotten, and the release only rolls it over.
    m.input->mouseDown(1410, 1400);
    EXPECT_EQ(m.take(), Lines{"press"});
    enable(false);
    m.input->keyDown(q);
    EXPECT_EQ(button.buttonState, 0x01);
    enable(true);
    m.input->mouseUp(1410, 1400);
    EXPECT_EQ(m.take(), Lines{"over"});
}

TEST(StageInputTest, ClipWithAPressHandlerActsAsAButtonAndReadsThePointer) {
    moviemaker::SwfWriter movie(version8());
    moviemaker::Sprite box;
    box.place(rectangleShape(movie, {0, 128, 0, 255}, 0, 0, 1000, 1000), 1);
    box.showFrame();
    moviemaker::PlaceObject place;
    place.depth = 1;
    place.characterId = movie.defineSprite(box);
    // Turned a quarter and moved: its own space differs from the stage's.
    place.matrix = moviemaker::Matrix::scaleRotate(1.0, 3.14159265358979 / 2, 3000, 3000);
    place.name = "clip";
    movie.placeObject(place);
    movie.doAction(moviemaker::Actions()
                       .push("clip")
                       .code(0x1C) // GetVariable
                       .push("onRelease")
                       .function(moviemaker::Actions().trace("clip released"))
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

TEST(StageInputTest, TheWheelScrollsTheTextFieldUnderThePointerByLines) {
    // A field 100 by 20 pixels at the corner, one line in view of six.
    moviemaker::SwfWriter movie(version8());
    moviemaker::Actions a;
    a.callMethod("this", "createTextField", {"tf", "1", "0", "0", "100", "20"});
    a.setVariable("tf.multiline", "1");
    a.setVariable("tf.text", "a\rb\rc\rd\re\rf");
    a.stop();
    movie.doAction(a);
    movie.showFrame();
    InteractiveMovie m(movie.finish());
    m.player->advance();
    avm1::Machine& machine = m.scripts->machine();
    avm1::Object* field = machine.get(m.scripts->objectOf(m.player->rootObject()), "tf").asObject();
    ASSERT_NE(field, nullptr);
    const auto scroll = [&] { return machine.toNumber(machine.get(field, "scroll")); };
    m.input->mouseMove(400, 200);
    // A turn towards the person scrolls down, away scrolls up, within what the text allows.
    const std::vector<std::pair<int, double>> turns = {{-2, 3}, {1, 2}, {5, 1}, {-99, 6}};
    for (const auto& [turn, then] : turns) {
        m.input->wheel(turn);
        EXPECT_EQ(scroll(), then) << turn;
    }
    // Nothing scrolls beside the field, nor once a script turned the wheel off.
    m.input->mouseMove(4000, 200);
    m.input->wheel(3);
    EXPECT_EQ(scroll(), 6);
    m.input->mouseMove(400, 200);
    machine.set(field, "mouseWheelEnabled", avm1::Value(false));
    m.input->wheel(3);
    EXPECT_EQ(scroll(), 6);
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
