// The main window's build, check and play commands: Compile, Compile and
// run, the check of every script, and Play without building.
#include "editor/MainForm.h"

#include "editor/QuestFolders.h"
#include "editor/ScriptCheck.h"
#include "editor/StandAloneBuild.h"
#include "model/Errors.h"
#include "model/LostContent.h"
#include "model/QuestFile.h"
#include "platform/ErrorReport.h"
#include "platform/Text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QProgressBar>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <limits>

namespace editor {
namespace {

using platform::FromQString;
using platform::MessageKind;

constexpr const char* kBuiltQuestName = "Quest1";
constexpr const char* kEngineProgram = "norvo-engine";
// The quest file Play writes for a quest never saved, in a folder of its own.
constexpr const char* kNewPlayQuestFile = "New.nvx";

// Handles the window system's pending events, repaints among them, but holds
// back the user's input: for long work on the window's own thread.
void LetThePaintThrough() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

bool TForm1::AskAboutScriptErrors(const char* question) {
    if (CheckQuestScripts(State).empty())
        return true;
    return services_.dialogs.Question(platform::QuestionKind::YesNo, Ru(question));
}

bool TForm1::BuildStandalone() {
    // Any build that does not finish leaves no name, so nothing is started.
    State.BuiltExeName.clear();
    if (!RequireQuest())
        return false;
    CommitAll();
    if (!AskAboutScriptErrors("В сценариях есть ошибки. Собрать все равно?"))
        return false;
    if (!AskAboutLostContent(model::StoredForm::Payload, "Собрать все равно?"))
        return false;
    const platform::FileDialogRequest request{
        DialogFolder(State.ProgramDir, kStandAloneFolder) + kBuiltQuestName,
        Ru("Stand-Alone файлы (*)"), ""};
    const auto path = services_.documentDialogs.SaveFileName(request);
    if (!path) {
        services_.dialogs.Message(MessageKind::Plain, Ru("Произошла ошибка. Попробуйте еще раз."));
        return false;
    }
    const bool ok = platform::RunReported(services_.dialogs, [&] {
        // The panel is up before the editor's file is read, which takes a
        // moment for a large player. Paint events are let through while the
        // build runs, so the window repaints where the dialog just closed;
        // the user's clicks and keys wait until it is done.
        Panel3->show();
        PBar->setRange(0, 1);
        PBar->setValue(0);
        LetThePaintThrough();
        const std::string image = ReadPlayerStub(services_.executablePath);
        const int size = static_cast<int>(
            std::min<std::size_t>(image.size(), std::numeric_limits<int>::max()));
        PBar->setRange(0, size);
        PBar->setValue(0);
        Panel3->repaint();
        WriteStandAloneQuest(*path, image, State, [this, size](std::size_t written) {
            PBar->setValue(static_cast<int>(std::min<std::size_t>(written, size)));
            LetThePaintThrough();
        });
    });
    Panel3->hide();
    if (ok)
        State.BuiltExeName = *path;
    return ok;
}

bool TForm1::CompileAndRun() {
    if (!BuildStandalone())
        return false;
    const std::string& built = State.BuiltExeName;
    if (const auto failure = services_.desktop.StartDetached(built, {}, FolderOf(built))) {
        services_.dialogs.Message(MessageKind::Error,
                                  Ru("Не удалось запустить ") + PathText(built) + ": " + *failure);
        return false;
    }
    return true;
}

void TForm1::N9Click() { Run([this] { BuildStandalone(); }); }
void TForm1::N16Click() { Run([this] { CompileAndRun(); }); }
void TForm1::Image2Click() { N16Click(); }

void TForm1::mnuCheckScriptsClick() {
    Run([this] {
        if (!RequireQuest())
            return;
        CommitAll();
        services_.dialogs.Message(MessageKind::Information,
                                  DescribeScriptProblems(CheckQuestScripts(State)));
    });
}

void TForm1::mnuPlayClick() {
    Run([this] {
        if (!RequireQuest())
            return;
        CommitAll();
        if (!AskAboutScriptErrors("В сценариях есть ошибки. Играть все равно?"))
            return;
        // The player reads the quest from a quest file, which keeps no more
        // than a saved one does.
        if (!AskAboutLostContent(model::StoredForm::QuestFile, "Играть все равно?"))
            return;
        const std::string engine = State.ProgramDir + kEngineProgram;
        if (!std::filesystem::exists(engine))
            throw model::InOutError(Ru("Нет программы ") + kEngineProgram +
                                    Ru(" рядом с редактором: ") + PathText(engine));
        if (!playFolder_) {
            playFolder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                          QStringLiteral("/norvo-creator-XXXXXX"));
            if (!playFolder_->isValid()) {
                const std::string reason = FromQString(playFolder_->errorString());
                playFolder_.reset();
                throw model::InOutError(Ru("Не удалось создать временную папку: ") + reason);
            }
        }
        // Named as the quest is, since the player shows its file's name.
        const std::string quest =
            PlayFolder() + "/" +
            (State.QuestFileName.empty()
                 ? std::string(kNewPlayQuestFile)
                 : std::filesystem::path(State.QuestFileName).filename().string());
        if (!WriteQuestTo(quest))
            return;
        const std::string folder =
            State.QuestFileName.empty() ? State.ProgramDir : FolderOf(State.QuestFileName);
        if (const auto failure = services_.desktop.StartDetached(engine, {quest}, folder))
            services_.dialogs.Message(MessageKind::Error, Ru("Не удалось запустить ") +
                                                              PathText(engine) + ": " + *failure);
    });
}

std::string TForm1::PlayFolder() const {
    return playFolder_ ? std::string(QFile::encodeName(playFolder_->path()).constData())
                       : std::string();
}

} // namespace editor
