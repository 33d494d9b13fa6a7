// Throughput of the stored forms on a large quest: 100,000 locations with
// texts of a few hundred bytes, about 50 MB. Reports bytes per second of the
// stored form.
#include "model/LineCodec.h"
#include "model/Payload.h"
#include "model/QuestFile.h"
#include "model/SafeFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

constexpr int Locations = 100000;

// Text of cp1251 letters, digits and line breaks; none of the bytes either
// stored form treats specially.
std::string text(std::mt19937& random, std::size_t length) {
    static const std::string alphabet =
        "abcdefghijklmnopqrstuvwxyz0123456789 .,;:()\r\n"
        "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
        "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF";
    std::string out(length, ' ');
    for (char& c : out)
        c = alphabet[random() % alphabet.size()];
    return out;
}

const model::QuestDocument& bigQuest() {
    static const model::QuestDocument quest = [] {
        std::mt19937 random(7);
        model::QuestDocument q = model::NewQuestDocument();
        q.LocationCount = Locations;
        q.Quests.resize(Locations + 1);
        for (int n = 1; n <= Locations; ++n) {
            model::TQuest& l = q.Quests[static_cast<std::size_t>(n)];
            l.Description = text(random, 150 + random() % 100);
            for (int a = 1; a <= 6; ++a) {
                l.Caption(a) = text(random, 10 + random() % 10);
                l.Code(a) = text(random, 25 + random() % 20);
            }
        }
        for (int i = 1; i <= 6; ++i) {
            q.QuestParams.Names[i] = text(random, 8);
            q.QuestParams.Values[i] = static_cast<std::int32_t>(random());
        }
        return q;
    }();
    return quest;
}

void FormatQuestFile(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = model::FormatQuestFile(bigQuest());
        bytes += file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void ParseQuestFile(benchmark::State& state) {
    const std::string file = model::FormatQuestFile(bigQuest());
    for (auto _ : state) {
        model::QuestDocument quest = model::ParseQuestFile(file);
        benchmark::DoNotOptimize(quest.Quests.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

std::string benchFile() {
    return (std::filesystem::temp_directory_path() /
            ("norvo-bench-" + std::to_string(::getpid()) + ".nvx"))
        .string();
}

// Save and open as the editor does them: to disk, flushed, and back.
void WriteQuestFile(benchmark::State& state) {
    const std::string path = benchFile();
    const std::size_t size = model::FormatQuestFile(bigQuest()).size();
    for (auto _ : state)
        model::WriteQuestFile(path, bigQuest());
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void ReadQuestFile(benchmark::State& state) {
    const std::string path = benchFile();
    model::WriteQuestFile(path, bigQuest());
    const auto size = std::filesystem::file_size(path);
    for (auto _ : state) {
        model::QuestDocument quest = model::ReadQuestFile(path);
        benchmark::DoNotOptimize(quest.Quests.data());
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

// Build and scramble, as the builder writes it.
void BuildPayload(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = model::BuildPayload(bigQuest());
        model::ScrambleText(text, model::PayloadKey, false);
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

// Unscramble and parse, as the player loads it.
void ParsePayload(benchmark::State& state) {
    std::string scrambled = model::BuildPayload(bigQuest());
    model::ScrambleText(scrambled, model::PayloadKey, false);
    for (auto _ : state) {
        std::string text = scrambled;
        model::ScrambleText(text, model::PayloadKey, true);
        model::TQuests quests;
        model::TQuestParams params;
        model::ParsePayload(text, quests, params);
        benchmark::DoNotOptimize(quests.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * scrambled.size()));
}

void ScrambleText(benchmark::State& state) {
    std::string text = model::BuildPayload(bigQuest());
    for (auto _ : state) {
        model::ScrambleText(text, model::PayloadKey, false);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// One line at a time, as the quest file scrambles them.
void ScrambleLines(benchmark::State& state) {
    std::vector<std::string> lines;
    std::size_t total = 0;
    for (int n = 1; n <= 1000; ++n) {
        lines.push_back(model::JoinLocationLine(bigQuest().Quests[static_cast<std::size_t>(n)]));
        total += lines.back().size();
    }
    for (auto _ : state) {
        for (std::string& line : lines)
            model::ScrambleText(line, model::QuestFileKey, false);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * total));
}

BENCHMARK(FormatQuestFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseQuestFile)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteQuestFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadQuestFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildPayload)->Unit(benchmark::kMillisecond);
BENCHMARK(ParsePayload)->Unit(benchmark::kMillisecond);
BENCHMARK(ScrambleText)->Unit(benchmark::kMillisecond);
BENCHMARK(ScrambleLines)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bigQuest(); // built once, outside every timed loop
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
