// The platform's printers over Qt Print Support, as far as this machine has
// any: the list and the selection agree, and a selected printer reports
// settings and device capabilities the report printer can use; print jobs
// into a PDF file.

#include "platform/ui/QtPrinterBackend.h"

#include "platform/gdi/PainterCanvas.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

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

// A print job into a PDF file: the paper set before it is the paper of its
// pages, each page holds what was painted on it, and a job can be dropped.
TEST(QtPrinterBackend, PrintJobIntoAPdfFile)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed: the printed pages are not checked";
    testsupport::TempFolder dir;
    platform::QtPrinterBackend printers;
    printers.setOutputFile(dir.file(QStringLiteral("job.pdf")));
    platform::DeviceMode a4;
    a4.paperSize = 9;
    a4.orientation = 2;
    printers.setDeviceMode(a4);
    const platform::PrinterCaps caps = printers.caps();
    ASSERT_GT(caps.logPixelsX, 0);
    EXPECT_NEAR(caps.physicalWidth * 254.0 / caps.logPixelsX, 2970, 2);
    EXPECT_NEAR(caps.physicalHeight * 254.0 / caps.logPixelsY, 2100, 2);

    QPaintDevice *device = printers.beginDoc(QStringLiteral("План участка"));
    ASSERT_NE(device, nullptr);
    {
        using namespace platform::gdi;
        PainterCanvas canvas(*device, PainterCanvas::metricsOf(*device));
        EXPECT_TRUE(printers.printing());
        EXPECT_EQ(printers.beginDoc(QStringLiteral("second")), nullptr); // one job at a time
        canvas.setPen(Pen{PS_NULL, 0, 0});
        canvas.setBrush(Brush{BS_SOLID, rgb(0, 0, 0), 0});
        // A box in the left half of page 1, in the right half of page 2
        // (device units of the printable area).
        const int w = caps.pageWidth, h = caps.pageHeight;
        canvas.rectangle(Rect{w / 10, h / 4, w * 4 / 10, h * 3 / 4});
        ASSERT_TRUE(printers.newPage());
        canvas.rectangle(Rect{w * 6 / 10, h / 4, w * 9 / 10, h * 3 / 4});
    }
    EXPECT_FALSE(printers.printing());

    QProcess p;
    p.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"),
                       dir.file(QStringLiteral("job.pdf")), dir.file(QStringLiteral("page"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QStringList pages = QDir(dir.path()).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(pages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QImage page(dir.file(pages[i]));
        ASSERT_FALSE(page.isNull());
        EXPECT_GT(page.width(), page.height()); // landscape
        const auto dark = [&](double fx) {
            return qGray(page.pixel(static_cast<int>(page.width() * fx), page.height() / 2)) < 64;
        };
        EXPECT_EQ(dark(0.3), i == 0) << "page " << i + 1;
        EXPECT_EQ(dark(0.7), i == 1) << "page " << i + 1;
    }
}
