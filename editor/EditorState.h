// What the editor keeps while it runs: the open quest and the few names and
// flags around it. One per main window; it lives as long as the window.
#pragma once

#include "model/Cp1251.h"
#include "model/Quest.h"

#include <string>

namespace editor {

// The quest itself (Quests, LocationCount, QuestParams) and the rest.
struct EditorState : model::QuestDocument {
    int CurrentAction = 0;     // 0 until an action is chosen, then 1..6
    std::string ProgramDir;    // folder of the editor's file, ending in '/'
    std::string QuestFileName; // the file Open read or Save as wrote last; empty: none
    std::string BuiltExeName;  // the file the last build wrote; empty: none
    bool HasQuest = false;     // a New or a successful Open has happened
    bool Modified = false;     // changed since created, opened or saved
};

// A UTF-8 literal of ours as the cp1251 text the program holds.
inline std::string Ru(const char* utf8) {
    return model::Utf8ToCp1251(utf8);
}

// A native path as the cp1251 text of a message.
inline std::string PathText(const std::string& path) {
    return model::Utf8ToCp1251Lossy(path);
}

} // namespace editor
