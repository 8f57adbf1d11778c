// The barcode object's editor: filled from the object, the zoom buttons, a
// code the symbology cannot carry, and the object taken from the controls.

#include "platform/ui/FormClass.h"
#include "reports/addins/BarcodeView.h"
#include "reports/model/ReportLibrary.h"
#include "reports/ui/BarcodeForm.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace reports;

namespace {

class BarcodeFormTest : public ::testing::Test {
protected:
    void SetUp() override { resetLibrary(); }
    void TearDown() override
    {
        resetLibrary();
        resetRegistries();
        BarCodeView::Editor() = nullptr;
    }
};

// Scripts the editor's window (kept out of line, as the script's variant
// makes the compiler's flow analysis warn when inlined).
[[gnu::noinline]] void editWith(testsupport::ScriptedAnswers &answers,
                                const testsupport::ScriptedAnswers::DialogHandler &handler)
{
    answers.dialog(handler);
}

BarCodeView sample()
{
    BarCodeView view;
    view.Memo = QStringList{QStringLiteral("4600000000003")};
    view.Param.Type = bcCodeEAN13;
    view.Param.CheckSum = false;
    view.Param.ShowText = true;
    view.Param.Zoom = 2;
    view.Param.Angle = 180;
    return view;
}

TEST_F(BarcodeFormTest, OpensWithTheObjectsSettings)
{
    BarCodeView view = sample();
    TfrBarCodeForm form;
    form.FormShow(view);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Редактор штрих-кода"));
    EXPECT_EQ(form.M1->text(), QStringLiteral("4600000000003"));
    EXPECT_EQ(form.cbType->count(), kBarcodeTypeCount);
    EXPECT_EQ(form.cbType->currentText(), QStringLiteral("EAN13"));
    EXPECT_EQ(form.cbType->itemText(bcCodeCodabar), QStringLiteral("Codebar"));
    EXPECT_FALSE(form.ckCheckSum->isChecked());
    EXPECT_TRUE(form.ckViewText->isChecked());
    EXPECT_EQ(form.eZoom->text(), QStringLiteral("2"));
    EXPECT_TRUE(form.RB3->isChecked());
    EXPECT_EQ(form.M1->actions().value(0)->toolTip(), QStringLiteral("Вставить выражение"));
    form.grab().save(testsupport::artefactFolder(QStringLiteral("barcode")) + QStringLiteral("/frBarCodeForm.png"));
}

TEST_F(BarcodeFormTest, ZoomButtonsNeverGoBelowOne)
{
    BarCodeView view = sample();
    TfrBarCodeForm form;
    form.FormShow(view);
    form.bZoomDown->click();
    EXPECT_EQ(form.eZoom->text(), QStringLiteral("1"));
    form.bZoomDown->click();
    EXPECT_EQ(form.eZoom->text(), QStringLiteral("1"));
    form.eZoom->setText(QStringLiteral("0,5"));
    form.bZoomDown->click();
    EXPECT_EQ(form.eZoom->text(), QStringLiteral("1"));
    for (int i = 0; i < 30; ++i)
        form.bZoomUp->click();
    EXPECT_EQ(form.eZoom->text(), QStringLiteral("31"));
}

TEST_F(BarcodeFormTest, ACodeThatCannotBeDrawnKeepsTheEditorOpen)
{
    testsupport::ScriptedAnswers answers;
    BarCodeView view = sample();
    TfrBarCodeForm form;
    form.FormShow(view);
    struct Case {
        int type;
        const char *code;
        bool checksum;
    };
    const Case cases[] = {
        {bcCodeEAN13, "46000A", false},
        {bcCodeEAN13, "460000000000", true}, // fine alone: a bad zoom below stops it
        {bcCode93, "lower", false},
    };
    for (int i = 0; i < 3; ++i)
        reply(answers, platform::mrOk);
    form.eZoom->setText(QStringLiteral("два"));
    for (const Case &c : cases) {
        form.cbType->setCurrentIndex(c.type);
        form.M1->setText(QString::fromLatin1(c.code));
        form.ckCheckSum->setChecked(c.checksum);
        form.bOk->click();
        EXPECT_EQ(form.result(), QDialog::Rejected) << c.code;
    }
    ASSERT_EQ(answers.messages().size(), 3u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Ошибка в коде"));
    EXPECT_EQ(answers.messages()[0].type, platform::MsgType::Error);
    EXPECT_EQ(answers.messages()[1].text, QStringLiteral("'два' is not a valid floating point value"));
    EXPECT_EQ(answers.messages()[2].text, QStringLiteral("Ошибка в коде"));
    // The object is as it was.
    EXPECT_EQ(view.Memo, QStringList{QStringLiteral("4600000000003")});
    EXPECT_EQ(view.Param.Zoom, 2.0);
}

TEST_F(BarcodeFormTest, OkTakesTheControlsIntoTheObject)
{
    struct Recorder : ReportDesigner {
        int before = 0;
        bool GetModified() override { return false; }
        void SetModified(bool) override {}
        void BeforeChange() override { ++before; }
        void AfterChange() override {}
        void RedrawPage() override {}
        void SelectObject(const QString &) override {}
        QString InsertDBField() override { return {}; }
        QString InsertExpression() override { return QStringLiteral("[Кадастровый номер]"); }
        int ShowModal() override { return 0; }
    } designer;
    library().State.CurrentDesigner = &designer;
    RegisterBarCodeObject();
    std::unique_ptr<View> created = CreateViewOfType(10, QStringLiteral("TfrBarCodeView"));
    auto *view = dynamic_cast<BarCodeView *>(created.get());
    ASSERT_TRUE(view);

    testsupport::ScriptedAnswers answers;
    editWith(answers, [](QDialog &dialog) {
        auto &form = static_cast<TfrBarCodeForm &>(dialog);
        EXPECT_EQ(form.M1->text(), QStringLiteral("12345678"));
        // An expression is taken as it is, without a trial.
        form.M1->actions().value(0)->trigger();
        form.cbType->setCurrentIndex(bcCodeEAN8);
        form.ckCheckSum->setChecked(false);
        form.ckViewText->setChecked(false);
        form.bZoomUp->click();
        form.bZoomUp->click();
        form.RB4->setChecked(true);
        form.bOk->click();
        return form.result();
    });
    view->BuildPropertyList();
    view->FindProperty(QStringLiteral("Barcode"))->Editor(view);
    EXPECT_TRUE(answers.exhausted());
    EXPECT_EQ(designer.before, 1);
    EXPECT_EQ(view->Memo, QStringList{QStringLiteral("[Кадастровый номер]")});
    EXPECT_EQ(view->Param.Type, bcCodeEAN8);
    EXPECT_FALSE(view->Param.CheckSum);
    EXPECT_FALSE(view->Param.ShowText);
    EXPECT_EQ(view->Param.Zoom, 3.0);
    EXPECT_EQ(view->Param.Angle, 270.0);
    library().State.CurrentDesigner = nullptr;
}

} // namespace
