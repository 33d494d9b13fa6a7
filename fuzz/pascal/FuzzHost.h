// The host both script fuzz targets run against: the dialog unit answered by
// a fixed host, a small unit like the player's, and a run with a step budget.
#pragma once

#include "pascal/DialogUnit.h"
#include "pascal/Engine.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace fuzzhost {

struct QuietDialogs final : pascal::DialogHost {
    void showMessage(const std::string&) override {}
    std::optional<std::string> inputBox(const std::string&, const std::string&,
                                        const std::string& d) override {
        return d.size() % 2 ? std::optional<std::string>("42") : std::nullopt;
    }
    void errorDlg(const std::string&) override {}
    void informationDlg(const std::string&) override {}
    bool questionDlg(const std::string& m) override { return m.size() % 2; }
    bool okCancelDlg(const std::string& m) override { return m.empty(); }
};

inline pascal::Engine& engine() {
    static QuietDialogs dialogs;
    static pascal::Engine* e = [] {
        auto* en = new pascal::Engine();
        pascal::registerDialogUnit(*en, dialogs);
        en->registerUnit(
            "MyUnit",
            {{"goto",
              {{"location", pascal::Type::Integer}},
              std::nullopt,
              [](pascal::CallContext& c) { (void)c.getInteger("location"); }},
             {"p",
              {{"p", pascal::Type::String}, {"number", pascal::Type::Integer}},
              std::nullopt,
              [](pascal::CallContext& c) {
                  if (c.getString("p").empty())
                      throw std::runtime_error("empty selector");
                  (void)c.getInteger("number");
              }},
             {"_p1_",
              {},
              pascal::Type::Integer,
              [](pascal::CallContext& c) { c.setInteger("result", 7); }},
             {"_param1_",
              {},
              pascal::Type::String,
              [](pascal::CallContext& c) { c.setString("result", "name"); }},
             {"AsInt",
              {{"s", pascal::Type::String}},
              pascal::Type::Integer,
              [](pascal::CallContext& c) { c.setInteger("result", c.getInteger("s")); }}});
        return en;
    }();
    return *e;
}

// Compiles and runs one script within a step budget (the default is enough
// for real work, small enough that every input ends quickly); everything it
// prints is dropped.
inline void compileAndRun(const std::string& text, std::uint64_t stepBudget = 200000) {
    auto program = engine().compile(text);
    (void)program->messagesText();
    pascal::RunOptions options;
    options.stepBudget = stepBudget;
    options.randomSeed = 1;
    std::size_t printed = 0;
    options.output = [&printed](std::string_view s) { printed += s.size(); };
    program->run(options);
}

} // namespace fuzzhost
