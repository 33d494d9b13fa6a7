// Reading the stub and writing the stand-alone quest, with messages that
// name the file.
#include "editor/StandAloneBuild.h"

#include "editor/EditorState.h"
#include "model/Cp1251.h"
#include "model/Errors.h"
#include "model/ExeLayout.h"
#include "model/Payload.h"
#include "model/LineCodec.h"
#include "model/SafeFile.h"
#include "platform/Text.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <string_view>

namespace editor {
namespace {

// The file is written in pieces of this size so that the progress bar moves
// while it is written: on a player image of a few megabytes it moves dozens
// of times, and its repaints stay small beside the writes.
constexpr std::size_t kWritePiece = 64 * 1024;

// Everyone may run a built quest; only its owner may change it.
constexpr QFileDevice::Permissions kRunMode =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
    QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
    QFileDevice::ExeOther;

[[noreturn]] void WriteFailed(const std::string& path, const QString& reason) {
    throw model::InOutError(Ru("Не удалось записать ") + PathText(path) + ": " +
                            platform::FromQString(reason));
}

} // namespace

std::string ReadPlayerStub(const std::string& editorPath) {
    try {
        const std::string bytes = model::ReadFileBytes(editorPath);
        const std::string image = model::PlayerImageFromStub(bytes);
        // The stub is the image and one spare byte; anything shorter was cut.
        const auto stubStart = model::ExecutableImageSize(bytes);
        if (bytes.size() - stubStart < image.size() + 1)
            throw model::InOutError(Ru("программа квеста обрезана"));
        return image;
    } catch (const std::exception& e) {
        throw model::InOutError(Ru("Не удалось взять программу квеста из файла редактора ") +
                                PathText(editorPath) + ": " + e.what());
    }
}

void WriteStandAloneQuest(const std::string& path, const std::string& playerImage,
                          const model::QuestDocument& quest, const ImageProgress& progress) {
    std::string payload = model::BuildPayload(quest);
    model::ScrambleText(payload, model::PayloadKey, false);

    // A temporary file beside the target, flushed to disk and renamed over it
    // by commit: a build that fails leaves the file that was there.
    QSaveFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::WriteOnly))
        WriteFailed(path, file.errorString());
    std::string_view image = playerImage;
    std::size_t written = 0;
    while (!image.empty()) {
        const std::size_t piece = std::min(kWritePiece, image.size());
        if (file.write(image.data(), static_cast<qint64>(piece)) != static_cast<qint64>(piece))
            WriteFailed(path, file.errorString());
        image.remove_prefix(piece);
        written += piece;
        if (progress)
            progress(written);
    }
    if (file.write(payload.data(), static_cast<qint64>(payload.size())) !=
        static_cast<qint64>(payload.size()))
        WriteFailed(path, file.errorString());
    if (!file.setPermissions(kRunMode))
        WriteFailed(path, file.errorString());
    if (!file.commit())
        WriteFailed(path, file.errorString());
}

} // namespace editor
