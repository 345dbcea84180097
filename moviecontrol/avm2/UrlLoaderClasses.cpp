// flash.net.URLLoader and URLStream: a file beside the movie read as text, bytes or
// variables. A load answers once the scripts running now are done, as a file arrives in
// Flash: open, progress, then complete with the data in place; a file the player may not or
// cannot read (another folder, the network, a missing file) answers ioError instead.
#include "avm2/ByteArrayData.h"
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/LoadHost.h"
#include "avm2/LoadSteps.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"
#include "unicode/Utf16Text.h"

#include <string_view>

namespace avm2 {

namespace {

constexpr char kBytes[] = "load.bytes";
constexpr char kUrl[] = "load.url";
constexpr char kConnected[] = "load.connected";

Value get(Machine& m, Object* o, const char* name) {
    return m.getProperty(Value::object(o), Name::publicName(name));
}

void set(Machine& m, Object* o, const char* name, const Value& v) {
    m.setProperty(Value::object(o), Name::publicName(name), v);
}

// Text as Flash reads a loaded file: a byte order mark says UTF-16 or UTF-8 (and goes);
// without one the bytes are UTF-8, or Latin-1 where they are not.
std::string textOf(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() >= 2 &&
        ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        const bool little = bytes[0] == 0xFF;
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto lo = static_cast<char16_t>(bytes[i + (little ? 0 : 1)]);
            const auto hi = static_cast<char16_t>(bytes[i + (little ? 1 : 0)]);
            units += static_cast<char16_t>(hi << 8 | lo);
        }
        return unicode::fromUtf16(units);
    }
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    return unicode::decodeText(text);
}

Object* byteArrayOf(Machine& m, std::vector<std::uint8_t> bytes) {
    Object* array = newByteArray(m);
    byteArrayData(Value::object(array))->data = std::move(bytes);
    return array;
}

// Reads the file now and queues the replies; the file's bytes wait in the object until the
// step that hands them out.
void startLoad(Machine& m, Object* o, const std::string& url, NativeFn arrived, NativeFn failed) {
    setHiddenField(o, kUrl, Value::string(url));
    setHiddenField(o, kBytes, Value::null());
    std::optional<std::vector<std::uint8_t>> bytes = readForLoad(m, o, url, failed);
    if (!bytes) {
        return;
    }
    setHiddenField(o, kBytes, Value::object(byteArrayOf(m, std::move(*bytes))));
    queueLoadStep(m, o, sendOpenStep);
    queueLoadStep(m, o, arrived);
}

std::vector<std::uint8_t> takeBytes(Object* o) {
    const Value held = hiddenField(o, kBytes);
    setHiddenField(o, kBytes, Value::null());
    ByteArrayData* data = byteArrayData(held);
    return data != nullptr ? std::move(data->data) : std::vector<std::uint8_t>{};
}

Value stepFailed(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (!stepIsCurrent(o)) {
        return Value();
    }
    setHiddenField(o, kConnected, Value::boolean(false));
    sendStreamError(m, o, m.toString(hiddenField(o, kUrl, Value::string(""))));
    return Value();
}

// --- URLLoader -----------------------------------------------------------------------------

// The data as dataFormat asks: a String, a ByteArray, or URLVariables read from the text.
Value loaderArrived(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (!stepIsCurrent(o)) {
        return Value();
    }
    std::vector<std::uint8_t> bytes = takeBytes(o);
    const double total = static_cast<double>(bytes.size());
    set(m, o, "bytesLoaded", Value::number(total));
    set(m, o, "bytesTotal", Value::number(total));
    sendProgress(m, o, total, total);
    const std::string format = m.toString(get(m, o, "dataFormat"));
    Value data;
    if (format == "binary") {
        data = Value::object(byteArrayOf(m, std::move(bytes)));
    } else if (format == "variables") {
        Args text{Value::string(textOf(bytes))};
        data =
            m.construct(Value::object(m.findClass("flash.net::URLVariables")->classObject), text);
    } else {
        data = Value::string(textOf(bytes));
    }
    set(m, o, "data", data);
    dispatchEvent(m, o, newEvent(m, "complete"));
    return Value();
}

Value loaderLoad(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    const std::string url = requestUrl(m, arg(a, 0));
    set(m, o, "bytesLoaded", Value::unsignedInt(0));
    set(m, o, "bytesTotal", Value::unsignedInt(0));
    startLoad(m, o, url, loaderArrived, stepFailed);
    return Value();
}

Value loaderInit(Machine& m, const Value& s, Args& a) {
    if (!arg(a, 0).isNullish()) {
        Args request{a[0]};
        loaderLoad(m, s, request);
    }
    return Value();
}

void installLoader(Machine& m, Class* dispatcher) {
    Class* loader = m.defineClass("flash.net", "URLLoader", dispatcher, loaderInit);
    loader->sealed = true;
    addPublicSlot(loader, "data", nullptr, Value());
    addPublicSlot(loader, "dataFormat", m.stringClass, Value::string("text"));
    addPublicSlot(loader, "bytesLoaded", m.uintClass, Value::unsignedInt(0));
    addPublicSlot(loader, "bytesTotal", m.uintClass, Value::unsignedInt(0));
    m.defineMethod(loader, "load", loaderLoad);
    m.defineMethod(loader, "close", [](Machine& mm, const Value& s, Args&) {
        cancelLoad(receiverObject(mm, s));
        return Value();
    });

    Class* format = m.defineClass("flash.net", "URLLoaderDataFormat", m.objectClass);
    for (const auto& [name, value] :
         {std::pair{"BINARY", "binary"}, {"TEXT", "text"}, {"VARIABLES", "variables"}}) {
        m.defineStaticConst(format, name, Value::string(value));
    }
}

// --- URLStream -----------------------------------------------------------------------------

// A stream's bytes are readable from its progress event on; they sit in a ByteArray the
// reading methods go through, so both read alike (and fail alike past the end).
constexpr char kStreamBytes[] = "stream.bytes";

Value streamArrived(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (!stepIsCurrent(o)) {
        return Value();
    }
    std::vector<std::uint8_t> bytes = takeBytes(o);
    const double total = static_cast<double>(bytes.size());
    setHiddenField(o, kStreamBytes, Value::object(byteArrayOf(m, std::move(bytes))));
    sendProgress(m, o, total, total);
    setHiddenField(o, kConnected, Value::boolean(false));
    dispatchEvent(m, o, newEvent(m, "complete"));
    return Value();
}

Value streamLoad(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    const std::string url = requestUrl(m, arg(a, 0));
    setHiddenField(o, kStreamBytes, Value::object(newByteArray(m)));
    setHiddenField(o, kConnected, Value::boolean(true));
    startLoad(m, o, url, streamArrived, stepFailed);
    return Value();
}

Value streamClose(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (!Machine::toBoolean(hiddenField(o, kConnected))) {
        m.throwError("flash.errors::IOError", 2029,
                     "This URLStream object does not have a stream opened.");
    }
    cancelLoad(o);
    setHiddenField(o, kConnected, Value::boolean(false));
    return Value();
}

Value streamBuffer(Machine& m, Object* o) {
    Value bytes = hiddenField(o, kStreamBytes);
    if (!bytes.isObject()) {
        bytes = Value::object(newByteArray(m));
        setHiddenField(o, kStreamBytes, bytes);
    }
    return bytes;
}

template <const char* Method> Value streamRead(Machine& m, const Value& s, Args& a) {
    const Value bytes = streamBuffer(m, receiverObject(m, s));
    return m.callProperty(bytes, Name::publicName(Method), a);
}

template <const char* Property> Value streamGet(Machine& m, const Value& s, Args&) {
    return m.getProperty(streamBuffer(m, receiverObject(m, s)), Name::publicName(Property));
}

template <const char* Property> Value streamSet(Machine& m, const Value& s, Args& a) {
    m.setProperty(streamBuffer(m, receiverObject(m, s)), Name::publicName(Property), arg(a, 0));
    return Value();
}

constexpr char kReadBoolean[] = "readBoolean";
constexpr char kReadByte[] = "readByte";
constexpr char kReadBytes[] = "readBytes";
constexpr char kReadDouble[] = "readDouble";
constexpr char kReadFloat[] = "readFloat";
constexpr char kReadInt[] = "readInt";
constexpr char kReadMultiByte[] = "readMultiByte";
constexpr char kReadObject[] = "readObject";
constexpr char kReadShort[] = "readShort";
constexpr char kReadUnsignedByte[] = "readUnsignedByte";
constexpr char kReadUnsignedInt[] = "readUnsignedInt";
constexpr char kReadUnsignedShort[] = "readUnsignedShort";
constexpr char kReadUTF[] = "readUTF";
constexpr char kReadUTFBytes[] = "readUTFBytes";
constexpr char kBytesAvailable[] = "bytesAvailable";
constexpr char kEndian[] = "endian";
constexpr char kObjectEncoding[] = "objectEncoding";

void installStream(Machine& m, Class* dispatcher) {
    Class* stream = m.defineClass("flash.net", "URLStream", dispatcher);
    stream->sealed = true;
    m.defineMethod(stream, "load", streamLoad);
    m.defineMethod(stream, "close", streamClose);
    m.defineGetter(stream, "connected", [](Machine& mm, const Value& s, Args&) {
        return Value::boolean(Machine::toBoolean(hiddenField(receiverObject(mm, s), kConnected)));
    });
    m.defineMethod(stream, kReadBoolean, streamRead<kReadBoolean>);
    m.defineMethod(stream, kReadByte, streamRead<kReadByte>);
    m.defineMethod(stream, kReadBytes, streamRead<kReadBytes>);
    m.defineMethod(stream, kReadDouble, streamRead<kReadDouble>);
    m.defineMethod(stream, kReadFloat, streamRead<kReadFloat>);
    m.defineMethod(stream, kReadInt, streamRead<kReadInt>);
    m.defineMethod(stream, kReadMultiByte, streamRead<kReadMultiByte>);
    m.defineMethod(stream, kReadObject, streamRead<kReadObject>);
    m.defineMethod(stream, kReadShort, streamRead<kReadShort>);
    m.defineMethod(stream, kReadUnsignedByte, streamRead<kReadUnsignedByte>);
    m.defineMethod(stream, kReadUnsignedInt, streamRead<kReadUnsignedInt>);
    m.defineMethod(stream, kReadUnsignedShort, streamRead<kReadUnsignedShort>);
    m.defineMethod(stream, kReadUTF, streamRead<kReadUTF>);
    m.defineMethod(stream, kReadUTFBytes, streamRead<kReadUTFBytes>);
    m.defineGetter(stream, kBytesAvailable, streamGet<kBytesAvailable>);
    m.defineGetter(stream, kEndian, streamGet<kEndian>);
    m.defineSetter(stream, kEndian, streamSet<kEndian>);
    m.defineGetter(stream, kObjectEncoding, streamGet<kObjectEncoding>);
    m.defineSetter(stream, kObjectEncoding, streamSet<kObjectEncoding>);
}

} // namespace

void installUrlLoading(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    installLoader(m, dispatcher);
    installStream(m, dispatcher);
}

} // namespace avm2
