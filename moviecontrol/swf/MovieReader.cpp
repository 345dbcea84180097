#include "BasicRecords.h"
#include "Decompress.h"
#include "DeferredDefinitions.h"
#include "DefinitionReaders.h"
#include "PlaceObjectReader.h"
#include "ReadContext.h"
#include "ShapeReaders.h"
#include "TagHeader.h"
#include "TextReaders.h"
#include "VideoReader.h"
#include "swf/Movie.h"
#include "swf/TagCodes.h"

#include <algorithm>
#include <limits>

namespace swf {

namespace {

bool isDefinitionTag(std::uint16_t code) {
    switch (code) {
    case tag::DefineShape:
    case tag::DefineShape2:
    case tag::DefineShape3:
    case tag::DefineShape4:
    case tag::DefineMorphShape:
    case tag::DefineMorphShape2:
    case tag::DefineBits:
    case tag::JpegTables:
    case tag::DefineBitsJpeg2:
    case tag::DefineBitsJpeg3:
    case tag::DefineBitsJpeg4:
    case tag::DefineBitsLossless:
    case tag::DefineBitsLossless2:
    case tag::DefineFont:
    case tag::DefineFont2:
    case tag::DefineFont3:
    case tag::DefineFontInfo:
    case tag::DefineFontInfo2:
    case tag::DefineFontName:
    case tag::DefineText:
    case tag::DefineText2:
    case tag::DefineEditText:
    case tag::DefineButton:
    case tag::DefineButton2:
    case tag::DefineButtonCxform:
    case tag::CsmTextSettings:
    case tag::DefineSprite:
    case tag::DefineVideoStream:
        return true;
    default:
        return false;
    }
}

// Whether readTag adds an entry to the frame for a tag of this code.
bool makesFrameEntry(std::uint16_t code) {
    switch (code) {
    case tag::PlaceObject:
    case tag::PlaceObject2:
    case tag::PlaceObject3:
    case tag::RemoveObject:
    case tag::RemoveObject2:
    case tag::DoAction:
    case tag::DoInitAction:
    case tag::SetBackgroundColor:
    case tag::FrameLabel:
        return true;
    default:
        return isSoundControlTag(code);
    }
}

// How many frame entries the tags ahead of `r`, up to the next ShowFrame or End, make (at
// most `most`). A frame's list sized once is filled in place: growing it moved its large
// records at every doubling, and copying it out to drop the spare room moved them again.
std::size_t frameEntriesAhead(const ByteReader& r, std::size_t most) {
    ByteReader scan(r.data().subspan(r.position()));
    std::size_t count = 0;
    while (count < most && !scan.atEnd()) {
        const auto [code, length] = readTagHeader(scan);
        if (scan.failed() || code == tag::End || code == tag::ShowFrame) {
            break;
        }
        count += makesFrameEntry(code) ? 1 : 0;
        if (length > scan.remaining()) {
            break; // Read cut short, as the last tag.
        }
        scan.skip(length);
    }
    return count;
}

} // namespace

class MovieReader {
  public:
    MovieReader(Movie& movie, const LoadLimits& limits) : movie_(movie) {
        ctx_.swfVersion = movie.header.version;
        ctx_.limits = limits;
        ctx_.recordsLeft = limits.maxTotalRecords;
    }

    void note(Issue issue, std::uint16_t code, std::size_t offset) {
        noteIssue(movie_.diagnostics, issue, code, offset);
    }

    // Reads the definition waiting under `id`; null when none waits.
    const Definition* readDeferred(std::uint16_t id) {
        const auto tag = deferred_.take(id);
        if (!tag) {
            return nullptr;
        }
        readDeferredTag(*tag);
        const auto it = movie_.dictionary.find(id);
        return it == movie_.dictionary.end() ? nullptr : &it->second;
    }

    void readAllDeferred() {
        while (const auto tag = deferred_.takeFirst()) {
            readDeferredTag(*tag);
        }
    }

    // Reads tags until End or the end of `r`, filling `timeline`. `baseOffset` turns
    // positions in `r` into file offsets for diagnostics.
    void readTags(ByteReader& r, std::size_t baseOffset, Timeline& timeline, bool inSprite) {
        const std::size_t maxTags = ctx_.limits.maxTagsPerTimeline;
        Frame current;
        current.tags.reserve(frameEntriesAhead(r, maxTags));
        std::size_t tags = 0;
        bool ended = false;
        while (!r.atEnd()) {
            const std::size_t tagOffset = baseOffset + r.position();
            if (++tags > maxTags) {
                note(Issue::WorkLimitReached, 0, tagOffset);
                break;
            }
            const auto [code, claimed] = readTagHeader(r);
            std::size_t length = claimed;
            if (r.failed()) {
                note(Issue::TagTruncated, code, tagOffset);
                break;
            }
            if (length > r.remaining()) {
                note(Issue::TagTruncated, code, tagOffset);
                length = r.remaining();
            }
            // Long headers are legal for short bodies too: the body starts where the header ends.
            const std::size_t bodyOffset = baseOffset + r.position();
            const auto body = r.bytes(length);
            if (code == tag::End) {
                ended = true;
                break;
            }
            if (code == tag::ShowFrame) {
                timeline.frames.push_back(std::move(current));
                current = Frame{};
                current.tags.reserve(frameEntriesAhead(r, maxTags - tags));
                continue;
            }
            if (inSprite && isDefinitionTag(code)) {
                note(Issue::IgnoredInSprite, code, tagOffset);
                continue;
            }
            if (code == tag::DefineSceneAndFrameLabelData) {
                // Scenes belong to the root; a sprite's copy means nothing to players.
                if (!inSprite) {
                    ByteReader b(body);
                    readScenes(b, timeline);
                }
                continue;
            }
            if (mayWait(code, body)) {
                defer(code, body, tagOffset, bodyOffset);
                continue;
            }
            ctx_.invalid = false;
            ctx_.limitHit = false;
            ByteReader b(body);
            readTag(code, b, current, bodyOffset);
            noteReadIssues(movie_.diagnostics, ctx_, b, code, tagOffset);
        }
        if (!current.tags.empty()) {
            timeline.frames.push_back(std::move(current));
        }
        if (!ended) {
            note(Issue::MissingEnd, 0, baseOffset + r.position());
        }
    }

    // The movie keeps its loader while definitions wait to be read.
    static MovieReader& attach(Movie& movie, const LoadLimits& limits) {
        movie.loader_ = std::make_unique<MovieReader>(movie, limits);
        return *movie.loader_;
    }
    static void detach(Movie& movie) { movie.loader_.reset(); }

    // The loader fills the movie's private byte buffer before anything points into it.
    static std::vector<std::uint8_t>& buffer(Movie& movie) { return movie.bytes_; }

  private:
    bool defined(std::uint16_t id) const {
        return movie_.dictionary.count(id) != 0 || deferred_.contains(id);
    }

    template <typename T>
    void define(std::uint16_t id, T&& definition, std::uint16_t code, std::size_t offset) {
        if (deferred_.contains(id) ||
            !movie_.dictionary.try_emplace(id, std::forward<T>(definition)).second) {
            note(Issue::DuplicateCharacter, code, offset);
        }
    }

    // Whether a definition tag may wait until it is asked for. A body too short for its
    // id (and frame count) is read at once, as the damaged tag it is; a sprite whose tags
    // change the movie as a whole is read at once, so that they take effect in file order.
    bool mayWait(std::uint16_t code, std::span<const std::uint8_t> body) {
        if (isDeferredShapeTag(code)) {
            return body.size() >= 2;
        }
        if (code != tag::DefineSprite || body.size() < 4) {
            return false;
        }
        const SpriteScan scan = scanSprite(body.subspan(4), ctx_.limits.maxTagsPerTimeline);
        if (!scan.mayWait) {
            return false;
        }
        movie_.unreadSprites.scripts = movie_.unreadSprites.scripts || scan.scripts;
        movie_.unreadSprites.sound = movie_.unreadSprites.sound || scan.sound;
        return true;
    }

    void defer(std::uint16_t code, std::span<const std::uint8_t> body, std::size_t tagOffset,
               std::size_t bodyOffset) {
        const auto id = static_cast<std::uint16_t>(body[0] | (body[1] << 8));
        if (defined(id)) {
            note(Issue::DuplicateCharacter, code, bodyOffset);
        } else {
            deferred_.add({id, code, static_cast<std::uint32_t>(tagOffset),
                           static_cast<std::uint32_t>(bodyOffset), body});
        }
    }

    void readDeferredTag(const DeferredDefinitions::Tag& tag) {
        ctx_.invalid = false;
        ctx_.limitHit = false;
        ByteReader b(tag.body);
        Frame outsideFrames; // definitions add nothing to a frame
        readTag(tag.code, b, outsideFrames, tag.bodyOffset);
        noteReadIssues(movie_.diagnostics, ctx_, b, tag.code, tag.offset);
    }

    template <typename T> T* findMutable(std::uint16_t id) {
        const auto it = movie_.dictionary.find(id);
        return it == movie_.dictionary.end() ? nullptr : std::get_if<T>(&it->second);
    }

    void readTag(std::uint16_t code, ByteReader& b, Frame& frame, std::size_t bodyOffset) {
        switch (code) {
        case tag::DefineShape:
        case tag::DefineShape2:
        case tag::DefineShape3:
        case tag::DefineShape4: {
            const std::uint8_t version = code == tag::DefineShape    ? 1
                                         : code == tag::DefineShape2 ? 2
                                         : code == tag::DefineShape3 ? 3
                                                                     : 4;
            Shape shape = readDefineShape(b, ctx_, version);
            define(shape.id, std::move(shape), code, bodyOffset);
            break;
        }
        case tag::DefineMorphShape:
        case tag::DefineMorphShape2: {
            MorphShape morph = readDefineMorphShape(b, ctx_, code == tag::DefineMorphShape ? 1 : 2);
            define(morph.id, std::move(morph), code, bodyOffset);
            break;
        }
        case tag::DefineSprite: {
            Sprite sprite;
            sprite.id = b.u16();
            sprite.timeline.declaredFrameCount = b.u16();
            sprite.timeline.byteLength = static_cast<std::uint32_t>(b.remaining());
            ByteReader inner(b.rest());
            readTags(inner, bodyOffset + 4, sprite.timeline, true);
            define(sprite.id, std::move(sprite), code, bodyOffset);
            break;
        }
        case tag::DefineBits:
        case tag::DefineBitsJpeg2:
        case tag::DefineBitsJpeg3:
        case tag::DefineBitsJpeg4: {
            const std::uint8_t version = code == tag::DefineBits        ? 1
                                         : code == tag::DefineBitsJpeg2 ? 2
                                         : code == tag::DefineBitsJpeg3 ? 3
                                                                        : 4;
            JpegBitmap bitmap = readJpegBitmap(b, version);
            define(bitmap.id, bitmap, code, bodyOffset);
            break;
        }
        case tag::JpegTables:
            if (movie_.jpegTables.empty()) {
                movie_.jpegTables = b.rest();
            }
            break;
        case tag::DefineBitsLossless:
        case tag::DefineBitsLossless2: {
            LosslessBitmap bitmap = readLosslessBitmap(b, code == tag::DefineBitsLossless ? 1 : 2);
            define(bitmap.id, bitmap, code, bodyOffset);
            break;
        }
        case tag::DefineFont: {
            Font font = readDefineFont1(b, ctx_);
            define(font.id, std::move(font), code, bodyOffset);
            break;
        }
        case tag::DefineFont2:
        case tag::DefineFont3: {
            Font font = readDefineFont2(b, ctx_, code == tag::DefineFont2 ? 2 : 3);
            define(font.id, std::move(font), code, bodyOffset);
            break;
        }
        case tag::DefineFontInfo:
        case tag::DefineFontInfo2:
            if (Font* font = findMutable<Font>(b.u16())) {
                applyFontInfo(b, *font, code == tag::DefineFontInfo ? 1 : 2);
            }
            break;
        case tag::DefineFontName:
            if (Font* font = findMutable<Font>(b.u16())) {
                applyFontName(b, *font);
            }
            break;
        case tag::DefineText:
        case tag::DefineText2: {
            StaticText text = readDefineText(b, code == tag::DefineText ? 1 : 2);
            define(text.id, std::move(text), code, bodyOffset);
            break;
        }
        case tag::DefineEditText: {
            EditText text = readDefineEditText(b);
            define(text.id, std::move(text), code, bodyOffset);
            break;
        }
        case tag::DefineButton:
        case tag::DefineButton2: {
            Button button = readDefineButton(b, ctx_, code == tag::DefineButton ? 1 : 2);
            define(button.id, std::move(button), code, bodyOffset);
            break;
        }
        case tag::DefineVideoStream: {
            VideoStream stream = readDefineVideoStream(b);
            define(stream.id, std::move(stream), code, bodyOffset);
            break;
        }
        case tag::VideoFrame: {
            std::uint16_t streamId = 0;
            std::uint16_t number = 0;
            std::span<const std::uint8_t> data;
            if (!readVideoFrame(b, streamId, number, data)) {
                break;
            }
            if (VideoStream* stream = findMutable<VideoStream>(streamId)) {
                stream->frames.emplace(number, data);
            }
            break;
        }
        case tag::CsmTextSettings:
            if (EditText* text = findMutable<EditText>(b.u16())) {
                applyTextSettings(b, *text);
            }
            break;
        case tag::DefineButtonCxform:
            if (Button* button = findMutable<Button>(b.u16())) {
                applyButtonCxform(b, *button);
            }
            break;
        case tag::PlaceObject:
        case tag::PlaceObject2:
        case tag::PlaceObject3: {
            const std::uint8_t version = code == tag::PlaceObject    ? 1
                                         : code == tag::PlaceObject2 ? 2
                                                                     : 3;
            frame.tags.emplace_back(readPlaceObject(b, ctx_, version));
            break;
        }
        case tag::RemoveObject: {
            RemoveObject remove;
            remove.characterId = b.u16();
            remove.depth = b.u16();
            frame.tags.emplace_back(remove);
            break;
        }
        case tag::RemoveObject2: {
            RemoveObject remove;
            remove.depth = b.u16();
            frame.tags.emplace_back(remove);
            break;
        }
        case tag::DoAction:
            frame.tags.emplace_back(DoAction{readActionBlock(b.rest())});
            break;
        case tag::DoInitAction: {
            DoInitAction init;
            init.spriteId = b.u16();
            init.actions = readActionBlock(b.rest());
            frame.tags.emplace_back(std::move(init));
            break;
        }
        case tag::SetBackgroundColor:
            frame.tags.emplace_back(SetBackgroundColor{readRgb(b)});
            break;
        case tag::FrameLabel: {
            FrameLabel label;
            label.label = b.string();
            // The anchor byte exists from version 6 on; older players ignore it.
            label.namedAnchor = ctx_.swfVersion >= 6 && !b.atEnd() && b.u8() == 1;
            frame.tags.emplace_back(std::move(label));
            break;
        }
        case tag::ImportAssets:
        case tag::ImportAssets2:
            readImports(b, code == tag::ImportAssets2);
            break;
        case tag::FileAttributes: {
            const std::uint8_t flags = b.u8();
            movie_.actionScript3 = (flags & 0x08) != 0;
            movie_.useNetwork = (flags & 0x01) != 0;
            break;
        }
        case tag::DefineSound:
        case tag::DefineButtonSound:
        case tag::ExportAssets:
        case tag::SymbolClass: {
            const auto body = b.rest();
            if (code == tag::ExportAssets) {
                // Scripts attach symbols by these names; the sound layer keeps the raw tag.
                ByteReader exports(body);
                readExports(exports);
            }
            if (movie_.soundDefinitions.size() < ctx_.limits.maxTagsPerTimeline) {
                movie_.soundDefinitions.push_back(RawControlTag{code, body});
            }
            break;
        }
        case tag::DefineScalingGrid: {
            const std::uint16_t id = b.u16();
            const Rect grid = readRect(b);
            // A later grid for the same symbol replaces the earlier one.
            if (!b.failed() && movie_.scalingGrids.size() < ctx_.limits.maxTagsPerTimeline) {
                movie_.scalingGrids[id] = grid;
            }
            break;
        }
        default:
            if (isSoundControlTag(code)) {
                frame.tags.emplace_back(RawControlTag{code, b.rest()});
            }
            // Everything else (metadata, exports, scripts of later versions) is skipped by
            // its length.
            break;
        }
    }

    // Scene and label records: each needs at least two bytes (a number and a name's end),
    // which bounds the counts by what the tag holds. A later tag replaces an earlier one.
    static void readScenes(ByteReader& b, Timeline& timeline) {
        timeline.scenes.clear();
        timeline.sceneLabels.clear();
        const std::uint32_t sceneCount = b.encodedU32();
        for (std::uint32_t i = 0; i < sceneCount && !b.failed() && b.remaining() >= 2; ++i) {
            Scene scene;
            scene.firstFrame = b.encodedU32();
            scene.name = b.string();
            if (!b.failed()) {
                timeline.scenes.push_back(std::move(scene));
            }
        }
        const std::uint32_t labelCount = b.failed() ? 0 : b.encodedU32();
        for (std::uint32_t i = 0; i < labelCount && !b.failed() && b.remaining() >= 2; ++i) {
            SceneFrameLabel label;
            label.frame = b.encodedU32();
            label.label = b.string();
            if (!b.failed()) {
                timeline.sceneLabels.push_back(std::move(label));
            }
        }
    }

    // A count of (id, name) pairs; each pair needs at least three bytes, which bounds the
    // count by what the tag holds.
    void readExports(ByteReader& b) {
        const std::uint16_t count = b.u16();
        for (std::uint16_t i = 0; i < count && !b.failed() && b.remaining() >= 3; ++i) {
            const std::uint16_t id = b.u16();
            std::string name = b.string();
            // A name exported again names the later character, as in Flash.
            if (!b.failed() &&
                (movie_.exports.size() < kMaxNamedAssets || movie_.exports.count(name) != 0)) {
                movie_.exports.insert_or_assign(std::move(name), id);
            }
        }
    }

    void readImports(ByteReader& b, bool second) {
        const std::string url = b.string();
        if (second) {
            (void)b.u8(); // reserved
            (void)b.u8(); // reserved
        }
        const std::uint16_t count = b.u16();
        for (std::uint16_t i = 0; i < count && !b.failed() && b.remaining() >= 3; ++i) {
            Movie::Import import;
            import.url = url;
            import.id = b.u16();
            import.name = b.string();
            if (!b.failed() && movie_.imports.size() < kMaxNamedAssets) {
                movie_.imports.push_back(std::move(import));
            }
        }
    }

    static constexpr std::size_t kMaxNamedAssets = 65536;

    Movie& movie_;
    ReadContext ctx_;
    DeferredDefinitions deferred_;
};

const Definition* readDeferred(MovieReader& loader, std::uint16_t id) {
    return loader.readDeferred(id);
}

void readAllDeferred(MovieReader& loader) {
    loader.readAllDeferred();
}

Movie::Movie() = default;
Movie::~Movie() = default;

namespace {

void readMovieHeader(ByteReader& r, Header& h) {
    h.frameRect = readRect(r);
    h.frameRateRaw = r.u16();
    h.frameCount = r.u16();
}

} // namespace

LoadResult loadMovie(std::span<const std::uint8_t> file, const LoadLimits& limits, LoadMode mode) {
    LoadResult result;
    DecompressedFile body = decompressFile(file, limits.maxBodyBytes);
    if (body.error != LoadError::None) {
        result.error = body.error;
        return result;
    }
    auto movie = std::make_unique<Movie>();
    MovieReader::buffer(*movie) = std::move(body.bytes);
    Header& h = movie->header;
    h.compression = body.compression;
    h.version = body.version;
    h.declaredLength = body.declaredLength;
    h.fileLength = static_cast<std::uint32_t>(
        std::min<std::size_t>(file.size(), std::numeric_limits<std::uint32_t>::max()));

    MovieReader& loader = MovieReader::attach(*movie, limits);
    if (body.shorterThanDeclared) {
        loader.note(Issue::BodyShorterThanDeclared, 0, movie->bytes().size());
    }
    if (body.corrupt) {
        loader.note(Issue::CompressedDataCorrupt, 0, movie->bytes().size());
    }
    if (body.capped) {
        loader.note(Issue::SizeCapReached, 0, movie->bytes().size());
    }
    ByteReader r(movie->bytes().subspan(8));
    readMovieHeader(r, h);
    movie->root.declaredFrameCount = h.frameCount;
    if (r.failed()) {
        loader.note(Issue::RecordOverrun, 0, 8);
    } else {
        const std::size_t tagsOffset = 8 + r.position();
        ByteReader tags(r.rest());
        loader.readTags(tags, tagsOffset, movie->root, false);
    }
    if (mode == LoadMode::Whole) {
        movie->readAllDefinitions();
        MovieReader::detach(*movie);
    }
    result.movie = std::move(movie);
    return result;
}

bool readHeader(std::span<const std::uint8_t> file, Header& out) {
    // The frame rectangle, rate and count fit in the first 30 bytes of the body.
    DecompressedFile body = decompressFile(file, 32);
    if (body.error != LoadError::None && body.error != LoadError::NoBody) {
        return false;
    }
    out = Header{};
    out.compression = body.compression;
    out.version = body.version;
    out.declaredLength = body.declaredLength;
    if (body.bytes.size() > 8) {
        ByteReader r(std::span<const std::uint8_t>(body.bytes).subspan(8));
        readMovieHeader(r, out);
    }
    return true;
}

} // namespace swf
