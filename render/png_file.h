#pragma once

#include <QImage>
#include <stdexcept>
#include <string>

namespace complexplot {

// A file that could not be written; the message names the file and the
// system's reason.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the image as an 8-bit RGB PNG, whole or not at all: it goes to a
// temporary file beside the target, which is then renamed over it.
void writePngFile(const QImage& image, const std::string& path);

}  // namespace complexplot
