#pragma once

#include "CardNote.h"
#include "FileIO.h"

#include <cstdint>
#include <string>

namespace cardformat {

// Texts of the note reader's result when it could not read a note.
inline constexpr std::string_view NoteMissingFile = "找不到文件"; // followed by the path
inline constexpr std::string_view NoteNotSwf = "不是SWF文件";
inline constexpr std::string_view NoteFailed = "抱歉,发生错误!";

// The longest single text, and untagged trailer, the reader accepts.
inline constexpr std::int64_t NoteTextLimit = 32767;

// The part of a path behind its last separator; the whole path without one.
std::string getFileName(const std::string& path);

// "《" + the file name without its last extension + "》"; empty when the name has no ".".
std::string defaultTitle(const std::string& moviePath);

// Reads the note behind the movie's declared length. Never fails towards its caller: what
// went wrong is reported in Blessing, and failures are logged as "getNote()".
CardNote getNote(const std::string& moviePath);
// The same for a movie as the builder loads it: a compressed movie's note is read from its
// inflated bytes; one that does not inflate reads as no movie.
CardNote getMovieNote(const std::string& moviePath);
// The same for a movie that starts `offset` bytes into a file (a card), without copying it;
// the default title comes from `titlePath`.
CardNote getNoteAt(const std::string& path, std::uint64_t offset, const std::string& titlePath);

// Rewrites the movie with exactly one note behind its declared length. `title` is filled in
// with the default title when empty. The movie is replaced only once the new file is
// complete, so a failure at any point leaves it as it was; its permissions are kept.
bool writeNote(const std::string& moviePath, const std::string& author, const std::string& password,
               const std::string& blessing, const std::string& version, std::string& title,
               const ReadOnlyQuestion& askReadOnly);

// The trailer bytes for a note: "SP", the entries V, A, C, N, M, two zero bytes.
Bytes encodeNoteTrailer(const CardNote& note);

} // namespace cardformat
