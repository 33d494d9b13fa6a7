// The error report behind every command that the programs let fail.
#include "platform/ErrorReport.h"

#include "model/Cp1251.h"

#include <exception>
#include <string>

namespace platform {
namespace {

// Shown when a failure carries no message of its own.
std::string UnknownError() {
    return model::Utf8ToCp1251("Неизвестная ошибка");
}

void Show(Dialogs& dialogs, const std::string& text) noexcept {
    try {
        dialogs.Message(MessageKind::Error, text.empty() ? UnknownError() : text);
    } catch (...) {
        // The box itself failed (out of memory, say): there is nobody left to
        // tell, and the program goes on.
    }
}

} // namespace

bool RunReported(Dialogs& dialogs, const std::function<void()>& command) noexcept {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        Show(dialogs, error.what());
    } catch (...) {
        Show(dialogs, std::string());
    }
    return false;
}

} // namespace platform
