// Opening documents and starting detached processes through Qt.
#include "platform/QtDesktop.h"

#include "platform/Text.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace platform {

void QtDesktop::OpenDocument(const std::string& path) {
    const QString name = QFile::decodeName(path.c_str());
    if (QFileInfo::exists(name))
        QDesktopServices::openUrl(QUrl::fromLocalFile(name));
}

std::optional<std::string> QtDesktop::StartDetached(const std::string& program,
                                                    const std::vector<std::string>& arguments,
                                                    const std::string& workingDir) {
    QProcess process;
    process.setProgram(QFile::decodeName(program.c_str()));
    QStringList args;
    for (const std::string& argument : arguments)
        args << QFile::decodeName(argument.c_str());
    process.setArguments(args);
    process.setWorkingDirectory(QFile::decodeName(workingDir.c_str()));
    if (process.startDetached())
        return std::nullopt;
    return FromQString(process.errorString());
}

} // namespace platform
