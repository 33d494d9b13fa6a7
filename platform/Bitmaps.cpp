// Bitmaps and icons through Qt's readers; see Bitmaps.h. A DIB becomes a BMP
// file in memory by putting the 14-byte file header in front of it.
#include "platform/Bitmaps.h"

#include "platform/BitmapHeaders.h"
#include "platform/PictureError.h"
#include "platform/Pictures.h"
#include "platform/Text.h"

#include <QBuffer>
#include <QImageReader>
#include <cstdint>
#include <string>

namespace platform {
namespace {

std::span<const unsigned char> BytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const unsigned char*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

void CheckPixels(const PixelSize& size) {
    if (size.width == 0 || size.height == 0)
        throw PictureError("the picture is empty");
    if (size.pixels() > kMaxPicturePixels)
        throw PictureError("the picture is too large (" + std::to_string(size.width) + " x " +
                           std::to_string(size.height) + " pixels)");
}

// Decodes image number `index` of a format Qt reads.
QImage ReadWithQt(const QByteArray& bytes, const char* format, int index) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    if (index > 0 && !reader.jumpToImage(index))
        throw PictureError("the picture is broken");
    QImage image = reader.read();
    if (image.isNull())
        throw PictureError("the picture is broken (" + FromQString(reader.errorString()) + ")");
    return image;
}

void AppendU32(QByteArray& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

} // namespace

QImage DecodeBmp(const QByteArray& bytes) {
    const auto header = ReadBmpHeader(BytesOf(bytes));
    if (!header)
        throw PictureError("not a whole BMP picture");
    CheckPixels(header->size);
    return ReadWithQt(bytes, "bmp", 0);
}

// An icon file holds several sizes of one picture; the largest is the best to
// stretch over the picture box.
QImage DecodeIco(const QByteArray& bytes) {
    const auto sizes = IconImageSizes(BytesOf(bytes));
    if (!sizes)
        throw PictureError("not a whole icon");
    int largest = 0;
    for (std::size_t i = 0; i < sizes->size(); ++i) {
        CheckPixels((*sizes)[i]);
        if ((*sizes)[i].pixels() > (*sizes)[largest].pixels())
            largest = static_cast<int>(i);
    }
    return ReadWithQt(bytes, "ico", largest);
}

namespace {

QImage DibAsBmp(std::span<const unsigned char> info, std::span<const unsigned char> rows,
                std::uint64_t rowsAt) {
    QByteArray file("BM");
    AppendU32(file, static_cast<std::uint32_t>(kBmpFileHeaderBytes + info.size() + rows.size()));
    AppendU32(file, 0);
    AppendU32(file, static_cast<std::uint32_t>(kBmpFileHeaderBytes + rowsAt));
    file.append(reinterpret_cast<const char*>(info.data()), static_cast<qsizetype>(info.size()));
    file.append(reinterpret_cast<const char*>(rows.data()), static_cast<qsizetype>(rows.size()));
    return DecodeBmp(file);
}

} // namespace

QImage DecodeDib(std::span<const unsigned char> dib) {
    const auto header = ReadDibHeader(dib);
    if (!header)
        throw PictureError("a broken embedded bitmap");
    return DibAsBmp(dib, {}, std::uint64_t{header->headerBytes} + header->colorTableBytes);
}

QImage DecodeDib(std::span<const unsigned char> info, std::span<const unsigned char> rows) {
    if (!ReadDibHeader(info))
        throw PictureError("a broken embedded bitmap");
    return DibAsBmp(info, rows, info.size());
}

} // namespace platform
