// The compiler's statements.
#include "pascal/Compiler.h"

#include "pascal/Cp1251.h"

namespace pascal {

namespace {
std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

template <class T> std::unique_ptr<T> mk(Position p) {
    auto s = std::make_unique<T>();
    s->pos = p;
    return s;
}
} // namespace

void Compiler::parseStatementList(Block& into, std::initializer_list<Tok> enders) {
    auto atEnder = [&] {
        if (at(Tok::End))
            return true;
        for (Tok k : enders)
            if (at(k))
                return true;
        return false;
    };
    while (!atEnder()) {
        try {
            StmtPtr s = parseStatement();
            if (s)
                into.list.push_back(std::move(s));
        } catch (ParseError&) {
            skipToStatementEnd();
        }
        if (accept(Tok::Semicolon) || atEnder())
            continue;
        syntaxError(quoted(";"));
        std::size_t before = p_;
        skipToStatementEnd();
        if (p_ == before && !at(Tok::End) && !at(Tok::Semicolon) && !atEnder())
            advance();
        if (p_ == before && !accept(Tok::Semicolon))
            return; // a block ender of an outer statement: let it handle it
        accept(Tok::Semicolon);
    }
}

StmtPtr Compiler::parseStatement() {
    Nest nest(*this);
    Position pos = here();
    switch (tok().kind) {
    case Tok::KwBegin:
        return parseCompound();
    case Tok::KwIf:
        return parseIf();
    case Tok::KwWhile:
        return parseWhile();
    case Tok::KwRepeat:
        return parseRepeat();
    case Tok::KwFor:
        return parseFor();
    case Tok::KwCase:
        return parseCase();
    case Tok::KwTry:
        return parseTry();
    case Tok::KwRaise:
        return parseRaise();
    case Tok::Semicolon:
    case Tok::KwEnd:
    case Tok::KwUntil:
    case Tok::KwElse:
    case Tok::KwExcept:
    case Tok::KwFinally:
        return mk<EmptyStmt>(pos);
    case Tok::Ident:
        return parseSimpleStatement();
    case Tok::KwVar: {
        // var x: Integer := 5; inside a block: in scope to the block's end.
        auto b = mk<Block>(pos);
        advance();
        parseVarItem(*b, true, true);
        return b;
    }
    case Tok::KwConst:
    case Tok::KwType:
    case Tok::KwProcedure:
    case Tok::KwFunction:
        error(pos, std::string("объявления допустимы только вне блоков begin..end"_cp));
        throw ParseError{};
    default:
        syntaxFail(std::string("оператор"_cp));
    }
}

// A scope of its own for the variables a block or a for statement declares
// inline; their slots stay in the routine's frame.
struct Compiler::InnerScope {
    Compiler& c;
    explicit InnerScope(Compiler& comp) : c(comp) {
        Scope s;
        s.level = c.scope().level;
        s.routine = c.routine();
        c.scopes_.push_back(std::move(s));
    }
    ~InnerScope() { c.scopes_.pop_back(); }
};

StmtPtr Compiler::parseCompound() {
    Position pos = here();
    expect(Tok::KwBegin);
    auto b = mk<Block>(pos);
    InnerScope inner(*this);
    parseStatementList(*b, {Tok::KwEnd});
    expect(Tok::KwEnd);
    return b;
}

StmtPtr Compiler::parseIf() {
    auto s = mk<IfStmt>(here());
    advance();
    Position cat = here();
    s->cond = coerce(parseExpr(), boolType(), cat).e;
    expect(Tok::KwThen);
    s->then = parseStatement();
    if (accept(Tok::KwElse))
        s->otherwise = parseStatement();
    return s;
}

StmtPtr Compiler::parseWhile() {
    auto s = mk<WhileStmt>(here());
    advance();
    Position cat = here();
    s->cond = coerce(parseExpr(), boolType(), cat).e;
    expect(Tok::KwDo);
    ++loops_;
    s->body = parseStatement();
    --loops_;
    return s;
}

StmtPtr Compiler::parseRepeat() {
    auto s = mk<RepeatStmt>(here());
    advance();
    ++loops_;
    parseStatementList(s->body, {Tok::KwUntil});
    --loops_;
    expect(Tok::KwUntil);
    s->pos = here();
    s->cond = coerce(parseExpr(), boolType(), s->pos).e;
    return s;
}

StmtPtr Compiler::parseFor() {
    Position pos = here();
    advance();
    InnerScope inner(*this);
    bool declared = accept(Tok::KwVar); // for var i := ...
    Position vat = here();
    std::string name = expectIdent();
    const TypeInfo* declaredType = nullptr;
    if (declared && accept(Tok::Colon))
        declaredType = parseType();
    if (at(Tok::KwIn))
        return parseForIn(pos, name, vat, declared, declaredType);
    auto s = mk<ForStmt>(pos);
    expect(Tok::Assign);
    Position fat = here();
    X from = parseExpr();
    if (declared) {
        const TypeInfo* t = declaredType ? declaredType : from.type();
        if (t->kind != Kind::Error)
            declare(vat, name, newVar(t));
    }
    const Symbol* sym = lookup(asciiUpper(name));
    if (!sym || sym->k != Symbol::K::Var) {
        error(vat,
              std::string("переменная цикла "_cp) + quoted(name) + std::string(" не объявлена"_cp));
    } else if (!isOrdinal(sym->type)) {
        error(vat, std::string("переменная цикла должна быть порядкового типа"_cp));
    } else if (sym->byRef || sym->readOnly) {
        error(vat, std::string("переменной цикла должна быть простая локальная переменная"_cp));
    } else {
        s->level = sym->level;
        s->index = sym->index;
    }
    const TypeInfo* varType = sym && isOrdinal(sym->type) ? sym->type : intType();
    s->from = coerce(std::move(from), varType, fat).e;
    if (accept(Tok::KwDownto))
        s->down = true;
    else
        expect(Tok::KwTo);
    Position tat = here();
    s->to = coerce(parseExpr(), varType, tat).e;
    expect(Tok::KwDo);
    ++loops_;
    s->body = parseStatement();
    --loops_;
    return s;
}

// for x in a do: over the elements of an array, the characters of a string,
// the members of a set.
StmtPtr Compiler::parseForIn(Position pos, const std::string& name, Position vat, bool declared,
                             const TypeInfo* declaredType) {
    advance(); // in
    Position cat = here();
    X coll = parseExpr();
    const TypeInfo* ct = coll.type();
    auto s = mk<ForInStmt>(pos);
    const TypeInfo* elem = nullptr;
    if (ct->kind == Kind::StaticArray || ct->kind == Kind::DynArray) {
        s->over = ForInStmt::Over::Array;
        elem = ct->elem;
    } else if (ct->kind == Kind::String) {
        s->over = ForInStmt::Over::String;
        elem = strType();
    } else if (ct->kind == Kind::Set && ct->elem) {
        s->over = ForInStmt::Over::Set;
        elem = ct->elem;
    } else if (ct->kind != Kind::Error) {
        error(cat, std::string("for..in перебирает только массивы, строки и множества"_cp));
    }
    if (declared && (declaredType || elem))
        declare(vat, name, newVar(declaredType ? declaredType : elem));
    const Symbol* sym = lookup(asciiUpper(name));
    if (!sym || sym->k != Symbol::K::Var) {
        error(vat,
              std::string("переменная цикла "_cp) + quoted(name) + std::string(" не объявлена"_cp));
    } else if (sym->byRef || sym->readOnly) {
        error(vat, std::string("переменной цикла должна быть простая локальная переменная"_cp));
    } else if (elem && !sameType(sym->type, elem)) {
        error(vat, std::string("несовместимые типы: ожидалось "_cp) + elem->name +
                       std::string(", найдено "_cp) + sym->type->name);
    } else if (elem) {
        const TypeInfo* t = sym->type;
        if (storageOf(t) == Storage::Number)
            s->var = std::make_unique<VarNum>(t, sym->level, sym->index);
        else if (storageOf(t) == Storage::Str)
            s->var = std::make_unique<VarStr>(sym->level, sym->index);
        else
            s->var = std::make_unique<VarAgg>(t, sym->level, sym->index);
    }
    s->collection = std::move(coll.e);
    expect(Tok::KwDo);
    ++loops_;
    s->body = parseStatement();
    --loops_;
    if (!s->var)
        return mk<EmptyStmt>(pos);
    return s;
}

void Compiler::collectCaseLabels(CaseStmt::Branch& br, const TypeInfo* selType) {
    do {
        Position lat = here();
        X lo = parseExpr();
        X hi;
        bool range = accept(Tok::DotDot);
        if (range)
            hi = parseExpr();
        auto constOf = [&](X& x) -> bool {
            if (x.type()->kind == Kind::Error)
                return false;
            x = coerce(std::move(x), selType, lat);
            if (x.type()->kind == Kind::Error)
                return false;
            if (!x.constant) {
                error(lat, std::string("метка case должна быть постоянной"_cp));
                return false;
            }
            return true;
        };
        bool ok = constOf(lo) && (!range || constOf(hi));
        if (!ok || selType->kind == Kind::Error)
            continue;
        if (selType->kind == Kind::String) {
            std::string a = static_cast<ConstStr*>(lo.e.get())->v;
            std::string b = range ? static_cast<ConstStr*>(hi.e.get())->v : a;
            br.strs.emplace_back(a, b);
        } else {
            std::int64_t a = static_cast<ConstInt*>(lo.e.get())->v;
            std::int64_t b = range ? static_cast<ConstInt*>(hi.e.get())->v : a;
            br.ints.emplace_back(a, b);
        }
    } while (accept(Tok::Comma));
}

StmtPtr Compiler::parseCase() {
    auto s = mk<CaseStmt>(here());
    advance();
    Position sat = here();
    X sel = parseExpr();
    const TypeInfo* st = sel.type();
    if (st->kind == Kind::String)
        s->isString = true;
    else if (!isOrdinal(st) && st->kind != Kind::Error) {
        error(sat, std::string("выражение case должно быть типа Integer или String"_cp));
        st = errorType();
    }
    s->selector = std::move(sel.e);
    expect(Tok::KwOf);
    while (!at(Tok::KwElse) && !at(Tok::KwEnd) && !at(Tok::End)) {
        CaseStmt::Branch br;
        collectCaseLabels(br, st);
        expect(Tok::Colon);
        br.body = parseStatement();
        s->branches.push_back(std::move(br));
        if (!accept(Tok::Semicolon))
            break;
    }
    if (accept(Tok::KwElse)) {
        auto b = mk<Block>(here());
        parseStatementList(*b, {Tok::KwEnd});
        s->otherwise = std::move(b);
    }
    expect(Tok::KwEnd);
    return s;
}

StmtPtr Compiler::parseTry() {
    Position pos = here();
    advance();
    Block body;
    body.pos = pos;
    parseStatementList(body, {Tok::KwExcept, Tok::KwFinally});
    if (accept(Tok::KwFinally)) {
        auto s = mk<TryFinally>(pos);
        s->body = std::move(body);
        parseStatementList(s->final, {Tok::KwEnd});
        expect(Tok::KwEnd);
        return s;
    }
    if (!accept(Tok::KwExcept))
        syntaxFail(quoted("except"));
    auto s = mk<TryExcept>(pos);
    s->body = std::move(body);
    ++excepts_;
    struct Leave {
        int& n;
        ~Leave() { --n; }
    } leave{excepts_};
    if (atIdent("ON")) {
        // on E: Exception do ...; the first handler catches every error, as
        // every error is an Exception.
        auto handlers = mk<Block>(here());
        bool first = true;
        while (atIdent("ON")) {
            advance();
            std::string var;
            if (peekTok().kind == Tok::Colon) {
                var = expectIdent();
                expect(Tok::Colon);
            }
            Position tat = here();
            std::string tname = expectIdent();
            const Symbol* ts = lookup(asciiUpper(tname));
            if (!ts || ts->k != Symbol::K::TypeName || ts->type != exceptionType_)
                error(tat, std::string("ожидался тип Exception"_cp));
            expect(Tok::KwDo);
            if (!var.empty()) {
                scopes_.push_back(Scope{{}, scope().level, routine()});
                struct PopScope {
                    std::vector<Scope>& scopes;
                    ~PopScope() { scopes.pop_back(); }
                } pop{scopes_};
                Symbol sym = newVar(exceptionType_);
                if (first) {
                    s->messageLevel = sym.level;
                    s->messageIndex = sym.index;
                }
                scope().names.emplace(asciiUpper(var), sym);
                StmtPtr h = parseStatement();
                if (first)
                    handlers->list.push_back(std::move(h));
            } else {
                StmtPtr h = parseStatement();
                if (first)
                    handlers->list.push_back(std::move(h));
            }
            first = false;
            if (!accept(Tok::Semicolon))
                break;
        }
        if (accept(Tok::KwElse)) {
            Block ignored;
            parseStatementList(ignored, {Tok::KwEnd});
        }
        s->handler = std::move(handlers);
    } else {
        auto h = mk<Block>(here());
        parseStatementList(*h, {Tok::KwEnd});
        s->handler = std::move(h);
    }
    expect(Tok::KwEnd);
    return s;
}

StmtPtr Compiler::parseRaise() {
    auto s = mk<RaiseStmt>(here());
    advance();
    if (at(Tok::Semicolon) || at(Tok::KwEnd) || at(Tok::End) || at(Tok::KwElse) ||
        at(Tok::KwUntil)) {
        if (excepts_ == 0)
            error(s->pos, std::string("raise без исключения допустим только в блоке except"_cp));
        return s;
    }
    // raise Exception.Create(message)
    Position eat = here();
    std::string ename = expectIdent();
    const Symbol* es = lookup(asciiUpper(ename));
    if (!es || es->k != Symbol::K::TypeName || es->type != exceptionType_)
        error(eat, std::string("ожидалось Exception.Create(...)"_cp));
    expect(Tok::Dot);
    if (!atIdent("CREATE"))
        syntaxFail(quoted("Create"));
    advance();
    expect(Tok::LParen);
    Position mat = here();
    s->message = coerce(parseExpr(), strType(), mat).e;
    expect(Tok::RParen);
    return s;
}

StmtPtr Compiler::makeAssign(Position pos, X place, X value, Position valuePos) {
    const TypeInfo* t = place.type();
    if (t->kind == Kind::Error || value.type()->kind == Kind::Error)
        return mk<EmptyStmt>(pos);
    if (!place.e->isPlace() || place.e->readOnly) {
        error(pos, std::string("этому нельзя присвоить значение"_cp));
        return mk<EmptyStmt>(pos);
    }
    value = coerce(std::move(value), t, valuePos.line ? valuePos : pos);
    if (value.type()->kind == Kind::Error)
        return mk<EmptyStmt>(pos);
    switch (storageOf(t)) {
    case Storage::Number:
        if (t->kind == Kind::Float) {
            auto s = mk<AssignFloat>(pos);
            s->place = std::move(place.e);
            s->value = std::move(value.e);
            return s;
        } else if (auto* v = dynamic_cast<VarNum*>(place.e.get())) {
            auto s = mk<AssignVarInt>(pos);
            s->level = v->level;
            s->index = v->index;
            s->value = std::move(value.e);
            return s;
        } else {
            auto s = mk<AssignInt>(pos);
            s->place = std::move(place.e);
            s->value = std::move(value.e);
            return s;
        }
    case Storage::Str: {
        // s := s + x on a plain variable appends in place.
        if (auto* cat = dynamic_cast<Concat*>(value.e.get())) {
            auto* target = dynamic_cast<VarStr*>(place.e.get());
            auto* left = dynamic_cast<VarStr*>(cat->l.get());
            if (target && left && target->level == left->level && target->index == left->index) {
                auto s = mk<AppendStr>(pos);
                s->place = std::move(place.e);
                s->value = std::move(cat->r);
                return s;
            }
        }
        auto s = mk<AssignStr>(pos);
        s->place = std::move(place.e);
        s->value = std::move(value.e);
        return s;
    }
    case Storage::Agg: {
        auto s = mk<AssignAgg>(pos);
        s->copy = t->kind != Kind::DynArray;
        s->place = std::move(place.e);
        s->value = std::move(value.e);
        return s;
    }
    }
    return mk<EmptyStmt>(pos);
}

// x += v: Integer and Float arithmetic (/= on Float only), appending to a
// String with +=, and + - * of sets.
StmtPtr Compiler::makeCompoundAssign(Position pos, X target) {
    Tok op = tok().kind;
    std::string shown = spelling(op);
    advance();
    Position vat = here();
    X value = parseExpr();
    const TypeInfo* t = target.type();
    if (t->kind == Kind::Error || value.type()->kind == Kind::Error)
        return mk<EmptyStmt>(pos);
    if (!target.e->isPlace() || target.e->readOnly || dynamic_cast<IndexStr*>(target.e.get())) {
        error(pos, std::string("этому нельзя присвоить значение"_cp));
        return mk<EmptyStmt>(pos);
    }
    if (t->kind == Kind::String && op == Tok::PlusAssign) {
        value = coerce(std::move(value), t, vat);
        if (value.type()->kind == Kind::Error)
            return mk<EmptyStmt>(pos);
        auto s = mk<AppendStr>(pos);
        s->place = std::move(target.e);
        s->value = std::move(value.e);
        return s;
    }
    bool number = t->kind == Kind::Integer || t->kind == Kind::Float;
    bool set = t->kind == Kind::Set && op != Tok::SlashAssign;
    if ((!number && !set) || (op == Tok::SlashAssign && t->kind != Kind::Float)) {
        error(pos, std::string("оператор "_cp) + quoted(shown) +
                       std::string(" не применим к типу "_cp) + t->name);
        return mk<EmptyStmt>(pos);
    }
    value = coerce(std::move(value), t, vat);
    if (value.type()->kind == Kind::Error)
        return mk<EmptyStmt>(pos);
    auto s = mk<CompoundAssign>(pos);
    s->isFloat = t->kind == Kind::Float;
    switch (op) {
    case Tok::PlusAssign:
        s->op = set ? Op::Or : Op::Add;
        break;
    case Tok::MinusAssign:
        s->op = set ? Op::AndNot : Op::Sub;
        break;
    case Tok::StarAssign:
        s->op = set ? Op::And : Op::Mul;
        break;
    default:
        s->op = Op::Div;
        break;
    }
    s->place = std::move(target.e);
    s->value = std::move(value.e);
    return s;
}

StmtPtr Compiler::parseSimpleStatement() {
    Position pos = here();
    std::string up = asciiUpper(tok().text);
    // Exit, Break and Continue, unless the script declared its own.
    if ((up == "EXIT" || up == "BREAK" || up == "CONTINUE") && !lookup(up) &&
        !engine_->byName.count(up)) {
        advance();
        if (up == "EXIT") {
            if (accept(Tok::LParen)) {
                // Exit(value): set Result and leave.
                Routine* r = routine();
                Position vat = here();
                X v = parseExpr();
                expect(Tok::RParen);
                if (r->result == voidType()) {
                    error(vat, std::string("Exit со значением допустим только в функции"_cp));
                    return mk<EmptyStmt>(pos);
                }
                X place;
                switch (storageOf(r->result)) {
                case Storage::Number:
                    place.e = std::make_unique<VarNum>(r->result, r->level, r->resultIndex);
                    break;
                case Storage::Str:
                    place.e = std::make_unique<VarStr>(r->level, r->resultIndex);
                    break;
                case Storage::Agg:
                    place.e = std::make_unique<VarAgg>(r->result, r->level, r->resultIndex);
                    break;
                }
                auto b = mk<Block>(pos);
                b->list.push_back(makeAssign(vat, std::move(place), std::move(v)));
                b->list.push_back(std::make_unique<FlowStmt>(Flow::Exit));
                b->list.back()->pos = pos;
                return b;
            }
            auto s = std::make_unique<FlowStmt>(Flow::Exit);
            s->pos = pos;
            return s;
        }
        if (loops_ == 0)
            error(pos, quoted(up == "BREAK" ? "Break" : "Continue") +
                           std::string(" допустим только внутри цикла"_cp));
        auto s = std::make_unique<FlowStmt>(up == "BREAK" ? Flow::Break : Flow::Continue);
        s->pos = pos;
        return s;
    }

    X target = parseDesignator();
    if (at(Tok::Assign)) {
        advance();
        Position aat = here(); // where the value starts, for type errors
        // f := SomeRoutine, for a variable of a procedural type
        if (target.type()->kind == Kind::Proc && at(Tok::Ident) && peekTok().kind != Tok::LParen) {
            const Symbol* sym = lookup(asciiUpper(tok().text));
            if (sym && sym->k == Symbol::K::Routine) {
                // The value first: the target is moved into the call below.
                X value = routineValue(target.type(), aat);
                return makeAssign(pos, std::move(target), std::move(value), aat);
            }
        }
        X value = parseExpr();
        // s[i] := c
        if (auto* is = dynamic_cast<IndexStr*>(target.e.get())) {
            if (!is->base->isPlace() || is->base->readOnly) {
                error(pos, std::string("этому нельзя присвоить значение"_cp));
                return mk<EmptyStmt>(pos);
            }
            value = coerce(std::move(value), strType(), aat);
            auto s = mk<AssignStrChar>(pos);
            s->place = std::move(is->base);
            s->index = std::move(is->index);
            s->value = std::move(value.e);
            return s;
        }
        return makeAssign(pos, std::move(target), std::move(value), aat);
    }
    if (at(Tok::PlusAssign) || at(Tok::MinusAssign) || at(Tok::StarAssign) || at(Tok::SlashAssign))
        return makeCompoundAssign(pos, std::move(target));
    if (target.type()->kind == Kind::Error)
        return mk<EmptyStmt>(pos);
    // p; for a procedural variable calls it.
    if (target.type()->kind == Kind::Proc && target.e->isPlace())
        target = callThrough(std::move(target), tok().text, pos);
    if (target.type()->kind == Kind::Error)
        return mk<EmptyStmt>(pos);
    // A call as a statement; a bare variable or value is not a statement.
    Expr* e = target.e.get();
    if (!dynamic_cast<CallRoutine*>(e) && !dynamic_cast<HostCall*>(e) && !target.constant &&
        e->isPlace()) {
        syntaxFail(quoted(":="));
    }
    if (target.constant)
        syntaxFail(quoted(":="));
    auto s = std::make_unique<ExprStmt>(std::move(target.e));
    s->pos = pos;
    return s;
}

} // namespace pascal
