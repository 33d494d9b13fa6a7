// The executable form of a program: a tree of typed nodes whose names are all
// resolved to slots at compile time. Each expression node evaluates to one
// native type through the matching virtual (evalInt for Integer and Boolean,
// evalFloat, evalStr, evalAgg), so no value is tagged or looked up at run time.
#pragma once

#include "pascal/Runtime.h"
#include "pascal/Types.h"

#include <memory>
#include <string>
#include <vector>

namespace pascal {

// --- Node memory --------------------------------------------------------------

// The nodes of one program come from one arena that the program owns, so a
// compile makes no malloc call per node and a program is freed in one go.
class NodeArena {
public:
    NodeArena() = default;
    ~NodeArena();
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;
    void* allocate(std::size_t size);

private:
    static constexpr std::size_t kBlock = 64 * 1024;
    std::vector<std::unique_ptr<std::byte[]>> blocks_; // kBlock bytes each
    std::vector<std::unique_ptr<std::byte[]>> big_;    // one big node each
    std::size_t used_ = kBlock;                        // bytes used of the last block
};

// The arena that new nodes go into: set while a program compiles.
NodeArena*& currentArena();

struct NodeMemory {
    static void* operator new(std::size_t size);
    static void operator delete(void* p);
};

struct Expr;
struct Stmt;
using ExprPtr = std::unique_ptr<Expr>;
using StmtPtr = std::unique_ptr<Stmt>;

// --- Expressions ---------------------------------------------------------------

struct Expr : NodeMemory {
    const TypeInfo* type = errorType();
    virtual ~Expr() = default;

    virtual std::int64_t evalInt(Ctx&);
    virtual double evalFloat(Ctx&);
    virtual std::string evalStr(Ctx&);
    virtual AggPtr evalAgg(Ctx&);
    // For procedure calls and for expressions whose value is dropped.
    virtual void evalVoid(Ctx& c);

    // Places (variables, elements, fields). Only nodes with isPlace() answer.
    virtual bool isPlace() const { return false; }
    virtual Cell& cell(Ctx&);
    virtual std::string& str(Ctx&);
    virtual AggPtr& agg(Ctx&);
    virtual Ref ref(Ctx&);

    bool evalBool(Ctx& c) { return evalInt(c) != 0; }
    // A string whose storage stays put while it is read (a variable, a
    // literal), so that it need not be copied; null for any other node.
    virtual const std::string* stableStr(Ctx&) { return nullptr; }

    // A const parameter or a for-loop variable: readable, not assignable.
    bool readOnly = false;
};

// A string operand without copying it when it is a plain variable or a
// literal, whose storage never moves; `tmp` holds the value otherwise.
inline const std::string& strRef(Ctx& c, Expr* e, std::string& tmp);

struct ConstInt final : Expr {
    std::int64_t v;
    ConstInt(std::int64_t value, const TypeInfo* t) : v(value) { type = t; }
    std::int64_t evalInt(Ctx&) override { return v; }
};
struct ConstFloat final : Expr {
    double v;
    explicit ConstFloat(double value) : v(value) { type = floatType(); }
    double evalFloat(Ctx&) override { return v; }
};
struct ConstStr final : Expr {
    std::string v;
    explicit ConstStr(std::string value) : v(std::move(value)) { type = strType(); }
    std::string evalStr(Ctx&) override { return v; }
    const std::string* stableStr(Ctx&) override { return &v; }
};

// A variable of a frame: level picks the frame in the display, index the slot.
struct VarNum final : Expr {
    int level, index;
    VarNum(const TypeInfo* t, int l, int i) : level(l), index(i) { type = t; }
    bool isPlace() const override { return true; }
    Cell& cell(Ctx& c) override { return c.display[level].n[index]; }
    std::int64_t evalInt(Ctx& c) override { return c.display[level].n[index].i; }
    double evalFloat(Ctx& c) override { return c.display[level].n[index].f; }
    Ref ref(Ctx& c) override { return Ref{&cell(c), nullptr, 0}; }
};
struct VarStr final : Expr {
    int level, index;
    VarStr(int l, int i) : level(l), index(i) { type = strType(); }
    bool isPlace() const override { return true; }
    std::string& str(Ctx& c) override { return c.display[level].s[index]; }
    std::string evalStr(Ctx& c) override { return c.display[level].s[index]; }
    const std::string* stableStr(Ctx& c) override { return &c.display[level].s[index]; }
    Ref ref(Ctx& c) override { return Ref{&str(c), nullptr, 0}; }
};
struct VarAgg final : Expr {
    int level, index;
    VarAgg(const TypeInfo* t, int l, int i) : level(l), index(i) { type = t; }
    bool isPlace() const override { return true; }
    AggPtr& agg(Ctx& c) override { return c.display[level].a[index]; }
    AggPtr evalAgg(Ctx& c) override { return c.display[level].a[index]; }
    Ref ref(Ctx& c) override { return Ref{&agg(c), nullptr, 0}; }
};
inline const std::string& strRef(Ctx& c, Expr* e, std::string& tmp) {
    if (const std::string* s = e->stableStr(c))
        return *s;
    tmp = e->evalStr(c);
    return tmp;
}

// A var parameter: the frame slot holds a Ref to the caller's place.
struct VarRef final : Expr {
    int level, index;
    VarRef(const TypeInfo* t, int l, int i) : level(l), index(i) { type = t; }
    bool isPlace() const override { return true; }
    const Ref& r(Ctx& c) { return c.display[level].r[index]; }
    Cell& cell(Ctx& c) override { return r(c).cell(); }
    std::string& str(Ctx& c) override { return r(c).str(); }
    AggPtr& agg(Ctx& c) override { return r(c).agg(); }
    std::int64_t evalInt(Ctx& c) override { return cell(c).i; }
    double evalFloat(Ctx& c) override { return cell(c).f; }
    std::string evalStr(Ctx& c) override { return str(c); }
    AggPtr evalAgg(Ctx& c) override { return agg(c); }
    Ref ref(Ctx& c) override { return r(c); }
};

// a[i] of an array (static or dynamic).
struct IndexArr final : Expr {
    ExprPtr base, index;
    IndexArr(const TypeInfo* t, ExprPtr b, ExprPtr i) : base(std::move(b)), index(std::move(i)) {
        type = t;
    }
    bool isPlace() const override { return base->isPlace(); }
    // The aggregate and the element's slot number, checked.
    std::size_t locate(Ctx& c, Agg*& out, AggPtr& keep);
    std::int64_t evalInt(Ctx& c) override;
    double evalFloat(Ctx& c) override;
    std::string evalStr(Ctx& c) override;
    AggPtr evalAgg(Ctx& c) override;
    Cell& cell(Ctx& c) override;
    std::string& str(Ctx& c) override;
    AggPtr& agg(Ctx& c) override;
    Ref ref(Ctx& c) override;
};

// r.f of a record.
struct FieldOf final : Expr {
    ExprPtr base;
    int index;
    FieldOf(const TypeInfo* t, ExprPtr b, int i) : base(std::move(b)), index(i) { type = t; }
    bool isPlace() const override { return base->isPlace(); }
    Agg& record(Ctx& c, AggPtr& keep);
    std::int64_t evalInt(Ctx& c) override;
    double evalFloat(Ctx& c) override;
    std::string evalStr(Ctx& c) override;
    AggPtr evalAgg(Ctx& c) override;
    Cell& cell(Ctx& c) override;
    std::string& str(Ctx& c) override;
    AggPtr& agg(Ctx& c) override;
    Ref ref(Ctx& c) override;
};

// s[i] of a string: a one-character string.
struct IndexStr final : Expr {
    ExprPtr base, index;
    IndexStr(ExprPtr b, ExprPtr i) : base(std::move(b)), index(std::move(i)) { type = strType(); }
    std::string evalStr(Ctx& c) override;
};

// [a, b..c] as a set: each value checked to lie within the set's range.
struct SetLiteral final : Expr {
    std::vector<std::pair<ExprPtr, ExprPtr>> items; // second is null for one value
    bool singlesOnly = true;                        // no ranges: it may stand for an array instead
    explicit SetLiteral(const TypeInfo* t) { type = t; }
    std::int64_t evalInt(Ctx& c) override;
};

// [a, b, c] as a dynamic array (an open array argument, an assignment).
struct ArrayLiteral final : Expr {
    std::vector<ExprPtr> items;
    explicit ArrayLiteral(const TypeInfo* t) { type = t; }
    AggPtr evalAgg(Ctx& c) override;
};

// A static array given where an open array (array of T) is taken: a copy
// indexed from 0.
struct StaticToOpen final : Expr {
    ExprPtr e;
    StaticToOpen(const TypeInfo* t, ExprPtr x) : e(std::move(x)) { type = t; }
    AggPtr evalAgg(Ctx& c) override;
};

// [a, b, c] as the argument of Format.
struct ArgListExpr final : Expr {
    std::vector<ExprPtr> items;
    ArgListExpr() { type = argListType(); }
};

struct IntToFloat final : Expr {
    ExprPtr e;
    explicit IntToFloat(ExprPtr x) : e(std::move(x)) { type = floatType(); }
    double evalFloat(Ctx& c) override { return static_cast<double>(e->evalInt(c)); }
};

// Integer arithmetic wraps around at 64 bits, as two's complement.
[[noreturn]] void divisionByZero();

inline std::int64_t wrapAdd(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
inline std::int64_t wrapSub(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}
inline std::int64_t wrapMul(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b));
}

enum class Op : std::uint8_t {
    Add,
    Sub,
    Mul,
    Div,
    IntDiv,
    Mod,
    And,
    Or,
    Xor,
    Shl,
    Shr,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    AndNot, // set difference
    Subset, // a <= b of sets
    In      // a in b: bit a of b
};

// The comparison operators, for integers and floats alike.
template <Op op, typename T> inline bool compareOp(T a, T b) {
    if constexpr (op == Op::Eq)
        return a == b;
    else if constexpr (op == Op::Ne)
        return a != b;
    else if constexpr (op == Op::Lt)
        return a < b;
    else if constexpr (op == Op::Le)
        return a <= b;
    else if constexpr (op == Op::Gt)
        return a > b;
    else
        return a >= b;
}

// Integer (and Boolean) operators; division by zero is a run-time error.
template <Op op> inline std::int64_t intOp(std::int64_t a, std::int64_t b) {
    if constexpr (op == Op::Add)
        return wrapAdd(a, b);
    else if constexpr (op == Op::Sub)
        return wrapSub(a, b);
    else if constexpr (op == Op::Mul)
        return wrapMul(a, b);
    else if constexpr (op == Op::IntDiv || op == Op::Mod) {
        if (b == 0)
            divisionByZero();
        if (b == -1) // the one quotient that overflows: wrap it, as the others do
            return op == Op::IntDiv ? wrapSub(0, a) : 0;
        return op == Op::IntDiv ? a / b : a % b;
    } else if constexpr (op == Op::And)
        return a & b;
    else if constexpr (op == Op::Or)
        return a | b;
    else if constexpr (op == Op::Xor)
        return a ^ b;
    else if constexpr (op == Op::Shl)
        return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) << (b & 63));
    else if constexpr (op == Op::Shr)
        return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) >> (b & 63));
    else if constexpr (op == Op::AndNot)
        return a & ~b;
    else if constexpr (op == Op::Subset)
        return (a & ~b) == 0;
    else if constexpr (op == Op::In)
        return a >= 0 && a <= kMaxSetValue && ((static_cast<std::uint64_t>(b) >> a) & 1) != 0;
    else
        return compareOp<op>(a, b);
}

// How an operand of an integer operator is read: through its node, or, for
// the common cases of a variable or a literal, straight from the frame or
// the node, saving a virtual call per operand.
enum class Operand : std::uint8_t { Any, Var, Const };

template <Op op, Operand L = Operand::Any, Operand R = Operand::Any> struct IntBin final : Expr {
    ExprPtr l, r;
    int lLevel = 0, lIndex = 0, rLevel = 0, rIndex = 0;
    std::int64_t lValue = 0, rValue = 0;
    IntBin(const TypeInfo* t, ExprPtr a, ExprPtr b) : l(std::move(a)), r(std::move(b)) {
        type = t;
        if constexpr (L == Operand::Var) {
            lLevel = static_cast<VarNum*>(l.get())->level;
            lIndex = static_cast<VarNum*>(l.get())->index;
        } else if constexpr (L == Operand::Const) {
            lValue = static_cast<ConstInt*>(l.get())->v;
        }
        if constexpr (R == Operand::Var) {
            rLevel = static_cast<VarNum*>(r.get())->level;
            rIndex = static_cast<VarNum*>(r.get())->index;
        } else if constexpr (R == Operand::Const) {
            rValue = static_cast<ConstInt*>(r.get())->v;
        }
    }
    std::int64_t evalInt(Ctx& c) override {
        std::int64_t a, b;
        if constexpr (L == Operand::Var)
            a = c.display[lLevel].n[lIndex].i;
        else if constexpr (L == Operand::Const)
            a = lValue;
        else
            a = l->evalInt(c);
        if constexpr (R == Operand::Var)
            b = c.display[rLevel].n[rIndex].i;
        else if constexpr (R == Operand::Const)
            b = rValue;
        else
            b = r->evalInt(c);
        return intOp<op>(a, b);
    }
};

// The integer operator node that fits the operands.
ExprPtr makeIntBin(Op op, const TypeInfo* t, ExprPtr l, ExprPtr r);

template <Op op> struct FloatBin final : Expr {
    ExprPtr l, r;
    FloatBin(ExprPtr a, ExprPtr b) : l(std::move(a)), r(std::move(b)) { type = floatType(); }
    double evalFloat(Ctx& c) override;
};
template <Op op> struct FloatCmp final : Expr {
    ExprPtr l, r;
    FloatCmp(ExprPtr a, ExprPtr b) : l(std::move(a)), r(std::move(b)) { type = boolType(); }
    std::int64_t evalInt(Ctx& c) override;
};
template <Op op> struct StrCmp final : Expr {
    ExprPtr l, r;
    StrCmp(ExprPtr a, ExprPtr b) : l(std::move(a)), r(std::move(b)) { type = boolType(); }
    std::int64_t evalInt(Ctx& c) override;
};
struct Concat final : Expr {
    ExprPtr l, r;
    Concat(ExprPtr a, ExprPtr b) : l(std::move(a)), r(std::move(b)) { type = strType(); }
    std::string evalStr(Ctx& c) override;
};
// and / or on Booleans, short-circuit.
struct AndThen final : Expr {
    ExprPtr l, r;
    AndThen(ExprPtr a, ExprPtr b) : l(std::move(a)), r(std::move(b)) { type = boolType(); }
    std::int64_t evalInt(Ctx& c) override { return l->evalInt(c) != 0 && r->evalInt(c) != 0; }
};
struct OrElse final : Expr {
    ExprPtr l, r;
    OrElse(ExprPtr a, ExprPtr b) : l(std::move(a)), r(std::move(b)) { type = boolType(); }
    std::int64_t evalInt(Ctx& c) override { return l->evalInt(c) != 0 || r->evalInt(c) != 0; }
};
struct NegInt final : Expr {
    ExprPtr e;
    explicit NegInt(ExprPtr x) : e(std::move(x)) { type = intType(); }
    std::int64_t evalInt(Ctx& c) override { return wrapSub(0, e->evalInt(c)); }
};
struct NegFloat final : Expr {
    ExprPtr e;
    explicit NegFloat(ExprPtr x) : e(std::move(x)) { type = floatType(); }
    double evalFloat(Ctx& c) override { return -e->evalFloat(c); }
};
struct NotBool final : Expr {
    ExprPtr e;
    explicit NotBool(ExprPtr x) : e(std::move(x)) { type = boolType(); }
    std::int64_t evalInt(Ctx& c) override { return e->evalInt(c) == 0; }
};
struct NotInt final : Expr {
    ExprPtr e;
    explicit NotInt(ExprPtr x) : e(std::move(x)) { type = intType(); }
    std::int64_t evalInt(Ctx& c) override { return ~e->evalInt(c); }
};

// A routine declared by the script.
struct Routine {
    struct Param {
        std::string name;
        const TypeInfo* type;
        bool byRef;   // var parameter
        bool isConst; // const parameter: read-only in the body
        int index;    // slot in its storage kind (the Ref slots for var parameters)
    };
    std::string name;
    int level = 1;                // lexical level of the body's frame
    int counts[4] = {0, 0, 0, 0}; // slots: numbers, strings, aggregates, refs
    std::vector<Param> params;
    const TypeInfo* result = voidType(); // voidType() for a procedure
    int resultIndex = -1;                // the Result slot in its storage kind
    // Local static arrays and records, made afresh on each call.
    std::vector<std::pair<int, const TypeInfo*>> aggLocals;
    StmtPtr body;
    bool defined = false; // false while only declared forward
    // Numbers only: no string, aggregate or var slots, so a call needs only
    // one block of number cells (set once the body is compiled).
    bool numbersOnly = false;
    int declLine = 0, declColumn = 0;
};

// A call of a script routine, named or through a procedural variable.
struct CallRoutine final : Expr {
    Routine* routine; // null when called through a variable
    ExprPtr through;  // the variable, when called through one
    std::vector<ExprPtr> args;
    CallRoutine(Routine* r, std::vector<ExprPtr> a) : routine(r), args(std::move(a)) {
        type = r->result;
    }
    CallRoutine(const TypeInfo* result, ExprPtr variable, std::vector<ExprPtr> a)
        : routine(nullptr), through(std::move(variable)), args(std::move(a)) {
        type = result;
    }
    Routine* target(Ctx& c);
    // Runs the call; the result is left in the callee's frame, read by `take`.
    template <class Take> auto invoke(Ctx& c, Take take);
    std::int64_t evalInt(Ctx& c) override;
    double evalFloat(Ctx& c) override;
    std::string evalStr(Ctx& c) override;
    AggPtr evalAgg(Ctx& c) override;
    void evalVoid(Ctx& c) override;
};

// --- Statements ------------------------------------------------------------------

struct Stmt : NodeMemory {
    Position pos;
    virtual ~Stmt() = default;
    virtual void exec(Ctx&) = 0;
};

inline void run(Ctx& c, Stmt* s) {
    c.pos = s->pos;
    s->exec(c);
}

struct Block final : Stmt {
    std::vector<StmtPtr> list;
    void exec(Ctx& c) override {
        for (auto& s : list) {
            run(c, s.get());
            if (c.flow != Flow::Normal)
                return;
        }
    }
};
struct EmptyStmt final : Stmt {
    void exec(Ctx&) override {}
};
struct ExprStmt final : Stmt {
    ExprPtr e;
    explicit ExprStmt(ExprPtr x) : e(std::move(x)) {}
    void exec(Ctx& c) override { e->evalVoid(c); }
};
struct AssignInt final : Stmt {
    ExprPtr place, value;
    void exec(Ctx& c) override {
        std::int64_t v = value->evalInt(c);
        place->cell(c).i = v;
    }
};
// The common case of a plain variable, without the virtual call for the place.
struct AssignVarInt final : Stmt {
    int level, index;
    ExprPtr value;
    void exec(Ctx& c) override {
        std::int64_t v = value->evalInt(c);
        c.display[level].n[index].i = v;
    }
};
struct AssignFloat final : Stmt {
    ExprPtr place, value;
    void exec(Ctx& c) override {
        double v = value->evalFloat(c);
        place->cell(c).f = v;
    }
};
struct AssignStr final : Stmt {
    ExprPtr place, value;
    void exec(Ctx& c) override {
        std::string v = value->evalStr(c);
        c.work(v.size()); // copying a long string is work too
        std::string& to = place->str(c);
        c.holdStr(v, to.size());
        to = std::move(v);
    }
};
// s := s + x, done in place so that building a string in a loop is linear.
struct AppendStr final : Stmt {
    ExprPtr place, value;
    void exec(Ctx& c) override;
};
struct AssignAgg final : Stmt {
    ExprPtr place, value;
    bool copy; // static arrays and records are copied, dynamic arrays shared
    void exec(Ctx& c) override {
        AggPtr v = value->evalAgg(c);
        if (copy) {
            c.work(v ? 64 * v->length() : 0);
            v = cloneAgg(v);
            c.hold(aggBytes(v.get()));
        }
        AggPtr& to = place->agg(c);
        c.release(to);
        to = std::move(v);
    }
};
// x += v, x -= v, x *= v, x /= v on a number or a set, the place found once.
struct CompoundAssign final : Stmt {
    ExprPtr place, value;
    Op op = Op::Add; // Add, Sub, Mul, Div; Or, AndNot, And for sets
    bool isFloat = false;
    void exec(Ctx& c) override;
};
// s[i] := x
struct AssignStrChar final : Stmt {
    ExprPtr place, index, value;
    void exec(Ctx& c) override;
};
struct IfStmt final : Stmt {
    ExprPtr cond;
    StmtPtr then, otherwise;
    void exec(Ctx& c) override {
        if (cond->evalInt(c) != 0)
            run(c, then.get());
        else if (otherwise)
            run(c, otherwise.get());
    }
};
struct WhileStmt final : Stmt {
    ExprPtr cond;
    StmtPtr body;
    void exec(Ctx& c) override;
};
struct RepeatStmt final : Stmt {
    Block body;
    ExprPtr cond;
    void exec(Ctx& c) override;
};
struct ForStmt final : Stmt {
    int level = 0, index = 0; // the loop variable
    ExprPtr from, to;
    StmtPtr body;
    bool down = false;
    void exec(Ctx& c) override;
};
struct ForInStmt final : Stmt {
    enum class Over : std::uint8_t { Array, String, Set };
    Over over = Over::Array;
    ExprPtr collection; // read once, before the first turn
    ExprPtr var;        // the loop variable
    StmtPtr body;
    void exec(Ctx& c) override;
};
struct CaseStmt final : Stmt {
    struct Branch {
        std::vector<std::pair<std::int64_t, std::int64_t>> ints; // ranges
        std::vector<std::pair<std::string, std::string>> strs;   // ranges
        StmtPtr body;
    };
    ExprPtr selector;
    bool isString = false;
    std::vector<Branch> branches;
    StmtPtr otherwise;
    void exec(Ctx& c) override;
};
struct FlowStmt final : Stmt {
    Flow flow;
    explicit FlowStmt(Flow f) : flow(f) {}
    void exec(Ctx& c) override { c.flow = flow; }
};
struct TryExcept final : Stmt {
    Block body;
    StmtPtr handler;
    int messageLevel = -1, messageIndex = -1; // the "on E: Exception" record, if any
    void exec(Ctx& c) override;
};
struct TryFinally final : Stmt {
    Block body, final;
    void exec(Ctx& c) override;
};
struct RaiseStmt final : Stmt {
    ExprPtr message; // null: re-raise the exception being handled
    void exec(Ctx& c) override;
};

} // namespace pascal
