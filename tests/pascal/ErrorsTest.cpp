// Compile errors (what, where, and recovery to report several) and run-time
// errors (what, where, and that the run stops there).
#include "tests/pascal/ScriptRun.h"

#include "pascal/Cp1251.h"

#include <gtest/gtest.h>

namespace pascal {
namespace {

struct ErrorCase {
    const char* name;
    std::string script;
    std::string message; // the first message, exactly
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

std::string firstMessage(const std::string& text) {
    return text.substr(0, text.find("\r\n"));
}

class CompileErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(CompileErrors, AreReportedWithPlace) {
    const ErrorCase& c = GetParam();
    Engine engine;
    auto program = engine.compile(c.script);
    ASSERT_TRUE(program->hasErrors());
    EXPECT_EQ(firstMessage(program->messagesText()), c.message);
    EXPECT_EQ(program->run(), RunStatus::NotRun);
}

const ErrorCase kCompileErrors[] = {
    {"missing_semicolon", "var x: Integer;\nbegin\n  x := 1\n  x := 2\nend.",
     std::string("Синтаксическая ошибка: ожидалось \";\", найдено \"x\" [строка 4, столбец 3]"_cp)},
    {"missing_semicolon_before_end_of_repeat", "repeat\n  Inc(i) end",
     std::string("Ошибка: неизвестное имя \"i\" [строка 2, столбец 7]"_cp)},
    {"unknown_name", "x := 1",
     std::string("Ошибка: неизвестное имя \"x\" [строка 1, столбец 1]"_cp)},
    {"type_mismatch", "var s: String;\ns := 1 + 2;",
     std::string(
         "Ошибка: несовместимые типы: ожидалось String, найдено Integer [строка 2, столбец 6]"_cp)},
    {"operator_types", "PrintLn('a' - 1)",
     std::string(
         "Ошибка: оператор \"-\" не применим к типам String и Integer [строка 1, столбец 13]"_cp)},
    {"condition_not_boolean", "if 1 then PrintLn(1)",
     std::string(
         "Ошибка: несовместимые типы: ожидалось Boolean, найдено Integer [строка 1, столбец 4]"_cp)},
    {"unterminated_string", "PrintLn('abc);",
     std::string("Синтаксическая ошибка: незакрытая строка [строка 1, столбец 9]"_cp)},
    {"unterminated_comment", "PrintLn(1); { never closed",
     std::string("Синтаксическая ошибка: незакрытый комментарий [строка 1, столбец 13]"_cp)},
    {"bad_character", "x := 1 ? 2",
     std::string("Ошибка: неизвестное имя \"x\" [строка 1, столбец 1]"_cp)},
    {"non_ascii_identifier", "var \xEF\xF0: Integer;",
     std::string("Синтаксическая ошибка: недопустимый символ \""_cp) + "\xEF" +
         std::string("\" [строка 1, столбец 5]"_cp)},
    {"argument_count", "procedure P(a: Integer); begin end; P(1, 2)",
     std::string(
         "Ошибка: подпрограмме \"P\" нужно аргументов: 1, передано: 2 [строка 1, столбец 37]"_cp)},
    {"var_param_needs_variable", "procedure P(var a: Integer); begin end; P(1)",
     std::string(
         "Ошибка: параметру var \"a\" нужна переменная типа Integer [строка 1, столбец 41]"_cp)},
    {"const_param_is_read_only", "procedure P(const a: Integer); begin a := 1 end;",
     std::string("Ошибка: этому нельзя присвоить значение [строка 1, столбец 38]"_cp)},
    {"break_outside_loop", "Break",
     std::string("Ошибка: \"Break\" допустим только внутри цикла [строка 1, столбец 1]"_cp)},
    {"unknown_type", "var x: TThing;",
     std::string("Ошибка: неизвестный тип \"TThing\" [строка 1, столбец 8]"_cp)},
    {"duplicate", "var x: Integer; x: String;",
     std::string("Ошибка: повторное объявление \"x\" [строка 1, столбец 17]"_cp)},
    {"forward_without_body", "procedure P; forward; P;",
     std::string(
         "Ошибка: подпрограмма \"P\" объявлена forward, но не описана [строка 1, столбец 11]"_cp)},
    {"bare_raise_outside_except", "raise;",
     std::string(
         "Ошибка: raise без исключения допустим только в блоке except [строка 1, столбец 1]"_cp)},
    {"unsupported_construct", "var p: ^Integer;",
     std::string("Синтаксическая ошибка: недопустимый символ \"^\" [строка 1, столбец 8]"_cp)},
    {"declaration_inside_block", "begin const C = 1; end.",
     std::string(
         "Ошибка: объявления допустимы только вне блоков begin..end [строка 1, столбец 7]"_cp)},
    {"array_too_big", "var a: array[1..100000000] of Integer;",
     std::string("Ошибка: массив слишком большой [строка 1, столбец 8]"_cp)},
    {"array_bounds_spanning_all_integers",
     "var a: array[-9223372036854775807 - 1..9223372036854775807] of Integer;",
     std::string("Ошибка: массив слишком большой [строка 1, столбец 8]"_cp)},
    {"expression_expected", "PrintLn(1 + )",
     std::string(
         "Синтаксическая ошибка: ожидалось выражение, найдено \")\" [строка 1, столбец 13]"_cp)},
    {"integer_literal_too_big", "PrintLn(99999999999999999999)",
     std::string(
         "Синтаксическая ошибка: слишком большое число 99999999999999999999 [строка 1, столбец 9]"_cp)},
    // A call without a result, wherever a value is taken.
    {"procedure_printed", "procedure P; begin end; PrintLn(P);",
     std::string("Ошибка: \"P\" не возвращает значения: процедуру нельзя использовать как "
                 "значение [строка 1, столбец 33]"_cp)},
    {"procedure_in_format_list", "procedure P; begin end; PrintLn(Format('%s', [P]));",
     std::string("Ошибка: \"P\" не возвращает значения: процедуру нельзя использовать как "
                 "значение [строка 1, столбец 47]"_cp)},
    {"inc_printed", "var i: Integer; PrintLn(Inc(i));",
     std::string("Ошибка: \"Inc\" не возвращает значения: процедуру нельзя использовать как "
                 "значение [строка 1, столбец 25]"_cp)},
    {"procedure_compared", "procedure P; begin end; if P = P then;",
     std::string("Ошибка: \"P\" не возвращает значения: процедуру нельзя использовать как "
                 "значение [строка 1, столбец 28]"_cp)},
    {"procedure_converted", "procedure P(x: Integer); begin end; PrintLn(IntToStr(P(1)));",
     std::string("Ошибка: \"P\" не возвращает значения: процедуру нельзя использовать как "
                 "значение [строка 1, столбец 54]"_cp)},
    {"procedure_assigned", "procedure P; begin end; var s: String; s := (P);",
     std::string("Ошибка: \"P\" не возвращает значения: процедуру нельзя использовать как "
                 "значение [строка 1, столбец 46]"_cp)},
    {"builtin_procedure_as_condition", "var s: String; while SetLength(s, 1) do;",
     std::string("Ошибка: \"SetLength\" не возвращает значения: процедуру нельзя использовать "
                 "как значение [строка 1, столбец 22]"_cp)},
    {"procedure_as_bound", "procedure P; begin end; var i: Integer; for i := P to 2 do;",
     std::string("Ошибка: \"P\" не возвращает значения: процедуру нельзя использовать как "
                 "значение [строка 1, столбец 50]"_cp)},
    {"procedure_in_constant", "procedure P; begin end; const C = P;",
     std::string("Ошибка: \"P\" не возвращает значения: процедуру нельзя использовать как "
                 "значение [строка 1, столбец 35]"_cp)},
    {"enumerations_do_not_mix", "type TA = (A1, A2); TB = (B1, B2); var a: TA; a := B1;",
     std::string("Ошибка: несовместимые типы: ожидалось TA, найдено TB [строка 1, столбец 52]"_cp)},
    {"enumeration_index_needs_its_type",
     "type TA = (A1, A2); var n: array[TA] of Integer; n[0] := 1;",
     std::string(
         "Ошибка: несовместимые типы: ожидалось TA, найдено Integer [строка 1, столбец 52]"_cp)},
    {"set_too_big", "var s: set of Integer;",
     std::string("Ошибка: множество допустимо только из перечисления или диапазона 0..63 "
                 "[строка 1, столбец 8]"_cp)},
    {"sets_do_not_mix",
     "type TA = (A1, A2); TB = (B1, B2); var a: set of TA; b: set of TB; a := b;",
     std::string("Ошибка: несовместимые типы: ожидалось set of TA, найдено set of TB [строка 1, "
                 "столбец 73]"_cp)},
    {"in_needs_the_element_type", "type TA = (A1, A2); var a: set of TA; if 1 in a then;",
     std::string(
         "Ошибка: оператор \"in\" не применим к типам Integer и set of TA [строка 1, столбец 44]"_cp)},
    {"inline_variable_ends_with_its_block", "begin var n := 1; end; PrintLn(n);",
     std::string("Ошибка: неизвестное имя \"n\" [строка 1, столбец 32]"_cp)},
    {"compound_assignment_types", "var i: Integer; i /= 2;",
     std::string("Ошибка: оператор \"/=\" не применим к типу Integer [строка 1, столбец 17]"_cp)},
    {"for_in_element_type", "var i: Integer; for i in 'abc' do;",
     std::string(
         "Ошибка: несовместимые типы: ожидалось String, найдено Integer [строка 1, столбец 21]"_cp)},
    {"constant_array_is_read_only", "const A: array[1..2] of Integer = (1, 2); A[1] := 3;",
     std::string("Ошибка: этому нельзя присвоить значение [строка 1, столбец 43]"_cp)},
    {"constant_array_needs_every_value", "const A: array[1..3] of Integer = (1, 2);",
     std::string(
         "Ошибка: в постоянном массиве нужно значений: 3, задано: 2 [строка 1, столбец 7]"_cp)},
    {"routine_must_fit_the_procedural_type",
     "type TFunc = function(x: Integer): Integer; procedure P(s: String); begin end; var f: "
     "TFunc; f := P;",
     std::string("Ошибка: подпрограмма \"P\" не подходит к типу TFunc [строка 1, столбец 99]"_cp)},
    {"procedural_value_is_not_printed",
     "type TFunc = function(x: Integer): Integer; var f: TFunc; PrintLn(f);",
     std::string("Ошибка: неверные аргументы PrintLn [строка 1, столбец 59]"_cp)},
    // Directives: the refused, the unclosed and the stray.
    {"include_refused", "PrintLn(1);\n{$INCLUDE other.inc}",
     std::string(
         "Синтаксическая ошибка: директива {$INCLUDE} не поддерживается [строка 2, столбец 1]"_cp)},
    {"compiler_switch_refused", "(*$R+*) PrintLn(1)",
     std::string(
         "Синтаксическая ошибка: директива {$R} не поддерживается [строка 1, столбец 1]"_cp)},
    {"unclosed_ifdef", "PrintLn(1);\n  {$IFDEF X} PrintLn(2);",
     std::string("Синтаксическая ошибка: нет {$ENDIF} для {$IFDEF} [строка 2, столбец 3]"_cp)},
    {"stray_endif", "PrintLn(1); {$ENDIF}",
     std::string("Синтаксическая ошибка: {$ENDIF} без {$IFDEF} [строка 1, столбец 13]"_cp)},
    {"stray_else", "{$ELSE} PrintLn(1);",
     std::string("Синтаксическая ошибка: {$ELSE} без {$IFDEF} [строка 1, столбец 1]"_cp)},
    {"second_else", "{$IFDEF A}{$ELSE}{$ELSE}{$ENDIF}",
     std::string(
         "Синтаксическая ошибка: второй {$ELSE} для одного {$IFDEF} [строка 1, столбец 18]"_cp)},
    {"ifdef_without_name", "{$IFDEF} PrintLn(1); {$ENDIF}",
     std::string("Синтаксическая ошибка: в директиве {$IFDEF} нет имени [строка 1, столбец 1]"_cp)},
};
INSTANTIATE_TEST_SUITE_P(Table, CompileErrors, testing::ValuesIn(kCompileErrors),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(CompileErrors, RecoveryReportsEveryBrokenStatement) {
    Engine engine;
    auto program = engine.compile("x := ;\nPrintLn('a' + 1);\nPrintLn(1;\nPrintLn(2)\n");
    const auto& msgs = program->messages();
    std::vector<int> lines;
    for (const Message& m : msgs)
        lines.push_back(m.line);
    // Line 1 has two faults (an unknown name, a missing expression); line 4 is fine.
    EXPECT_EQ(lines, (std::vector<int>{1, 1, 2, 3})) << program->messagesText();
    // Each message is followed by CR LF, and the refusal to run is recorded too.
    EXPECT_EQ(program->run(), RunStatus::NotRun);
    std::string text = program->messagesText();
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_NE(text.find("Программа не запущена"_cp), std::string::npos);
    EXPECT_EQ(program->messages().back().kind, Message::Kind::Refusal);
}

TEST(CompileErrors, StopAfterTooManyErrors) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "x := 1;\n";
    Engine engine;
    auto program = engine.compile(text);
    EXPECT_LE(program->messages().size(), 40u);
}

class RuntimeErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(RuntimeErrors, StopTheRunWithPlace) {
    const ErrorCase& c = GetParam();
    test::Outcome o = test::runScript(c.script);
    ASSERT_TRUE(o.compiled) << o.messages;
    EXPECT_EQ(o.status, RunStatus::Failed);
    EXPECT_EQ(firstMessage(o.messages), c.message);
    EXPECT_EQ(o.output.find("after"), std::string::npos) << "ran past the error";
}

const ErrorCase kRuntimeErrors[] = {
    {"division_by_zero", "var x: Integer;\n  x := 1 div x; PrintLn('after')",
     std::string("Ошибка выполнения: деление на ноль [строка 2, столбец 3]"_cp)},
    {"float_division_by_zero", "PrintLn(1 / 0); PrintLn('after')",
     std::string("Ошибка выполнения: деление на ноль [строка 1, столбец 1]"_cp)},
    {"static_index", "var a: array[1..3] of Integer;\na[4] := 1; PrintLn('after')",
     std::string("Ошибка выполнения: индекс вне границ массива: 4 [строка 2, столбец 1]"_cp)},
    {"index_far_above_negative_bounds",
     "var b: array[-5..5] of Integer;\nPrintLn(b[9223372036854775807]); PrintLn('after')",
     std::string("Ошибка выполнения: индекс вне границ массива: 9223372036854775807 [строка 2, "
                 "столбец 1]"_cp)},
    {"empty_dynamic_array", "var a: array of Integer;\nPrintLn(a[0]); PrintLn('after')",
     std::string("Ошибка выполнения: индекс вне границ массива: 0 [строка 2, столбец 1]"_cp)},
    {"string_index", "var s: String; s := 'ab';\n s[3] := 'x'; PrintLn('after')",
     std::string("Ошибка выполнения: индекс вне границ строки: 3 [строка 2, столбец 2]"_cp)},
    {"bad_conversion", "PrintLn(1);\nPrintLn(StrToInt('12a')); PrintLn('after')",
     std::string("Ошибка выполнения: '12a' - неверное целое число [строка 2, столбец 1]"_cp)},
    {"chr_range", "PrintLn(Chr(300)); PrintLn('after')",
     std::string("Ошибка выполнения: код символа вне диапазона 0..255 [строка 1, столбец 1]"_cp)},
    {"raised_exception", "PrintLn(1);\n  raise Exception.Create('custom'); PrintLn('after')",
     std::string("Ошибка выполнения: custom [строка 2, столбец 3]"_cp)},
    {"place_inside_routine",
     "procedure P;\nbegin\n  PrintLn(Round(Sqrt(-1)))\nend;\nP; PrintLn('after')",
     std::string(
         "Ошибка выполнения: недопустимая операция с плавающей точкой [строка 3, столбец 3]"_cp)},
    {"trunc_out_of_range", "PrintLn(Trunc(1e300)); PrintLn('after')",
     std::string("Ошибка выполнения: значение вне диапазона Integer [строка 1, столбец 1]"_cp)},
    {"bad_date", "PrintLn(EncodeDate(2023, 2, 29)); PrintLn('after')",
     std::string("Ошибка выполнения: неверная дата [строка 1, столбец 1]"_cp)},
    {"format_mismatch", "PrintLn(Format('%d', ['x'])); PrintLn('after')",
     std::string(
         "Ошибка выполнения: неверный формат или аргумент Format [строка 1, столбец 1]"_cp)},
    {"succ_past_the_last_value",
     "type TA = (A1, A2); var a: TA; a := A2; a := Succ(a); "
     "PrintLn('after')",
     std::string("Ошибка выполнения: значение вне диапазона типа TA [строка 1, столбец 41]"_cp)},
    {"assert_fails", "Assert(1 > 2, 'one is not above two'); PrintLn('after')",
     std::string("Ошибка выполнения: one is not above two [строка 1, столбец 1]"_cp)},
    {"bad_hex", "PrintLn(HexToInt('xyz')); PrintLn('after')",
     std::string(
         "Ошибка выполнения: 'xyz' - неверное шестнадцатеричное число [строка 1, столбец 1]"_cp)},
    {"procedural_variable_unset", "type TProc = procedure; var p: TProc; p; PrintLn('after')",
     std::string("Ошибка выполнения: процедурной переменной не присвоена подпрограмма [строка 1, "
                 "столбец 39]"_cp)},
    {"var_ref_to_removed_element",
     "var a: array of Integer;\nprocedure P(var x: Integer); begin SetLength(a, 1); x := 1 "
     "end;\nSetLength(a, 3); P(a[2]); PrintLn('after')",
     std::string("Ошибка выполнения: ссылка на элемент, которого больше нет в массиве [строка 2, "
                 "столбец 53]"_cp)},
};
INSTANTIATE_TEST_SUITE_P(Table, RuntimeErrors, testing::ValuesIn(kRuntimeErrors),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(RuntimeErrors, ChangesBeforeTheErrorStay) {
    test::Outcome o = test::runScript("PrintLn('before'); PrintLn(1 div 0)");
    EXPECT_EQ(o.status, RunStatus::Failed);
    EXPECT_EQ(o.output, "before\n");
}

} // namespace
} // namespace pascal
