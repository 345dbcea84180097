#include "ErrorLog.h"

#include "FileIO.h"
#include "Platform.h"
#include "TextCodec.h"

#include <ctime>
#include <fcntl.h>
#include <locale.h>
#include <mutex>
#include <new>
#include <unistd.h>

namespace cardformat {
namespace {

std::mutex logMutex;
std::string logPath;

} // namespace

namespace {

std::string programFolder() {
    try {
        return ownFolder();
    } catch (const CardError&) {
        return std::string(1, '.');
    }
}

} // namespace

void ErrorLog::configure(std::string fileName, std::string folder) {
    const std::string where = folder.empty() ? programFolder() : std::move(folder);
    const std::lock_guard lock(logMutex);
    logPath = fileBeside(where, fileName);
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
    const std::string target = path();
    if (target.empty()) {
        return;
    }
    const std::string text = formatRecord(shortDate(), procedureName, failure);
    // One write of the whole record on an O_APPEND descriptor: a record is never interleaved
    // with another program's, and is complete on disk when we return.
    const UniqueFd fd(::open(target.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
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
