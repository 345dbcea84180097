#pragma once
// Render tests whose movie runs a script: what it traced and the stage it left.

#include <QImage>
#include <string>
#include <vector>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace mc {

struct PlayedScript {
    std::vector<std::string> traced;
    QImage image; // null when the movie did not load
};

// Runs `script` on the movie's first frame and paints the stage at `size`.
inline PlayedScript playScript(moviemaker::SwfWriter& movie, const moviemaker::Actions& script,
                               QSize size) {
    movie.doAction(script);
    movie.showFrame();
    renderTestApp();
    PlayedScript out;
    StageCallbacks callbacks;
    callbacks.trace = [&out](std::string_view line) { out.traced.emplace_back(line); };
    if (auto renderer = MovieView::fromBytes(movie.finish(), callbacks)) {
        out.image = renderer->renderFrame(size, RenderQuality::High);
    }
    return out;
}

} // namespace mc
