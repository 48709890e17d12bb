#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

#include "atomic_file.h"

namespace complexplot {

// The zlib level and strategy the writer compresses with (for a benchmark
// that deflates the same rows).
extern const int kPngZlibLevel;
extern const int kPngZlibStrategy;

// The image as PNG data: 8-bit grey for a grey image, else 8-bit RGB, with
// the image's resolution; the same bytes on every run. Every PNG the
// programs write is made here. Raises std::bad_alloc when memory runs out
// on the way.
QByteArray encodePng(const QImage& image);

// Writes the bytes to the path, whole or not at all.
void writeBytesFile(const std::string& path, const QByteArray& bytes);

// Writes the image as PNG, whole or not at all.
void writePngFile(const QImage& image, const std::string& path);

}  // namespace complexplot
