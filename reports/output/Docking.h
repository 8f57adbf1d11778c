#pragma once
// The geometry of the report windows' docks and toolbars, on rectangles, and
// the places of toolbars and windows kept in the settings store. The widgets
// (reports/ui) hold their bounds in these structures and call these routines,
// so the rules run and are tested without windows.

#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace reports::docking {

enum class DockSide { Top, Bottom, Left, Right };
enum class TfrOrientation { toAny, toVertOnly, toHorzOnly };

inline bool isHorizontal(DockSide side) { return side == DockSide::Top || side == DockSide::Bottom; }

// A control inside a dock or a toolbar: its bounds in the parent's
// coordinates (QRect: right() and bottom() are the last pixels inside).
struct Item {
    QRect bounds;
    bool visible = true;
};

struct Dock {
    DockSide side = DockSide::Top;
    QRect bounds; // in the form's coordinates
    int rowSize = 26;
    std::vector<Item> bars; // its toolbars, in the dock's coordinates

    bool horizontal() const { return isHorizontal(side); }
    int depth() const { return horizontal() ? bounds.height() : bounds.width(); }
    int length() const { return horizontal() ? bounds.width() : bounds.height(); }
};

// Lays out the dock's rows and sizes it: empty rows go, the dock takes the
// depth of its rows (1 pixel without toolbars); bottom and right docks keep
// their far edge on the form's edge.
void AdjustBounds(Dock &dock);

enum class MoveOutcome { Refused, Moved, Float };

// A drag of toolbar `bar` of the dock to (x, y) in the dock's coordinates:
// past 20 pixels beyond the dock's start the toolbar floats (when it may),
// otherwise it is clamped into the dock and pushed off the neighbours of its
// row. A position that needed corrections in two rounds is refused. A move
// out of the dock's depth that leaves the depth as it was floats the toolbar
// too. On Moved the toolbar has its new place and the dock is laid out again.
MoveOutcome MoveTo(Dock &dock, int bar, int x, int y, bool canFloat = true);

// Where a toolbar dropped at a point of the form docks: the first dock
// containing the point (edges included) and the toolbar's place in it; none
// when no dock takes the point or the toolbar's orientation refuses the dock.
struct DockTarget {
    int dock = -1;
    QPoint position;
};
std::optional<DockTarget> TryDock(const std::vector<Dock> &docks, QPoint point, QSize barSize,
                                  TfrOrientation orientation);

// The place AddToDock gives a toolbar: the dock's far edge.
QPoint AddToDockPosition(const Dock &dock, QSize barSize);

// A toolbar's child control for ArrangeControls.
enum class Align { None, Left, Right, Top, Bottom, Client };
struct BarControl {
    QRect bounds;
    Align align = Align::Left;
    bool visible = true;
    int id = -1; // the caller's own key, carried through the reordering
};

// Orders a toolbar's controls (at most 101) along its direction and aligns
// them to it; a control that changes from one axis to the other turns with
// the toolbar (width and height swapped). Returns the toolbar's new size
// (length: BarLength; made wider than high for a horizontal toolbar, higher
// than wide for a vertical one).
inline constexpr int MaxBarControls = 101;
QSize ArrangeControls(std::vector<BarControl> &controls, QSize barSize, bool vertical);
// A toolbar's length: its visible controls' widths (heights when vertical) + 4.
int BarLength(const std::vector<BarControl> &controls, bool vertical);
// Places aligned controls in the client rectangle as a panel does: top ones
// first across the whole width, then bottom, left and right ones in what is
// left, each in the order of its position; the aligned side stretches to the
// room left. Controls aligned None or hidden keep their bounds.
void AlignControls(std::vector<BarControl> &controls, const QRect &client);

// The settings store's root of the report windows (current user).
QString RegistryRoot();
void SetRegistryRoot(const QString &root);

// A toolbar's state as its section "ToolBar\<name>" keeps it.
struct ToolbarPlacement {
    bool floating = false;
    bool visible = true;
    QRect bounds;     // the float window's position when floating, else the toolbar's; its size
    QString dockName; // the dock holding it
};
bool SaveToolbarSettings(const QString &name, const ToolbarPlacement &placement);
// Reads the section over the toolbar's current state (the defaults). A
// "DockName" that `isDock` does not accept (a component that is no dock, or
// none) leaves the current dock.
ToolbarPlacement RestoreToolbarSettings(const QString &name, const ToolbarPlacement &current,
                                        const std::function<bool(const QString &)> &isDock);

// A window's place as its section "Form\<class>" keeps it.
struct FormPlacement {
    QRect bounds;
    bool maximized = true;
};
bool SaveFormSettings(const QString &className, const FormPlacement &placement);
FormPlacement RestoreFormSettings(const QString &className, const QRect &currentBounds);

// A Boolean of a section under the root (an integer other than 0), with its default.
bool ReadBoolSetting(const QString &section, const QString &name, bool fallback);

} // namespace reports::docking
