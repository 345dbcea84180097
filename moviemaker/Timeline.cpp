#include "moviemaker/Timeline.h"

#include "moviemaker/WriteError.h"

namespace moviemaker {

void Timeline::tag(TagCode code, std::span<const uint8_t> body, bool forceLong) {
    writeTag(tags_, code, body, forceLong);
}

void Timeline::rawTag(uint16_t code, std::span<const uint8_t> body, bool forceLong) {
    writeTag(tags_, code, body, forceLong);
}

void Timeline::placeObject(const PlaceObject& place, int version) {
    static constexpr TagCode codes[] = {TagCode::PlaceObject, TagCode::PlaceObject2,
                                        TagCode::PlaceObject3};
    const auto body = encodePlaceObject(place, version);
    tag(codes[version - 1], body);
}

void Timeline::place(uint16_t characterId, uint16_t depth, const Matrix& matrix) {
    PlaceObject p;
    p.depth = depth;
    p.characterId = characterId;
    p.matrix = matrix;
    placeObject(p);
}

void Timeline::moveObject(uint16_t depth, const Matrix& matrix) {
    PlaceObject p;
    p.depth = depth;
    p.move = true;
    p.matrix = matrix;
    placeObject(p);
}

void Timeline::moveObject(uint16_t depth, const Matrix& matrix, const ColorTransform& cx) {
    PlaceObject p;
    p.depth = depth;
    p.move = true;
    p.matrix = matrix;
    p.colorTransform = cx;
    placeObject(p);
}

void Timeline::removeObject(uint16_t characterId, uint16_t depth) {
    BitWriter body;
    body.u16(characterId);
    body.u16(depth);
    tag(TagCode::RemoveObject, body.data());
}

void Timeline::removeObject(uint16_t depth) {
    BitWriter body;
    body.u16(depth);
    tag(TagCode::RemoveObject2, body.data());
}

void Timeline::startSound(uint16_t soundId, const SoundInfo& info) {
    BitWriter body;
    body.u16(soundId);
    body.bytes(encodeSoundInfo(info));
    tag(TagCode::StartSound, body.data());
}

void Timeline::startSound2(std::string_view className, const SoundInfo& info) {
    BitWriter body;
    body.string(className);
    body.bytes(encodeSoundInfo(info));
    tag(TagCode::StartSound2, body.data());
}

void Timeline::soundStreamHead(const SoundFormat& format, uint16_t samplesPerBlock, int version,
                               int16_t latencySeek) {
    if (version != 1 && version != 2) {
        throw WriteError("sound stream head versions are 1 and 2");
    }
    BitWriter body;
    body.u8(static_cast<uint8_t>(format.checkedByte() & 0x0F));
    body.u8(format.checkedByte());
    body.u16(samplesPerBlock);
    if (format.codec == 2) {
        body.i16(latencySeek);
    }
    tag(version == 2 ? TagCode::SoundStreamHead2 : TagCode::SoundStreamHead, body.data());
}

void Timeline::soundStreamBlock(std::span<const uint8_t> body) {
    tag(TagCode::SoundStreamBlock, body);
}

void Timeline::showFrame() {
    if (frames_ == 0xFFFF) {
        throw WriteError("a timeline holds at most 65535 frames");
    }
    tag(TagCode::ShowFrame, {});
    ++frames_;
}

void Timeline::frameLabel(std::string_view label, bool namedAnchor) {
    BitWriter body;
    body.string(label);
    if (namedAnchor) {
        body.u8(1);
    }
    tag(TagCode::FrameLabel, body.data());
}

void Timeline::doAction(const Actions& actions) {
    tag(TagCode::DoAction, actions.bytes());
}

} // namespace moviemaker
