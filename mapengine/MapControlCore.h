#pragma once
// The map control without its window: the view (scale, centre, picture size,
// the ring of the last views), the conversions between map and picture
// coordinates, the drawing primitives, text objects and fonts, and the export
// of the map picture. TMapVyk (MapVyk.h) puts it in a widget; everything here
// runs headless, so the view arithmetic and the pictures are tested without a
// window.
//
// Coordinates: map x grows to the right and map y upwards. The picture is the
// map metafile in 0.01 mm (MM_HIMETRIC): x from 0 at the left edge to the
// picture width, y upwards from minus the picture height to 0 at the top edge.
// FScale is 0.01 mm of picture per map unit; the denominator N (1:N) is
// 100000 / FScale.

#include "mapdata/MapDataCore.h"
#include "mapengine/LabelFiles.h"
#include "raster/RasterObject.h"
#include "raster/RasterPlacement.h"
#include "raster/SheetFaults.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/Metafile.h"

#include <QPoint>
#include <QPointF>
#include <QString>
#include <QVariant>
#include <Qt>

class QObject;

#include <array>
#include <cstdint>
#include <vector>

// A map point; the conversions set Z to 0.
struct TMapPoint {
    double X = 0;
    double Y = 0;
    double Z = 0;
    bool operator==(const TMapPoint &) const = default;
};

// A map extent by two corners.
struct TMapExtent {
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// One view of the history ring. It holds a view only when all three values
// are non-zero.
struct TZoomEntry {
    double Scale = 0;
    double CenterX = 0;
    double CenterY = 0;
    bool operator==(const TZoomEntry &) const = default;
};

// The rectangle the view is clipped to, enlarged by 5 pixels: left, bottom,
// right, top in the canvas's logical units (top above bottom in the 0.01 mm
// mode).
struct TClipRect {
    int L = 0, B = 0, R = 0, T = 0;
    bool operator==(const TClipRect &) const = default;
};

// The loose values a TMapFont is built from; each may be a number or its text.
struct TMapFontValues {
    QVariant FontName;
    QVariant Size;
    QVariant Rotate;
    QVariant Scale;
    QVariant Color;
    QVariant TextStyle;
    QVariant Charset;
    QVariant Center;
    QVariant BrushStyle;
    QVariant BrushColor;
};

namespace mapengine {

// The pen style a line kind gives a line of width w (0.01 mm): 0 clear; 1 and
// 34 solid; 5 dash, 2 dot, 16 dash-dot, 18 dash-dot-dot, each only when
// w <= 1; any other kind, or a dashed kind of a wider line, keeps `current`.
int penStyleForLineKind(int lineKind, int width, int current);

// The polygon clipped to a rectangle by the zone rules of the map control:
// each edge Pi..Pi+1 (the array repeats its first point at the end) adds the
// rectangle's corners its zones call for, the part of it inside, and for an
// edge passing beside a corner diagonally, that corner. The result is filled
// as one polygon; it is empty when nothing of the polygon meets the rectangle.
std::vector<QPoint> clipPolygonToRect(const std::vector<QPoint> &points, const TClipRect &rect);

} // namespace mapengine

// A copy of the view: scale, centre, picture size and what a picture for
// print or report sets (MapControlCore::View; the setters change it).
struct TViewState {
    double Scale = 0;
    double CenterX = 0, CenterY = 0;
    double PictureWidth = 0, PictureHeight = 0;
    double UnitsPerPixelX = 0, UnitsPerPixelY = 0;
    bool PictureMode = false;
    TMapExtent PictureExtent;
    bool GridLabels = false;
    double GridStep = 100;
};

// The mouse and drag state of the map control, as references to its fields
// (MapControlCore::Drag).
struct TDragState {
    bool &MouseDown;
    bool &ZoomDown;
    bool &MoveDown;
    std::int32_t &DragHandle;
    std::int32_t &MouseX, &MouseY;
    std::int64_t &PressX, &PressY;
    std::int32_t &LabelPressX, &LabelPressY, &LabelMoveX, &LabelMoveY;
    double &PressMapX, &PressMapY;
    std::int64_t &MoveX, &MoveY;
    double &CursorX, &CursorY;
    bool &Drawing;
};

// The ring of the last views and its position (MapControlCore::ZoomRing).
struct TZoomRing {
    std::array<TZoomEntry, 20> &Entries;   // entries 1..20 at indices 0..19
    std::int32_t &Pos;
};

// The control's settings (MapControlCore::Settings).
struct TControlSettings {
    bool &Caching;
    bool &Compatibility;
    bool &WheelReversed;
    QString &RegistryKey;
    QString &StartDir;
    std::int32_t &RasterDivX, &RasterDivY;
    std::int32_t &NextParcelNumber;
};

// Which tool panels of the map window are down (MapControlCore::Panels).
struct TPanelFlags {
    bool &ZoomPanel, &PickPanel, &SelectPanel, &PointPanel, &MarkPanel, &TextPanel, &SymbolPanel, &MapPanel,
        &InformPanel, &ShowMarks, &ShowNamePoints;
};

class MapControlCore : public MapDataCore, public IMapEngineServices {
public:
    MapControlCore();
    ~MapControlCore() override;

    // ---- size of the control and its picture ----
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    // The control's size in pixels (the window sets it; tests set it).
    void SetClientSize(int width, int height);
    // The bitmap the control shows; its canvas is the control's canvas, which
    // also measures texts.
    platform::gdi::Bitmap &PictureBitmap() { return bitmap_; }
    platform::gdi::Canvas &ControlCanvas();
    // The control and its bitmap to a new size, with the map picture drawn on
    // it at (0, 0) (the body of FitToParent).
    void FitToSize(int width, int height);

    // ---- scale and conversions ----
    static double ScaleToDenominator(double scale);
    // The denominator of the view's scale (0 while there is no view).
    double CurrentScaleDenominator() override { return ScaleToDenominator(FScale); }
    double UnitsPerPixelX() override { return FUnitsPerPixelX; }
    double UnitsPerPixelY() override { return FUnitsPerPixelY; }
    static double DenominatorToScale(double denominator);
    // The picture point of a map point. Points farther from the view than the
    // picture coordinates can hold are pulled in along the line from the
    // picture's middle, so nothing wraps around.
    QPoint MapToLogical(long double x, long double y) const;
    // The map point of a picture point. With a scale of 0 nothing is written.
    void LogicalToMap(const QPointF &logical, TMapPoint &result) const;

    // ---- view ----
    void ResetPicture();
    void CalcVisibleExtent();
    void ZoomAll();
    // Centres the view on a selection entry; with `fit` the scale makes its
    // box fit with a margin of 1.1.
    void ShowSelectedObject(int index, bool fit = false);
    // 0 store, 1 prior, 2 next.
    void ZoomHistory(int mode);
    // After a redraw: the control's bitmap into the back buffer, and the view
    // into the history.
    void SnapshotView();

    // ---- drawing primitives (points in the canvas's logical units) ----
    // The view enlarged by 5 pixels, in the canvas's mapping.
    TClipRect ViewClipRect(const platform::gdi::Canvas &canvas) const;
    // A label centred on a point; a denominator of 0 or less means the current one.
    void DrawFontText(platform::gdi::Canvas &canvas, int x, int y, double denominator, const TMapFont &font,
                      const QString &text);
    void DrawLineEnds(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, double w, int f,
                      int startKind, int endKind);
    void DrawVertexBoxes(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points);
    void FillPolygon(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int lineKind = 1,
                     int lineWidth = 1, bool forceClip = false);
    void DrawBezierLine(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int lineKind,
                        int lineWidth);
    void DrawClippedPolyline(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int lineKind,
                             int lineWidth);
    void DrawShadow(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points);

    // ---- text objects and fonts ----
    static void InitTextRecord(TTextRecord &record);
    void LayoutTextObject(const TTextRecord &record, double x, double y, double &xMin, double &yMin, double &xMax,
                          double &yMax) override;
    // The box (left, top, right, bottom) of a text at an anchor in device pixels.
    platform::gdi::Rect TextBoxExtent(platform::gdi::Canvas &canvas, const QPoint &anchor, const QString &text,
                                      const TMapFont &font);
    platform::gdi::Size MeasureRotatedText(platform::gdi::Canvas &canvas, const TMapFont &font,
                                           const QString &text);
    void DrawRotatedText(platform::gdi::Canvas &canvas, int x, int y, double denominator, const TMapFont &font,
                         const QString &text);
    static TMapFont MakeMapFont(const TMapFontValues &values);

    // ---- raster objects (MapRasters.cpp) ----
    // Reads the record of an object of an image layer: from the ".Shp", or
    // from the journal when the object was edited. False, with the record as
    // it was, when the ".Shp" is missing, the index is out of range, the file
    // is no image layer's or the record does not hold its control points.
    bool ReadRasterObject(int layer, int index, TRasterObject &record);
    // Stores an edited record into the object table and the journal; nothing
    // unless the layer is open to edits.
    void WriteRasterObject(int layer, int index, const TRasterObject &record);
    // Appends a new raster object to the current layer when it is an image
    // layer, else, after the save dialog, to new image layer files made from
    // the templates "Default\image.*" (the layer is not opened). Nothing
    // unless the current layer is open to edits; nothing when the dialog is
    // cancelled, files of the chosen name are not to be replaced, or a file is
    // missing or read-only. True when the object was appended.
    bool AppendRasterObject(const TRasterObject &record);
    // Sets the record's width and height from its picture file, and
    // FRasterDivX, FRasterDivY; a missing file is 100 × 100 after a warning.
    void LoadRasterSize(TRasterObject &record);
    // Sets the record's box from its control points; false (box as it was)
    // when they cannot give it.
    bool FitRasterToControlPoints(TRasterObject &record);
    // Two control points for a new picture: its corners on the window's
    // pixels, spanning the window's width or height.
    void FitRasterToWindow(TRasterObject &record);
    // Two control points for a new picture at the scale denominator, centred
    // on the view: FRasterDivX, FRasterDivY (pixels per metre of sheet, of
    // the picture measured last) give its size on the map.
    void PlaceRasterAtScale(TRasterObject &record, double denominator);
    double RasterRotationAngle(const TRasterObject &record) const;
    // Draws a picture into its box on the map picture (0.01 mm mapping): the
    // window of it the view shows, stretched with the raster operation of
    // the layer's index. The angle is not used: pictures are drawn unturned.
    // A missing file draws nothing. Names with ".tiff" go to the system's own
    // reader, ".sid" and all others to the imaging routines.
    void DrawRasterImage(platform::gdi::Canvas &canvas, const QString &fileName, double xMin, double yMin,
                         double xMax, double yMax, double angle, int width, int height, int rasterMode, int gamma,
                         int contrast);
    // Draws a ".wmf" or ".emf" picture stretched into its box, unclipped.
    void DrawMetafileRaster(platform::gdi::Canvas &canvas, const QString &fileName, double xMin, double yMin,
                            double xMax, double yMax, double angle, int width, int height);
    // Where a picture of width × height pixels in its box lands on the
    // canvas in pixels, and the window of it the view shows.
    raster::RasterWindow RasterPlacement(const platform::gdi::Canvas &canvas, double xMin, double yMin,
                                         double xMax, double yMax, int width, int height) const;
    // The device pixels of a box's upper-left and lower-right corners.
    raster::Edges RasterCorners(const platform::gdi::Canvas &canvas, double xMin, double yMin, double xMax,
                                double yMax) const;

    // ---- selection and its frame (Selection.cpp) ----
    // Handles of the frame: 1 lower left, 2 left, 3 upper left, 4 top, 5 upper
    // right, 6 right, 7 lower right, 8 bottom, 9 centre (the pivot in the
    // rotate frame); 0 none. Mouse positions are pixels of the control.
    TSelObjects *EngineSelection() override { return &FSelection; }
    TSelObjects &Selection() { return FSelection; }
    const TSelObjects &Selection() const { return FSelection; }
    // The labels being moved.
    TSelLabels &MoveLabels() { return FMoveLabels; }
    void ClearSelection() override;
    void RecalcSelectionExtent() override;
    // Appends an entry for an object with its box (its extent is not
    // recomputed).
    void AppendSelectionEntry(int layer, int index, const TMapExtent &box);
    // The object kind all entries share, for a selection that starts in a
    // text/symbol layer; 0 otherwise.
    Byte CommonSelectionKind() const;
    int HitSelectionHandle(int x, int y) const;
    // The rotation (degrees) a text gets while the rotate frame is dragged by
    // `handle` from the press to the current pixel about the pivot (a picture
    // point when pivotLogical, else a map point); corners subtract the turn
    // from startAngle, other handles keep startAngle.
    double DragRotationAngle(int pressX, int pressY, double pivotX, double pivotY, int x, int y, int handle,
                             bool pivotLogical, double startAngle) const;
    // Where a point goes when the frame is dragged by `handle` from the press
    // to the current pixel: a picture point in when pointLogical, out when
    // resultLogical; map results are rounded to 3 decimals.
    TMapPoint TransformDraggedPoints(int pressX, int pressY, double pointX, double pointY, int x, int y,
                                     int handle, bool pointLogical, bool resultLogical, int frameMode) const;
    // Turns a point about a pivot, each given as (n, e, h); a non-zero
    // component of the new pivot moves the pivot and the point by the
    // difference. The angle (degrees) turns from the first axis towards the
    // second: clockwise from north with (northing, easting) given, as
    // directional angles turn, and counter-clockwise on the map with (x, y).
    // result gets n and e, and h only when the point lies on the pivot.
    // (VykFunctions::RotatePointAbout does the work.)
    static void RotatePoint(TMapPoint &result, double pivotN, double pivotE, double pivotH, double pointN,
                            double pointE, double pointH, double newPivotN, double newPivotE, double newPivotH,
                            double angle);

    // ---- picking objects (ObjectPicking.cpp) ----
    // The map window's snap search and rectangle selection run here; it
    // passes its layer list's layer indices from the last row to the first.
    // Layers take part when visible, selectable, open and, when limited by
    // scale, within their range; objects when shown and not deleted, from the
    // last to the first.
    // The object, vertex or segment under the map point within 7 pixels (a
    // fifth of a pixel off a segment), chosen by the preferences of the
    // current layer and of a single selected object; the points of `figure`
    // (the figure being digitized, or null) win over all. Mode 0 also selects
    // every object hit.
    TSelObject SnapToLayers(Byte mode, double x, double y, const std::vector<int> &layerOrder, int currentLayer,
                            const TNewObject *figure = nullptr);
    // Adds the objects inside the rectangle, or crossing it, to the selection
    // (replacing it without Shift); with Ctrl only those wholly inside.
    void SelectInRectangle(Qt::KeyboardModifiers shift, double x1, double y1, double x2, double y2,
                           const std::vector<int> &layerOrder);

    // ---- overlays and drag transforms (SelectionOverlay.cpp) ----
    // Overlays draw on the control's bitmap after restoring it from
    // FBackBuffer, so the next overlay or redraw wipes them.
    // The selected objects, as moved while `handle` is dragged to the pixel
    // (x, y); entry `highlight` filled magenta (-1 none).
    void DrawSelectionOverlay(int x, int y, int handle, int highlight);
    // The selected objects in place, entry `highlight` marked.
    void DrawSelectionOverlay(int highlight) { DrawSelectionOverlay(0, 0, 0, highlight); }
    // A vertex marked on the map picture: a blue ring with a white dot, 2.5 mm
    // across, at the map point.
    void DrawPointMark(double x, double y);
    // The vertices of the selected objects on the control's picture; sets the
    // selection's extent, centre and pivot from the objects' boxes.
    void DrawVertexMarks();
    // dx, dy: press minus current pixel. Mode 1 the picture shifted (pan),
    // mode 2 the rectangle from the press to the last move.
    void DrawRubberRectangle(int dx, int dy, int mode);
    // The labels of FMoveLabels, shifted or turned (Alt) by the drag when
    // `drag`, else where they are.
    void DrawMovingLabels(int x, int y, Qt::KeyboardModifiers shift, bool drag);
    // Applies the drag of `handle` to the pixel (x, y) to the selected objects
    // of editable layers and journals them.
    void DragTransformSelection(int x, int y, int handle);

    // ---- measuring and vertex-drag overlays (MeasureOverlay.cpp) ----
    // Each returns the status text in `text`.
    void DrawMeasureSegment(QString &text);
    void DrawDrawingMeasures(QString &text);
    void DrawRulerMeasures(QString &text);
    // The selected objects with their picked vertex at the cursor's map point
    // (Alt: a new vertex after it); Ctrl over a raster: its pixel readout.
    void DrawSnapIndicator(double x, double y, Qt::KeyboardModifiers shift, QString &text);

    // ---- editing existing objects (ObjectEditing.cpp, VertexEditing.cpp) ----
    // Changes of existing objects go to the edit journal; copies are appended
    // to the current layer's files. Objects are changed in their layer's own
    // coordinates, so an edit of a layer with a projection moves nothing the
    // user did not move. None of them redraws.
    // Copies every selected object, shifted by (dX, dY) map units, into the
    // current layer; each entry copied then names its copy.
    void MoveSelection(double dX, double dY);
    // Copies one object to the end of the destination layer. On success the
    // entry names the copy and holds its box; otherwise its Layer and Index are -1.
    void MoveObjectRecord(int destLayer, int sourceLayer, int index, double dX, double dY, TSelObject &entry);
    // Deletes the selected objects of editable layers (kinds 0, 1, 8); empties the selection.
    void DeleteSelection();
    // Reverses the point order of every part of the selected objects of editable layers.
    void ReverseSelection();
    // Gives the selected objects of editable layers the template fields named
    // by the op-codes (0..17), taken from the template as it is at the call.
    void ApplyStyleToSelection(const std::vector<Byte> &opCodes);
    // Vertex positions count over the whole object, part after part.
    void InsertVertex(int layer, int object, int position, double x, double y);
    void DeleteVertex(int layer, int object, int position);
    // Moves the picked vertex (VertexIndex) of every selected object of an
    // editable layer to the point; Ctrl on an image layer re-pixels a control
    // point, Alt adds a vertex after it. True when an editable layer took part.
    bool MoveVertex(const TMapPoint &point, Qt::KeyboardModifiers shift);
    // Appends a point to the object's last part (a track of a GPS tracker).
    void AppendTrackPoint(int layer, int object, const QString &tracker, double x, double y, double extra);
    // ---- transformation of coordinates (LayerTransform.cpp) ----
    // Rewrites x and y of every point of the selected objects of editable
    // layers, or, with nothing selected, of every live object of the current
    // layer (FProject.ActiveLayer) when it is editable: kind 0 by the key
    // (K, rotation CosA/SinA, shifts DX to the northing and DY to the
    // easting), 2 by the shift, 3 from the source projection to the
    // destination, 4 through the source projection in the direction the data
    // ask for (geodesy/PointTransform.h). Stored values are rounded to
    // `digits` decimals (none for 0 or less); boxes take the values before
    // rounding, raster objects are refitted to their control points. Every
    // changed object goes to the edit journal. Selection runs grow the block
    // and layer extents and refresh the selection's boxes; whole-layer runs
    // rebuild the layer's extents. A refused projection, or a point that
    // cannot be converted, is reported and changes nothing. True when
    // objects were changed.
    bool TransformObjects(int kind, int digits, double K, double DX, double DY, double CosA, double SinA,
                          const QString &source, const QString &destination);

    // ---- label files (LabelFiles.cpp) ----
    // The current layer's label files: its FileName up to the first "." of
    // the file name, with ".Lbl" or ".Shl".
    QString LabelFileName(const QString &ext) const;
    // Reads record n of the current layer's ".Lbl". The label is emptied
    // first; false when there is no such record.
    bool ReadLabelRecord(std::int32_t n, TMoveLabel &label);
    // The ".Shl" record of the object number and key (upper-cased here) in
    // an open ".Shl"; its byte position, or -1 with the record's number 0.
    qint64 FindLabelRecord(mapdata::BinaryFile &file, std::int32_t objectNumber, const QString &key,
                           TShlRecord &record);
    // Adds a map shift to the ".Shl" record of ".Lbl" record n.
    void AddAutoLabel(std::int32_t n, double shiftX, double shiftY);
    // Stores the change of every label of FMoveLabels: 1 move by the drag
    // vector, 2 turn by the drag about the pivot, 3 size := value, 4 colour
    // := value; the change's flag byte := flag.
    void StoreMovedLabel(Byte kind, Byte flag, double value);

    // ---- export ----
    // Writes the files named by ".wmf", ".emf", ".bmp" and ".jpg" anywhere in
    // the lower-cased name; false (after telling the user) when one cannot be
    // written.
    bool ExportPicture(const QString &fileName);

    // ---- state, through accessors ----
    TViewState View() const
    {
        return TViewState{FScale,          FCenterX,     FCenterY,       FPictureWidth,
                          FPictureHeight,  FUnitsPerPixelX, FUnitsPerPixelY, FPictureMode,
                          FPictureExtent,  FGridLabels,  FGridStep};
    }
    void SetView(const TViewState &view)
    {
        FScale = view.Scale;
        FCenterX = view.CenterX;
        FCenterY = view.CenterY;
        FPictureWidth = view.PictureWidth;
        FPictureHeight = view.PictureHeight;
        FUnitsPerPixelX = view.UnitsPerPixelX;
        FUnitsPerPixelY = view.UnitsPerPixelY;
        FPictureMode = view.PictureMode;
        FPictureExtent = view.PictureExtent;
        FGridLabels = view.GridLabels;
        FGridStep = view.GridStep;
    }
    void SetScale(double scale) { FScale = scale; }
    void SetCentre(double x, double y)
    {
        FCenterX = x;
        FCenterY = y;
    }
    void SetCentreX(double x) { FCenterX = x; }
    void SetCentreY(double y) { FCenterY = y; }
    void SetPictureSize(double width, double height)
    {
        FPictureWidth = width;
        FPictureHeight = height;
    }
    void SetPictureWidth(double width) { FPictureWidth = width; }
    void SetPictureHeight(double height) { FPictureHeight = height; }
    void SetUnitsPerPixel(double x, double y)
    {
        FUnitsPerPixelX = x;
        FUnitsPerPixelY = y;
    }
    void SetUnitsPerPixelX(double x) { FUnitsPerPixelX = x; }
    void SetUnitsPerPixelY(double y) { FUnitsPerPixelY = y; }
    void SetPictureMode(bool on) { FPictureMode = on; }
    void SetPictureExtent(const TMapExtent &extent) { FPictureExtent = extent; }
    void SetGridLabels(bool on) { FGridLabels = on; }
    void SetGridStep(double step) { FGridStep = step; }
    TDragState &Drag() { return drag_; }
    const TDragState &Drag() const { return drag_; }
    TZoomRing &ZoomRing() { return zoomRing_; }
    const TZoomRing &ZoomRing() const { return zoomRing_; }
    TControlSettings &Settings() { return settings_; }
    const TControlSettings &Settings() const { return settings_; }
    TPanelFlags &Panels() { return panels_; }
    const TPanelFlags &Panels() const { return panels_; }
    // The map picture the redraw records.
    platform::gdi::Metafile &MapPicture() { return FMapPicture; }
    const platform::gdi::Metafile &MapPicture() const { return FMapPicture; }
    // The drawn picture the overlays restore the control's bitmap from.
    platform::gdi::Bitmap &BackBuffer() { return FBackBuffer; }
    const platform::gdi::Bitmap &BackBuffer() const { return FBackBuffer; }
    raster::SheetFaults &RasterFaults() { return FRasterFaults; }

    // The fields (named as the map control names them).
    bool FCaching = false;
    bool FCompatibility = false;
    bool FMouseDown = false;
    bool FZoomDown = false, FMoveDown = false;
    bool ZoomPanel = false, PickPanel = false, SelectPanel = false, PointPanel = false, MarkPanel = false,
         TextPanel = false, SymbolPanel = false, MapPanel = false, InformPanel = false, ShowMarks = false,
         ShowNamePoints = false;
    bool FPictureMode = false;
    bool FGridLabels = false;
    bool FWheelReversed = false;
    TMapExtent FPictureExtent;
    double FScale = 0;
    double FCenterX = 0, FCenterY = 0;
    double FPictureWidth = 0, FPictureHeight = 0;
    double FUnitsPerPixelX = 0, FUnitsPerPixelY = 0;
    double FGridStep = 100;  // millimetres of paper; other values only while a report picture is drawn
    std::int32_t FDragHandle = 0;
    std::int32_t FZoomPos = 0;
    std::int32_t FRasterDivX = 0, FRasterDivY = 0;
    // Raster sheets the redraw could not draw, told once each.
    raster::SheetFaults FRasterFaults;
    std::int32_t FMouseX = 0, FMouseY = 0;
    std::int32_t FNextParcelNumber = 0;
    TSelObjects FSelection;
    TSelLabels FMoveLabels;
    std::array<TZoomEntry, 20> FZoomHistory{};   // entries 1..20 at indices 0..19
    std::int64_t FPressX = 0, FPressY = 0;
    std::int32_t FLabelPressX = 0, FLabelPressY = 0, FLabelMoveX = 0, FLabelMoveY = 0;
    double FPressMapX = 0, FPressMapY = 0;
    std::int64_t FMoveX = 0, FMoveY = 0;
    double FCursorX = 0, FCursorY = 0;
    bool FDrawing = false;
    platform::gdi::Bitmap FBackBuffer;
    QString FRegistryKey;
    QString FStartDir;
    platform::gdi::Metafile FMapPicture;

protected:
    // The window's part of a snapshot: its parent paints what is pending.
    virtual void processPendingPaint() {}
    // The window's part of an overlay: it shows the control's bitmap at once.
    virtual void repaintNow() {}
    // The window the imaging routines' hidden controls belong to (none
    // without a window).
    virtual QObject *ImagingParent() const { return nullptr; }

private:
    // The size of a font of `size` points at `scale` (<= 0: fixed) drawn at
    // the denominator (<= 0: the current one).
    int scaledSize(int size, int scale, double denominator) const;
    double currentDenominator() const { return ScaleToDenominator(FScale); }

    int clientWidth_ = 0;
    int clientHeight_ = 0;
    platform::gdi::Bitmap bitmap_;
    TDragState drag_{FMouseDown,   FZoomDown,   FMoveDown,   FDragHandle, FMouseX,     FMouseY,   FPressX,
                     FPressY,      FLabelPressX, FLabelPressY, FLabelMoveX, FLabelMoveY, FPressMapX, FPressMapY,
                     FMoveX,       FMoveY,      FCursorX,    FCursorY,    FDrawing};
    TZoomRing zoomRing_{FZoomHistory, FZoomPos};
    TControlSettings settings_{FCaching,   FCompatibility, FWheelReversed,   FRegistryKey,
                               FStartDir,  FRasterDivX,    FRasterDivY,      FNextParcelNumber};
    TPanelFlags panels_{ZoomPanel,  PickPanel,  SelectPanel, PointPanel, MarkPanel,     TextPanel,
                        SymbolPanel, MapPanel,  InformPanel, ShowMarks,  ShowNamePoints};
};
