// Picture files for the windows: the kind a file's extension names, and one
// loader that turns a file of that kind into a QImage or a PictureError.
// Bitmaps and icons go through Qt's image readers, JPEG through libjpeg and
// metafiles through our own renderer; every kind is bounded in size first.
#pragma once

#include "platform/JpegDecoder.h"
#include "platform/PictureError.h"

#include <QImage>
#include <QSize>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class PictureKind { Bitmap, Icon, Jpeg, Wmf, Emf };

// "bmp", "ico", "jpg", "jpeg", "wmf" and "emf" in any letter case (without the
// dot); any other extension has no kind.
std::optional<PictureKind> PictureKindFromExtension(std::string_view extension);

// Pictures with more pixels than this are refused before decoding, whatever
// their kind: the same bound as for JPEG.
inline constexpr long long kMaxPicturePixels = kMaxJpegPixels;

// Files larger than this are not read: the biggest picture we accept, 64 Mpixel
// of 32-bit colour, fits in it, and nothing a quest shows needs more.
inline constexpr long long kMaxPictureFileBytes = 256LL * 1024 * 1024;

// Loads the file at path (cp1251) as a picture of the given kind. A metafile
// is drawn into exactly size; a raster picture is returned as decoded. Throws
// PictureError naming the file and the reason. Text in a metafile needs a
// QGuiApplication.
QImage LoadPictureFile(const std::string& path, PictureKind kind, QSize size);

// The same for a picture already in memory; name is what an error names.
QImage DecodePicture(const QByteArray& bytes, PictureKind kind, QSize size,
                     const std::string& name);

} // namespace platform
