// The builder's file work: the player image out of the stub behind the
// editor's own image, and the stand-alone quest written from it.
#pragma once

#include "model/Quest.h"

#include <cstddef>
#include <functional>
#include <string>

namespace editor {

// The player image carried by the editor file at editorPath. Throws
// model::InOutError naming the file when the stub is missing or cut short.
std::string ReadPlayerStub(const std::string& editorPath);

// Told, after each piece of the player image is written, how many of its
// bytes are in the file so far; the last call gives the image's size.
using ImageProgress = std::function<void(std::size_t imageBytesWritten)>;

// Writes the stand-alone quest (the image, then the scrambled payload)
// atomically with mode 0755, in pieces so that progress can be shown;
// InOutError naming the file on failure, and the old file stays.
void WriteStandAloneQuest(const std::string& path, const std::string& playerImage,
                          const model::QuestDocument& quest, const ImageProgress& progress = {});

} // namespace editor
