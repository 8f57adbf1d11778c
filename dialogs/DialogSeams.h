#pragma once
// The dialogs of the layer, attribute and search subsystem and of the
// georeferencing subsystem that the map window's commands open: the layer
// properties (TProLayer), the table editor (TEditTable), the legend editor
// (TProLegend), the five layer transformations (TTransformXY, TCalcRotate,
// TCalcShift, TCalcProj, TCalcProjection), the coordinate-list editor
// (TNewMapPoint), the information panel (TEditInfo), going to a point
// (TFindPoint), adding labels (TNewLabel), a layer's label entry (TProLabel,
// opened by the layer properties), the pattern pickers (TSelectPoints,
// TSelectLines, TSelectSymbols), the symbol picker (TSelectStyles), the image
// registration window (TRegForm), and the
// edits of the layer, label and new-label dialogs that the map window's style
// popups write into.
//
// This library's default shows them (the label dialogs and the pickers in
// StyleSeams.cpp, the transformations in Transformations.cpp). Tests install
// services of their own (platform::ScopedService<dialogs::DialogSeams>).

#include "mapdata/MapTypes.h"
#include "platform/Service.h"

#include <QString>

class MapControlCore;

namespace dialogs {

// What the add-labels dialog gives back, by the names of its controls.
struct NewLabelAnswer {
    QString EditFontName, EditFontSize, EditFontColor, EditFontScale, EditFontRotate, EditBrushColor;
    QString edShiftX, edShiftY;
    bool cBoxFontBold = false, cBoxFontItalic = false, cBoxFontUnderline = false;
    // The dialog's background style.
    Byte BackgroundStyle = 0;
    // Alignment buttons, down or not.
    bool sbTop = false, sbBottom = false, sbLeft = false, sbRight = false, sbTopLeft = false,
         sbBottomLeft = false, sbTopRight = false, sbBottomRight = false;
    // Placement buttons, down or not.
    bool rbCenterS = false, rbTopS = false, rbBottomS = false, rbLeftS = false, rbRightS = false,
         rbTopLeft = false, rbBottomLeft = false, rbTopRight = false, rbBottomRight = false;
    // The label mode or an attribute field name, the decimals, the format.
    QString cbFieldName, cbRound, cbFormat;
};

// The style-popup receiver of a dialog: the edits and samples the map
// window's size, scale, width, pen-mode and fill popups deliver to.
class StyleDialog {
public:
    virtual ~StyleDialog() = default;
    virtual void SetFontSize(const QString &text) = 0;      // EditFontSize
    virtual void SetFontScale(const QString &text) = 0;     // EditFontScale
    virtual void SetScaleMin(const QString &text) = 0;      // EditScaleMin (layer dialog)
    virtual void SetScaleMax(const QString &text) = 0;      // EditScaleMax (layer dialog)
    virtual void SetFontRotate(const QString &text) = 0;    // EditFontRotate
    virtual void SetPenWidth(const QString &text) = 0;      // EditPenWidth (layer dialog)
    virtual void SetBackgroundStyle(int code) = 0;          // the label dialogs' background style
    virtual void DrawBackgroundSample() = 0;                // the label dialogs
    virtual void DrawFillSample() = 0;                      // the layer dialog
    virtual void DrawLineSample() = 0;                      // the layer dialog
    virtual void ShowPenModeCaption(int code) = 0;          // the layer dialog
};

enum class StyleDialogKind { Layer, Label, NewLabel };

enum class LayerTransformation {
    Shift,       // TTransformXY: coordinate shift
    Rotate,      // TCalcRotate: rectangular system by directional angles
    Key,         // TCalcShift: by a key between two plane systems
    System,      // TCalcProj: from one coordinate system to another
    Projection,  // TCalcProjection: by one projection
};

class DialogSeams {
public:
    virtual ~DialogSeams() = default;
    // Each "Show" answers whether a dialog was shown.
    virtual bool ShowLayerProperties(int layer);
    virtual bool ShowTableEditor(const QString &tablePath);
    virtual bool ShowLegendEditor(int layer);
    // The dialog transforms the map's current layer (or its selection)
    // itself; mode is "shp". True when it answered "Ok".
    virtual bool ShowTransformation(LayerTransformation kind, const QString &mode, MapControlCore &map);
    // mode "New" or "Edit".
    virtual bool ShowCoordinateList(const QString &mode);
    // Modeless, over the map control's selection.
    virtual bool ShowEditInfo();
    // The image registration window on a raster object (layer, object index)
    // with the work folder; on OK the object is stored with its image size
    // and its box fitted to the control points, and the box comes back.
    virtual bool RegisterImage(int layer, int index, double &xMin, double &yMin, double &xMax, double &yMax);
    // The view centre's X (northing) and Y (easting) as texts in, the typed
    // ones out; true for the OK result.
    virtual bool AskPoint(QString &x, QString &y);
    // True when the dialog's Hint came back "Ok".
    virtual bool AskNewLabel(NewLabelAnswer &answer);
    // The label-entry dialog (TProLabel) on label entry `entry` of a layer,
    // mode "New" or "Edit"; true when "Сохранить" wrote the entry (the caller's
    // list then shows the entry's Visible tick and FieldName).
    virtual bool ShowLabelEntry(int layer, int entry, const QString &mode);
    // The chosen pattern number; negative when nothing was chosen.
    virtual int SelectPointStyle();
    virtual int SelectLineStyle();
    virtual int SelectFillStyle();
    // The font name in (its MemoFont), the chosen font and character out;
    // true when the Hint came back "Ok".
    virtual bool SelectSymbol(QString &fontName, QChar &symbol);
    // The dialog of that kind that receives the style popups' choices; null
    // while none is shown.
    virtual StyleDialog *styleDialog(StyleDialogKind kind);
    // The object view over the map control's selection, modally.
    virtual bool ShowObjectView();
};

// The service in use.
inline DialogSeams &dialogSeams()
{
    return platform::Service<DialogSeams>::get();
}

} // namespace dialogs
