#include "SoundTags.h"

#include "swf/ByteReader.h"

namespace audio {

namespace {

// Reads a sound info record; leaves the reader failed when the record runs past the tag.
SoundInfo readSoundInfo(swf::ByteReader& r) {
    SoundInfo info;
    const std::uint8_t flags = r.u8();
    info.syncStop = (flags & 0x20) != 0;
    info.noMultiple = (flags & 0x10) != 0;
    if (flags & 0x01) {
        info.inPoint = r.u32();
    }
    if (flags & 0x02) {
        info.outPoint = r.u32();
    }
    if (flags & 0x04) {
        info.loops = r.u16();
    }
    if (flags & 0x08) {
        const std::uint8_t points = r.u8();
        // Eight bytes a point: a count beyond what remains is a damaged tag.
        if (points * std::size_t{8} > r.remaining()) {
            r.setFailed();
            return info;
        }
        info.envelope.reserve(points);
        for (unsigned i = 0; i < points; ++i) {
            EnvelopePoint p;
            p.pos44 = r.u32();
            p.left = r.u16();
            p.right = r.u16();
            info.envelope.push_back(p);
        }
    }
    return info;
}

} // namespace

std::optional<SoundDefinition> readDefineSound(Bytes body) {
    swf::ByteReader r(body);
    SoundDefinition d;
    d.id = r.u16();
    d.format = formatFromByte(r.u8());
    d.sampleCount = r.u32();
    if (r.failed()) {
        return std::nullopt;
    }
    d.data = r.rest();
    return d;
}

std::optional<StartSoundTag> readStartSound(Bytes body) {
    swf::ByteReader r(body);
    StartSoundTag s;
    s.soundId = r.u16();
    s.info = readSoundInfo(r);
    if (r.failed()) {
        return std::nullopt;
    }
    return s;
}

std::optional<StartSoundTag> readStartSound2(Bytes body) {
    swf::ByteReader r(body);
    StartSoundTag s;
    s.className = r.string(body.size());
    if (r.failed()) {
        return std::nullopt;
    }
    s.info = readSoundInfo(r);
    if (r.failed()) {
        return std::nullopt;
    }
    return s;
}

std::optional<StreamHead> readStreamHead(Bytes body) {
    swf::ByteReader r(body);
    StreamHead h;
    h.playback = formatFromByte(r.u8() & 0x0F);
    h.stream = formatFromByte(r.u8());
    h.samplesPerBlock = r.u16();
    if (r.failed()) {
        return std::nullopt;
    }
    if (h.stream.kind() == Codec::Mp3 && r.remaining() >= 2) {
        h.latencySeek = r.s16();
    }
    return h;
}

std::optional<Mp3StreamBlock> readMp3StreamBlock(Bytes body) {
    swf::ByteReader r(body);
    Mp3StreamBlock b;
    b.sampleCount = r.u16();
    b.seekSamples = r.s16();
    if (r.failed()) {
        return std::nullopt;
    }
    b.frames = r.rest();
    return b;
}

std::optional<ButtonSounds> readDefineButtonSound(Bytes body) {
    swf::ByteReader r(body);
    ButtonSounds b;
    b.buttonId = r.u16();
    for (auto& transition : b.transitions) {
        const std::uint16_t id = r.u16();
        if (r.failed()) {
            return std::nullopt;
        }
        if (id == 0) {
            continue; // no sound for this transition, and no sound info either
        }
        StartSoundTag s;
        s.soundId = id;
        s.info = readSoundInfo(r);
        if (r.failed()) {
            return std::nullopt;
        }
        transition = std::move(s);
    }
    return b;
}

std::vector<std::pair<std::uint16_t, std::string>> readExportAssets(Bytes body) {
    swf::ByteReader r(body);
    std::vector<std::pair<std::uint16_t, std::string>> out;
    const std::uint16_t count = r.u16();
    // Each entry takes at least three bytes: a count beyond that cannot be true.
    out.reserve(std::min<std::size_t>(count, r.remaining() / 3));
    for (unsigned i = 0; i < count && !r.failed(); ++i) {
        const std::uint16_t id = r.u16();
        std::string name = r.string(r.remaining());
        if (r.failed()) {
            break;
        }
        out.emplace_back(id, std::move(name));
    }
    return out;
}

} // namespace audio
