// The rich-text object's editor: typing, selecting, deleting and undoing in
// the rich-edit control; the tool bar's styles, alignment and bullets on the
// selection; the ruler's markers setting indents; files opened and saved;
// the object's text edited through the window, kept on OK only.

#include "platform/Service.h"
#include "platform/TextCodec.h"
#include "reports/model/ReportLibrary.h"
#include "reports/addins/RichView.h"
#include "reports/ui/RichEditForm.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace reports;
using platform::richtext::Align;
using platform::richtext::RichDocument;

namespace {

class RichEditFormTest : public ::testing::Test {
protected:
    void SetUp() override { resetLibrary(); }
    void TearDown() override
    {
        richEditorWindow() = nullptr;
        resetLibrary();
    }
};

// Typed characters, Cyrillic ones too (the test keyboard knows Latin only).
void type(QWidget &widget, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &press);
    }
}

} // namespace

TEST_F(RichEditFormTest, TypingSelectingAndUndoing)
{
    RichEditForm form;
    form.resize(500, 300);
    form.show();
    platform::ui::RichEditControl &edit = *form.RichEdit1;
    edit.setFocus();
    type(edit, QStringLiteral("Первая строка"));
    QTest::keyClick(&edit, Qt::Key_Return);
    type(edit, QStringLiteral("вторая"));
    EXPECT_EQ(edit.document().text(), QStringLiteral("Первая строка\rвторая"));
    EXPECT_EQ(edit.document().paragraphCount(), 2);

    // Shift+Left selects backwards; typing replaces the selection.
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(&edit, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(edit.selStart(), 14);
    EXPECT_EQ(edit.selEnd(), 20);
    QTest::keyClicks(&edit, QStringLiteral("2"));
    EXPECT_EQ(edit.document().text(), QStringLiteral("Первая строка\r2"));
    // Backspace over the paragraph break joins the lines; Delete at the end
    // does nothing.
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.document().text(), QStringLiteral("Первая строка2"));
    // Each edit undoes on its own, the last first.
    edit.undo();
    EXPECT_EQ(edit.document().text(), QStringLiteral("Первая строка\r2"));
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.document().text(), QStringLiteral("Первая строка\rвторая"));

    // A click puts the caret in the line it hits: the start of the second
    // line lies below the first.
    edit.select(0, 0);
    const int y = edit.inset() + 30;
    QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(edit.inset() + 1, y));
    EXPECT_EQ(edit.caret(), 14);
}

TEST_F(RichEditFormTest, ToolBarRulerAndFiles)
{
    RichEditForm form;
    form.resize(560, 300);
    form.show();
    platform::ui::RichEditControl &edit = *form.RichEdit1;
    RichDocument doc;
    doc.append(QStringLiteral("один два\rтри"), platform::richtext::CharFormat());
    edit.setDocument(doc);

    // Styles: from the three buttons together, on the selection.
    edit.select(0, 4);
    form.BoldButton->click();
    form.UnderlineButton->click();
    EXPECT_TRUE(edit.document().charFormat(0).bold && edit.document().charFormat(3).underline);
    EXPECT_FALSE(edit.document().charFormat(4).bold);
    EXPECT_TRUE(form.BoldButton->isChecked()); // the controls show the selection
    edit.select(5, 5);
    EXPECT_FALSE(form.BoldButton->isChecked());
    // With nothing selected the style is that of what is typed next.
    form.ItalicButton->click();
    edit.insertText(QStringLiteral("X"));
    EXPECT_TRUE(edit.document().charFormat(5).italic);
    EXPECT_FALSE(edit.document().charFormat(6).italic);
    form.FontSize->setCurrentText(QStringLiteral("14"));
    edit.select(0, 3);
    form.FontSize->textActivated(QStringLiteral("14"));
    EXPECT_EQ(edit.document().charFormat(2).halfPoints, 28);

    // Alignment and bullets go to every paragraph the selection touches.
    edit.select(2, 11);
    form.CenterAlign->click();
    EXPECT_EQ(edit.document().paraFormat(0).align, Align::Center);
    EXPECT_EQ(edit.document().paraFormat(1).align, Align::Center);
    form.BulletsButton->click();
    EXPECT_TRUE(edit.document().paraFormat(1).bullet);

    // The ruler: a point is 4/3 of a pixel from 6 in; the right marker from
    // the right edge less 12.
    edit.select(11, 11);
    form.Ruler->dropMarker(1, 6 + 40); // 30 points: 600 twips
    EXPECT_EQ(edit.document().paraFormat(1).leftIndent, 600);
    EXPECT_EQ(form.Ruler->leftX(), 46);
    form.Ruler->dropMarker(0, 6 + 20); // the first line at 15 points
    EXPECT_EQ(edit.document().paraFormat(1).firstIndent, 300 - 600);
    form.Ruler->dropMarker(2, form.Ruler->width() - 12 - 8);
    EXPECT_EQ(edit.document().paraFormat(1).rightIndent, 120);
    // The other paragraph keeps the hanging indent its bullet gave it.
    EXPECT_EQ(edit.document().paraFormat(0).leftIndent, 360);
    EXPECT_EQ(edit.document().paraFormat(0).firstIndent, -360);

    // Saving as RTF and as text, and opening what was saved.
    testsupport::TempFolder dir;
    testsupport::ScriptedAnswers answers;
    answers.openFile(dir.file(QStringLiteral("saved.rtf")));
    form.SaveButton->click();
    answers.openFile(dir.file(QStringLiteral("saved.txt")));
    form.SaveButton->click();
    ASSERT_EQ(answers.fileRequests().size(), 2u);
    EXPECT_EQ(answers.fileRequests()[0].filter,
              QStringLiteral("Файл Rich Text (*.rtf)|*.rtf|Текстовый файл (*.txt)|*.txt"));
    EXPECT_EQ(dir.read(QStringLiteral("saved.txt")), platform::toCp1251(edit.document().plainText()));
    const RichDocument saved = edit.document();
    edit.clear();
    answers.openFile(dir.file(QStringLiteral("saved.rtf")));
    form.OpenButton->click();
    EXPECT_TRUE(edit.document() == saved);
    answers.openFile(dir.file(QStringLiteral("saved.txt")));
    form.OpenButton->click();
    EXPECT_EQ(edit.document().text(), saved.text());
    EXPECT_TRUE(answers.exhausted());

    // A picture of the window for the documentation.
    edit.setDocument(RichDocument::fromRtf(
        "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 DejaVu Sans;}}{\\colortbl ;\\red200\\green0\\blue0;}"
        "\\pard\\qc\\b\\fs28 \\'cc\\'e5\\'e6\\'e5\\'e2\\'ee\\'e9 \\'ef\\'eb\\'e0\\'ed\\b0\\par\\pard\\fs20 "
        "\\'c7\\'e0\\'ea\\'e0\\'e7\\'f7\\'e8\\'ea: \\b\\cf1 [Name]\\b0\\cf0 , \\i\\'ea\\'e0\\'e4\\'e0\\'f1\\'f2\\'f0"
        "\\'ee\\'e2\\'fb\\'e9 \\'ed\\'ee\\'ec\\'e5\\'f0\\i0  \\ul [KadNum]\\ulnone .\\par"
        "{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-360\\li360 \\'ef\\'f3\\'ed\\'ea\\'f2 1\\par"
        "{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-360\\li360 \\'ef\\'f3\\'ed\\'ea\\'f2 2\\par}"));
    edit.select(16, 22);
    const QString artefacts = testsupport::artefactFolder(QStringLiteral("reports"));
    ASSERT_TRUE(form.grab().save(QDir(artefacts).filePath(QStringLiteral("rich-editor.png"))));
}

TEST_F(RichEditFormTest, TheObjectsTextIsEditedInTheWindowAndKeptOnOk)
{
    InstallRichEditForm();
    RichView view;
    view.RichEdit.append(QStringLiteral("старый"), platform::richtext::CharFormat());
    testsupport::ScriptedAnswers answers;
    answers.dialog([](QDialog &dialog) {
        auto &form = dynamic_cast<RichEditForm &>(dialog);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Редактор Rich Edit"));
        EXPECT_EQ(form.RichEdit1->document().text(), QStringLiteral("старый"));
        form.RichEdit1->select(0, 6);
        form.RichEdit1->insertText(QStringLiteral("новый"));
        return static_cast<int>(platform::mrCancel);
    });
    view.ShowEditor();
    EXPECT_EQ(view.RichEdit.text(), QStringLiteral("старый"));

    answers.dialog([](QDialog &dialog) {
        auto &form = dynamic_cast<RichEditForm &>(dialog);
        form.RichEdit1->select(0, 6);
        form.RichEdit1->insertText(QStringLiteral("новый"));
        return static_cast<int>(platform::mrOk);
    });
    // The property list's "Lines" opens the same window.
    view.BuildPropertyList();
    PropRec *lines = view.FindProperty(QStringLiteral("Lines"));
    ASSERT_NE(lines, nullptr);
    ASSERT_TRUE(lines->Editor);
    lines->Editor(&view);
    EXPECT_EQ(view.RichEdit.text(), QStringLiteral("новый"));
    EXPECT_TRUE(answers.exhausted());
}
