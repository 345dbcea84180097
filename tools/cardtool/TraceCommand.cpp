#include "TraceCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "InputScript.h"
#include "MovieView.h"

namespace {

constexpr long kMaxFrames = 1'000'000;
// Input files are hand-written lists of events; anything larger is not one.
constexpr std::streamsize kMaxInputBytes = 16 << 20;

std::optional<std::string> readSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(kMaxInputBytes) + 1, '\0');
    in.read(text.data(), kMaxInputBytes + 1);
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad() || text.size() > static_cast<std::size_t>(kMaxInputBytes)) {
        return std::nullopt;
    }
    return text;
}

// Stage pixels from the stage's top-left corner to stage twips.
void deliver(mc::MoviePlayback& playback, const InputEvent& e) {
    mc::StageInput& input = playback.input();
    const mc::TwipsRect stage = playback.stage();
    const double x = stage.xMin + e.x * 20.0;
    const double y = stage.yMin + e.y * 20.0;
    switch (e.kind) {
    case InputEvent::Kind::MouseMove:
        input.mouseMove(x, y);
        break;
    case InputEvent::Kind::MouseDown:
    case InputEvent::Kind::MouseUp:
        if (e.button != InputEvent::Button::Left) {
            input.otherButton(e.button == InputEvent::Button::Middle,
                              e.kind == InputEvent::Kind::MouseDown, x, y);
        } else if (e.kind == InputEvent::Kind::MouseDown) {
            input.mouseDown(x, y);
        } else {
            input.mouseUp(x, y);
        }
        break;
    case InputEvent::Kind::Wheel:
        input.wheel(e.wheel);
        break;
    case InputEvent::Kind::KeyDown:
        input.keyDown(e.key);
        break;
    case InputEvent::Kind::KeyUp:
        input.keyUp(e.key);
        break;
    case InputEvent::Kind::Text:
        input.typeText(e.text);
        break;
    case InputEvent::Kind::TextControl:
        input.editText(e.command, e.move, e.extend);
        break;
    }
}

// The character a key stroke types, which the text the same stroke sends after it (its key
// up between them or not) must not type again; 0 for none.
char32_t typedCharacter(const InputEvent& e) {
    const QString typed = QString::fromStdString(e.text);
    const auto codes = typed.toUcs4();
    return codes.size() == 1 ? codes[0] : 0;
}

void printUsage() {
    std::fprintf(stderr, "usage: cardtool trace MOVIE [--frames N] [--input FILE]\n");
}

} // namespace

int runTraceCommand(int argc, char** argv) {
    std::string moviePath;
    long frames = 1;
    std::string inputPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames") {
            const char* v = i + 1 < argc ? argv[++i] : nullptr;
            char* end = nullptr;
            const long n = v == nullptr ? 0 : std::strtol(v, &end, 10);
            if (v == nullptr || *end != '\0' || n < 1 || n > kMaxFrames) {
                printUsage();
                return 2;
            }
            frames = n;
        } else if (arg == "--input") {
            if (i + 1 >= argc) {
                printUsage();
                return 2;
            }
            inputPath = argv[++i];
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            printUsage();
            return 2;
        } else if (moviePath.empty()) {
            moviePath = arg;
        } else {
            printUsage();
            return 2;
        }
    }
    if (moviePath.empty()) {
        printUsage();
        return 2;
    }
    InputScript script;
    if (!inputPath.empty()) {
        const auto text = readSmallFile(inputPath);
        if (!text) {
            std::fprintf(stderr, "cardtool trace: cannot read %s\n", inputPath.c_str());
            return 1;
        }
        std::string error;
        auto read = readInputScript(*text, error);
        if (!read) {
            std::fprintf(stderr, "cardtool trace: %s: %s\n", inputPath.c_str(), error.c_str());
            return 1;
        }
        script = std::move(*read);
        for (const std::string& line : script.skipped) {
            std::fprintf(stderr, "cardtool trace: %s: %s\n", inputPath.c_str(), line.c_str());
        }
    }
    // Lines go out as they are traced, so that a movie stopped by a limit still shows them.
    const auto printLine = [](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    };
    mc::PlaybackSetup setup;
    setup.pace = mc::Pace::FrameSteps;
    setup.callbacks.trace = printLine;
    // fscommand("quit") closes the player: the frame that asked still ends, no later one comes.
    bool quit = false;
    setup.callbacks.fscommand = [&quit](std::string_view command, std::string_view) {
        const std::string_view word = "quit";
        quit = quit || std::equal(command.begin(), command.end(), word.begin(), word.end(),
                                  [](char a, char b) {
                                      return std::tolower(static_cast<unsigned char>(a)) == b;
                                  });
    };
    // Traces need no pictures, but BitmapData.draw in a traced movie still paints.
    const std::unique_ptr<mc::MovieView> movie =
        mc::MovieView::fromFile(moviePath, std::move(setup));
    if (!movie) {
        std::fprintf(stderr, "cardtool trace: cannot load %s\n", moviePath.c_str());
        return 1;
    }
    // Each frame: the movie moves on (the first frame is shown on loading), then that
    // frame's events arrive.
    for (long i = 0; i < frames && !quit; ++i) {
        if (i > 0) {
            movie->playback().stepFrame();
        }
        if (static_cast<std::size_t>(i) < script.frames.size()) {
            char32_t keyTyped = 0;
            for (const InputEvent& e : script.frames[static_cast<std::size_t>(i)]) {
                if (e.kind == InputEvent::Kind::KeyDown) {
                    keyTyped = e.key.ascii;
                } else if (e.kind == InputEvent::Kind::Text && keyTyped != 0 &&
                           typedCharacter(e) == keyTyped) {
                    keyTyped = 0;
                    continue;
                }
                deliver(movie->playback(), e);
            }
        }
    }
    std::fflush(stdout);
    return 0;
}
