// The style tool bars and the style panel of the selection. Each control
// edits one field of the map control's object template, which new objects
// take their style from, and passes it to the selected objects. The size,
// scale, width, pen-mode and fill popups are shared with the layer, label
// and new-label dialogs: FStyleTarget says for whom a popup was opened.

#include "app/FTolvane.h"

#include "dialogs/DialogSeams.h"
#include "app/FormControls.h"
#include "app/HostHooks.h"
#include "mapdata/MapFunctions.h"
#include "platform/NumberFormat.h"
#include "platform/Rounding.h"
#include "platform/UserAnswers.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/PainterCanvas.h"

#include <QAction>
#include <QColor>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

#include <functional>

namespace {

// Calls a handler with the key of every key release in an edit: the style
// edits act when Enter is released in them, not on every change.
class KeyUpFilter : public QObject {
public:
    KeyUpFilter(QLineEdit *edit, std::function<void(int)> handler) : QObject(edit), handler_(std::move(handler))
    {
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyRelease)
            handler_(static_cast<QKeyEvent *>(event)->key());
        return false;
    }

private:
    std::function<void(int)> handler_;
};

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The integer a popup item carries in its hint (or caption), "&" removed.
int itemValue(const QString &text)
{
    bool ok = false;
    const int v = QString(text).remove(u'&').trimmed().toInt(&ok);
    return ok ? v : 0;
}

// A scale denominator as the dialogs' edits show it: empty for none.
QString scaleText(int n)
{
    return n == 0 ? QString() : QString::number(n);
}

// Opens a popup at the lower left corner of a control, in screen
// coordinates.
void popupBelow(QMenu *menu, const QWidget *control)
{
    menu->popup(control->mapToGlobal(QPoint(0, control->height())));
}

} // namespace

// ---------------------------------------------------------------------------
// Colour samples

int TTolvane::ShapeColor(const QWidget *shape)
{
    return shape->property("tolvaneColor").toInt();
}

void TTolvane::SetShapeColor(QWidget *shape, int colour)
{
    const auto c = static_cast<platform::gdi::Color>(colour);
    shape->setProperty("tolvaneColor", colour);
    const QColor q(platform::gdi::redOf(c), platform::gdi::greenOf(c), platform::gdi::blueOf(c));
    shape->setStyleSheet(QStringLiteral("background-color: %1;").arg(q.name()));
}

// ---------------------------------------------------------------------------
// Wiring

void TTolvane::connectStyleToolBars()
{
    SetDrawKind(nDrawPolygon);
    auto keyUp = [this](QLineEdit *edit, void (TTolvane::*handler)(int)) {
        new KeyUpFilter(edit, [this, handler](int key) { (this->*handler)(key); });
    };
    auto click = [this](QToolButton *button, void (TTolvane::*handler)()) {
        connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    keyUp(EditText, &TTolvane::EditTextKeyUp);
    keyUp(EditFont, &TTolvane::EditFontKeyUp);
    keyUp(EditSize, &TTolvane::EditSizeKeyUp);
    keyUp(EditRotate, &TTolvane::EditRotateKeyUp);
    keyUp(EditTextScale, &TTolvane::EditTextScaleKeyUp);
    keyUp(EditSymbol, &TTolvane::EditSymbolKeyUp);
    keyUp(EditFStyle, &TTolvane::EditFStyleKeyUp);
    keyUp(edSizeSymbol, &TTolvane::edSizeSymbolKeyUp);
    keyUp(edPenWidth, &TTolvane::edPenWidthKeyUp);
    click(SpeedButton12, &TTolvane::SpeedButton12Click);
    click(SBTextColor, &TTolvane::SBTextColorClick);
    click(SBBgTextColor, &TTolvane::SBBgTextColorClick);
    click(SBSize, &TTolvane::SBSizeClick);
    click(SpeedButton16, &TTolvane::SpeedButton16Click);
    click(SpeedButton17, &TTolvane::SpeedButton17Click);
    click(SBScale2, &TTolvane::SBScale2Click);
    click(tbBrushText, &TTolvane::tbBrushTextClick);
    click(tbTextBold, &TTolvane::tbTextBoldClick);
    click(tbTextItalic, &TTolvane::tbTextBoldClick);
    click(tbTextUnderline, &TTolvane::tbTextBoldClick);
    click(SpeedButton13, &TTolvane::SpeedButton13Click);
    click(SpeedButton21, &TTolvane::SpeedButton21Click);
    click(SpeedButton22, &TTolvane::SpeedButton22Click);
    click(SpeedButton23, &TTolvane::SpeedButton23Click);
    click(SpeedButton28, &TTolvane::SpeedButton28Click);
    click(tbBrushSymbol, &TTolvane::tbBrushSymbolClick);
    click(SpeedButton3, &TTolvane::SpeedButton3Click);
    click(SpeedButton7, &TTolvane::SpeedButton7Click);
    click(SpeedButton2, &TTolvane::SpeedButton2Click);
    click(SpeedButton4, &TTolvane::SpeedButton4Click);
    click(SpeedButton5, &TTolvane::SpeedButton5Click);
    click(SBLineColorShow, &TTolvane::SBLineColorShowClick);
    click(SBBgColorShow, &TTolvane::SBBgColorShowClick);
    click(SpeedButton10, &TTolvane::SpeedButton10Click);
    for (QWidget *shape : {static_cast<QWidget *>(ShapeTextColor), static_cast<QWidget *>(ShapeGgTextColor),
                           static_cast<QWidget *>(sSymbolColor), static_cast<QWidget *>(sSymbolBgColor),
                           static_cast<QWidget *>(sPenColor), static_cast<QWidget *>(sBrushColor)})
        SetShapeColor(shape, 0xFFFFFF);
}

// ---------------------------------------------------------------------------
// Drawing kinds and vertex switches

void TTolvane::SetDrawKind(QAction *item)
{
    // The button shows the item it holds, as a tool button given a menu item
    // takes its caption and hint.
    FDrawKind = item;
    pbCosmetic->setText(item->text());
    app::setHint(pbCosmetic, app::hintOf(item));
}

void TTolvane::nDrawPointClick(QAction *Sender)
{
    SetDrawKind(Sender);
    pbDraw->setChecked(true);
}

void TTolvane::pbCosmeticClick()
{
    pbDraw->setChecked(true);
}

// The checked items toggle themselves; the edit tool reads them.
void TTolvane::nPointInsClick() {}
void TTolvane::nPointDelClick() {}

// ---------------------------------------------------------------------------
// Popup items

namespace {

// Stores the template as it is now in the selected objects, for the fields
// named, and redraws.
void apply(TTolvane &w, std::initializer_list<Byte> ops)
{
    w.MapImage->ApplyStyleToSelection(std::vector<Byte>(ops));
    w.RedrawMap();
}

dialogs::StyleDialog *targetDialog(const QString &target)
{
    if (target.startsWith(u"Layer"))
        return dialogs::dialogSeams().styleDialog(dialogs::StyleDialogKind::Layer);
    if (target.startsWith(u"NewLabel"))
        return dialogs::dialogSeams().styleDialog(dialogs::StyleDialogKind::NewLabel);
    if (target.startsWith(u"Label"))
        return dialogs::dialogSeams().styleDialog(dialogs::StyleDialogKind::Label);
    return nullptr;
}

} // namespace

void TTolvane::MenuItem18Click(QAction *Sender)
{
    MapImage->Template().ArrowStart = itemValue(app::hintOf(Sender));
    apply(*this, {16});
    ShowStylePanel();
}

void TTolvane::MenuItem33Click(QAction *Sender)
{
    MapImage->Template().ArrowEnd = itemValue(app::hintOf(Sender));
    apply(*this, {17});
    ShowStylePanel();
}

void TTolvane::NF1Click(QAction *Sender)
{
    SetFontSize(itemValue(Sender->text()));
}

void TTolvane::NSelectZoomClick(QAction *Sender)
{
    SetTextScale(itemValue(app::hintOf(Sender)));
}

void TTolvane::NSelectWidth(QAction *Sender)
{
    const QString hint = app::hintOf(Sender);
    double v = 0.01;
    try {
        v = MapFunctions::TextToFloat(hint, 0.01);
    } catch (const std::exception &) {
        v = 0.01;
    }
    if (FStyleTarget == u"Layer") {
        SetLayerPenWidth(v);
    } else if (FStyleTarget == u"Text") {
        edPenWidth->setText(hint);
        MapImage->Template().PenWidth = platform::roundToInt(v * 100);
        apply(*this, {9});
    }
}

void TTolvane::nPenMode4Click(QAction *Sender)
{
    SetLayerPenMode(itemValue(app::hintOf(Sender)));
}

void TTolvane::NStylePlanClick(QAction *Sender)
{
    SetFillStyle(itemValue(app::hintOf(Sender)));
}

// ---------------------------------------------------------------------------
// Delivering a popup's choice

void TTolvane::SetFontSize(int size)
{
    TTextRecord &t = MapImage->Template();
    if (FStyleTarget == u"Layer" || FStyleTarget == u"Label" || FStyleTarget == u"NewLabel") {
        if (dialogs::StyleDialog *d = targetDialog(FStyleTarget))
            d->SetFontSize(QString::number(size));
    } else if (FStyleTarget == u"Text" || FStyleTarget == u"Symbol") {
        (FStyleTarget == u"Text" ? EditSize : edSizeSymbol)->setText(QString::number(size));
        t.FontSize = size;
        apply(*this, {2});
    }
}

void TTolvane::SetTextScale(int denominator)
{
    TTextRecord &t = MapImage->Template();
    dialogs::StyleDialog *d = targetDialog(FStyleTarget);
    if (FStyleTarget == u"LayerTextScale" || FStyleTarget == u"LabelTextScale" ||
        FStyleTarget == u"NewLabelTextScale") {
        if (d)
            d->SetFontScale(scaleText(denominator));
    } else if (FStyleTarget == u"LayerScaleMin") {
        if (d)
            d->SetScaleMin(scaleText(denominator));
    } else if (FStyleTarget == u"LayerScaleMax") {
        if (d)
            d->SetScaleMax(scaleText(denominator));
    } else if (FStyleTarget == u"Text" || FStyleTarget == u"Symbol") {
        (FStyleTarget == u"Text" ? EditTextScale : edSymbolScale)->setText(QString::number(denominator));
        t.TextScale = denominator;
        apply(*this, {7});
    }
}

void TTolvane::SetTextRotation(int step, double value)
{
    if (step == 1)
        value += 45;
    else if (step == 2)
        value -= 45;
    // 360 itself stays.
    while (value > 360)
        value -= 360;
    while (value < 0)
        value += 360;
    if (FStyleTarget == u"Text") {
        const int rotate = platform::roundToInt(value);
        EditRotate->setText(QString::number(rotate));
        MapImage->Template().Rotate = rotate;
        apply(*this, {6});
    } else if (FStyleTarget == u"Layer" || FStyleTarget == u"Label" || FStyleTarget == u"NewLabel") {
        if (dialogs::StyleDialog *d = targetDialog(FStyleTarget))
            d->SetFontRotate(platform::floatToStr(value));
    }
}

void TTolvane::SetTextBackground(bool on)
{
    if (FStyleTarget != u"Text" && FStyleTarget != u"Symbol")
        return;
    MapImage->Template().Transparent = on ? 1 : 0;
    apply(*this, {8});
}

void TTolvane::SetLayerPenWidth(double width)
{
    if (dialogs::StyleDialog *d = targetDialog(QStringLiteral("Layer"))) {
        d->SetPenWidth(MapFunctions::RoundValue(width, 0, 2, true).toString());
        d->DrawLineSample();
    }
}

void TTolvane::SetLayerPenMode(int code)
{
    if (FStyleTarget != u"Layer")
        return;
    const int layer = ShownLayerIndex();
    if (!ValidLayer(layer))
        return;
    MapImage->Project().Layers[static_cast<size_t>(layer)].PenMode = static_cast<Byte>(code);
    if (dialogs::StyleDialog *d = targetDialog(FStyleTarget))
        d->ShowPenModeCaption(code);
}

void TTolvane::SetFillStyle(int code)
{
    dialogs::StyleDialog *d = targetDialog(FStyleTarget);
    if (!d)
        return;
    if (FStyleTarget == u"Layer") {
        d->DrawFillSample();
    } else if (FStyleTarget == u"Label" || FStyleTarget == u"NewLabel") {
        d->SetBackgroundStyle(code);
        d->DrawBackgroundSample();
    }
}

// ---------------------------------------------------------------------------
// ToolBarText

void TTolvane::EditTextKeyUp(int key)
{
    if (!isEnter(key))
        return;
    MapImage->Template().Text = EditText->text().left(199);
    apply(*this, {0});
}

void TTolvane::EditFontKeyUp(int key)
{
    if (!isEnter(key) || EditFont->text().trimmed().isEmpty())
        return;
    MapImage->Template().FontName = EditFont->text().left(69);
    apply(*this, {1});
}

void TTolvane::SpeedButton12Click()
{
    platform::FontChoice font;
    font.name = EditFont->text();
    font.size = MapFunctions::TextToInt(EditSize->text());
    font.color = ShapeColor(ShapeTextColor);
    if (!platform::answers().chooseFont(font))
        return;
    EditFont->setText(font.name);
    EditSize->setText(QString::number(font.size));
    SetShapeColor(ShapeTextColor, font.color);
    TTextRecord &t = MapImage->Template();
    t.FontName = font.name.left(69);
    t.FontSize = font.size;
    t.TextColor = font.color;
    apply(*this, {1, 2, 4});
}

void TTolvane::SBTextColorClick()
{
    int colour = ShapeColor(ShapeTextColor);
    if (!platform::answers().chooseColor(colour))
        return;
    SetShapeColor(ShapeTextColor, colour);
    MapImage->Template().TextColor = colour;
    apply(*this, {4});
}

void TTolvane::SBBgTextColorClick()
{
    int colour = ShapeColor(ShapeGgTextColor);
    if (!platform::answers().chooseColor(colour))
        return;
    SetShapeColor(ShapeGgTextColor, colour);
    MapImage->Template().BgTextColor = colour;
    apply(*this, {5});
}

void TTolvane::SBSizeClick()
{
    FStyleTarget = QStringLiteral("Text");
    popupBelow(PMenuSize, EditSize);
}

void TTolvane::EditSizeKeyUp(int key)
{
    if (!isEnter(key) || EditSize->text().trimmed().isEmpty())
        return;
    try {
        MapImage->Template().FontSize = MapFunctions::TextToInt(EditSize->text());
    } catch (const std::exception &) {
        return;
    }
    apply(*this, {2});
}

namespace {
// The rotation field's value; what cannot be read counts as 0.
double rotationOf(const QLineEdit *edit)
{
    try {
        return MapFunctions::TextToFloat(edit->text(), 0);
    } catch (const std::exception &) {
        return 0;
    }
}
} // namespace

void TTolvane::SpeedButton16Click()
{
    FStyleTarget = QStringLiteral("Text");
    SetTextRotation(1, rotationOf(EditRotate));
}

void TTolvane::SpeedButton17Click()
{
    FStyleTarget = QStringLiteral("Text");
    SetTextRotation(2, rotationOf(EditRotate));
}

void TTolvane::EditRotateKeyUp(int key)
{
    if (!isEnter(key))
        return;
    MapImage->Template().Rotate = platform::roundToInt(rotationOf(EditRotate));
    apply(*this, {6});
}

void TTolvane::SBScale2Click()
{
    FStyleTarget = QStringLiteral("Text");
    popupBelow(PMenuZoom, EditTextScale);
}

void TTolvane::EditTextScaleKeyUp(int key)
{
    if (!isEnter(key))
        return;
    try {
        MapImage->Template().TextScale = MapFunctions::TextToInt(EditTextScale->text());
    } catch (const std::exception &) {
        return;
    }
    apply(*this, {7});
}

void TTolvane::tbBrushTextClick()
{
    FStyleTarget = QStringLiteral("Text");
    SetTextBackground(tbBrushText->isChecked());
}

void TTolvane::tbTextBoldClick()
{
    MapImage->Template().FontStyle = static_cast<std::int16_t>(
        (tbTextBold->isChecked() ? 1 : 0) + (tbTextItalic->isChecked() ? 10 : 0) +
        (tbTextUnderline->isChecked() ? 100 : 0));
    apply(*this, {3});
}

// ---------------------------------------------------------------------------
// ToolBarSymbol

void TTolvane::EditSymbolKeyUp(int key)
{
    if (!isEnter(key))
        return;
    const QString text = EditSymbol->text();
    MapImage->Template().Symbol = text.trimmed().isEmpty() ? QChar(u'\0') : text.at(0);
    apply(*this, {15});
}

void TTolvane::SpeedButton13Click()
{
    QString font = EditFStyle->text();
    QChar symbol;
    if (!dialogs::dialogSeams().SelectSymbol(font, symbol))
        return;
    EditFStyle->setText(font);
    EditSymbol->setText(QString(symbol));
    MapImage->Template().FontName = font.left(69);
    MapImage->Template().Symbol = symbol;
    apply(*this, {1, 15});
}

void TTolvane::EditFStyleKeyUp(int key)
{
    if (!isEnter(key) || EditFStyle->text().trimmed().isEmpty())
        return;
    MapImage->Template().FontName = EditFStyle->text().left(69);
    apply(*this, {1});
}

void TTolvane::SpeedButton21Click()
{
    int colour = ShapeColor(sSymbolColor);
    if (!platform::answers().chooseColor(colour))
        return;
    SetShapeColor(sSymbolColor, colour);
    MapImage->Template().TextColor = colour;
    apply(*this, {4});
}

void TTolvane::SpeedButton22Click()
{
    int colour = ShapeColor(sSymbolBgColor);
    if (!platform::answers().chooseColor(colour))
        return;
    SetShapeColor(sSymbolBgColor, colour);
    MapImage->Template().BgTextColor = colour;
    apply(*this, {5});
}

void TTolvane::SpeedButton23Click()
{
    FStyleTarget = QStringLiteral("Symbol");
    popupBelow(PMenuSize, edSizeSymbol);
}

void TTolvane::edSizeSymbolKeyUp(int key)
{
    if (!isEnter(key))
        return;
    try {
        MapImage->Template().FontSize = MapFunctions::TextToInt(edSizeSymbol->text());
    } catch (const std::exception &) {
        return;
    }
    apply(*this, {2});
}

void TTolvane::SpeedButton28Click()
{
    FStyleTarget = QStringLiteral("Symbol");
    popupBelow(PMenuZoom, edSymbolScale);
}

void TTolvane::tbBrushSymbolClick()
{
    FStyleTarget = QStringLiteral("Symbol");
    SetTextBackground(tbBrushSymbol->isChecked());
}

// ---------------------------------------------------------------------------
// ToolBarPoints

void TTolvane::edPenWidthKeyUp(int key)
{
    if (!isEnter(key))
        return;
    double mm = 0.01;
    try {
        mm = MapFunctions::TextToFloat(edPenWidth->text(), 0.01);
    } catch (const std::exception &) {
        return;
    }
    MapImage->Template().PenWidth = platform::roundToInt(mm * 100);
    apply(*this, {9});
}

void TTolvane::SpeedButton3Click()
{
    FStyleTarget = QStringLiteral("Text");
    popupBelow(PMenuWidth, edPenWidth);
}

void TTolvane::SpeedButton7Click()
{
    const int n = dialogs::dialogSeams().SelectPointStyle();
    if (n < 0)
        return;
    MapImage->Template().PointStyle = n;
    apply(*this, {10});
    ShowStylePanel();
}

void TTolvane::SpeedButton2Click()
{
    popupBelow(PMenuStyleArrowLeft, imgArrowFirst);
}

void TTolvane::SpeedButton4Click()
{
    popupBelow(PMenuStyleArrowRight, imgArrowLast);
}

void TTolvane::SpeedButton5Click()
{
    const int n = dialogs::dialogSeams().SelectLineStyle();
    if (n < 0)
        return;
    MapImage->Template().PenStyle = n;
    apply(*this, {13});
    ShowStylePanel();
}

void TTolvane::SBLineColorShowClick()
{
    int colour = ShapeColor(sPenColor);
    if (!platform::answers().chooseColor(colour))
        return;
    SetShapeColor(sPenColor, colour);
    MapImage->Template().PenColor = colour;
    apply(*this, {11});
}

void TTolvane::SBBgColorShowClick()
{
    int colour = ShapeColor(sBrushColor);
    if (!platform::answers().chooseColor(colour))
        return;
    SetShapeColor(sBrushColor, colour);
    MapImage->Template().BrushColor = colour;
    apply(*this, {12});
}

void TTolvane::SpeedButton10Click()
{
    const int n = dialogs::dialogSeams().SelectFillStyle();
    if (n < 0)
        return;
    MapImage->Template().BrushStyle = n;
    apply(*this, {14});
    ShowStylePanel();
}

// ---------------------------------------------------------------------------
// The style panel

namespace {

// A sample picture in 0.01 mm, cleared to white; draw gets the canvas, the
// picture's corners in its units (left, top, right, bottom) and its size in
// pixels.
void drawSample(QLabel *sample,
                const std::function<void(platform::gdi::Canvas &, const QRect &, int, int)> &draw)
{
    const int w = std::max(1, sample->width());
    const int h = std::max(1, sample->height());
    platform::gdi::Bitmap picture(w, h);
    if (draw) {
        platform::gdi::Canvas &canvas = picture.canvas();
        canvas.setMapMode(platform::gdi::MM_HIMETRIC);
        const QPoint topLeft = canvas.dpToLp(QPoint(0, 0));
        const QPoint bottomRight = canvas.dpToLp(QPoint(w, h));
        draw(canvas, QRect(QPoint(topLeft.x(), topLeft.y()), QPoint(bottomRight.x(), bottomRight.y())), w, h);
    }
    sample->setPixmap(QPixmap::fromImage(picture.image()));
}

} // namespace

void TTolvane::ShowStylePanel()
{
    TMapVyk &map = *MapImage;
    const Byte k = map.CommonSelectionKind();
    for (QToolBar *bar : {ToolBarText, ToolBarSymbol, ToolBarPoints})
        bar->hide();
    QToolBar *shown = nullptr;
    if (k == okText)
        shown = ToolBarText;
    else if (k == okSymbol)
        shown = ToolBarSymbol;
    else if (k == okPoint || k == okLine || k == okPolygon || k == okOval || k == okCurve)
        shown = ToolBarPoints;
    if (!shown)
        return;
    shown->show();
    if (map.Selection().Entries.empty())
        return;
    // Reading the first selected object makes its record the template.
    const TSelObject first = map.Selection().Entries.front();
    TShpObject shape;
    map.ReadObject(first.Layer, first.Index, shape);
    const TTextRecord &t = map.Template();

    if (k == okText) {
        EditText->setText(t.Text.trimmed());
        EditFont->setText(t.FontName.trimmed());
        EditSize->setText(QString::number(t.FontSize));
        EditRotate->setText(QString::number(t.Rotate));
        EditTextScale->setText(QString::number(t.TextScale));
        tbBrushText->setChecked(t.Transparent == 1);
        // The style buttons show the style's digits (1 bold, 10 italic,
        // 100 underline), so that a click changes only its own.
        tbTextBold->setChecked(t.FontStyle % 10 != 0);
        tbTextItalic->setChecked(t.FontStyle / 10 % 10 != 0);
        tbTextUnderline->setChecked(t.FontStyle / 100 % 10 != 0);
        SetShapeColor(ShapeTextColor, t.TextColor);
        SetShapeColor(ShapeGgTextColor, t.BgTextColor);
        return;
    }
    if (k == okSymbol) {
        EditSymbol->setText(QString(t.Symbol).trimmed().remove(QChar(u'\0')));
        EditFStyle->setText(t.FontName.trimmed());
        edSizeSymbol->setText(QString::number(t.FontSize));
        edSymbolScale->setText(QString::number(t.TextScale));
        tbBrushSymbol->setChecked(t.Transparent == 1);
        SetShapeColor(sSymbolColor, t.TextColor);
        SetShapeColor(sSymbolBgColor, t.BgTextColor);
        return;
    }

    edPenWidth->setText(platform::floatToStr(t.PenWidth / 100.0));
    SetShapeColor(sPenColor, t.PenColor);
    SetShapeColor(sBrushColor, t.BrushColor);
    using DrawFn = std::function<void(platform::gdi::Canvas &, const QRect &, int, int)>;
    DrawFn pointSample, lineSample, startSample, endSample;
    if (t.PointStyle > 0)
        pointSample = [&t](platform::gdi::Canvas &c, const QRect &r, int, int) {
            const QPoint middle((r.left() + r.right()) / 2, (r.top() + r.bottom()) / 2);
            DrawStyledPoint(c, &middle, 1, t.PointStyle, t.PenColor, 0, 0, 1, 1, 0);
        };
    if (t.PenStyle > 0 && t.PenStyle != 33)
        lineSample = [&t](platform::gdi::Canvas &c, const QRect &r, int w, int h) {
            const int y = (r.top() + r.bottom()) / 2;
            const QPoint points[2] = {QPoint(r.left() + 5, y), QPoint(r.right() - 5, y)};
            DrawStyledLine(c, points, 2, t.PenStyle, t.PenColor, 0, 1, 1, 0, w, h, true);
        };
    auto ends = [&map](int startKind, int endKind) {
        return [&map, startKind, endKind](platform::gdi::Canvas &c, const QRect &r, int, int) {
            const int y = (r.top() + r.bottom()) / 2;
            const std::vector<QPoint> points = {QPoint(r.left() + 100, y), QPoint(r.right() - 100, y)};
            c.polyline(points);
            map.DrawLineEnds(c, points, 30, 1, startKind, endKind);
        };
    };
    if (t.ArrowStart >= 1)
        startSample = ends(t.ArrowStart, 0);
    if (t.ArrowEnd >= 1)
        endSample = ends(0, t.ArrowEnd);
    drawSample(imgTypePoint, pointSample);
    drawSample(imgTypeLine, lineSample);
    drawSample(imgArrowFirst, startSample);
    drawSample(imgArrowLast, endSample);
    DrawFillSample(*this, imgTypeFill->width(), imgTypeFill->height());
}
