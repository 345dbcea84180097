// Shared object files: a 6-byte header (marker and length), the "TCSO" signature and its 6
// bytes, the name with its 16-bit length, 4 bytes of version, then per property its name
// (16-bit length), the value and one closing zero byte. Values are written as in remoting
// messages: a type byte, then 8 bytes for a number, 1 for a boolean, a 16-bit (or, past
// 65535 bytes, 32-bit) length and the bytes for a string, named members closed by 3 bytes
// for an object, a 32-bit count first for an array, and 2 bytes for an object met before.
#include "LocalDataSize.h"

#include <algorithm>
#include <unordered_set>

namespace mc {

namespace {

constexpr int kMaxDepth = 64;

class Measure {
  public:
    explicit Measure(std::size_t most) : most_(most) {}

    std::size_t total() const { return std::min(total_, most_); }
    bool full() const { return total_ >= most_; }
    void add(std::size_t n) { total_ = n > most_ - std::min(total_, most_) ? most_ : total_ + n; }

    void value(const avm1::Value& v, int depth) {
        if (full()) {
            return;
        }
        if (v.isUndefined() || v.isNull()) {
            add(1);
        } else if (v.isBool()) {
            add(2);
        } else if (v.isNumber()) {
            add(9);
        } else if (v.isString()) {
            const std::size_t n = v.asString().view().size();
            add((n > 0xFFFF ? 5 : 3) + n);
        } else if (depth >= kMaxDepth) {
            add(1); // kept as null
        } else {
            object(*v.asObject(), depth);
        }
    }

    void members(const avm1::Object& o, int depth, bool closingZero) {
        o.properties().forEach([&](const avm1::Property& p) {
            if (!full() && keptInLocalData(p)) {
                add(2 + p.name.view().size());
                value(p.value, depth + 1);
                add(closingZero ? 1 : 0);
            }
        });
    }

  private:
    void object(const avm1::Object& o, int depth) {
        if (!seen_.insert(&o).second) {
            add(3);
            return;
        }
        add(o.className() == "Array" ? 5 : 1);
        members(o, depth, false);
        add(3);
    }

    std::size_t most_;
    std::size_t total_ = 0;
    std::unordered_set<const avm1::Object*> seen_;
};

} // namespace

bool keptInLocalData(const avm1::Property& p) {
    if (p.isAccessor() || (p.attributes & avm1::attr::DontEnum) != 0) {
        return false;
    }
    avm1::Object* o = p.value.asObject();
    return o == nullptr || (o->asFunction() == nullptr && !o->isDisplayObject());
}

std::size_t localDataFileSize(std::string_view name, const avm1::Object& data, std::size_t most) {
    bool any = false;
    data.properties().forEach([&](const avm1::Property& p) { any = any || keptInLocalData(p); });
    if (!any) {
        return 0;
    }
    Measure measure(most);
    measure.add(6 + 4 + 6 + 2 + name.size() + 4);
    measure.members(data, 0, true);
    return measure.total();
}

} // namespace mc
