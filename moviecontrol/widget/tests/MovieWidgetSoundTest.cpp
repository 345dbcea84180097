// The widget's sound on SDL's disk driver: sound reaches the "device" (a file), the player's
// commands act on it, and letting the movie go closes the device.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "Mixer.h"
#include "MovieAudio.h"
#include "MovieWidget.h"
#include "SdlOutput.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

int argc = 1;
char name[] = "moviecontrol_widget_sound_tests";
char* argv[] = {name, nullptr};

// A ten-second movie at 10 frames a second: a 22 kHz tone streamed with the timeline and an
// event sound on frame 0.
std::string writeSoundMovie(const QTemporaryDir& dir) {
    moviemaker::MovieHeader h;
    h.frameRate = 10;
    moviemaker::SwfWriter movie(h);
    const moviemaker::SoundFormat pcm{3, 2, true, false};
    const auto tone = moviemaker::sineTone(600, 22050, 22050);
    const auto id = movie.defineSound(pcm, 22050, moviemaker::pcm16Bytes(tone));
    movie.startSound(id);
    movie.soundStreamHead(pcm, 2205);
    for (int f = 0; f < 100; ++f) {
        const auto block = moviemaker::sineTone(300, 22050, 2205, 8000);
        movie.soundStreamBlock(moviemaker::pcm16Bytes(block));
        movie.showFrame();
    }
    std::string path = dir.filePath("sound.swf").toStdString();
    QFile f(QString::fromStdString(path));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    const auto bytes = movie.finish();
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

void runFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// How many of the 16-bit samples in the file are not zero.
std::size_t loudSamples(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray data = f.readAll();
    std::size_t loud = 0;
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
        const auto s = static_cast<std::int16_t>(static_cast<std::uint8_t>(data[i]) |
                                                 (static_cast<std::uint8_t>(data[i + 1]) << 8));
        loud += std::abs(s) > 500 ? 1 : 0;
    }
    return loud;
}

TEST(MovieWidgetSound, PlaysOnTheDeviceFollowsItsStreamAndLetsTheDeviceGo) {
    QTemporaryDir dir;
    const std::string out = dir.filePath("device.raw").toStdString();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    QApplication app(argc, argv);
    {
        MovieWidget w;
        w.resize(100, 100);
        w.setMovie(writeSoundMovie(dir));
        ASSERT_NE(w.audio(), nullptr);
        EXPECT_TRUE(audio::SdlOutput::deviceOpen());
        runFor(800);
        // The picture followed the sound: frames ran, and what the stream is owed is no more
        // than one catch-up (a loaded machine may hold the window thread back a frame or two
        // while the device thread plays on).
        EXPECT_GE(w.currentFrame(), 1u);
        EXPECT_TRUE(w.audio()->sound().streaming());
        EXPECT_LE(w.audio()->sound().framesDue(1000).value_or(0), audio::MovieAudio::kMaxCatchUp);
        EXPECT_GT(loudSamples(out), 2000u);

        // Stopped: silent, and the frame holds.
        w.setPlaying(false);
        EXPECT_TRUE(w.audio()->mixer().paused());
        const std::uint32_t held = w.currentFrame();
        runFor(300);
        EXPECT_EQ(w.currentFrame(), held);
        w.Play();
        EXPECT_FALSE(w.audio()->mixer().paused());

        // A frame step stops every sound.
        w.Forward();
        EXPECT_EQ(w.audio()->mixer().eventVoices(), 0u);
        EXPECT_FALSE(w.audio()->sound().streaming());
        // Rewound while playing: the first frame's sounds start again.
        w.Play();
        w.Rewind();
        EXPECT_EQ(w.currentFrame(), 0u);
        EXPECT_EQ(w.audio()->mixer().eventVoices(), 1u);
        EXPECT_TRUE(w.audio()->sound().streaming());

        // Letting the movie go (as the player's end sequence does) closes the device.
        w.setMovie("");
        EXPECT_EQ(w.audio(), nullptr);
        EXPECT_FALSE(audio::SdlOutput::deviceOpen());
    }
    EXPECT_FALSE(audio::SdlOutput::deviceOpen());
}

TEST(MovieWidgetSound, TheFirstFramesScriptedSoundPlaysOnTheDevice) {
    QTemporaryDir dir;
    moviemaker::SwfWriter movie;
    const auto tone = moviemaker::sineTone(600, 22050, 22050);
    const auto id = movie.defineSound({3, 2, true, false}, 22050, moviemaker::pcm16Bytes(tone));
    movie.exportAssets(id, "tone");
    // s = new Sound(); s.attachSound("tone"); s.start();
    moviemaker::Actions a;
    a.push("s").pushInt(0).push("Sound").code(0x40).code(0x1D);
    a.callMethod("s", "attachSound", {"tone"});
    a.callMethod("s", "start");
    movie.doAction(a);
    movie.showFrame();
    movie.showFrame();
    const std::string path = dir.filePath("scripted.swf").toStdString();
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const auto bytes = movie.finish();
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    f.close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::unique_ptr<QApplication> app;
    if (QApplication::instance() == nullptr) {
        app = std::make_unique<QApplication>(argc, argv);
    }
    MovieWidget w;
    w.setMovie(path);
    ASSERT_NE(w.audio(), nullptr);
    EXPECT_EQ(w.audio()->mixer().eventVoices(), 1u);
    w.setMovie("");
    EXPECT_FALSE(audio::SdlOutput::deviceOpen());
}

TEST(MovieWidgetSound, TheListenersLevelReachesTheMixerAndOutlastsTheMovie) {
    QTemporaryDir dir;
    const std::string path = writeSoundMovie(dir);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::unique_ptr<QApplication> app;
    if (QApplication::instance() == nullptr) {
        app = std::make_unique<QApplication>(argc, argv);
    }
    MovieWidget w;
    EXPECT_EQ(w.volume(), 100);
    EXPECT_FALSE(w.muted());
    // Set before any movie: the first movie's sound plays at that level.
    w.setVolume(25);
    w.setMovie(path);
    ASSERT_NE(w.audio(), nullptr);
    EXPECT_EQ(w.audio()->mixer().masterVolume(), 25);
    EXPECT_FALSE(w.audio()->mixer().muted());
    w.setMuted(true);
    EXPECT_TRUE(w.audio()->mixer().muted());
    w.setVolume(130);
    EXPECT_EQ(w.volume(), 100);
    EXPECT_EQ(w.audio()->mixer().masterVolume(), 100);
    w.setVolume(60);
    // Neither goes with the movie: the next one plays muted at 60 too.
    w.setMovie("");
    w.setMovie(path);
    ASSERT_NE(w.audio(), nullptr);
    EXPECT_EQ(w.audio()->mixer().masterVolume(), 60);
    EXPECT_TRUE(w.audio()->mixer().muted());
    w.setMovie("");
}

TEST(MovieWidgetSound, ASilentMovieOpensNoDevice) {
    QTemporaryDir dir;
    moviemaker::SwfWriter movie;
    movie.showFrame();
    const std::string path = dir.filePath("silent.swf").toStdString();
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const auto bytes = movie.finish();
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    f.close();
    std::unique_ptr<QApplication> app;
    if (QApplication::instance() == nullptr) {
        app = std::make_unique<QApplication>(argc, argv);
    }
    MovieWidget w;
    w.setMovie(path);
    EXPECT_TRUE(w.hasMovie());
    EXPECT_EQ(w.audio(), nullptr);
    EXPECT_FALSE(audio::SdlOutput::deviceOpen());
}

} // namespace
} // namespace mc
