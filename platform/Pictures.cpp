// Picture loading: the file is read as bytes (regular files only, bounded in
// size), its header's dimensions are checked against the pixel bound, and only
// then does a decoder see it.
#include "platform/Pictures.h"

#include "platform/BitmapHeaders.h"
#include "platform/Jpeg.h"
#include "platform/Text.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <array>
#include <span>
#include <utility>

namespace platform {
namespace {

struct ExtensionKind {
    std::string_view extension; // lower case, without the dot
    PictureKind kind;
};

constexpr std::array<ExtensionKind, 6> kExtensions = {{
    {"bmp", PictureKind::Bitmap},
    {"ico", PictureKind::Icon},
    {"jpg", PictureKind::Jpeg},
    {"jpeg", PictureKind::Jpeg},
    {"wmf", PictureKind::Wmf},
    {"emf", PictureKind::Emf},
}};

bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lower[i])
            return false;
    }
    return true;
}

[[noreturn]] void Fail(const std::string& name, const std::string& reason) {
    throw PictureError("cannot load picture " + name + ": " + reason);
}

std::span<const unsigned char> BytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const unsigned char*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

void CheckPixels(const PixelSize& size, const std::string& name) {
    if (size.width == 0 || size.height == 0)
        Fail(name, "the picture is empty");
    if (size.pixels() > kMaxPicturePixels)
        Fail(name, "the picture is too large (" + std::to_string(size.width) + " x " +
                       std::to_string(size.height) + " pixels)");
}

// Decodes image number `index` of a format Qt reads.
QImage ReadWithQt(const QByteArray& bytes, const char* format, int index,
                  const std::string& name) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    if (index > 0 && !reader.jumpToImage(index))
        Fail(name, "the picture is broken");
    QImage image = reader.read();
    if (image.isNull())
        Fail(name, "the picture is broken (" + FromQString(reader.errorString()) + ")");
    return image;
}

QImage DecodeBitmap(const QByteArray& bytes, const std::string& name) {
    const auto size = BmpFileSize(BytesOf(bytes));
    if (!size)
        Fail(name, "not a BMP picture");
    CheckPixels(*size, name);
    return ReadWithQt(bytes, "bmp", 0, name);
}

// An icon file holds several sizes of one picture; the largest is the best to
// stretch over the picture box.
QImage DecodeIcon(const QByteArray& bytes, const std::string& name) {
    const auto sizes = IconImageSizes(BytesOf(bytes));
    if (!sizes)
        Fail(name, "not an icon");
    int largest = 0;
    for (std::size_t i = 0; i < sizes->size(); ++i) {
        CheckPixels((*sizes)[i], name);
        if ((*sizes)[i].pixels() > (*sizes)[largest].pixels())
            largest = static_cast<int>(i);
    }
    return ReadWithQt(bytes, "ico", largest, name);
}

QImage DecodeJpegPicture(const QByteArray& bytes, const std::string& name) {
    JpegResult result = DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size()));
    if (!result.ok())
        Fail(name, result.error);
    return std::move(result.image);
}

QByteArray ReadPictureFile(const std::string& path) {
    const QString name = ToQString(path);
    const QFileInfo info(name);
    if (!info.exists())
        Fail(path, "no such file");
    if (!info.isFile())
        Fail(path, "not a regular file");
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        Fail(path, FromQString(file.errorString()));
    if (file.size() > kMaxPictureFileBytes)
        Fail(path, "the file is too large");
    // Read one byte past the bound, so a file that grew after the check shows.
    QByteArray bytes = file.read(kMaxPictureFileBytes + 1);
    if (bytes.size() > kMaxPictureFileBytes)
        Fail(path, "the file is too large");
    if (file.error() != QFileDevice::NoError)
        Fail(path, FromQString(file.errorString()));
    return bytes;
}

} // namespace

std::optional<PictureKind> PictureKindFromExtension(std::string_view extension) {
    for (const ExtensionKind& entry : kExtensions)
        if (EqualsIgnoringAsciiCase(extension, entry.extension))
            return entry.kind;
    return std::nullopt;
}

QImage DecodePicture(const QByteArray& bytes, PictureKind kind, QSize size,
                     const std::string& name) {
    if (bytes.isEmpty())
        Fail(name, "the file is empty");
    switch (kind) {
    case PictureKind::Bitmap:
        return DecodeBitmap(bytes, name);
    case PictureKind::Icon:
        return DecodeIcon(bytes, name);
    case PictureKind::Jpeg:
        return DecodeJpegPicture(bytes, name);
    case PictureKind::Wmf:
    case PictureKind::Emf:
        (void)size;
        Fail(name, "metafiles are not supported yet");
    }
    Fail(name, "unknown picture kind");
}

QImage LoadPictureFile(const std::string& path, PictureKind kind, QSize size) {
    return DecodePicture(ReadPictureFile(path), kind, size, path);
}

} // namespace platform
