#include "Report.h"

#include "cardformat/CardNote.h"
#include "cardformat/SwfHeader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace cardtool {

std::string jsonQuote(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

void Report::add(std::string name, const std::string& text) {
    entries_.push_back({std::move(name), jsonQuote(text), text, {}, false});
}

void Report::add(std::string name, std::int64_t number) {
    entries_.push_back(
        {std::move(name), std::to_string(number), std::to_string(number), {}, false});
}

void Report::add(std::string name, bool value) {
    entries_.push_back(
        {std::move(name), value ? "true" : "false", value ? "yes" : "no", {}, false});
}

void Report::addDecimal(std::string name, double value, int decimals) {
    // JSON has no infinities or NaN; a quantity that is not finite is written as null.
    if (!std::isfinite(value)) {
        entries_.push_back({std::move(name), "null", "unknown", {}, false});
        return;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(decimals, 0, 6), value);
    entries_.push_back({std::move(name), buffer, buffer, {}, false});
}

void Report::add(std::string name, Report nested) {
    entries_.push_back({std::move(name), {}, {}, std::move(nested.entries_), true});
}

void Report::printJsonEntries(std::ostream& out, const std::vector<Entry>& entries) {
    out << '{';
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out << (i ? ", " : "") << jsonQuote(entries[i].name) << ": ";
        if (entries[i].isNested) {
            printJsonEntries(out, entries[i].nested);
        } else {
            out << entries[i].json;
        }
    }
    out << '}';
}

void Report::printLineEntries(std::ostream& out, const std::vector<Entry>& entries,
                              const std::string& indent) {
    for (const Entry& e : entries) {
        if (e.isNested) {
            out << indent << e.name << ":\n";
            printLineEntries(out, e.nested, indent + "  ");
        } else {
            out << indent << e.name << ": " << e.plain << '\n';
        }
    }
}

void Report::printJson(std::ostream& out) const {
    printJsonEntries(out, entries_);
    out << '\n';
}

void Report::printLines(std::ostream& out, const std::string& indent) const {
    printLineEntries(out, entries_, indent);
}

Report headerReport(const cardformat::FlashHeader& h) {
    Report r;
    r.add("Status", std::int64_t{h.Status});
    r.add("Height", std::int64_t{h.Height});
    r.add("Width", std::int64_t{h.Width});
    r.add("BackRed", std::int64_t{h.BackRed});
    r.add("BackGreen", std::int64_t{h.BackGreen});
    r.add("BackBlue", std::int64_t{h.BackBlue});
    r.add("FrameCount", std::int64_t{h.FrameCount});
    r.add("FileLength", std::int64_t{h.FileLength});
    r.add("FrameRate", std::int64_t{h.FrameRate});
    r.add("MovieVersion", std::int64_t{h.MovieVersion});
    return r;
}

Report noteReport(const cardformat::CardNote& n) {
    Report r;
    r.add("Author", n.Author);
    r.add("Password", n.Password);
    r.add("Title", n.Title);
    r.add("Blessing", n.Blessing);
    r.add("Version", n.Version);
    return r;
}

} // namespace cardtool
