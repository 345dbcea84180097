// Calls every ActionScript 3 built-in with hostile arguments: each input picks classes to
// construct and members to read, write and call (instance and static, by name, from the
// classes the machine defines), with arguments drawn from NaN, the infinities, huge and
// negative numbers, long strings, huge arrays, cyclic objects, functions that throw, and the
// results of earlier calls. Script errors are the built-ins' answers; anything else (a crash,
// a hang, an unbounded allocation, a C++ exception escaping) is a fault.
#include "FakeDisplayHost.h"
#include "avm2/Machine.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

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
constexpr std::array<double, 20> kNumbers = {0,
                                             -0.0,
                                             1,
                                             -1,
                                             0.5,
                                             255,
                                             2880,
                                             8191,
                                             16777216,
                                             2147483647.0,
                                             2147483648.0,
                                             4294967295.0,
                                             4294967296.0,
                                             -2147483649.0,
                                             1e300,
                                             -1e300,
                                             8.64e15 + 1,
                                             std::numeric_limits<double>::quiet_NaN(),
                                             kInf,
                                             -kInf};

constexpr std::array<std::size_t, 5> kStringLengths = {0, 1, 300, 1 << 16, 1 << 21};

Value throwing(avm2::Machine& m, const Value&, Args&) {
    m.throwError("Error", 0, "thrown by an argument");
}

// A function that answers with whatever it was given first: a comparator that contradicts
// itself, a listener, a callback.
Value echo(avm2::Machine&, const Value&, Args& a) {
    return a.empty() ? Value() : a[0];
}

std::vector<std::string> sortedKeys(const avm2::Traits& traits) {
    std::vector<std::string> names;
    for (const auto& entry : traits.byName) {
        names.push_back(entry.first);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Session {
  public:
    Session(avm2::Machine& vm, Bytes& in) : vm_(vm), in_(in), classes_(vm.classNames()) {}

    void run() {
        for (int step = 0; step < 24 && !in_.empty(); ++step) {
            vm_.beginFrame();
            try {
                one();
            } catch (const avm2::ScriptThrow&) {
            } catch (const avm2::ScriptAbort&) {
            }
        }
    }

  private:
    avm2::Machine& vm_;
    Bytes& in_;
    std::vector<std::string> classes_;
    std::vector<Value> results_;

    avm2::Class* pickClass() {
        if (classes_.empty()) {
            return nullptr;
        }
        const std::size_t i = (static_cast<std::size_t>(in_.next()) << 8 | in_.next());
        return vm_.findClass(classes_[i % classes_.size()]);
    }

    Value hostile() {
        const std::uint8_t kind = in_.next();
        const std::uint8_t pick = in_.next();
        switch (kind % 10) {
        case 0:
            return Value::number(kNumbers[pick % kNumbers.size()]);
        case 1:
            return Value::integer(static_cast<std::int32_t>(pick) - 128);
        case 2:
            return Value::string(std::string(kStringLengths[pick % kStringLengths.size()],
                                             static_cast<char>("a<&%{0 "[pick % 7])));
        case 3:
            return pick % 2 ? Value::null() : Value();
        case 4: {
            Args length{Value::number(kNumbers[pick % kNumbers.size()])};
            return vm_.construct(Value::object(vm_.findClass("Array")->classObject), length);
        }
        case 5: {
            avm2::Object* o = vm_.newObject();
            avm2::Object* list = vm_.newArray({Value::object(o)});
            o->setProp("self", Value::object(o));
            o->setProp("list", Value::object(list));
            list->elements.push_back(Value::object(list));
            return Value::object(pick % 2 ? o : list);
        }
        case 6:
            return Value::object(vm_.newNative(pick % 2 ? throwing : echo));
        case 7:
            return results_.empty() ? Value() : results_[pick % results_.size()];
        case 8:
            if (avm2::Class* c = pickClass()) {
                return Value::object(c->classObject);
            }
            return Value();
        default:
            return Value::boolean(pick % 2 != 0);
        }
    }

    Args arguments() {
        Args a;
        for (int n = in_.next() % 5; n > 0; --n) {
            a.push_back(hostile());
        }
        return a;
    }

    void keep(const Value& v) {
        if (results_.size() < 32) {
            results_.push_back(v);
        } else {
            results_[in_.next() % results_.size()] = v;
        }
    }

    void one() {
        avm2::Class* cls = pickClass();
        if (cls == nullptr || cls->classObject == nullptr) {
            return;
        }
        const bool onInstance = in_.next() % 4 != 0;
        Value target = Value::object(cls->classObject);
        std::vector<std::string> members;
        if (onInstance) {
            Args made = arguments();
            target = vm_.construct(target, made);
            keep(target);
            members = sortedKeys(cls->instance);
            if (cls->prototype != nullptr) {
                for (const auto& [name, value] : cls->prototype->props) {
                    members.push_back(name);
                }
            }
        } else if (cls->classObject->ownTraits != nullptr) {
            members = sortedKeys(*cls->classObject->ownTraits);
        }
        for (int uses = 1 + in_.next() % 4; uses > 0 && !members.empty(); --uses) {
            const Name member = Name::publicName(members[in_.next() % members.size()]);
            switch (in_.next() % 3) {
            case 0:
                keep(vm_.getProperty(target, member));
                break;
            case 1:
                vm_.setProperty(target, member, hostile());
                break;
            default: {
                Args a = arguments();
                keep(vm_.callProperty(target, member, a));
                break;
            }
            }
        }
        vm_.toString(target);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    avm2test::DisplayTestHost host;
    avm2::Limits limits;
    limits.budget.perFrame = std::chrono::milliseconds(500);
    limits.maxObjects = 200000;
    limits.budget.memoryBytes = std::size_t{256} << 20;
    avm2::Machine vm(host, limits);
    Bytes in({data, size});
    Session(vm, in).run();
    return 0;
}
