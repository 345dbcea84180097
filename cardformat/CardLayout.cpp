#include "CardLayout.h"

#include "ErrorLog.h"
#include "FileIO.h"
#include "MovieBody.h"
#include "NoteTrailer.h"
#include "Platform.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace cardformat {
namespace {

constexpr std::uint32_t ExecutableMode = 0777;

} // namespace

namespace {

bool folderExists(const std::string& path) {
    const std::string folder = folderOf(path);
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
    if (!holdsMovie(cardPath)) {
        return std::string(NoMovie);
    }
    TemporaryFile target = createTemporaryFile();
    try {
        copyRange(card, MovieOffset, card.size() - MovieOffset, target.fd.get(), target.path);
        target.fd.close(target.path);
    } catch (...) {
        target.fd.reset();
        ::unlink(target.path.c_str());
        throw;
    }
    return target.path;
}

std::string Exe2SwfTo(const std::string& cardPath, const std::string& moviePath) {
    const InputFile card(cardPath);
    if (!holdsMovie(cardPath)) {
        return std::string(NoMovie);
    }
    ReplacementFile out(moviePath, modeAfterUmask(0666));
    out.copyFrom(card, MovieOffset, card.size() - MovieOffset);
    out.commit();
    return moviePath;
}

} // namespace cardformat
