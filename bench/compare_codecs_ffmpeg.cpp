// Our video and sound decoders against FFmpeg's libavcodec on the movies given: decode time of
// each, how far their outputs differ from each other, and, for a movie with a reference image
// beside it (a fidelity case's output.expected.png), how far each decoder's last picture is
// from the reference where the video sits at the stage's top left. Both pictures go through
// the same colour conversion, so only the decoders differ. Kept to decide, with numbers, which
// decoders the player ships; FFmpeg is never linked into the player by this.
//
// With --synthetic it also makes references of its own: a moving picture and three sounds
// are encoded with FFmpeg's Sorenson, Nellymoser and ADPCM encoders, and both decoders'
// output is measured against the source.
//
// --frames prints how far the decoders differ at every frame.
//
//   compare_codecs_ffmpeg [--repeat N] [--frames] [--synthetic] movie.swf [reference.png] ...

#include <QImage>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
}

#include <numbers>

#include "SoundDecoding.h"
#include "SoundTags.h"
#include "VideoDecoder.h"
#include "YuvPicture.h"
#include "swf/Movie.h"
#include "swf/TagCodes.h"

namespace {

struct CodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

CodecContext openDecoder(AVCodecID id, int channels = 0, int rate = 0) {
    const AVCodec* codec = avcodec_find_decoder(id);
    if (codec == nullptr) {
        return {};
    }
    CodecContext ctx(avcodec_alloc_context3(codec));
    ctx->thread_count = 1; // ours is single threaded: compare like with like
    if (channels > 0) {
        av_channel_layout_default(&ctx->ch_layout, channels);
        ctx->sample_rate = rate;
    }
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0) {
        return {};
    }
    return ctx;
}

// FFmpeg's picture in our layout, cropped to the stream's declared size.
video::YuvPicture toYuv(const AVFrame& f, int width, int height) {
    video::YuvPicture p;
    p.allocate(std::min(width, f.width), std::min(height, f.height));
    auto copy = [](video::Plane& dst, const std::uint8_t* src, int stride, int w, int h) {
        for (int y = 0; y < h; ++y) {
            std::copy_n(src + static_cast<std::ptrdiff_t>(y) * stride, w, dst.row(y));
        }
    };
    copy(p.y, f.data[0], f.linesize[0], p.width, p.height);
    copy(p.cb, f.data[1], f.linesize[1], (p.width + 1) / 2, (p.height + 1) / 2);
    copy(p.cr, f.data[2], f.linesize[2], (p.width + 1) / 2, (p.height + 1) / 2);
    if (f.format == AV_PIX_FMT_YUVA420P) {
        p.alpha.resize(p.y.width, p.y.height);
        copy(p.alpha, f.data[3], f.linesize[3], p.width, p.height);
    }
    return p;
}

struct Difference {
    double meanAbs = 0;
    int maxAbs = 0;
    double psnr = 0;
};

Difference compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    Difference d;
    const std::size_t n = std::min(a.size(), b.size());
    double sum = 0;
    double sq = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int e = std::abs(int{a[i]} - int{b[i]});
        sum += e;
        sq += double(e) * e;
        d.maxAbs = std::max(d.maxAbs, e);
    }
    d.meanAbs = n ? sum / double(n) : 0;
    d.psnr = sq == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * double(n) / sq);
    return d;
}

// Where the root timeline first places a character, in whole pixels; nothing when it is
// never placed or placed scaled or turned (a reference would then show resampled pixels).
struct Placement {
    int x = 0;
    int y = 0;
};
std::optional<Placement> placementOf(const swf::Movie& movie, std::uint16_t id) {
    for (const swf::Frame& frame : movie.root.frames) {
        for (const swf::ControlTag& t : frame.tags) {
            const auto* place = std::get_if<swf::PlaceObject>(&t);
            if (place == nullptr || place->characterId != id) {
                continue;
            }
            const swf::Matrix m = place->matrix.value_or(swf::Matrix{});
            if (m.a != 1.0 || m.d != 1.0 || m.b != 0.0 || m.c != 0.0) {
                return std::nullopt;
            }
            return Placement{static_cast<int>(std::lround(m.tx / 20)),
                             static_cast<int>(std::lround(m.ty / 20))};
        }
    }
    return std::nullopt;
}

// The reference's pixels under a picture placed at `at`, as RGBA.
std::optional<std::vector<std::uint8_t>> referenceUnder(const std::string& png, Placement at, int w,
                                                        int h) {
    QImage image(QString::fromStdString(png));
    if (image.isNull() || at.x < 0 || at.y < 0 || image.width() < at.x + w ||
        image.height() < at.y + h) {
        return std::nullopt;
    }
    image = image.convertToFormat(QImage::Format_RGBA8888);
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row =
            image.constScanLine(at.y + y) + static_cast<std::ptrdiff_t>(at.x) * 4;
        out.insert(out.end(), row, row + static_cast<std::ptrdiff_t>(w) * 4);
    }
    return out;
}

// Opaque RGBA over white, as the stage shows a picture with alpha.
std::vector<std::uint8_t> overWhite(std::vector<std::uint8_t> rgba) {
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        const int inv = 255 - rgba[i + 3];
        for (int c = 0; c < 3; ++c) {
            rgba[i + c] = static_cast<std::uint8_t>(std::min(255, rgba[i + c] + inv));
        }
        rgba[i + 3] = 255;
    }
    return rgba;
}

AVCodecID videoCodecId(int codec) {
    switch (codec) {
    case 2:
        return AV_CODEC_ID_FLV1;
    case 3:
        return AV_CODEC_ID_FLASHSV;
    case 4:
        return AV_CODEC_ID_VP6F;
    case 5:
        return AV_CODEC_ID_VP6A;
    case 6:
        return AV_CODEC_ID_FLASHSV2;
    default:
        return AV_CODEC_ID_NONE;
    }
}

void compareVideo(const std::string& name, const swf::VideoStream& s, const std::string& png,
                  std::optional<Placement> at, int repeat, bool perFrame) {
    double oursMs = 1e30;
    double ffMs = 1e30;
    double rgbaMs = 1e30;
    std::vector<std::uint8_t> ours;
    std::vector<std::uint8_t> theirs;
    int ffErrors = 0;
    Difference between{99, 0, 99};
    bool betweenSet = false;
    for (int round = 0; round < repeat; ++round) {
        if (video::VideoDecoder::supports(s.codec)) {
            video::VideoDecoder d(s.codec, s.width, s.height, s.deblocking);
            const Clock::time_point t = Clock::now();
            for (const auto& [number, bytes] : s.frames) {
                d.decode(bytes);
            }
            oursMs = std::min(oursMs, msSince(t));
            if (d.hasPicture()) {
                // What the player adds for each frame it shows.
                const Clock::time_point c = Clock::now();
                ours = video::toRgba(d.picture());
                rgbaMs = std::min(rgbaMs, msSince(c));
            }
        }
        CodecContext ctx = openDecoder(videoCodecId(s.codec));
        if (!ctx) {
            continue;
        }
        Packet packet(av_packet_alloc());
        Frame frame(av_frame_alloc());
        // Decode time alone; each frame's comparison with ours runs outside the clock in a
        // second pass below.
        const Clock::time_point t = Clock::now();
        ffErrors = 0;
        for (const auto& [number, bytes] : s.frames) {
            packet->data = const_cast<std::uint8_t*>(bytes.data());
            packet->size = static_cast<int>(bytes.size());
            if (avcodec_send_packet(ctx.get(), packet.get()) < 0) {
                ++ffErrors;
                continue;
            }
            while (avcodec_receive_frame(ctx.get(), frame.get()) == 0) {
            }
        }
        ffMs = std::min(ffMs, msSince(t));
    }
    // Frame by frame: the worst difference between the two decoders over the whole stream.
    {
        CodecContext ctx = openDecoder(videoCodecId(s.codec));
        std::optional<video::VideoDecoder> d;
        if (video::VideoDecoder::supports(s.codec)) {
            d.emplace(s.codec, s.width, s.height, s.deblocking);
        }
        Packet packet(av_packet_alloc());
        Frame frame(av_frame_alloc());
        for (const auto& [number, bytes] : s.frames) {
            if (d) {
                d->decode(bytes);
            }
            if (!ctx) {
                break;
            }
            packet->data = const_cast<std::uint8_t*>(bytes.data());
            packet->size = static_cast<int>(bytes.size());
            if (avcodec_send_packet(ctx.get(), packet.get()) < 0) {
                continue;
            }
            while (avcodec_receive_frame(ctx.get(), frame.get()) == 0) {
                theirs = video::toRgba(toYuv(*frame, s.width, s.height));
                if (d && d->hasPicture()) {
                    const Difference x = compare(video::toRgba(d->picture()), theirs);
                    if (perFrame) {
                        std::printf("frame\t%u\t%s\tours-vs-ffmpeg psnr %.1f\n", number,
                                    d->isKeyFrame(bytes) ? "key" : "inter", x.psnr);
                    }
                    if (!betweenSet || x.psnr < between.psnr) {
                        between = x;
                        betweenSet = true;
                    }
                }
            }
        }
    }
    std::printf("video\t%s\tstream %d deblocking %d\tcodec %d\t%dx%d\t%zu frames\tours %.3f ms "
                "(to RGBA %.3f ms a frame)\tffmpeg %.3f ms (%d "
                "rejected)",
                name.c_str(), s.id, s.deblocking, s.codec, s.width, s.height, s.frames.size(),
                ours.empty() ? 0.0 : oursMs, ours.empty() ? 0.0 : rgbaMs,
                theirs.empty() ? 0.0 : ffMs, ffErrors);
    if (betweenSet) {
        std::printf("\tours-vs-ffmpeg worst frame: mean %.3f max %d psnr %.1f", between.meanAbs,
                    between.maxAbs, between.psnr);
    }
    if (!png.empty() && at) {
        if (const auto ref = referenceUnder(png, *at, s.width, s.height)) {
            if (!ours.empty()) {
                const Difference o = compare(overWhite(ours), *ref);
                std::printf("\tref ours: mean %.3f max %d", o.meanAbs, o.maxAbs);
            }
            if (!theirs.empty()) {
                const Difference f = compare(overWhite(theirs), *ref);
                std::printf("\tref ffmpeg: mean %.3f max %d", f.meanAbs, f.maxAbs);
            }
        }
    }
    std::printf("\n");
}

// FFmpeg's samples as 16-bit, rounded as a float decoder's output is for playback.
void appendSamples(const AVFrame& f, std::vector<std::int16_t>& out) {
    const int channels = f.ch_layout.nb_channels;
    for (int i = 0; i < f.nb_samples; ++i) {
        for (int c = 0; c < channels; ++c) {
            switch (f.format) {
            case AV_SAMPLE_FMT_S16:
                out.push_back(reinterpret_cast<const std::int16_t*>(f.data[0])[i * channels + c]);
                break;
            case AV_SAMPLE_FMT_S16P:
                out.push_back(reinterpret_cast<const std::int16_t*>(f.data[c])[i]);
                break;
            case AV_SAMPLE_FMT_FLT:
            case AV_SAMPLE_FMT_FLTP: {
                const float v = f.format == AV_SAMPLE_FMT_FLT
                                    ? reinterpret_cast<const float*>(f.data[0])[i * channels + c]
                                    : reinterpret_cast<const float*>(f.data[c])[i];
                out.push_back(static_cast<std::int16_t>(
                    std::clamp(std::lround(v * 32768.0f), -32768L, 32767L)));
                break;
            }
            default:
                return;
            }
        }
    }
}

AVCodecID soundCodecId(audio::Codec c) {
    switch (c) {
    case audio::Codec::Adpcm:
        return AV_CODEC_ID_ADPCM_SWF;
    case audio::Codec::Nellymoser:
    case audio::Codec::Nellymoser8k:
    case audio::Codec::Nellymoser16k:
        return AV_CODEC_ID_NELLYMOSER;
    default:
        return AV_CODEC_ID_NONE;
    }
}

// `blocks` are decoded in turn through one decoder each (one block for an event sound).
void compareSound(const std::string& name, const char* what, const audio::SoundFormat& format,
                  const std::vector<audio::Bytes>& blocks, int repeat) {
    const AVCodecID id = soundCodecId(format.kind());
    if (id == AV_CODEC_ID_NONE) {
        return;
    }
    double oursMs = 1e30;
    double ffMs = 1e30;
    std::vector<std::int16_t> ours;
    std::vector<std::int16_t> theirs;
    for (int round = 0; round < repeat; ++round) {
        ours.clear();
        theirs.clear();
        Clock::time_point t = Clock::now();
        audio::StreamDecoder d(format);
        for (const audio::Bytes block : blocks) {
            d.decodeBlock(block, SIZE_MAX / 4, ours);
        }
        oursMs = std::min(oursMs, msSince(t));
        t = Clock::now();
        CodecContext ctx =
            openDecoder(id, static_cast<int>(format.channels()), static_cast<int>(format.rate));
        if (!ctx) {
            return;
        }
        Packet packet(av_packet_alloc());
        Frame frame(av_frame_alloc());
        for (const audio::Bytes block : blocks) {
            packet->data = const_cast<std::uint8_t*>(block.data());
            packet->size = static_cast<int>(block.size());
            if (avcodec_send_packet(ctx.get(), packet.get()) < 0) {
                continue;
            }
            while (avcodec_receive_frame(ctx.get(), frame.get()) == 0) {
                appendSamples(*frame, theirs);
            }
        }
        ffMs = std::min(ffMs, msSince(t));
    }
    std::size_t n = std::min(ours.size(), theirs.size());
    double sum = 0;
    int maxAbs = 0;
    double signal = 0;
    double noise = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int e = std::abs(ours[i] - theirs[i]);
        sum += e;
        maxAbs = std::max(maxAbs, e);
        signal += double(ours[i]) * ours[i];
        noise += double(e) * e;
    }
    std::printf("sound\t%s\t%s %s\t%zu blocks\tours %zu samples %.3f ms\tffmpeg %zu samples "
                "%.3f ms\tdiff mean %.2f max %d snr %.1f dB\n",
                name.c_str(), what, audio::codecName(format), blocks.size(), ours.size(), oursMs,
                theirs.size(), ffMs, n ? sum / double(n) : 0.0, maxAbs,
                noise == 0 ? 99.0 : 10 * std::log10(signal / noise));
}

void compareMovie(const std::string& path, const std::string& png, int repeat, bool perFrame) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    const swf::LoadResult loaded = swf::loadMovie(file);
    if (!loaded.ok()) {
        std::printf("skip\t%s\tdoes not load\n", path.c_str());
        return;
    }
    const swf::Movie& movie = *loaded.movie;
    for (const auto& [id, definition] : movie.dictionary) {
        if (const auto* s = std::get_if<swf::VideoStream>(&definition)) {
            compareVideo(path, *s, png, placementOf(movie, id), repeat, perFrame);
        }
    }
    for (const swf::RawControlTag& tag : movie.soundDefinitions) {
        if (tag.code != swf::tag::DefineSound) {
            continue;
        }
        if (const auto sound = audio::readDefineSound(tag.body)) {
            compareSound(path, "event", sound->format, {sound->data}, repeat);
        }
    }
    std::optional<audio::StreamHead> head;
    std::vector<audio::Bytes> blocks;
    for (const swf::Frame& frame : movie.root.frames) {
        for (const swf::ControlTag& t : frame.tags) {
            const auto* raw = std::get_if<swf::RawControlTag>(&t);
            if (raw == nullptr) {
                continue;
            }
            if (raw->code == swf::tag::SoundStreamHead || raw->code == swf::tag::SoundStreamHead2) {
                head = audio::readStreamHead(raw->body);
            } else if (raw->code == swf::tag::SoundStreamBlock && head) {
                blocks.push_back(raw->body);
            }
        }
    }
    if (head && !blocks.empty()) {
        compareSound(path, "stream", head->stream, blocks, repeat);
    }
}

CodecContext openEncoder(AVCodecID id, int width, int height, int channels, int rate,
                         AVSampleFormat sampleFormat) {
    const AVCodec* codec = avcodec_find_encoder(id);
    if (codec == nullptr) {
        return {};
    }
    CodecContext ctx(avcodec_alloc_context3(codec));
    ctx->thread_count = 1;
    if (width > 0) {
        ctx->width = width;
        ctx->height = height;
        ctx->pix_fmt = AV_PIX_FMT_YUV420P;
        ctx->time_base = {1, 15};
        ctx->gop_size = 15;
        ctx->bit_rate = 400000;
    } else {
        av_channel_layout_default(&ctx->ch_layout, channels);
        ctx->sample_rate = rate;
        ctx->sample_fmt = sampleFormat;
        ctx->time_base = {1, rate};
    }
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0) {
        return {};
    }
    return ctx;
}

std::vector<std::vector<std::uint8_t>> drain(AVCodecContext* ctx) {
    std::vector<std::vector<std::uint8_t>> out;
    Packet packet(av_packet_alloc());
    while (avcodec_receive_packet(ctx, packet.get()) == 0) {
        out.emplace_back(packet->data, packet->data + packet->size);
        av_packet_unref(packet.get());
    }
    return out;
}

double planePsnr(const video::Plane& a, const std::uint8_t* b, int stride, int w, int h) {
    double sq = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double e = double(a.row(y)[x]) - b[y * stride + x];
            sq += e * e;
        }
    }
    return sq == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * w * h / sq);
}

// A picture with edges, gradients and texture that moves a little every frame.
void paintSource(AVFrame& f, int t) {
    for (int y = 0; y < f.height; ++y) {
        for (int x = 0; x < f.width; ++x) {
            const int cx = x - 2 * t - 100;
            const int cy = y - t - 80;
            const bool disc = cx * cx + cy * cy < 60 * 60;
            const int texture = ((x + t) * 7 ^ (y * 13)) & 31;
            f.data[0][y * f.linesize[0] + x] =
                static_cast<std::uint8_t>(disc ? 220 - texture : 30 + (x + y + 3 * t) % 160);
        }
    }
    for (int y = 0; y < f.height / 2; ++y) {
        for (int x = 0; x < f.width / 2; ++x) {
            f.data[1][y * f.linesize[1] + x] = static_cast<std::uint8_t>(64 + (x + t) % 128);
            f.data[2][y * f.linesize[2] + x] = static_cast<std::uint8_t>(192 - (y + t) % 128);
        }
    }
}

void syntheticVideo(int repeat) {
    const int w = 640;
    const int h = 480;
    const int frames = 45;
    CodecContext enc = openEncoder(AV_CODEC_ID_FLV1, w, h, 0, 0, AV_SAMPLE_FMT_NONE);
    if (!enc) {
        std::printf("skip\tno Sorenson encoder\n");
        return;
    }
    std::vector<Frame> sources;
    std::vector<std::vector<std::uint8_t>> packets;
    for (int t = 0; t < frames; ++t) {
        Frame f(av_frame_alloc());
        f->width = w;
        f->height = h;
        f->format = AV_PIX_FMT_YUV420P;
        f->pts = t;
        av_frame_get_buffer(f.get(), 0);
        paintSource(*f, t);
        avcodec_send_frame(enc.get(), f.get());
        for (auto& p : drain(enc.get())) {
            packets.push_back(std::move(p));
        }
        sources.push_back(std::move(f));
    }
    avcodec_send_frame(enc.get(), nullptr);
    for (auto& p : drain(enc.get())) {
        packets.push_back(std::move(p));
    }
    double oursMs = 1e30;
    double ffMs = 1e30;
    double oursPsnr = 99;
    double ffPsnr = 99;
    for (int round = 0; round < repeat; ++round) {
        video::VideoDecoder ours(video::VideoDecoder::kSorenson, w, h);
        Clock::time_point t = Clock::now();
        for (const auto& p : packets) {
            ours.decode(p);
        }
        oursMs = std::min(oursMs, msSince(t));
        CodecContext dec = openDecoder(AV_CODEC_ID_FLV1);
        Packet packet(av_packet_alloc());
        Frame frame(av_frame_alloc());
        t = Clock::now();
        for (const auto& p : packets) {
            packet->data = const_cast<std::uint8_t*>(p.data());
            packet->size = static_cast<int>(p.size());
            avcodec_send_packet(dec.get(), packet.get());
            while (avcodec_receive_frame(dec.get(), frame.get()) == 0) {
            }
        }
        ffMs = std::min(ffMs, msSince(t));
    }
    // Quality, outside the clock: the worst luma PSNR against the source over the sequence.
    video::VideoDecoder ours(video::VideoDecoder::kSorenson, w, h);
    CodecContext dec = openDecoder(AV_CODEC_ID_FLV1);
    Packet packet(av_packet_alloc());
    Frame frame(av_frame_alloc());
    for (std::size_t i = 0; i < packets.size() && i < sources.size(); ++i) {
        const AVFrame& src = *sources[i];
        if (ours.decode(packets[i])) {
            oursPsnr =
                std::min(oursPsnr, planePsnr(ours.picture().y, src.data[0], src.linesize[0], w, h));
        }
        packet->data = packets[i].data();
        packet->size = static_cast<int>(packets[i].size());
        avcodec_send_packet(dec.get(), packet.get());
        while (avcodec_receive_frame(dec.get(), frame.get()) == 0) {
            const video::YuvPicture p = toYuv(*frame, w, h);
            ffPsnr = std::min(ffPsnr, planePsnr(p.y, src.data[0], src.linesize[0], w, h));
        }
    }
    std::printf("synthetic-video\tSorenson %dx%d\t%d frames\tours %.3f ms psnr-to-source %.2f dB\t"
                "ffmpeg %.3f ms psnr-to-source %.2f dB\n",
                w, h, frames, oursMs, oursPsnr, ffMs, ffPsnr);
}

// A second of a chord sweeping in pitch, with a burst of noise: tonal and noisy parts.
std::vector<float> sourceSignal(int rate, int channels) {
    std::vector<float> s(static_cast<std::size_t>(rate) * channels * 2);
    std::uint32_t noise = 12345;
    for (std::size_t i = 0; i < s.size() / channels; ++i) {
        const double t = double(i) / rate;
        const double f = 220 + 400 * t;
        noise = noise * 1664525u + 1013904223u;
        const double burst = (t > 1.2 && t < 1.4) ? (double(noise >> 8) / 16777216.0 - 0.5) : 0;
        for (int c = 0; c < channels; ++c) {
            s[i * channels + c] = static_cast<float>(
                0.3 * std::sin(2 * std::numbers::pi * f * t * (c + 1)) +
                0.15 * std::sin(2 * std::numbers::pi * f * 1.5 * t) + 0.3 * burst);
        }
    }
    return s;
}

// `sign` -1 measures against the source turned upside down: a decoder whose output is the
// source's inverse is exact but for polarity, which alone is inaudible.
double snrTo(const std::vector<float>& source, const std::vector<std::int16_t>& decoded,
             std::size_t offset, double sign = 1) {
    double signal = 0;
    double noise = 0;
    for (std::size_t i = 0; i + offset < decoded.size() && i < source.size(); ++i) {
        const double s = sign * source[i] * 32768.0;
        const double e = decoded[i + offset] - s;
        signal += s * s;
        noise += e * e;
    }
    return noise == 0 ? 99.0 : 10 * std::log10(signal / noise);
}

// The codec's delay: the offset in [0, 1024) frames at which the decoded samples best match
// the source, so that a decoder is not blamed for the encoder's lookahead.
std::size_t bestOffset(const std::vector<float>& source, const std::vector<std::int16_t>& d,
                       int channels) {
    std::size_t best = 0;
    double bestSnr = -1e30;
    for (std::size_t off = 0; off < 1024; ++off) {
        const double snr =
            std::max(snrTo(source, d, off * channels), snrTo(source, d, off * channels, -1));
        if (snr > bestSnr) {
            bestSnr = snr;
            best = off * channels;
        }
    }
    return best;
}

void syntheticSound(const char* label, AVCodecID id, audio::Codec codec, int rate, int channels,
                    int repeat) {
    const AVCodec* encoder = avcodec_find_encoder(id);
    if (encoder == nullptr) {
        return;
    }
    const AVSampleFormat fmt = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    CodecContext enc = openEncoder(id, 0, 0, channels, rate, fmt);
    if (!enc) {
        std::printf("skip\t%s encoder will not open\n", label);
        return;
    }
    const std::vector<float> source = sourceSignal(rate, channels);
    const int chunk = enc->frame_size > 0 ? enc->frame_size : 4096;
    std::vector<std::uint8_t> stream;
    std::vector<std::vector<std::uint8_t>> packets;
    const std::size_t total = source.size() / channels;
    for (std::size_t at = 0; at < total; at += chunk) {
        Frame f(av_frame_alloc());
        f->nb_samples = static_cast<int>(std::min<std::size_t>(chunk, total - at));
        if (f->nb_samples < chunk && id == AV_CODEC_ID_ADPCM_SWF) {
            break; // the SWF ADPCM encoder takes whole blocks only
        }
        f->format = fmt;
        av_channel_layout_copy(&f->ch_layout, &enc->ch_layout);
        f->sample_rate = rate;
        av_frame_get_buffer(f.get(), 0);
        for (int i = 0; i < f->nb_samples; ++i) {
            for (int c = 0; c < channels; ++c) {
                const float v = source[(at + i) * channels + c];
                if (fmt == AV_SAMPLE_FMT_FLT) {
                    reinterpret_cast<float*>(f->data[0])[i * channels + c] = v;
                } else if (fmt == AV_SAMPLE_FMT_S16) {
                    reinterpret_cast<std::int16_t*>(f->data[0])[i * channels + c] =
                        static_cast<std::int16_t>(std::lround(v * 32767));
                }
            }
        }
        avcodec_send_frame(enc.get(), f.get());
        for (auto& p : drain(enc.get())) {
            packets.push_back(std::move(p));
        }
    }
    avcodec_send_frame(enc.get(), nullptr);
    for (auto& p : drain(enc.get())) {
        packets.push_back(std::move(p));
    }
    audio::SoundFormat format;
    format.codec = static_cast<std::uint8_t>(codec);
    format.rate = static_cast<std::uint32_t>(rate);
    format.stereo = channels == 2;
    // As a stream: one block per packet, as a movie stores them.
    std::vector<audio::Bytes> blocks(packets.begin(), packets.end());
    double oursMs = 1e30;
    double ffMs = 1e30;
    std::vector<std::int16_t> ours;
    std::vector<std::int16_t> theirs;
    for (int round = 0; round < repeat; ++round) {
        ours.clear();
        theirs.clear();
        Clock::time_point t = Clock::now();
        audio::StreamDecoder d(format);
        for (const audio::Bytes block : blocks) {
            d.decodeBlock(block, SIZE_MAX / 4, ours);
        }
        oursMs = std::min(oursMs, msSince(t));
        CodecContext dec = openDecoder(id, channels, rate);
        Packet packet(av_packet_alloc());
        Frame frame(av_frame_alloc());
        t = Clock::now();
        for (const audio::Bytes block : blocks) {
            packet->data = const_cast<std::uint8_t*>(block.data());
            packet->size = static_cast<int>(block.size());
            avcodec_send_packet(dec.get(), packet.get());
            while (avcodec_receive_frame(dec.get(), frame.get()) == 0) {
                appendSamples(*frame, theirs);
            }
        }
        ffMs = std::min(ffMs, msSince(t));
    }
    const std::size_t oursOffset = bestOffset(source, ours, channels);
    const std::size_t ffOffset = bestOffset(source, theirs, channels);
    std::printf("synthetic-sound\t%s %d Hz %d ch\t%zu blocks\tours %.3f ms snr-to-source %.2f dB "
                "(inverted %.2f dB, delay %zu)\tffmpeg %.3f ms snr-to-source %.2f dB (inverted "
                "%.2f dB, delay %zu)\n",
                label, rate, channels, blocks.size(), oursMs, snrTo(source, ours, oursOffset),
                snrTo(source, ours, oursOffset, -1), oursOffset / channels, ffMs,
                snrTo(source, theirs, ffOffset), snrTo(source, theirs, ffOffset, -1),
                ffOffset / channels);
}

void synthetic(int repeat) {
    syntheticVideo(repeat);
    syntheticSound("Nellymoser", AV_CODEC_ID_NELLYMOSER, audio::Codec::Nellymoser, 22050, 1,
                   repeat);
    syntheticSound("Nellymoser", AV_CODEC_ID_NELLYMOSER, audio::Codec::Nellymoser8k, 8000, 1,
                   repeat);
    syntheticSound("Nellymoser", AV_CODEC_ID_NELLYMOSER, audio::Codec::Nellymoser16k, 16000, 1,
                   repeat);
    syntheticSound("ADPCM", AV_CODEC_ID_ADPCM_SWF, audio::Codec::Adpcm, 22050, 1, repeat);
    syntheticSound("ADPCM", AV_CODEC_ID_ADPCM_SWF, audio::Codec::Adpcm, 44100, 2, repeat);
}

} // namespace

int main(int argc, char** argv) {
    int repeat = 5;
    bool perFrame = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--repeat" && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
            continue;
        }
        if (arg == "--frames") {
            perFrame = true;
            continue;
        }
        if (arg == "--synthetic") {
            synthetic(repeat);
            continue;
        }
        std::string png;
        if (i + 1 < argc && std::string(argv[i + 1]).ends_with(".png")) {
            png = argv[++i];
        }
        compareMovie(arg, png, repeat, perFrame);
    }
    return 0;
}
