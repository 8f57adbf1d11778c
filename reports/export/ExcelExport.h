#pragma once
// The spreadsheet export: prepared pages through the export matrix into a
// workbook, driven through the members of a spreadsheet program's
// automation interface. The program has its own stand-in of that interface
// (a workbook file writer); tests record the calls.

#include "platform/Service.h"
#include "platform/Variant.h"
#include "reports/export/ExportMatrix.h"
#include "reports/model/Extensions.h"

#include <QImage>
#include <QSet>

#include <memory>
#include <vector>

namespace reports {

// A named cell style as the export defines it.
struct SpreadsheetStyle {
    QString Name;
    bool Bold = false, Italic = false, Underline = false;
    QString FontName;
    int FontSize = 10;
    std::uint32_t FontColor = 0;
    std::uint32_t InteriorColor = clNone;
    int HorizontalAlignment = -4131; // xlLeft
    int VerticalAlignment = -4160;   // xlTop
};

// The automation members the export calls, one method each; addresses are
// "A1" or "A1:B2", lists of them joined with ";".
class SpreadsheetServer {
public:
    virtual ~SpreadsheetServer() = default;
    // The application made, screen updating and alerts off, a workbook
    // added and its first sheet taken; false when no program starts.
    virtual bool Start() = 0;
    virtual void SetScreenUpdating(bool on) = 0;
    virtual void SetDisplayAlerts(bool on) = 0;
    virtual void SetVisible(bool on) = 0;
    virtual void SetColumnWidth(int column, double width) = 0;
    virtual void SetMargins(double left, double top, double right, double bottom) = 0;
    virtual void SetOrientation(int orientation) = 0; // 1 portrait, 2 landscape
    // Range := Worksheet.Range(first, last).
    virtual void SelectRange(const QString &first, const QString &last) = 0;
    virtual void RangeSelect() = 0;
    // A manual page break above the row.
    virtual void SetPageBreak(int row) = 0;
    virtual void SetRowHeight(const QString &addresses, double points) = 0;
    virtual void AddStyle(const SpreadsheetStyle &style) = 0;
    virtual void SetStyle(const QString &addresses, const QString &style) = 0;
    // Edge 7 left, 8 top, 9 bottom, 10 right; continuous line.
    virtual void SetBorder(const QString &addresses, int edge) = 0;
    virtual void SetMergeCells(const QString &addresses) = 0;
    // Pastes a bitmap into the selected range; the picture's number (from 1)
    // then gets its place moved by (1, 1) and its size in points.
    virtual void PastePicture(const QImage &bitmap) = 0;
    virtual void SetPictureBounds(int number, double width, double height) = 0;
    // Range.Value := the array (rows of the selected range).
    virtual void SetValues(const std::vector<std::vector<platform::Variant>> &values) = 0;
    virtual void SetWrapText() = 0;
    // The workbook saved in the program's normal format; false on failure.
    virtual bool SaveAs(const QString &fileName) = 0;
    virtual void Quit() = 0;
};

// Where the export gets its server: none by default (the export then
// reports that no spreadsheet program could be started).
class SpreadsheetServers {
public:
    virtual ~SpreadsheetServers() = default;
    virtual std::unique_ptr<SpreadsheetServer> Create() { return nullptr; }
};

inline SpreadsheetServers &spreadsheetServers()
{
    return platform::Service<SpreadsheetServers>::get();
}

// The automation objects of one export.
class TFrExcel {
public:
    std::unique_ptr<SpreadsheetServer> Excel;
    bool Connected = false;

    void StartExcel();
    void SetVisible(bool on);
    // 1 "A" .. 26 "Z", 27 "AA" ..
    static QString ColumnName(int n);
    static QString CellName(int column, int row);
    void SetColumnWidth(int column, double width);
    void SetupPage(int orientation, const double margins[4]);
    void SelectRange(int column, int row, int rows, int columns);
};

// Row heights in points: report units / 1.32 to the nearest quarter point.
double RowHeightPoints(double units);

// Addresses joined with ";" into texts of at most 255 characters.
QStringList JoinAddresses(const QStringList &addresses);

// What the spreadsheet export's dialog shows and gives back.
struct ExcelExportChoices {
    bool ExportPictures = true;
    QString Range;
    bool OpenAfterExport = false;
};

class ExcelExportDialogs {
public:
    virtual ~ExcelExportDialogs() = default;
    virtual int ShowExcelExport(ExcelExportChoices &) { return 1; }
};

inline ExcelExportDialogs &excelExportDialogs()
{
    return platform::Service<ExcelExportDialogs>::get();
}

class TfrOLEExcelExport : public ExportFilter {
public:
    TfrOLEExcelExport();
    ~TfrOLEExcelExport() override;

    bool Wysiwyg = true;
    bool AsText = false;
    // Kept with the component; they change nothing in the export.
    bool CellsAlign = true, CellsBorders = true, CellsFillColor = true, CellsFontColor = true,
         CellsFontName = true, CellsFontSize = true, CellsFontStyle = true, CellsMerged = true,
         CellsWrapWords = true, ExportPicturesProperty = true, HighQuality = true,
         OpenExcelAfterExport = false, PageBreaksProperty = true;
    double TopMargin = 0, LeftMargin = 0;

    // The dialog's working state.
    bool ExportPictures = true;
    bool OpenAfterExport = false;
    QString PageRange;

    int ShowModal() override;
    void OnBeginDoc() override;
    void OnBeginPage() override;
    void OnData(int x, int y, View *view) override;
    void OnEndPage() override;
    void DoExport(const QString &fileName);

private:
    bool pageChosen() const;
    void fillWorkbook();

    QSet<int> pages_;
    int exportPageNo_ = 0;
    bool firstPage_ = true;
    int orientation_ = 1;
    double margins_[4] = {0, 0, 0, 0};
    std::unique_ptr<TfrIEMatrix> matrix_;
    std::unique_ptr<TFrExcel> excel_;
    bool registered_ = false;
};

} // namespace reports
