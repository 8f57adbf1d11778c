#include "reports/model/ReportPrinter.h"

#include "platform/Rounding.h"
#include "reports/language/ResourceTexts.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace reports {

using platform::roundToInt;

int TenthsMmToUnits(int tenths)
{
    return roundToInt(tenths * kReportUnitsPerInch / 254.0);
}

namespace {

// The unprintable margin of the virtual printer: 5 mm.
constexpr int kVirtualOffset = 50;
// The texts of the paper table follow the table's order from this number on.
constexpr int kFirstPaperText = 55008;
constexpr int kVirtualPrinterText = 55007;
constexpr int kDefaultBinText = 55435;
constexpr std::uint16_t kDefaultBin = 0xFFFF;
constexpr int kDefaultPaper = 9; // A4

QString limited(const QString &name)
{
    return name.left(127);
}

} // namespace

Printer::Printer()
{
    const auto &table = platform::paperSizeTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        tableNames_ << GetResourceText(kFirstPaperText + static_cast<int>(i));
}

bool Printer::hasSystemPrinters() const
{
    return system_ && !system_->printers().isEmpty();
}

void Printer::SetSystemPrinter(platform::PrinterBackend *system)
{
    Printers.clear();
    printerIndex_ = 0;
    system_ = system;
    if (hasSystemPrinters()) {
        Printers = system_->printers();
        printerIndex_ = std::max(0, system_->printerIndex());
    }
    Printers << GetResourceText(kVirtualPrinterText);
    VirtualPrinterIndex = static_cast<int>(Printers.size()) - 1;
    if (!hasSystemPrinters()) {
        printerIndex_ = VirtualPrinterIndex;
        HasDeviceMode = false;
        applyVirtual();
    } else {
        ReadSettings();
    }
}

void Printer::SetPrinterIndex(int index)
{
    if (index == printerIndex_)
        return;
    printerIndex_ = index;
    if (IsVirtual()) {
        applyVirtual();
    } else if (hasSystemPrinters()) {
        system_->setPrinterIndex(index);
        system_->resetDeviceMode();
        ReadSettings();
    }
}

void Printer::switchToVirtual()
{
    HasDeviceMode = false;
    SetPrinterIndex(VirtualPrinterIndex);
}

void Printer::ReadSettings()
{
    if (IsVirtual() || !hasSystemPrinters()) {
        applyVirtual();
        return;
    }
    try {
        DeviceName = limited(system_->deviceName());
        DriverName = limited(system_->driverName());
        PortName = limited(system_->portName());
        std::optional<platform::DeviceMode> mode = system_->deviceMode();
        if (!mode)
            mode = system_->deviceMode();
        const platform::PrinterCaps caps = system_->caps();
        if (!mode || caps.logPixelsX <= 0 || caps.logPixelsY <= 0) {
            switchToVirtual();
            return;
        }
        HasDeviceMode = true;
        PaperSize = mode->paperSize;
        PaperWidth = roundToInt(static_cast<double>(caps.physicalWidth) / caps.logPixelsX * 254);
        PaperHeight = roundToInt(static_cast<double>(caps.physicalHeight) / caps.logPixelsY * 254);

        // The tables hold 256 paper codes and 255 bins beside the default
        // one; a printer offering more gets its first ones listed.
        PaperSizes.fill(0);
        PaperNames.clear();
        const auto papers = system_->paperSizes();
        PaperSizesCount = static_cast<int>(std::min<std::size_t>(papers.size(), PaperSizes.size()));
        for (int i = 0; i < PaperSizesCount; ++i) {
            PaperSizes[i] = static_cast<std::uint16_t>(papers[i].code);
            PaperNames << papers[i].name.left(64);
        }

        Bin = mode->defaultSource;
        Bins.fill(0);
        Bins[0] = kDefaultBin;
        BinNames = QStringList{GetResourceText(kDefaultBinText)};
        const auto bins = system_->bins();
        const int binCount = static_cast<int>(std::min<std::size_t>(bins.size(), 64));
        for (int i = 0; i < binCount; ++i) {
            Bins[i + 1] = static_cast<std::uint16_t>(bins[i].code);
            BinNames << bins[i].name.left(24);
        }
        BinsCount = binCount + 1;
        Orientation = mode->orientation == 1 ? 0 : 1;
    } catch (...) {
        switchToVirtual();
    }
}

void Printer::applyVirtual()
{
    const auto &table = platform::paperSizeTable();
    PaperNames = tableNames_;
    PaperSizes.fill(0);
    for (std::size_t i = 0; i < table.size(); ++i)
        PaperSizes[i] = static_cast<std::uint16_t>(table[i].code);
    PaperSizesCount = static_cast<int>(table.size());
    if (PaperSize != 256) {
        if (const platform::PaperSizeRow *row = platform::findPaperSize(PaperSize)) {
            PaperWidth = row->width;
            PaperHeight = row->height;
            if (Orientation == 1)
                std::swap(PaperWidth, PaperHeight);
        }
    }
}

void Printer::ApplySettings()
{
    if (IsVirtual() || !hasSystemPrinters()) {
        applyVirtual();
        return;
    }
    std::optional<platform::DeviceMode> mode = system_->deviceMode();
    if (!mode) {
        switchToVirtual();
        return;
    }
    using F = platform::DeviceMode;
    if (PaperSize == 256) {
        mode->fields |= F::PaperLength | F::PaperWidth;
        mode->paperLength = PaperHeight;
        mode->paperWidth = PaperWidth;
    } else {
        mode->fields &= ~(F::PaperLength | F::PaperWidth);
    }
    if (mode->fields & F::PaperSize)
        mode->paperSize = PaperSize;
    if (mode->fields & F::Orientation)
        mode->orientation = Orientation == 0 ? 1 : 2;
    if (mode->fields & F::Copies)
        mode->copies = 1;
    if ((mode->fields & F::DefaultSource) && (Bin & 0xFFFF) != 0xFFFF)
        mode->defaultSource = Bin;
    system_->setDeviceMode(*mode);
    ReadSettings();
}

void Printer::SetPageSettings(int paperSize, int width, int height, int bin, std::uint8_t orientation, bool force)
{
    if (system_ && system_->printing())
        return;
    if (!force && SameSettings(paperSize, width, height, bin, orientation))
        return;
    PaperSize = paperSize;
    PaperWidth = width;
    PaperHeight = height;
    Bin = bin;
    Orientation = orientation;
    ApplySettings();
}

bool Printer::SameSettings(int paperSize, int width, int height, int bin, std::uint8_t orientation) const
{
    // Sizes come from files: their difference is taken in 64 bits, where it
    // cannot overflow.
    const auto near = [](int a, int b) { return std::llabs(static_cast<long long>(a) - b) <= 1; };
    if (paperSize == PaperSize && paperSize == 256)
        return near(PaperWidth, width) && near(PaperHeight, height) && orientation == Orientation;
    return paperSize == PaperSize && orientation == Orientation && (bin == Bin || (bin & 0xFFFF) == 0xFFFF);
}

void Printer::GetPageMetrics(PageMetrics &m) const
{
    if (IsVirtual() || !hasSystemPrinters()) {
        m.PaperWidth = TenthsMmToUnits(PaperWidth);
        m.PaperHeight = TenthsMmToUnits(PaperHeight);
        m.OffsetX = m.OffsetY = TenthsMmToUnits(kVirtualOffset);
        m.PrintWidth = m.PaperWidth - 2 * m.OffsetX;
        m.PrintHeight = m.PaperHeight - 2 * m.OffsetY;
        return;
    }
    const platform::PrinterCaps caps = system_->caps();
    const double fx = caps.logPixelsX > 0 ? kReportUnitsPerInch / caps.logPixelsX : 0;
    const double fy = caps.logPixelsY > 0 ? kReportUnitsPerInch / caps.logPixelsY : 0;
    m.DevicePaperWidth = caps.physicalWidth;
    m.DevicePaperHeight = caps.physicalHeight;
    m.DeviceOffsetX = caps.physicalOffsetX;
    m.DeviceOffsetY = caps.physicalOffsetY;
    m.DevicePrintWidth = caps.pageWidth;
    m.DevicePrintHeight = caps.pageHeight;
    m.PaperWidth = roundToInt(caps.physicalWidth * fx);
    m.PaperHeight = roundToInt(caps.physicalHeight * fy);
    m.OffsetX = roundToInt(caps.physicalOffsetX * fx);
    m.OffsetY = roundToInt(caps.physicalOffsetY * fy);
    m.PrintWidth = roundToInt(caps.pageWidth * fx);
    m.PrintHeight = roundToInt(caps.pageHeight * fy);
}

int Printer::PaperSizeIndex(int paperSize) const
{
    for (int i = 0; i < PaperSizesCount; ++i)
        if (PaperSizes[i] == paperSize)
            return i;
    return PaperSizesCount - 1;
}

int Printer::BinIndex(int bin) const
{
    for (int i = 0; i < BinsCount; ++i)
        if (Bins[i] == bin)
            return i;
    return 0;
}

void Printer::ShowPrinterProperties()
{
    if (!hasSystemPrinters() || IsVirtual())
        return;
    std::optional<platform::DeviceMode> mode = system_->deviceMode();
    if (!mode)
        return;
    platform::DeviceMode copy = *mode;
    if (system_->editDeviceMode(copy))
        system_->setDeviceMode(copy);
}

namespace {

struct PrinterGlobals {
    std::unique_ptr<Printer> printer;
    int defaultPaperSize = 0;
    bool ready = false;
};

PrinterGlobals &storage()
{
    static PrinterGlobals g;
    return g;
}

PrinterGlobals &globals()
{
    PrinterGlobals &g = storage();
    if (!g.printer) {
        g.printer = std::make_unique<Printer>();
        g.defaultPaperSize = 0;
        try {
            g.printer->SetSystemPrinter(&platform::printerBackend());
            if (!g.printer->HasDeviceMode) {
                // No usable printer: new pages get the virtual printer's A4
                // rather than a code no paper row matches (they would keep
                // no size at all).
                g.printer->SetPrinterIndex(g.printer->VirtualPrinterIndex);
                g.printer->SetPageSettings(kDefaultPaper, 0, 0, -1, 0, true);
            }
            g.defaultPaperSize = g.printer->PaperSize;
        } catch (...) {
        }
        g.ready = true;
    }
    return g;
}

} // namespace

Printer &ReportPrinter()
{
    return *globals().printer;
}

int DefaultPaperSize()
{
    return globals().defaultPaperSize;
}

bool PrinterReady()
{
    return globals().ready;
}

void resetReportPrinter()
{
    PrinterGlobals &g = storage();
    g.printer.reset();
    g.ready = false;
}

} // namespace reports
