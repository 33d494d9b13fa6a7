// Compiling and running one script text with the player's limits.
#include "player/ScriptRunner.h"

#include "model/Cp1251.h"

#include <memory>

namespace player {

void WaitingDialogs::Message(platform::MessageKind kind, const std::string& text) {
    RunClock::Wait wait(clock_);
    inner_.Message(kind, text);
}

bool WaitingDialogs::Question(platform::QuestionKind kind, const std::string& text) {
    RunClock::Wait wait(clock_);
    return inner_.Question(kind, text);
}

std::optional<std::string> WaitingDialogs::Input(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) {
    RunClock::Wait wait(clock_);
    return inner_.Input(caption, prompt, initial);
}

void DialogBridge::showMessage(const std::string& msg) {
    dialogs_.Message(platform::MessageKind::Plain, msg);
}

std::optional<std::string> DialogBridge::inputBox(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& defaultText) {
    return dialogs_.Input(caption, prompt, defaultText);
}

void DialogBridge::errorDlg(const std::string& msg) {
    dialogs_.Message(platform::MessageKind::Error, msg);
}

void DialogBridge::informationDlg(const std::string& msg) {
    dialogs_.Message(platform::MessageKind::Information, msg);
}

bool DialogBridge::questionDlg(const std::string& msg) {
    return dialogs_.Question(platform::QuestionKind::YesNo, msg);
}

bool DialogBridge::okCancelDlg(const std::string& msg) {
    return dialogs_.Question(platform::QuestionKind::OkCancel, msg);
}

ScriptRunner::ScriptRunner(platform::Dialogs& dialogs, std::function<bool()> stopWhen)
    : dialogs_(dialogs, clock_), dialogBridge_(dialogs_), stopWhen_(std::move(stopWhen)) {
    pascal::registerDialogUnit(engine_, dialogBridge_);
}

void ScriptRunner::Run(const std::string& text) {
    if (!CanRun())
        return;
    struct Depth {
        int& depth;
        RunClock& clock;
        Depth(int& d, RunClock& c) : depth(d), clock(c) {
            ++depth;
            clock.BeginRun();
        }
        ~Depth() {
            clock.EndRun();
            --depth;
        }
    } depth(depth_, clock_);

    std::unique_ptr<pascal::Program> program = engine_.compile(text);
    if (program->hasErrors())
        dialogs_.Message(platform::MessageKind::Plain, program->messagesText());

    bool tooLong = false;
    pascal::RunOptions options;
    options.cancelled = [this, &tooLong] {
        if (stopWhen_ && stopWhen_())
            return true;
        tooLong = clock_.Computing() > timeLimit_;
        return tooLong;
    };
    const pascal::RunStatus status = program->run(options);
    if (status == pascal::RunStatus::Stopped && tooLong) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeLimit_).count();
        dialogs_.Message(platform::MessageKind::Warning,
                         model::Utf8ToCp1251("Сценарий выполнялся слишком долго (больше ") +
                             std::to_string(seconds) +
                             model::Utf8ToCp1251(" с) и был остановлен."));
    }
}

} // namespace player
