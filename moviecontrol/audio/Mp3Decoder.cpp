#include "Mp3Decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <mutex>

namespace audio {

void Mp3Decoder::Release::operator()(mpg123_handle_struct* h) const {
    mpg123_delete(h);
}

namespace {

std::once_flag initOnce;

} // namespace

Mp3Decoder::Mp3Decoder(unsigned channels) : channels_(channels == 2 ? 2 : 1) {
    std::call_once(initOnce, [] { mpg123_init(); });
    int err = MPG123_OK;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (h == nullptr) {
        return;
    }
    // Damaged frames in a movie are expected; they must not print to the terminal.
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    // The movie says itself how many samples to skip; an encoder's info frame is decoded
    // as the silent frame it is, and its delay is not trimmed a second time.
    mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_IGNORE_INFOFRAME, 0.0);
    mpg123_param(h, MPG123_RESYNC_LIMIT, -1, 0.0);
    mpg123_format_none(h);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i) {
        mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (mpg123_open_feed(h) != MPG123_OK) {
        mpg123_delete(h);
        return;
    }
    handle_.reset(h);
}

std::size_t Mp3Decoder::decode(std::span<const std::uint8_t> bytes, std::size_t maxFrames,
                               std::vector<std::int16_t>& out) {
    if (handle_ == nullptr) {
        return 0;
    }
    mpg123_handle* h = handle_.get();
    if (!bytes.empty() && mpg123_feed(h, bytes.data(), bytes.size()) != MPG123_OK) {
        return 0;
    }
    std::size_t produced = 0;
    std::int16_t buffer[4608];
    // A hostile stream could make the decoder spin on errors; a bounded number of rounds
    // per call keeps that from hanging the caller.
    for (int rounds = 0; rounds < 100000 && produced < maxFrames; ++rounds) {
        std::size_t done = 0;
        const int rc =
            mpg123_read(h, reinterpret_cast<unsigned char*>(buffer), sizeof buffer, &done);
        if (rc == MPG123_NEW_FORMAT) {
            long rate = 0;
            int ch = 0;
            int enc = 0;
            mpg123_getformat(h, &rate, &ch, &enc);
            rate_ = static_cast<std::uint32_t>(rate);
            sourceChannels_ = ch == 2 ? 2 : 1;
        }
        if (done > 0 && sourceChannels_ != 0) {
            const std::size_t samples = done / 2;
            const std::size_t frames = samples / sourceChannels_;
            const std::size_t keep = std::min(frames, maxFrames - produced);
            for (std::size_t f = 0; f < keep; ++f) {
                if (sourceChannels_ == channels_) {
                    for (unsigned c = 0; c < channels_; ++c) {
                        out.push_back(buffer[f * channels_ + c]);
                    }
                } else if (channels_ == 1) {
                    out.push_back(static_cast<std::int16_t>(
                        (static_cast<int>(buffer[2 * f]) + buffer[2 * f + 1]) / 2));
                } else {
                    out.push_back(buffer[f]);
                    out.push_back(buffer[f]);
                }
            }
            produced += keep;
        }
        if (rc == MPG123_NEED_MORE || rc == MPG123_DONE) {
            break;
        }
        // A broken frame that yields nothing ends this call; the decoder resynchronises
        // on the bytes of the next one.
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT && done == 0) {
            break;
        }
    }
    return produced;
}

} // namespace audio
