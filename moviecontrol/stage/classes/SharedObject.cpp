// SharedObject.getLocal: what a movie keeps between plays. Kept by the player's saved-data
// store, in memory for the life of the player and within the movie's allowance; nothing
// reaches the disk. The data object is written to the store on flush() and when the movie
// goes, as Flash writes it when the movie closes.
#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>

#include "LocalDataSize.h"
#include "SavedDataStore.h"
#include "StageScripts.h"
#include "avm1/Function.h"
#include "avm1/NumberedNatives.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// Objects nested deeper than this are kept as null: no real data nests so deep, and the
// codec recurses.
constexpr int kMaxDepth = 64;
// getSize measures up to this much; beyond it the movie could not keep the data anyway.
constexpr std::size_t kMeasuredAtMost = std::size_t{16} << 20;

// The data object as bytes: a tag per value, lengths and counts as 32-bit numbers. Only
// stored, enumerable properties are kept (getters never run); functions and clips are left
// out, as Flash leaves them out. An object met again is written as a reference to it.
class Encoder {
  public:
    explicit Encoder(std::size_t most) : most_(most) {}

    // False when the bytes would pass `most`.
    bool encode(const Value& v, int depth = 0) {
        if (over()) {
            return false;
        }
        if (v.isUndefined()) {
            put('u');
        } else if (v.isNull()) {
            put('n');
        } else if (v.isBool()) {
            put(v.asBool() ? 't' : 'f');
        } else if (v.isNumber()) {
            put('d');
            const auto bits = std::bit_cast<std::uint64_t>(v.asNumber());
            for (int i = 0; i < 8; ++i) {
                put(static_cast<std::uint8_t>(bits >> (8 * i)));
            }
        } else if (v.isString()) {
            put('s');
            text(v.asString().view());
        } else if (depth >= kMaxDepth) {
            put('n');
        } else {
            object(*v.asObject(), depth);
        }
        return !over();
    }

    std::vector<std::uint8_t> take() { return std::move(out_); }
    std::size_t size() const { return out_.size(); }
    bool over() const { return out_.size() > most_; }

    static bool kept(const avm1::Property& p) { return keptInLocalData(p); }

  private:
    void put(std::uint8_t b) {
        if (!over()) {
            out_.push_back(b);
        }
    }
    void count(std::size_t n) {
        for (int i = 0; i < 4; ++i) {
            put(static_cast<std::uint8_t>(n >> (8 * i)));
        }
    }
    void text(std::string_view s) {
        count(s.size());
        // A text longer than the room left is not copied: the answer is already "too large".
        if (s.size() > most_ - std::min(most_, out_.size())) {
            out_.resize(most_ + 1);
            return;
        }
        out_.insert(out_.end(), s.begin(), s.end());
    }
    void object(avm1::Object& o, int depth) {
        if (const auto seen = seen_.find(&o); seen != seen_.end()) {
            put('r');
            count(seen->second);
            return;
        }
        seen_.emplace(&o, static_cast<std::uint32_t>(seen_.size()));
        put(o.className() == "Array" ? 'a' : 'o');
        std::size_t n = 0;
        o.properties().forEach([&](const avm1::Property& p) { n += kept(p) ? 1 : 0; });
        count(n);
        o.properties().forEach([&](const avm1::Property& p) {
            if (kept(p) && !over()) {
                text(p.name.view());
                encode(p.value, depth + 1);
            }
        });
    }

    std::size_t most_;
    std::vector<std::uint8_t> out_;
    std::unordered_map<const avm1::Object*, std::uint32_t> seen_;
};

// The bytes back as script values; anything damaged ends the reading with what was read.
class Decoder {
  public:
    Decoder(avm1::Machine& m, std::span<const std::uint8_t> bytes) : m_(m), in_(bytes) {}

    bool decode(Value& out, int depth = 0) {
        std::uint8_t tag = 0;
        if (!byte(tag) || depth > kMaxDepth) {
            return false;
        }
        switch (tag) {
        case 'u':
            out = Value();
            return true;
        case 'n':
            out = Value::null();
            return true;
        case 't':
        case 'f':
            out = Value(tag == 't');
            return true;
        case 'd': {
            std::uint64_t bits = 0;
            for (int i = 0; i < 8; ++i) {
                std::uint8_t b = 0;
                if (!byte(b)) {
                    return false;
                }
                bits |= std::uint64_t{b} << (8 * i);
            }
            out = Value(std::bit_cast<double>(bits));
            return true;
        }
        case 's': {
            std::string s;
            if (!text(s)) {
                return false;
            }
            out = Value(m_.str(s));
            return true;
        }
        case 'r': {
            std::uint32_t index = 0;
            if (!count(index) || index >= objects_.size()) {
                return false;
            }
            out = Value(objects_[index]);
            return true;
        }
        case 'o':
        case 'a':
            return object(out, tag == 'a', depth);
        default:
            return false;
        }
    }

  private:
    bool byte(std::uint8_t& b) {
        if (at_ >= in_.size()) {
            return false;
        }
        b = in_[at_++];
        return true;
    }
    bool count(std::uint32_t& n) {
        n = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = 0;
            if (!byte(b)) {
                return false;
            }
            n |= std::uint32_t{b} << (8 * i);
        }
        return true;
    }
    bool text(std::string& s) {
        std::uint32_t n = 0;
        if (!count(n) || n > in_.size() - at_) {
            return false;
        }
        s.assign(reinterpret_cast<const char*>(in_.data() + at_), n);
        at_ += n;
        return true;
    }
    bool object(Value& out, bool array, int depth) {
        avm1::Object* o = array ? m_.newArray() : m_.newObject();
        objects_.push_back(o);
        out = Value(o);
        std::uint32_t n = 0;
        if (!count(n)) {
            return false;
        }
        for (std::uint32_t i = 0; i < n; ++i) {
            std::string name;
            Value v;
            if (!text(name) || !decode(v, depth + 1)) {
                return false;
            }
            m_.set(o, name, v);
        }
        return true;
    }

    avm1::Machine& m_;
    std::span<const std::uint8_t> in_;
    std::size_t at_ = 0;
    std::vector<avm1::Object*> objects_;
};

// Characters Flash refuses in a shared object's name, and an empty step between slashes
// ('%', though documented as refused, is taken).
bool validName(std::string_view name) {
    return !name.empty() && name.size() <= 1024 &&
           name.find_first_of("~&\\;:\"',<>?# ") == std::string_view::npos &&
           name.find("//") == std::string_view::npos;
}

bool startsWithFolded(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// The path part of a URL ("file:///cards/a.swf" -> "/cards/a.swf"), or the text itself
// when it names no scheme; `host` gets the domain ("" for local files).
std::string_view pathOfUrl(std::string_view url, std::string_view& host) {
    host = {};
    const std::size_t scheme = url.find("://");
    if (scheme == std::string_view::npos || url.find('/') < scheme) {
        return url;
    }
    std::string_view rest = url.substr(scheme + 3);
    const std::size_t slash = rest.find('/');
    host = rest.substr(0, slash);
    return slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash);
}

class SharedObjects {
  public:
    SharedObjects(const StageScripts& stage, storage::SavedDataStore& store)
        : store_(store), movie_(stage.callbacks().movieUrl.empty() ? "file:///movie.swf"
                                                                   : stage.callbacks().movieUrl) {}
    SharedObjects(const SharedObjects&) = delete;
    SharedObjects& operator=(const SharedObjects&) = delete;

    ~SharedObjects() {
        // The movie goes: what its objects hold is kept, as far as the allowance lets it.
        try {
            for (const auto& [key, object] : objects_) {
                flush(key);
            }
        } catch (...) {
            // Out of memory while leaving: what was flushed before stays.
        }
    }

    // A movie keeps its objects under its own path or a folder above it, on its own
    // domain: a local path anywhere else gives no object.
    std::optional<std::string> storedUnder(avm1::Machine& m, const Value& path) const {
        std::string_view movieHost;
        const std::string_view moviePath = pathOfUrl(movie_, movieHost);
        if (path.isNullish()) {
            return std::string(moviePath);
        }
        const std::string asked = m.toString(path).str();
        if (asked.empty()) {
            return std::string(moviePath);
        }
        std::string_view askedHost;
        const std::string_view askedPath = pathOfUrl(asked, askedHost);
        const bool sameHost =
            askedHost.size() == movieHost.size() && startsWithFolded(askedHost, movieHost);
        if (!sameHost || askedPath.empty() || askedPath.front() != '/' ||
            !startsWithFolded(moviePath, askedPath)) {
            return std::nullopt;
        }
        // Spelled as the movie's own path, so that every spelling names one object.
        return std::string(moviePath.substr(0, askedPath.size()));
    }

    // The object already got under the name and path, or null: the player's first step of
    // getLocal (native 2106, 202).
    Value known(avm1::Machine& m, const Value& nameArg, const Value& path) {
        const std::optional<std::string> key = keyFor(m, nameArg, path);
        const auto it = key ? objects_.find(*key) : objects_.end();
        return it != objects_.end() ? Value(it->second.so.get()) : Value::null();
    }

    // Its second step (native 2106, 204): gives a new object its data, read back from what
    // was saved under the name and path, and keeps it under them. False for a name or path
    // that may not be used.
    bool fill(avm1::Machine& m, avm1::Object* so, const Value& nameArg, const Value& path) {
        const std::optional<std::string> key = keyFor(m, nameArg, path);
        if (!so || !key || objects_.size() >= kMaxObjects) {
            return false;
        }
        if (const auto it = objects_.find(*key); it != objects_.end()) {
            m.define(so, "data", Value(it->second.data.get()),
                     avm1::attr::DontDelete | avm1::attr::ReadOnly);
            return true;
        }
        Value data;
        if (const auto bytes = store_.read(movie_, *key)) {
            Decoder(m, *bytes).decode(data);
        }
        if (!data.isObject()) {
            data = Value(m.newObject());
        }
        m.define(so, "data", data, avm1::attr::DontDelete | avm1::attr::ReadOnly);
        objects_.emplace(*key, Entry{avm1::Root(m, so), avm1::Root(m, data.asObject()),
                                     m.toString(nameArg).str()});
        keys_.emplace(so, *key);
        return true;
    }

    Value getLocal(avm1::Machine& m, const Value& nameArg, const Value& path, avm1::Object* proto) {
        if (Value so = known(m, nameArg, path); so.isObject()) {
            return so;
        }
        avm1::Object* so = m.newObject();
        so->setProto(proto);
        return fill(m, so, nameArg, path) ? Value(so) : Value::null();
    }

    std::optional<std::string> keyFor(avm1::Machine& m, const Value& nameArg, const Value& path) {
        const std::string name = m.toString(nameArg).str();
        const std::optional<std::string> under = storedUnder(m, path);
        if (!validName(name) || !under) {
            return std::nullopt;
        }
        return *under + '\n' + name;
    }

    // The name `self` was got under; empty for anything not got by getLocal.
    std::string keyOf(const avm1::Object* self) const {
        const auto it = keys_.find(self);
        return it != keys_.end() ? it->second : std::string();
    }

    bool flush(const std::string& key) {
        const auto it = objects_.find(key);
        if (it == objects_.end()) {
            return false;
        }
        Encoder encoder(storage::SavedDataStore::kAllowancePerMovie);
        if (!encoder.encode(Value(it->second.data.get()))) {
            return false;
        }
        return store_.write(movie_, key, encoder.take());
    }

    void clear(const std::string& key) {
        const auto it = objects_.find(key);
        if (it == objects_.end()) {
            return;
        }
        avm1::PropertyMap& props = it->second.data->properties();
        std::vector<avm1::Str> names;
        props.forEach([&](const avm1::Property& p) {
            if ((p.attributes & avm1::attr::DontDelete) == 0) {
                names.push_back(p.name);
            }
        });
        for (const avm1::Str& name : names) {
            props.remove(name, true);
        }
        store_.remove(movie_, key);
    }

    double size(const std::string& key) const {
        const auto it = objects_.find(key);
        if (it == objects_.end()) {
            return 0;
        }
        return static_cast<double>(
            localDataFileSize(it->second.name, *it->second.data.get(), kMeasuredAtMost));
    }

  private:
    // A movie keeping more objects than this is up to no good.
    static constexpr std::size_t kMaxObjects = 1024;
    struct Entry {
        avm1::Root so;
        avm1::Root data;
        std::string name;
    };
    storage::SavedDataStore& store_;
    std::string movie_;
    std::map<std::string, Entry> objects_;
    // Rooted by their entries: the pointers stay valid.
    std::unordered_map<const avm1::Object*, std::string> keys_;
};

} // namespace

void installSharedObject(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    storage::SavedDataStore* store = stage.callbacks().savedData;
    auto objects = std::make_shared<SharedObjects>(
        stage, store != nullptr ? *store : storage::SavedDataStore::ofThisProcess());
    SharedObjects* so = objects.get();
    avm1::FunctionObject* ctor = m.newClass([](CallArgs&) { return Value(); });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    m.defineMethod(ctor, "getLocal", [so, proto](CallArgs& c) {
        return so->getLocal(c.machine, c.arg(0), c.arg(1), proto);
    });
    avm1::defineNumberedNative(
        m, 2106, 202, [so](CallArgs& c) { return so->known(c.machine, c.arg(0), c.arg(1)); });
    avm1::defineNumberedNative(m, 2106, 204, [so](CallArgs& c) {
        return Value(so->fill(c.machine, c.arg(0).asObject(), c.arg(1), c.arg(2)));
    });
    // Remote objects need a server; what the settings manager lists is the person's.
    m.defineMethod(ctor, "getRemote", [](CallArgs&) { return Value::null(); });
    m.defineMethod(
        ctor, "deleteAll", [](CallArgs&) { return Value(); }, avm1::attr::DontEnum);
    m.defineMethod(
        ctor, "getDiskUsage", [](CallArgs&) { return Value(); }, avm1::attr::DontEnum);
    m.defineMethod(proto, "flush", [so](CallArgs& c) {
        const std::string key = so->keyOf(c.thisObject());
        const double wanted = c.count() > 0 ? c.machine.toNumber(c.arg(0)) : 0.0;
        // More room than the allowance is never granted: the answer is no, at once.
        if (key.empty() ||
            wanted > static_cast<double>(storage::SavedDataStore::kAllowancePerMovie)) {
            return Value(false);
        }
        return Value(so->flush(key));
    });
    m.defineMethod(proto, "clear", [so](CallArgs& c) {
        so->clear(so->keyOf(c.thisObject()));
        return Value();
    });
    m.defineMethod(proto, "getSize",
                   [so](CallArgs& c) { return Value(so->size(so->keyOf(c.thisObject()))); });
    // What only a remote object does: on a local one these do nothing.
    for (const char* name : {"connect", "send", "close", "setFps"}) {
        m.defineMethod(proto, name, [](CallArgs&) { return Value(); });
    }
    m.define(m.global(), "SharedObject", Value(static_cast<avm1::Object*>(ctor)),
             avm1::attr::DontEnum | avm1::attr::Only6);
    stage.keepAlive(objects);
}

} // namespace mc
