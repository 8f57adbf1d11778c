#include "app/MapPrinter.h"

#include "platform/Printing.h"

namespace app {

namespace {

bool hasPrinter()
{
    return !platform::printerBackend().printers().isEmpty();
}

// A4 in millimetres and the virtual printer's unprintable margin.
constexpr double kA4Long = 297, kA4Short = 210, kVirtualMargin = 5;

double mm(int pixels, int perInch)
{
    return perInch > 0 ? pixels * 25.4 / perInch : 0;
}

} // namespace

bool MapPrinter::SetupDialog(int orientation)
{
    if (!hasPrinter()) {
        virtualOrientation_ = orientation;
        return true;
    }
    platform::PrinterBackend &backend = platform::printerBackend();
    platform::DeviceMode mode = backend.deviceMode().value_or(platform::DeviceMode{});
    mode.orientation = orientation;
    mode.fields |= platform::DeviceMode::Orientation;
    backend.setDeviceMode(mode);
    if (!backend.editDeviceMode(mode))
        return false;
    backend.setDeviceMode(mode);
    return true;
}

int MapPrinter::Orientation() const
{
    if (!hasPrinter())
        return virtualOrientation_;
    const auto mode = platform::printerBackend().deviceMode();
    return mode ? mode->orientation : 1;
}

double MapPrinter::PhysicalWidth() const
{
    if (!hasPrinter())
        return Orientation() == 2 ? kA4Long : kA4Short;
    const platform::PrinterCaps caps = platform::printerBackend().caps();
    return mm(caps.physicalWidth, caps.logPixelsX);
}

double MapPrinter::PhysicalHeight() const
{
    if (!hasPrinter())
        return Orientation() == 2 ? kA4Short : kA4Long;
    const platform::PrinterCaps caps = platform::printerBackend().caps();
    return mm(caps.physicalHeight, caps.logPixelsY);
}

double MapPrinter::OffsetX() const
{
    if (!hasPrinter())
        return kVirtualMargin;
    const platform::PrinterCaps caps = platform::printerBackend().caps();
    return mm(caps.physicalOffsetX, caps.logPixelsX);
}

double MapPrinter::OffsetY() const
{
    if (!hasPrinter())
        return kVirtualMargin;
    const platform::PrinterCaps caps = platform::printerBackend().caps();
    return mm(caps.physicalOffsetY, caps.logPixelsY);
}

double MapPrinter::HorzSize() const
{
    if (!hasPrinter())
        return PhysicalWidth() - 2 * kVirtualMargin;
    const platform::PrinterCaps caps = platform::printerBackend().caps();
    return mm(caps.pageWidth, caps.logPixelsX);
}

double MapPrinter::VertSize() const
{
    if (!hasPrinter())
        return PhysicalHeight() - 2 * kVirtualMargin;
    const platform::PrinterCaps caps = platform::printerBackend().caps();
    return mm(caps.pageHeight, caps.logPixelsY);
}

} // namespace app
