#include <gtest/gtest.h>

#include "ButtonTracker.h"
#include "KeyCodes.h"

namespace mc {
namespace {

constexpr PointerTarget kA{1, false};
constexpr PointerTarget kB{2, false};
constexpr PointerTarget kMenu1{3, true};
constexpr PointerTarget kMenu2{4, true};
constexpr PointerTarget kNothing{};

using Changes = std::vector<ButtonChange>;

TEST(ButtonTrackerTest, PushButtonGoesOverDownAndBackWithItsEvents) {
    ButtonTracker t;
    EXPECT_EQ(t.moved(kA), (Changes{{kA, ButtonEvent::RollOver}}));
    EXPECT_EQ(t.moved(kA), Changes{}); // no change, no event
    EXPECT_EQ(t.pressed(kA), (Changes{{kA, ButtonEvent::Press}}));
    EXPECT_EQ(t.moved(kNothing), (Changes{{kA, ButtonEvent::DragOut}}));
    EXPECT_EQ(t.moved(kA), (Changes{{kA, ButtonEvent::DragOver}}));
    EXPECT_EQ(t.released(kA), (Changes{{kA, ButtonEvent::Release}}));
    EXPECT_EQ(t.moved(kNothing), (Changes{{kA, ButtonEvent::RollOut}}));
}

TEST(ButtonTrackerTest, HeldPushButtonKeepsThePointerUntilReleasedOutside) {
    ButtonTracker t;
    t.moved(kA);
    t.pressed(kA);
    // Another button under the held pointer does not roll over: it hears a drag over it,
    // after the pressed one heard the pointer leave.
    EXPECT_EQ(t.moved(kB), (Changes{{kA, ButtonEvent::DragOut}, {kB, ButtonEvent::DragOver}}));
    EXPECT_EQ(t.moved(kNothing), (Changes{{kB, ButtonEvent::DragOut}}));
    EXPECT_EQ(t.moved(kB), (Changes{{kB, ButtonEvent::DragOver}}));
    // Coming back to the pressed one: the other hears the pointer leave.
    EXPECT_EQ(t.moved(kA), (Changes{{kA, ButtonEvent::DragOver}, {kB, ButtonEvent::DragOut}}));
    EXPECT_EQ(t.moved(kB), (Changes{{kA, ButtonEvent::DragOut}, {kB, ButtonEvent::DragOver}}));
    // Released over the one it dragged over: that one rolls over, as after any move.
    EXPECT_EQ(t.released(kB),
              (Changes{{kA, ButtonEvent::ReleaseOutside}, {kB, ButtonEvent::RollOver}}));
    EXPECT_EQ(t.hovered(), kB.id);
    EXPECT_FALSE(t.down());
    EXPECT_EQ(t.moved(kNothing), (Changes{{kB, ButtonEvent::RollOut}}));
}

TEST(ButtonTrackerTest, WithoutDragEventsOnlyThePressedButtonHearsTheHeldPointer) {
    ButtonTracker t;
    t.dragEvents(false);
    t.moved(kA);
    t.pressed(kA);
    EXPECT_EQ(t.moved(kB), (Changes{{kA, ButtonEvent::DragOut}}));
    EXPECT_EQ(t.released(kB),
              (Changes{{kA, ButtonEvent::ReleaseOutside}, {kB, ButtonEvent::RollOver}}));
    EXPECT_EQ(t.hovered(), kB.id);
}

TEST(ButtonTrackerTest, PressedOverNothingTheHeldPointerDragsOverWhatItPasses) {
    ButtonTracker t;
    t.pressed(kNothing);
    EXPECT_EQ(t.moved(kA), (Changes{{kA, ButtonEvent::DragOver}}));
    EXPECT_EQ(t.moved(kB), (Changes{{kA, ButtonEvent::DragOut}, {kB, ButtonEvent::DragOver}}));
    // Nothing was pressed: nothing is released, and B rolls over.
    EXPECT_EQ(t.released(kB), (Changes{{kB, ButtonEvent::RollOver}}));
    EXPECT_EQ(t.moved(kA), (Changes{{kB, ButtonEvent::RollOut}, {kA, ButtonEvent::RollOver}}));
}

TEST(ButtonTrackerTest, PressWithoutAMoveFirstRollsOverThenPresses) {
    ButtonTracker t;
    EXPECT_EQ(t.pressed(kA), (Changes{{kA, ButtonEvent::RollOver}, {kA, ButtonEvent::Press}}));
    // A second press without a release changes nothing.
    EXPECT_EQ(t.pressed(kB), Changes{});
    EXPECT_EQ(t.released(kA), (Changes{{kA, ButtonEvent::Release}}));
}

TEST(ButtonTrackerTest, MenuButtonsLightUpAsTheHeldPointerPassesAndTheLastOneIsReleased) {
    ButtonTracker t;
    t.pressed(kMenu1);
    EXPECT_EQ(t.moved(kMenu2),
              (Changes{{kMenu1, ButtonEvent::MenuDragOut}, {kMenu2, ButtonEvent::MenuDragOver}}));
    // A push button under a held menu hears the pointer drag over and out of it.
    EXPECT_EQ(t.moved(kA),
              (Changes{{kMenu2, ButtonEvent::MenuDragOut}, {kA, ButtonEvent::DragOver}}));
    EXPECT_EQ(t.moved(kMenu2),
              (Changes{{kA, ButtonEvent::DragOut}, {kMenu2, ButtonEvent::MenuDragOver}}));
    EXPECT_EQ(t.released(kMenu2), (Changes{{kMenu2, ButtonEvent::Release}}));
    // A menu released over nothing has already gone idle: no release outside.
    t.pressed(kMenu1);
    EXPECT_EQ(t.released(kNothing), (Changes{{kMenu1, ButtonEvent::MenuDragOut}}));
}

TEST(ButtonTrackerTest, ForgottenTargetGetsNoMoreEvents) {
    ButtonTracker t;
    t.pressed(kA);
    t.forget(kA.id);
    EXPECT_EQ(t.released(kNothing), Changes{});
}

TEST(ButtonTrackerTest, EventsMapToStatesConditionsAndHandlers) {
    EXPECT_EQ(stateAfter(ButtonEvent::RollOver, false), 0x02);
    EXPECT_EQ(stateAfter(ButtonEvent::Press, false), 0x04);
    EXPECT_EQ(stateAfter(ButtonEvent::DragOut, false), 0x02); // a held push button: over
    EXPECT_EQ(stateAfter(ButtonEvent::DragOut, true), 0x01);  // a menu: up
    EXPECT_EQ(stateAfter(ButtonEvent::ReleaseOutside, false), 0x01);
    // The condition bits of the button's action blocks, low bit first.
    EXPECT_EQ(conditionOf(ButtonEvent::RollOver), 0x0001);
    EXPECT_EQ(conditionOf(ButtonEvent::Press), 0x0004);
    EXPECT_EQ(conditionOf(ButtonEvent::Release), 0x0008);
    EXPECT_EQ(conditionOf(ButtonEvent::DragOut), 0x0010);
    EXPECT_EQ(conditionOf(ButtonEvent::DragOver), 0x0020);
    EXPECT_EQ(conditionOf(ButtonEvent::ReleaseOutside), 0x0040);
    EXPECT_EQ(conditionOf(ButtonEvent::MenuDragOut), 0x0100);
    EXPECT_STREQ(handlerOf(ButtonEvent::MenuDragOver), "onDragOver");
    EXPECT_EQ(clipEventOf(ButtonEvent::ReleaseOutside), 0x00001000u);
}

TEST(KeyCodesTest, NamedAndTypedKeysGiveTheirCodesAndCharacters) {
    EXPECT_EQ(keyOfName("ArrowLeft"), (KeyStroke{37, 0}));
    EXPECT_EQ(keyOfName("Enter"), (KeyStroke{13, 13}));
    EXPECT_EQ(keyOfName("LeftShift"), (KeyStroke{16, 0, KeyLocation::Left}));
    EXPECT_EQ(keyOfName("RightControl"), (KeyStroke{17, 0, KeyLocation::Right}));
    EXPECT_EQ(keyOfName("F5"), (KeyStroke{116, 0}));
    EXPECT_EQ(keyOfName("F12"), (KeyStroke{123, 0}));
    EXPECT_FALSE(keyOfName("F13"));
    EXPECT_FALSE(keyOfName("F"));
    EXPECT_FALSE(keyOfName("Hyper"));
    EXPECT_EQ(keyOfCharacter('a'), (KeyStroke{65, 97}));
    EXPECT_EQ(keyOfCharacter('Z'), (KeyStroke{90, 90}));
    EXPECT_EQ(keyOfCharacter('7'), (KeyStroke{55, 55}));
    EXPECT_EQ(keyOfCharacter(';'), (KeyStroke{186, 59}));
    EXPECT_EQ(keyOfCharacter('!'), (KeyStroke{49, 33}));
    EXPECT_FALSE(keyOfCharacter(U'\u4e2d'));
}

TEST(KeyCodesTest, KeypadKeysHaveCodesOfTheirOwnAndTheKeypadLocation) {
    constexpr KeyLocation pad = KeyLocation::NumPad;
    EXPECT_EQ(keyOfNumPad('0'), (KeyStroke{96, 48, pad}));
    EXPECT_EQ(keyOfNumPad('9'), (KeyStroke{105, 57, pad}));
    EXPECT_EQ(keyOfNumPad('*'), (KeyStroke{106, 42, pad}));
    EXPECT_EQ(keyOfNumPad('+'), (KeyStroke{107, 43, pad}));
    EXPECT_EQ(keyOfNumPad('-'), (KeyStroke{109, 45, pad}));
    EXPECT_EQ(keyOfNumPad('.'), (KeyStroke{110, 46, pad}));
    EXPECT_EQ(keyOfNumPad('/'), (KeyStroke{111, 47, pad}));
    EXPECT_FALSE(keyOfNumPad('a'));
    EXPECT_FALSE(keyOfNumPad('='));
    // Without NumLock the keypad moves and edits, still from the keypad.
    EXPECT_EQ(keyOfName("NumpadHome"), (KeyStroke{36, 0, pad}));
    EXPECT_EQ(keyOfName("NumpadDelete"), (KeyStroke{46, 127, pad}));
    EXPECT_EQ(keyOfName("Home"), (KeyStroke{36, 0}));
}

TEST(KeyCodesTest, ButtonKeyNumbersOfMovingKeysAndCharacters) {
    EXPECT_EQ(buttonKeyOf({key_code::Left, 0}), 1);
    EXPECT_EQ(buttonKeyOf({key_code::Right, 0}), 2);
    EXPECT_EQ(buttonKeyOf({key_code::Enter, 13}), 13);
    EXPECT_EQ(buttonKeyOf({key_code::Up, 0}), 14);
    EXPECT_EQ(buttonKeyOf({key_code::Tab, 9}), 18);
    EXPECT_EQ(buttonKeyOf({key_code::Escape, 27}), 19);
    EXPECT_EQ(buttonKeyOf({65, 97}), 97); // a typed 'a'
    EXPECT_EQ(buttonKeyOf({key_code::Shift, 0}), 0);
}

} // namespace
} // namespace mc
