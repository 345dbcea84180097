#pragma once

#include <QImage>
#include <gtest/gtest.h>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "moviemaker/SwfWriter.h"

namespace mc {

// An empty movie of w x h pixels on a white stage.
inline moviemaker::SwfWriter whiteStage(int w, int h, std::uint8_t version = 10) {
    moviemaker::MovieHeader header;
    header.version = version;
    header.frameSize = moviemaker::Rect::pixels(w, h);
    moviemaker::SwfWriter movie(header);
    movie.setBackgroundColor({255, 255, 255});
    return movie;
}

// Ends the movie's first frame and paints it at `size`; a null picture (and a failure) when
// the movie does not load.
inline QImage firstFrame(moviemaker::SwfWriter& movie, QSize size,
                         RenderQuality quality = RenderQuality::Low) {
    movie.showFrame();
    renderTestApp();
    const auto view = MovieView::fromBytes(movie.finish());
    EXPECT_TRUE(view);
    return view ? view->renderFrame(size, quality) : QImage();
}

} // namespace mc
