#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

#include "atomic_file.h"

namespace complexplot {

// The image as 8-bit RGB PNG data. Raises std::bad_alloc when memory runs
// out on the way.
QByteArray encodePng(const QImage& image);

// Writes the image as an 8-bit RGB PNG, whole or not at all.
void writePngFile(const QImage& image, const std::string& path);

}  // namespace complexplot
