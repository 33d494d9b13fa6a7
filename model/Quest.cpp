// Field access by action number, and the model of a new quest.
#include "model/Quest.h"

namespace model {

namespace {

std::size_t actionIndex(int n) {
    if (n < 1 || n > 6)
        throw std::out_of_range("action " + std::to_string(n) + " outside 1..6");
    return static_cast<std::size_t>(n - 1);
}

} // namespace

std::string& TQuest::Code(int n) {
    std::string* codes[] = {&Code1, &Code2, &Code3, &Code4, &Code5, &Code6};
    return *codes[actionIndex(n)];
}

const std::string& TQuest::Code(int n) const {
    return const_cast<TQuest*>(this)->Code(n);
}

std::string& TQuest::Caption(int n) {
    std::string* captions[] = {&Caption1, &Caption2, &Caption3, &Caption4, &Caption5, &Caption6};
    return *captions[actionIndex(n)];
}

const std::string& TQuest::Caption(int n) const {
    return const_cast<TQuest*>(this)->Caption(n);
}

QuestDocument NewQuestDocument() {
    QuestDocument quest;
    quest.LocationCount = 1;
    quest.Quests.resize(2);
    return quest;
}

} // namespace model
