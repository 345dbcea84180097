#pragma once
// A test movie played with its scripts and a person's mouse and keyboard.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "MovieCatalog.h"
#include "StageInput.h"
#include "StageScripts.h"
#include "moviemaker/SwfWriter.h"

namespace mc {

using Lines = std::vector<std::string>;

struct InteractiveMovie {
    explicit InteractiveMovie(std::vector<std::uint8_t> bytes) : file(std::move(bytes)) {
        loaded = swf::loadMovie(file);
        EXPECT_TRUE(loaded.ok());
        catalog = std::make_unique<MovieCatalog>(*loaded.movie);
        StageCallbacks callbacks;
        callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        scripts = std::make_unique<StageScripts>(*loaded.movie, std::move(callbacks));
        player =
            std::make_unique<TimelinePlayer>(*catalog, loaded.movie->root, Rgba{255, 255, 255, 255},
                                             TimelineLimits{}, scripts.get());
        input = std::make_unique<StageInput>(*loaded.movie, *player, scripts.get());
    }
    void click(double x, double y) {
        input->mouseMove(x, y);
        input->mouseDown(x, y);
        input->mouseUp(x, y);
    }
    Lines take() { return std::exchange(traced, {}); }
    DisplayObject& child(std::string_view name) {
        auto c = player->childByName(player->rootObject(), name, false);
        EXPECT_TRUE(c);
        return *c;
    }

    std::vector<std::uint8_t> file;
    swf::LoadResult loaded;
    std::unique_ptr<MovieCatalog> catalog;
    std::unique_ptr<StageScripts> scripts;
    std::unique_ptr<TimelinePlayer> player;
    std::unique_ptr<StageInput> input;
    Lines traced;
};

inline moviemaker::MovieHeader version8() {
    moviemaker::MovieHeader h;
    h.version = 8;
    return h;
}

inline uint16_t rectangleShape(moviemaker::SwfWriter& movie, moviemaker::Rgba colour, int32_t x,
                               int32_t y, int32_t w, int32_t h) {
    moviemaker::Shape s;
    s.fill1(s.addFill(moviemaker::FillStyle::solid(colour))).rectangle(x, y, w, h);
    return movie.defineShape(s);
}

// Up and over show a red box, down a blue one; the hit area is only the triangle of the
// box's upper left half. Its actions trace what happened; a release goes to frame 2.
inline uint16_t defineTestButton(moviemaker::SwfWriter& movie, uint16_t& upShape,
                                 uint16_t& downShape) {
    upShape = rectangleShape(movie, {255, 0, 0, 255}, 0, 0, 2000, 1000);
    downShape = rectangleShape(movie, {0, 0, 255, 255}, 0, 0, 2000, 1000);
    moviemaker::Shape triangle;
    triangle.fill1(triangle.addFill(moviemaker::FillStyle::solid({0, 0, 0, 255})))
        .moveTo(0, 0)
        .lineTo(2000, 0)
        .lineTo(0, 1000)
        .close();
    const uint16_t hit = movie.defineShape(triangle);
    moviemaker::Button b;
    b.records = {{0x03, upShape, 1, {}, {}}, {0x04, downShape, 1, {}, {}}, {0x08, hit, 1, {}, {}}};
    b.conditions = {{0x0001, moviemaker::Actions().trace("over")},
                    {0x0004, moviemaker::Actions().trace("press")},
                    {0x0008, moviemaker::Actions().trace("release").gotoFrame(1)},
                    {0x0040, moviemaker::Actions().trace("outside")},
                    {13 << 9, moviemaker::Actions().trace("enter")}};
    return movie.defineButton2(b);
}

// The button twice its size at (1000, 1000) twips: the hit triangle runs from there to
// (5000, 1000) and (1000, 3000).
inline std::vector<uint8_t> buttonMovie(bool masked) {
    moviemaker::SwfWriter movie(version8());
    uint16_t up = 0;
    uint16_t down = 0;
    const uint16_t button = defineTestButton(movie, up, down);
    if (masked) {
        // Only the stage's left 2000 twips show what lies above the mask.
        moviemaker::PlaceObject mask;
        mask.depth = 1;
        mask.characterId = rectangleShape(movie, {0, 0, 0, 255}, 0, 0, 2000, 8000);
        mask.clipDepth = 3;
        movie.placeObject(mask);
    }
    moviemaker::PlaceObject place;
    place.depth = 2;
    place.characterId = button;
    place.matrix = moviemaker::Matrix::scale(2.0, 2.0, 1000, 1000);
    place.name = "btn";
    movie.placeObject(place);
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    movie.showFrame();
    return movie.finish();
}

} // namespace mc
