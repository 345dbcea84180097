#include "avm2/HiddenFields.h"

#include <utility>

namespace avm2 {

namespace {

template <typename Entries> auto* entryFor(Entries& entries, std::string_view key) {
    for (auto& [k, v] : entries) {
        if (k.isString() && k.asString() == key) {
            return &v;
        }
    }
    return static_cast<decltype(&entries.front().second)>(nullptr);
}

} // namespace

std::optional<Value> findHiddenField(const Object* o, std::string_view key) {
    if (o != nullptr) {
        if (const Value* v = entryFor(o->entries, key)) {
            return *v;
        }
    }
    return std::nullopt;
}

Value hiddenField(const Object* o, std::string_view key, Value fallback) {
    std::optional<Value> found = findHiddenField(o, key);
    return found ? std::move(*found) : std::move(fallback);
}

Value hiddenField(const Value& self, std::string_view key, Value fallback) {
    return hiddenField(self.isObject() ? self.asObject() : nullptr, key, std::move(fallback));
}

void setHiddenField(Object* o, std::string_view key, Value value) {
    if (o == nullptr) {
        return;
    }
    if (Value* v = entryFor(o->entries, key)) {
        *v = std::move(value);
    } else {
        o->entries.emplace_back(Value::string(std::string(key)), std::move(value));
    }
}

void setHiddenField(const Value& self, std::string_view key, Value value) {
    if (self.isObject()) {
        setHiddenField(self.asObject(), key, std::move(value));
    }
}

} // namespace avm2
