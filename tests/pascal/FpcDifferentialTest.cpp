// The same programs compiled by Free Pascal in Delphi mode and run by our
// engine must print the same: Free Pascal is the reference for the Pascal
// that authors bring. Each case is a whole program in the common subset;
// only Free Pascal is given a prelude (its units, and PrintLn as WriteLn).
#include "tests/pascal/ScriptRun.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace pascal {
namespace {

struct DiffCase {
    const char* name;
    std::string program;
};

void PrintTo(const DiffCase& c, std::ostream* os) {
    *os << c.name;
}

const char kFpcPrelude[] = "{$MACRO ON}{$DEFINE PrintLn:=WriteLn}{$DEFINE Print:=Write}\n"
                           "uses SysUtils, Math, StrUtils;\n";

// Runs a shell command, returning its standard output, or nullopt when it
// fails.
std::optional<std::string> capture(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string out;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0)
        out.append(buf.data(), n);
    int status = pclose(pipe);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

// What Free Pascal's build of the program prints.
std::string fpcOutput(const DiffCase& c) {
    namespace fs = std::filesystem;
    fs::path dir = fs::path(testing::TempDir()) / (std::string("fpc-") + c.name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    {
        std::ofstream src(dir / "t.pas", std::ios::binary);
        src << kFpcPrelude << c.program;
    }
    std::string quotedDir = "'" + dir.string() + "'";
    auto built =
        capture("fpc -Mdelphi -Sm -Sc -v0 -FE" + quotedDir + " " + quotedDir + "/t.pas 2>&1");
    if (!built) {
        ADD_FAILURE() << "fpc did not compile " << c.name
                      << " (is fp-compiler installed? scripts/install-deps.sh installs it)";
        return {};
    }
    auto out = capture(quotedDir + "/t");
    if (!out) {
        ADD_FAILURE() << "the fpc build of " << c.name << " failed";
        return {};
    }
    fs::remove_all(dir);
    return *out;
}

class FpcDifferential : public testing::TestWithParam<DiffCase> {};

TEST_P(FpcDifferential, PrintsWhatFreePascalPrints) {
    const DiffCase& c = GetParam();
    test::Outcome ours = test::runScript(c.program);
    ASSERT_TRUE(ours.compiled) << ours.messages;
    ASSERT_EQ(ours.status, RunStatus::Completed) << ours.messages;
    std::string reference = fpcOutput(c);
    EXPECT_FALSE(reference.empty());
    EXPECT_EQ(ours.output, reference);
}

// Values go through Double variables: Free Pascal folds literal expressions
// in other precisions.
const DiffCase kFloatText[] = {
    {"format_fixed_rounds_halves_away_from_zero",
     "var a, b, c, d, e: Double;\n"
     "begin a := 2.5; b := 0.5; c := 0.25; d := -2.5; e := 0.125;\n"
     "  PrintLn(Format('%.0f %.0f %.1f %.0f %.2f', [a, b, c, d, e]));\n"
     "  a := 1.5; b := 3.5; c := 0.15; d := 0.35; e := 0.45;\n"
     "  PrintLn(Format('%.0f %.0f %.1f %.1f %.1f', [a, b, c, d, e]));\n"
     "  a := 1.005; b := 2.675; c := 0.49999999999999994; d := 0.0005; e := 9.995;\n"
     "  PrintLn(Format('%.2f %.2f %.0f %.3f %.2f %f|%8.3f|%-8.1f|', [a, b, c, d, e, a, b, c]));\n"
     "end.\n"},
    {"format_exponent_counts_significant_digits",
     "var a, b, c, d: Double;\n"
     "begin a := -12345.678; b := 1.5; c := 9.9996; d := 0.00012345;\n"
     "  PrintLn(Format('%.3e|%e|%.3e|%.4e|%.2e|%.5e', [a, b, c, d, b, b]));\n"
     "  a := 1e300; b := 1e-300; c := 0; d := -0.001;\n"
     "  PrintLn(Format('%e|%.2e|%e|%.3e|%12.2e|%-12.2e|', [a, b, c, d, d, d]));\n"
     "end.\n"},
    {"float_to_str",
     "var a: array[0..11] of Double; i: Integer;\n"
     "begin a[0] := 0.1 + 0.2; a[1] := 2.5; a[2] := 1e20; a[3] := 1 / 3; a[4] := 1e15;\n"
     "  a[5] := 1e14; a[6] := 0.00001; a[7] := 0.000001; a[8] := 123456789012345.6;\n"
     "  a[9] := 999999999999999.5; a[10] := -1.5e-7; a[11] := 1.7976931348623157e308;\n"
     "  for i := 0 to 11 do PrintLn(FloatToStr(a[i]));\n"
     "end.\n"},
    {"float_to_str_f",
     "var a, b, c: Double;\n"
     "begin a := 2.5; b := 1.005; c := -12345.678;\n"
     "  PrintLn(FloatToStrF(a, ffFixed, 15, 0), '|', FloatToStrF(b, ffFixed, 15, 2), '|',\n"
     "    FloatToStrF(b, ffGeneral, 3, 0), '|', FloatToStrF(c, ffExponent, 3, 2), '|',\n"
     "    FloatToStrF(c, ffGeneral, 15, 0), '|', FloatToStrF(a * 1e20, ffFixed, 15, 2), '|',\n"
     "    FloatToStrF(c, ffFixed, 4, 2), '|', FloatToStrF(c, ffExponent, 15, 4));\n"
     "end.\n"},
};
INSTANTIATE_TEST_SUITE_P(FloatText, FpcDifferential, testing::ValuesIn(kFloatText),
                         [](const auto& i) { return std::string(i.param.name); });

const DiffCase kLanguage[] = {
    {"enumerations",
     "type TColor = (Red, Green, Blue);\n"
     "var c: TColor; n: array[TColor] of Integer; m: array[Green..Blue] of String; i: Integer;\n"
     "begin\n"
     "  c := Green; PrintLn(c, ' ', Ord(c), ' ', Succ(c), ' ', Pred(c), ' ', Low(TColor), ' ',\n"
     "    High(TColor), ' ', Ord(High(c)));\n"
     "  Inc(c); PrintLn(c); Dec(c, 2); PrintLn(c);\n"
     "  for c := Low(TColor) to High(TColor) do n[c] := Ord(c) * 10;\n"
     "  for c := Blue downto Red do Print(c, '=', n[c], ' ');\n"
     "  PrintLn;\n"
     "  m[Green] := 'g'; m[Blue] := 'b'; PrintLn(m[Green], m[Blue], Low(m), High(n));\n"
     "  for c := Red to Blue do\n"
     "    case c of\n"
     "      Red: PrintLn('red');\n"
     "      Green, Blue: if c > Green then PrintLn('blue') else PrintLn('green');\n"
     "    end;\n"
     "  if (Red < Blue) and (Green = Green) and not (Blue <= Green) then PrintLn('ordered');\n"
     "end.\n"},
    {"sets", "type TColor = (Red, Green, Blue, Black);\n"
             "  TColors = set of TColor; TSmall = set of 0..31;\n"
             "var s, t: TColors; n: TSmall; c: TColor; i: Integer;\n"
             "procedure Show(const x: TColors);\n"
             "var c: TColor;\n"
             "begin for c := Red to Black do if c in x then Print(c, ' '); PrintLn('.') end;\n"
             "begin\n"
             "  s := [Red, Blue]; t := [Green..Black];\n"
             "  Show(s); Show(t); Show(s + t); Show(s - t); Show(s * t); Show([]);\n"
             "  Include(s, Green); Exclude(s, Red); Show(s);\n"
             "  if s <= s + t then PrintLn('subset');\n"
             "  if not (s <= [Red]) then PrintLn('not subset');\n"
             "  if s + t >= t then PrintLn('superset');\n"
             "  if (s = [Green, Blue]) and (s <> t) then PrintLn('equal');\n"
             "  n := [1, 3..5, 31];\n"
             "  for i := 0 to 31 do if i in n then Print(i, ' ');\n"
             "  PrintLn;\n"
             "  if not (2 in n) and (Blue in [Red..Blue]) then PrintLn('in');\n"
             "end.\n"},
    {"for_in_and_compound_assignment",
     "type TColor = (Red, Green, Blue);\n"
     "var a: array of Integer; st: array[1..3] of String; s, ch, w: String; n, k: Integer;\n"
     "  x: Double; c: TColor; cs: set of TColor; small: set of 0..63; total: Integer = 7;\n"
     "begin\n"
     "  SetLength(a, 4); a[0] := 5; a[1] := 6; a[2] := 7; a[3] := 8;\n"
     "  for n in a do begin if n = 6 then Continue; if n = 8 then Break; total += n; end;\n"
     "  PrintLn(total);\n"
     "  st[1] := 'x'; st[2] := 'y'; st[3] := 'z'; w := '';\n"
     "  for s in st do w += s + ',';\n"
     "  for ch in 'abc' do w += ch + ch;\n"
     "  PrintLn(w);\n"
     "  cs := [Red, Blue]; for c in cs do Print(c, ' '); PrintLn;\n"
     "  small := [2, 40, 63]; k := 0; for n in small do k += n; PrintLn(k);\n"
     "  k := 10; k -= 3; k *= 4; PrintLn(k);\n"
     "  x := 1; x += 2; x *= 3; x /= 4; x -= 0.25; PrintLn(FloatToStr(x));\n"
     "  cs += [Green]; cs -= [Red]; cs *= [Green, Blue]; for c in cs do Print(c, ' '); PrintLn;\n"
     "end.\n"},
    {"common_functions",
     "var x, y: Double; s: String;\n"
     "begin\n"
     "  x := -2.5; y := 90;\n"
     "  PrintLn(MaxInt, ' ', Sign(-7), Sign(0), Sign(x), ' ', FloatToStr(IntPower(1.5, 3)), ' ',\n"
     "    FloatToStr(DegToRad(y)), ' ', FloatToStr(RadToDeg(Pi)), ' ', FloatToStr(Min(x, y)), ' "
     "',\n"
     "    FloatToStr(Max(x, y)));\n"
     "  s := 'a.b.c';\n"
     "  PrintLn(Pos('.', s, 3), ' ', PosEx('.', s, 3), ' ', PosEx('.', s), ' ',\n"
     "    LastDelimiter('.', s), ' ', ReverseString(s), ' ', IntToBin(10, 8), ' ',\n"
     "    StringOfChar('-', 3));\n"
     "  x := 1234567.125; y := -0.5;\n"
     "  PrintLn(FormatFloat('0.00', x), '|', FormatFloat('#,##0.0#', x), '|', FormatFloat('#.###', "
     "y),\n"
     "    '|', FormatFloat('000', 7), '|', FormatFloat('0.#', 2.25), '|', FormatFloat('x=0.0 kg', "
     "2.45));\n"
     "end.\n"},
    {"typed_constants_exit_and_loops",
     "type TColor = (Red, Green, Blue);\n"
     "const Names: array[1..3] of String = ('one', 'two', 'three');\n"
     "  Weights: array[TColor] of Integer = (5, 7, 9); Limit: Integer = 4;\n"
     "function Kind(const s: String): Integer;\n"
     "begin\n"
     "  if s = 'one' then Exit(1);\n"
     "  if (s = 'two') or (s = 'three') then Exit(Length(s));\n"
     "  Result := -1;\n"
     "end;\n"
     "var i: Integer; c: TColor;\n"
     "begin\n"
     "  for i := Low(Names) to High(Names) do PrintLn(Names[i], ' ', Kind(Names[i]));\n"
     "  PrintLn(Kind('four'), ' ', Limit);\n"
     "  for c := Red to Blue do Print(Weights[c], ' '); PrintLn;\n"
     "  i := 0; while True do begin Inc(i); if i < 3 then Continue; if i > 5 then Break; Print(i); "
     "end;\n"
     "  PrintLn;\n"
     "  i := 0; repeat Inc(i); if Odd(i) then Continue; Print(i); if i >= 6 then Break; until i > "
     "100;\n"
     "  PrintLn;\n"
     "end.\n"},
    {"open_arrays",
     "function Sum(const a: array of Integer): Integer;\n"
     "var i: Integer;\n"
     "begin Result := 0; for i := Low(a) to High(a) do Result := Result + a[i] * (i + 1) end;\n"
     "function Joined(const a: array of String): String;\n"
     "var s: String;\n"
     "begin Result := ''; for s in a do Result := Result + s + ';' end;\n"
     "function Avg(a: array of Double): Double;\n"
     "var x: Double;\n"
     "begin Result := 0; for x in a do Result := Result + x / Length(a) end;\n"
     "var st: array[5..7] of Integer; d: array of Integer;\n"
     "begin\n"
     "  st[5] := 1; st[6] := 2; st[7] := 3; SetLength(d, 2); d[0] := 10; d[1] := 20;\n"
     "  PrintLn(Sum([1, 2, 3]), ' ', Sum(st), ' ', Sum(d), ' ', Sum([]), ' ', Sum([7]));\n"
     "  PrintLn(Joined(['a', 'bc', '']), ' ', FloatToStr(Avg([1.5, 2.5, 5.0])));\n"
     "end.\n"},
    {"procedural_types",
     "type TFunc = function(x: Integer): Integer; TShow = procedure(const s: String);\n"
     "  TStep = procedure(var n: Integer);\n"
     "function Twice(x: Integer): Integer; begin Result := 2 * x end;\n"
     "function Square(x: Integer): Integer; begin Result := x * x end;\n"
     "procedure Shout(const s: String); begin PrintLn(UpperCase(s), '!') end;\n"
     "procedure Bump(var n: Integer); begin n := n + 10 end;\n"
     "function Apply(f: TFunc; x: Integer): Integer; begin Result := f(f(x)) end;\n"
     "var f, g: TFunc; show: TShow; step: TStep; k: Integer;\n"
     "begin\n"
     "  f := Twice; PrintLn(f(5)); f := Square; PrintLn(f(5));\n"
     "  g := f; PrintLn(g(3), ' ', Apply(g, 3));\n"
     "  show := Shout; show('hi');\n"
     "  k := 1; step := Bump; step(k); step(k); PrintLn(k);\n"
     "end.\n"},
};
INSTANTIATE_TEST_SUITE_P(Language, FpcDifferential, testing::ValuesIn(kLanguage),
                         [](const auto& i) { return std::string(i.param.name); });

} // namespace
} // namespace pascal
