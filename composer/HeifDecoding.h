#pragma once

#include <QImage>
#include <QSize>

#include <filesystem>
#include <functional>

namespace composer {

// Decodes the primary image of an HEIF file, turned as its container says. `sizeFor` gets the
// upright size before any pixel is decoded and returns the size wanted (or throws). The
// returned image has that size. Throws ComposeError naming the file.
QImage decodeHeif(const std::filesystem::path& file, const std::function<QSize(QSize)>& sizeFor);

} // namespace composer
