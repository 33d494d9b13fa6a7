// The program's folder and the dialogs' starting folders.
#include "editor/QuestFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <unistd.h>

namespace editor {

std::string OwnExecutablePath() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string FolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string DialogFolder(const std::string& programDir, const std::string& sub) {
    const std::string beside = programDir + sub;
    if (std::filesystem::is_directory(beside) && access(beside.c_str(), W_OK) == 0)
        return beside + '/';
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    const QString folder = documents + QLatin1Char('/') + QFile::decodeName(sub.c_str());
    QDir().mkpath(folder); // a failure shows in the dialog, which starts elsewhere
    return std::string(QFile::encodeName(folder).constData()) + '/';
}

} // namespace editor
