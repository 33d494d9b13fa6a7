// Qt's own Russian translation, so that the standard buttons and dialogs
// read «Да», «Нет», «Отмена» like the rest of the interface.
#pragma once

class QCoreApplication;

namespace platform {

// Installs Qt's Russian translation on app from Qt's translations folder.
// Returns false when the system has none; the buttons then stay in English.
bool LoadQtTranslation(QCoreApplication& app);

} // namespace platform
