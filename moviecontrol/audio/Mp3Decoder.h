#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct mpg123_handle_struct;

namespace audio {

// MP3 through libmpg123 in feed mode: bytes go in as they come (a whole event sound, or
// one stream block after another), so that the decoder's state carries across blocks and
// no gap opens between them. Output is 16-bit in the channel count asked for.
class Mp3Decoder {
  public:
    explicit Mp3Decoder(unsigned channels);
    ~Mp3Decoder() = default;
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Feeds `bytes` and appends every frame that can be decoded now, at most `maxFrames`.
    // Returns the frames appended.
    std::size_t decode(std::span<const std::uint8_t> bytes, std::size_t maxFrames,
                       std::vector<std::int16_t>& out);
    // The sampling rate of the MP3 frames, once one was decoded; 0 before.
    std::uint32_t rate() const { return rate_; }
    bool ok() const { return handle_ != nullptr; }

  private:
    struct Release {
        void operator()(mpg123_handle_struct* h) const;
    };
    std::unique_ptr<mpg123_handle_struct, Release> handle_;
    unsigned channels_;
    unsigned sourceChannels_ = 0;
    std::uint32_t rate_ = 0;
};

} // namespace audio
