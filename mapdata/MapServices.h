#pragma once
// What the map data core needs from the layers above it, behind small
// interfaces that those layers implement and the owner installs: the
// projection library (geodesy) and a few services of the map engine.

#include <QString>

#include <memory>

struct TTextRecord;
struct TSelObjects;

// One projection set up from a parameter text. Angles are radians in and out,
// longitude first, as the projection library's own calls take them. A point
// that cannot be converted comes back as HUGE_VAL, HUGE_VAL.
class IProjection {
public:
    virtual ~IProjection() = default;
    // Longitude and latitude in radians to projected x, y.
    virtual void forward(double &x, double &y) = 0;
    // Projected x, y to longitude and latitude in radians.
    virtual void inverse(double &x, double &y) = 0;
};

// The projection library as the map data sees it.
class ILayerProjection {
public:
    virtual ~ILayerProjection() = default;
    // Sets up a projection from a definition such as " +proj=tmerc +ellps=krass";
    // null when the library refuses it (nothing is shown).
    virtual std::unique_ptr<IProjection> setUp(const QString &definition) = 0;
    // Why the last set-up was refused, in the library's words (empty when
    // it says nothing).
    virtual QString lastError() const { return {}; }
};

// Services of the map engine that reading objects relies on.
class IMapEngineServices {
public:
    virtual ~IMapEngineServices() = default;
    // The map extent of a text (kind 4) or symbol (kind 2) object laid out at
    // its anchor at the current scale; other kinds leave the extent as it is.
    virtual void LayoutTextObject(const TTextRecord &record, double x, double y, double &xMin,
                                  double &yMin, double &xMax, double &yMax) = 0;

    // The current scale denominator (1:N of the view); 0 while there is no view.
    virtual double CurrentScaleDenominator() { return 0; }

    // The map control's selection; null when there is none to keep (objects
    // committed or saved then select nothing).
    virtual TSelObjects *EngineSelection() { return nullptr; }
    // Empties the selection: no entries, frame mode, extent, centre and pivot 0.
    virtual void ClearSelection() {}
    // Recomputes the selection's extent and centre from its entries.
    virtual void RecalcSelectionExtent() {}

    // 0.01 mm per pixel of the map control, horizontally and vertically; 0
    // while there is no view.
    virtual double UnitsPerPixelX() { return 0; }
    virtual double UnitsPerPixelY() { return 0; }
    // Fills a text/symbol record with the map engine's default style of new
    // texts and labels (its InitTextRecord); the part and point counts are
    // left as they are.
    virtual void DefaultTextStyle(TTextRecord &record) { defaultTextRecord(record); }
    // That default style: size 12, a background (Transparent 1) in white, a
    // space as symbol, a white clear brush (style 1), the byte after ArrowEnd
    // 1, every other field 0 or empty.
    static void defaultTextRecord(TTextRecord &record);
};
