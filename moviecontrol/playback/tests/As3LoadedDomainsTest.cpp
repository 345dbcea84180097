// A loaded movie's code goes into an application domain: by default a new child of its
// loader's, where the loader's definitions come first; into a separate one, where its own
// do; or into the loader's own, where the first definition of a name stays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AbcBuilder.h"
#include "MoviePlayback.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using avm2test::Bytes;
using avm2test::call;
using avm2test::name;

enum class Context { None, SeparateDomain, CurrentDomain };

void appendAbcTag(moviemaker::SwfWriter& movie, const Bytes& block) {
    Bytes doAbc{0, 0, 0, 0, 0};
    doAbc.insert(doAbc.end(), block.begin(), block.end());
    movie.rawTag(82, doAbc);
}

// The loaded movie: var Marker = "inner"; trace(getDefinitionByName("Marker")) (the name as
// its domain resolves it); its document class InnerRoot extends MovieClip traces when made.
Bytes innerMovie() {
    avm2test::AbcBuilder abc;
    const auto publicNs = abc.package(abc.string(""));
    const auto displayNs = abc.package(abc.string("flash.display"));
    const auto marker = abc.qname(publicNs, abc.string("Marker"));
    const auto trace = abc.qname(publicNs, abc.string("trace"));
    const auto root = abc.qname(publicNs, abc.string("InnerRoot"));
    const auto movieClip = abc.qname(displayNs, abc.string("MovieClip"));
    const auto byName =
        abc.qname(abc.package(abc.string("flash.utils")), abc.string("getDefinitionByName"));
    const auto value = abc.string("inner");
    const auto iinit = abc.method();
    const auto cinit = abc.method();
    const auto init = abc.method();
    abc.classes.push_back(avm2test::ClassSpec{root, movieClip, iinit, cinit, {}, {}});
    abc.scripts.push_back({init, {{marker, 0, 1, 0, 0}, {root, 4, 2, 0, 0}}});

    Bytes made{0xD0, 0x30, 0xD0, 0x49, 0x00};
    name(made, 0x5D, trace);
    name(made, 0x2C, abc.string("constructed"));
    call(made, 0x4F, trace, 1);
    made.push_back(0x47);
    abc.bodies.push_back(avm2test::BodySpec{iinit, 4, 1, 0, 1, made, {}});
    abc.bodies.push_back(avm2test::BodySpec{cinit, 1, 1, 0, 1, {0x47}, {}});
    Bytes code{0xD0, 0x30, 0xD0};
    name(code, 0x2C, value);
    name(code, 0x68, marker);
    name(code, 0x5D, trace);
    name(code, 0x5D, byName);
    name(code, 0x2C, abc.string("Marker"));
    call(code, 0x46, byName, 1);
    call(code, 0x4F, trace, 1);
    code.insert(code.end(), {0x65, 0x00});
    name(code, 0x60, movieClip);
    name(code, 0x58, 0); // newclass InnerRoot
    name(code, 0x68, root);
    code.push_back(0x47);
    abc.bodies.push_back(avm2test::BodySpec{init, 4, 1, 0, 1, code, {}});

    moviemaker::MovieHeader h;
    h.version = 10;
    h.frameSize = moviemaker::Rect::pixels(40, 40);
    h.frameRate = 12;
    moviemaker::SwfWriter movie(h);
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes);
    appendAbcTag(movie, abc.build());
    const std::uint8_t symbols[] = {1, 0, 0, 0, 'I', 'n', 'n', 'e', 'r', 'R', 'o', 'o', 't', 0};
    movie.rawTag(76, symbols);
    movie.showFrame();
    return movie.finish();
}

// The loading movie: var Marker = "host"; class Inner extends ByteArray {} (bound to the
// binary data holding the loaded movie); a Loader's info traces, on init, the event's type
// and what the loaded movie's domain calls Marker, on complete the content before and after
// unloading it, and unload; loadBytes(new Inner(), context); trace(loader.content).
Bytes loadingBlock(Context context) {
    avm2test::AbcBuilder abc;
    const auto publicNs = abc.package(abc.string(""));
    const auto displayNs = abc.package(abc.string("flash.display"));
    const auto utilsNs = abc.package(abc.string("flash.utils"));
    const auto systemNs = abc.package(abc.string("flash.system"));
    const auto inner = abc.qname(publicNs, abc.string("Inner"));
    const auto marker = abc.qname(publicNs, abc.string("Marker"));
    const auto byteArray = abc.qname(utilsNs, abc.string("ByteArray"));
    const auto loaderClass = abc.qname(displayNs, abc.string("Loader"));
    const auto contextClass = abc.qname(systemNs, abc.string("LoaderContext"));
    const auto domainClass = abc.qname(systemNs, abc.string("ApplicationDomain"));
    const auto currentDomain = abc.qname(publicNs, abc.string("currentDomain"));
    const auto info = abc.qname(publicNs, abc.string("contentLoaderInfo"));
    const auto listen = abc.qname(publicNs, abc.string("addEventListener"));
    const auto loadBytes = abc.qname(publicNs, abc.string("loadBytes"));
    const auto trace = abc.qname(publicNs, abc.string("trace"));
    const auto type = abc.qname(publicNs, abc.string("type"));
    const auto target = abc.qname(publicNs, abc.string("target"));
    const auto applicationDomain = abc.qname(publicNs, abc.string("applicationDomain"));
    const auto getDefinition = abc.qname(publicNs, abc.string("getDefinition"));
    const auto loaderName = abc.qname(publicNs, abc.string("loader"));
    const auto content = abc.qname(publicNs, abc.string("content"));
    const auto unload = abc.qname(publicNs, abc.string("unload"));
    const auto className = abc.qname(utilsNs, abc.string("getQualifiedClassName"));

    const auto iinit = abc.method();
    const auto cinit = abc.method();
    const auto listener = abc.method(1);
    const auto finish = abc.method(1);
    const auto heardType = abc.method(1);
    const auto init = abc.method();
    abc.classes.push_back(avm2test::ClassSpec{inner, byteArray, iinit, cinit, {}, {}});
    abc.scripts.push_back({init, {{inner, 4, 1, 0, 0}, {marker, 0, 2, 0, 0}}});
    abc.bodies.push_back(
        avm2test::BodySpec{iinit, 2, 1, 0, 1, {0xD0, 0x30, 0xD0, 0x49, 0x00, 0x47}, {}});
    abc.bodies.push_back(avm2test::BodySpec{cinit, 1, 1, 0, 1, {0x47}, {}});

    // trace(e.type + " " + e.target.applicationDomain.getDefinition("Marker"))
    Bytes heard{0xD0, 0x30};
    name(heard, 0x5D, trace);
    heard.push_back(0xD1);
    name(heard, 0x66, type);
    name(heard, 0x2C, abc.string(" "));
    heard.push_back(0xA0);
    heard.push_back(0xD1);
    name(heard, 0x66, target);
    name(heard, 0x66, applicationDomain);
    name(heard, 0x2C, abc.string("Marker"));
    call(heard, 0x46, getDefinition, 1);
    heard.push_back(0xA0);
    call(heard, 0x4F, trace, 1);
    heard.push_back(0x47);
    abc.bodies.push_back(avm2test::BodySpec{listener, 6, 2, 0, 1, heard, {}});

    // On complete: var l = e.target.loader; trace(getQualifiedClassName(l.content));
    // l.unload(); trace(l.content)
    Bytes done{0xD0, 0x30, 0xD1};
    name(done, 0x66, target);
    name(done, 0x66, loaderName);
    done.push_back(0xD6);
    name(done, 0x5D, trace);
    name(done, 0x5D, className);
    done.push_back(0xD2);
    name(done, 0x66, content);
    call(done, 0x46, className, 1);
    call(done, 0x4F, trace, 1);
    done.push_back(0xD2);
    call(done, 0x4F, unload, 0);
    name(done, 0x5D, trace);
    done.push_back(0xD2);
    name(done, 0x66, content);
    call(done, 0x4F, trace, 1);
    done.push_back(0x47);
    abc.bodies.push_back(avm2test::BodySpec{finish, 4, 3, 0, 1, done, {}});

    // trace(e.type)
    Bytes typeOnly{0xD0, 0x30};
    name(typeOnly, 0x5D, trace);
    typeOnly.push_back(0xD1);
    name(typeOnly, 0x66, type);
    call(typeOnly, 0x4F, trace, 1);
    typeOnly.push_back(0x47);
    abc.bodies.push_back(avm2test::BodySpec{heardType, 3, 2, 0, 1, typeOnly, {}});

    Bytes code{0xD0, 0x30, 0xD0};
    name(code, 0x2C, abc.string("host"));
    name(code, 0x68, marker);
    code.insert(code.end(), {0x65, 0x00});
    name(code, 0x60, byteArray);
    name(code, 0x58, 0); // newclass Inner
    name(code, 0x68, inner);
    name(code, 0x5D, loaderClass);
    call(code, 0x4A, loaderClass, 0);
    code.push_back(0xD5);
    code.push_back(0xD1);
    name(code, 0x66, info);
    name(code, 0x2C, abc.string("init"));
    name(code, 0x40, listener);
    call(code, 0x4F, listen, 2);
    code.push_back(0xD1);
    name(code, 0x66, info);
    name(code, 0x2C, abc.string("complete"));
    name(code, 0x40, finish);
    call(code, 0x4F, listen, 2);
    code.push_back(0xD1);
    name(code, 0x66, info);
    name(code, 0x2C, abc.string("unload"));
    name(code, 0x40, heardType);
    call(code, 0x4F, listen, 2);
    code.push_back(0xD1);
    name(code, 0x5D, inner);
    call(code, 0x4A, inner, 0);
    if (context != Context::None) {
        name(code, 0x5D, contextClass);
        code.push_back(0x27); // pushfalse
        if (context == Context::SeparateDomain) {
            name(code, 0x5D, domainClass);
            call(code, 0x4A, domainClass, 0);
        } else {
            name(code, 0x60, domainClass);
            name(code, 0x66, currentDomain);
        }
        call(code, 0x4A, contextClass, 2);
    }
    call(code, 0x4F, loadBytes, context != Context::None ? 2 : 1);
    // The content comes once the running scripts are done: none yet.
    name(code, 0x5D, trace);
    code.push_back(0xD1);
    name(code, 0x66, content);
    call(code, 0x4F, trace, 1);
    code.push_back(0x47);
    abc.bodies.push_back(avm2test::BodySpec{init, 6, 3, 0, 2, code, {}});
    return abc.build();
}

std::vector<std::string> tracesLoading(Context context) {
    moviemaker::SwfWriter movie;
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes);
    Bytes data{7, 0, 0, 0, 0, 0};
    const Bytes loaded = innerMovie();
    data.insert(data.end(), loaded.begin(), loaded.end());
    movie.rawTag(87, data);
    appendAbcTag(movie, loadingBlock(context));
    const std::uint8_t symbols[] = {1, 0, 7, 0, 'I', 'n', 'n', 'e', 'r', 0};
    movie.rawTag(76, symbols);
    movie.showFrame();
    movie.showFrame();

    std::vector<std::string> traced;
    PlaybackSetup setup;
    setup.pace = Pace::FrameSteps;
    setup.callbacks.trace = [&traced](std::string_view line) { traced.emplace_back(line); };
    auto playback = MoviePlayback::fromBytes(movie.finish(), std::move(setup));
    if (playback == nullptr) {
        return {"no playback"};
    }
    playback->stepFrame();
    playback->stepFrame();
    return traced;
}

// The loaded movie's scripts run and its root is made before the loader hears init; on
// complete the content is the loaded root, which unload takes away, telling the info.
TEST(As3LoadedDomainsTest, ALoadedMovieSeesItsLoadersDefinitionsFirst) {
    // By default the loaded code is in a child of the loader's domain: the loader's Marker
    // is the one its code and its domain find.
    const std::vector<std::string> loadersFirst{"null",      "host",   "constructed", "init host",
                                                "InnerRoot", "unload", "null"};
    EXPECT_EQ(tracesLoading(Context::None), loadersFirst);
    // Loaded into the loader's own domain, the first definition of the name stays.
    EXPECT_EQ(tracesLoading(Context::CurrentDomain), loadersFirst);
}

TEST(As3LoadedDomainsTest, ASeparateDomainKeepsTheLoadedMoviesOwnDefinitions) {
    EXPECT_EQ(tracesLoading(Context::SeparateDomain),
              (std::vector<std::string>{"null", "inner", "constructed", "init inner", "InnerRoot",
                                        "unload", "null"}));
}

} // namespace
} // namespace mc
