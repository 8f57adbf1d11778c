#include "reports/model/ReportObjects.h"

#include "platform/Environment.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/SystemColors.h"
#include "reports/model/Extensions.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportModel.h"
#include "reports/model/ReportViews.h"
#include "reports/language/ResourceTexts.h"

#include <QBuffer>
#include <QIODevice>
#include <QtEndian>

#include <algorithm>

namespace reports {

using platform::roundToInt;

EditorHooks &editorHooks()
{
    static EditorHooks hooks;
    return hooks;
}

// ---------------------------------------------------------------------------
// Fonts

gdi::LogFont ReportFont::logFont(int height) const
{
    gdi::LogFont f;
    f.faceName = Name;
    f.height = height;
    f.italic = (Style & 1) != 0;
    f.weight = (Style & 2) ? gdi::FW_BOLD : gdi::FW_NORMAL;
    f.underline = (Style & 4) != 0;
    f.strikeOut = (Style & 8) != 0;
    f.charSet = Charset;
    return f;
}

// ---------------------------------------------------------------------------
// Property lists

void ReportObject::SetProperty(const QString &, const Variant &) {}

Variant ReportObject::GetProperty(const QString &)
{
    return Variant::null();
}

Variant ReportObject::CallMethod(const QString &, const Variant &, const Variant &, const Variant &)
{
    return Variant::null();
}

void ReportObject::AddProperty(const QString &name, quint16 kind, const PropertyEditor &editor)
{
    PropRec rec;
    rec.Name = name.left(32);
    rec.PropType = kind;
    rec.Editor = editor;
    Props.push_back(std::move(rec));
}

void ReportObject::AddEnumProperty(const QString &name, const QString &names, const std::vector<Variant> &values)
{
    PropRec rec;
    rec.Name = name.left(32);
    rec.PropType = pkEnum;
    for (const QString &item : names.split(u';'))
        if (!item.isEmpty())
            rec.Enum << item;
    if (!values.empty() && !values.front().isNull())
        rec.EnumValues = values;
    Props.push_back(std::move(rec));
}

PropRec *ReportObject::FindProperty(const QString &name)
{
    for (PropRec &rec : Props)
        if (rec.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &rec;
    return nullptr;
}

void ReportObject::SetFontProperty(ReportFont &font, const QString &name, const Variant &value)
{
    if (name == u"FONT.NAME")
        font.Name = value.toString();
    else if (name == u"FONT.SIZE")
        font.Size = value.toInt();
    else if (name == u"FONT.STYLE")
        font.Style = value.toInt();
    else if (name == u"FONT.COLOR")
        font.Color = static_cast<gdi::Color>(value.toInt64());
}

Variant ReportObject::GetFontProperty(const ReportFont &font, const QString &name)
{
    if (name == u"FONT.NAME")
        return Variant(font.Name);
    if (name == u"FONT.SIZE")
        return Variant(font.Size);
    if (name == u"FONT.STYLE")
        return Variant(font.Style);
    if (name == u"FONT.COLOR")
        return Variant(static_cast<int>(font.Color));
    return Variant::null();
}

bool ReportObject::CallStringsMethod(QStringList &list, const QString &method, Variant &result, const Variant &par1,
                                     const Variant &par2, const Variant &par3, const QString &prefix)
{
    auto evaluated = [&par1]() { return library().ReportParser.Calc(par1.toString()); };
    if (method == u"SETINDEXPROPERTY") {
        if (par1.toString().compare(prefix, Qt::CaseInsensitive) == 0) {
            const int index = par2.toInt();
            if (index >= 0 && index < list.size())
                list[index] = par3.toString();
        }
        return true;
    }
    if (method == u"GETINDEXPROPERTY") {
        if (par1.toString().compare(prefix, Qt::CaseInsensitive) == 0) {
            const int index = par2.toInt();
            result = index >= 0 && index < list.size() ? Variant(list[index]) : Variant(QString());
        }
        return true;
    }
    if (method == prefix + QStringLiteral(".ADD")) {
        list << evaluated().toString();
        return true;
    }
    if (method == prefix + QStringLiteral(".CLEAR")) {
        list.clear();
        return true;
    }
    if (method == prefix + QStringLiteral(".DELETE")) {
        const int index = evaluated().toInt();
        if (index >= 0 && index < list.size())
            list.removeAt(index);
        return true;
    }
    if (method == prefix + QStringLiteral(".INDEXOF")) {
        result = Variant(static_cast<int>(list.indexOf(evaluated().toString())));
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// View: fields and properties

View::View()
    : DisplayFormatCode(512 + platform::Service<platform::DecimalSeparator>::get().value.unicode())
{
}

View::~View() = default;

namespace {

bool isBandOrSubReport(const View &v)
{
    return v.ObjectType == 2 || v.ObjectType == 3;
}

const char *const kBandAlignNames = "baNone;baLeft;baRight;baCenter;baWidth;baBottom;baTop;baRest";

std::vector<Variant> range(int count)
{
    std::vector<Variant> out;
    for (int i = 0; i < count; ++i)
        out.emplace_back(i);
    return out;
}

} // namespace

void View::BuildPropertyList()
{
    ClearPropertyList();
    const EditorHooks &hooks = editorHooks();
    AddProperty(QStringLiteral("Name"), pkString | pkSingleOnly);
    AddProperty(QStringLiteral("Left"), pkLength);
    AddProperty(QStringLiteral("Top"), pkLength);
    AddProperty(QStringLiteral("Width"), pkLength);
    AddProperty(QStringLiteral("Height"), pkLength);
    AddProperty(QStringLiteral("Flags"), 0);
    if (!isBandOrSubReport(*this)) {
        AddProperty(QStringLiteral("FrameTyp"), pkInteger);
        AddProperty(QStringLiteral("FrameWidth"), pkReal | pkLength);
        AddProperty(QStringLiteral("FrameColor"), pkColor);
        AddEnumProperty(QStringLiteral("FrameStyle"), QStringLiteral("psSolid;psDash;psDot;psDashDot;psDashDotDot;psDouble"),
                        range(6));
        AddProperty(QStringLiteral("FillColor"), pkColor);
        AddProperty(QStringLiteral("Tag"), pkString | pkSingleOnly, hooks.Tag);
        AddEnumProperty(QStringLiteral("BandAlign"), QString::fromLatin1(kBandAlignNames), range(8));
    }
    AddProperty(QStringLiteral("Visible"), pkBoolean);
    AddProperty(QStringLiteral("Memo"), pkString | pkSingleOnly, hooks.Memo);
    AddProperty(QStringLiteral("Memo.Count"), 0);
    AddProperty(QStringLiteral("Restrictions"), pkEditor, hooks.Restrictions);
}

void View::SetProperty(const QString &name, const Variant &value)
{
    const QString n = name.toUpper();
    if (n == u"NAME")
        Name = value.toString();
    else if (n == u"LEFT")
        Left = value.toInt();
    else if (n == u"TOP")
        Top = value.toInt();
    else if (n == u"WIDTH")
        Width = value.toInt();
    else if (n == u"HEIGHT")
        Height = value.toInt();
    else if (n == u"FLAGS")
        Flags = static_cast<quint16>(value.toInt());
    else if (n == u"FRAMETYP")
        FrameTyp = static_cast<quint16>(value.toInt());
    else if (n == u"FRAMEWIDTH")
        FrameWidth = static_cast<float>(value.toDouble());
    else if (n == u"FRAMECOLOR")
        FrameColor = static_cast<std::uint32_t>(value.toInt64());
    else if (n == u"FRAMESTYLE")
        FrameStyle = static_cast<quint16>(value.toInt());
    else if (n == u"FILLCOLOR")
        FillColor = static_cast<std::uint32_t>(value.toInt64());
    else if (n == u"VISIBLE")
        Visible = value.toBool();
    else if (n == u"MEMO" || n == u"DATAFIELD")
        Memo = value.toString().split(QStringLiteral("\r\n"));
    else if (n == u"GAPX")
        GapX = value.toInt();
    else if (n == u"GAPY")
        GapY = value.toInt();
    else if (n == u"STRETCHED")
        Flags = static_cast<quint16>(value.toBool() ? (Flags | 1) : (Flags & ~1));
    else if (n == u"BANDALIGN")
        BandAlign = static_cast<quint8>(value.toInt());
    else if (n == u"TAG")
        Tag = value.toString();
}

Variant View::GetProperty(const QString &name)
{
    const QString n = name.toUpper();
    if (n == u"NAME")
        return Variant(Name);
    if (n == u"LEFT")
        return Variant(Left);
    if (n == u"TOP")
        return Variant(Top);
    if (n == u"WIDTH")
        return Variant(Width);
    if (n == u"HEIGHT")
        return Variant(Height);
    if (n == u"FLAGS")
        return Variant(static_cast<int>(Flags));
    if (n == u"FRAMETYP")
        return Variant(static_cast<int>(FrameTyp));
    if (n == u"FRAMEWIDTH")
        return Variant(static_cast<double>(FrameWidth));
    if (n == u"FRAMECOLOR")
        return Variant(static_cast<int>(FrameColor));
    if (n == u"FRAMESTYLE")
        return Variant(static_cast<int>(FrameStyle));
    if (n == u"FILLCOLOR")
        return Variant(static_cast<int>(FillColor));
    if (n == u"VISIBLE")
        return Variant(Visible);
    if (n == u"MEMO")
        return Variant(Memo.join(QStringLiteral("\r\n")));
    if (n == u"GAPX")
        return Variant(GapX);
    if (n == u"GAPY")
        return Variant(GapY);
    if (n == u"STRETCHED")
        return Variant((Flags & 1) != 0);
    if (n == u"BANDALIGN")
        return Variant(static_cast<int>(BandAlign));
    if (n == u"DATAFIELD")
        return Variant(Memo.isEmpty() ? QString() : Memo.first());
    if (n == u"MEMO.COUNT")
        return Variant(static_cast<int>(Memo.size()));
    if (n == u"TAG")
        return Variant(Tag);
    return Variant::null();
}

Variant View::CallMethod(const QString &method, const Variant &par1, const Variant &par2, const Variant &par3)
{
    Variant result = Variant::null();
    if (CallStringsMethod(Memo, method, result, par1, par2, par3, QStringLiteral("MEMO")))
        return result;
    if (method == u"HIDE")
        SetProperty(QStringLiteral("Visible"), Variant(false));
    else if (method == u"SHOW")
        SetProperty(QStringLiteral("Visible"), Variant(true));
    return result;
}

Variant Stretcheable::CallMethod(const QString &method, const Variant &par1, const Variant &par2,
                                 const Variant &par3)
{
    if (method == u"CALCHEIGHT")
        return Variant(CalcHeight());
    return View::CallMethod(method, par1, par2, par3);
}

void View::SetBounds(int left, int top, int width, int height)
{
    Left = left;
    Top = top;
    Width = width;
    Height = height;
}

// ---------------------------------------------------------------------------
// Geometry at a scale

void View::SaveCoordinates()
{
    saved_ = {Left, Top, Width, Height, GapX, GapY, FrameWidth, ScaleX, ScaleY, OffsetX, OffsetY};
    if (library().State.DocumentMode == 0) {
        ScaleX = ScaleY = 1.0;
        OffsetX = OffsetY = 0;
    }
    const double w = FrameWidth;
    Left = roundToInt(Left * ScaleX) + OffsetX;
    Top = roundToInt(Top * ScaleY) + OffsetY;
    Width = roundToInt(ScaleX * Width);
    Height = roundToInt(ScaleY * Height);
    FrameWidth = static_cast<float>(ScaleX * w);
    const int a = roundToInt(ScaleX * w / 2);
    const int b = roundToInt(ScaleY * w / 2);
    const int f = roundToInt((ScaleX * w - 1) / 2);
    const int g = roundToInt((ScaleY * w - 1) / 2);
    GapX = a + roundToInt(ScaleX * saved_.GapX);
    GapY = roundToInt(ScaleY * saved_.GapY) + b / 2;
    right_ = roundToInt((saved_.Left + saved_.Width) * ScaleX + OffsetX);
    bottom_ = roundToInt((saved_.Top + saved_.Height) * ScaleY + OffsetY);
    DrawRect.left = Left + ((FrameTyp & frftLeft) ? f : 0);
    DrawRect.top = Top + ((FrameTyp & frftTop) ? g : 0);
    DrawRect.right = right_ - ((FrameTyp & frftRight) ? a : 0) + 1;
    DrawRect.bottom = bottom_ - ((FrameTyp & frftBottom) ? b : 0) + 1;
}

void View::RestoreCoordinates()
{
    Left = saved_.Left;
    Top = saved_.Top;
    Width = saved_.Width;
    Height = saved_.Height;
    GapX = saved_.GapX;
    GapY = saved_.GapY;
    FrameWidth = saved_.FrameWidth;
}

// ---------------------------------------------------------------------------
// Background and frame

namespace {

gdi::Color fillRgb(std::uint32_t fill)
{
    return fill == clNone ? gdi::rgb(255, 255, 255) : gdi::resolveColor(fill);
}

} // namespace

void View::ShowBackground()
{
    if (library().State.MeasuringPass || !Canvas)
        return;
    gdi::Canvas &c = *Canvas;
    c.setBkMode(gdi::OPAQUE);
    c.setBrush(gdi::Brush{gdi::BS_SOLID, fillRgb(FillColor), gdi::HS_HORIZONTAL});
    if (library().State.DocumentMode == 1) {
        if (FillColor == clNone)
            return;
        c.patBlt(Left, Top, right_ - Left, bottom_ - Top, gdi::PATCOPY);
    } else {
        c.patBlt(DrawRect.left, DrawRect.top, DrawRect.width(), DrawRect.height(), gdi::PATCOPY);
    }
}

void View::frameLine(int x1, int y1, int x2, int y2, bool vertical)
{
    gdi::Canvas &c = *Canvas;
    const int width = std::max(1, roundToInt(FrameWidth));
    auto segment = [&c](int ax, int ay, int bx, int by, bool vert) {
        c.moveTo(ax, ay);
        // The end point is drawn too.
        c.lineTo(vert ? bx : bx + 1, vert ? by + 1 : by);
    };
    if (FrameStyle == 5) { // double
        const int d = roundToInt(FrameWidth);
        c.setPen(gdi::Pen{gdi::PS_SOLID, width, gdi::resolveColor(FrameColor)});
        if (vertical) {
            segment(x1 - d, y1, x2 - d, y2, true);
            segment(x1 + d, y1, x2 + d, y2, true);
        } else {
            segment(x1, y1 - d, x2, y2 - d, false);
            segment(x1, y1 + d, x2, y2 + d, false);
        }
        if (FillColor != clNone) {
            c.setPen(gdi::Pen{gdi::PS_SOLID, width, gdi::resolveColor(FillColor)});
            segment(x1, y1, x2, y2, vertical);
        }
        return;
    }
    if (FrameStyle == 0 || width == 1) {
        c.setPen(gdi::Pen{FrameStyle <= 4 ? static_cast<int>(FrameStyle) : gdi::PS_SOLID, width,
                          gdi::resolveColor(FrameColor)});
        segment(x1, y1, x2, y2, vertical);
        return;
    }
    // A wide dashed or dotted line: one-pixel lines of the style side by side.
    c.setPen(gdi::Pen{FrameStyle, 1, gdi::resolveColor(FrameColor)});
    for (int k = -(width / 2), i = 0; i < width; ++i, ++k) {
        if (vertical)
            segment(x1 + k, y1, x2 + k, y2, true);
        else
            segment(x1, y1 + k, x2, y2 + k, false);
    }
}

void View::ShowFrame()
{
    const BuildState &state = library().State;
    if (state.MeasuringPass || !Canvas)
        return;
    if (state.DocumentMode == 1 && (FrameTyp & 0xF) == 0)
        return;
    gdi::Canvas &c = *Canvas;
    if (state.DocumentMode == 0 && Width > 0 && Height > 0) {
        c.setPen(gdi::Pen{gdi::PS_SOLID, 1, 0});
        const int l = Left, t = Top, r = right_, b = bottom_;
        const struct {
            int x, y, dx, dy;
        } corners[] = {{l, t, 1, 1}, {r, t, -1, 1}, {l, b, 1, -1}, {r, b, -1, -1}};
        for (const auto &k : corners) {
            c.moveTo(k.x, k.y + 3 * k.dy);
            c.lineTo(k.x, k.y);
            c.lineTo(k.x + 4 * k.dx, k.y);
        }
    }
    const std::uint32_t bk = FillColor;
    if (FrameStyle != 0 && FrameStyle != 5) {
        if (bk == clNone) {
            c.setBkMode(gdi::TRANSPARENT);
        } else {
            c.setBkMode(gdi::OPAQUE);
            c.setBkColor(gdi::resolveColor(bk));
        }
    }
    if (FrameTyp & frftRight)
        frameLine(right_, Top, right_, bottom_, true);
    if (FrameTyp & frftLeft)
        frameLine(Left, Top, Left, bottom_, true);
    if (FrameTyp & frftBottom)
        frameLine(Left, bottom_, right_, bottom_, false);
    if (FrameTyp & frftTop)
        frameLine(Left, Top, right_, Top, false);
}

QRegion View::GetClipRgn(bool extended)
{
    int a, b;
    if (FrameStyle == 5) {
        b = roundToInt(1.5 * FrameWidth);
        a = roundToInt(FrameWidth + (FrameWidth - 1) / 2);
    } else {
        b = roundToInt(FrameWidth / 2);
        a = roundToInt((FrameWidth - 1) / 2);
    }
    return ClipRegion(Left - ((FrameTyp & frftLeft) ? b : 0), Top - ((FrameTyp & frftTop) ? b : 0),
                      Left + Width + 1 + ((FrameTyp & frftRight) ? a : 0),
                      Top + Height + 1 + ((FrameTyp & frftBottom) ? a : 0), extended);
}

// ---------------------------------------------------------------------------
// Alignment

namespace {

Page *alignmentPage()
{
    const BuildState &s = library().State;
    return s.DocumentMode == 1 ? s.CurrentPage : s.DesignerPage;
}

bool isCrossBand(const View &v)
{
    if (v.ObjectType != 2)
        return false;
    const int type = v.FrameTyp & 0x7F;
    return type >= 18 && type <= 20;
}

} // namespace

void View::BeginDraw(gdi::Canvas &canvas)
{
    Canvas = &canvas;
    BuildState &state = library().State;
    state.CurrentView = this;
    Page *page = alignmentPage();
    if (!page || BandAlign == baNone)
        return;
    const bool prepared = state.DocumentMode == 1;
    const Band *band = state.CurrentBand;
    const int l = page->LeftMargin();
    const int r = page->RightMargin();

    auto onRow = [&](const View &cand) {
        if (prepared && band && cand.ParentBand != band) {
            const bool shifted = cand.Top == Top - band->y;
            return shifted || ((band->Flags & 1) && cand.Top == Top);
        }
        return cand.Top == Top;
    };
    // The objects of one alignment on this row, on one side, ordered by their
    // Left written as four zero-padded digits.
    auto candidates = [&](quint8 align, bool leftSide) {
        std::vector<View *> out;
        for (const auto &o : page->Objects) {
            View &v = *o;
            if (&v == this || v.ObjectType == 2 || v.BandAlign != align)
                continue;
            if (leftSide ? !(v.Left < Left) : !(v.Left > Left))
                continue;
            if (onRow(v))
                out.push_back(&v);
        }
        std::stable_sort(out.begin(), out.end(), [](const View *x, const View *y) {
            return QStringLiteral("%1").arg(x->Left, 4, 10, QLatin1Char('0'))
                   < QStringLiteral("%1").arg(y->Left, 4, 10, QLatin1Char('0'));
        });
        return out;
    };
    auto leftNeighbourEdge = [&]() {
        const auto c = candidates(baLeft, true);
        return c.empty() ? l : c.back()->Left + c.back()->Width;
    };

    switch (BandAlign) {
    case baLeft:
        Left = leftNeighbourEdge();
        // An object pushed past the print area's right edge keeps no negative width.
        if (Left + Width > r)
            Width = std::max(0, r - Left);
        break;
    case baRight: {
        const auto c = candidates(baRight, false);
        Left = c.empty() ? r - Width : c.front()->Left - Width - 1;
        break;
    }
    case baCenter:
        Left = l + (r - l - Width) / 2;
        break;
    case baWidth:
        if (prepared) {
            if (!band) {
                Left = l;
                Width = r - l - 1;
            }
        } else {
            const View *cross = nullptr;
            for (const auto &o : page->Objects)
                if (isCrossBand(*o) && Left >= o->Left && Left <= o->Left + o->Width)
                    cross = o.get();
            if (cross) {
                Left = cross->Left;
                Width = cross->Width;
            } else {
                Left = l;
                Width = r - l;
            }
        }
        break;
    case baBottom:
    case baTop:
        if (!prepared) {
            const View *last = nullptr;
            for (const auto &o : page->Objects)
                if (o->ObjectType == 2 && !isCrossBand(*o) && Top >= o->Top && Top <= o->Top + o->Height)
                    last = o.get();
            if (last) {
                if (BandAlign == baBottom)
                    Top = last->Top + last->Height - Height;
                else
                    Top = last->Top;
            }
        }
        break;
    case baRest: {
        Left = leftNeighbourEdge();
        const auto c = candidates(baRight, false);
        Width = std::max(0, (c.empty() ? r : c.front()->Left) - Left);
        break;
    }
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Expressions in text

QString View::ExpandVariables(const QString &text)
{
    QString out;
    qsizetype i = 0;
    const qsizetype n = text.size();
    Report *report = library().State.CurrentReport;
    while (i < n) {
        const qsizetype open = text.indexOf(u'[', i);
        if (open < 0) {
            out += text.mid(i);
            break;
        }
        out += text.mid(i, open - i);
        qsizetype pos = open;
        const QString inner = ExtractBracketed(text, pos);
        if (pos >= n) {
            // No bracket closes it: the rest is printed as it stands.
            out += text.mid(open);
            break;
        }
        out += report ? report->ValueText(inner, *this) : Report().ValueText(inner, *this);
        i = pos + 1;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Prepared pages

namespace {

void writeStreamString(QIODevice &stream, const QString &text)
{
    const QByteArray bytes = platform::toCp1251(text);
    const quint16 n = static_cast<quint16>(std::min<qsizetype>(bytes.size(), 0xFFFF));
    char len[2];
    qToLittleEndian<quint16>(n, len);
    stream.write(len, 2);
    stream.write(bytes.constData(), n);
    stream.putChar(0);
}

} // namespace

void View::PrintToStream(QIODevice &stream)
{
    BuildState &state = library().State;
    if (Canvas)
        BeginDraw(*Canvas);
    else
        BeginDraw(library().MeasureBitmap->canvas());
    OutputMemo = Memo;
    if (state.CurrentReport)
        state.CurrentReport->BeforePrint(OutputMemo, *this);
    if (!Script.isEmpty())
        library().ReportInterpreter.DoScript(Script);
    if (!Visible)
        return;
    const QString savedTag = Tag;
    Tag = ExpandVariables(Tag);
    if (const Band *band = state.CurrentBand) {
        if (BandAlign == baBottom)
            Top = band->y + band->dy - Height;
        else if (BandAlign == baTop)
            Top = band->y;
        else if (BandAlign == baWidth && band->View && isCrossBand(*band->View)) {
            Left = band->x;
            Width = band->dx;
        }
    }
    stream.putChar(static_cast<char>(ObjectType));
    if (ObjectType == 10)
        writeStreamString(stream, ClassName());
    const bool wasPrepared = PreparedMode;
    PreparedMode = true;
    SaveToStream(stream);
    PreparedMode = wasPrepared;
    Tag = savedTag;
}

void View::ExportData()
{
    if (Report *report = library().State.CurrentReport)
        report->ExportData(*this);
}

// ---------------------------------------------------------------------------
// Names and copies

void View::CreateUniqueName()
{
    Name.clear();
    Report *report = library().State.CurrentReport;
    for (int i = 1; i <= 10000; ++i) {
        const QString candidate = BaseName + QString::number(i);
        if (!report || !report->FindObject(candidate)) {
            SetProperty(QStringLiteral("Name"), Variant(candidate));
            return;
        }
    }
}

void View::Assign(const View &source)
{
    Name = source.Name;
    ObjectType = source.ObjectType;
    Selected = source.Selected;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const int version = std::exchange(library().StreamVersion, 25);
        const_cast<View &>(source).SaveToStream(buffer);
        library().StreamVersion = version;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    LoadFromStream(buffer);
}

// ---------------------------------------------------------------------------
// Pop-up items

void View::addFlagItem(PopupItems &items, const QString &caption, quint16 bit, bool enabled)
{
    PopupItem item;
    item.Caption = caption;
    item.Checkable = true;
    item.Checked = (Flags & bit) != 0;
    item.Enabled = enabled;
    item.OnClick = [this, bit]() {
        const bool on = (Flags & bit) == 0;
        BuildState &state = library().State;
        if (state.CurrentDesigner)
            state.CurrentDesigner->BeforeChange();
        for (View *v : SelectedViews())
            if (!(v->Restrictions & frrfDontModify))
                v->Flags = static_cast<quint16>(on ? (v->Flags | bit) : (v->Flags & ~bit));
        if (state.CurrentDesigner)
            state.CurrentDesigner->AfterChange();
    };
    items.push_back(std::move(item));
}

std::vector<View *> View::SelectedViews()
{
    std::vector<View *> targets;
    if (Page *page = library().State.DesignerPage)
        for (const auto &o : page->Objects)
            if (o->Selected)
                targets.push_back(o.get());
    if (targets.empty())
        targets.push_back(this);
    return targets;
}

QRegion View::ClipRegion(int l, int t, int r, int b, bool extended)
{
    const int grow = extended ? 10 : 0;
    return QRegion(l - grow, t - grow, r - l + 2 * grow, b - t + 2 * grow);
}

void View::AddPopupItems(PopupItems &items)
{
    items.push_back(PopupItem{});
    addFlagItem(items, QStringLiteral("Растягиваемый"), 1);
}

// ---------------------------------------------------------------------------
// Controls

Control::Control()
{
    FillColor = clBtnFace;
    FrameTyp = 0;
}

void Control::BuildPropertyList()
{
    ClearPropertyList();
    AddProperty(QStringLiteral("Name"), pkString | pkSingleOnly);
    AddProperty(QStringLiteral("Left"), pkLength);
    AddProperty(QStringLiteral("Top"), pkLength);
    AddProperty(QStringLiteral("Width"), pkLength);
    AddProperty(QStringLiteral("Height"), pkLength);
    AddProperty(QStringLiteral("Visible"), pkBoolean);
    AddProperty(QStringLiteral("Restrictions"), pkEditor, editorHooks().Restrictions);
}

void Control::SetProperty(const QString &name, const Variant &value)
{
    View::SetProperty(name, value);
    if (name.toUpper() == u"VISIBLE" && OnVisibleChanged)
        OnVisibleChanged(Visible);
}

void Control::PaintControl(QImage &picture)
{
    picture.fill(gdi::toQColor(gdi::resolveColor(clBtnFace)));
}

void Control::Draw(gdi::Canvas &canvas)
{
    BeginDraw(canvas);
    SaveCoordinates();
    QImage picture(std::max(1, Width + 1), std::max(1, Height + 1), QImage::Format_RGB32);
    picture.fill(gdi::toQColor(gdi::resolveColor(clBtnFace)));
    PaintControl(picture);
    canvas.bitBlt(Left, Top, picture.width(), picture.height(), picture, 0, 0);
    RestoreCoordinates();
}

// ---------------------------------------------------------------------------
// Factory and registries

namespace {

std::vector<AddInObjectInfo> &addIns()
{
    static std::vector<AddInObjectInfo> table;
    return table;
}

std::vector<ExportFilterInfo> &filters()
{
    static std::vector<ExportFilterInfo> table;
    return table;
}

std::vector<std::unique_ptr<FunctionLibrary>> &libraries()
{
    static std::vector<std::unique_ptr<FunctionLibrary>> table;
    return table;
}

std::vector<FunctionDesc> &installedFunctions()
{
    static std::vector<FunctionDesc> catalogue;
    return catalogue;
}

} // namespace

std::unique_ptr<View> CreateViewOfType(int kind, const QString &className)
{
    std::unique_ptr<View> view;
    switch (kind) {
    case 0:
        view = std::make_unique<MemoView>();
        break;
    case 1:
        view = std::make_unique<PictureView>();
        break;
    case 2:
        view = std::make_unique<BandView>();
        break;
    case 3:
        view = std::make_unique<SubReportView>();
        break;
    case 4:
        view = std::make_unique<LineView>();
        break;
    case 10: {
        for (const AddInObjectInfo &info : addIns())
            if (info.ClassName == className && info.Create) {
                view = info.Create();
                break;
            }
        if (!view) {
            BuildState &state = library().State;
            state.ClassErrorFlag = true;
            state.ClassErrorText += className + u'\r';
            throw EClassNotFound(state.ClassErrorText);
        }
        view->ObjectType = 10;
        break;
    }
    default:
        return nullptr;
    }
    view->ID = library().ObjectCounter++;
    return view;
}

bool RegisterAddIn(const QString &className, const ViewFactory &create, const QString &buttonBmp,
                   const QString &hint)
{
    auto &table = addIns();
    for (const AddInObjectInfo &info : table)
        if (info.ClassName == className)
            return true;
    if (static_cast<int>(table.size()) >= kRegistrySize)
        return false;
    table.push_back(AddInObjectInfo{className, create, buttonBmp, hint, 0});
    return true;
}

const std::vector<AddInObjectInfo> &AddIns()
{
    return addIns();
}

bool RegisterExportFilter(ExportFilter *filter, const QString &className, const QString &description,
                          const QString &extension)
{
    auto &table = filters();
    for (const ExportFilterInfo &info : table)
        if (info.ClassName == className && info.FilterExt == extension)
            return false;
    if (static_cast<int>(table.size()) >= kRegistrySize)
        return false;
    table.push_back(ExportFilterInfo{filter, className, description, extension});
    return true;
}

void UnregisterExportFilter(const QString &className)
{
    auto &table = filters();
    for (auto it = table.rbegin(); it != table.rend(); ++it)
        if (it->ClassName == className) {
            table.erase(std::next(it).base());
            return;
        }
}

const std::vector<ExportFilterInfo> &ExportFilters()
{
    return filters();
}

bool FunctionLibrary::OnFunction(const QString &name, const QString &p1, const QString &p2, const QString &p3,
                                 Variant &result)
{
    for (qsizetype number = 0; number < FunctionNames.size(); ++number)
        if (FunctionNames[number].compare(name, Qt::CaseInsensitive) == 0) {
            DoFunction(static_cast<int>(number), p1, p2, p3, result);
            return true;
        }
    return false;
}

void FunctionLibrary::AddFunctionDesc(const QString &name, const QString &category, const QString &description)
{
    reports::AddFunctionDesc(this, name, category, description);
}

bool RegisterFunctionLibrary(const QString &className, const FunctionLibraryFactory &create)
{
    auto &table = libraries();
    for (const auto &library : table)
        if (library->ClassName() == className)
            return true;
    // Refused before the instance exists: its constructor would already have
    // put its functions into the catalogue.
    if (static_cast<int>(table.size()) >= kRegistrySize || !create)
        return false;
    std::unique_ptr<FunctionLibrary> library = create();
    if (!library)
        return false;
    table.push_back(std::move(library));
    return true;
}

void UnregisterFunctionLibrary(const QString &className)
{
    auto &table = libraries();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const auto &library) { return library->ClassName() == className; });
    if (it == table.end())
        return;
    std::erase_if(installedFunctions(), [&](const FunctionDesc &desc) {
        return desc.Library && desc.Library->ClassName() == className;
    });
    table.erase(it);
}

const std::vector<std::unique_ptr<FunctionLibrary>> &FunctionLibraries()
{
    return libraries();
}

void AddFunctionDesc(const FunctionLibrary *library, const QString &name, const QString &category,
                     const QString &description)
{
    auto &catalogue = installedFunctions();
    if (category.isEmpty())
        return;
    for (const FunctionDesc &desc : catalogue)
        if (desc.Name == name)
            return;
    catalogue.push_back(FunctionDesc{library, name, category, description});
}

const std::vector<FunctionDesc> &InstalledFunctions()
{
    return installedFunctions();
}

void resetRegistries()
{
    addIns().clear();
    filters().clear();
    installedFunctions().clear();
    libraries().clear();
}

// ---------------------------------------------------------------------------
// Script names and build errors

PropertyTarget FindObjectForProperty(const QString &text)
{
    const BuildState &state = library().State;
    PropertyTarget target{state.CurrentView, text};
    const qsizetype dot = text.indexOf(u'.');
    if (dot >= 0) {
        const QString head = text.left(dot);
        const QString rest = text.mid(dot + 1);
        Report *report = state.CurrentReport;
        if (head.size() > 4 && head.left(4).compare(u"PAGE", Qt::CaseInsensitive) == 0 && head[4].isDigit()) {
            bool ok = false;
            const int number = head.mid(4).toInt(&ok);
            target = {nullptr, rest};
            if (ok && report && number >= 1 && number <= static_cast<int>(report->Pages.size()))
                target.Object = report->Pages[number - 1].get();
        } else if (View *object = report ? report->FindObject(head) : nullptr) {
            target = {object, rest};
        } else if (state.CurrentView) {
            View *current = state.CurrentView;
            if (current->Props.empty())
                current->BuildPropertyList();
            target = {current, current->FindProperty(head) ? text : rest};
            if (!current->FindProperty(head))
                target.Object = nullptr;
        }
    }
    if (target.Object && target.Object->Props.empty())
        target.Object->BuildPropertyList();
    return target;
}

void ReportExpressionError(const QString &message)
{
    BuildState &state = library().State;
    state.ClassErrorFlag = true;
    QString text = GetResourceText(55200);
    if (state.CurrentView)
        for (const QString &line : state.CurrentView->Memo)
            text += u'\r' + line;
    text += QStringLiteral("\r\rДокумент: ") + (state.CurrentReport ? state.CurrentReport->Name : QString()) + u'\r';
    if (state.CurrentView)
        text += QStringLiteral("Объект: ") + state.CurrentView->Name + u'\r';
    text += message;
    state.ClassErrorText = text;
    if (state.MasterReport)
        state.MasterReport->Terminated = true;
}

} // namespace reports
