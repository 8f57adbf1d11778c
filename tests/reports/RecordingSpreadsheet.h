#pragma once
// A spreadsheet server that records every call with its arguments, one line
// each, for golden call logs of the spreadsheet export.

#include "reports/export/ExcelExport.h"

#include <QFile>
#include <QStringList>

namespace reportbuild {

class RecordingSpreadsheet : public reports::SpreadsheetServer {
public:
    explicit RecordingSpreadsheet(QStringList &log, bool saves = true) : log_(log), saves_(saves) {}
    bool Start() override { return add("Start"), true; }
    void SetScreenUpdating(bool on) override { add(QStringLiteral("ScreenUpdating %1").arg(on)); }
    void SetDisplayAlerts(bool on) override { add(QStringLiteral("DisplayAlerts %1").arg(on)); }
    void SetVisible(bool on) override { add(QStringLiteral("Visible %1").arg(on)); }
    void SetColumnWidth(int column, double width) override
    {
        add(QStringLiteral("ColumnWidth %1 %2").arg(column).arg(width));
    }
    void SetMargins(double l, double t, double r, double b) override
    {
        add(QStringLiteral("Margins %1 %2 %3 %4").arg(l).arg(t).arg(r).arg(b));
    }
    void SetOrientation(int o) override { add(QStringLiteral("Orientation %1").arg(o)); }
    void SelectRange(const QString &first, const QString &last) override
    {
        add(QStringLiteral("Range %1:%2").arg(first, last));
    }
    void RangeSelect() override { add("Select"); }
    void SetPageBreak(int row) override { add(QStringLiteral("PageBreak %1").arg(row)); }
    void SetRowHeight(const QString &a, double h) override { add(QStringLiteral("RowHeight %1 %2").arg(a).arg(h)); }
    void AddStyle(const reports::SpreadsheetStyle &s) override
    {
        add(QStringLiteral("Style %1 b%2 i%3 u%4 %5 %6 %7 %8 %9 %10")
                .arg(s.Name)
                .arg(s.Bold)
                .arg(s.Italic)
                .arg(s.Underline)
                .arg(s.FontName)
                .arg(s.FontSize)
                .arg(s.FontColor, 0, 16)
                .arg(s.InteriorColor, 0, 16)
                .arg(s.HorizontalAlignment)
                .arg(s.VerticalAlignment));
    }
    void SetStyle(const QString &a, const QString &s) override { add(QStringLiteral("SetStyle %1 %2").arg(a, s)); }
    void SetBorder(const QString &a, int edge) override { add(QStringLiteral("Border %1 %2").arg(a).arg(edge)); }
    void SetMergeCells(const QString &a) override { add(QStringLiteral("Merge %1").arg(a)); }
    void PastePicture(const QImage &b) override { add(QStringLiteral("Paste %1x%2").arg(b.width()).arg(b.height())); }
    void SetPictureBounds(int n, double w, double h) override
    {
        add(QStringLiteral("Picture %1 %2 %3").arg(n).arg(w).arg(h));
    }
    void SetValues(const std::vector<std::vector<platform::Variant>> &values) override
    {
        for (const auto &row : values) {
            QStringList cells;
            for (const platform::Variant &v : row)
                cells << (v.isEmpty() || v.isNull() ? QStringLiteral("-") : v.type() == platform::VarType::String
                                                                  ? u'"' + v.toString() + u'"'
                                                                  : v.toString());
            add(QStringLiteral("Values %1").arg(cells.join(u' ')));
        }
    }
    void SetWrapText() override { add("WrapText"); }
    bool SaveAs(const QString &fileName) override
    {
        add("SaveAs");
        if (!saves_)
            return false;
        QFile f(fileName);
        return f.open(QIODevice::WriteOnly) && f.write("workbook") == 8;
    }
    void Quit() override { add("Quit"); }

private:
    void add(const QString &line) { log_ << line; }
    QStringList &log_;
    bool saves_;
};

class RecordingServers : public reports::SpreadsheetServers {
public:
    QStringList log;
    bool saves = true;
    std::unique_ptr<reports::SpreadsheetServer> Create() override
    {
        return std::make_unique<RecordingSpreadsheet>(log, saves);
    }
};

} // namespace reportbuild
