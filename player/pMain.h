// The player's main window: the location on display, the action labels, the
// inventory, the console, and the handlers through which clicks and ticks
// reach the scripts.
#pragma once

#include "platform/Dialogs.h"
#include "platform/Pictures.h"
#include "player/MainWindowUi.h"
#include "player/PlayerState.h"
#include "player/QuestSource.h"
#include "player/ScriptRunner.h"
#include "player/TitresForm.h"
#include "player/script/PlayerHost.h"

#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QImage;

namespace player {

class TForm1 : public QWidget, public MainWindowUi, public script::PlayerHost {
public:
    // Builds the window and runs FormCreate, which loads the quest from
    // source. dialogs must outlive the window. Without audio the window
    // plays through SDL2_mixer. Once stopScripts (when given) says true, the
    // running scripts stop and no more start.
    TForm1(std::unique_ptr<QuestSource> source, platform::Dialogs& dialogs,
           std::unique_ptr<platform::Audio> audio = nullptr, QWidget* parent = nullptr,
           std::function<bool()> stopScripts = {});
    ~TForm1() override;

    // The runtime state.
    PlayerState State;
    // The credits-roll window, made hidden at start-up.
    std::unique_ptr<TTitrForm> TitrForm;

    // --- Loading and display ---
    void FormCreate();
    // Resets the state, reads the quest from the source and shows location 1.
    // Errors of the source travel to the caller.
    void LoadQuest();
    // Puts location N on display; throws std::out_of_range, showing nothing,
    // when N lies outside the table (0..count).
    void ShowLocation(std::int32_t N);
    // Puts a picture of the given kind, loaded from file (as the script named
    // it), into the picture box, stretched to fill it. A bitmap stays there
    // from one location to the next; any other kind is dropped at the next show.
    void ShowPicture(const QImage& picture, platform::PictureKind kind, const std::string& file);
    // The kind and file of the picture on display; nullopt and empty for none.
    std::optional<platform::PictureKind> PictureKind() const { return pictureKind_; }
    const std::string& PictureFile() const { return pictureFile_; }
    // Replaces every occurrence of find in text, left to right; inserted text
    // is never searched again.
    static void ReplaceAll(std::string& text, const std::string& find,
                           const std::string& replacement);

    // --- Scripts ---
    // Echoes text to the console, compiles it, shows compile errors, runs it.
    // Never throws; run-time errors end the run silently. Beyond the nesting
    // bound nothing happens at all.
    void RunScript(const std::string& text);
    void SetScriptTimeLimit(std::chrono::milliseconds limit) { runner_.SetTimeLimit(limit); }

    // --- Handlers, as the toolkit calls them; each runs inside the error report ---
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
    // label in an enabled window reacts, through its click handler. Returns
    // whether it reacted.
    bool ClickAction(int n);
    // A countdown tick as the running timer fires it, through TimerTimer;
    // nothing while the timer is stopped. Returns whether it fired.
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
    platform::Dialogs& ScriptDialogs() override { return runner_.Dialogs(); }
    void GotoLocation(std::int32_t location) override;
    void Restart() override;
    void CloseWindow() override;
    void SetCaption(const std::string& caption) override;
    void AddText(const std::string& text) override;
    void SetInventoryHint(int n, const std::string& hint) override;
    void DisableAction(int n) override;
    void ShowImage(const std::string& filepath) override;
    void StartCountdown() override;
    void StopCountdown() override;
    Sounds& SoundChannels() override { return sounds_; }
    const Sounds& SoundChannels() const { return sounds_; }
    void RollCredits(const std::string& header, const std::string& text,
                     std::uint32_t interval) override;

protected:
    // The roll window has no parent (a disabled parent would disable it too),
    // so it closes with the main window here.
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectHandlers();
    // Whether slot n of the table exists (0..count; none after a failed load).
    bool HasSlot(std::int32_t n) const;
    void ActionClick(int n);
    void HighlightAction(int n, bool on);
    void ShowInventoryHint(int n);
    void RunReported(const std::function<void()>& command);

    std::unique_ptr<QuestSource> source_;
    ScriptRunner runner_;
    Sounds sounds_;
    std::optional<platform::PictureKind> pictureKind_; // of the picture on display
    std::string pictureFile_;                           // its file, as the script named it
    bool closeRequested_ = false;
    // A tick's code is under way (perhaps waiting in one of its boxes):
    // ticks that arrive meanwhile are dropped whole.
    bool tickRunning_ = false;
};

} // namespace player
