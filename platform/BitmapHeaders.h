// The pixel dimensions that bitmap and icon headers claim, read before any
// decoder sees the file, so that a hostile header asking for gigabytes is
// refused first. Free of Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace platform {

struct PixelSize {
    long long width = 0;  // as claimed, never negative
    long long height = 0; // as claimed, never negative
    // The product, or the largest number when it would not fit.
    long long pixels() const {
        if (width > 0 && height > std::numeric_limits<long long>::max() / width)
            return std::numeric_limits<long long>::max();
        return width * height;
    }
};

// What a device-independent bitmap header says about the pixels after it.
struct DibHeader {
    PixelSize size;
    std::uint32_t headerBytes = 0; // 12 for the core header, 40 or more otherwise
    unsigned bitCount = 0;         // bits per pixel
    std::uint32_t compression = 0; // 0 none, 1 and 2 run-length, 3 and 6 bit fields, ...
    bool bottomUp = true;          // rows stored from the bottom row up
    std::size_t colorTableBytes = 0; // colour table (and bit masks) between header and pixels
    // Bytes the pixel rows take when uncompressed; nothing when compressed.
    std::optional<std::uint64_t> uncompressedBytes() const;
};

// A device-independent bitmap header (the 12-byte core header or the 40-byte
// information header and its longer successors); nothing when the bytes do
// not start with one.
std::optional<DibHeader> ReadDibHeader(std::span<const unsigned char> dib);

constexpr std::size_t kBmpFileHeaderBytes = 14;

// A BMP file: the 14-byte file header ("BM") and the bitmap header after it.
std::optional<DibHeader> ReadBmpHeader(std::span<const unsigned char> file);

// Icons with more images than this are refused: the directory's count is
// 16 bits, and real icons hold a handful.
inline constexpr std::size_t kMaxIconImages = 256;

// An icon file: the size each image claims in its own header (a PNG's IHDR,
// or a bitmap header whose height counts the mask too); nothing when the
// directory or an image header is broken, or a bitmap's rows are missing.
std::optional<std::vector<PixelSize>> IconImageSizes(std::span<const unsigned char> file);

} // namespace platform
