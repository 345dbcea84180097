#pragma once
// An ActionScript 3 movie that hosts older movies its Loaders place, played frame by frame
// with its trace lines and the pages it opened kept.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AbcBuilder.h"
#include "MoviePlayback.h"
#include "avm2/DisplayHost.h"
#include "avm2/Host.h"
#include "avm2/LoaderHost.h"
#include "moviemaker/SwfWriter.h"

namespace mc::hosting {

using avm2test::Bytes;
using moviemaker::Actions;

// An ActionScript 3 movie of two frames whose script traces "host"; `placeFirst` places what
// its first frame shows.
inline Bytes hostMovie(const std::function<void(moviemaker::SwfWriter&)>& placeFirst = {}) {
    moviemaker::MovieHeader h;
    h.version = 10;
    h.frameSize = moviemaker::Rect::pixels(200, 100);
    moviemaker::SwfWriter movie(h);
    if (placeFirst) {
        placeFirst(movie);
    }
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes);
    avm2test::TraceScript script;
    Bytes push{0x2C};
    avm2test::u30(push, script.abc.string("host"));
    Bytes doAbc{0, 0, 0, 0, 0};
    const Bytes block = script.build(push);
    doAbc.insert(doAbc.end(), block.begin(), block.end());
    movie.rawTag(82, doAbc);
    movie.showFrame();
    movie.showFrame();
    return movie.finish();
}

// An older movie: one frame's actions per entry, then a frame shown.
inline Bytes olderMovie(const std::vector<Actions>& frames, int version = 8) {
    moviemaker::MovieHeader h;
    h.version = static_cast<std::uint8_t>(version);
    h.frameSize = moviemaker::Rect::pixels(100, 100);
    moviemaker::SwfWriter movie(h);
    for (const Actions& a : frames) {
        movie.doAction(a);
        movie.showFrame();
    }
    return movie.finish();
}

struct Host {
    // `adjust` changes the setup before the movie starts.
    explicit Host(std::function<std::vector<std::uint8_t>(const std::string&)> beside = {},
                  const std::function<void(PlaybackSetup&)>& adjust = {},
                  const Bytes& hostBytes = hostMovie()) {
        PlaybackSetup setup;
        setup.pace = Pace::FrameSteps;
        setup.callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        setup.callbacks.readBeside = std::move(beside);
        setup.callbacks.movieUrl = "file:///host.swf";
        setup.callbacks.openUrl = [this](const std::string& url) { opened.push_back(url); };
        if (adjust) {
            adjust(setup);
        }
        playback = MoviePlayback::fromBytes(hostBytes, std::move(setup));
        playback->stepFrame();
        loads = dynamic_cast<avm2::LoaderHost*>(&playback->runner());
        auto* host = dynamic_cast<avm2::Host*>(&playback->runner());
        display = host != nullptr ? host->display() : nullptr;
        traced.clear();
    }
    avm2::NodeId loaderUnder(avm2::NodeId parent = 0) {
        const avm2::NodeId node = display->createNode(avm2::NodeKind::Sprite);
        display->insertChild(parent != 0 ? parent : display->rootNode(), node, 0);
        return node;
    }
    std::optional<avm2::LoadedContent> place(const Bytes& movie) {
        return loads->placeContent(loaderUnder(), movie, "older.swf");
    }
    // What a Loader's unload does with the content.
    void unload(avm2::NodeId content) {
        display->detach(content);
        loads->releaseContent(content);
    }
    std::unique_ptr<MoviePlayback> playback;
    avm2::LoaderHost* loads = nullptr;
    avm2::DisplayHost* display = nullptr;
    std::vector<std::string> traced;
    std::vector<std::string> opened;
};

} // namespace mc::hosting
