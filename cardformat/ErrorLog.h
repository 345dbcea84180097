#pragma once

#include "Failure.h"

#include <string>
#include <string_view>

namespace cardformat {

// The small text log beside each program: records accumulate over all runs, each one
//   <short date><name> 发生错误： CR LF TAB <number><description> CR LF
// in GB18030. Nothing in the system reads it; it is for people looking into a failure.
class ErrorLog {
  public:
    // Each program names its log once at start ("Trelvane.log", "Velmora.log"); the log
    // lives in the given folder, or when none is given where configureBesideProgram puts it
    // for the running executable.
    static void configure(const std::string& fileName, const std::string& folder = {});
    // The log beside the program in `programFolder` (the running executable's folder when
    // empty) when that folder can be written, else in the user's state folder (an installed
    // program's folder belongs to the system).
    static void configureBesideProgram(const std::string& fileName,
                                       const std::string& programFolder = {});
    // Where records go now; empty before configure().
    static std::string path();

    // Appends one record. A log that cannot be written is silently skipped: logging must
    // never turn a handled failure into a new one.
    static void record(std::string_view procedureName, const Failure& failure = {});

    // The record's text as stored, for a given date text.
    static std::string formatRecord(std::string_view date, std::string_view procedureName,
                                    const Failure& failure);
    // A log's stored bytes as UTF-8 text with bare line feeds, for people to read.
    static std::string readable(std::string_view stored);

    // Today in the locale's short date format.
    static std::string shortDate();
};

// The folder of a program's log: the program's own folder when it can be written; else
// `stateHome`/velmora when `stateHome` is an absolute path, else `home`/.local/state/velmora;
// the program's folder when there is neither.
std::string logFolder(std::string_view programFolder, bool programFolderWritable,
                      const char* stateHome, const char* home);

// Logs `error` under `procedureName` when it is a CardError, else as an unexpected failure.
void logException(std::string_view procedureName, const std::exception& error);

} // namespace cardformat
