// Bitmaps and icons decoded through Qt's image readers, each after our own
// header checks (the pixel bound, rows present), and the bitmaps embedded in
// metafiles by the same path. Each throws PictureError with the reason.
#pragma once

#include <QByteArray>
#include <QImage>
#include <span>

namespace platform {

// A BMP file.
QImage DecodeBmp(const QByteArray& bytes);

// An icon file: its largest image.
QImage DecodeIco(const QByteArray& bytes);

// A device-independent bitmap as metafiles hold it: the header, the colour
// table and the pixel rows, one after the other.
QImage DecodeDib(std::span<const unsigned char> dib);

// The same with the rows apart: info holds the header and the colour table.
QImage DecodeDib(std::span<const unsigned char> info, std::span<const unsigned char> rows);

} // namespace platform
