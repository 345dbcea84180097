#pragma once
// The sounds a movie defines, the sounds of its buttons and the names its scripts reach
// them by; each sound is decoded once, when it first plays.

#include "PcmBuffer.h"
#include "SoundTags.h"
#include "swf/Movie.h"

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace audio {

class SoundLibrary {
  public:
    // Decoded sounds held at once, in samples: 128 MB, two songs of six minutes.
    static constexpr std::size_t kMaxCachedSamples = 64u << 20;

    explicit SoundLibrary(const swf::Movie& movie, DecodeLimits limits = {});

    const SoundDefinition* definition(std::uint16_t id) const;
    const ButtonSounds* buttonSounds(std::uint16_t buttonId) const;
    // The sound exported (or bound to a class) under `name`; names compare without case,
    // as scripts of these versions do.
    std::optional<std::uint16_t> exported(std::string_view name) const;
    // An MP3 file a script loaded (Sound.loadSound) joins the library under an id no
    // definition of the movie uses; nullopt when the bytes hold no MP3 frame or too many
    // files were loaded already.
    std::optional<std::uint16_t> addLoadedMp3(std::vector<std::uint8_t> file);
    // The sound another movie loaded into the player exports under `name` joins the library
    // the same way, once; its definition views that movie's bytes, which must outlive the
    // library. Nullopt when it exports none or too many were added.
    std::optional<std::uint16_t> addMovieSound(const swf::Movie& movie, std::string_view name);

    // The decoded sound, or null for an unknown id, a codec that cannot be played (logged
    // once) or a sound that would pass the memory bound.
    std::shared_ptr<const PcmBuffer> decoded(std::uint16_t id);

  private:
    DecodeLimits limits_;
    std::map<std::uint16_t, SoundDefinition> sounds_;
    std::map<std::uint16_t, ButtonSounds> buttons_;
    std::map<std::string, std::uint16_t> exports_;
    std::map<std::uint16_t, std::shared_ptr<const PcmBuffer>> cache_;
    std::size_t cachedSamples_ = 0;
    // The loaded files' bytes, which their definitions view; a deque keeps them in place.
    std::deque<std::vector<std::uint8_t>> loadedFiles_;
    // The other movies' sounds added, by movie and their id there.
    std::map<std::pair<const swf::Movie*, std::uint16_t>, std::uint16_t> movieSounds_;
    // An id no definition uses, from the top down; nullopt when none is left.
    std::optional<std::uint16_t> freeId() const;
};

std::string lowerAscii(std::string_view text);

} // namespace audio
