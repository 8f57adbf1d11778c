// The export filters' dialogs: what they show, what they give back (also
// on Cancel), and their pictures.

#include "ReportTestSupport.h"

#include "reports/ui/ExportForms.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

using namespace reports;

TEST(ExportForms, TextExportChoicesComeBackEvenOnCancel)
{
    testsupport::ScriptedAnswers script;
    bool pseudoEnabledWithoutFrames = true, pseudoEnabledWithFrames = false;
    script.dialog([&](QDialog &d) {
        auto *form = dynamic_cast<TXTExportForm *>(&d);
        EXPECT_NE(form, nullptr);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Экспорт в TXT"));
        EXPECT_EQ(form->E1->text(), "2");
        pseudoEnabledWithoutFrames = form->box("CB4")->isEnabled();
        form->box("CB3")->setChecked(true);
        pseudoEnabledWithFrames = form->box("CB4")->isEnabled();
        form->box("CB4")->setChecked(true);
        form->box("CB1")->setChecked(false);
        form->E1->setText("1,5");
        return int(platform::mrCancel);
    });
    TextExportChoices c;
    c.ScaleX = "2";
    c.ScaleY = "1";
    QtExportDialogs dialogs;
    EXPECT_EQ(dialogs.ShowTextExport(c), platform::mrCancel);
    EXPECT_FALSE(pseudoEnabledWithoutFrames);
    EXPECT_TRUE(pseudoEnabledWithFrames);
    EXPECT_TRUE(c.ExportFrames);
    EXPECT_TRUE(c.UsePseudographic);
    EXPECT_FALSE(c.KillEmptyLines);
    EXPECT_EQ(c.ScaleX, "1,5");
}

// The windows as the user sees them, kept for a person to look at.
TEST(ExportForms, Pictures)
{
    const QString dir = testsupport::artefactFolder(QStringLiteral("reports"));
    TXTExportForm text;
    TextExportChoices c;
    c.ScaleX = c.ScaleY = "1";
    c.ExportFrames = true;
    text.setChoices(c);
    text.show();
    QApplication::processEvents();
    const QImage picture = text.grab().toImage();
    EXPECT_EQ(picture.size(), text.size());
    picture.save(dir + QStringLiteral("/TfrTXTExportForm.png"));
    text.hide();
    RTFExportForm rtf;
    RtfExportChoices r;
    r.ScaleX = "1,3";
    r.ScaleY = "1";
    rtf.setChoices(r);
    rtf.show();
    QApplication::processEvents();
    rtf.grab().save(dir + QStringLiteral("/TfrRTFExportForm.png"));
    rtf.hide();
    OLEExcelSetForm excel;
    excel.CB_Pictures->setChecked(true);
    excel.show();
    QApplication::processEvents();
    excel.grab().save(dir + QStringLiteral("/TfrOLEExcelSet.png"));
}

TEST(ExportForms, ExcelChoicesComeBackEvenOnCancel)
{
    testsupport::ScriptedAnswers script;
    script.dialog([](QDialog &d) {
        auto *form = dynamic_cast<OLEExcelSetForm *>(&d);
        EXPECT_NE(form, nullptr);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Экспорт в Excel"));
        EXPECT_TRUE(form->CB_Pictures->isChecked());
        form->CB_Pictures->setChecked(false);
        form->E_Range->setText("2-3");
        return int(platform::mrCancel);
    });
    ExcelExportChoices c;
    QtExcelExportDialogs dialogs;
    EXPECT_EQ(dialogs.ShowExcelExport(c), platform::mrCancel);
    EXPECT_FALSE(c.ExportPictures);
    EXPECT_EQ(c.Range, "2-3");
}

TEST(ExportForms, RtfExportChoicesComeBack)
{
    testsupport::ScriptedAnswers script;
    script.dialog([](QDialog &d) {
        auto *form = dynamic_cast<RTFExportForm *>(&d);
        EXPECT_NE(form, nullptr);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Экспорт в RTF"));
        EXPECT_EQ(form->box("CB4"), nullptr);
        form->box("CB2")->setChecked(true);
        form->box("CB3")->setChecked(true);
        form->E2->setText("2");
        return int(platform::mrOk);
    });
    RtfExportChoices c;
    QtExportDialogs dialogs;
    EXPECT_EQ(dialogs.ShowRtfExport(c), platform::mrOk);
    EXPECT_TRUE(c.ExportBitmaps);
    EXPECT_TRUE(c.ConvertToTable);
    EXPECT_EQ(c.ScaleY, "2");
}

} // namespace
