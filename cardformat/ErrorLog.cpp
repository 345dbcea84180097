#include "ErrorLog.h"

#include "FileIO.h"
#include "Platform.h"
#include "TextCodec.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <locale.h>
#include <mutex>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace cardformat {
namespace {

std::mutex logMutex;
std::string logPath;
// The user's state folder for the log, made when the first record is written.
std::string stateFolderToMake;

} // namespace

namespace {

std::string programFolder() {
    try {
        return ownFolder();
    } catch (const CardError&) {
        return std::string(1, '.');
    }
}

// Makes `folder` and the folders above it that are missing, private to the user.
void makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    }
    ::mkdir(folder.c_str(), 0700);
}

} // namespace

std::string logFolder(std::string_view programFolder, bool programFolderWritable,
                      const char* stateHome, const char* home) {
    if (programFolderWritable) {
        return std::string(programFolder);
    }
    // A relative state folder is to be ignored, as for every other program of the desktop.
    if (stateHome != nullptr && stateHome[0] == '/') {
        return fileBeside(stateHome, "velmora");
    }
    if (home != nullptr && home[0] == '/') {
        return fileBeside(fileBeside(home, ".local/state"), "velmora");
    }
    return std::string(programFolder);
}

void ErrorLog::configure(const std::string& fileName, const std::string& folder) {
    if (folder.empty()) {
        configureBesideProgram(fileName);
        return;
    }
    const std::lock_guard lock(logMutex);
    logPath = fileBeside(folder, fileName);
    stateFolderToMake.clear();
}

void ErrorLog::configureBesideProgram(const std::string& fileName,
                                      const std::string& folderOfProgram) {
    const std::string own = folderOfProgram.empty() ? programFolder() : folderOfProgram;
    // The effective user, as the log file will be opened.
    const bool writable = ::faccessat(AT_FDCWD, own.c_str(), W_OK, AT_EACCESS) == 0;
    const std::string folder =
        logFolder(own, writable, std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    const std::lock_guard lock(logMutex);
    logPath = fileBeside(folder, fileName);
    stateFolderToMake = folder == own ? std::string() : folder;
}

std::string ErrorLog::path() {
    const std::lock_guard lock(logMutex);
    return logPath;
}

std::string ErrorLog::shortDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[64] = {};
    locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) {
        loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    }
    strftime_l(buffer, sizeof buffer, "%x", &local, loc);
    freelocale(loc);
    return buffer;
}

std::string ErrorLog::formatRecord(std::string_view date, std::string_view procedureName,
                                   const Failure& failure) {
    std::string text;
    text.append(date).append(procedureName).append(" 发生错误： \r\n\t");
    text.append(std::to_string(failure.number)).append(failure.description).append("\r\n");
    return toAnsi(text);
}

std::string ErrorLog::readable(std::string_view stored) {
    const std::string text = fromAnsi(stored);
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        lines += text[i];
    }
    return lines;
}

void ErrorLog::record(std::string_view procedureName, const Failure& failure) {
    std::string target;
    {
        const std::lock_guard lock(logMutex);
        target = logPath;
        if (!stateFolderToMake.empty()) {
            makeFolders(stateFolderToMake);
        }
    }
    if (target.empty()) {
        return;
    }
    const std::string text = formatRecord(shortDate(), procedureName, failure);
    // One write of the whole record on an O_APPEND descriptor: a record is never interleaved
    // with another program's, and is complete on disk when we return.
    // The log sits beside a card that came from someone else, with whatever came with it: a
    // link is never followed (it could point at any file the user can write), and a pipe or
    // a device is neither waited for nor written to.
    const UniqueFd fd(::open(
        target.c_str(),
        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0666));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return;
    }
    try {
        writeAll(fd.get(), reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), target);
    } catch (const CardError&) {
        // nothing more can be done about a log that cannot be written
    }
}

void logException(std::string_view procedureName, const std::exception& error) {
    if (const auto* card = dynamic_cast<const CardError*>(&error)) {
        ErrorLog::record(procedureName, card->failure());
    } else if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        ErrorLog::record(procedureName,
                         {failure_code::OutOfMemory, describeFailure(failure_code::OutOfMemory)});
    } else {
        ErrorLog::record(procedureName, {failure_code::InvalidArgument,
                                         describeFailure(failure_code::InvalidArgument)});
    }
}

} // namespace cardformat
