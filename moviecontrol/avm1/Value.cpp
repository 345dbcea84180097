#include "avm1/Value.h"

#include "avm1/Object.h"

namespace avm1 {

Value::Value(Object* o) {
    if (o) {
        type_ = Type::Object;
        u_.o = o;
    } else {
        type_ = Type::Null;
    }
}

bool strictEquals(const Value& a, const Value& b) {
    if (a.type() != b.type()) {
        return false;
    }
    switch (a.type()) {
    case Type::Undefined:
    case Type::Null:
        return true;
    case Type::Boolean:
        return a.asBool() == b.asBool();
    case Type::Number:
        // Flash finds NaN equal to NaN.
        return a.asNumber() == b.asNumber() ||
               (a.asNumber() != a.asNumber() && b.asNumber() != b.asNumber());
    case Type::String:
        return a.asString() == b.asString();
    case Type::Object:
        return a.asObject() == b.asObject() ||
               (a.asObject() != nullptr && b.asObject() != nullptr &&
                a.asObject()->referent() == b.asObject()->referent());
    }
    return false;
}

} // namespace avm1
