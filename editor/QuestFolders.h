// Where the editor lives and where its dialogs start: the folders "Quests"
// and "Stand-Alone Quests" beside the program, or in the user's documents
// folder when the program's own folder cannot take files (an installed
// editor in /usr/bin).
#pragma once

#include <string>

namespace editor {

inline constexpr const char* kQuestsFolder = "Quests";
inline constexpr const char* kStandAloneFolder = "Stand-Alone Quests";

// The native path of the running program's own file; empty if unknown.
std::string OwnExecutablePath();

// The folder of a file, with a trailing '/'.
std::string FolderOf(const std::string& path);

// programDir + sub when that folder exists and is writable; otherwise the
// documents folder's sub-folder of that name, created when missing. Ends in '/'.
std::string DialogFolder(const std::string& programDir, const std::string& sub);

} // namespace editor
