// Scripted Sound objects heard through the mixer: the stage's Sound class, the port and
// the movie's sound together, mixed offline.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

#include <fstream>
#include <iterator>
#include <map>

#include "MovieCatalog.h"
#include "MovieSound.h"
#include "OfflineMix.h"
#include "ScriptSoundPort.h"
#include "SignalCheck.h"
#include "StageScripts.h"
#include "TimelinePlayer.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"
#include "swf/Movie.h"

namespace {

using audiotest::channel;
using audiotest::rms;
using moviemaker::Actions;

constexpr double kFps = 10.0;
constexpr std::size_t kFrameSamples = 4410;
constexpr double kToneRms = 16000 / 1.4142135623730951; // sineTone's default peak

moviemaker::MovieHeader header() {
    moviemaker::MovieHeader h;
    h.frameRate = kFps;
    h.version = 8;
    return h;
}

// Exports a 1 kHz tone of `seconds` as `name`.
void exportTone(moviemaker::SwfWriter& movie, std::string_view name, double seconds) {
    const auto samples =
        moviemaker::sineTone(1000, 22050, static_cast<std::size_t>(22050 * seconds));
    const auto id =
        movie.defineSound({3, 2, true, false}, static_cast<std::uint32_t>(samples.size()),
                          moviemaker::pcm16Bytes(samples));
    movie.exportAssets(id, name);
}

// var name = new Sound(target) (no target when empty).
Actions& newSound(Actions& a, std::string_view name, std::string_view target = {}) {
    a.push(name);
    if (target.empty()) {
        a.pushInt(0);
    } else {
        a.push(target).code(0x1C).pushInt(1);
    }
    return a.push("Sound").code(0x40).code(0x1D);
}

// object.method(numbers...), the result dropped.
Actions& call(Actions& a, std::string_view object, std::string_view method,
              const std::vector<double>& numbers = {}) {
    for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
        a.push(*it);
    }
    return a.pushInt(static_cast<std::int32_t>(numbers.size()))
        .push(object)
        .code(0x1C)
        .push(method)
        .code(0x52)
        .code(0x17);
}

// A movie whose scripts reach its sound the way the player wires them: the sound is made
// before the first frame, the timeline heard once it is built.
struct ScriptedSound {
    explicit ScriptedSound(std::vector<std::uint8_t> swf,
                           std::map<std::string, std::vector<std::uint8_t>> beside = {})
        : bytes(std::move(swf)), loaded(swf::loadMovie(bytes)), catalog(*loaded.movie),
          files(std::move(beside)) {
        mc::StageCallbacks callbacks;
        callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        callbacks.readBeside = [this](const std::string& path) {
            const auto it = files.find(path);
            return it != files.end() ? it->second : std::vector<std::uint8_t>{};
        };
        callbacks.sound = &port;
        sound = std::make_unique<audio::MovieSound>(*loaded.movie, mixer, kFps);
        port.bind(sound.get());
        scripts = std::make_unique<mc::StageScripts>(*loaded.movie, std::move(callbacks));
        player = std::make_unique<mc::TimelinePlayer>(catalog, loaded.movie->root,
                                                      mc::Rgba{255, 255, 255, 255},
                                                      mc::TimelineLimits{}, scripts.get());
        player->setSoundEvents(sound.get());
        scripts->runTimers();
    }
    ~ScriptedSound() {
        player->setSoundEvents(nullptr);
        port.bind(nullptr);
    }
    void play(int frames) {
        for (int i = 0; i < frames; ++i) {
            offline.mixFrame();
            player->advance();
            scripts->runTimers();
        }
    }
    double rmsOfFrame(int frame) const {
        return rms(
            channel(offline.samples(), 2, 0, frame * kFrameSamples, (frame + 1) * kFrameSamples));
    }

    std::vector<std::uint8_t> bytes;
    swf::LoadResult loaded;
    mc::MovieCatalog catalog;
    std::map<std::string, std::vector<std::uint8_t>> files;
    audio::Mixer mixer{44100};
    audio::ScriptSoundPort port;
    std::vector<std::string> traced;
    std::unique_ptr<audio::MovieSound> sound;
    std::unique_ptr<mc::StageScripts> scripts;
    std::unique_ptr<mc::TimelinePlayer> player;
    audio::OfflineMix offline{mixer, kFps};
};

// s.onSoundComplete = function () { trace(text); }
Actions& onComplete(Actions& a, std::string_view sound, std::string_view text) {
    return a.push(sound)
        .code(0x1C)
        .push("onSoundComplete")
        .function(Actions().trace(text))
        .code(0x4F);
}

TEST(ScriptSound, StartedSoundLoopsThenReportsItsCompletionOnce) {
    moviemaker::SwfWriter movie(header());
    exportTone(movie, "tone", 0.1);
    Actions a;
    newSound(a, "s");
    a.callMethod("s", "attachSound", {"tone"});
    onComplete(a, "s", "complete");
    call(a, "s", "start", {0, 2});
    a.traceValue("s.duration");
    movie.doAction(a);
    for (int i = 0; i < 8; ++i) {
        movie.showFrame();
    }
    ScriptedSound p(movie.finish());
    p.play(6);
    EXPECT_GT(p.rmsOfFrame(0), 0.9 * kToneRms);
    EXPECT_GT(p.rmsOfFrame(1), 0.9 * kToneRms);
    EXPECT_LT(p.rmsOfFrame(3), 1.0);
    EXPECT_EQ(p.traced, (std::vector<std::string>{"100", "complete"}));
}

TEST(ScriptSound, ClipVolumeAndTheMovieVolumeMultiplyAndStopEndsTheClipsSound) {
    moviemaker::SwfWriter movie(header());
    exportTone(movie, "long", 2.0);
    Actions first;
    first.push(1).push("mc").pushInt(2).push("_root").code(0x1C);
    first.push("createEmptyMovieClip").code(0x52).code(0x17);
    newSound(first, "a", "mc");
    first.callMethod("a", "attachSound", {"long"});
    call(first, "a", "setVolume", {50});
    call(first, "a", "start");
    movie.doAction(first);
    movie.showFrame();
    movie.showFrame();
    Actions third;
    newSound(third, "g");
    call(third, "g", "setVolume", {50});
    movie.doAction(third);
    movie.showFrame();
    movie.showFrame();
    Actions fifth;
    call(fifth, "a", "stop");
    movie.doAction(fifth);
    movie.showFrame();
    movie.showFrame();
    ScriptedSound p(movie.finish());
    p.play(6);
    EXPECT_NEAR(p.rmsOfFrame(1), 0.5 * kToneRms, 0.03 * kToneRms);
    EXPECT_NEAR(p.rmsOfFrame(3), 0.25 * kToneRms, 0.03 * kToneRms);
    EXPECT_LT(p.rmsOfFrame(5), 1.0);
}

TEST(ScriptSound, ASoundOfAMissingClipNeitherPlaysNorKeepsAMix) {
    moviemaker::SwfWriter movie(header());
    exportTone(movie, "long", 1.0);
    Actions a;
    // new Sound("ghost"): a path to a clip that is not there.
    a.push("t").push("ghost").pushInt(1).push("Sound").code(0x40).code(0x1D);
    a.callMethod("t", "attachSound", {"long"});
    call(a, "t", "setVolume", {20});
    call(a, "t", "start");
    a.pushInt(0).push("t").code(0x1C).push("getVolume").code(0x52).code(0x26);
    movie.doAction(a);
    movie.showFrame();
    movie.showFrame();
    ScriptedSound p(movie.finish());
    p.play(1);
    EXPECT_LT(p.rmsOfFrame(0), 1.0);
    EXPECT_EQ(p.traced, (std::vector<std::string>{"undefined"}));
}

TEST(ScriptSound, ALoadedSoundFailsOnTheNextFrameAfterItsHandlerIsSet) {
    moviemaker::SwfWriter movie(header());
    Actions a;
    newSound(a, "s");
    a.pushBool(true).push("song.mp3").pushInt(2).push("s").code(0x1C);
    a.push("loadSound").code(0x52).code(0x17);
    a.push("s").code(0x1C).push("onLoad");
    a.defineFunction("", {"ok"}, Actions().trace("onLoad").traceValue("ok"));
    a.code(0x4F);
    a.trace("set");
    movie.doAction(a);
    movie.showFrame();
    movie.showFrame();
    ScriptedSound p(movie.finish());
    p.play(1);
    EXPECT_EQ(p.traced, (std::vector<std::string>{"set", "onLoad", "false"}));
}

std::vector<std::uint8_t> toneMp3() {
    std::ifstream in(std::string(std::getenv("VELMORA_SOURCE_DIR")) +
                         "/moviecontrol/audio/tests/data/tone440-44k-mono.mp3",
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// s.loadSound(file, streaming), with an onLoad that traces its flag, the duration and size.
Actions& loadWithReport(Actions& a, std::string_view file, bool streaming) {
    newSound(a, "s");
    a.push("s").code(0x1C).push("onLoad");
    a.defineFunction("", {"ok"},
                     Actions()
                         .traceValue("ok")
                         .traceValue("s.duration")
                         .push("s")
                         .code(0x1C)
                         .push("getBytesTotal")
                         .code(0x52)
                         .code(0x26));
    a.code(0x4F);
    a.pushBool(streaming).push(file).pushInt(2).push("s").code(0x1C);
    return a.push("loadSound").code(0x52).code(0x17);
}

TEST(ScriptSound, AnMp3BesideTheMovieLoadsAndPlaysWhenStartedOrAtOnceWhenStreamed) {
    const std::vector<std::uint8_t> mp3 = toneMp3();
    ASSERT_FALSE(mp3.empty());
    for (const bool streaming : {false, true}) {
        moviemaker::SwfWriter movie(header());
        Actions a;
        loadWithReport(a, "tone.mp3", streaming);
        movie.doAction(a);
        movie.showFrame();
        Actions second;
        second.stop();
        if (!streaming) {
            call(second, "s", "start");
        }
        movie.doAction(second);
        movie.showFrame();
        ScriptedSound p(movie.finish(), {{"tone.mp3", mp3}});
        p.play(4);
        ASSERT_EQ(p.traced.size(), 3u) << streaming;
        EXPECT_EQ(p.traced[0], "true");
        // The file holds a second of tone (and the encoder's padding).
        EXPECT_NEAR(std::stod(p.traced[1]), 1000, 100);
        EXPECT_EQ(p.traced[2], std::to_string(mp3.size()));
        EXPECT_GT(p.rmsOfFrame(3), 1000) << streaming;
    }
    // What is not an MP3 file fails as a missing one does.
    moviemaker::SwfWriter movie(header());
    Actions a;
    loadWithReport(a, "notes.txt", false);
    movie.doAction(a.stop());
    movie.showFrame();
    ScriptedSound p(movie.finish(), {{"notes.txt", {'h', 'e', 'l', 'l', 'o'}}});
    p.play(2);
    EXPECT_EQ(p.traced, (std::vector<std::string>{"false", "undefined", "undefined"}));
}

TEST(ScriptSound, SettingsTakeWholePercentsAndOnlyATransformsOwnChannels) {
    moviemaker::SwfWriter movie(header());
    Actions a;
    newSound(a, "s");
    a.traceValue("s.getVolume");
    const auto traceCall = [&](std::string_view method) {
        a.pushInt(0).push("s").code(0x1C).push(method).code(0x52).code(0x26);
    };
    traceCall("getVolume");
    traceCall("getPan");
    call(a, "s", "setVolume", {-20.7});
    traceCall("getVolume");
    a.push("loud").pushInt(1).push("s").code(0x1C).push("setVolume").code(0x52).code(0x17);
    traceCall("getVolume");
    // o.ll = 50 on an object whose prototype offers rr = 10: only ll is taken.
    a.push("p").pushInt(0).push("Object").code(0x40).code(0x1D);
    a.push("p").code(0x1C).push("rr").push(10.0).code(0x4F);
    a.push("o").pushInt(0).push("Object").code(0x40).code(0x1D);
    a.push("o").code(0x1C).push("__proto__").push("p").code(0x1C).code(0x4F);
    a.push("o").code(0x1C).push("ll").push(50.0).code(0x4F);
    a.push("o").code(0x1C).pushInt(1).push("s").code(0x1C).push("setTransform").code(0x52);
    a.code(0x17);
    a.push("t").pushInt(0).push("s").code(0x1C).push("getTransform").code(0x52).code(0x1D);
    a.traceValue("t.ll").traceValue("t.rr");
    traceCall("getPan");
    movie.doAction(a.stop());
    movie.showFrame();
    ScriptedSound p(movie.finish());
    p.play(1);
    // Text that is no number is the lowest integer, as NaN is.
    EXPECT_EQ(p.traced, (std::vector<std::string>{"[type Function]", "100", "0", "-20",
                                                  "-2147483648", "50", "100", "50"}));
}

// Volume and pan take the processor's conversion (what is NaN, infinite or beyond 32 bits
// is the lowest integer); a transform's shares take ToInt32 and wrap. Pan reads back from
// the magnitudes of the channels, in wrapping 32-bit arithmetic.
TEST(ScriptSound, PercentsAreThirtyTwoBitIntegersAndPanReadsMagnitudes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double given;
        const char* volume;
        const char* pan;      // getPan after setPan
        const char* channels; // ll,rr after setPan
        const char* share;    // ll after setTransform({ll: given})
        const char* sharePan; // getPan after that
    } table[] = {
        {nan, "-2147483648", "2147483448", "100,-2147483548", "0", "100"},
        {inf, "-2147483648", "2147483448", "100,-2147483548", "0", "100"},
        {-inf, "-2147483648", "2147483448", "100,-2147483548", "0", "100"},
        {1e21, "-2147483648", "2147483448", "100,-2147483548", "-559939584", "-559939484"},
        {2147483648.0, "-2147483648", "2147483448", "100,-2147483548", "-2147483648",
         "-2147483548"},
        {2147483647.0, "2147483647", "-2147483447", "-2147483547,100", "2147483647", "-2147483547"},
        {150.7, "150", "50", "-50,100", "150", "-50"},
        {-150.7, "-150", "-50", "100,-50", "-150", "-50"},
        {-50, "-50", "-50", "100,50", "-50", "50"},
        {30, "30", "30", "70,100", "30", "70"},
    };
    for (const auto& row : table) {
        moviemaker::SwfWriter movie(header());
        Actions a;
        newSound(a, "s");
        const auto traceCall = [&](std::string_view method) {
            a.pushInt(0).push("s").code(0x1C).push(method).code(0x52).code(0x26);
        };
        call(a, "s", "setVolume", {row.given});
        traceCall("getVolume");
        call(a, "s", "setPan", {row.given});
        traceCall("getPan");
        a.push("t").pushInt(0).push("s").code(0x1C).push("getTransform").code(0x52).code(0x1D);
        a.push("t").code(0x1C).push("ll").code(0x4E).push(",").code(0x21);
        a.push("t").code(0x1C).push("rr").code(0x4E).code(0x21).code(0x26);
        // s.setTransform({ll: given, rr: 100})
        a.push("o").pushInt(0).push("Object").code(0x40).code(0x1D);
        a.push("o").code(0x1C).push("ll").push(row.given).code(0x4F);
        a.push("o").code(0x1C).push("rr").push(100.0).code(0x4F);
        a.push("o").code(0x1C).pushInt(1).push("s").code(0x1C).push("setTransform").code(0x52);
        a.code(0x17);
        a.push("t").pushInt(0).push("s").code(0x1C).push("getTransform").code(0x52).code(0x1D);
        a.traceValue("t.ll");
        traceCall("getPan");
        movie.doAction(a.stop());
        movie.showFrame();
        ScriptedSound p(movie.finish());
        p.play(1);
        EXPECT_EQ(p.traced, (std::vector<std::string>{row.volume, row.pan, row.channels, row.share,
                                                      row.sharePan}))
            << row.given;
    }
}

TEST(ScriptSound, AClipMadeWhereARemovedOneWasStartsAtFullVolume) {
    moviemaker::SwfWriter movie(header());
    exportTone(movie, "long", 2.0);
    // _root.createEmptyMovieClip("mc", 1)
    auto makeClip = [](Actions& a) {
        a.push(1).push("mc").pushInt(2).push("_root").code(0x1C);
        a.push("createEmptyMovieClip").code(0x52).code(0x17);
    };
    Actions first;
    makeClip(first);
    newSound(first, "a", "mc");
    call(first, "a", "setVolume", {20});
    movie.doAction(first);
    movie.showFrame();
    Actions second;
    // mc.removeMovieClip(), then a new "mc" at the same depth under the same name.
    second.pushInt(0).push("mc").code(0x1C).push("removeMovieClip").code(0x52).code(0x17);
    makeClip(second);
    newSound(second, "b", "mc");
    second.callMethod("b", "attachSound", {"long"});
    call(second, "b", "start");
    second.pushInt(0).push("b").code(0x1C).push("getVolume").code(0x52).code(0x26);
    movie.doAction(second);
    movie.showFrame();
    movie.showFrame();
    ScriptedSound p(movie.finish());
    p.play(3);
    // The group is the new clip's own: nothing of the removed clip's 20 reaches it.
    EXPECT_NEAR(p.rmsOfFrame(2), kToneRms, 0.03 * kToneRms);
    EXPECT_EQ(p.traced, (std::vector<std::string>{"100"}));
}

} // namespace
