// An error that escapes a loaded movie's code is announced on that movie's info, and on the
// way down to it and up again on the Loaders above it and the infos of the movies holding
// them; a Loader's own dispatcher never hears it at its target.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "AbcBuilder.h"
#include "FakeDisplayHost.h"
#include "avm2/DisplayClasses.h"
#include "avm2/Machine.h"

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Object;
using avm2::Value;

// Which dispatcher a listener heard the event on, by name; the phases it heard it in.
std::vector<std::pair<const Object*, std::string>>* gNames = nullptr;
std::vector<std::string>* gHeard = nullptr;

Value recordPhase(avm2::Machine& m, const Value&, Args& a) {
    const Value event = a.empty() ? Value() : a[0];
    const Value at = m.getProperty(event, Name::publicName("currentTarget"));
    std::string who = "?";
    for (const auto& [object, name] : *gNames) {
        if (at.isObject() && at.asObject() == object) {
            who = name;
        }
    }
    gHeard->push_back(who + " " + m.toString(m.getProperty(event, Name::publicName("eventPhase"))));
    if (who == "movie" && m.toString(m.getProperty(event, Name::publicName("error"))) == "kept") {
        m.callProperty(event, Name::publicName("preventDefault"), a);
    }
    return Value();
}

class UncaughtChain : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    avm2::Machine vm{host};
    std::vector<std::pair<const Object*, std::string>> names;
    std::vector<std::string> heard;

    void SetUp() override {
        vm.beginFrame();
        gNames = &names;
        gHeard = &heard;
    }
    void TearDown() override {
        gNames = nullptr;
        gHeard = nullptr;
    }
    Value get(const Value& o, const char* p) { return vm.getProperty(o, Name::publicName(p)); }
    Value call(const Value& o, const char* method, Args args = {}) {
        return vm.callProperty(o, Name::publicName(method), args);
    }
    Value make(const char* cls) {
        Args none;
        return vm.construct(Value::object(vm.findClass(cls)->classObject), none);
    }
    // Listens on `holder`'s uncaughtErrorEvents in both phases, under `name`.
    void listen(const Value& holder, const std::string& name) {
        const Value events = get(holder, "uncaughtErrorEvents");
        names.emplace_back(events.asObject(), name);
        for (bool capture : {true, false}) {
            call(events, "addEventListener",
                 {Value::string("uncaughtError"), Value::object(vm.newNative(recordPhase)),
                  Value::boolean(capture)});
        }
    }
    // A block whose script throws `what` as it starts, brought by the movie of `loader`.
    void runThrowing(const Value& loader, const std::string& what) {
        avm2test::AbcBuilder abc;
        const std::uint32_t text = abc.string(what);
        const std::uint32_t init = abc.method();
        abc.scripts.push_back({init, {}});
        avm2test::Bytes code{0xD0, 0x30, 0x2C};
        avm2test::u30(code, text);
        code.push_back(0x03); // throw
        abc.bodies.push_back(avm2test::BodySpec{init, 1, 1, 0, 1, code, {}});
        const avm2test::Bytes block = abc.build();
        const avm2::Machine::LoadingFor loading(
            vm, loader.isObject() ? loader.asObject()->displayNode : 0);
        vm.loadAbc(block, false);
    }
};

TEST_F(UncaughtChain, ErrorsTravelDownToTheirMovieAndUpAgain) {
    const Value root = Value::object(avm2::scriptObjectOf(vm, avm2test::FakeDisplayHost::kRoot));
    // The first movie holds an outer Loader; the movie in it (its content) holds an inner one.
    const Value outer = make("flash.display::Loader");
    call(root, "addChild", {outer});
    const Value content = make("flash.display::Sprite");
    host.tree.insertChild(outer.asObject()->displayNode, content.asObject()->displayNode, 0);
    const Value inner = make("flash.display::Loader");
    call(content, "addChild", {inner});
    listen(get(root, "loaderInfo"), "root");
    listen(outer, "outer");
    listen(get(outer, "contentLoaderInfo"), "middle");
    listen(inner, "inner");
    listen(get(inner, "contentLoaderInfo"), "movie");

    struct Case {
        const char* from;
        Value loader;
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        {"the first movie", Value::null(), {"root 2"}},
        {"the outer movie", outer, {"root 1", "outer 1", "middle 2", "outer 3", "root 3"}},
        {"the inner movie",
         inner,
         {"root 1", "outer 1", "middle 1", "inner 1", "movie 2", "inner 3", "middle 3", "outer 3",
          "root 3"}},
    };
    for (const Case& c : cases) {
        heard.clear();
        host.lines.clear();
        runThrowing(c.loader, "shown");
        EXPECT_EQ(heard, c.heard) << c.from;
        // Nobody prevented the default: the player reports the error too.
        EXPECT_EQ(host.lines,
                  std::vector<std::string>{"Error: Error #1000: Uncaught exception: shown"})
            << c.from;
    }
    // The movie's own listener keeps the error from the report; the rest still hear it.
    heard.clear();
    host.lines.clear();
    runThrowing(inner, "kept");
    EXPECT_EQ(heard.size(), 9u);
    EXPECT_TRUE(host.lines.empty());
}

TEST_F(UncaughtChain, ALoaderKeepsADispatcherOfItsOwn) {
    const Value loader = make("flash.display::Loader");
    const Value own = get(loader, "uncaughtErrorEvents");
    const Value ofInfo = get(get(loader, "contentLoaderInfo"), "uncaughtErrorEvents");
    ASSERT_TRUE(own.isObject() && ofInfo.isObject());
    EXPECT_NE(own.asObject(), ofInfo.asObject());
    EXPECT_EQ(get(loader, "uncaughtErrorEvents").asObject(), own.asObject());
    EXPECT_EQ(vm.className(own), "UncaughtErrorEvents");
}

} // namespace
