// JPEG pictures for the windows: the Qt-free decoder's RGB rows copied into a
// QImage, whose rows are padded to four bytes.
#include "platform/Jpeg.h"

#include "platform/Text.h"

#include <QFile>
#include <cstring>

namespace platform {

JpegResult DecodeJpeg(const unsigned char* data, std::size_t size) {
    DecodedJpeg decoded = DecodeJpegRgb(data, size);
    if (!decoded.ok())
        return {QImage(), decoded.error};
    QImage image(decoded.width, decoded.height, QImage::Format_RGB888);
    if (image.isNull())
        return {QImage(), "out of memory for the picture"};
    const std::size_t rowBytes = static_cast<std::size_t>(decoded.width) * 3;
    for (int y = 0; y < decoded.height; ++y)
        std::memcpy(image.scanLine(y), decoded.rgb.data() + rowBytes * y, rowBytes);
    return {std::move(image), {}};
}

JpegResult LoadJpegFile(const std::string& path) {
    QFile file(ToQString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {QImage(), "cannot open " + path + ": " + FromQString(file.errorString())};
    const QByteArray bytes = file.readAll();
    return DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size()));
}

} // namespace platform
