// Where the player image and the payload lie in a stand-alone quest: the
// image is exactly as long as its own ELF headers say, and the scrambled
// payload is every byte behind it. The editor carries the player the same way
// (the stub: the image plus one spare byte behind the editor's own image).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace model {

// The size of the ELF image at the start of fileBytes: the furthest end of
// its ELF header, program and section header tables, sections and segments.
// Throws InOutError when the bytes do not start with a complete ELF image.
std::uint64_t ExecutableImageSize(std::string_view fileBytes);

// The bytes behind the image, unscrambled with PayloadKey; empty when nothing
// follows the image.
std::string PayloadTextOf(std::string_view fileBytes);

// PayloadTextOf the file at exePath (InOutError when it cannot be read).
std::string ReadPayloadText(const std::string& exePath);

// What the editor carries behind its own image: the player image and one 0.
std::string MakeStub(std::string_view playerImage);

// The player image out of the editor's file: behind the editor's own image
// lies the stub, whose own headers give the player image's size. Throws
// InOutError when no complete ELF image follows the editor's.
std::string PlayerImageFromStub(std::string_view editorFileBytes);

// The player image followed by the payload scrambled with PayloadKey;
// written atomically with mode 0755.
void WriteStandAlone(const std::string& path, std::string_view playerImage,
                     std::string_view payloadText);

} // namespace model
