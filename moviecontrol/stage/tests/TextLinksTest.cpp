// Links in html text: asfunction addresses call into the movie, from a click or a getURL.
#include <gtest/gtest.h>

#include "InteractiveMovie.h"
#include "StageObject.h"
#include "TextLinks.h"
#include "swf/ActionCodes.h"

namespace mc {
namespace {

using avm1::Value;
namespace op = swf::op;

TEST(TextLinksTest, AsFunctionAddressesSplitAtTheFirstComma) {
    struct Case {
        const char* url;
        bool isCall;
        const char* function;
        const char* argument; // null: no argument at all
    };
    const Case cases[] = {
        {"asfunction:f,a", true, "f", "a"},
        {"asfunction:f,a,b", true, "f", "a,b"},
        {"ASFunction:_root.f,", true, "_root.f", ""},
        {"asfunction:f", true, "f", nullptr},
        {"asfunction:", true, "", nullptr},
        {"asfunction", false, "", nullptr},
        {" asfunction:f", false, "", nullptr},
        {"http://example.com/?asfunction:f", false, "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(isAsFunction(c.url), c.isCall);
        const auto call = parseAsFunction(c.url);
        ASSERT_EQ(call.has_value(), c.isCall);
        if (call) {
            EXPECT_EQ(call->function, c.function);
            EXPECT_EQ(call->argument.has_value(), c.argument != nullptr);
            if (c.argument != nullptr && call->argument) {
                EXPECT_EQ(*call->argument, c.argument);
            }
        }
    }
}

// `function name(s) { trace(this + ":" + s); }`
moviemaker::Actions tracingFunction(std::string_view name) {
    return moviemaker::Actions().defineFunction(name, {"s"},
                                                moviemaker::Actions()
                                                    .push("this")
                                                    .code(op::GetVariable)
                                                    .push(":")
                                                    .code(op::Add2)
                                                    .push("s")
                                                    .code(op::GetVariable)
                                                    .code(op::Add2)
                                                    .code(op::Trace));
}

// The root defines hello; a clip `inner` defines its own; _global.shared is everyone's.
struct LinkMovie : InteractiveMovie {
    LinkMovie() : InteractiveMovie(movie()) { player->advance(); }

    static std::vector<uint8_t> movie() {
        moviemaker::SwfWriter movie(version8());
        moviemaker::Actions a = tracingFunction("hello");
        a.push("_global")
            .code(op::GetVariable)
            .push("shared")
            .raw(tracingFunction("").body())
            .code(op::SetMember);
        a.push(1).push("inner").push(2).push("_root").code(op::GetVariable);
        a.push("createEmptyMovieClip").code(op::CallMethod).code(op::Pop);
        a.push("inner").code(op::GetVariable).push("hello");
        a.raw(tracingFunction("").body()).code(op::SetMember);
        a.stop();
        movie.doAction(a);
        movie.showFrame();
        return movie.finish();
    }

    avm1::Machine& machine() { return scripts->machine(); }

    // An html field of `parent` at the top left, 200 by 40 pixels, all of it one link.
    void linkField(avm1::Object* parent, std::string_view href) {
        avm1::Machine& m = machine();
        const Value args[] = {
            Value(m.str("field")), Value(5), Value(0), Value(0), Value(200), Value(40)};
        m.callMethod(parent, "createTextField", args);
        avm1::Object* f = m.get(parent, "field").asObject();
        ASSERT_NE(f, nullptr);
        m.set(f, "html", Value(true));
        m.set(f, "htmlText",
              Value(m.str("<a href=\"" + std::string(href) + "\">a link to follow</a>")));
    }
};

TEST(TextLinksTest, ClickOnALinkCallsTheFunctionItNamesInTheFieldsTimeline) {
    struct Case {
        bool inInner;
        const char* href;
        Lines traced;
    };
    const Case cases[] = {
        {false, "asfunction:hello,world", {"_level0:world"}},
        {false, "ASFUNCTION:hello,a,b", {"_level0:a,b"}},
        {false, "asfunction:hello", {"_level0:undefined"}},
        {false, "asfunction:shared,from root", {"_level0:from root"}},
        // A function a path names is called on what holds it.
        {false, "asfunction:inner.hello,path", {"_level0.inner:path"}},
        {false, "asfunction:/inner:hello,slash", {"_level0.inner:slash"}},
        {false, "asfunction:nothing,here", {}},
        {false, "asfunction:", {}},
        // A field inside a clip calls its clip's function; the root's is out of its reach.
        {true, "asfunction:hello,inside", {"_level0.inner:inside"}},
        {true, "asfunction:_parent.hello,up", {"_level0:up"}},
        {true, "asfunction:shared,global", {"_level0.inner:global"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.href);
        LinkMovie movie;
        avm1::Object* parent =
            c.inInner ? movie.machine()
                            .get(movie.scripts->objectOf(movie.player->rootObject()), "inner")
                            .asObject()
                      : movie.scripts->objectOf(movie.player->rootObject());
        ASSERT_NE(parent, nullptr);
        movie.linkField(parent, c.href);
        movie.take();
        movie.click(200, 200);
        EXPECT_EQ(movie.take(), c.traced);
    }
}

TEST(TextLinksTest, ALinkIsFollowedAsItIsPressedWhereverTheButtonComesUp) {
    struct Case {
        double pressX, pressY, releaseX, releaseY;
        std::size_t callsOnPress, callsInAll;
    };
    const Case cases[] = {
        {200, 200, 300, 220, 1, 1},  // released within the link
        {200, 200, 200, 2000, 1, 1}, // released outside the field
        {3900, 700, 200, 200, 0, 0}, // pressed in the field past the text, released on the link
        {200, 1000, 200, 1000, 0, 0} // below the only line
    };
    for (const Case& c : cases) {
        LinkMovie movie;
        movie.linkField(movie.scripts->objectOf(movie.player->rootObject()), "asfunction:hello,x");
        movie.take();
        movie.input->mouseMove(c.pressX, c.pressY);
        movie.input->mouseDown(c.pressX, c.pressY);
        const std::size_t onPress = movie.take().size();
        movie.input->mouseMove(c.releaseX, c.releaseY);
        movie.input->mouseUp(c.releaseX, c.releaseY);
        EXPECT_EQ(onPress, c.callsOnPress) << c.pressX << "," << c.pressY;
        EXPECT_EQ(onPress + movie.take().size(), c.callsInAll)
            << c.pressX << "," << c.pressY << " -> " << c.releaseX << "," << c.releaseY;
    }
}

} // namespace
} // namespace mc
