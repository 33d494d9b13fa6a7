// The quest model shared by the editor and the player: locations, the quest
// table and the six quest parameters.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace model {

// An array indexed 1..N, as the quest's parameters, actions and items are
// numbered; an index outside 1..N throws std::out_of_range.
template <typename T, int N> class OneBased {
public:
    T& operator[](int i) { return items_.at(check(i)); }
    const T& operator[](int i) const { return items_.at(check(i)); }
    static constexpr int size() { return N; }
    bool operator==(const OneBased&) const = default;

private:
    static std::size_t check(int i) {
        if (i < 1 || i > N)
            throw std::out_of_range("index " + std::to_string(i) + " outside 1.." +
                                    std::to_string(N));
        return static_cast<std::size_t>(i - 1);
    }
    std::array<T, N> items_{};
};

// One location: its description and six actions, in record order.
struct TQuest {
    std::string Description;
    std::string Code1, Code2, Code3, Code4, Code5, Code6;
    std::string Caption1, Caption2, Caption3, Caption4, Caption5, Caption6;

    // Code and caption of action n (1..6); throws std::out_of_range otherwise.
    std::string& Code(int n);
    const std::string& Code(int n) const;
    std::string& Caption(int n);
    const std::string& Caption(int n) const;

    bool operator==(const TQuest&) const = default;
};

// Slot 0 never holds a location: location n is slot n, length = count + 1.
using TQuests = std::vector<TQuest>;

// The six quest parameters, each a name and a signed 32-bit value.
struct TQuestParams {
    OneBased<std::string, 6> Names;
    OneBased<std::int32_t, 6> Values;

    bool operator==(const TQuestParams&) const = default;
};

// A whole quest as the editor holds it and the stored forms carry it.
struct QuestDocument {
    TQuests Quests; // length LocationCount + 1
    std::int32_t LocationCount = 0;
    TQuestParams QuestParams;

    bool operator==(const QuestDocument&) const = default;
};

// What New gives: one empty location, six empty names, six values 0.
QuestDocument NewQuestDocument();

} // namespace model
