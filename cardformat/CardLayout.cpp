#include "CardLayout.h"

#include "ErrorLog.h"
#include "FileIO.h"
#include "NoteTrailer.h"
#include "Platform.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace cardformat {
namespace {

constexpr std::uint32_t ExecutableMode = 0777;

} // namespace

int Swf2Exe(const std::string& moviePath, const std::string& cardPath, CardNote& note,
            const std::string& templateFileName, const ReadOnlyQuestion& askReadOnly,
            const std::string& templateFolder) {
    if (!fileExists(moviePath)) {
        return 0;
    }
    try {
        const std::string templatePath =
            fileBeside(templateFolder.empty() ? ownFolder() : templateFolder, templateFileName);
        // Deleting the card path first would destroy the movie or the template it names.
        if (sameFile(cardPath, moviePath) || sameFile(cardPath, templatePath)) {
            throw CardError(failure_code::PathFileAccess, "card path names its own source");
        }
        if (fileExists(cardPath) && ::unlink(cardPath.c_str()) != 0) {
            throwSystemError(errno, "delete " + cardPath);
        }
        if (!writeNote(moviePath, note.Author, note.Password, note.Blessing, note.Version,
                       note.Title, askReadOnly)) {
            return 0;
        }
        const InputFile movie(moviePath);
        const InputFile player(templatePath);
        if (movie.size() == 0 || player.size() == 0) {
            throw CardError(failure_code::PastEndOfFile, "empty movie or template");
        }
        ReplacementFile card(cardPath, modeAfterUmask(ExecutableMode));
        card.copyFrom(player, 0, player.size());
        card.copyFrom(movie, 0, movie.size());
        card.commit();
        return 1;
    } catch (const std::exception& error) {
        logException("Swf2Exe()", error);
        return 0;
    }
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
