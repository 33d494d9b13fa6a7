// The shared declarations of MyUnit: the unit's order and signatures, and the
// two ways of registering it.
#include "scriptapi/ScriptFunctions.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace scriptapi {
namespace {

TEST(ScriptFunctionsTest, TheUnitHasItsThirtySevenFunctionsInRegistrationOrder) {
    std::vector<std::string> names;
    for (const ScriptFunction& function : MyUnitFunctions())
        names.push_back(function.name);
    const std::vector<std::string> expected = {
        "goto",      "ShowImage", "Params",    "p",          "InputParam", "InputP",
        "FormName",  "restart",   "TakeParam", "LoseParam",  "action",     "Close",
        "plus_p",    "minus_p",   "_p1_",      "_p2_",       "_p3_",       "_p4_",
        "_p5_",      "_p6_",      "rand",      "_param1_",   "_param2_",   "_param3_",
        "_param4_",  "_param5_",  "_param6_",  "timer",      "_time_",     "StopTimer",
        "AddText",   "hint",      "PlaySound", "StopSound",  "PlayEffect", "StopEffect",
        "TITR"};
    EXPECT_EQ(names, expected);
}

TEST(ScriptFunctionsTest, SignaturesNameEveryParameterWithItsType) {
    const struct {
        const char* name;
        const char* signature;
    } cases[] = {
        {"goto", "goto(location: Integer)"},
        {"InputP", "InputP(P: String; caption: String; question: String)"},
        {"rand", "rand(number: Integer): Integer"},
        {"_param3_", "_param3_: String"},
        {"restart", "restart"},
        {"timer", "timer(time: Integer; examine: String; caption: String; code: String)"},
        {"TITR", "TITR(Header: String; text: String; RollSpeed: Integer)"},
    };
    for (const auto& c : cases) {
        const ScriptFunction* function = FindScriptFunction(c.name);
        ASSERT_NE(function, nullptr) << c.name;
        EXPECT_EQ(SignatureText(*function), c.signature);
    }
}

TEST(ScriptFunctionsTest, FindIgnoresLetterCaseAndKnowsOnlyTheUnit) {
    ASSERT_NE(FindScriptFunction("GOTO"), nullptr);
    EXPECT_EQ(FindScriptFunction("GOTO")->name, "goto");
    EXPECT_EQ(FindScriptFunction("PrintLn"), nullptr);
    EXPECT_EQ(FindScriptFunction(""), nullptr);
}

TEST(ScriptFunctionsTest, DeclarationsOnlyCompileEveryCallAndRunWithoutEffect) {
    pascal::Engine engine;
    RegisterDeclarationsOnly(engine);
    auto program = engine.compile(
        "goto(2); ShowImage('a.bmp'); Params('param1', 'x'); p('p1', 3);\r\n"
        "InputParam('param1', 'c', 'q'); InputP('p1', 'c', 'q'); FormName('t'); restart;\r\n"
        "TakeParam('param1'); LoseParam('param1'); action('action1', 'param1'); Close;\r\n"
        "plus_p('p1', 1); minus_p('p1', 1); hint('param1', 'h'); AddText('x');\r\n"
        "timer(10, 'minus', 'c', ''); StopTimer; PlaySound('a.wav'); StopSound;\r\n"
        "PlayEffect('b.wav'); StopEffect; TITR('h', 'a#b', 50);\r\n"
        "if (_p1_ + rand(5) + _time_ = 0) and (_param1_ = '') then Close;\r\n");
    ASSERT_FALSE(program->hasErrors()) << program->messagesText();
    EXPECT_EQ(program->run(), pascal::RunStatus::Completed) << program->messagesText();
}

TEST(ScriptFunctionsTest, AHostRegistersOnlyWhatItServes) {
    pascal::Engine engine;
    int calls = 0;
    RegisterMyUnit(engine, {{"goto", [&calls](pascal::CallContext& call) {
                                 calls += static_cast<int>(call.getInteger("location"));
                             }}});
    auto served = engine.compile("goto(5);");
    ASSERT_FALSE(served->hasErrors()) << served->messagesText();
    served->run();
    EXPECT_EQ(calls, 5);
    EXPECT_TRUE(engine.compile("ShowImage('a.bmp');")->hasErrors());
}

TEST(ScriptFunctionsTest, ABodyTheUnitDoesNotDeclareIsRefused) {
    pascal::Engine engine;
    EXPECT_THROW(RegisterMyUnit(engine, {{"Goto2", [](pascal::CallContext&) {}}}),
                 std::invalid_argument);
    pascal::Engine other;
    EXPECT_THROW(RegisterMyUnit(other, {{"goto", ScriptBody()}}), std::invalid_argument);
}

} // namespace
} // namespace scriptapi
