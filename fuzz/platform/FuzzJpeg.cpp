// Feeds arbitrary bytes to the JPEG decoder that loads the pictures quests name.
#include "platform/JpegDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::DecodedJpeg decoded = platform::DecodeJpegRgb(data, size);
    if (decoded.ok() &&
        decoded.rgb.size() != static_cast<std::size_t>(decoded.width) * decoded.height * 3)
        __builtin_trap(); // a decoded picture must hold exactly its rows
    return 0;
}
