#include "reports/model/Fr3Writer.h"

#include "platform/NumberFormat.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Graphics.h"
#include "platform/db/DataSet.h"
#include "reports/model/DataDictionary.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportFiles.h"
#include "reports/model/DataSets.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportStreams.h"
#include "reports/model/ReportViews.h"

#include <QBuffer>
#include <QIODevice>

namespace reports {

QString EscapeXmlText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\n' || c == u'\r' || c == u'"' || c == u'<' || c == u'>' || c == u'&')
            out += QStringLiteral("&#") + QString::number(c.unicode()) + u';';
        else
            out += c;
    }
    return out;
}

QString StreamToHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Report units as whole millimetres of the XML form.
int toMm(double units)
{
    return platform::roundToInt(units / 3.77953 * 1.0477419354838709677);
}

class Element {
public:
    explicit Element(const QString &name) : text_(u'<' + name) {}
    Element &attr(const QString &name, const QString &value)
    {
        text_ += u' ' + name + QStringLiteral("=\"") + value + u'"';
        return *this;
    }
    Element &attr(const QString &name, qint64 value) { return attr(name, QString::number(value)); }
    Element &text(const QString &name, const QString &value) { return attr(name, EscapeXmlText(value)); }
    const QString &str() const { return text_; }

private:
    QString text_;
};

// Procedures of the page and object scripts, then the main block.
QString scriptText(const TfrReport &report)
{
    QStringList lines;
    auto procedure = [&](const QString &name, const QStringList &script) {
        if (script.isEmpty())
            return;
        lines << QStringLiteral("procedure ") + name + QStringLiteral("OnBeforePrint(Sender: TfrxComponent);")
              << QStringLiteral("begin") << QStringLiteral("  with ") + name + QStringLiteral(", Engine do")
              << QStringLiteral("  begin");
        if (script.first() != QLatin1String("begin")) {
            lines << script << QStringLiteral("  end") << QStringLiteral("end;");
        } else {
            lines << script.mid(1, std::max<qsizetype>(0, script.size() - 2)) << QStringLiteral("  end")
                  << (script.size() > 1 ? script.last() : QString()) + u';';
        }
        lines << QString();
    };
    for (size_t i = 0; i < report.Pages.size(); ++i) {
        const Page &page = *report.Pages[i];
        procedure(QStringLiteral("Page") + QString::number(i + 1), page.Script);
        for (const auto &view : page.Objects)
            procedure(view->Name, view->Script);
    }
    lines << QStringLiteral("begin") << QString() << QStringLiteral("end.");
    return lines.join(kCrLf) + kCrLf;
}

QString propData(const TfrReport &report)
{
    using platform::classlib::ValueType;
    platform::classlib::TMemoryStream bytes;
    platform::classlib::TWriter s(bytes);
    const std::vector<ListedComponent> dataSets = FillComponentList(report.Owner, ComponentClass::ReportDataset);
    s.WritePropName(QStringLiteral("Datasets"));
    s.WriteValue(ValueType::Collection);
    for (const ListedComponent &c : dataSets) {
        s.WriteListBegin();
        s.WritePropName(QStringLiteral("DataSet"));
        s.WriteValue(ValueType::Nil);
        s.WritePropName(QStringLiteral("DataSetName"));
        s.WriteString(c.Name);
        s.WriteListEnd();
    }
    s.WriteListEnd();
    s.WritePropName(QStringLiteral("Variables"));
    s.WriteValue(ValueType::Collection);
    static const Variables none;
    const DataDictionary *dictionary = FileDictionary(report);
    const Variables &vars = dictionary ? dictionary->Variables : none;
    for (int i = 0; i < vars.Count(); ++i) {
        QString value = vars.GetValue(i).toString();
        platform::db::DataSet *dataSet = nullptr;
        QString field;
        ParseFieldReference(value, dataSet, field);
        if (!field.isEmpty()) {
            for (const ListedComponent &c : dataSets) {
                auto *db = dynamic_cast<DBDataSet *>(c.Object->ReportDataset);
                if (!db || !dataSet || (db->DataSet() != dataSet &&
                                        !(db->DataSource() && db->DataSource()->dataSet() == dataSet)))
                    continue;
                QString name = c.Object->Name;
                if (name.startsWith(u'_'))
                    name.remove(0, 1);
                value = u'<' + name + QStringLiteral(".\"") + field + QStringLiteral("\">");
                break;
            }
        }
        s.WriteListBegin();
        s.WritePropName(QStringLiteral("Name"));
        s.WriteString(vars.GetName(i));
        s.WritePropName(QStringLiteral("Value"));
        s.WriteString(value);
        s.WriteListEnd();
    }
    s.WriteListEnd();
    return StreamToHex(bytes.Memory());
}

QString password(const QString &text)
{
    QByteArray b = platform::toCp1251(text);
    for (char &c : b)
        c = static_cast<char>((static_cast<quint8>(c) + 246) & 0xFF);
    return EscapeXmlText(platform::fromCp1251(b));
}

QString elementName(const View &view)
{
    QString name = view.ClassName();
    if (name.startsWith(QLatin1String("Tfr")))
        name = QStringLiteral("Tfrx") + name.mid(3);
    if (name.compare(QLatin1String("TfrxSubreportView"), Qt::CaseInsensitive) == 0)
        name = QStringLiteral("TfrxSubreport");
    else if (name == QLatin1String("TfrxDBLookupControl"))
        name = QStringLiteral("TfrxDBLookupComboBox");
    return name;
}

void commonAttributes(Element &e, const View &v)
{
    e.attr(QStringLiteral("Name"), v.Name)
        .attr(QStringLiteral("Left"), v.Left)
        .attr(QStringLiteral("Top"), v.Top)
        .attr(QStringLiteral("Width"), v.Width)
        .attr(QStringLiteral("Height"), v.Height)
        .attr(QStringLiteral("Color"), qint64(v.FillColor));
    if (!v.Visible)
        e.attr(QStringLiteral("Visible"), QStringLiteral("False"));
    const int typ = ((v.FrameTyp & frftLeft) ? 1 : 0) | ((v.FrameTyp & frftRight) ? 2 : 0) |
                    ((v.FrameTyp & frftTop) ? 4 : 0) | ((v.FrameTyp & frftBottom) ? 8 : 0);
    e.attr(QStringLiteral("Frame.Typ"), typ)
        .attr(QStringLiteral("Frame.Width"), platform::floatToStr(v.FrameWidth))
        .attr(QStringLiteral("Frame.Color"), qint64(v.FrameColor))
        .attr(QStringLiteral("Frame.Style"), v.FrameStyle)
        .attr(QStringLiteral("GapX"), v.GapX)
        .attr(QStringLiteral("GapY"), v.GapY)
        .text(QStringLiteral("TagStr"), v.Tag)
        .text(QStringLiteral("Memo.text"), v.Memo.join(kCrLf));
    const int align = v.BandAlign == baRest ? 4 : v.BandAlign == baTop ? 0 : v.BandAlign;
    e.attr(QStringLiteral("Align"), align);
    if (!v.Script.isEmpty()) {
        const QString handler = v.Name + QStringLiteral("OnBeforePrint");
        e.attr(QStringLiteral("OnBeforePrint"), handler)
            .attr(QStringLiteral("OnClick"), handler)
            .attr(QStringLiteral("OnActivate"), handler);
    }
    const int r = v.Restrictions;
    const int restrictions =
        ((r & 15) ? 1 : 0) | ((r & frrfDontSize) ? 2 : 0) | ((r & frrfDontMove) ? 4 : 0) | ((r & frrfDontDelete) ? 8 : 0);
    e.attr(QStringLiteral("Restrictions"), restrictions);
}

void displayFormat(Element &e, const View &v)
{
    const int code = v.DisplayFormatCode;
    const int category = (code >> 24) & 0x0F;
    const int sub = (code >> 16) & 0xFF;
    const ReportLibrary &lib = library();
    auto formatText = [&](const QStringList &table) {
        if (sub == 4)
            e.text(QStringLiteral("DisplayFormat.FormatStr"), v.DisplayFormatText);
        else if (sub >= 0 && sub < table.size())
            e.attr(QStringLiteral("DisplayFormat.FormatStr"), EscapeXmlText(table[sub]));
    };
    switch (category) {
    case 1: {
        static const QStringList numbers = {QStringLiteral("%g"), QStringLiteral("%2.2f"), QStringLiteral("%2.2n"),
                                            QStringLiteral("%2.2m")};
        e.attr(QStringLiteral("DisplayFormat.Kind"), QStringLiteral("fkNumeric"))
            .text(QStringLiteral("DisplayFormat.DecimalSeparator"), QString(QChar(code & 0xFF)));
        formatText(numbers);
        break;
    }
    case 2: {
        QStringList dates = lib.DateFormats;
        if (dates.size() > 3)
            dates[3] = QStringLiteral("dd mmmm yyyy");
        e.attr(QStringLiteral("DisplayFormat.Kind"), QStringLiteral("fkDateTime"));
        formatText(dates);
        break;
    }
    case 3:
        e.attr(QStringLiteral("DisplayFormat.Kind"), QStringLiteral("fkDateTime"));
        formatText(lib.TimeFormats);
        break;
    case 4:
        e.attr(QStringLiteral("DisplayFormat.Kind"), QStringLiteral("fkBoolean"));
        formatText(lib.BooleanFormats);
        break;
    default:
        break;
    }
}

void memoAttributes(Element &e, const MemoView &m)
{
    const auto on = [&](quint16 bit) { return (m.Flags & bit) != 0; };
    const QString yes = QStringLiteral("True"), no = QStringLiteral("False");
    if (on(flStretched))
        e.attr(QStringLiteral("StretchMode"), QStringLiteral("smMaxHeight"));
    if (!on(flWordWrap))
        e.attr(QStringLiteral("WordWrap"), no);
    if (on(flAutoWidth))
        e.attr(QStringLiteral("AutoWidth"), yes);
    if (on(flTextOnly))
        e.attr(QStringLiteral("AllowExpressions"), no);
    if (on(flSuppress))
        e.attr(QStringLiteral("SuppressRepeated"), yes);
    if (on(flHideZeros))
        e.attr(QStringLiteral("HideZeros"), yes);
    if (on(flUnderlines))
        e.attr(QStringLiteral("Underlines"), yes);
    if (on(flRTLReading))
        e.attr(QStringLiteral("RTLReading"), yes);
    e.text(QStringLiteral("Font.Name"), m.Font.Name)
        .attr(QStringLiteral("Font.Height"), m.FontHeight())
        .attr(QStringLiteral("Font.Color"), qint64(m.Font.Color))
        .attr(QStringLiteral("Font.Style"), StyleBitsToXmlStyle(m.Font.Style))
        .attr(QStringLiteral("LineSpacing"), m.LineSpacing)
        .attr(QStringLiteral("CharSpacing"), m.CharSpacing);
    if (!m.HighlightCondition.isEmpty()) {
        e.text(QStringLiteral("Highlight.Condition"), m.HighlightCondition)
            .attr(QStringLiteral("Highlight.Font.Style"), StyleBitsToXmlStyle(m.Highlight.FontStyle))
            .attr(QStringLiteral("Highlight.Font.Color"), qint64(m.Highlight.FontColor))
            .attr(QStringLiteral("Highlight.Color"), qint64(m.Highlight.FillColor));
    }
    e.attr(QStringLiteral("HAlign"), m.Alignment & 3);
    const int valign = (m.Alignment & frtaMiddle) ? 2 : (m.Alignment & frtaDown) ? 1 : 0;
    e.attr(QStringLiteral("VAlign"), valign);
    if (m.Alignment & frtaVertical)
        e.attr(QStringLiteral("Rotation"), QStringLiteral("90"));
    displayFormat(e, m);
}

QString bandElement(int type)
{
    switch (type) {
    case 0: return QStringLiteral("TfrxReportTitle");
    case 1: return QStringLiteral("TfrxReportSummary");
    case 2: return QStringLiteral("TfrxPageHeader");
    case 3: return QStringLiteral("TfrxPageFooter");
    case 4: case 7: case 10: return QStringLiteral("TfrxHeader");
    case 5: return QStringLiteral("TfrxMasterData");
    case 6: case 9: case 12: return QStringLiteral("TfrxFooter");
    case 8: return QStringLiteral("TfrxDetailData");
    case 11: return QStringLiteral("TfrxSubDetailData");
    case 13: return QStringLiteral("TfrxOverlay");
    case 14: return QStringLiteral("TfrxColumnHeader");
    case 15: return QStringLiteral("TfrxColumnFooter");
    case 16: return QStringLiteral("TfrxGroupHeader");
    case 17: return QStringLiteral("TfrxGroupFooter");
    case 21: return QStringLiteral("TfrxChild");
    default: return QString();
    }
}

std::optional<QString> bandView(const BandView &b, const TfrReport &report)
{
    const int type = b.GetBandType();
    const QString name = bandElement(type);
    if (name.isEmpty())
        return std::nullopt;
    Element e(name);
    e.attr(QStringLiteral("Name"), b.Name)
        .attr(QStringLiteral("Top"), b.Top)
        .attr(QStringLiteral("Height"), b.Height)
        .attr(QStringLiteral("Columns"), b.Columns)
        .attr(QStringLiteral("ColumnWidth"), b.ColumnWidth)
        .attr(QStringLiteral("ColumnGap"), b.ColumnGap);
    if (!b.Visible)
        e.attr(QStringLiteral("Visible"), QStringLiteral("False"));
    if (!b.ChildBand.isEmpty())
        e.text(QStringLiteral("Child"), b.ChildBand);
    const QString yes = QStringLiteral("True"), no = QStringLiteral("False");
    static const char *const trueBits[] = {"Stretched", "StartNewPage", "PrintIfDetailEmpty", "AllowSplit"};
    for (int bit = 0; bit < 4; ++bit)
        if (b.Flags & (1 << bit))
            e.attr(QString::fromLatin1(trueBits[bit]), yes);
    if (!(b.Flags & flBandOnFirstPage))
        e.attr(QStringLiteral("PrintOnFirstPage"), no);
    if (!(b.Flags & flBandOnLastPage))
        e.attr(QStringLiteral("PrintOnLastPage"), no);
    if (b.Flags & flBandRepeatHeader)
        e.attr(QStringLiteral("ReprintOnNewPage"), yes);
    if (b.Flags & flBandPrintChildIfInvisible)
        e.attr(QStringLiteral("PrintChildIfInvisible"), yes);
    if (!b.Script.isEmpty())
        e.attr(QStringLiteral("OnBeforePrint"), b.Name + QStringLiteral("OnBeforePrint"));
    if ((type == 5 || type == 8 || type == 11) && report.Owner) {
        if (Component *c = report.Owner->Find(b.DisplayFormatText); c && c->ReportDataset)
            e.text(QStringLiteral("DataSetName"), c->Name);
    }
    if (type == 16)
        e.text(QStringLiteral("Condition"), b.DisplayFormatText);
    return e.str();
}

// The data set ("owner.name") and field a first memo line names, as "[...]"
// or bare; false when it names no data field of a known data set.
bool dataFieldOf(const QString &text, QString &dataSetName, QString &fieldName)
{
    QString reference = text;
    if (reference.startsWith(u'[') && reference.endsWith(u']'))
        reference = reference.mid(1, reference.size() - 2);
    platform::db::DataSet *dataSet = nullptr;
    QString field;
    ParseFieldReference(reference, dataSet, field);
    if (field.isEmpty())
        return false;
    for (const ListedComponent &c : FillComponentList(ReportOwner(), ComponentClass::AnyDataSet)) {
        if (c.Object->DataSet != dataSet)
            continue;
        const QString owner = c.Object->Parent ? c.Object->Parent->Name + u'.' : QString();
        dataSetName = owner + c.Object->Name;
        fieldName = field;
        return true;
    }
    return false;
}

// The picture as the class library's picture stores itself: the defined
// property "Data" holding the graphic's class name and data, so that the
// XML report library reads it back into its picture; none for no picture
// or bytes of no picture format.
QByteArray pictureData(const ReportPicture &picture)
{
    const QByteArray bytes = picture.fileBytes();
    if (bytes.isEmpty())
        return {};
    platform::classlib::TPicture graphic;
    try {
        graphic.LoadFromBytes(bytes);
    } catch (const platform::classlib::ClassError &) {
        return {};
    }
    platform::classlib::TMemoryStream data;
    platform::classlib::TWriter writer(data);
    writer.WriteProperties(graphic);
    return data.Memory();
}

void pictureAttributes(Element &e, const PictureView &p)
{
    const QByteArray data = pictureData(p.Picture);
    if (!data.isEmpty())
        e.attr(QStringLiteral("Picture.Propdata"), StreamToHex(data));
    QString dataSet, field;
    if (!p.Memo.isEmpty() && dataFieldOf(p.Memo.first(), dataSet, field)) {
        e.attr(QStringLiteral("DataSet"), dataSet);
        e.text(QStringLiteral("DataField"), field);
    }
    if (!(p.Flags & 1))
        e.attr(QStringLiteral("Stretched"), QStringLiteral("False"));
    if (p.Flags & 2)
        e.attr(QStringLiteral("Center"), QStringLiteral("True"));
    if (!(p.Flags & 4))
        e.attr(QStringLiteral("KeepAspectRatio"), QStringLiteral("False"));
}

// The object's element without its closing "/>"; none for an object the
// XML form has no element for.
std::optional<QString> objectElement(View &view, const TfrReport &report)
{
    if (auto *band = dynamic_cast<BandView *>(&view))
        return bandView(*band, report);
    Element e(elementName(view));
    commonAttributes(e, view);
    if (auto *memo = dynamic_cast<MemoView *>(&view))
        memoAttributes(e, *memo);
    else if (auto *sub = dynamic_cast<SubReportView *>(&view))
        e.attr(QStringLiteral("Page"), QStringLiteral("Page") + QString::number(sub->PageIndex + 1));
    else if (auto *picture = dynamic_cast<PictureView *>(&view))
        pictureAttributes(e, *picture);
    else if (dynamic_cast<LineView *>(&view) && !(view.Flags & 1))
        e.attr(QStringLiteral("Stretched"), QStringLiteral("False"));
    else
        for (const auto &[name, value] : view.FR3Attributes(dataFieldOf))
            e.text(name, value);
    return e.str();
}

QString pageElement(const Page &page, const QString &name)
{
    const bool script = !page.Script.isEmpty();
    if (page.PageType == 1) {
        Element e(QStringLiteral("TfrxDialogPage"));
        e.attr(QStringLiteral("Name"), name)
            .attr(QStringLiteral("Height"), page.WindowHeight)
            .attr(QStringLiteral("Left"), page.WindowLeft)
            .attr(QStringLiteral("Top"), page.WindowTop)
            .attr(QStringLiteral("Width"), page.WindowWidth)
            .attr(QStringLiteral("BorderStyle"), page.BorderStyle)
            .text(QStringLiteral("Caption"), page.Caption)
            .attr(QStringLiteral("Color"), qint64(page.Color))
            .attr(QStringLiteral("Position"), page.Position);
        if (script)
            e.attr(QStringLiteral("OnActivate"), name + QStringLiteral("OnBeforePrint"));
        return e.str();
    }
    const int left = page.LeftMargin(), right = page.RightMargin();
    const int columns = std::max(1, page.ColCount);
    const int columnWidth = (right - left - (columns - 1) * page.ColGap) / columns;
    Element e(QStringLiteral("TfrxReportPage"));
    e.attr(QStringLiteral("Name"), name)
        .attr(QStringLiteral("Orientation"), page.pgOr == 1 ? QStringLiteral("poLandscape") : QStringLiteral("poPortrait"))
        .attr(QStringLiteral("PaperWidth"), toMm(page.PaperWidthUnits()))
        .attr(QStringLiteral("PaperHeight"), toMm(page.PaperHeightUnits()))
        .attr(QStringLiteral("PaperSize"), page.pgSize)
        .attr(QStringLiteral("LeftMargin"), toMm(left))
        .attr(QStringLiteral("RightMargin"), toMm(page.PaperWidthUnits() - right))
        .attr(QStringLiteral("TopMargin"), toMm(page.TopMargin()))
        .attr(QStringLiteral("BottomMargin"), toMm(page.PaperHeightUnits() - page.BottomMargin()))
        .attr(QStringLiteral("Columns"), page.ColCount)
        .attr(QStringLiteral("ColumnWidth"), toMm(columnWidth));
    if (page.PrintToPrevPage)
        e.attr(QStringLiteral("PrintOnPreviousPage"), QStringLiteral("True"));
    if (script)
        e.attr(QStringLiteral("OnBeforePrint"), name + QStringLiteral("OnBeforePrint"));
    return e.str();
}

} // namespace

void SaveToFR3Stream(TfrReport &report, QIODevice &stream)
{
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>") + kCrLf;
    Element root(QStringLiteral("TfrxReport"));
    root.attr(QStringLiteral("ScriptLanguage"), QStringLiteral("PascalScript"))
        .text(QStringLiteral("ScriptText.text"), scriptText(report))
        .attr(QStringLiteral("Propdata"), propData(report))
        .text(QStringLiteral("ReportOptions.Name"), report.ReportName)
        .text(QStringLiteral("ReportOptions.Author"), report.ReportAutor)
        .text(QStringLiteral("ReportOptions.Description.text"), report.ReportComment)
        .attr(QStringLiteral("ReportOptions.CreateDate"), platform::floatToStr(report.ReportCreateDate))
        .attr(QStringLiteral("ReportOptions.LastChange"), platform::floatToStr(report.ReportLastChange))
        .text(QStringLiteral("ReportOptions.VersionMajor"), report.ReportVersionMajor)
        .text(QStringLiteral("ReportOptions.VersionMinor"), report.ReportVersionMinor)
        .text(QStringLiteral("ReportOptions.VersionRelease"), report.ReportVersionRelease)
        .text(QStringLiteral("ReportOptions.VersionBuild"), report.ReportVersionBuild)
        .attr(QStringLiteral("ReportOptions.Password"), password(report.ReportPassword));
    out += root.str() + u'>' + kCrLf;
    for (size_t i = 0; i < report.Pages.size(); ++i) {
        Page &page = *report.Pages[i];
        const QString name = QStringLiteral("Page") + QString::number(i + 1);
        const bool hasObjects = !page.Objects.empty();
        out += pageElement(page, name) + (hasObjects ? QStringLiteral(">") : QStringLiteral("/>")) + kCrLf;
        if (!hasObjects)
            continue;
        const int shift = page.PageType == 1 ? 0 : page.LeftMargin();
        for (const auto &view : page.Objects) {
            view->Left -= shift;
            const std::optional<QString> element = objectElement(*view, report);
            view->Left += shift;
            if (element)
                out += *element + QStringLiteral("/>") + kCrLf;
        }
        out += (page.PageType == 1 ? QStringLiteral("</TfrxDialogPage>") : QStringLiteral("</TfrxReportPage>")) + kCrLf;
    }
    out += QStringLiteral("</TfrxReport>") + kCrLf;
    stream.write(platform::toCp1251(out));
}

} // namespace reports
