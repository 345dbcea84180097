#include "ComposePhotos.h"

#include "composer/PhotoDecoding.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <string_view>

namespace builder {

bool looksLikePhotoFile(const std::filesystem::path& file) {
    static constexpr std::array<std::string_view, 9> kExtensions = {
        ".jpg", ".jpeg", ".png", ".webp", ".gif", ".bmp", ".heic", ".heif", ".avif"};
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(kExtensions.begin(), kExtensions.end(), extension) != kExtensions.end();
}

ComposePhotoList::Added ComposePhotoList::add(const std::vector<std::filesystem::path>& files) {
    Added result;
    for (const std::filesystem::path& file : files) {
        if (photos_.size() >= composer::kMaxPhotos) {
            result.overLimit.push_back(file);
            continue;
        }
        photos_.push_back({file, {}});
        ++result.added;
    }
    return result;
}

void ComposePhotoList::replace(std::vector<ComposePhoto> photos) {
    photos_ = std::move(photos);
    if (photos_.size() > composer::kMaxPhotos) {
        photos_.resize(composer::kMaxPhotos);
    }
}

bool ComposePhotoList::move(std::size_t from, std::size_t to) {
    if (from >= photos_.size() || to >= photos_.size()) {
        return false;
    }
    const auto first = photos_.begin();
    const auto f = static_cast<std::ptrdiff_t>(from);
    const auto t = static_cast<std::ptrdiff_t>(to);
    if (from < to) {
        std::rotate(first + f, first + f + 1, first + t + 1);
    } else {
        std::rotate(first + t, first + f, first + f + 1);
    }
    return true;
}

bool ComposePhotoList::remove(std::size_t index) {
    if (index >= photos_.size()) {
        return false;
    }
    photos_.erase(photos_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool ComposePhotoList::turn(std::size_t index, int quarterTurns) {
    if (index >= photos_.size()) {
        return false;
    }
    composer::PhotoEdit& e = photos_[index].edit;
    const int steps = ((quarterTurns % 4) + 4) % 4;
    for (int i = 0; i < steps; ++i) {
        // A clockwise turn: what was on the left goes to the top, the bottom to the left.
        const composer::PhotoEdit before = e;
        e.cropLeft = 1.0 - before.cropTop - before.cropHeight;
        e.cropTop = before.cropLeft;
        e.cropWidth = before.cropHeight;
        e.cropHeight = before.cropWidth;
        e.quarterTurns = (before.quarterTurns + 1) % 4;
    }
    e = composer::normalizedEdit(e);
    return true;
}

bool ComposePhotoList::setCrop(std::size_t index, double left, double top, double width,
                               double height) {
    if (index >= photos_.size()) {
        return false;
    }
    composer::PhotoEdit e = photos_[index].edit;
    e.cropLeft = left;
    e.cropTop = top;
    e.cropWidth = width;
    e.cropHeight = height;
    photos_[index].edit = composer::normalizedEdit(e);
    return true;
}

} // namespace builder
