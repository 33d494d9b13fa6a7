// The default error report: a command that may fail runs inside it, and a
// failure is shown to the user in an error box instead of escaping into the
// toolkit's event loop.
#pragma once

#include "platform/Dialogs.h"

#include <functional>

namespace platform {

// Runs command; if it throws, shows the exception's message (cp1251) in an
// error box and returns false. Nothing ever escapes, not even from the box.
bool RunReported(Dialogs& dialogs, const std::function<void()>& command) noexcept;

} // namespace platform
