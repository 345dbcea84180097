#pragma once

#include <QImage>
#include <cstdint>
#include <map>

#include "swf/Movie.h"

namespace mc {

// The movie's bitmap characters as premultiplied QImages, decoded on first use and kept.
// A bitmap that cannot be decoded is a null image (drawn as nothing).
class BitmapLibrary {
  public:
    explicit BitmapLibrary(const swf::Movie& movie) : movie_(movie) {}

    const QImage& image(std::uint16_t id);

  private:
    QImage decode(std::uint16_t id) const;

    const swf::Movie& movie_;
    std::map<std::uint16_t, QImage> images_;
};

} // namespace mc
