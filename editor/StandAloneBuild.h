// The builder's file work: the player image out of the stub behind the
// editor's own image, and the stand-alone quest written from it.
#pragma once

#include "model/Quest.h"

#include <string>

namespace editor {

// The player image carried by the editor file at editorPath. Throws
// model::InOutError naming the file when the stub is missing or cut short.
std::string ReadPlayerStub(const std::string& editorPath);

// Writes the stand-alone quest atomically with mode 0755; InOutError naming
// the file on failure, and the old file stays.
void WriteStandAloneQuest(const std::string& path, const std::string& playerImage,
                          const model::QuestDocument& quest);

} // namespace editor
