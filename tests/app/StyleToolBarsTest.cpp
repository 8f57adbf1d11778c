// The style tool bars and the style panel on a text/symbol layer: the panel
// shows the style of the selection, each control writes its field into the
// template and the selected objects, and the shared popups deliver to the
// receiver FStyleTarget names.

#include "CommandFixtures.h"

#include "app/FormControls.h"
#include "dialogs/FProLayer.h"
#include "dialogs/LabelDialogs.h"
#include "platform/Environment.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace cmdtest;

namespace {

// The edits of a style dialog, as texts; the samples count their redraws.
class FakeStyleDialog : public dialogs::StyleDialog {
public:
    void SetFontSize(const QString &t) override { fontSize = t; }
    void SetFontScale(const QString &t) override { fontScale = t; }
    void SetScaleMin(const QString &t) override { scaleMin = t; }
    void SetScaleMax(const QString &t) override { scaleMax = t; }
    void SetFontRotate(const QString &t) override { fontRotate = t; }
    void SetPenWidth(const QString &t) override { penWidth = t; }
    void SetBackgroundStyle(int code) override { background = code; }
    void DrawBackgroundSample() override { ++backgroundSamples; }
    void DrawFillSample() override { ++fillSamples; }
    void DrawLineSample() override { ++lineSamples; }
    void ShowPenModeCaption(int code) override { penModeCaption = code; }
    QString fontSize = QStringLiteral("-"), fontScale = QStringLiteral("-"), scaleMin = QStringLiteral("-"),
            scaleMax = QStringLiteral("-"), fontRotate = QStringLiteral("-"), penWidth = QStringLiteral("-");
    int background = -1, backgroundSamples = 0, fillSamples = 0, lineSamples = 0, penModeCaption = -1;
};

class StyleDialogs : public dialogs::DialogSeams {
public:
    dialogs::StyleDialog *styleDialog(dialogs::StyleDialogKind kind) override
    {
        return kind == dialogs::StyleDialogKind::Layer ? &layer : kind == dialogs::StyleDialogKind::Label ? &label : &newLabel;
    }
    FakeStyleDialog layer, label, newLabel;
};

class StyleToolBars : public CommandTest {
protected:
    // A text layer: 0 a text turned by 350 degrees, 1 a symbol, 2 a line with
    // an open 20-degree arrow at its start, 3 a line of the line style 33.
    int texts()
    {
        TextStyle text;
        text.text = "Граница";
        text.font = "Times";
        text.size = 14;
        text.rotate = 350;
        text.scale = 2000;
        text.transparent = 1;
        text.textColor = 0x0000FF;
        text.fontStyle = 10;
        TextStyle symbol;
        symbol.kind = 2;
        symbol.font = "Wingdings";
        symbol.symbol = 'x';
        symbol.size = 20;
        TextStyle line;
        line.kind = 3;
        line.penWidth = 50;
        line.penStyle = 1;
        line.penColor = 0x00FF00;
        line.arrowStart = 2;
        TextStyle plain = line;
        plain.penStyle = 33;
        plain.arrowStart = 0;
        QByteArray recordText = textRecord(text, {{1000, 1000}});
        // The Cyrillic text in the file's code page.
        recordText.replace(4, 14, QByteArray("\xC3\xF0\xE0\xED\xE8\xF6\xE0\0\0\0\0\0\0\0", 14));
        return addLayer(QStringLiteral("texts"),
                        shapes(8, {1000, 1000, 1100, 1100},
                               {recordText, textRecord(symbol, {{1050, 1050}}),
                                textRecord(line, {{1000, 1000}, {1100, 1000}}),
                                textRecord(plain, {{1000, 1010}, {1100, 1010}})}),
                        4);
    }
    bool shown(QToolBar *bar) { return !bar->isHidden(); }
};

// Rows of a sample picture that hold a dark pixel between columns from and to.
int darkRows(const QLabel *sample, int from, int to)
{
    const QImage image = sample->pixmap().toImage();
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        bool dark = false;
        for (int x = from; x < to && x < image.width(); ++x)
            dark = dark || qGray(image.pixel(x, y)) < 200;
        rows += dark ? 1 : 0;
    }
    return rows;
}

} // namespace

TEST_F(StyleToolBars, ThePanelShowsTheStyleOfTheSelection)
{
    const int t = texts();
    map().ResetPicture();
    // One text: the text tool bar with its values.
    select(t, 0, okText);
    w().ShowStylePanel();
    EXPECT_TRUE(shown(w().ToolBarText));
    EXPECT_FALSE(shown(w().ToolBarSymbol));
    EXPECT_FALSE(shown(w().ToolBarPoints));
    EXPECT_EQ(w().EditText->text(), QStringLiteral("Граница"));
    EXPECT_EQ(w().EditFont->text(), QStringLiteral("Times"));
    EXPECT_EQ(w().EditSize->text(), QStringLiteral("14"));
    EXPECT_EQ(w().EditRotate->text(), QStringLiteral("350"));
    EXPECT_EQ(w().EditTextScale->text(), QStringLiteral("2000"));
    EXPECT_TRUE(w().tbBrushText->isChecked());
    EXPECT_TRUE(w().tbTextItalic->isChecked());
    EXPECT_FALSE(w().tbTextBold->isChecked());
    EXPECT_EQ(TTolvane::ShapeColor(w().ShapeTextColor), 0x0000FF);
    EXPECT_EQ(map().Template().Rotate, 350);

    // A text and a symbol together: no tool bar.
    select(t, 1, okSymbol);
    w().ShowStylePanel();
    EXPECT_FALSE(shown(w().ToolBarText) || shown(w().ToolBarSymbol) || shown(w().ToolBarPoints));

    // The symbol alone.
    map().Selection().Entries.clear();
    select(t, 1, okSymbol);
    w().ShowStylePanel();
    EXPECT_TRUE(shown(w().ToolBarSymbol));
    EXPECT_EQ(w().EditSymbol->text(), QStringLiteral("x"));
    EXPECT_EQ(w().EditFStyle->text(), QStringLiteral("Wingdings"));
    EXPECT_EQ(w().edSizeSymbol->text(), QStringLiteral("20"));

    // Nothing selected: all three hidden.
    map().Selection().Entries.clear();
    w().ShowStylePanel();
    EXPECT_FALSE(shown(w().ToolBarText) || shown(w().ToolBarSymbol) || shown(w().ToolBarPoints));
}

TEST_F(StyleToolBars, TheSamplesOfAFigureShowItsLineEnds)
{
    const int t = texts();
    map().ResetPicture();
    select(t, 2, okLine);
    w().ShowStylePanel();
    ASSERT_TRUE(shown(w().ToolBarPoints));
    EXPECT_EQ(w().edPenWidth->text(), QStringLiteral("0") + QString(platform::decimalSeparator()) + u'5');
    EXPECT_EQ(TTolvane::ShapeColor(w().sPenColor), 0x00FF00);
    // An open arrow at the left end of the start sample; the end sample and
    // the point sample stay white.
    const int width = w().imgArrowFirst->pixmap().width();
    ASSERT_GT(width, 0);
    EXPECT_GE(darkRows(w().imgArrowFirst, 0, width * 2 / 5), 3);
    EXPECT_LE(darkRows(w().imgArrowFirst, width * 3 / 5, width), 2);
    EXPECT_EQ(darkRows(w().imgArrowLast, 0, width), 0);
    EXPECT_EQ(darkRows(w().imgTypePoint, 0, width), 0);

    // The line style 33 leaves the line sample white.
    map().Selection().Entries.clear();
    select(t, 3, okLine);
    w().ShowStylePanel();
    EXPECT_EQ(darkRows(w().imgTypeLine, 0, width), 0);
    EXPECT_EQ(darkRows(w().imgArrowFirst, 0, width), 0);
}

TEST_F(StyleToolBars, TheRotateButtonTurnsTheSelectedTextAndJournalsIt)
{
    const int t = texts();
    map().ResetPicture();
    select(t, 0, okText);
    w().ShowStylePanel();
    w().SpeedButton16->click();
    EXPECT_EQ(w().FStyleTarget, QStringLiteral("Text"));
    EXPECT_EQ(w().EditRotate->text(), QStringLiteral("35"));
    EXPECT_TRUE(layer(t).Objects[0].Modified);
    EXPECT_NE(layer(t).Objects[0].JrnOffset, 0);
    EXPECT_TRUE(w().tbUndo->isEnabled());
    read(t, 0);
    EXPECT_EQ(map().Template().Rotate, 35);
    EXPECT_EQ(map().Template().Text, QStringLiteral("Граница"));
    // The other objects keep their style.
    read(t, 1);
    EXPECT_EQ(map().Template().Rotate, 0);

    // Turning back, and the rules of the turn.
    w().SpeedButton17->click();
    EXPECT_EQ(w().EditRotate->text(), QStringLiteral("350"));
    struct Case {
        int step;
        double value;
        const char *shown;
    };
    const Case cases[] = {{2, 0, "315"}, {1, 315, "360"}, {1, 360, "45"}, {2, 45, "0"}, {1, 710, "35"},
                          {0, 360, "360"}, {2, -100, "215"}};
    for (const Case &c : cases) {
        w().SetTextRotation(c.step, c.value);
        EXPECT_EQ(w().EditRotate->text(), QString::fromLatin1(c.shown)) << c.step << " " << c.value;
    }
    // Typed in the field, the turn acts on Enter.
    w().EditRotate->setText(QStringLiteral("+45"));
    QTest::keyRelease(w().EditRotate, Qt::Key_A);
    read(t, 0);
    EXPECT_EQ(map().Template().Rotate, 215);
    QTest::keyRelease(w().EditRotate, Qt::Key_Return);
    read(t, 0);
    EXPECT_EQ(map().Template().Rotate, 45);
}

TEST_F(StyleToolBars, TextFieldsWriteTheTemplateAndTheSelection)
{
    const int t = texts();
    map().ResetPicture();
    select(t, 0, okText);
    w().ShowStylePanel();

    // Bold and underline down, italic up.
    w().tbTextItalic->setChecked(false);
    w().tbTextBold->setChecked(true);
    w().tbTextUnderline->click();
    EXPECT_EQ(map().Template().FontStyle, 101);
    read(t, 0);
    EXPECT_EQ(map().Template().FontStyle, 101);

    // Blank font and size change nothing; a text does.
    w().EditFont->setText(QStringLiteral("  "));
    w().EditFontKeyUp(Qt::Key_Return);
    w().EditSize->clear();
    w().EditSizeKeyUp(Qt::Key_Return);
    read(t, 0);
    EXPECT_EQ(map().Template().FontName, QStringLiteral("Times"));
    EXPECT_EQ(map().Template().FontSize, 14);
    w().EditText->setText(QString(250, u'я'));
    w().EditTextKeyUp(Qt::Key_Enter);
    read(t, 0);
    EXPECT_EQ(map().Template().Text, QString(199, u'я'));

    // The colour and font dialogs.
    {
        testsupport::ScriptedAnswers answers;
        reply(answers, 0x123456);
        platform::FontChoice font;
        font.name = QStringLiteral("Courier");
        font.size = 9;
        font.color = 0x00AA00;
        answers.font(font);
        w().SBBgTextColor->click();
        w().SpeedButton12->click();
    }
    read(t, 0);
    EXPECT_EQ(map().Template().BgTextColor, 0x123456);
    EXPECT_EQ(map().Template().FontName, QStringLiteral("Courier"));
    EXPECT_EQ(map().Template().FontSize, 9);
    EXPECT_EQ(map().Template().TextColor, 0x00AA00);
    EXPECT_EQ(w().EditFont->text(), QStringLiteral("Courier"));
    EXPECT_EQ(TTolvane::ShapeColor(w().ShapeGgTextColor), 0x123456);

    // The background button.
    w().tbBrushText->click();
    read(t, 0);
    EXPECT_EQ(map().Template().Transparent, 0);
}

TEST_F(StyleToolBars, SymbolAndWidthFields)
{
    const int t = texts();
    map().ResetPicture();
    select(t, 1, okSymbol);
    w().ShowStylePanel();
    // A blank symbol field stores the character of code 0.
    w().EditSymbol->setText(QStringLiteral(" "));
    w().EditSymbolKeyUp(Qt::Key_Return);
    read(t, 1);
    EXPECT_EQ(map().Template().Symbol, QChar(u'\0'));
    w().EditSymbol->setText(QStringLiteral("Qz"));
    w().EditSymbolKeyUp(Qt::Key_Return);
    read(t, 1);
    EXPECT_EQ(map().Template().Symbol, QChar(u'Q'));

    // The width menu in millimetres, and typed with either separator.
    map().Selection().Entries.clear();
    select(t, 2, okLine);
    w().ShowStylePanel();
    w().SpeedButton3->click();
    w().PMenuWidth->hide();
    EXPECT_EQ(w().FStyleTarget, QStringLiteral("Text"));
    w().NWidth[3]->trigger();
    EXPECT_EQ(w().edPenWidth->text(), QStringLiteral("0,5"));
    read(t, 2);
    EXPECT_EQ(map().Template().PenWidth, 50);
    for (const char *typed : {"0.25", "0,25"}) {
        w().edPenWidth->setText(QString::fromLatin1(typed));
        QTest::keyRelease(w().edPenWidth, Qt::Key_Return);
        read(t, 2);
        EXPECT_EQ(map().Template().PenWidth, 25) << typed;
    }

    // The line ends from their menus.
    w().ArrowRight[6]->trigger();
    read(t, 2);
    EXPECT_EQ(map().Template().ArrowEnd, 6);
    EXPECT_EQ(map().Template().ArrowStart, 2);
}

TEST_F(StyleToolBars, WithNothingSelectedOnlyTheTemplateChanges)
{
    const int t = texts();
    map().ResetPicture();
    forgetViews();
    w().EditSize->setText(QStringLiteral("33"));
    w().EditSizeKeyUp(Qt::Key_Return);
    EXPECT_EQ(map().Template().FontSize, 33);
    EXPECT_TRUE(redrawn());
    EXPECT_FALSE(layer(t).Objects[0].Modified);
    EXPECT_EQ(map().JournalCount(), 0);
}

TEST_F(StyleToolBars, PopupsDeliverToTheDialogThatOpenedThem)
{
    StyleDialogs dialogs;
    platform::ScopedService<dialogs::DialogSeams> installed(dialogs);
    const int t = texts();
    (void)t;
    QAction *unscaled = w().N105;
    QAction *scale2000 = w().MenuItemZoom[6];
    ASSERT_EQ(app::hintOf(scale2000), QStringLiteral("2000"));

    struct Case {
        const char *target;
        QString *edit;
        const char *expected;
    };
    const Case scales[] = {
        {"LayerTextScale", &dialogs.layer.fontScale, ""},
        {"LabelTextScale", &dialogs.label.fontScale, ""},
        {"NewLabelTextScale", &dialogs.newLabel.fontScale, ""},
        {"LayerScaleMin", &dialogs.layer.scaleMin, ""},
        {"LayerScaleMax", &dialogs.layer.scaleMax, ""},
    };
    // "без масштабирования" empties the edit; a scale shows its denominator.
    for (const Case &c : scales) {
        w().FStyleTarget = QString::fromLatin1(c.target);
        unscaled->trigger();
        EXPECT_EQ(*c.edit, QString()) << c.target;
        scale2000->trigger();
        EXPECT_EQ(*c.edit, QStringLiteral("2000")) << c.target;
    }
    EXPECT_EQ(map().Template().TextScale, 0);

    // Sizes and turns to the dialogs' font edits.
    w().FStyleTarget = QStringLiteral("NewLabel");
    w().NF[7]->trigger();
    EXPECT_EQ(dialogs.newLabel.fontSize, QStringLiteral("14"));
    w().SetTextRotation(2, 30);
    EXPECT_EQ(dialogs.newLabel.fontRotate, QStringLiteral("345"));

    // The pen width for the layer dialog: rounded to two decimals, sample
    // redrawn; the template keeps its width.
    const int width = map().Template().PenWidth;
    w().FStyleTarget = QStringLiteral("Layer");
    w().NWidth[1]->trigger();
    EXPECT_EQ(dialogs.layer.penWidth, QStringLiteral("0,05").replace(u',', platform::decimalSeparator()));
    EXPECT_EQ(dialogs.layer.lineSamples, 1);
    EXPECT_EQ(map().Template().PenWidth, width);

    // Pen modes go to the current layer; fills to the samples.
    w().nPenMode[12]->trigger();
    EXPECT_EQ(layer(0).PenMode, 12);
    EXPECT_EQ(dialogs.layer.penModeCaption, 12);
    w().NStylePlan[3]->trigger();
    EXPECT_EQ(dialogs.layer.fillSamples, 1);
    w().FStyleTarget = QStringLiteral("Label");
    w().NStylePlan[3]->trigger();
    EXPECT_EQ(dialogs.label.background, 5);
    EXPECT_EQ(dialogs.label.backgroundSamples, 1);
    EXPECT_EQ(layer(0).PenMode, 12);
    w().nPenMode[0]->trigger();
    EXPECT_EQ(layer(0).PenMode, 12);

    // The tool bars' own targets write the template and their fields.
    w().SpeedButton28->click();
    w().PMenuZoom->hide();
    scale2000->trigger();
    EXPECT_EQ(w().edSymbolScale->text(), QStringLiteral("2000"));
    EXPECT_EQ(map().Template().TextScale, 2000);
    w().SBSize->click();
    w().PMenuSize->hide();
    w().NF[0]->trigger();
    EXPECT_EQ(w().EditSize->text(), QStringLiteral("6"));
    EXPECT_EQ(map().Template().FontSize, 6);
}

TEST_F(StyleToolBars, PickersSetThePatternsAndTheSymbol)
{
    class Pickers : public dialogs::DialogSeams {
    public:
        int SelectPointStyle() override { return point; }
        int SelectLineStyle() override { return 4; }
        int SelectFillStyle() override { return -1; }
        bool SelectSymbol(QString &fontName, QChar &symbol) override
        {
            asked = fontName;
            fontName = QStringLiteral("Symbol");
            symbol = u'q';
            return true;
        }
        int point = 3;
        QString asked;
    } pickers;
    platform::ScopedService<dialogs::DialogSeams> installed(pickers);
    const int t = texts();
    map().ResetPicture();
    select(t, 2, okLine);
    w().ShowStylePanel();
    w().SpeedButton7->click();
    w().SpeedButton5->click();
    // Nothing chosen: the fill stays.
    w().SpeedButton10->click();
    read(t, 2);
    EXPECT_EQ(map().Template().PointStyle, 3);
    EXPECT_EQ(map().Template().PenStyle, 4);
    EXPECT_EQ(map().Template().BrushStyle, 0);
    // The panel shows the line again after each choice.
    EXPECT_TRUE(shown(w().ToolBarPoints));

    map().Selection().Entries.clear();
    select(t, 1, okSymbol);
    w().ShowStylePanel();
    w().SpeedButton13->click();
    EXPECT_EQ(pickers.asked, QStringLiteral("Wingdings"));
    EXPECT_EQ(w().EditFStyle->text(), QStringLiteral("Symbol"));
    EXPECT_EQ(w().EditSymbol->text(), QStringLiteral("q"));
    read(t, 1);
    EXPECT_EQ(map().Template().FontName, QStringLiteral("Symbol"));
    EXPECT_EQ(map().Template().Symbol, QChar(u'q'));
}

TEST_F(StyleToolBars, DialogButtonsOpenTheMapWindowsPopups)
{
    texts();
    // The popups reach a dialog while it is shown.
    TProLayer *layerDialog = ProLayer();
    layerDialog->LayerDialogIndex = 0;
    layerDialog->FormShow();
    TNewLabel *add = NewLabel();
    TProLabel *entry = ProLabel();
    for (QDialog *d : std::initializer_list<QDialog *>{layerDialog, add, entry})
        d->show();
    struct Case {
        QToolButton *button;
        QMenu *menu;
        const char *target;
        QAction *item;
        QLineEdit *edit;
        QString expected;
    };
    const Case cases[] = {
        {layerDialog->SBSize, w().PMenuSize, "Layer", w().NF[7], layerDialog->EditFontSize, QStringLiteral("14")},
        {layerDialog->SpeedButton8, w().PMenuWidth, "Layer", w().NWidth[1], layerDialog->EditPenWidth,
         QStringLiteral("0,05").replace(u',', platform::decimalSeparator())},
        {layerDialog->SBScale2, w().PMenuZoom, "LayerTextScale", w().MenuItemZoom[6], layerDialog->EditFontScale,
         QStringLiteral("2000")},
        {layerDialog->SBMinSize, w().PMenuZoom, "LayerScaleMin", w().MenuItemZoom[6], layerDialog->EditScaleMin,
         QStringLiteral("2000")},
        {layerDialog->SBMaxSize, w().PMenuZoom, "LayerScaleMax", w().MenuItemZoom[7], layerDialog->EditScaleMax,
         QStringLiteral("5000")},
        {layerDialog->sbPenMode, w().pMenuPenMode, "Layer", w().nPenMode[12], layerDialog->EditPenMode,
         QStringLiteral("комбинированный")},
        {add->SBScale2, w().PMenuZoom, "NewLabelTextScale", w().MenuItemZoom[6], add->EditFontScale,
         QStringLiteral("2000")},
        // The shift buttons open the size popup too; the size goes to the font.
        {add->sbShiftX, w().PMenuSize, "NewLabel", w().NF[7], add->EditFontSize, QStringLiteral("14")},
        {entry->SBSize, w().PMenuSize, "Label", w().NF[0], entry->EditFontSize, QStringLiteral("6")},
    };
    for (const Case &c : cases) {
        c.button->click();
        EXPECT_EQ(w().FStyleTarget, QString::fromLatin1(c.target)) << c.button->objectName().toStdString();
        EXPECT_TRUE(c.menu->isVisible()) << c.button->objectName().toStdString();
        c.menu->hide();
        c.item->trigger();
        EXPECT_EQ(c.edit->text(), c.expected) << c.button->objectName().toStdString();
    }
    add->EditFontRotate->setText(QStringLiteral("30"));
    add->SpeedButton17->click();
    EXPECT_EQ(add->EditFontRotate->text(), QStringLiteral("345"));
    layerDialog->EditFontRotate->setText(QStringLiteral("350"));
    layerDialog->SpeedButton16->click();
    EXPECT_EQ(layerDialog->EditFontRotate->text(), QStringLiteral("35"));

    entry->SpeedButton11->click();
    EXPECT_EQ(w().FStyleTarget, QStringLiteral("Label"));
    EXPECT_TRUE(w().PMenuStylePlan->isVisible());
    w().PMenuStylePlan->hide();
    w().NStylePlan[1]->trigger();
    EXPECT_EQ(entry->FBrushStyle, 0);
    EXPECT_EQ(add->EditFontSize->text(), QStringLiteral("14"));

    // A closed dialog receives nothing.
    add->hide();
    w().FStyleTarget = QStringLiteral("NewLabel");
    w().NF[0]->trigger();
    EXPECT_EQ(add->EditFontSize->text(), QStringLiteral("14"));
    layerDialog->hide();
    entry->hide();
}
