// The quest file: its exact bytes, the reader's byte rules, and saving.
#include "model/QuestFile.h"
#include "model/Cp1251.h"
#include "model/Errors.h"
#include "model/LineCodec.h"
#include "model/SafeFile.h"
#include "tests/model/Samples.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace model {
namespace {

using test::Bytes;

// The fresh parameter line and the empty location line scrambled with
// "bremulka", worked out by hand: byte j + key[(j + 1) mod 8].
const std::string FreshParams = Bytes({0xEE, 0xE1, 0xE9, 0xF1, 0xE8, 0xE7, 0x91, 0xDE, 0xA2, 0xE1,
                                       0x9D, 0xF1, 0x9C, 0xE7, 0x91, 0xDE, 0xA2});
const std::string EmptyLocation =
    Bytes({0xEE, 0xE1, 0xE9, 0xF1, 0xE8, 0xE7, 0xDD, 0xDE, 0xEE, 0xE1, 0xE9, 0xF1});

std::string fileOf(const std::string& count, const std::string& banner,
                   const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string out = count + end + banner + end;
    for (const auto& line : lines)
        out += line + end;
    return out;
}

std::string scrambled(std::string plain) {
    ScrambleText(plain, QuestFileKey, false);
    return plain;
}

TEST(QuestFile, NewQuestHasFourLines) {
    const std::string expected = "1\r\n" + std::string(QuestFileBanner) + "\r\n" + FreshParams +
                                 "\r\n" + EmptyLocation + "\r\n";
    EXPECT_EQ(FormatQuestFile(NewQuestDocument()), expected);
    EXPECT_EQ(ParseQuestFile(expected), NewQuestDocument());
}

TEST(QuestFile, BannerNamesTheFileAndIsIgnored) {
    EXPECT_NE(QuestFileBanner.find("Norvo Creator"), std::string_view::npos);
    for (const std::string& banner :
         {std::string(), std::string("anything at all"), std::string(5000, '#')})
        EXPECT_EQ(ParseQuestFile(fileOf("1", banner, {FreshParams, EmptyLocation})),
                  NewQuestDocument());
}

QuestDocument twoLocations() {
    QuestDocument q = NewQuestDocument();
    q.LocationCount = 2;
    q.Quests.resize(3);
    q.Quests[1].Description = "first\r\nplace";
    q.Quests[1].Caption1 = "go";
    q.Quests[1].Code1 = "goto(2);\r\n";
    q.Quests[2].Description = "second";
    q.QuestParams.Names[1] = "gold";
    q.QuestParams.Values[1] = -7;
    q.QuestParams.Values[6] = 2147483647;
    q.QuestParams.Values[5] = -2147483647 - 1;
    return q;
}

TEST(QuestFile, RoundTripKeepsCrLfEmptyFieldsAndExtremeValues) {
    const QuestDocument q = twoLocations();
    EXPECT_EQ(ParseQuestFile(FormatQuestFile(q)), q);
}

TEST(QuestFile, RandomQuestsWithoutSpecialBytesRoundTrip) {
    // '|' cannot be stored, and bytes 144..185 may scramble into line ends.
    std::string excluded = "|";
    for (int b = 144; b <= 185; ++b)
        excluded += static_cast<char>(b);
    const std::string alphabet = test::AllBytesExcept(excluded);
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const QuestDocument q = test::RandomQuest(seed, alphabet, 1 + static_cast<int>(seed % 7));
        ASSERT_EQ(ParseQuestFile(FormatQuestFile(q)), q) << "seed " << seed;
    }
}

TEST(QuestFile, LineEndRules) {
    const std::string params = scrambled("a|b|c|d|e|f|1|2|3|4|5|6");
    const std::string loc1 = scrambled("one|c1");
    const std::string loc2 = scrambled("two");
    QuestDocument expected;
    expected.LocationCount = 2;
    expected.Quests.resize(3);
    for (int i = 1; i <= 6; ++i) {
        expected.QuestParams.Names[i] = std::string(1, static_cast<char>('a' + i - 1));
        expected.QuestParams.Values[i] = i;
    }
    expected.Quests[1].Description = "one";
    expected.Quests[1].Caption1 = "c1";
    expected.Quests[2].Description = "two";

    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"CR LF", fileOf("2", "banner", {params, loc1, loc2})},
        {"LF alone", fileOf("2", "banner", {params, loc1, loc2}, "\n")},
        {"no line end at the very end", fileOf("2", "banner", {params, loc1}) + loc2},
        {"lone CRs are skipped", "2\r\nban\rner\r\n" + params + "\r\r\n" + loc1.substr(0, 2) +
                                     "\r" + loc1.substr(2) + "\r\n" + loc2 + "\r\n"},
        {"26 cuts a line", fileOf("2", "banner", {params + "\x1Atrailing junk", loc1, loc2})},
        {"lines after the last location", fileOf("2", "b", {params, loc1, loc2, "extra", "more"})},
        {"blanks before the count", fileOf("  \t2", "b", {params, loc1, loc2})},
        {"junk after the count", fileOf("2 locations", "b", {params, loc1, loc2})},
        {"count on a later line", "\r\n\r\n" + fileOf("2", "b", {params, loc1, loc2})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseQuestFile(c.file), expected);
    }
}

TEST(QuestFile, SecondEndOfTextOnALineGivesOneMoreEmptyLine) {
    // Line 3 is "params 26 x 26 y": the parameter line, then one empty line,
    // which becomes location 1; location 2 comes from the next physical line.
    const std::string file =
        "2\r\nb\r\n" + scrambled("||||||1") + "\x1Ax\x1Ay\r\n" + scrambled("two") + "\r\n";
    const QuestDocument q = ParseQuestFile(file);
    EXPECT_EQ(q.QuestParams.Values[1], 1);
    EXPECT_EQ(q.Quests[1], TQuest{});
    EXPECT_EQ(q.Quests[2].Description, "two");
}

TEST(QuestFile, ShortFilesReadEmptyLines) {
    // Count 2 with one location line: location 2 is empty.
    QuestDocument q = ParseQuestFile(fileOf("2", "b", {FreshParams, scrambled("one")}));
    EXPECT_EQ(q.LocationCount, 2);
    ASSERT_EQ(q.Quests.size(), 3u);
    EXPECT_EQ(q.Quests[1].Description, "one");
    EXPECT_EQ(q.Quests[2], TQuest{});

    // No parameter line: six empty names, values 0.
    q = ParseQuestFile("1\r\nbanner only\r\n");
    EXPECT_EQ(q, NewQuestDocument());

    // Count 1 with three location lines: the first one counts.
    q = ParseQuestFile(fileOf("1", "b", {FreshParams, scrambled("a"), scrambled("b"), "c"}));
    EXPECT_EQ(q.LocationCount, 1);
    ASSERT_EQ(q.Quests.size(), 2u);
    EXPECT_EQ(q.Quests[1].Description, "a");
}

TEST(QuestFile, CountOfZeroOrBelowGivesOneEmptyLocation) {
    const std::string named = scrambled("kept|||||||||||9");
    for (const std::string& file :
         {std::string(), std::string(" \r\n\t\x1A "), fileOf("0", "b", {named}),
          fileOf("-3", "b", {named, scrambled("ignored")})}) {
        SCOPED_TRACE(file);
        const QuestDocument q = ParseQuestFile(file);
        EXPECT_EQ(q.LocationCount, 1);
        ASSERT_EQ(q.Quests.size(), 2u);
        EXPECT_EQ(q.Quests[1], TQuest{});
        if (file.size() > 10) {
            EXPECT_EQ(q.QuestParams.Names[1], "kept");
            EXPECT_EQ(q.QuestParams.Values[6], 9);
        } else {
            EXPECT_EQ(q.QuestParams, TQuestParams{});
        }
    }
}

TEST(QuestFile, CountToken) {
    // The count token is at most 32 bytes; the rest of its line is skipped.
    const std::string zeros(31, '0');
    QuestDocument q = ParseQuestFile(fileOf(zeros + "1", "b", {FreshParams, scrambled("x")}));
    EXPECT_EQ(q.LocationCount, 1);
    EXPECT_EQ(q.Quests[1].Description, "x");
    // 32 zeros, then a 5 that falls past the token: count 0.
    q = ParseQuestFile(fileOf(zeros + "05", "b", {FreshParams, scrambled("x")}));
    EXPECT_EQ(q.LocationCount, 1);
    EXPECT_EQ(q.Quests[1], TQuest{});
    EXPECT_EQ(ParseQuestFile(fileOf("$2", "b", {FreshParams})).LocationCount, 2);

    for (const char* bad : {"3abc", "abc", "++1", "99999999999", "\xFF"}) {
        try {
            ParseQuestFile(fileOf(bad, "b", {FreshParams}));
            ADD_FAILURE() << bad << " accepted";
        } catch (const InOutError& e) {
            EXPECT_STREQ(e.what(), "Invalid numeric input") << bad;
        }
    }
}

TEST(QuestFile, TellsHowManyOfItsLinesAFileHolds) {
    const std::string params = FreshParams, loc = EmptyLocation;
    const struct {
        std::string file;
        std::int64_t present, expected;
    } cases[] = {
        {fileOf("2", "b", {params, loc, loc}), 5, 5},
        {fileOf("2", "b", {params, loc, loc}, "\n"), 5, 5},
        {fileOf("5", "b", {params, loc}), 4, 8},
        {fileOf("3", "b", {}), 2, 6},
        {"1", 1, 4},
        {"3\r\nbanner", 2, 6},
        // The last line needs no line end to count.
        {fileOf("2", "b", {params, loc}) + loc, 5, 5},
        // Blank lines before the count move every line down.
        {"\r\n\n  " + fileOf("2", "b", {params, loc}), 6, 7},
        // Lines after the last location are not read.
        {fileOf("1", "b", {params, loc, loc, loc}), 4, 4},
        // A count of 0 or below expects nothing further.
        {"0\r\n", 1, 1},
        {"", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        QuestFileLines lines;
        ParseQuestFile(c.file, &lines);
        EXPECT_EQ(lines.present, c.present);
        EXPECT_EQ(lines.expected, c.expected);
        EXPECT_EQ(lines.cutShort(), c.present < c.expected);
    }
}

TEST(QuestFile, BadCountNamesItsLine) {
    for (const auto& [file, line] : {std::pair<std::string, int>{"3abc\r\n", 1},
                                     {"\r\n\r\n   z1\r\n", 3},
                                     {"\n\t\n\x1A++1", 3}}) {
        try {
            ParseQuestFile(file);
            ADD_FAILURE() << file << " accepted";
        } catch (const NumericInputError& e) {
            EXPECT_STREQ(e.what(), "Invalid numeric input");
            EXPECT_EQ(e.line(), line) << file;
        }
    }
}

TEST(QuestFile, HostileCountIsRefusedBeforeAnythingIsAllocated) {
    EXPECT_THROW(ParseQuestFile("2147483647\r\n"), InOutError);
    EXPECT_THROW(ParseQuestFile("100\r\n"), InOutError);
    // A count no larger than the file is fine, even with no lines behind it.
    EXPECT_EQ(ParseQuestFile("3\r\n\r\n\r\n\r\n").LocationCount, 3);
    // A count as large as the file: no longer one slot of 400 bytes per byte.
    const auto spaces = [](std::uint64_t count) {
        return std::to_string(count) + "\r\n" + std::string(1'000'000, ' ');
    };
    EXPECT_THROW(ParseQuestFile(spaces(1'000'000)), InOutError);
    const std::uint64_t most = MaxLocationsIn(spaces(0).size());
    EXPECT_THROW(ParseQuestFile(spaces(most + 1)), InOutError);
    EXPECT_EQ(ParseQuestFile(spaces(most)).Quests.size(), most + 1);
}

TEST(QuestFile, BadParameterValueIsAConversionError) {
    EXPECT_THROW(ParseQuestFile(fileOf("1", "b", {scrambled("||||||12a")})), ConvertError);
}

TEST(QuestFile, WritesWithoutTheSlotsItLacksAndReadsBack) {
    // A model whose table is shorter than its count writes empty locations.
    QuestDocument q = NewQuestDocument();
    q.LocationCount = 3;
    const QuestDocument back = ParseQuestFile(FormatQuestFile(q));
    EXPECT_EQ(back.LocationCount, 3);
    EXPECT_EQ(back.Quests.size(), 4u);
}

class QuestFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("norvo-model-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        return names;
    }
    std::filesystem::path dir_;
};

TEST_F(QuestFileOnDisk, SaveAndLoad) {
    const QuestDocument q = twoLocations();
    WriteQuestFile(path("q.nvx"), q);
    EXPECT_EQ(ReadFileBytes(path("q.nvx")), FormatQuestFile(q));
    EXPECT_EQ(ReadQuestFile(path("q.nvx")), q);
    EXPECT_EQ(entries(), std::vector<std::string>{"q.nvx"});
}

TEST_F(QuestFileOnDisk, MissingFileIsFileNotFound) {
    try {
        ReadQuestFile(path("absent.nvx"));
        FAIL() << "no error";
    } catch (const InOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_THROW(ReadQuestFile(dir_.string()), InOutError);
    EXPECT_THROW(WriteQuestFile(path("no/such/folder.nvx"), twoLocations()), InOutError);
}

TEST_F(QuestFileOnDisk, OnlyRegularFilesOfSaneSizeAreRead) {
    // A FIFO with no writer would block the open, and then the read, forever.
    const std::string fifo = path("p.nvx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Sparse: it takes no room on disk, but says it is past the limit.
    const std::string huge = path("huge.nvx");
    std::ofstream{huge}.close();
    std::filesystem::resize_file(huge, (std::uintmax_t{1} << 30) + 1);
    std::filesystem::create_symlink(fifo, path("link.nvx"));
    const struct {
        std::string path, message;
    } cases[] = {
        {fifo, "\xAB" + fifo + "\xBB: " + Utf8ToCp1251("это не обычный файл")},
        {path("link.nvx"), Utf8ToCp1251("это не обычный файл")},
        {"/dev/zero", Utf8ToCp1251("Не удаётся прочитать \u00AB/dev/zero\u00BB: это не обычный")},
        {"/dev/null", Utf8ToCp1251("это не обычный файл")},
        {huge, "\xAB" + huge + "\xBB: " + Utf8ToCp1251("он больше 1024 МиБ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            ReadQuestFile(c.path);
            ADD_FAILURE() << "read";
        } catch (const InOutError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST_F(QuestFileOnDisk, FailedSaveLeavesTheOldFile) {
    const std::string target = path("q.nvx");
    WriteQuestFile(target, NewQuestDocument());
    const std::string before = ReadFileBytes(target);

    // Let the write fail half-way: the file size limit stops it with EFBIG.
    QuestDocument big = twoLocations();
    big.Quests[1].Description.assign(100000, 'x');
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        WriteQuestFile(target, big);
    } catch (const InOutError&) {
        threw = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(threw);
    EXPECT_EQ(ReadFileBytes(target), before);
    EXPECT_EQ(entries(), std::vector<std::string>{"q.nvx"}) << "temporary file left behind";
}

TEST_F(QuestFileOnDisk, SaveKeepsTheModeOfTheFileItReplaces) {
    const std::string target = path("q.nvx");
    WriteQuestFile(target, NewQuestDocument());
    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write);
    WriteQuestFile(target, twoLocations());
    EXPECT_EQ(std::filesystem::status(target).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

} // namespace
} // namespace model
