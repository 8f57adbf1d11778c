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
