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
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/Metafile.h"

#include <QPoint>
#include <QPointF>
#include <QString>
#include <QVariant>

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

    // ---- raster objects (drawn by the raster subsystem; nothing yet) ----
    void DrawRasterImage(platform::gdi::Canvas &canvas, const QString &fileName, double xMin, double yMin,
                         double xMax, double yMax, double angle, int width, int height, int rasterMode, int gamma,
                         int contrast);
    void DrawMetafileRaster(platform::gdi::Canvas &canvas, const QString &fileName, double xMin, double yMin,
                            double xMax, double yMax, double angle, int width, int height);

    // ---- export ----
    // Writes the files named by ".wmf", ".emf", ".bmp" and ".jpg" anywhere in
    // the lower-cased name; false (after telling the user) when one cannot be
    // written.
    bool ExportPicture(const QString &fileName);

    // ---- state (named as the map control names it) ----
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
    double FGridStep = 0;
    std::int32_t FDragHandle = 0;
    std::int32_t FZoomPos = 0;
    std::int32_t FRasterDivX = 0, FRasterDivY = 0;
    std::int32_t FMouseX = 0, FMouseY = 0;
    std::int32_t FNextParcelNumber = 0;
    QString FVersion;
    TSelObjects FSelection;
    std::array<TZoomEntry, 20> FZoomHistory{};   // entries 1..20 at indices 0..19
    std::int64_t FPressX = 0, FPressY = 0;
    std::int32_t FLabelPressX = 0, FLabelPressY = 0, FLabelMoveX = 0, FLabelMoveY = 0;
    double FPressMapX = 0, FPressMapY = 0;
    std::int64_t FMoveX = 0, FMoveY = 0;
    double FCursorX = 0, FCursorY = 0;
    TNewObject FNewObject;
    bool FDrawing = false;
    platform::gdi::Bitmap FBackBuffer;
    QString FRegistryKey;
    QString FStartDir;
    QString FProjectFile;
    platform::gdi::Metafile FMapPicture;

protected:
    // The window's part of a snapshot: its parent paints what is pending.
    virtual void processPendingPaint() {}

private:
    // The size of a font of `size` points at `scale` (<= 0: fixed) drawn at
    // the denominator (<= 0: the current one).
    int scaledSize(int size, int scale, double denominator) const;
    double currentDenominator() const { return ScaleToDenominator(FScale); }

    int clientWidth_ = 0;
    int clientHeight_ = 0;
    platform::gdi::Bitmap bitmap_;
};
