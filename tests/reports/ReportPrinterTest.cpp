// The report printer over the platform's printers: the virtual printer's
// paper table and metrics, reading and writing a real printer's settings,
// and the settings comparison the printing loop relies on.

#include "reports/model/ReportPrinter.h"

#include "support/FakePrinter.h"
#include "ReportTestSupport.h"

#include <gtest/gtest.h>

using namespace reports;

namespace {

// A printer of 600 dpi with A4 paper and 1/6 inch unprintable margins.
FakePrinterBackend a4Printer()
{
    FakePrinterBackend fake;
    fake.names = {"Laser", "Ink"};
    fake.selected = 1;
    fake.mode.paperSize = 9;
    fake.mode.orientation = 1;
    fake.mode.defaultSource = 7;
    fake.printerCaps = {4960, 7016, 100, 100, 600, 600, 4760, 6816};
    fake.papers = {{9, "A4"}, {1, "Letter"}};
    fake.binList = {{7, "Лоток 1"}, {8, "Лоток 2"}};
    return fake;
}

} // namespace

TEST(ReportPrinter, WithoutPrintersTheVirtualPrinterServes)
{
    resetReportPrinter();
    EXPECT_EQ(ReportPrinter().Printers, QStringList{"Виртуальный принтер"});
    EXPECT_TRUE(PrinterReady());
    // New pages get A4 with its size, not a code no paper row matches.
    EXPECT_EQ(DefaultPaperSize(), 9);
    EXPECT_EQ(ReportPrinter().PaperWidth, 2100);
    EXPECT_EQ(ReportPrinter().PaperHeight, 2970);
    PageMetrics a4;
    ReportPrinter().GetPageMetrics(a4);
    EXPECT_EQ(a4.PrintWidth, 758 - 36);

    Printer printer;
    printer.SetSystemPrinter(nullptr);
    EXPECT_EQ(printer.PaperSizesCount, 67);
    EXPECT_EQ(printer.PaperNames.value(8), "A4 210 x 297 мм");
    EXPECT_EQ(printer.PaperNames.value(66), "Другой");
    EXPECT_EQ(printer.PaperSizeIndex(9), 8);
    EXPECT_EQ(printer.PaperSizeIndex(49), 66);

    printer.SetPageSettings(9, 0, 0, -1, 1, true);
    EXPECT_EQ(printer.PaperWidth, 2970);
    EXPECT_EQ(printer.PaperHeight, 2100);
    PageMetrics m;
    m.DevicePaperWidth = 77; // device values are left as they were
    printer.GetPageMetrics(m);
    EXPECT_EQ(m.PaperWidth, 1071);
    EXPECT_EQ(m.PaperHeight, 758);
    EXPECT_EQ(m.OffsetX, 18);
    EXPECT_EQ(m.OffsetY, 18);
    EXPECT_EQ(m.PrintWidth, 1035);
    EXPECT_EQ(m.PrintHeight, 722);
    EXPECT_EQ(m.DevicePaperWidth, 77);

    // A user size keeps what was set.
    printer.SetPageSettings(256, 1234, 567, -1, 0, true);
    EXPECT_EQ(printer.PaperWidth, 1234);
    EXPECT_EQ(printer.PaperHeight, 567);
}

TEST(ReportPrinter, SameSettings)
{
    Printer printer;
    printer.SetSystemPrinter(nullptr);
    printer.SetPageSettings(256, 1000, 2000, 3, 0, true);
    struct Case {
        int code, width, height, bin, orientation;
        bool same;
    } cases[] = {
        {256, 1001, 1999, 5, 0, true},  // user size: within 1, bin not compared
        {256, 1002, 2000, 3, 0, false}, // a difference of 2
        {256, 1000, 2000, 3, 1, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(printer.SameSettings(c.code, c.width, c.height, c.bin, c.orientation), c.same) << c.width;

    printer.SetPageSettings(9, 0, 0, 4, 0, true);
    const Case coded[] = {
        {9, 0, 0, 4, 0, true},
        {9, 0, 0, 5, 0, false},       // another bin
        {9, 0, 0, 0x1FFFF, 0, true},  // the default bin in its low 16 bits
        {9, 0, 0, -1, 0, true},
        {9, 0, 0, 4, 1, false},
        {8, 0, 0, 4, 0, false},
    };
    for (const Case &c : coded)
        EXPECT_EQ(printer.SameSettings(c.code, c.width, c.height, c.bin, c.orientation), c.same) << c.bin;

    // Sizes of a damaged prepared report: their difference passes the
    // 32-bit range (it wrapped round to "the same paper").
    printer.SetPageSettings(256, 1766850564, 2000, -1, 0, true);
    const Case extreme[] = {
        {256, -380633084, 2000, -1, 0, false},
        {256, 1766850565, 2000, -1, 0, true},
        {256, 1766850564, -2147483647, -1, 0, false},
    };
    for (const Case &c : extreme)
        EXPECT_EQ(printer.SameSettings(c.code, c.width, c.height, c.bin, c.orientation), c.same) << c.width << " " << c.height;
}

TEST(ReportPrinter, ReadsARealPrinter)
{
    FakePrinterBackend fake = a4Printer();
    Printer printer;
    printer.SetSystemPrinter(&fake);
    EXPECT_EQ(printer.Printers, (QStringList{"Laser", "Ink", "Виртуальный принтер"}));
    EXPECT_EQ(printer.VirtualPrinterIndex, 2);
    EXPECT_EQ(printer.PrinterIndex(), 1);
    EXPECT_FALSE(printer.IsVirtual());
    EXPECT_EQ(printer.DeviceName, "Ink");
    EXPECT_EQ(printer.PaperSize, 9);
    EXPECT_EQ(printer.PaperWidth, 2100); // 4960 / 600 * 254 = 2099.7
    EXPECT_EQ(printer.PaperHeight, 2970);
    EXPECT_EQ(printer.PaperNames, (QStringList{"A4", "Letter"}));
    EXPECT_EQ(printer.PaperSizeIndex(1), 1);
    EXPECT_EQ(printer.PaperSizeIndex(8), 1);
    EXPECT_EQ(printer.BinNames, (QStringList{"По умолчанию", "Лоток 1", "Лоток 2"}));
    EXPECT_EQ(printer.BinsCount, 3);
    EXPECT_EQ(printer.BinIndex(8), 2);
    EXPECT_EQ(printer.BinIndex(0xFFFF), 0);
    EXPECT_EQ(printer.BinIndex(99), 0);
    EXPECT_EQ(printer.Bin, 7);

    PageMetrics m;
    printer.GetPageMetrics(m);
    const PageMetrics expected{4960, 7016, 757, 1071, 100, 100, 15, 15, 4760, 6816, 727, 1041};
    EXPECT_EQ(m, expected);

    // Choosing the other printer selects it and takes the driver's defaults.
    printer.SetPrinterIndex(0);
    EXPECT_EQ(fake.selected, 0);
    EXPECT_EQ(fake.resets, 1);
    EXPECT_EQ(printer.DeviceName, "Laser");
    // The virtual printer is chosen without asking the system.
    printer.SetPrinterIndex(2);
    EXPECT_EQ(fake.selected, 0);
    EXPECT_EQ(printer.PaperSizesCount, 67);
}

TEST(ReportPrinter, WritesSettingsTheDriverThenReports)
{
    FakePrinterBackend fake = a4Printer();
    Printer printer;
    printer.SetSystemPrinter(&fake);

    printer.SetPageSettings(8, 0, 0, -1, 1, false);
    ASSERT_EQ(fake.written.size(), 1u);
    EXPECT_EQ(fake.written[0].paperSize, 8);
    EXPECT_EQ(fake.written[0].orientation, 2);
    EXPECT_EQ(fake.written[0].defaultSource, 7); // the default bin writes nothing
    EXPECT_EQ(printer.Orientation, 1);           // read back from the driver

    printer.SetPageSettings(256, 1500, 1000, 8, 0, false);
    ASSERT_EQ(fake.written.size(), 2u);
    using F = platform::DeviceMode;
    EXPECT_EQ(fake.written[1].fields & (F::PaperLength | F::PaperWidth), F::PaperLength | F::PaperWidth);
    EXPECT_EQ(fake.written[1].paperWidth, 1500);
    EXPECT_EQ(fake.written[1].paperLength, 1000);
    EXPECT_EQ(fake.written[1].defaultSource, 8);

    // Same settings without force (as the driver reports the sheet), and any
    // settings during a print job, change nothing.
    fake.printerCaps.physicalWidth = 3543;
    fake.printerCaps.physicalHeight = 2362;
    printer.Refresh();
    printer.SetPageSettings(256, 1500, 1000, 8, 0, false);
    fake.busy = true;
    printer.SetPageSettings(9, 0, 0, -1, 0, true);
    EXPECT_EQ(fake.written.size(), 2u);
}

TEST(ReportPrinter, TheDriverDialog)
{
    FakePrinterBackend fake = a4Printer();
    Printer printer;
    printer.SetSystemPrinter(&fake);
    printer.ShowPrinterProperties(); // cancelled
    EXPECT_TRUE(fake.written.empty());
    platform::DeviceMode chosen = fake.mode;
    chosen.paperSize = 11;
    fake.dialogChoice = chosen;
    printer.ShowPrinterProperties();
    ASSERT_EQ(fake.written.size(), 1u);
    EXPECT_EQ(fake.written[0].paperSize, 11);
    EXPECT_EQ(printer.PaperSize, 9); // read again only by Refresh
    printer.Refresh();
    EXPECT_EQ(printer.PaperSize, 11);
}

TEST(ReportPrinter, UnusablePrintersFallBackAndTablesKeepTheirSize)
{
    FakePrinterBackend fake = a4Printer();
    fake.unreadable = true;
    Printer printer;
    printer.SetSystemPrinter(&fake);
    EXPECT_TRUE(printer.IsVirtual());
    EXPECT_EQ(printer.PaperSizesCount, 67);

    // A printer offering more papers and bins than the tables hold gets its
    // first ones.
    FakePrinterBackend many = a4Printer();
    for (int i = 0; i < 300; ++i) {
        many.papers.push_back({1000 + i, QString::number(i)});
        many.binList.push_back({100 + i, QString::number(i)});
    }
    Printer crowded;
    crowded.SetSystemPrinter(&many);
    EXPECT_EQ(crowded.PaperSizesCount, 256);
    EXPECT_EQ(crowded.PaperNames.size(), 256);
    EXPECT_EQ(crowded.BinsCount, 65);
    EXPECT_EQ(crowded.BinNames.size(), 65);
    EXPECT_EQ(crowded.Bins[64], 100 + 61);
}
