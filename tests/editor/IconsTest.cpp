// The editor's drawn pictures: each is drawn at every size it is used at, and
// no two look the same.
#include "editor/Icons.h"

#include "tests/platform/QtApp.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include <vector>

namespace {

using editor::Picture;

const Picture kPictures[] = {
    Picture::NewQuest,    Picture::OpenQuest,   Picture::SaveQuest, Picture::CompileRun,
    Picture::Compile,     Picture::Parameters,  Picture::Exit,      Picture::AddLocation,
    Picture::DelLocation, Picture::Ok,          Picture::Cancel,    Picture::Help,
    Picture::Credits,     Picture::Play,        Picture::CheckScripts,
};

// The share of pixels that are not transparent.
double Covered(const QImage& image) {
    int covered = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            covered += qAlpha(image.pixel(x, y)) > 0;
    return static_cast<double>(covered) / (image.width() * image.height());
}

TEST(EditorIcons, EachPictureIsDrawnAtEverySizeAndNoTwoAreAlike) {
    testing_support::App();
    std::vector<QImage> drawn;
    for (const Picture picture : kPictures) {
        const QIcon icon = editor::EditorIcon(picture);
        for (const int size : {16, 24, 32, 48}) {
            const QImage image = icon.pixmap(size, size).toImage();
            EXPECT_EQ(image.width(), size);
            // Something is drawn, and not a filled square.
            const double covered = Covered(image);
            EXPECT_GT(covered, 0.1) << static_cast<int>(picture) << " at " << size;
            EXPECT_LT(covered, 0.95) << static_cast<int>(picture) << " at " << size;
        }
        drawn.push_back(icon.pixmap(24, 24).toImage());
    }
    for (std::size_t a = 0; a < drawn.size(); ++a)
        for (std::size_t b = a + 1; b < drawn.size(); ++b)
            EXPECT_NE(drawn[a], drawn[b]) << a << " and " << b;
}

} // namespace
