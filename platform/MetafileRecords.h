// The record structure of Windows metafiles, free of Qt: the headers of both
// kinds (WMF, with or without the placeable header in front, and EMF) and a
// walk over their records that never reads outside the file. Each field read
// is checked against its record; a record that runs past the file, or a file
// of more records than we draw, is a MetafileError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>

namespace platform {

class MetafileError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Files of more records than this are refused: each record may paint the
// whole picture, so this bounds the work one file can ask for, far above the
// few thousand records that real drawings hold.
inline constexpr std::size_t kMaxMetafileRecords = 200'000;

// The bytes of one record, with reads that throw MetafileError instead of
// reading past its end.
class RecordView {
public:
    RecordView() = default;
    explicit RecordView(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    std::uint16_t U16(std::size_t at) const;
    std::int16_t I16(std::size_t at) const;
    std::uint32_t U32(std::size_t at) const;
    std::int32_t I32(std::size_t at) const;
    float F32(std::size_t at) const;
    // count bytes from at, all of them inside the record.
    std::span<const unsigned char> Bytes(std::size_t at, std::size_t count) const;
    // Everything from at to the end (empty when at is at or past the end).
    std::span<const unsigned char> Rest(std::size_t at) const;

private:
    void Need(std::size_t at, std::size_t count) const;
    std::span<const unsigned char> bytes_;
};

// ---- WMF -------------------------------------------------------------------

struct WmfHeader {
    bool placeable = false; // the 22-byte placeable header came first
    // The picture's frame in the metafile's own units (placeable files only).
    std::int16_t left = 0, top = 0, right = 0, bottom = 0;
    std::uint16_t unitsPerInch = 0; // of the frame (placeable files only)
    std::uint16_t objectCount = 0;  // size of the object table
    std::size_t recordsAt = 0;      // offset of the first record
};

// Reads the headers; throws MetafileError when they are not a WMF's.
WmfHeader ReadWmfHeader(std::span<const unsigned char> file);

struct WmfRecord {
    std::uint16_t function = 0; // the record's function number
    RecordView params;          // the parameters after the 6-byte record header
};

// The records of a WMF in order, up to the end-of-file record or the end of
// the bytes.
class WmfRecords {
public:
    WmfRecords(std::span<const unsigned char> file, const WmfHeader& header);
    std::optional<WmfRecord> Next();

private:
    std::span<const unsigned char> file_;
    std::size_t at_;
    std::size_t count_ = 0;
    bool ended_ = false;
};

// ---- EMF -------------------------------------------------------------------

struct EmfRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct EmfHeader {
    EmfRect bounds;                 // the drawing's bounds in reference-device pixels, inclusive
    EmfRect frame;                  // the picture's frame in 0.01 mm
    std::int32_t deviceWidth = 0;   // the reference device in pixels
    std::int32_t deviceHeight = 0;
    std::int32_t millimetersWidth = 0; // the reference device in millimetres
    std::int32_t millimetersHeight = 0;
    std::uint16_t handles = 0; // size of the object table, index 0 included
};

// Reads the header record; throws MetafileError when it is not an EMF's.
EmfHeader ReadEmfHeader(std::span<const unsigned char> file);

struct EmfRecord {
    std::uint32_t type = 0; // the record type
    RecordView record;      // the whole record; offsets count from its start
};

// The records after the header, up to the end-of-file record or the end of
// the bytes.
class EmfRecords {
public:
    explicit EmfRecords(std::span<const unsigned char> file);
    std::optional<EmfRecord> Next();

private:
    std::span<const unsigned char> file_;
    std::size_t at_;
    std::size_t count_ = 0;
    bool ended_ = false;
};

} // namespace platform
