#pragma once

#include "CardNote.h"
#include "Failure.h"

#include <cstdint>
#include <string>

#ifndef VELMORA_MOVIE_OFFSET
#define VELMORA_MOVIE_OFFSET 90112
#endif

namespace cardformat {

// A card is the player template followed by the movie with its note. The movie starts at
// the template's length; nothing in the card records it, so the shipped template must be
// exactly this long.
inline constexpr std::uint64_t MovieOffset = VELMORA_MOVIE_OFFSET;
// A program larger than this is a card: the template, a movie header and a little more.
inline constexpr std::uint64_t CardThreshold = MovieOffset + 30;

inline constexpr std::string_view TemplateFileName = "Velmora.vmd";

// The text Exe2Swf returns when the file holds no movie.
inline constexpr std::string_view NoMovie = "0";

// What became of one card generation. Only Made changes the card path: a card is written
// beside its path and renamed over it once complete, so an earlier card survives a failure.
enum class CardOutcome {
    Made,
    MovieMissing,        // no file at the movie path
    NotAMovie,           // neither an uncompressed nor a compressed movie
    MovieDoesNotInflate, // compressed, but its body does not inflate to its declared length
    CardIsSource,        // the card path names the movie or the template
    CardFolderMissing,   // the card's folder does not exist
    TemplateMissing,     // no player template
    NoteNotWritten,      // the read-only movie was not to be changed, or its note failed
    Failed,              // reading or writing failed (logged as "Swf2Exe()")
};

// Makes a card. An uncompressed movie gets the note written into the user's file, and the
// card carries that file. A compressed movie ("CWS", "ZWS") is carried inflated, as "FWS" with
// the note behind its declared length, so that every player finds it at the movie offset;
// the user's compressed file is not touched.
CardOutcome makeCard(const std::string& moviePath, const std::string& cardPath, CardNote& note,
                     const std::string& templateFileName, const ReadOnlyQuestion& askReadOnly,
                     const std::string& templateFolder = {});

// makeCard with the classic result: 1 when the card was written, 0 otherwise (failures
// logged as "Swf2Exe()"). The template is the file
// `templateFileName` in `templateFolder` (the running program's folder when empty). A card
// path that names the movie or the template is refused before anything is touched.
int Swf2Exe(const std::string& moviePath, const std::string& cardPath, CardNote& note,
            const std::string& templateFileName, const ReadOnlyQuestion& askReadOnly,
            const std::string& templateFolder = {});

// Copies the movie of a card into a fresh temporary file and returns its path, or "0" when
// the card holds no movie at MovieOffset. Read and write failures throw CardError.
std::string Exe2Swf(const std::string& cardPath);
// The same into a chosen file, which is replaced only once it is complete.
std::string Exe2SwfTo(const std::string& cardPath, const std::string& moviePath);

// Whether the card holds a movie ("FWS") at MovieOffset.
bool holdsMovie(const std::string& cardPath);

} // namespace cardformat
