// Header reading for BMP, DIB and ICO; see BitmapHeaders.h.
#include "platform/BitmapHeaders.h"

#include "platform/LittleEndian.h"

#include <cstdlib>
#include <limits>
#include <cstring>

namespace platform {
namespace {

constexpr std::size_t kCoreHeaderBytes = 12;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;
constexpr std::size_t kIconDirectoryBytes = 6;
constexpr std::size_t kIconEntryBytes = 16;
constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The signature, the IHDR chunk's length and type, then width and height.
constexpr std::size_t kPngHeaderBytes = 24;

std::optional<PixelSize> PngHeaderSize(std::span<const unsigned char> png) {
    if (png.size() < kPngHeaderBytes || std::memcmp(png.data(), kPngSignature, 8) != 0 ||
        std::memcmp(png.data() + 12, "IHDR", 4) != 0)
        return std::nullopt;
    auto big = [&](std::size_t at) {
        return (static_cast<long long>(png[at]) << 24) | (png[at + 1] << 16) |
               (png[at + 2] << 8) | png[at + 3];
    };
    return PixelSize{big(16), big(20)};
}

} // namespace

std::optional<std::uint64_t> DibHeader::uncompressedBytes() const {
    if (compression != 0 && compression != kBitFields && compression != kAlphaBitFields)
        return std::nullopt;
    // Rows are padded to whole 32-bit words.
    const std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(size.width) * bitCount + 31) / 32 * 4;
    const auto rows = static_cast<std::uint64_t>(size.height);
    if (rows != 0 && rowBytes > std::numeric_limits<std::uint64_t>::max() / rows)
        return std::numeric_limits<std::uint64_t>::max();
    return rowBytes * rows;
}

std::optional<DibHeader> ReadDibHeader(std::span<const unsigned char> dib) {
    if (dib.size() < 4)
        return std::nullopt;
    DibHeader header;
    header.headerBytes = ReadU32(dib.data());
    std::size_t colorsUsed = 0;
    std::size_t entryBytes = 4;
    if (header.headerBytes == kCoreHeaderBytes && dib.size() >= kCoreHeaderBytes) {
        header.size = {ReadU16(dib.data() + 4), ReadU16(dib.data() + 6)};
        header.bitCount = ReadU16(dib.data() + 10);
        entryBytes = 3;
    } else if (header.headerBytes >= kInfoHeaderBytes && dib.size() >= kInfoHeaderBytes &&
               header.headerBytes <= dib.size()) {
        const long long height = ReadI32(dib.data() + 8);
        header.size = {std::llabs(static_cast<long long>(ReadI32(dib.data() + 4))),
                       std::llabs(height)};
        header.bottomUp = height > 0;
        header.bitCount = ReadU16(dib.data() + 14);
        header.compression = ReadU32(dib.data() + 16);
        colorsUsed = ReadU32(dib.data() + 32);
        // The three masks of bit fields follow the 40-byte header; longer
        // headers hold them inside.
        if (header.headerBytes == kInfoHeaderBytes && header.compression == kBitFields)
            header.colorTableBytes += 12;
        else if (header.headerBytes == kInfoHeaderBytes && header.compression == kAlphaBitFields)
            header.colorTableBytes += 16;
    } else {
        return std::nullopt;
    }
    if (header.bitCount == 0 || header.bitCount > 32)
        return std::nullopt;
    if (colorsUsed == 0 && header.bitCount <= 8)
        colorsUsed = std::size_t{1} << header.bitCount;
    if (colorsUsed > dib.size()) // a table larger than the bytes there are
        return std::nullopt;
    header.colorTableBytes += colorsUsed * entryBytes;
    return header;
}

std::optional<DibHeader> ReadBmpHeader(std::span<const unsigned char> file) {
    if (file.size() < kBmpFileHeaderBytes || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    auto header = ReadDibHeader(file.subspan(kBmpFileHeaderBytes));
    if (!header)
        return std::nullopt;
    // An uncompressed bitmap must hold all its rows: a short file claiming
    // huge dimensions would otherwise cost the whole picture's memory.
    const std::uint32_t pixelsAt = ReadU32(file.data() + 10);
    const auto rowBytes = header->uncompressedBytes();
    if (pixelsAt > file.size() || (rowBytes && *rowBytes > file.size() - pixelsAt))
        return std::nullopt;
    return header;
}

std::optional<std::vector<PixelSize>> IconImageSizes(std::span<const unsigned char> file) {
    if (file.size() < kIconDirectoryBytes || ReadU16(file.data()) != 0)
        return std::nullopt;
    const std::uint16_t type = ReadU16(file.data() + 2); // 1 icon, 2 cursor
    const std::size_t count = ReadU16(file.data() + 4);
    if ((type != 1 && type != 2) || count == 0 || count > kMaxIconImages ||
        file.size() < kIconDirectoryBytes + count * kIconEntryBytes)
        return std::nullopt;
    std::vector<PixelSize> sizes;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = file.data() + kIconDirectoryBytes + i * kIconEntryBytes;
        const std::uint32_t bytes = ReadU32(entry + 8);
        const std::uint32_t offset = ReadU32(entry + 12);
        if (offset > file.size() || bytes > file.size() - offset)
            return std::nullopt;
        const auto image = file.subspan(offset, bytes);
        if (auto png = PngHeaderSize(image)) {
            sizes.push_back(*png);
            continue;
        }
        auto dib = ReadDibHeader(image);
        if (!dib)
            return std::nullopt;
        const auto rowBytes = dib->uncompressedBytes();
        if (rowBytes && *rowBytes / 2 > image.size()) // the colour half, at least
            return std::nullopt;
        dib->size.height /= 2; // the colour rows and the mask rows
        sizes.push_back(dib->size);
    }
    return sizes;
}

} // namespace platform
