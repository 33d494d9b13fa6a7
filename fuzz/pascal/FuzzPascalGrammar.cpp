// Turns the input bytes into choices in the script grammar, so that every
// input is a well-formed program (declarations, routines with and without
// results, calls as statements and as values, every standard function with
// arguments of every type, nesting), then compiles and runs it. The byte-level
// target spends its time in syntax errors; this one explores meaning: type
// checking, the places that take any value, and the run itself.
//
// Set NORVO_FUZZ_PRINT=1 to see the program an input stands for on stderr.
#include "fuzz/pascal/FuzzHost.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The input read as a stream of choices. Once it runs out every choice is
// the first option, which is always the simplest, so generation ends.
class Choices {
public:
    Choices(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t pick(std::size_t n) {
        if (n <= 1 || pos_ >= size_)
            return 0;
        return data_[pos_++] % n;
    }
    bool chance(std::size_t outOf) { return pick(outOf) == 1; }
    template <class T> const T& of(const std::vector<T>& v) { return v[pick(v.size())]; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The value types the generator writes expressions of.
enum class T { Int, Float, Str, Bool, IntArr, StrArr, Rec, None };
constexpr int kValueTypes = 4; // Int..Bool: the ones every place may take

const char* typeText(T t) {
    switch (t) {
    case T::Int:
        return "Integer";
    case T::Float:
        return "Double";
    case T::Str:
        return "String";
    case T::Bool:
        return "Boolean";
    case T::IntArr:
        return "TInts";
    case T::StrArr:
        return "TNames";
    case T::Rec:
        return "TItem";
    default:
        return "";
    }
}

struct Var {
    std::string name;
    T type;
    bool assignable;
};

struct Proc {
    std::string name;
    std::vector<std::pair<T, bool>> params; // type, by reference
    T result;                               // T::None for a procedure
};

// Every standard and host function by name, called with whatever arguments
// the choices give: most such calls are type errors, which is the point.
const std::vector<std::string> kLibrary = {"Length",
                                           "Copy",
                                           "Pos",
                                           "UpperCase",
                                           "LowerCase",
                                           "AnsiUpperCase",
                                           "AnsiLowerCase",
                                           "Trim",
                                           "TrimLeft",
                                           "TrimRight",
                                           "StringOfChar",
                                           "StringReplace",
                                           "QuotedStr",
                                           "SameText",
                                           "CompareText",
                                           "CompareStr",
                                           "AnsiSameText",
                                           "AnsiCompareText",
                                           "Ord",
                                           "IntToStr",
                                           "IntToHex",
                                           "StrToInt",
                                           "StrToIntDef",
                                           "FloatToStr",
                                           "StrToFloat",
                                           "StrToFloatDef",
                                           "BoolToStr",
                                           "StrToBool",
                                           "Abs",
                                           "Sqr",
                                           "Sqrt",
                                           "Sin",
                                           "Cos",
                                           "Tan",
                                           "ArcTan",
                                           "Exp",
                                           "Ln",
                                           "Power",
                                           "Round",
                                           "Trunc",
                                           "Ceil",
                                           "Floor",
                                           "Frac",
                                           "Int",
                                           "Min",
                                           "Max",
                                           "Odd",
                                           "Random",
                                           "RandomInt",
                                           "Randomize",
                                           "Now",
                                           "Date",
                                           "Time",
                                           "DateToStr",
                                           "TimeToStr",
                                           "DateTimeToStr",
                                           "FormatDateTime",
                                           "EncodeDate",
                                           "DayOfWeek",
                                           "Low",
                                           "High",
                                           "SetLength",
                                           "Inc",
                                           "Dec",
                                           "Delete",
                                           "Insert",
                                           "Format",
                                           "Print",
                                           "PrintLn",
                                           "Chr",
                                           "DecodeDate",
                                           "ShowMessage",
                                           "InputBox",
                                           "MessageDlg",
                                           "goto",
                                           "p",
                                           "_p1_",
                                           "_param1_",
                                           "AsInt",
                                           "Exit",
                                           "Break",
                                           "Continue",
                                           "Succ",
                                           "Pred",
                                           "Include",
                                           "Exclude",
                                           "FloatToStrF",
                                           "FormatFloat",
                                           "Sign",
                                           "IntPower",
                                           "Gcd",
                                           "Lcm",
                                           "DegToRad",
                                           "HexToInt",
                                           "IntToBin",
                                           "Assert",
                                           "Swap",
                                           "StrSplit",
                                           "StrJoin",
                                           "LastDelimiter",
                                           "PosEx",
                                           "ReverseString",
                                           "MaxInt"};

// The standard and host functions with their types, for calls that check:
// "R:Name:params", each a letter (I Integer, F Double, S String, B Boolean,
// A the integer array, N none), a lower-case v before one passed by
// reference.
const std::vector<std::string> kSignatures = {"I:Length:S",
                                              "I:Pos:SS",
                                              "I:StrToIntDef:SI",
                                              "I:Abs:I",
                                              "I:Sqr:I",
                                              "I:Round:F",
                                              "I:Trunc:F",
                                              "I:Min:II",
                                              "I:Max:II",
                                              "I:Random:I",
                                              "I:CompareText:SS",
                                              "I:DayOfWeek:F",
                                              "I:_p1_:",
                                              "I:AsInt:S",
                                              "I:Ord:S",
                                              "I:StrToInt:S",
                                              "I:Length:A",
                                              "I:High:A",
                                              "I:Ceil:F",
                                              "F:Sqrt:F",
                                              "F:Sin:F",
                                              "F:Power:FF",
                                              "F:Abs:F",
                                              "F:Random:",
                                              "F:StrToFloatDef:SF",
                                              "F:Int:F",
                                              "F:Min:FF",
                                              "F:Exp:F",
                                              "F:Ln:F",
                                              "F:StrToFloat:S",
                                              "F:EncodeDate:III",
                                              "S:Copy:SII",
                                              "S:Copy:SI",
                                              "S:UpperCase:S",
                                              "S:AnsiLowerCase:S",
                                              "S:Trim:S",
                                              "S:IntToStr:I",
                                              "S:FloatToStr:F",
                                              "S:StringOfChar:SI",
                                              "S:StringReplace:SSS",
                                              "S:QuotedStr:S",
                                              "S:IntToHex:II",
                                              "S:Chr:I",
                                              "S:BoolToStr:BB",
                                              "S:DateToStr:F",
                                              "S:FormatDateTime:SF",
                                              "S:_param1_:",
                                              "S:InputBox:SSS",
                                              "B:SameText:SS",
                                              "B:Odd:I",
                                              "B:StrToBool:S",
                                              "B:AnsiSameText:SS",
                                              "N:Inc:vI",
                                              "N:Dec:vII",
                                              "N:SetLength:vAI",
                                              "N:SetLength:vSI",
                                              "N:Delete:vSII",
                                              "N:Insert:SvSI",
                                              "N:Randomize:",
                                              "N:ShowMessage:S",
                                              "N:goto:I",
                                              "N:p:SI",
                                              "N:DecodeDate:FvIvIvI",
                                              "I:Sign:F",
                                              "F:IntPower:FI",
                                              "I:Gcd:II",
                                              "I:Lcm:II",
                                              "I:HexToInt:S",
                                              "S:IntToBin:II",
                                              "S:FormatFloat:SF",
                                              "S:FloatToStrF:FIII",
                                              "I:PosEx:SSI",
                                              "S:ReverseString:S",
                                              "I:LastDelimiter:SS",
                                              "S:FloatToStr:FI",
                                              "I:Pos:SSI",
                                              "N:Assert:B",
                                              "N:Swap:vIvI",
                                              "N:Swap:vSvS"};

T typeOfLetter(char k) {
    switch (k) {
    case 'I':
        return T::Int;
    case 'F':
        return T::Float;
    case 'S':
        return T::Str;
    case 'B':
        return T::Bool;
    case 'A':
        return T::IntArr;
    default:
        return T::None;
    }
}

class Generator {
public:
    explicit Generator(Choices& c) : c_(c) {}

    std::string program() {
        out_ = "type TInts = array of Integer;\n"
               "  TNames = array[1..3] of String;\n"
               "  TItem = record n: Integer; s: String; f: Double end;\n"
               "  TColor = (Red, Green, Blue); TColors = set of TColor;\n"
               "  TFunc = function(x: Integer): Integer;\n"
               "const Fixed: array[TColor] of String = ('r', 'g', 'b');\n"
               "var i, j: Integer; x: Double; s, t: String; b: Boolean;\n"
               "  a: TInts; names: TNames; item: TItem; c: TColor; cs: TColors; fn: TFunc;\n"
               "function Twice(x: Integer): Integer; begin Result := 2 * x end;\n";
        if (c_.chance(4))
            out_ += "{$DEFINE ON}\n";
        globals_ = {{"i", T::Int, true},    {"j", T::Int, true},        {"x", T::Float, true},
                    {"s", T::Str, true},    {"t", T::Str, true},        {"b", T::Bool, true},
                    {"a", T::IntArr, true}, {"names", T::StrArr, true}, {"item", T::Rec, true}};
        std::size_t routines = c_.pick(5);
        for (std::size_t k = 0; k < routines; ++k)
            routine();
        vars_ = globals_;
        out_ += "begin\n";
        std::size_t n = 1 + c_.pick(8);
        for (std::size_t k = 0; k < n; ++k)
            listed(1);
        out_ += "end.\n";
        return out_;
    }

private:
    Choices& c_;
    std::string out_;
    std::vector<Var> globals_, vars_;
    std::vector<Proc> procs_;
    int loops_ = 0;
    int exprDepth_ = 0;
    static constexpr int kMaxStmtDepth = 5;
    static constexpr int kMaxExprDepth = 6;

    void indent(int depth) { out_.append(static_cast<std::size_t>(depth) * 2, ' '); }

    T anyType() { return static_cast<T>(c_.pick(7)); }
    T valueType() { return static_cast<T>(c_.pick(kValueTypes)); }

    void routine() {
        Proc p;
        p.name = "R" + std::to_string(procs_.size());
        p.result = c_.chance(2) ? anyType() : T::None;
        std::size_t np = c_.pick(4);
        std::vector<Var> locals = globals_;
        out_ += p.result == T::None ? "procedure " : "function ";
        out_ += p.name;
        if (np > 0) {
            out_ += "(";
            for (std::size_t k = 0; k < np; ++k) {
                T t = anyType();
                bool byRef = c_.chance(3);
                bool isConst = !byRef && c_.chance(4);
                std::string name = "p" + std::to_string(k);
                if (k)
                    out_ += "; ";
                out_ += byRef ? "var " : isConst ? "const " : "";
                out_ += name + ": " + typeText(t);
                p.params.push_back({t, byRef});
                locals.push_back({name, t, !isConst});
            }
            out_ += ")";
        }
        if (p.result != T::None) {
            out_ += std::string(": ") + typeText(p.result);
            locals.push_back({"Result", p.result, true});
        }
        out_ += ";\n";
        if (c_.chance(3)) {
            T t = anyType();
            out_ += std::string("var loc: ") + typeText(t) + ";\n";
            locals.push_back({"loc", t, true});
        }
        // Declared before its body so that it may call itself.
        procs_.push_back(p);
        vars_ = locals;
        out_ += "begin\n";
        std::size_t n = c_.pick(6);
        for (std::size_t k = 0; k < n; ++k)
            listed(1);
        out_ += "end;\n";
    }

    std::vector<const Var*> varsOf(T t, bool mustAssign) {
        std::vector<const Var*> found;
        for (const Var& v : vars_)
            if (v.type == t && (!mustAssign || v.assignable))
                found.push_back(&v);
        return found;
    }

    void statement(int depth) {
        indent(depth);
        std::size_t kind = depth >= kMaxStmtDepth ? c_.pick(4) : c_.pick(20);
        switch (kind) {
        case 0:
            assignment();
            break;
        case 1:
            call(T::None);
            break;
        case 2:
            out_ += c_.chance(2) ? "PrintLn(" : "Print(";
            anyValueList();
            out_ += ")";
            break;
        case 3:
            if (c_.chance(8))
                library();
            else
                typedLibrary(T::None);
            break;
        case 4:
            out_ += "if ";
            expr(T::Bool);
            out_ += " then\n";
            statement(depth + 1);
            if (c_.chance(2)) {
                out_ += "\n";
                indent(depth);
                out_ += "else\n";
                statement(depth + 1);
            }
            break;
        case 5: {
            out_ += "for i := ";
            expr(T::Int);
            out_ += c_.chance(2) ? " downto " : " to ";
            expr(T::Int);
            out_ += " do\n";
            loopBody(depth);
            break;
        }
        case 6:
            out_ += "while ";
            expr(T::Bool);
            out_ += " do\n";
            loopBody(depth);
            break;
        case 7:
            out_ += "repeat\n";
            ++loops_;
            listed(depth + 1);
            --loops_;
            indent(depth);
            out_ += "until ";
            expr(T::Bool);
            break;
        case 8:
            block(depth);
            break;
        case 9:
            caseStatement(depth);
            break;
        case 10:
            out_ += "try\n";
            listed(depth + 1);
            indent(depth);
            if (c_.chance(2)) {
                out_ += "except\n";
                if (c_.chance(2)) {
                    indent(depth + 1);
                    out_ += "on E: Exception do PrintLn(E.Message);\n";
                } else {
                    listed(depth + 1);
                }
            } else {
                out_ += "finally\n";
                listed(depth + 1);
            }
            indent(depth);
            out_ += "end";
            break;
        case 11:
            out_ += "raise Exception.Create(";
            expr(T::Str);
            out_ += ")";
            break;
        case 14:
            newerStatement(depth);
            break;
        case 15:
            out_ += "{$IFDEF ON}\n";
            listed(depth + 1);
            indent(depth);
            out_ += "{$ELSE}\n";
            listed(depth + 1);
            indent(depth);
            out_ += "{$ENDIF}\n";
            indent(depth);
            out_ += "i := i";
            break;
        case 16:
            out_ += "begin var v := ";
            expr(valueType());
            out_ += "; PrintLn(v) end";
            break;
        case 17:
            if (c_.chance(2)) {
                out_ += "for var e in ";
                out_ += c_.chance(2) ? "cs" : "[Red, Blue]";
                out_ += " do Print(e)";
            } else {
                out_ += "for var ch in ";
                expr(T::Str);
                out_ += " do t += ch";
            }
            break;
        case 12:
            if (loops_ > 0)
                out_ += c_.chance(2) ? "Break" : "Continue";
            else
                out_ += "Exit";
            break;
        default:
            call(T::None);
            break;
        }
    }

    // A statement of a list, with its separator.
    void listed(int depth) {
        statement(depth);
        out_ += ";\n";
    }

    // The enumerations, sets, procedural values and compound assignments.
    void newerStatement(int depth) {
        switch (c_.pick(8)) {
        case 0:
            out_ += "cs ";
            out_ += c_.chance(2) ? "+= " : c_.chance(2) ? "-= " : "*= ";
            out_ += c_.chance(2) ? "[Green]" : "[Red..Blue]";
            break;
        case 1:
            out_ += c_.chance(2) ? "Include(cs, c)" : "Exclude(cs, Succ(c))";
            break;
        case 2:
            out_ += "c := ";
            out_ += c_.chance(2) ? "Succ(c)" : c_.chance(2) ? "Pred(c)" : "High(TColor)";
            break;
        case 3:
            out_ += "case c of\n";
            indent(depth + 1);
            out_ += "Red: ";
            statement(depth + 2);
            out_ += ";\n";
            indent(depth + 1);
            out_ += "Green, Blue: ";
            statement(depth + 2);
            out_ += ";\n";
            indent(depth);
            out_ += "end";
            break;
        case 4:
            out_ += "fn := Twice; i := fn(";
            expr(T::Int);
            out_ += ")";
            break;
        case 5:
            out_ += "i ";
            out_ += c_.chance(2) ? "+= " : c_.chance(2) ? "-= " : "*= ";
            expr(T::Int);
            break;
        case 6:
            out_ += "x /= ";
            expr(T::Float);
            break;
        default:
            out_ += "for var n in [";
            expr(T::Int);
            out_ += ", ";
            expr(T::Int);
            out_ += "] do i += n";
            break;
        }
    }

    void loopBody(int depth) {
        ++loops_;
        statement(depth + 1);
        --loops_;
    }

    void block(int depth) {
        out_ += "begin\n";
        std::size_t n = c_.pick(4);
        for (std::size_t k = 0; k < n; ++k)
            listed(depth + 1);
        indent(depth);
        out_ += "end";
    }

    void caseStatement(int depth) {
        bool strings = c_.chance(3);
        out_ += "case ";
        expr(strings ? T::Str : T::Int);
        out_ += " of\n";
        std::size_t n = 1 + c_.pick(3);
        for (std::size_t k = 0; k < n; ++k) {
            indent(depth + 1);
            if (strings)
                out_ += "'" + std::string(1, static_cast<char>('a' + k)) + "'";
            else
                out_ += std::to_string(k) + (c_.chance(3) ? ".." + std::to_string(k + 10) : "");
            out_ += ":\n";
            listed(depth + 2);
        }
        if (c_.chance(2)) {
            indent(depth + 1);
            out_ += "else\n";
            listed(depth + 2);
        }
        indent(depth);
        out_ += "end";
    }

    void assignment() {
        T t = anyType();
        std::vector<const Var*> vs = varsOf(t, true);
        if (vs.empty()) {
            out_ += "i := ";
            expr(T::Int);
            return;
        }
        const Var* v = vs[c_.pick(vs.size())];
        std::string place = v->name;
        if (t == T::IntArr && c_.chance(2)) {
            out_ += place + "[";
            expr(T::Int);
            out_ += "] := ";
            expr(T::Int);
            return;
        }
        if (t == T::Rec && c_.chance(2)) {
            std::size_t f = c_.pick(3);
            out_ += place + (f == 0 ? ".n := " : f == 1 ? ".s := " : ".f := ");
            expr(f == 0 ? T::Int : f == 1 ? T::Str : T::Float);
            return;
        }
        if (t == T::Str && c_.chance(4)) {
            out_ += place + "[";
            expr(T::Int);
            out_ += "] := ";
            expr(T::Str);
            return;
        }
        out_ += place + " := ";
        expr(t);
    }

    // A call of a script routine giving type t, or of any routine when there
    // is none (or in a statement), with arguments of the declared types
    // mostly and of any type now and then.
    void call(T t) {
        std::vector<const Proc*> fits;
        for (const Proc& p : procs_)
            if (p.result == t)
                fits.push_back(&p);
        if (fits.empty())
            for (const Proc& p : procs_)
                fits.push_back(&p);
        if (fits.empty()) {
            typedLibrary(t);
            return;
        }
        const Proc& p = *fits[c_.pick(fits.size())];
        out_ += p.name;
        if (p.params.empty())
            return;
        out_ += "(";
        for (std::size_t k = 0; k < p.params.size(); ++k) {
            if (k)
                out_ += ", ";
            auto [pt, byRef] = p.params[k];
            if (c_.chance(16))
                pt = anyType();
            std::vector<const Var*> vs = varsOf(pt, true);
            if (byRef && !vs.empty())
                out_ += vs[c_.pick(vs.size())]->name;
            else
                expr(pt);
        }
        out_ += ")";
    }

    // A standard or host function with arguments of any type.
    void library() {
        out_ += c_.of(kLibrary);
        std::size_t n = c_.pick(5);
        if (n == 0 && c_.chance(2))
            return;
        out_ += "(";
        for (std::size_t k = 0; k < n; ++k) {
            if (k)
                out_ += ", ";
            if (c_.chance(6))
                anyList();
            else
                anyValue();
        }
        out_ += ")";
    }

    // A standard function giving a value of type t (a procedure for None),
    // with arguments of the types it takes.
    void typedLibrary(T t) {
        std::vector<const std::string*> fits;
        for (const std::string& sig : kSignatures)
            if (typeOfLetter(sig[0]) == t)
                fits.push_back(&sig);
        if (fits.empty()) {
            literal(t);
            return;
        }
        const std::string& sig = *fits[c_.pick(fits.size())];
        std::size_t colon = sig.find(':', 2);
        out_ += sig.substr(2, colon - 2);
        std::string params = sig.substr(colon + 1);
        if (params.empty())
            return;
        out_ += "(";
        bool first = true;
        for (std::size_t k = 0; k < params.size(); ++k) {
            bool byRef = params[k] == 'v';
            if (byRef)
                ++k;
            if (!first)
                out_ += ", ";
            first = false;
            T pt = typeOfLetter(params[k]);
            std::vector<const Var*> vs = varsOf(pt, true);
            if (byRef && !vs.empty())
                out_ += vs[c_.pick(vs.size())]->name;
            else
                expr(pt);
        }
        out_ += ")";
    }

    void anyList() {
        out_ += "[";
        anyValueList();
        out_ += "]";
    }

    void anyValueList() {
        std::size_t n = c_.pick(4);
        for (std::size_t k = 0; k < n; ++k) {
            if (k)
                out_ += ", ";
            anyValue();
        }
    }

    // Whatever may stand where a value is wanted, including calls that give
    // none: the places that take any value must refuse those.
    void anyValue() {
        switch (c_.pick(10)) {
        case 0:
            call(T::None); // a procedure, or whatever routine there is
            break;
        case 1:
            typedLibrary(T::None);
            break;
        case 2:
            if (c_.chance(4))
                library();
            else
                expr(anyType());
            break;
        default:
            expr(valueType());
            break;
        }
    }

    void literal(T t) {
        switch (t) {
        case T::Int: {
            static const char* const ints[] = {
                "0", "1", "-1", "7", "255", "$FF", "9223372036854775807", "100000", "3"};
            out_ += ints[c_.pick(9)];
            break;
        }
        case T::Float: {
            static const char* const floats[] = {"0.5", "2.5", "-1.25", "1e300", "0.1", "3.0"};
            out_ += floats[c_.pick(6)];
            break;
        }
        case T::Str: {
            static const char* const strs[] = {"''",      "'a'", "'abc'",          "'%d %s'",
                                               "'It''s'", "#65", "'\xEF\xF0\xE8'", "'%.2f'",
                                               "'  x  '"};
            out_ += strs[c_.pick(9)];
            break;
        }
        case T::Bool:
            out_ += c_.chance(2) ? "True" : "False";
            break;
        default:
            out_ += "0";
            break;
        }
    }

    void expr(T t) {
        ++exprDepth_;
        exprOf(t);
        --exprDepth_;
    }

    void exprOf(T t) {
        if (exprDepth_ > kMaxExprDepth || t == T::None) {
            literal(t == T::None ? T::Int : t);
            return;
        }
        std::vector<const Var*> vs = varsOf(t, false);
        std::size_t kind = c_.pick(10);
        if (kind == 0 || t == T::IntArr || t == T::StrArr || t == T::Rec) {
            if (!vs.empty() && (kind != 0 || c_.chance(2)))
                out_ += vs[c_.pick(vs.size())]->name;
            else if (t == T::IntArr || t == T::StrArr || t == T::Rec)
                out_ += t == T::IntArr ? "a" : t == T::StrArr ? "names" : "item";
            else
                literal(t);
            return;
        }
        switch (kind) {
        case 1:
            literal(t);
            return;
        case 2:
            call(t);
            return;
        case 3:
            typedLibrary(t);
            return;
        case 4:
            out_ += "(";
            expr(t);
            out_ += ")";
            return;
        default:
            break;
        }
        switch (t) {
        case T::Int:
            intExpr();
            break;
        case T::Float:
            floatExpr();
            break;
        case T::Str:
            strExpr();
            break;
        default:
            boolExpr();
            break;
        }
    }

    void binary(T l, const char* op, T r) {
        expr(l);
        out_ += op;
        expr(r);
    }

    void intExpr() {
        static const char* const ops[] = {" + ",   " - ",  " * ",   " div ", " mod ",
                                          " and ", " or ", " xor ", " shl ", " shr "};
        switch (c_.pick(6)) {
        case 0:
            binary(T::Int, ops[c_.pick(10)], T::Int);
            break;
        case 1:
            out_ += "-";
            expr(T::Int);
            break;
        case 2:
            out_ += "a[";
            expr(T::Int);
            out_ += "]";
            break;
        case 3:
            out_ += c_.chance(2) ? "item.n" : c_.chance(2) ? "Ord(c)" : "Length(StrSplit(s, ','))";
            break;
        case 4:
            out_ += "Length(";
            expr(c_.chance(2) ? T::Str : T::IntArr);
            out_ += ")";
            break;
        default:
            out_ += c_.chance(2) ? "High(a)" : "Low(names)";
            break;
        }
    }

    void floatExpr() {
        static const char* const ops[] = {" + ", " - ", " * ", " / "};
        switch (c_.pick(4)) {
        case 0:
            binary(T::Float, ops[c_.pick(4)], c_.chance(2) ? T::Int : T::Float);
            break;
        case 1:
            expr(T::Int);
            break;
        case 2:
            out_ += "item.f";
            break;
        default:
            out_ += c_.chance(2) ? "Sqrt(" : "Frac(";
            expr(T::Float);
            out_ += ")";
            break;
        }
    }

    void strExpr() {
        switch (c_.pick(6)) {
        case 0:
            binary(T::Str, " + ", T::Str);
            break;
        case 1:
            expr(T::Str);
            out_ += "[";
            expr(T::Int);
            out_ += "]";
            break;
        case 2:
            out_ += "names[";
            expr(T::Int);
            out_ += "]";
            break;
        case 3:
            out_ += "Format(";
            expr(T::Str);
            out_ += ", ";
            anyList();
            out_ += ")";
            break;
        case 4:
            out_ += "IntToStr(";
            anyValue();
            out_ += ")";
            break;
        default:
            out_ += c_.chance(2) ? "item.s" : "Fixed[c]";
            break;
        }
    }

    void boolExpr() {
        static const char* const cmps[] = {" = ", " <> ", " < ", " <= ", " > ", " >= "};
        switch (c_.pick(5)) {
        case 0: {
            T t = valueType();
            if (c_.chance(6)) { // a comparison of anything with anything
                anyValue();
                out_ += cmps[c_.pick(6)];
                anyValue();
            } else {
                binary(t, cmps[c_.pick(6)], t);
            }
            break;
        }
        case 1:
            binary(T::Bool, c_.chance(2) ? " and " : " or ", T::Bool);
            break;
        case 2:
            out_ += "not ";
            expr(T::Bool);
            break;
        case 3:
            out_ += "Odd(";
            expr(T::Int);
            out_ += ")";
            break;
        default:
            out_ += c_.chance(2) ? "b" : c_.chance(2) ? "(c in cs)" : "(cs <= [Red, Green])";
            break;
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Choices choices(data, size);
    std::string text = Generator(choices).program();
    static const bool print = std::getenv("NORVO_FUZZ_PRINT") != nullptr;
    if (print)
        std::fprintf(stderr, "%s\n", text.c_str());
    // Meaning is in the compile and the first steps of a run; long runs
    // would only slow the search.
    fuzzhost::compileAndRun(text, 20000);
    return 0;
}
