#include "CardCommands.h"

#include "Arguments.h"
#include "LogRecords.h"
#include "Report.h"

#include "cardformat/CardLayout.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/FileIO.h"
#include "cardformat/GenerationNote.h"
#include "cardformat/MovieBody.h"
#include "cardformat/MovieCompleteness.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/Platform.h"
#include "cardformat/SwfHeader.h"
#include "cardformat/TextCodec.h"

#include <clocale>
#include <iostream>
#include <langinfo.h>
#include <unistd.h>

namespace cardtool {
namespace {

using namespace cardformat;

// The read-only question: --yes answers it; otherwise it is asked on a terminal, and
// answered No when there is none.
ReadOnlyQuestion readOnlyQuestion(bool yes) {
    return [yes](std::string_view title, std::string_view text) {
        if (yes) {
            return true;
        }
        if (::isatty(STDIN_FILENO) == 0) {
            std::cerr << title << ": " << text << "\n(no terminal to ask: answered No)\n";
            return false;
        }
        std::cerr << title << ": " << text << " [y/N] " << std::flush;
        std::string answer;
        std::getline(std::cin, answer);
        return answer == "y" || answer == "Y" || answer == "yes";
    };
}

std::string outcomeText(CardOutcome outcome) {
    switch (outcome) {
    case CardOutcome::Made:
        return "made";
    case CardOutcome::MovieMissing:
        return "no movie at that path";
    case CardOutcome::NotAMovie:
        return "the file is no SWF movie";
    case CardOutcome::MovieDoesNotInflate:
        return "the compressed movie does not inflate to its declared length";
    case CardOutcome::CardIsSource:
        return "the card path names the movie or the template";
    case CardOutcome::CardFolderMissing:
        return "the card's folder does not exist";
    case CardOutcome::TemplateMissing:
        return "no player template";
    case CardOutcome::NoteNotWritten:
        return "the note was not written into the movie";
    case CardOutcome::Failed:
        break;
    }
    return "reading or writing failed (see " + ErrorLog::path() + ")";
}

// The reason of a failure in the words of cardtool's other messages; the log keeps the
// program's own Chinese descriptions.
std::string systemReason(const CardError& error) {
    using namespace failure_code;
    switch (error.number()) {
    case FileNotFound:
        return "no such file";
    case PathNotFound:
        return "no such folder";
    case PermissionDenied:
    case PathFileAccess:
        return "permission denied, or the path is no file";
    case DiskFull:
        return "the disk is full";
    case DeviceIo:
        return "input/output error";
    case PastEndOfFile:
        return "the file ends early";
    case OutOfMemory:
        return "out of memory";
    case Overflow:
        return "a length is out of range";
    default:
        return "failure " + std::to_string(error.number());
    }
}

// The encoding the terminal (the locale) expects.
std::string terminalEncoding() {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = ::nl_langinfo(CODESET);
    return codeset != nullptr && *codeset != '\0' ? codeset : "UTF-8";
}

std::string readTextFile(const std::string& path) {
    try {
        const Bytes bytes = readWholeFile(path);
        return std::string(bytes.begin(), bytes.end());
    } catch (const CardError& error) {
        throw UsageError("cannot read " + path + ": " + systemReason(error));
    }
}

// For a compressed movie, which the header and note readers (as a card's player reads its
// movie) do not read: what it is, and what a card made from it carries.
void explainCompressedMovie(const std::string& path, bool note) {
    MovieStorage storage = MovieStorage::NotAMovie;
    try {
        storage = storageOf(InputFile(path).readUpTo(0, 8));
    } catch (const CardError&) {
        return;
    }
    if (storage != MovieStorage::Zlib && storage != MovieStorage::Lzma) {
        return;
    }
    std::cerr << "cardtool: " << path << " is a compressed movie ("
              << (storage == MovieStorage::Zlib ? "CWS, zlib" : "ZWS, LZMA")
              << "); the values above are what a reader of uncompressed movies sees.\n";
    const PlayedHeader played = getPlayedHeader(path);
    if (played.header.Status != header_status::Read) {
        std::cerr << "cardtool: it does not inflate to a whole movie, so no card can be made "
                     "from it.\n";
        return;
    }
    std::cerr << "cardtool: a card made from it carries the movie uncompressed: "
              << played.header.Width << " x " << played.header.Height << " pixels, "
              << played.header.FrameCount << " frames, " << played.header.FileLength << " bytes";
    if (note) {
        const CardNote inside = getMovieNote(path);
        std::cerr << ", with the note that make writes (the movie's own blessing now: \""
                  << inside.Blessing << "\")";
    }
    std::cerr << ".\n";
}

} // namespace

int headerCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {}, {"json"});
    args.expectPositionals(1);
    const FlashHeader header = getFlashHeader(args.positional(0, "MOVIE"));
    headerReport(header).print(std::cout, args.flag("json"));
    std::cout.flush();
    if (header.Status == header_status::NotFlash) {
        explainCompressedMovie(args.positional(0, "MOVIE"), false);
    }
    return header.Status == header_status::Read ? 0 : 1;
}

int noteCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {}, {"json"});
    args.expectPositionals(1);
    const CardNote note = getNote(args.positional(0, "MOVIE"));
    noteReport(note).print(std::cout, args.flag("json"));
    std::cout.flush();
    if (note.Blessing == NoteNotSwf) {
        explainCompressedMovie(args.positional(0, "MOVIE"), true);
    }
    return 0;
}

int writeNoteCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {"author", "password", "blessing", "version", "title"}, {"yes"});
    args.expectPositionals(1);
    const auto text = [&](const char* name) { return args.option(name).value_or(""); };
    std::string title = text("title");
    const bool written =
        writeNote(args.positional(0, "MOVIE"), text("author"), text("password"), text("blessing"),
                  text("version"), title, readOnlyQuestion(args.flag("yes")));
    if (!written) {
        std::cerr << "cardtool: the note was not written\n";
        return 1;
    }
    std::cout << title << '\n';
    return 0;
}

int makeCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {"blessing", "blessing-file", "password", "template"}, {"yes"});
    args.expectPositionals(2);
    const std::string& movie = args.positional(0, "MOVIE");
    const std::string& card = args.positional(1, "CARD");
    if (args.option("blessing") && args.option("blessing-file")) {
        throw UsageError("give --blessing or --blessing-file, not both");
    }
    const std::string blessing = args.option("blessing-file")
                                     ? readTextFile(*args.option("blessing-file"))
                                     : args.option("blessing").value_or("");
    CardNote note = makeGenerationNote(args.option("password").value_or(""), blessing);
    if (fileExists(card) && !args.flag("yes")) {
        std::cerr << "cardtool: " << card << " exists; give --yes to replace it\n";
        return 1;
    }

    std::string folder;
    std::string name(TemplateFileName);
    if (const auto given = args.option("template")) {
        folder = nativeFolderOf(*given).empty() ? "." : nativeFolderOf(*given);
        name = nativeFileName(*given);
    }
    const CardOutcome outcome =
        makeCard(movie, card, note, name, readOnlyQuestion(args.flag("yes")), folder);
    if (outcome != CardOutcome::Made) {
        std::cerr << "cardtool: the card was not made: " << outcomeText(outcome) << '\n';
        return 1;
    }
    std::cout << card << '\n';
    return 0;
}

// NAME.swf beside the card: the card's name without its extension.
std::string movieBesideCard(const std::string& card) {
    std::string name = nativeFileName(card);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    const std::string folder = nativeFolderOf(card);
    return (folder.empty() ? std::string() : folder + "/") + name + ".swf";
}

int extractCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {"out"}, {"yes"});
    args.expectPositionals(1);
    const std::string& card = args.positional(0, "CARD");
    const std::string out = args.option("out").value_or(movieBesideCard(card));
    if (fileExists(out) && sameFile(card, out)) {
        std::cerr << "cardtool: " << out << " is the card itself; choose another --out\n";
        return 1;
    }
    if (fileExists(out) && !args.flag("yes")) {
        std::cerr << "cardtool: " << out << " exists; give --yes to replace it, or --out FILE\n";
        return 1;
    }
    std::string extracted;
    try {
        extracted = Exe2SwfTo(card, out);
    } catch (const CardError& error) {
        std::cerr << "cardtool: cannot extract the movie of " << card << " to " << out << ": "
                  << systemReason(error) << '\n';
        return 1;
    }
    if (extracted == NoMovie) {
        std::cerr << "cardtool: " << card << " holds no movie at offset " << MovieOffset << '\n';
        return 1;
    }
    std::cout << extracted << '\n';
    return 0;
}

int infoCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {}, {"json"});
    args.expectPositionals(1);
    const std::string& card = args.positional(0, "CARD");
    Report report;
    bool movieInside = false;
    MovieCompleteness completeness;
    try {
        const InputFile file(card);
        movieInside = holdsMovie(card);
        if (movieInside) {
            completeness = movieCompleteness(card, MovieOffset);
        }
        report.add("Card",
                   file.size() > CardThreshold && movieInside && completeness.missing() == 0);
        report.add("Length", static_cast<std::int64_t>(file.size()));
        report.add("MovieOffset", static_cast<std::int64_t>(MovieOffset));
        if (movieInside) {
            report.add("MovieLength", static_cast<std::int64_t>(file.size() - MovieOffset));
            if (completeness.missing() > 0) {
                report.add("MissingBytes", static_cast<std::int64_t>(completeness.missing()));
            }
            report.add("Header", headerReport(getFlashHeaderAt(card, MovieOffset)));
            report.add("Note", noteReport(getNoteAt(card, MovieOffset, card)));
        }
    } catch (const CardError& error) {
        std::cerr << "cardtool: cannot read " << card << ": " << systemReason(error) << '\n';
        return 1;
    }
    report.print(std::cout, args.flag("json"));
    std::cout.flush();
    if (completeness.missing() > 0) {
        std::cerr << "cardtool: " << card << " is damaged: its movie declares "
                  << completeness.declared << " bytes but only " << completeness.present
                  << " are there; the last " << completeness.missing()
                  << " bytes are missing (the card was cut short, as by a broken download)\n";
        return 1;
    }
    if (!movieInside) {
        std::cerr << "cardtool: " << card << " holds no movie at offset " << MovieOffset << '\n';
    }
    return movieInside ? 0 : 1;
}

int logCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {"program"}, {});
    args.expectPositionals(0);
    // The builder and cardtool share one log; the player keeps its own.
    const std::string program = args.option("program").value_or("Quenfold");
    if (program != "Quenfold" && program != "Velmora") {
        throw UsageError("--program is Velmora or Quenfold");
    }
    ErrorLog::configure(program == "Velmora" ? "Velmora.log" : "Trelvane.log");
    const std::string log = ErrorLog::path();
    if (!fileExists(log)) {
        std::cerr << "cardtool: no log at " << log << " (nothing has gone wrong)\n";
        return 0;
    }
    try {
        const Bytes stored = readWholeFile(log);
        const std::string text = ErrorLog::readable(
            std::string_view(reinterpret_cast<const char*>(stored.data()), stored.size()));
        std::cout << toEncoding(logRecordLines(text), terminalEncoding());
    } catch (const CardError& error) {
        std::cerr << "cardtool: cannot read " << log << ": " << systemReason(error) << '\n';
        return 1;
    }
    return 0;
}

} // namespace cardtool
