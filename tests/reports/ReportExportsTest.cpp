// One built report of two pages written through the export road by every
// registered filter: plain and DOS text, RTF paragraphs and tables, and the
// spreadsheet (the calls it makes, and the sheet the program's own workbook
// writer puts into the ".xlsx"), each compared with its golden file under
// tests/reports/exports. TOLVANE_WRITE_GOLDEN=1 writes them anew.

#include "ExportFixture.h"
#include "ExportGolden.h"
#include "RecordingSpreadsheet.h"
#include "ReportTestSupport.h"

#include "reports/export/ExcelExport.h"
#include "reports/export/RtfExport.h"
#include "reports/export/TextExport.h"
#include "reports/export/XlsxWorkbook.h"
#include "support/TestFiles.h"

#include <unzip.h>

#include <gtest/gtest.h>

namespace {

using namespace exportfixture;

class ReportExportsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
    }
    void TearDown() override
    {
        resetRegistries();
        resetLibrary();
    }
};

// One member of a zip archive; empty when it is missing.
QByteArray zipMember(const QString &zip, const char *name)
{
    QByteArray out;
    unzFile z = unzOpen(QFile::encodeName(zip).constData());
    if (!z)
        return out;
    if (unzLocateFile(z, name, 1) == UNZ_OK && unzOpenCurrentFile(z) == UNZ_OK) {
        char buffer[4096];
        int n;
        while ((n = unzReadCurrentFile(z, buffer, sizeof buffer)) > 0)
            out.append(buffer, n);
        unzCloseCurrentFile(z);
    }
    unzClose(z);
    return out;
}

TEST_F(ReportExportsTest, EveryFilterWritesTheGoldenFiles)
{
    testsupport::TempFolder folder;
    ParcelReport r(14);
    ASSERT_TRUE(r.report.PrepareReport()) << library().State.ClassErrorText.toStdString();
    ASSERT_EQ(r.report.EMFPages->Count(), 2);

    // The filters as the program holds them: registered while they live.
    TfrTextExport textFilter;
    TfrRTFExport rtfFilter;
    TfrOLEExcelExport excelFilter;
    RecordingServers recording;
    XlsxServers workbooks;

    SpreadsheetServers none;
    auto text = [](bool frames, bool dos) {
        return [=](ExportFilter &f) {
            auto &t = static_cast<TfrTextExport &>(f);
            t.ExportFrames = frames;
            t.UsePseudographic = t.ConvertToOEM = dos;
        };
    };
    auto rtf = [](bool bitmaps, bool table) {
        return [=](ExportFilter &f) {
            auto &t = static_cast<TfrRTFExport &>(f);
            t.ExportBitmaps = bitmaps;
            t.ConvertToTable = table;
        };
    };
    auto member = [](const char *name) {
        return [name](const QString &file) { return zipMember(file, name); };
    };
    const struct {
        const char *golden;
        const char *filter;
        std::function<void(ExportFilter &)> choose;
        SpreadsheetServers *servers = nullptr;
        // What is compared: the file itself, or a part of it.
        std::function<QByteArray(const QString &file)> result;
    } cases[] = {
        {"parcels.txt", "TfrTextExport", text(true, false), nullptr, {}},
        {"parcels-dos.txt", "TfrTextExport", text(true, true), nullptr, {}},
        {"parcels-paragraphs.rtf", "TfrRTFExport", rtf(true, false), nullptr, {}},
        {"parcels-table.rtf", "TfrRTFExport", rtf(false, true), nullptr, {}},
        {"parcels-calls.txt", "TfrOLEExcelExport", {}, &recording,
         [&](const QString &) { return recording.log.join(u'\n').toUtf8() + '\n'; }},
        {"parcels-sheet.xml", "TfrOLEExcelExport", {}, &workbooks, member("xl/worksheets/sheet1.xml")},
        {"parcels-styles.xml", "TfrOLEExcelExport", {}, &workbooks, member("xl/styles.xml")},
    };
    QStringList used;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.golden);
        const auto &filters = ExportFilters();
        const auto it = std::find_if(filters.begin(), filters.end(),
                                     [&](const ExportFilterInfo &f) { return f.ClassName == c.filter; });
        ASSERT_NE(it, filters.end());
        used << it->ClassName;
        ExportFilter &filter = *it->Filter;
        filter.ShowDialog = false;
        if (c.choose)
            c.choose(filter);
        platform::ScopedService<SpreadsheetServers> use(c.servers ? *c.servers : none);
        const QString file = folder.file(QString::fromUtf8(c.golden));
        r.report.ExportTo(&filter, file);
        expectGolden(QString::fromUtf8(c.golden), c.result ? c.result(file) : readFile(file));
    }
    for (const ExportFilterInfo &f : ExportFilters())
        EXPECT_TRUE(used.contains(f.ClassName)) << f.ClassName.toStdString() << " exported nothing";
}

} // namespace
