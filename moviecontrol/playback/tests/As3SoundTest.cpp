// ActionScript 3 sounds heard through the player's sound layer, mixed offline: a class bound
// to a library sound plays it on a channel of its own, which stops alone, reports its end
// once, and is shaped by the mixer's transform.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "AbcBuilder.h"
#include "MoviePlayback.h"
#include "moviemaker/Sound.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using avm2test::AbcBuilder;
using avm2test::BodySpec;
using avm2test::Bytes;
using avm2test::call;
using avm2test::ClassSpec;
using avm2test::name;
using Lines = std::vector<std::string>;

enum class After { Nothing, Stop, MixerSilent };

// class Tone extends flash.media.Sound {}
// var c = new Tone().play(0, 2);
// c.addEventListener("soundComplete", function (e) { trace(e.target.position); });
// then, by `after`: c.stop(), or SoundMixer.soundTransform = new SoundTransform(0).
Bytes toneScript(After after) {
    AbcBuilder abc;
    const auto publicNs = abc.package(abc.string(""));
    const auto mediaNs = abc.package(abc.string("flash.media"));
    const auto tone = abc.qname(publicNs, abc.string("Tone"));
    const auto sound = abc.qname(mediaNs, abc.string("Sound"));
    const auto play = abc.qname(publicNs, abc.string("play"));
    const auto listen = abc.qname(publicNs, abc.string("addEventListener"));
    const auto stop = abc.qname(publicNs, abc.string("stop"));
    const auto trace = abc.qname(publicNs, abc.string("trace"));
    const auto mixer = abc.qname(mediaNs, abc.string("SoundMixer"));
    const auto transform = abc.qname(mediaNs, abc.string("SoundTransform"));
    const auto mixerTransform = abc.qname(publicNs, abc.string("soundTransform"));
    const auto soundComplete = abc.string("soundComplete");
    const auto target = abc.qname(publicNs, abc.string("target"));
    const auto position = abc.qname(publicNs, abc.string("position"));

    const auto iinit = abc.method();
    const auto cinit = abc.method();
    const auto listener = abc.method(1);
    const auto init = abc.method();
    abc.classes.push_back(ClassSpec{tone, sound, iinit, cinit, {}, {}});
    abc.scripts.push_back({init, {{tone, 4, 1, 0, 0}}});

    abc.bodies.push_back(BodySpec{iinit, 2, 1, 0, 1, {0xD0, 0x30, 0xD0, 0x49, 0x00, 0x47}, {}});
    abc.bodies.push_back(BodySpec{cinit, 1, 1, 0, 1, {0x47}, {}});
    Bytes heard{0xD0, 0x30};
    name(heard, 0x5D, trace);
    heard.push_back(0xD1);
    name(heard, 0x66, target);
    name(heard, 0x66, position);
    call(heard, 0x4F, trace, 1);
    heard.push_back(0x47);
    abc.bodies.push_back(BodySpec{listener, 3, 2, 0, 1, heard, {}});

    Bytes code{0xD0, 0x30, 0x65, 0x00};
    name(code, 0x60, sound);
    name(code, 0x58, 0); // newclass Tone
    name(code, 0x68, tone);
    name(code, 0x5D, tone);
    call(code, 0x4A, tone, 0);
    code.insert(code.end(), {0x24, 0x00, 0x24, 0x02});
    call(code, 0x46, play, 2);
    code.insert(code.end(), {0xD5, 0xD1});
    name(code, 0x2C, soundComplete);
    name(code, 0x40, listener);
    call(code, 0x4F, listen, 2);
    if (after == After::Stop) {
        code.push_back(0xD1);
        call(code, 0x4F, stop, 0);
    } else if (after == After::MixerSilent) {
        name(code, 0x60, mixer);
        name(code, 0x5D, transform);
        code.insert(code.end(), {0x24, 0x00});
        call(code, 0x4A, transform, 1);
        name(code, 0x61, mixerTransform);
    }
    code.push_back(0x47);
    abc.bodies.push_back(BodySpec{init, 4, 2, 0, 2, code, {}});
    return abc.build();
}

// A 1 kHz tone of `frames` samples at 22.05 kHz, the script block and SymbolClass on the first
// frame: the class named `boundClass` takes the tone, or, when it is "", the document class
// Root is bound and the root timeline starts the tone (a StartSound tag).
std::vector<std::uint8_t> movieWithTone(const Bytes& block, std::uint32_t frames,
                                        const std::string& boundClass, int frameCount) {
    moviemaker::MovieHeader h;
    h.version = 10;
    h.frameRate = 10.0;
    moviemaker::SwfWriter movie(h);
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes); // FileAttributes: ActionScript 3
    const auto samples = moviemaker::sineTone(1000, 22050, frames);
    const auto id = movie.defineSound(moviemaker::SoundFormat{3, 2, true, false},
                                      static_cast<std::uint32_t>(samples.size()),
                                      moviemaker::pcm16Bytes(samples));
    const auto lo = static_cast<std::uint8_t>(id & 0xFF), hi = static_cast<std::uint8_t>(id >> 8);
    std::vector<std::uint8_t> symbols{1, 0};
    if (boundClass.empty()) {
        symbols.insert(symbols.end(), {0, 0, 'R', 'o', 'o', 't'});
    } else {
        symbols.insert(symbols.end(), {lo, hi});
        symbols.insert(symbols.end(), boundClass.begin(), boundClass.end());
    }
    symbols.push_back(0);
    std::vector<std::uint8_t> doAbc{0, 0, 0, 0, 0}; // not lazy, no name
    doAbc.insert(doAbc.end(), block.begin(), block.end());
    movie.rawTag(82, doAbc);
    movie.rawTag(76, symbols); // SymbolClass
    if (boundClass.empty()) {
        const std::uint8_t start[] = {lo, hi, 0};
        movie.rawTag(15, start); // StartSound
    }
    for (int f = 0; f < frameCount; ++f) {
        movie.showFrame();
    }
    return movie.finish();
}

// A movie with a 0.1 s tone bound to Tone by SymbolClass, the script on its first frame.
std::vector<std::uint8_t> toneMovie(After after) {
    return movieWithTone(toneScript(after), 2205, "Tone", 8);
}

// var s = new Sound(new URLRequest(file));
// s.addEventListener(t, function (e) { trace(e.type + " " + e.target.bytesLoaded); })
//     for t in open, progress, complete;
// s.addEventListener("ioError", function (e) { trace(e.text); });
// s.play();
// s.load(new URLRequest(file)); // a second load is the script's error
Bytes loadingScript(const std::string& file) {
    AbcBuilder abc;
    const auto publicNs = abc.package(abc.string(""));
    const auto mediaNs = abc.package(abc.string("flash.media"));
    const auto netNs = abc.package(abc.string("flash.net"));
    const auto sound = abc.qname(mediaNs, abc.string("Sound"));
    const auto request = abc.qname(netNs, abc.string("URLRequest"));
    const auto play = abc.qname(publicNs, abc.string("play"));
    const auto load = abc.qname(publicNs, abc.string("load"));
    const auto listen = abc.qname(publicNs, abc.string("addEventListener"));
    const auto trace = abc.qname(publicNs, abc.string("trace"));
    const auto type = abc.qname(publicNs, abc.string("type"));
    const auto target = abc.qname(publicNs, abc.string("target"));
    const auto bytesLoaded = abc.qname(publicNs, abc.string("bytesLoaded"));
    const auto text = abc.qname(publicNs, abc.string("text"));
    const auto space = abc.string(" ");
    const auto fileName = abc.string(file);

    const auto reportLoad = abc.method(1);
    const auto reportError = abc.method(1);
    const auto init = abc.method();
    abc.scripts.push_back({init, {}});

    Bytes progress{0xD0, 0x30};
    name(progress, 0x5D, trace);
    progress.push_back(0xD1);
    name(progress, 0x66, type);
    name(progress, 0x2C, space);
    progress.push_back(0xA0);
    progress.push_back(0xD1);
    name(progress, 0x66, target);
    name(progress, 0x66, bytesLoaded);
    progress.push_back(0xA0);
    call(progress, 0x4F, trace, 1);
    progress.push_back(0x47);
    abc.bodies.push_back(BodySpec{reportLoad, 4, 2, 0, 1, progress, {}});
    Bytes failed{0xD0, 0x30};
    name(failed, 0x5D, trace);
    failed.push_back(0xD1);
    name(failed, 0x66, text);
    call(failed, 0x4F, trace, 1);
    failed.push_back(0x47);
    abc.bodies.push_back(BodySpec{reportError, 3, 2, 0, 1, failed, {}});

    const auto newRequest = [&](Bytes& code) {
        name(code, 0x5D, request);
        name(code, 0x2C, fileName);
        call(code, 0x4A, request, 1);
    };
    Bytes code{0xD0, 0x30};
    name(code, 0x5D, sound);
    newRequest(code);
    call(code, 0x4A, sound, 1);
    code.push_back(0xD5);
    for (const char* event : {"open", "progress", "complete", "ioError"}) {
        code.push_back(0xD1);
        name(code, 0x2C, abc.string(event));
        name(code, 0x40, std::string(event) == "ioError" ? reportError : reportLoad);
        call(code, 0x4F, listen, 2);
    }
    code.push_back(0xD1);
    call(code, 0x4F, play, 0);
    code.push_back(0xD1);
    newRequest(code);
    call(code, 0x4F, load, 1);
    code.push_back(0x47);
    abc.bodies.push_back(BodySpec{init, 4, 2, 0, 2, code, {}});
    return abc.build();
}

std::vector<std::uint8_t> scriptMovie(const Bytes& block) {
    moviemaker::MovieHeader h;
    h.version = 10;
    h.frameRate = 10.0;
    moviemaker::SwfWriter movie(h);
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes);                   // FileAttributes: ActionScript 3
    std::vector<std::uint8_t> doAbc{0, 0, 0, 0, 0}; // not lazy, no name
    doAbc.insert(doAbc.end(), block.begin(), block.end());
    movie.rawTag(82, doAbc);
    for (int f = 0; f < 8; ++f) {
        movie.showFrame();
    }
    return movie.finish();
}

// A root timeline that starts a 0.3 s tone on its first frame (a StartSound tag); its
// document class, when `silenced`, sets this.soundTransform = new SoundTransform(0) as it is
// made.
std::vector<std::uint8_t> timelineToneMovie(bool silenced) {
    AbcBuilder abc;
    const auto publicNs = abc.package(abc.string(""));
    const auto displayNs = abc.package(abc.string("flash.display"));
    const auto mediaNs = abc.package(abc.string("flash.media"));
    const auto root = abc.qname(publicNs, abc.string("Root"));
    const auto movieClip = abc.qname(displayNs, abc.string("MovieClip"));
    const auto transform = abc.qname(mediaNs, abc.string("SoundTransform"));
    const auto soundTransform = abc.qname(publicNs, abc.string("soundTransform"));
    const auto iinit = abc.method();
    const auto cinit = abc.method();
    const auto init = abc.method();
    abc.classes.push_back(ClassSpec{root, movieClip, iinit, cinit, {}, {}});
    abc.scripts.push_back({init, {{root, 4, 1, 0, 0}}});
    Bytes made{0xD0, 0x30, 0xD0, 0x49, 0x00};
    if (silenced) {
        made.push_back(0xD0);
        name(made, 0x5D, transform);
        made.insert(made.end(), {0x24, 0x00});
        call(made, 0x4A, transform, 1);
        name(made, 0x61, soundTransform);
    }
    made.push_back(0x47);
    abc.bodies.push_back(BodySpec{iinit, 3, 1, 0, 1, made, {}});
    abc.bodies.push_back(BodySpec{cinit, 1, 1, 0, 1, {0x47}, {}});
    Bytes code{0xD0, 0x30, 0x65, 0x00};
    name(code, 0x60, movieClip);
    name(code, 0x58, 0); // newclass Root
    name(code, 0x68, root);
    code.push_back(0x47);
    abc.bodies.push_back(BodySpec{init, 2, 1, 0, 1, code, {}});

    return movieWithTone(abc.build(), 6615, "", 6);
}

std::vector<std::uint8_t> toneMp3() {
    std::ifstream in(std::string(std::getenv("VELMORA_SOURCE_DIR")) +
                         "/moviecontrol/audio/tests/data/tone440-44k-mono.mp3",
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Played {
    explicit Played(std::vector<std::uint8_t> movie,
                    std::map<std::string, std::vector<std::uint8_t>> beside = {})
        : files(std::move(beside)) {
        PlaybackSetup setup;
        setup.pace = Pace::FrameSteps;
        setup.keepSound = true;
        setup.callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        setup.callbacks.readBeside = [this](const std::string& path) {
            const auto it = files.find(path);
            return it != files.end() ? it->second : std::vector<std::uint8_t>{};
        };
        playback = MoviePlayback::fromBytes(movie, std::move(setup));
    }
    explicit Played(After after) {
        PlaybackSetup setup;
        setup.pace = Pace::FrameSteps;
        setup.keepSound = true;
        setup.callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        playback = MoviePlayback::fromBytes(toneMovie(after), std::move(setup));
    }
    int loudest() const {
        int most = 0;
        for (const std::int16_t s : playback->sound()) {
            most = std::max(most, std::abs(int{s}));
        }
        return most;
    }
    std::map<std::string, std::vector<std::uint8_t>> files;
    Lines traced;
    std::unique_ptr<MoviePlayback> playback;
};

TEST(As3SoundTest, ABoundSoundPlaysItsLoopsAndReportsTheirEndOnce) {
    Played p(After::Nothing);
    ASSERT_TRUE(p.playback);
    for (int f = 0; f < 6; ++f) {
        p.playback->stepFrame();
    }
    EXPECT_GT(p.loudest(), 5000);
    // Once, after both loops, the finished channel standing at the sound's end.
    EXPECT_EQ(p.traced, (Lines{"100"}));
}

TEST(As3SoundTest, AStoppedChannelOrASilentMixerIsNotHeard) {
    for (const After after : {After::Stop, After::MixerSilent}) {
        Played p(after);
        ASSERT_TRUE(p.playback);
        for (int f = 0; f < 6; ++f) {
            p.playback->stepFrame();
        }
        EXPECT_LT(p.loudest(), 10) << static_cast<int>(after);
        if (after == After::Stop) {
            EXPECT_TRUE(p.traced.empty()); // a stopped channel never completes
        }
    }
}

TEST(As3SoundTest, ASpritesSoundTransformShapesItsTimelinesSounds) {
    for (const bool silenced : {false, true}) {
        Played p(timelineToneMovie(silenced));
        ASSERT_TRUE(p.playback);
        for (int f = 0; f < 3; ++f) {
            p.playback->stepFrame();
        }
        if (silenced) {
            EXPECT_LT(p.loudest(), 10);
        } else {
            EXPECT_GT(p.loudest(), 5000);
        }
    }
}

TEST(As3SoundTest, AnMp3BesideTheMovieSoundsAtOnceAndReportsItsArrivalInOrder) {
    const std::vector<std::uint8_t> mp3 = toneMp3();
    ASSERT_FALSE(mp3.empty());
    Played p(scriptMovie(loadingScript("tone.mp3")), {{"tone.mp3", mp3}});
    ASSERT_TRUE(p.playback);
    for (int f = 0; f < 4; ++f) {
        p.playback->stepFrame();
    }
    // Played before its complete event, the file is heard all the same.
    EXPECT_GT(p.loudest(), 3000);
    const std::string size = std::to_string(mp3.size());
    ASSERT_EQ(p.traced.size(), 4u);
    EXPECT_NE(p.traced[0].find("#2037"), std::string::npos) << p.traced[0];
    EXPECT_EQ(Lines(p.traced.begin() + 1, p.traced.end()),
              (Lines{"open 0", "progress " + size, "complete " + size}));
}

TEST(As3SoundTest, AMissingFileReportsAStreamErrorAndStaysSilent) {
    Played p(scriptMovie(loadingScript("absent.mp3")));
    ASSERT_TRUE(p.playback);
    for (int f = 0; f < 3; ++f) {
        p.playback->stepFrame();
    }
    EXPECT_LT(p.loudest(), 10);
    ASSERT_EQ(p.traced.size(), 2u);
    EXPECT_NE(p.traced[1].find("Error #2032: Stream Error. URL: "), std::string::npos);
    EXPECT_NE(p.traced[1].find("absent.mp3"), std::string::npos);
}

} // namespace
} // namespace mc
