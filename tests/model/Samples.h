// Shared helpers of the model tests: byte strings from lists, random quests.
#pragma once

#include "model/Quest.h"

#include <initializer_list>
#include <random>
#include <string>
#include <string_view>

namespace model::test {

// A byte string from byte values, for vectors written out by hand.
inline std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

// A random quest whose texts take their bytes from `alphabet`; fields are
// often empty and sometimes long, and values cover the whole 32-bit range.
inline QuestDocument RandomQuest(unsigned seed, std::string_view alphabet, int locations) {
    std::mt19937 random(seed);
    const auto text = [&] {
        std::string out;
        const int shape = static_cast<int>(random() % 4);
        const std::size_t length = shape == 0 ? 0 : shape == 3 ? random() % 300 : random() % 12;
        for (std::size_t i = 0; i < length; ++i)
            out += alphabet[random() % alphabet.size()];
        return out;
    };
    QuestDocument quest;
    quest.LocationCount = locations;
    quest.Quests.resize(static_cast<std::size_t>(locations) + 1);
    for (int n = 1; n <= locations; ++n) {
        TQuest& q = quest.Quests[static_cast<std::size_t>(n)];
        q.Description = text();
        for (int a = 1; a <= 6; ++a) {
            q.Caption(a) = text();
            q.Code(a) = text();
        }
    }
    for (int i = 1; i <= 6; ++i) {
        quest.QuestParams.Names[i] = text();
        quest.QuestParams.Values[i] = static_cast<std::int32_t>(random());
    }
    return quest;
}

// Every byte value except the listed ones.
inline std::string AllBytesExcept(std::string_view excluded) {
    std::string out;
    for (int b = 0; b < 256; ++b)
        if (excluded.find(static_cast<char>(b)) == std::string_view::npos)
            out += static_cast<char>(b);
    return out;
}

} // namespace model::test
