// SharedObject: what a movie keeps lives in the player's memory store, within 100 KB.
#include <gtest/gtest.h>

#include "SavedDataStore.h"
#include "ScriptedMovie.h"

namespace mc {
namespace {

using moviemaker::Actions;

// Pushes the value at a dotted path ("so.data.list").
Actions& pushPath(Actions& a, std::string_view path) {
    bool first = true;
    while (!path.empty()) {
        const std::size_t dot = path.find('.');
        a.push(path.substr(0, dot)).code(first ? 0x1C : 0x4E);
        first = false;
        path = dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
    }
    return a;
}

// so = SharedObject.getLocal(name)
Actions& getLocal(Actions& a, std::string_view name) {
    a.push("so").push(name).push(1.0).push("SharedObject").code(0x1C).push("getLocal");
    return a.code(0x52).code(0x1D);
}

// trace(so.method(args...)) with number arguments.
Actions& traceCall(Actions& a, std::string_view method, std::vector<double> args = {}) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        a.push(*it);
    }
    a.push(static_cast<double>(args.size()));
    pushPath(a, "so").push(method).code(0x52);
    return a.code(0x26);
}

// One movie's first frame played against `store`, then the movie goes.
Lines play(storage::SavedDataStore& store, const Actions& script) {
    moviemaker::SwfWriter movie(version(8));
    movie.doAction(script);
    movie.showFrame();
    const std::vector<std::uint8_t> file = movie.finish();
    swf::LoadResult loaded = swf::loadMovie(file);
    EXPECT_TRUE(loaded.ok());
    MovieCatalog catalog(*loaded.movie);
    Lines traced;
    StageCallbacks callbacks;
    callbacks.trace = [&traced](std::string_view line) { traced.emplace_back(line); };
    callbacks.movieUrl = "file:///keeper.swf";
    callbacks.savedData = &store;
    StageScripts scripts(*loaded.movie, std::move(callbacks));
    TimelinePlayer player(catalog, loaded.movie->root, Rgba{255, 255, 255, 255}, TimelineLimits{},
                          &scripts);
    player.advance();
    return traced;
}

TEST(SharedObjectTest, DataKeptByOnePlayIsThereForTheNextWithItsShape) {
    storage::SavedDataStore store;
    Actions first;
    getLocal(first, "game");
    pushPath(first, "so.data").push("score").push(42.0).code(0x4F);
    pushPath(first, "so.data").push("list");
    first.pushBool(true).push("two").push(1.0).push(3.0).code(0x42).code(0x4F);
    pushPath(first, "so.data").push("self");
    pushPath(first, "so.data").code(0x4F);
    traceCall(first, "flush");
    // Changed after the flush: the movie's end keeps this too, as Flash writes on close.
    pushPath(first, "so.data").push("score").push(43.0).code(0x4F);
    // A name Flash refuses gives no object.
    first.push("a b").push(1.0).push("SharedObject").code(0x1C).push("getLocal").code(0x52);
    first.code(0x26);
    EXPECT_EQ(play(store, first), (Lines{"true", "null"}));
    EXPECT_GT(store.usedBy("file:///keeper.swf"), 0u);

    Actions second;
    getLocal(second, "game");
    second.traceValue("so.data.score")
        .traceValue("so.data.list.1")
        .traceValue("so.data.self.score");
    second.traceValue("so.data.list.length");
    traceCall(second, "clear");
    second.traceValue("so.data.score");
    EXPECT_EQ(play(store, second), (Lines{"43", "two", "43", "3", "undefined", "undefined"}));

    // Cleared, and nothing written since: the next play starts empty.
    Actions third;
    getLocal(third, "game");
    third.traceValue("so.data.score");
    EXPECT_EQ(play(store, third), (Lines{"undefined"}));
}

// Pushes ASnative(2106, index): a new function object each time.
Actions& pushNative(Actions& a, double index) {
    return a.push(index).push(2106.0).push(2.0).push("ASnative").code(0x3D);
}

// getLocal's two steps by number: 202 gives the object already got under a name or null;
// 204 gives a new object its data and keeps it under the name, or refuses the name.
TEST(SharedObjectTest, GetLocalsNumberedStepsFindAndFillObjects) {
    storage::SavedDataStore store;
    Actions a;
    auto callNative = [&a](double index, std::vector<std::string_view> names, bool withSo) {
        for (auto it = names.rbegin(); it != names.rend(); ++it) {
            a.push(*it);
        }
        if (withSo) {
            pushPath(a, "so");
        }
        a.push(static_cast<double>(names.size() + (withSo ? 1 : 0)));
        pushNative(a, index).pushUndefined().code(0x52);
    };
    callNative(202, {"game"}, false);
    a.code(0x44).code(0x26); // typeof: null before anything is got
    a.push("so").push(0.0).push("SharedObject").code(0x40).code(0x1D);
    a.traceValue("so.data");
    for (std::string_view name : {"game", "a b"}) {
        callNative(204, {name}, true);
        a.code(0x26);
    }
    a.push("kept");
    callNative(202, {"game"}, false);
    a.code(0x1D);
    pushPath(a, "kept");
    pushPath(a, "so");
    a.code(0x66).code(0x26); // the very object filled
    getLocal(a, "game");
    pushPath(a, "so.data").code(0x44).code(0x26);
    pushNative(a, 204);
    pushNative(a, 204);
    a.code(0x66).code(0x26); // two requests, two functions
    pushNative(a, 2).code(0x44).code(0x26);
    EXPECT_EQ(play(store, a),
              (Lines{"null", "undefined", "true", "false", "true", "object", "false", "function"}));
}

TEST(SharedObjectTest, NoMovieKeepsMoreThan100KB) {
    storage::SavedDataStore store;
    Actions a;
    getLocal(a, "big");
    const std::string half(60 * 1024, 'x');
    pushPath(a, "so.data").push("a").push(half).code(0x4F);
    pushPath(a, "so.data").push("b").push(half).code(0x4F);
    traceCall(a, "flush");
    a.push(0.0);
    pushPath(a, "so").push("getSize").code(0x52);
    a.push(120.0 * 1024).code(0x48).code(0x12).code(0x26); // trace(!(size < 120 KB))
    pushPath(a, "so.data").push("b").push("short").code(0x4F);
    traceCall(a, "flush", {200.0 * 1024});
    traceCall(a, "flush");
    EXPECT_EQ(play(store, a), (Lines{"false", "true", "false", "true"}));
    const std::size_t used = store.usedBy("file:///keeper.swf");
    EXPECT_GT(used, 60u * 1024);
    EXPECT_LE(used, storage::SavedDataStore::kAllowancePerMovie);

    // Over the allowance when the movie goes: what was flushed last stays.
    Actions grow;
    getLocal(grow, "big");
    pushPath(grow, "so.data").push("c").push(half).code(0x4F);
    play(store, grow);
    EXPECT_EQ(store.usedBy("file:///keeper.swf"), used);
}

} // namespace
} // namespace mc
