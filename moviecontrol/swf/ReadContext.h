#pragma once
// State shared by the tag readers while one movie loads: its version and the work budget
// that keeps hostile record counts from turning into unbounded memory.

#include "swf/Movie.h"

#include <cstddef>
#include <cstdint>

namespace swf {

struct ReadContext {
    std::uint8_t swfVersion = 0;
    LoadLimits limits;
    std::size_t recordsLeft = 0; // Movie-wide shape record budget.
    // Set by a reader that met an undecodable value and stopped its record list.
    bool invalid = false;
    // Set by a reader that stopped because a work limit was reached.
    bool limitHit = false;

    // Takes one record from the budgets; false (and limitHit) when either is spent.
    bool takeRecord(std::size_t& recordsInThisList) {
        if (recordsLeft == 0 || recordsInThisList >= limits.maxRecordsPerShape) {
            limitHit = true;
            return false;
        }
        --recordsLeft;
        ++recordsInThisList;
        return true;
    }
};

} // namespace swf
