// The selector rule of the script functions: "param1".."param6", "p1".."p6"
// and "action1".."action6" choose parameter or action N, compared with the
// whole text byte for byte; any other text chooses nothing.
#pragma once

#include <string_view>

namespace player::script {

inline constexpr std::string_view kNameSelector = "param";
inline constexpr std::string_view kValueSelector = "p";
inline constexpr std::string_view kActionSelector = "action";

// N (1..6) when text is prefix followed by one digit 1..6, else 0.
int SelectorIndex(std::string_view text, std::string_view prefix);

} // namespace player::script
