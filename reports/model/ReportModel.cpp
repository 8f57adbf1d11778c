#include "reports/model/ReportModel.h"

#include "platform/db/DataSet.h"
#include "reports/model/DataSets.h"
#include "reports/language/ExpressionParser.h"
#include "reports/model/Extensions.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"

namespace reports {

void Page::ChangePaper(int code, int width, int height, int bin, int orientation)
{
    Printer &printer = ReportPrinter();
    printer.SetPageSettings(code, width, height, bin, static_cast<std::uint8_t>(orientation), false);
    printer.GetPageMetrics(Metrics);
    pgSize = printer.PaperSize;
    pgWidth = printer.PaperWidth;
    pgHeight = printer.PaperHeight;
    pgOr = printer.Orientation;
    pgBin = bin == -1 ? -1 : printer.Bin;
}

int Page::LeftMargin() const
{
    if (!UseMargins)
        return 0;
    return MarginLeft != 0 ? MarginLeft : Metrics.OffsetX;
}

int Page::TopMargin() const
{
    if (!UseMargins)
        return 0;
    return MarginTop != 0 ? MarginTop : Metrics.OffsetY;
}

int Page::RightMargin() const
{
    if (!UseMargins)
        return Metrics.PaperWidth;
    return MarginRight != 0 ? Metrics.PaperWidth - MarginRight : Metrics.OffsetX + Metrics.PrintWidth;
}

int Page::BottomMargin() const
{
    if (!UseMargins)
        return Metrics.PaperHeight;
    return MarginBottom != 0 ? Metrics.PaperHeight - MarginBottom : Metrics.OffsetY + Metrics.PrintHeight;
}

View *Page::FindObject(const QString &name) const
{
    for (const auto &o : Objects)
        if (o->Name.compare(name, Qt::CaseInsensitive) == 0)
            return o.get();
    return nullptr;
}

View *Page::Add(std::unique_ptr<View> view)
{
    Objects.push_back(std::move(view));
    return Objects.back().get();
}

Report::~Report() = default;

View *Report::FindObject(const QString &name) const
{
    for (const auto &page : Pages)
        if (View *v = page->FindObject(name))
            return v;
    return nullptr;
}

QString Report::ValueText(const QString &expression, View &view)
{
    const Variant value = library().ReportParser.Calc(expression);
    if (view.ObjectType == 0 && (view.Flags & flHideZeros) && value.isNumeric() && value.toDouble() == 0)
        return QString();
    return valueText(value);
}

void Report::BeforePrint(QStringList &, View &view)
{
    if (!view.BlobDataSet)
        return;
    if (const platform::db::Field *field = view.BlobDataSet->findField(view.BlobField); field && IsBlobField(*field))
        view.LoadBlob(*field);
}

void Report::ExportData(View &view)
{
    if (CurrentFilter)
        CurrentFilter->OnData(view.Left, view.Top, &view);
}

void Report::ExportText(const QRect &drawRect, int x, int y, const QString &text, int frameTyp, View &view)
{
    if (CurrentFilter)
        CurrentFilter->OnText(drawRect, x, y, text, frameTyp, &view);
}

} // namespace reports
