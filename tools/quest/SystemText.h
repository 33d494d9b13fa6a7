// The model's error messages on a terminal: UTF-8, in Russian, with the
// system's own English texts ("'12a' is not a valid integer value", the
// standard library's) kept as they are, quoted inside. norvo-quest words
// "File not found" and "Invalid numeric input" itself, with the file's name.
#pragma once

#include <string>
#include <string_view>

namespace questtool {

// what() of a model or JSON error (cp1251) as norvo-quest prints it (UTF-8).
std::string ErrorInRussian(std::string_view cp1251What);

// Text for the terminal: valid UTF-8 stays, and each byte that is not (from
// a file name or an argument as the system gave it) becomes \xNN, so that the
// terminal shows what was there instead of garbage.
std::string ForTerminal(std::string_view bytes);

} // namespace questtool
