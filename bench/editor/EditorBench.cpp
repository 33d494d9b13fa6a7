// The editor with a quest of 100,000 locations (about 50 MB): Open to the
// first shown location, one step with ">", Save, the script check that
// Compile and Play run first, and the peak memory of opening against the
// file's size. The location list is a view over a model,
// so its cost does not grow with a widget per location.
#include "editor/MainForm.h"
#include "editor/ScriptCheck.h"
#include "model/QuestFile.h"
#include "platform/RecordingDesktop.h"
#include "platform/ScriptedDialogs.h"
#include "platform/ScriptedDocumentDialogs.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// The size the aims are set for.
constexpr int kLocations = 100000;

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    // The benchmark measures the editor, not a desktop: headless unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A location of about 500 bytes in the file: a description, four captions
// and two scripts, as a written quest has them.
model::TQuest SampleLocation(int n) {
    model::TQuest q;
    const std::string number = std::to_string(n);
    q.Description = "Location " + number + ". " + std::string(280, 'd') + "\r\nSecond line.";
    q.Caption1 = "Go north to " + number;
    q.Caption2 = "Go south";
    q.Caption3 = "Take the lamp";
    q.Caption4 = "Look around";
    q.Code1 = "goto(" + std::to_string(n % kLocations + 1) + ");\r\n";
    q.Code3 = "TakeParam('param1');\r\nhint('param1', 'A lamp');\r\nAddText('Taken.');\r\n";
    return q;
}

const std::string& LargeQuestFile() {
    static const std::string path = [] {
        model::QuestDocument quest = model::NewQuestDocument();
        quest.LocationCount = kLocations;
        quest.Quests.resize(kLocations + 1);
        for (int n = 1; n <= kLocations; ++n)
            quest.Quests[static_cast<std::size_t>(n)] = SampleLocation(n);
        const std::string file = "/tmp/norvo-bench-editor-" + std::to_string(getpid()) + ".nvx";
        model::WriteQuestFile(file, quest);
        return file;
    }();
    return path;
}

// A line of /proc/self/status ("VmRSS", "VmHWM") in bytes.
long StatusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1)) * 1024L;
    return 0;
}

// Starts a fresh peak: the kernel resets VmHWM to the present size.
void ResetPeakRss() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Editor {
    platform::ScriptedDialogs dialogs;
    platform::ScriptedDocumentDialogs files;
    platform::RecordingDesktop desktop;
    editor::TForm1 form{{dialogs, files, desktop, "/tmp/norvo-creator"}};
};

void BM_OpenLargeQuest(benchmark::State& state) {
    App();
    const std::string& path = LargeQuestFile();
    const double fileSize = static_cast<double>(std::filesystem::file_size(path));
    ResetPeakRss();
    const long before = StatusBytes("VmRSS");
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<Editor>();
        state.ResumeTiming();
        editor->form.OpenQuestFile(path);
        benchmark::DoNotOptimize(editor->form.State.LocationCount);
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
    state.counters["file_MB"] = fileSize / 1e6;
    // What opening costs beyond the program itself, against the file's size.
    state.counters["peak_growth_over_file"] =
        static_cast<double>(StatusBytes("VmHWM") - before) / fileSize;
}
BENCHMARK(BM_OpenLargeQuest)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StepRight(benchmark::State& state) {
    App();
    Editor editor;
    editor.form.OpenQuestFile(LargeQuestFile());
    for (auto _ : state) {
        if (editor.form.ShownLocation() == kLocations) {
            state.PauseTiming();
            editor.form.OpenQuestFile(LargeQuestFile());
            state.ResumeTiming();
        }
        editor.form.btnRightClick();
    }
}
BENCHMARK(BM_StepRight)->Unit(benchmark::kMicrosecond);

void BM_SaveLargeQuest(benchmark::State& state) {
    App();
    Editor editor;
    editor.form.OpenQuestFile(LargeQuestFile());
    const std::string copy = LargeQuestFile() + ".saved";
    editor.form.State.QuestFileName = copy;
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.form.SaveQuest());
    std::filesystem::remove(copy);
}
BENCHMARK(BM_SaveLargeQuest)->Unit(benchmark::kMillisecond)->Iterations(3);

// The check that Compile and Play run first: every action's script compiled.
void BM_CheckAllScripts(benchmark::State& state) {
    App();
    const model::QuestDocument quest = model::ReadQuestFile(LargeQuestFile());
    for (auto _ : state)
        benchmark::DoNotOptimize(editor::CheckQuestScripts(quest));
}
BENCHMARK(BM_CheckAllScripts)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(LargeQuestFile());
    return 0;
}
