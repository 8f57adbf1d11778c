#pragma once
// TfrPrinter: the report library's one printer object. It lists the
// installed printers (through the platform's printer backend) and a virtual
// printer of its own as the last entry, keeps the paper, orientation and bin
// of the selected printer, and works out the page metrics a page is laid out
// and printed with. Without printers, or when a printer's settings cannot be
// read, the virtual printer serves, so reports still build and preview.
//
// Paper sizes are in tenths of a millimetre; report units are the library's
// screen pixels, 91.6256157635468 per inch.

#include "platform/Printing.h"

#include <QStringList>

#include <array>
#include <cstdint>

namespace reports {

inline constexpr double kReportUnitsPerInch = 91.6256157635468;
// Tenths of a millimetre as report units, rounded half to even.
int TenthsMmToUnits(int tenths);

struct PageMetrics {
    int DevicePaperWidth = 0;
    int DevicePaperHeight = 0;
    int PaperWidth = 0;
    int PaperHeight = 0;
    int DeviceOffsetX = 0;
    int DeviceOffsetY = 0;
    int OffsetX = 0;
    int OffsetY = 0;
    int DevicePrintWidth = 0;
    int DevicePrintHeight = 0;
    int PrintWidth = 0;
    int PrintHeight = 0;
    bool operator==(const PageMetrics &) const = default;
};

class Printer {
public:
    // Paper code 9 (A4), the paper names loaded.
    Printer();

    // Binds to the platform's printers: lists them with the virtual printer
    // last and reads the selected one (or applies the virtual one).
    void SetSystemPrinter(platform::PrinterBackend *system);
    void SetPrinterIndex(int index);
    int PrinterIndex() const { return printerIndex_; }
    bool IsVirtual() const { return printerIndex_ == VirtualPrinterIndex; }

    void ReadSettings();
    void ApplySettings();
    void SetPageSettings(int paperSize, int width, int height, int bin, std::uint8_t orientation, bool force);
    bool SameSettings(int paperSize, int width, int height, int bin, std::uint8_t orientation) const;
    void GetPageMetrics(PageMetrics &metrics) const;
    int PaperSizeIndex(int paperSize) const;
    int BinIndex(int bin) const;
    // The driver's settings dialog; the fields are read again by the next
    // SetSystemPrinter or Refresh.
    void ShowPrinterProperties();
    void Refresh() { ReadSettings(); }

    // Device, driver and port of the selected printer (at most 127 characters).
    QString DeviceName, DriverName, PortName;
    bool HasDeviceMode = false; // the selected printer's settings were read
    QStringList PaperNames, BinNames, Printers;
    int VirtualPrinterIndex = 0;
    std::uint8_t Orientation = 0; // 0 portrait, 1 landscape
    int PaperSize = 9;
    int PaperWidth = 0; // as the paper lies (swapped for landscape)
    int PaperHeight = 0;
    int Bin = -1;
    std::array<std::uint16_t, 256> PaperSizes{};
    int PaperSizesCount = 0;
    std::array<std::uint16_t, 256> Bins{};
    int BinsCount = 0;

private:
    bool hasSystemPrinters() const;
    void applyVirtual();
    void switchToVirtual();

    platform::PrinterBackend *system_ = nullptr;
    int printerIndex_ = 0;
    QStringList tableNames_;
};

// The one printer of the library, made and bound to the platform's printers
// on first use; DefaultPaperSize is the paper new pages get (without a
// printer the virtual printer's A4), PrinterReady is set once that set-up has
// ended.
Printer &ReportPrinter();
int DefaultPaperSize();
bool PrinterReady();
// Drops the printer so that the next use binds it afresh (tests).
void resetReportPrinter();

} // namespace reports
