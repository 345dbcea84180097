// An older movie inside an ActionScript 3 movie hears the person as a movie playing alone
// would: its Mouse and Key listeners and clip events, its clips' button handlers when the
// pointer is over them, the pointer in its own space through the Loader's placing, dragging,
// and typing into its input fields. Each of two such movies hears an event once, and only
// the one on top gets the pointer where both lie.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "KeyCodes.h"
#include "OlderMovieHost.h"

namespace mc {
namespace {

using avm2test::Bytes;
using hosting::Host;
using moviemaker::Actions;
using Lines = std::vector<std::string>;

// name = new Object()
Actions& newObject(Actions& a, std::string_view name) {
    return a.push(name).push(0.0).push("Object").code(0x40).code(0x1D);
}

// object.member = function () { body }
Actions& setMethod(Actions& a, std::string_view object, std::string_view member,
                   const Actions& body) {
    return a.push(object).code(0x1C).push(member).function(body).code(0x4F);
}

// owner.addListener(listener)
Actions& addListener(Actions& a, std::string_view owner, std::string_view listener) {
    return a.push(listener)
        .code(0x1C)
        .push(1.0)
        .push(owner)
        .code(0x1C)
        .push("addListener")
        .code(0x52)
        .code(0x17);
}

// trace(Key.isDown(code))
Actions& traceKeyDown(Actions& a, double code) {
    return a.push(code).push(1.0).push("Key").code(0x1C).push("isDown").code(0x52).code(0x26);
}

// A square clip named `name`, 1000 twips a side, at (x, y) twips of the movie's root, with
// the handlers of `handlers` tracing their own names.
void placeBox(moviemaker::SwfWriter& movie, Actions& script, const std::string& name,
              std::uint16_t depth, std::int32_t x, std::int32_t y,
              const std::vector<std::string>& handlers) {
    moviemaker::Shape shape;
    shape.fill1(shape.addFill(moviemaker::FillStyle::solid({0, 120, 0})))
        .rectangle(0, 0, 1000, 1000);
    moviemaker::Sprite box;
    box.place(movie.defineShape(shape), 1);
    box.showFrame();
    moviemaker::PlaceObject place;
    place.depth = depth;
    place.characterId = movie.defineSprite(box);
    place.matrix = moviemaker::Matrix::translate(x, y);
    place.name = name;
    movie.placeObject(place);
    for (const std::string& handler : handlers) {
        setMethod(script, name, handler, Actions().trace(name + " " + handler));
    }
}

Bytes olderWith(const std::function<void(moviemaker::SwfWriter&, Actions&)>& build) {
    moviemaker::MovieHeader h;
    h.version = 8;
    h.frameSize = moviemaker::Rect::pixels(100, 100);
    moviemaker::SwfWriter movie(h);
    Actions script;
    build(movie, script);
    movie.doAction(script.stop());
    movie.showFrame();
    return movie.finish();
}

struct PlacedHost : Host {
    PlacedHost() = default;
    explicit PlacedHost(const Bytes& movie) : Host({}, {}, movie) {}
    // A Loader at (x, y) pixels of the host's root, scaled by `scale`, holding `movie`.
    std::optional<avm2::LoadedContent> placeAt(const Bytes& movie, double x, double y,
                                               double scale = 1) {
        const avm2::NodeId loader = loaderUnder();
        display->setNumber(loader, avm2::NodeProperty::X, x);
        display->setNumber(loader, avm2::NodeProperty::Y, y);
        display->setNumber(loader, avm2::NodeProperty::ScaleX, scale);
        display->setNumber(loader, avm2::NodeProperty::ScaleY, scale);
        auto placed = loads->placeContent(loader, movie, "older.swf");
        playback->stepFrame();
        traced.clear();
        return placed;
    }
    StageInput& input() { return playback->input(); }
    void click(double x, double y) {
        input().mouseMove(x, y);
        input().mouseDown(x, y);
        input().mouseUp(x, y);
    }
    Lines take() { return std::exchange(traced, {}); }
};

TEST(As3HostedInputTest, ListenersHearThePointerInTheMoviesOwnSpaceAndTheKeys) {
    PlacedHost host;
    const Bytes older = olderWith([](moviemaker::SwfWriter&, Actions& a) {
        newObject(a, "l");
        setMethod(a, "l", "onMouseDown",
                  Actions().traceValue("_root._xmouse").traceValue("_root._ymouse"));
        setMethod(a, "l", "onMouseUp", Actions().trace("up"));
        Actions keyDown;
        keyDown.push(0.0).push("Key").code(0x1C).push("getCode").code(0x52).code(0x26);
        traceKeyDown(keyDown, 65);
        setMethod(a, "l", "onKeyDown", keyDown);
        Actions keyUp;
        traceKeyDown(keyUp, 65);
        setMethod(a, "l", "onKeyUp", keyUp);
        addListener(a, "Mouse", "l");
        addListener(a, "Key", "l");
    });
    // Placed at (50, 20) pixels, twice its size.
    ASSERT_TRUE(host.placeAt(older, 50, 20, 2).has_value());
    host.input().mouseMove(1500, 1000);
    host.input().mouseDown(1500, 1000);
    host.input().mouseUp(1500, 1000);
    // (75, 50) pixels of the stage are (12.5, 15) of the movie.
    EXPECT_EQ(host.take(), (Lines{"12.5", "15", "up"}));
    host.input().keyDown(*keyOfCharacter('a'));
    host.input().keyUp(*keyOfCharacter('a'));
    EXPECT_EQ(host.take(), (Lines{"65", "true", "false"}));
}

TEST(As3HostedInputTest, ItsClipsActAsButtonsUnderThePointer) {
    PlacedHost host;
    const Bytes older = olderWith([](moviemaker::SwfWriter& movie, Actions& a) {
        placeBox(movie, a, "box", 1, 1000, 1000,
                 {"onRollOver", "onRollOut", "onPress", "onRelease", "onReleaseOutside",
                  "onDragOut", "onDragOver"});
    });
    // Moved 20 pixels right: the box spans (1400..2400, 1000..2000) twips of the stage.
    ASSERT_TRUE(host.placeAt(older, 20, 0).has_value());
    host.input().mouseMove(1200, 1500);
    EXPECT_TRUE(host.take().empty());
    host.click(1500, 1500);
    EXPECT_EQ(host.take(), (Lines{"box onRollOver", "box onPress", "box onRelease"}));
    host.input().mouseDown(1500, 1500);
    host.input().mouseMove(3000, 1500);
    host.input().mouseMove(1500, 1500);
    host.input().mouseMove(3000, 1500);
    host.input().mouseUp(3000, 1500);
    EXPECT_EQ(host.take(), (Lines{"box onPress", "box onDragOut", "box onDragOver", "box onDragOut",
                                  "box onReleaseOutside"}));
    EXPECT_FALSE(host.input().wantsHandCursor());
    host.input().mouseMove(1500, 1500);
    EXPECT_TRUE(host.input().wantsHandCursor());
}

TEST(As3HostedInputTest, ItsMouseHideHidesThePointerOverTheStage) {
    PlacedHost host;
    ASSERT_TRUE(host.placeAt(olderWith([](moviemaker::SwfWriter&, Actions& a) {
                                 a.callMethod("Mouse", "hide");
                             }),
                             0, 0)
                    .has_value());
    EXPECT_TRUE(host.input().pointerHidden());
}

TEST(As3HostedInputTest, EachMovieHearsAnEventOnceAndOnlyTheTopOneIsPressed) {
    PlacedHost host;
    const auto movieNamed = [](const std::string& name) {
        return olderWith([name](moviemaker::SwfWriter& movie, Actions& a) {
            placeBox(movie, a, name, 1, 0, 0, {"onPress"});
            newObject(a, "l");
            setMethod(a, "l", "onMouseDown", Actions().trace(name + " heard"));
            addListener(a, "Mouse", "l");
        });
    };
    // The later Loader goes below the earlier: both boxes cover (0..1000, 0..1000).
    ASSERT_TRUE(host.placeAt(movieNamed("top"), 0, 0).has_value());
    ASSERT_TRUE(host.placeAt(movieNamed("below"), 0, 0).has_value());
    host.click(500, 500);
    Lines heard = host.take();
    std::sort(heard.begin(), heard.end());
    EXPECT_EQ(heard, (Lines{"below heard", "top heard", "top onPress"}));
}

TEST(As3HostedInputTest, ASpriteOfTheHostAboveKeepsThePointerFromIt) {
    // The host's timeline shows a sprite over its left half, above the Loaders.
    PlacedHost host(hosting::hostMovie([](moviemaker::SwfWriter& movie) {
        moviemaker::Shape shape;
        shape.fill1(shape.addFill(moviemaker::FillStyle::solid({0, 0, 200})))
            .rectangle(0, 0, 2000, 2000);
        moviemaker::Sprite cover;
        cover.place(movie.defineShape(shape), 1);
        cover.showFrame();
        movie.place(movie.defineSprite(cover), 10);
    }));
    const Bytes older = olderWith([](moviemaker::SwfWriter& movie, Actions& a) {
        placeBox(movie, a, "under", 1, 1000, 0, {"onPress"});
        placeBox(movie, a, "beside", 2, 2500, 0, {"onPress"});
    });
    ASSERT_TRUE(host.placeAt(older, 0, 0).has_value());
    host.click(1500, 500);
    host.click(3000, 500);
    EXPECT_EQ(host.take(), Lines{"beside onPress"});
}

TEST(As3HostedInputTest, ADraggedClipFollowsThePointerInItsParentsSpace) {
    PlacedHost host;
    const Bytes older = olderWith([](moviemaker::SwfWriter& movie, Actions& a) {
        placeBox(movie, a, "box", 1, 0, 0, {});
        // box.onPress = function () { this.startDrag(); }
        setMethod(a, "box", "onPress", Actions().callMethod("this", "startDrag"));
        setMethod(
            a, "box", "onRelease",
            Actions().callMethod("this", "stopDrag").traceValue("box._x").traceValue("box._y"));
    });
    // At (100, 0) pixels, half its size.
    ASSERT_TRUE(host.placeAt(older, 100, 0, 0.5).has_value());
    host.input().mouseMove(2100, 100);
    host.input().mouseDown(2100, 100);
    // 10 pixels right and 5 down on the stage are 20 and 10 of the movie.
    host.input().mouseMove(2300, 200);
    host.input().mouseUp(2300, 200);
    EXPECT_EQ(host.take(), (Lines{"20", "10"}));
}

TEST(As3HostedInputTest, APressFocusesItsInputFieldAndTypingFillsIt) {
    PlacedHost host;
    const Bytes older = olderWith([](moviemaker::SwfWriter&, Actions& a) {
        a.callMethod("this", "createTextField", {"tf", "1", "0", "0", "100", "20"});
        a.setVariable("tf.type", "input");
        setMethod(a, "tf", "onChanged", Actions().traceValue("tf.text"));
        setMethod(a, "tf", "onSetFocus", Actions().trace("focus"));
    });
    ASSERT_TRUE(host.placeAt(older, 0, 0).has_value());
    host.click(200, 200);
    host.input().keyDown(*keyOfCharacter('h'));
    host.input().typeText("i");
    EXPECT_EQ(host.take(), (Lines{"focus", "h", "hi"}));
    // A press away from it takes the focus from it: the keys type nothing there.
    host.click(3000, 1800);
    host.input().keyDown(*keyOfCharacter('x'));
    EXPECT_TRUE(host.take().empty());
}

} // namespace
} // namespace mc
