#include "avm2/DictionaryStore.h"

#include <memory>
#include <unordered_map>

namespace avm2 {

namespace {

// Where each live key sits in `entries`; gaps left by deletions are counted so that the
// entries are packed again once they outnumber the live ones.
struct DictionaryIndex {
    std::unordered_map<std::string, std::size_t> byText;
    std::unordered_map<const Object*, std::size_t> byObject;
    std::size_t gaps = 0;
};

DictionaryIndex& indexOf(Object* d) {
    if (d->nativeData == nullptr) {
        d->nativeData = std::make_shared<DictionaryIndex>();
    }
    return *static_cast<DictionaryIndex*>(d->nativeData.get());
}

std::size_t* slotOf(DictionaryIndex& index, const Name& name) {
    if (name.keyObject != nullptr) {
        auto it = index.byObject.find(name.keyObject);
        return it == index.byObject.end() ? nullptr : &it->second;
    }
    auto it = index.byText.find(name.local);
    return it == index.byText.end() ? nullptr : &it->second;
}

void pack(Object* d, DictionaryIndex& index) {
    std::vector<std::pair<Value, Value>> live;
    live.reserve(d->entries.size() - index.gaps);
    for (auto& entry : d->entries) {
        if (!entry.first.isHole()) {
            live.push_back(std::move(entry));
        }
    }
    d->entries = std::move(live);
    index.byText.clear();
    index.byObject.clear();
    for (std::size_t i = 0; i < d->entries.size(); ++i) {
        const Value& k = d->entries[i].first;
        if (k.isObject()) {
            index.byObject.emplace(k.asObject(), i);
        } else {
            index.byText.emplace(k.asString(), i);
        }
    }
    index.gaps = 0;
}

} // namespace

Value* dictionaryFind(Object* dictionary, const Name& name) {
    DictionaryIndex& index = indexOf(dictionary);
    const std::size_t* at = slotOf(index, name);
    return at != nullptr ? &dictionary->entries[*at].second : nullptr;
}

void dictionarySet(Object* dictionary, const Name& name, const Value& value) {
    DictionaryIndex& index = indexOf(dictionary);
    if (const std::size_t* at = slotOf(index, name)) {
        dictionary->entries[*at].second = value;
        return;
    }
    if (index.gaps > 0 && index.gaps * 2 >= dictionary->entries.size()) {
        pack(dictionary, index);
    }
    const std::size_t at = dictionary->entries.size();
    if (name.keyObject != nullptr) {
        index.byObject.emplace(name.keyObject, at);
        dictionary->entries.emplace_back(Value::object(name.keyObject), value);
    } else {
        index.byText.emplace(name.local, at);
        dictionary->entries.emplace_back(Value::string(name.local), value);
    }
}

bool dictionaryErase(Object* dictionary, const Name& name) {
    DictionaryIndex& index = indexOf(dictionary);
    const std::size_t* found = slotOf(index, name);
    if (found == nullptr) {
        return false;
    }
    const std::size_t at = *found;
    if (name.keyObject != nullptr) {
        index.byObject.erase(name.keyObject);
    } else {
        index.byText.erase(name.local);
    }
    dictionary->entries[at] = {Value::hole(), Value()};
    ++index.gaps;
    return true;
}

Name dictionaryName(const std::string& keyText, const Value& key) {
    Name n = Name::publicName(keyText);
    if (key.isObject() && key.asObject()->kind != Object::Kind::QName) {
        n.keyObject = key.asObject();
    }
    return n;
}

Value enumeratedName(const std::string& name) {
    if (name.empty() || name.size() > 10 || (name.size() > 1 && name[0] == '0')) {
        return Value::string(name);
    }
    std::uint64_t v = 0;
    for (char c : name) {
        if (c < '0' || c > '9') {
            return Value::string(name);
        }
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v >= 0xFFFFFFFFull) {
        return Value::string(name);
    }
    return Value::unsignedInt(static_cast<std::uint32_t>(v));
}

} // namespace avm2
