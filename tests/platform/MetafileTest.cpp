// The metafile renderer: hand-made WMF and EMF files, each drawing one kind
// of record into a 100 x 100 image whose pixels are then checked, and the
// broken files that must be errors.
#include "platform/Metafile.h"
#include "platform/Pictures.h"
#include "tests/platform/MetafileBytes.h"
#include "tests/platform/QtApp.h"

#include <QImage>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace {

using testing_support::ColorRef;
using testing_support::ColorWords;
using testing_support::EmfBytes;
using testing_support::WmfBytes;

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// WMF record functions.
enum : std::uint16_t {
    kSaveDc = 0x001E,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetPolyFillMode = 0x0106,
    kRestoreDc = 0x0127,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kDeleteObject = 0x01F0,
    kSetBkColor = 0x0201,
    kSetTextColor = 0x0209,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kCreatePen = 0x02FA,
    kCreateFont = 0x02FB,
    kCreateBrush = 0x02FC,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kExcludeClipRect = 0x0415,
    kIntersectClipRect = 0x0416,
    kEllipse = 0x0418,
    kRectangle = 0x041B,
    kSetPixel = 0x041F,
    kTextOut = 0x0521,
    kPolyPolygon = 0x0538,
    kRoundRect = 0x061C,
    kPatBlt = 0x061D,
    kArc = 0x0817,
    kPie = 0x081A,
    kChord = 0x0830,
    kDibBitBlt = 0x0940,
    kExtTextOut = 0x0A32,
    kDibStretchBlt = 0x0B41,
    kStretchDib = 0x0F43,
};

std::uint32_t Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// Whether a pixel of that colour lies within `reach` pixels of (x, y): lines
// one pixel wide may fall on either side of a computed point.
bool ColourNear(const QImage& image, int x, int y, std::uint32_t rgb, int reach = 1) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (image.valid(x + dx, y + dy) && Rgb(image, x + dx, y + dy) == rgb)
                return true;
    return false;
}

int CountColour(const QImage& image, QRect area, std::uint32_t rgb) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += Rgb(image, x, y) == rgb;
    return count;
}

QImage Render(const std::string& bytes, platform::PictureKind kind, QSize size = {100, 100}) {
    testing_support::App();
    return platform::DecodePicture(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                   kind, size, "test");
}

// A WMF whose frame is 100 x 100 units, one unit a pixel, after the caller's records.
QImage RenderWmf(const std::function<void(WmfBytes&)>& records, int unitsPerInch = 96) {
    WmfBytes wmf;
    records(wmf);
    return Render(wmf.Placeable(0, 0, 100, 100, unitsPerInch), platform::PictureKind::Wmf);
}

std::vector<int> Words(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A solid brush of one colour, selected, and no pen: slots 0 and 1.
void RedFillNoPen(WmfBytes& wmf) {
    wmf.Record(kCreateBrush, Words({{0}, ColorWords(kRed), {0}})).Record(kSelectObject, {0});
    wmf.Record(kCreatePen, Words({{5, 0, 0}, ColorWords(0)})).Record(kSelectObject, {1});
}

// A solid blue pen of the given width, selected, and no brush: slots 0 and 1.
void BluePenNoFill(WmfBytes& wmf, int width = 0, int style = 0) {
    wmf.Record(kCreatePen, Words({{style, width, 0}, ColorWords(kBlue)})).Record(kSelectObject, {0});
    wmf.Record(kCreateBrush, Words({{1}, ColorWords(0), {0}})).Record(kSelectObject, {1});
}

// A 2 x 2 24-bit bitmap, bottom row first: red, green; then blue, white.
std::string Dib2x2() {
    std::string dib;
    testing_support::PutU32(dib, 40);
    testing_support::PutU32(dib, 2);
    testing_support::PutU32(dib, 2);
    testing_support::PutU16(dib, 1);
    testing_support::PutU16(dib, 24);
    for (int i = 0; i < 6; ++i)
        testing_support::PutU32(dib, 0);
    dib += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8); // red, green, padding
    dib += std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8); // blue, white, padding
    return dib;
}

std::string WordsAsBytes(const std::vector<int>& words) {
    std::string out;
    for (int word : words)
        testing_support::PutU16(out, static_cast<unsigned>(word) & 0xFFFF);
    return out;
}

struct PixelCase {
    const char* name;
    std::function<void(WmfBytes&)> records;
    std::vector<std::pair<QPoint, std::uint32_t>> pixels; // pixels that must have a colour exactly
};

TEST(WmfRecords, EachShapeSetsItsPixels) {
    const std::vector<PixelCase> cases = {
        {"rectangle",
         [](WmfBytes& w) { RedFillNoPen(w); w.Record(kRectangle, {50, 50, 10, 10}); },
         {{{30, 30}, kRed}, {{60, 60}, kWhite}, {{5, 5}, kWhite}}},
        {"ellipse",
         [](WmfBytes& w) { RedFillNoPen(w); w.Record(kEllipse, {90, 90, 10, 10}); },
         {{{50, 50}, kRed}, {{50, 12}, kRed}, {{13, 13}, kWhite}, {{87, 87}, kWhite}}},
        {"rounded rectangle",
         [](WmfBytes& w) { RedFillNoPen(w); w.Record(kRoundRect, {40, 40, 90, 90, 10, 10}); },
         {{{50, 50}, kRed}, {{50, 11}, kRed}, {{11, 11}, kWhite}, {{88, 88}, kWhite}}},
        {"polygon",
         [](WmfBytes& w) { RedFillNoPen(w); w.Record(kPolygon, {3, 10, 10, 90, 10, 10, 90}); },
         {{{20, 20}, kRed}, {{80, 80}, kWhite}}},
        {"poly-polygon, alternate fill leaves the inner square empty",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kPolyPolygon, {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30,
                                     70, 70, 30, 70});
         },
         {{{20, 20}, kRed}, {{50, 50}, kWhite}}},
        {"poly-polygon, winding fill fills it",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kSetPolyFillMode, {2});
             w.Record(kPolyPolygon, {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30,
                                     70, 70, 30, 70});
         },
         {{{20, 20}, kRed}, {{50, 50}, kRed}}},
        {"pie: counter-clockwise from three o'clock to twelve",
         [](WmfBytes& w) { RedFillNoPen(w); w.Record(kPie, {10, 50, 50, 90, 90, 90, 10, 10}); },
         {{{65, 35}, kRed}, {{35, 35}, kWhite}, {{35, 65}, kWhite}, {{65, 65}, kWhite}}},
        {"chord: only the part beyond the chord",
         [](WmfBytes& w) { RedFillNoPen(w); w.Record(kChord, {10, 50, 50, 90, 90, 90, 10, 10}); },
         {{{75, 25}, kRed}, {{60, 40}, kWhite}, {{35, 65}, kWhite}}},
        {"patterned fill of a rectangle",
         [](WmfBytes& w) { RedFillNoPen(w); w.Record(kPatBlt, {0x0021, 0x00F0, 20, 30, 40, 50}); },
         {{{60, 50}, kRed}, {{79, 59}, kRed}, {{45, 50}, kWhite}, {{60, 65}, kWhite}}},
        {"one pixel",
         [](WmfBytes& w) { w.Record(kSetPixel, Words({ColorWords(kGreen), {7, 5}})); },
         {{{5, 7}, kGreen}, {{6, 7}, kWhite}, {{5, 8}, kWhite}}},
        {"save and restore bring the first brush back",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kSaveDc, {});
             w.Record(kCreateBrush, Words({{0}, ColorWords(kGreen), {0}})).Record(kSelectObject, {2});
             w.Record(kRestoreDc, {-1});
             w.Record(kRectangle, {90, 90, 10, 10});
         },
         {{{50, 50}, kRed}}},
        {"a deleted object's slot is the next one used",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kDeleteObject, {0});
             w.Record(kCreateBrush, Words({{0}, ColorWords(kGreen), {0}})); // into slot 0
             w.Record(kSelectObject, {0});
             w.Record(kRectangle, {90, 90, 10, 10});
         },
         {{{50, 50}, kGreen}}},
        {"unknown records are skipped",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(0x0999, {1, 2, 3, 4, 5});
             w.Record(kRectangle, {90, 90, 10, 10});
         },
         {{{50, 50}, kRed}}},
        {"window extent: ten units across the picture",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kSetMapMode, {8}).Record(kSetWindowOrg, {0, 0}).Record(kSetWindowExt, {10, 10});
             w.Record(kRectangle, {5, 5, 1, 1});
         },
         {{{30, 30}, kRed}, {{45, 45}, kRed}, {{60, 60}, kWhite}, {{5, 5}, kWhite}}},
        {"window origin moves the drawing",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kSetMapMode, {8}).Record(kSetWindowOrg, {100, 100}).Record(kSetWindowExt, {100, 100});
             w.Record(kRectangle, {150, 150, 100, 100});
         },
         {{{25, 25}, kRed}, {{75, 75}, kWhite}}},
        {"viewport origin and extent",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kSetMapMode, {8}).Record(kSetWindowExt, {10, 10});
             w.Record(kSetViewportOrg, {50, 50}).Record(kSetViewportExt, {50, 50});
             w.Record(kRectangle, {4, 4, 0, 0});
         },
         {{{60, 60}, kRed}, {{75, 75}, kWhite}, {{40, 40}, kWhite}}},
        {"isotropic mode keeps the smaller scale on both axes",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kSetMapMode, {7}).Record(kSetWindowExt, {20, 10});
             w.Record(kRectangle, {10, 10, 0, 0});
         },
         {{{40, 40}, kRed}, {{40, 60}, kWhite}, {{60, 40}, kWhite}}},
        {"anisotropic mode scales each axis",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kSetMapMode, {8}).Record(kSetWindowExt, {20, 10});
             w.Record(kRectangle, {10, 10, 0, 0});
         },
         {{{40, 40}, kRed}, {{40, 60}, kWhite}, {{60, 40}, kRed}}},
        {"intersected clip",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kIntersectClipRect, {100, 50, 0, 0});
             w.Record(kRectangle, {90, 90, 10, 10});
         },
         {{{30, 50}, kRed}, {{70, 50}, kWhite}}},
        {"excluded clip",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kExcludeClipRect, {60, 60, 40, 40});
             w.Record(kRectangle, {90, 90, 10, 10});
         },
         {{{30, 30}, kRed}, {{50, 50}, kWhite}, {{70, 70}, kRed}}},
        {"a clip ends with the state it was set in",
         [](WmfBytes& w) {
             RedFillNoPen(w);
             w.Record(kSaveDc, {});
             w.Record(kIntersectClipRect, {100, 50, 0, 0});
             w.Record(kRestoreDc, {-1});
             w.Record(kRectangle, {90, 90, 10, 10});
         },
         {{{70, 50}, kRed}}},
    };
    for (const PixelCase& c : cases) {
        const QImage image = RenderWmf(c.records);
        ASSERT_EQ(image.size(), QSize(100, 100)) << c.name;
        for (const auto& [point, rgb] : c.pixels)
            EXPECT_EQ(Rgb(image, point.x(), point.y()), rgb)
                << c.name << " at " << point.x() << "," << point.y();
    }
}

TEST(WmfRecords, LinesAndArcsFollowTheirPath) {
    const QImage line = RenderWmf([](WmfBytes& w) {
        BluePenNoFill(w);
        w.Record(kMoveTo, {50, 10}).Record(kLineTo, {50, 90});
    });
    EXPECT_TRUE(ColourNear(line, 50, 50, kBlue));
    EXPECT_TRUE(ColourNear(line, 88, 50, kBlue));
    EXPECT_EQ(CountColour(line, QRect(0, 0, 100, 45), kBlue), 0);

    const QImage polyline = RenderWmf([](WmfBytes& w) {
        BluePenNoFill(w);
        w.Record(kPolyline, {3, 10, 10, 90, 90, 90, 10});
    });
    EXPECT_TRUE(ColourNear(polyline, 50, 50, kBlue));
    EXPECT_TRUE(ColourNear(polyline, 90, 50, kBlue));
    EXPECT_FALSE(ColourNear(polyline, 30, 70, kBlue, 3));

    // The arc of the pie case: from three o'clock to twelve, counter-clockwise.
    const QImage arc = RenderWmf([](WmfBytes& w) {
        BluePenNoFill(w);
        w.Record(kArc, {10, 50, 50, 90, 90, 90, 10, 10});
    });
    EXPECT_TRUE(ColourNear(arc, 78, 22, kBlue));
    EXPECT_FALSE(ColourNear(arc, 22, 78, kBlue, 3));
    EXPECT_FALSE(ColourNear(arc, 22, 22, kBlue, 3));
    EXPECT_EQ(CountColour(arc, QRect(0, 0, 100, 100), kRed), 0);

    // A pen ten units wide covers five on either side of its line.
    const QImage wide = RenderWmf([](WmfBytes& w) {
        BluePenNoFill(w, 10);
        w.Record(kMoveTo, {50, 20}).Record(kLineTo, {50, 80});
    });
    EXPECT_EQ(Rgb(wide, 50, 53), kBlue);
    EXPECT_EQ(Rgb(wide, 50, 47), kBlue);
    EXPECT_EQ(Rgb(wide, 50, 58), kWhite);

    // A dashed pen leaves gaps along its line.
    const QImage dashed = RenderWmf([](WmfBytes& w) {
        BluePenNoFill(w, 0, 1);
        w.Record(kSetBkMode, {1});
        w.Record(kMoveTo, {50, 0}).Record(kLineTo, {50, 100});
    });
    const int dashes = CountColour(dashed, QRect(0, 49, 100, 3), kBlue);
    EXPECT_GT(dashes, 20);
    EXPECT_LT(dashes, 90);
}

TEST(WmfRecords, MappingModesCountInTheirUnits) {
    // 254 units per inch make a unit 0.1 mm, which is one pixel of this
    // picture in the low-metric mode; y counts upwards there.
    const QImage metric = RenderWmf(
        [](WmfBytes& w) {
            RedFillNoPen(w);
            w.Record(kSetMapMode, {2});
            w.Record(kRectangle, {-50, 50, -10, 10});
        },
        254);
    EXPECT_EQ(Rgb(metric, 30, 30), kRed);
    EXPECT_EQ(Rgb(metric, 30, 70), kWhite);

    // In the high-metric mode the same numbers are ten times smaller.
    const QImage hiMetric = RenderWmf(
        [](WmfBytes& w) {
            RedFillNoPen(w);
            w.Record(kSetMapMode, {3});
            w.Record(kRectangle, {-50, 50, -10, 10});
        },
        254);
    EXPECT_EQ(Rgb(hiMetric, 3, 3), kRed);
    EXPECT_EQ(Rgb(hiMetric, 30, 30), kWhite);

    // A file without the placeable header takes its frame from its window.
    WmfBytes plain;
    RedFillNoPen(plain);
    plain.Record(kSetWindowOrg, {0, 0}).Record(kSetWindowExt, {1000, 1000});
    plain.Record(kSetMapMode, {8});
    plain.Record(kRectangle, {500, 500, 0, 0});
    const QImage framed = Render(plain.Plain(), platform::PictureKind::Wmf);
    EXPECT_EQ(Rgb(framed, 40, 40), kRed);
    EXPECT_EQ(Rgb(framed, 60, 60), kWhite);
}

TEST(WmfRecords, BitmapsKeepTheirRowsInOrder) {
    // Stretched over the whole picture: the bitmap's top row is its second.
    const QImage stretched = RenderWmf([](WmfBytes& w) {
        w.RecordBytes(kStretchDib, WordsAsBytes({0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 0, 0}) + Dib2x2());
    });
    EXPECT_EQ(Rgb(stretched, 25, 25), kBlue);
    EXPECT_EQ(Rgb(stretched, 75, 25), kWhite);
    EXPECT_EQ(Rgb(stretched, 25, 75), kRed);
    EXPECT_EQ(Rgb(stretched, 75, 75), kGreen);

    // A stretch of the bitmap's top-left pixel alone.
    const QImage part = RenderWmf([](WmfBytes& w) {
        w.RecordBytes(kDibStretchBlt, WordsAsBytes({0x0020, 0x00CC, 1, 1, 0, 0, 20, 20, 10, 10}) + Dib2x2());
    });
    EXPECT_EQ(Rgb(part, 15, 15), kBlue);
    EXPECT_EQ(Rgb(part, 29, 29), kBlue);
    EXPECT_EQ(Rgb(part, 31, 31), kWhite);

    // Drawn plain, one bitmap pixel to one unit.
    const QImage plain = RenderWmf([](WmfBytes& w) {
        w.RecordBytes(kDibBitBlt, WordsAsBytes({0x0020, 0x00CC, 0, 0, 2, 2, 40, 60}) + Dib2x2());
    });
    EXPECT_EQ(Rgb(plain, 60, 40), kBlue);
    EXPECT_EQ(Rgb(plain, 61, 40), kWhite);
    EXPECT_EQ(Rgb(plain, 60, 41), kRed);
    EXPECT_EQ(Rgb(plain, 61, 41), kGreen);
    EXPECT_EQ(Rgb(plain, 62, 42), kWhite);

    // A negative extent mirrors the bitmap.
    const QImage mirrored = RenderWmf([](WmfBytes& w) {
        w.RecordBytes(kStretchDib, WordsAsBytes({0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, -100, 0, 100}) + Dib2x2());
    });
    EXPECT_EQ(Rgb(mirrored, 25, 25), kWhite);
    EXPECT_EQ(Rgb(mirrored, 75, 25), kBlue);
    EXPECT_EQ(Rgb(mirrored, 25, 75), kGreen);

    // A bitmap that is broken leaves its record undrawn and the rest drawn.
    const QImage broken = RenderWmf([](WmfBytes& w) {
        RedFillNoPen(w);
        w.RecordBytes(kStretchDib, WordsAsBytes({0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 0, 0}) +
                                       Dib2x2().substr(0, 30));
        w.Record(kRectangle, {90, 90, 10, 10});
    });
    EXPECT_EQ(Rgb(broken, 50, 50), kRed);
}

// A font record: height, width, escapement, orientation, weight, italic and
// the other flag bytes, then the face name.
std::vector<int> FontWords(int height, int escapement = 0) {
    std::vector<int> words = {height, 0, escapement, escapement, 700, 0, 0xCC, 0, 0};
    const std::string face = "DejaVu Sans";
    for (std::size_t i = 0; i < 32; i += 2) {
        const int low = i < face.size() ? face[i] : 0;
        const int high = i + 1 < face.size() ? face[i + 1] : 0;
        words.push_back(low | (high << 8));
    }
    return words;
}

TEST(WmfRecords, TextIsDrawnInTheTextColourWhereItsAlignmentPutsIt) {
    const std::string lighthouse = "\xCC\xE0\xFF\xEA"; // Маяк in cp1251
    const QImage text = RenderWmf([&](WmfBytes& w) {
        w.Record(kCreateFont, FontWords(-30)).Record(kSelectObject, {0});
        w.Record(kSetTextColor, ColorWords(kGreen));
        w.Record(kSetBkMode, {1});
        w.RecordBytes(kTextOut, WordsAsBytes({4}) + lighthouse + WordsAsBytes({10, 10}));
    });
    EXPECT_GT(CountColour(text, QRect(10, 10, 90, 35), kGreen), 20);
    EXPECT_EQ(CountColour(text, QRect(0, 50, 100, 50), kGreen), 0);
    EXPECT_EQ(CountColour(text, QRect(0, 0, 100, 9), kGreen), 0);

    // Bottom alignment puts the text above its point; the opaque rectangle
    // is filled with the background colour, and the text clipped to it.
    const QImage bottom = RenderWmf([&](WmfBytes& w) {
        w.Record(kCreateFont, FontWords(-30)).Record(kSelectObject, {0});
        w.Record(kSetTextColor, ColorWords(kGreen));
        w.Record(kSetBkColor, ColorWords(kRed));
        w.Record(kSetTextAlign, {8});
        w.RecordBytes(kExtTextOut,
                      WordsAsBytes({90, 10, 4, 0x0006, 0, 60, 100, 100}) + lighthouse);
    });
    EXPECT_GT(CountColour(bottom, QRect(10, 60, 90, 30), kGreen), 20);
    EXPECT_EQ(CountColour(bottom, QRect(0, 0, 100, 59), kGreen), 0);
    EXPECT_EQ(Rgb(bottom, 2, 98), kRed);
    EXPECT_EQ(Rgb(bottom, 2, 50), kWhite);
}

TEST(WmfRecords, BrokenFilesAreErrors) {
    WmfBytes one;
    RedFillNoPen(one);
    one.Record(kRectangle, {90, 90, 10, 10});
    const std::string good = one.Placeable(0, 0, 100, 100);
    std::string pastTheEnd = good;
    pastTheEnd[22 + 18] = '\x70'; // the first record claims more words than there are
    std::string sizeZero = good;
    sizeZero.replace(22 + 18, 4, std::string(4, '\0')); // a record of no words
    std::string tooFewPoints = WmfBytes().Record(kPolygon, {100, 1, 2}).Placeable(0, 0, 100, 100);
    WmfBytes many;
    for (std::size_t i = 0; i <= platform::kMaxMetafileRecords; ++i)
        many.Record(kSaveDc, {});

    const std::vector<std::pair<const char*, std::string>> broken = {
        {"empty", ""},
        {"not a metafile", "GIF89a, a picture of another kind"},
        {"placeable header alone", good.substr(0, 22)},
        {"wrong version", good.substr(0, 26) + "\x07\x07" + good.substr(28)},
        {"record past the end", pastTheEnd},
        {"record of no words", sizeZero},
        {"points past the record", tooFewPoints},
        {"empty frame", one.Placeable(10, 10, 10, 90)},
        {"too many records", many.Placeable(0, 0, 100, 100)},
    };
    for (const auto& [name, bytes] : broken)
        EXPECT_THROW(Render(bytes, platform::PictureKind::Wmf), platform::PictureError) << name;
    EXPECT_THROW(Render(good, platform::PictureKind::Wmf, QSize(0, 10)), platform::PictureError);
    EXPECT_THROW(Render(good, platform::PictureKind::Emf), platform::PictureError);
    // A file cut after a whole record draws what it holds.
    const QImage cut = Render(good.substr(0, good.size() - 6), platform::PictureKind::Wmf);
    EXPECT_EQ(Rgb(cut, 50, 50), kRed);
}

// ---- EMF ---------------------------------------------------------------------

// EMF record types.
enum : std::uint32_t {
    kEmrPolyBezier = 2,
    kEmrPolygon = 3,
    kEmrPolyline = 4,
    kEmrPolyPolygon = 8,
    kEmrSetWindowExtEx = 9,
    kEmrSetWindowOrgEx = 10,
    kEmrSetViewportExtEx = 11,
    kEmrSetMapMode = 17,
    kEmrSetBkMode = 18,
    kEmrSetTextColor = 24,
    kEmrMoveToEx = 27,
    kEmrIntersectClipRect = 30,
    kEmrSaveDc = 33,
    kEmrRestoreDc = 34,
    kEmrSetWorldTransform = 35,
    kEmrModifyWorldTransform = 36,
    kEmrSelectObject = 37,
    kEmrCreatePen = 38,
    kEmrCreateBrushIndirect = 39,
    kEmrDeleteObject = 40,
    kEmrAngleArc = 41,
    kEmrEllipse = 42,
    kEmrRectangle = 43,
    kEmrRoundRect = 44,
    kEmrArc = 45,
    kEmrChord = 46,
    kEmrPie = 47,
    kEmrLineTo = 54,
    kEmrSetArcDirection = 57,
    kEmrBeginPath = 59,
    kEmrEndPath = 60,
    kEmrFillPath = 62,
    kEmrSelectClipPath = 67,
    kEmrBitBlt = 76,
    kEmrStretchDiBits = 81,
    kEmrExtCreateFontIndirectW = 82,
    kEmrExtTextOutA = 83,
    kEmrExtTextOutW = 84,
    kEmrPolygon16 = 86,
    kEmrPolyline16 = 87,
    kEmrExtCreatePen = 95,
};

constexpr std::uint32_t kStock = 0x80000000;

std::uint32_t U(int value) {
    return static_cast<std::uint32_t>(value);
}

std::uint32_t FloatBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

// A red solid brush in slot 1 and no pen, both selected.
void EmfRedFillNoPen(EmfBytes& emf) {
    emf.Record(kEmrCreateBrushIndirect, {1, 0, ColorRef(kRed), 0}).Record(kEmrSelectObject, {1});
    emf.Record(kEmrSelectObject, {kStock | 8});
}

// A blue pen one pixel wide in slot 1 and no brush, both selected.
void EmfBluePenNoFill(EmfBytes& emf) {
    emf.Record(kEmrCreatePen, {1, 0, 0, 0, ColorRef(kBlue)}).Record(kEmrSelectObject, {1});
    emf.Record(kEmrSelectObject, {kStock | 5});
}

// A 16-bit-point record: bounds, count, the points.
std::vector<std::uint32_t> Points16(std::initializer_list<int> xy) {
    std::vector<std::uint32_t> out = {0, 0, 0, 0, U(static_cast<int>(xy.size() / 2))};
    for (auto it = xy.begin(); it != xy.end(); it += 2)
        out.push_back((U(*it) & 0xFFFF) | (U(*(it + 1)) << 16));
    return out;
}

// A 32-bit-point record: bounds, count, the points.
std::vector<std::uint32_t> Points32(std::initializer_list<int> xy) {
    std::vector<std::uint32_t> out = {0, 0, 0, 0, U(static_cast<int>(xy.size() / 2))};
    for (int value : xy)
        out.push_back(U(value));
    return out;
}

QImage RenderEmf(const std::function<void(EmfBytes&)>& records) {
    EmfBytes emf;
    records(emf);
    return Render(emf.File(), platform::PictureKind::Emf);
}

struct EmfCase {
    const char* name;
    std::function<void(EmfBytes&)> records;
    std::vector<std::pair<QPoint, std::uint32_t>> pixels;
};

TEST(EmfRecords, EachShapeSetsItsPixels) {
    const std::vector<EmfCase> cases = {
        {"rectangle",
         [](EmfBytes& e) { EmfRedFillNoPen(e); e.Record(kEmrRectangle, {10, 10, 50, 50}); },
         {{{30, 30}, kRed}, {{60, 60}, kWhite}}},
        {"ellipse",
         [](EmfBytes& e) { EmfRedFillNoPen(e); e.Record(kEmrEllipse, {10, 10, 90, 90}); },
         {{{50, 50}, kRed}, {{13, 13}, kWhite}}},
        {"rounded rectangle",
         [](EmfBytes& e) { EmfRedFillNoPen(e); e.Record(kEmrRoundRect, {10, 10, 90, 90, 40, 40}); },
         {{{50, 11}, kRed}, {{11, 11}, kWhite}}},
        {"polygon of 32-bit points",
         [](EmfBytes& e) { EmfRedFillNoPen(e); e.Record(kEmrPolygon, Points32({10, 10, 90, 10, 10, 90})); },
         {{{20, 20}, kRed}, {{80, 80}, kWhite}}},
        {"polygon of 16-bit points",
         [](EmfBytes& e) { EmfRedFillNoPen(e); e.Record(kEmrPolygon16, Points16({90, 90, 10, 90, 90, 10})); },
         {{{80, 80}, kRed}, {{20, 20}, kWhite}}},
        {"poly-polygon",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             e.Record(kEmrPolyPolygon, {0, 0, 0, 0, 2, 6, 3, 3, 10, 10, 40, 10, 10, 40, 90, 90,
                                        60, 90, 90, 60});
         },
         {{{15, 15}, kRed}, {{85, 85}, kRed}, {{50, 50}, kWhite}}},
        {"pie",
         [](EmfBytes& e) { EmfRedFillNoPen(e); e.Record(kEmrPie, {10, 10, 90, 90, 90, 50, 50, 10}); },
         {{{65, 35}, kRed}, {{35, 35}, kWhite}, {{65, 65}, kWhite}}},
        {"pie drawn clockwise",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             e.Record(kEmrSetArcDirection, {2});
             e.Record(kEmrPie, {10, 10, 90, 90, 90, 50, 50, 10});
         },
         {{{65, 35}, kWhite}, {{35, 35}, kRed}, {{65, 65}, kRed}}},
        {"chord",
         [](EmfBytes& e) { EmfRedFillNoPen(e); e.Record(kEmrChord, {10, 10, 90, 90, 90, 50, 50, 10}); },
         {{{75, 25}, kRed}, {{60, 40}, kWhite}}},
        {"stock black brush",
         [](EmfBytes& e) {
             e.Record(kEmrSelectObject, {kStock | 4}).Record(kEmrSelectObject, {kStock | 8});
             e.Record(kEmrRectangle, {10, 10, 90, 90});
         },
         {{{50, 50}, 0x000000}}},
        {"a path filled",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             e.Record(kEmrBeginPath, {});
             e.Record(kEmrMoveToEx, {10, 10}).Record(kEmrLineTo, {90, 10}).Record(kEmrLineTo, {10, 90});
             e.Record(kEmrEndPath, {});
             e.Record(kEmrFillPath, {0, 0, 100, 100});
         },
         {{{20, 20}, kRed}, {{80, 80}, kWhite}}},
        {"save and restore",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             e.Record(kEmrSaveDc, {});
             e.Record(kEmrSelectObject, {kStock | 4});
             e.Record(kEmrRestoreDc, {U(-1)});
             e.Record(kEmrRectangle, {10, 10, 90, 90});
         },
         {{{50, 50}, kRed}}},
        {"deleting a selected brush leaves it selected",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             e.Record(kEmrDeleteObject, {1});
             e.Record(kEmrRectangle, {10, 10, 90, 90});
         },
         {{{50, 50}, kRed}}},
        {"world transform doubles",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             e.Record(kEmrSetWorldTransform, {FloatBits(2), 0, 0, FloatBits(2), FloatBits(10), 0});
             e.Record(kEmrRectangle, {0, 0, 20, 20});
         },
         {{{45, 35}, kRed}, {{5, 5}, kWhite}, {{55, 45}, kWhite}}},
        {"world transform modified back to identity",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             e.Record(kEmrSetWorldTransform, {FloatBits(2), 0, 0, FloatBits(2), 0, 0});
             e.Record(kEmrModifyWorldTransform, {0, 0, 0, 0, 0, 0, 1});
             e.Record(kEmrRectangle, {0, 0, 20, 20});
         },
         {{{10, 10}, kRed}, {{30, 30}, kWhite}}},
        {"anisotropic window and viewport",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             e.Record(kEmrSetMapMode, {8});
             e.Record(kEmrSetWindowOrgEx, {U(-10), U(-10)});
             e.Record(kEmrSetWindowExtEx, {10, 10}).Record(kEmrSetViewportExtEx, {100, 50});
             e.Record(kEmrRectangle, {U(-10), U(-10), U(-5), U(-5)});
         },
         {{{40, 20}, kRed}, {{40, 30}, kWhite}, {{60, 20}, kWhite}}},
        {"clip",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             e.Record(kEmrIntersectClipRect, {0, 0, 50, 100});
             e.Record(kEmrRectangle, {10, 10, 90, 90});
         },
         {{{30, 50}, kRed}, {{70, 50}, kWhite}}},
        {"a clip path reaching far past the picture",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             e.Record(kEmrBeginPath, {});
             e.Record(kEmrMoveToEx, {0, 0}).Record(kEmrLineTo, {50, 0});
             e.Record(kEmrLineTo, {50, 1'000'000'000}).Record(kEmrLineTo, {0, 1'000'000'000});
             e.Record(kEmrEndPath, {});
             e.Record(kEmrSelectClipPath, {1});
             e.Record(kEmrRectangle, {10, 10, 90, 90});
         },
         {{{30, 50}, kRed}, {{70, 50}, kWhite}}},
        {"bitmap stretched",
         [](EmfBytes& e) {
             std::string body;
             for (int v : {0, 0, 99, 99, 0, 0, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 100, 100})
                 testing_support::PutU32(body, U(v));
             const std::string dib = Dib2x2();
             body += dib.substr(0, 40) + dib.substr(40);
             e.RecordBytes(kEmrStretchDiBits, body);
         },
         {{{25, 25}, kBlue}, {{75, 25}, kWhite}, {{25, 75}, kRed}, {{75, 75}, kGreen}}},
        {"a blit without a bitmap paints with the brush",
         [](EmfBytes& e) {
             EmfRedFillNoPen(e);
             std::vector<std::uint32_t> body = {0, 0, 0, 0, 20, 20, 30, 30, 0x00F00021};
             body.resize(92 / 4, 0);
             e.Record(kEmrBitBlt, body);
         },
         {{{30, 30}, kRed}, {{60, 60}, kWhite}}},
    };
    for (const EmfCase& c : cases) {
        const QImage image = RenderEmf(c.records);
        ASSERT_EQ(image.size(), QSize(100, 100)) << c.name;
        for (const auto& [point, rgb] : c.pixels)
            EXPECT_EQ(Rgb(image, point.x(), point.y()), rgb)
                << c.name << " at " << point.x() << "," << point.y();
    }
}

TEST(EmfRecords, LinesArcsAndText) {
    const QImage lines = RenderEmf([](EmfBytes& e) {
        EmfBluePenNoFill(e);
        e.Record(kEmrMoveToEx, {10, 50}).Record(kEmrLineTo, {90, 50});
        e.Record(kEmrPolyline16, Points16({10, 10, 90, 10}));
        e.Record(kEmrPolyBezier, Points32({10, 90, 30, 90, 70, 90, 90, 90}));
    });
    EXPECT_TRUE(ColourNear(lines, 50, 50, kBlue));
    EXPECT_TRUE(ColourNear(lines, 50, 10, kBlue));
    EXPECT_TRUE(ColourNear(lines, 50, 90, kBlue));
    EXPECT_EQ(CountColour(lines, QRect(0, 20, 100, 20), kBlue), 0);

    const QImage arcs = RenderEmf([](EmfBytes& e) {
        EmfBluePenNoFill(e);
        e.Record(kEmrArc, {10, 10, 90, 90, 90, 50, 50, 10});
        // From the current position (the centre) a line to the arc's start,
        // then a quarter circle counter-clockwise from three o'clock.
        e.Record(kEmrMoveToEx, {50, 50});
        e.Record(kEmrAngleArc, {50, 50, 20, 0, FloatBits(90)});
    });
    EXPECT_TRUE(ColourNear(arcs, 78, 22, kBlue));
    EXPECT_FALSE(ColourNear(arcs, 22, 78, kBlue, 3));
    EXPECT_TRUE(ColourNear(arcs, 60, 50, kBlue));   // the line
    EXPECT_TRUE(ColourNear(arcs, 64, 36, kBlue));   // the angle arc
    EXPECT_FALSE(ColourNear(arcs, 36, 64, kBlue, 2));

    // Wide text and single-byte text, both Cyrillic.
    auto fontRecord = [](EmfBytes& e) {
        std::vector<std::uint32_t> font = {1, U(-30), 0, 0, 0, 700, 0xCC000000u};
        font.resize(2 + 8 + 16, 0);
        const std::u16string face = u"DejaVu Sans";
        for (std::size_t i = 0; i < face.size(); i += 2)
            font[7 + i / 2] = face[i] | (i + 1 < face.size() ? face[i + 1] << 16 : 0);
        e.Record(kEmrExtCreateFontIndirectW, font).Record(kEmrSelectObject, {1});
        e.Record(kEmrSetTextColor, {ColorRef(kGreen)}).Record(kEmrSetBkMode, {1});
    };
    auto textRecord = [](std::uint32_t type, int x, int y, const std::string& text, int characters) {
        std::string body;
        for (int v : {0, 0, 0, 0, 1, 0, 0, x, y, characters, 76, 0, 0, 0, 0, 0, 0})
            testing_support::PutU32(body, U(v));
        (void)type;
        return body + text;
    };
    const QImage wide = RenderEmf([&](EmfBytes& e) {
        fontRecord(e);
        e.RecordBytes(kEmrExtTextOutW, textRecord(kEmrExtTextOutW, 10, 10,
                                                  std::string("\x1C\x04\x30\x04\x4F\x04\x3A\x04", 8), 4));
    });
    EXPECT_GT(CountColour(wide, QRect(10, 10, 90, 35), kGreen), 20);
    EXPECT_EQ(CountColour(wide, QRect(0, 50, 100, 50), kGreen), 0);
    const QImage narrow = RenderEmf([&](EmfBytes& e) {
        fontRecord(e);
        e.RecordBytes(kEmrExtTextOutA, textRecord(kEmrExtTextOutA, 10, 55, "\xCC\xE0\xFF\xEA", 4));
    });
    EXPECT_GT(CountColour(narrow, QRect(10, 55, 90, 35), kGreen), 20);
    EXPECT_EQ(CountColour(narrow, QRect(0, 0, 100, 50), kGreen), 0);
}

TEST(EmfRecords, BrokenFilesAreErrors) {
    EmfBytes one;
    EmfRedFillNoPen(one);
    one.Record(kEmrRectangle, {10, 10, 90, 90});
    const std::string good = one.File();
    std::string pastTheEnd = good;
    pastTheEnd[88 + 4] = '\x7F'; // the first record claims more bytes than there are
    std::string unaligned = good;
    unaligned[88 + 4] = '\x17';
    std::string signature = good;
    signature[40] = 'X';
    std::string emptyFrame = EmfBytes().File(0, 0);
    EmfBytes shortPoints;
    shortPoints.Record(kEmrPolygon, {0, 0, 0, 0, 1000, 1, 2});
    EmfBytes figures;
    figures.Record(kEmrPolyPolygon, {0, 0, 0, 0, 2, 3, 3, 3, 1, 1, 2, 2, 3, 3});

    const std::vector<std::pair<const char*, std::string>> broken = {
        {"empty", ""},
        {"header cut short", good.substr(0, 60)},
        {"wrong signature", signature},
        {"record past the end", pastTheEnd},
        {"record size not whole values", unaligned},
        {"points past the record", shortPoints.File()},
        {"figures with more points than the record", figures.File()},
        {"empty frame and bounds", emptyFrame},
    };
    for (const auto& [name, bytes] : broken)
        EXPECT_THROW(Render(bytes, platform::PictureKind::Emf), platform::PictureError) << name;
    EXPECT_THROW(Render(good, platform::PictureKind::Wmf), platform::PictureError);
}

} // namespace
