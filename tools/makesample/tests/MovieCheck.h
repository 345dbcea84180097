#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace makesample::testing {

// What the tests look at in a whole movie: header fields and the main timeline's tags,
// read with the few lines of parsing these checks need.
struct TopTag {
    uint16_t code = 0;
    std::size_t offset = 0; // of the body
    std::size_t length = 0;
};

struct MovieSummary {
    char signature[3] = {};
    uint8_t version = 0;
    uint32_t declaredLength = 0;
    std::vector<uint8_t> frameRect; // the stage rectangle's bytes
    uint16_t frameRate = 0;         // 8.8
    uint16_t frameCount = 0;
    std::vector<TopTag> tags;
    bool endsCleanly = false; // the last tag is End and finishes the file
};

std::optional<MovieSummary> summarize(const std::vector<uint8_t>& movie);

} // namespace makesample::testing
