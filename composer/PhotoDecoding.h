#pragma once

#include "composer/Composition.h"

#include <QImage>
#include <QSize>

#include <filesystem>

namespace composer {

// The pixel size a photo of `stored` pixels (as shown, turned upright) is decoded at to cover
// (Fill) or fit inside (Fit) `shown`, with `margin` to spare for zooming; never larger than the
// photo itself.
QSize decodeSizeFor(QSize stored, QSize shown, PhotoFit fit, double margin);

// Reads one photo upright (the orientation the camera stored is applied) at the size it is
// shown: JPEG, PNG, WebP, GIF (first frame), BMP through Qt's readers, HEIC/HEIF through
// libheif. A photo above kMaxPhotoMegapixels is refused; one below it is never held at full
// size when its reader can decode smaller (JPEG). Throws ComposeError naming the file.
QImage decodePhoto(const std::filesystem::path& file, QSize shown, PhotoFit fit, double margin);

// The edit made safe: turns in 0..3, a crop of at least kMinCropShare a side that stays
// inside the photo (anything not a number keeps the whole photo).
PhotoEdit normalizedEdit(const PhotoEdit& edit);

// The photo as decodePhoto reads it, then turned and cropped as `edit` says; the part kept is
// decoded at the size it is shown, not the whole photo.
QImage decodePhoto(const std::filesystem::path& file, const PhotoEdit& edit, QSize shown,
                   PhotoFit fit, double margin);

// True when the file starts like an HEIF container (ftyp box with an HEIF brand).
bool looksLikeHeif(const std::filesystem::path& file);

} // namespace composer
