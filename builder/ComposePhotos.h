#pragma once

#include "composer/Composition.h"

#include <cstddef>
#include <filesystem>
#include <vector>

namespace builder {

// One photo as the person placed it in the window: the file, and how it was turned and
// cropped.
struct ComposePhoto {
    std::filesystem::path file;
    composer::PhotoEdit edit;
    friend bool operator==(const ComposePhoto&, const ComposePhoto&) = default;
};

// Whether the file's name says it is a photo the composer reads (dropped files are sorted
// by it; the composer itself says what is wrong with one that is not).
bool looksLikePhotoFile(const std::filesystem::path& file);

// The photos of a composition, in the order they are shown.
class ComposePhotoList {
  public:
    struct Added {
        std::size_t added = 0;
        // Past the composer's bound on photos: left out, in the order given.
        std::vector<std::filesystem::path> overLimit;
    };

    Added add(const std::vector<std::filesystem::path>& files);
    void replace(std::vector<ComposePhoto> photos);
    // Moves the photo at `from` so that it ends at `to`; false (nothing moved) when either
    // is out of range.
    bool move(std::size_t from, std::size_t to);
    bool remove(std::size_t index);
    // Turns a photo by quarter turns (positive: clockwise); its crop turns with it, so the
    // same part of the picture stays kept.
    bool turn(std::size_t index, int quarterTurns);
    // The part kept, as shares of the turned photo; made safe as the composer would.
    bool setCrop(std::size_t index, double left, double top, double width, double height);

    const std::vector<ComposePhoto>& photos() const { return photos_; }
    std::size_t size() const { return photos_.size(); }
    bool empty() const { return photos_.empty(); }

  private:
    std::vector<ComposePhoto> photos_;
};

} // namespace builder
