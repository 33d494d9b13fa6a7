// The problems of a quest's scripts in words an author reads on a terminal
// (UTF-8), through the script check the editor uses.
#pragma once

#include "model/Quest.h"

#include <string>
#include <vector>

namespace questtool {

// One line per problem, in quest order: «локация 3, действие 2, строка 4,
// столбец 7: Ошибка: …» (the engine's words) or «…: предупреждение: селектор 'Param1' не
// существует; селекторы: param1 … param6».
std::vector<std::string> DescribeScriptProblems(const model::QuestDocument& quest);

} // namespace questtool
