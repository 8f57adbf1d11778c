// Report exports opened by another program: LibreOffice converts the RTF
// written in paragraph and in table mode to text and finds every piece,
// Cyrillic and RTF's own signs included; it opens the exports of the
// report every export is checked with. Skipped when LibreOffice is not
// installed (label "office").

#include "../reports/ExportFixture.h"
#include "../reports/ExportGolden.h"
#include "../reports/ReportTestSupport.h"

#include "reports/export/ExcelExport.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "reports/export/RtfExport.h"
#include "reports/export/XlsxWorkbook.h"
#include "support/Office.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

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

// The rows of a converted document, each as its non-empty cells joined by
// tabs, with the blanks inside a cell made single: paragraphs from text (a
// tab before every piece), tables from HTML.
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
        // Empty cells only place the pieces on the row.
        cells.removeAll(QString());
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

namespace {

// The words of a PDF as pdftotext places them: text, page (from 1), left
// and right edges in points.
struct PdfWord {
    QString text;
    int page = 0;
    double left = 0, right = 0;
};

QList<PdfWord> pdfWords(const QString &pdftotext, const QString &pdf)
{
    static const QRegularExpression item(
        QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    QList<PdfWord> words;
    int page = 0;
    const QString html = runTool(pdftotext, {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    for (const auto &m : item.globalMatch(html)) {
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.append({m.captured(3), page, m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return words;
}

} // namespace

// The RTF of the two-page report in table mode, as LibreOffice lays it out,
// keeps the page break and puts the right-aligned amounts and sheet numbers
// where the paragraph mode (which shows them as the preview does) puts
// them: page 2's rows do not follow page 1's foot, and no amount sits in a
// cell without width.
TEST(OfficeReportExport, TableRtfKeepsThePagesAndPlacesOfTheAmounts)
{
    const QString office = testsupport::officeProgram();
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (office.isEmpty() || pdftotext.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) or pdftotext is not installed: the RTF tables are not checked";
    resetLibrary();
    resetRegistries();
    testsupport::TempFolder dir;
    QList<PdfWord> words[2];
    {
        exportfixture::ParcelReport r(14);
        ASSERT_TRUE(r.report.PrepareReport());
        TfrRTFExport rtf;
        rtf.ShowDialog = false;
        for (const bool table : {false, true}) {
            rtf.ConvertToTable = table;
            const QString file = dir.file(table ? "table.rtf" : "paragraphs.rtf");
            r.report.ExportTo(&rtf, file);
            const QString pdf = testsupport::officeConvert(office, file, dir.path(), QStringLiteral("pdf"));
            ASSERT_TRUE(QFile::exists(pdf)) << (table ? "table" : "paragraphs");
            words[table] = pdfWords(pdftotext, pdf);
        }
    }
    auto find = [](const QList<PdfWord> &list, const QString &text) {
        for (const PdfWord &w : list)
            if (w.text == text)
                return w;
        return PdfWord{};
    };
    const QList<PdfWord> &paragraphs = words[0], &table = words[1];
    ASSERT_FALSE(table.isEmpty());
    EXPECT_EQ(table.last().page, 2) << "the table's pages ran together";
    // Amounts and row numbers (right-aligned), left-aligned names and heads.
    for (const char *text : {"9,25", "18,5", "92,5", "20,25", "29,5", "571,25", "1", "2", "Итого", "Луговой,", "№"}) {
        SCOPED_TRACE(text);
        const PdfWord p = find(paragraphs, QString::fromUtf8(text));
        const PdfWord t = find(table, QString::fromUtf8(text));
        ASSERT_GT(p.page, 0);
        ASSERT_GT(t.page, 0) << "missing from the table";
        EXPECT_EQ(t.page, p.page);
        EXPECT_NEAR(t.right, p.right, 3);
        EXPECT_NEAR(t.left, p.left, 3);
    }
    // Each page's foot ("Лист" and the sheet's number) on its page, where
    // the paragraphs put it.
    QList<PdfWord> foots[2];
    for (int mode = 0; mode < 2; ++mode)
        for (qsizetype i = 0; i + 1 < words[mode].size(); ++i)
            if (words[mode][i].text == QStringLiteral("Лист"))
                foots[mode] << words[mode][i + 1];
    ASSERT_EQ(foots[0].size(), 2);
    ASSERT_EQ(foots[1].size(), 2);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(foots[1][k].text, QString::number(k + 1));
        EXPECT_EQ(foots[1][k].page, k + 1);
        EXPECT_NEAR(foots[1][k].right, foots[0][k].right, 3);
    }
    resetRegistries();
    resetLibrary();
}
