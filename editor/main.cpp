// norvo-creator: the quest editor. With a file argument it opens that quest
// at start, as Open would.
#include "editor/MainForm.h"
#include "editor/QuestFolders.h"
#include "editor/Look.h"
#include "platform/QtDesktop.h"
#include "platform/QtDialogs.h"
#include "platform/QtDocumentDialogs.h"
#include "platform/Translation.h"

#include <QApplication>
#include <iostream>
#include <string>

namespace {

constexpr const char* kUsage = "usage: norvo-creator [QUEST.nvx]\n";

} // namespace

int main(int argc, char** argv) {
    std::string questFile;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (!questFile.empty() || (arg.size() > 1 && arg[0] == '-')) {
            std::cerr << "norvo-creator: unexpected argument '" << arg << "'\n" << kUsage;
            return 2;
        }
        questFile = arg;
    }
#ifdef Q_OS_LINUX
    // Without a display Qt would abort with a page of advice; one line will do.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::cerr << "norvo-creator: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n";
        return 1;
    }
#endif
    QApplication app(argc, argv);
    // The boxes' title. Not the display name: Qt would append that to every
    // window's caption ("Параметры — Norvo Creator"), and the captions are
    // fixed texts.
    QApplication::setApplicationName(QStringLiteral("Norvo Creator"));
    platform::LoadQtTranslation(app);
    platform::QtDialogs dialogs;
    platform::QtDocumentDialogs documentDialogs;
    platform::QtDesktop desktop;
    editor::TForm1 form({dialogs, documentDialogs, desktop, editor::OwnExecutablePath()});
    dialogs.SetParent(&form);
    documentDialogs.SetParent(&form);
    editor::CentreOnScreen(form);
    form.show();
    if (!questFile.empty())
        form.OpenQuestFile(questFile);
    return app.exec();
}
