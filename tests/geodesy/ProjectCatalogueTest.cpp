// The projection catalogue "Projects.gtp": its bytes against a file built by
// hand at the layout's offsets, lenient and bounded reading, the definition
// texts, identifiers, lookups and the editors' checks.

#include "geodesy/ProjectCatalogue.h"

#include "support/Cs2cs.h"
#include "support/GdalTools.h"
#include "support/TestFiles.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace geodesy;
using testsupport::putLE32;
using testsupport::putLEDouble;

namespace {

// A short string at an offset: the length byte and the bytes.
void putShort(QByteArray &b, qsizetype at, const QByteArray &text)
{
    b[at] = static_cast<char>(text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        b[at + 1 + i] = text[i];
}

// "Зона 5" in Windows-1251.
const QByteArray zone5 = QByteArray("\xC7\xEE\xED\xE0 5", 6);

// A catalogue of one transformation and two projections, as the file has it.
QByteArray handMadeFile()
{
    QByteArray b(20 + 268 + 2 * 1320, '\0');
    b.replace(0, 8, "VYK PROJ");
    putLE32(b, 8, 1);
    putLE32(b, 12, 2);
    putLE32(b, 16, 0);
    // The transformation at 20.
    putShort(b, 20, "6 -> 5");
    putLE32(b, 20 + 256, 3);
    putLE32(b, 20 + 260, 7);
    b[20 + 264] = 1;
    // The projections at 288 and 1608.
    const qsizetype p = 288;
    putLE32(b, p, 3);
    putShort(b, p + 4, "Zone 6");
    putShort(b, p + 260, "tmerc");
    putShort(b, p + 516, "krass");
    putShort(b, p + 772, "33d00E");
    putShort(b, p + 1028, "0d0N");
    putLEDouble(b, p + 1288, 1);
    putLEDouble(b, p + 1296, 6500000);
    putLEDouble(b, p + 1304, 0);
    b[p + 1312] = 1;
    const qsizetype q = 288 + 1320;
    putLE32(b, q, 7);
    putShort(b, q + 4, zone5);
    putShort(b, q + 260, "tmerc");
    putShort(b, q + 516, "krass");
    putShort(b, q + 772, "27d00E");
    putLEDouble(b, q + 1288, 0.9996);
    putLEDouble(b, q + 1296, 5500000.5);
    putLEDouble(b, q + 1304, -10);
    b[q + 1312] = 1;
    return b;
}

TGeoProjectRecord projection(std::int32_t id, const QString &name, const QString &proj, const QString &ellps,
                             const QString &lon, const QString &lat, double k, double x0, double y0)
{
    return {id, name, proj, ellps, lon, lat, k, x0, y0, true};
}

TProjectCatalogue memoryCatalogue()
{
    TProjectCatalogue c;
    c.Current = 0;
    c.Systems = {{QStringLiteral("6 -> 5"), 3, 7, true}};
    c.Projects = {projection(3, QStringLiteral("Zone 6"), "tmerc", "krass", "33d00E", "0d0N", 1, 6500000, 0),
                  projection(7, QStringLiteral("Зона 5"), "tmerc", "krass", "27d00E", "", 0.9996, 5500000.5, -10)};
    return c;
}

} // namespace

TEST(ProjectCatalogue, BytesFollowTheFileLayout)
{
    const QByteArray file = handMadeFile();
    TProjectCatalogue c = memoryCatalogue();
    EXPECT_EQ(decodeCatalogue(file), c);
    EXPECT_EQ(encodeCatalogue(c), file);

    // Records out of use are not written and the counts follow.
    c.Systems.insert(c.Systems.begin(), TGeoSystemRecord{QStringLiteral("gone"), 1, 2, false});
    c.Projects.push_back(projection(9, "deleted", "merc", "WGS84", "", "", 1, 0, 0));
    c.Projects.back().InUse = false;
    EXPECT_EQ(encodeCatalogue(c), file);

    // Through the file in the program folder.
    testsupport::TempFolder dir;
    const QString name = catalogueFileName(dir.path());
    EXPECT_TRUE(name.endsWith(QStringLiteral("/Projects.gtp")));
    ASSERT_TRUE(SaveProjects(name, c));
    EXPECT_EQ(dir.read(QStringLiteral("Projects.gtp")), file);
    EXPECT_EQ(LoadProjects(name), memoryCatalogue());
    EXPECT_EQ(LoadProjects(dir.file(QStringLiteral("missing.gtp"))), TProjectCatalogue{});
}

TEST(ProjectCatalogue, ReadingIsLenientAndBoundedByTheFile)
{
    const QByteArray file = handMadeFile();
    struct Case {
        const char *name;
        QByteArray bytes;
        size_t systems, projects;
    };
    QByteArray lower = file;
    lower.replace(0, 8, "vyk proj");
    QByteArray wrong = file;
    wrong.replace(0, 8, "VYK_PROJ");
    QByteArray moreDeclared = file;
    putLE32(moreDeclared, 12, 3); // three projections declared, two held
    QByteArray negative = file;
    putLE32(negative, 8, -1);
    putLE32(negative, 12, -5);
    QByteArray huge = file;
    putLE32(huge, 8, 0x7fffffff);
    QByteArray cutShort = file.left(file.size() - 1);
    const Case cases[] = {
        {"lower-case signature", lower, 1, 2},
        {"other signature", wrong, 0, 0},
        {"header only", file.left(20), 0, 0},
        {"shorter than the header", file.left(12), 0, 0},
        {"more projections declared than held", moreDeclared, 1, 2},
        {"negative counts", negative, 0, 0},
        // The transformations take every whole record there is; the
        // projection bytes are read as such, no projection is left.
        {"huge count", huge, 10, 0},
        {"last record cut short", cutShort, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const TProjectCatalogue read = decodeCatalogue(c.bytes);
        EXPECT_EQ(read.Systems.size(), c.systems);
        EXPECT_EQ(read.Projects.size(), c.projects);
    }

    // The next save writes what was read, with its own counts.
    testsupport::TempFolder dir;
    const QString name = dir.write(QStringLiteral("Projects.gtp"), moreDeclared);
    ASSERT_TRUE(SaveProjects(name, LoadProjects(name)));
    const QByteArray saved = dir.read(QStringLiteral("Projects.gtp"));
    EXPECT_EQ(saved, file);
}

TEST(ProjectCatalogue, DefinitionTextsIdentifiersAndLookups)
{
    struct Case {
        TGeoProjectRecord record;
        const char *text;
    };
    const Case cases[] = {
        {projection(1, "a", "tmerc", "krass", "33d00E", "", 1, 6500000, 0),
         " +proj=tmerc +ellps=krass +lon_0=33d00E +k=1 +x_0=6500000"},
        {projection(1, "a", " utm ", "WGS84", "", " 0d0N ", 0, 0, 0), " +proj=utm +ellps=WGS84 +lat_0=0d0N"},
        {projection(1, "a", "tmerc", "", "27d00E", "", 0.9996, 5500000.5, -1e-7),
         " +proj=tmerc +lon_0=27d00E +k=0.9996 +x_0=5500000.5 +y_0=-1E-7"},
        {projection(1, "a", "", "", "", "", 0, 0, 0), ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BuildProjString(c.record), QString::fromUtf8(c.text));

    TProjectCatalogue cat = memoryCatalogue();
    EXPECT_EQ(NextProjectionId(cat), 8);
    cat.Projects.insert(cat.Projects.begin(), projection(1, "one", "merc", "WGS84", "", "", 1, 0, 0));
    cat.Projects.push_back(projection(2, "two", "merc", "WGS84", "", "", 1, 0, 0));
    // Ids 1, 3, 7, 2 (and 1, 2, 7 of the Part's example alike): the next is 8.
    EXPECT_EQ(NextProjectionId(cat), 8);
    EXPECT_EQ(NextProjectionId(TProjectCatalogue{}), 1);
    EXPECT_EQ(FindProjectionById(cat, 7), 2);
    EXPECT_EQ(FindProjectionById(cat, 5), -1);
    EXPECT_EQ(FindProjectionByName(cat, QStringLiteral("Зона 5")), 2);
    EXPECT_EQ(FindSystemByName(cat, QStringLiteral("6 -> 5")), 0);
    EXPECT_EQ(projectionNames(cat), (QStringList{"one", "Zone 6", "Зона 5", "two"}));

    EXPECT_EQ(GetSystemDefinition(cat, 0, 1), " +proj=tmerc +ellps=krass +lon_0=33d00E +lat_0=0d0N +k=1 +x_0=6500000");
    EXPECT_EQ(GetSystemDefinition(cat, 0, 2), " +proj=tmerc +ellps=krass +lon_0=27d00E +k=0.9996 +x_0=5500000.5 +y_0=-10");
    EXPECT_EQ(GetSystemDefinition(cat, 1, 1), QString());
    EXPECT_EQ(GetSystemDefinition(cat, -1, 1), QString());
    // A projection deleted (or gone) defines nothing any more.
    cat.Projects[2].InUse = false;
    EXPECT_EQ(GetSystemDefinition(cat, 0, 2), QString());
    EXPECT_EQ(projectionNames(cat), (QStringList{"one", "Zone 6", "two"}));
    cat.Projects.erase(cat.Projects.begin() + 1);
    EXPECT_EQ(GetSystemDefinition(cat, 0, 1), QString());
}

TEST(ProjectCatalogue, EditorChecksComeInTheirOrder)
{
    const TProjectCatalogue cat = memoryCatalogue();
    struct SystemCase {
        const char *name;
        int edited;
        bool source, destination;
        const char *message;
    };
    const SystemCase systems[] = {
        {"", -1, false, false, "Не заполнено поле \"Наименование\""},
        {"6 -> 5", -1, false, false, "Наименование 6 -> 5 уже присутствует в списке преобразований"},
        {" 6 -> 5 ", -1, true, true, "Наименование  6 -> 5  уже присутствует в списке преобразований"},
        {"6 -> 5", 0, false, true, "Не заполнено поле \"Преобразовать из проекции\""},
        {"new", -1, true, false, "Не заполнено поле \"Преобразовать в проекцию\""},
        {"new", -1, true, true, ""},
    };
    for (const SystemCase &c : systems)
        EXPECT_EQ(systemRefusal(cat, QString::fromUtf8(c.name), c.edited, c.source, c.destination),
                  QString::fromUtf8(c.message))
            << c.name;
    struct ProjectionCase {
        const char *name;
        int edited;
        bool projection, ellipsoid;
        const char *message;
    };
    const ProjectionCase projections[] = {
        {"", 1, true, true, "Не заполнено поле \"Наименование\""},
        {"Зона 5", 0, true, true, "Наименование Зона 5 уже присутствует в списке проекций"},
        {"Зона 5", 1, false, false, "Не выбрана проекция"},
        {"Зона 4", -1, true, false, "Не выбрана эллипсоид"},
        {"Зона 4", -1, true, true, ""},
    };
    for (const ProjectionCase &c : projections)
        EXPECT_EQ(projectionRefusal(cat, QString::fromUtf8(c.name), c.edited, c.projection, c.ellipsoid),
                  QString::fromUtf8(c.message))
            << c.name;
}

// The ellipsoids offered are the library's, in its order, with its names cut
// to 30 characters; the last one is the system's own.
TEST(ProjectCatalogue, EllipsoidsAreTheLibrarysInItsOrder)
{
    const std::vector<NamedId> &ellipsoids = ellipsoidChoices();
    ASSERT_EQ(ellipsoids.size(), 42u);
    EXPECT_STREQ(ellipsoids.back().Id, "ITRFMEX");
    EXPECT_STREQ(ellipsoids.back().Name, "ITRF (Mexico)");
    ASSERT_EQ(projectionChoices().size(), 8u);
    EXPECT_STREQ(projectionChoices()[6].Id, "tmerc");
    if (!testsupport::haveCs2cs())
        GTEST_SKIP() << "cs2cs is not installed (package proj-bin)";
    const testsupport::ToolRun run = testsupport::runTool(QStringLiteral("cs2cs"), {QStringLiteral("-le")}, ".");
    std::vector<std::pair<QString, QString>> library;
    static const QRegularExpression line(QStringLiteral("^\\s*(\\S+)\\s+\\S+\\s+\\S+\\s+(.*)$"));
    for (const QString &l : run.out.split(u'\n')) {
        const QRegularExpressionMatch m = line.match(l);
        if (m.hasMatch())
            library.emplace_back(m.captured(1), m.captured(2).trimmed());
    }
    size_t at = 0;
    for (size_t i = 0; i + 1 < ellipsoids.size(); ++i) {
        const QString id = QString::fromUtf8(ellipsoids[i].Id);
        while (at < library.size() && library[at].first != id)
            ++at;
        ASSERT_LT(at, library.size()) << ellipsoids[i].Id << " is missing or out of the library's order";
        EXPECT_EQ(QString::fromUtf8(ellipsoids[i].Name), library[at].second.left(30)) << ellipsoids[i].Id;
    }
}
