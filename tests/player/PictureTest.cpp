// ShowImage: the six picture kinds by extension, the failures that leave the
// picture as it was, and the reset at the next show.
#include "tests/platform/MetafileBytes.h"
#include "tests/player/PlayerFixture.h"

#include <QImage>
#include <filesystem>
#include <fstream>

namespace {

using namespace testing_support;
using platform::PictureKind;
namespace fs = std::filesystem;

class PictureTest : public PlayerTest {
protected:
    PictureTest() {
        dir = fs::temp_directory_path() / ("norvo-pictures-" + std::to_string(getpid()));
        fs::create_directories(dir / "in.folder");
        Save("red.bmp", Qt::red, "BMP");
        Save("GREEN.BMP", Qt::green, "BMP");
        Save("blue.ico", Qt::blue, "ICO");
        Save("photo.JPG", Qt::yellow, "JPEG");
        Save("photo2.Jpeg", Qt::yellow, "JPEG");
        Save("in.folder/noext", Qt::red, "BMP");
        Write("plain.wmf", WmfBytes().Placeable(0, 0, 100, 100));
        Write("plain.emf", EmfBytes().File());
        Write("broken.bmp", "BM this is no bitmap");
        Save("real.gif", Qt::red, "BMP"); // a fine picture, under a name not in the list
        Load(Quest({Location("One"), Location("Two")}));
    }
    ~PictureTest() override { fs::remove_all(dir); }

    void Save(const std::string& name, Qt::GlobalColor colour, const char* format) {
        QImage picture(32, 24, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(QString::fromStdString((dir / name).string()), format)) << name;
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    void Show(const std::string& name, const std::string& after = "") {
        Run("ShowImage('" + Path(name) + "');" + after);
    }
    QColor Centre() const {
        const QImage shown = form->img->pixmap().toImage();
        return shown.pixelColor(shown.width() / 2, shown.height() / 2);
    }

    fs::path dir;
};

TEST_F(PictureTest, EachExtensionInAnyLetterCaseLoadsItsKind) {
    const struct {
        const char* name;
        PictureKind kind;
    } cases[] = {
        {"red.bmp", PictureKind::Bitmap},  {"GREEN.BMP", PictureKind::Bitmap},
        {"blue.ico", PictureKind::Icon},   {"photo.JPG", PictureKind::Jpeg},
        {"photo2.Jpeg", PictureKind::Jpeg}, {"plain.wmf", PictureKind::Wmf},
        {"plain.emf", PictureKind::Emf},
    };
    for (const auto& c : cases) {
        Show(c.name, "AddText('shown');");
        EXPECT_EQ(form->PictureKind(), c.kind) << c.name;
        EXPECT_EQ(form->PictureFile(), Path(c.name)) << c.name;
        EXPECT_FALSE(form->img->pixmap().isNull()) << c.name;
    }
    EXPECT_EQ(BoxTexts(), "");
    EXPECT_EQ(Description(), "One\nshown\nshown\nshown\nshown\nshown\nshown\nshown");
    // A metafile is drawn into the picture box's size.
    EXPECT_EQ(form->img->pixmap().size(), QSize(345, 265));
    Show("red.bmp");
    EXPECT_EQ(Centre(), QColor(Qt::red));
}

TEST_F(PictureTest, AFailureEndsTheScriptAndLeavesThePictureAsItWas) {
    Show("red.bmp");
    for (const char* name : {"real.gif", "missing.jpg", "broken.bmp", "in.folder/noext", "in.folder"}) {
        Show(name, "AddText('after');");
        EXPECT_EQ(Description(), "One") << name; // the statement after the call did not run
        EXPECT_EQ(form->PictureKind(), PictureKind::Bitmap) << name;
        EXPECT_EQ(form->PictureFile(), Path("red.bmp")) << name;
        EXPECT_EQ(Centre(), QColor(Qt::red)) << name;
    }
    EXPECT_EQ(BoxTexts(), ""); // run-time errors are silent
}

TEST_F(PictureTest, ABitmapStaysAtTheNextShowAndEveryOtherKindGoes) {
    Show("GREEN.BMP", "goto(2);"); // a picture shown before the goto
    EXPECT_EQ(form->PictureKind(), PictureKind::Bitmap);
    EXPECT_EQ(Centre(), QColor(Qt::green));
    for (const char* name : {"blue.ico", "photo.JPG", "plain.wmf", "plain.emf"}) {
        Show(name);
        Run("goto(1);");
        EXPECT_FALSE(form->PictureKind().has_value()) << name;
        EXPECT_TRUE(form->PictureFile().empty()) << name;
        EXPECT_TRUE(form->img->pixmap().isNull()) << name;
    }
    Show("photo.JPG", "restart;"); // restart shows location 1 as well
    EXPECT_FALSE(form->PictureKind().has_value());
}

} // namespace
