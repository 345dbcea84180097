// What a Context3D makes: vertex and index buffers, programs and textures, with their
// uploads. Every upload is checked against the size the buffer or texture was made with;
// the sizes themselves are held to Flash's limits (65535 vertices of at most 64 values,
// 524287 indices, textures up to 4096 pixels a side).
#include "avm2/BitmapDataValues.h"
#include "avm2/ByteArrayData.h"
#include "avm2/Display3DState.h"
#include "avm2/Machine.h"

#include <bit>
#include <cmath>
#include <type_traits>

namespace avm2 {

namespace {

constexpr std::uint32_t kMaxVertices = 65535;
constexpr std::uint32_t kMaxData32PerVertex = 64;
constexpr std::uint32_t kMaxIndices = 524287;

Value arg(const Args& a, std::size_t i) {
    return i < a.size() ? a[i] : Value();
}

double numberOr(Machine& m, const Args& a, std::size_t i, double fallback) {
    return i < a.size() ? m.toNumber(a[i]) : fallback;
}

template <typename T> std::shared_ptr<T> stateOf(Machine& m, const Value& v) {
    if (!v.isObject() || !v.asObject()->nativeData) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return std::static_pointer_cast<T>(v.asObject()->nativeData);
}

Value make(Machine& m, const char* qualified, std::shared_ptr<void> state) {
    Args none;
    Value v = m.construct(Value::object(m.findClass(qualified)->classObject), none);
    v.asObject()->nativeData = std::move(state);
    return v;
}

// Counts made with negative or fractional numbers come in as Flash's int arguments do.
std::int64_t count(Machine& m, const Args& a, std::size_t i, double fallback) {
    return toInt32(numberOr(m, a, i, fallback));
}

void sizeChecks(Machine& m, std::int64_t n, std::int64_t limit) {
    if (n <= 0) {
        m.throwError("Error", 3671, "Buffer has zero size.");
    }
    if (n > limit) {
        m.throwError("Error", 3670, "Buffer too big.");
    }
}

// How a buffer will be updated: a hint for the driver, checked all the same.
void usageArg(Machine& m, const Args& a, std::size_t i) {
    if (i >= a.size()) {
        return;
    }
    const std::string usage = a[i].isNull() ? std::string() : m.toString(a[i]);
    if (usage != "staticDraw" && usage != "dynamicDraw") {
        m.throwError("ArgumentError", 2008,
                     "Parameter bufferUsage must be one of the accepted values.");
    }
}

// Counts `bytes` against the context's resource memory, refusing what passes it.
Reserved reserve(Machine& m, const std::shared_ptr<Context3DState>& c, std::uint64_t bytes) {
    if (bytes > kResourceBytes - std::min(c->resourceBytes, kResourceBytes)) {
        m.throwError("Error", 3691, "Resource limit for this resource type exceeded.");
    }
    m.checkMemory(static_cast<std::size_t>(bytes));
    c->resourceBytes += bytes;
    return Reserved{c, bytes};
}

void release(Reserved& r) {
    if (auto c = r.owner.lock()) {
        c->resourceBytes -= std::min(c->resourceBytes, r.bytes);
    }
    r.bytes = 0;
}

Value createVertexBuffer(Machine& m, const Value& self, Args& a) {
    auto c = stateOf<Context3DState>(m, self);
    const std::int64_t vertices = count(m, a, 0, 0);
    const std::int64_t perVertex = count(m, a, 1, 0);
    sizeChecks(m, vertices, kMaxVertices);
    sizeChecks(m, perVertex, kMaxData32PerVertex);
    usageArg(m, a, 2);
    auto state = std::make_shared<VertexBuffer3DState>();
    state->numVertices = static_cast<std::uint32_t>(vertices);
    state->data32PerVertex = static_cast<std::uint32_t>(perVertex);
    const auto words = static_cast<std::size_t>(vertices * perVertex);
    state->reserved = reserve(m, c, words * 4);
    state->data = std::make_shared<std::vector<std::uint32_t>>(words, 0u);
    return make(m, "flash.display3D::VertexBuffer3D", state);
}

Value createIndexBuffer(Machine& m, const Value& self, Args& a) {
    auto c = stateOf<Context3DState>(m, self);
    const std::int64_t indices = count(m, a, 0, 0);
    sizeChecks(m, indices, kMaxIndices);
    usageArg(m, a, 1);
    auto state = std::make_shared<IndexBuffer3DState>();
    state->reserved = reserve(m, c, static_cast<std::uint64_t>(indices) * 2);
    state->data.assign(static_cast<std::size_t>(indices), 0);
    return make(m, "flash.display3D::IndexBuffer3D", state);
}

Value createProgram(Machine& m, const Value& self, Args&) {
    stateOf<Context3DState>(m, self);
    return make(m, "flash.display3D::Program3D", std::make_shared<Program3DState>());
}

bool powerOfTwo(std::int64_t v) {
    return v > 0 && (v & (v - 1)) == 0;
}

void textureFormat(Machine& m, const Value& v, std::initializer_list<const char*> accepted) {
    const std::string text = v.isUndefined() || v.isNull() ? std::string() : m.toString(v);
    for (const char* name : accepted) {
        if (text == name) {
            return;
        }
    }
    m.throwError("ArgumentError", 2008,
                 "Parameter textureFormat must be one of the accepted values.");
}

void textureSize(Machine& m, std::int64_t width, std::int64_t height, bool needPowerOfTwo) {
    if (width <= 0 || height <= 0 || width > stage3d::kMaxTextureSide ||
        height > stage3d::kMaxTextureSide) {
        m.throwError("Error", 3683, "Texture too big (max is 4096x4096).");
    }
    if (needPowerOfTwo && (!powerOfTwo(width) || !powerOfTwo(height))) {
        m.throwError("Error", 3684, "Texture size must be power of two.");
    }
}

Value newTexture(Machine& m, const Value& context, const char* cls, std::int64_t width,
                 std::int64_t height, bool cube, bool mipmapped) {
    // Mip levels add a third to the full-size pixels.
    const auto pixels = static_cast<std::uint64_t>(width * height) * (cube ? 6 : 1);
    auto state = std::make_shared<Texture3DState>();
    state->reserved = reserve(m, stateOf<Context3DState>(m, context),
                              mipmapped ? pixels * 4 * 4 / 3 + 4 : pixels * 4);
    state->texture = std::make_shared<stage3d::Texture3D>(
        static_cast<int>(width), static_cast<int>(height), cube, mipmapped);
    return make(m, cls, state);
}

const std::initializer_list<const char*> kSquareFormats = {
    "bgra", "bgraPacked4444", "bgrPacked565", "compressed", "compressedAlpha", "rgbaHalfFloat"};

Value createTexture(Machine& m, const Value& self, Args& a) {
    stateOf<Context3DState>(m, self);
    const std::int64_t width = count(m, a, 0, 0);
    const std::int64_t height = count(m, a, 1, 0);
    textureFormat(m, arg(a, 2), kSquareFormats);
    textureSize(m, width, height, true);
    return newTexture(m, self, "flash.display3D.textures::Texture", width, height, false, true);
}

Value createCubeTexture(Machine& m, const Value& self, Args& a) {
    stateOf<Context3DState>(m, self);
    const std::int64_t size = count(m, a, 0, 0);
    textureFormat(m, arg(a, 1), kSquareFormats);
    textureSize(m, size, size, true);
    return newTexture(m, self, "flash.display3D.textures::CubeTexture", size, size, true, true);
}

Value createRectangleTexture(Machine& m, const Value& self, Args& a) {
    stateOf<Context3DState>(m, self);
    const std::int64_t width = count(m, a, 0, 0);
    const std::int64_t height = count(m, a, 1, 0);
    textureFormat(m, arg(a, 2), {"bgra", "bgraPacked4444", "bgrPacked565", "rgbaHalfFloat"});
    textureSize(m, width, height, false);
    return newTexture(m, self, "flash.display3D.textures::RectangleTexture", width, height, false,
                      false);
}

// --- Uploads ---------------------------------------------------------------------------

[[noreturn]] void badInput(Machine& m) {
    m.throwError("RangeError", 3669, "Bad input size.");
}

Value uploadVerticesFromVector(Machine& m, const Value& self, Args& a) {
    auto b = stateOf<VertexBuffer3DState>(m, self);
    const Value data = arg(a, 0);
    if (!data.isObject()) {
        m.throwError("TypeError", 2007, "Parameter data must be non-null.");
    }
    const std::int64_t start = count(m, a, 1, 0);
    const std::int64_t vertices = count(m, a, 2, 0);
    if (start < 0 || vertices < 0 || start + vertices > b->numVertices) {
        badInput(m);
    }
    const std::vector<Value> elements = data.asObject()->elements;
    const auto words = static_cast<std::size_t>(vertices) * b->data32PerVertex;
    if (elements.size() < words) {
        badInput(m);
    }
    const std::size_t base = static_cast<std::size_t>(start) * b->data32PerVertex;
    for (std::size_t i = 0; i < words; ++i) {
        (*b->data)[base + i] =
            std::bit_cast<std::uint32_t>(static_cast<float>(m.toNumber(elements[i])));
    }
    return Value();
}

Value uploadVerticesFromByteArray(Machine& m, const Value& self, Args& a) {
    auto b = stateOf<VertexBuffer3DState>(m, self);
    const ByteArrayData* bytes = byteArrayData(arg(a, 0));
    if (bytes == nullptr) {
        m.throwError("TypeError", 2007, "Parameter data must be non-null.");
    }
    const std::int64_t offset = count(m, a, 1, 0);
    const std::int64_t start = count(m, a, 2, 0);
    const std::int64_t vertices = count(m, a, 3, 0);
    if (offset < 0 || start < 0 || vertices < 0 || start + vertices > b->numVertices) {
        badInput(m);
    }
    const auto words = static_cast<std::size_t>(vertices) * b->data32PerVertex;
    if (static_cast<std::uint64_t>(offset) + words * 4 > bytes->data.size()) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    const std::size_t base = static_cast<std::size_t>(start) * b->data32PerVertex;
    for (std::size_t i = 0; i < words; ++i) {
        std::uint32_t w = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            w |= static_cast<std::uint32_t>(
                     bytes->data[static_cast<std::size_t>(offset) + i * 4 + k])
                 << (8 * k);
        }
        (*b->data)[base + i] = w;
    }
    return Value();
}

Value uploadIndicesFromVector(Machine& m, const Value& self, Args& a) {
    auto b = stateOf<IndexBuffer3DState>(m, self);
    const Value data = arg(a, 0);
    if (!data.isObject()) {
        m.throwError("TypeError", 2007, "Parameter data must be non-null.");
    }
    const std::int64_t start = count(m, a, 1, 0);
    const std::int64_t n = count(m, a, 2, 0);
    if (start < 0 || n < 0 || static_cast<std::size_t>(start + n) > b->data.size()) {
        badInput(m);
    }
    const std::vector<Value> elements = data.asObject()->elements;
    if (elements.size() < static_cast<std::size_t>(n)) {
        badInput(m);
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        b->data[static_cast<std::size_t>(start) + i] =
            static_cast<std::uint16_t>(toUint32(m.toNumber(elements[i])));
    }
    return Value();
}

Value uploadIndicesFromByteArray(Machine& m, const Value& self, Args& a) {
    auto b = stateOf<IndexBuffer3DState>(m, self);
    const ByteArrayData* bytes = byteArrayData(arg(a, 0));
    if (bytes == nullptr) {
        m.throwError("TypeError", 2007, "Parameter data must be non-null.");
    }
    const std::int64_t offset = count(m, a, 1, 0);
    const std::int64_t start = count(m, a, 2, 0);
    const std::int64_t n = count(m, a, 3, 0);
    if (offset < 0 || start < 0 || n < 0 || static_cast<std::size_t>(start + n) > b->data.size()) {
        badInput(m);
    }
    if (static_cast<std::uint64_t>(offset) + static_cast<std::uint64_t>(n) * 2 >
        bytes->data.size()) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        const std::size_t at = static_cast<std::size_t>(offset) + i * 2;
        b->data[static_cast<std::size_t>(start) + i] =
            static_cast<std::uint16_t>(bytes->data[at] | bytes->data[at + 1] << 8);
    }
    return Value();
}

stage3d::AgalProgram checkedProgram(Machine& m, const Value& v, stage3d::ProgramKind kind) {
    const ByteArrayData* bytes = byteArrayData(v);
    if (bytes == nullptr) {
        m.throwError("TypeError", 2007,
                     kind == stage3d::ProgramKind::Vertex
                         ? "Parameter vertexProgram must be non-null."
                         : "Parameter fragmentProgram must be non-null.");
    }
    stage3d::AgalResult r = stage3d::readAgal(bytes->data, kind);
    if (!r.program) {
        m.throwErrorIn("flash.display3D::Program3D/upload",
                       r.error.argumentError ? "ArgumentError" : "Error", r.error.code,
                       r.error.message, false);
    }
    return std::move(*r.program);
}

Value programUpload(Machine& m, const Value& self, Args& a) {
    auto p = stateOf<Program3DState>(m, self);
    stage3d::AgalProgram vertex = checkedProgram(m, arg(a, 0), stage3d::ProgramKind::Vertex);
    stage3d::AgalProgram fragment = checkedProgram(m, arg(a, 1), stage3d::ProgramKind::Fragment);
    p->vertex = std::move(vertex);
    p->fragment = std::move(fragment);
    return Value();
}

Value nothing(Machine&, const Value&, Args&) {
    return Value();
}

// dispose: the memory goes back to the context; what is drawn from it afterwards is empty.
template <typename State> Value dispose(Machine& m, const Value& self, Args&) {
    auto state = stateOf<State>(m, self);
    release(state->reserved);
    if constexpr (std::is_same_v<State, VertexBuffer3DState>) {
        state->data = std::make_shared<std::vector<std::uint32_t>>();
        state->numVertices = 0;
    } else if constexpr (std::is_same_v<State, IndexBuffer3DState>) {
        state->data.clear();
    } else {
        state->texture = std::make_shared<stage3d::Texture3D>(1, 1, state->texture->cube(), false);
    }
    return Value();
}

// Stores a bitmap's pixels as one level of one face. They go up premultiplied, as the
// BitmapData keeps them: programs drawing them blend with one and oneMinusSourceAlpha.
void storeBitmap(Machine& m, stage3d::Texture3D& t, const Value& bitmap, int face, int level) {
    const pixels::BitmapPixels& p = bitmaps::pixelsOf(m, bitmap);
    std::vector<std::uint32_t>* image = t.image(face, level);
    if (image == nullptr) {
        m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
    }
    const int w = t.levelWidth(level);
    const int h = t.levelHeight(level);
    if (p.width() != w || p.height() != h) {
        m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            (*image)[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                     static_cast<std::size_t>(x)] = p.premultipliedAt(x, y);
        }
    }
}

void storeBytes(Machine& m, stage3d::Texture3D& t, const Value& data, std::int64_t offset, int face,
                int level) {
    const ByteArrayData* bytes = byteArrayData(data);
    if (bytes == nullptr) {
        m.throwError("TypeError", 2007, "Parameter data must be non-null.");
    }
    std::vector<std::uint32_t>* image = t.image(face, level);
    if (image == nullptr || offset < 0) {
        m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
    }
    if (static_cast<std::uint64_t>(offset) + image->size() * 4 > bytes->data.size()) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    // Bytes run blue, green, red, alpha: one little-endian ARGB word a pixel.
    for (std::size_t i = 0; i < image->size(); ++i) {
        const std::size_t at = static_cast<std::size_t>(offset) + i * 4;
        (*image)[i] = static_cast<std::uint32_t>(bytes->data[at]) |
                      static_cast<std::uint32_t>(bytes->data[at + 1]) << 8 |
                      static_cast<std::uint32_t>(bytes->data[at + 2]) << 16 |
                      static_cast<std::uint32_t>(bytes->data[at + 3]) << 24;
    }
}

Value textureFromBitmap(Machine& m, const Value& self, Args& a) {
    auto t = stateOf<Texture3DState>(m, self);
    storeBitmap(m, *t->texture, arg(a, 0), 0, toInt32(numberOr(m, a, 1, 0)));
    return Value();
}

Value textureFromBytes(Machine& m, const Value& self, Args& a) {
    auto t = stateOf<Texture3DState>(m, self);
    storeBytes(m, *t->texture, arg(a, 0), count(m, a, 1, 0), 0, toInt32(numberOr(m, a, 2, 0)));
    return Value();
}

Value cubeFromBitmap(Machine& m, const Value& self, Args& a) {
    auto t = stateOf<Texture3DState>(m, self);
    storeBitmap(m, *t->texture, arg(a, 0), toInt32(numberOr(m, a, 1, 0)),
                toInt32(numberOr(m, a, 2, 0)));
    return Value();
}

Value cubeFromBytes(Machine& m, const Value& self, Args& a) {
    auto t = stateOf<Texture3DState>(m, self);
    storeBytes(m, *t->texture, arg(a, 0), count(m, a, 1, 0), toInt32(numberOr(m, a, 2, 0)),
               toInt32(numberOr(m, a, 3, 0)));
    return Value();
}

} // namespace

void installDisplay3DResources(Machine& m) {
    Class* context = m.findClass("flash.display3D::Context3D");
    m.defineMethod(context, "createVertexBuffer", createVertexBuffer);
    m.defineMethod(context, "createIndexBuffer", createIndexBuffer);
    m.defineMethod(context, "createProgram", createProgram);
    m.defineMethod(context, "createTexture", createTexture);
    m.defineMethod(context, "createCubeTexture", createCubeTexture);
    m.defineMethod(context, "createRectangleTexture", createRectangleTexture);

    Class* vertices = m.defineClass("flash.display3D", "VertexBuffer3D", m.objectClass);
    m.defineMethod(vertices, "uploadFromVector", uploadVerticesFromVector);
    m.defineMethod(vertices, "uploadFromByteArray", uploadVerticesFromByteArray);
    m.defineMethod(vertices, "dispose", dispose<VertexBuffer3DState>);
    Class* indices = m.defineClass("flash.display3D", "IndexBuffer3D", m.objectClass);
    m.defineMethod(indices, "uploadFromVector", uploadIndicesFromVector);
    m.defineMethod(indices, "uploadFromByteArray", uploadIndicesFromByteArray);
    m.defineMethod(indices, "dispose", dispose<IndexBuffer3DState>);
    Class* program = m.defineClass("flash.display3D", "Program3D", m.objectClass);
    m.defineMethod(program, "upload", programUpload);
    m.defineMethod(program, "dispose", nothing);

    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* base = m.defineClass("flash.display3D.textures", "TextureBase", dispatcher);
    m.defineMethod(base, "dispose", dispose<Texture3DState>);
    Class* texture = m.defineClass("flash.display3D.textures", "Texture", base);
    m.defineMethod(texture, "uploadFromBitmapData", textureFromBitmap);
    m.defineMethod(texture, "uploadFromByteArray", textureFromBytes);
    m.defineMethod(texture, "uploadCompressedTextureFromByteArray", nothing);
    Class* cube = m.defineClass("flash.display3D.textures", "CubeTexture", base);
    m.defineMethod(cube, "uploadFromBitmapData", cubeFromBitmap);
    m.defineMethod(cube, "uploadFromByteArray", cubeFromBytes);
    m.defineMethod(cube, "uploadCompressedTextureFromByteArray", nothing);
    Class* rectangle = m.defineClass("flash.display3D.textures", "RectangleTexture", base);
    m.defineMethod(rectangle, "uploadFromBitmapData", textureFromBitmap);
    m.defineMethod(rectangle, "uploadFromByteArray", textureFromBytes);
}

} // namespace avm2
