#pragma once
// The platform's printer object as the report library reaches it: the list
// of installed printers and the selected one, the selected printer's device
// settings (paper, orientation, copies, bin), its paper sizes and bins, its
// device capabilities, and the driver's own settings dialog. The default
// service has no printer at all (the report library then uses its virtual
// printer); the program installs the Qt one (platform/ui/QtPrinterBackend),
// tests install a fake.
//
// Paper sizes are in tenths of a millimetre, device values in the printer's
// own pixels.

#include "platform/Service.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

class QPaintDevice;

namespace platform {

// The device settings of the selected printer. `fields` says which of the
// values the driver takes (a value whose bit is clear is not written).
struct DeviceMode {
    enum Field : unsigned {
        Orientation = 0x1,
        PaperSize = 0x2,
        PaperLength = 0x4,
        PaperWidth = 0x8,
        Copies = 0x100,
        DefaultSource = 0x200,
    };
    unsigned fields = Orientation | PaperSize | Copies | DefaultSource;
    int orientation = 1; // 1 portrait, 2 landscape
    int paperSize = 9;   // paper code (256: user size)
    int paperLength = 0; // user size, portrait height
    int paperWidth = 0;
    int copies = 1;
    int defaultSource = 0xFFFF; // bin code; 0xFFFF: the printer's default bin
    bool operator==(const DeviceMode &) const = default;
};

// What the printer's device context reports of itself.
struct PrinterCaps {
    int physicalWidth = 0;  // the whole sheet
    int physicalHeight = 0;
    int physicalOffsetX = 0; // unprintable left and top margins
    int physicalOffsetY = 0;
    int logPixelsX = 0;
    int logPixelsY = 0;
    int pageWidth = 0; // the printable area
    int pageHeight = 0;
};

// One paper size or bin the printer offers.
struct PrinterChoiceItem {
    int code = 0;
    QString name;
};

class PrinterBackend {
public:
    virtual ~PrinterBackend() = default;

    // The installed printers and the index of the selected one (-1: none).
    virtual QStringList printers() const { return {}; }
    virtual int printerIndex() const { return -1; }
    virtual void setPrinterIndex(int /*index*/) {}
    // The selected printer's device, driver and port names.
    virtual QString deviceName() const { return {}; }
    virtual QString driverName() const { return {}; }
    virtual QString portName() const { return {}; }
    // While a print job runs.
    virtual bool printing() const { return false; }
    // The selected printer's settings; none when they cannot be read.
    virtual std::optional<DeviceMode> deviceMode() { return std::nullopt; }
    // Gives the printer new settings; the driver may change what it cannot do.
    virtual void setDeviceMode(const DeviceMode & /*mode*/) {}
    // The driver's defaults for the selected printer.
    virtual void resetDeviceMode() {}
    virtual PrinterCaps caps() const { return {}; }
    virtual std::vector<PrinterChoiceItem> paperSizes() const { return {}; }
    virtual std::vector<PrinterChoiceItem> bins() const { return {}; }
    // The driver's settings dialog over a copy of the settings: true when the
    // user confirmed it (the copy then holds the choice).
    virtual bool editDeviceMode(DeviceMode & /*mode*/) { return false; }

    // The print job on the selected printer: begun under a title, it gives
    // the printer as the paint device its pages are painted on (none when
    // nothing can be printed); the job ends when that painting ends.
    virtual QPaintDevice *beginDoc(const QString & /*title*/) { return nullptr; }
    // Ends the page being painted and starts the next one.
    virtual bool newPage() { return false; }
    // Drops the job being painted.
    virtual void abortDoc() {}
    // Whether the printer makes the copies of a job itself, and how many.
    virtual bool canMakeCopies() const { return false; }
    virtual void setCopies(int /*copies*/) {}
};

inline PrinterBackend &printerBackend()
{
    return Service<PrinterBackend>::get();
}

// One row of the platform's table of paper sizes: the paper code and the
// portrait size; code 256 is the user size and has none.
struct PaperSizeRow {
    int code;
    int width;
    int height;
};

// The 67 standard paper sizes in their fixed order (the last is the user size).
const std::array<PaperSizeRow, 67> &paperSizeTable();
// The row of a paper code; none for a code the table lacks.
const PaperSizeRow *findPaperSize(int code);
// The code of the first standard paper of a size (tenths of a millimetre,
// either way round, within half a millimetre: page sizes kept in points come
// back that far off); 256, the user size, for any other size.
inline constexpr int kPaperSizeTolerance = 5;
int paperCodeOfSize(int width, int height);

} // namespace platform
