// The compiler: one pass over the tokens that parses, resolves every name to
// a slot or a routine, checks every type, and builds the executable nodes.
// After a syntax error it skips to the next statement and goes on, so one
// compile reports the errors of several statements.
#pragma once

#include "pascal/Engine.h"
#include "pascal/Host.h"
#include "pascal/Lexer.h"
#include "pascal/Nodes.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace pascal {

// Deepest nesting of blocks, statements and parentheses the parser follows;
// beyond it the compile stops with an error instead of overflowing the
// native stack. Real scripts stay far below.
inline constexpr int kMaxNesting = 200;
// Deepest expression tree (a long chain of operators nests without any
// parentheses); evaluation recurses this deep.
inline constexpr int kMaxExprDepth = 1000;
// A compile stops after this many errors: the rest would be noise.
inline constexpr int kMaxErrors = 30;

// A program ready to run.
struct CompiledCode {
    NodeArena arena; // first, so that it outlives every node below
    std::vector<std::unique_ptr<TypeInfo>> types;
    std::vector<std::unique_ptr<Routine>> routines;
    Routine main; // the top-level statements; level 0, its frame holds the globals
    std::shared_ptr<const EngineState> engine; // the host functions the nodes call
};

struct CompileOutput {
    std::shared_ptr<CompiledCode> code;
    std::vector<Message> messages;
};

CompileOutput compileProgram(std::string_view text, std::shared_ptr<const EngineState> engine);

// An expression being compiled: the node, and whether it is a constant
// (then the node is a literal).
struct X {
    ExprPtr e;
    bool constant = false;
    int depth = 1;
    const TypeInfo* type() const { return e->type; }
};

// A name in scope.
struct Symbol {
    enum class K { Var, Const, TypeName, Routine, Host };
    Symbol() = default;
    explicit Symbol(K kind) : k(kind) {}
    K k = K::Var;
    const TypeInfo* type = nullptr;
    int level = 0, index = 0;
    bool byRef = false, readOnly = false;
    std::int64_t ival = 0;
    double fval = 0;
    std::string sval;
    Routine* routine = nullptr;
    const HostEntry* host = nullptr;
};

struct Scope {
    std::unordered_map<std::string, Symbol> names; // upper-cased
    int level = 0;
    Routine* routine = nullptr;
};

// What a standard-library call needs from the compiler.
struct BuiltinSite {
    std::string name; // as written
    Position pos;
    std::vector<X> args;
    std::function<void(const std::string&)> error; // reports at pos
    bool pure = false; // set by the builtin: constant arguments give a constant
};

bool isBuiltin(const std::string& upper);
// Builds the call, or reports an error and returns nullptr.
ExprPtr buildBuiltin(const std::string& upper, BuiltinSite& site);
// Statement-only builtins that are not calls of a value (Exit, Break, ...)
// are handled by the compiler itself.

class Compiler {
public:
    Compiler(std::string_view text, std::shared_ptr<const EngineState> engine);
    CompileOutput run();

private:
    struct ParseError {};  // unwinds to the statement being parsed
    struct CompileStop {}; // too many errors, or nesting too deep

    // Points new nodes at the program's arena while this compiler lives.
    struct ArenaScope {
        NodeArena* saved;
        explicit ArenaScope(NodeArena* a) : saved(currentArena()) { currentArena() = a; }
        ~ArenaScope() { currentArena() = saved; }
        ArenaScope(const ArenaScope&) = delete;
        ArenaScope& operator=(const ArenaScope&) = delete;
    };

    Lexer lexer_;
    Token cur_;   // the current token
    Token ahead_; // the one after it, once peeked
    bool haveAhead_ = false;
    std::size_t p_ = 0; // tokens consumed so far: tells whether recovery moved on
    std::shared_ptr<CompiledCode> code_;
    ArenaScope arenaScope_;
    std::shared_ptr<const EngineState> engine_;
    std::vector<Message> messages_;
    int errors_ = 0;
    std::vector<Scope> scopes_;
    int nesting_ = 0;
    int loops_ = 0;   // enclosing loops of the statement being parsed
    int excepts_ = 0; // enclosing except parts, for a bare raise
    // Set while the argument of Low or High starts: a type name may stand
    // there for its range (the first name read takes it).
    bool typeArgument_ = false;
    const TypeInfo* exceptionType_ = nullptr;
    std::unique_ptr<Ctx> scratch_; // evaluates constant expressions

    // tokens
    const Token& tok() const { return cur_; }
    const Token& peekTok() {
        if (!haveAhead_) {
            ahead_ = lexer_.next();
            haveAhead_ = true;
        }
        return ahead_;
    }
    void advance() {
        if (cur_.kind == Tok::End)
            return;
        ++p_;
        if (haveAhead_) {
            cur_ = std::move(ahead_);
            haveAhead_ = false;
        } else {
            cur_ = lexer_.next();
        }
    }
    bool at(Tok k) const { return tok().kind == k; }
    bool accept(Tok k);
    void expect(Tok k);
    std::string expectIdent();
    Position here() const { return {tok().line, tok().column}; }
    bool atIdent(std::string_view upper) const;

    // messages
    void error(Position at, const std::string& text);
    void record(Position at, const std::string& text); // counts errors, stops at kMaxErrors
    void syntaxError(const std::string& expected);
    [[noreturn]] void syntaxFail(const std::string& expected);
    void skipToStatementEnd();
    struct Nest {
        Compiler& c;
        explicit Nest(Compiler& comp);
        ~Nest() { --c.nesting_; }
    };

    // scopes and slots
    Scope& scope() { return scopes_.back(); }
    Routine* routine() { return scope().routine; }
    const Symbol* lookup(const std::string& upper) const;
    void declare(Position at, const std::string& name, Symbol sym);
    int allocSlot(Storage s);
    Symbol newVar(const TypeInfo* t);

    // declarations (CompileDecl.cpp)
    void parseProgram();
    bool parseDeclaration(Block& into); // false if no declaration starts here
    void parseVarSection(Block& into);
    void parseVarItem(Block& into, bool mayInfer, bool inBlock);
    void parseConstSection(Block& into);
    void parseConstArray(Block& into, const std::string& name, Position at, const TypeInfo* t);
    void parseTypeSection();
    void parseRoutine(bool isFunction);
    std::vector<Routine::Param> parseParams();
    const TypeInfo* parseProcType(bool isFunction);
    const TypeInfo* parseType();
    // "a, b, c :" of a variable section or a record: the names with their places.
    std::vector<std::pair<std::string, Position>> parseNameList();
    const TypeInfo* parseArrayType(Position at);
    const TypeInfo* parseRecordType();
    const TypeInfo* parseEnumType();
    const TypeInfo* parseSetType(Position at);
    const TypeInfo* setTypeOf(const TypeInfo* elem, std::int64_t lo, std::int64_t hi);
    TypeInfo* newType();
    void checkForwards();

    // statements (CompileStmt.cpp)
    StmtPtr parseStatement();
    void parseStatementList(Block& into, std::initializer_list<Tok> enders);
    StmtPtr parseCompound();
    StmtPtr parseIf();
    StmtPtr parseWhile();
    StmtPtr parseRepeat();
    StmtPtr parseFor();
    StmtPtr parseForIn(Position pos, const std::string& name, Position vat, bool declared,
                       const TypeInfo* declaredType);
    struct InnerScope;
    StmtPtr parseCase();
    StmtPtr parseTry();
    StmtPtr parseRaise();
    StmtPtr parseSimpleStatement();
    StmtPtr makeAssign(Position at, X place, X value, Position valuePos = {});
    StmtPtr makeCompoundAssign(Position at, X target);
    void collectCaseLabels(CaseStmt::Branch& br, const TypeInfo* selType);

public:
    // expressions (CompileExpr.cpp)
    X parseExpr();
    X coerce(X x, const TypeInfo* to, Position at);
    X fold(X x, Position at);

private:
    X parseSimple();
    X parseTerm();
    X parseFactor();
    X parseDesignator();
    X parseSelectors(X base);
    X parseSetLiteral(Position at);
    X parseArrayLiteral(X first);
    X toOpenArray(X& x, const TypeInfo* to, Position at);
    X setBinary(Tok op, X l, X r, Position at);
    X parseCallOf(const Symbol& sym, const std::string& name, Position at);
    X callThrough(X variable, const std::string& name, Position at);
    X routineValue(const TypeInfo* procType, Position at);
    std::vector<X> parseArgs(bool allowArgList);
    X binary(Tok op, X l, X r, Position at);
    X errorX();
    bool routineInScope(Routine* r) const;
};

std::string typeName(const TypeInfo* t);

} // namespace pascal
