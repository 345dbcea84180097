#include "SoundLibrary.h"

#include "AudioLog.h"
#include "SoundDecoding.h"
#include "swf/TagCodes.h"

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
