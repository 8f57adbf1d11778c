// The style pickers driven through the dialog seams: the grids of the three
// libraries (rows, empty cells, status, choice, closing without a choice),
// their cells drawn from the program folder's libraries, and the symbol
// picker's fonts and characters.

#include "dialogs/DialogSeams.h"
#include "dialogs/StylePickers.h"

#include "mapengine/StyleRenderers.h"
#include "platform/gdi/Fonts.h"
#include "platform/ui/FormClass.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

using testsupport::ScriptedAnswers;

namespace {

// A library of n patterns named "p<i>", each i × 10 wide and 50 high.
TVykSymbols library(int n, std::uint8_t kind)
{
    TVykSymbols lib;
    lib.Signature = QStringLiteral("VYKSYMBOL6");
    for (int i = 0; i < n; ++i) {
        TVykSymbol p;
        p.Name = QStringLiteral("p%1").arg(i);
        p.Kind = kind;
        p.Width = (i + 1) * 10;
        p.Height = 50;
        lib.Items.push_back(p);
    }
    lib.Count = n;
    return lib;
}

QStringList panels(const TSelectPattern &picker)
{
    QStringList out;
    for (QLabel *l : platform::statusPanels(picker.StatusBar1))
        out << l->text();
    return out;
}

void dialog(ScriptedAnswers &answers, const ScriptedAnswers::DialogHandler &handler)
{
    answers.dialog(handler);
}

} // namespace

TEST(StylePickers, GridArithmetic)
{
    using namespace dialogs::pickers;
    const struct {
        int count, rows;
    } rows[] = {{0, 0}, {1, 1}, {8, 1}, {9, 2}, {20, 3}, {200, 25}};
    for (const auto &c : rows)
        EXPECT_EQ(gridRows(c.count), c.rows) << c.count;
    const struct {
        int column, row, count, pattern;
    } cells[] = {{0, 0, 20, 0}, {3, 2, 20, 19}, {4, 2, 20, -1}, {7, 2, 20, -1}, {8, 0, 20, -1}, {0, -1, 20, -1}};
    for (const auto &c : cells)
        EXPECT_EQ(cellPattern(c.column, c.row, c.count), c.pattern) << c.column << "," << c.row;
    const QStringList fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")};
    EXPECT_EQ(fontRow(fonts, QStringLiteral(" liberation SANS ")), 1);
    EXPECT_EQ(fontRow(fonts, QStringLiteral("Liberation")), -1);
    // The symbol font the graphics layer maps is offered though the screen lacks it.
    EXPECT_GE(fontRow(pickerFonts(), QStringLiteral("wingdings")), 0);
}

TEST(StylePickers, LibraryPickersChooseByDoubleClick)
{
    mapengine::StyleServices styles;
    styles.FLineStyles = library(3, vkLine);
    styles.FFillStyles = library(20, vkFill);
    styles.FPointStyles = library(9, vkSymbol);
    platform::ScopedService<mapengine::StyleServices> installed(styles);

    struct Case {
        TSelectPattern *picker;
        std::function<int()> select;
        QString caption;
        int rows;
        QString kind;
        bool answersOk;
    };
    auto &seams = dialogs::dialogSeams();
    const Case cases[] = {
        {SelectLines(), [&] { return seams.SelectLineStyle(); }, QStringLiteral("Графические примитивы линий"), 1,
         QStringLiteral("линия"), true},
        {SelectSymbols(), [&] { return seams.SelectFillStyle(); }, QStringLiteral("Графические примитивы"), 3,
         QStringLiteral("фон"), true},
        {SelectPoints(), [&] { return seams.SelectPointStyle(); }, QStringLiteral("Графические примитивы точек"), 2,
         QStringLiteral("символ"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        TSelectPattern &p = *c.picker;
        {
            ScriptedAnswers answers;
            dialog(answers, [&](QDialog &shown) {
                EXPECT_EQ(&shown, &p);
                EXPECT_EQ(p.windowTitle(), c.caption);
                EXPECT_EQ(p.DrawGrid1->rowCount(), c.rows);
                EXPECT_EQ(p.DrawGrid1->columnCount(), 8);
                EXPECT_EQ(p.DrawGrid1->columnWidth(0), 80);
                EXPECT_EQ(p.DrawGrid1->rowHeight(0), 80);
                // A click shows the pattern's size, kind and name.
                p.DrawGrid1Click(1, 0);
                EXPECT_EQ(panels(p), (QStringList{QStringLiteral("20x50"), c.kind, QStringLiteral("p1")}));
                // An empty cell does nothing, not even closing.
                p.DrawGrid1DblClick(7, c.rows - 1);
                EXPECT_EQ(p.FChoice, -1);
                EXPECT_EQ(p.result(), QDialog::Rejected);
                p.DrawGrid1DblClick(2, 0);
                EXPECT_EQ(p.result(), QDialog::Accepted);
                return p.result();
            });
            EXPECT_EQ(c.select(), 2);
            EXPECT_EQ(p.Hint == u"Ok", c.answersOk);
        }
        {
            // Closed with its close box after the earlier choice: none.
            ScriptedAnswers answers;
            dialog(answers, [&](QDialog &) {
                p.reject();
                return p.result();
            });
            EXPECT_EQ(c.select(), -1);
            EXPECT_EQ(p.FChoice, -1);
        }
    }
    EXPECT_EQ(SelectSymbols()->FChoiceName, QStringLiteral("p2"));
}

TEST(StylePickers, CellsOfTheProgramFolderLibraries)
{
    mapengine::StyleServices styles;
    styles.LoadStyleLibraries(testsupport::programFolder());
    ASSERT_GT(styles.FFillStyles.count(), 8);
    platform::ScopedService<mapengine::StyleServices> installed(styles);
    TSelectSymbols *p = SelectSymbols();
    p->PrepareToShow();
    p->DrawGrid1Click(2, 1);
    EXPECT_EQ(panels(*p).value(2), styles.FFillStyles.items()[10].Name);
    p->show();
    const QImage shot = p->grab().toImage();
    p->hide();
    EXPECT_TRUE(shot.save(testsupport::artefactFolder(QStringLiteral("dialogs")) + QStringLiteral("/SelectSymbols.png")));
    // Every cell standing for a pattern with strokes shows ink; the cells
    // beyond the last pattern stay white.
    const QPoint origin = p->DrawGrid1->viewport()->mapTo(p, QPoint(0, 0));
    auto ink = [&](int column, int row) {
        int n = 0;
        for (int y = 6; y < 74; ++y)
            for (int x = 6; x < 74; ++x)
                if ((shot.pixel(origin.x() + column * 80 + x, origin.y() + row * 80 + y) & 0xFFFFFF) != 0xFFFFFF)
                    ++n;
        return n;
    };
    const int count = styles.FFillStyles.count();
    for (int n = 0; n < std::min(count, 24); ++n) {
        if (!styles.FFillStyles.items()[static_cast<size_t>(n)].Strokes.empty()) {
            EXPECT_GT(ink(n % 8, n / 8), 0) << "pattern " << n;
        }
    }
    if (count % 8 != 0 && count / 8 < 3) {
        EXPECT_EQ(ink(7, count / 8), 0);
    }
    // The other two pickers for a person to look at.
    for (TSelectPattern *other : std::initializer_list<TSelectPattern *>{SelectLines(), SelectPoints()}) {
        other->PrepareToShow();
        other->show();
        EXPECT_TRUE(other->grab().save(testsupport::artefactFolder(QStringLiteral("dialogs")) + u'/' +
                                       other->objectName() + QStringLiteral(".png")));
        other->hide();
    }
}

TEST(StylePickers, SymbolPickerFontsAndCharacters)
{
    TSelectStyles *p = SelectStyles();
    QString font;
    QChar symbol;
    {
        // An empty font name starts with the symbol font, its characters
        // shown as the graphics layer maps them ("l" a filled circle).
        ScriptedAnswers answers;
        dialog(answers, [&](QDialog &) {
            EXPECT_EQ(p->MemoFont->toPlainText(), QStringLiteral("Wingdings"));
            EXPECT_EQ(p->ListVStyle->count(), 222 - 33 + 1);
            EXPECT_EQ(p->ListVStyle->item('l' - 33)->text(), QString(QChar(0x25CF)));
            EXPECT_EQ(p->ListVFonts->currentItem()->text(), QStringLiteral("Wingdings"));
            p->SpeedButton7->click();
            return p->result();
        });
        EXPECT_FALSE(dialogs::dialogSeams().SelectSymbol(font, symbol));
    }
    {
        // A font differing in case is found; a character clicked is chosen
        // as the files hold it (0xC0 is "А").
        ScriptedAnswers answers;
        dialog(answers, [&](QDialog &) {
            EXPECT_EQ(p->ListVFonts->currentItem()->text(), QStringLiteral("Liberation Sans"));
            EXPECT_TRUE(p->ListVFonts->currentItem()->isSelected());
            EXPECT_EQ(p->ListVStyle->item(0xC0 - 33)->text(), QStringLiteral("А"));
            p->ListVStyleMouseMove(p->ListVStyle->item(0xC0 - 33));
            EXPECT_TRUE(p->BigSymbol->isVisibleTo(p));
            EXPECT_EQ(p->BigSymbol->text(), QStringLiteral("А"));
            p->ListVStyleClick(p->ListVStyle->item(0xC0 - 33));
            return p->result();
        });
        font = QStringLiteral("liberation sans");
        EXPECT_TRUE(dialogs::dialogSeams().SelectSymbol(font, symbol));
        EXPECT_EQ(font, QStringLiteral("Liberation Sans"));
        EXPECT_EQ(symbol, QChar(0x0410));
    }
    {
        // A click in the font list takes that font for the characters.
        p->PrepareToShow();
        QListWidgetItem *wing = p->ListVFonts->findItems(QStringLiteral("Wingdings"), Qt::MatchExactly).value(0);
        ASSERT_NE(wing, nullptr);
        p->ListVFontsClick(wing);
        EXPECT_EQ(p->MemoFont->toPlainText(), QStringLiteral("Wingdings"));
        EXPECT_FALSE(p->BigSymbol->isVisibleTo(p));
        EXPECT_EQ(p->ListVStyle->item('n' - 33)->text(), QString(QChar(0x25A0)));
        // As the user sees it: the font's row taken, a character under the mouse.
        p->ListVFonts->setCurrentItem(wing);
        p->ListVStyleMouseMove(p->ListVStyle->item('l' - 33));
    }
    p->show();
    EXPECT_TRUE(p->grab().save(testsupport::artefactFolder(QStringLiteral("dialogs")) + QStringLiteral("/SelectStyles.png")));
    p->hide();
}
