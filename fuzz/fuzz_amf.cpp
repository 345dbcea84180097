// Reads arbitrary bytes as AMF3 and as AMF0 through ByteArray.readObject, and writes back
// whatever was read: nothing may crash, hang or grow without bound; errors are the script's.
#include "FakeHost.h"
#include "avm2/ByteArrayData.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    avm2test::FakeHost host;
    avm2::Limits limits;
    limits.budget.perFrame = std::chrono::milliseconds(200);
    limits.maxObjects = 100000;
    avm2::Machine vm(host, limits);
    vm.beginFrame();
    for (std::uint32_t encoding : {3u, 0u}) {
        try {
            const avm2::Value stream = avm2::Value::object(avm2::newByteArray(vm));
            avm2::byteArrayData(stream)->data.assign(data, data + size);
            avm2::byteArrayData(stream)->objectEncoding = encoding;
            avm2::Args none;
            avm2::Value read = vm.callProperty(stream, avm2::Name::publicName("readObject"), none);
            avm2::Args back{read};
            vm.callProperty(stream, avm2::Name::publicName("writeObject"), back);
        } catch (const avm2::ScriptThrow&) {
        } catch (const avm2::ScriptAbort&) {
        }
    }
    return 0;
}
