// The metafile renderer's speed: a WMF and an EMF of 10,000 records each (a
// drawing's usual mix of objects, shapes, lines and text) drawn into the
// picture box's 345 x 265 pixels.
#include "platform/Pictures.h"
#include "tests/platform/MetafileBytes.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

using testing_support::ColorRef;
using testing_support::ColorWords;

constexpr std::size_t kRecords = 10'000;
const QSize kPictureBox(345, 265);

void App() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

std::vector<int> Join(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Cycles of nineteen records: a new pen and brush, selected and the old ones
// deleted, then shapes, lines and one line of text.
QByteArray TenThousandRecordWmf() {
    testing_support::WmfBytes wmf;
    wmf.Record(0x0103, {8}).Record(0x020B, {0, 0}).Record(0x020C, {2650, 3450});
    wmf.Record(0x02FB, {-80, 0, 0, 0, 400, 0, 0xCC, 0, 0}).Record(0x012D, {0});
    wmf.Record(0x0102, {1});
    for (int i = 0; wmf.count() + 20 <= kRecords; ++i) {
        const int x = (i * 137) % 3000, y = (i * 71) % 2300;
        const std::uint32_t rgb = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
        wmf.Record(0x02FA, Join({0, 4, 0}, ColorWords(rgb))).Record(0x012D, {1});
        wmf.Record(0x02FC, Join(Join({0}, ColorWords(~rgb & 0xFFFFFF)), {0})).Record(0x012D, {2});
        wmf.Record(0x041B, {y + 200, x + 300, y, x});
        wmf.Record(0x0418, {y + 150, x + 250, y + 20, x + 40});
        wmf.Record(0x061C, {40, 40, y + 300, x + 200, y + 100, x});
        wmf.Record(0x0324, {3, x, y, x + 200, y + 50, x + 80, y + 220});
        wmf.Record(0x0214, {y, x}).Record(0x0213, {y + 300, x + 400});
        wmf.Record(0x0325, {4, x, y, x + 100, y + 100, x + 200, y, x + 300, y + 100});
        wmf.Record(0x081A, {y, x + 200, y + 200, x + 400, y + 300, x + 300, y, x});
        wmf.Record(0x0817, {y + 300, x, y, x + 300, y + 300, x + 300, y, x});
        wmf.Record(0x0830, {y + 100, x + 300, y + 200, x, y + 300, x + 300, y, x});
        std::string text("\x04\x00\xCC\xE0\xFF\xEA", 6); // four letters: Маяк
        testing_support::PutU16(text, static_cast<unsigned>(y));
        testing_support::PutU16(text, static_cast<unsigned>(x));
        wmf.RecordBytes(0x0521, text);
        wmf.Record(0x001E, {}).Record(0x0127, {-1});
        wmf.Record(0x01F0, {1}).Record(0x01F0, {2});
    }
    while (wmf.count() < kRecords)
        wmf.Record(0x0102, {1}); // the background mode, once more

    const std::string bytes = wmf.Placeable(0, 0, 3450, 2650, 1000);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Cycles of sixteen records, as above.
QByteArray TenThousandRecordEmf() {
    testing_support::EmfBytes emf;
    emf.Record(18, {1});
    for (int i = 0; emf.count() + 16 <= kRecords; ++i) {
        const std::uint32_t x = static_cast<std::uint32_t>((i * 37) % 300);
        const std::uint32_t y = static_cast<std::uint32_t>((i * 19) % 230);
        const std::uint32_t rgb = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
        emf.Record(38, {1, 0, 2, 0, ColorRef(rgb)}).Record(37, {1});
        emf.Record(39, {2, 0, ColorRef(~rgb & 0xFFFFFF), 0}).Record(37, {2});
        emf.Record(43, {x, y, x + 30, y + 20});
        emf.Record(42, {x + 4, y + 2, x + 25, y + 15});
        emf.Record(44, {x, y, x + 20, y + 30, 4, 4});
        emf.Record(86, {0, 0, 0, 0, 3, x | (y << 16), (x + 20) | ((y + 5) << 16), (x + 8) | ((y + 22) << 16)});
        emf.Record(27, {x, y}).Record(54, {x + 40, y + 30});
        emf.Record(87, {0, 0, 0, 0, 3, x | (y << 16), (x + 10) | ((y + 10) << 16), (x + 20) | (y << 16)});
        emf.Record(47, {x, y, x + 30, y + 30, x + 30, y + 15, x + 15, y});
        emf.Record(45, {x, y, x + 30, y + 30, x, y, x + 30, y + 30});
        emf.Record(33, {}).Record(34, {static_cast<std::uint32_t>(-1)});
        emf.Record(40, {1});
    }
    while (emf.count() < kRecords)
        emf.Record(18, {1}); // the background mode, once more
    const std::string bytes = emf.File(345, 91);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void BM_RenderWmf10000Records(benchmark::State& state) {
    App();
    const QByteArray file = TenThousandRecordWmf();
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::DecodePicture(file, platform::PictureKind::Wmf, kPictureBox, "bench"));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRecords));
}
BENCHMARK(BM_RenderWmf10000Records)->Unit(benchmark::kMillisecond);

void BM_RenderEmf10000Records(benchmark::State& state) {
    App();
    const QByteArray file = TenThousandRecordEmf();
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::DecodePicture(file, platform::PictureKind::Emf, kPictureBox, "bench"));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRecords));
}
BENCHMARK(BM_RenderEmf10000Records)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
