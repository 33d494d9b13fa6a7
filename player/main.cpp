// norvo-engine: plays the quest stored behind its own image; a bare player
// plays the quest file named on its command line. With --transcript it plays
// without a screen and prints what the window shows after each step.
#include "model/Cp1251.h"
#include "model/ExeLayout.h"
#include "platform/QtDialogs.h"
#include "platform/Translation.h"
#include "player/QuestSource.h"
#include "player/Transcript.h"
#include "player/pMain.h"

#include <QApplication>
#include <QScreen>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: norvo-engine [QUEST.nvx] [--transcript STEPS [--answer TEXT]...]\n"
    "  QUEST.nvx          a quest file to play (ignored by a stand-alone quest)\n"
    "  --transcript STEPS play without a screen: STEPS is a comma-separated list of\n"
    "                     action numbers 1..6, t (a countdown tick), r (a roll\n"
    "                     tick) and o (the roll's OK); one JSON line is printed\n"
    "                     after loading and after each step\n"
    "  --answer TEXT      the next answer to an input or question box (yes, ok,\n"
    "                     no, cancel answer a question box)\n";

struct Arguments {
    std::optional<std::string> questFile;
    std::optional<std::string> steps;
    std::vector<std::string> answers; // UTF-8 as given
};

// Returns nullopt (after printing why) for a command line that makes no sense.
std::optional<Arguments> ParseArguments(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--transcript" || arg == "--answer") {
            if (i + 1 >= argc) {
                std::cerr << "norvo-engine: " << arg << " needs a value\n" << kUsage;
                return std::nullopt;
            }
            if (arg == "--transcript")
                args.steps = argv[++i];
            else
                args.answers.push_back(argv[++i]);
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else if (arg.starts_with("--") || args.questFile) {
            std::cerr << "norvo-engine: unexpected argument '" << arg << "'\n" << kUsage;
            return std::nullopt;
        } else {
            args.questFile = arg;
        }
    }
    if (!args.steps && !args.answers.empty()) {
        std::cerr << "norvo-engine: --answer is for --transcript only\n" << kUsage;
        return std::nullopt;
    }
    return args;
}

// In transcript mode there is no desktop, and Qt's warnings about what it
// lacks (no runtime folder, no window manager) would only bury the output;
// critical and fatal messages still get through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toLocal8Bit().constData() << '\n';
}

std::string OwnExecutable() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

// A payload behind the own image wins; else the quest file; else an empty quest.
std::unique_ptr<player::QuestSource> ChooseSource(const Arguments& args) {
    const std::string exe = OwnExecutable();
    std::string payload;
    try {
        payload = model::ReadPayloadText(exe);
    } catch (const std::exception&) {
        // Unreadable own file: played as one without a payload.
    }
    if (payload.empty() && args.questFile)
        return player::QuestFileSource(*args.questFile);
    return player::PayloadFileSource(exe, std::move(payload));
}

} // namespace

int main(int argc, char** argv) {
    const auto args = ParseArguments(argc, argv);
    if (!args)
        return 2;

    if (args->steps) {
        std::string error;
        const auto steps = player::ParseSteps(*args->steps, error);
        if (!steps) {
            std::cerr << "norvo-engine: " << error << '\n';
            return 2;
        }
        std::vector<std::string> answers;
        for (const std::string& answer : args->answers) {
            try {
                answers.push_back(model::Utf8ToCp1251(answer));
            } catch (const std::exception& e) {
                std::cerr << "norvo-engine: answer '" << answer << "': " << e.what() << '\n';
                return 2;
            }
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Without a screen, no loudspeaker either, unless one is asked for.
        if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
            qputenv("SDL_AUDIODRIVER", "dummy");
        qInstallMessageHandler(QuietQtMessages);
        QApplication app(argc, argv);
        if (!player::RunTranscript(ChooseSource(*args), *steps, answers, std::cout)) {
            std::cerr << "norvo-engine: запись прервана: больше " << player::kMaxUnansweredBoxes
                      << " окон остались без ответа — сценарий спрашивает без конца; "
                         "дайте ответы через --answer\n";
            return 1;
        }
        return 0;
    }

#ifdef Q_OS_LINUX
    // Without a display Qt would abort with a page of advice; one line is
    // enough, and it names the way to play without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::cerr << "norvo-engine: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                     "--transcript plays without one\n";
        return 1;
    }
#endif
    QApplication app(argc, argv);
    platform::LoadQtTranslation(app);
    platform::QtDialogs dialogs;
    player::TForm1 form(ChooseSource(*args), dialogs);
    dialogs.SetParent(&form);
    if (const QScreen* screen = form.screen())
        form.move(screen->availableGeometry().center() - form.rect().center());
    form.show();
    return app.exec();
}
