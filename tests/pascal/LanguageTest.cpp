// The language, feature by feature: each case is a script and what it prints.
#include "tests/pascal/ScriptRun.h"

#include "pascal/Cp1251.h"

#include <gtest/gtest.h>

namespace pascal {
namespace {

struct Case {
    const char* name;
    std::string script;
    std::string expected;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class Language : public testing::TestWithParam<Case> {};

TEST_P(Language, PrintsExpectedOutput) {
    const Case& c = GetParam();
    test::Outcome o = test::runScript(c.script);
    ASSERT_TRUE(o.compiled) << o.messages;
    EXPECT_EQ(o.status, RunStatus::Completed) << o.messages;
    EXPECT_EQ(o.output, c.expected);
}

const Case kStructure[] = {
    {"empty_text", "", ""},
    {"statements_without_begin", "PrintLn(1); PrintLn(2)", "1\n2\n"},
    {"program_header_and_final_block", "program P; var x: Integer; begin x := 3; PrintLn(x) end.",
     "3\n"},
    {"declarations_between_statements",
     "var a: Integer; a := 1; var b: Integer = 5; procedure Show; begin PrintLn(a + b) end; Show;",
     "6\n"},
    {"text_after_final_end_is_ignored", "begin PrintLn('x') end. garbage ~~ here", "x\n"},
    {"case_insensitive_names", "VAR Abc: INTEGER; begin abc := 2; PRINTLN(ABC * 2) END.", "4\n"},
    {"comments", "{ one } (* two *) // three\nPrintLn('ok') { four }", "ok\n"},
    {"goto_is_an_identifier", "procedure goto(n: Integer); begin PrintLn(n) end; goto(7);", "7\n"},
};
INSTANTIATE_TEST_SUITE_P(Structure, Language, testing::ValuesIn(kStructure),
                         [](const auto& i) { return std::string(i.param.name); });

const Case kDirectives[] = {
    {"ifdef_skips_undefined", "{$IFDEF DEBUG} PrintLn('debug'); {$ENDIF} PrintLn('on')", "on\n"},
    {"define_then_ifdef", "{$DEFINE Debug}{$IFDEF DEBUG} PrintLn('debug'); {$ENDIF}", "debug\n"},
    {"ifndef_and_else",
     "{$IFNDEF X} PrintLn(1); {$ELSE} PrintLn(2); {$ENDIF} {$DEFINE X}"
     "{$IFNDEF X} PrintLn(3); {$ELSE} PrintLn(4); {$ENDIF}",
     "1\n4\n"},
    {"undef", "{$DEFINE A}{$UNDEF A}{$IFDEF A} PrintLn('a'); {$ENDIF}PrintLn('b')", "b\n"},
    {"nested_inside_left_out_text",
     "{$IFDEF A} {$IFDEF B} PrintLn(1); {$ELSE} PrintLn(2); {$ENDIF} PrintLn(3); {$ELSE}"
     " PrintLn(4); {$ENDIF}",
     "4\n"},
    {"left_out_text_need_not_compile",
     "{$IFDEF NEVER} this is not Pascal ' {$ENDIF} ' {$INCLUDE x} (* {$ENDIF} *) {$ENDIF}"
     "PrintLn('ok')",
     "ok\n"},
    {"defines_in_left_out_text_do_not_count",
     "{$IFDEF NO}{$DEFINE YES}{$ENDIF}{$IFDEF YES}PrintLn(1);{$ENDIF}(*$DEFINE Z*)"
     "{$IFDEF Z}PrintLn(2);{$ENDIF}",
     "2\n"},
    {"dollar_inside_a_comment_is_a_comment", "{ $INCLUDE x } PrintLn('ok')", "ok\n"},
};
INSTANTIATE_TEST_SUITE_P(Directives, Language, testing::ValuesIn(kDirectives),
                         [](const auto& i) { return std::string(i.param.name); });

// Variables declared where they are needed (Delphi's inline form).
const Case kInlineVariables[] = {
    {"initialised_and_inferred",
     "var x: Integer := 5; var s := 'abc'; var f := 1.5; var b := x > 2;\n"
     "PrintLn(x, s, f, b)",
     "5abc1.5True\n"},
    {"inside_a_block_until_its_end",
     "var i: Integer;\n"
     "for i := 1 to 3 do begin var n: Integer; var t := 'x'; n := n + i; t += 'y'; Print(n, t, "
     "' ') end;\n"
     "begin var n := 10; PrintLn(n) end; begin var n := 'again'; PrintLn(n) end",
     "1xy 2xy 3xy 10\nagain\n"},
    {"for_var", "for var i := 1 to 3 do Print(i); for var c in 'ab' do Print(c); PrintLn",
     "123ab\n"},
    {"inside_a_routine",
     "function F(k: Integer): Integer; begin var m: Integer := k * 2; for var j := 1 to k do "
     "m += j; Result := m end; PrintLn(F(3))",
     "12\n"},
};
INSTANTIATE_TEST_SUITE_P(InlineVariables, Language, testing::ValuesIn(kInlineVariables),
                         [](const auto& i) { return std::string(i.param.name); });

const Case kLiterals[] = {
    {"hex_and_char_codes", "PrintLn($FF, ' ', 'a'#66#$43'd', ' ', Length(#13#10))", "255 aBCd 2\n"},
    {"quote_doubling", "PrintLn('it''s')", "it's\n"},
    {"floats", "PrintLn(1.5, ' ', 2E3, ' ', 1.25e-2)", "1.5 2000 0.0125\n"},
    {"booleans", "PrintLn(True, False, not True)", "TrueFalseFalse\n"},
    {"int64_range", "PrintLn(9223372036854775807, ' ', -9223372036854775807 - 1)",
     "9223372036854775807 -9223372036854775808\n"},
};
INSTANTIATE_TEST_SUITE_P(Literals, Language, testing::ValuesIn(kLiterals),
                         [](const auto& i) { return std::string(i.param.name); });

const Case kOperators[] = {
    {"precedence", "PrintLn(2 + 3 * 4, ' ', (2 + 3) * 4, ' ', -2 * 3, ' ', 10 - 4 - 3)",
     "14 20 -6 3\n"},
    {"div_mod_negative", "PrintLn(-7 div 2, ' ', -7 mod 2, ' ', 7 div -2)", "-3 -1 -3\n"},
    {"slash_is_float", "PrintLn(7 / 2, ' ', 6 / 3)", "3.5 2\n"},
    {"int_widens_to_float", "var f: Float; f := 3; f := f + 1; PrintLn(f * 2)", "8\n"},
    {"bitwise_on_integers", "PrintLn(12 and 10, ' ', 12 or 3, ' ', 6 xor 3, ' ', not 0)",
     "8 15 5 -1\n"},
    {"shifts", "PrintLn(1 shl 10, ' ', 1024 shr 3, ' ', -1 shr 63)", "1024 128 1\n"},
    {"overflow_wraps", "PrintLn(9223372036854775807 + 1)", "-9223372036854775808\n"},
    {"min_div_minus_one_wraps", "var m: Integer; m := -9223372036854775807 - 1; PrintLn(m div -1)",
     "-9223372036854775808\n"},
    {"short_circuit",
     "function Boom: Boolean; begin PrintLn('evaluated'); Result := True end;\n"
     "if False and Boom then PrintLn('no'); if True or Boom then PrintLn('yes')",
     "yes\n"},
    {"comparisons", "PrintLn(1 < 2, 2 <= 2, 'abc' < 'abd', 'b' > 'abc', 1.5 = 1.5, 2 <> 2.0)",
     "TrueTrueTrueTrueTrueFalse\n"},
    {"cp1251_order_is_by_byte", "PrintLn('\xC0' > 'Z', '\xE0' > '\xC0')", "TrueTrue\n"},
    {"string_concat", "var s: String; s := 'a'; s := s + 'b' + 'c'; s := 'x' + s; PrintLn(s)",
     "xabc\n"},
    {"boolean_xor_and_compare", "PrintLn(True xor True, False < True)", "FalseTrue\n"},
};
INSTANTIATE_TEST_SUITE_P(Operators, Language, testing::ValuesIn(kOperators),
                         [](const auto& i) { return std::string(i.param.name); });

const Case kStatements[] = {
    {"if_else_chain",
     "var i: Integer; for i := 1 to 3 do if i = 1 then Print('a') else if i = 2 then Print('b') "
     "else Print('c')",
     "abc"},
    {"for_downto_and_empty_range",
     "var i: Integer; for i := 3 downto 1 do Print(i); for i := 5 to 1 do Print('x')", "321"},
    {"for_to_max_int_ends",
     "var i, n: Integer; n := 0; for i := 9223372036854775806 to 9223372036854775807 do Inc(n); "
     "PrintLn(n)",
     "2\n"},
    {"while_break_continue",
     "var i: Integer; i := 0; while True do begin Inc(i); if i mod 2 = 0 then Continue; if i > 7 "
     "then Break; Print(i) end",
     "1357"},
    {"repeat_until", "var i: Integer; repeat Inc(i); Print(i) until i >= 3", "123"},
    {"case_integers_ranges_else",
     "var i: Integer; for i := 0 to 5 do case i of 0: Print('z'); 1..2, 4: Print('s') else "
     "Print('e') end",
     "zssese"},
    {"case_strings",
     "procedure T(s: String); begin case s of 'a'..'c': Print('1'); 'dog': Print('2') else "
     "Print('3') end end; T('b'); T('dog'); T('e')",
     "123"},
    {"exit_from_procedure", "procedure P; begin Print('a'); Exit; Print('b') end; P; Print('c')",
     "ac"},
    {"exit_from_main", "Print('a'); Exit; Print('b')", "a"},
    {"try_except_catches_run_time_error",
     "var x: Integer; try x := StrToInt('zz'); Print('no') except Print('caught') end; Print('!')",
     "caught!"},
    {"try_except_on_message",
     "try raise Exception.Create('boom') except on E: Exception do PrintLn(E.Message) end",
     "boom\n"},
    {"reraise_goes_to_outer",
     "try try raise Exception.Create('in') except Print('1'); raise end except on E: "
     "Exception do Print(E.Message) end",
     "1in"},
    {"finally_runs_on_error_and_exit",
     "procedure P; begin try Exit finally Print('f1') end end; P;\n"
     "try try raise Exception.Create('x') finally Print('f2') end except Print('c') end",
     "f1f2c"},
    {"break_inside_try_finally",
     "var i: Integer; for i := 1 to 5 do try if i = 2 then Break; Print(i) finally Print('f') end",
     "1ff"},
    {"error_in_nested_call_unwinds",
     "function F(n: Integer): Integer; begin if n = 0 then Result := 1 div n else Result := F(n - "
     "1) end;\n"
     "try F(5) except Print('ok') end; Print('!')",
     "ok!"},
};
INSTANTIATE_TEST_SUITE_P(Statements, Language, testing::ValuesIn(kStatements),
                         [](const auto& i) { return std::string(i.param.name); });

const Case kRoutines[] = {
    {"recursion",
     "function Fib(n: Integer): Integer; begin if n < 2 then Result := n else "
     "Result := Fib(n-1) + Fib(n-2) end; PrintLn(Fib(20))",
     "6765\n"},
    {"assign_to_function_name", "function F: String; begin F := 'named' end; PrintLn(F)",
     "named\n"},
    {"var_and_const_params",
     "procedure Swap(var a, b: Integer); var t: Integer; begin t := a; a := b; b := t end;\n"
     "function Twice(const s: String): String; begin Result := s + s end;\n"
     "var x, y: Integer; x := 1; y := 2; Swap(x, y); PrintLn(x, y, Twice('ab'))",
     "21abab\n"},
    {"var_param_to_array_element_and_field",
     "type TR = record v: Integer end; var a: array[1..3] of Integer; r: TR;\n"
     "procedure Inc2(var x: Integer); begin x := x + 2 end;\n"
     "Inc2(a[2]); Inc2(r.v); Inc2(r.v); PrintLn(a[2], r.v)",
     "24\n"},
    {"nested_routines_see_outer_locals",
     "function Outer(n: Integer): Integer; var acc: Integer;\n"
     "  procedure Add(k: Integer); begin acc := acc + k * n end;\n"
     "begin acc := 0; Add(1); Add(2); Result := acc end; PrintLn(Outer(10))",
     "30\n"},
    {"nested_recursion_keeps_frames",
     "function Count(d: Integer): Integer; var mine: Integer;\n"
     "  function Inner: Integer; begin Result := mine end;\n"
     "begin mine := d; if d > 0 then Count(d - 1); Result := Inner end; PrintLn(Count(5))",
     "5\n"},
    {"forward_declaration",
     "function IsOdd(n: Integer): Boolean; forward;\n"
     "function IsEven(n: Integer): Boolean; begin if n = 0 then Result := True else Result := "
     "IsOdd(n - 1) end;\n"
     "function IsOdd(n: Integer): Boolean; begin if n = 0 then Result := False else Result := "
     "IsEven(n - 1) end;\n"
     "PrintLn(IsEven(10), IsOdd(7))",
     "TrueTrue\n"},
    {"call_without_parentheses", "procedure Hi; begin Print('hi') end; Hi; Hi()", "hihi"},
    {"exit_with_value",
     "function F(n: Integer): Integer; begin if n > 0 then Exit(n * 2); "
     "Result := -1 end; PrintLn(F(4), F(0))",
     "8-1\n"},
    {"locals_fresh_each_call",
     "procedure P; var n: Integer; s: String; begin Inc(n); s := s + 'x'; Print(n, s) end; P; P",
     "1x1x"},
};
INSTANTIATE_TEST_SUITE_P(Routines, Language, testing::ValuesIn(kRoutines),
                         [](const auto& i) { return std::string(i.param.name); });

const Case kTypes[] = {
    {"static_array_bounds",
     "var a: array[-2..2] of Integer; i: Integer;\n"
     "for i := Low(a) to High(a) do a[i] := i * i; PrintLn(a[-2], a[2], "
     "Length(a))",
     "445\n"},
    {"dynamic_array",
     "var a: array of String; SetLength(a, 3); a[2] := 'z'; SetLength(a, 4); "
     "PrintLn(Length(a), High(a), a[2], a[3] = '')",
     "43zTrue\n"},
    {"dynamic_arrays_share_static_copy",
     "var d1, d2: array of Integer; s1, s2: array[1..2] of Integer;\n"
     "SetLength(d1, 1); d2 := d1; d2[0] := 5; s1[1] := 1; s2 := s1; s2[1] := 9; PrintLn(d1[0], "
     "s1[1])",
     "51\n"},
    {"records_copy_on_assign",
     "type TP = record x: Integer; name: String; tags: array[1..2] of String end;\n"
     "var a, b: TP; a.x := 1; a.tags[1] := 't'; b := a; b.x := 2; b.tags[1] := 'u'; PrintLn(a.x, "
     "a.tags[1], b.x, b.tags[1])",
     "1t2u\n"},
    {"multi_dimensional",
     "var m: array[1..2, 1..3] of Integer; m[2, 3] := 7; m[1][2] := 4; "
     "PrintLn(m[2][3] + m[1, 2])",
     "11\n"},
    {"array_of_records",
     "type TR = record v: Integer end; var a: array of TR; SetLength(a, 2); "
     "a[1].v := 3; PrintLn(a[1].v + a[0].v)",
     "3\n"},
    {"string_indexing", "var s: String; s := 'abc'; s[2] := 'X'; PrintLn(s, s[3], Ord(s[1]))",
     "aXcc97\n"},
    {"named_types_and_consts",
     "const N = 3; Greeting = 'hi'; Half = N / 2; type TArr = array[1..N] of Integer; var a: "
     "TArr; PrintLn(High(a), Greeting, Half)",
     "3hi1.5\n"},
    {"array_function_result",
     "type TA = array of Integer; function Make(n: Integer): TA; var i: Integer; begin "
     "SetLength(Result, n); for i := 0 to n - 1 do Result[i] := i end; PrintLn(Make(4)[3])",
     "3\n"},
};
INSTANTIATE_TEST_SUITE_P(Types, Language, testing::ValuesIn(kTypes),
                         [](const auto& i) { return std::string(i.param.name); });

const Case kStrings[] = {
    {"copy_pos_length",
     "PrintLn(Copy('hello', 2, 3), Copy('hello', 4), Copy('abc', 5, 1), "
     "Pos('ll', 'hello'), Pos('z', 'hello'), Length(''))",
     "elllo300\n"},
    {"delete_insert",
     "var s: String; s := 'abcdef'; Delete(s, 2, 3); Print(s, ' '); Insert('XY', s, 2); "
     "Print(s, ' '); Delete(s, 10, 1); PrintLn(s)",
     "aef aXYef aXYef\n"},
    {"case_folding",
     "PrintLn(UpperCase('ab\xE0'), LowerCase('AB\xC0'), AnsiUpperCase('ab\xE0\xB8'), "
     "AnsiLowerCase('\xC0\xA8'))",
     "AB\xE0"
     "ab\xC0"
     "AB\xC0\xA8\xE0\xB8\n"},
    {"trim", "PrintLn('[', Trim('  a b  '), '][', TrimLeft('  a '), '][', TrimRight(' a  '), ']')",
     "[a b][a ][ a]\n"},
    {"string_of_char_replace_quoted",
     "PrintLn(StringOfChar('*', 3), StringReplace('a-b-c', '-', '+', [rfReplaceAll]), "
     "StringReplace('a-b-c', '-', '+', []), QuotedStr('it''s'))",
     "***a+b+ca+b-c'it''s'\n"},
    {"string_replace_ignore_case",
     "PrintLn(StringReplace('AbAB', 'ab', 'x', [rfReplaceAll, "
     "rfIgnoreCase]))",
     "xx\n"},
    {"conversions",
     "PrintLn(IntToStr(-42), IntToHex(255, 4), StrToInt(' -17'), StrToInt('$1f'), "
     "StrToIntDef('x', 5), ' ', FloatToStr(2.5), StrToFloat('1.25') * 2, BoolToStr(True), "
     "BoolToStr(False, True))",
     "-4200FF-17315 2.52.5-1False\n"},
    {"chr_ord_sametext",
     "PrintLn(Chr(65), Ord('A'), SameText('abc', 'ABC'), CompareText('a', 'B'))", "A65True-1\n"},
    {"format",
     "PrintLn(Format('%d|%5d|%-4s|%s|%.2f|%x|%8.3f|%%', [42, 7, 'ab', 'ok', 3.14159, "
     "255, 2.5]))",
     "42|    7|ab  |ok|3.14|FF|   2.500|%\n"},
    {"format_rounds_halves_away_and_counts_exponent_digits",
     "PrintLn(Format('%.0f %.0f %.1f|%.3e|%e|%n', [2.5, 0.5, 0.25, -12345.678, 1.5, "
     "1234567.125]))",
     "3 1 0.3|-1.23E+004|1.5000000000000000E+000|1 234 567.13\n"},
};
INSTANTIATE_TEST_SUITE_P(Strings, Language, testing::ValuesIn(kStrings),
                         [](const auto& i) { return std::string(i.param.name); });

const Case kMaths[] = {
    {"abs_sqr_minmax", "PrintLn(Abs(-3), Abs(-2.5), Sqr(4), Sqr(1.5), Min(3, 9), Max(2.5, 1))",
     "32.5162.2532.5\n"},
    {"rounding", "PrintLn(Round(2.5), Round(3.5), Round(-2.5), Trunc(-2.7), Frac(2.75), Int(-2.5))",
     "24-2-20.75-2\n"},
    {"functions",
     "PrintLn(Sqrt(16), Round(Sin(0) + Cos(0)), Exp(0), Ln(1), Power(2, 10), "
     "Round(ArcTan(1) * 4 * 1000))",
     "411010243142\n"},
    {"odd_inc_dec",
     "var i: Integer; i := 5; Inc(i); Inc(i, 10); Dec(i, 3); Dec(i); PrintLn(i, "
     "Odd(i), Odd(3))",
     "12FalseTrue\n"},
    {"random_ranges",
     "var i, k: Integer; ok: Boolean; ok := True; for i := 1 to 1000 do begin k := Random(10); ok "
     ":= ok and (k >= 0) and (k < 10); k := RandomInt(3); ok := ok and (k >= 0) and (k < 3); ok "
     ":= ok and (Random < 1.0) end; PrintLn(ok, Random(0))",
     "True0\n"},
    {"pi", "PrintLn(Round(Pi * 100))", "314\n"},
};
INSTANTIATE_TEST_SUITE_P(Maths, Language, testing::ValuesIn(kMaths),
                         [](const auto& i) { return std::string(i.param.name); });

// Functions Free Pascal spells differently or not at all.
const Case kMoreFunctions[] = {
    {"gcd_lcm", "PrintLn(Gcd(12, -18), ' ', Lcm(4, 6), ' ', Lcm(0, 5), ' ', Gcd(0, 0))",
     "6 12 0 0\n"},
    {"hex_to_int", "PrintLn(HexToInt('FF'), ' ', HexToInt('$10'), ' ', HexToInt('0x1f'))",
     "255 16 31\n"},
    {"float_to_str_digits", "PrintLn(FloatToStr(2 / 3, 4), ' ', FloatToStr(2.5, 1))", "0.6667 3\n"},
    {"swap_split_join",
     "var a, b: String; i, j: Integer; parts: array of String;\n"
     "a := 'x'; b := 'y'; i := 1; j := 2; Swap(a, b); Swap(i, j); PrintLn(a, b, i, j);\n"
     "parts := StrSplit('a,,b,c', ','); PrintLn(Length(parts), ' ', StrJoin(parts, '+'), ' ',\n"
     "  Length(StrSplit('', ',')), ' ', StrJoin(StrSplit('one', ''), '-'))",
     "yx21\n4 a++b+c 1 one\n"},
    {"assert_passes", "Assert(1 < 2); Assert(True, 'fine'); PrintLn('ok')", "ok\n"},
};
INSTANTIATE_TEST_SUITE_P(MoreFunctions, Language, testing::ValuesIn(kMoreFunctions),
                         [](const auto& i) { return std::string(i.param.name); });

const Case kDates[] = {
    {"encode_decode",
     "var y, m, d: Integer; DecodeDate(EncodeDate(2024, 2, 29) + 1, y, m, d); "
     "PrintLn(y, '-', m, '-', d)",
     "2024-3-1\n"},
    {"day_zero_and_weekday", "PrintLn(DateToStr(0), ' ', DayOfWeek(EncodeDate(2026, 12, 11)))",
     "30.12.1899 6\n"},
    {"format_date_time",
     "PrintLn(FormatDateTime('yyyy/mm/dd hh:nn:ss', EncodeDate(2001, 2, 3) + 0.5), ' ', "
     "TimeToStr(0.75), ' ', DateTimeToStr(EncodeDate(1999, 12, 31)))",
     "2001/02/03 12:00:00 18:00:00 31.12.1999 00:00:00\n"},
    {"now_is_today", "PrintLn(Trunc(Now) = Trunc(Date), Time < 1)", "TrueTrue\n"},
};
INSTANTIATE_TEST_SUITE_P(Dates, Language, testing::ValuesIn(kDates),
                         [](const auto& i) { return std::string(i.param.name); });

} // namespace
} // namespace pascal
