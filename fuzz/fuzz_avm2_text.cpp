// The ActionScript 3 text built-ins on arbitrary input: the bytes are a pattern, flags and a
// subject (split at the first two zero bytes), run through RegExp exec, String match,
// replace, split and search, through the URI and escape decoders, and as XML markup (parsed
// under settings the flags pick, printed, searched and copied). Nothing may crash, hang or
// grow without bound; a runaway pattern ends as an abandoned script.
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

// The subject as XML and as an XMLList, with the flags' first byte choosing the settings.
void parseAsXml(avm2::Machine& vm, const std::string& flags, const std::string& subject) {
    using avm2::Args;
    using avm2::Name;
    using avm2::Value;
    const unsigned bits = flags.empty() ? 0u : static_cast<unsigned char>(flags[0]);
    const Value xmlClass = Value::object(vm.findClass("XML")->classObject);
    const char* settings[] = {"ignoreComments", "ignoreProcessingInstructions", "ignoreWhitespace",
                              "prettyPrinting"};
    for (unsigned i = 0; i < 4; ++i) {
        vm.setProperty(xmlClass, Name::publicName(settings[i]), Value::boolean((bits >> i) & 1u));
    }
    for (const char* cls : {"XML", "XMLList"}) {
        try {
            Args text{Value::string(subject)};
            const Value x = vm.construct(Value::object(vm.findClass(cls)->classObject), text);
            for (const char* method : {"toXMLString", "toString", "descendants", "copy",
                                       "normalize", "attributes", "children"}) {
                Args none;
                vm.toString(vm.callProperty(x, Name::publicName(method), none));
            }
            Name any = Name::publicName("");
            any.anyName = true;
            vm.toString(vm.getProperty(x, any));
        } catch (const avm2::ScriptThrow&) {
        } catch (const avm2::ScriptAbort&) {
        }
    }
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
    parseAsXml(vm, flags, subject);
    return 0;
}
