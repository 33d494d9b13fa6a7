// The compiler's expressions: operators with Pascal precedence, names,
// calls, indexing and fields, and the type rules between them.
#include "pascal/Compiler.h"

#include "pascal/Cp1251.h"

namespace pascal {

namespace {
std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

bool isNumeric(const TypeInfo* t) {
    return t->kind == Kind::Integer || t->kind == Kind::Float;
}

ExprPtr widen(ExprPtr e) {
    if (e->type->kind == Kind::Integer)
        return std::make_unique<IntToFloat>(std::move(e));
    return e;
}
} // namespace

X Compiler::errorX() {
    X x;
    x.e = std::make_unique<ConstInt>(0, errorType());
    return x;
}

bool Compiler::routineInScope(Routine* r) const {
    for (const Scope& s : scopes_)
        if (s.routine == r)
            return true;
    return false;
}

X Compiler::fold(X x, Position) {
    if (!x.constant)
        return x;
    Expr* e = x.e.get();
    if (dynamic_cast<ConstInt*>(e) || dynamic_cast<ConstFloat*>(e) || dynamic_cast<ConstStr*>(e))
        return x;
    if (!scratch_)
        scratch_ = std::make_unique<Ctx>();
    Ctx& c = *scratch_;
    char base = 0;
    c.stackBase = reinterpret_cast<std::uintptr_t>(&base);
    X out;
    out.constant = true;
    try {
        switch (e->type->kind) {
        case Kind::Integer:
        case Kind::Boolean:
        case Kind::Enum:
        case Kind::Set:
            out.e = std::make_unique<ConstInt>(e->evalInt(c), e->type);
            break;
        case Kind::Float:
            out.e = std::make_unique<ConstFloat>(e->evalFloat(c));
            break;
        case Kind::String:
            out.e = std::make_unique<ConstStr>(e->evalStr(c));
            break;
        default:
            x.constant = false;
            return x;
        }
    } catch (const ScriptError&) {
        // It fails when run (1 div 0, StrToInt('x')): leave that to the run.
        x.constant = false;
        return x;
    }
    return out;
}

// A static array, or a bracketed list of values, where an array of T is
// taken; an empty X when it is neither.
X Compiler::toOpenArray(X& x, const TypeInfo* to, Position at) {
    X out;
    const TypeInfo* from = x.type();
    if (from->kind == Kind::StaticArray && sameType(from->elem, to->elem)) {
        out.e = std::make_unique<StaticToOpen>(to, std::move(x.e));
        return out;
    }
    auto* list = dynamic_cast<ArrayLiteral*>(x.e.get());
    auto* set = dynamic_cast<SetLiteral*>(x.e.get());
    bool emptySet = from == emptySetType();
    if (!list && !(set && set->singlesOnly) && !emptySet)
        return out;
    auto literal = std::make_unique<ArrayLiteral>(to);
    std::vector<ExprPtr> items;
    if (list)
        items = std::move(list->items);
    else if (set)
        for (auto& [first, last] : set->items)
            items.push_back(std::move(first));
    for (auto& item : items) {
        X v = coerce(X{std::move(item)}, to->elem, at);
        if (v.type()->kind == Kind::Error)
            return errorX();
        literal->items.push_back(std::move(v.e));
    }
    out.e = std::move(literal);
    return out;
}

X Compiler::coerce(X x, const TypeInfo* to, Position at) {
    const TypeInfo* from = x.type();
    if (from->kind == Kind::Error || to->kind == Kind::Error)
        return errorX();
    if (sameType(from, to))
        return x;
    if (to->kind == Kind::DynArray)
        if (X open = toOpenArray(x, to, at); open.e)
            return open;
    if (to->kind == Kind::Float && from->kind == Kind::Integer) {
        x.e = std::make_unique<IntToFloat>(std::move(x.e));
        return fold(std::move(x), at);
    }
    error(at, std::string("несовместимые типы: ожидалось "_cp) + to->name +
                  std::string(", найдено "_cp) + from->name);
    return errorX();
}

// --- Operators -----------------------------------------------------------------

namespace {
template <template <Op> class Node> ExprPtr cmpNode(Tok op, ExprPtr l, ExprPtr r) {
    switch (op) {
    case Tok::Eq:
        return std::make_unique<Node<Op::Eq>>(std::move(l), std::move(r));
    case Tok::NotEq:
        return std::make_unique<Node<Op::Ne>>(std::move(l), std::move(r));
    case Tok::Less:
        return std::make_unique<Node<Op::Lt>>(std::move(l), std::move(r));
    case Tok::LessEq:
        return std::make_unique<Node<Op::Le>>(std::move(l), std::move(r));
    case Tok::Greater:
        return std::make_unique<Node<Op::Gt>>(std::move(l), std::move(r));
    default:
        return std::make_unique<Node<Op::Ge>>(std::move(l), std::move(r));
    }
}

ExprPtr intNode(Tok op, const TypeInfo* t, ExprPtr l, ExprPtr r) {
    Op o = Op::Ge;
    switch (op) {
    case Tok::Plus:
        o = Op::Add;
        break;
    case Tok::Minus:
        o = Op::Sub;
        break;
    case Tok::Star:
        o = Op::Mul;
        break;
    case Tok::KwDiv:
        o = Op::IntDiv;
        break;
    case Tok::KwMod:
        o = Op::Mod;
        break;
    case Tok::KwAnd:
        o = Op::And;
        break;
    case Tok::KwOr:
        o = Op::Or;
        break;
    case Tok::KwXor:
        o = Op::Xor;
        break;
    case Tok::KwShl:
        o = Op::Shl;
        break;
    case Tok::KwShr:
        o = Op::Shr;
        break;
    case Tok::Eq:
        o = Op::Eq;
        break;
    case Tok::NotEq:
        o = Op::Ne;
        break;
    case Tok::Less:
        o = Op::Lt;
        break;
    case Tok::LessEq:
        o = Op::Le;
        break;
    case Tok::Greater:
        o = Op::Gt;
        break;
    default:
        break;
    }
    return makeIntBin(o, t, std::move(l), std::move(r));
}

bool isComparison(Tok k) {
    return k == Tok::Eq || k == Tok::NotEq || k == Tok::Less || k == Tok::LessEq ||
           k == Tok::Greater || k == Tok::GreaterEq;
}
} // namespace

X Compiler::binary(Tok op, X l, X r, Position at) {
    const TypeInfo* a = l.type();
    const TypeInfo* b = r.type();
    if (a->kind == Kind::Error || b->kind == Kind::Error)
        return errorX();
    X out;
    out.constant = l.constant && r.constant;
    out.depth = 1 + std::max(l.depth, r.depth);
    if (out.depth > kMaxExprDepth) {
        error(at, std::string("слишком сложное выражение"_cp));
        throw CompileStop{};
    }
    if (a->kind == Kind::Set || b->kind == Kind::Set)
        return setBinary(op, std::move(l), std::move(r), at);
    bool ints = a->kind == Kind::Integer && b->kind == Kind::Integer;
    bool bools = a->kind == Kind::Boolean && b->kind == Kind::Boolean;
    bool enums = a->kind == Kind::Enum && sameType(a, b);
    bool nums = isNumeric(a) && isNumeric(b);
    bool strs = a->kind == Kind::String && b->kind == Kind::String;
    switch (op) {
    case Tok::Plus:
    case Tok::Minus:
    case Tok::Star:
        if (ints)
            out.e = intNode(op, intType(), std::move(l.e), std::move(r.e));
        else if (nums) {
            ExprPtr x = widen(std::move(l.e)), y = widen(std::move(r.e));
            if (op == Tok::Plus)
                out.e = std::make_unique<FloatBin<Op::Add>>(std::move(x), std::move(y));
            else if (op == Tok::Minus)
                out.e = std::make_unique<FloatBin<Op::Sub>>(std::move(x), std::move(y));
            else
                out.e = std::make_unique<FloatBin<Op::Mul>>(std::move(x), std::move(y));
        } else if (strs && op == Tok::Plus)
            out.e = std::make_unique<Concat>(std::move(l.e), std::move(r.e));
        break;
    case Tok::Slash:
        if (nums)
            out.e =
                std::make_unique<FloatBin<Op::Div>>(widen(std::move(l.e)), widen(std::move(r.e)));
        break;
    case Tok::KwDiv:
    case Tok::KwMod:
    case Tok::KwShl:
    case Tok::KwShr:
        if (ints)
            out.e = intNode(op, intType(), std::move(l.e), std::move(r.e));
        break;
    case Tok::KwAnd:
        if (bools)
            out.e = std::make_unique<AndThen>(std::move(l.e), std::move(r.e));
        else if (ints)
            out.e = intNode(op, intType(), std::move(l.e), std::move(r.e));
        break;
    case Tok::KwOr:
        if (bools)
            out.e = std::make_unique<OrElse>(std::move(l.e), std::move(r.e));
        else if (ints)
            out.e = intNode(op, intType(), std::move(l.e), std::move(r.e));
        break;
    case Tok::KwXor:
        if (bools || ints)
            out.e = intNode(op, a, std::move(l.e), std::move(r.e));
        break;
    default:
        if (!isComparison(op))
            break;
        if (ints || bools || enums)
            out.e = intNode(op, boolType(), std::move(l.e), std::move(r.e));
        else if (nums)
            out.e = cmpNode<FloatCmp>(op, widen(std::move(l.e)), widen(std::move(r.e)));
        else if (strs)
            out.e = cmpNode<StrCmp>(op, std::move(l.e), std::move(r.e));
        break;
    }
    if (!out.e) {
        error(at, std::string("оператор "_cp) + quoted(spelling(op)) +
                      std::string(" не применим к типам "_cp) + a->name + " " +
                      std::string("и"_cp) + " " + b->name);
        return errorX();
    }
    return fold(std::move(out), at);
}

X Compiler::setBinary(Tok op, X l, X r, Position at) {
    const TypeInfo* a = l.type();
    const TypeInfo* b = r.type();
    X out;
    out.constant = l.constant && r.constant;
    out.depth = 1 + std::max(l.depth, r.depth);
    if (op == Tok::KwIn) {
        if (isOrdinal(a) && b->kind == Kind::Set && (!b->elem || sameType(a, b->elem)))
            out.e = makeIntBin(Op::In, boolType(), std::move(l.e), std::move(r.e));
    } else if (a->kind == Kind::Set && sameType(a, b)) {
        const TypeInfo* t = a->elem ? a : b; // [] takes the other's type
        switch (op) {
        case Tok::Plus:
            out.e = makeIntBin(Op::Or, t, std::move(l.e), std::move(r.e));
            break;
        case Tok::Minus:
            out.e = makeIntBin(Op::AndNot, t, std::move(l.e), std::move(r.e));
            break;
        case Tok::Star:
            out.e = makeIntBin(Op::And, t, std::move(l.e), std::move(r.e));
            break;
        case Tok::Eq:
            out.e = makeIntBin(Op::Eq, boolType(), std::move(l.e), std::move(r.e));
            break;
        case Tok::NotEq:
            out.e = makeIntBin(Op::Ne, boolType(), std::move(l.e), std::move(r.e));
            break;
        case Tok::LessEq:
            out.e = makeIntBin(Op::Subset, boolType(), std::move(l.e), std::move(r.e));
            break;
        case Tok::GreaterEq:
            out.e = makeIntBin(Op::Subset, boolType(), std::move(r.e), std::move(l.e));
            break;
        default:
            break;
        }
    }
    if (!out.e) {
        error(at, std::string("оператор "_cp) + quoted(spelling(op)) +
                      std::string(" не применим к типам "_cp) + a->name + " " +
                      std::string("и"_cp) + " " + b->name);
        return errorX();
    }
    return fold(std::move(out), at);
}

// [Red, Blue], [1, 3..5], []: the first value decides the set's type.
X Compiler::parseSetLiteral(Position at) {
    Nest nest(*this);
    advance();
    X x;
    x.constant = true;
    if (accept(Tok::RBracket)) {
        x.e = std::make_unique<ConstInt>(0, emptySetType());
        return x;
    }
    std::unique_ptr<SetLiteral> set;
    do {
        Position iat = here();
        X first = parseExpr();
        X last;
        bool range = accept(Tok::DotDot);
        if (range)
            last = parseExpr();
        if (first.type()->kind == Kind::Error || (range && last.type()->kind == Kind::Error))
            return errorX();
        if (!set) {
            const TypeInfo* t = first.type();
            if (t->kind == Kind::Enum && t->hi <= kMaxSetValue)
                set = std::make_unique<SetLiteral>(setTypeOf(t, t->lo, t->hi));
            else if (t->kind == Kind::Integer)
                set = std::make_unique<SetLiteral>(setTypeOf(intType(), 0, kMaxSetValue));
            else if (!range && t->kind != Kind::ArgList && t->kind != Kind::Set)
                return parseArrayLiteral(std::move(first));
            else {
                error(iat, std::string(
                               "множество допустимо только из перечисления или диапазона 0.."_cp) +
                               std::to_string(kMaxSetValue));
                return errorX();
            }
        }
        const TypeInfo* elem = set->type->elem;
        first = coerce(std::move(first), elem, iat);
        if (range)
            last = coerce(std::move(last), elem, iat);
        if (first.type()->kind == Kind::Error || (range && last.type()->kind == Kind::Error))
            return errorX();
        x.constant = x.constant && first.constant && (!range || last.constant);
        set->singlesOnly = set->singlesOnly && !range;
        set->items.emplace_back(std::move(first.e), range ? std::move(last.e) : nullptr);
    } while (accept(Tok::Comma));
    expect(Tok::RBracket);
    // [1, 2, 3] may yet become an array: folded, its values would be lost.
    if (set->singlesOnly)
        x.constant = false;
    x.e = std::move(set);
    return fold(std::move(x), at);
}

// ['a', 'b'], [1.5, 2]: values that no set holds make an array of their type.
X Compiler::parseArrayLiteral(X first) {
    TypeInfo* t = newType();
    t->kind = Kind::DynArray;
    t->elem = first.type();
    t->name = "array of " + t->elem->name;
    auto list = std::make_unique<ArrayLiteral>(t);
    list->items.push_back(std::move(first.e));
    while (accept(Tok::Comma)) {
        Position iat = here();
        X v = coerce(parseExpr(), t->elem, iat);
        if (v.type()->kind == Kind::Error)
            return errorX();
        list->items.push_back(std::move(v.e));
    }
    expect(Tok::RBracket);
    X x;
    x.e = std::move(list);
    return x;
}

X Compiler::parseExpr() {
    Nest nest(*this);
    X l = parseSimple();
    if (isComparison(tok().kind) || at(Tok::KwIn)) {
        Position at = here();
        Tok op = tok().kind;
        advance();
        X r = parseSimple();
        l = binary(op, std::move(l), std::move(r), at);
    }
    return l;
}

X Compiler::parseSimple() {
    X l = parseTerm();
    while (at(Tok::Plus) || at(Tok::Minus) || at(Tok::KwOr) || at(Tok::KwXor)) {
        Position at = here();
        Tok op = tok().kind;
        advance();
        X r = parseTerm();
        l = binary(op, std::move(l), std::move(r), at);
    }
    return l;
}

X Compiler::parseTerm() {
    X l = parseFactor();
    while (at(Tok::Star) || at(Tok::Slash) || at(Tok::KwDiv) || at(Tok::KwMod) || at(Tok::KwAnd) ||
           at(Tok::KwShl) || at(Tok::KwShr)) {
        Position at = here();
        Tok op = tok().kind;
        advance();
        X r = parseFactor();
        l = binary(op, std::move(l), std::move(r), at);
    }
    return l;
}

X Compiler::parseFactor() {
    Position at = here();
    const Token t = tok(); // the stream moves on below
    X x;
    switch (t.kind) {
    case Tok::IntLit:
        advance();
        x.e = std::make_unique<ConstInt>(t.ival, intType());
        x.constant = true;
        return x;
    case Tok::FloatLit:
        advance();
        x.e = std::make_unique<ConstFloat>(t.fval);
        x.constant = true;
        return x;
    case Tok::StrLit:
        advance();
        x.e = std::make_unique<ConstStr>(t.str);
        x.constant = true;
        return x;
    case Tok::LParen: {
        Nest nest(*this);
        advance();
        x = parseExpr();
        expect(Tok::RParen);
        return parseSelectors(std::move(x));
    }
    case Tok::KwNot:
    case Tok::Minus:
    case Tok::Plus: {
        Nest nest(*this);
        Tok op = t.kind;
        advance();
        X v = parseFactor();
        const TypeInfo* vt = v.type();
        if (vt->kind == Kind::Error)
            return v;
        X out;
        out.constant = v.constant;
        out.depth = v.depth + 1;
        if (op == Tok::KwNot) {
            if (vt->kind == Kind::Boolean)
                out.e = std::make_unique<NotBool>(std::move(v.e));
            else if (vt->kind == Kind::Integer)
                out.e = std::make_unique<NotInt>(std::move(v.e));
        } else if (isNumeric(vt)) {
            if (op == Tok::Plus)
                return v;
            if (vt->kind == Kind::Integer)
                out.e = std::make_unique<NegInt>(std::move(v.e));
            else
                out.e = std::make_unique<NegFloat>(std::move(v.e));
        }
        if (!out.e) {
            error(at, std::string("оператор "_cp) + quoted(spelling(op)) +
                          std::string(" не применим к типу "_cp) + vt->name);
            return errorX();
        }
        if (out.depth > kMaxExprDepth) {
            error(at, std::string("слишком сложное выражение"_cp));
            throw CompileStop{};
        }
        return fold(std::move(out), at);
    }
    case Tok::Ident: {
        // Every value the compiler reads starts here (operands, arguments,
        // list items, conditions, bounds, initial values); a statement reads
        // its call through parseDesignator alone. So this one check keeps a
        // call without a result from ever being evaluated as a value.
        x = parseDesignator();
        if (x.type()->kind == Kind::Void) {
            error(at, quoted(t.text) + std::string(" не возвращает значения: процедуру нельзя "
                                                   "использовать как значение"_cp));
            return errorX();
        }
        return x;
    }
    case Tok::LBracket:
        return parseSetLiteral(at);
    default:
        syntaxFail(std::string("выражение"_cp));
    }
}

// --- Names, calls and selectors -------------------------------------------------

std::vector<X> Compiler::parseArgs(bool allowArgList) {
    std::vector<X> args;
    if (!accept(Tok::LParen))
        return args;
    if (accept(Tok::RParen))
        return args;
    do {
        if (at(Tok::LBracket) && allowArgList) {
            Nest nest(*this);
            advance();
            auto list = std::make_unique<ArgListExpr>();
            if (!at(Tok::RBracket)) {
                do {
                    Position iat = here();
                    X item = parseExpr();
                    Kind k = item.type()->kind;
                    if (k != Kind::Error &&
                        (storageOf(item.type()) == Storage::Agg || k == Kind::Proc))
                        error(iat, std::string("в списке допустимы только простые значения"_cp));
                    list->items.push_back(std::move(item.e));
                } while (accept(Tok::Comma));
            }
            expect(Tok::RBracket);
            X x;
            x.e = std::move(list);
            args.push_back(std::move(x));
        } else {
            args.push_back(parseExpr());
        }
    } while (accept(Tok::Comma));
    expect(Tok::RParen);
    return args;
}

X Compiler::parseCallOf(const Symbol& sym, const std::string& name, Position at) {
    std::vector<X> args = parseArgs(false);
    for (X& a : args)
        if (a.type()->kind == Kind::Error)
            return errorX();
    X out;
    if (sym.k == Symbol::K::Host) {
        const HostFunction& fn = sym.host->fn;
        if (args.size() != fn.params.size()) {
            error(at, std::string("функции "_cp) + quoted(name) +
                          std::string(" нужно аргументов: "_cp) + std::to_string(fn.params.size()) +
                          std::string(", передано: "_cp) + std::to_string(args.size()));
            return errorX();
        }
        std::vector<ExprPtr> es;
        for (std::size_t i = 0; i < args.size(); ++i) {
            X a = coerce(std::move(args[i]), typeOf(fn.params[i].type), at);
            if (a.type()->kind == Kind::Error)
                return errorX();
            es.push_back(std::move(a.e));
        }
        out.e = std::make_unique<HostCall>(sym.host, std::move(es), at);
        return out;
    }
    Routine* r = sym.routine;
    if (args.size() != r->params.size()) {
        error(at, std::string("подпрограмме "_cp) + quoted(name) +
                      std::string(" нужно аргументов: "_cp) + std::to_string(r->params.size()) +
                      std::string(", передано: "_cp) + std::to_string(args.size()));
        return errorX();
    }
    std::vector<ExprPtr> es;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const Routine::Param& p = r->params[i];
        if (p.byRef) {
            X& a = args[i];
            if (!a.e->isPlace() || a.e->readOnly || !sameType(a.type(), p.type) ||
                dynamic_cast<IndexStr*>(a.e.get())) {
                error(at, std::string("параметру var "_cp) + quoted(p.name) +
                              std::string(" нужна переменная типа "_cp) + p.type->name);
                return errorX();
            }
            es.push_back(std::move(a.e));
        } else {
            X a = coerce(std::move(args[i]), p.type, at);
            if (a.type()->kind == Kind::Error)
                return errorX();
            es.push_back(std::move(a.e));
        }
    }
    out.e = std::make_unique<CallRoutine>(r, std::move(es));
    return out;
}

// f(args) for a variable f of a procedural type.
X Compiler::callThrough(X variable, const std::string& name, Position at) {
    const TypeInfo* t = variable.type();
    std::vector<X> args = parseArgs(false);
    for (X& a : args)
        if (a.type()->kind == Kind::Error)
            return errorX();
    if (args.size() != t->procParams.size()) {
        error(at, std::string("подпрограмме "_cp) + quoted(name) +
                      std::string(" нужно аргументов: "_cp) + std::to_string(t->procParams.size()) +
                      std::string(", передано: "_cp) + std::to_string(args.size()));
        return errorX();
    }
    std::vector<ExprPtr> es;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const TypeInfo::ProcParam& p = t->procParams[i];
        if (p.byRef) {
            X& a = args[i];
            if (!a.e->isPlace() || a.e->readOnly || !sameType(a.type(), p.type) ||
                dynamic_cast<IndexStr*>(a.e.get())) {
                error(at, std::string("параметру var нужна переменная типа "_cp) + p.type->name);
                return errorX();
            }
            es.push_back(std::move(a.e));
        } else {
            X a = coerce(std::move(args[i]), p.type, at);
            if (a.type()->kind == Kind::Error)
                return errorX();
            es.push_back(std::move(a.e));
        }
    }
    X out;
    out.e = std::make_unique<CallRoutine>(t->elem, std::move(variable.e), std::move(es));
    return out;
}

// The routine named here, as a value of a procedural type: its parameters
// and result must be those of the type.
X Compiler::routineValue(const TypeInfo* t, Position at) {
    std::string name = expectIdent();
    const Symbol* sym = lookup(asciiUpper(name));
    Routine* r = sym->routine;
    bool fits = r->params.size() == t->procParams.size() && sameType(r->result, t->elem);
    for (std::size_t i = 0; fits && i < r->params.size(); ++i)
        fits = sameType(r->params[i].type, t->procParams[i].type) &&
               r->params[i].byRef == t->procParams[i].byRef;
    if (!fits) {
        error(at, std::string("подпрограмма "_cp) + quoted(name) +
                      std::string(" не подходит к типу "_cp) + t->name);
        return errorX();
    }
    if (r->level != 1) {
        error(at, std::string("вложенную подпрограмму нельзя присвоить переменной"_cp));
        return errorX();
    }
    X x;
    x.e = std::make_unique<ConstInt>(static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(r)),
                                     t);
    return x;
}

X Compiler::parseDesignator() {
    Nest nest(*this);
    bool typeArgument = typeArgument_;
    typeArgument_ = false;
    Position pos = here();
    std::string name = expectIdent();
    std::string up = asciiUpper(name);
    // Unit.Function
    if (at(Tok::Dot) && !lookup(up)) {
        for (const std::string& u : engine_->units)
            if (u == up && peekTok().kind == Tok::Ident) {
                advance();
                pos = here();
                name = expectIdent();
                up = asciiUpper(name);
                auto h = engine_->byName.find(up);
                if (h == engine_->byName.end() || asciiUpper(h->second->unit) != u) {
                    error(pos, std::string("в модуле нет функции "_cp) + quoted(name));
                    parseArgs(false);
                    return errorX();
                }
                Symbol s{Symbol::K::Host};
                s.host = h->second;
                return parseSelectors(parseCallOf(s, name, pos));
            }
    }
    const Symbol* sym = lookup(up);
    if (!sym) {
        auto h = engine_->byName.find(up);
        if (h != engine_->byName.end()) {
            Symbol s{Symbol::K::Host};
            s.host = h->second;
            return parseSelectors(parseCallOf(s, name, pos));
        }
        if (isBuiltin(up)) {
            BuiltinSite site;
            site.name = name;
            site.pos = pos;
            typeArgument_ = (up == "LOW" || up == "HIGH") && at(Tok::LParen);
            site.args = parseArgs(true);
            typeArgument_ = false;
            bool allConst = true;
            for (X& a : site.args) {
                if (a.type()->kind == Kind::Error)
                    return errorX();
                allConst = allConst && a.constant;
            }
            site.error = [this, pos](const std::string& text) { error(pos, text); };
            ExprPtr e = buildBuiltin(up, site);
            if (!e)
                return errorX();
            X x;
            x.e = std::move(e);
            x.constant = site.pure && allConst && x.e->type->kind != Kind::Void;
            return parseSelectors(fold(std::move(x), pos));
        }
        error(pos, std::string("неизвестное имя "_cp) + quoted(name));
        if (at(Tok::LParen)) {
            try {
                parseArgs(true);
            } catch (ParseError&) {
            }
        }
        return errorX();
    }
    X x;
    switch (sym->k) {
    case Symbol::K::Var: {
        const TypeInfo* t = sym->type;
        if (sym->byRef)
            x.e = std::make_unique<VarRef>(t, sym->level, sym->index);
        else if (storageOf(t) == Storage::Number)
            x.e = std::make_unique<VarNum>(t, sym->level, sym->index);
        else if (storageOf(t) == Storage::Str)
            x.e = std::make_unique<VarStr>(sym->level, sym->index);
        else
            x.e = std::make_unique<VarAgg>(t, sym->level, sym->index);
        x.e->readOnly = sym->readOnly;
        if (t->kind == Kind::Proc && at(Tok::LParen))
            return parseSelectors(callThrough(std::move(x), name, pos));
        return parseSelectors(std::move(x));
    }
    case Symbol::K::Const:
        x.constant = true;
        if (sym->type->kind == Kind::Float)
            x.e = std::make_unique<ConstFloat>(sym->fval);
        else if (sym->type->kind == Kind::String)
            x.e = std::make_unique<ConstStr>(sym->sval);
        else
            x.e = std::make_unique<ConstInt>(sym->ival, sym->type);
        return parseSelectors(std::move(x));
    case Symbol::K::TypeName:
        if (typeArgument &&
            (sym->type->kind == Kind::Enum || sym->type->kind == Kind::StaticArray)) {
            // Low(TColor): only the type is read, never the value.
            x.e = std::make_unique<ConstInt>(0, sym->type);
            return x;
        }
        error(pos, std::string("ожидалось значение, а "_cp) + quoted(name) +
                       std::string(" - имя типа"_cp));
        return errorX();
    case Symbol::K::Routine: {
        Routine* r = sym->routine;
        if (at(Tok::Assign) && r->result != voidType() && routineInScope(r)) {
            // FunctionName := value sets the result.
            const TypeInfo* t = r->result;
            if (storageOf(t) == Storage::Number)
                x.e = std::make_unique<VarNum>(t, r->level, r->resultIndex);
            else if (storageOf(t) == Storage::Str)
                x.e = std::make_unique<VarStr>(r->level, r->resultIndex);
            else
                x.e = std::make_unique<VarAgg>(t, r->level, r->resultIndex);
            return x;
        }
        return parseSelectors(parseCallOf(*sym, name, pos));
    }
    case Symbol::K::Host:
        return parseSelectors(parseCallOf(*sym, name, pos));
    }
    return errorX();
}

X Compiler::parseSelectors(X base) {
    for (;;) {
        Position pos = here();
        if (accept(Tok::LBracket)) {
            do {
                Position iat = here();
                const TypeInfo* t = base.type();
                const TypeInfo* indexType =
                    t->kind == Kind::StaticArray && t->index ? t->index : intType();
                X idx = coerce(parseExpr(), indexType, iat);
                if (t->kind == Kind::Error || idx.type()->kind == Kind::Error) {
                    base = errorX();
                    continue;
                }
                bool ro = base.e->readOnly;
                if (t->kind == Kind::StaticArray || t->kind == Kind::DynArray) {
                    base.e =
                        std::make_unique<IndexArr>(t->elem, std::move(base.e), std::move(idx.e));
                } else if (t->kind == Kind::String) {
                    bool constant = base.constant && idx.constant;
                    base.e = std::make_unique<IndexStr>(std::move(base.e), std::move(idx.e));
                    base.constant = constant;
                    base = fold(std::move(base), pos);
                } else {
                    error(pos, std::string("индекс применим только к массивам и строкам"_cp));
                    base = errorX();
                    continue;
                }
                base.e->readOnly = ro;
                base.constant = base.constant && dynamic_cast<ConstStr*>(base.e.get());
            } while (accept(Tok::Comma));
            expect(Tok::RBracket);
        } else if (at(Tok::Dot) && peekTok().kind == Tok::Ident) {
            advance();
            Position fat = here();
            std::string fname = expectIdent();
            const TypeInfo* t = base.type();
            if (t->kind == Kind::Error)
                continue;
            if (t->kind != Kind::Record) {
                error(fat,
                      std::string("у значения типа "_cp) + t->name + std::string(" нет полей"_cp));
                base = errorX();
                continue;
            }
            std::string fup = asciiUpper(fname);
            const Field* found = nullptr;
            for (const Field& f : t->fields)
                if (f.upper == fup)
                    found = &f;
            if (!found) {
                error(fat, std::string("нет поля "_cp) + quoted(fname));
                base = errorX();
                continue;
            }
            bool ro = base.e->readOnly;
            base.e = std::make_unique<FieldOf>(found->type, std::move(base.e), found->index);
            base.e->readOnly = ro;
            base.constant = false;
        } else {
            return base;
        }
        if (++base.depth > kMaxExprDepth) {
            error(pos, std::string("слишком сложное выражение"_cp));
            throw CompileStop{};
        }
    }
}

} // namespace pascal
