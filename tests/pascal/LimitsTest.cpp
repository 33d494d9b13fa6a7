// Bad scripts never harm the host: deep nesting, endless recursion and huge
// strings or arrays end in a clean error.
#include "tests/pascal/ScriptRun.h"

#include "pascal/Cp1251.h"

#include <gtest/gtest.h>

namespace pascal {
namespace {

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

TEST(Limits, DeepNestingIsACompileError) {
    const std::string texts[] = {
        "PrintLn(" + repeat("(", 20000) + "1" + repeat(")", 20000) + ")",
        repeat("begin ", 20000) + repeat("end;", 20000),
        repeat("if True then ", 20000) + "PrintLn(1)",
        "PrintLn(" + repeat("-", 20000) + "1)",
        "var x: Integer; PrintLn(x" + repeat(" + x", 20000) + ")",
        "var a: array of Integer; PrintLn(" + repeat("a[", 10000) + "0" + repeat("]", 10000) + ")",
    };
    for (const std::string& text : texts) {
        Engine engine;
        auto program = engine.compile(text);
        EXPECT_TRUE(program->hasErrors()) << text.substr(0, 40);
    }
    // Nesting that real scripts use is fine.
    test::Outcome o = test::runScript("PrintLn(" + repeat("(", 50) + "1" + repeat(")", 50) + " + " +
                                      repeat("1 + ", 300) + "1)");
    EXPECT_EQ(o.output, "302\n") << o.messages;
}

TEST(Limits, EndlessRecursionIsARunTimeError) {
    test::Outcome o = test::runScript("function F(n: Integer): Integer; begin Result := F(n + 1) "
                                      "+ 1 end; PrintLn(F(0))");
    EXPECT_EQ(o.status, RunStatus::Failed);
    EXPECT_NE(o.messages.find("слишком глубокая рекурсия"_cp), std::string::npos) << o.messages;
    // Deep but bounded recursion runs.
    o = test::runScript("function D(n: Integer): Integer; begin if n = 0 then Result := 0 else "
                        "Result := D(n - 1) + 1 end; PrintLn(D(1000))");
    EXPECT_EQ(o.output, "1000\n") << o.messages;
}

TEST(Limits, HugeStringsAndArraysFailCleanly) {
    const char* texts[] = {
        "var s: String; s := 'x'; while True do s := s + s",
        "var s: String; s := 'x'; while True do s := s + Copy(s, 1, Length(s))",
        "PrintLn(Length(StringOfChar('x', 1 shl 40)))",
        "var a: array of Integer; SetLength(a, 1 shl 40)",
        "var s: String; SetLength(s, 1 shl 40)",
        "type R = record a: array[1..1000] of Integer end; var a: array of R; SetLength(a, 1 shl "
        "20)",
        "PrintLn(Format('%200000d', [1]))",
    };
    for (const char* text : texts) {
        test::Outcome o = test::runScript(text);
        EXPECT_EQ(o.status, RunStatus::Failed) << text << o.messages;
    }
}

TEST(Limits, RandomTextGivesAnAnswerEveryTime) {
    // A fixed pseudo-random stream of bytes, biased towards the language's own
    // words; the fuzz target goes much further. Whatever the text, the engine
    // answers with a status that matches its messages.
    std::uint32_t seed = 12345;
    const std::string alphabet = "begin end; := ( ) [ ] . , ' # $ 1 x if then else while do for "
                                 "to case of var function procedure try except finally raise "
                                 "\xC0\xFF{}*/+-<>=@^";
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (int i = 0; i < 200; ++i) {
            seed = seed * 1103515245 + 12345;
            text += alphabet[(seed >> 16) % alphabet.size()];
        }
        RunOptions options;
        options.stepBudget = 10000;
        test::Outcome o = test::runScript(text, options);
        if (!o.compiled) {
            EXPECT_EQ(o.status, RunStatus::NotRun) << text;
        }
        if (o.status == RunStatus::Completed) {
            EXPECT_EQ(o.messages, "") << text;
        } else {
            EXPECT_NE(o.messages, "") << text;
        }
    }
}

} // namespace
} // namespace pascal
