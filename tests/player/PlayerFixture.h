// A player window over a quest built in the test: the payload is made with the
// model's BuildPayload and read from memory; the boxes are scripted.
#pragma once

#include "model/Cp1251.h"
#include "model/Payload.h"
#include "platform/ScriptedDialogs.h"
#include "player/Labels.h"
#include "player/pMain.h"
#include "tests/platform/QtApp.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

namespace testing_support {

// UTF-8 source text -> the cp1251 the program holds.
inline std::string Cp(const char* utf8) {
    return model::Utf8ToCp1251(utf8);
}

// One location: a description and (caption, code) pairs for actions 1, 2, ...
inline model::TQuest
Location(std::string description,
         std::initializer_list<std::pair<std::string, std::string>> actions = {}) {
    model::TQuest location;
    location.Description = std::move(description);
    int n = 1;
    for (const auto& [caption, code] : actions) {
        location.Caption(n) = caption;
        location.Code(n) = code;
        ++n;
    }
    return location;
}

inline model::QuestDocument Quest(std::initializer_list<model::TQuest> locations) {
    model::QuestDocument doc;
    doc.Quests.resize(1);
    for (const auto& location : locations)
        doc.Quests.push_back(location);
    doc.LocationCount = static_cast<std::int32_t>(locations.size());
    return doc;
}

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest() { App(); }

    // Starts a fresh window on a payload text.
    void LoadPayload(std::string payload) {
        form.reset();
        form = std::make_unique<player::TForm1>(
            player::PayloadTextSource(std::move(payload), "quest.exe"), dialogs);
    }
    void Load(const model::QuestDocument& doc) { LoadPayload(model::BuildPayload(doc)); }

    // Runs a script as an action's code would run.
    void Run(const std::string& code) { form->RunScript(code); }

    std::string Description() const { return form->DescriptionText(); }
    player::PlayerState& S() { return form->State; }
    std::vector<platform::ShownDialog> Boxes() { return dialogs.TakeShown(); }
    // The texts of the boxes shown so far (taking them), for failure messages.
    std::string BoxTexts() {
        std::string out;
        for (const auto& box : dialogs.TakeShown())
            out += model::Cp1251ToUtf8(box.text) + "\n";
        return out;
    }

    platform::ScriptedDialogs dialogs;
    std::unique_ptr<player::TForm1> form;
};

} // namespace testing_support
