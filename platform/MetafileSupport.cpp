// Shared pieces of the metafile players; see MetafileSupport.h.
#include "platform/MetafileSupport.h"

#include "platform/BitmapHeaders.h"
#include "platform/Bitmaps.h"
#include "platform/Metafile.h"
#include "platform/PictureError.h"

#include <vector>

namespace platform {

QColor ColorFromRef(std::uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

std::optional<EmbeddedBitmap> DecodeEmbeddedBitmap(std::span<const unsigned char> info,
                                                   std::span<const unsigned char> rows) {
    const auto header = ReadDibHeader(info);
    if (!header)
        return std::nullopt;
    try {
        if (rows.empty())
            return EmbeddedBitmap{DecodeDib(info), header->bottomUp};
        return EmbeddedBitmap{DecodeDib(info, rows), header->bottomUp};
    } catch (const PictureError&) {
        return std::nullopt;
    }
}

void CheckImageSize(QSize size) {
    if (size.isEmpty() ||
        static_cast<long long>(size.width()) * size.height() > kMaxMetafileImagePixels)
        throw MetafileError("cannot draw into an image of " + std::to_string(size.width()) +
                            " x " + std::to_string(size.height()) + " pixels");
}

} // namespace platform
