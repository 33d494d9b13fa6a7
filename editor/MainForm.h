// The editor's main window: one location of the open quest at a time, the
// location list, the six actions with the code of the chosen one, the menu
// and the picture buttons of the document, build and help commands.
#pragma once

#include "editor/EditorState.h"
#include "model/LostContent.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/DocumentDialogs.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTemporaryDir;
class QToolButton;

namespace editor {

class CodeEditor;
class LocationListModel;
class TfParam;
class TForm2;

// The client area below the menu, fixed.
inline constexpr int kMainFormWidth = 794;
inline constexpr int kMainFormHeight = 463;

// What the window asks of the world outside it. All outlive the window.
struct EditorServices {
    platform::Dialogs& dialogs;                 // messages and Yes/No boxes
    platform::DocumentDialogs& documentDialogs; // file dialogs, Yes/No/Cancel
    platform::Desktop& desktop;                 // help file, starting programs
    std::string executablePath;                 // the editor's own file, carrying the stub
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window, the parameters dialog and the credits window, and
    // runs FormCreate. Only the main window is shown, by the caller.
    explicit TForm1(const EditorServices& services);
    ~TForm1() override;

    EditorState State;

    // --- Controls ---
    QGroupBox* GroupBox1;
    QListView* ListBox;
    LocationListModel* ListModel; // the entries of ListBox
    QPushButton* btnLeft;
    QPushButton* btnRight;
    QPushButton* btnDelLoc;
    QPushButton* btnAddLoc;
    QGroupBox* GroupBox2;
    QPlainTextEdit* Memo;
    QFrame* Panel2;
    QFrame* Panel1;
    QToolButton* Image2; // compile and run
    QToolButton* Image1; // parameters
    QToolButton* Image3; // exit
    QToolButton* imgExit; // new quest
    QToolButton* imgSave; // save as
    QToolButton* imgLoad; // open
    QLabel* lblLoc;
    QScrollArea* MainBox;
    std::array<QLabel*, 6> ActionLabels; // Label9 .. Label14
    QLineEdit* A1;
    QLineEdit* A2;
    QLineEdit* A3;
    QLineEdit* A4;
    QLineEdit* A5;
    QLineEdit* A6;
    QLabel* lblCode;
    CodeEditor* MemoCode;
    QPushButton* btnSaveLoc;
    QFrame* Panel3; // the build's progress panel
    QProgressBar* PBar;

    // The menu items, by handler.
    QAction* N2;  // "Новый"
    QAction* N5;  // "Открыть"
    QAction* N4;  // "Сохранить"
    QAction* N15; // "Сохранить как..."
    QAction* N7;  // "Выход"
    QAction* N9;  // "Компилировать"
    QAction* N16; // "Скомпилировать и Запустить"
    QAction* N12; // "Параметры"
    QAction* mnuCheckScripts; // "Проверить сценарии"
    QAction* mnuPlay;         // "Играть"
    QAction* N13; // "Авторы"
    QAction* N14; // "Справка"

    TfParam* fParam; // the parameters dialog
    TForm2* Form2;   // the credits window

    // Caption box n, 1..6.
    QLineEdit* CaptionBox(int n) const;
    // The shown location number (the label's tag): 0 before any quest.
    int ShownLocation() const { return lblLocTag_; }

    // --- Handlers, as the toolkit calls them ---
    void FormCreate();
    void ShowLocationFields();
    void btnSaveLocClick();
    void A1Exit();
    void A2Exit();
    void A3Exit();
    void A4Exit();
    void A5Exit();
    void A6Exit();
    void MemoCodeExit();
    void A1Click();
    void A2Click();
    void A3Click();
    void A4Click();
    void A5Click();
    void A6Click();
    void btnLeftClick();
    void btnRightClick();
    void ListBoxClick();
    void btnAddLocClick();
    void btnDelLocClick();
    void N2Click();        // New
    void imgExitClick();   // New
    void N5Click();        // Open
    void imgLodClick();    // Open
    void N4Click();        // Save
    void N15Click();       // Save as
    void imgSaveClick();   // Save as
    void N7Click();        // Exit
    void Image3Click();    // Exit
    void N9Click();        // Compile
    void N16Click();       // Compile and run
    void Image2Click();    // Compile and run
    void N12Click();       // Parameters
    void Image1Click();    // Parameters
    void N13Click();       // Credits
    void N14Click();       // Help
    void mnuCheckScriptsClick();
    void mnuPlayClick();

    // Opens a file as Open does after its dialog (the command line's file);
    // asks first about unsaved changes. Returns whether it opened.
    bool OpenQuestFile(const std::string& path);
    // The operations behind the commands; each returns whether it finished.
    bool NewQuest();
    bool OpenQuest();
    bool SaveQuest();
    bool SaveQuestAs();
    bool BuildStandalone();
    bool CompileAndRun();

    // The folder of the temporary quests that Play starts the player on.
    // The folder Play writes its quest file to; empty before the first Play.
    std::string PlayFolder() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildMenu();
    void Run(const std::function<void()>& command);
    // Commits the shown location and the code, as every command that stores
    // or builds the quest does first.
    void CommitAll();
    void CaptionExit(int n);
    void ActionClick(int n);
    void EnableLocationControls();
    void UpdateCaption();
    void MarkModified();
    // Before a New, an Open or leaving: true when the open quest may go.
    bool MayDropQuest();
    // Refuses a command that needs a quest while there is none.
    bool RequireQuest();
    bool AskAboutLostContent(model::StoredForm form, const char* question);
    bool AskAboutScriptErrors(const char* question);
    bool WriteQuestTo(const std::string& path);
    // Reads the file and shows it as Open does, asking nothing.
    bool ReadQuestInto(const std::string& path);
    void ShowQuest(const QString& captionName);

    EditorServices services_;
    int lblLocTag_ = 0;
    QString captionName_; // the file name shown between the brackets
    bool closing_ = false; // the close was confirmed; don't ask again
    std::unique_ptr<QTemporaryDir> playFolder_; // removed with the window
};

} // namespace editor
