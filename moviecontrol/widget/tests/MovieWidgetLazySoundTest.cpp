// SDL is loaded by the first movie with sound, not with the movie control: a silent card
// starts without it, and a movie with sound still reaches the device. One process, in this
// order, since a loaded library stays loaded.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <dlfcn.h>

#include "MovieAudio.h"
#include "MovieWidget.h"
#include "SdlLibrary.h"
#include "SdlOutput.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

int argc = 1;
char name[] = "moviecontrol_lazy_sound_tests";
char* argv[] = {name, nullptr};

bool sdlLoaded() {
    void* handle = ::dlopen(audio::kSdlLibrary, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return false;
    }
    ::dlclose(handle); // only the reference RTLD_NOLOAD took
    return true;
}

std::string written(const QTemporaryDir& dir, const char* file, moviemaker::SwfWriter& movie) {
    std::string path = dir.filePath(QString::fromLatin1(file)).toStdString(); // returned
    QFile f(QString::fromStdString(path));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    const auto bytes = movie.finish();
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

TEST(LazySound, SilentMovieLeavesSdlUnloadedAndASoundLoadsItOnTheDevice) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ASSERT_FALSE(sdlLoaded()) << "the test program itself must not link SDL";

    moviemaker::SwfWriter silent;
    silent.showFrame();
    silent.showFrame();
    MovieWidget w;
    w.resize(40, 30);
    w.setMovie(written(dir, "silent.swf", silent));
    w.show();
    QApplication::processEvents();
    ASSERT_TRUE(w.hasMovie());
    EXPECT_FALSE(w.grabFrame().isNull());
    EXPECT_FALSE(sdlLoaded());

    moviemaker::SwfWriter loud;
    const auto tone = moviemaker::sineTone(600, 22050, 2205);
    loud.startSound(loud.defineSound({3, 2, true, false}, 22050, moviemaker::pcm16Bytes(tone)));
    loud.showFrame();
    w.setMovie(written(dir, "loud.swf", loud));
    ASSERT_NE(w.audio(), nullptr);
    EXPECT_TRUE(sdlLoaded());
    EXPECT_TRUE(audio::SdlOutput::deviceOpen());
    EXPECT_EQ(w.audio()->mixer().eventVoices(), 1u);
    w.setMovie("");
    EXPECT_FALSE(audio::SdlOutput::deviceOpen());
}

TEST(LazySound, AMissingLibraryIsReportedNotFatal) {
    std::string why;
    EXPECT_FALSE(audio::loadSdlAudio("libvelmora-no-such-sound.so.0", why));
    EXPECT_NE(why.find("libvelmora-no-such-sound.so.0"), std::string::npos) << why;
    // A library without SDL's functions is refused as well.
    why.clear();
    EXPECT_FALSE(audio::loadSdlAudio("libz.so.1", why));
    EXPECT_FALSE(why.empty());
}

} // namespace
} // namespace mc
