#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

#include "atomic_file.h"
#include "png_encoding.h"

namespace complexplot {

// The image as PNG data (png_encoding's encoder): 8-bit grey for a grey
// image, else 8-bit RGB, with the image's resolution; the same bytes on
// every run. Raises std::bad_alloc when memory runs out on the way.
std::string pngDataOf(const QImage& image);
QByteArray encodePng(const QImage& image);

// Writes the bytes to the path, whole or not at all.
void writeBytesFile(const std::string& path, const QByteArray& bytes);

// Writes the image as PNG, whole or not at all.
void writePngFile(const QImage& image, const std::string& path);

}  // namespace complexplot
