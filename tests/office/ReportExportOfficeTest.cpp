// Report exports opened by another program: LibreOffice converts the RTF
// written in paragraph and in table mode to text and finds every piece,
// Cyrillic and RTF's own signs included; it opens the exports of the
// report every export is checked with. Skipped when LibreOffice is not
// installed (label "office").

#include "../reports/ExportFixture.h"
#include "../reports/ExportGolden.h"

#include "reports/ExcelExport.h"
#include "reports/ReportLibrary.h"
#include "reports/ReportViews.h"
#include "reports/RtfExport.h"
#include "reports/XlsxWorkbook.h"
#include "support/Office.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace reports;

TEST(OfficeReportExport, RtfOpensWithItsTexts)
{
    const QString office = testsupport::officeProgram();
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the exported RTF is not checked by another program";
    resetLibrary();
    const QStringList texts = {QStringLiteral("Кадастровый № 50:12 {часть}"), QStringLiteral("C:\\карты"),
                               QStringLiteral("Площадь"), QStringLiteral("1234,5")};
    testsupport::TempFolder dir;
    for (const bool table : {false, true}) {
        SCOPED_TRACE(table ? "table" : "paragraphs");
        const QString file = dir.file(table ? "table.rtf" : "paragraphs.rtf");
        {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            TfrRTFExport filter;
            filter.ConvertToTable = table;
            filter.Stream = &out;
            MemoView memo;
            filter.OnBeginDoc();
            for (int page = 0; page < 2; ++page) {
                filter.OnBeginPage();
                for (int i = 0; i < 2; ++i) {
                    memo.Alignment = i == 1 ? frtaRight : frtaLeft;
                    memo.Font.Style = i == 0 ? 2 : 0;
                    const int left = i * 300;
                    filter.OnText(QRect(left, 14, 300, 14), left + 2 + (i == 1 ? 200 : 0), 14,
                                  texts[page * 2 + i], 0, &memo);
                }
                filter.OnEndPage();
            }
            filter.OnEndDoc();
        }
        const QString text = testsupport::readUtf8(testsupport::officeConvert(office, file, dir.path(),
                                                                 QStringLiteral("txt:Text (encoded):UTF8")));
        ASSERT_FALSE(text.isEmpty());
        for (const QString &t : texts)
            EXPECT_TRUE(text.contains(t)) << t.toStdString() << " in\n" << text.toStdString();
    }
    resetLibrary();
}

namespace {

// The rows of a converted document, each as its cells joined by tabs, with
// the blanks inside a cell made single: paragraphs from text (a tab before
// every piece), tables from HTML.
QStringList paragraphRows(const QString &text)
{
    QStringList rows;
    for (QString line : text.split(u'\n')) {
        line.remove(QChar(0xFEFF));
        QStringList cells = line.split(u'\t');
        for (QString &c : cells)
            c = c.simplified();
        cells.removeAll(QString());
        if (!cells.isEmpty())
            rows << cells.join(u'\t');
    }
    return rows;
}

QStringList tableRows(const QString &html)
{
    static const QRegularExpression row(QStringLiteral("<tr[^>]*>(.*?)</tr>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cell(QStringLiteral("<td[^>]*>(.*?)</td>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QStringList rows;
    for (const auto &r : row.globalMatch(html)) {
        QStringList cells;
        for (const auto &c : cell.globalMatch(r.captured(1)))
            cells << c.captured(1).remove(tag).simplified();
        rows << cells.join(u'\t');
    }
    return rows;
}

} // namespace

// The two-page report every export is checked with: the RTF in both modes
// shows each line's pieces as cells of one row, and the workbook holds the
// texts and numbers in the cells the export matrix gave them (compared
// with the golden rows and sheet as LibreOffice reads them).
TEST(OfficeReportExport, TheFixtureReportOpensWithItsCells)
{
    const QString office = testsupport::officeProgram();
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the exported report is not checked by another program";
    resetLibrary();
    resetRegistries();
    testsupport::TempFolder dir;
    {
        exportfixture::ParcelReport r(14);
        ASSERT_TRUE(r.report.PrepareReport());
        TfrRTFExport rtf;
        rtf.ShowDialog = false;
        rtf.ExportBitmaps = true;
        TfrOLEExcelExport excel;
        excel.ShowDialog = false;
        XlsxServers workbooks;
        platform::ScopedService<SpreadsheetServers> use(workbooks);
        for (const bool table : {false, true}) {
            SCOPED_TRACE(table ? "table" : "paragraphs");
            rtf.ConvertToTable = table;
            const QString file = dir.file(table ? "table.rtf" : "paragraphs.rtf");
            r.report.ExportTo(&rtf, file);
            const QString converted = testsupport::readUtf8(testsupport::officeConvert(
                office, file, dir.path(), table ? QStringLiteral("html") : QStringLiteral("txt:Text (encoded):UTF8")));
            ASSERT_FALSE(converted.isEmpty());
            const QStringList rows = table ? tableRows(converted) : paragraphRows(converted);
            exportfixture::expectGolden(QStringLiteral("parcels-rtf-rows.txt"), rows.join(u'\n').toUtf8() + '\n');
        }
        const QString book = dir.file("parcels.xlsx");
        r.report.ExportTo(&excel, book);
        const QString csv = testsupport::readUtf8(testsupport::officeConvert(
            office, book, dir.path(), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76")));
        ASSERT_FALSE(csv.isEmpty());
        exportfixture::expectGolden(QStringLiteral("parcels.csv"), csv.toUtf8());
    }
    resetRegistries();
    resetLibrary();
}
