// The pixel dimensions that bitmap and icon headers claim, read before any
// decoder sees the file, so that a hostile header asking for gigabytes is
// refused first. Free of Qt.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace platform {

struct PixelSize {
    long long width = 0;  // as claimed, never negative
    long long height = 0; // as claimed, never negative
    long long pixels() const { return width * height; }
};

// A device-independent bitmap header (the 12-byte core header or the 40-byte
// information header and its longer successors); nothing when the bytes do
// not start with one.
std::optional<PixelSize> DibHeaderSize(std::span<const unsigned char> dib);

// A BMP file: the 14-byte file header ("BM") and the bitmap header after it.
std::optional<PixelSize> BmpFileSize(std::span<const unsigned char> file);

// Icons with more images than this are refused: the directory's count is
// 16 bits, and real icons hold a handful.
inline constexpr std::size_t kMaxIconImages = 256;

// An icon file: the size each image claims in its own header (a PNG's IHDR,
// or a bitmap header whose height counts the mask too); nothing when the
// directory or an image header is broken.
std::optional<std::vector<PixelSize>> IconImageSizes(std::span<const unsigned char> file);

} // namespace platform
