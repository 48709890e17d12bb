#include "png_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace complexplot {

namespace {

[[noreturn]] void failWith(const std::string& path, int error) {
    throw FileWriteError("cannot write " + path + ": " + std::strerror(error));
}

QByteArray encodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "PNG")) {
        throw FileWriteError("cannot encode PNG");
    }
    return bytes;
}

void writeAll(int descriptor, const QByteArray& bytes, const std::string& path) {
    const char* data = bytes.constData();
    qsizetype remaining = bytes.size();
    while (remaining > 0) {
        const ssize_t written = ::write(descriptor, data, static_cast<size_t>(remaining));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            failWith(path, errno);
        }
        data += written;
        remaining -= written;
    }
}

}  // namespace

void writePngFile(const QImage& image, const std::string& path) {
    const QByteArray bytes = encodePng(image);

    // The temporary file sits in the target's folder, so the rename stays
    // on one file system and is atomic.
    std::string temporaryPath = path + ".XXXXXX";
    std::vector<char> pattern(temporaryPath.begin(), temporaryPath.end());
    pattern.push_back('\0');
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) {
        failWith(path, errno);
    }
    temporaryPath.assign(pattern.data());
    try {
        writeAll(descriptor, bytes, path);
    } catch (...) {
        ::close(descriptor);
        ::unlink(temporaryPath.c_str());
        throw;
    }
    // mkstemp creates the file readable by its owner only; a picture is an
    // ordinary file.
    int error = 0;
    if (::fchmod(descriptor, 0644) != 0 || ::fsync(descriptor) != 0) {
        error = errno;
    }
    if (::close(descriptor) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporaryPath.c_str());
        failWith(path, error);
    }
    if (std::rename(temporaryPath.c_str(), path.c_str()) != 0) {
        error = errno;
        ::unlink(temporaryPath.c_str());
        failWith(path, error);
    }
}

}  // namespace complexplot
