#include "avm1/Object.h"

#include "avm1/Function.h"

namespace avm1 {

namespace {
constexpr std::size_t IndexThreshold = 12;
std::uint64_t lastSerial = 0;

bool sameName(const Str& a, const Str& b, bool caseSensitive) {
    if (a.sameAs(b)) {
        return true;
    }
    return caseSensitive ? a == b : equalsFolded(a.view(), b.view());
}
} // namespace

bool attr::visibleToSlow(std::uint32_t attributes, int version) {
    if ((attributes & Only6) && version < 6) {
        return false;
    }
    if ((attributes & Hide6) && version == 6) {
        return false;
    }
    if ((attributes & Only7) && version < 7) {
        return false;
    }
    if ((attributes & Only8) && version < 8) {
        return false;
    }
    if ((attributes & Only9) && version < 9) {
        return false;
    }
    if ((attributes & Only10) && version < 10) {
        return false;
    }
    return true;
}

const Property* PropertyMap::find(const Str& name, bool caseSensitive) const {
    return const_cast<PropertyMap*>(this)->find(name, caseSensitive);
}

Property* PropertyMap::find(const Str& name, bool caseSensitive) {
    std::size_t slot = locate(name, caseSensitive);
    return slot == npos ? nullptr : slots_[slot].get();
}

std::size_t PropertyMap::locate(const Str& name, bool caseSensitive) const {
    if (!indexed_) {
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (slots_[i] && sameName(slots_[i]->name, name, caseSensitive)) {
                return i;
            }
        }
        return npos;
    }
    auto [first, last] = index_.equal_range(name.foldedHash());
    std::size_t best = npos;
    for (auto it = first; it != last; ++it) {
        const Property* p = slots_[it->second].get();
        // The oldest match wins, as in the linear scan.
        if (p && it->second < best && sameName(p->name, name, caseSensitive)) {
            best = it->second;
        }
    }
    return best;
}

Property& PropertyMap::add(Property property, bool /*caseSensitive*/) {
    slots_.push_back(std::make_unique<Property>(std::move(property)));
    slots_.back()->serial = ++lastSerial;
    ++live_;
    if (indexed_) {
        index_.emplace(slots_.back()->name.foldedHash(), slots_.size() - 1);
    } else if (slots_.size() > IndexThreshold) {
        rebuildIndex();
    }
    return *slots_.back();
}

bool PropertyMap::remove(const Str& name, bool caseSensitive) {
    std::size_t slot = locate(name, caseSensitive);
    if (slot == npos) {
        return false;
    }
    slots_[slot].reset();
    --live_;
    std::size_t dead = slots_.size() - live_;
    if (dead > 16 && dead > live_) {
        std::erase_if(slots_, [](const auto& s) { return !s; });
        if (indexed_) {
            rebuildIndex();
        }
    }
    return true;
}

void PropertyMap::rebuildIndex() {
    index_.clear();
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i]) {
            index_.emplace(slots_[i]->name.foldedHash(), i);
        }
    }
    indexed_ = true;
}

const Value& CallArgs::arg(std::size_t i) const {
    static const Value undefinedValue;
    return i < args.size() ? args[i] : undefinedValue;
}

void FunctionObject::trace(Tracer& t) {
    t.mark(scope_);
    t.mark(target_);
}

} // namespace avm1
