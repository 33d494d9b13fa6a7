// Finding content that a save or a build would not bring back.
#include "model/LostContent.h"
#include "model/Payload.h"
#include "model/QuestFile.h"
#include "tests/model/Samples.h"

#include <gtest/gtest.h>

namespace model {
namespace {

std::vector<std::tuple<StoredForm, int, std::string, std::size_t, int>>
listed(const QuestDocument& q) {
    std::vector<std::tuple<StoredForm, int, std::string, std::size_t, int>> out;
    for (const LostByte& b : FindLostContent(q))
        out.emplace_back(b.form, b.location, b.field, b.offset, b.byte);
    return out;
}

TEST(LostContent, ListsEachPlaceWithItsForm) {
    QuestDocument q = NewQuestDocument();
    q.QuestParams.Names[2] = "a|b\xA9"; // '|' lost in both; 0xA9 is fine in a name
    q.Quests[1].Caption3 = "x\xAE";     // section mark: payload only
    q.Quests[1].Code1 = "\xA9";         // record mark: payload only
    // Description byte 0 takes key 'r' (114): 0x98 + 114 = 266 = 10 (mod 256).
    q.Quests[1].Description = "\x98";
    using F = StoredForm;
    const decltype(listed(q)) expected = {
        {F::QuestFile, 0, "Name2", 1, '|'}, {F::QuestFile, 1, "Description", 0, 0x98},
        {F::Payload, 0, "Name2", 1, '|'},   {F::Payload, 1, "Caption3", 1, 0xAE},
        {F::Payload, 1, "Code1", 0, 0xA9},
    };
    EXPECT_EQ(listed(q), expected);
}

TEST(LostContent, QuestFileBytesDependOnTheirPlaceOnTheLine) {
    // 0x98 breaks the line only where it meets 'r'; 0xA8 ('Ё') where it meets
    // 'e' (0xA8 + 101 = 269 = 13) or 'r' (0xA8 + 114 = 282 = 26).
    QuestDocument q = NewQuestDocument();
    q.Quests[1].Description = "a\x98"; // meets 'e': 0x98 + 101 = 253, harmless
    q.Quests[1].Caption1 = "\xA8\xA8"; // line positions 3 and 4 meet 'u' and 'l'
    EXPECT_TRUE(listed(q).empty());
    q.Quests[1].Description = "\xA8\xA8";
    EXPECT_EQ(listed(q).size(), 2u);
    EXPECT_EQ(FindLostContent(q)[1].offset, 1u);
}

// The finder and the formats must agree: a random quest comes back exactly
// when nothing is listed for that form.
TEST(LostContent, AgreesWithTheFormatsOnRandomQuests) {
    // Plain text, then in most quests one byte that may or may not be lost,
    // depending on where it lands.
    const std::string special = "|\xA9\xAE\x90\x98\xA8\xAB\xB0\xB9\x96\x97\xA0\xB5";
    int lossy = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        QuestDocument q = test::RandomQuest(seed, "ab\r\n xyz", 1 + static_cast<int>(seed % 3));
        if (seed % 4 != 0) {
            const int n = 1 + static_cast<int>(seed % static_cast<unsigned>(q.LocationCount));
            const int which = static_cast<int>(seed / 4 % 14);
            std::string& field = which == 0   ? q.QuestParams.Names[1 + static_cast<int>(seed % 6)]
                                 : which <= 6 ? q.Quests[static_cast<std::size_t>(n)].Caption(which)
                                 : which <= 12
                                     ? q.Quests[static_cast<std::size_t>(n)].Code(which - 6)
                                     : q.Quests[static_cast<std::size_t>(n)].Description;
            field.insert(seed * 7 % (field.size() + 1), 1, special[seed % special.size()]);
        }
        bool fileLoses = false, payloadLoses = false;
        for (const LostByte& b : FindLostContent(q))
            (b.form == StoredForm::QuestFile ? fileLoses : payloadLoses) = true;

        bool fileKeeps;
        try {
            fileKeeps = ParseQuestFile(FormatQuestFile(q)) == q;
        } catch (const std::exception&) {
            fileKeeps = false; // a shifted field can turn into a bad value
        }
        bool payloadKeeps;
        try {
            payloadKeeps = ParsePayloadDocument(BuildPayload(q)) == q;
        } catch (const std::exception&) {
            payloadKeeps = false;
        }
        ASSERT_EQ(fileKeeps, !fileLoses) << "seed " << seed;
        ASSERT_EQ(payloadKeeps, !payloadLoses) << "seed " << seed;
        lossy += fileLoses;
    }
    EXPECT_GT(lossy, 0);
    EXPECT_LT(lossy, 300);
}

} // namespace
} // namespace model
