// The size of an ELF image from its own headers, and the stand-alone layout
// built on it. Every read of a header field is bounds-checked: the bytes may
// come from any file.
#include "model/ExeLayout.h"

#include "model/Cp1251.h"
#include "model/Errors.h"
#include "model/LineCodec.h"
#include "model/SafeFile.h"

#include <algorithm>

namespace model {

namespace {

// ELF identification and header layout (System V ABI).
constexpr std::size_t IdentSize = 16;
constexpr std::string_view ElfMagic = "\x7F"
                                      "ELF";
constexpr unsigned char ClassElf32 = 1, ClassElf64 = 2;
constexpr unsigned char DataLittle = 1, DataBig = 2;
// Section types that take no room in the file: SHT_NULL (whose size field
// may hold the extended section count) and SHT_NOBITS.
constexpr std::uint32_t SectionNull = 0, SectionNoBits = 8;
constexpr std::uint16_t ExtendedCount = 0xFFFF; // PN_XNUM: count is in section 0

[[noreturn]] void notElf() {
    throw InOutError(Utf8ToCp1251("Файл не является исполняемым файлом ELF"));
}

[[noreturn]] void damaged() {
    throw InOutError(Utf8ToCp1251("Исполняемый файл ELF обрезан или повреждён"));
}

// Reads unsigned fields of either byte order, refusing any read past the end.
class Fields {
public:
    Fields(std::string_view bytes, bool little) : bytes_(bytes), little_(little) {}

    std::uint64_t read(std::uint64_t offset, unsigned width) const {
        if (offset > bytes_.size() || bytes_.size() - offset < width)
            damaged();
        std::uint64_t value = 0;
        for (unsigned i = 0; i < width; ++i) {
            const unsigned byteIndex = little_ ? width - 1 - i : i;
            value = (value << 8) | static_cast<unsigned char>(bytes_[offset + byteIndex]);
        }
        return value;
    }

private:
    std::string_view bytes_;
    bool little_;
};

// Offsets and widths of the fields that differ between the two classes.
struct Layout {
    unsigned word;              // width of addresses and offsets
    std::uint64_t headerSize;   // e_ehsize as the ABI fixes it
    std::uint64_t phoff, shoff; // where e_phoff and e_shoff lie
    std::uint64_t counts;       // where e_ehsize starts; the 16-bit fields follow
    std::uint64_t minSection;   // size of one section header
    std::uint64_t minSegment;   // size of one program header
    std::uint64_t shType, shOffset, shSize, shInfo;
    std::uint64_t phOffset, phFileSize;
};

constexpr Layout Elf32{4, 52, 28, 32, 40, 40, 32, 4, 16, 20, 28, 4, 16};
constexpr Layout Elf64{8, 64, 32, 40, 52, 64, 56, 4, 24, 32, 44, 8, 32};

// a + b, or a refusal when it overflows or passes the end of the file.
std::uint64_t endOf(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
    if (offset > fileSize || size > fileSize - offset)
        damaged();
    return offset + size;
}

} // namespace

std::uint64_t ExecutableImageSize(std::string_view fileBytes) {
    if (fileBytes.size() < IdentSize || !fileBytes.starts_with(ElfMagic))
        notElf();
    const auto elfClass = static_cast<unsigned char>(fileBytes[4]);
    const auto data = static_cast<unsigned char>(fileBytes[5]);
    if ((elfClass != ClassElf32 && elfClass != ClassElf64) ||
        (data != DataLittle && data != DataBig))
        notElf();

    const Layout& at = elfClass == ClassElf64 ? Elf64 : Elf32;
    const Fields f(fileBytes, data == DataLittle);
    const std::uint64_t fileSize = fileBytes.size();

    const std::uint64_t phoff = f.read(at.phoff, at.word);
    const std::uint64_t shoff = f.read(at.shoff, at.word);
    const std::uint64_t ehsize = f.read(at.counts, 2);
    const std::uint64_t phentsize = f.read(at.counts + 2, 2);
    std::uint64_t phnum = f.read(at.counts + 4, 2);
    const std::uint64_t shentsize = f.read(at.counts + 6, 2);
    std::uint64_t shnum = f.read(at.counts + 8, 2);

    std::uint64_t end = endOf(0, std::max(ehsize, at.headerSize), fileSize);

    if (shoff != 0) {
        if (shentsize < at.minSection)
            damaged();
        // With many sections the real count lives in section 0, and likewise
        // the real number of segments.
        if (shnum == 0)
            shnum = f.read(shoff + at.shSize, at.word);
        if (phnum == ExtendedCount)
            phnum = f.read(shoff + at.shInfo, 4);
        if (shnum > fileSize / shentsize)
            damaged();
        end = std::max(end, endOf(shoff, shnum * shentsize, fileSize));
        for (std::uint64_t i = 0; i < shnum; ++i) {
            const std::uint64_t header = shoff + i * shentsize;
            const std::uint64_t type = f.read(header + at.shType, 4);
            if (type == SectionNull || type == SectionNoBits)
                continue;
            end = std::max(end, endOf(f.read(header + at.shOffset, at.word),
                                      f.read(header + at.shSize, at.word), fileSize));
        }
    }
    if (phoff != 0 && phnum != 0) {
        if (phentsize < at.minSegment || phnum > fileSize / phentsize)
            damaged();
        end = std::max(end, endOf(phoff, phnum * phentsize, fileSize));
        for (std::uint64_t i = 0; i < phnum; ++i) {
            const std::uint64_t header = phoff + i * phentsize;
            end = std::max(end, endOf(f.read(header + at.phOffset, at.word),
                                      f.read(header + at.phFileSize, at.word), fileSize));
        }
    }
    return end;
}

std::string PayloadTextOf(std::string_view fileBytes) {
    const std::uint64_t image = ExecutableImageSize(fileBytes);
    std::string text(fileBytes.substr(static_cast<std::size_t>(image)));
    ScrambleText(text, PayloadKey, true);
    return text;
}

std::string ReadPayloadText(const std::string& exePath) {
    return PayloadTextOf(ReadFileBytes(exePath));
}

std::string MakeStub(std::string_view playerImage) {
    std::string stub(playerImage);
    stub += '\0';
    return stub;
}

std::string PlayerImageFromStub(std::string_view editorFileBytes) {
    const std::string_view stub =
        editorFileBytes.substr(static_cast<std::size_t>(ExecutableImageSize(editorFileBytes)));
    if (stub.empty())
        throw InOutError(Utf8ToCp1251("В файле редактора нет программы квеста"));
    return std::string(stub.substr(0, static_cast<std::size_t>(ExecutableImageSize(stub))));
}

void WriteStandAlone(const std::string& path, std::string_view playerImage,
                     std::string_view payloadText) {
    std::string bytes;
    bytes.reserve(playerImage.size() + payloadText.size());
    bytes += playerImage;
    bytes += payloadText;
    ScrambleBytes(bytes.data() + playerImage.size(), payloadText.size(), PayloadKey, false);
    WriteFileAtomically(path, bytes, 0777, false);
}

} // namespace model
