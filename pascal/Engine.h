// The host-facing interface of the Pascal-syntax script engine: register units
// of host functions, compile a script text into a program, run it, and read
// its messages. Everything here is cp1251 bytes in std::string.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pascal {

// The value types a host function can take and return.
enum class Type { Integer, Float, String, Boolean };

// One parameter of a host function; always passed by value.
struct HostParam {
    std::string name; // the name the callback reads it by (case-insensitive)
    Type type;        // the declared type; arguments are converted to it
};

class CallContext;

// One function of a host unit, as scripts see it.
struct HostFunction {
    std::string name;                           // script name (case-insensitive)
    std::vector<HostParam> params;              // in call order
    std::optional<Type> result;                 // nullopt: a procedure
    std::function<void(CallContext&)> callback; // runs on every call
};

// What a callback sees of one call: its arguments by declared name and the
// result slot, named "result". Reading or setting a name the function does not
// declare throws std::invalid_argument (a run-time error of the script).
class CallContext {
public:
    virtual ~CallContext() = default;

    // The argument converted to the asked type: an Integer reads as its
    // decimal text, a String as an integer only if it converts (else a
    // conversion error is thrown), and so on.
    virtual std::string getString(std::string_view name) const = 0;
    virtual std::int64_t getInteger(std::string_view name) const = 0;
    virtual double getFloat(std::string_view name) const = 0;
    virtual bool getBoolean(std::string_view name) const = 0;

    // Set the result (name "result"), converted to the declared result type.
    virtual void setString(std::string_view name, std::string value) = 0;
    virtual void setInteger(std::string_view name, std::int64_t value) = 0;
    virtual void setFloat(std::string_view name, double value) = 0;
    virtual void setBoolean(std::string_view name, bool value) = 0;

    // The line and column of the script call being served (1-based).
    virtual int line() const = 0;
    virtual int column() const = 0;
};

// How a run ended.
enum class RunStatus {
    Completed, // the script ran to its end (or Exit)
    Failed,    // a run-time error ended it; see the program's messages
    Stopped,   // the cancellation callback or the step budget ended it
    NotRun     // the program had compile errors and was not run
};

// One message of a program: a compile error or a run-time error.
struct Message {
    enum class Kind { CompileError, RuntimeError, Refusal };
    Kind kind;
    std::string text; // the full text, place included, without line break
    int line = 0;     // 1-based; 0 when the message has no place
    int column = 0;
};

// Options of one run.
struct RunOptions {
    // Consulted every few thousand steps (loop turns, calls, and bulk string
    // or array work counted in proportion), well under a millisecond of
    // script work; returning true stops the run with RunStatus::Stopped.
    // Time spent inside host callbacks is the host's own.
    std::function<bool()> cancelled;
    // Stop after this many steps (loop turns, calls, and bulk work counted in
    // proportion); 0 means no budget. Meant for fuzzing.
    std::uint64_t stepBudget = 0;
    // Receives the text of Print and PrintLn (PrintLn adds "\n"). Without
    // it the output is dropped.
    std::function<void(std::string_view)> output;
    // Seed of Random and RandomInt; nullopt seeds from the clock.
    std::optional<std::uint64_t> randomSeed;
};

class Program;
struct EngineState;

// The engine: the registered units and the compiler. One engine serves many
// programs; compiling and running are re-entrant, so a host callback may
// compile and run another program on the same engine while its own call waits.
class Engine {
public:
    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Register a unit of host functions. Throws std::invalid_argument when the
    // unit name or a function name is already taken, a name is not a valid
    // identifier, or a callback is empty.
    void registerUnit(const std::string& unitName, std::vector<HostFunction> functions);

    // Compile a script text (cp1251 bytes) into a new, independent program.
    // Never throws for any text; errors are the program's messages.
    std::unique_ptr<Program> compile(std::string_view text) const;

private:
    std::shared_ptr<EngineState> state_;
};

struct CompiledCode;

// A compiled script. It keeps what it needs of the engine, so it may outlive it.
class Program {
public:
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool hasErrors() const;

    // All messages so far (compile errors, a refusal to run, run-time
    // errors), each followed by CR LF.
    std::string messagesText() const;
    const std::vector<Message>& messages() const { return messages_; }

    // Run the program. A program with compile errors is not run: the refusal
    // is recorded among its messages and NotRun returned. A run-time error
    // ends the run and is recorded; nothing is thrown to the caller. A
    // program may be run again and even while it is already running.
    RunStatus run(const RunOptions& options = {});

private:
    friend class Engine;
    Program();
    std::shared_ptr<CompiledCode> code_;
    std::vector<Message> messages_;
};

} // namespace pascal
