#pragma once
// The layer properties dialog's controls as values, without a window: what
// showing a layer puts into them and what saving writes back. A text that
// the user left as it was shown keeps the layer's own value, so showing and
// saving without changes leaves the record as it was, also where a value has
// no exact text (a float, a pen scale of 0 shown as "1"), a projection or
// ellipsoid id outside the lists, or a projection text from the project file
// that no catalogue entry gave.

#include "geodesy/ProjectCatalogue.h"
#include "mapdata/MapTypes.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace layerform {

// The object kind buttons in ObjType order (1 .. 9): their names and captions.
struct KindButton {
    const char *name;
    const char *caption;
};
const std::vector<KindButton> &kindButtons();

// The layer's attribute table: its file name with the file name part cut at
// its first "." (a dot in a folder's name belongs to the folder) + ".Dbf".
QString TableName(const TMapLayer &layer);

// The pen modes with captions, in the order of the map window's pen-mode
// popup (codes 2 and 3 have none).
struct PenMode {
    int code;
    const char *caption;   // UTF-8
};
const std::vector<PenMode> &penModes();
// The caption of a pen mode; empty for a code without one.
QString penModeCaption(int code);

// The position of the trimmed id among the list's ids (the last when several
// match); -1 when none does, so that nothing is chosen.
int ProjectionIdIndex(const QString &id);
int EllipsoidIdIndex(const QString &id);

struct Values {
    QString EditName, EditFileName, EditFontName, EditFontSize, EditSymbol, EditFontColor, EditFontScale,
        EditFontRotate;
    bool cBoxFontBold = false, cBoxFontItalic = false, cBoxFontUnderline = false;
    QString EditBitmap, EditPenWidth, EditPenColor, EditBrushColor;
    int tbGamma = 0, tbContrast = 0;
    bool cbViewPoints = false, cbViewShadow = false, cbForAllObjects = false, cbViewInScale = false;
    QString EditScaleMin, EditScaleMax;
    QString cbFieldNameObject, cbFieldNameStreet, cbFieldNameHouse;
    int objType = 0;                 // the kind button down, 0 for none
    std::vector<bool> labelTicks;    // clbViewFieldName
    bool cbTransform = false;
    int cbProject = -1, cbEllipsoid = -1;
    QString cbLongitude, cbLatitude, edX, edY, edK;
    bool cbGISProject = false;
    int cbNumProject = -1;           // position in the catalogue's list
    QString cbGPS, cbDevice, cbPIN;
    bool operator==(const Values &) const = default;
};

inline constexpr int GammaMax = 20;
inline constexpr int ContrastMax = 100;

// The controls for the layer; `catalogueEntries` is the length of the
// catalogue's projection list.
Values Show(const TMapLayer &layer, int catalogueEntries);

// What saving changed beyond the fields.
struct Saved {
    bool projectionChanged = false; // the layer's objects need new extents
};

// Writes the edited controls into the layer; `shown` is what Show gave. The
// catalogue gives the projection text of a catalogue entry the user chose;
// `catalogueNames` are the names the list shows.
Saved Save(const Values &shown, const Values &edited, TMapLayer &layer, const geodesy::TProjectCatalogue &catalogue,
           const QStringList &catalogueNames);

} // namespace layerform
