// Feeds arbitrary bytes to the BMP and ICO path: our header checks, then
// Qt's readers.
#include "fuzz/platform/FuzzPictureApp.h"
#include "platform/Pictures.h"

#include <cstddef>
#include <cstdint>

namespace {

void Decode(const QByteArray& bytes, platform::PictureKind kind) {
    try {
        const QImage image = platform::DecodePicture(bytes, kind, QSize(345, 265), "fuzz");
        if (image.isNull() ||
            static_cast<long long>(image.width()) * image.height() > platform::kMaxPicturePixels)
            __builtin_trap(); // a decoded picture is there and within the bound
    } catch (const platform::PictureError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::MakePictureApp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                     static_cast<qsizetype>(size));
    Decode(bytes, platform::PictureKind::Bitmap);
    Decode(bytes, platform::PictureKind::Icon);
    return 0;
}
