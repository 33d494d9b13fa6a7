// Metafiles written byte by byte for the tests and the benchmark: a WMF with the placeable header, an EMF with its
// header, each with the records a caller appends. Nothing here draws.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testing_support {

inline void PutU16(std::string& out, unsigned value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

inline void PutU32(std::string& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// A colour reference as the two 16-bit words WMF records store it in.
inline std::vector<int> ColorWords(std::uint32_t rgb) {
    const int red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return {red | (green << 8), blue};
}

// A colour reference as one 32-bit value, from 0xRRGGBB.
inline std::uint32_t ColorRef(std::uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

class WmfBytes {
public:
    // A record of 16-bit words (each int taken modulo 2^16).
    WmfBytes& Record(std::uint16_t function, const std::vector<int>& words) {
        PutU32(records_, static_cast<std::uint32_t>(3 + words.size()));
        PutU16(records_, function);
        for (int word : words)
            PutU16(records_, static_cast<unsigned>(word) & 0xFFFF);
        ++count_;
        return *this;
    }
    // A record whose parameters are given as bytes (padded to whole words).
    WmfBytes& RecordBytes(std::uint16_t function, std::string bytes) {
        if (bytes.size() % 2)
            bytes.push_back('\0');
        PutU32(records_, static_cast<std::uint32_t>(3 + bytes.size() / 2));
        PutU16(records_, function);
        records_ += bytes;
        ++count_;
        return *this;
    }
    // The placeable header with the frame and its units per inch, the
    // metafile header, the records and the end-of-file record.
    std::string Placeable(int left, int top, int right, int bottom, int unitsPerInch = 96,
                          int objects = 16) const {
        std::string out;
        PutU32(out, 0x9AC6CDD7);
        PutU16(out, 0);
        for (int value : {left, top, right, bottom})
            PutU16(out, static_cast<unsigned>(value) & 0xFFFF);
        PutU16(out, static_cast<unsigned>(unitsPerInch));
        PutU32(out, 0);
        unsigned checksum = 0;
        for (std::size_t i = 0; i < 20; i += 2)
            checksum ^= static_cast<unsigned char>(out[i]) | (static_cast<unsigned char>(out[i + 1]) << 8);
        PutU16(out, checksum);
        return out + Plain(objects);
    }
    // Without the placeable header.
    std::string Plain(int objects = 16) const {
        std::string out;
        PutU16(out, 1);      // in memory
        PutU16(out, 9);      // header words
        PutU16(out, 0x0300); // version
        PutU32(out, static_cast<std::uint32_t>((18 + records_.size() + 6) / 2));
        PutU16(out, static_cast<unsigned>(objects));
        PutU32(out, 0);
        PutU16(out, 0);
        out += records_;
        PutU32(out, 3); // end of file
        PutU16(out, 0);
        return out;
    }
    std::size_t count() const { return count_; }

private:
    std::string records_;
    std::size_t count_ = 0;
};

class EmfBytes {
public:
    // A record of 32-bit values after its type and size.
    EmfBytes& Record(std::uint32_t type, const std::vector<std::uint32_t>& values) {
        std::string bytes;
        for (std::uint32_t value : values)
            PutU32(bytes, value);
        return RecordBytes(type, bytes);
    }
    // A record whose body is given as bytes (padded to whole 32-bit values).
    EmfBytes& RecordBytes(std::uint32_t type, std::string bytes) {
        while (bytes.size() % 4)
            bytes.push_back('\0');
        PutU32(records_, type);
        PutU32(records_, static_cast<std::uint32_t>(8 + bytes.size()));
        records_ += bytes;
        ++count_;
        return *this;
    }
    // The header with a reference device of `pixels` square pixels on
    // `millimetres` square millimetres, the frame covering all of it.
    std::string File(int pixels = 100, int millimetres = 100, int handles = 16) const {
        std::string out;
        PutU32(out, 1);
        PutU32(out, 88);
        for (std::uint32_t value : {0u, 0u, std::uint32_t(pixels - 1), std::uint32_t(pixels - 1)})
            PutU32(out, value); // bounds
        for (std::uint32_t value : {0u, 0u, std::uint32_t(millimetres * 100), std::uint32_t(millimetres * 100)})
            PutU32(out, value); // frame
        PutU32(out, 0x464D4520);
        PutU32(out, 0x10000);
        PutU32(out, static_cast<std::uint32_t>(88 + records_.size() + 20));
        PutU32(out, static_cast<std::uint32_t>(count_ + 2));
        PutU16(out, static_cast<unsigned>(handles));
        PutU16(out, 0);
        for (int i = 0; i < 3; ++i)
            PutU32(out, 0); // no description, no palette
        PutU32(out, static_cast<std::uint32_t>(pixels));
        PutU32(out, static_cast<std::uint32_t>(pixels));
        PutU32(out, static_cast<std::uint32_t>(millimetres));
        PutU32(out, static_cast<std::uint32_t>(millimetres));
        out += records_;
        for (std::uint32_t value : {14u, 20u, 0u, 16u, 20u})
            PutU32(out, value); // end of file
        return out;
    }
    std::size_t count() const { return count_; }

private:
    std::string records_;
    std::size_t count_ = 0;
};

} // namespace testing_support
