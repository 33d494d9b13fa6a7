// Feeds arbitrary bytes to our metafile renderer, as a WMF and as an EMF,
// through the same entry the player's pictures take.
#include "fuzz/platform/FuzzPictureApp.h"
#include "platform/Pictures.h"

#include <cstddef>
#include <cstdint>

namespace {

// Small, so that each input is quick; the mapping code is the same at any size.
const QSize kImageSize(69, 53);

void Render(const QByteArray& bytes, platform::PictureKind kind) {
    try {
        const QImage image = platform::DecodePicture(bytes, kind, kImageSize, "fuzz");
        if (image.size() != kImageSize)
            __builtin_trap(); // a drawn metafile has exactly the size asked for
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
    Render(bytes, platform::PictureKind::Wmf);
    Render(bytes, platform::PictureKind::Emf);
    return 0;
}
