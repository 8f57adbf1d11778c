#pragma once
// Stand-in for the map engine's map control widget while the engine is not in
// this tree (see app/MapImage.h). Same names as the engine's control; only the
// view state and its arithmetic, no drawing.

#include "mapdata/MapDataCore.h"
#include "platform/gdi/Bitmap.h"

#include <QPointF>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

struct TMapPoint {
    double X = 0;
    double Y = 0;
    double Z = 0;
    bool operator==(const TMapPoint &) const = default;
};

struct TMapExtent {
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

struct TZoomEntry {
    double Scale = 0;
    double CenterX = 0;
    double CenterY = 0;
    bool operator==(const TZoomEntry &) const = default;
};

class TMapVyk : public QWidget, public MapDataCore {
public:
    explicit TMapVyk(QWidget *parent = nullptr);
    ~TMapVyk() override;

    static double ScaleToDenominator(double scale) { return scale == 0 ? 0 : 100000.0 / scale; }
    static double DenominatorToScale(double denominator) { return denominator == 0 ? 0 : 100000.0 / denominator; }

    int ClientWidth() const { return width(); }
    int ClientHeight() const { return height(); }
    void LogicalToMap(const QPointF &logical, TMapPoint &result) const;
    // Measures the picture from the control's size; a view of all zeros
    // becomes (1000, 1000) at 1:500.
    void ResetPicture();
    // Takes the size of the parent's client area.
    void FitToParent();
    void ZoomAll();
    // 0 store, 1 prior, 2 next.
    void ZoomHistory(int mode);
    // After a redraw: the view into the history.
    void SnapshotView();
    // The picture export comes with the engine; nothing is written.
    bool ExportPicture(const QString &fileName);

    bool FCaching = false;
    bool FCompatibility = false;
    bool FHostMode = false;
    bool FWheelReversed = false;
    bool ZoomPanel = false, PickPanel = false, SelectPanel = false, PointPanel = false, MarkPanel = false,
         TextPanel = false, SymbolPanel = false, MapPanel = false, InformPanel = false, ShowMarks = false,
         ShowNamePoints = false;
    double FScale = 0;
    double FCenterX = 0, FCenterY = 0;
    double FPictureWidth = 0, FPictureHeight = 0;
    double FUnitsPerPixelX = 0, FUnitsPerPixelY = 0;
    double FCursorX = 0, FCursorY = 0;
    std::int32_t FZoomPos = 0;
    std::array<TZoomEntry, 20> FZoomHistory{};
    QString FVersion;
    QString FRegistryKey;
    QString FProjectFile;
    TSelObjects FSelection;
    TNewObject FNewObject;
    platform::gdi::Bitmap FBackBuffer;
};
