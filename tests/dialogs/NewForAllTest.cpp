// The one-line input box: Enter confirms, Esc cancels, bar-code captions
// accept by themselves at the length of a whole code.

#include "dialogs/FNewForAll.h"

#include "support/ScriptedAnswers.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(NewForAll, EnterConfirmsEscCancelsAndTheTextComesBack)
{
    TNewForAll box;
    {
        testsupport::ScriptedAnswers answers;
        answers.dialog([&](QDialog &d) {
            EXPECT_EQ(&d, &box);
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Текст"));
            EXPECT_TRUE(box.Hint.isEmpty());
            EXPECT_EQ(box.Edit->cursorPosition(), 3);
            QTest::keyClicks(box.Edit, QStringLiteral("12"));
            QTest::keyClick(box.Edit, Qt::Key_Return);
            return d.result();
        });
        QString text = QStringLiteral("абв");
        EXPECT_TRUE(box.Ask(QStringLiteral("Текст"), text));
        EXPECT_EQ(text, QStringLiteral("абв12"));
        EXPECT_EQ(box.Hint, QStringLiteral("Ok"));
    }
    {
        testsupport::ScriptedAnswers answers;
        answers.dialog([&](QDialog &d) {
            QTest::keyClicks(box.Edit, QStringLiteral("5"));
            QTest::keyClick(&box, Qt::Key_Escape);
            return d.result();
        });
        QString text = QStringLiteral("1");
        EXPECT_FALSE(box.Ask(QStringLiteral("Ширина"), text));
        EXPECT_EQ(box.Hint, QStringLiteral("Cancel"));
        EXPECT_EQ(text, QStringLiteral("15"));
    }
}

TEST(NewForAll, BarCodeCaptionsAcceptAtTheLengthOfACode)
{
    struct Case {
        const char *caption;
        int typed;       // characters typed one by one
        bool accepted;   // closed with "Ok" by itself
    } cases[] = {
        {"Введите штрих-код", 15, false},
        {"Введите штрих-код", 16, true},
        {"Введите кадастровый номер/штрих-код", 16, false},
        {"Введите кадастровый номер/штрих-код", 19, true},
        {"Текст", 30, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        TNewForAll box;
        testsupport::ScriptedAnswers answers;
        answers.dialog([&](QDialog &) {
            for (int i = 0; i < c.typed; ++i)
                QTest::keyClick(box.Edit, Qt::Key_7);
            return 0;
        });
        QString text;
        EXPECT_EQ(box.Ask(QString::fromUtf8(c.caption), text), c.accepted);
        EXPECT_EQ(text.size(), c.typed);
    }
}

TEST(NewForAll, IsKeptForTheRun)
{
    EXPECT_EQ(NewForAll(), NewForAll());
    EXPECT_EQ(NewForAll()->objectName(), QStringLiteral("NewForAll"));
}

} // namespace
