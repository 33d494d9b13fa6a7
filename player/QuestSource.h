// Where the player's quest comes from: the payload behind its own executable
// image, a quest file named on the command line, or (for tests) a payload
// text held in memory. LoadQuest reads the source again on every restart.
#pragma once

#include "model/Quest.h"

#include <memory>
#include <optional>
#include <string>

namespace player {

class QuestSource {
public:
    virtual ~QuestSource() = default;
    // Fills an empty table and six empty names; throws the model's errors.
    virtual void Load(model::TQuests& Quests, model::TQuestParams& QuestParams) = 0;
    // The window caption after a load (cp1251).
    virtual std::string Caption() const = 0;
};

// The payload behind the executable at exePath. firstText, when given, is the
// payload already read by the caller and serves the first load only.
std::unique_ptr<QuestSource> PayloadFileSource(std::string exePath,
                                               std::optional<std::string> firstText = {});

// A quest file (*.nvx); the caption is the file's name.
std::unique_ptr<QuestSource> QuestFileSource(std::string path);

// An unscrambled payload text held in memory, shown under the given caption.
std::unique_ptr<QuestSource> PayloadTextSource(std::string text, std::string caption);

// The file name of a path, folders left out; a UTF-8 name becomes cp1251.
std::string DisplayFileName(const std::string& path);

} // namespace player
