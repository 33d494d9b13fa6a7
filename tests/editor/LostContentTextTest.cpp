// The words for places whose content a stored form would lose.
#include "editor/EditorState.h"
#include "editor/LostContentText.h"

#include <gtest/gtest.h>

namespace {

using editor::Ru;
using model::LostByte;
using model::StoredForm;

TEST(LostContentText, EachFieldAndByteIsNamedAsTheAuthorKnowsIt) {
    struct Case {
        LostByte place;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{StoredForm::QuestFile, 3, "Caption2", 0, '|'},
         Ru("Локация 3, действие 2, заголовок: символ '|' будет потерян")},
        {{StoredForm::QuestFile, 7, "Code6", 4, 0x0A},
         Ru("Локация 7, действие 6, код: байт 0x0A будет потерян")},
        {{StoredForm::Payload, 1, "Description", 9, 0xA9},
         Ru("Локация 1, описание: символ '©' будет потерян")},
        {{StoredForm::QuestFile, 0, "Name4", 0, '|'},
         Ru("Параметры, название параметра 4: символ '|' будет потерян")},
        {{StoredForm::QuestFile, 0, "Value2", 1, '7'},
         Ru("Параметры, значение параметра 2: символ '7' будет потерян")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(editor::DescribeLostPlace(c.place), c.expected) << c.place.field;
}

TEST(LostContentText, OnlyThePlacesOfTheAskedFormAreListed) {
    const std::vector<LostByte> places = {{StoredForm::QuestFile, 1, "Caption1", 0, '|'},
                                          {StoredForm::Payload, 2, "Caption1", 0, 0xAE}};
    EXPECT_EQ(editor::LostContentQuestion(places, StoredForm::Payload, "?"),
              Ru("Локация 2, действие 1, заголовок: символ '®' будет потерян\r\r?"));
    EXPECT_EQ(editor::LostContentQuestion({places[1]}, StoredForm::QuestFile, "?"), "");
}

} // namespace
