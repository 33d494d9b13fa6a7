// The execution core: values, frames, and what each node does when run.
#include "pascal/Nodes.h"

#include "pascal/Cp1251.h"

#include <cstdint>
#include <cstring>

namespace pascal {

// --- Node memory ------------------------------------------------------------------

// Blocks kept for the next compile, per thread: every click compiles its
// script afresh, and warm memory spares the page faults of fresh memory.
// 256 blocks are 16 MB: what a script of some ten thousand lines takes.
constexpr std::size_t kSpareBlocks = 256;

std::vector<std::unique_ptr<std::byte[]>>& spareBlocks() {
    thread_local std::vector<std::unique_ptr<std::byte[]>> spares;
    return spares;
}

NodeArena::~NodeArena() {
    auto& spares = spareBlocks();
    for (auto& b : blocks_)
        if (spares.size() < kSpareBlocks)
            spares.push_back(std::move(b));
}

void* NodeArena::allocate(std::size_t size) {
    size = (size + 15) & ~std::size_t(15);
    if (size > kBlock / 4) { // a big one gets a block of its own
        big_.push_back(std::unique_ptr<std::byte[]>(new std::byte[size]));
        return big_.back().get();
    }
    if (used_ + size > kBlock) {
        auto& spares = spareBlocks();
        if (!spares.empty()) {
            blocks_.push_back(std::move(spares.back()));
            spares.pop_back();
        } else {
            blocks_.push_back(std::unique_ptr<std::byte[]>(new std::byte[kBlock])); // not zeroed
        }
        used_ = 0;
    }
    void* p = blocks_.back().get() + used_;
    used_ += size;
    return p;
}

NodeArena*& currentArena() {
    thread_local NodeArena* arena = nullptr;
    return arena;
}

void* NodeMemory::operator new(std::size_t size) {
    // Nodes are made while a program compiles, into its arena; any other
    // (there are none today) goes to an arena that lives as long as the thread.
    NodeArena* arena = currentArena();
    if (!arena) {
        thread_local NodeArena orphans;
        arena = &orphans;
    }
    return arena->allocate(size);
}

// The arena frees its nodes' memory all at once.
void NodeMemory::operator delete(void*) {}

// --- Values and the run state ---------------------------------------------------

void fail(std::string_view message) {
    throw ScriptError(std::string(message));
}

void divisionByZero() {
    fail("деление на ноль"_cp);
}

void checkLength(std::size_t length) {
    if (length > kMaxStringLength)
        fail("строка длиннее допустимого (16 МБ)"_cp);
}

AggPtr makeAgg(const TypeInfo* t) {
    if (t->kind == Kind::DynArray)
        return nullptr;
    auto p = std::make_shared<Agg>();
    if (t->kind == Kind::Record) {
        p->n.assign(static_cast<std::size_t>(t->counts[0]), Cell{0});
        p->s.resize(static_cast<std::size_t>(t->counts[1]));
        p->a.resize(static_cast<std::size_t>(t->counts[2]));
        for (const Field& f : t->fields)
            if (storageOf(f.type) == Storage::Agg)
                p->a[static_cast<std::size_t>(f.index)] = makeAgg(f.type);
        return p;
    }
    // A static array; its size was checked against the limit at compile time.
    std::size_t count = static_cast<std::size_t>(static_cast<std::uint64_t>(t->hi) -
                                                 static_cast<std::uint64_t>(t->lo) + 1);
    p->lo = t->lo;
    p->elem = storageOf(t->elem);
    switch (p->elem) {
    case Storage::Number:
        p->n.assign(count, Cell{0});
        break;
    case Storage::Str:
        p->s.resize(count);
        break;
    case Storage::Agg:
        p->a.resize(count);
        for (auto& e : p->a)
            e = makeAgg(t->elem);
        break;
    }
    return p;
}

AggPtr cloneAgg(const AggPtr& p) {
    if (!p || !p->byValue)
        return p;
    auto q = std::make_shared<Agg>(*p);
    for (auto& e : q->a)
        if (e && e->byValue)
            e = cloneAgg(e);
    return q;
}

std::int64_t aggBytes(const Agg* p) {
    if (!p)
        return 0;
    std::int64_t bytes =
        static_cast<std::int64_t>(sizeof(Agg) + p->n.size() * sizeof(Cell) +
                                  p->s.size() * sizeof(std::string) + p->a.size() * sizeof(AggPtr));
    for (const std::string& s : p->s)
        bytes += static_cast<std::int64_t>(s.size());
    for (const AggPtr& e : p->a)
        if (e && e->byValue)
            bytes += aggBytes(e.get());
    return bytes;
}

void Ctx::memoryExhausted() {
    fail("сценарий занял больше памяти, чем допустимо (256 МБ)"_cp);
}

namespace {
std::size_t checkedSlot(std::size_t index, std::size_t size) {
    if (index >= size)
        fail("ссылка на элемент, которого больше нет в массиве"_cp);
    return index;
}
} // namespace

Cell& Ref::cell() const {
    if (!holder)
        return *static_cast<Cell*>(direct);
    return holder->n[checkedSlot(index, holder->n.size())];
}
std::string& Ref::str() const {
    if (!holder)
        return *static_cast<std::string*>(direct);
    return holder->s[checkedSlot(index, holder->s.size())];
}
AggPtr& Ref::agg() const {
    if (!holder)
        return *static_cast<AggPtr*>(direct);
    return holder->a[checkedSlot(index, holder->a.size())];
}

void Ctx::checkpoint(std::int64_t used) {
    if (hasBudget) {
        std::uint64_t u = used > 0 ? static_cast<std::uint64_t>(used) : 1;
        if (u >= budgetLeft) {
            budgetLeft = 0;
            throw StopRun{true};
        }
        budgetLeft -= u;
    }
    if (options && options->cancelled && options->cancelled())
        throw StopRun{false};
    untilCheck = kStepsPerCheck;
    if (hasBudget && budgetLeft < static_cast<std::uint64_t>(untilCheck))
        untilCheck = static_cast<std::int64_t>(budgetLeft);
}

void Ctx::enterCall() {
    step();
    char probe = 0;
    auto here = reinterpret_cast<std::uintptr_t>(&probe);
    std::uintptr_t base = stackBase;
    if (callDepth >= kMaxCallDepth || (base > here && base - here > kMaxNativeStack))
        fail("слишком глубокая рекурсия"_cp);
    ++callDepth;
}

// --- Expressions ------------------------------------------------------------------

namespace {
[[noreturn]] void noValue() {
    throw std::logic_error("expression evaluated as the wrong type");
}
} // namespace

std::int64_t Expr::evalInt(Ctx&) {
    noValue();
}
double Expr::evalFloat(Ctx&) {
    noValue();
}
std::string Expr::evalStr(Ctx&) {
    noValue();
}
AggPtr Expr::evalAgg(Ctx&) {
    noValue();
}
void Expr::evalVoid(Ctx& c) {
    switch (storageOf(type)) {
    case Storage::Str:
        evalStr(c);
        break;
    case Storage::Agg:
        evalAgg(c);
        break;
    default:
        if (type->kind == Kind::Float)
            evalFloat(c);
        else
            evalInt(c);
        break;
    }
}
Cell& Expr::cell(Ctx&) {
    noValue();
}
std::string& Expr::str(Ctx&) {
    noValue();
}
AggPtr& Expr::agg(Ctx&) {
    noValue();
}
Ref Expr::ref(Ctx&) {
    noValue();
}

std::size_t IndexArr::locate(Ctx& c, Agg*& out, AggPtr& keep) {
    std::int64_t i = index->evalInt(c);
    if (base->isPlace()) {
        out = base->agg(c).get();
    } else {
        keep = base->evalAgg(c);
        out = keep.get();
    }
    std::size_t len = out ? out->length() : 0;
    std::int64_t lo = out ? out->lo : 0;
    // Unsigned, so that no pair of 64-bit bounds can overflow.
    std::uint64_t offset = static_cast<std::uint64_t>(i) - static_cast<std::uint64_t>(lo);
    if (i < lo || offset >= len)
        fail(std::string("индекс вне границ массива: "_cp) + std::to_string(i));
    return static_cast<std::size_t>(offset);
}
std::int64_t IndexArr::evalInt(Ctx& c) {
    Agg* a;
    AggPtr keep;
    std::size_t k = locate(c, a, keep);
    return a->n[k].i;
}
double IndexArr::evalFloat(Ctx& c) {
    Agg* a;
    AggPtr keep;
    std::size_t k = locate(c, a, keep);
    return a->n[k].f;
}
std::string IndexArr::evalStr(Ctx& c) {
    Agg* a;
    AggPtr keep;
    std::size_t k = locate(c, a, keep);
    return a->s[k];
}
AggPtr IndexArr::evalAgg(Ctx& c) {
    Agg* a;
    AggPtr keep;
    std::size_t k = locate(c, a, keep);
    return a->a[k];
}
Cell& IndexArr::cell(Ctx& c) {
    Agg* a;
    AggPtr keep;
    std::size_t k = locate(c, a, keep);
    return a->n[k];
}
std::string& IndexArr::str(Ctx& c) {
    Agg* a;
    AggPtr keep;
    std::size_t k = locate(c, a, keep);
    return a->s[k];
}
AggPtr& IndexArr::agg(Ctx& c) {
    Agg* a;
    AggPtr keep;
    std::size_t k = locate(c, a, keep);
    return a->a[k];
}
Ref IndexArr::ref(Ctx& c) {
    std::int64_t i = index->evalInt(c);
    AggPtr holder = base->agg(c);
    std::size_t len = holder ? holder->length() : 0;
    std::int64_t lo = holder ? holder->lo : 0;
    std::uint64_t offset = static_cast<std::uint64_t>(i) - static_cast<std::uint64_t>(lo);
    if (i < lo || offset >= len)
        fail(std::string("индекс вне границ массива: "_cp) + std::to_string(i));
    return Ref{nullptr, std::move(holder), static_cast<std::size_t>(offset)};
}

Agg& FieldOf::record(Ctx& c, AggPtr& keep) {
    if (base->isPlace())
        return *base->agg(c);
    keep = base->evalAgg(c);
    return *keep;
}
std::int64_t FieldOf::evalInt(Ctx& c) {
    AggPtr keep;
    return record(c, keep).n[static_cast<std::size_t>(index)].i;
}
double FieldOf::evalFloat(Ctx& c) {
    AggPtr keep;
    return record(c, keep).n[static_cast<std::size_t>(index)].f;
}
std::string FieldOf::evalStr(Ctx& c) {
    AggPtr keep;
    return record(c, keep).s[static_cast<std::size_t>(index)];
}
AggPtr FieldOf::evalAgg(Ctx& c) {
    AggPtr keep;
    return record(c, keep).a[static_cast<std::size_t>(index)];
}
Cell& FieldOf::cell(Ctx& c) {
    AggPtr keep;
    return record(c, keep).n[static_cast<std::size_t>(index)];
}
std::string& FieldOf::str(Ctx& c) {
    AggPtr keep;
    return record(c, keep).s[static_cast<std::size_t>(index)];
}
AggPtr& FieldOf::agg(Ctx& c) {
    AggPtr keep;
    return record(c, keep).a[static_cast<std::size_t>(index)];
}
Ref FieldOf::ref(Ctx& c) {
    return Ref{nullptr, base->agg(c), static_cast<std::size_t>(index)};
}

std::string IndexStr::evalStr(Ctx& c) {
    std::int64_t i = index->evalInt(c);
    std::string tmp;
    const std::string& s = strRef(c, base.get(), tmp);
    if (i < 1 || static_cast<std::uint64_t>(i) > s.size())
        fail(std::string("индекс вне границ строки: "_cp) + std::to_string(i));
    return std::string(1, s[static_cast<std::size_t>(i - 1)]);
}

template <Op op> double FloatBin<op>::evalFloat(Ctx& c) {
    double a = l->evalFloat(c);
    double b = r->evalFloat(c);
    if constexpr (op == Op::Add)
        return a + b;
    else if constexpr (op == Op::Sub)
        return a - b;
    else if constexpr (op == Op::Mul)
        return a * b;
    else {
        if (b == 0)
            fail("деление на ноль"_cp);
        return a / b;
    }
}

template <Op op> std::int64_t FloatCmp<op>::evalInt(Ctx& c) {
    double a = l->evalFloat(c);
    double b = r->evalFloat(c);
    return compareOp<op>(a, b);
}

template <Op op> std::int64_t StrCmp<op>::evalInt(Ctx& c) {
    std::string ta, tb;
    const std::string& a = strRef(c, l.get(), ta);
    const std::string& b = strRef(c, r.get(), tb);
    // Byte order, as cp1251 code points: unsigned comparison; the sign of
    // the comparison against zero gives the operator's answer.
    int k = a.compare(b);
    return intOp<op>(k, 0);
}

template struct FloatBin<Op::Add>;
template struct FloatBin<Op::Sub>;
template struct FloatBin<Op::Mul>;
template struct FloatBin<Op::Div>;
template struct FloatCmp<Op::Eq>;
template struct FloatCmp<Op::Ne>;
template struct FloatCmp<Op::Lt>;
template struct FloatCmp<Op::Le>;
template struct FloatCmp<Op::Gt>;
template struct FloatCmp<Op::Ge>;
template struct StrCmp<Op::Eq>;
template struct StrCmp<Op::Ne>;
template struct StrCmp<Op::Lt>;
template struct StrCmp<Op::Le>;
template struct StrCmp<Op::Gt>;
template struct StrCmp<Op::Ge>;

namespace {
template <Op op> ExprPtr intBinFor(const TypeInfo* t, ExprPtr l, ExprPtr r) {
    bool lv = dynamic_cast<VarNum*>(l.get()) != nullptr;
    bool lc = dynamic_cast<ConstInt*>(l.get()) != nullptr;
    bool rv = dynamic_cast<VarNum*>(r.get()) != nullptr;
    bool rc = dynamic_cast<ConstInt*>(r.get()) != nullptr;
    using O = Operand;
    if (lv && rc)
        return std::make_unique<IntBin<op, O::Var, O::Const>>(t, std::move(l), std::move(r));
    if (lv && rv)
        return std::make_unique<IntBin<op, O::Var, O::Var>>(t, std::move(l), std::move(r));
    if (lv)
        return std::make_unique<IntBin<op, O::Var, O::Any>>(t, std::move(l), std::move(r));
    if (rc)
        return std::make_unique<IntBin<op, O::Any, O::Const>>(t, std::move(l), std::move(r));
    if (rv)
        return std::make_unique<IntBin<op, O::Any, O::Var>>(t, std::move(l), std::move(r));
    (void)lc;
    return std::make_unique<IntBin<op>>(t, std::move(l), std::move(r));
}
} // namespace

ExprPtr makeIntBin(Op op, const TypeInfo* t, ExprPtr l, ExprPtr r) {
    switch (op) {
    case Op::Add:
        return intBinFor<Op::Add>(t, std::move(l), std::move(r));
    case Op::Sub:
        return intBinFor<Op::Sub>(t, std::move(l), std::move(r));
    case Op::Mul:
        return intBinFor<Op::Mul>(t, std::move(l), std::move(r));
    case Op::IntDiv:
        return intBinFor<Op::IntDiv>(t, std::move(l), std::move(r));
    case Op::Mod:
        return intBinFor<Op::Mod>(t, std::move(l), std::move(r));
    case Op::And:
        return intBinFor<Op::And>(t, std::move(l), std::move(r));
    case Op::Or:
        return intBinFor<Op::Or>(t, std::move(l), std::move(r));
    case Op::Xor:
        return intBinFor<Op::Xor>(t, std::move(l), std::move(r));
    case Op::Shl:
        return intBinFor<Op::Shl>(t, std::move(l), std::move(r));
    case Op::Shr:
        return intBinFor<Op::Shr>(t, std::move(l), std::move(r));
    case Op::Eq:
        return intBinFor<Op::Eq>(t, std::move(l), std::move(r));
    case Op::Ne:
        return intBinFor<Op::Ne>(t, std::move(l), std::move(r));
    case Op::Lt:
        return intBinFor<Op::Lt>(t, std::move(l), std::move(r));
    case Op::Le:
        return intBinFor<Op::Le>(t, std::move(l), std::move(r));
    case Op::Gt:
        return intBinFor<Op::Gt>(t, std::move(l), std::move(r));
    case Op::AndNot:
        return std::make_unique<IntBin<Op::AndNot>>(t, std::move(l), std::move(r));
    case Op::Subset:
        return std::make_unique<IntBin<Op::Subset>>(t, std::move(l), std::move(r));
    case Op::In:
        return std::make_unique<IntBin<Op::In>>(t, std::move(l), std::move(r));
    default:
        return intBinFor<Op::Ge>(t, std::move(l), std::move(r));
    }
}

AggPtr ArrayLiteral::evalAgg(Ctx& c) {
    if (items.empty())
        return nullptr;
    auto p = std::make_shared<Agg>();
    p->byValue = false;
    p->elem = storageOf(type->elem);
    for (auto& e : items) {
        switch (p->elem) {
        case Storage::Number:
            p->n.push_back(type->elem->kind == Kind::Float ? Cell{.f = e->evalFloat(c)}
                                                           : Cell{.i = e->evalInt(c)});
            break;
        case Storage::Str:
            p->s.push_back(e->evalStr(c));
            break;
        case Storage::Agg:
            p->a.push_back(cloneAgg(e->evalAgg(c)));
            break;
        }
    }
    c.hold(aggBytes(p.get()));
    return p;
}

AggPtr StaticToOpen::evalAgg(Ctx& c) {
    AggPtr from = e->evalAgg(c);
    auto p = std::make_shared<Agg>(*from);
    p->byValue = false;
    p->lo = 0;
    for (auto& x : p->a)
        x = cloneAgg(x);
    c.work(64 * p->length());
    c.hold(aggBytes(p.get()));
    return p;
}

std::int64_t SetLiteral::evalInt(Ctx& c) {
    std::uint64_t bits = 0;
    for (auto& [first, last] : items) {
        std::int64_t a = first->evalInt(c);
        std::int64_t b = last ? last->evalInt(c) : a;
        if (a > b)
            continue;
        if (a < type->lo || b > type->hi)
            fail("значение вне диапазона множества "_cp + type->name);
        for (std::int64_t v = a; v <= b; ++v)
            bits |= std::uint64_t(1) << v;
    }
    return static_cast<std::int64_t>(bits);
}

std::string Concat::evalStr(Ctx& c) {
    std::string a = l->evalStr(c);
    std::string b = r->evalStr(c);
    checkLength(a.size() + b.size());
    c.work(a.size() + b.size());
    a += b;
    return a;
}

// --- Calls -------------------------------------------------------------------------

namespace {
// Frees a callee's frame and restores the display on every way out of a call.
struct FrameGuard {
    Ctx& c;
    Routine* r;
    Frame frame;
    Frame saved;
    SlotStack<Cell>::Mark mn{};
    SlotStack<std::string>::Mark ms{};
    SlotStack<AggPtr>::Mark ma{};
    SlotStack<Ref>::Mark mr{};
    bool entered = false;

    // Only the kinds of slot the routine has are touched: most routines
    // have numbers only.
    FrameGuard(Ctx& ctx, Routine* routine) : c(ctx), r(routine) {
        if (std::size_t n = static_cast<std::size_t>(r->counts[0])) {
            mn = c.nStack.mark();
            frame.n = c.nStack.push(n);
            for (std::size_t i = 0; i < n; ++i)
                frame.n[i].i = 0;
        }
        if (std::size_t n = static_cast<std::size_t>(r->counts[1])) {
            ms = c.sStack.mark();
            frame.s = c.sStack.push(n);
        }
        if (std::size_t n = static_cast<std::size_t>(r->counts[2])) {
            ma = c.aStack.mark();
            frame.a = c.aStack.push(n);
        }
        if (std::size_t n = static_cast<std::size_t>(r->counts[3])) {
            mr = c.rStack.mark();
            frame.r = c.rStack.push(n);
        }
    }
    void enter() {
        saved = c.display[r->level];
        c.display[r->level] = frame;
        entered = true;
    }
    ~FrameGuard() {
        if (entered)
            c.display[r->level] = saved;
        // What the frame's strings and aggregates held goes back to the budget.
        for (int i = 0; i < r->counts[1]; ++i)
            c.held -= static_cast<std::int64_t>(frame.s[i].size());
        for (int i = 0; i < r->counts[2]; ++i)
            if (frame.a[i] && frame.a[i].use_count() == 1)
                c.held -= aggBytes(frame.a[i].get());
        if (std::size_t n = static_cast<std::size_t>(r->counts[3]))
            c.rStack.release(mr, frame.r, n);
        if (std::size_t n = static_cast<std::size_t>(r->counts[2]))
            c.aStack.release(ma, frame.a, n);
        if (std::size_t n = static_cast<std::size_t>(r->counts[1]))
            c.sStack.release(ms, frame.s, n);
        if (r->counts[0])
            c.nStack.release(mn, frame.n, 0);
    }
};

struct DepthGuard {
    Ctx& c;
    explicit DepthGuard(Ctx& ctx) : c(ctx) { c.enterCall(); }
    ~DepthGuard() { c.leaveCall(); }
};
} // namespace

// The frame of a numbers-only routine.
struct NumberFrame {
    Ctx& c;
    int level;
    SlotStack<Cell>::Mark mark;
    Frame frame{};
    Frame saved{};
    NumberFrame(Ctx& ctx, Routine* r) : c(ctx), level(r->level), mark(c.nStack.mark()) {
        std::size_t n = static_cast<std::size_t>(r->counts[0]);
        frame.n = c.nStack.push(n);
        for (std::size_t i = 0; i < n; ++i)
            frame.n[i].i = 0;
        saved = c.display[level];
    }
    ~NumberFrame() {
        c.display[level] = saved;
        c.nStack.release(mark, frame.n, 0);
    }
};

Routine* CallRoutine::target(Ctx& c) {
    if (routine)
        return routine;
    auto* r = reinterpret_cast<Routine*>(static_cast<std::uintptr_t>(through->evalInt(c)));
    if (!r)
        fail("процедурной переменной не присвоена подпрограмма"_cp);
    return r;
}

template <class Take> auto CallRoutine::invoke(Ctx& c, Take take) {
    Routine* r = target(c);
    DepthGuard depth(c);
    if (r->numbersOnly) {
        NumberFrame g(c, r);
        Cell* cells = g.frame.n;
        std::size_t i = 0;
        for (const Routine::Param& p : r->params) {
            Expr* a = args[i++].get();
            if (p.type->kind == Kind::Float)
                cells[p.index].f = a->evalFloat(c);
            else
                cells[p.index].i = a->evalInt(c);
        }
        Position at = c.pos;
        c.display[r->level] = g.frame;
        run(c, r->body.get());
        c.flow = Flow::Normal;
        c.pos = at;
        return take(g.frame, r);
    }
    FrameGuard g(c, r);
    Frame& f = g.frame;
    std::size_t i = 0;
    for (const Routine::Param& p : r->params) {
        Expr* a = args[i++].get();
        std::size_t k = static_cast<std::size_t>(p.index);
        if (p.byRef) {
            f.r[k] = a->ref(c);
            continue;
        }
        switch (storageOf(p.type)) {
        case Storage::Number:
            if (p.type->kind == Kind::Float)
                f.n[k].f = a->evalFloat(c);
            else
                f.n[k].i = a->evalInt(c);
            break;
        case Storage::Str:
            f.s[k] = a->evalStr(c);
            c.holdStr(f.s[k], 0);
            break;
        case Storage::Agg: {
            AggPtr v = a->evalAgg(c);
            bool copied = v && v->byValue;
            f.a[k] = cloneAgg(v);
            if (copied)
                c.hold(aggBytes(f.a[k].get()));
            break;
        }
        }
    }
    for (const auto& [k, t] : r->aggLocals) {
        f.a[static_cast<std::size_t>(k)] = makeAgg(t);
        c.hold(aggBytes(f.a[static_cast<std::size_t>(k)].get()));
    }
    Position at = c.pos;
    g.enter();
    run(c, r->body.get());
    c.flow = Flow::Normal;
    c.pos = at;
    return take(f, r);
}

std::int64_t CallRoutine::evalInt(Ctx& c) {
    return invoke(c, [](Frame& f, Routine* r) { return f.n[r->resultIndex].i; });
}
double CallRoutine::evalFloat(Ctx& c) {
    return invoke(c, [](Frame& f, Routine* r) { return f.n[r->resultIndex].f; });
}
// A result taken out of the frame is counted again where it is stored.
std::string CallRoutine::evalStr(Ctx& c) {
    return invoke(c, [&c](Frame& f, Routine* r) {
        std::string out = std::move(f.s[r->resultIndex]);
        c.hold(-static_cast<std::int64_t>(out.size()));
        return out;
    });
}
AggPtr CallRoutine::evalAgg(Ctx& c) {
    return invoke(c, [&c](Frame& f, Routine* r) {
        AggPtr out = std::move(f.a[r->resultIndex]);
        c.release(out);
        return out;
    });
}
void CallRoutine::evalVoid(Ctx& c) {
    invoke(c, [](Frame&, Routine*) { return 0; });
}

// --- Statements ----------------------------------------------------------------

void AppendStr::exec(Ctx& c) {
    std::string v = value->evalStr(c);
    std::string& s = place->str(c);
    checkLength(s.size() + v.size());
    c.work(v.size());
    c.hold(static_cast<std::int64_t>(v.size()));
    s += v;
}

void CompoundAssign::exec(Ctx& c) {
    if (isFloat) {
        double v = value->evalFloat(c);
        Cell& x = place->cell(c);
        switch (op) {
        case Op::Add:
            x.f += v;
            break;
        case Op::Sub:
            x.f -= v;
            break;
        case Op::Mul:
            x.f *= v;
            break;
        default:
            if (v == 0)
                fail("деление на ноль"_cp);
            x.f /= v;
            break;
        }
        return;
    }
    std::int64_t v = value->evalInt(c);
    Cell& x = place->cell(c);
    switch (op) {
    case Op::Add:
        x.i = wrapAdd(x.i, v);
        break;
    case Op::Sub:
        x.i = wrapSub(x.i, v);
        break;
    case Op::Mul:
        x.i = wrapMul(x.i, v);
        break;
    case Op::Or:
        x.i |= v;
        break;
    case Op::AndNot:
        x.i &= ~v;
        break;
    default:
        x.i &= v;
        break;
    }
}

void AssignStrChar::exec(Ctx& c) {
    std::string v = value->evalStr(c);
    std::int64_t i = index->evalInt(c);
    std::string& s = place->str(c);
    if (v.size() != 1)
        fail("в позицию строки можно записать только один символ"_cp);
    if (i < 1 || static_cast<std::uint64_t>(i) > s.size())
        fail(std::string("индекс вне границ строки: "_cp) + std::to_string(i));
    s[static_cast<std::size_t>(i - 1)] = v[0];
}

// After a loop body: Break and Continue are used up here, Exit goes on out.
static inline bool loopEnds(Ctx& c) {
    switch (c.flow) {
    case Flow::Normal:
        return false;
    case Flow::Continue:
        c.flow = Flow::Normal;
        return false;
    case Flow::Break:
        c.flow = Flow::Normal;
        return true;
    default:
        return true;
    }
}

void ForInStmt::exec(Ctx& c) {
    switch (over) {
    case Over::Set: {
        std::uint64_t bits = static_cast<std::uint64_t>(collection->evalInt(c));
        for (std::int64_t v = 0; v <= kMaxSetValue; ++v) {
            if (!((bits >> v) & 1))
                continue;
            var->cell(c).i = v;
            c.step();
            run(c, body.get());
            if (loopEnds(c))
                return;
        }
        return;
    }
    case Over::String: {
        std::string s = collection->evalStr(c);
        for (char ch : s) {
            std::string& to = var->str(c);
            std::size_t before = to.size();
            to.assign(1, ch);
            c.holdStr(to, before);
            c.step();
            run(c, body.get());
            if (loopEnds(c))
                return;
        }
        return;
    }
    case Over::Array: {
        AggPtr a = collection->evalAgg(c); // kept alive while the body runs
        // The body may resize the array: its length is read on each turn.
        for (std::size_t i = 0; a && i < a->length(); ++i) {
            switch (a->elem) {
            case Storage::Number:
                var->cell(c) = a->n[i];
                break;
            case Storage::Str: {
                std::string& to = var->str(c);
                std::size_t before = to.size();
                to = a->s[i];
                c.work(to.size());
                c.holdStr(to, before);
                break;
            }
            case Storage::Agg: {
                AggPtr v = cloneAgg(a->a[i]);
                if (v && v->byValue)
                    c.hold(aggBytes(v.get()));
                AggPtr& to = var->agg(c);
                c.release(to);
                to = std::move(v);
                break;
            }
            }
            c.step();
            run(c, body.get());
            if (loopEnds(c))
                return;
        }
        return;
    }
    }
}

void WhileStmt::exec(Ctx& c) {
    while (cond->evalInt(c) != 0) {
        c.step();
        run(c, body.get());
        if (loopEnds(c))
            return;
    }
}

void RepeatStmt::exec(Ctx& c) {
    for (;;) {
        c.step();
        body.exec(c);
        if (loopEnds(c))
            return;
        c.pos = pos;
        if (cond->evalInt(c) != 0)
            return;
    }
}

void ForStmt::exec(Ctx& c) {
    std::int64_t a = from->evalInt(c);
    std::int64_t b = to->evalInt(c);
    if (down ? a < b : a > b)
        return;
    Cell* frame = c.display[level].n;
    for (std::int64_t i = a;; down ? --i : ++i) {
        frame[index].i = i; // the frame of this level stays put while the loop runs
        c.step();
        run(c, body.get());
        if (loopEnds(c))
            return;
        if (i == b)
            return;
    }
}

void CaseStmt::exec(Ctx& c) {
    if (isString) {
        std::string v = selector->evalStr(c);
        for (auto& br : branches)
            for (auto& [lo, hi] : br.strs)
                if (lo <= v && v <= hi) {
                    run(c, br.body.get());
                    return;
                }
    } else {
        std::int64_t v = selector->evalInt(c);
        for (auto& br : branches)
            for (auto& [lo, hi] : br.ints)
                if (lo <= v && v <= hi) {
                    run(c, br.body.get());
                    return;
                }
    }
    if (otherwise)
        run(c, otherwise.get());
}

void TryExcept::exec(Ctx& c) {
    std::string message;
    try {
        body.exec(c);
        return;
    } catch (const ScriptError& e) {
        message = e.what();
    }
    // Anything the failed body left open is closed by the frame guards; only
    // the flow of this frame may still say Exit or Break from before: reset it.
    c.flow = Flow::Normal;
    std::string outer = std::move(c.raised);
    c.raised = message;
    if (messageLevel >= 0)
        c.display[messageLevel].a[messageIndex]->s[0] = message;
    struct Restore {
        Ctx& c;
        std::string outer;
        ~Restore() { c.raised = std::move(outer); }
    } restore{c, std::move(outer)};
    if (handler)
        run(c, handler.get());
}

void TryFinally::exec(Ctx& c) {
    try {
        body.exec(c);
    } catch (const ScriptError&) {
        Flow f = c.flow;
        c.flow = Flow::Normal;
        final.exec(c);
        if (c.flow == Flow::Normal)
            c.flow = f;
        throw;
    }
    // Break, Continue or Exit from the body waits while the finally part runs.
    Flow f = c.flow;
    c.flow = Flow::Normal;
    final.exec(c);
    if (c.flow == Flow::Normal)
        c.flow = f;
}

void RaiseStmt::exec(Ctx& c) {
    if (message)
        fail(message->evalStr(c));
    fail(c.raised);
}

} // namespace pascal
