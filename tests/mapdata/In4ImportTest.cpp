// In4 files imported into a polygon layer made byte by byte.

#include "ExchangeFixtures.h"

#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"
#include "support/ScriptedAnswers.h"

#include <gtest/gtest.h>

namespace {

const std::vector<fixtures::DbfField> in4Fields = {
    {"ID", 'N', 10, 0}, {"DATEEDIT", 'D', 8, 0}, {"KN", 'C', 20, 0},
    {"NAME", 'C', 40, 0}, {"AREA", 'N', 12, 4}, {"KOD", 'N', 4, 0}, {"FILENAME", 'C', 120, 0}};

QString value(const exchange::Workspace &ws, int row, int field)
{
    return platform::fromCp1251(
        fixtures::dbfValue(ws.file(QStringLiteral("parcels.Dbf")), in4Fields, row, field).trimmed());
}

QByteArray in4(std::initializer_list<const char *> lines)
{
    QStringList l;
    for (const char *s : lines)
        l << QString::fromUtf8(s);
    return platform::toCp1251(l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

const QByteArray twoParcels = in4({
    "BL,KN=\"48:02:001\",AREA=0.15,",
    "NAME=\"Иванов, Петров\"",
    "SR,KOD=3",
    "N=1,NP=\"1\",X=5400000.5,Y=1300000.25",
    "N=2,NP=\"2\",X=5400000.5,Y=1300010",
    "N=3,NP=\"3\",X=5400010,Y=1300010",
    "N=4,NP=\"4\",X=5400000.5,Y=1300000.25",
    "BL,KN=\"48:02:002\",NAME=\"Сидоров\"",
    "SR,KOD=4",
    "N=1,X=5400020,Y=1300020",
    "N=2,X=5400030,Y=1300020",
    "N=3,X=5400030,Y=1300030",
});

} // namespace

TEST(In4Import, TwoParcelsBecomeTwoPolygonsWithTheirAttributes)
{
    exchange::Workspace ws;
    const int layer = ws.addLayer(QStringLiteral("parcels"), 5, {}, {}, in4Fields);
    const QString file = ws.dir.write(QStringLiteral("plots.in4"), twoParcels);
    ws.core.ImportIn4(layer, file);

    const TMapLayer &L = ws.core.Project().Layers[layer];
    ASSERT_EQ(L.Objects.size(), 2u);
    TShpObject first, second;
    ws.core.ReadObject(layer, 0, first);
    ws.core.ReadObject(layer, 1, second);
    // The file's X is the northing: it becomes the second coordinate.
    EXPECT_EQ(exchange::partsOf(first), (std::vector<exchange::XY>{
                                            {{1300000.25, 5400000.5}, {1300010, 5400000.5}, {1300010, 5400010},
                                             {1300000.25, 5400000.5}}}));
    // An open ring is closed as every single-ring polygon committed.
    EXPECT_EQ(exchange::partsOf(second), (std::vector<exchange::XY>{
                                             {{1300020, 5400020}, {1300020, 5400030}, {1300030, 5400030},
                                              {1300020, 5400020}}}));

    EXPECT_EQ(value(ws, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(value(ws, 0, 1), QStringLiteral("20240315"));
    EXPECT_EQ(value(ws, 0, 2), QStringLiteral("48:02:001"));
    EXPECT_EQ(value(ws, 0, 3), QStringLiteral("Иванов, Петров"));   // the quoted comma kept
    EXPECT_EQ(value(ws, 0, 4).toDouble(), 0.15);
    EXPECT_EQ(value(ws, 0, 5), QStringLiteral("3"));
    EXPECT_EQ(value(ws, 0, 6), file);
    EXPECT_EQ(value(ws, 1, 0), QStringLiteral("2"));
    EXPECT_EQ(value(ws, 1, 2), QStringLiteral("48:02:002"));
    EXPECT_EQ(value(ws, 1, 3), QStringLiteral("Сидоров"));
    EXPECT_EQ(value(ws, 1, 4), QString());
    EXPECT_EQ(value(ws, 1, 5), QStringLiteral("4"));

    // The last parcel is selected.
    ASSERT_EQ(ws.engine.selection.Entries.size(), 1u);
    EXPECT_EQ(ws.engine.selection.Entries[0].Index, 1);
    EXPECT_FALSE(ws.core.NewObject().Drawing);
}

TEST(In4Import, FilesChosenInTheDialogAndFilesRefused)
{
    exchange::Workspace ws;
    const int layer = ws.addLayer(QStringLiteral("parcels"), 5, {}, {}, in4Fields);
    const QString upper = ws.dir.write(QStringLiteral("PLOTS.IN4"), twoParcels);
    const QString shp = ws.dir.write(QStringLiteral("other.shp"), twoParcels);   // not an In4 name: ignored
    {
        testsupport::ScriptedAnswers answers;
        answers.openFile(upper);
        ws.core.ImportLayers(layer);
        ASSERT_EQ(answers.fileRequests().size(), 1u);
        const platform::FileDialogRequest &r = answers.fileRequests().front();
        EXPECT_EQ(r.kind, platform::FileDialogRequest::OpenMultiple);
        EXPECT_EQ(r.title, QStringLiteral("Открыть слой"));
        EXPECT_EQ(r.filter, QStringLiteral("All (*.in4;*.shp)|*.in4;*.shp|Ведорум (*.in4)|*.in4|ArcView (*.shp)|*.shp"));
    }
    EXPECT_EQ(ws.core.Project().Layers[layer].Objects.size(), 2u);
    {
        testsupport::ScriptedAnswers answers;
        answers.openFile(shp);
        ws.core.ImportLayers(layer);
        answers.cancelFile();
        ws.core.ImportLayers(layer);
    }
    ws.core.ImportIn4(layer, ws.dir.file(QStringLiteral("missing.in4")));
    EXPECT_EQ(ws.core.Project().Layers[layer].Objects.size(), 2u);

    // A coordinate that is no number: the conversion error reaches the
    // caller, and no parcel of the file is stored.
    const QByteArray shpBefore = ws.file(QStringLiteral("parcels.Shp"));
    const QString bad = ws.dir.write(QStringLiteral("bad.in4"),
                                     in4({"SR,KOD=1", "N=1,X=1,Y=1", "N=2,X=2,Y=2", "BL,KN=2", "SR,KOD=2", "N=1,X=.,Y=5"}));
    EXPECT_THROW(ws.core.ImportIn4(layer, bad), platform::ConvertError);
    EXPECT_EQ(ws.file(QStringLiteral("parcels.Shp")), shpBefore);
    EXPECT_EQ(ws.core.Project().Layers[layer].Objects.size(), 2u);
}
