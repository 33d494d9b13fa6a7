// Joining the model into its two text records, splitting them back, and the
// additive scrambler both stored forms apply.
#include "model/LineCodec.h"

#include "model/Convert.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace model {

namespace {

// The scrambler adds a repeating pattern; it is laid out once into a block
// (a whole number of key periods) so that the inner loop is a plain byte
// addition the compiler vectorises.
constexpr std::size_t PatternBlock = 4096;

// Calls sink(field index, bytes) for each run of bytes between separators.
template <typename Sink> void forEachField(std::string_view line, Sink sink) {
    std::size_t field = 0;
    std::size_t start = 0;
    while (true) {
        const void* bar = std::memchr(line.data() + start, FieldSeparator, line.size() - start);
        const std::size_t end =
            bar ? static_cast<std::size_t>(static_cast<const char*>(bar) - line.data())
                : line.size();
        sink(field, line.substr(start, end - start));
        if (!bar)
            return;
        start = end + 1;
        ++field;
    }
}

} // namespace

void ScrambleBytes(char* bytes, std::size_t size, std::string_view key, bool decode,
                   std::size_t start) {
    const std::size_t length = key.size();
    if (length == 0 || size == 0)
        return;

    // pad[i] is what byte (start + i) gets added, for one block of whole key
    // periods; a short text needs no more of it than its own length.
    const std::size_t periods = PatternBlock / length + 1;
    const std::size_t blockSize = size < periods * length ? size : periods * length;
    std::unique_ptr<unsigned char[]> heapPad;
    unsigned char stackPad[PatternBlock + 256];
    unsigned char* pad = stackPad;
    if (blockSize > sizeof stackPad) {
        heapPad.reset(new unsigned char[blockSize]);
        pad = heapPad.get();
    }
    // One key period, rotated to the text's start, then doubled up to size.
    const std::size_t first = (start + 1) % length;
    const std::size_t period = blockSize < length ? blockSize : length;
    for (std::size_t i = 0; i < period; ++i) {
        const auto keyByte = static_cast<unsigned char>(key[(first + i) % length]);
        pad[i] = decode ? static_cast<unsigned char>(256 - keyByte) : keyByte;
    }
    for (std::size_t filled = period; filled < blockSize;) {
        const std::size_t n = filled < blockSize - filled ? filled : blockSize - filled;
        std::memcpy(pad + filled, pad, n);
        filled += n;
    }

    auto* text = reinterpret_cast<unsigned char*>(bytes);
    for (std::size_t done = 0; done < size; done += blockSize) {
        const std::size_t n = size - done < blockSize ? size - done : blockSize;
        unsigned char* block = text + done;
        for (std::size_t i = 0; i < n; ++i)
            block[i] = static_cast<unsigned char>(block[i] + pad[i]);
    }
}

void ScrambleText(std::string& text, std::string_view key, bool decode) {
    ScrambleBytes(text.data(), text.size(), key, decode);
}

std::string JoinParamsLine(const TQuestParams& params) {
    std::string line;
    for (int i = 1; i <= 6; ++i) {
        line += params.Names[i];
        line += FieldSeparator;
    }
    for (int i = 1; i <= 6; ++i) {
        line += IntToStr(params.Values[i]);
        if (i < 6)
            line += FieldSeparator;
    }
    return line;
}

void SplitParamsLine(std::string_view line, TQuestParams& params) {
    std::array<std::string_view, 12> fields{};
    forEachField(line, [&](std::size_t field, std::string_view bytes) {
        if (field < fields.size())
            fields[field] = bytes;
    });
    for (int i = 1; i <= 6; ++i)
        params.Names[i] = std::string(fields[i - 1]);
    for (int i = 1; i <= 6; ++i) {
        const std::string_view value = fields[5 + i];
        params.Values[i] = value.empty() ? 0 : StrToInt(value);
    }
}

namespace {

// The location's strings in line order: description, captions, codes.
template <typename Quest> auto lineOrder(Quest& q) {
    return std::array{&q.Description, &q.Caption1, &q.Caption2, &q.Caption3, &q.Caption4,
                      &q.Caption5,    &q.Caption6, &q.Code1,    &q.Code2,    &q.Code3,
                      &q.Code4,       &q.Code5,    &q.Code6};
}

} // namespace

std::size_t LocationLineSize(const TQuest& location) {
    std::size_t size = 12;
    for (const std::string* field : lineOrder(location))
        size += field->size();
    return size;
}

void AppendLocationLine(std::string& out, const TQuest& location) {
    const auto fields = lineOrder(location);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += FieldSeparator;
        out += *fields[i];
    }
}

std::string JoinLocationLine(const TQuest& location) {
    std::string line;
    line.reserve(LocationLineSize(location));
    AppendLocationLine(line, location);
    return line;
}

void SplitLocationLine(std::string_view line, TQuest& slot) {
    const auto fields = lineOrder(slot);
    for (std::string* field : fields)
        field->clear();
    forEachField(line, [&](std::size_t field, std::string_view bytes) {
        if (field < fields.size())
            fields[field]->assign(bytes);
    });
}

namespace {

// The fewest bytes of a location line or record of ours.
constexpr std::uint64_t MinStoredLocationBytes = 13;
// Locations a count may claim beyond what the bytes carry: a file or payload
// cut short loads them empty.
constexpr std::uint64_t CutShortAllowance = 1024;

} // namespace

std::uint64_t MaxLocationsIn(std::uint64_t bytes) {
    return std::min(bytes, bytes / MinStoredLocationBytes + CutShortAllowance);
}

} // namespace model
