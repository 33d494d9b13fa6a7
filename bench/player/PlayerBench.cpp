// The player's speed: from a stand-alone file to the first shown location
// (the example quest and a quest of 100,000 locations), one click that runs
// a five-statement script and one countdown tick with a five-statement code
// (metafiles are measured in bench_platform). The process's peak memory is
// reported with each figure.
#include "model/Cp1251.h"
#include "model/ExeLayout.h"
#include "model/Payload.h"
#include "model/QuestFile.h"
#include "platform/ScriptedDialogs.h"
#include "player/pMain.h"

#include <QApplication>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    // The benchmark measures the player, not a desktop: headless unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

std::string OwnImage() {
    std::ifstream self("/proc/self/exe", std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(self), {}};
    bytes.resize(model::ExecutableImageSize(bytes));
    return bytes;
}

// A stand-alone file in /tmp holding quest behind this program's own image.
std::string StandAlone(const std::string& name, const model::QuestDocument& quest) {
    const std::string path = "/tmp/norvo-bench-" + std::to_string(getpid()) + "-" + name;
    model::WriteStandAlone(path, OwnImage(), model::BuildPayload(quest));
    return path;
}

model::QuestDocument Example() {
    const char* root = std::getenv("NORVO_SOURCE_DIR");
    return model::ReadQuestFile(std::string(root ? root : NORVO_SOURCE_DIR_DEFAULT) +
                                "/examples/lighthouse.nvx");
}

model::QuestDocument Large(int count) {
    model::QuestDocument quest;
    quest.LocationCount = count;
    quest.Quests.resize(static_cast<std::size_t>(count) + 1);
    for (int n = 1; n <= count; ++n) {
        model::TQuest& q = quest.Quests[static_cast<std::size_t>(n)];
        q.Description = model::Utf8ToCp1251("Локация ") + std::to_string(n) +
                        model::Utf8ToCp1251(": тёмный коридор, <param1> = <p1>.");
        q.Caption1 = model::Utf8ToCp1251("Дальше");
        q.Code1 = "goto(" + std::to_string(n % count + 1) + ");";
        q.Caption2 = model::Utf8ToCp1251("Назад");
        q.Code2 = "goto(1);";
    }
    return quest;
}

void ReportPeakMemory(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void StartUp(benchmark::State& state, const model::QuestDocument& quest, const char* name) {
    App();
    const std::string path = StandAlone(name, quest);
    platform::ScriptedDialogs dialogs;
    for (auto _ : state) {
        player::TForm1 form(player::PayloadFileSource(path), dialogs);
        benchmark::DoNotOptimize(form.State.CurrentLocation);
    }
    ReportPeakMemory(state);
    std::remove(path.c_str());
}

void BM_StartUpExample(benchmark::State& state) {
    StartUp(state, Example(), "example");
}
BENCHMARK(BM_StartUpExample)->Unit(benchmark::kMillisecond);

void BM_StartUp100000Locations(benchmark::State& state) {
    StartUp(state, Large(100000), "large");
}
BENCHMARK(BM_StartUp100000Locations)->Unit(benchmark::kMillisecond);

void BM_ClickFiveStatements(benchmark::State& state) {
    App();
    auto quest = Large(3);
    quest.Quests[1].Code1 =
        "p('p1', 1); plus_p('p1', 2); minus_p('p2', 1); TakeParam('param1'); goto(1);";
    platform::ScriptedDialogs dialogs;
    player::TForm1 form(player::PayloadTextSource(model::BuildPayload(quest), "bench"), dialogs);
    for (auto _ : state)
        form.lblA1Click();
    ReportPeakMemory(state);
}
BENCHMARK(BM_ClickFiveStatements)->Unit(benchmark::kMicrosecond);

void BM_TickFiveStatements(benchmark::State& state) {
    App();
    platform::ScriptedDialogs dialogs;
    player::TForm1 form(player::PayloadTextSource(model::BuildPayload(Large(3)), "bench"), dialogs);
    form.RunScript("timer(1000000, 'minus', 'Time:', "
                   "'p(''p1'', _time_); plus_p(''p2'', 1); minus_p(''p3'', 1); "
                   "TakeParam(''param1''); if _time_ < 0 then StopTimer;');");
    for (auto _ : state)
        form.TimerTimer();
    form.Timer->stop();
    ReportPeakMemory(state);
}
BENCHMARK(BM_TickFiveStatements)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
