// Parses arbitrary text as XML, then builds the script tree from it and prints it again:
// the parser, the tree builder and the text output see hostile input.
#include "FakeStage.h"

#include "avm1/XmlParser.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    avm1::xml::parse(text, size % 2 == 0);
    avm1::Limits limits;
    limits.maxObjects = 200000;
    avm1test::FakeStage stage(8, limits);
    avm1::Value arg{avm1::Str(text)};
    avm1::Object* document =
        stage.vm.construct(stage.vm.get(stage.vm.global(), "XML"), std::span(&arg, 1));
    if (document != nullptr) {
        stage.vm.toString(avm1::Value(document));
        stage.vm.callMethod(document, "cloneNode", std::span(&arg, 1));
    }
    stage.vm.collectGarbage();
    return 0;
}
