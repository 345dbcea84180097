#include "ClipLoader.h"

#include <algorithm>

#include "AssetImports.h"
#include "LoadableFile.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "UrlPolicy.h"

namespace mc {

using avm1::Value;

namespace {

bool sameTarget(const ClipLoader::Target& a, const ClipLoader::Target& b) {
    if (a.level || b.level) {
        return a.level == b.level;
    }
    const auto x = a.clip.lock();
    return x && x == b.clip.lock();
}

} // namespace

bool ClipLoader::load(const Target& target, std::string_view url, avm1::Object* loader) {
    if (url.empty() || (!target.level && target.clip.expired()) || pending_.size() >= kMaxPending) {
        return false;
    }
    // An older movie inside an ActionScript 3 movie loads nothing over itself; its clips may.
    if (const auto clip = target.clip.lock();
        clip && stage_.isMovieRoot(*clip) && stage_.hosted()) {
        return false;
    }
    Pending p{target, loader, std::nullopt, {}, 0};
    p.library = readMovie(std::string(url), p.bytes, p.error);
    // A later load into the same target wins, as only one can arrive there.
    std::erase_if(pending_, [&](const Pending& q) { return sameTarget(q.target, target); });
    pending_.push_back(std::move(p));
    return true;
}

std::optional<std::uint16_t> ClipLoader::readMovie(const std::string& url, std::size_t& bytes,
                                                   std::string& error) {
    bool added = false;
    const std::optional<std::uint16_t> index = readFile(url, bytes, error, added);
    if (index && added) {
        linkImports(*index);
    }
    return index;
}

void ClipLoader::linkImports(std::uint16_t library) {
    AssetImports imports(stage_.player().library(), [this](const std::string& url) {
        std::size_t bytes = 0;
        std::string error;
        bool added = false;
        return readFile(url, bytes, error, added);
    });
    imports.link(library);
}

std::optional<std::uint16_t> ClipLoader::readFile(const std::string& url, std::size_t& bytes,
                                                  std::string& error, bool& added) {
    error = "URLNotFound";
    const std::string path = besideMoviePath(url);
    const auto& read = stage_.callbacks().readBeside;
    if (path.empty() || !read) {
        return std::nullopt;
    }
    MovieLibrary& library = stage_.player().library();
    if (const auto known = library.find(path)) {
        bytes = library.fileBytes(*known);
        return known;
    }
    std::vector<std::uint8_t> data = stage_.readBesideMovie(path);
    if (data.empty()) {
        return std::nullopt;
    }
    bytes = data.size();
    const auto version = static_cast<std::uint8_t>(stage_.version());
    auto file = readLoadableFile(std::move(data), version);
    if (!file) {
        file = emptyLoadableFile(bytes, version);
    }
    const auto index =
        library.add(std::move(file->movie), path, bytes, std::move(file->ownedBytes));
    added = index.has_value();
    return index;
}

void ClipLoader::cancel(const Target& target) {
    std::erase_if(pending_, [&](const Pending& p) { return sameTarget(p.target, target); });
}

DisplayObject* ClipLoader::resolve(const Target& target) {
    TimelinePlayer& player = stage_.player();
    if (target.level) {
        return player.levels().makeLevel(*target.level);
    }
    const auto clip = target.clip.lock();
    return clip && !clip->removed ? clip.get() : nullptr;
}

bool ClipLoader::accepts(const Target& target, std::uint16_t library) const {
    const swf::Movie* movie = stage_.player().library().movie(library);
    const bool actionScript3 =
        movie != nullptr && movie->header.version >= 9 && movie->actionScript3;
    // An ActionScript 3 movie only ever takes the place of the first movie, at level 0.
    return !actionScript3 || (target.level == 0 && !stage_.hosted());
}

void ClipLoader::notify(avm1::Object* loader, const char* event, std::vector<Value> args) {
    if (loader == nullptr) {
        return;
    }
    avm1::Machine& m = stage_.machine();
    args.insert(args.begin(), Value(m.str(event)));
    m.callMethod(loader, "broadcastMessage", args);
}

void ClipLoader::beginFrame() {
    std::vector<Pending> due = std::move(pending_);
    pending_.clear();
    // The newest request comes in first: the player keeps its loads newest first.
    std::reverse(due.begin(), due.end());
    for (Pending& p : due) {
        DisplayObject* clip = resolve(p.target);
        if (clip == nullptr) {
            continue;
        }
        const auto shared = stage_.player().sharedOf(*clip);
        const Value self(static_cast<avm1::Object*>(stage_.objectOf(*clip)));
        if (!p.library) {
            notify(p.loader, "onLoadError",
                   {self, Value(stage_.machine().str(p.error)), Value(0.0)});
            continue;
        }
        if (!accepts(p.target, *p.library)) {
            notify(p.loader, "onLoadError",
                   {self, Value(stage_.machine().str("LoadNeverCompleted")), Value(0.0)});
            continue;
        }
        const Value bytes(static_cast<double>(p.bytes));
        notify(p.loader, "onLoadStart", {self});
        if (clip->removed || !stage_.player().levels().replaceContent(*clip, *p.library)) {
            continue;
        }
        // The clip's script object was emptied with its content; scripts see it anew.
        const Value loaded(static_cast<avm1::Object*>(stage_.objectOf(*clip)));
        // Progress is reported as the first bytes arrive and again once all are in; a file
        // read at once has both at the same count.
        notify(p.loader, "onLoadProgress", {loaded, bytes, bytes});
        notify(p.loader, "onLoadProgress", {loaded, bytes, bytes});
        notify(p.loader, "onLoadComplete", {loaded, Value(0.0)});
        if (p.loader != nullptr) {
            initialised_.push_back({shared, p.loader});
        }
    }
}

void ClipLoader::endFrame() {
    std::vector<Initialised> done = std::move(initialised_);
    initialised_.clear();
    for (const Initialised& i : done) {
        const auto clip = i.clip.lock();
        if (clip && !clip->removed) {
            notify(i.loader, "onLoadInit",
                   {Value(static_cast<avm1::Object*>(stage_.objectOf(*clip)))});
        }
    }
}

std::optional<ClipLoader::Progress> ClipLoader::progress(const DisplayObject& clip) const {
    const bool own = clip.parent == nullptr ? clip.library != 0 || clip.level != 0
                                            : clip.library != clip.parent->library;
    if (!own) {
        return std::nullopt;
    }
    const std::size_t bytes = stage_.player().library().fileBytes(clip.library);
    return Progress{bytes, bytes};
}

void ClipLoader::trace(avm1::Tracer& tracer) const {
    for (const Pending& p : pending_) {
        tracer.mark(p.loader);
    }
    for (const Initialised& i : initialised_) {
        tracer.mark(i.loader);
    }
}

} // namespace mc
