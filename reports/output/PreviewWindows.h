#pragma once
// How a built report reaches the preview window: the windows library installs
// its window (platform::ScopedService<reports::PreviewWindows>); the default
// shows nothing, so that a program without windows previews nothing.

#include "platform/Service.h"

#include <QString>

namespace reports {

class TfrReport;

class PreviewWindows {
public:
    virtual ~PreviewWindows() = default;
    // Shows the report's prepared pages under the caption (modal when the
    // report's ModalPreview is set).
    virtual void Show(TfrReport & /*report*/, const QString & /*caption*/) {}
};

// Context help: the topic of a help context in a help file. The default
// shows nothing (the platform's help system is not here).
class ContextHelp {
public:
    virtual ~ContextHelp() = default;
    virtual void ShowContext(const QString & /*helpFile*/, int /*context*/) {}
};

// The system's page set-up dialog as the preview uses it: margins in
// hundredths of a millimetre, the printer and its paper. The default shows
// nothing (no change).
struct PageSetupChoice {
    int Margins[4] = {0, 0, 0, 0}; // left, top, right, bottom
    int PrinterIndex = -1;         // among the report printer's printers; -1 as it is
    int PaperSize = 9;
    // The user size (paper code 256) in tenths of a millimetre, as the paper lies.
    int PaperWidth = 0;
    int PaperHeight = 0;
    int Orientation = 0;
    int Bin = -1;
};
class PageSetupDialog {
public:
    virtual ~PageSetupDialog() = default;
    // False when cancelled.
    virtual bool Show(PageSetupChoice & /*choice*/) { return false; }
};

// The dialog's margins from page margins in report units and back (integer
// division both ways, as the stored templates expect).
inline int marginToSetup(int units) { return units * 500 / 18; }
inline int marginFromSetup(int hundredthsMm) { return hundredthsMm * 18 / 500; }

} // namespace reports
