// The libjpeg decoding core, free of Qt so that it can be fuzzed on its own:
// a JPEG in memory becomes rows of RGB bytes, or an error text. A broken or
// hostile file never crashes or exits.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Pictures larger than this are refused rather than decoded: a header can
// claim up to 65,500 x 65,500 pixels, which would ask for gigabytes.
inline constexpr long long kMaxJpegPixels = 64LL * 1024 * 1024;

struct DecodedJpeg {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // height rows of width * 3 bytes, top row first
    std::string error;              // why it failed (ASCII); empty on success
    bool ok() const { return error.empty(); }
};

// Decodes a JPEG held in memory into RGB rows.
DecodedJpeg DecodeJpegRgb(const unsigned char* data, std::size_t size);

} // namespace platform
