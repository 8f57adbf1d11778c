// Report exports opened by another program: LibreOffice converts the RTF
// written in paragraph and in table mode to text and finds every piece,
// Cyrillic and RTF's own signs included. Skipped when LibreOffice is not
// installed (label "office").

#include "reports/ReportLibrary.h"
#include "reports/ReportViews.h"
#include "reports/RtfExport.h"
#include "support/Office.h"
#include "support/TestFiles.h"

#include <QFile>

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
