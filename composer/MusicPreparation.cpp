#include "composer/MusicPreparation.h"

#include "composer/ComposeError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}
#include <lame/lame.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

namespace composer {

namespace {

std::string nameOf(const std::filesystem::path& file) {
    return reinterpret_cast<const char*>(file.u8string().c_str());
}

[[noreturn]] void unreadable(const std::filesystem::path& file, const std::string& why) {
    throw ComposeError("音乐 " + nameOf(file) + " 无法解码（" + why +
                       "）。请换一首歌，或把它转换成 MP3 后再选择。");
}

std::vector<uint8_t> readWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw ComposeError("找不到音乐 " + nameOf(file) + "。请检查文件名和位置。");
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct FormatClose {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct SwrFree {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct LameClose {
    void operator()(lame_global_flags* l) const { lame_close(l); }
};

std::string avText(int error) {
    std::array<char, AV_ERROR_MAX_STRING_SIZE> text{};
    av_strerror(error, text.data(), text.size());
    return text.data();
}

struct OpenedSong {
    std::unique_ptr<AVFormatContext, FormatClose> format;
    std::unique_ptr<AVCodecContext, CodecFree> codec;
    int stream = -1;
};

OpenedSong openSong(const std::filesystem::path& file) {
    OpenedSong song;
    AVFormatContext* raw = nullptr;
    int rc = avformat_open_input(&raw, file.c_str(), nullptr, nullptr);
    if (rc < 0) {
        unreadable(file, avText(rc));
    }
    song.format.reset(raw);
    rc = avformat_find_stream_info(raw, nullptr);
    if (rc < 0) {
        unreadable(file, avText(rc));
    }
    const AVCodec* decoder = nullptr;
    song.stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (song.stream < 0 || decoder == nullptr) {
        unreadable(file, "文件里没有声音");
    }
    song.codec.reset(avcodec_alloc_context3(decoder));
    if (!song.codec) {
        unreadable(file, "内存不足");
    }
    avcodec_parameters_to_context(song.codec.get(), raw->streams[song.stream]->codecpar);
    rc = avcodec_open2(song.codec.get(), decoder, nullptr);
    if (rc < 0) {
        unreadable(file, avText(rc));
    }
    return song;
}

// Decodes, converts to 16-bit interleaved at the output rate, fades and encodes.
class Encoder {
  public:
    Encoder(const std::filesystem::path& file, int channels, double start, double seconds,
            double fadeIn, double fadeOut)
        : file_(file), channels_(channels),
          skip_(static_cast<int64_t>(std::llround(start * kOutputRate))),
          keep_(static_cast<int64_t>(std::llround(seconds * kOutputRate))),
          fadeIn_(static_cast<int64_t>(std::llround(fadeIn * kOutputRate))),
          fadeOut_(static_cast<int64_t>(std::llround(fadeOut * kOutputRate))) {
        lame_.reset(lame_init());
        if (!lame_) {
            unreadable(file, "MP3 编码器无法启动");
        }
        lame_set_in_samplerate(lame_.get(), kOutputRate);
        lame_set_out_samplerate(lame_.get(), kOutputRate);
        lame_set_num_channels(lame_.get(), channels);
        lame_set_mode(lame_.get(), channels == 1 ? MONO : JOINT_STEREO);
        lame_set_VBR(lame_.get(), vbr_off);
        lame_set_brate(lame_.get(), kOutputKbps);
        lame_set_quality(lame_.get(), 7); // fast; the difference is not heard at 128 kbit/s
        lame_set_bWriteVbrTag(lame_.get(), 0);
        if (lame_init_params(lame_.get()) < 0) {
            unreadable(file, "MP3 编码器不接受这些参数");
        }
    }

    bool full() const { return done_ >= keep_; }

    // Interleaved samples at the output rate, in order.
    void take(int16_t* samples, int64_t frames) {
        if (skip_ > 0) {
            const int64_t dropped = std::min(skip_, frames);
            skip_ -= dropped;
            samples += dropped * channels_;
            frames -= dropped;
        }
        frames = std::min(frames, keep_ - done_);
        if (frames <= 0) {
            return;
        }
        for (int64_t i = 0; i < frames; ++i) {
            const int64_t at = done_ + i;
            double gain = 1.0;
            if (at < fadeIn_) {
                gain = static_cast<double>(at) / static_cast<double>(fadeIn_);
            }
            if (keep_ - at <= fadeOut_) {
                gain =
                    std::min(gain, static_cast<double>(keep_ - at) / static_cast<double>(fadeOut_));
            }
            if (gain < 1.0) {
                for (int c = 0; c < channels_; ++c) {
                    int16_t& s = samples[i * channels_ + c];
                    s = static_cast<int16_t>(std::lround(s * gain));
                }
            }
        }
        done_ += frames;
        encode(samples, frames);
    }

    std::vector<uint8_t> finish() {
        std::vector<uint8_t> tail(7200);
        const int n = lame_encode_flush(lame_.get(), tail.data(), static_cast<int>(tail.size()));
        if (n > 0) {
            out_.insert(out_.end(), tail.begin(), tail.begin() + n);
        }
        return std::move(out_);
    }

  private:
    void encode(int16_t* samples, int64_t frames) {
        buffer_.resize(static_cast<std::size_t>(frames * 5 / 4 + 7200));
        int n = 0;
        if (channels_ == 1) {
            n = lame_encode_buffer(lame_.get(), samples, samples, static_cast<int>(frames),
                                   buffer_.data(), static_cast<int>(buffer_.size()));
        } else {
            n = lame_encode_buffer_interleaved(lame_.get(), samples, static_cast<int>(frames),
                                               buffer_.data(), static_cast<int>(buffer_.size()));
        }
        if (n < 0) {
            unreadable(file_, "MP3 编码失败");
        }
        out_.insert(out_.end(), buffer_.begin(), buffer_.begin() + n);
    }

    std::filesystem::path file_;
    int channels_;
    int64_t skip_;
    int64_t keep_;
    int64_t fadeIn_;
    int64_t fadeOut_;
    int64_t done_ = 0;
    std::unique_ptr<lame_global_flags, LameClose> lame_;
    std::vector<uint8_t> buffer_;
    std::vector<uint8_t> out_;
};

void drain(SwrContext* swr, const AVFrame* frame, int channels, Encoder& encoder,
           std::vector<int16_t>& pcm) {
    const int inSamples = frame ? frame->nb_samples : 0;
    const int room = swr_get_out_samples(swr, inSamples);
    if (room <= 0) {
        return;
    }
    pcm.resize(static_cast<std::size_t>(room) * static_cast<std::size_t>(channels));
    auto* out = reinterpret_cast<uint8_t*>(pcm.data());
    const int got =
        swr_convert(swr, &out, room,
                    frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr, inSamples);
    if (got > 0) {
        encoder.take(pcm.data(), got);
    }
}

} // namespace

bool passableMp3(const std::vector<moviemaker::Mp3Frame>& frames) {
    if (frames.empty()) {
        return false;
    }
    const uint32_t rate = frames.front().sampleRate;
    if (rate != 11025 && rate != 22050 && rate != 44100) {
        return false;
    }
    return std::all_of(frames.begin(), frames.end(),
                       [](const moviemaker::Mp3Frame& f) { return f.bitRate <= 160000; });
}

SongFacts inspectSong(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        throw ComposeError("找不到音乐 " + nameOf(file) + "。请检查文件名和位置。");
    }
    SongFacts facts;
    const std::vector<uint8_t> bytes = readWhole(file);
    const auto frames = moviemaker::findMp3Frames(bytes);
    // A file whose frames cover most of it is MP3; a few stray sync words in other data are not.
    std::size_t covered = 0;
    for (const auto& f : frames) {
        covered += f.length;
    }
    if (frames.size() >= 4 && covered * 10 >= bytes.size() * 8) {
        facts.mp3Passable = passableMp3(frames);
        double samples = 0;
        for (const auto& f : frames) {
            samples += f.samples;
        }
        facts.seconds = samples / frames.front().sampleRate;
        return facts;
    }
    OpenedSong song = openSong(file);
    const AVStream* stream = song.format->streams[song.stream];
    if (stream->duration > 0) {
        facts.seconds = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    } else if (song.format->duration > 0) {
        facts.seconds = static_cast<double>(song.format->duration) / AV_TIME_BASE;
    } else {
        unreadable(file, "读不出歌曲长度");
    }
    return facts;
}

PreparedMusic prepareMusic(const std::filesystem::path& file, double start, double seconds,
                           double fadeIn, double fadeOut, bool passThrough) {
    PreparedMusic music;
    if (passThrough) {
        music.mp3 = readWhole(file);
        music.frames = moviemaker::findMp3Frames(music.mp3);
        if (!passableMp3(music.frames)) {
            unreadable(file, "MP3 帧不完整");
        }
        return music;
    }
    OpenedSong song = openSong(file);
    AVCodecContext* codec = song.codec.get();
    const int channels = std::clamp(codec->ch_layout.nb_channels, 1, 2);
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, channels);
    if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&codec->ch_layout, codec->ch_layout.nb_channels);
    }
    SwrContext* rawSwr = nullptr;
    int rc =
        swr_alloc_set_opts2(&rawSwr, &outLayout, AV_SAMPLE_FMT_S16, kOutputRate, &codec->ch_layout,
                            codec->sample_fmt, codec->sample_rate, 0, nullptr);
    std::unique_ptr<SwrContext, SwrFree> swr(rawSwr);
    if (rc < 0 || swr_init(swr.get()) < 0) {
        unreadable(file, "无法转换采样率");
    }
    Encoder encoder(file, channels, start, seconds, fadeIn, fadeOut);
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    std::vector<int16_t> pcm;
    bool decodedAny = false;
    while (!encoder.full() && av_read_frame(song.format.get(), packet.get()) >= 0) {
        if (packet->stream_index == song.stream && avcodec_send_packet(codec, packet.get()) >= 0) {
            while (avcodec_receive_frame(codec, frame.get()) >= 0) {
                decodedAny = true;
                drain(swr.get(), frame.get(), channels, encoder, pcm);
                av_frame_unref(frame.get());
            }
        }
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(codec, nullptr);
    while (!encoder.full() && avcodec_receive_frame(codec, frame.get()) >= 0) {
        decodedAny = true;
        drain(swr.get(), frame.get(), channels, encoder, pcm);
        av_frame_unref(frame.get());
    }
    drain(swr.get(), nullptr, channels, encoder, pcm);
    if (!decodedAny) {
        unreadable(file, "没有可解码的声音");
    }
    music.mp3 = encoder.finish();
    music.frames = moviemaker::findMp3Frames(music.mp3);
    music.reencoded = true;
    // LAME's own delay (576 samples) and the decoder's (529) come before the sound.
    music.encoderDelay = 576 + 529;
    if (music.frames.empty()) {
        unreadable(file, "没有可解码的声音");
    }
    return music;
}

} // namespace composer
