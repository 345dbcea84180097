#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace cardformat {
struct FlashHeader;
struct CardNote;
} // namespace cardformat

namespace cardtool {

// An ordered list of named values, printed as "Name: value" lines or as one JSON object.
class Report {
  public:
    void add(std::string name, const std::string& text);
    void add(std::string name, std::int64_t number);
    void add(std::string name, bool value);
    // A measured quantity, written with `decimals` digits after the point.
    void addDecimal(std::string name, double value, int decimals);
    void add(std::string name, Report nested);

    void printLines(std::ostream& out, const std::string& indent = "") const;
    void printJson(std::ostream& out) const;
    void print(std::ostream& out, bool json) const { json ? printJson(out) : printLines(out); }

  private:
    struct Entry {
        std::string name;
        std::string json;  // the value as JSON
        std::string plain; // the value as a line
        std::vector<Entry> nested;
        bool isNested = false;
    };
    std::vector<Entry> entries_;
    static void printJsonEntries(std::ostream& out, const std::vector<Entry>& entries);
    static void printLineEntries(std::ostream& out, const std::vector<Entry>& entries,
                                 const std::string& indent);
};

Report headerReport(const cardformat::FlashHeader& header);
Report noteReport(const cardformat::CardNote& note);

std::string jsonQuote(const std::string& text);

} // namespace cardtool
