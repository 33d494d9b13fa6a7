// JPEG pictures decoded with libjpeg into a QImage. A broken or hostile file
// gives an error text, never a crash or an exit.
#pragma once

#include "platform/JpegDecoder.h"

#include <QImage>
#include <cstddef>
#include <string>

namespace platform {

struct JpegResult {
    QImage image;      // null when the decode failed
    std::string error; // why it failed (English, cp1251-safe ASCII); empty on success
    bool ok() const { return error.empty(); }
};

// Decodes a JPEG held in memory.
JpegResult DecodeJpeg(const unsigned char* data, std::size_t size);

// Reads and decodes a JPEG file; path is cp1251.
JpegResult LoadJpegFile(const std::string& path);

} // namespace platform
