// What the WMF and the EMF player share beyond the canvas: colour
// references, the bitmaps records embed, and the check of the image size.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// A colour reference: red, green and blue in the three low bytes.
QColor ColorFromRef(std::uint32_t ref);

struct EmbeddedBitmap {
    QImage image;
    bool bottomUp = true; // the file's rows ran from the bottom up
};

// A bitmap held as header, colour table and rows in one piece (WMF), or as
// the header with its table and the rows apart (EMF: rows not empty).
// Nothing when it is broken, so that the record is skipped.
std::optional<EmbeddedBitmap> DecodeEmbeddedBitmap(std::span<const unsigned char> info,
                                                   std::span<const unsigned char> rows = {});

// Throws MetafileError unless size is a non-empty image within the bound.
void CheckImageSize(QSize size);

} // namespace platform
