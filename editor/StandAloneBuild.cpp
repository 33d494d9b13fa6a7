// Reading the stub and writing the stand-alone quest, with messages that
// name the file.
#include "editor/StandAloneBuild.h"

#include "editor/EditorState.h"
#include "model/Cp1251.h"
#include "model/Errors.h"
#include "model/ExeLayout.h"
#include "model/Payload.h"
#include "model/SafeFile.h"

namespace editor {
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
                          const model::QuestDocument& quest) {
    try {
        model::WriteStandAlone(path, playerImage, model::BuildPayload(quest));
    } catch (const std::exception& e) {
        throw model::InOutError(Ru("Не удалось записать ") + PathText(path) + ": " + e.what());
    }
}

} // namespace editor
