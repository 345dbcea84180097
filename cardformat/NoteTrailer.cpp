#include "NoteTrailer.h"

#include "ErrorLog.h"
#include "MovieBody.h"
#include "Platform.h"
#include "TextCodec.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace cardformat {

std::string getFileName(const std::string& path) {
    const auto it = std::find_if(path.rbegin(), path.rend(), isPathSeparator);
    return std::string(it.base(), path.end());
}

std::string defaultTitle(const std::string& moviePath) {
    const std::string name = getFileName(moviePath);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return {};
    }
    return "《" + name.substr(0, dot) + "》";
}

namespace {

constexpr std::uint8_t TagAuthor = 'A';
constexpr std::uint8_t TagPassword = 'C';
constexpr std::uint8_t TagBlessing = 'N';
constexpr std::uint8_t TagVersion = 'V';
constexpr std::uint8_t TagTitle = 'M';
constexpr std::size_t EntryHeaderLength = 5; // tag byte and 32-bit length
constexpr std::int32_t HeaderLength = 8;     // signature, version, declared length
constexpr int EntryCount = 5;

std::string* fieldOfTag(CardNote& note, std::uint8_t tag) {
    switch (tag) {
    case TagAuthor:
        return &note.Author;
    case TagPassword:
        return &note.Password;
    case TagBlessing:
        return &note.Blessing;
    case TagVersion:
        return &note.Version;
    case TagTitle:
        return &note.Title;
    default:
        return nullptr;
    }
}

// Stored text to UTF-8; a zero byte inside a text reads as a blank.
std::string decodeStoredText(Bytes bytes) {
    std::replace(bytes.begin(), bytes.end(), std::uint8_t{0}, std::uint8_t{' '});
    return fromAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool startsWithFws(const Bytes& bytes) {
    return bytes.size() >= 3 && std::memcmp(bytes.data(), "FWS", 3) == 0;
}

template <typename View>
void readUntagged(const View& movie, std::int64_t declared, std::int64_t length, CardNote& note) {
    if (length - declared > NoteTextLimit) {
        throw CardError(failure_code::Overflow, "untagged note");
    }
    note.Blessing = decodeStoredText(movie.read(static_cast<std::uint64_t>(declared),
                                                static_cast<std::uint64_t>(length - declared)));
    note.Author = UnknownText;
    note.Password = UnknownText;
    note.Version = "0";
}

// Reads the tagged entries; false when an entry runs past the end of the file, which makes
// the whole trailer untagged.
template <typename View>
bool readEntries(const View& movie, std::int64_t declared, std::int64_t length, CardNote& note) {
    std::int64_t position = declared + 2;
    for (int entry = 0; entry < EntryCount; ++entry) {
        if (position + static_cast<std::int64_t>(EntryHeaderLength) > length) {
            return false;
        }
        const Bytes head = movie.read(static_cast<std::uint64_t>(position), EntryHeaderLength);
        const std::int64_t textLength = readInt32LE(&head[1]);
        const std::int64_t textStart = position + static_cast<std::int64_t>(EntryHeaderLength);
        // The text must end before the file's last byte.
        if (textStart + textLength >= length) {
            return false;
        }
        std::string* field = fieldOfTag(note, head[0]);
        if (field != nullptr && textLength > 0) {
            if (textLength > NoteTextLimit) {
                throw CardError(failure_code::Overflow, "note text");
            }
            *field = decodeStoredText(movie.read(static_cast<std::uint64_t>(textStart),
                                                 static_cast<std::uint64_t>(textLength)));
            position = textStart + textLength;
        } else {
            // Nothing read: the next tag byte is the one behind the length field.
            position = textStart;
        }
    }
    return true;
}

template <typename View> void readNote(const View& movie, CardNote& note) {
    const Bytes signature = movie.readUpTo(0, 3);
    if (!startsWithFws(signature)) {
        note.Blessing = NoteNotSwf;
        return;
    }
    const std::int64_t declared = readInt32LE(movie.read(4, 4).data());
    const auto length = static_cast<std::int64_t>(movie.size());
    if (declared >= length) {
        return; // no trailer
    }
    if (declared < HeaderLength) {
        throw CardError(failure_code::InvalidArgument, "declared length");
    }
    const Bytes marker = movie.readUpTo(static_cast<std::uint64_t>(declared), 2);
    const bool tagged = marker.size() == 2 && marker[0] == 'S' && marker[1] == 'P';
    if (!tagged || !readEntries(movie, declared, length, note)) {
        readUntagged(movie, declared, length, note);
    }
}

} // namespace

CardNote getNoteAt(const std::string& path, std::uint64_t offset, const std::string& titlePath) {
    CardNote note{
        std::string(UnknownText), std::string(UnknownText), defaultTitle(titlePath), {}, {}};
    if (!fileExists(path)) {
        note.Blessing = std::string(NoteMissingFile) + path;
        return note;
    }
    try {
        const InputFile file(path);
        readNote(FileView(file, offset), note);
    } catch (const std::exception& error) {
        note.Blessing = NoteFailed;
        logException("getNote()", error);
    }
    return note;
}

CardNote getNote(const std::string& moviePath) {
    return getNoteAt(moviePath, 0, moviePath);
}

CardNote getMovieNote(const std::string& moviePath) {
    CardNote note{
        std::string(UnknownText), std::string(UnknownText), defaultTitle(moviePath), {}, {}};
    try {
        if (!fileExists(moviePath)) {
            return getNote(moviePath);
        }
        const Bytes file = readWholeFile(moviePath);
        const MovieStorage storage = storageOf(file);
        if (storage != MovieStorage::Zlib && storage != MovieStorage::Lzma) {
            return getNote(moviePath);
        }
        const std::optional<Bytes> movie = inflatedMovie(file);
        if (!movie) {
            note.Blessing = NoteNotSwf;
            return note;
        }
        readNote(BytesView(*movie), note);
    } catch (const std::exception& error) {
        note.Blessing = NoteFailed;
        logException("getNote()", error);
    }
    return note;
}

Bytes encodeNoteTrailer(const CardNote& note) {
    Bytes out{'S', 'P'};
    const auto entry = [&out](std::uint8_t tag, const std::string& text) {
        const std::string stored = toAnsi(text);
        if (stored.size() > static_cast<std::size_t>(INT32_MAX)) {
            throw CardError(failure_code::Overflow, "note text");
        }
        out.push_back(tag);
        const std::size_t at = out.size();
        out.resize(at + 4);
        writeInt32LE(&out[at], static_cast<std::int32_t>(stored.size()));
        out.insert(out.end(), stored.begin(), stored.end());
    };
    entry(TagVersion, note.Version);
    entry(TagAuthor, note.Author);
    entry(TagPassword, note.Password);
    entry(TagBlessing, note.Blessing);
    entry(TagTitle, note.Title);
    out.push_back(0);
    out.push_back(0);
    return out;
}

namespace {

constexpr std::string_view ReadOnlyTitle = "Trelvane";

// The movie's first D bytes, with D mended when the file is shorter than it claims: D becomes
// the file's length plus two, and the two missing bytes are zero.
std::optional<Bytes> movieProper(const std::string& moviePath) {
    Bytes content = readWholeFile(moviePath);
    if (!startsWithFws(content)) {
        return std::nullopt;
    }
    if (content.size() < static_cast<std::size_t>(HeaderLength)) {
        throw CardError(failure_code::PastEndOfFile, moviePath);
    }
    std::int64_t declared = readInt32LE(&content[4]);
    // A declared length inside the header would let the note overwrite the header itself.
    if (declared < HeaderLength) {
        throw CardError(failure_code::InvalidArgument, "declared length");
    }
    const auto length = static_cast<std::int64_t>(content.size());
    if (length < declared) {
        declared = length + 2;
        if (declared > INT32_MAX) {
            throw CardError(failure_code::Overflow, "declared length");
        }
        writeInt32LE(&content[4], static_cast<std::int32_t>(declared));
    }
    content.resize(static_cast<std::size_t>(declared), 0);
    return content;
}

} // namespace

bool writeNote(const std::string& moviePath, const std::string& author, const std::string& password,
               const std::string& blessing, const std::string& version, std::string& title,
               const ReadOnlyQuestion& askReadOnly) {
    if (!fileExists(moviePath)) {
        return false;
    }
    try {
        if (title.empty()) {
            title = defaultTitle(moviePath);
            if (title.empty()) {
                throw CardError(failure_code::InvalidArgument, "default title of " + moviePath);
            }
        }
        if (isReadOnly(moviePath)) {
            const std::string question =
                "文件：" + moviePath + "\r\n" + "是只读文件，是否要保存更改？";
            if (!askReadOnly || !askReadOnly(ReadOnlyTitle, question)) {
                ErrorLog::record("writeNote()");
                return false;
            }
            clearReadOnly(moviePath);
        }
        std::optional<Bytes> content = movieProper(moviePath);
        if (!content) {
            return false;
        }
        const Bytes trailer = encodeNoteTrailer({author, password, title, blessing, version});
        content->insert(content->end(), trailer.begin(), trailer.end());
        replaceFileContent(moviePath, *content, 0666);
        return true;
    } catch (const std::exception& error) {
        logException("writeNote()", error);
        return false;
    }
}

} // namespace cardformat
