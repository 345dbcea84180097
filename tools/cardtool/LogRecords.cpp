#include "LogRecords.h"

#include <vector>

namespace cardtool {
namespace {

constexpr std::string_view HeadingEnd = " 发生错误：";

bool isNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '(' || c == ')';
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The date and the function of a heading; false when the line is no heading.
bool splitHeading(std::string_view line, std::string_view& date, std::string_view& function) {
    const std::size_t end = line.rfind(HeadingEnd);
    if (end == std::string_view::npos) {
        return false;
    }
    // The date is the locale's and may hold letters (a month's name): the function is the
    // last run of name characters, from its first letter.
    std::size_t start = end;
    while (start > 0 && isNameCharacter(line[start - 1])) {
        --start;
    }
    while (start < end && !isLetter(line[start])) {
        ++start;
    }
    if (start == end) {
        return false;
    }
    date = line.substr(0, start);
    function = line.substr(start, end - start);
    while (!date.empty() && date.back() == ' ') {
        date.remove_suffix(1);
    }
    return true;
}

// "53文件未找到" as "53 文件未找到".
std::string failureText(std::string_view line) {
    while (!line.empty() && (line.front() == '\t' || line.front() == ' ')) {
        line.remove_prefix(1);
    }
    std::size_t digits = line.empty() || line.front() != '-' ? 0 : 1;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') {
        ++digits;
    }
    if (digits == 0 || digits == line.size()) {
        return std::string(line);
    }
    return std::string(line.substr(0, digits)) + " " + std::string(line.substr(digits));
}

} // namespace

std::string logRecordLines(std::string_view readableLog) {
    const std::vector<std::string_view> lines = splitLines(readableLog);
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view date;
        std::string_view function;
        if (!splitHeading(lines[i], date, function)) {
            if (!lines[i].empty()) {
                out.append(lines[i]).append("\n");
            }
            continue;
        }
        out.append(date.empty() ? "?" : date).append("  ").append(function);
        // The failure is the next line when it is indented; a heading cut off has none.
        if (i + 1 < lines.size() && !lines[i + 1].empty() && lines[i + 1].front() == '\t') {
            out.append("  ").append(failureText(lines[i + 1]));
            ++i;
        }
        out.append("\n");
    }
    return out;
}

} // namespace cardtool
