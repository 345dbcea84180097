// Composing as a person does: 20 photos of 12 megapixels and a 3-minute song, through
// `cardtool compose` in a child process, timing it and reading its peak memory. Runs the song
// as MP3 (carried as it is) and as WAV (decoded and encoded), and reports the movie's size
// against the photos at stage size plus the song at 128 kbit/s.
//
//     bench/bench_compose [--photos N] [--seconds S] [--cardtool PATH]
#include "composer/MusicPreparation.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A photo-like picture: gradients, shapes and fine grain, so JPEG sizes are realistic.
void writePhoto(const fs::path& file, int index, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor::fromHsv((index * 37) % 360, 120, 240));
    sky.setColorAt(1, QColor::fromHsv((index * 37 + 60) % 360, 200, 120));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < 12; ++k) {
        p.setBrush(QColor::fromHsv((index * 53 + k * 29) % 360, 160, 200, 180));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(width * ((k * 37 % 100) / 100.0), height * ((k * 61 % 100) / 100.0)),
                      width / 10.0, height / 8.0);
    }
    p.end();
    uint32_t seed = 12345u + static_cast<uint32_t>(index);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>(seed >> 28) - 8;
            const QRgb c = row[x];
            row[x] =
                qRgb(std::clamp(qRed(c) + grain, 0, 255), std::clamp(qGreen(c) + grain, 0, 255),
                     std::clamp(qBlue(c) + grain, 0, 255));
        }
    }
    image.save(QString::fromStdString(file.string()), "JPEG", 92);
}

void writeSong(const fs::path& file, double seconds) {
    const uint32_t rate = 44100;
    const auto frames = static_cast<uint32_t>(seconds * rate);
    std::vector<int16_t> pcm(static_cast<std::size_t>(frames) * 2);
    const double notes[] = {262, 294, 330, 349, 392, 440, 494, 523};
    for (uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double note = notes[static_cast<int>(t * 2) % 8];
        const double v =
            9000 * (1 - std::fmod(t * 2, 1.0) * 0.7) * std::sin(2 * std::numbers::pi * note * t);
        pcm[2 * i] = static_cast<int16_t>(v);
        pcm[2 * i + 1] = static_cast<int16_t>(v * 0.8);
    }
    std::ofstream out(file, std::ios::binary);
    const auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const uint32_t bytes = frames * 4;
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(rate);
    u32(rate * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    out.write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(bytes));
}

struct Run {
    double seconds = 0;
    long peakKb = 0;
    int status = -1;
};

Run runChild(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    const auto began = std::chrono::steady_clock::now();
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    run.peakKb = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

int main(int argc, char** argv) {
    int photos = 20;
    double seconds = 180;
    fs::path cardtool = fs::path(argv[0]).parent_path() / ".." / "bin" / "cardtool";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--photos") == 0) {
            photos = std::stoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::stod(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--cardtool") == 0) {
            cardtool = argv[i + 1];
        }
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const fs::path dir = fs::temp_directory_path() / ("bench_compose_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::vector<std::string> photoArgs;
    std::uintmax_t photoBytes = 0;
    for (int i = 0; i < photos; ++i) {
        const fs::path file = dir / ("photo" + std::to_string(i) + ".jpg");
        writePhoto(file, i, 4000, 3000);
        photoBytes += fs::file_size(file);
        photoArgs.push_back("--photo");
        photoArgs.push_back(file.string());
    }
    const fs::path wav = dir / "song.wav";
    writeSong(wav, seconds);
    const composer::PreparedMusic mp3 = composer::prepareMusic(wav, 0, seconds, 0, 0, false);
    const fs::path song = dir / "song.mp3";
    std::ofstream(song, std::ios::binary)
        .write(reinterpret_cast<const char*>(mp3.mp3.data()),
               static_cast<std::streamsize>(mp3.mp3.size()));
    std::printf("inputs: %d photos of 4000x3000 (%.1f MB of JPEG), a %.0f s song (%.1f MB MP3)\n",
                photos, static_cast<double>(photoBytes) / 1e6, seconds,
                static_cast<double>(mp3.mp3.size()) / 1e6);

    for (const auto& [name, music] : {std::pair{"mp3", song}, std::pair{"wav", wav}}) {
        const fs::path out = dir / (std::string("movie-") + name + ".swf");
        std::vector<std::string> args = {cardtool.string(), "compose"};
        args.insert(args.end(), photoArgs.begin(), photoArgs.end());
        args.insert(args.end(),
                    {"--music", music.string(), "--title", "新年快乐", "--words",
                     "祝你新的一年身体健康，万事如意！", "--style", "新春", "--out", out.string()});
        const Run run = runChild(args);
        const double movieMb = fs::exists(out) ? static_cast<double>(fs::file_size(out)) / 1e6 : 0;
        // The budget: photos at stage size (about 100 KB each at 800x600) plus the song.
        std::printf("compose (song as %s): %.2f s, peak %.0f MB, movie %.2f MB, exit %d\n", name,
                    run.seconds, static_cast<double>(run.peakKb) / 1024.0, movieMb, run.status);
    }
    fs::remove_all(dir);
    return 0;
}
