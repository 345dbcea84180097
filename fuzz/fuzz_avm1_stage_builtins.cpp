// Calls every ActionScript 1/2 built-in of a real stage with hostile arguments: the classes
// of the player (MovieClip, TextField, TextFormat, Sound, Stage, Selection, BitmapData,
// SharedObject, the loaders, the geometry and filter packages ...) as well as the machine's
// own. Each input picks a movie version, then classes to construct and members to read,
// write and call, found by walking the objects the movie sees, with arguments drawn from NaN,
// the infinities, huge and negative numbers, long strings, arrays of hostile length, cyclic
// objects, clips and the results of earlier calls. Frames pass and the stage is painted in
// between, so what a call left behind is played and drawn too. Script errors are the
// built-ins' answers; a crash, a hang or an unbounded allocation is a fault.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "MovieCatalog.h"
#include "RecordingBackend.h"
#include "StageScripts.h"
#include "avm1/Function.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace {

class Bytes {
  public:
    explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}
    bool empty() const { return at_ >= data_.size(); }
    std::uint8_t next() { return empty() ? 0 : data_[at_++]; }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t at_ = 0;
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::array<double, 21> kNumbers = {0,
                                             -0.0,
                                             1,
                                             -1,
                                             0.5,
                                             -16384,
                                             255,
                                             2880,
                                             8191,
                                             16777216,
                                             2147483647.0,
                                             2147483648.0,
                                             4294967295.0,
                                             -2147483649.0,
                                             1e300,
                                             -1e300,
                                             8.64e15 + 1,
                                             std::numeric_limits<double>::quiet_NaN(),
                                             kInf,
                                             -kInf,
                                             1e-300};

constexpr std::array<std::size_t, 5> kStringLengths = {0, 1, 300, 1 << 16, 1 << 21};

// Strings a built-in may read as a path, a name, markup, a format or a key.
constexpr std::array<const char*, 12> kWords = {
    "_root", "_level0", "clip",        "snd",           "pic", "<p align='right'><b>x</b></p>",
    "../..", "a.b.c",   "file:///etc", "asfunction:f,", "%",   "\xff\xfe\xc3"};

// Display properties a script sets on clips, buttons and text fields.
constexpr std::array<const char*, 20> kDisplayProperties = {
    "_x",      "_y",       "_xscale",    "_yscale", "_rotation", "_width",   "_height",
    "_alpha",  "_visible", "_name",      "text",    "htmlText",  "autoSize", "scroll",
    "hscroll", "_quality", "_focusrect", "enabled", "filters",   "transform"};

// One frame that stops, a box clip, a picture and a sound in its library: enough for
// attachMovie, BitmapData.loadBitmap and attachSound to find something.
std::vector<std::uint8_t> movieOf(int version) {
    moviemaker::MovieHeader header;
    header.version = static_cast<std::uint8_t>(version);
    moviemaker::SwfWriter movie(header);
    moviemaker::Shape box;
    box.fill1(box.addFill(moviemaker::FillStyle::solid({200, 40, 40}))).rectangle(0, 0, 800, 600);
    moviemaker::Sprite clip;
    clip.place(movie.defineShape(box), 1);
    clip.showFrame();
    movie.exportAssets(movie.defineSprite(clip), "clip");
    moviemaker::RawImage picture;
    picture.width = 4;
    picture.height = 3;
    picture.pixels.assign(12, moviemaker::Rgba{10, 200, 30, 255});
    movie.exportAssets(movie.defineBitsLossless(picture), "pic");
    const std::vector<std::uint8_t> samples(2 * 441, 0x10);
    movie.exportAssets(movie.defineSound({}, 441, samples), "snd");
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    return movie.finish();
}

const std::vector<std::uint8_t>& movieBytes(int version) {
    static const std::array<std::vector<std::uint8_t>, 4> movies = {movieOf(5), movieOf(6),
                                                                    movieOf(7), movieOf(8)};
    return movies[static_cast<std::size_t>(version - 5)];
}

bool isClass(avm1::Machine& vm, const avm1::Value& v) {
    return v.isObject() && v.asObject()->asFunction() &&
           vm.get(v.asObject(), "prototype").isObject();
}

class Session {
  public:
    explicit Session(avm1::Machine& vm) : vm_(vm) {}

    // The classes and functions of `_global` and of its packages (`flash.geom` ...).
    void collectClasses() {
        std::set<std::string> seen;
        collectFrom(vm_.global(), "", 0, seen);
    }

    void add(const avm1::Value& value) {
        if (value.isObject() && pool_.size() < 64) {
            pool_.emplace_back(vm_, value.asObject());
        }
    }

    avm1::Value hostile(Bytes& in) {
        const std::uint8_t kind = in.next();
        const std::uint8_t pick = in.next();
        switch (kind % 9) {
        case 0:
            return avm1::Value(kNumbers[pick % kNumbers.size()]);
        case 1: {
            const std::size_t length = kStringLengths[pick % kStringLengths.size()];
            return avm1::Value(vm_.str(std::string(length, static_cast<char>('a' + pick % 5))));
        }
        case 2:
            return avm1::Value(vm_.str(kWords[pick % kWords.size()]));
        case 3: {
            const avm1::Value length(kNumbers[pick % kNumbers.size()]);
            avm1::Object* array = vm_.construct(vm_.get(vm_.global(), "Array"), {&length, 1});
            for (int i = 0; array && i < in.next() % 6; ++i) {
                vm_.set(array, std::to_string(in.next() % 16), hostile(in));
            }
            return avm1::Value(array);
        }
        case 4: {
            // An object that holds itself, directly and through an array.
            avm1::Object* object = vm_.newObject();
            avm1::Object* array = vm_.newArray();
            vm_.set(object, "self", avm1::Value(object));
            vm_.set(object, "list", avm1::Value(array));
            vm_.set(array, "0", avm1::Value(object));
            return avm1::Value(pick % 2 ? object : array);
        }
        case 5: {
            // A callback that answers with its first argument: a comparator, a listener,
            // a watch handler.
            auto* echo = vm_.newFunction([](avm1::CallArgs& a) -> avm1::Value {
                return a.args.empty() ? avm1::Value() : a.args[0];
            });
            return avm1::Value(static_cast<avm1::Object*>(echo));
        }
        case 6:
            return pool_.empty() ? avm1::Value() : avm1::Value(pool_[pick % pool_.size()].get());
        case 7:
            return avm1::Value(pick % 2 == 0);
        default:
            return pick % 2 ? avm1::Value() : avm1::Value::null();
        }
    }

    std::vector<avm1::Value> arguments(Bytes& in) {
        std::vector<avm1::Value> args;
        for (int i = in.next() % 6; i > 0; --i) {
            args.push_back(hostile(in));
        }
        return args;
    }

    // One step of the input: construct, call, read or write.
    void step(Bytes& in) {
        const std::uint8_t what = in.next() % 4;
        if (what == 0 && !classes_.empty()) {
            const avm1::Value cls = vm_.get(classes_[in.next() % classes_.size()].get(), "fn");
            const std::vector<avm1::Value> args = arguments(in);
            add(avm1::Value(vm_.construct(cls, args)));
            return;
        }
        if (pool_.empty()) {
            return;
        }
        avm1::Object* receiver = pool_[in.next() % pool_.size()].get();
        if (what == 3) {
            const char* name = kDisplayProperties[in.next() % kDisplayProperties.size()];
            vm_.set(receiver, name, hostile(in));
            return;
        }
        const std::vector<std::string> names = memberNames(receiver);
        if (names.empty()) {
            return;
        }
        const std::string& name = names[in.next() % names.size()];
        if (what == 1) {
            const std::vector<avm1::Value> args = arguments(in);
            add(vm_.callMethod(receiver, name, args));
        } else {
            add(vm_.get(receiver, name));
        }
    }

    void clear() {
        pool_.clear();
        classes_.clear();
    }

  private:
    void collectFrom(avm1::Object* object, const std::string& prefix, int depth,
                     std::set<std::string>& seen) {
        std::vector<std::string> names;
        object->properties().forEach(
            [&](const avm1::Property& p) { names.emplace_back(p.name.view()); });
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            const avm1::Value value = vm_.get(object, name);
            if (!value.isObject() || !seen.insert(prefix + name).second) {
                continue;
            }
            if (value.asObject()->asFunction()) {
                // Kept in a holder object so the collector sees it.
                avm1::Object* holder = vm_.newObject();
                vm_.set(holder, "fn", value);
                classes_.emplace_back(vm_, holder);
                if (isClass(vm_, value)) {
                    add(value);
                }
            } else if (depth < 2 && (depth > 0 || name == "flash" || name == "System")) {
                add(value);
                collectFrom(value.asObject(), prefix + name + ".", depth + 1, seen);
            } else if (depth == 0) {
                // Key, Mouse, Selection, Stage, Math, Accessibility ...
                add(value);
            }
        }
    }

    // Every name along the prototype chain, hidden ones included.
    std::vector<std::string> memberNames(avm1::Object* object) {
        std::vector<std::string> names;
        std::set<const avm1::Object*> visited;
        for (avm1::Object* o = object; o && visited.size() < 16 && visited.insert(o).second;
             o = o->proto()) {
            o->properties().forEach([&](const avm1::Property& p) {
                if (names.size() < 512) {
                    names.emplace_back(p.name.view());
                }
            });
        }
        std::sort(names.begin(), names.end());
        names.erase(std::unique(names.begin(), names.end()), names.end());
        return names;
    }

    avm1::Machine& vm_;
    std::vector<avm1::Root> pool_;
    std::vector<avm1::Root> classes_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in({data, size});
    const int version = 5 + in.next() % 4;
    swf::LoadResult loaded = swf::loadMovie(movieBytes(version));
    if (!loaded.ok()) {
        std::abort();
    }
    mc::MovieCatalog catalog(*loaded.movie);
    double clock = 0;
    mc::StageCallbacks callbacks;
    callbacks.clockMs = [&clock] { return clock; };
    callbacks.readBeside = [](const std::string&) {
        const std::string vars = "a=1&b=%FF&c=<x/>";
        return std::vector<std::uint8_t>(vars.begin(), vars.end());
    };
    mc::StageScripts scripts(*loaded.movie, std::move(callbacks));
    mc::TimelineLimits limits;
    limits.maxObjects = 5'000;
    limits.maxCommands = 20'000;
    mc::TimelinePlayer player(catalog, loaded.movie->root, mc::Rgba{255, 255, 255, 255}, limits,
                              &scripts, loaded.movie.get());
    player.advance();
    avm1::Machine& vm = scripts.machine();
    {
        Session session(vm);
        avm1::Object* root = vm.resolveTarget("_level0");
        if (root) {
            session.add(avm1::Value(root));
            const avm1::Value clipArgs[] = {avm1::Value(vm.str("c")), avm1::Value(1.0)};
            session.add(vm.callMethod(root, "createEmptyMovieClip", clipArgs));
            const avm1::Value attachArgs[] = {avm1::Value(vm.str("clip")), avm1::Value(vm.str("a")),
                                              avm1::Value(2.0)};
            session.add(vm.callMethod(root, "attachMovie", attachArgs));
            const avm1::Value fieldArgs[] = {avm1::Value(vm.str("t")), avm1::Value(3.0),
                                             avm1::Value(0.0),         avm1::Value(0.0),
                                             avm1::Value(100.0),       avm1::Value(20.0)};
            vm.callMethod(root, "createTextField", fieldArgs);
            session.add(vm.get(root, "t"));
        }
        session.collectClasses();
        mc::RecordingBackend backend;
        for (int step = 0; step < 24 && !in.empty(); ++step) {
            vm.beginFrame();
            session.step(in);
            if (step % 6 == 5) {
                clock += 1000;
                player.advance();
                scripts.runTimers();
                player.render(backend);
            }
        }
        session.clear();
    }
    return 0;
}
