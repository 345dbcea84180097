// The player's media and system classes as movies of each version meet them: which classes
// exist, what System says of the player, the camera a card never has, streams of files
// beside the movie, and shared objects that stay on the movie's own path.
#include <gtest/gtest.h>

#include <map>

#include "ScriptedMovie.h"
#include "StageObject.h"
#include "avm1/Function.h"

namespace mc {
namespace {

using avm1::CallArgs;
using avm1::Value;
using Bytes = std::vector<std::uint8_t>;

// A stopped movie of one frame at file:///cards/card.swf, with `files` beside it.
struct MediaMovie {
    MediaMovie(int swfVersion, std::map<std::string, Bytes> besideFiles = {})
        : MediaMovie(StoppedMovie::stopped(swfVersion), std::move(besideFiles)) {}
    MediaMovie(Bytes movieFile, std::map<std::string, Bytes> besideFiles)
        : files(std::move(besideFiles)), file(std::move(movieFile)) {
        loaded = swf::loadMovie(file);
        EXPECT_TRUE(loaded.ok());
        catalog = std::make_unique<MovieCatalog>(*loaded.movie);
        StageCallbacks callbacks;
        callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        callbacks.clockMs = [this] { return clockMs; };
        callbacks.movieUrl = "file:///cards/card.swf";
        callbacks.readBeside = [this](const std::string& path) {
            const auto it = files.find(path);
            return it != files.end() ? it->second : Bytes{};
        };
        scripts = std::make_unique<StageScripts>(*loaded.movie, std::move(callbacks));
        player =
            std::make_unique<TimelinePlayer>(*catalog, loaded.movie->root, Rgba{255, 255, 255, 255},
                                             TimelineLimits{}, scripts.get());
        player->advance();
    }
    void frames(int n, double msEach) {
        for (int i = 0; i < n; ++i) {
            clockMs += msEach;
            player->advance();
            scripts->runTimers();
        }
    }
    avm1::Machine& m() { return scripts->machine(); }
    Value at(std::string_view path) {
        Value v(m().global());
        for (std::size_t start = 0; start <= path.size();) {
            const std::size_t dot = std::min(path.find('.', start), path.size());
            avm1::Object* o = v.asObject();
            v = o != nullptr ? m().get(o, path.substr(start, dot - start)) : Value();
            start = dot + 1;
        }
        return v;
    }
    std::string type(std::string_view path) { return std::string(m().typeOf(at(path))); }
    Value call(std::string_view object, std::string_view method, std::vector<Value> args = {}) {
        return m().callMethod(at(object).asObject(), method, args);
    }
    Value send(avm1::Object* o, std::string_view method, std::vector<Value> args = {}) {
        return m().callMethod(o, method, args);
    }
    avm1::Object* make(std::string_view cls, std::vector<Value> args = {}) {
        return m().construct(at(cls), args);
    }
    Value str(std::string_view s) { return Value(m().str(s)); }
    // Traces the code of every status the object reports.
    void traceStatus(avm1::Object* o) {
        m().set(o, "onStatus",
                Value(static_cast<avm1::Object*>(m().newFunction([this](CallArgs& c) {
                    traced.push_back(
                        c.machine.toString(c.machine.get(c.arg(0).asObject(), "code")).str());
                    return Value();
                }))));
    }

    std::map<std::string, Bytes> files;
    Bytes file;
    swf::LoadResult loaded;
    std::unique_ptr<MovieCatalog> catalog;
    std::unique_ptr<StageScripts> scripts;
    std::unique_ptr<TimelinePlayer> player;
    double clockMs = 0;
    Lines traced;
};

TEST(MediaClassesTest, ClassesOfVersionSixAreHiddenFromVersionFive) {
    const struct {
        const char* name;
        const char* five;
        const char* later;
    } classes[] = {
        {"Video", "undefined", "function"},
        {"NetConnection", "undefined", "function"},
        {"NetStream", "undefined", "function"},
        {"Camera", "undefined", "function"},
        {"SharedObject", "undefined", "function"},
        {"Sound", "function", "function"},
        {"System", "object", "object"},
        {"CustomActions", "undefined", "undefined"},
    };
    MediaMovie five(5), six(6), eight(8);
    for (const auto& c : classes) {
        EXPECT_EQ(five.type(c.name), c.five) << c.name;
        EXPECT_EQ(six.type(c.name), c.later) << c.name;
        EXPECT_EQ(eight.type(c.name), c.later) << c.name;
    }
    EXPECT_EQ(five.type("System.exactSettings"), "undefined");
    EXPECT_EQ(five.type("System.useCodepage"), "boolean");
    EXPECT_EQ(six.at("System.exactSettings").asBool(), false);
    EXPECT_EQ(eight.at("System.exactSettings").asBool(), true);
}

TEST(MediaClassesTest, UseCodepageReadsBackAsABoolean) {
    // Text is true from version 7 on; before, it is true when it reads as a nonzero number.
    const struct {
        Value assigned;
        bool before7, from7;
    } cases[] = {
        {Value(1), true, true},
        {Value(0), false, false},
        {Value(avm1::Str("x")), false, true},
        {Value(avm1::Str("2")), true, true},
        {Value(), false, false},
        {Value(true), true, true},
        {Value::null(), false, false},
    };
    for (int version : {5, 6, 7, 8}) {
        MediaMovie movie(version);
        avm1::Object* system = movie.at("System").asObject();
        ASSERT_NE(system, nullptr);
        for (const auto& k : cases) {
            movie.m().set(system, "useCodepage", k.assigned);
            const Value now = movie.at("System.useCodepage");
            ASSERT_TRUE(now.isBool()) << version;
            EXPECT_EQ(now.asBool(), version >= 7 ? k.from7 : k.before7)
                << version << " " << movie.m().toString(k.assigned).str();
        }
    }
}

TEST(MediaClassesTest, CapabilitiesHaveTheirTypesAndTheServerStringRepeatsThem) {
    MediaMovie movie(8);
    const struct {
        const char* name;
        const char* type;
        const char* key; // in serverString
    } caps[] = {
        {"hasAudio", "boolean", "A=t"},          {"hasMP3", "boolean", "MP3=t"},
        {"hasAudioEncoder", "boolean", "AE=f"},  {"hasPrinting", "boolean", "PR=f"},
        {"hasIME", "boolean", "IME=f"},          {"isDebugger", "boolean", "DEB=f"},
        {"avHardwareDisable", "boolean", "AVD"}, {"localFileReadDisable", "boolean", "LFD"},
        {"screenResolutionX", "number", "R="},   {"screenResolutionY", "number", "x"},
        {"screenDPI", "number", "DP="},          {"pixelAspectRatio", "number", "AR="},
        {"language", "string", "L=en"},          {"os", "string", "OS="},
        {"version", "string", "V=LNX%20"},       {"playerType", "string", "PT=StandAlone"},
        {"screenColor", "string", "COL=color"},  {"manufacturer", "string", "M="},
    };
    const std::string server =
        movie.m().toString(movie.at("System.capabilities.serverString")).str();
    for (const auto& c : caps) {
        EXPECT_EQ(movie.type(std::string("System.capabilities.") + c.name), c.type) << c.name;
        EXPECT_NE(server.find(c.key), std::string::npos) << c.key;
    }
    EXPECT_EQ(server.find(' '), std::string::npos);
    // The clipboard and the settings stay the person's.
    EXPECT_EQ(movie.call("System", "setClipboard", {movie.str("x")}).asBool(), false);
    EXPECT_TRUE(movie.call("System", "showSettings", {Value(1)}).isUndefined());
}

TEST(MediaClassesTest, WithoutAnInputMethodTheImeRefusesEverything) {
    MediaMovie movie(8);
    EXPECT_EQ(movie.type("System.IME.addListener"), "function");
    EXPECT_EQ(movie.m().toString(movie.at("System.IME.KOREAN")).str(), "KOREAN");
    for (const char* refused : {"getEnabled", "setEnabled", "setConversionMode",
                                "setCompositionString", "doConversion"}) {
        const Value answer = movie.call("System.IME", refused, {Value(true)});
        EXPECT_TRUE(answer.isBool() && !answer.asBool()) << refused;
    }
    EXPECT_EQ(movie.m().toString(movie.call("System.IME", "getConversionMode")).str(), "UNKNOWN");
    EXPECT_EQ(movie.call("System.security", "allowDomain").asBool(), false);
    EXPECT_EQ(movie.call("System.security", "allowDomain", {Value(3)}).asBool(), true);
}

TEST(MediaClassesTest, AConnectionTellsWhereItWasAskedToConnect) {
    MediaMovie movie(8);
    avm1::Machine& m = movie.m();
    avm1::Object* nc = movie.make("NetConnection");
    EXPECT_TRUE(m.get(nc, "uri").isUndefined());
    EXPECT_EQ(m.get(nc, "isConnected").asBool(), false);
    movie.send(nc, "connect", {movie.str("rtmp://example.com/app")});
    EXPECT_EQ(m.toString(m.get(nc, "uri")).str(), "rtmp://example.com/app");
    EXPECT_EQ(m.get(nc, "isConnected").asBool(), false);
    movie.send(nc, "connect", {Value::null()});
    EXPECT_EQ(m.toString(m.get(nc, "uri")).str(), "null");
    EXPECT_EQ(m.get(nc, "isConnected").asBool(), true);
    EXPECT_TRUE(movie.send(nc, "call", {movie.str("method")}).isUndefined());
}

TEST(MediaClassesTest, PrintJobsAreDeclinedAndNoScreenReaderListens) {
    MediaMovie five(5), six(6), seven(7), eight(8);
    EXPECT_EQ(five.type("PrintJob"), "undefined");
    EXPECT_EQ(six.type("PrintJob"), "undefined");
    EXPECT_EQ(seven.type("PrintJob"), "function");
    EXPECT_EQ(five.type("Accessibility"), "undefined");
    EXPECT_EQ(six.type("Accessibility"), "object");

    avm1::Machine& m = eight.m();
    avm1::Object* job = eight.make("PrintJob");
    ASSERT_NE(job, nullptr);
    const Value started = eight.send(job, "start");
    EXPECT_TRUE(started.isBool() && !started.asBool());
    const Value added = eight.send(job, "addPage", {Value(0)});
    EXPECT_TRUE(added.isBool() && !added.asBool());
    EXPECT_TRUE(eight.send(job, "send").isUndefined());
    // The paper is only measured once a job has started.
    EXPECT_TRUE(m.get(job, "paperWidth").isUndefined());
    EXPECT_TRUE(m.get(job, "pageHeight").isUndefined());

    const Value active = eight.call("Accessibility", "isActive");
    EXPECT_TRUE(active.isBool() && !active.asBool());
    EXPECT_TRUE(eight.call("Accessibility", "updateProperties").isUndefined());
}

TEST(MediaClassesTest, ThereIsNoCameraButItsSurfaceIsFlashs) {
    MediaMovie movie(8);
    EXPECT_EQ(movie.type("Camera.prototype.setMode"), "function");
    EXPECT_EQ(movie.type("Camera.prototype.setCursor"), "function");
    avm1::Object* proto = movie.at("Camera.prototype").asObject();
    EXPECT_FALSE(movie.m().hasOwnProperty(proto, movie.m().str("width")));
    EXPECT_TRUE(movie.call("Camera", "get").isNull());
    EXPECT_TRUE(movie.m().hasOwnProperty(proto, movie.m().str("width")));
    EXPECT_EQ(movie.m().toNumber(movie.at("Camera.names.length")), 0);
}

// An FLV file of audio tags stamped 0, 250 and 1000 ms.
Bytes flvOf(const std::vector<std::uint32_t>& stamps) {
    Bytes b = {'F', 'L', 'V', 1, 4, 0, 0, 0, 9, 0, 0, 0, 0};
    for (const std::uint32_t t : stamps) {
        const Bytes tag = {8,
                           0,
                           0,
                           1,
                           static_cast<std::uint8_t>(t >> 16),
                           static_cast<std::uint8_t>(t >> 8),
                           static_cast<std::uint8_t>(t),
                           0,
                           0,
                           0,
                           0,
                           0x2A,
                           0,
                           0,
                           0,
                           12};
        b.insert(b.end(), tag.begin(), tag.end());
    }
    return b;
}

TEST(MediaClassesTest, AStreamPlaysAFileBesideTheMovieToItsLastTimestamp) {
    MediaMovie movie(8, {{"clip.flv", flvOf({0, 250, 1000})}, {"notes.txt", {'h', 'i'}}});
    avm1::Machine& m = movie.m();
    avm1::Object* nc = movie.make("NetConnection");
    avm1::Object* ns = movie.make("NetStream", {Value(nc)});
    movie.traceStatus(ns);
    EXPECT_EQ(m.toNumber(m.get(ns, "bufferTime")), 0.1);
    EXPECT_EQ(m.toNumber(m.get(ns, "time")), 0);

    // A stream on a connection never opened stays silent.
    movie.send(ns, "play", {movie.str("clip.flv")});
    movie.frames(1, 100);
    EXPECT_TRUE(movie.traced.empty());

    EXPECT_EQ(movie.send(nc, "connect", {Value::null()}).asBool(), true);
    EXPECT_EQ(m.get(nc, "isConnected").asBool(), true);
    movie.send(ns, "play", {movie.str("missing.flv")});
    movie.send(ns, "play", {movie.str("notes.txt")});
    movie.frames(1, 100);
    EXPECT_EQ(movie.traced,
              (Lines{"NetStream.Play.StreamNotFound", "NetStream.Play.StreamNotFound"}));
    movie.traced.clear();

    movie.send(ns, "play", {movie.str("clip.flv")});
    movie.frames(1, 100);
    EXPECT_EQ(movie.traced, (Lines{"NetStream.Play.Start", "NetStream.Buffer.Full"}));
    EXPECT_EQ(m.toNumber(m.get(ns, "bytesTotal")), 13 + 3 * 16);
    EXPECT_NEAR(m.toNumber(m.get(ns, "time")), 0.1, 1e-9);
    movie.traced.clear();

    // Paused, the clock stands; a seek past the end is refused.
    movie.send(ns, "pause", {});
    movie.frames(5, 100);
    EXPECT_NEAR(m.toNumber(m.get(ns, "time")), 0.1, 1e-9);
    movie.send(ns, "seek", {Value(5)});
    movie.send(ns, "seek", {Value(0.5)});
    movie.send(ns, "pause", {Value(false)});
    movie.frames(6, 100);
    EXPECT_EQ(movie.traced,
              (Lines{"NetStream.Pause.Notify", "NetStream.Seek.InvalidTime",
                     "NetStream.Seek.Notify", "NetStream.Unpause.Notify", "NetStream.Buffer.Flush",
                     "NetStream.Play.Stop", "NetStream.Buffer.Empty"}));
    EXPECT_EQ(m.toNumber(m.get(ns, "time")), 1);
}

TEST(MediaClassesTest, ErrorsNoStreamHandlesGoToSystemOnStatus) {
    MediaMovie movie(8, {{"clip.flv", flvOf({0})}});
    avm1::Machine& m = movie.m();
    movie.traceStatus(movie.at("System").asObject());
    avm1::Object* nc = movie.make("NetConnection");
    movie.send(nc, "connect", {Value::null()});
    avm1::Object* ns = movie.make("NetStream", {Value(nc)});
    movie.send(ns, "play", {movie.str("clip.flv")}); // statuses: nobody hears them
    movie.send(ns, "play", {movie.str("gone.flv")}); // an error: System hears it
    movie.frames(1, 100);
    EXPECT_EQ(movie.traced, (Lines{"NetStream.Play.StreamNotFound"}));
    movie.traced.clear();
    // A handler set after the call, before the report arrives, is the one that hears it.
    movie.send(ns, "play", {movie.str("gone.flv")});
    m.set(ns, "onStatus", Value(static_cast<avm1::Object*>(m.newFunction([&](CallArgs&) {
              movie.traced.emplace_back("own");
              return Value();
          }))));
    movie.frames(1, 100);
    EXPECT_EQ(movie.traced, (Lines{"own"}));
}

TEST(MediaClassesTest, SharedObjectsStayOnTheMoviesOwnPath) {
    MediaMovie movie(8);
    const auto get = [&](Value name, Value path = Value()) {
        return movie.call("SharedObject", "getLocal", {std::move(name), std::move(path)});
    };
    const Value game = get(movie.str("game"));
    ASSERT_TRUE(game.isObject());
    const struct {
        const char* path;
        bool same, found;
    } paths[] = {
        {"/", false, true},
        {"/cards/", false, true},
        {"/CARDS/card.swf", true, true},
        {"file:///cards/card.swf", true, true},
        {"/elsewhere/", false, false},
        {"/cards/card.swf/deeper", false, false},
        {"http://example.com/cards/", false, false},
        {"cards", false, false},
    };
    for (const auto& p : paths) {
        const Value got = get(movie.str("game"), movie.str(p.path));
        EXPECT_EQ(got.isObject(), p.found) << p.path;
        EXPECT_EQ(got.isObject() && got.asObject() == game.asObject(), p.same) << p.path;
    }
    // '%' is taken, an empty step between slashes and the documented marks are not; the
    // name is text, whatever value gave it.
    EXPECT_TRUE(get(movie.str("100%")).isObject());
    EXPECT_TRUE(get(Value(5)).isObject());
    for (const char* bad : {"a//b", "a b", "a:b", "a~b", ""}) {
        EXPECT_TRUE(get(movie.str(bad)).isNull()) << bad;
    }
}

TEST(MediaClassesTest, ASharedObjectMeasuresAsItsFileAndNothingWhenEmpty) {
    MediaMovie movie(8);
    avm1::Machine& m = movie.m();
    avm1::Object* so = movie.call("SharedObject", "getLocal", {movie.str("game")}).asObject();
    ASSERT_NE(so, nullptr);
    avm1::Object* data = m.get(so, "data").asObject();
    EXPECT_EQ(m.toNumber(movie.send(so, "getSize", {})), 0);
    // Header 6, signature 10, name 2 + 4, version 4; then name, value and a closing zero.
    const double header = 6 + 10 + 2 + 4 + 4;
    m.set(data, "n", Value(1));
    EXPECT_EQ(m.toNumber(movie.send(so, "getSize", {})), header + 2 + 1 + 9 + 1);
    m.set(data, "s", movie.str("abc"));
    m.set(data, "f",
          Value(static_cast<avm1::Object*>(m.newFunction([](CallArgs&) { return Value(); }))));
    EXPECT_EQ(m.toNumber(movie.send(so, "getSize", {})),
              header + (2 + 1 + 9 + 1) + (2 + 1 + 3 + 3 + 1));
    // An object met twice is written once, then referred to.
    avm1::Object* inner = m.newObject();
    m.set(inner, "b", Value(true));
    m.set(data, "o", Value(inner));
    m.set(data, "p", Value(inner));
    EXPECT_EQ(m.toNumber(movie.send(so, "getSize", {})),
              header + (2 + 1 + 9 + 1) + (2 + 1 + 3 + 3 + 1) + (2 + 1 + 1 + (2 + 1 + 2) + 3 + 1) +
                  (2 + 1 + 3 + 1));
}

TEST(MediaClassesTest, APictureLoadedIntoAClipMeasuresBeforeItIsDecoded) {
    // A JPEG's start and frame header (170 x 120) are all its size needs.
    const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xC0,
                        0x00, 0x11, 0x08, 0x00, 0x78, 0x00, 0xAA, 0x03, 0x01, 0x22,
                        0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xD9};
    moviemaker::SwfWriter writer(version(8));
    moviemaker::Actions first;
    first.push(1.0).push("holder").push(2.0).push("_root").code(0x1C);
    first.push("createEmptyMovieClip").code(0x52).code(0x17);
    first.callMethod("holder", "loadMovie", {"photo.jpg"});
    writer.doAction(first);
    writer.showFrame();
    writer.doAction(
        moviemaker::Actions().traceValue("holder._width").traceValue("holder._height").stop());
    writer.showFrame();
    MediaMovie movie(writer.finish(), {{"photo.jpg", jpeg}});
    movie.frames(2, 100);
    EXPECT_EQ(movie.traced, (Lines{"170", "120"}));
}

} // namespace
} // namespace mc
