// The report library's small windows: the modal progress runs its work once
// and honours Cancel, the export progress stops its caller, the display-format
// editor composes its word, and the windowed service hands back what the user
// left in the password and input boxes.

#include "reports/ui/ProgressForms.h"
#include "reports/ui/ReportDialogForms.h"

#include "reports/model/ReportModel.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"
#include "ReportTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace reports;
using testsupport::ScriptedAnswers;

namespace {

// Shows the window for real: the modal wait runs, as the program's answers
// service runs it.
int runIt(QDialog &dialog)
{
    return dialog.exec();
}

} // namespace

// The windows as the user sees them, kept for a person to look at.
TEST(ReportDialogWindows, Pictures)
{
    const QString dir = testsupport::artefactFolder(QStringLiteral("reports"));
    const auto keep = [&](QWidget &w, const char *name) {
        w.show();
        QApplication::processEvents();
        const QImage picture = w.grab().toImage();
        EXPECT_EQ(picture.size(), w.size()) << name;
        picture.save(dir + u'/' + QString::fromLatin1(name) + QStringLiteral(".png"));
        w.hide();
    };
    FormatForm format;
    format.SetFormat((1 << 24) + (3 << 16) + (2 << 8) + 44, QString());
    keep(format, "TfrFmtForm");
    PasswordForm password;
    keep(password, "TfrPasswForm");
    ProgressForm progress;
    progress.SetMessage(QStringLiteral("Формируется страница: 3"));
    keep(progress, "TfrProgressForm");
    ExportProgressForm exporting;
    exporting.Start(10, QStringLiteral("Экспорт в RTF"), true, true);
    exporting.SetPosition(4);
    keep(exporting, "TfrProgress");
}

TEST(ReportProgress, WorkRunsOnceInsideTheModalWait)
{
    ScriptedAnswers answers;
    answers.dialog(runIt);
    Report report;
    int runs = 0;
    bool shownWhileRunning = false;
    QtReportDialogs dialogs;
    const int result = dialogs.ShowForReport(report, QStringLiteral("Подготовка отчета"), QStringLiteral("Формируется страница:"), [&](ProgressWindow &w) {
        ++runs;
        shownWhileRunning = QApplication::activeModalWidget() != nullptr;
        w.SetNote(QStringLiteral("1"));
        w.SetModalResult(1);
    });
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(shownWhileRunning);
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(report.Terminated);
    EXPECT_TRUE(answers.exhausted());
}

TEST(ReportProgress, CancelSetsTheReportsTerminateFlag)
{
    ScriptedAnswers answers;
    answers.dialog(runIt);
    Report report;
    ProgressForm form;
    int loops = 0;
    const int result = form.ShowForReport(report, QStringLiteral("Печать"), QStringLiteral("Печатается страница:"), [&](ProgressWindow &w) {
        // The work loops until the flag stops it; Cancel is pressed meanwhile.
        QTimer::singleShot(20, form.findChild<QPushButton *>("CancelB"), &QPushButton::click);
        while (!report.Terminated && loops < 100000) {
            ++loops;
            w.ProcessEvents();
        }
    });
    EXPECT_TRUE(report.Terminated);
    EXPECT_LT(loops, 100000);
    EXPECT_EQ(result, 2);
    EXPECT_FALSE(form.isVisible());
}

TEST(ReportProgress, AWindowNeverShownRunsNoWorkAndCountsAsCancelled)
{
    ScriptedAnswers answers;
    answers.dialog([](QDialog &) { return 2; });
    Report report;
    int runs = 0;
    QtReportDialogs dialogs;
    EXPECT_EQ(dialogs.ShowForReport(report, QString(), QString(), [&](ProgressWindow &) { ++runs; }), 2);
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(report.Terminated);

    // Without windows the work runs at once; it ends with OK unless it says otherwise.
    Report quiet;
    ReportDialogs headless;
    EXPECT_EQ(headless.ShowForReport(quiet, QString(), QString(), [&](ProgressWindow &) { ++runs; }), 1);
    EXPECT_EQ(runs, 1);
}

TEST(ReportProgress, ExportProgressCancelStopsTheCaller)
{
    QtReportDialogs dialogs;
    std::unique_ptr<ExportProgress> progress = dialogs.NewExportProgress();
    auto *form = dynamic_cast<ExportProgressForm *>(progress.get());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->size(), QSize(323, 109));

    auto *message = form->findChild<QLabel *>("LMessage");
    progress->Start(10, QStringLiteral("Экспорт"), false, true);
    EXPECT_EQ(message->y(), 35);
    EXPECT_TRUE(form->findChild<QWidget *>("Bar")->isHidden());
    progress->Start(10, QStringLiteral("Экспорт"), true, true);
    EXPECT_EQ(message->y(), 15);
    EXPECT_EQ(message->text(), "Экспорт");

    int steps = 0;
    for (; steps < 10 && !progress->Terminated(); ++steps) {
        if (steps == 3)
            form->findChild<QPushButton *>("CancelB")->click();
        progress->Step();
    }
    EXPECT_EQ(steps, 4);
    EXPECT_TRUE(progress->Terminated());
    EXPECT_FALSE(form->isVisible());

    // A new start clears the flag and goes back to the minimum.
    progress->SetMin(2);
    progress->Start(5, QStringLiteral("Снова"), true, false);
    EXPECT_FALSE(progress->Terminated());
    EXPECT_EQ(progress->Position(), 2);
    EXPECT_TRUE(form->findChild<QWidget *>("CancelB")->isHidden());
}

TEST(DisplayFormatWord, ComposesAndDecomposes)
{
    struct Case {
        DisplayFormat format;
        int word;
    } cases[] = {
        {{1, 3, 2, u','}, (1 << 24) + (3 << 16) + (2 << 8) + 44},
        {{2, 1, 0, u','}, (2 << 24) + (1 << 16) + 44},
        {{4, 4, 0, u'.'}, (4 << 24) + (4 << 16) + 46},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.format.toWord(), c.word);
        EXPECT_EQ(DisplayFormat::fromWord(c.word), c.format);
    }
    // A separator beyond one byte would be stored as another character.
    EXPECT_EQ(DisplayFormat({1, 0, 1, QChar(0x2396)}).toWord() & 0xFF, 44);
}

TEST(FormatForm, TheWordFollowsTheChoices)
{
    FormatForm form;
    form.SetFormat((1 << 24) + (3 << 16) + (2 << 8) + 44, QStringLiteral("0.000"));
    EXPECT_EQ(form.TypeLB->currentItem()->text(), "1 234,50");
    EXPECT_EQ(form.DecEdit->text(), "2");
    EXPECT_EQ(form.SplEdit->text(), ",");
    EXPECT_FALSE(form.FormatEdit->isEnabled());
    EXPECT_EQ(form.Format(), (1 << 24) + (3 << 16) + (2 << 8) + 44);

    // An empty separator is a comma.
    form.SplEdit->clear();
    form.DecEdit->setText(QStringLiteral("3"));
    EXPECT_EQ(form.Format(), (1 << 24) + (3 << 16) + (3 << 8) + 44);

    // A date: no digits, no separator to edit; the word has 0 digits and ",".
    form.CategoryLB->setCurrentRow(2);
    EXPECT_EQ(form.TypeLB->currentRow(), 0);
    EXPECT_FALSE(form.DecEdit->isEnabled());
    EXPECT_FALSE(form.SplEdit->isEnabled());
    EXPECT_TRUE(form.DecEdit->text().isEmpty());
    EXPECT_TRUE(form.SplEdit->text().isEmpty());
    EXPECT_EQ(form.Format(), (2 << 24) + 44);
    EXPECT_EQ(form.FormatText(), "0.000");

    // "Другой" takes the format text from its edit.
    form.TypeLB->setCurrentRow(4);
    EXPECT_TRUE(form.FormatEdit->isEnabled());
    EXPECT_EQ(form.FormatEdit->text(), "0.000");
    form.FormatEdit->setText(QStringLiteral("dd.mm"));
    EXPECT_EQ(form.Format(), (2 << 24) + (4 << 16) + 44);
    EXPECT_EQ(form.FormatText(), "dd.mm");
}

TEST(ReportDialogsService, AnswersComeBackOnlyOnOk)
{
    QtReportDialogs dialogs;
    ScriptedAnswers answers;
    answers
        .dialog([](QDialog &d) {
            auto &form = dynamic_cast<PasswordForm &>(d);
            EXPECT_EQ(form.E1->echoMode(), QLineEdit::Password);
            EXPECT_EQ(form.L1->text(), "Повторите пароль для проверки");
            form.E1->setText(QStringLiteral("секрет"));
            return 1;
        })
        .dialog([](QDialog &d) {
            d.findChild<QLineEdit *>("Edit")->setText(QStringLiteral("другое"));
            return 2;
        })
        .dialog([](QDialog &d) {
            EXPECT_EQ(d.findChild<QLabel *>("Prompt")->text(), "Фамилия");
            d.findChild<QLineEdit *>("Edit")->setText(QStringLiteral("Иванов"));
            return 1;
        })
        .dialog([](QDialog &d) {
            dynamic_cast<FormatForm &>(d).CategoryLB->setCurrentRow(3);
            return 1;
        });
    QString password;
    PasswordForm prompts;
    EXPECT_TRUE(dialogs.AskPassword(password, prompts.L2->text()));
    EXPECT_EQ(password, "секрет");
    QString value = QStringLiteral("предлог");
    EXPECT_FALSE(dialogs.InputQuery(QString(), QStringLiteral("Фамилия"), value));
    EXPECT_EQ(value, "предлог");
    EXPECT_TRUE(dialogs.InputQuery(QString(), QStringLiteral("Фамилия"), value));
    EXPECT_EQ(value, "Иванов");
    int word = 0;
    QString text = QStringLiteral("x");
    EXPECT_TRUE(dialogs.EditDisplayFormat(word, text));
    EXPECT_EQ(word, (3 << 24) + 44);
    EXPECT_EQ(text, "x");
}
