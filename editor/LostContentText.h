// The question the editor asks before it stores content that the file would
// not bring back: up to ten places, the count of the rest, and "store anyway?".
#pragma once

#include "model/LostContent.h"

#include <string>
#include <vector>

namespace editor {

// The places listed by name before the rest are only counted: a box taller
// than the screen helps nobody.
inline constexpr std::size_t kLostPlacesListed = 10;

// One place, cp1251: «Локация 3, действие 2, заголовок: символ '|' будет потерян».
std::string DescribeLostPlace(const model::LostByte& place);

// Empty when no place of that form is lost; otherwise the places of `form`,
// then the question (cp1251).
std::string LostContentQuestion(const std::vector<model::LostByte>& places,
                                model::StoredForm form, const std::string& question);

} // namespace editor
