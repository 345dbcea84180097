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
    // lives in the folder of the running executable unless a folder is given.
    static void configure(std::string fileName, std::string folder = {});
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

// Logs `error` under `procedureName` when it is a CardError, else as an unexpected failure.
void logException(std::string_view procedureName, const std::exception& error);

} // namespace cardformat
