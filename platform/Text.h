// The boundary between the program's cp1251 text (std::string) and the
// widgets' QString: the only place where one turns into the other.
#pragma once

#include <QString>
#include <string>

namespace platform {

// Every cp1251 byte becomes its own character; nothing is lost.
QString ToQString(const std::string& cp1251);

// A character that has no cp1251 byte becomes '?'.
std::string FromQString(const QString& text);

} // namespace platform
