// Header reading for BMP, DIB and ICO; see BitmapHeaders.h.
#include "platform/BitmapHeaders.h"

#include "platform/LittleEndian.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr std::size_t kBmpFileHeaderBytes = 14;
constexpr std::size_t kCoreHeaderBytes = 12;
constexpr std::size_t kInfoHeaderBytes = 40;
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

std::optional<PixelSize> DibHeaderSize(std::span<const unsigned char> dib) {
    if (dib.size() < 4)
        return std::nullopt;
    const std::uint32_t headerSize = ReadU32(dib.data());
    if (headerSize == kCoreHeaderBytes && dib.size() >= kCoreHeaderBytes)
        return PixelSize{ReadU16(dib.data() + 4), ReadU16(dib.data() + 6)};
    if (headerSize < kInfoHeaderBytes || dib.size() < kInfoHeaderBytes)
        return std::nullopt;
    // A negative height means the rows run top to bottom; the size is the same.
    return PixelSize{std::llabs(static_cast<long long>(ReadI32(dib.data() + 4))),
                     std::llabs(static_cast<long long>(ReadI32(dib.data() + 8)))};
}

std::optional<PixelSize> BmpFileSize(std::span<const unsigned char> file) {
    if (file.size() < kBmpFileHeaderBytes || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    return DibHeaderSize(file.subspan(kBmpFileHeaderBytes));
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
        std::optional<PixelSize> size = PngHeaderSize(image);
        if (!size) {
            size = DibHeaderSize(image);
            if (size)
                size->height /= 2; // the colour rows and the mask rows
        }
        if (!size)
            return std::nullopt;
        sizes.push_back(*size);
    }
    return sizes;
}

} // namespace platform
