// The player's main window: the location on display, the action labels, the
// inventory, the console, and the script host that runs an action's code.
#pragma once

#include "pascal/DialogUnit.h"
#include "pascal/Engine.h"
#include "platform/Dialogs.h"
#include "player/PlayerState.h"
#include "player/QuestSource.h"
#include "player/RunClock.h"
#include "player/script/PlayerHost.h"

#include <QWidget>
#include <array>
#include <chrono>
#include <memory>
#include <string>

class QCheckBox;
class QImage;
class QLabel;
class QPlainTextEdit;
class QTimer;

namespace player {

class ActionLabel;
class InventoryLabel;

// A script that has computed this long (time in boxes not counted) is
// stopped: it is taken to be an endless loop, and the player must not freeze.
inline constexpr std::chrono::milliseconds kScriptTimeLimit{5000};

// Script runs nest when a box's event loop lets another script run (the
// countdown); runs beyond this depth are dropped so the stack cannot run out.
inline constexpr int kMaxRunDepth = 8;

// The client area, fixed.
inline constexpr int kClientWidth = 688;
inline constexpr int kClientHeight = 447;

// Every box the window opens goes through here, so the time spent waiting in
// it is not counted against the running script.
class WaitingDialogs : public platform::Dialogs {
public:
    WaitingDialogs(platform::Dialogs& inner, RunClock& clock) : inner_(inner), clock_(clock) {}
    void Message(platform::MessageKind kind, const std::string& text) override;
    bool Question(platform::QuestionKind kind, const std::string& text) override;
    std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;

private:
    platform::Dialogs& inner_;
    RunClock& clock_;
};

// The script engine's dialog functions, shown through the window's boxes.
class DialogBridge : public pascal::DialogHost {
public:
    explicit DialogBridge(platform::Dialogs& dialogs) : dialogs_(dialogs) {}
    void showMessage(const std::string& msg) override;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultText) override;
    void errorDlg(const std::string& msg) override;
    void informationDlg(const std::string& msg) override;
    bool questionDlg(const std::string& msg) override;
    bool okCancelDlg(const std::string& msg) override;

private:
    platform::Dialogs& dialogs_;
};

class TForm1 : public QWidget, public script::PlayerHost {
public:
    // Builds the window and runs FormCreate, which loads the quest from
    // source. dialogs must outlive the window.
    TForm1(std::unique_ptr<QuestSource> source, platform::Dialogs& dialogs,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // The runtime state.
    PlayerState State;

    // --- Controls, as laid out in the client area ---
    QLabel* Image2;          // the background picture
    QPlainTextEdit* Memo;    // the description box
    QLabel* img;             // the picture box
    QPlainTextEdit* MemoCon; // the console, over the picture box
    QLabel* Label1;          // "Инвентарь"
    InventoryLabel* lblParam1;
    InventoryLabel* lblParam2;
    InventoryLabel* lblParam3;
    InventoryLabel* lblParam4;
    InventoryLabel* lblParam5;
    InventoryLabel* lblParam6;
    QLabel* lblTimer; // the countdown's label
    ActionLabel* lblA1;
    ActionLabel* lblA2;
    ActionLabel* lblA3;
    ActionLabel* lblA4;
    ActionLabel* lblA5;
    ActionLabel* lblA6;
    QCheckBox* xpCon; // shows the console
    QTimer* Timer;    // the countdown, 1 s

    // Action label n and inventory label n, 1..6.
    ActionLabel* ActionLabelOf(int n) const;
    InventoryLabel* InventoryLabelOf(int n) const;

    // --- Loading and display ---
    void FormCreate();
    // Resets the state, reads the quest from the source and shows location 1.
    // Errors of the source travel to the caller.
    void LoadQuest();
    // Puts location N on display; throws std::out_of_range, showing nothing,
    // when N lies outside the table (0..count).
    void ShowLocation(std::int32_t N);
    // Puts a picture into the picture box, stretched to fill it. A bitmap
    // stays there from one location to the next; any other kind of picture
    // is dropped at the next show.
    void ShowPicture(const QImage& picture, bool isBitmap);
    // Replaces every occurrence of find in text, left to right; inserted text
    // is never searched again.
    static void ReplaceAll(std::string& text, const std::string& find,
                           const std::string& replacement);

    // --- Scripts ---
    // Echoes text to the console, compiles it, shows compile errors, runs it.
    // Never throws; run-time errors end the run silently.
    void RunScript(const std::string& text);
    void SetScriptTimeLimit(std::chrono::milliseconds limit) { scriptTimeLimit_ = limit; }

    // --- Handlers, as the toolkit calls them ---
    void lblA1Click();
    void lblA2Click();
    void lblA3Click();
    void lblA4Click();
    void lblA5Click();
    void lblA6Click();
    void lblA1MouseEnter();
    void lblA2MouseEnter();
    void lblA3MouseEnter();
    void lblA4MouseEnter();
    void lblA5MouseEnter();
    void lblA6MouseEnter();
    void lblA1MouseLeave();
    void lblA2MouseLeave();
    void lblA3MouseLeave();
    void lblA4MouseLeave();
    void lblA5MouseLeave();
    void lblA6MouseLeave();
    void lblParam1MouseEnter();
    void lblParam2MouseEnter();
    void lblParam3MouseEnter();
    void lblParam4MouseEnter();
    void lblParam5MouseEnter();
    void lblParam6MouseEnter();
    void xpConClick();
    void TimerTimer();

    // A click on action label n as the user makes it: only a shown, enabled
    // label reacts. Returns whether it reacted.
    bool ClickAction(int n);
    // A countdown tick as the running timer fires it; nothing while the
    // timer is stopped. Returns whether it fired.
    bool FireTimer();

    // Texts as the window shows them (cp1251).
    std::string DescriptionText() const;
    std::string ConsoleText() const;
    std::string CaptionText() const;
    std::string InventoryHint(int n) const;
    // Whether a script has asked the window to close.
    bool CloseRequested() const { return closeRequested_; }

    // --- PlayerHost ---
    PlayerState& RuntimeState() override { return State; }
    platform::Dialogs& ScriptDialogs() override { return dialogs_; }
    void GotoLocation(std::int32_t location) override;
    void Restart() override;
    void CloseWindow() override;
    void SetCaption(const std::string& caption) override;
    void AddText(const std::string& text) override;
    void SetInventoryHint(int n, const std::string& hint) override;
    void DisableAction(int n) override;

private:
    void BuildControls();
    // Whether slot n of the table exists (0..count; none after a failed load).
    bool HasSlot(std::int32_t n) const;
    void ActionClick(int n);
    void HighlightAction(int n, bool on);
    void ShowNoLocation();
    void RunReported(const std::function<void()>& command);

    std::unique_ptr<QuestSource> source_;
    RunClock clock_;
    WaitingDialogs dialogs_;
    DialogBridge dialogBridge_;
    pascal::Engine engine_;
    std::array<ActionLabel*, 6> actionLabels_{};
    std::array<InventoryLabel*, 6> inventoryLabels_{};
    std::chrono::milliseconds scriptTimeLimit_ = kScriptTimeLimit;
    int runDepth_ = 0;
    bool pictureIsBitmap_ = true; // the picture box holds a bitmap (or nothing)
    bool closeRequested_ = false;
};

} // namespace player
