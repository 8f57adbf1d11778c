#pragma once
// The platform's printers over Qt Print Support: the printers the print
// system (CUPS) offers, their paper sizes by their paper codes, device
// metrics from the printer's paint device, and Qt's page set-up dialog as the
// driver's settings dialog (shown through the user-answers service); print
// jobs on the printer or into a PDF file. The program installs it at start.

#include "platform/Printing.h"

#include <QPageSize>
#include <QPrinter>

#include <memory>

namespace platform {

// A paper: its code, and its portrait width and length in tenths of a
// millimetre.
struct Paper {
    int code = 9;
    int width = 0;
    int length = 0;
};
// The paper as Qt's page size (a user size or an unknown code by its width
// and length; A4 without them), and back: a page size Qt knows no code for
// takes the code of the standard paper of its size, else the user size.
QPageSize pageSizeOfPaper(const Paper &paper);
Paper paperOfPageSize(const QPageSize &size);

class QtPrinterBackend : public PrinterBackend {
public:
    QtPrinterBackend();
    ~QtPrinterBackend() override;

    QStringList printers() const override { return names_; }
    int printerIndex() const override { return index_; }
    void setPrinterIndex(int index) override;
    QString deviceName() const override;
    QString driverName() const override { return QStringLiteral("CUPS"); }
    QString portName() const override { return deviceName(); }
    bool printing() const override;
    std::optional<DeviceMode> deviceMode() override;
    void setDeviceMode(const DeviceMode &mode) override;
    void resetDeviceMode() override;
    PrinterCaps caps() const override;
    std::vector<PrinterChoiceItem> paperSizes() const override;
    bool editDeviceMode(DeviceMode &mode) override;
    QPaintDevice *beginDoc(const QString &title) override;
    bool newPage() override;
    void abortDoc() override;
    bool canMakeCopies() const override;
    void setCopies(int copies) override;

    // Print jobs go to this PDF file instead of the printer (empty: the
    // printer again).
    void setOutputFile(const QString &pdfFile);

    // The printer as a paint device, for the print job.
    QPrinter &device() { return *printer_; }

private:
    void applyOutput();

    QString outputFile_;
    QStringList names_;
    int index_ = -1;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace platform
