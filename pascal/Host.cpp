// Calling host functions: arguments are evaluated to their declared types and
// read back by name through CallContext; what the callback throws becomes a
// run-time error of the script at the call.
#include "pascal/Host.h"

#include "pascal/Convert.h"
#include "pascal/Cp1251.h"

#include <cstring>

namespace pascal {

const TypeInfo* typeOf(Type t) {
    switch (t) {
    case Type::Integer:
        return intType();
    case Type::Float:
        return floatType();
    case Type::String:
        return strType();
    default:
        return boolType();
    }
}

namespace {

struct Arg {
    Cell n{0};
    std::string s;
};

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiUpper(a[i]) != asciiUpper(b[i]))
            return false;
    return true;
}

class Context final : public CallContext {
public:
    Context(const HostFunction& fn, std::vector<Arg>& args, Position at)
        : fn_(fn), args_(args), at_(at) {}

    std::string getString(std::string_view name) const override {
        std::size_t i = find(name);
        switch (fn_.params[i].type) {
        case Type::Integer:
            return std::to_string(args_[i].n.i);
        case Type::Float:
            return floatToStr(args_[i].n.f);
        case Type::Boolean:
            return args_[i].n.i ? "True" : "False";
        default:
            return args_[i].s;
        }
    }
    std::int64_t getInteger(std::string_view name) const override {
        std::size_t i = find(name);
        switch (fn_.params[i].type) {
        case Type::String:
            return strToInt(args_[i].s);
        case Type::Float:
            return truncToInt(args_[i].n.f);
        default:
            return args_[i].n.i;
        }
    }
    double getFloat(std::string_view name) const override {
        std::size_t i = find(name);
        switch (fn_.params[i].type) {
        case Type::String:
            return strToFloat(args_[i].s);
        case Type::Float:
            return args_[i].n.f;
        default:
            return static_cast<double>(args_[i].n.i);
        }
    }
    bool getBoolean(std::string_view name) const override {
        std::size_t i = find(name);
        switch (fn_.params[i].type) {
        case Type::String:
            return strToBool(args_[i].s);
        case Type::Float:
            return args_[i].n.f != 0;
        default:
            return args_[i].n.i != 0;
        }
    }

    void setString(std::string_view name, std::string value) override {
        Type t = resultType(name);
        switch (t) {
        case Type::String:
            result.s = std::move(value);
            break;
        case Type::Integer:
            result.n.i = strToInt(value);
            break;
        case Type::Float:
            result.n.f = strToFloat(value);
            break;
        case Type::Boolean:
            result.n.i = strToBool(value);
            break;
        }
    }
    void setInteger(std::string_view name, std::int64_t value) override {
        Type t = resultType(name);
        switch (t) {
        case Type::String:
            result.s = std::to_string(value);
            break;
        case Type::Float:
            result.n.f = static_cast<double>(value);
            break;
        case Type::Boolean:
            result.n.i = value != 0;
            break;
        default:
            result.n.i = value;
            break;
        }
    }
    void setFloat(std::string_view name, double value) override {
        Type t = resultType(name);
        switch (t) {
        case Type::String:
            result.s = floatToStr(value);
            break;
        case Type::Integer:
            result.n.i = truncToInt(value);
            break;
        case Type::Boolean:
            result.n.i = value != 0;
            break;
        default:
            result.n.f = value;
            break;
        }
    }
    void setBoolean(std::string_view name, bool value) override {
        Type t = resultType(name);
        switch (t) {
        case Type::String:
            result.s = value ? "True" : "False";
            break;
        case Type::Float:
            result.n.f = value ? 1 : 0;
            break;
        default:
            result.n.i = value;
            break;
        }
    }
    int line() const override { return at_.line; }
    int column() const override { return at_.column; }

    Arg result;

private:
    const HostFunction& fn_;
    std::vector<Arg>& args_;
    Position at_;

    std::size_t find(std::string_view name) const {
        for (std::size_t i = 0; i < fn_.params.size(); ++i)
            if (sameName(fn_.params[i].name, name))
                return i;
        throw std::invalid_argument("функция "_cp + fn_.name + " не имеет параметра "_cp +
                                    std::string(name));
    }
    Type resultType(std::string_view name) const {
        if (!sameName(name, "result"))
            throw std::invalid_argument("результат задаётся под именем \"result\", а не "_cp +
                                        std::string(name));
        if (!fn_.result)
            throw std::invalid_argument("процедура "_cp + fn_.name + " не возвращает значения"_cp);
        return *fn_.result;
    }
};

} // namespace

HostCall::HostCall(const HostEntry* e, std::vector<ExprPtr> a, Position p)
    : entry(e), args(std::move(a)), at(p) {
    type = e->fn.result ? typeOf(*e->fn.result) : voidType();
}

void HostCall::call(Ctx& c, Cell& n, std::string& s) {
    const HostFunction& fn = entry->fn;
    std::vector<Arg> values(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        switch (fn.params[i].type) {
        case Type::String:
            values[i].s = args[i]->evalStr(c);
            break;
        case Type::Float:
            values[i].n.f = args[i]->evalFloat(c);
            break;
        default:
            values[i].n.i = args[i]->evalInt(c);
            break;
        }
    }
    c.step();
    Context ctx(fn, values, at);
    Position saved = c.pos;
    try {
        fn.callback(ctx);
    } catch (const StopRun&) {
        throw;
    } catch (const std::exception& e) {
        c.pos = at;
        fail(e.what());
    } catch (...) {
        c.pos = at;
        fail("ошибка в функции "_cp + fn.name);
    }
    c.pos = saved;
    n = ctx.result.n;
    s = std::move(ctx.result.s);
}

std::int64_t HostCall::evalInt(Ctx& c) {
    Cell n{0};
    std::string s;
    call(c, n, s);
    return n.i;
}
double HostCall::evalFloat(Ctx& c) {
    Cell n{0};
    std::string s;
    call(c, n, s);
    return n.f;
}
std::string HostCall::evalStr(Ctx& c) {
    Cell n{0};
    std::string s;
    call(c, n, s);
    return s;
}
void HostCall::evalVoid(Ctx& c) {
    Cell n{0};
    std::string s;
    call(c, n, s);
}

} // namespace pascal
