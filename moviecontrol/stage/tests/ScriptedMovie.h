#pragma once
// A test movie played with its scripts, for the stage's tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "MovieCatalog.h"
#include "StageScripts.h"
#include "moviemaker/SwfWriter.h"

namespace mc {

using Lines = std::vector<std::string>;

// A test movie played with its scripts, collecting what they trace and send out.
struct ScriptedMovie {
    explicit ScriptedMovie(std::vector<std::uint8_t> bytes) : file(std::move(bytes)) {
        loaded = swf::loadMovie(file);
        EXPECT_TRUE(loaded.ok());
        catalog = std::make_unique<MovieCatalog>(*loaded.movie);
        StageCallbacks callbacks;
        callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        callbacks.clockMs = [this] { return clockMs; };
        callbacks.fscommand = [this](std::string_view c, std::string_view a) {
            commands.push_back(std::string(c) + " " + std::string(a));
        };
        callbacks.openUrl = [this](const std::string& url) { urls.push_back(url); };
        callbacks.readBeside = [this](const std::string& path) {
            opened.push_back(path);
            const std::string vars = "name=J%C3%BCrgen&count=3\n";
            return std::vector<std::uint8_t>(vars.begin(), vars.end());
        };
        scripts = std::make_unique<StageScripts>(*loaded.movie, std::move(callbacks));
        player =
            std::make_unique<TimelinePlayer>(*catalog, loaded.movie->root, Rgba{255, 255, 255, 255},
                                             TimelineLimits{}, scripts.get(), loaded.movie.get());
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            clockMs += 100;
            player->advance();
            scripts->runTimers();
        }
    }

    std::vector<std::uint8_t> file;
    swf::LoadResult loaded;
    std::unique_ptr<MovieCatalog> catalog;
    std::unique_ptr<StageScripts> scripts;
    std::unique_ptr<TimelinePlayer> player;
    double clockMs = 0;
    Lines traced;
    Lines commands;
    Lines urls;
    Lines opened;
};

inline moviemaker::MovieHeader version(int v) {
    moviemaker::MovieHeader h;
    h.version = static_cast<uint8_t>(v);
    return h;
}

// A movie of one frame that stops, played to that frame: the stage of a given version, ready
// for scripts the test runs through the machine.
struct StoppedMovie : ScriptedMovie {
    explicit StoppedMovie(int swfVersion) : ScriptedMovie(stopped(swfVersion)) {
        player->advance();
    }
    static std::vector<std::uint8_t> stopped(int swfVersion) {
        moviemaker::SwfWriter movie(version(swfVersion));
        movie.doAction(moviemaker::Actions().stop());
        movie.showFrame();
        return movie.finish();
    }
    avm1::Machine& m() { return scripts->machine(); }
};

// Defines `symbol` and places it on the root at depth 1 under `name`.
inline void placeNamedSprite(moviemaker::SwfWriter& movie, const moviemaker::Sprite& symbol,
                             std::string name) {
    moviemaker::PlaceObject p;
    p.depth = 1;
    p.characterId = movie.defineSprite(symbol);
    p.name = std::move(name);
    movie.placeObject(p);
}

// ExportAssets with one symbol: count, id, name and its terminating zero.
inline std::vector<uint8_t> exportTag(uint16_t id, std::string_view name) {
    std::vector<uint8_t> body(5 + name.size(), 0);
    body[0] = 1;
    body[2] = static_cast<uint8_t>(id);
    body[3] = static_cast<uint8_t>(id >> 8);
    std::copy(name.begin(), name.end(), body.begin() + 4);
    return body;
}

} // namespace mc
