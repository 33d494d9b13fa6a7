// The one error type of picture loading.
#pragma once

#include <stdexcept>

namespace platform {

// Why a picture could not be loaded. From LoadPictureFile, what() names the
// file and the reason; the decoders below it give the reason alone.
class PictureError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace platform
