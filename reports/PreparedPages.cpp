#include "reports/PreparedPages.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Metafile.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLibrary.h"
#include "reports/ReportStreams.h"
#include "reports/ReportViews.h"

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
    if (shellOpener())
        return shellOpener()(url.toString());
    return QDesktopServices::openUrl(url);
}

// Keeps the library's stream version across a nested read or write.
class VersionScope {
public:
    VersionScope() : saved_(library().StreamVersion) {}
    ~VersionScope() { library().StreamVersion = saved_; }
    VersionScope(const VersionScope &) = delete;
    VersionScope &operator=(const VersionScope &) = delete;

private:
    int saved_;
};

void computeMetrics(PreparedPage &record)
{
    Printer &printer = ReportPrinter();
    printer.SetPageSettings(record.PaperSize, record.PaperWidth, record.PaperHeight, record.Bin, record.Orientation,
                            false);
    printer.GetPageMetrics(record.Metrics);
}

void resetStream(PreparedPage &record, const QByteArray &data)
{
    record.Stream.close();
    record.Data = data;
    record.Stream.setBuffer(&record.Data);
    record.Stream.open(QIODevice::ReadWrite);
    record.Stream.seek(record.Data.size());
}

} // namespace

void setShellOpener(ShellOpener opener)
{
    shellOpener() = std::move(opener);
}

PreparedPage::PreparedPage()
{
    Stream.setBuffer(&Data);
    Stream.open(QIODevice::ReadWrite);
}

EMFPages::EMFPages(ReportDocument *owner) : owner_(owner) {}

EMFPages::~EMFPages() = default;

std::unique_ptr<PreparedPage> EMFPages::makeRecord(const Page &templatePage)
{
    auto record = std::make_unique<PreparedPage>();
    record->PaperSize = static_cast<quint16>(templatePage.pgSize);
    record->PaperWidth = templatePage.pgWidth;
    record->PaperHeight = templatePage.pgHeight;
    record->Orientation = static_cast<quint8>(templatePage.pgOr);
    record->Bin = templatePage.pgBin;
    record->UseMargins = templatePage.UseMargins ? 1 : 0;
    record->Margins[0] = templatePage.MarginLeft;
    record->Margins[1] = templatePage.MarginTop;
    record->Margins[2] = templatePage.MarginRight;
    record->Margins[3] = templatePage.MarginBottom;
    record->Metrics = templatePage.Metrics;
    WriteStreamByte(record->Stream, 25);
    return record;
}

void EMFPages::raiseBeginPage()
{
    const BuildState &state = library().State;
    auto *current = dynamic_cast<ReportDocument *>(state.CurrentReport);
    auto *master = dynamic_cast<ReportDocument *>(state.MasterReport);
    if (current)
        current->BeginPageEvent(state.PageNo);
    if (master && master != current)
        master->BeginPageEvent(state.PageNo);
}

void EMFPages::Add(const Page &templatePage)
{
    pages_.push_back(makeRecord(templatePage));
    raiseBeginPage();
}

void EMFPages::Insert(int index, const Page &templatePage)
{
    if (index < 0 || index >= Count()) {
        Add(templatePage);
        return;
    }
    pages_.insert(pages_.begin() + index, makeRecord(templatePage));
    raiseBeginPage();
}

void EMFPages::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    if (library().State.CurrentPage == pages_[static_cast<size_t>(index)]->page.get())
        library().State.CurrentPage = nullptr;
    pages_.erase(pages_.begin() + index);
}

void EMFPages::Clear()
{
    while (Count() > 0)
        Delete(Count() - 1);
}

void EMFPages::ObjectsToPage(int index)
{
    PreparedPage &record = Pages(index);
    BuildState &state = library().State;
    if (record.page && state.CurrentPage == record.page.get())
        state.CurrentPage = nullptr;
    record.page.reset();
    auto page = std::make_unique<Page>();
    page->ChangePaper(record.PaperSize, record.PaperWidth, record.PaperHeight, record.Bin, record.Orientation);
    page->MarginLeft = record.Margins[0];
    page->MarginTop = record.Margins[1];
    page->MarginRight = record.Margins[2];
    page->MarginBottom = record.Margins[3];
    page->UseMargins = record.UseMargins != 0;
    state.CurrentPage = page.get();
    record.page = std::move(page);

    VersionScope keep;
    QBuffer stream(&record.Data);
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
            record.page->Add(std::move(view));
        }
    } catch (const std::exception &) {
    }
}

void EMFPages::PageToObjects(int index)
{
    PreparedPage &record = Pages(index);
    if (!record.page)
        return;
    VersionScope keep;
    resetStream(record, QByteArray());
    library().StreamVersion = 25;
    WriteStreamByte(record.Stream, 25);
    for (const auto &view : record.page->Objects) {
        view->PreparedMode = true;
        WriteStreamByte(record.Stream, view->ObjectType);
        if (view->ObjectType == 10)
            WriteStreamString(record.Stream, view->ClassName());
        view->OutputMemo = view->Memo;
        view->SaveToStream(record.Stream);
    }
}

void EMFPages::Draw(int index, gdi::Canvas &canvas, const QRect &rect)
{
    BuildState &state = library().State;
    state.DocumentMode = 1;
    PreparedPage &record = Pages(index);
    if (!record.Visible) {
        if (record.page && state.CurrentPage == record.page.get())
            state.CurrentPage = nullptr;
        record.page.reset();
        return;
    }
    if (!record.page)
        ObjectsToPage(index);
    Page &page = *record.page;
    state.CurrentPage = &page;
    const double kx = record.Metrics.PaperWidth > 0 ? double(rect.width()) / record.Metrics.PaperWidth : 1.0;
    const double ky = record.Metrics.PaperHeight > 0 ? double(rect.height()) / record.Metrics.PaperHeight : 1.0;
    const bool everything = Printing || dynamic_cast<gdi::MetafileCanvas *>(&canvas) != nullptr;
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
        view->ToPrinter = Printing;
        view->Draw(canvas);
    }
}

void EMFPages::ExportData(int index)
{
    ObjectsToPage(index);
    PreparedPage &record = Pages(index);
    for (const auto &view : record.page->Objects)
        view->ExportData();
    if (library().State.CurrentPage == record.page.get())
        library().State.CurrentPage = nullptr;
    record.page.reset();
}

bool EMFPages::DoClick(int index, QPoint point, bool click, QString &hint, int &cursor)
{
    hint.clear();
    PreparedPage &record = Pages(index);
    if (!record.page)
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
    const auto &objects = record.page->Objects;
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        View &view = **it;
        const QRectF area(view.Left * kx + ox, view.Top * ky + oy, view.Width * kx, view.Height * ky);
        if (!area.contains(point))
            continue;
        const bool hyperlink = view.Name.startsWith(QLatin1String("URL"));
        if (click) {
            if (owner_) {
                try {
                    owner_->ObjectClick(view);
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
        if (owner_) {
            try {
                owner_->MouseOverObject(view, cursor);
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

void EMFPages::SaveToStream(QIODevice &stream)
{
    Compressor &compressor = library().ReportCompressor;
    WriteStreamByte(stream, 25);
    WriteStreamByte(stream, compressor.Enabled ? 1 : 0);
    const Printer &printer = ReportPrinter();
    WriteStreamString(stream, printer.Printers.value(printer.PrinterIndex()));
    WriteStreamInteger(stream, Count());
    for (const auto &record : pages_) {
        const qint64 at = WriteEndPlaceholder(stream);
        WriteStreamWord(stream, record->PaperSize);
        WriteStreamInteger(stream, record->PaperWidth);
        WriteStreamInteger(stream, record->PaperHeight);
        WriteStreamByte(stream, record->Orientation);
        WriteStreamInteger(stream, record->Bin);
        WriteStreamByte(stream, record->UseMargins);
        for (int margin : record->Margins)
            WriteStreamInteger(stream, margin);
        if (compressor.Enabled) {
            QBuffer source(&record->Data);
            source.open(QIODevice::ReadOnly);
            QByteArray packed;
            QBuffer destination(&packed);
            destination.open(QIODevice::WriteOnly);
            compressor.Compress(source, destination);
            stream.write(packed);
        } else {
            stream.write(record->Data);
        }
        PatchEndPosition(stream, at);
    }
    WriteStreamByte(stream, owner_ ? owner_->ReportGeneratorVersion : 88);
}

void EMFPages::LoadFromStream(QIODevice &stream)
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
        if (owner_)
            owner_->SetPrinterTo(printerName);
        const qint32 count = ReadStreamInteger(stream);
        for (qint32 i = 0; i < count; ++i) {
            auto record = std::make_unique<PreparedPage>();
            const qint64 end = ReadStreamInteger(stream);
            record->PaperSize = ReadStreamWord(stream);
            record->PaperWidth = ReadStreamInteger(stream);
            record->PaperHeight = ReadStreamInteger(stream);
            record->Orientation = ReadStreamByte(stream);
            record->Bin = version >= 24 ? ReadStreamInteger(stream) : -1;
            record->UseMargins = ReadStreamByte(stream);
            if (version >= 24)
                for (int &margin : record->Margins)
                    margin = ReadStreamInteger(stream);
            const qint64 here = stream.pos();
            if (end < here || end > stream.size())
                throw StreamReadError();
            const QByteArray data = ReadStreamBytes(stream, end - here);
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
        if (owner_)
            owner_->ReportGeneratorVersion = generator;
    } catch (...) {
        Clear();
        throw;
    }
}

void EMFPages::loadMetafileForm(QIODevice &stream)
{
    VersionScope keep;
    const QStringList lines = ReadOldMemo(stream);
    if (!lines.isEmpty() && owner_)
        owner_->SetPrinterTo(lines.first());
    const qint32 count = ReadStreamInteger(stream);
    for (qint32 i = 0; i < count; ++i) {
        auto record = std::make_unique<PreparedPage>();
        const qint64 end = ReadStreamInteger(stream);
        record->PaperSize = ReadStreamWord(stream);
        record->PaperWidth = ReadStreamInteger(stream);
        record->PaperHeight = ReadStreamInteger(stream);
        record->Orientation = ReadStreamByte(stream);
        record->Bin = -1;
        record->UseMargins = ReadStreamByte(stream);
        const qint64 here = stream.pos();
        if (end < here || end > stream.size())
            throw StreamReadError();
        const QByteArray picture = ReadStreamBytes(stream, end - here);
        computeMetrics(*record);

        PictureView view;
        view.PreparedMode = true;
        view.SetBounds(0, 0, record->Metrics.PaperWidth, record->Metrics.PaperHeight);
        view.Picture.loadFromBytes(picture);
        library().StreamVersion = 25;
        WriteStreamByte(record->Stream, 25);
        WriteStreamByte(record->Stream, view.ObjectType);
        view.SaveToStream(record->Stream);
        pages_.push_back(std::move(record));
    }
}

} // namespace reports
