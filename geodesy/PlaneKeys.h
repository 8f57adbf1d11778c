#pragma once
// Plane transformation keys: a similarity from one plane rectangular system
// to another (scale k, rotation a, shifts Cx and Cy), in surveying names
// (X the northing, Y the easting):
//   X' = Cx + k (X cos a - Y sin a),   Y' = Cy + k (Y cos a + X sin a).
// Named keys are kept in "Systems.gtr" in the program folder: 296-byte
// records, no header, little-endian:
//   0 name (length byte and up to 255 characters, Windows-1251)
//   256 Cx, 264 Cy, 272 k, 280 sin a, 288 cos a (doubles)
// A key is computed by least squares from pairs of points given in both
// systems.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace geodesy {

struct TGeoKeyRecord {
    QString Name;
    double Cx = 0;
    double Cy = 0;
    double K = 0;
    double SinA = 0;
    double CosA = 0;
    bool operator==(const TGeoKeyRecord &) const = default;
};

inline constexpr int KeyRecordSize = 296;

// The whole records of the bytes; a trailing piece shorter than a record is
// ignored.
std::vector<TGeoKeyRecord> decodeKeys(QByteArrayView bytes);
QByteArray encodeKeys(const std::vector<TGeoKeyRecord> &keys);

QString keyFileName(const QString &programDir);
// No keys when the file is missing.
std::vector<TGeoKeyRecord> LoadKeys(const QString &fileName);
// Replaces the file safely; false (the old file kept) when it cannot be
// written.
bool SaveKeys(const QString &fileName, const std::vector<TGeoKeyRecord> &keys);

// A point in the local system (X1, Y1) and the same point in the target
// system (X2, Y2).
struct PointPair {
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

struct PlaneKey {
    double Cx = 0, Cy = 0, K = 0, SinA = 0, CosA = 0;
};

// The key that maps the local points onto the target points with the least
// sum of squared differences. The rotation is taken in its full circle
// (atan2), so turns beyond 90 degrees come out right. No key, with the
// message for the user, when there are no pairs or the local points all
// coincide.
std::optional<PlaneKey> computeKey(const std::vector<PointPair> &pairs, QString &refusal);

// One row of the key computation's table.
struct TransformRow {
    QString Name;
    double X1 = 0, Y1 = 0, Z1 = 0, X2 = 0, Y2 = 0, Z2 = 0;
};

// The rows of a pasted text: one per line that is not blank; fields split at
// blanks and tabs (runs count as one): name, X, Y, Z, U, V, H. Further fields
// are ignored; numbers are read tolerantly, 0 when missing or unreadable.
std::vector<TransformRow> parseTransformRows(const QString &text);

} // namespace geodesy
