#include "reports/model/PreparedPages.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Metafile.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportStreams.h"
#include "reports/model/ReportViews.h"

#include <QDesktopServices>
#include <QUrl>

#include <utility>

namespace reports {

namespace {

ShellOpener &shellOpener()
{
    static ShellOpener opener;
    return opener;
}

// Hyperlink tags come from files, so only addresses of the web and of mail
// go to the shell: a tag naming a program or a script is never started.
bool openHyperlink(const QString &tag)
{
    const QString target = tag.trimmed();
    const QUrl url(target.startsWith(QLatin1String("www."), Qt::CaseInsensitive) ? QStringLiteral("http://") + target
                                                                                 : target,
                   QUrl::TolerantMode);
    static const QStringList schemes = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ftp"),
                                        QStringLiteral("mailto")};
    if (!url.isValid() || !schemes.contains(url.scheme().toLower()))
        return false;
    return ShellOpen(url);
}

void computeMetrics(TfrEMFPage &record)
{
    Printer &printer = ReportPrinter();
    printer.SetPageSettings(record.PaperSize, record.PaperWidth, record.PaperHeight, record.Bin,
                            static_cast<std::uint8_t>(record.Orientation), false);
    printer.GetPageMetrics(record.Metrics);
}

void resetStream(TfrEMFPage &record, const QByteArray &data)
{
    record.Stream->close();
    record.Stream->setData(data);
    record.Stream->open(QIODevice::ReadWrite);
    record.Stream->seek(data.size());
}

void releasePage(TfrEMFPage &record)
{
    BuildState &state = library().State;
    if (record.Page && state.CurrentPage == record.Page.get())
        state.CurrentPage = nullptr;
    record.Page.reset();
}

// A page's fields in a prepared report (bin and margins from version 24 on)
// and its data up to the page's end position.
QByteArray readPageRecord(QIODevice &stream, TfrEMFPage &record, int version)
{
    const qint64 end = ReadStreamInteger(stream);
    record.PaperSize = ReadStreamWord(stream);
    record.PaperWidth = ReadStreamInteger(stream);
    record.PaperHeight = ReadStreamInteger(stream);
    record.Orientation = ReadStreamByte(stream);
    record.Bin = version >= 24 ? ReadStreamInteger(stream) : -1;
    record.UseMargins = ReadStreamByte(stream) != 0;
    if (version >= 24)
        for (int &margin : record.Margins)
            margin = ReadReportUnits(stream);
    const qint64 here = stream.pos();
    if (end < here || end > stream.size())
        throw StreamReadError();
    return ReadStreamBytes(stream, end - here);
}

} // namespace

void setShellOpener(ShellOpener opener)
{
    shellOpener() = std::move(opener);
}

bool ShellOpen(const QUrl &target)
{
    if (shellOpener())
        return shellOpener()(target.toString());
    return QDesktopServices::openUrl(target);
}

TfrEMFPage::TfrEMFPage() : Stream(std::make_unique<QBuffer>())
{
    Stream->open(QIODevice::ReadWrite);
}

TfrEMFPages::TfrEMFPages(TfrReport *owner) : owner_(owner) {}

TfrEMFPages::~TfrEMFPages() = default;

TfrReport *TfrEMFPages::owner() const
{
    return owner_ ? owner_ : dynamic_cast<TfrReport *>(library().State.CurrentReport);
}

std::unique_ptr<TfrEMFPage> TfrEMFPages::makeRecord(const reports::Page &templatePage)
{
    auto record = std::make_unique<TfrEMFPage>();
    record->PaperSize = templatePage.pgSize;
    record->PaperWidth = templatePage.pgWidth;
    record->PaperHeight = templatePage.pgHeight;
    record->Orientation = templatePage.pgOr;
    record->Bin = templatePage.pgBin;
    record->UseMargins = templatePage.UseMargins;
    record->Margins[0] = templatePage.MarginLeft;
    record->Margins[1] = templatePage.MarginTop;
    record->Margins[2] = templatePage.MarginRight;
    record->Margins[3] = templatePage.MarginBottom;
    record->Metrics = templatePage.Metrics;
    WriteStreamByte(*record->Stream, 25);
    return record;
}

void TfrEMFPages::raiseBeginPage()
{
    const BuildState &state = library().State;
    auto *current = dynamic_cast<TfrReport *>(state.CurrentReport);
    auto *master = dynamic_cast<TfrReport *>(state.MasterReport);
    if (current && current->OnBeginPage)
        current->OnBeginPage(state.PageNo);
    if (master && master != current && master->OnBeginPage)
        master->OnBeginPage(state.PageNo);
}

void TfrEMFPages::Add(const reports::Page &templatePage)
{
    pages_.push_back(makeRecord(templatePage));
    raiseBeginPage();
}

void TfrEMFPages::Insert(int index, const Page &templatePage)
{
    if (index < 0 || index >= Count()) {
        Add(templatePage);
        return;
    }
    pages_.insert(pages_.begin() + index, makeRecord(templatePage));
    raiseBeginPage();
}

void TfrEMFPages::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    releasePage(*pages_[static_cast<size_t>(index)]);
    pages_.erase(pages_.begin() + index);
}

void TfrEMFPages::Clear()
{
    while (Count() > 0)
        Delete(Count() - 1);
}

void TfrEMFPages::ObjectsToPage(int index)
{
    TfrEMFPage &record = Pages(index);
    BuildState &state = library().State;
    releasePage(record);
    auto page = std::make_unique<reports::Page>();
    page->ChangePaper(record.PaperSize, record.PaperWidth, record.PaperHeight, record.Bin, record.Orientation);
    page->MarginLeft = record.Margins[0];
    page->MarginTop = record.Margins[1];
    page->MarginRight = record.Margins[2];
    page->MarginBottom = record.Margins[3];
    page->UseMargins = record.UseMargins;
    state.CurrentPage = page.get();
    record.Page = std::move(page);

    StreamVersionScope keep;
    // An unknown add-in class in a prepared page is no build error.
    const bool classError = state.ClassErrorFlag;
    const QString classErrorText = state.ClassErrorText;
    QByteArray data = record.Data();
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    // A damaged or foreign record ends the page where it is damaged; what
    // was read before it is shown.
    try {
        if (stream.atEnd())
            return;
        library().StreamVersion = ReadStreamByte(stream);
        while (!stream.atEnd()) {
            const quint8 kind = ReadStreamByte(stream);
            const QString className = kind == 10 ? ReadStreamString(stream) : QString();
            std::unique_ptr<View> view = CreateViewOfType(kind, className);
            if (!view)
                break;
            view->PreparedMode = true;
            view->LoadFromStream(stream);
            if (auto *memo = dynamic_cast<MemoView *>(view.get()); memo && (memo->Flags & flAutoWidth))
                memo->Draw(library().MeasureBitmap->canvas());
            record.Page->Add(std::move(view));
        }
    } catch (const std::exception &) {
    }
    state.ClassErrorFlag = classError;
    state.ClassErrorText = classErrorText;
}

void TfrEMFPages::PageToObjects(int index)
{
    TfrEMFPage &record = Pages(index);
    if (!record.Page)
        return;
    StreamVersionScope keep;
    resetStream(record, QByteArray());
    library().StreamVersion = 25;
    QBuffer &stream = *record.Stream;
    WriteStreamByte(stream, 25);
    for (const auto &view : record.Page->Objects) {
        view->PreparedMode = true;
        WriteStreamByte(stream, view->ObjectType);
        if (view->ObjectType == 10)
            WriteStreamString(stream, view->ClassName());
        view->OutputMemo = view->Memo;
        view->SaveToStream(stream);
    }
}

void TfrEMFPages::Draw(int index, gdi::Canvas &canvas, const QRect &rect)
{
    BuildState &state = library().State;
    state.DocumentMode = 1;
    TfrEMFPage &record = Pages(index);
    if ((!record.Visible && !record.Printing) || rect.isEmpty()) {
        releasePage(record);
        return;
    }
    if (!record.Page)
        ObjectsToPage(index);
    reports::Page &page = *record.Page;
    state.CurrentPage = &page;
    const double kx = record.Metrics.PaperWidth > 0 ? double(rect.width()) / record.Metrics.PaperWidth : 1.0;
    const double ky = record.Metrics.PaperHeight > 0 ? double(rect.height()) / record.Metrics.PaperHeight : 1.0;
    const bool everything = record.Printing || dynamic_cast<gdi::MetafileCanvas *>(&canvas) != nullptr;
    const std::optional<QRegion> clip = everything ? std::nullopt : canvas.clipRegion();
    for (const auto &view : page.Objects) {
        if (clip) {
            const QRect area(static_cast<int>(view->Left * kx) + rect.left() - 10,
                             static_cast<int>(view->Top * ky) + rect.top() - 10,
                             static_cast<int>(view->Width * kx) + 20, static_cast<int>(view->Height * ky) + 20);
            if (!clip->intersects(area))
                continue;
        }
        view->ScaleX = kx;
        view->ScaleY = ky;
        view->OffsetX = rect.left();
        view->OffsetY = rect.top();
        view->ToPrinter = record.Printing;
        view->Draw(canvas);
    }
}

void TfrEMFPages::ExportData(int index)
{
    ObjectsToPage(index);
    TfrEMFPage &record = Pages(index);
    for (const auto &view : record.Page->Objects)
        view->ExportData();
    releasePage(record);
}

bool TfrEMFPages::DoClick(int index, QPoint point, bool click, QString &hint, int &cursor)
{
    hint.clear();
    TfrEMFPage &record = Pages(index);
    if (!record.Page)
        ObjectsToPage(index);
    const PageMetrics &m = record.Metrics;
    double kx = 1, ky = 1;
    int ox = 0, oy = 0;
    if (!record.UseMargins) {
        if (m.PaperWidth > 0)
            kx = double(m.PrintWidth - record.Margins[0] - record.Margins[2]) / m.PaperWidth;
        if (m.PaperHeight > 0)
            ky = double(m.PrintHeight - record.Margins[1] - record.Margins[3]) / m.PaperHeight;
        ox = record.Margins[0] + m.OffsetX;
        oy = record.Margins[1] + m.OffsetY;
    }
    TfrReport *report = owner();
    const auto &objects = record.Page->Objects;
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        View &view = **it;
        const QRectF area(view.Left * kx + ox, view.Top * ky + oy, view.Width * kx, view.Height * ky);
        if (!area.contains(point))
            continue;
        const bool hyperlink = view.Name.startsWith(QLatin1String("URL"));
        if (click) {
            if (report && report->OnObjectClick) {
                try {
                    report->OnObjectClick(&view);
                } catch (...) {
                }
            }
            if (hyperlink) {
                if (view.Tag.contains(u'@'))
                    hint = view.Tag;
                else
                    openHyperlink(view.Tag);
            }
            return true;
        }
        if (report && report->OnMouseOverObject) {
            try {
                report->OnMouseOverObject(&view, cursor);
            } catch (...) {
            }
        }
        if (hyperlink) {
            cursor = crHandPoint;
            hint = view.Tag;
        }
        return true;
    }
    return false;
}

void TfrEMFPages::SaveToStream(QIODevice &stream)
{
    Compressor &compressor = library().ReportCompressor;
    WriteStreamByte(stream, 25);
    WriteStreamByte(stream, compressor.Enabled ? 1 : 0);
    const Printer &printer = ReportPrinter();
    WriteStreamString(stream, printer.Printers.value(printer.PrinterIndex()));
    WriteStreamInteger(stream, Count());
    for (const auto &record : pages_) {
        const qint64 at = WriteEndPlaceholder(stream);
        WriteStreamWord(stream, static_cast<quint16>(record->PaperSize));
        WriteStreamInteger(stream, record->PaperWidth);
        WriteStreamInteger(stream, record->PaperHeight);
        WriteStreamByte(stream, static_cast<quint8>(record->Orientation));
        WriteStreamInteger(stream, record->Bin);
        WriteStreamByte(stream, record->UseMargins ? 1 : 0);
        for (int margin : record->Margins)
            WriteStreamInteger(stream, margin);
        if (compressor.Enabled) {
            QByteArray data = record->Data();
            QBuffer source(&data);
            source.open(QIODevice::ReadOnly);
            QByteArray packed;
            QBuffer destination(&packed);
            destination.open(QIODevice::WriteOnly);
            compressor.Compress(source, destination);
            stream.write(packed);
        } else {
            stream.write(record->Data());
        }
        PatchEndPosition(stream, at);
    }
    TfrReport *report = owner();
    WriteStreamByte(stream, report ? report->ReportGeneratorVersion : 88);
}

void TfrEMFPages::LoadFromStream(QIODevice &stream)
{
    Clear();
    try {
        const qint64 start = stream.pos();
        int version = ReadStreamByte(stream);
        if (version < 24 || version > 31) {
            version = 0;
            stream.seek(start);
        }
        const quint8 flag = ReadStreamByte(stream);
        if (flag >= 2 && flag != 255) {
            stream.seek(start);
            loadMetafileForm(stream);
            return;
        }
        Compressor &compressor = library().ReportCompressor;
        // Compressed pages can only be read back through a compressor; without
        // one they would load as blank pages and look like a good report.
        if (flag != 0 && !compressor.Enabled)
            throw PreparedFormatError();
        const QString printerName = ReadStreamString(stream);
        if (TfrReport *report = owner())
            report->SetPrinterTo(printerName);
        const qint32 count = ReadStreamInteger(stream);
        // No report has fewer than no pages: the file is damaged, not empty.
        if (count < 0)
            throw PreparedFormatError();
        for (qint32 i = 0; i < count; ++i) {
            auto record = std::make_unique<TfrEMFPage>();
            const QByteArray data = readPageRecord(stream, *record, version);
            if (flag != 0) {
                QByteArray source = data;
                QBuffer in(&source);
                in.open(QIODevice::ReadOnly);
                QByteArray unpacked;
                QBuffer out(&unpacked);
                out.open(QIODevice::WriteOnly);
                compressor.DeCompress(in, out);
                resetStream(*record, unpacked);
            } else {
                resetStream(*record, data);
            }
            computeMetrics(*record);
            pages_.push_back(std::move(record));
        }
        const quint8 generator = ReadStreamByte(stream);
        if (TfrReport *report = owner())
            report->ReportGeneratorVersion = generator;
    } catch (...) {
        Clear();
        throw;
    }
}

void TfrEMFPages::loadMetafileForm(QIODevice &stream)
{
    StreamVersionScope keep;
    const QStringList lines = ReadOldMemo(stream);
    TfrReport *report = owner();
    if (!lines.isEmpty() && report)
        report->SetPrinterTo(lines.first());
    // Any bytes whose second byte is not a flag end up here: a file of this
    // form has pages, and each is a metafile, or it is no prepared report.
    const qint32 count = ReadStreamInteger(stream);
    if (count <= 0)
        throw PreparedFormatError();
    for (qint32 i = 0; i < count; ++i) {
        auto record = std::make_unique<TfrEMFPage>();
        const QByteArray picture = readPageRecord(stream, *record, 0);

        PictureView view;
        if (!view.Picture.loadFromBytes(picture) || view.Picture.kind != ReportPicture::Metafile)
            throw PreparedFormatError();
        computeMetrics(*record);
        view.PreparedMode = true;
        view.SetBounds(0, 0, record->Metrics.PaperWidth, record->Metrics.PaperHeight);
        library().StreamVersion = 25;
        WriteStreamByte(*record->Stream, 25);
        WriteStreamByte(*record->Stream, view.ObjectType);
        view.SaveToStream(*record->Stream);
        pages_.push_back(std::move(record));
    }
}

} // namespace reports
