#include "geodesy/ProjectCatalogue.h"

#include "mapdata/MapDataCore.h"
#include "mapdata/ShpRecords.h"
#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

#include <QFile>

#include <algorithm>

namespace geodesy {

namespace {

constexpr int ShortStringSize = 256;

QString getShortString(const char *p)
{
    const int length = static_cast<unsigned char>(p[0]);
    return platform::fromCp1251(QByteArrayView(p + 1, length));
}

// A length byte and at most 255 characters; the rest of the field stays zero.
void putShortString(char *p, const QString &text)
{
    const QByteArray bytes = platform::toCp1251(text).left(ShortStringSize - 1);
    p[0] = static_cast<char>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), p + 1);
}

TGeoSystemRecord decodeSystem(const char *d)
{
    TGeoSystemRecord r;
    r.Name = getShortString(d);
    r.Source = shp::getLE32(d + 256);
    r.Destination = shp::getLE32(d + 260);
    r.InUse = d[264] != 0;
    return r;
}

void encodeSystem(char *d, const TGeoSystemRecord &r)
{
    putShortString(d, r.Name);
    shp::setLE32(d + 256, r.Source);
    shp::setLE32(d + 260, r.Destination);
    d[264] = r.InUse ? 1 : 0;
}

TGeoProjectRecord decodeProject(const char *d)
{
    TGeoProjectRecord r;
    r.Id = shp::getLE32(d);
    r.Name = getShortString(d + 4);
    r.Projection = getShortString(d + 260);
    r.Ellipsoid = getShortString(d + 516);
    r.Longitude = getShortString(d + 772);
    r.Latitude = getShortString(d + 1028);
    r.K = shp::getLEDouble(d + 1288);
    r.X0 = shp::getLEDouble(d + 1296);
    r.Y0 = shp::getLEDouble(d + 1304);
    r.InUse = d[1312] != 0;
    return r;
}

void encodeProject(char *d, const TGeoProjectRecord &r)
{
    shp::setLE32(d, r.Id);
    putShortString(d + 4, r.Name);
    putShortString(d + 260, r.Projection);
    putShortString(d + 516, r.Ellipsoid);
    putShortString(d + 772, r.Longitude);
    putShortString(d + 1028, r.Latitude);
    shp::setLEDouble(d + 1288, r.K);
    shp::setLEDouble(d + 1296, r.X0);
    shp::setLEDouble(d + 1304, r.Y0);
    d[1312] = r.InUse ? 1 : 0;
}

template <typename Record>
QStringList namesInUse(const std::vector<Record> &records)
{
    QStringList out;
    for (const Record &r : records)
        if (r.InUse)
            out << r.Name;
    return out;
}

// Whether another record than `edited` has the trimmed name.
template <typename Record>
bool nameTaken(const std::vector<Record> &records, const QString &name, int edited)
{
    const QString trimmed = name.trimmed();
    for (size_t i = 0; i < records.size(); ++i)
        if (static_cast<int>(i) != edited && records[i].Name == trimmed)
            return true;
    return false;
}

} // namespace

TProjectCatalogue decodeCatalogue(QByteArrayView bytes)
{
    TProjectCatalogue c;
    if (bytes.size() < 8)
        return c;
    const QString signature =
        platform::ansiUpperCase(platform::trimBlank(platform::fromCp1251(bytes.first(8))));
    if (signature != QLatin1String(CatalogueSignature) || bytes.size() < CatalogueHeaderSize)
        return c;
    const char *d = bytes.data();
    // The counts are trusted only as far as the file holds whole records.
    const qint64 n = std::max<std::int32_t>(shp::getLE32(d + 8), 0);
    const qint64 m = std::max<std::int32_t>(shp::getLE32(d + 12), 0);
    c.Current = shp::getLE32(d + 16);
    qint64 pos = CatalogueHeaderSize;
    for (qint64 i = 0; i < n && pos + SystemRecordSize <= bytes.size(); ++i, pos += SystemRecordSize)
        c.Systems.push_back(decodeSystem(d + pos));
    for (qint64 i = 0; i < m && pos + ProjectRecordSize <= bytes.size(); ++i, pos += ProjectRecordSize)
        c.Projects.push_back(decodeProject(d + pos));
    return c;
}

QByteArray encodeCatalogue(const TProjectCatalogue &catalogue)
{
    const auto n = std::count_if(catalogue.Systems.begin(), catalogue.Systems.end(),
                                 [](const TGeoSystemRecord &r) { return r.InUse; });
    const auto m = std::count_if(catalogue.Projects.begin(), catalogue.Projects.end(),
                                 [](const TGeoProjectRecord &r) { return r.InUse; });
    QByteArray out(CatalogueHeaderSize + SystemRecordSize * n + ProjectRecordSize * m, '\0');
    char *d = out.data();
    std::copy_n(CatalogueSignature, 8, d);
    shp::setLE32(d + 8, static_cast<std::int32_t>(n));
    shp::setLE32(d + 12, static_cast<std::int32_t>(m));
    shp::setLE32(d + 16, catalogue.Current);
    qsizetype pos = CatalogueHeaderSize;
    for (const TGeoSystemRecord &r : catalogue.Systems)
        if (r.InUse) {
            encodeSystem(d + pos, r);
            pos += SystemRecordSize;
        }
    for (const TGeoProjectRecord &r : catalogue.Projects)
        if (r.InUse) {
            encodeProject(d + pos, r);
            pos += ProjectRecordSize;
        }
    return out;
}

QString catalogueFileName(const QString &programDir)
{
    return platform::joinPath(programDir, u"Projects.gtp");
}

TProjectCatalogue LoadProjects(const QString &fileName)
{
    const QString found = platform::findExistingPath(fileName);
    QFile f(found.isEmpty() ? fileName : found);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return decodeCatalogue(f.readAll());
}

bool SaveProjects(const QString &fileName, const TProjectCatalogue &catalogue)
{
    const QString found = platform::findExistingPath(fileName);
    return platform::writeFileAtomically(found.isEmpty() ? fileName : found, encodeCatalogue(catalogue));
}

QString BuildProjString(const TGeoProjectRecord &r)
{
    return projectionPieces(r.Projection, r.Ellipsoid, r.Longitude, r.Latitude, r.K, r.X0, r.Y0);
}

int FindProjectionById(const TProjectCatalogue &catalogue, std::int32_t id)
{
    for (size_t i = 0; i < catalogue.Projects.size(); ++i)
        if (catalogue.Projects[i].Id == id)
            return static_cast<int>(i);
    return -1;
}

int FindProjectionByName(const TProjectCatalogue &catalogue, const QString &name)
{
    for (size_t i = 0; i < catalogue.Projects.size(); ++i)
        if (catalogue.Projects[i].InUse && catalogue.Projects[i].Name == name)
            return static_cast<int>(i);
    return -1;
}

int FindSystemByName(const TProjectCatalogue &catalogue, const QString &name)
{
    for (size_t i = 0; i < catalogue.Systems.size(); ++i)
        if (catalogue.Systems[i].InUse && catalogue.Systems[i].Name == name)
            return static_cast<int>(i);
    return -1;
}

QString GetSystemDefinition(const TProjectCatalogue &catalogue, int system, int which)
{
    if (system < 0 || static_cast<size_t>(system) >= catalogue.Systems.size())
        return {};
    const TGeoSystemRecord &s = catalogue.Systems[static_cast<size_t>(system)];
    const int p = FindProjectionById(catalogue, which == 1 ? s.Source : s.Destination);
    // A projection deleted from the catalogue no longer defines anything.
    if (p < 0 || !catalogue.Projects[static_cast<size_t>(p)].InUse)
        return {};
    return BuildProjString(catalogue.Projects[static_cast<size_t>(p)]);
}

std::int32_t NextProjectionId(const TProjectCatalogue &catalogue)
{
    std::int32_t top = 0;
    for (const TGeoProjectRecord &r : catalogue.Projects)
        top = std::max(top, r.Id);
    return top + 1;
}

QStringList projectionNames(const TProjectCatalogue &catalogue) { return namesInUse(catalogue.Projects); }

QStringList systemNames(const TProjectCatalogue &catalogue) { return namesInUse(catalogue.Systems); }

QString systemRefusal(const TProjectCatalogue &catalogue, const QString &name, int edited, bool hasSource,
                      bool hasDestination)
{
    if (name.isEmpty())
        return QStringLiteral("Не заполнено поле \"Наименование\"");
    if (nameTaken(catalogue.Systems, name, edited))
        return QStringLiteral("Наименование ") + name + QStringLiteral(" уже присутствует в списке преобразований");
    if (!hasSource)
        return QStringLiteral("Не заполнено поле \"Преобразовать из проекции\"");
    if (!hasDestination)
        return QStringLiteral("Не заполнено поле \"Преобразовать в проекцию\"");
    return {};
}

QString projectionRefusal(const TProjectCatalogue &catalogue, const QString &name, int edited, bool hasProjection,
                          bool hasEllipsoid)
{
    if (name.isEmpty())
        return QStringLiteral("Не заполнено поле \"Наименование\"");
    if (nameTaken(catalogue.Projects, name, edited))
        return QStringLiteral("Наименование ") + name + QStringLiteral(" уже присутствует в списке проекций");
    if (!hasProjection)
        return QStringLiteral("Не выбрана проекция");
    if (!hasEllipsoid)
        return QStringLiteral("Не выбрана эллипсоид");
    return {};
}

const std::vector<NamedId> &projectionChoices()
{
    static const std::vector<NamedId> list = {
        {"aea", "Albers Equal Area"},
        {"airy", "Airy"},
        {"lcc", "Lambert Conformal Conic"},
        {"leac", "Lambert Equal Area Conic"},
        {"merc", "Mercator"},
        {"omerc", "Oblique Mercator"},
        {"tmerc", "Transverse Mercator"},
        {"utm", "Universal Transverse Mercator (UTM)"},
    };
    return list;
}

const std::vector<NamedId> &ellipsoidChoices()
{
    // The projection library's ellipsoids in its order, names cut to 30
    // characters; the last is the system's own.
    static const std::vector<NamedId> list = {
        {"MERIT", "MERIT 1983"},
        {"SGS85", "Soviet Geodetic System 85"},
        {"GRS80", "GRS 1980(IUGG, 1980)"},
        {"IAU76", "IAU 1976"},
        {"airy", "Airy 1830"},
        {"APL4.9", "Appl. Physics. 1965"},
        {"NWL9D", "Naval Weapons Lab., 1965"},
        {"mod_airy", "Modified Airy"},
        {"andrae", "Andrae 1876 (Den., Iclnd.)"},
        {"aust_SA", "Australian Natl & S. Amer. 196"},
        {"GRS67", "GRS 67(IUGG 1967)"},
        {"bessel", "Bessel 1841"},
        {"bess_nam", "Bessel 1841 (Namibia)"},
        {"clrk66", "Clarke 1866"},
        {"clrk80", "Clarke 1880 mod."},
        {"CPM", "Comm. des Poids et Mesures 179"},
        {"delmbr", "Delambre 1810 (Belgium)"},
        {"engelis", "Engelis 1985"},
        {"evrst30", "Everest 1830"},
        {"evrst48", "Everest 1948"},
        {"evrst56", "Everest 1956"},
        {"evrst69", "Everest 1969"},
        {"evrstSS", "Everest (Sabah & Sarawak)"},
        {"fschr60", "Fischer (Mercury Datum) 1960"},
        {"fschr60m", "Modified Fischer 1960"},
        {"fschr68", "Fischer 1968"},
        {"helmert", "Helmert 1906"},
        {"hough", "Hough"},
        {"intl", "International 1924 (Hayford 19"},
        {"krass", "Krassovsky, 1942"},
        {"kaula", "Kaula 1961"},
        {"lerch", "Lerch 1979"},
        {"mprts", "Maupertius 1738"},
        {"new_intl", "New International 1967"},
        {"plessis", "Plessis 1817 (France)"},
        {"SEasia", "Southeast Asia"},
        {"walbeck", "Walbeck"},
        {"WGS60", "WGS 60"},
        {"WGS66", "WGS 66"},
        {"WGS72", "WGS 72"},
        {"WGS84", "WGS 84"},
        {"ITRFMEX", "ITRF (Mexico)"},
    };
    return list;
}

} // namespace geodesy
