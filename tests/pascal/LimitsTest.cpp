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

TEST(Limits, EachRunHasAMemoryBudget) {
    // Each string is far below the length limit; together they would take
    // hundreds of gigabytes.
    const std::string big = "var a: array of String; s: String; i: Integer;\n"
                            "s := StringOfChar('x', 8 * 1024 * 1024);\n";
    const char* bombs[] = {
        "SetLength(a, 100000); for i := 0 to 99999 do a[i] := s;",
        "SetLength(a, 100000); for i := 0 to 99999 do begin a[i] := 'y'; Insert(s, a[i], 1) end;",
        "procedure P(x: String; n: Integer); begin if n > 0 then P(x, n - 1) end; P(s, 3000);",
        "type TItem = record t: String end; var r: array[1..100] of TItem; for i := 1 to 100 do "
        "r[i].t := s;",
        "var b: array of array of Integer; SetLength(b, 1000); for i := 0 to 999 do "
        "SetLength(b[i], 1000000);",
    };
    for (const char* bomb : bombs) {
        test::Outcome o = test::runScript(big + bomb + " PrintLn('after')");
        EXPECT_EQ(o.status, RunStatus::Failed) << bomb;
        EXPECT_NE(o.messages.find("больше памяти, чем допустимо (256 МБ)"_cp), std::string::npos)
            << bomb << o.messages;
        EXPECT_EQ(o.output, "") << bomb;
    }
    // Memory that is given back can be taken again: the budget counts what
    // is held, not what was ever made.
    const char* fine[] = {
        "for i := 1 to 100 do begin SetLength(a, 10); a[3] := s; SetLength(a, 0) end;",
        "function F(n: Integer): String; begin Result := s end; for i := 1 to 100 do "
        "s := F(i);",
        "procedure P(x: String); var y: String; begin y := x end; for i := 1 to 100 do P(s);",
        "var none: array of String; for i := 1 to 100 do begin a := none; SetLength(a, 1); a[0] "
        ":= s end;",
        "for i := 1 to 100 do begin Delete(s, 1, 8 * 1024 * 1024); s := StringOfChar('x', 8 * "
        "1024 * 1024) end;",
    };
    for (const char* loop : fine) {
        test::Outcome o = test::runScript(big + loop + " PrintLn('after')");
        EXPECT_EQ(o.status, RunStatus::Completed) << loop << o.messages;
        EXPECT_EQ(o.output, "after\n") << loop;
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
