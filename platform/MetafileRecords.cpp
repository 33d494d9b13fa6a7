// Metafile headers and record walks; see MetafileRecords.h.
#include "platform/MetafileRecords.h"

#include "platform/LittleEndian.h"

#include <bit>
#include <string>

namespace platform {
namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableBytes = 22;
constexpr std::size_t kWmfHeaderBytes = 18;
constexpr std::size_t kWmfRecordHeaderBytes = 6;
constexpr std::uint16_t kWmfEof = 0x0000;

constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr std::size_t kEmfHeaderBytes = 88;
constexpr std::size_t kEmfRecordHeaderBytes = 8;

void CountRecord(std::size_t& count) {
    if (++count > kMaxMetafileRecords)
        throw MetafileError("more than " + std::to_string(kMaxMetafileRecords) + " records");
}

} // namespace

void RecordView::Need(std::size_t at, std::size_t count) const {
    if (at > bytes_.size() || count > bytes_.size() - at)
        throw MetafileError("a record is shorter than its fields");
}

std::uint16_t RecordView::U16(std::size_t at) const {
    Need(at, 2);
    return ReadU16(bytes_.data() + at);
}

std::int16_t RecordView::I16(std::size_t at) const {
    Need(at, 2);
    return ReadI16(bytes_.data() + at);
}

std::uint32_t RecordView::U32(std::size_t at) const {
    Need(at, 4);
    return ReadU32(bytes_.data() + at);
}

std::int32_t RecordView::I32(std::size_t at) const {
    Need(at, 4);
    return ReadI32(bytes_.data() + at);
}

float RecordView::F32(std::size_t at) const {
    return std::bit_cast<float>(U32(at));
}

std::span<const unsigned char> RecordView::Bytes(std::size_t at, std::size_t count) const {
    Need(at, count);
    return bytes_.subspan(at, count);
}

std::span<const unsigned char> RecordView::Rest(std::size_t at) const {
    return at >= bytes_.size() ? std::span<const unsigned char>() : bytes_.subspan(at);
}

// ---- WMF -------------------------------------------------------------------

WmfHeader ReadWmfHeader(std::span<const unsigned char> file) {
    WmfHeader header;
    std::size_t at = 0;
    if (file.size() >= 4 && ReadU32(file.data()) == kPlaceableKey) {
        if (file.size() < kPlaceableBytes)
            throw MetafileError("the placeable header is cut short");
        header.placeable = true;
        header.left = ReadI16(file.data() + 6);
        header.top = ReadI16(file.data() + 8);
        header.right = ReadI16(file.data() + 10);
        header.bottom = ReadI16(file.data() + 12);
        header.unitsPerInch = ReadU16(file.data() + 14);
        at = kPlaceableBytes;
    }
    if (file.size() - at < kWmfHeaderBytes)
        throw MetafileError("not a WMF picture");
    const unsigned char* meta = file.data() + at;
    const std::uint16_t type = ReadU16(meta);       // 1 in memory, 2 on disk
    const std::uint16_t headerWords = ReadU16(meta + 2);
    const std::uint16_t version = ReadU16(meta + 4);
    if ((type != 1 && type != 2) || headerWords != kWmfHeaderBytes / 2 ||
        (version != 0x0100 && version != 0x0300))
        throw MetafileError("not a WMF picture");
    header.objectCount = ReadU16(meta + 10);
    header.recordsAt = at + kWmfHeaderBytes;
    return header;
}

WmfRecords::WmfRecords(std::span<const unsigned char> file, const WmfHeader& header)
    : file_(file), at_(header.recordsAt) {}

std::optional<WmfRecord> WmfRecords::Next() {
    if (ended_ || file_.size() - at_ < kWmfRecordHeaderBytes)
        return std::nullopt;
    const unsigned char* record = file_.data() + at_;
    const std::uint64_t bytes = std::uint64_t{ReadU32(record)} * 2; // the size counts 16-bit words
    const std::uint16_t function = ReadU16(record + 4);
    if (bytes < kWmfRecordHeaderBytes || bytes > file_.size() - at_) {
        // The end-of-file record is sometimes written with a wrong size.
        if (function == kWmfEof)
            return std::nullopt;
        throw MetafileError("a record runs past the end of the file");
    }
    CountRecord(count_);
    WmfRecord result{function,
                     RecordView(file_.subspan(at_ + kWmfRecordHeaderBytes,
                                              static_cast<std::size_t>(bytes) - kWmfRecordHeaderBytes))};
    at_ += static_cast<std::size_t>(bytes);
    if (function == kWmfEof) {
        ended_ = true;
        return std::nullopt;
    }
    return result;
}

// ---- EMF -------------------------------------------------------------------

EmfHeader ReadEmfHeader(std::span<const unsigned char> file) {
    if (file.size() < kEmfHeaderBytes || ReadU32(file.data()) != kEmrHeader ||
        ReadU32(file.data() + 40) != kEmfSignature)
        throw MetafileError("not an EMF picture");
    const std::uint32_t headerBytes = ReadU32(file.data() + 4);
    if (headerBytes < kEmfHeaderBytes || headerBytes > file.size() || headerBytes % 4 != 0)
        throw MetafileError("the EMF header is broken");
    const unsigned char* h = file.data();
    EmfHeader header;
    header.bounds = {ReadI32(h + 8), ReadI32(h + 12), ReadI32(h + 16), ReadI32(h + 20)};
    header.frame = {ReadI32(h + 24), ReadI32(h + 28), ReadI32(h + 32), ReadI32(h + 36)};
    header.handles = ReadU16(h + 56);
    header.deviceWidth = ReadI32(h + 72);
    header.deviceHeight = ReadI32(h + 76);
    header.millimetersWidth = ReadI32(h + 80);
    header.millimetersHeight = ReadI32(h + 84);
    return header;
}

EmfRecords::EmfRecords(std::span<const unsigned char> file)
    : file_(file), at_(ReadU32(file.data() + 4)) {}

std::optional<EmfRecord> EmfRecords::Next() {
    if (ended_ || file_.size() - at_ < kEmfRecordHeaderBytes)
        return std::nullopt;
    const unsigned char* record = file_.data() + at_;
    const std::uint32_t type = ReadU32(record);
    const std::uint32_t bytes = ReadU32(record + 4);
    if (bytes < kEmfRecordHeaderBytes || bytes > file_.size() - at_ || bytes % 4 != 0)
        throw MetafileError("a record runs past the end of the file");
    CountRecord(count_);
    EmfRecord result{type, RecordView(file_.subspan(at_, bytes))};
    at_ += bytes;
    if (type == kEmrEof) {
        ended_ = true;
        return std::nullopt;
    }
    return result;
}

} // namespace platform
