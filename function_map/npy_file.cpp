#include "npy_file.h"

#include <bit>

namespace complexplot {

std::string npyHeader(int rows, int columns) {
    static_assert(sizeof(ComplexValue) == 16, "complex128 is two doubles, no padding");
    const char byteOrder = std::endian::native == std::endian::little ? '<' : '>';
    std::string dictionary = std::string("{'descr': '") + byteOrder +
                             "c16', 'fortran_order': False, 'shape': (" + std::to_string(rows) +
                             ", " + std::to_string(columns) + "), }";
    // Magic, version, the header's length, then the dictionary padded with
    // spaces and ended by a newline so that the data starts on a multiple of
    // 64 bytes.
    const std::size_t prefix = 6 + 2 + 2;
    const std::size_t total = (prefix + dictionary.size() + 1 + 63) / 64 * 64;
    dictionary.append(total - prefix - dictionary.size() - 1, ' ');
    dictionary += '\n';
    std::string header = "\x93NUMPY";
    header += '\x01';
    header += '\x00';
    header += static_cast<char>(dictionary.size() & 0xff);
    header += static_cast<char>(dictionary.size() >> 8);
    return header + dictionary;
}

}  // namespace complexplot
