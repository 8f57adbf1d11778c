#pragma once
// The projection library's calls as the system uses them, over PROJ's current
// interface: a handle is set up from a parameter text ("+proj=tmerc
// +ellps=krass ...") with a grid-file search path, and converts single points
// forward (longitude and latitude in radians to x, y) and inverse. A point
// that cannot be converted comes back as HUGE_VAL, HUGE_VAL, with the error
// number kept for pj_get_errno_ref.
//
// Decisions:
// - Each handle owns its own library context, so an error of one set-up never
//   sticks to the next.
// - The search path is put in front of the library's default paths (its
//   database stays found), resolved against the current folder at set-up.
// - The conversions are pure projections: datum-shift keys ("towgs84",
//   "nadgrids", "geoidgrids") are dropped and "+datum=X" becomes the datum's
//   ellipsoid (when no "+ellps" is given); the library would otherwise add a
//   datum shift to every point.
// - A blank text, and a text that gives a coordinate system instead of a
//   conversion ("+type=crs", "+init=..."), are refused like any other bad text.

#include <QString>

namespace geodesy {

// A pair of coordinates as the calls take and give them: (lam, phi) or (x, y).
struct projUV {
    double u = 0;
    double v = 0;
};

struct ProjHandle;
using projPJ = ProjHandle *;

// Sets up a projection; null when the library refuses the text.
projPJ pj_init_plus_path(const QString &definition, const QString &searchPath);
projUV pj_fwd(projUV lp, projPJ P);
projUV pj_inv(projUV xy, projPJ P);
// Releases a handle; null is ignored.
void pj_free(projPJ P);
// The error number of the last failed set-up or conversion of the calling
// thread (0: none).
int *pj_get_errno_ref();
// The library's text for an error number.
QString pj_strerrno(int err);

// The parameter text as it is handed to the library (see the decisions above).
QString pureProjectionDefinition(const QString &definition);

} // namespace geodesy
