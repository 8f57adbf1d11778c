// The band object: a band's place and options on a template page, drawn in
// the designer as a checkered strip with a title tab.

#include "reports/model/ReportViews.h"

#include "platform/Rounding.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/SystemColors.h"
#include "reports/model/DataSets.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportModel.h"

namespace reports {

namespace {

bool inTypes(int type, std::initializer_list<int> types)
{
    return std::find(types.begin(), types.end(), type) != types.end();
}

bool hasStretched(int t) { return inTypes(t, {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 18, 21}); }
bool hasFormNewPage(int t) { return inTypes(t, {0, 1, 5, 6, 8, 9, 11, 12, 16}); }
bool hasBreaked(int t) { return inTypes(t, {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 21}); }
bool hasRepeatHeader(int t) { return inTypes(t, {4, 7, 10, 16, 18}); }
bool isDataBand(int t) { return inTypes(t, {5, 8, 11}); }

const struct {
    const char *name;
    quint16 bit;
} kBandFlags[] = {
    {"FORMNEWPAGE", flBandNewPageAfter}, {"PRINTIFSUBSETEMPTY", flBandPrintIfSubsetEmpty},
    {"BREAKED", flBandBreaked},          {"ONFIRSTPAGE", flBandOnFirstPage},
    {"ONLASTPAGE", flBandOnLastPage},    {"REPEATHEADER", flBandRepeatHeader},
    {"PRINTCHILDIFINVISIBLE", flBandPrintChildIfInvisible},
};

// The names of the designer page's bands of some types (other than this
// one), each followed by ";".
QString bandNames(const View *self, std::initializer_list<int> types)
{
    QString out;
    const BuildState &state = library().State;
    if (state.DocumentMode != 0 || !state.DesignerPage)
        return out;
    for (const auto &o : state.DesignerPage->Objects)
        if (o.get() != self && o->ObjectType == 2 && inTypes(static_cast<const BandView &>(*o).GetBandType(), types))
            out += o->Name + u';';
    return out;
}

Page *drawingPage()
{
    const BuildState &s = library().State;
    return s.DocumentMode == 1 ? s.CurrentPage : (s.DesignerPage ? s.DesignerPage : s.CurrentPage);
}

} // namespace

BandView::BandView()
{
    ObjectType = 2;
    BaseName = QStringLiteral("Band");
    Flags = flBandOnFirstPage | flBandOnLastPage;
    DisplayFormatCode = 0;
}

bool BandView::IsCross() const
{
    const int t = GetBandType();
    return t >= btCrossHeader && t <= btCrossFooter;
}

void BandView::BuildPropertyList()
{
    View::BuildPropertyList();
    const EditorHooks &hooks = editorHooks();
    const int t = GetBandType();
    if (t != btPageFooter) {
        AddEnumProperty(QStringLiteral("ChildBand"), bandNames(this, {btChild}), {Variant::null()});
        AddProperty(QStringLiteral("PrintChildIfInvisible"), pkBoolean);
    }
    if (hasStretched(t))
        AddProperty(QStringLiteral("Stretched"), pkBoolean);
    if (hasFormNewPage(t))
        AddProperty(QStringLiteral("FormNewPage"), pkBoolean);
    if (t == btMasterData || t == btDetailData)
        AddProperty(QStringLiteral("PrintIfSubsetEmpty"), pkBoolean);
    if (hasBreaked(t))
        AddProperty(QStringLiteral("Breaked"), pkBoolean);
    if (t == btPageHeader || t == btPageFooter)
        AddProperty(QStringLiteral("OnFirstPage"), pkBoolean);
    if (t == btPageFooter)
        AddProperty(QStringLiteral("OnLastPage"), pkBoolean);
    if (hasRepeatHeader(t))
        AddProperty(QStringLiteral("RepeatHeader"), pkBoolean);
    if (t == btCrossData)
        AddProperty(QStringLiteral("DataSource"), pkEditor, hooks.CrossDataSource);
    if (isDataBand(t)) {
        AddProperty(QStringLiteral("Columns"), pkInteger);
        AddProperty(QStringLiteral("ColumnWidth"), pkLength);
        AddProperty(QStringLiteral("ColumnGap"), pkLength);
        AddProperty(QStringLiteral("DataSource"), pkEditor, hooks.DataSource);
    }
    if (t == btGroupHeader) {
        AddProperty(QStringLiteral("Condition"), pkString);
        AddEnumProperty(QStringLiteral("Master"), bandNames(this, {btMasterData, btDetailData, btSubDetailData}),
                        {Variant::null()});
    }
    AddProperty(QStringLiteral("EOF"), 0);
    if (PropRec *memo = FindProperty(QStringLiteral("Memo")))
        memo->Name = QStringLiteral("OnBeforePrint");
}

void BandView::SetProperty(const QString &name, const Variant &value)
{
    const QString n = name.toUpper();
    const bool prepared = library().State.DocumentMode == 1;
    if (prepared && Runtime) {
        if (n == u"LEFT") {
            Runtime->x = value.toInt();
            return;
        }
        if (n == u"TOP") {
            Runtime->y = value.toInt();
            return;
        }
        if (n == u"WIDTH") {
            Runtime->dx = value.toInt();
            return;
        }
        if (n == u"HEIGHT") {
            Runtime->dy = value.toInt();
            return;
        }
        if (n == u"VISIBLE") {
            Runtime->Visible = value.toBool();
            return;
        }
    }
    View::SetProperty(name, value);
    if (n == u"CHILDBAND") {
        ChildBand = value.toString();
        if (prepared && Runtime) {
            Page *page = library().State.CurrentPage;
            View *child = page ? page->FindObject(ChildBand) : nullptr;
            Runtime->Child = child && child->ObjectType == 2 ? static_cast<BandView *>(child)->Runtime : nullptr;
        }
    } else if (n == u"MASTER") {
        Master = value.toString();
    } else if (n == u"CONDITION") {
        DisplayFormatText = value.toString();
        if (prepared && Runtime)
            Runtime->GroupCondition = DisplayFormatText;
    } else if (n == u"COLUMNS") {
        Columns = value.toInt();
    } else if (n == u"COLUMNGAP") {
        ColumnGap = value.toInt();
    } else if (n == u"COLUMNWIDTH") {
        ColumnWidth = value.toInt();
    } else if (n == u"NEWCOLUMNAFTER") {
        NewColumnAfter = value.toInt();
    } else if (n == u"DATASOURCE") {
        if (prepared && Runtime)
            Runtime->BindDataSource(value.toString());
    } else {
        for (const auto &f : kBandFlags)
            if (n == QLatin1String(f.name)) {
                Flags = static_cast<quint16>(value.toBool() ? (Flags | f.bit) : (Flags & ~f.bit));
                if (f.bit == flBandBreaked && prepared && Runtime)
                    Runtime->PageBreak = value.toBool();
            }
    }
}

Variant BandView::GetProperty(const QString &name)
{
    const QString n = name.toUpper();
    const bool prepared = library().State.DocumentMode == 1;
    if (prepared && Runtime) {
        if (n == u"LEFT")
            return Variant(Runtime->x);
        if (n == u"TOP")
            return Variant(Runtime->y);
        if (n == u"WIDTH")
            return Variant(Runtime->dx);
        if (n == u"HEIGHT")
            return Variant(Runtime->dy);
        if (n == u"VISIBLE")
            return Variant(Runtime->Visible);
    }
    Variant v = View::GetProperty(name);
    if (!v.isNull())
        return v;
    if (n == u"CHILDBAND")
        return Variant(ChildBand);
    if (n == u"MASTER")
        return Variant(Master);
    if (n == u"EOF")
        return Variant(Runtime && Runtime->DataSet ? Runtime->DataSet->Eof() : false);
    if (n == u"BREAKED" && prepared && Runtime)
        return Variant(Runtime->PageBreak);
    for (const auto &f : kBandFlags)
        if (n == QLatin1String(f.name))
            return Variant((Flags & f.bit) != 0);
    if (n == u"CONDITION")
        return Variant(DisplayFormatText);
    if (n == u"COLUMNS")
        return Variant(Columns);
    if (n == u"COLUMNGAP")
        return Variant(ColumnGap);
    if (n == u"NEWCOLUMNAFTER")
        return Variant(NewColumnAfter);
    if (n == u"COLUMNWIDTH")
        return Variant(ColumnWidth);
    return Variant::null();
}

Variant BandView::CallMethod(const QString &method, const Variant &par1, const Variant &par2, const Variant &par3)
{
    Variant result = View::CallMethod(method, par1, par2, par3);
    if (Runtime && Runtime->DataSet) {
        if (method == u"NEXT")
            Runtime->DataSet->Next();
        else if (method == u"PRIOR")
            Runtime->DataSet->Prior();
        else if (method == u"FIRST")
            Runtime->DataSet->First();
    }
    return result;
}

int BandView::TitleWidth()
{
    gdi::Canvas &c = Canvas ? *Canvas : library().MeasureBitmap->canvas();
    c.setFont(SmallFont());
    const QString name = library().BandNames.value(GetBandType());
    return std::max(100, c.textExtent(name).cx + 8);
}

gdi::Rect BandView::titleRect() const
{
    const int tw = const_cast<BandView *>(this)->TitleWidth();
    if (IsCross())
        return gdi::Rect{Left - 18, Top, Left, Top + tw};
    return gdi::Rect{Left, Top - 18, Left + tw, Top};
}

void BandView::Draw(gdi::Canvas &canvas)
{
    FrameWidth = 1;
    if (Page *page = drawingPage()) {
        if (IsCross()) {
            Top = 0;
            Height = page->PaperHeightUnits();
        } else {
            Left = 0;
            Width = page->PaperWidthUnits();
        }
    }
    BeginDraw(canvas);
    SaveCoordinates();
    gdi::Canvas &c = canvas;
    const gdi::Color face = gdi::systemColor(gdi::COLOR_BTNFACE);

    // The checkered strip.
    if (DrawRect.width() > 0 && DrawRect.height() > 0) {
        QImage strip(DrawRect.width(), DrawRect.height(), QImage::Format_RGB32);
        const QImage &cell = library().Checkerboard;
        for (int y = 0; y < strip.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(strip.scanLine(y));
            const auto *src = reinterpret_cast<const QRgb *>(cell.constScanLine((DrawRect.top + y) & 7));
            for (int x = 0; x < strip.width(); ++x)
                row[x] = src[(DrawRect.left + x) & 7];
        }
        c.bitBlt(DrawRect.left, DrawRect.top, strip.width(), strip.height(), strip, 0, 0);
    }
    c.setBrush(gdi::Brush{gdi::BS_NULL, 0, 0});
    c.setPen(gdi::Pen{gdi::PS_SOLID, 1, face});
    c.rectangle(gdi::Rect{Left, Top, ScaledRight() + 1, ScaledBottom() + 1});

    if (Columns > 1) {
        Page *page = drawingPage();
        const int left0 = page ? page->LeftMargin() : 0;
        c.setPen(gdi::Pen{gdi::PS_DOT, 1, 0});
        c.setBkMode(gdi::TRANSPARENT);
        for (int col = 0; col < Columns; ++col) {
            const int x = left0 + col * (ColumnWidth + ColumnGap);
            c.rectangle(gdi::Rect{x, Top, x + ColumnWidth, ScaledBottom() + 1});
        }
    }

    // The title tab.
    c.setFont(SmallFont());
    const QString name = library().BandNames.value(GetBandType());
    const int nameWidth = c.textExtent(name).cx;
    const gdi::Rect tab = titleRect();
    c.setBrush(gdi::Brush{gdi::BS_SOLID, face, 0});
    c.patBlt(tab.left, tab.top, tab.width(), tab.height(), gdi::PATCOPY);
    if (IsCross()) {
        c.setPen(gdi::Pen{gdi::PS_SOLID, 1, gdi::systemColor(gdi::COLOR_BTNHIGHLIGHT)});
        c.moveTo(tab.left, tab.top);
        c.lineTo(tab.left, tab.bottom);
        c.setPen(gdi::Pen{gdi::PS_SOLID, 1, gdi::systemColor(gdi::COLOR_BTNSHADOW)});
        c.moveTo(tab.left, tab.bottom - 2);
        c.lineTo(tab.right, tab.bottom - 2);
        c.setPen(gdi::Pen{gdi::PS_SOLID, 1, 0});
        c.moveTo(tab.left, tab.bottom - 1);
        c.lineTo(tab.right, tab.bottom - 1);
    } else {
        c.setPen(gdi::Pen{gdi::PS_SOLID, 1, gdi::systemColor(gdi::COLOR_BTNSHADOW)});
        c.moveTo(tab.right - 2, tab.top);
        c.lineTo(tab.right - 2, tab.bottom);
        c.setPen(gdi::Pen{gdi::PS_SOLID, 1, 0});
        c.moveTo(tab.right - 1, tab.top);
        c.lineTo(tab.right - 1, tab.bottom);
    }
    c.setBkMode(gdi::TRANSPARENT);
    c.setTextColor(0);
    c.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
    if (IsCross()) {
        gdi::LogFont turned = SmallFont();
        turned.escapement = turned.orientation = 900;
        c.setFont(turned);
        c.textOut(Left - 15, Top + nameWidth + 4, name);
    } else {
        c.textOut(Left + 4, Top - 17, name);
    }
    RestoreCoordinates();
}

QRegion BandView::GetClipRgn(bool extended)
{
    const QRegion band = ClipRegion(Left, Top, Left + Width + 1, Top + Height + 1, extended);
    const gdi::Rect tab = titleRect();
    return band.united(QRegion(tab.left, tab.top, tab.width(), tab.height()));
}

void BandView::AddPopupItems(PopupItems &items)
{
    const int t = GetBandType();
    if (t == btPageFooter)
        items.push_back(PopupItem{});
    else if (!inTypes(t, {btOverlay, btColumnHeader, btColumnFooter, btCrossData, btCrossFooter}))
        View::AddPopupItems(items);
    if (hasFormNewPage(t))
        addFlagItem(items, QStringLiteral("Формировать новую страницу"), flBandNewPageAfter);
    if (t == btMasterData || t == btDetailData)
        addFlagItem(items, QStringLiteral("Печатать, если Detail пуст"), flBandPrintIfSubsetEmpty);
    if (hasBreaked(t))
        addFlagItem(items, QStringLiteral("Разрываемый"), flBandBreaked);
    // The last four change only this band.
    auto own = [this, &items](const QString &caption, quint16 bit) {
        PopupItem item;
        item.Caption = caption;
        item.Checkable = true;
        item.Checked = (Flags & bit) != 0;
        item.OnClick = [this, bit] {
            if (Restrictions & frrfDontModify)
                return;
            BuildState &state = library().State;
            if (state.CurrentDesigner)
                state.CurrentDesigner->BeforeChange();
            Flags = static_cast<quint16>(Flags ^ bit);
            if (state.CurrentDesigner)
                state.CurrentDesigner->AfterChange();
        };
        items.push_back(std::move(item));
    };
    if (t == btPageHeader || t == btPageFooter)
        own(QStringLiteral("На первой странице"), flBandOnFirstPage);
    if (t == btPageFooter)
        own(QStringLiteral("На последней странице"), flBandOnLastPage);
    if (hasRepeatHeader(t))
        own(QStringLiteral("Выводить на всех страницах"), flBandRepeatHeader);
    if (t != btPageFooter)
        own(QStringLiteral("Выводить child если невидимый"), flBandPrintChildIfInvisible);
}

} // namespace reports
