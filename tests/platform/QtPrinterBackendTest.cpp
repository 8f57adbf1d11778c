// The platform's printers over Qt Print Support, as far as this machine has
// any: the list and the selection agree, and a selected printer reports
// settings and device capabilities the report printer can use.

#include "platform/ui/QtPrinterBackend.h"

#include <gtest/gtest.h>

TEST(QtPrinterBackend, ListsThePrintSystemsPrinters)
{
    platform::QtPrinterBackend printers;
    const QStringList names = printers.printers();
    if (names.isEmpty()) {
        EXPECT_EQ(printers.printerIndex(), -1);
        EXPECT_FALSE(printers.deviceMode().has_value());
        return;
    }
    ASSERT_GE(printers.printerIndex(), 0);
    EXPECT_EQ(printers.deviceName(), names[printers.printerIndex()]);
    const auto mode = printers.deviceMode();
    ASSERT_TRUE(mode.has_value());
    EXPECT_GT(mode->paperSize, 0);
    const platform::PrinterCaps caps = printers.caps();
    EXPECT_GT(caps.logPixelsX, 0);
    EXPECT_GE(caps.physicalWidth, caps.pageWidth);

    // A new paper and orientation reach the device.
    platform::DeviceMode a5 = *mode;
    a5.paperSize = 11;
    a5.orientation = 2;
    printers.setDeviceMode(a5);
    const auto changed = printers.deviceMode();
    ASSERT_TRUE(changed.has_value());
    EXPECT_EQ(changed->orientation, 2);
}

TEST(QtPrinterBackend, EveryStandardPaperComesBackAsItsCodeFromQtsPageSize)
{
    // Back as its own code, or as another code of the same size (Letter is
    // 1, 2 and 18; A4 is 9 and 10): never as a paper of another size.
    for (const platform::PaperSizeRow &row : platform::paperSizeTable()) {
        if (row.code == 256)
            continue;
        SCOPED_TRACE(row.code);
        const platform::Paper back = platform::paperOfPageSize(platform::pageSizeOfPaper({row.code, 0, 0}));
        const platform::PaperSizeRow *same = platform::findPaperSize(back.code);
        ASSERT_TRUE(same && back.code != 256);
        EXPECT_NEAR(same->width, row.width, platform::kPaperSizeTolerance);
        EXPECT_NEAR(same->height, row.height, platform::kPaperSizeTolerance);
        EXPECT_NEAR(back.width, row.width, platform::kPaperSizeTolerance);
        EXPECT_NEAR(back.length, row.height, platform::kPaperSizeTolerance);
    }
    const struct {
        int width, height, code;
    } sizes[] = {{2100, 2970, 9}, {2970, 2100, 9}, {2104, 2966, 9}, {2159, 2794, 1}, {1480, 2100, 11},
                 {2106, 2970, 256}, {1000, 1500, 256}};
    for (const auto &s : sizes)
        EXPECT_EQ(platform::paperCodeOfSize(s.width, s.height), s.code) << s.width << "x" << s.height;
    // A user size keeps its width and length both ways.
    const platform::Paper user = platform::paperOfPageSize(platform::pageSizeOfPaper({256, 1000, 1500}));
    EXPECT_EQ(user.code, 256);
    EXPECT_EQ(user.width, 1000);
    EXPECT_EQ(user.length, 1500);
}
