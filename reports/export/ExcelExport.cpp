#include "reports/export/ExcelExport.h"

#include "platform/NumberFormat.h"
#include "platform/Rounding.h"
#include "platform/UserAnswers.h"
#include "reports/model/PreparedPages.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportDialogs.h"
#include "reports/model/ReportLibrary.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <map>
#include <stdexcept>

namespace reports {

namespace {

using platform::Variant;

// A failure of the program's stand-in in a guarded step is left as it is:
// the workbook goes on without that formatting.
template <class F>
void guarded(F &&f)
{
    try {
        f();
    } catch (const std::exception &) {
    }
}

QString cellText(const QStringList &memo)
{
    QString text = memo.join(QStringLiteral("\n"));
    text.remove(u'\r');
    text.remove(QChar(1));
    while (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

} // namespace

// ---------------------------------------------------------------------------
// TFrExcel

void TFrExcel::StartExcel()
{
    Connected = false;
    try {
        Excel = spreadsheetServers().Create();
        Connected = Excel && Excel->Start();
    } catch (const std::exception &) {
        Connected = false;
    }
}

void TFrExcel::SetVisible(bool on)
{
    if (Connected)
        Excel->SetVisible(on);
}

QString TFrExcel::ColumnName(int n)
{
    if (n <= 26)
        return QString(QChar(64 + n));
    if (n % 26 == 0)
        return QString(QChar(63 + n / 26)) + u'Z';
    return QString(QChar(64 + n / 26)) + QChar(64 + n % 26);
}

QString TFrExcel::CellName(int column, int row)
{
    return ColumnName(column) + QString::number(row);
}

void TFrExcel::SetColumnWidth(int column, double width)
{
    if (width > 0 && width < 256 && column < 256)
        guarded([&] { Excel->SetColumnWidth(column, width); });
}

void TFrExcel::SetupPage(int orientation, const double margins[4])
{
    guarded([&] {
        Excel->SetMargins(margins[0], margins[1], margins[2], margins[3]);
        Excel->SetOrientation(orientation);
    });
}

void TFrExcel::SelectRange(int column, int row, int rows, int columns)
{
    column = std::min(column, 255);
    columns = std::min(columns, 255 - column);
    if (rows > 0 && columns > 0)
        guarded([&] { Excel->SelectRange(CellName(column, row), CellName(column + columns - 1, row + rows - 1)); });
}

double RowHeightPoints(double units)
{
    return platform::roundHalfEven(units / 1.32 * 4) / 4.0;
}

QStringList JoinAddresses(const QStringList &addresses)
{
    QStringList out;
    QString current;
    for (const QString &a : addresses) {
        if (!current.isEmpty() && current.size() + 1 + a.size() > 255) {
            out << current;
            current.clear();
        }
        current += (current.isEmpty() ? QString() : QStringLiteral(";")) + a;
    }
    if (!current.isEmpty())
        out << current;
    return out;
}

// ---------------------------------------------------------------------------
// The filter

TfrOLEExcelExport::TfrOLEExcelExport()
{
    registered_ = RegisterExportFilter(this, QStringLiteral("TfrOLEExcelExport"),
                                       QStringLiteral("Файл Excel через OLE (*.xlsx)"), QStringLiteral("*.xlsx"));
}

TfrOLEExcelExport::~TfrOLEExcelExport()
{
    if (registered_)
        UnregisterExportFilter(QStringLiteral("TfrOLEExcelExport"));
}

int TfrOLEExcelExport::ShowModal()
{
    if (!ShowDialog) {
        PageRange.clear();
        return 1;
    }
    ExcelExportChoices c{ExportPictures, QString(), OpenAfterExport};
    const int result = excelExportDialogs().ShowExcelExport(c);
    ExportPictures = c.ExportPictures;
    OpenAfterExport = c.OpenAfterExport;
    PageRange = c.Range;
    return result;
}

void TfrOLEExcelExport::OnBeginDoc()
{
    auto *report = dynamic_cast<TfrReport *>(library().State.CurrentReport);
    QString range = PageRange;
    range.remove(u' ');
    pages_ = range.isEmpty() || !report ? QSet<int>() : ParsePageList(range, report->EMFPages->Count());
    matrix_ = std::make_unique<TfrIEMatrix>();
    matrix_->ShowProgress = true;
    matrix_->MaxCellHeight = 539.88;
    matrix_->Inaccuracy = Wysiwyg ? 0.5 : 10;
    OnAfterExport = [this](const QString &fileName) { DoExport(fileName); };
    excel_ = std::make_unique<TFrExcel>();
    excel_->StartExcel();
    exportPageNo_ = 0;
    firstPage_ = true;
}

void TfrOLEExcelExport::OnBeginPage()
{
    ++exportPageNo_;
    if (!firstPage_)
        return;
    firstPage_ = false;
    if (auto *report = dynamic_cast<TfrReport *>(library().State.CurrentReport);
        report && report->EMFPages->Count() > 0) {
        const TfrEMFPage &page = (*report->EMFPages)[exportPageNo_ - 1];
        for (int i = 0; i < 4; ++i)
            margins_[i] = page.Margins[i] / 1.32;
        orientation_ = page.Orientation == 1 ? 2 : 1;
    }
}

bool TfrOLEExcelExport::pageChosen() const
{
    return PageRange.trimmed().isEmpty() || pages_.contains(exportPageNo_);
}

void TfrOLEExcelExport::OnData(int, int, View *view)
{
    if (matrix_ && view && pageChosen())
        matrix_->AddObject(*view);
}

void TfrOLEExcelExport::OnEndPage()
{
    if (matrix_ && pageChosen())
        matrix_->AddPage();
}

void TfrOLEExcelExport::DoExport(const QString &fileName)
{
    if (!matrix_ || !excel_)
        return;
    struct Done {
        TfrOLEExcelExport *self;
        ~Done()
        {
            self->matrix_.reset();
            self->excel_.reset();
        }
    } done{this};
    if (!excel_->Connected)
        throw std::runtime_error(QStringLiteral("Не удалось запустить программу электронных таблиц").toStdString());
    matrix_->Prepare();
    fillWorkbook();
    SpreadsheetServer &x = *excel_->Excel;
    excel_->SelectRange(1, 1, 1, 1);
    guarded([&] { x.RangeSelect(); });
    if (OpenAfterExport)
        excel_->SetVisible(true);
    // Saved under a temporary name and put in place only once written, so a
    // failed save keeps the file that was there and is reported.
    const QString temporary = fileName + QStringLiteral(".tmp");
    QFile::remove(temporary);
    bool saved = false;
    guarded([&] { saved = x.SaveAs(temporary) && QFileInfo::exists(temporary); });
    if (saved) {
        QFile::remove(fileName);
        saved = QFile::rename(temporary, fileName);
    }
    if (!saved)
        QFile::remove(temporary);
    guarded([&] {
        x.SetDisplayAlerts(true);
        x.SetScreenUpdating(true);
        if (!OpenAfterExport)
            x.Quit();
    });
    if (!saved)
        throw std::runtime_error(QStringLiteral("Не удалось сохранить файл \"%1\"").arg(fileName).toStdString());
    // The workbook is a file: the desktop's program for it shows it.
    if (OpenAfterExport && !ShellOpen(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath())))
        platform::answers().messageDlg(QStringLiteral("Не удалось открыть файл \"%1\"").arg(fileName),
                                       platform::MsgType::Warning, platform::mbOK);
}

void TfrOLEExcelExport::fillWorkbook()
{
    TfrIEMatrix &m = *matrix_;
    TFrExcel &excel = *excel_;
    SpreadsheetServer &x = *excel.Excel;
    bool cancelled = false;
    auto phase = [&](const QString &message, int steps) {
        std::unique_ptr<ExportProgress> p = reportDialogs().NewExportProgress();
        p->Start(steps, message, true, true);
        return p;
    };

    excel.SetupPage(orientation_, margins_);

    // Rows: heights, grouped by height, and a manual break where a page ends.
    std::vector<std::pair<double, int>> counts; // in the order found
    std::map<double, QStringList> ranges;
    {
        auto progress = phase(QStringLiteral("Process Rows"), m.RowCount - 1);
        int page = 0, runStart = 0;
        double runHeight = -1;
        auto closeRun = [&](int last) {
            if (runStart > 0)
                ranges[runHeight] << (runStart == last ? QStringLiteral("A%1").arg(runStart)
                                                       : QStringLiteral("A%1:A%2").arg(runStart).arg(last));
        };
        int r = 1;
        for (; r < m.RowCount; ++r) {
            if (progress->Terminated()) {
                cancelled = true;
                break;
            }
            // The boundary r is the bottom of sheet row r, so the new page
            // begins on row r + 1, above which the break goes. Pages past
            // the last have no bottom: no break for them.
            if (page < m.PageCount() && m.RowTop(r) >= m.PageBottom(page)) {
                guarded([&] { x.SetPageBreak(r + 1); });
                ++page;
            }
            const double h = RowHeightPoints(m.RowTop(r) - m.RowTop(r - 1));
            auto it = std::find_if(counts.begin(), counts.end(), [h](const auto &c) { return c.first == h; });
            if (it == counts.end())
                counts.emplace_back(h, 1);
            else
                ++it->second;
            if (h != runHeight) {
                closeRun(r - 1);
                runStart = r;
                runHeight = h;
            }
            progress->Step();
        }
        closeRun(r - 1);
    }
    if (!cancelled && !counts.empty()) {
        auto progress = phase(QStringLiteral("Process Rows"), static_cast<int>(ranges.size()));
        double common = counts.front().first;
        int most = counts.front().second;
        for (const auto &c : counts)
            if (c.second > most) {
                common = c.first;
                most = c.second;
            }
        guarded([&] { x.SetRowHeight(QStringLiteral("A1:A%1").arg(m.RowCount), common); });
        for (const auto &range : ranges) {
            const double height = range.first;
            if (height != common)
                for (const QString &addresses : JoinAddresses(range.second))
                    guarded([&] { x.SetRowHeight(addresses, height); });
            progress->Step();
        }
    }

    {
        auto progress = phase(QStringLiteral("Process Columns"), m.ColumnCount - 1);
        for (int c = 1; c < m.ColumnCount && !progress->Terminated(); ++c) {
            excel.SetColumnWidth(c, (m.ColumnLeft(c) - m.ColumnLeft(c - 1)) / 8);
            progress->Step();
        }
    }

    if (!cancelled) {
        auto progress = phase(QStringLiteral("Process Styles"), m.StyleCount());
        for (int i = 0; i < m.StyleCount(); ++i) {
            if (progress->Terminated()) {
                cancelled = true;
                break;
            }
            const TfrIEMStyle &s = *m.StyleAt(i);
            SpreadsheetStyle style;
            style.Name = QStringLiteral("S%1").arg(i);
            style.Italic = s.Font.Style & 1;
            style.Bold = s.Font.Style & 2;
            style.Underline = s.Font.Style & 4;
            style.FontName = s.Font.Name;
            style.FontSize = s.Font.Size;
            style.FontColor = s.Font.Color;
            style.InteriorColor = s.Color;
            static const int horizontal[] = {-4131, -4152, -4108, -4130};
            style.HorizontalAlignment = horizontal[s.Alignment & 3];
            style.VerticalAlignment = (s.Alignment & 8) ? -4108 : (s.Alignment & 16) ? -4107 : -4160;
            guarded([&] { x.AddStyle(style); });
            QCoreApplication::processEvents();
            progress->Step();
        }
    }

    // Objects: values, pictures and the lists of styles, borders and merges.
    const int columns = std::min(m.ColumnCount, 255);
    std::vector<std::vector<Variant>> values(m.RowCount, std::vector<Variant>(columns));
    std::vector<std::pair<QString, int>> styles, borders;
    QStringList merges;
    {
        auto progress = phase(QStringLiteral("Process Objects"), m.RowCount);
        int pictures = 0;
        for (int r = 0; r < m.RowCount; ++r) {
            for (int c = 0; c < m.ColumnCount; ++c) {
                const int e = m.CellAt(c, r);
                TfrIEMObject *obj = m.EntryObject(e);
                if (!obj || obj->Exported)
                    continue;
                obj->Exported = 1;
                int ex, ey, dx, dy;
                m.EntryCell(e, ex, ey, dx, dy);
                const bool several = dx > 1 || dy > 1;
                QString address = TFrExcel::CellName(ex + 1, ey + 1);
                if (several)
                    address += u':' + TFrExcel::CellName(ex + dx, ey + dy);
                styles.emplace_back(address, obj->StyleIndex);
                if (obj->Style && obj->Style->FrameTyp != 0)
                    borders.emplace_back(address, obj->Style->FrameTyp);
                if (several)
                    merges << address;
                const QString text = cellText(obj->Memo);
                if (ey < m.RowCount && ex < columns) {
                    Variant value{text};
                    if (!AsText && !text.isEmpty()) {
                        try {
                            value = Variant(platform::strToFloat(text));
                        } catch (const platform::ConvertError &) {
                        }
                    }
                    values[ey][ex] = value;
                }
                if (!obj->IsText && ExportPictures && !obj->Image.isNull()) {
                    excel.SelectRange(ex + 1, ey + 1, dy, dx);
                    ++pictures;
                    guarded([&] {
                        x.PastePicture(obj->Image);
                        x.SetPictureBounds(pictures, obj->Image.width() / 1.38, obj->Image.height() / 1.38);
                    });
                }
            }
            progress->Step();
        }
    }

    if (!cancelled) {
        auto progress = phase(QStringLiteral("Process Styles"), 3);
        // Consecutive addresses of one value, one call per joined text.
        auto apply = [](const std::vector<std::pair<QString, int>> &list, const auto &call) {
            size_t i = 0;
            while (i < list.size()) {
                QStringList run;
                const int value = list[i].second;
                for (; i < list.size() && list[i].second == value; ++i)
                    run << list[i].first;
                for (const QString &addresses : JoinAddresses(run))
                    guarded([&] { call(addresses, value); });
            }
        };
        apply(styles, [&](const QString &a, int v) { x.SetStyle(a, QStringLiteral("S%1").arg(v)); });
        progress->Step();
        apply(borders, [&](const QString &a, int sides) {
            const struct {
                int side, edge;
            } edges[] = {{frftLeft, 7}, {frftRight, 10}, {frftTop, 8}, {frftBottom, 9}};
            for (const auto &s : edges)
                if (sides & s.side)
                    x.SetBorder(a, s.edge);
        });
        progress->Step();
        for (const QString &addresses : JoinAddresses(merges))
            guarded([&] { x.SetMergeCells(addresses); });
        progress->Step();
    }

    excel.SelectRange(1, 1, m.RowCount, m.ColumnCount);
    x.SetValues(values);
    x.SetWrapText();
}

} // namespace reports
