#include "composer/MovieComposer.h"

#include "composer/ComposeError.h"
#include "composer/Decorations.h"
#include "composer/GlyphOutlines.h"
#include "composer/MoviePlan.h"
#include "composer/MusicPreparation.h"
#include "composer/PhotoDecoding.h"
#include "composer/PhotoMotion.h"
#include "composer/Styles.h"
#include "composer/TextLayout.h"

#include "moviemaker/SwfWriter.h"
#include "moviemaker/WriteError.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <future>
#include <map>
#include <optional>

namespace composer {

using namespace moviemaker;

namespace {

std::string nameOf(const std::filesystem::path& file) {
    return reinterpret_cast<const char*>(file.u8string().c_str());
}

// Depths, bottom to top.
constexpr uint16_t kBackgroundDepth = 1;
constexpr uint16_t kPhotoDepths = 100; // two a photo: its mask, then the photo
constexpr uint16_t kDecorationDepth = 1000;
constexpr uint16_t kCaptionDepth = 1500;
constexpr uint16_t kIntroTitleDepth = 2000;
constexpr uint16_t kEndTitleDepth = 3000;
constexpr uint16_t kWordsDepth = 4000;
constexpr uint16_t kButtonDepth = 6000;

constexpr int kJpegQuality = 82;
constexpr uint16_t kReleaseCondition = 0x0008; // over, pressed, released over the button

// What one depth shows on a frame.
struct Shown {
    uint16_t id = 0;
    Matrix matrix;
    ColorTransform cx;
    std::optional<uint16_t> clipDepth;
    bool operator==(const Shown& o) const {
        return id == o.id && matrix == o.matrix && clipDepth == o.clipDepth &&
               cx.redMult == o.cx.redMult && cx.greenMult == o.cx.greenMult &&
               cx.blueMult == o.cx.blueMult && cx.alphaMult == o.cx.alphaMult &&
               cx.redAdd == o.cx.redAdd && cx.greenAdd == o.cx.greenAdd &&
               cx.blueAdd == o.cx.blueAdd && cx.alphaAdd == o.cx.alphaAdd;
    }
};
using FrameState = std::map<uint16_t, Shown>;

// Writes only what changed since the last frame.
void emitChanges(Timeline& timeline, const FrameState& before, const FrameState& now) {
    for (const auto& [depth, shown] : before) {
        const auto it = now.find(depth);
        if (it == now.end() || it->second.id != shown.id ||
            it->second.clipDepth != shown.clipDepth) {
            timeline.removeObject(depth);
        }
    }
    for (const auto& [depth, shown] : now) {
        const auto it = before.find(depth);
        PlaceObject p;
        p.depth = depth;
        p.matrix = shown.matrix;
        p.colorTransform = shown.cx;
        if (it == before.end() || it->second.id != shown.id ||
            it->second.clipDepth != shown.clipDepth) {
            p.characterId = shown.id;
            p.clipDepth = shown.clipDepth;
            timeline.placeObject(p);
        } else if (!(it->second == shown)) {
            p.move = true;
            timeline.placeObject(p);
        }
    }
}

std::vector<uint8_t> jpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", kJpegQuality);
    return {bytes.begin(), bytes.end()};
}

bool translucent(const QImage& image) {
    if (!image.hasAlphaChannel()) {
        return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 255) {
                return true;
            }
        }
    }
    return false;
}

// The photo as a bitmap and a rectangle filled with it, centred on the origin; its size in
// twips.
struct PhotoCharacter {
    uint16_t shape = 0;
    double width = 0;
    double height = 0;
};

PhotoCharacter definePhoto(SwfWriter& movie, const QImage& image) {
    uint16_t bitmap = 0;
    if (translucent(image)) {
        RawImage raw;
        raw.width = static_cast<uint16_t>(image.width());
        raw.height = static_cast<uint16_t>(image.height());
        raw.pixels.reserve(static_cast<std::size_t>(image.width()) * image.height());
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                raw.pixels.push_back(
                    {static_cast<uint8_t>(qRed(row[x])), static_cast<uint8_t>(qGreen(row[x])),
                     static_cast<uint8_t>(qBlue(row[x])), static_cast<uint8_t>(qAlpha(row[x]))});
            }
        }
        bitmap = movie.defineBitsLossless(raw);
    } else {
        bitmap = movie.defineBitsJpeg(jpegOf(image.convertToFormat(QImage::Format_RGB32)));
    }
    const int32_t w = twips(image.width());
    const int32_t h = twips(image.height());
    Shape s;
    s
        .fill1(s.addFill(FillStyle::bitmap(
            bitmap, Matrix::scale(kTwipsPerPixel, kTwipsPerPixel, -w / 2, -h / 2), false, true)))
        .rectangle(-w / 2, -h / 2, w, h);
    return {movie.defineShape(s), static_cast<double>(w), static_cast<double>(h)};
}

uint16_t defineBackground(SwfWriter& movie, const Style& style, int32_t w, int32_t h) {
    Shape s;
    Gradient g;
    g.stops = {
        {0, {style.backgroundTop.r, style.backgroundTop.g, style.backgroundTop.b, 255}},
        {255, {style.backgroundBottom.r, style.backgroundBottom.g, style.backgroundBottom.b, 255}}};
    s.fill1(s.addFill(FillStyle::linear(gradientBox(0, 0, w, h, std::numbers::pi / 2), g)))
        .rectangle(0, 0, w, h);
    return movie.defineShape(s);
}

uint16_t defineWipeMask(SwfWriter& movie, WipeShape shape) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({0, 0, 0, 255})));
    switch (shape) {
    case WipeShape::Circle:
        s.ellipse(0, 0, kMaskRadius, kMaskRadius);
        break;
    case WipeShape::Heart:
        heartOutline(s, kMaskRadius);
        break;
    case WipeShape::Star:
        starOutline(s, kMaskRadius);
        break;
    }
    return movie.defineShape(s);
}

// Lines of text as DefineText2 characters in one font, and the per-character ones of a title.
class TextMaker {
  public:
    TextMaker(SwfWriter& movie, const EmbeddedFont& font, uint16_t fontId)
        : movie_(movie), font_(font), fontId_(fontId) {}

    double advance(char32_t c) const {
        const auto it = font_.advance.find(c);
        return it == font_.advance.end() ? 0.0 : it->second;
    }

    // The text's width in twips at `size` (twips to the em).
    double width(const std::u32string& text, double size) const {
        double w = 0;
        for (const char32_t c : text) {
            w += std::round(advance(c) * size);
        }
        return w;
    }

    uint16_t define(const std::u32string& text, double size, Rgb colour) {
        Text t;
        TextRecord record;
        record.fontId = fontId_;
        record.height = static_cast<uint16_t>(std::lround(size));
        record.color = Rgba{colour.r, colour.g, colour.b, 255};
        record.xOffset = 0;
        record.yOffset = 0;
        for (const char32_t c : text) {
            const auto it = font_.index.find(c);
            if (it == font_.index.end()) {
                continue;
            }
            record.glyphs.push_back(
                {it->second, static_cast<int32_t>(std::lround(advance(c) * size))});
        }
        t.bounds = {0, static_cast<int32_t>(std::lround(std::max(width(text, size), 20.0))),
                    static_cast<int32_t>(-std::lround(font_.ascent * size)),
                    static_cast<int32_t>(std::lround(font_.descent * size))};
        t.records.push_back(std::move(record));
        return movie_.defineText(t);
    }

  private:
    SwfWriter& movie_;
    const EmbeddedFont& font_;
    uint16_t fontId_;
};

// One placed piece of text: what, where its baseline starts, when it comes in.
struct TextPiece {
    uint16_t id = 0;
    double x = 0;
    double y = 0;
    int appear = 0; // frame its entrance starts
};

// Places text with its shadow: fading in and rising over `entrance` frames from `appear`,
// fading out over `entrance` frames before `leave` (none: stays).
void showText(FrameState& state, uint16_t depth, const TextPiece& piece, int frame, int entrance,
              std::optional<int> leave, const Style& style, double rise) {
    if (frame < piece.appear || (leave && frame >= *leave)) {
        return;
    }
    const double in = std::min(1.0, static_cast<double>(frame - piece.appear + 1) / entrance);
    double opacity = in;
    if (leave) {
        opacity = std::min(opacity, static_cast<double>(*leave - frame) / entrance);
    }
    const double eased = 1 - (1 - in) * (1 - in);
    const auto x = static_cast<int32_t>(std::lround(piece.x));
    const auto y = static_cast<int32_t>(std::lround(piece.y + (1 - eased) * rise));
    const int32_t off = twips(1.5);
    state[static_cast<uint16_t>(depth)] = {piece.id, Matrix::translate(x + off, y + off),
                                           ColorTransform::tint(style.outlineColor, 0.75 * opacity),
                                           std::nullopt};
    state[static_cast<uint16_t>(depth + 1)] = {piece.id, Matrix::translate(x, y),
                                               ColorTransform::alpha(opacity), std::nullopt};
}

// Lays out `text` in the box and defines its lines; x centred in the stage, y from `top`.
std::vector<TextPiece> lineTexts(TextMaker& maker, const std::u32string& text, TextBox box,
                                 double stageWidth, double top, Rgb colour,
                                 const EmbeddedFont& font, bool perCharacter,
                                 std::vector<std::string>& notices, const char* what) {
    std::vector<TextPiece> pieces;
    const TextBlock block = layoutText(
        text, [&](char32_t c) { return maker.advance(c); }, box);
    if (block.cut) {
        notices.push_back(std::string(what) + "太长，放不下的部分已略去。");
    }
    double baseline = top + font.ascent * block.size;
    std::map<char32_t, uint16_t> perChar;
    for (const LaidLine& line : block.lines) {
        const double w = maker.width(line.text, block.size);
        double x = (stageWidth - w) / 2;
        if (perCharacter) {
            for (const char32_t c : line.text) {
                if (c != U' ') {
                    auto [it, added] = perChar.try_emplace(c, 0);
                    if (added) {
                        it->second = maker.define(std::u32string(1, c), block.size, colour);
                    }
                    pieces.push_back({it->second, x, baseline, 0});
                }
                x += std::round(maker.advance(c) * block.size);
            }
        } else if (!line.text.empty()) {
            pieces.push_back({maker.define(line.text, block.size, colour), x, baseline, 0});
        }
        baseline += block.lineHeight;
    }
    return pieces;
}

double blockHeight(const std::vector<TextPiece>& pieces, double top) {
    return pieces.empty() ? 0.0 : pieces.back().y - top;
}

uint16_t defineReplayButton(SwfWriter& movie, const Style& style, int32_t radius) {
    const auto face = [&](uint8_t alpha, double lighten) {
        Shape s;
        const auto lift = [&](uint8_t c) {
            return static_cast<uint8_t>(std::lround(c + (255 - c) * lighten));
        };
        s.fill1(s.addFill(FillStyle::solid({lift(style.titleColor.r), lift(style.titleColor.g),
                                            lift(style.titleColor.b), alpha})));
        LineStyle rim;
        rim.width = static_cast<uint16_t>(std::max(20, radius / 12));
        rim.color = {style.outlineColor.r, style.outlineColor.g, style.outlineColor.b, 200};
        s.line(s.addLine(rim));
        s.ellipse(0, 0, radius, radius);
        s.line(0).fill1(s.addFill(FillStyle::solid(
            {style.outlineColor.r, style.outlineColor.g, style.outlineColor.b, 255})));
        // A play triangle: replay from the start.
        s.moveTo(-radius * 3 / 10, -radius * 4 / 10)
            .lineTo(radius * 5 / 10, 0)
            .lineTo(-radius * 3 / 10, radius * 4 / 10)
            .close();
        return movie.defineShape(s);
    };
    const uint16_t up = face(220, 0);
    const uint16_t over = face(255, 0.3);
    Button button;
    button.records.push_back({0x01, up, 1, {}, {}});
    button.records.push_back({0x02 | 0x04, over, 2, {}, {}});
    button.records.push_back({0x08, up, 3, {}, {}});
    Actions replay;
    replay.gotoFrame(0).play();
    button.conditions.push_back({kReleaseCondition, replay});
    return movie.defineButton2(button);
}

void checkChoices(const Composition& c) {
    if (c.photos.empty()) {
        throw ComposeError("还没有照片。请至少添加一张照片（--photo 照片文件）。");
    }
    if (c.photos.size() > kMaxPhotos) {
        throw ComposeError("照片太多（" + std::to_string(c.photos.size()) + " 张，最多 " +
                           std::to_string(kMaxPhotos) + " 张）。请去掉一些照片，或分成几张贺卡。");
    }
    if (c.width < kMinStageSide || c.height < kMinStageSide || c.width > kMaxStageSide ||
        c.height > kMaxStageSide) {
        throw ComposeError("影片大小 " + std::to_string(c.width) + "×" + std::to_string(c.height) +
                           " 不可用：每边应在 " + std::to_string(kMinStageSide) + " 到 " +
                           std::to_string(kMaxStageSide) + " 像素之间。");
    }
    if (c.fps < 1 || c.fps > 60) {
        throw ComposeError("帧率 " + std::to_string(c.fps) + " 不可用：应在 1 到 60 之间。");
    }
    if (findStyle(c.style) == nullptr) {
        std::string names;
        for (const Style& s : allStyles()) {
            names += std::string(names.empty() ? "" : "、") + s.name;
        }
        throw ComposeError("没有名为“" + c.style + "”的风格。可选：" + names + "。");
    }
}

uint8_t rateCode(uint32_t rate) {
    return rate == 44100 ? 3 : rate == 22050 ? 2 : 1;
}

} // namespace

ComposedMovie composeMovie(const Composition& c, const ComposeProgress& progress) {
    checkChoices(c);
    const Style& style = *findStyle(c.style);
    const auto report = [&](double share) {
        if (progress && !progress(std::clamp(share, 0.0, 1.0))) {
            throw ComposeCancelled();
        }
    };
    report(0);
    ComposedMovie result;

    // The song first: its length decides the movie's.
    std::optional<SongFacts> song;
    if (!c.music.empty()) {
        song = inspectSong(c.music);
    }
    const MoviePlan plan =
        planMovie(c, c.photos.size(), song ? std::optional(song->seconds) : std::nullopt);
    result.notices = plan.notices;
    result.frames = plan.totalFrames;
    std::future<PreparedMusic> music;
    if (song) {
        const bool passThrough = song->mp3Passable && plan.musicStart == 0 && !plan.songTrimmed &&
                                 plan.fadeIn == 0 && plan.fadeOut == 0;
        // Encoding runs beside the photos' decoding.
        music = std::async(std::launch::async, prepareMusic, c.music, plan.musicStart,
                           plan.musicSeconds, plan.fadeIn, plan.fadeOut, passThrough);
    }

    MovieHeader header;
    header.version = 10;
    header.frameSize = Rect::pixels(c.width, c.height);
    header.frameRate = c.fps;
    // Uncompressed: the card tools read the header of "FWS" movies only, and the photos and
    // the song are compressed already.
    header.compressed = false;
    SwfWriter movie(header);
    const auto W = static_cast<double>(twips(c.width));
    const auto H = static_cast<double>(twips(c.height));
    movie.setBackgroundColor(style.backgroundBottom);

    try {
        const uint16_t background = defineBackground(movie, style, twips(c.width), twips(c.height));

        // Photos, each decoded at the size it is shown.
        const double margin = style.transition == Transition::ZoomPan ? 1.0 + kZoomGrowth : 1.0;
        std::vector<PhotoCharacter> photos;
        photos.reserve(c.photos.size());
        for (std::size_t i = 0; i < c.photos.size(); ++i) {
            const PhotoEdit edit = i < c.edits.size() ? c.edits[i] : PhotoEdit{};
            const QImage image =
                decodePhoto(c.photos[i], edit, QSize(c.width, c.height), c.fit, margin);
            photos.push_back(definePhoto(movie, image));
            report(0.8 * static_cast<double>(i + 1) / static_cast<double>(c.photos.size()));
        }
        // Ids count from 1: 0 is none.
        const uint16_t wipe =
            style.transition == Transition::MaskWipe ? defineWipeMask(movie, style.wipe) : 0;
        const std::vector<uint16_t> decorations =
            defineDecorations(movie, style.decoration, c.width, c.height, c.fps);

        // Words: one font of only the characters used.
        const std::u32string title = fromUtf8(c.title);
        const std::u32string words = fromUtf8(c.words);
        std::vector<std::u32string> captions;
        std::u32string everything = title + U"\n" + words;
        for (const std::string& caption : c.captions) {
            captions.push_back(fromUtf8(caption));
            everything += U"\n" + captions.back();
        }
        ChosenFont chosen = chooseFont(c.fontFamily, everything);
        result.notices.insert(result.notices.end(), chosen.notices.begin(), chosen.notices.end());
        const EmbeddedFont font =
            chosen.raw.isValid() ? embedGlyphs(chosen.raw, everything) : EmbeddedFont{};
        const uint16_t fontId = movie.defineFont(font.font, 3);
        TextMaker maker(movie, font, fontId);
        const double shortSide = std::min(W, H);
        const TextBox titleBox{W * 0.86, H * 0.22, shortSide * 0.1, shortSide * 0.05, 1.25};
        const double introTop = style.titleAtTop ? H * 0.08 : H * 0.66;
        std::vector<TextPiece> introTitle =
            lineTexts(maker, title, titleBox, W, introTop, style.titleColor, font, true,
                      result.notices, "标题");
        const bool hasWords = !words.empty();
        const double endTitleTop = hasWords ? H * 0.1 : H * 0.36;
        std::vector<TextPiece> endTitle = introTitle;
        for (TextPiece& p : endTitle) {
            p.y += endTitleTop - introTop;
        }
        const double wordsTop =
            endTitleTop + std::max(blockHeight(endTitle, endTitleTop) + shortSide * 0.06,
                                   title.empty() ? 0.0 : H * 0.12);
        const TextBox wordsBox{W * 0.8, H * 0.82 - wordsTop, shortSide * 0.06, shortSide * 0.032,
                               1.45};
        std::vector<TextPiece> wordLines =
            lineTexts(maker, words, wordsBox, W, wordsTop, style.wordsColor, font, false,
                      result.notices, "祝福的话");
        std::vector<std::vector<TextPiece>> captionLines;
        captionLines.reserve(captions.size());
        const TextBox captionBox{W * 0.9, H * 0.14, shortSide * 0.045, shortSide * 0.03, 1.3};
        for (const std::u32string& caption : captions) {
            captionLines.push_back(lineTexts(maker, caption, captionBox, W, H * 0.83,
                                             style.wordsColor, font, false, result.notices,
                                             "照片说明"));
        }

        // When the words come in.
        const int entrance = std::max(2, c.fps / 2);
        const int step = std::max(1, c.fps / 8);
        for (std::size_t k = 0; k < introTitle.size(); ++k) {
            introTitle[k].appear = c.fps / 4 + static_cast<int>(k) * step;
        }
        const int introLeave =
            std::max(plan.titleFrames,
                     std::min(plan.photos.empty() ? plan.endingStart
                                                  : plan.photos[0].start + plan.photos[0].frames,
                              plan.endingStart));
        int at = plan.endingStart + c.fps / 2;
        for (TextPiece& p : endTitle) {
            p.appear = at;
            at += step;
        }
        at += entrance / 2;
        for (TextPiece& p : wordLines) {
            p.appear = at;
            at += entrance;
        }
        const int buttonAt = std::min(plan.totalFrames - 1, at + entrance / 2);
        const uint16_t replay =
            c.loop ? 0 : defineReplayButton(movie, style, twips(shortSide / 20 * 0.055));

        // The sound stream's head, then the frames.
        std::optional<Mp3StreamBlocks> stream;
        if (song) {
            PreparedMusic prepared = music.get();
            result.musicReencoded = prepared.reencoded;
            stream = splitMp3Stream(prepared.mp3, prepared.frames, c.fps,
                                    static_cast<uint32_t>(plan.totalFrames), prepared.encoderDelay);
            SoundFormat format{2, rateCode(stream->sampleRate), true, stream->stereo};
            movie.soundStreamHead(format, stream->samplesPerFrame, 2,
                                  static_cast<int16_t>(prepared.encoderDelay));
        }
        report(0.9);

        const PhotoMotion motion(style.transition, W, H, c.fit, plan.transitionFrames);
        FrameState before;
        for (int f = 0; f < plan.totalFrames; ++f) {
            FrameState now;
            now[kBackgroundDepth] = {background, {}, {}, std::nullopt};
            for (std::size_t i = 0; i < photos.size(); ++i) {
                const auto placed = motion.at(plan, i, f, photos[i].width, photos[i].height);
                if (!placed) {
                    continue;
                }
                const auto depth = static_cast<uint16_t>(kPhotoDepths + 2 * i + 1);
                now[depth] = {photos[i].shape, placed->photo, placed->cx, std::nullopt};
                if (placed->mask && wipe != 0) {
                    now[static_cast<uint16_t>(depth - 1)] = {wipe, *placed->mask, {}, depth};
                }
            }
            for (std::size_t k = 0; k < decorations.size(); ++k) {
                now[static_cast<uint16_t>(kDecorationDepth + k)] = {
                    decorations[k], {}, {}, std::nullopt};
            }
            for (std::size_t i = 0; i < captionLines.size() && i < plan.photos.size(); ++i) {
                const PhotoSpan& span = plan.photos[i];
                for (std::size_t k = 0; k < captionLines[i].size(); ++k) {
                    TextPiece p = captionLines[i][k];
                    p.appear = span.start + plan.transitionFrames;
                    showText(now, static_cast<uint16_t>(kCaptionDepth + 2 * k), p, f, entrance,
                             span.start + span.frames, style, 0);
                }
            }
            for (std::size_t k = 0; k < introTitle.size(); ++k) {
                showText(now, static_cast<uint16_t>(kIntroTitleDepth + 2 * k), introTitle[k], f,
                         entrance, introLeave, style, shortSide * 0.04);
            }
            for (std::size_t k = 0; k < endTitle.size(); ++k) {
                showText(now, static_cast<uint16_t>(kEndTitleDepth + 2 * k), endTitle[k], f,
                         entrance, std::nullopt, style, shortSide * 0.04);
            }
            for (std::size_t k = 0; k < wordLines.size(); ++k) {
                showText(now, static_cast<uint16_t>(kWordsDepth + 2 * k), wordLines[k], f, entrance,
                         std::nullopt, style, shortSide * 0.05);
            }
            if (replay != 0 && f >= buttonAt) {
                now[kButtonDepth] = {
                    replay,
                    Matrix::translate(static_cast<int32_t>(W / 2), static_cast<int32_t>(H * 0.9)),
                    {},
                    std::nullopt};
            }
            if (stream && static_cast<std::size_t>(f) < stream->blocks.size()) {
                movie.soundStreamBlock(stream->blocks[static_cast<std::size_t>(f)]);
            }
            emitChanges(movie, before, now);
            if (f == plan.totalFrames - 1 && !c.loop) {
                Actions stop;
                stop.stop();
                movie.doAction(stop);
            }
            movie.showFrame();
            before = std::move(now);
        }
        result.swf = movie.finish();
    } catch (const WriteError& e) {
        throw ComposeError(std::string("影片无法写出：") + e.what() +
                           "。请减少照片或缩短文字后再试。");
    }
    report(1);
    return result;
}

void writeFileWhole(const std::filesystem::path& target, const std::vector<uint8_t>& bytes) {
    std::filesystem::path temporary = target;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            out.flush();
        }
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw ComposeError(
                "无法写入 " + nameOf(target) +
                "（磁盘已满、没有写权限或文件夹不存在）。请换一个位置，或腾出空间后再试。");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw ComposeError("无法写入 " + nameOf(target) + "（" + ec.message() +
                           "）。请换一个位置后再试。");
    }
}

} // namespace composer
