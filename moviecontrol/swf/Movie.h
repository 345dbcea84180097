#pragma once
// A loaded movie: header, character dictionary and root timeline.
//
// The Movie owns the decompressed bytes of the file; every span in its records (bitmap data,
// action payloads, raw tags) points into them, so a Movie is neither copied nor moved: it
// lives behind the pointer loadMovie returns.

#include "swf/Characters.h"
#include "swf/ControlTags.h"
#include "swf/Shapes.h"
#include "swf/VideoStream.h"

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace swf {

struct Sprite {
    std::uint16_t id = 0;
    Timeline timeline;
};

using Definition = std::variant<Shape, MorphShape, Sprite, JpegBitmap, LosslessBitmap, Font,
                                StaticText, EditText, Button, VideoStream>;

enum class Compression : std::uint8_t { None, Zlib, Lzma };

struct Header {
    Compression compression = Compression::None;
    std::uint8_t version = 0;
    std::uint32_t declaredLength = 0; // Whole file length after decompression, as claimed.
    std::uint32_t fileLength = 0;     // The file's length as stored, compressed or not.
    Rect frameRect;                   // Twips; the minimum corner may be non-zero.
    std::uint16_t frameRateRaw = 0;   // 8.8 fixed point as stored; may be zero.
    std::uint16_t frameCount = 0;
    double frameRate() const { return frameRateRaw / 256.0; }
};

// Things found wrong while loading; none of them stops loading.
enum class Issue : std::uint8_t {
    BodyShorterThanDeclared, // Fewer bytes (after inflating) than the header claims.
    CompressedDataCorrupt,   // The zlib stream failed; what was inflated is used.
    SizeCapReached,          // Declared length beyond LoadLimits::maxBodyBytes.
    TagTruncated,            // A tag's length ran past the end of its container.
    RecordOverrun,           // A tag's content claimed more bytes than the tag has.
    InvalidRecord,           // An undecodable value (fill type...) ended a record list.
    WorkLimitReached,        // Too many records, tags or glyphs; the rest was dropped.
    DuplicateCharacter,      // A second definition for an id (the first one is kept).
    IgnoredInSprite,         // A definition or sprite inside a sprite.
    MissingEnd,              // The tag list ended without an End tag.
};

struct Diagnostic {
    Issue issue{};
    std::uint16_t tagCode = 0;
    std::uint32_t offset = 0; // Offset of the tag in the decompressed file.
};

class MovieReader;

class Movie {
  public:
    Movie();
    ~Movie();
    Movie(const Movie&) = delete;
    Movie& operator=(const Movie&) = delete;

    Header header;
    Timeline root;
    // The definitions read so far. In a movie loaded with LoadMode::DefinitionsOnFirstUse a
    // shape, morph shape or sprite joins it when find() first asks for it (hence mutable:
    // reading one late changes nothing a caller can observe through find()).
    mutable std::map<std::uint16_t, Definition> dictionary;
    // JPEGTables for DefineBits; empty when the movie has none.
    std::span<const std::uint8_t> jpegTables;
    // Set when a FileAttributes tag says the movie is ActionScript 3.
    bool actionScript3 = false;
    // Set when a FileAttributes tag asks, for a local movie, network rather than file access.
    bool useNetwork = false;
    // DefineSound, DefineButtonSound, ExportAssets and SymbolClass as stored, in file order:
    // the sound layer reads the sounds, the sounds of buttons and the names scripts use.
    std::vector<RawControlTag> soundDefinitions;
    // Grows when a definition read late turns out damaged.
    mutable std::vector<Diagnostic> diagnostics;
    // ExportAssets: symbol names scripts attach characters by, in file order. The first
    // export of a name wins.
    std::map<std::string, std::uint16_t> exports;
    // ImportAssets and ImportAssets2: names this movie takes from another file, under ids of
    // its own (the stage reads the files beside the movie and links the ids).
    struct Import {
        std::string url;
        std::string name;
        std::uint16_t id = 0;
    };
    std::vector<Import> imports;
    // DefineScalingGrid: the nine-slice grid of a sprite or button, in its own twips, by id.
    std::map<std::uint16_t, Rect> scalingGrids;

    const Definition* find(std::uint16_t id) const;
    template <typename T> const T* findAs(std::uint16_t id) const {
        const Definition* d = find(id);
        return d ? std::get_if<T>(d) : nullptr;
    }
    bool has(Issue issue) const;
    // Reads every definition still waiting: afterwards the dictionary holds them all.
    void readAllDefinitions() const;
    // What the sprites not read yet hold, known from their tag headers, so that asking reads
    // none of them.
    struct UnreadSprites {
        bool scripts = false; // DoAction or DoInitAction tags.
        bool sound = false;   // Sound control tags.
    };
    UnreadSprites unreadSprites;

    // The whole file as decompressed (header included).
    std::span<const std::uint8_t> bytes() const { return bytes_; }

  private:
    friend class MovieReader;
    std::vector<std::uint8_t> bytes_;
    // Set while definitions wait to be read.
    std::unique_ptr<MovieReader> loader_;
};

struct LoadLimits {
    std::size_t maxBodyBytes = 256u << 20;     // Inflate / accept at most this much.
    std::size_t maxRecordsPerShape = 1u << 20; // Shape, glyph and morph records.
    std::size_t maxTotalRecords = 1u << 22;    // All shape records of the movie.
    std::size_t maxTagsPerTimeline = 1u << 20;
};

enum class LoadError : std::uint8_t {
    None,
    NotSwf, // Too short or an unknown signature.
    NoBody, // The compressed body could not be inflated at all.
};

enum class LoadMode : std::uint8_t {
    Whole,                 // Every definition is read before loadMovie returns.
    DefinitionsOnFirstUse, // Shapes, morph shapes and sprites are read when first found.
};

struct LoadResult {
    LoadError error = LoadError::None;
    std::unique_ptr<Movie> movie; // Set exactly when error is None.
    bool ok() const { return error == LoadError::None; }
};

// Parses a whole movie file (signature, header, tags). Never throws on bad input; a damaged
// movie loads as far as it can be read, with diagnostics.
LoadResult loadMovie(std::span<const std::uint8_t> file, const LoadLimits& limits = {},
                     LoadMode mode = LoadMode::Whole);

// Reads only the header fields; the body is inflated only as far as the frame rectangle
// needs. Returns false for a non-movie.
bool readHeader(std::span<const std::uint8_t> file, Header& out);

} // namespace swf
