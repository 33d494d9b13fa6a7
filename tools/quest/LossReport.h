// What a stored form of a quest would lose, in words an author reads on a
// terminal (UTF-8): each place as location, field, line and character of the
// text as written, and what to write instead.
#pragma once

#include "model/LostContent.h"

#include <string>
#include <vector>

namespace questtool {

// Which stored forms a report covers.
struct LossForms {
    bool questFile; // norvo-quest pack and the editor's Save
    bool payload;   // norvo-quest build and the editor's Compile
};

struct LossReport {
    // One line per place: «локация 3, действие 2, код, строка 4, знак 7:
    // символ 'ё' не сохранится в файле квеста». A place both forms lose is
    // one line that names both.
    std::vector<std::string> places;
    // One line per kind of character met, starting «Что делать: ».
    std::vector<std::string> advice;

    bool empty() const { return places.empty(); }
};

// The report of what the asked forms would lose of quest.
LossReport ReportLosses(const model::QuestDocument& quest, LossForms forms);

} // namespace questtool
