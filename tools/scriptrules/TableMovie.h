#pragma once

#include "Table.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace scriptrules {

struct TableMovie {
    std::vector<uint8_t> bytes;
    // Lines the version lacks an action for, or that do not parse, with the reason.
    std::vector<std::string> skipped;
    // The text of each traced line, in order, to split the output line by line.
    std::vector<std::string> traced;
    // Files to write beside the movie (a clip table's `file` and `movie` lines), by name.
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
};

// One movie of one frame running every line of the table for `version`: each traced line
// traces its own text, then its value.
TableMovie buildTableMovie(const Table& table, uint8_t version);

} // namespace scriptrules
