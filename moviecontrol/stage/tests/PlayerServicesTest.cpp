// The player's services a card cannot use but must meet as Flash offers them: the
// microphone, connections between movies and XML sockets.
#include <gtest/gtest.h>

#include "ScriptedMovie.h"
#include "StageObject.h"

namespace mc {
namespace {

using avm1::Value;

struct Services : StoppedMovie {
    using StoppedMovie::StoppedMovie;
    avm1::Object* global(std::string_view name) { return m().get(m().global(), name).asObject(); }
    avm1::Object* made(std::string_view className) {
        return m().construct(Value(global(className)), {});
    }
    Value call(avm1::Object* o, std::string_view method, std::vector<Value> args = {}) {
        return m().callMethod(o, method, args);
    }
    Value str(std::string_view s) { return Value(m().str(s)); }
    // A boolean answer as text, so that an answer of another type never passes.
    static std::string answer(const Value& v) {
        return v.isBool() ? (v.asBool() ? "true" : "false") : "no boolean";
    }
    bool own(avm1::Object* o, std::string_view name) {
        return m().hasOwnProperty(o, m().str(name));
    }
};

TEST(PlayerServicesTest, ClassesAppearFromTheVersionsThatHaveThem) {
    Services five(5);
    EXPECT_EQ(five.global("Microphone"), nullptr);
    EXPECT_EQ(five.global("LocalConnection"), nullptr);
    EXPECT_NE(five.global("XMLSocket"), nullptr);
    Services six(6);
    EXPECT_NE(six.global("Microphone"), nullptr);
    EXPECT_NE(six.global("LocalConnection"), nullptr);
}

TEST(PlayerServicesTest, TheMicrophoneIsOneMutedDeviceWhoseSettingsReadBack) {
    Services s(8);
    avm1::Object* ctor = s.global("Microphone");
    avm1::Object* proto = s.m().get(ctor, "prototype").asObject();
    EXPECT_FALSE(s.own(proto, "gain"));
    EXPECT_TRUE(s.m().get(s.made("Microphone"), "gain").isUndefined());

    avm1::Object* mic = s.call(ctor, "get").asObject();
    ASSERT_NE(mic, nullptr);
    EXPECT_EQ(s.call(ctor, "get").asObject(), mic);
    EXPECT_TRUE(s.own(proto, "gain"));
    EXPECT_FALSE(s.own(proto, "get"));
    EXPECT_EQ(s.m().toNumber(s.m().get(s.m().get(ctor, "names").asObject(), "length")), 0);
    EXPECT_EQ(Services::answer(s.m().get(mic, "muted")), "true");
    EXPECT_EQ(s.m().toNumber(s.m().get(mic, "activityLevel")), -1);
    EXPECT_EQ(s.m().toNumber(s.m().get(mic, "gain")), 50);
    EXPECT_TRUE(s.m().get(mic, "useEchoSuppression").isNumber());

    // setRate takes the next rate up; gain and silence are percentages.
    const struct {
        double asked, rate;
    } rates[] = {{1, 5}, {7, 8}, {10, 11}, {15, 16}, {17, 22}, {27, 44}, {1e6, 44}, {-3, 5}};
    for (const auto& r : rates) {
        s.call(mic, "setRate", {Value(r.asked)});
        EXPECT_EQ(s.m().toNumber(s.m().get(mic, "rate")), r.rate) << r.asked;
    }
    s.call(mic, "setGain", {Value(140)});
    EXPECT_EQ(s.m().toNumber(s.m().get(mic, "gain")), 100);
    s.call(mic, "setGain", {s.str("loud")});
    EXPECT_EQ(s.m().toNumber(s.m().get(mic, "gain")), 100);
    s.call(mic, "setSilenceLevel", {Value(16), Value(500)});
    EXPECT_EQ(s.m().toNumber(s.m().get(mic, "silenceLevel")), 16);
    EXPECT_EQ(s.m().toNumber(s.m().get(mic, "silenceTimeout")), 500);
    s.call(mic, "setUseEchoSuppression", {Value(16)});
    EXPECT_EQ(s.m().toNumber(s.m().get(mic, "useEchoSuppression")), 1);
    // A plain object borrowing the methods changes nothing and reads nothing.
    avm1::Object* other = s.made("Microphone");
    s.call(other, "setGain", {Value(3)});
    EXPECT_TRUE(s.m().get(other, "gain").isUndefined());
}

TEST(PlayerServicesTest, ConnectionsListenOnFreeNamesAndSendsAreCheckedThenDelivered) {
    Services s(8);
    avm1::Object* rec = s.made("LocalConnection");
    avm1::Object* snd = s.made("LocalConnection");
    EXPECT_EQ(s.m().toString(s.call(rec, "domain")).str(), "localhost");

    const std::vector<Value> badNames[] = {{}, {Value(3)}, {Value()}, {s.str("")}};
    for (const auto& args : badNames) {
        EXPECT_EQ(Services::answer(s.call(rec, "connect", args)), "false");
    }
    EXPECT_EQ(Services::answer(s.call(rec, "connect", {s.str("Cards")})), "true");
    EXPECT_EQ(Services::answer(s.call(rec, "connect", {s.str("other")})), "false")
        << "already listening";
    EXPECT_EQ(Services::answer(s.call(snd, "connect", {s.str("cards")})), "false") << "name taken";

    const std::vector<Value> badSends[] = {{},
                                           {s.str("cards")},
                                           {Value(3), s.str("hello")},
                                           {s.str("cards"), Value(1)},
                                           {s.str("cards"), s.str("")},
                                           {s.str("cards"), s.str("conNeCt")},
                                           {s.str("cards"), s.str("ALLOWDOMAIN")},
                                           {s.str("cards"), s.str("onStatus")}};
    for (const auto& args : badSends) {
        EXPECT_EQ(Services::answer(s.call(snd, "send", args)), "false");
    }

    // The receiver's method runs after the scripts, then the sender hears how it went.
    s.m().set(s.m().global(), "got", Value());
    s.m().set(s.m().global(), "status", s.str(""));
    s.m().set(rec, "hello", Value(s.m().newFunction([](avm1::CallArgs& c) {
                  c.machine.set(c.machine.global(), "got", c.arg(0));
                  return Value();
              })));
    s.m().set(snd, "onStatus", Value(s.m().newFunction([](avm1::CallArgs& c) {
                  avm1::Machine& m = c.machine;
                  const std::string was = m.toString(m.get(m.global(), "status")).str();
                  const std::string level = m.toString(m.get(c.arg(0).asObject(), "level")).str();
                  m.set(m.global(), "status", Value(m.str(was + level + ";")));
                  return Value();
              })));
    EXPECT_EQ(Services::answer(s.call(snd, "send", {s.str("CARDS"), s.str("hello"), Value(7)})),
              "true");
    EXPECT_TRUE(s.m().get(s.m().global(), "got").isUndefined()) << "not while scripts run";
    s.call(rec, "close");
    EXPECT_EQ(Services::answer(s.call(snd, "send", {s.str("cards"), s.str("hello"), Value(8)})),
              "true");
    s.frames(1);
    EXPECT_EQ(s.m().toNumber(s.m().get(s.m().global(), "got")), 7);
    EXPECT_EQ(s.m().toString(s.m().get(s.m().global(), "status")).str(), "status;error;");
    EXPECT_EQ(Services::answer(s.call(snd, "connect", {s.str("cards")})), "true")
        << "freed by close";
}

TEST(PlayerServicesTest, SocketsAreRefusedAndArrivingTextIsParsedForOnXml) {
    Services s(6);
    avm1::Object* socket = s.made("XMLSocket");
    EXPECT_EQ(Services::answer(s.call(socket, "connect", {s.str("localhost"), Value(3660)})),
              "false");
    EXPECT_TRUE(s.call(socket, "send", {s.str("<a/>")}).isUndefined());
    s.m().set(socket, "onXML", Value(s.m().newFunction([](avm1::CallArgs& c) {
                  avm1::Machine& m = c.machine;
                  m.set(m.global(), "parsed", Value(m.toString(c.arg(0))));
                  return Value();
              })));
    s.call(socket, "onData", {s.str("<card to=\"you\"/>")});
    EXPECT_EQ(s.m().toString(s.m().get(s.m().global(), "parsed")).str(), "<card to=\"you\" />");
}

TEST(PlayerServicesTest, LoadersBroadcastThroughThePrototypeToTheirOwnListeners) {
    Services s(8);
    avm1::Machine& m = s.m();
    avm1::Object* ctor = s.global("MovieClipLoader");
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"}) {
        EXPECT_TRUE(s.own(proto, name)) << name;
    }
    EXPECT_FALSE(s.own(proto, "_listeners"));
    avm1::Object* a = s.made("MovieClipLoader");
    avm1::Object* b = s.made("MovieClipLoader");
    EXPECT_FALSE(s.own(a, "addListener"));
    avm1::Object* listeners = m.get(a, "_listeners").asObject();
    ASSERT_NE(listeners, nullptr);
    EXPECT_NE(listeners, m.get(b, "_listeners").asObject());
    EXPECT_EQ(m.get(listeners, "0").asObject(), a);
    EXPECT_TRUE(s.call(a, "unloadClip").isUndefined());

    // Progress of a clip that is not loading: its own bytes, on an object without prototype.
    avm1::Object* root = s.scripts->objectOf(s.player->rootObject());
    ASSERT_NE(root, nullptr);
    avm1::Object* progress = s.call(a, "getProgress", {Value(root)}).asObject();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->proto(), nullptr);
    EXPECT_EQ(m.toNumber(m.get(progress, "bytesTotal")), m.toNumber(s.call(root, "getBytesTotal")));
    EXPECT_GT(m.toNumber(m.get(progress, "bytesTotal")), 0);
}

} // namespace
} // namespace mc
