// Picture loading: the file is read as bytes (regular files only, bounded in
// size), its header's dimensions are checked against the pixel bound, and only
// then does a decoder see it.
#include "platform/Pictures.h"

#include "platform/Bitmaps.h"
#include "platform/Jpeg.h"
#include "platform/Metafile.h"
#include "platform/Text.h"

#include <QFile>
#include <QFileInfo>
#include <array>
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

QImage DecodeJpegPicture(const QByteArray& bytes) {
    JpegResult result = DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size()));
    if (!result.ok())
        throw PictureError(result.error);
    return std::move(result.image);
}

// The decoders throw PictureError with the reason alone.
QImage DecodeByKind(const QByteArray& bytes, PictureKind kind, QSize size) {
    if (bytes.isEmpty())
        throw PictureError("the file is empty");
    switch (kind) {
    case PictureKind::Bitmap:
        return DecodeBmp(bytes);
    case PictureKind::Icon:
        return DecodeIco(bytes);
    case PictureKind::Jpeg:
        return DecodeJpegPicture(bytes);
    case PictureKind::Wmf:
    case PictureKind::Emf:
        try {
            const auto file = std::span(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size()));
            return kind == PictureKind::Wmf ? RenderWmf(file, size) : RenderEmf(file, size);
        } catch (const MetafileError& error) {
            throw PictureError(error.what());
        }
    }
    throw PictureError("unknown picture kind");
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
    try {
        return DecodeByKind(bytes, kind, size);
    } catch (const PictureError& error) {
        Fail(name, error.what());
    }
}

QImage LoadPictureFile(const std::string& path, PictureKind kind, QSize size) {
    return DecodePicture(ReadPictureFile(path), kind, size, path);
}

} // namespace platform
