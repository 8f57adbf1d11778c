#pragma once
// The transformation of single points that TransformObjects applies to every
// point of the objects it rewrites: a plane key (scale, rotation, shift), a
// plain shift, from one projection to another, or through one projection in
// whichever direction the data ask for. The projections of a run are set up
// once and released with the run.
//
// Coordinates: x is the easting and y the northing, as the layers keep them;
// the key's shifts DX and DY are in surveying names (DX to the northing, DY to
// the easting).

#include "geodesy/ProjectionBinding.h"

#include <QString>

#include <memory>

namespace geodesy {

enum TransformKind : int {
    tkKey = 0,           // X' = DX + K(X cos a - Y sin a), Y' = DY + K(Y cos a + X sin a)
    tkShift = 2,         // X' = X + DX, Y' = Y + DY
    tkProjections = 3,   // inverse through the source, forward through the destination
    tkOneProjection = 4, // forward or inverse through the source, decided from the data
};

struct TransformParams {
    int Kind = tkKey;
    int Digits = 0;      // decimals the stored values are rounded to; 0 or less: none
    double K = 1;
    double DX = 0;       // added to the northing
    double DY = 0;       // added to the easting
    double CosA = 1;
    double SinA = 0;
    QString Source;      // projection definitions (kinds 3 and 4)
    QString Destination; // (kind 3)
};

class PointTransform {
public:
    explicit PointTransform(TransformParams params);
    ~PointTransform();
    PointTransform(const PointTransform &) = delete;
    PointTransform &operator=(const PointTransform &) = delete;

    // Sets up the projections the kind needs (the source, then the
    // destination). False when the library refuses one, and for a definition
    // that names no ellipsoid, axis, radius or datum (the library would take a
    // default figure of the earth); error() then holds the message
    // "Ошибка при формировании проекции " with the library's text.
    bool setUp();
    const QString &error() const { return error_; }

    // Transforms one point in place. `first` marks the very first point of the
    // run (it decides the direction of kind 4 by its easting too). False, with
    // the point as it was, when the result is no finite number (a point the
    // library cannot convert); error() then holds the library's text.
    bool apply(double &x, double &y, bool first);

    // The value as it is stored: rounded to the run's decimals.
    double stored(double value) const;

    // Kind 4 takes the rest of a run as projected from the first point that
    // looks projected (a northing past 60, or an easting past 60 in the very
    // first point). A run split among several transforms finds that state at
    // each piece's start (looksProjected over the points before it) and hands
    // it to the transform that takes the piece.
    static bool looksProjected(double x, double y, bool first);
    void setProjected(bool projected) { projected_ = projected; }

    const TransformParams &params() const { return p_; }

private:
    struct Handle {
        void operator()(ProjHandle *h) const { pj_free(h); }
    };
    using Projection = std::unique_ptr<ProjHandle, Handle>;
    bool setUpOne(const QString &definition, Projection &out);

    TransformParams p_;
    Projection source_, destination_;
    bool projected_ = false; // kind 4: the input was found to be projected
    QString error_;
};

// The message of a refused set-up, after the library's last error.
QString projectionSetUpMessage();

} // namespace geodesy
