// Qt's Russian translation as both programs load it: the standard buttons of
// the platform's boxes read in Russian.
#include "platform/QtDialogs.h"
#include "platform/Translation.h"
#include "tests/platform/QtApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString Plain(QString text) { return text.remove(QChar('&')); }

TEST(TranslationTest, StandardButtonsOfTheBoxesReadInRussian) {
    QApplication& app = testing_support::App();
    ASSERT_TRUE(platform::LoadQtTranslation(app));
    platform::QtDialogs dialogs;

    QString yes, no;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        yes = Plain(box->button(QMessageBox::Yes)->text());
        no = Plain(box->button(QMessageBox::No)->text());
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(dialogs.Question(platform::QuestionKind::YesNo, "?"));
    EXPECT_EQ(yes, QStringLiteral("Да"));
    EXPECT_EQ(no, QStringLiteral("Нет"));

    QString cancel;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        auto* buttons = box->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        cancel = Plain(buttons->button(QDialogButtonBox::Cancel)->text());
        buttons->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_EQ(dialogs.Input("caption", "prompt", "x"), std::nullopt);
    EXPECT_EQ(cancel, QStringLiteral("Отмена"));
}

} // namespace
