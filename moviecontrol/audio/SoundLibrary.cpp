#include "SoundLibrary.h"

#include "AudioLog.h"
#include "SoundDecoding.h"
#include "swf/TagCodes.h"

#include <algorithm>

namespace audio {

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return out;
}

SoundLibrary::SoundLibrary(const swf::Movie& movie, DecodeLimits limits) : limits_(limits) {
    for (const swf::RawControlTag& tag : movie.soundDefinitions) {
        switch (tag.code) {
        case swf::tag::DefineSound:
            if (auto d = readDefineSound(tag.body)) {
                sounds_.try_emplace(d->id, *d); // the first definition of an id counts
            }
            break;
        case swf::tag::DefineButtonSound:
            if (auto b = readDefineButtonSound(tag.body)) {
                buttons_.try_emplace(b->buttonId, std::move(*b));
            }
            break;
        case swf::tag::ExportAssets:
        case swf::tag::SymbolClass:
            for (auto& [id, name] : readExportAssets(tag.body)) {
                exports_.insert_or_assign(lowerAscii(name), id); // the later export wins
            }
            break;
        default:
            break;
        }
    }
}

const SoundDefinition* SoundLibrary::definition(std::uint16_t id) const {
    const auto it = sounds_.find(id);
    return it == sounds_.end() ? nullptr : &it->second;
}

const ButtonSounds* SoundLibrary::buttonSounds(std::uint16_t buttonId) const {
    const auto it = buttons_.find(buttonId);
    return it == buttons_.end() ? nullptr : &it->second;
}

std::optional<std::uint16_t> SoundLibrary::exported(std::string_view name) const {
    const auto it = exports_.find(lowerAscii(name));
    if (it == exports_.end() || definition(it->second) == nullptr) {
        return std::nullopt;
    }
    return it->second;
}

namespace {

// Where the first MP3 frame starts, past an ID3v2 tag; none when no frame header is found.
std::optional<std::size_t> firstMp3Frame(const std::vector<std::uint8_t>& b) {
    std::size_t at = 0;
    if (b.size() >= 10 && b[0] == 'I' && b[1] == 'D' && b[2] == '3') {
        // The tag's size: four 7-bit bytes, then the 10-byte header itself.
        std::size_t size = 0;
        for (int i = 6; i < 10; ++i) {
            size = (size << 7) | (b[static_cast<std::size_t>(i)] & 0x7F);
        }
        at = 10 + size;
    }
    // A frame header: 11 set sync bits, a layer other than the reserved one.
    for (const std::size_t end = std::min(b.size(), at + 65536); at + 4 <= end; ++at) {
        if (b[at] == 0xFF && (b[at + 1] & 0xE0) == 0xE0 && (b[at + 1] & 0x06) != 0 &&
            (b[at + 2] & 0xF0) != 0xF0) {
            return at;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::uint16_t> SoundLibrary::freeId() const {
    // Ids are taken from the top down, past any the movie defines.
    std::uint16_t id = 0xFFFF;
    while (id > 0 && sounds_.contains(id)) {
        --id;
    }
    return id == 0 ? std::nullopt : std::optional<std::uint16_t>(id);
}

std::optional<std::uint16_t> SoundLibrary::addMovieSound(const swf::Movie& movie,
                                                         std::string_view name) {
    constexpr std::size_t kMaxMovieSounds = 256;
    // The export a later tag makes wins, as in the library's own movie.
    std::optional<std::uint16_t> exportedId;
    const std::string wanted = lowerAscii(name);
    for (const swf::RawControlTag& tag : movie.soundDefinitions) {
        if (tag.code == swf::tag::ExportAssets) {
            for (const auto& [id, symbol] : readExportAssets(tag.body)) {
                if (lowerAscii(symbol) == wanted) {
                    exportedId = id;
                }
            }
        }
    }
    if (!exportedId) {
        return std::nullopt;
    }
    if (const auto known = movieSounds_.find({&movie, *exportedId}); known != movieSounds_.end()) {
        return known->second;
    }
    if (movieSounds_.size() >= kMaxMovieSounds) {
        return std::nullopt;
    }
    for (const swf::RawControlTag& tag : movie.soundDefinitions) {
        if (tag.code != swf::tag::DefineSound) {
            continue;
        }
        std::optional<SoundDefinition> d = readDefineSound(tag.body);
        if (!d || d->id != *exportedId) {
            continue;
        }
        const std::optional<std::uint16_t> id = freeId();
        if (!id) {
            return std::nullopt;
        }
        d->id = *id;
        sounds_.emplace(*id, *d);
        movieSounds_.emplace(std::pair{&movie, *exportedId}, *id);
        return id;
    }
    return std::nullopt;
}

std::optional<std::uint16_t> SoundLibrary::addLoadedMp3(std::vector<std::uint8_t> file) {
    constexpr std::size_t kMaxLoadedFiles = 64;
    const std::optional<std::size_t> start = firstMp3Frame(file);
    if (!start || loadedFiles_.size() >= kMaxLoadedFiles) {
        return std::nullopt;
    }
    const std::optional<std::uint16_t> free = freeId();
    if (!free) {
        return std::nullopt;
    }
    const std::uint16_t id = *free;
    SoundDefinition d;
    d.id = id;
    d.format.codec = static_cast<std::uint8_t>(Codec::Mp3);
    d.format.rate = 44100;  // the frames tell the decoder their own rate
    d.format.stereo = true; // a mono file is heard on both sides
    // The definition's data: a seek-samples word of 0 (nothing to skip), then the frames.
    std::vector<std::uint8_t>& kept = loadedFiles_.emplace_back();
    kept.reserve(2 + file.size() - *start);
    kept.push_back(0);
    kept.push_back(0);
    kept.insert(kept.end(), file.begin() + static_cast<std::ptrdiff_t>(*start), file.end());
    d.data = kept;
    sounds_.emplace(id, d);
    return id;
}

std::shared_ptr<const PcmBuffer> SoundLibrary::decoded(std::uint16_t id) {
    if (const auto it = cache_.find(id); it != cache_.end()) {
        return it->second;
    }
    const SoundDefinition* d = definition(id);
    if (d == nullptr) {
        return nullptr;
    }
    std::shared_ptr<const PcmBuffer> pcm;
    if (!codecSupported(d->format)) {
        logOnce(std::string("sound in the ") + codecName(d->format) +
                " format cannot be played; it stays silent");
    } else if (cachedSamples_ < kMaxCachedSamples) {
        DecodeLimits limits = limits_;
        limits.maxFrames = std::min(limits.maxFrames, (kMaxCachedSamples - cachedSamples_) / 2);
        if (auto decodedSound = decodeEventSound(*d, limits)) {
            cachedSamples_ += decodedSound->samples.size();
            pcm = std::make_shared<const PcmBuffer>(std::move(*decodedSound));
        }
    }
    // A sound that cannot play is remembered too, so that it is not tried every frame.
    cache_.emplace(id, pcm);
    return pcm;
}

} // namespace audio
