// The image size from ELF headers, and stand-alone files built on it.
#include "model/ExeLayout.h"
#include "model/Errors.h"
#include "model/LineCodec.h"
#include "model/Payload.h"
#include "model/SafeFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace model {
namespace {

// Lays out a small ELF file by hand: header, program headers, section headers
// at the offsets given, in either class and byte order.
struct ElfSketch {
    bool is64 = true;
    bool little = true;
    std::uint64_t phoff = 0, shoff = 0;
    struct Segment {
        std::uint64_t offset, fileSize;
    };
    struct Section {
        std::uint32_t type;
        std::uint64_t offset, size;
    };
    std::vector<Segment> segments;
    std::vector<Section> sections;
    std::uint64_t fileSize = 0;

    std::string build() const {
        std::string out(fileSize, '\0');
        const auto put = [&](std::uint64_t at, std::uint64_t value, unsigned width) {
            for (unsigned i = 0; i < width; ++i) {
                const unsigned shift = 8 * (little ? i : width - 1 - i);
                out.at(at + i) = static_cast<char>((value >> shift) & 0xFF);
            }
        };
        const unsigned word = is64 ? 8 : 4;
        out.replace(0, 4,
                    "\x7F"
                    "ELF");
        out[4] = is64 ? 2 : 1;
        out[5] = little ? 1 : 2;
        out[6] = 1;
        const std::uint64_t counts = is64 ? 52 : 40;
        put(is64 ? 32 : 28, phoff, word);
        put(is64 ? 40 : 32, shoff, word);
        put(counts, is64 ? 64 : 52, 2);
        put(counts + 2, is64 ? 56 : 32, 2);
        put(counts + 4, segments.size(), 2);
        put(counts + 6, is64 ? 64 : 40, 2);
        put(counts + 8, sections.size(), 2);
        for (std::size_t i = 0; i < segments.size(); ++i) {
            const std::uint64_t at = phoff + i * (is64 ? 56 : 32);
            put(at + (is64 ? 8 : 4), segments[i].offset, word);
            put(at + (is64 ? 32 : 16), segments[i].fileSize, word);
        }
        for (std::size_t i = 0; i < sections.size(); ++i) {
            const std::uint64_t at = shoff + i * (is64 ? 64 : 40);
            put(at + 4, sections[i].type, 4);
            put(at + (is64 ? 24 : 16), sections[i].offset, word);
            put(at + (is64 ? 32 : 20), sections[i].size, word);
        }
        return out;
    }
};

// Program headers at 64, a section whose data ends last at 700, section
// headers in the middle, and a bss-like section that takes no file room.
ElfSketch sketch(bool is64, bool little) {
    ElfSketch e;
    e.is64 = is64;
    e.little = little;
    e.phoff = 64;
    e.segments = {{0, 300}, {300, 50}};
    e.shoff = 400;
    e.sections = {{0, 0, 0}, {1, 500, 200}, {8, 650, 100000}};
    e.fileSize = 700;
    return e;
}

TEST(ExecutableImageSize, FurthestEndOfHeadersSectionsAndSegments) {
    for (bool is64 : {true, false})
        for (bool little : {true, false}) {
            SCOPED_TRACE(std::to_string(is64) + std::to_string(little));
            ElfSketch e = sketch(is64, little);
            const std::string image = e.build();
            EXPECT_EQ(ExecutableImageSize(image), 700u);
            EXPECT_EQ(ExecutableImageSize(image + "payload behind"), 700u);

            // The section header table itself can be what ends last.
            e.shoff = 700;
            e.fileSize = 700 + 3 * (is64 ? 64 : 40);
            EXPECT_EQ(ExecutableImageSize(e.build() + "xyz"), e.fileSize);

            // So can a segment.
            e = sketch(is64, little);
            e.segments[1].fileSize = 450;
            e.fileSize = 750;
            EXPECT_EQ(ExecutableImageSize(e.build()), 750u);
        }
}

TEST(ExecutableImageSize, EveryTruncationIsRefused) {
    for (bool is64 : {true, false}) {
        const std::string image = sketch(is64, true).build();
        for (std::size_t length = 0; length < image.size(); ++length)
            EXPECT_THROW(ExecutableImageSize(std::string_view(image).substr(0, length)), InOutError)
                << length;
    }
}

TEST(ExecutableImageSize, HostileHeadersAreRefused) {
    // Each case patches one field of a good 64-bit little-endian sketch.
    const auto patched = [](std::uint64_t at, std::uint64_t value, unsigned width) {
        std::string bytes = sketch(true, true).build();
        for (unsigned i = 0; i < width; ++i)
            bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        return bytes;
    };
    const std::uint64_t section1 = 400 + 64, segment0 = 64;
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"section offset + size overflows", patched(section1 + 24, ~0ull - 0xFF, 8)},
        {"section size past the end", patched(section1 + 32, 0x7FFFFFFFFFFFFFFFull, 8)},
        {"section table past the end", patched(40, ~0ull - 0xF, 8)},
        {"program table past the end", patched(32, 690, 8)},
        {"segment past the end", patched(segment0 + 32, 0xFFFFFFFFull, 8)},
        {"huge section count", patched(60, 0xFFFF, 2)},
        {"section entries too small", patched(58, 1, 2)},
        {"segment entries too small", patched(54, 8, 2)},
        {"extended section count from section 0", patched(400 + 32, ~0ull, 8) /* shnum stays 3 */},
        {"no such class", patched(4, 3, 1)},
        {"no such byte order", patched(5, 0, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name).starts_with("extended")) {
            // Section 0's size only counts when e_shnum is 0.
            std::string bytes = c.bytes;
            EXPECT_EQ(ExecutableImageSize(bytes), 700u);
            bytes[60] = bytes[61] = 0;
            EXPECT_THROW(ExecutableImageSize(bytes), InOutError);
            continue;
        }
        EXPECT_THROW(ExecutableImageSize(c.bytes), InOutError);
    }
}

TEST(ExecutableImageSize, NotElfAtAll) {
    for (const std::string& bytes : {std::string(), std::string("MZ\x90\0", 4),
                                     std::string(100, 'x'), std::string("1\r\nquest file\r\n")}) {
        try {
            ExecutableImageSize(bytes);
            ADD_FAILURE() << "accepted";
        } catch (const InOutError& e) {
            EXPECT_NE(std::string(e.what()).find("ELF"), std::string::npos);
        }
    }
}

TEST(ExecutableImageSize, OurOwnProgramIsItsWholeFile) {
    const std::string self = ReadFileBytes("/proc/self/exe");
    EXPECT_EQ(ExecutableImageSize(self), self.size());
}

class StandAlone : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (std::filesystem::temp_directory_path() /
                 ("norvo-standalone-" + std::to_string(::getpid())))
                    .string();
    }
    void TearDown() override { std::filesystem::remove(path_); }
    std::string path_;
};

TEST_F(StandAlone, PayloadSitsBehindTheImageScrambled) {
    const std::string image = sketch(true, true).build();
    const std::string payload = BuildPayload(NewQuestDocument());
    WriteStandAlone(path_, image, payload);

    const std::string file = ReadFileBytes(path_);
    ASSERT_EQ(file.size(), image.size() + 33);
    EXPECT_EQ(file.substr(0, image.size()), image);
    std::string behind = file.substr(image.size());
    EXPECT_NE(behind, payload);
    ScrambleText(behind, PayloadKey, true);
    EXPECT_EQ(behind, payload);
    EXPECT_EQ(ReadPayloadText(path_), payload);

    struct stat info {};
    ASSERT_EQ(::stat(path_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0111, 0111u) << "not executable";
}

TEST_F(StandAlone, RealImageAndEmptyPayload) {
    const std::string self = ReadFileBytes("/proc/self/exe");
    WriteStandAlone(path_, self, "");
    EXPECT_EQ(ReadPayloadText(path_), "");
    const std::string text = BuildPayload(NewQuestDocument());
    WriteStandAlone(path_, self, text);
    EXPECT_EQ(ReadPayloadText(path_), text);
}

TEST(Stub, IsTheImageAndOneSpareByte) {
    const std::string image = sketch(false, true).build();
    const std::string stub = MakeStub(image);
    EXPECT_EQ(stub, image + std::string(1, '\0'));
    // Behind an editor image, the player image comes back by its own headers.
    const std::string editor = sketch(true, false).build();
    EXPECT_EQ(PlayerImageFromStub(editor + stub), image);
    EXPECT_THROW(PlayerImageFromStub(editor), InOutError);
    EXPECT_THROW(PlayerImageFromStub(editor + "not an image"), InOutError);
    EXPECT_THROW(PlayerImageFromStub(editor + stub.substr(0, 100)), InOutError);
}

} // namespace
} // namespace model
