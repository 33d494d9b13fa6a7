// Loads qtbase_ru from the folder where the system keeps Qt's translations.
#include "platform/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

bool LoadQtTranslation(QCoreApplication& app) {
    // Owned by the application, so it lives as long as the windows it serves.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace platform
