// The ActionScript 3 text built-ins on arbitrary input: the bytes are a pattern, flags and a
// subject (split at the first two zero bytes), run through RegExp exec, String match,
// replace, split and search, and through the URI and escape decoders. Nothing may crash,
// hang or grow without bound; a runaway pattern ends as an abandoned script.
#include "FakeHost.h"
#include "avm2/Machine.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

std::string part(const std::uint8_t* data, std::size_t size, std::size_t& at) {
    std::string out;
    while (at < size && data[at] != 0) {
        out += static_cast<char>(data[at++]);
    }
    ++at;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    const std::string pattern = part(data, size, at);
    const std::string flags = part(data, size, at);
    const std::string subject = at < size ? std::string(data + at, data + size) : std::string();

    avm2test::FakeHost host;
    avm2::Limits limits;
    limits.budget.perFrame = std::chrono::milliseconds(500);
    avm2::Machine vm(host, limits);
    vm.beginFrame();
    using avm2::Args;
    using avm2::Name;
    using avm2::Value;
    try {
        Args make{Value::string(pattern), Value::string(flags)};
        const Value re = vm.construct(Value::object(vm.findClass("RegExp")->classObject), make);
        const Value s = Value::string(subject);
        Args one{s};
        vm.callProperty(re, Name::publicName("exec"), one);
        for (const char* method : {"match", "search", "split"}) {
            Args withPattern{re};
            vm.callProperty(s, Name::publicName(method), withPattern);
        }
        Args replace{re, Value::string(pattern)};
        vm.callProperty(s, Name::publicName("replace"), replace);
        for (const char* fn : {"unescape", "decodeURI", "decodeURIComponent", "escape"}) {
            Args text{s};
            const Value f = vm.getProperty(Value::object(vm.globalObject()), Name::publicName(fn));
            vm.call(f, Value::null(), text);
        }
    } catch (const avm2::ScriptThrow&) {
    } catch (const avm2::ScriptAbort&) {
    }
    return 0;
}
