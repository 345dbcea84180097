// flash.utils.Endian: the two byte orders ByteArray.endian accepts.
#include "avm2/Machine.h"

namespace avm2 {

void installEndian(Machine& m);

void installEndian(Machine& m) {
    Class* endian = m.defineClass("flash.utils", "Endian", m.objectClass);
    endian->isFinal = true;
    m.defineStaticConst(endian, "BIG_ENDIAN", Value::string("bigEndian"));
    m.defineStaticConst(endian, "LITTLE_ENDIAN", Value::string("littleEndian"));
}

} // namespace avm2
