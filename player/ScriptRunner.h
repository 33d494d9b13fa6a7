// The script host's engine: compiles and runs one script text at a time with
// the player's limits (computing time, nesting depth), shows compile errors
// and the stop of an endless script in the window's boxes, and keeps the time
// a script waits in a box out of its computing time.
#pragma once

#include "pascal/DialogUnit.h"
#include "pascal/Engine.h"
#include "platform/Dialogs.h"
#include "player/RunClock.h"

#include <chrono>
#include <functional>
#include <string>

namespace player {

// A script that has computed this long (time in boxes not counted) is
// stopped: it is taken to be an endless loop, and the player must not freeze.
inline constexpr std::chrono::milliseconds kScriptTimeLimit{5000};

// Script runs nest when a box's event loop lets another script run (the
// countdown); runs beyond this depth are dropped so the stack cannot run out.
inline constexpr int kMaxRunDepth = 8;

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

class ScriptRunner {
public:
    // dialogs must outlive the runner. The engine has the dialog functions
    // registered; the caller registers its own units on Engine().
    // stopWhen, when given, is asked while scripts run: once it says true,
    // the running scripts are stopped and no further run starts (a player
    // without a screen uses it to end a quest that keeps asking).
    explicit ScriptRunner(platform::Dialogs& dialogs, std::function<bool()> stopWhen = {});

    pascal::Engine& Engine() { return engine_; }
    // The boxes, with the waiting in them kept out of the computing time.
    platform::Dialogs& Dialogs() { return dialogs_; }

    // Whether one more run may start: false at the nesting bound.
    bool CanRun() const { return depth_ < kMaxRunDepth && !(stopWhen_ && stopWhen_()); }
    // Compiles text, shows compile errors in a box, runs the program (not
    // when it failed to compile) and discards it. Run-time errors end the
    // run silently; a script over the time limit is stopped and the player
    // told. Does nothing when !CanRun(). Never throws the script's errors.
    void Run(const std::string& text);

    void SetTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }

private:
    RunClock clock_;
    WaitingDialogs dialogs_;
    DialogBridge dialogBridge_;
    pascal::Engine engine_;
    std::function<bool()> stopWhen_;
    std::chrono::milliseconds timeLimit_ = kScriptTimeLimit;
    int depth_ = 0; // runs under way, the innermost included
};

} // namespace player
