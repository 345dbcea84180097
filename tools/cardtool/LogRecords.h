#pragma once

#include <string>
#include <string_view>

namespace cardtool {

// The error log as a person reads it: each record on one line, "DATE  FUNCTION  NUMBER
// DESCRIPTION". The log keeps a record as a heading ("DATE" directly followed by the
// function's name and " 发生错误： ") and an indented line with the failure; lines that are
// no such record are kept as they are.
std::string logRecordLines(std::string_view readableLog);

} // namespace cardtool
