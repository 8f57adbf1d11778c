#pragma once
// The program's own spreadsheet server: it keeps what the export's calls
// set (cells, values, named styles, borders, merges, row heights, column
// widths, page breaks, pictures, page set-up) and writes it as an ".xlsx"
// workbook when saved.

#include "reports/export/ExcelExport.h"

#include <map>

namespace reports {

class XlsxWorkbook : public SpreadsheetServer {
public:
    bool Start() override { return true; }
    void SetScreenUpdating(bool) override {}
    void SetDisplayAlerts(bool) override {}
    // No program window to show: the file is opened by the user's program.
    void SetVisible(bool) override {}
    void SetColumnWidth(int column, double width) override { columnWidths_[column] = width; }
    void SetMargins(double left, double top, double right, double bottom) override;
    void SetOrientation(int orientation) override { landscape_ = orientation == 2; }
    void SelectRange(const QString &first, const QString &last) override;
    void RangeSelect() override {}
    void SetPageBreak(int row) override { breaks_.push_back(row); }
    void SetRowHeight(const QString &addresses, double points) override;
    void AddStyle(const SpreadsheetStyle &style) override { styles_[style.Name] = style; }
    void SetStyle(const QString &addresses, const QString &style) override;
    void SetBorder(const QString &addresses, int edge) override;
    void SetMergeCells(const QString &addresses) override;
    void PastePicture(const QImage &bitmap) override;
    void SetPictureBounds(int number, double width, double height) override;
    void SetValues(const std::vector<std::vector<platform::Variant>> &values) override;
    void SetWrapText() override { wrap_ = true; }
    bool SaveAs(const QString &fileName) override;
    void Quit() override {}

    // A cell range, 1-based and inclusive.
    struct Area {
        int top = 1, left = 1, bottom = 1, right = 1;
    };
    // "A1", "B2:D3" and lists of them joined with ";"; unreadable items are
    // left out.
    static std::vector<Area> ParseAddresses(const QString &addresses);

private:
    struct Cell {
        platform::Variant value;
        QString style;
        int borders = 0; // 1 left, 2 top, 4 bottom, 8 right
    };
    struct Picture {
        Area at;
        QImage image;
        double width = 0, height = 0; // points; 0 for the image's own size
    };
    Cell &cell(int row, int column) { return cells_[{row, column}]; }

    std::map<std::pair<int, int>, Cell> cells_;
    std::map<QString, SpreadsheetStyle> styles_;
    std::map<int, double> rowHeights_, columnWidths_;
    std::vector<int> breaks_;
    std::vector<Area> merges_;
    std::vector<Picture> pictures_;
    Area range_;
    double margins_[4] = {-1, -1, -1, -1};
    bool landscape_ = false;
    bool wrap_ = false;
};

// Makes the program's own server for every export.
class XlsxServers : public SpreadsheetServers {
public:
    std::unique_ptr<SpreadsheetServer> Create() override { return std::make_unique<XlsxWorkbook>(); }
};

} // namespace reports
