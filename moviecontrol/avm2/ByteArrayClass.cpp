// flash.utils.ByteArray: bytes with a read/write position and an byte order, the number
// and text codings Flash reads and writes, and zlib compression bounded by the memory
// budget. Reads past the end throw EOFError.
#include "avm2/Amf.h"
#include "avm2/ByteArrayData.h"
#include "avm2/DisplayHost.h"
#include "avm2/Host.h"
#include "avm2/Machine.h"
#include "avm2/StringPositions.h"
#include "unicode/Utf16Text.h"

#include <iconv.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <optional>

namespace avm2 {

namespace {

using Bytes = ByteArrayData;

Bytes& bytesOf(Machine& m, const Value& self) {
    if (!self.isObject() || self.asObject()->kind != Object::Kind::ByteArray ||
        self.asObject()->nativeData == nullptr) {
        m.throwError("TypeError", 1034, "Type Coercion failed: cannot convert to ByteArray.");
    }
    return *std::static_pointer_cast<Bytes>(self.asObject()->nativeData);
}

// The ByteArray readBytes and writeBytes take as `bytes`: never null, and converted as a
// typed parameter is (anything else throws #1034, naming what it was given).
Bytes& bytesArgument(Machine& m, const Args& a) {
    const Value v = arg(a, 0);
    if (v.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter bytes must be non-null.");
    }
    const bool bytes = v.isObject() && v.asObject()->kind == Object::Kind::ByteArray;
    if (Class* c = m.findClass("flash.utils::ByteArray"); c != nullptr && !bytes) {
        m.coerce(v, c);
    }
    return bytesOf(m, v);
}

Value byteArrayInit(Machine& m, const Value& self, Args&) {
    if (!self.isObject()) {
        return Value();
    }
    Object* o = self.asObject();
    o->kind = Object::Kind::ByteArray;
    auto bytes = std::make_shared<Bytes>();
    // A class made for a binary data symbol (or extending one) starts with the symbol's
    // bytes.
    if (DisplayHost* d = m.host().display()) {
        const Class* native = m.findClass("flash.utils::ByteArray");
        for (const Class* c = o->cls; c != nullptr && c != native; c = c->super) {
            if (auto data =
                    d->binaryOfClass(c->ns.uri.empty() ? c->name : c->ns.uri + "." + c->name)) {
                m.checkMemory(data->size());
                bytes->data = std::move(*data);
                break;
            }
        }
    }
    o->nativeData = std::move(bytes);
    return Value();
}

// Room for `more` bytes at the position, within the memory budget.
void reserve(Machine& m, Bytes& b, std::size_t more) {
    const std::size_t end = b.position + more;
    if (end > b.data.size()) {
        if (end > 0xFFFFFFFFu) {
            m.throwError("RangeError", 1506, "The specified range is invalid.");
        }
        m.checkMemory(end - b.data.size());
        b.data.resize(end);
    }
}

void put(Machine& m, Bytes& b, std::uint64_t value, std::size_t size) {
    reserve(m, b, size);
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t shift = b.littleEndian ? i : size - 1 - i;
        b.data[b.position + i] = static_cast<std::uint8_t>(value >> (8 * shift));
    }
    b.position += size;
}

void need(Machine& m, const Bytes& b, std::size_t size) {
    if (b.position > b.data.size() || b.data.size() - b.position < size) {
        m.throwError("flash.errors::EOFError", 2030, "End of file was encountered.");
    }
}

std::uint64_t get(Machine& m, Bytes& b, std::size_t size) {
    need(m, b, size);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t shift = b.littleEndian ? i : size - 1 - i;
        v |= static_cast<std::uint64_t>(b.data[b.position + i]) << (8 * shift);
    }
    b.position += size;
    return v;
}

void putBytes(Machine& m, Bytes& b, std::string_view s) {
    // Nothing to write into an empty array: its storage may not exist yet.
    if (s.empty()) {
        return;
    }
    reserve(m, b, s.size());
    std::memcpy(b.data.data() + b.position, s.data(), s.size());
    b.position += s.size();
}

// Any other character set goes through the C library's converters; one it does not know
// is read as UTF-8. Unconvertible input ends the text.
std::optional<std::string> convert(const char* from, const char* to, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    // iconv_open names its failure (iconv_t)-1.
    if (cd == reinterpret_cast<iconv_t>(-1)) { // NOLINT(performance-no-int-to-ptr)
        return std::nullopt;
    }
    std::string out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

// Text of `n` bytes in a charset; a NUL ends it. UTF-8 unless UTF-16 or a single-byte set
// is named.
std::string decode(std::string_view bytes, std::string charset) {
    for (char& c : charset) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (charset == "unicode" || charset == "utf-16" || charset == "utf-16le" ||
        charset == "utf-16be") {
        const bool big = charset == "utf-16be";
        std::u16string units;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto lo = static_cast<unsigned char>(bytes[big ? i + 1 : i]);
            const auto hi = static_cast<unsigned char>(bytes[big ? i : i + 1]);
            const auto unit = static_cast<char16_t>(lo | (hi << 8));
            if (unit == 0) {
                break;
            }
            units += unit;
        }
        return unicode::fromUtf16(units);
    }
    const std::size_t nul = bytes.find('\0');
    bytes = bytes.substr(0, nul);
    if (charset == "iso-8859-1" || charset == "us-ascii" || charset == "latin1") {
        std::string out;
        for (char c : bytes) {
            out += unicode::codePointToUtf8(static_cast<unsigned char>(c));
        }
        return out;
    }
    if (charset != "utf-8" && charset != "utf8") {
        if (auto text = convert(charset.c_str(), "UTF-8", bytes)) {
            return *text;
        }
    }
    // A byte order mark is not part of the text.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    return unicode::decodeText(bytes);
}

std::string encode(Machine& m, const std::string& text, std::string charset) {
    for (char& c : charset) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (charset == "unicode" || charset == "utf-16" || charset == "utf-16le" ||
        charset == "utf-16be") {
        const bool big = charset == "utf-16be";
        std::string out;
        for (char16_t u : unicode::toUtf16(text)) {
            const auto lo = static_cast<char>(u & 0xFF);
            const auto hi = static_cast<char>(u >> 8);
            out += big ? hi : lo;
            out += big ? lo : hi;
        }
        return out;
    }
    if (charset == "iso-8859-1" || charset == "us-ascii" || charset == "latin1") {
        std::string out;
        for (char16_t u : unicode::toUtf16(text)) {
            out += static_cast<char>(u < 256 ? u : '?');
        }
        return out;
    }
    (void)m;
    if (charset != "utf-8" && charset != "utf8") {
        if (auto bytes = convert("UTF-8", charset.c_str(), text)) {
            return *bytes;
        }
    }
    return text;
}

Value readText(Machine& m, Bytes& b, std::size_t n, const std::string& charset) {
    need(m, b, n);
    const std::string_view raw(reinterpret_cast<const char*>(b.data.data()) + b.position, n);
    b.position += n;
    return Value::string(decode(raw, charset));
}

template <std::size_t Size, bool Signed> Value readInteger(Machine& m, const Value& self, Args&) {
    Bytes& b = bytesOf(m, self);
    const std::uint64_t v = get(m, b, Size);
    if constexpr (Signed) {
        constexpr std::uint64_t sign = std::uint64_t{1} << (8 * Size - 1);
        return Value::integer(static_cast<std::int32_t>((v ^ sign) - sign));
    }
    return Value::unsignedInt(static_cast<std::uint32_t>(v));
}

template <std::size_t Size> Value writeInteger(Machine& m, const Value& self, Args& a) {
    put(m, bytesOf(m, self), toUint32(m.toNumber(arg(a, 0))), Size);
    return Value();
}

Value readFloat(Machine& m, const Value& self, Args&) {
    const auto bits = static_cast<std::uint32_t>(get(m, bytesOf(m, self), 4));
    float f = 0;
    std::memcpy(&f, &bits, 4);
    return Value::number(f);
}

Value readDouble(Machine& m, const Value& self, Args&) {
    const std::uint64_t bits = get(m, bytesOf(m, self), 8);
    double d = 0;
    std::memcpy(&d, &bits, 8);
    return Value::number(d);
}

Value writeFloat(Machine& m, const Value& self, Args& a) {
    const auto f = static_cast<float>(m.toNumber(arg(a, 0)));
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    put(m, bytesOf(m, self), bits, 4);
    return Value();
}

Value writeDouble(Machine& m, const Value& self, Args& a) {
    const double d = m.toNumber(arg(a, 0));
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, 8);
    put(m, bytesOf(m, self), bits, 8);
    return Value();
}

Value readBoolean(Machine& m, const Value& self, Args&) {
    return Value::boolean(get(m, bytesOf(m, self), 1) != 0);
}

Value writeBoolean(Machine& m, const Value& self, Args& a) {
    put(m, bytesOf(m, self), Machine::toBoolean(arg(a, 0)) ? 1 : 0, 1);
    return Value();
}

Value writeUTF(Machine& m, const Value& self, Args& a) {
    const std::string s = m.toString(arg(a, 0));
    if (s.size() > 0xFFFF) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    Bytes& b = bytesOf(m, self);
    put(m, b, s.size(), 2);
    putBytes(m, b, s);
    return Value();
}

Value writeUTFBytes(Machine& m, const Value& self, Args& a) {
    putBytes(m, bytesOf(m, self), m.toString(arg(a, 0)));
    return Value();
}

Value writeMultiByte(Machine& m, const Value& self, Args& a) {
    putBytes(m, bytesOf(m, self), encode(m, m.toString(arg(a, 0)), m.toString(arg(a, 1))));
    return Value();
}

Value readUTF(Machine& m, const Value& self, Args&) {
    Bytes& b = bytesOf(m, self);
    const auto n = static_cast<std::size_t>(get(m, b, 2));
    return readText(m, b, n, "utf-8");
}

Value readUTFBytes(Machine& m, const Value& self, Args& a) {
    Bytes& b = bytesOf(m, self);
    return readText(m, b, toUint32(m.toNumber(arg(a, 0))), "utf-8");
}

Value readMultiByte(Machine& m, const Value& self, Args& a) {
    Bytes& b = bytesOf(m, self);
    return readText(m, b, toUint32(m.toNumber(arg(a, 0))), m.toString(arg(a, 1)));
}

// writeBytes(source, offset, length): length 0 is the rest of the source.
Value writeBytes(Machine& m, const Value& self, Args& a) {
    Bytes& b = bytesOf(m, self);
    const Bytes& from = bytesArgument(m, a);
    const std::uint32_t offset = toUint32(m.toNumber(arg(a, 1)));
    std::uint32_t length = toUint32(m.toNumber(arg(a, 2)));
    if (offset > from.data.size()) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    if (length == 0) {
        length = static_cast<std::uint32_t>(from.data.size() - offset);
    }
    if (length > from.data.size() - offset) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    const std::vector<std::uint8_t> copy(from.data.begin() + offset,
                                         from.data.begin() + offset + length);
    putBytes(m, b, std::string_view(reinterpret_cast<const char*>(copy.data()), copy.size()));
    return Value();
}

// readBytes(target, offset, length): length 0 reads what is left.
Value readBytes(Machine& m, const Value& self, Args& a) {
    Bytes& b = bytesOf(m, self);
    Bytes& to = bytesArgument(m, a);
    const std::uint32_t offset = toUint32(m.toNumber(arg(a, 1)));
    std::uint32_t length = toUint32(m.toNumber(arg(a, 2)));
    if (length == 0) {
        length =
            static_cast<std::uint32_t>(b.position < b.data.size() ? b.data.size() - b.position : 0);
    }
    need(m, b, length);
    const std::vector<std::uint8_t> copy(b.data.begin() + static_cast<std::ptrdiff_t>(b.position),
                                         b.data.begin() +
                                             static_cast<std::ptrdiff_t>(b.position + length));
    b.position += length;
    const std::size_t keep = to.position;
    to.position = offset;
    putBytes(m, to, std::string_view(reinterpret_cast<const char*>(copy.data()), copy.size()));
    to.position = keep;
    return Value();
}

Value getLength(Machine& m, const Value& self, Args&) {
    return Value::unsignedInt(static_cast<std::uint32_t>(bytesOf(m, self).data.size()));
}

Value setLength(Machine& m, const Value& self, Args& a) {
    Bytes& b = bytesOf(m, self);
    const std::uint32_t n = toUint32(m.toNumber(arg(a, 0)));
    const std::size_t keep = b.position;
    b.position = 0;
    reserve(m, b, n);
    b.data.resize(n);
    b.position = std::min<std::size_t>(keep, n);
    return Value();
}

Value getPosition(Machine& m, const Value& self, Args&) {
    return Value::unsignedInt(static_cast<std::uint32_t>(bytesOf(m, self).position));
}

Value setPosition(Machine& m, const Value& self, Args& a) {
    bytesOf(m, self).position = toUint32(m.toNumber(arg(a, 0)));
    return Value();
}

Value bytesAvailable(Machine& m, const Value& self, Args&) {
    const Bytes& b = bytesOf(m, self);
    return Value::unsignedInt(
        static_cast<std::uint32_t>(b.position < b.data.size() ? b.data.size() - b.position : 0));
}

Value getEndian(Machine& m, const Value& self, Args&) {
    return Value::string(bytesOf(m, self).littleEndian ? "littleEndian" : "bigEndian");
}

Value setEndian(Machine& m, const Value& self, Args& a) {
    if (arg(a, 0).isNullish()) {
        m.throwError("TypeError", 2007, "Parameter endian must be non-null.");
    }
    const std::string e = m.toString(arg(a, 0));
    if (e != "littleEndian" && e != "bigEndian") {
        m.throwError("ArgumentError", 2008, "Parameter endian must be one of the accepted values.");
    }
    bytesOf(m, self).littleEndian = e == "littleEndian";
    return Value();
}

Value clear(Machine& m, const Value& self, Args&) {
    Bytes& b = bytesOf(m, self);
    b.data.clear();
    b.data.shrink_to_fit();
    b.position = 0;
    return Value();
}

Value byteArrayToString(Machine& m, const Value& self, Args&) {
    const Bytes& b = bytesOf(m, self);
    std::string_view raw(reinterpret_cast<const char*>(b.data.data()), b.data.size());
    // A byte order mark chooses the encoding: UTF-16 either way round, or UTF-8, the one
    // assumed without a mark.
    if (raw.substr(0, 2) == "\xFE\xFF" || raw.substr(0, 2) == "\xFF\xFE") {
        return Value::string(decode(raw.substr(2), raw[0] == '\xFE' ? "utf-16be" : "utf-16le"));
    }
    if (raw.substr(0, 3) == "\xEF\xBB\xBF") {
        raw.remove_prefix(3);
    }
    return Value::string(unicode::decodeText(raw));
}

// compress / uncompress with zlib ("zlib", the default, or "deflate" without its header).
Value compress(Machine& m, const Value& self, Args& a) {
    Bytes& b = bytesOf(m, self);
    const bool raw = m.toString(arg(a, 0)) == "deflate";
    // Allocated before the stream opens, so that nothing between opening and ending it throws.
    std::vector<std::uint8_t> out(compressBound(static_cast<uLong>(b.data.size())));
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, raw ? -15 : 15, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        return Value();
    }
    z.next_in = b.data.data();
    z.avail_in = static_cast<uInt>(b.data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    b.data = std::move(out);
    b.position = b.data.size();
    return Value();
}

// Ends an inflate stream on every way out, the budget's throw included.
struct InflateStream {
    z_stream z{};
    bool open = false;
    InflateStream() = default;
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
    ~InflateStream() {
        if (open) {
            inflateEnd(&z);
        }
    }
};

Value uncompress(Machine& m, const Value& self, Args& a) {
    Bytes& b = bytesOf(m, self);
    const bool raw = m.toString(arg(a, 0)) == "deflate";
    InflateStream stream;
    z_stream& z = stream.z;
    if (inflateInit2(&z, raw ? -15 : 15) != Z_OK) {
        return Value();
    }
    stream.open = true;
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> chunk(64 * 1024);
    z.next_in = b.data.data();
    z.avail_in = static_cast<uInt>(b.data.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = chunk.data();
        z.avail_out = static_cast<uInt>(chunk.size());
        rc = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), chunk.begin(),
                   chunk.begin() + static_cast<std::ptrdiff_t>(chunk.size() - z.avail_out));
        // A bomb stops at the memory budget, not at the machine's memory.
        m.checkMemory(out.size());
        if (out.size() > 0xFFFFFFFFu) {
            rc = Z_MEM_ERROR;
        }
    }
    if (rc != Z_STREAM_END) {
        m.throwError("flash.errors::IOError", 2058, "There was an error decompressing the data.");
    }
    b.data = std::move(out);
    b.position = 0;
    return Value();
}

Value writeObject(Machine& m, const Value& self, Args& a) {
    bytesOf(m, self);
    amfWriteObject(m, self, arg(a, 0));
    return Value();
}

Value readObject(Machine& m, const Value& self, Args&) {
    bytesOf(m, self);
    return amfReadObject(m, self);
}

Value getObjectEncoding(Machine& m, const Value& self, Args&) {
    return Value::integer(static_cast<std::int32_t>(bytesOf(m, self).objectEncoding));
}

// Only the two encodings there are may be chosen.
Value setObjectEncoding(Machine& m, const Value& self, Args& a) {
    const std::uint32_t encoding = toUint32(m.toNumber(arg(a, 0)));
    if (encoding != 0 && encoding != 3) {
        m.throwError("ArgumentError", 2008,
                     "Parameter objectEncoding must be one of the accepted values.");
    }
    bytesOf(m, self).objectEncoding = encoding;
    return Value();
}

} // namespace

ByteArrayData* byteArrayData(const Value& v) {
    if (!v.isObject() || v.asObject()->kind != Object::Kind::ByteArray ||
        v.asObject()->nativeData == nullptr) {
        return nullptr;
    }
    return static_cast<ByteArrayData*>(v.asObject()->nativeData.get());
}

Object* newByteArray(Machine& m) {
    Args none;
    const Value made =
        m.construct(m.getProperty(Value::object(m.globalObject()),
                                  Name::qualified(Namespace::publicNs("flash.utils"), "ByteArray")),
                    none);
    return made.asObject();
}

void installByteArray(Machine& m) {
    Class* c = m.defineClass("flash.utils", "ByteArray", m.objectClass, byteArrayInit);
    c->native = Class::Native::ByteArray;
    m.defineGetter(c, "length", getLength);
    m.defineSetter(c, "length", setLength);
    m.defineGetter(c, "position", getPosition);
    m.defineSetter(c, "position", setPosition);
    m.defineGetter(c, "bytesAvailable", bytesAvailable);
    m.defineGetter(c, "endian", getEndian);
    m.defineSetter(c, "endian", setEndian);
    m.defineMethod(c, "readByte", readInteger<1, true>);
    m.defineMethod(c, "readUnsignedByte", readInteger<1, false>);
    m.defineMethod(c, "readShort", readInteger<2, true>);
    m.defineMethod(c, "readUnsignedShort", readInteger<2, false>);
    m.defineMethod(c, "readInt", readInteger<4, true>);
    m.defineMethod(c, "readUnsignedInt", readInteger<4, false>);
    m.defineMethod(c, "writeByte", writeInteger<1>);
    m.defineMethod(c, "writeShort", writeInteger<2>);
    m.defineMethod(c, "writeInt", writeInteger<4>);
    m.defineMethod(c, "writeUnsignedInt", writeInteger<4>);
    m.defineMethod(c, "readFloat", readFloat);
    m.defineMethod(c, "readDouble", readDouble);
    m.defineMethod(c, "writeFloat", writeFloat);
    m.defineMethod(c, "writeDouble", writeDouble);
    m.defineMethod(c, "readBoolean", readBoolean);
    m.defineMethod(c, "writeBoolean", writeBoolean);
    m.defineMethod(c, "readUTF", readUTF);
    m.defineMethod(c, "readUTFBytes", readUTFBytes);
    m.defineMethod(c, "readMultiByte", readMultiByte);
    m.defineMethod(c, "writeUTF", writeUTF);
    m.defineMethod(c, "writeUTFBytes", writeUTFBytes);
    m.defineMethod(c, "writeMultiByte", writeMultiByte);
    m.defineMethod(c, "readBytes", readBytes);
    m.defineMethod(c, "writeBytes", writeBytes);
    m.defineMethod(c, "clear", clear);
    m.defineMethod(c, "toString", byteArrayToString);
    // JSON writes a ByteArray as its class name, never its bytes.
    m.defineMethod(c, "toJSON",
                   [](Machine&, const Value&, Args&) { return Value::string("ByteArray"); });
    m.defineMethod(c, "compress", compress);
    m.defineMethod(c, "writeObject", writeObject);
    m.defineMethod(c, "readObject", readObject);
    m.defineGetter(c, "objectEncoding", getObjectEncoding);
    m.defineSetter(c, "objectEncoding", setObjectEncoding);
    m.defineMethod(c, "uncompress", uncompress);
    m.defineMethod(c, "deflate", [](Machine& vm, const Value& self, Args&) {
        Args raw{Value::string("deflate")};
        return compress(vm, self, raw);
    });
    m.defineMethod(c, "inflate", [](Machine& vm, const Value& self, Args&) {
        Args raw{Value::string("deflate")};
        return uncompress(vm, self, raw);
    });
}

} // namespace avm2
