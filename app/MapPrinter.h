#pragma once
// The printer as the map window's print commands see it: the printer setup
// dialog (shown with the orientation the command presets) and the size of
// the printable page in millimetres (what the printer reports as HORZSIZE
// and VERTSIZE). The default goes to the platform's printer; without a
// printer it answers for an A4 sheet with 5 mm unprintable margins, as the
// report library's virtual printer does. Tests install a fake
// (platform::ScopedService<app::MapPrinter>).

#include "platform/Service.h"

namespace app {

class MapPrinter {
public:
    virtual ~MapPrinter() = default;
    // Shows the setup dialog with the orientation (1 portrait, 2 landscape)
    // preset; false when the user cancelled.
    virtual bool SetupDialog(int orientation);
    // The orientation chosen (1 portrait, 2 landscape).
    virtual int Orientation() const;
    // The printable page, millimetres.
    virtual double HorzSize() const;
    virtual double VertSize() const;
    // The whole sheet and the unprintable left and top margins, millimetres.
    virtual double PhysicalWidth() const;
    virtual double PhysicalHeight() const;
    virtual double OffsetX() const;
    virtual double OffsetY() const;

private:
    int virtualOrientation_ = 2;
};

inline MapPrinter &mapPrinter()
{
    return platform::Service<MapPrinter>::get();
}

} // namespace app
