#pragma once
// The projector: a projection held as a list of parameters ("proj=tmerc",
// "ellps=krass" ..., without the leading "+") and the projection set up from
// them. The map window keeps one with its default projection.

#include "geodesy/ProjectionBinding.h"

#include <QStringList>

namespace geodesy {

class TProjector {
public:
    // Makes the list with the default parameters (not yet set up).
    TProjector();
    ~TProjector();
    TProjector(const TProjector &) = delete;
    TProjector &operator=(const TProjector &) = delete;

    QStringList Params;

    void SetParams(const QStringList &params) { Params = params; }
    // Clears the list, adds the defaults and sets them up.
    void Reset();
    // Sets up the projection from the list; false when the library refuses it.
    bool Apply();
    // Adds what is missing of "proj", "ellps" and "units" (and, with a missing
    // "proj", "zone" and "south"); true when nothing had to be added.
    bool AddDefaultParams();

    // The projection set up by the last Apply (null when refused or not yet).
    projPJ Projection() const { return FProjection; }

private:
    projPJ FProjection = nullptr;
};

} // namespace geodesy
