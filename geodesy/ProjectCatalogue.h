#pragma once
// The catalogue of named projections and of named transformations between
// two of them, kept in "Projects.gtp" in the program folder:
//
//   offset 0   8 bytes  signature "VYK PROJ"
//          8   int32    N, transformation records
//         12   int32    M, projection records
//         16   int32    the current transformation (a position among the
//                       records written; -1 for none)
//         20   N records of 268 bytes, then M records of 1320 bytes
//
// Texts are short strings: a length byte and up to 255 characters in
// Windows-1251 in a 256-byte field. Unused bytes are written as zeros.
// Records not in use are hidden from every list and not written.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace geodesy {

// A transformation: from one projection of the catalogue to another.
struct TGeoSystemRecord {
    QString Name;                  //   0 short string
    std::int32_t Source = 0;       // 256 identifier of the source projection
    std::int32_t Destination = 0;  // 260 identifier of the destination projection
    bool InUse = false;            // 264 (1)
    bool operator==(const TGeoSystemRecord &) const = default;
};

// A projection: the pieces of its definition text.
struct TGeoProjectRecord {
    std::int32_t Id = 0;           //    0 unique in the file, from 1 up
    QString Name;                  //    4 short string
    QString Projection;            //  260 value of "+proj="
    QString Ellipsoid;             //  516 value of "+ellps="
    QString Longitude;             //  772 value of "+lon_0=" ("33d00E")
    QString Latitude;              // 1028 value of "+lat_0="
    double K = 0;                  // 1288 scale factor
    double X0 = 0;                 // 1296 false easting
    double Y0 = 0;                 // 1304 false northing
    bool InUse = false;            // 1312 (1)
    bool operator==(const TGeoProjectRecord &) const = default;
};

inline constexpr int CatalogueHeaderSize = 20;
inline constexpr int SystemRecordSize = 268;
inline constexpr int ProjectRecordSize = 1320;
inline constexpr char CatalogueSignature[] = "VYK PROJ";

struct TProjectCatalogue {
    std::int32_t Current = -1;
    std::vector<TGeoSystemRecord> Systems;
    std::vector<TGeoProjectRecord> Projects;
    bool operator==(const TProjectCatalogue &) const = default;
};

// The catalogue in the bytes of a file. A signature other than "VYK PROJ"
// (compared trimmed and upper-cased) gives an empty catalogue. Records are
// read one after another while whole records remain and fewer than the
// header counts were read; negative counts read as 0.
TProjectCatalogue decodeCatalogue(QByteArrayView bytes);
// The file's bytes: the in-use records, the counts recomputed, the current
// index as held.
QByteArray encodeCatalogue(const TProjectCatalogue &catalogue);

// The file in the program folder.
QString catalogueFileName(const QString &programDir);
// An empty catalogue when the file is missing or unreadable.
TProjectCatalogue LoadProjects(const QString &fileName);
// Replaces the file safely; false (the old file kept) when it cannot be
// written.
bool SaveProjects(const QString &fileName, const TProjectCatalogue &catalogue);

// The definition text of a projection: " +proj=", " +ellps=", " +lon_0=",
// " +lat_0=" with their texts, " +k=", " +x_0=", " +y_0=" with their numbers,
// each only when not empty or not 0.
QString BuildProjString(const TGeoProjectRecord &record);
// The index of the projection record with that identifier; -1 when none.
int FindProjectionById(const TProjectCatalogue &catalogue, std::int32_t id);
// The index of the first in-use record of that name; -1 when none.
int FindProjectionByName(const TProjectCatalogue &catalogue, const QString &name);
int FindSystemByName(const TProjectCatalogue &catalogue, const QString &name);
// The definition of the source (1) or destination (2) projection of the
// transformation at `system`; empty when there is none or its projection is
// gone.
QString GetSystemDefinition(const TProjectCatalogue &catalogue, int system, int which);
// The identifier of a new projection: one more than the largest of all
// records (1 when there are none).
std::int32_t NextProjectionId(const TProjectCatalogue &catalogue);
// The names of the in-use records, in record order.
QStringList projectionNames(const TProjectCatalogue &catalogue);
QStringList systemNames(const TProjectCatalogue &catalogue);

// The checks of the transformation editor's "Сохранить", in their order: the
// first message that applies, or an empty text. `edited` is the record being
// edited (-1 for a new one), which is not compared with itself.
QString systemRefusal(const TProjectCatalogue &catalogue, const QString &name, int edited, bool hasSource,
                      bool hasDestination);
// The checks of the projection editor's "Сохранить".
QString projectionRefusal(const TProjectCatalogue &catalogue, const QString &name, int edited,
                          bool hasProjection, bool hasEllipsoid);

// An entry of the editor's fixed lists: the library's identifier and the name
// shown.
struct NamedId {
    const char *Id;
    const char *Name;
};
// The eight projections the editor offers.
const std::vector<NamedId> &projectionChoices();
// The 42 ellipsoids the editor offers, the last being "ITRF (Mexico)".
const std::vector<NamedId> &ellipsoidChoices();

} // namespace geodesy
