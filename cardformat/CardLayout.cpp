#include "CardLayout.h"

#include "ErrorLog.h"
#include "FileIO.h"
#include "MovieBody.h"
#include "NoteTrailer.h"
#include "Platform.h"
#include "RemovalOnExit.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace cardformat {
namespace {

constexpr std::uint32_t ExecutableMode = 0777;

// How much of a card's tail the player copies: the declared length and the longest note
// behind it, never more than there is; 0 for a movie the renderer would not read whole.
std::uint64_t playableCopyLength(const Bytes& movieStart, std::uint64_t available) {
    if (movieStart.size() < 8) {
        return available; // a movie of fewer than 8 bytes: what there is
    }
    const auto declared = static_cast<std::uint32_t>(readInt32LE(&movieStart[4]));
    if (declared > MaxPlayableMovieBytes) {
        return 0;
    }
    return std::min<std::uint64_t>(available, std::uint64_t{declared} + MaxNoteTrailerBytes);
}

} // namespace

namespace {

bool folderExists(const std::string& path) {
    // The folder the system will write into: a "\\" is part of a name here.
    const std::string folder = nativeFolderOf(path);
    struct stat st {};
    return folder.empty() || (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

void writeCardFile(const std::string& cardPath, const InputFile& player, const Bytes& movie) {
    ReplacementFile card(cardPath, modeAfterUmask(ExecutableMode));
    card.copyFrom(player, 0, player.size());
    card.write(movie);
    card.commit();
}

} // namespace

CardOutcome makeCard(const std::string& moviePath, const std::string& cardPath, CardNote& note,
                     const std::string& templateFileName, const ReadOnlyQuestion& askReadOnly,
                     const std::string& templateFolder) {
    if (!fileExists(moviePath)) {
        return CardOutcome::MovieMissing;
    }
    try {
        const std::string templatePath =
            fileBeside(templateFolder.empty() ? ownFolder() : templateFolder, templateFileName);
        if (!fileExists(templatePath)) {
            ErrorLog::record("Swf2Exe()",
                             CardError(failure_code::FileNotFound, templatePath).failure());
            return CardOutcome::TemplateMissing;
        }
        // Writing the card would destroy the movie or the template it names.
        if (sameFile(cardPath, moviePath) || sameFile(cardPath, templatePath)) {
            ErrorLog::record("Swf2Exe()",
                             CardError(failure_code::PathFileAccess, cardPath).failure());
            return CardOutcome::CardIsSource;
        }
        if (!folderExists(cardPath)) {
            return CardOutcome::CardFolderMissing;
        }
        const InputFile player(templatePath);
        if (player.size() == 0) {
            throw CardError(failure_code::PastEndOfFile, "empty template");
        }
        const Bytes movieFile = readWholeFile(moviePath);
        const MovieStorage storage = storageOf(movieFile);
        if (storage == MovieStorage::NotAMovie) {
            return CardOutcome::NotAMovie;
        }
        if (storage != MovieStorage::Uncompressed) {
            std::optional<Bytes> movie = inflatedMovie(movieFile);
            if (!movie) {
                return CardOutcome::MovieDoesNotInflate;
            }
            // Only the card's copy carries the note: the user's file stays as it is.
            // Whatever the stream held behind the declared length gives way to the new note.
            movie->resize(static_cast<std::uint32_t>(readInt32LE(&(*movie)[4])));
            if (note.Title.empty()) {
                note.Title = defaultTitle(moviePath);
            }
            const Bytes trailer = encodeNoteTrailer(note);
            movie->insert(movie->end(), trailer.begin(), trailer.end());
            writeCardFile(cardPath, player, *movie);
            return CardOutcome::Made;
        }
        if (!writeNote(moviePath, note.Author, note.Password, note.Blessing, note.Version,
                       note.Title, askReadOnly)) {
            return CardOutcome::NoteNotWritten;
        }
        const Bytes movie = readWholeFile(moviePath);
        if (movie.empty()) {
            throw CardError(failure_code::PastEndOfFile, "empty movie");
        }
        writeCardFile(cardPath, player, movie);
        return CardOutcome::Made;
    } catch (const std::exception& error) {
        logException("Swf2Exe()", error);
        return CardOutcome::Failed;
    }
}

int Swf2Exe(const std::string& moviePath, const std::string& cardPath, CardNote& note,
            const std::string& templateFileName, const ReadOnlyQuestion& askReadOnly,
            const std::string& templateFolder) {
    return makeCard(moviePath, cardPath, note, templateFileName, askReadOnly, templateFolder) ==
                   CardOutcome::Made
               ? 1
               : 0;
}

bool holdsMovie(const std::string& cardPath) {
    const InputFile card(cardPath);
    const Bytes signature = card.readUpTo(MovieOffset, 3);
    return signature.size() == 3 && std::memcmp(signature.data(), "FWS", 3) == 0;
}

std::string Exe2Swf(const std::string& cardPath) {
    const InputFile card(cardPath);
    const Bytes start = card.readUpTo(MovieOffset, 8);
    const std::uint64_t length = start.size() >= 3 && std::memcmp(start.data(), "FWS", 3) == 0
                                     ? playableCopyLength(start, card.size() - MovieOffset)
                                     : 0;
    if (length == 0) {
        return std::string(NoMovie);
    }
    return writeRunningCopy([&card, length](int fd, const std::string& context) {
        copyRange(card, MovieOffset, length, fd, context);
    });
}

std::string Exe2SwfTo(const std::string& cardPath, const std::string& moviePath) {
    const InputFile card(cardPath);
    if (!holdsMovie(cardPath)) {
        return std::string(NoMovie);
    }
    // Writing the movie over its own card would leave the movie and lose the card.
    if (!moviePath.empty() && sameFile(cardPath, moviePath)) {
        throw CardError(failure_code::PathFileAccess, "the output is the card itself");
    }
    // Without a chosen file, a fresh one in the temporary folder, kept: removed only when
    // the copy is interrupted.
    std::string target = // not const, so that returning it moves
        moviePath.empty() ? createTemporaryFile(TemporaryUse::Kept).path : moviePath;
    const WatchedPath unfinished(moviePath.empty() ? target : std::string());
    try {
        ReplacementFile out(target, modeAfterUmask(moviePath.empty() ? 0600 : 0666));
        out.copyFrom(card, MovieOffset, card.size() - MovieOffset);
        out.commit();
    } catch (...) {
        if (moviePath.empty()) {
            ::unlink(target.c_str());
        }
        throw;
    }
    return target;
}

} // namespace cardformat
