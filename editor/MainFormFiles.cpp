// The main window's document commands: New, Open, Save, Save as, Exit, and
// the help, the parameters and the credits; with the question before unsaved
// work is dropped and before content a file would lose is stored.
#include "editor/MainForm.h"

#include "editor/AuthorForm.h"
#include "editor/CodeEditor.h"
#include "editor/LostContentText.h"
#include "editor/ParamForm.h"
#include "editor/QuestFolders.h"
#include "model/Errors.h"
#include "model/LostContent.h"
#include "model/QuestFile.h"
#include "platform/ErrorReport.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <filesystem>

namespace editor {
namespace {

using platform::MessageKind;

constexpr const char* kNewQuestName = "New";
constexpr const char* kHelpFile = "readme.html";
// Where `cmake --install` puts the help, seen from the installed program.
constexpr const char* kInstalledHelpFolder = "../share/doc/norvo/";

QString FileNameOf(const std::string& path) {
    return QFileInfo(QFile::decodeName(path.c_str())).fileName();
}

} // namespace

bool TForm1::RequireQuest() {
    if (State.HasQuest)
        return true;
    services_.dialogs.Message(MessageKind::Plain,
                              Ru("Сначала создайте новый квест или откройте существующий."));
    return false;
}

bool TForm1::MayDropQuest() {
    if (!State.HasQuest)
        return true;
    CommitAll();
    if (!State.Modified)
        return true;
    switch (services_.documentDialogs.YesNoCancel(
        Ru("В квесте есть несохраненные изменения. Сохранить их?"))) {
    case platform::Answer::Yes:
        return State.QuestFileName.empty() ? SaveQuestAs() : SaveQuest();
    case platform::Answer::No:
        return true;
    case platform::Answer::Cancel:
        break;
    }
    return false;
}

bool TForm1::AskAboutLostContent(model::StoredForm form, const char* question) {
    const std::string text =
        LostContentQuestion(model::FindLostContent(State), form, Ru(question));
    return text.empty() || services_.dialogs.Question(platform::QuestionKind::YesNo, text);
}

bool TForm1::NewQuest() {
    if (!MayDropQuest())
        return false;
    static_cast<model::QuestDocument&>(State) = model::NewQuestDocument();
    State.QuestFileName.clear();
    ShowQuest(QString::fromUtf8(kNewQuestName));
    return true;
}

bool TForm1::OpenQuest() {
    if (!MayDropQuest())
        return false;
    const platform::FileDialogRequest request{
        DialogFolder(State.ProgramDir, kQuestsFolder) + kNewQuestName,
        Ru("Файлы квестов (*.nvx)"), "nvx"};
    const auto path = services_.documentDialogs.OpenFileName(request);
    if (!path) {
        services_.dialogs.Message(MessageKind::Plain,
                                  Ru("Во время загрузки произошла ошибка!\rПопробуйтк еще раз."));
        return false;
    }
    // The question about unsaved work was asked before the dialog.
    return ReadQuestInto(*path);
}

bool TForm1::OpenQuestFile(const std::string& path) {
    return MayDropQuest() && ReadQuestInto(path);
}

bool TForm1::ReadQuestInto(const std::string& path) {
    // The file is read into a model of its own: a file that fails leaves the
    // open quest exactly as it was.
    model::QuestDocument read;
    const bool ok = platform::RunReported(services_.dialogs, [&] {
        try {
            read = model::ReadQuestFile(path);
        } catch (const std::exception& e) {
            throw model::InOutError(Ru("Не удалось открыть ") + PathText(path) + ": " + e.what());
        }
    });
    if (!ok)
        return false;
    static_cast<model::QuestDocument&>(State) = std::move(read);
    State.QuestFileName = path;
    ShowQuest(FileNameOf(path));
    return true;
}

bool TForm1::WriteQuestTo(const std::string& path) {
    return platform::RunReported(services_.dialogs, [&] {
        try {
            model::WriteQuestFile(path, State);
        } catch (const std::exception& e) {
            throw model::InOutError(Ru("Не удалось сохранить ") + PathText(path) + ": " + e.what());
        }
    });
}

bool TForm1::SaveQuest() {
    if (!RequireQuest())
        return false;
    if (State.QuestFileName.empty()) {
        services_.dialogs.Message(MessageKind::Plain,
                                  Ru("Произошла ошибка!\rНажмите Сохранить как..."));
        return false;
    }
    CommitAll();
    if (!AskAboutLostContent(model::StoredForm::QuestFile, "Сохранить все равно?"))
        return false;
    if (!WriteQuestTo(State.QuestFileName))
        return false;
    captionName_ = FileNameOf(State.QuestFileName);
    State.Modified = false;
    UpdateCaption();
    return true;
}

bool TForm1::SaveQuestAs() {
    if (!RequireQuest())
        return false;
    CommitAll();
    if (!AskAboutLostContent(model::StoredForm::QuestFile, "Сохранить все равно?"))
        return false;
    const platform::FileDialogRequest request{
        DialogFolder(State.ProgramDir, kQuestsFolder) + kNewQuestName,
        Ru("Файлы квестов (*.nvx)"), "nvx"};
    const auto path = services_.documentDialogs.SaveFileName(request);
    if (!path) {
        services_.dialogs.Message(MessageKind::Plain,
                                  Ru("При сохранении произошла ошибка!\rПопробуйте еще раз."));
        return false;
    }
    if (!WriteQuestTo(*path))
        return false;
    State.QuestFileName = *path;
    captionName_ = FileNameOf(*path);
    State.Modified = false;
    UpdateCaption();
    return true;
}

void TForm1::N2Click() { Run([this] { NewQuest(); }); }
void TForm1::imgExitClick() { N2Click(); }
void TForm1::N5Click() { Run([this] { OpenQuest(); }); }
void TForm1::imgLodClick() { N5Click(); }
void TForm1::N4Click() { Run([this] { SaveQuest(); }); }
void TForm1::N15Click() { Run([this] { SaveQuestAs(); }); }
void TForm1::imgSaveClick() { N15Click(); }

void TForm1::N7Click() {
    Run([this] {
        if (State.HasQuest) {
            CommitAll();
            if (State.Modified) {
                // The save question takes the place of the confirmation.
                if (!MayDropQuest())
                    return;
                closing_ = true;
                close();
                return;
            }
        }
        if (services_.dialogs.Question(platform::QuestionKind::YesNo,
                                       Ru("Вы действительно хотите выйти?"))) {
            closing_ = true;
            close();
        }
    });
}
void TForm1::Image3Click() { N7Click(); }

void TForm1::closeEvent(QCloseEvent* event) {
    bool mayClose = closing_;
    if (!mayClose)
        Run([&] { mayClose = MayDropQuest(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    closing_ = true;
    fParam->close();
    Form2->close();
    event->accept();
}

void TForm1::N14Click() {
    Run([this] {
        // Beside the program in a build; in the doc folder once installed.
        std::string help = State.ProgramDir + kHelpFile;
        const std::string installed = State.ProgramDir + kInstalledHelpFolder + kHelpFile;
        if (!std::filesystem::exists(help) && std::filesystem::exists(installed))
            help = installed;
        services_.desktop.OpenDocument(help);
    });
}

void TForm1::N12Click() { Run([this] { fParam->Open(); }); }
void TForm1::Image1Click() { N12Click(); }
void TForm1::N13Click() { Run([this] { Form2->Open(); }); }

} // namespace editor
