// The engine's front: unit registration, compiling, and running a program
// with its messages.
#include "pascal/Engine.h"

#include "pascal/Compiler.h"
#include "pascal/Cp1251.h"
#include "pascal/Host.h"

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace pascal {

namespace {
bool isIdentifier(std::string_view s) {
    if (s.empty())
        return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    return true;
}

std::string place(Position at) {
    return std::string(" [строка "_cp) + std::to_string(at.line) + std::string(", столбец "_cp) +
           std::to_string(at.column) + "]";
}
} // namespace

Engine::Engine() : state_(std::make_shared<EngineState>()) {}
Engine::~Engine() = default;

void Engine::registerUnit(const std::string& unitName, std::vector<HostFunction> functions) {
    if (!isIdentifier(unitName))
        throw std::invalid_argument("bad unit name: " + unitName);
    std::string unitUp = asciiUpper(unitName);
    for (const std::string& u : state_->units)
        if (u == unitUp)
            throw std::invalid_argument("unit already registered: " + unitName);
    // Check the whole unit first, so a bad unit leaves the engine unchanged.
    std::vector<std::string> names;
    for (const HostFunction& f : functions) {
        if (!isIdentifier(f.name))
            throw std::invalid_argument("bad function name: " + f.name);
        std::string up = asciiUpper(f.name);
        if (state_->byName.count(up))
            throw std::invalid_argument("function already registered: " + f.name);
        for (const std::string& n : names)
            if (n == up)
                throw std::invalid_argument("function registered twice: " + f.name);
        names.push_back(up);
        if (!f.callback)
            throw std::invalid_argument("function without a callback: " + f.name);
        for (std::size_t i = 0; i < f.params.size(); ++i) {
            if (!isIdentifier(f.params[i].name))
                throw std::invalid_argument("bad parameter name in " + f.name);
            for (std::size_t j = 0; j < i; ++j)
                if (asciiUpper(f.params[i].name) == asciiUpper(f.params[j].name))
                    throw std::invalid_argument("parameter named twice in " + f.name);
        }
    }
    state_->units.push_back(unitUp);
    for (std::size_t i = 0; i < functions.size(); ++i) {
        auto e = std::make_unique<HostEntry>();
        e->unit = unitName;
        e->upper = names[i];
        e->fn = std::move(functions[i]);
        state_->byName.emplace(e->upper, e.get());
        state_->functions.push_back(std::move(e));
    }
}

std::unique_ptr<Program> Engine::compile(std::string_view text) const {
    CompileOutput out = Compiler(text, state_).run();
    std::unique_ptr<Program> p(new Program());
    p->code_ = std::move(out.code);
    p->messages_ = std::move(out.messages);
    return p;
}

Program::Program() = default;
Program::~Program() = default;

bool Program::hasErrors() const {
    for (const Message& m : messages_)
        if (m.kind == Message::Kind::CompileError)
            return true;
    return false;
}

std::string Program::messagesText() const {
    std::string out;
    for (const Message& m : messages_) {
        out += m.text;
        out += "\r\n";
    }
    return out;
}

RunStatus Program::run(const RunOptions& options) {
    if (hasErrors()) {
        messages_.push_back(Message{Message::Kind::Refusal,
                                    std::string("Программа не запущена: есть ошибки компиляции"_cp),
                                    0, 0});
        return RunStatus::NotRun;
    }
    // Keep the code alive even if the program object is replaced meanwhile.
    std::shared_ptr<CompiledCode> code = code_;
    auto ctx = std::make_unique<Ctx>();
    Ctx& c = *ctx;
    // Runs nested through host callbacks (a countdown tick inside a dialog)
    // share one native stack, so they share one stack budget: it is measured
    // from the start of the outermost run on this thread.
    thread_local std::uintptr_t outermostBase = 0;
    char base = 0;
    const bool outermost = outermostBase == 0;
    if (outermost)
        outermostBase = reinterpret_cast<std::uintptr_t>(&base);
    struct OutermostGuard {
        bool active;
        ~OutermostGuard() {
            if (active)
                outermostBase = 0;
        }
    } guard{outermost};
    c.stackBase = outermostBase;
    c.options = &options;
    if (options.stepBudget > 0) {
        c.hasBudget = true;
        c.budgetLeft = options.stepBudget;
        if (c.budgetLeft < static_cast<std::uint64_t>(c.untilCheck))
            c.untilCheck = static_cast<std::int64_t>(c.budgetLeft);
    }
    c.rng.seed(options.randomSeed
                   ? *options.randomSeed
                   : static_cast<std::uint64_t>(
                         std::chrono::steady_clock::now().time_since_epoch().count()));

    auto runtimeError = [&](const std::string& text) {
        messages_.push_back(Message{Message::Kind::RuntimeError,
                                    std::string("Ошибка выполнения: "_cp) + text + place(c.pos),
                                    c.pos.line, c.pos.column});
    };
    try {
        Routine& main = code->main;
        Frame f;
        f.n = c.nStack.push(static_cast<std::size_t>(main.counts[0]));
        if (f.n)
            std::memset(static_cast<void*>(f.n), 0,
                        sizeof(Cell) * static_cast<std::size_t>(main.counts[0]));
        f.s = c.sStack.push(static_cast<std::size_t>(main.counts[1]));
        f.a = c.aStack.push(static_cast<std::size_t>(main.counts[2]));
        f.r = c.rStack.push(static_cast<std::size_t>(main.counts[3]));
        for (const auto& [k, t] : main.aggLocals) {
            f.a[k] = makeAgg(t);
            c.hold(aggBytes(f.a[k].get()));
        }
        c.display[0] = f;
        pascal::run(c, main.body.get());
    } catch (const ScriptError& e) {
        runtimeError(e.what());
        return RunStatus::Failed;
    } catch (const StopRun& s) {
        runtimeError(s.budget ? std::string("исчерпан лимит шагов выполнения"_cp)
                              : std::string("выполнение остановлено"_cp));
        return RunStatus::Stopped;
    } catch (const std::bad_alloc&) {
        runtimeError(std::string("недостаточно памяти"_cp));
        return RunStatus::Failed;
    } catch (const std::exception& e) {
        runtimeError(std::string("внутренняя ошибка: "_cp) + e.what());
        return RunStatus::Failed;
    }
    return RunStatus::Completed;
}

} // namespace pascal
