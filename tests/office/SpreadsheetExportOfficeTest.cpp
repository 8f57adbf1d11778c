// The spreadsheet export through the program's own workbook writer, opened
// by another program: LibreOffice converts the ".xlsx" to CSV and finds the
// texts and numbers in their cells, merged cells included. Skipped when
// LibreOffice is not installed (label "office").

#include "platform/Environment.h"
#include "reports/export/ExcelExport.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "reports/export/XlsxWorkbook.h"
#include "support/Office.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace reports;

TEST(OfficeSpreadsheetExport, WorkbookOpensWithItsCells)
{
    const QString office = testsupport::officeProgram();
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the exported workbook is not checked";
    resetLibrary();
    platform::ScopedService<platform::DecimalSeparator> comma(platform::DecimalSeparator{u','});
    XlsxServers servers;
    platform::ScopedService<SpreadsheetServers> use(servers);
    testsupport::TempFolder dir;
    const QString file = dir.file("book.xlsx");
    {
        TfrOLEExcelExport filter;
        filter.ShowDialog = false;
        filter.OnBeginDoc();
        const struct {
            int x, y, w, h;
            const char *text;
        } objects[] = {
            {0, 0, 100, 20, "Кадастровый номер"}, {100, 0, 60, 20, "12,5"}, {0, 20, 160, 20, "Широкий; текст"},
        };
        filter.OnBeginPage();
        for (const auto &o : objects) {
            MemoView memo;
            memo.SetBounds(o.x, o.y, o.w, o.h);
            memo.Memo = QStringList{QString::fromUtf8(o.text)};
            memo.FrameTyp = 15;
            filter.OnData(o.x, o.y, &memo);
        }
        LineView picture; // a picture-like object: a pasted bitmap
        picture.SetBounds(0, 40, 40, 20);
        filter.OnData(0, 40, &picture);
        filter.OnEndPage();
        filter.OnEndDoc();
        filter.OnAfterExport(file);
    }
    ASSERT_TRUE(QFile::exists(file));
    const QString csv = testsupport::readUtf8(testsupport::officeConvert(office, file, dir.path(),
                                                           QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76")));
    ASSERT_FALSE(csv.isEmpty());
    const QStringList lines = csv.split(u'\n');
    ASSERT_GE(lines.size(), 2);
    // The picture's column boundary at 40 splits the first text's cells:
    // merged A1:B1, the number in C1; the wide text merged over A2:C2.
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Кадастровый номер,,12.5"))) << csv.toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Широкий; текст,,"))) << csv.toStdString();
    resetLibrary();
}
