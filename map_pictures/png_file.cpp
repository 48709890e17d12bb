#include "png_file.h"

#include <vector>

namespace complexplot {

std::string pngDataOf(const QImage& image) {
    PngPicture picture;
    picture.width = image.width();
    picture.height = image.height();
    picture.grey = image.format() == QImage::Format_Grayscale8;
    picture.dotsPerMeterX = image.dotsPerMeterX();
    picture.dotsPerMeterY = image.dotsPerMeterY();
    // Grey and 8-bit RGB rows go as they are stored; any other format is
    // converted a row at a time.
    std::vector<unsigned char> converted;
    if (picture.grey || image.format() == QImage::Format_RGB888) {
        picture.row = [&image](int row) { return image.constScanLine(row); };
    } else {
        converted.resize(3 * static_cast<std::size_t>(image.width()));
        const bool rgb32 =
            image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
        picture.row = [&image, &converted, rgb32](int row) {
            const auto* pixels =
                reinterpret_cast<const QRgb*>(rgb32 ? image.constScanLine(row) : nullptr);
            unsigned char* out = converted.data();
            for (int column = 0; column < image.width(); ++column) {
                const QRgb pixel = pixels != nullptr ? pixels[column] : image.pixel(column, row);
                *out++ = static_cast<unsigned char>(qRed(pixel));
                *out++ = static_cast<unsigned char>(qGreen(pixel));
                *out++ = static_cast<unsigned char>(qBlue(pixel));
            }
            return static_cast<const unsigned char*>(converted.data());
        };
    }
    return encodePng(picture);
}

QByteArray encodePng(const QImage& image) {
    const std::string bytes = pngDataOf(image);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void writeBytesFile(const std::string& path, const QByteArray& bytes) {
    writeFileAtomically(path, std::string_view(bytes.constData(), bytes.size()));
}

void writePngFile(const QImage& image, const std::string& path) {
    writeFileAtomically(path, pngDataOf(image));
}

}  // namespace complexplot
