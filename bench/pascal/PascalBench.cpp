// The script engine's speed where the player feels it: a typical action
// (compile and run five statements that call host functions), compiling a
// large script, and running a script that computes.
#include "pascal/Engine.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A unit shaped like the player's: selectors, values, a move.
void registerQuestUnit(pascal::Engine& engine, std::int64_t* values) {
    engine.registerUnit(
        "MyUnit", {{"p",
                    {{"p", pascal::Type::String}, {"number", pascal::Type::Integer}},
                    std::nullopt,
                    [values](pascal::CallContext& c) {
                        std::string sel = c.getString("p");
                        if (sel.size() == 2 && sel[0] == 'p' && sel[1] >= '1' && sel[1] <= '6')
                            values[sel[1] - '0'] = c.getInteger("number");
                    }},
                   {"_p1_",
                    {},
                    pascal::Type::Integer,
                    [values](pascal::CallContext& c) { c.setInteger("result", values[1]); }},
                   {"TakeParam",
                    {{"param", pascal::Type::String}},
                    std::nullopt,
                    [](pascal::CallContext& c) { benchmark::DoNotOptimize(c.getString("param")); }},
                   {"AddText",
                    {{"text", pascal::Type::String}},
                    std::nullopt,
                    [](pascal::CallContext& c) { benchmark::DoNotOptimize(c.getString("text")); }},
                   {"goto",
                    {{"location", pascal::Type::Integer}},
                    std::nullopt,
                    [values](pascal::CallContext& c) { values[0] = c.getInteger("location"); }}});
}

void TypicalAction(benchmark::State& state) {
    pascal::Engine engine;
    std::int64_t values[7] = {};
    registerQuestUnit(engine, values);
    const std::string action = "p('p1', _p1_ + 1);\n"
                               "TakeParam('param2');\n"
                               "if _p1_ > 3 then AddText('You feel stronger.');\n"
                               "AddText('Step ' + IntToStr(_p1_));\n"
                               "goto(2);\n";
    for (auto _ : state) {
        auto program = engine.compile(action);
        program->run();
        benchmark::DoNotOptimize(program.get());
    }
}
BENCHMARK(TypicalAction);

std::string largeScript(int lines) {
    std::string s = "procedure Big; var x, y: Integer; s: String; begin\n";
    for (int i = 0; i < lines; ++i)
        s += "  x := x + " + std::to_string(i) + " * 3 - (y div 2); if x > " + std::to_string(i) +
             " then y := y + 1 else s := s + 'abc" + std::to_string(i) + "';\n";
    s += "end;\n";
    return s;
}

void CompileLargeScript(benchmark::State& state) {
    pascal::Engine engine;
    const std::string text = largeScript(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto program = engine.compile(text);
        if (program->hasErrors())
            state.SkipWithError("the script does not compile");
        benchmark::DoNotOptimize(program.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(CompileLargeScript)->Arg(1000)->Arg(10000);

void RunFib(benchmark::State& state) {
    pascal::Engine engine;
    auto program = engine.compile("function Fib(n: Integer): Integer; begin if n < 2 then Result "
                                  ":= n else Result := Fib(n - 1) + Fib(n - 2) end; Fib(20);");
    for (auto _ : state)
        program->run();
}
BENCHMARK(RunFib);

} // namespace

BENCHMARK_MAIN();
