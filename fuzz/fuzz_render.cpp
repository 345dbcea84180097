// Loads arbitrary bytes as a movie, plays a few frames with clicks and keys and paints each
// at a small size: the timeline, the input, the path conversion and the painter must survive
// any input.
#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "MovieView.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_render";
    static char* argv[] = {name, nullptr};
    static const bool offscreen = setenv("QT_QPA_PLATFORM", "offscreen", 0) == 0;
    static QGuiApplication app(argc, argv); // lives for the whole fuzzing run
    (void)offscreen;
    auto movie = mc::MovieView::fromBytes(std::span<const std::uint8_t>(data, size));
    if (!movie) {
        return 0;
    }
    // A person at the movie: a press and release at a different place each frame, a key.
    const mc::TwipsRect stage = movie->stage();
    for (int frame = 0; frame < 4; ++frame) {
        (void)movie->renderFrame(QSize(64, 48),
                                 frame % 2 == 0 ? mc::RenderQuality::High : mc::RenderQuality::Low);
        movie->player().advance();
        const double x = stage.xMin + static_cast<double>(stage.width()) * (frame + 1) / 5;
        const double y = stage.yMin + static_cast<double>(stage.height()) * (4 - frame) / 5;
        mc::StageInput& input = movie->input();
        input.mouseMove(x, y);
        input.mouseDown(x, y);
        input.keyDown(mc::KeyStroke{13, 13});
        input.mouseUp(x + 100, y);
        input.keyUp(mc::KeyStroke{13, 13});
    }
    movie->player().stepBack();
    movie->player().rewind();
    return 0;
}
