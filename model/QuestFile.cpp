// Writing and reading the quest file. The reader follows the byte rules of
// the format's text lines: a line ends at LF or CR LF, a lone CR is skipped,
// byte 26 ends a line's text, and reading past the end gives empty lines.
#include "model/QuestFile.h"

#include "model/Convert.h"
#include "model/Cp1251.h"
#include "model/Errors.h"
#include "model/LineCodec.h"
#include "model/SafeFile.h"

#include <algorithm>
#include <cstring>

namespace model {

const std::string_view QuestFileBanner =
    "Norvo Creator quest file. The quest and its texts belong to their author; "
    "all rights reserved.";

namespace {

// The count is read as one token of at most this many bytes, as the format's
// integer reads have always done; longer tokens are cut there.
constexpr std::size_t MaxCountTokenBytes = 32;

constexpr char LineFeed = '\n';
constexpr char CarriageReturn = '\r';
// Ends a line's text where it stands (the old end-of-file mark).
constexpr char EndOfText = 26;

constexpr std::string_view LineEnd = "\r\n";

// Reads the file's bytes as text lines.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : bytes_(bytes) {}

    void seek(std::size_t pos) { pos_ = pos; }

    // Lines read that the file holds; reading past the end adds none.
    std::int64_t linesRead() const { return linesRead_; }
    void setLinesRead(std::int64_t lines) { linesRead_ = lines; }

    // The next line's text into out (replacing it); empty past the end.
    void readLine(std::string& out) {
        out.clear();
        if (pos_ >= bytes_.size())
            return;
        ++linesRead_;
        const char* base = bytes_.data();
        const auto* lf =
            static_cast<const char*>(std::memchr(base + pos_, LineFeed, bytes_.size() - pos_));
        const std::size_t lineEnd = lf ? static_cast<std::size_t>(lf - base) : bytes_.size();
        const std::size_t next = lf ? lineEnd + 1 : bytes_.size();
        const auto* stop =
            static_cast<const char*>(std::memchr(base + pos_, EndOfText, lineEnd - pos_));
        if (!stop) {
            appendWithoutCr(out, pos_, lineEnd);
            pos_ = next;
            return;
        }
        const std::size_t stopAt = static_cast<std::size_t>(stop - base);
        appendWithoutCr(out, pos_, stopAt);
        // The rest of the physical line is skipped, but a further 26 on it
        // starts one more (empty) line.
        const auto* again = static_cast<const char*>(
            std::memchr(base + stopAt + 1, EndOfText, lineEnd - stopAt - 1));
        pos_ = again ? static_cast<std::size_t>(again - base) : next;
    }

private:
    // Appends bytes [from, to), leaving out every CR (a CR before LF is part
    // of the line end, a lone CR is skipped).
    void appendWithoutCr(std::string& out, std::size_t from, std::size_t to) const {
        const char* base = bytes_.data();
        while (from < to) {
            const auto* cr =
                static_cast<const char*>(std::memchr(base + from, CarriageReturn, to - from));
            const std::size_t end = cr ? static_cast<std::size_t>(cr - base) : to;
            out.append(base + from, end - from);
            from = end + 1;
        }
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::int64_t linesRead_ = 0;
};

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// Reads the count token from the start of the file and leaves the reader on
// the line after it.
std::int32_t readCount(std::string_view bytes, LineReader& reader) {
    std::size_t pos = 0;
    while (pos < bytes.size() && isBlank(bytes[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < bytes.size() && !isBlank(bytes[pos]) && pos - start < MaxCountTokenBytes)
        ++pos;
    const std::string_view token = bytes.substr(start, pos - start);
    // The blanks before the token may hold whole lines.
    const auto lineOfToken =
        1 + static_cast<std::int64_t>(std::count(bytes.begin(), bytes.begin() + start, LineFeed));

    std::int32_t count = 0;
    if (!token.empty()) {
        try {
            count = StrToInt(token);
        } catch (const ConvertError&) {
            throw NumericInputError(lineOfToken);
        }
    }
    reader.seek(pos);
    std::string rest;
    reader.readLine(rest);
    if (!token.empty())
        reader.setLinesRead(lineOfToken);
    return count;
}

} // namespace

std::string FormatQuestFile(const QuestDocument& quest) {
    // One allocation for the whole file: a large quest is tens of megabytes.
    const std::string params = JoinParamsLine(quest.QuestParams);
    std::size_t size = 16 + QuestFileBanner.size() + params.size() + 3 * LineEnd.size();
    for (std::int32_t n = 1; n <= quest.LocationCount; ++n) {
        const auto slot = static_cast<std::size_t>(n);
        size += (slot < quest.Quests.size() ? LocationLineSize(quest.Quests[slot]) : 12) +
                LineEnd.size();
    }
    std::string out;
    out.reserve(size);
    out += IntToStr(quest.LocationCount);
    out += LineEnd;
    out += QuestFileBanner;
    out += LineEnd;

    std::size_t start = out.size();
    out += params;
    ScrambleBytes(out.data() + start, out.size() - start, QuestFileKey, false);
    out += LineEnd;

    const TQuest empty;
    for (std::int32_t n = 1; n <= quest.LocationCount; ++n) {
        const auto slot = static_cast<std::size_t>(n);
        start = out.size();
        AppendLocationLine(out, slot < quest.Quests.size() ? quest.Quests[slot] : empty);
        ScrambleBytes(out.data() + start, out.size() - start, QuestFileKey, false);
        out += LineEnd;
    }
    return out;
}

QuestDocument ParseQuestFile(std::string_view bytes, QuestFileLines* lines) {
    LineReader reader(bytes);
    std::int32_t count = readCount(bytes, reader);
    const std::int64_t countLine = reader.linesRead();
    // A larger count is no file of ours; honouring it would only exhaust memory.
    if (count > 0 && static_cast<std::uint64_t>(count) > MaxLocationsIn(bytes.size()))
        throw InOutError(Utf8ToCp1251("Число локаций в файле (" + IntToStr(count) +
                                      ") больше, чем файл может содержать"));
    // A quest always has a location 1 to show.
    const bool empty = count <= 0;
    if (empty)
        count = 1;

    QuestDocument quest;
    quest.LocationCount = count;
    quest.Quests.resize(static_cast<std::size_t>(count) + 1);

    std::string line;
    reader.readLine(line); // the banner, whatever it says
    reader.readLine(line);
    ScrambleText(line, QuestFileKey, true);
    SplitParamsLine(line, quest.QuestParams);

    if (!empty) {
        for (std::int32_t n = 1; n <= count; ++n) {
            reader.readLine(line);
            ScrambleText(line, QuestFileKey, true);
            SplitLocationLine(line, quest.Quests[static_cast<std::size_t>(n)]);
        }
    }
    if (lines) {
        // The count line, the banner, the parameter line, then the locations.
        lines->present = reader.linesRead();
        lines->expected = empty ? lines->present : countLine + 2 + count;
    }
    return quest;
}

void WriteQuestFile(const std::string& path, const QuestDocument& quest) {
    WriteFileAtomically(path, FormatQuestFile(quest));
}

QuestDocument ReadQuestFile(const std::string& path) {
    return ParseQuestFile(ReadFileBytes(path));
}

} // namespace model
