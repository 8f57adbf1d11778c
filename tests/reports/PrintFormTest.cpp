// The print dialog and the preview's print button over a fake printer
// backend: the printer list and its restoring on cancel, the copies edit,
// the page choice, and what reaches the report's printing.

#include "reports/ui/PrintForm.h"

#include "reports/model/ReportPrinter.h"
#include "support/FakePrinter.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"
#include "ReportTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace reports;
using testsupport::ScriptedAnswers;

namespace {

class PrintFormTest : public ::testing::Test {
protected:
    PrintFormTest()
    {
        fake.names = {"Laser", "Ink"};
        fake.selected = 1;
        fake.printerCaps = {4960, 7016, 100, 100, 600, 600, 4760, 6816};
        fake.papers = {{9, "A4"}};
        resetReportPrinter();
    }
    ~PrintFormTest() override { resetReportPrinter(); }

    FakePrinterBackend fake;
    platform::ScopedService<platform::PrinterBackend> installed{fake};
};

// Records what the print button asks of the report and its preview.
class FakeTarget : public PrintTarget {
public:
    bool pages = true, dialog = true, rebuilds = false, changes = true;
    int copies = 2, current = 7;
    bool collate = false;
    QStringList calls;

    bool HasPreparedPages() const override { return pages; }
    int DefaultCopies() const override { return copies; }
    bool DefaultCollate() const override { return collate; }
    bool ShowPrintDialog() const override { return dialog; }
    int CurrentPage() const override { return current; }
    bool RebuildsForPrinter() const override { return rebuilds; }
    bool ChangePrinter(int oldIndex, int newIndex) override
    {
        calls << QStringLiteral("change %1 %2").arg(oldIndex).arg(newIndex);
        return changes;
    }
    void Rebuild() override { calls << QStringLiteral("rebuild"); }
    void PrintPreparedReport(const QString &pageText, int n, bool c, int choice) override
    {
        calls << QStringLiteral("print '%1' %2 %3 %4").arg(pageText).arg(n).arg(c).arg(choice);
    }
};

} // namespace

TEST_F(PrintFormTest, PrintersCopiesAndPages)
{
    PrintForm form;
    EXPECT_EQ(form.size(), QSize(485, 225));
    ASSERT_EQ(form.CB1->count(), 2); // the virtual printer is not offered
    EXPECT_EQ(form.CB1->itemText(1), "Ink");
    EXPECT_EQ(form.CB1->currentIndex(), 1);
    EXPECT_EQ(form.SavedPrinterIndex, 1);

    // The arrows: never below 1.
    const struct {
        const char *start;
        QToolButton *button;
        const char *result;
    } arrows[] = {{"1", form.DownB, "1"}, {"5", form.DownB, "4"}, {"9", form.UpB, "10"}, {"", form.UpB, "1"}};
    for (const auto &a : arrows) {
        form.E1->setText(QString::fromLatin1(a.start));
        a.button->click();
        EXPECT_EQ(form.E1->text(), a.result) << a.start;
    }
    // Typed characters other than digits are dropped, Backspace too.
    form.E1->setText(QStringLiteral("1"));
    form.E1->setCursorPosition(1);
    QTest::keyClicks(form.E1, QStringLiteral("a2-b3"));
    QTest::keyClick(form.E1, Qt::Key_Backspace);
    EXPECT_EQ(form.E1->text(), "123");

    // The page text of each choice.
    form.CurrentPage = 4;
    EXPECT_EQ(form.PageText(), "");
    form.RB2->setChecked(true);
    EXPECT_EQ(form.PageText(), "4");
    form.show();
    form.E2->setText(QStringLiteral("1,3,5-12"));
    form.E2->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(form.RB3->isChecked());
    EXPECT_EQ(form.PageText(), "1,3,5-12");
    form.CB2->setCurrentIndex(2);
    EXPECT_EQ(form.PageChoice(), 2);
    form.grab().save(testsupport::artefactFolder(QStringLiteral("reports")) + QStringLiteral("/TfrPrintForm.png"));
}

TEST_F(PrintFormTest, CancelPutsThePrinterBack)
{
    for (const int result : {0, 1}) {
        PrintForm form;
        form.CB1->setCurrentIndex(0);
        emit form.CB1->activated(0);
        EXPECT_EQ(ReportPrinter().PrinterIndex(), 0);
        EXPECT_EQ(fake.selected, 0);
        form.done(result);
        EXPECT_EQ(ReportPrinter().PrinterIndex(), result == 1 ? 0 : 1) << result;
        ReportPrinter().SetPrinterIndex(1);
    }
}

TEST_F(PrintFormTest, ThePrintButton)
{
    const auto confirm = [](QDialog &) { return 1; };
    const auto pickFirstPrinter = [](QDialog &d) {
        auto &form = dynamic_cast<PrintForm &>(d);
        form.CB1->setCurrentIndex(0);
        emit form.CB1->activated(0);
        form.RB2->setChecked(true);
        return 1;
    };
    const auto emptyCopies = [](QDialog &d) {
        dynamic_cast<PrintForm &>(d).E1->clear();
        return 1;
    };
    const auto cancel = [](QDialog &) { return 2; };
    const struct {
        const char *what;
        bool pages, dialog, rebuilds, changes;
        ScriptedAnswers::DialogHandler answer;
        QStringList calls;
        int messages;
    } cases[] = {
        {"no pages", false, true, false, true, nullptr, {}, 0},
        {"defaults without the dialog", true, false, false, true, nullptr, {"print '' 2 0 0"}, 0},
        {"dialog cancelled", true, true, false, true, cancel, {}, 0},
        {"dialog confirmed", true, true, false, true, confirm, {"print '' 2 0 0"}, 0},
        {"another printer, no rebuild", true, true, false, true, pickFirstPrinter, {"print '7' 2 0 0"}, 0},
        {"another printer, rebuilt", true, true, true, true, pickFirstPrinter, {"change 1 0", "rebuild", "print '7' 2 0 0"}, 0},
        {"the change fails", true, true, true, false, pickFirstPrinter, {"change 1 0"}, 0},
        {"no copies", true, true, false, true, emptyCopies, {}, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ReportPrinter().SetPrinterIndex(1);
        ScriptedAnswers answers;
        if (c.answer)
            answers.dialog(c.answer);
        if (c.messages)
            answers.reply(platform::mrOk);
        FakeTarget target;
        target.pages = c.pages;
        target.dialog = c.dialog;
        target.rebuilds = c.rebuilds;
        target.changes = c.changes;
        PrintFromPreview(target);
        EXPECT_EQ(target.calls, c.calls);
        EXPECT_EQ(static_cast<int>(answers.messages().size()), c.messages);
        EXPECT_TRUE(answers.exhausted());
        if (c.messages) {
            EXPECT_EQ(answers.messages().front().text, "'' не верный формат значения целого числа");
        }
    }

    // Without printers the button does nothing.
    FakePrinterBackend none;
    const platform::ScopedService<platform::PrinterBackend> nothing(none);
    resetReportPrinter();
    FakeTarget target;
    PrintFromPreview(target);
    EXPECT_TRUE(target.calls.isEmpty());
}
