#pragma once

#include "composer/Composition.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace composer {

struct ComposedMovie {
    std::vector<uint8_t> swf;
    std::vector<std::string> notices; // what was changed, for the person
    int frames = 0;
    bool musicReencoded = false;
};

// Called with the share done (0..1) as the work goes; returning false cancels the
// composition (composeMovie then throws ComposeCancelled).
using ComposeProgress = std::function<bool(double)>;

class ComposeCancelled : public std::exception {
  public:
    const char* what() const noexcept override { return "cancelled"; }
};

// Makes the movie: checks the choices, reads the photos at the size they are shown and the
// song, and writes an uncompressed movie of version 10. The same inputs give the same bytes.
// Needs a QGuiApplication (fonts). Throws ComposeError with a message for the person.
ComposedMovie composeMovie(const Composition& composition, const ComposeProgress& progress = {});

// Writes `bytes` beside `target` under a temporary name and renames it over `target`, so a
// full disk or a failure leaves the old file (or none) and nothing half-written. Throws
// ComposeError naming the file.
void writeFileWhole(const std::filesystem::path& target, const std::vector<uint8_t>& bytes);

} // namespace composer
