// The compiler's frame: tokens, messages, scopes, and the declarations
// (program header, var, const, type, procedures and functions, types).
#include "pascal/Compiler.h"

#include "pascal/Cp1251.h"

namespace pascal {

// --- Tokens and messages -----------------------------------------------------

namespace {
std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

std::string place(Position at) {
    return std::string(" [строка "_cp) + std::to_string(at.line) + std::string(", столбец "_cp) +
           std::to_string(at.column) + "]";
}

struct BasicTypeName {
    const char* name;
    const TypeInfo* (*type)();
};
// Every integer type is the one 64-bit Integer, every real type the one
// Float: scripts written for other widths run unchanged.
constexpr BasicTypeName kBasicTypes[] = {
    {"INTEGER", intType},     {"INT64", intType},    {"LONGINT", intType},
    {"CARDINAL", intType},    {"BYTE", intType},     {"WORD", intType},
    {"SMALLINT", intType},    {"SHORTINT", intType}, {"LONGWORD", intType},
    {"FLOAT", floatType},     {"DOUBLE", floatType}, {"REAL", floatType},
    {"EXTENDED", floatType},  {"SINGLE", floatType}, {"CURRENCY", floatType},
    {"TDATETIME", floatType}, {"STRING", strType},   {"ANSISTRING", strType},
    {"CHAR", strType},        {"ANSICHAR", strType}, {"BOOLEAN", boolType},
};
} // namespace

std::string typeName(const TypeInfo* t) {
    return t->name;
}

Compiler::Compiler(std::string_view text, std::shared_ptr<const EngineState> engine)
    : lexer_(text), code_(std::make_shared<CompiledCode>()), arenaScope_(&code_->arena),
      engine_(std::move(engine)) {
    cur_ = lexer_.next();
    code_->engine = engine_;
    code_->main.level = 0;
    code_->main.name = "main";
    code_->main.defined = true;
    // The system scope: basic type names, True and False, Exception.
    Scope system;
    system.level = 0;
    system.routine = &code_->main;
    for (const BasicTypeName& b : kBasicTypes) {
        Symbol s{Symbol::K::TypeName};
        s.type = b.type();
        system.names.emplace(b.name, s);
    }
    Symbol t{Symbol::K::Const};
    t.type = boolType();
    t.ival = 1;
    system.names.emplace("TRUE", t);
    t.ival = 0;
    system.names.emplace("FALSE", t);
    Symbol pi{Symbol::K::Const};
    pi.type = floatType();
    pi.fval = 3.14159265358979323846;
    system.names.emplace("PI", pi);
    Symbol maxInt{Symbol::K::Const};
    maxInt.type = intType();
    maxInt.ival = 2147483647; // as in Delphi; Integer itself holds 64 bits
    system.names.emplace("MAXINT", maxInt);
    // StringReplace's flags.
    Symbol flag{Symbol::K::Const};
    flag.type = intType();
    flag.ival = 1;
    system.names.emplace("RFREPLACEALL", flag);
    flag.ival = 2;
    system.names.emplace("RFIGNORECASE", flag);
    // FloatToStrF's formats, numbered as FloatFormat.
    const char* const floatFormats[] = {"FFGENERAL", "FFEXPONENT", "FFFIXED", "FFNUMBER"};
    for (int k = 0; k < 4; ++k) {
        flag.ival = k;
        system.names.emplace(floatFormats[k], flag);
    }
    TypeInfo* ex = newType();
    ex->kind = Kind::Record;
    ex->name = "Exception";
    ex->fields.push_back(Field{"MESSAGE", "Message", strType(), 0});
    ex->counts[1] = 1;
    exceptionType_ = ex;
    Symbol e{Symbol::K::TypeName};
    e.type = ex;
    system.names.emplace("EXCEPTION", e);
    scopes_.push_back(std::move(system));
    // The globals: level 0 as well, in the main frame.
    Scope globals;
    globals.level = 0;
    globals.routine = &code_->main;
    scopes_.push_back(std::move(globals));
}

bool Compiler::accept(Tok k) {
    if (!at(k))
        return false;
    advance();
    return true;
}

void Compiler::expect(Tok k) {
    if (!accept(k))
        syntaxFail(quoted(spelling(k)));
}

std::string Compiler::expectIdent() {
    if (!at(Tok::Ident))
        syntaxFail(std::string("имя"_cp));
    std::string name(tok().text);
    advance();
    return name;
}

bool Compiler::atIdent(std::string_view upper) const {
    return at(Tok::Ident) && asciiUpper(tok().text) == upper;
}

void Compiler::error(Position at, const std::string& text) {
    record(at, std::string("Ошибка: "_cp) + text);
}

void Compiler::record(Position at, const std::string& text) {
    messages_.push_back(Message{Message::Kind::CompileError, text + place(at), at.line, at.column});
    if (++errors_ >= kMaxErrors) {
        messages_.push_back(Message{Message::Kind::CompileError,
                                    std::string("Слишком много ошибок, компиляция прервана"_cp), 0,
                                    0});
        throw CompileStop{};
    }
}

void Compiler::syntaxError(const std::string& expected) {
    const Token& t = tok();
    std::string text = std::string("Синтаксическая ошибка: "_cp);
    if (t.kind == Tok::Bad)
        text += t.str;
    else
        text += std::string("ожидалось "_cp) + expected + std::string(", найдено "_cp) +
                quoted(describe(t));
    record({t.line, t.column}, text);
}

void Compiler::syntaxFail(const std::string& expected) {
    syntaxError(expected);
    throw ParseError{};
}

void Compiler::skipToStatementEnd() {
    int depth = 0; // begin/case/try ... end pairs opened while skipping
    while (!at(Tok::End)) {
        Tok k = tok().kind;
        if (depth == 0 && (k == Tok::Semicolon || k == Tok::KwEnd || k == Tok::KwUntil ||
                           k == Tok::KwElse || k == Tok::KwExcept || k == Tok::KwFinally))
            return;
        if (k == Tok::KwBegin || k == Tok::KwCase || k == Tok::KwTry || k == Tok::KwRecord)
            ++depth;
        else if (k == Tok::KwEnd)
            --depth;
        advance();
    }
}

Compiler::Nest::Nest(Compiler& comp) : c(comp) {
    if (++c.nesting_ > kMaxNesting) {
        c.error(c.here(), std::string("слишком глубокая вложенность"_cp));
        throw CompileStop{};
    }
}

// --- Scopes ---------------------------------------------------------------------

const Symbol* Compiler::lookup(const std::string& upper) const {
    for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it) {
        auto f = it->names.find(upper);
        if (f != it->names.end())
            return &f->second;
    }
    return nullptr;
}

void Compiler::declare(Position at, const std::string& name, Symbol sym) {
    std::string up = asciiUpper(name);
    auto [it, fresh] = scope().names.emplace(up, std::move(sym));
    if (!fresh)
        error(at, std::string("повторное объявление "_cp) + quoted(name));
}

int Compiler::allocSlot(Storage s) {
    return routine()->counts[static_cast<int>(s)]++;
}

Symbol Compiler::newVar(const TypeInfo* t) {
    Symbol s{Symbol::K::Var};
    s.type = t;
    s.level = scope().level;
    Storage st = storageOf(t);
    s.index = allocSlot(st);
    if (st == Storage::Agg && t->kind != Kind::DynArray)
        routine()->aggLocals.emplace_back(s.index, t);
    return s;
}

TypeInfo* Compiler::newType() {
    code_->types.push_back(std::make_unique<TypeInfo>());
    return code_->types.back().get();
}

// --- Program ------------------------------------------------------------------

CompileOutput Compiler::run() {
    code_->main.body = std::make_unique<Block>();
    try {
        if (accept(Tok::KwProgram)) {
            try {
                expectIdent();
                expect(Tok::Semicolon);
            } catch (ParseError&) {
                skipToStatementEnd();
                accept(Tok::Semicolon);
            }
        }
        if (atIdent("USES")) {
            try {
                advance();
                do {
                    Position at = here();
                    std::string unit = expectIdent();
                    bool known = false;
                    for (const std::string& u : engine_->units)
                        known = known || u == asciiUpper(unit);
                    if (!known)
                        error(at, std::string("неизвестный модуль "_cp) + quoted(unit));
                } while (accept(Tok::Comma));
                expect(Tok::Semicolon);
            } catch (ParseError&) {
                skipToStatementEnd();
                accept(Tok::Semicolon);
            }
        }
        parseProgram();
        checkForwards();
    } catch (CompileStop&) {
    }
    CompileOutput out;
    out.messages = std::move(messages_);
    out.code = std::move(code_);
    return out;
}

void Compiler::parseProgram() {
    Block& body = static_cast<Block&>(*code_->main.body);
    while (!at(Tok::End)) {
        bool compound = at(Tok::KwBegin);
        try {
            if (parseDeclaration(body))
                continue;
            StmtPtr s = parseStatement();
            if (s)
                body.list.push_back(std::move(s));
        } catch (ParseError&) {
            skipToStatementEnd();
            compound = false;
        }
        if (compound && accept(Tok::Dot))
            return; // "begin ... end." closes the program; the rest is not read
        if (accept(Tok::Semicolon) || at(Tok::End))
            continue;
        syntaxError(quoted(";"));
        std::size_t before = p_;
        skipToStatementEnd();
        if (p_ == before && !at(Tok::End) && !at(Tok::Semicolon))
            advance();
        accept(Tok::Semicolon);
    }
}

void Compiler::checkForwards() {
    for (auto& r : code_->routines)
        if (!r->defined)
            error({r->declLine, r->declColumn},
                  std::string("подпрограмма "_cp) + quoted(r->name) +
                      std::string(" объявлена forward, но не описана"_cp));
}

// --- Declarations ------------------------------------------------------------------

bool Compiler::parseDeclaration(Block& into) {
    switch (tok().kind) {
    case Tok::KwVar:
        advance();
        parseVarSection(into);
        return true;
    case Tok::KwConst:
        advance();
        parseConstSection(into);
        return true;
    case Tok::KwType:
        advance();
        parseTypeSection();
        return true;
    case Tok::KwProcedure:
        advance();
        parseRoutine(false);
        return true;
    case Tok::KwFunction:
        advance();
        parseRoutine(true);
        return true;
    default:
        return false;
    }
}

std::vector<std::pair<std::string, Position>> Compiler::parseNameList() {
    std::vector<std::pair<std::string, Position>> names;
    do {
        Position at = here();
        names.emplace_back(expectIdent(), at);
    } while (accept(Tok::Comma));
    expect(Tok::Colon);
    return names;
}

void Compiler::parseVarSection(Block& into) {
    bool first = true;
    do {
        parseVarItem(into, first, false);
        first = false;
        expect(Tok::Semicolon);
        // Statements may follow a section directly: a name starts another
        // declaration only when a ":" or "," comes after it.
    } while (at(Tok::Ident) && (peekTok().kind == Tok::Colon || peekTok().kind == Tok::Comma));
}

// "a, b: T", "x: T = v", "x: T := v", and right after "var" also "x := v"
// with the type of v. Inside a block the variables start afresh each time
// the declaration is passed.
void Compiler::parseVarItem(Block& into, bool mayInfer, bool inBlock) {
    std::vector<std::pair<std::string, Position>> names;
    do {
        Position at = here();
        names.emplace_back(expectIdent(), at);
    } while (accept(Tok::Comma));
    const TypeInfo* t = nullptr;
    if (!mayInfer || names.size() > 1 || !at(Tok::Assign)) {
        expect(Tok::Colon);
        t = parseType();
    }
    X value;
    Position vat = here();
    bool hasValue = at(Tok::Eq) || at(Tok::Assign);
    if (hasValue) {
        advance();
        vat = here();
        value = parseExpr();
        if (names.size() != 1) {
            error(vat, std::string("начальное значение можно задать только одной переменной"_cp));
            hasValue = false;
        }
    }
    if (!t) {
        t = value.type();
        if (t->kind == Kind::Set && !t->elem) {
            error(vat, std::string("тип переменной не выводится из []"_cp));
            t = errorType();
        }
    }
    for (auto& [name, at] : names) {
        Symbol s = newVar(t);
        X place;
        switch (storageOf(t)) {
        case Storage::Number:
            place.e = std::make_unique<VarNum>(t, s.level, s.index);
            break;
        case Storage::Str:
            place.e = std::make_unique<VarStr>(s.level, s.index);
            break;
        case Storage::Agg:
            place.e = std::make_unique<VarAgg>(t, s.level, s.index);
            break;
        }
        declare(at, name, s);
        if (hasValue) {
            if (value.type()->kind != Kind::Error && t->kind != Kind::Error)
                into.list.push_back(makeAssign(vat, std::move(place), std::move(value)));
        } else if (inBlock && storageOf(t) != Storage::Agg && t->kind != Kind::Error) {
            X zero;
            if (t->kind == Kind::Float)
                zero.e = std::make_unique<ConstFloat>(0.0);
            else if (t->kind == Kind::String)
                zero.e = std::make_unique<ConstStr>(std::string());
            else
                zero.e = std::make_unique<ConstInt>(0, t);
            into.list.push_back(makeAssign(at, std::move(place), std::move(zero)));
        }
    }
}

void Compiler::parseConstSection(Block& into) {
    do {
        Position at = here();
        std::string name = expectIdent();
        const TypeInfo* declared = nullptr;
        if (accept(Tok::Colon))
            declared = parseType();
        expect(Tok::Eq);
        Position vat = here();
        if (declared && declared->kind == Kind::StaticArray) {
            parseConstArray(into, name, at, declared);
            expect(Tok::Semicolon);
            continue;
        }
        X v = parseExpr();
        if (declared)
            v = coerce(std::move(v), declared, vat);
        expect(Tok::Semicolon);
        if (v.type()->kind == Kind::Error)
            continue;
        if (!v.constant) {
            error(vat, std::string("ожидалось постоянное выражение"_cp));
            continue;
        }
        Symbol s{Symbol::K::Const};
        s.type = v.type();
        if (auto* ci = dynamic_cast<ConstInt*>(v.e.get()))
            s.ival = ci->v;
        else if (auto* cf = dynamic_cast<ConstFloat*>(v.e.get()))
            s.fval = cf->v;
        else if (auto* cs = dynamic_cast<ConstStr*>(v.e.get()))
            s.sval = cs->v;
        declare(at, name, s);
    } while (at(Tok::Ident) && (peekTok().kind == Tok::Eq || peekTok().kind == Tok::Colon));
}

// const Names: array[1..3] of String = ('a', 'b', 'c'): a read-only
// variable, filled where it is declared.
void Compiler::parseConstArray(Block& into, const std::string& name, Position at,
                               const TypeInfo* t) {
    Symbol s = newVar(t);
    s.readOnly = true;
    expect(Tok::LParen);
    std::int64_t count = t->hi - t->lo + 1, given = 0;
    do {
        Position vat = here();
        X v = parseExpr();
        if (v.type()->kind == Kind::Error)
            continue;
        if (storageOf(t->elem) == Storage::Agg) {
            error(vat, std::string("постоянный массив допустим только из простых значений"_cp));
            continue;
        }
        if (given < count) {
            X place;
            place.e = std::make_unique<IndexArr>(
                t->elem, std::make_unique<VarAgg>(t, s.level, s.index),
                std::make_unique<ConstInt>(t->lo + given, t->index ? t->index : intType()));
            into.list.push_back(makeAssign(vat, std::move(place), std::move(v), vat));
        }
        ++given;
    } while (accept(Tok::Comma));
    expect(Tok::RParen);
    if (given != count)
        error(at, std::string("в постоянном массиве нужно значений: "_cp) + std::to_string(count) +
                      std::string(", задано: "_cp) + std::to_string(given));
    declare(at, name, s);
}

void Compiler::parseTypeSection() {
    do {
        Position at = here();
        std::string name = expectIdent();
        expect(Tok::Eq);
        const TypeInfo* t = parseType();
        expect(Tok::Semicolon);
        if ((t->kind == Kind::Record && t->name == "record") ||
            (t->kind == Kind::Enum && t->name.front() == '(') || t->kind == Kind::Proc)
            const_cast<TypeInfo*>(t)->name = name;
        Symbol s{Symbol::K::TypeName};
        s.type = t;
        declare(at, name, s);
    } while (at(Tok::Ident) && peekTok().kind == Tok::Eq);
}

const TypeInfo* Compiler::parseType() {
    Position at = here();
    if (accept(Tok::KwArray))
        return parseArrayType(at);
    if (accept(Tok::KwRecord))
        return parseRecordType();
    if (accept(Tok::LParen))
        return parseEnumType();
    if (accept(Tok::KwSet))
        return parseSetType(at);
    if (tok().kind == Tok::KwFunction || tok().kind == Tok::KwProcedure) {
        bool isFunction = tok().kind == Tok::KwFunction;
        advance();
        return parseProcType(isFunction);
    }
    std::string name = expectIdent();
    const Symbol* s = lookup(asciiUpper(name));
    if (!s || s->k != Symbol::K::TypeName) {
        error(at, std::string("неизвестный тип "_cp) + quoted(name));
        return errorType();
    }
    return s->type;
}

// (Red, Green, Blue): each name becomes a constant of the new type.
const TypeInfo* Compiler::parseEnumType() {
    TypeInfo* t = newType();
    t->kind = Kind::Enum;
    t->lo = 0;
    std::vector<std::pair<std::string, Position>> names;
    do {
        Position at = here();
        names.emplace_back(expectIdent(), at);
    } while (accept(Tok::Comma));
    expect(Tok::RParen);
    std::string shown;
    for (const auto& [name, at] : names) {
        Symbol s{Symbol::K::Const};
        s.type = t;
        s.ival = static_cast<std::int64_t>(t->names.size());
        t->names.push_back(name);
        declare(at, name, s);
        shown += (shown.empty() ? "" : ", ") + name;
    }
    t->hi = static_cast<std::int64_t>(t->names.size()) - 1;
    t->name = "(" + shown + ")";
    return t;
}

const TypeInfo* Compiler::setTypeOf(const TypeInfo* elem, std::int64_t lo, std::int64_t hi) {
    TypeInfo* t = newType();
    t->kind = Kind::Set;
    t->elem = elem;
    t->lo = lo;
    t->hi = hi;
    t->name =
        "set of " +
        (elem->kind == Kind::Enum ? elem->name : std::to_string(lo) + ".." + std::to_string(hi));
    return t;
}

// set of TColor, set of 0..31: the values must fit one number cell's bits.
const TypeInfo* Compiler::parseSetType(Position at) {
    expect(Tok::KwOf);
    auto tooBig = [&] {
        error(at, std::string("множество допустимо только из перечисления или диапазона 0.."_cp) +
                      std::to_string(kMaxSetValue));
        return errorType();
    };
    if (tok().kind == Tok::Ident && peekTok().kind != Tok::DotDot) {
        const TypeInfo* elem = parseType();
        if (elem->kind == Kind::Error)
            return elem;
        if (elem->kind != Kind::Enum || elem->hi > kMaxSetValue)
            return tooBig();
        return setTypeOf(elem, elem->lo, elem->hi);
    }
    Position bat = here();
    X lo = parseExpr();
    const TypeInfo* elem = lo.type()->kind == Kind::Enum ? lo.type() : intType();
    lo = coerce(std::move(lo), elem, bat);
    expect(Tok::DotDot);
    X hi = coerce(parseExpr(), elem, bat);
    if (lo.type()->kind == Kind::Error || hi.type()->kind == Kind::Error)
        return errorType();
    if (!lo.constant || !hi.constant) {
        error(bat, std::string("границы множества должны быть постоянными"_cp));
        return errorType();
    }
    std::int64_t l = static_cast<ConstInt*>(lo.e.get())->v;
    std::int64_t h = static_cast<ConstInt*>(hi.e.get())->v;
    if (l < 0 || h > kMaxSetValue || h < l)
        return tooBig();
    return setTypeOf(elem, l, h);
}

const TypeInfo* Compiler::parseArrayType(Position at) {
    if (accept(Tok::KwOf)) {
        const TypeInfo* elem = parseType();
        TypeInfo* t = newType();
        t->kind = Kind::DynArray;
        t->elem = elem;
        t->name = "array of " + elem->name;
        return t;
    }
    expect(Tok::LBracket);
    struct Dim {
        std::int64_t lo, hi;
        const TypeInfo* index; // an enumeration, or null for Integer
    };
    std::vector<Dim> dims;
    do {
        Position bat = here();
        // array[TColor]: the whole enumeration.
        if (tok().kind == Tok::Ident &&
            (peekTok().kind == Tok::RBracket || peekTok().kind == Tok::Comma)) {
            const Symbol* s = lookup(asciiUpper(tok().text));
            if (s && s->k == Symbol::K::TypeName && s->type->kind == Kind::Enum) {
                advance();
                dims.push_back(Dim{s->type->lo, s->type->hi, s->type});
                continue;
            }
        }
        X lo = parseExpr();
        const TypeInfo* indexType = lo.type()->kind == Kind::Enum ? lo.type() : intType();
        lo = coerce(std::move(lo), indexType, bat);
        expect(Tok::DotDot);
        X hi = coerce(parseExpr(), indexType, bat);
        std::int64_t l = 0, h = 0;
        if (lo.type()->kind != Kind::Error && hi.type()->kind != Kind::Error) {
            if (!lo.constant || !hi.constant)
                error(bat, std::string("границы массива должны быть постоянными"_cp));
            else {
                l = static_cast<ConstInt*>(lo.e.get())->v;
                h = static_cast<ConstInt*>(hi.e.get())->v;
                if (h < l)
                    error(bat, std::string("верхняя граница массива меньше нижней"_cp));
            }
        }
        if (h < l)
            h = l;
        dims.push_back(Dim{l, h, indexType == intType() ? nullptr : indexType});
    } while (accept(Tok::Comma));
    expect(Tok::RBracket);
    expect(Tok::KwOf);
    const TypeInfo* elem = parseType();
    for (auto it = dims.rbegin(); it != dims.rend(); ++it) {
        TypeInfo* t = newType();
        t->kind = Kind::StaticArray;
        t->elem = elem;
        t->lo = it->lo;
        t->hi = it->hi;
        t->index = it->index;
        t->name =
            "array[" +
            (t->index ? t->index->name : std::to_string(t->lo) + ".." + std::to_string(t->hi)) +
            "] of " + elem->name;
        // Overflow-safe: the bounds' difference is checked before multiplying.
        std::uint64_t count =
            static_cast<std::uint64_t>(t->hi) - static_cast<std::uint64_t>(t->lo) + 1;
        if (count == 0 || count > static_cast<std::uint64_t>(kMaxArrayLength) ||
            count * elem->cells > static_cast<std::uint64_t>(kMaxArrayLength)) {
            error(at, std::string("массив слишком большой"_cp));
            t->hi = t->lo;
            count = 1;
        }
        t->cells = count * elem->cells;
        elem = t;
    }
    return elem;
}

const TypeInfo* Compiler::parseRecordType() {
    TypeInfo* t = newType();
    t->kind = Kind::Record;
    t->name = "record";
    t->cells = 0;
    while (at(Tok::Ident)) {
        const std::vector<std::pair<std::string, Position>> names = parseNameList();
        const TypeInfo* ft = parseType();
        for (auto& [name, at] : names) {
            std::string up = asciiUpper(name);
            for (const Field& f : t->fields)
                if (f.upper == up)
                    error(at, std::string("повторное поле "_cp) + quoted(name));
            int idx = t->counts[static_cast<int>(storageOf(ft))]++;
            t->fields.push_back(Field{up, name, ft, idx});
            t->cells += ft->cells;
        }
        if (!accept(Tok::Semicolon))
            break;
    }
    expect(Tok::KwEnd);
    if (t->cells > static_cast<std::uint64_t>(kMaxArrayLength)) {
        error(here(), std::string("запись слишком большая"_cp));
        t->fields.clear();
        t->counts[0] = t->counts[1] = t->counts[2] = 0;
    }
    if (t->cells == 0)
        t->cells = 1;
    return t;
}

// "(a, b: Integer; var s: String; const t: String)"
std::vector<Routine::Param> Compiler::parseParams() {
    std::vector<Routine::Param> params;
    expect(Tok::LParen);
    if (!at(Tok::RParen)) {
        do {
            bool byRef = false, isConst = false;
            if (accept(Tok::KwVar))
                byRef = true;
            else if (accept(Tok::KwConst))
                isConst = true;
            std::vector<std::string> names;
            do {
                names.push_back(expectIdent());
            } while (accept(Tok::Comma));
            expect(Tok::Colon);
            const TypeInfo* t = parseType();
            for (auto& n : names)
                params.push_back(Routine::Param{n, t, byRef, isConst, -1});
        } while (accept(Tok::Semicolon));
    }
    expect(Tok::RParen);
    return params;
}

// function(x: Integer): Integer, procedure(s: String): a routine as a value.
const TypeInfo* Compiler::parseProcType(bool isFunction) {
    TypeInfo* t = newType();
    t->kind = Kind::Proc;
    t->elem = voidType();
    std::string shown = isFunction ? "function" : "procedure";
    if (at(Tok::LParen)) {
        std::string list;
        for (const Routine::Param& p : parseParams()) {
            t->procParams.push_back(TypeInfo::ProcParam{p.type, p.byRef, p.isConst});
            list += (list.empty() ? "" : "; ") + std::string(p.byRef ? "var " : "") + p.type->name;
        }
        shown += "(" + list + ")";
    }
    if (isFunction) {
        expect(Tok::Colon);
        t->elem = parseType();
        shown += ": " + t->elem->name;
    }
    t->name = shown;
    return t;
}

void Compiler::parseRoutine(bool isFunction) {
    Position pos = here();
    std::string name = expectIdent();
    std::string up = asciiUpper(name);

    std::vector<Routine::Param> params;
    bool hasParams = at(Tok::LParen);
    if (hasParams)
        params = parseParams();
    const TypeInfo* result = voidType();
    bool hasResult = false;
    if (isFunction && accept(Tok::Colon)) {
        result = parseType();
        hasResult = true;
    } else if (isFunction && hasParams) {
        syntaxFail(quoted(":"));
    }
    expect(Tok::Semicolon);

    // A definition of a routine declared forward earlier in this scope.
    Routine* r = nullptr;
    auto existing = scope().names.find(up);
    if (existing != scope().names.end() && existing->second.k == Symbol::K::Routine &&
        !existing->second.routine->defined) {
        r = existing->second.routine;
        if (hasParams || hasResult) {
            bool same = params.size() == r->params.size() && sameType(result, r->result);
            for (std::size_t i = 0; same && i < params.size(); ++i)
                same = sameType(params[i].type, r->params[i].type) &&
                       params[i].byRef == r->params[i].byRef;
            if (!same)
                error(pos, std::string("описание "_cp) + quoted(name) +
                               std::string(" не совпадает с объявлением forward"_cp));
        }
    } else {
        if (scope().level + 1 >= kMaxLevels) {
            error(pos, std::string("слишком глубокая вложенность подпрограмм"_cp));
            throw CompileStop{};
        }
        code_->routines.push_back(std::make_unique<Routine>());
        r = code_->routines.back().get();
        r->name = name;
        r->level = scope().level + 1;
        r->params = std::move(params);
        r->result = isFunction ? result : voidType();
        r->declLine = pos.line;
        r->declColumn = pos.column;
        Symbol s{Symbol::K::Routine};
        s.routine = r;
        s.type = r->result;
        declare(pos, name, s);
    }

    if (atIdent("FORWARD")) {
        advance();
        expect(Tok::Semicolon);
        return;
    }
    if (r->defined) {
        error(pos, std::string("повторное описание "_cp) + quoted(name));
        r = nullptr;
    }
    if (!r)
        throw ParseError{};
    r->defined = true;

    Scope sc;
    sc.level = r->level;
    sc.routine = r;
    scopes_.push_back(std::move(sc));
    struct Pop {
        Compiler& c;
        int loops, excepts;
        ~Pop() {
            c.scopes_.pop_back();
            c.loops_ = loops;
            c.excepts_ = excepts;
        }
    } pop{*this, loops_, excepts_};
    loops_ = 0;
    excepts_ = 0;

    for (auto& p : r->params) {
        Symbol s{Symbol::K::Var};
        s.type = p.type;
        s.level = r->level;
        s.readOnly = p.isConst;
        if (p.byRef) {
            s.byRef = true;
            p.index = s.index = r->counts[3]++;
        } else {
            p.index = s.index = allocSlot(storageOf(p.type));
        }
        declare(pos, p.name, s);
    }
    if (isFunction) {
        Symbol s = newVar(r->result);
        r->resultIndex = s.index;
        scope().names.emplace("RESULT", s);
    }
    auto body = std::make_unique<Block>();
    while (parseDeclaration(*body)) {
    }
    if (!at(Tok::KwBegin))
        syntaxFail(quoted("begin"));
    // One flat block for the local initialisations and the statements.
    StmtPtr compound = parseCompound();
    for (auto& st : static_cast<Block&>(*compound).list)
        body->list.push_back(std::move(st));
    r->body = std::move(body);
    r->numbersOnly =
        r->counts[1] == 0 && r->counts[2] == 0 && r->counts[3] == 0 && r->aggLocals.empty();
    expect(Tok::Semicolon);
}

} // namespace pascal
