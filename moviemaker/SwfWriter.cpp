#include "moviemaker/SwfWriter.h"

#include "moviemaker/JpegBitmap.h"
#include "moviemaker/ShapeEncoding.h"
#include "moviemaker/WriteError.h"

#include <cmath>

namespace moviemaker {

namespace {

constexpr std::size_t kHeaderPrefix = 8; // signature, version, file length

bool anyNonScaling(const StyleTable& table) {
    for (const LineStyle& line : table.lines) {
        if (line.noHScale || line.noVScale) {
            return true;
        }
    }
    return false;
}

bool anyScaling(const StyleTable& table) {
    for (const LineStyle& line : table.lines) {
        if (!line.noHScale && !line.noVScale) {
            return true;
        }
    }
    return false;
}

void strokeScaling(const Shape& shape, bool& scaling, bool& nonScaling) {
    scaling = anyScaling(shape.styles());
    nonScaling = anyNonScaling(shape.styles());
    for (const ShapeRecord& record : shape.records()) {
        const auto* change = std::get_if<StyleChange>(&record);
        if (change != nullptr && change->newStyles) {
            scaling = scaling || anyScaling(*change->newStyles);
            nonScaling = nonScaling || anyNonScaling(*change->newStyles);
        }
    }
}

} // namespace

std::vector<uint8_t> encodeDefineShape(uint16_t id, const Shape& shape, int version,
                                       const ShapeOptions& options) {
    if (version < 1 || version > 4) {
        throw WriteError("shape versions are 1 to 4");
    }
    BitWriter body;
    body.u16(id);
    writeRect(body, options.bounds.value_or(shape.shapeBounds()));
    if (version == 4) {
        writeRect(body, shape.edgeBounds());
        bool scaling = false;
        bool nonScaling = false;
        strokeScaling(shape, scaling, nonScaling);
        body.ub(0, 5);
        body.flag(options.fillWindingRule);
        body.flag(nonScaling);
        body.flag(scaling);
    }
    body.bytes(encodeShapeWithStyles(shape, version));
    return body.take();
}

SwfWriter::SwfWriter(MovieHeader header) : header_(header) {}

uint16_t SwfWriter::reserveId() const {
    // Checked before the tag is written, so a refused definition leaves no tag behind.
    if (nextId_ == 0xFFFF) {
        throw WriteError("a movie holds at most 65534 characters");
    }
    return nextId_;
}

uint16_t SwfWriter::takeId() {
    return nextId_++;
}

void SwfWriter::setBackgroundColor(Rgb colour) {
    BitWriter body;
    writeRgb(body, colour);
    tag(TagCode::SetBackgroundColor, body.data());
}

uint16_t SwfWriter::defineShape(const Shape& shape, int version, const ShapeOptions& options) {
    static constexpr TagCode codes[] = {TagCode::DefineShape, TagCode::DefineShape2,
                                        TagCode::DefineShape3, TagCode::DefineShape4};
    const uint16_t id = reserveId();
    const auto body = encodeDefineShape(id, shape, version, options);
    tag(codes[version - 1], body);
    return takeId();
}

uint16_t SwfWriter::defineButton2(const Button& button) {
    const uint16_t id = reserveId();
    rawTag(34, encodeDefineButton2(id, button));
    return takeId();
}

uint16_t SwfWriter::defineMorphShape(const MorphShape& morph, int version) {
    const uint16_t id = reserveId();
    const auto body = encodeDefineMorphShape(id, morph, version);
    tag(version == 1 ? TagCode::DefineMorphShape : TagCode::DefineMorphShape2, body);
    return takeId();
}

uint16_t SwfWriter::defineSprite(const Sprite& sprite) {
    const uint16_t id = reserveId();
    BitWriter body;
    body.u16(id);
    body.u16(sprite.frameCount());
    body.bytes(sprite.tagBytes());
    writeTag(body, TagCode::End, {});
    tag(TagCode::DefineSprite, body.data());
    return takeId();
}

uint16_t SwfWriter::defineBitsLossless(const RawImage& image, int version, LosslessFormat format) {
    const uint16_t id = reserveId();
    const auto body = encodeDefineBitsLossless(id, image, version, format);
    tag(version == 1 ? TagCode::DefineBitsLossless : TagCode::DefineBitsLossless2, body, true);
    return takeId();
}

uint16_t SwfWriter::defineBitsJpeg(std::span<const uint8_t> jpeg, std::span<const uint8_t> alpha) {
    const uint16_t id = reserveId();
    const auto body = encodeDefineBitsJpeg(id, jpeg, alpha);
    tag(alpha.empty() ? TagCode::DefineBitsJpeg2 : TagCode::DefineBitsJpeg3, body, true);
    return takeId();
}

uint16_t SwfWriter::defineSound(const SoundFormat& format, uint32_t sampleCount,
                                std::span<const uint8_t> data) {
    BitWriter body;
    body.u16(reserveId());
    body.u8(format.checkedByte());
    body.u32(sampleCount);
    body.bytes(data);
    tag(TagCode::DefineSound, body.data(), true);
    return takeId();
}

void SwfWriter::exportAssets(uint16_t id, std::string_view name) {
    BitWriter body;
    body.u16(1);
    body.u16(id);
    body.string(name);
    tag(TagCode::ExportAssets, body.data());
}

void SwfWriter::defineScalingGrid(uint16_t id, const Rect& grid) {
    BitWriter body;
    body.u16(id);
    writeRect(body, grid);
    tag(TagCode::DefineScalingGrid, body.data());
}

uint16_t SwfWriter::importAssets(std::string_view url, std::span<const std::string_view> names,
                                 bool second) {
    if (names.size() > 0xFFFE - std::size_t{nextId_}) {
        throw WriteError("a movie holds at most 65534 characters");
    }
    const uint16_t first = nextId_;
    BitWriter body;
    body.string(url);
    if (second) {
        body.u8(1); // reserved: 1
        body.u8(0); // reserved: 0
    }
    body.u16(static_cast<uint16_t>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        body.u16(static_cast<uint16_t>(first + i));
        body.string(names[i]);
    }
    tag(second ? TagCode::ImportAssets2 : TagCode::ImportAssets, body.data());
    nextId_ = static_cast<uint16_t>(first + names.size());
    return first;
}

void SwfWriter::doInitAction(uint16_t spriteId, const Actions& actions) {
    BitWriter body;
    body.u16(spriteId);
    body.bytes(actions.bytes());
    tag(TagCode::DoInitAction, body.data());
}

uint16_t SwfWriter::defineFont(const Font& font, int version) {
    static constexpr TagCode codes[] = {TagCode::DefineFont, TagCode::DefineFont2,
                                        TagCode::DefineFont3};
    const uint16_t id = reserveId();
    const auto body = encodeDefineFont(id, font, version);
    tag(codes[version - 1], body);
    return takeId();
}

uint16_t SwfWriter::defineText(const Text& text, int version) {
    const uint16_t id = reserveId();
    const auto body = encodeDefineText(id, text, version);
    tag(version == 1 ? TagCode::DefineText : TagCode::DefineText2, body);
    return takeId();
}

std::vector<uint8_t> SwfWriter::finish() {
    const double rate = std::round(header_.frameRate * 256.0);
    if (!(rate >= 0 && rate <= 0xFFFF)) {
        throw WriteError("frame rate does not fit 8.8 fixed point");
    }
    BitWriter movie;
    for (const char c : std::string_view(header_.compressed ? "CWS" : "FWS")) {
        movie.u8(static_cast<uint8_t>(c));
    }
    movie.u8(header_.version);
    movie.u32(0); // patched below
    writeRect(movie, header_.frameSize);
    movie.u16(static_cast<uint16_t>(rate));
    movie.u16(header_.frameCountOverride.value_or(frameCount()));
    movie.bytes(tagBytes());
    writeTag(movie, TagCode::End, {});
    movie.patchU32(4, fieldValue<uint32_t>(movie.size(), "movie length"));

    std::vector<uint8_t> bytes = movie.take();
    if (!header_.compressed) {
        return bytes;
    }
    // The length field keeps the uncompressed size; everything after it is one zlib stream.
    std::vector<uint8_t> packed = zlibCompress(std::span(bytes).subspan(kHeaderPrefix));
    bytes.resize(kHeaderPrefix);
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    return bytes;
}

} // namespace moviemaker
