// The platform layer: text conversion at the widget boundary, the scripted
// dialogs, the error report, JPEG decoding and the real input box's limit.
#include "platform/ErrorReport.h"
#include "platform/Jpeg.h"
#include "platform/QtDialogs.h"
#include "platform/ScriptedDialogs.h"
#include "platform/Text.h"
#include "tests/platform/QtApp.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>

namespace {

using platform::FromQString;
using platform::ToQString;
using Kind = platform::ShownDialog::Kind;

std::string ReadSourceFile(const std::string& relative) {
    const char* root = std::getenv("NORVO_SOURCE_DIR");
    std::ifstream in(std::string(root ? root : NORVO_SOURCE_DIR_DEFAULT) + "/" + relative,
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Text, EveryCp1251ByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString q = ToQString(all);
    EXPECT_EQ(q.size(), 256);
    EXPECT_EQ(FromQString(q), all);
    // Spot checks of the mapping itself: 0xC0 is А, 0xB8 is ё, 0x98 is U+0098.
    EXPECT_EQ(ToQString("\xC0\xB8\x98"), QString::fromUtf8("Аё\xC2\x98"));
}

TEST(Text, CharactersWithoutACp1251ByteBecomeQuestionMarks) {
    // A CJK character, an emoji outside the BMP (one '?', not two), and ok text.
    EXPECT_EQ(FromQString(QString::fromUtf8("a中b😀c")), "a?b?c");
    EXPECT_EQ(FromQString(QString::fromUtf8("Ключ №1")), "\xCA\xEB\xFE\xF7 \xB9\x31");
}

TEST(ScriptedDialogs, RecordsBoxesAndAnswersInOrder) {
    platform::ScriptedDialogs dialogs({"Иван", "yes", "OK", "no", "whatever"});
    dialogs.Message(platform::MessageKind::Error, "boom");
    EXPECT_EQ(dialogs.Input("Имя", "Как зовут?", ""), std::optional<std::string>("Иван"));
    EXPECT_TRUE(dialogs.Question(platform::QuestionKind::YesNo, "q1"));
    EXPECT_TRUE(dialogs.Question(platform::QuestionKind::OkCancel, "q2"));
    EXPECT_FALSE(dialogs.Question(platform::QuestionKind::YesNo, "q3"));
    EXPECT_FALSE(dialogs.Question(platform::QuestionKind::YesNo, "q4")); // not yes/ok
    // Nothing left: the input box is cancelled, the question answered No.
    EXPECT_EQ(dialogs.Input("c", "p", "default"), std::nullopt);
    EXPECT_FALSE(dialogs.Question(platform::QuestionKind::OkCancel, "q5"));

    const auto shown = dialogs.TakeShown();
    ASSERT_EQ(shown.size(), 8u);
    EXPECT_EQ(shown[0].kind, Kind::Message);
    EXPECT_EQ(shown[0].messageKind, platform::MessageKind::Error);
    EXPECT_EQ(shown[0].text, "boom");
    EXPECT_EQ(shown[1].kind, Kind::Input);
    EXPECT_EQ(shown[1].caption, "Имя");
    EXPECT_EQ(shown[1].text, "Как зовут?");
    EXPECT_EQ(shown[6].kind, Kind::Input);
    EXPECT_FALSE(shown[6].input.has_value());
    EXPECT_EQ(shown[7].questionKind, platform::QuestionKind::OkCancel);
    EXPECT_FALSE(shown[7].accepted);
    EXPECT_TRUE(dialogs.Shown().empty()); // taken
}

TEST(ScriptedDialogs, InputAnswerIsCutToTheBoxLimit) {
    platform::ScriptedDialogs dialogs({std::string(300, 'x')});
    auto answer = dialogs.Input("c", "p", "");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->size(), static_cast<std::size_t>(platform::kInputMaxLength));
}

TEST(ErrorReport, ShowsTheMessageAndKeepsTheExceptionIn) {
    platform::ScriptedDialogs dialogs;
    EXPECT_TRUE(platform::RunReported(dialogs, [] {}));
    EXPECT_FALSE(
        platform::RunReported(dialogs, [] { throw std::runtime_error("File not found"); }));
    EXPECT_FALSE(platform::RunReported(dialogs, [] { throw 42; }));
    const auto shown = dialogs.TakeShown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].messageKind, platform::MessageKind::Error);
    EXPECT_EQ(shown[0].text, "File not found");
    EXPECT_FALSE(shown[1].text.empty()); // a generic text for a nameless failure
}

TEST(Jpeg, DecodesTheBackgroundPicture) {
    const std::string bytes = ReadSourceFile("player/background/background.jpg");
    ASSERT_FALSE(bytes.empty());
    auto result =
        platform::DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.image.width(), 688);
    EXPECT_EQ(result.image.height(), 447);
    // A warm, light parchment in the middle.
    const QColor middle = result.image.pixelColor(344, 223);
    EXPECT_GT(middle.red(), 200);
    EXPECT_GT(middle.red(), middle.blue());
}

TEST(Jpeg, BrokenInputGivesAnErrorNotACrash) {
    const std::string good = ReadSourceFile("player/background/background.jpg");
    ASSERT_GT(good.size(), 200u);
    // A header that claims 65,000 x 65,000 pixels: refused before decoding.
    std::string huge = good;
    const auto sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = huge[sof + 7] = static_cast<char>(0xFD);
    huge[sof + 6] = huge[sof + 8] = static_cast<char>(0xE8);

    const std::vector<std::string> broken = {
        "",                  // nothing at all
        "GIF89a not a jpeg", // another format
        good.substr(0, 20),  // cut inside the headers
        huge,
    };
    for (const std::string& bytes : broken) {
        auto result = platform::DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.data()),
                                           bytes.size());
        EXPECT_FALSE(result.ok()) << bytes.size();
        EXPECT_TRUE(result.image.isNull());
    }
    // A file cut in the middle of the picture data still decodes (libjpeg
    // fills the rest), quietly.
    const std::string half = good.substr(0, good.size() / 2);
    EXPECT_TRUE(
        platform::DecodeJpeg(reinterpret_cast<const unsigned char*>(half.data()), half.size())
            .ok());
    EXPECT_FALSE(platform::LoadJpegFile("/nonexistent/picture.jpg").ok());
}

TEST(Jpeg, DamagedCopiesOfAGoodPictureNeverCrash) {
    // Each copy has a few bytes overwritten (a fixed pseudo-random series, so
    // a failure repeats); under the sanitizers any bad read or write shows.
    const std::string good = ReadSourceFile("player/background/background.jpg");
    ASSERT_FALSE(good.empty());
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    int decoded = 0;
    for (int copy = 0; copy < 60; ++copy) {
        std::string bytes = good.substr(0, good.size() - next() % 64);
        for (int hit = 0; hit < 4; ++hit)
            bytes[next() % std::min<std::size_t>(bytes.size(), 700)] = static_cast<char>(next());
        auto result = platform::DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.data()),
                                           bytes.size());
        EXPECT_EQ(result.ok(), !result.image.isNull());
        decoded += result.ok();
    }
    EXPECT_GT(decoded, 0); // not every damage is fatal, so both paths ran
    EXPECT_LT(decoded, 60);
}

TEST(QtDialogs, InputBoxTakesAtMost255CharactersAndCancelGivesNothing) {
    testing_support::App();
    platform::QtDialogs dialogs;
    auto answerWith = [](const QString& text, bool accept) {
        QTimer::singleShot(0, [text, accept] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            auto* edit = box->findChild<QLineEdit*>();
            ASSERT_NE(edit, nullptr);
            edit->insert(text);
            QMetaObject::invokeMethod(box, accept ? "accept" : "reject");
        });
    };
    answerWith(QString(300, QChar(0x0416)), true); // Ж x 300
    auto answer = dialogs.Input("Заголовок", "Вопрос", "");
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, std::string(255, '\xC6'));

    answerWith(QStringLiteral("ignored"), false);
    EXPECT_EQ(dialogs.Input("c", "p", ""), std::nullopt);
}

} // namespace
