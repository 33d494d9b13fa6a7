// Picture loading: the extension table, bitmaps and icons through Qt's
// readers with our header checks first, JPEG through libjpeg, and the
// refusals: missing files, folders, broken headers, oversized pictures.
#include "platform/Pictures.h"
#include "tests/platform/QtApp.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using platform::PictureKind;

void PutU16(std::string& out, unsigned value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutU32(std::string& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// A 40-byte bitmap information header for bottom-up rows.
std::string InfoHeader(std::int32_t width, std::int32_t height, unsigned bitCount) {
    std::string out;
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(width));
    PutU32(out, static_cast<std::uint32_t>(height));
    PutU16(out, 1);
    PutU16(out, bitCount);
    for (int i = 0; i < 6; ++i)
        PutU32(out, 0); // no compression, sizes and colours left to the reader
    return out;
}

// A 24-bit BMP file of width x height pixels, each of one colour given as 0xRRGGBB.
std::string Bmp24(std::int32_t width, std::int32_t height, std::uint32_t rgb) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    std::string pixels;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            row.push_back(static_cast<char>(rgb & 0xFF));
            row.push_back(static_cast<char>((rgb >> 8) & 0xFF));
            row.push_back(static_cast<char>((rgb >> 16) & 0xFF));
        }
        row.resize(static_cast<std::size_t>(rowBytes), '\0');
        pixels += row;
    }
    std::string out = "BM";
    PutU32(out, static_cast<std::uint32_t>(14 + 40 + pixels.size()));
    PutU32(out, 0);
    PutU32(out, 14 + 40);
    return out + InfoHeader(width, height, 24) + pixels;
}

// An icon of one 32-bit image of size x size pixels in one colour (0xAARRGGBB).
std::string Icon32(int size, std::uint32_t argb) {
    std::string image = InfoHeader(size, size * 2, 32); // the height counts the mask
    for (int i = 0; i < size * size; ++i)
        PutU32(image, argb);
    image.append(static_cast<std::size_t>(size * ((size + 31) / 32 * 4)), '\0'); // the mask
    std::string out;
    PutU16(out, 0);
    PutU16(out, 1); // an icon
    PutU16(out, 1); // one image
    out.push_back(static_cast<char>(size));
    out.push_back(static_cast<char>(size));
    out.push_back(0);
    out.push_back(0);
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, static_cast<std::uint32_t>(image.size()));
    PutU32(out, 6 + 16);
    return out + image;
}

QImage Decode(const std::string& bytes, PictureKind kind) {
    return platform::DecodePicture(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                   kind, QSize(345, 265), "test");
}

TEST(Pictures, KindFromExtensionIgnoresLetterCase) {
    const std::vector<std::pair<std::string, std::optional<PictureKind>>> cases = {
        {"bmp", PictureKind::Bitmap}, {"BMP", PictureKind::Bitmap}, {"Ico", PictureKind::Icon},
        {"jpg", PictureKind::Jpeg},   {"JPG", PictureKind::Jpeg},   {"jPeG", PictureKind::Jpeg},
        {"wmf", PictureKind::Wmf},    {"EMF", PictureKind::Emf},    {"gif", std::nullopt},
        {"png", std::nullopt},        {"", std::nullopt},           {"jpe", std::nullopt},
        {".bmp", std::nullopt},       {"bmp ", std::nullopt},       {"\xE1mp", std::nullopt},
    };
    for (const auto& [extension, kind] : cases)
        EXPECT_EQ(platform::PictureKindFromExtension(extension), kind) << extension;
}

TEST(Pictures, BitmapsAndIconsDecodeThroughOurChecks) {
    testing_support::App();
    const QImage bitmap = Decode(Bmp24(3, 2, 0x336699), PictureKind::Bitmap);
    ASSERT_EQ(bitmap.size(), QSize(3, 2));
    EXPECT_EQ(bitmap.pixelColor(2, 1), QColor(0x33, 0x66, 0x99));

    const QImage icon = Decode(Icon32(16, 0xFFCC2211), PictureKind::Icon);
    ASSERT_EQ(icon.size(), QSize(16, 16));
    EXPECT_EQ(icon.pixelColor(5, 5), QColor(0xCC, 0x22, 0x11));
}

TEST(Pictures, BrokenAndOversizedRasterPicturesAreRefused) {
    testing_support::App();
    // A run-length bitmap may hold few bytes for many pixels, so only the
    // pixel bound refuses this one's 100,000 x 100,000.
    std::string huge = Bmp24(2, 2, 0);
    huge.replace(18, 8, std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00", 8));
    huge[28] = 4; // bits per pixel
    huge[30] = 2; // four-bit runs
    std::string hugeIcon = Icon32(16, 0); // its bitmap header claims 20,000 x 10,000
    hugeIcon.replace(22 + 4, 8, std::string("\x20\x4E\x00\x00\x40\x9C\x00\x00", 8));
    std::string iconPastTheEnd = Icon32(16, 0);
    iconPastTheEnd[6 + 12] = '\x7F'; // the image's offset points past the file

    const std::vector<std::pair<std::string, PictureKind>> broken = {
        {"", PictureKind::Bitmap},
        {"GIF89a", PictureKind::Bitmap},
        {Bmp24(4, 4, 0).substr(0, 20), PictureKind::Bitmap},
        {Bmp24(4, 4, 0).substr(0, 60), PictureKind::Bitmap}, // rows missing
        {huge, PictureKind::Bitmap},
        {Bmp24(2, 2, 0), PictureKind::Icon},
        {hugeIcon, PictureKind::Icon},
        {iconPastTheEnd, PictureKind::Icon},
        {std::string(6, '\0'), PictureKind::Icon},
        {"not a jpeg", PictureKind::Jpeg},
    };
    for (const auto& [bytes, kind] : broken) {
        try {
            Decode(bytes, kind);
            ADD_FAILURE() << "decoded " << bytes.size() << " bytes";
        } catch (const platform::PictureError& error) {
            EXPECT_NE(std::string(error.what()).find("test"), std::string::npos) << error.what();
        }
    }
    try {
        Decode(huge, PictureKind::Bitmap);
    } catch (const platform::PictureError& error) {
        EXPECT_NE(std::string(error.what()).find("100000 x 100000"), std::string::npos);
    }
}

TEST(Pictures, FilesAreReadOnlyWhenTheyAreRegularFiles) {
    testing_support::App();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    const std::string bitmapPath = folder + "/\xEC\xE0\xFF\xEA.BMP"; // маяк.BMP in cp1251
    {
        const std::string bytes = Bmp24(2, 2, 0xFF0000);
        // The file system holds names in UTF-8.
        std::ofstream(folder + "/маяк.BMP", std::ios::binary) << bytes;
    }
    EXPECT_EQ(platform::LoadPictureFile(bitmapPath, PictureKind::Bitmap, {345, 265}).size(),
              QSize(2, 2));
    EXPECT_EQ(platform::LoadPictureFile(std::string(NORVO_SOURCE_DIR_DEFAULT) +
                                            "/player/background/background.jpg",
                                        PictureKind::Jpeg, {345, 265})
                  .size(),
              QSize(688, 447));

    for (const std::string& path : {folder + "/missing.bmp", folder, std::string("/dev/zero")}) {
        try {
            platform::LoadPictureFile(path, PictureKind::Bitmap, {345, 265});
            ADD_FAILURE() << path;
        } catch (const platform::PictureError& error) {
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        }
    }
}

} // namespace
