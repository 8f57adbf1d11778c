// Opening layer files into the layer table, creating layers from the
// templates of the program folder, and the records of the standard layers.

#include "MapWindowFixture.h"

#include "platform/Environment.h"

#include <QAction>

using namespace maptest;

class LayerOpeningTest : public MapWindowTest {};

TEST_F(LayerOpeningTest, KindsOfANewLayerFollowTheShapeType)
{
    struct Case {
        int shapeType;
        QByteArray content;
        Byte mapType, objType;
        bool symbolFont;
        bool randomPen;
    };
    const Case cases[] = {
        {1, pointContent(1, 2), 1, otSymbols, true, false},
        {11, pointContent(1, 2, 11), 1, otSymbols, true, false},
        {3, polyContent(3, {1, 1, 2, 2}), 1, otPolylines, false, true},
        {23, polyContent(23, {1, 1, 2, 2}), 1, otPolylines, false, true},
        {5, polyContent(5, {1, 1, 2, 2}), 1, otPolygons, false, false},
        {15, polyContent(15, {1, 1, 2, 2}), 1, otPolygons, false, false},
        {8, textContent({1, 1, 2, 2}), 8, otPolylines, false, false},
        {10, rasterContent({1, 1, 2, 2}), 1, otImages, false, false},
    };
    // Every random draw gives the last value: palette 8, colour 999.
    platform::ScopedService<platform::RandomNumbers> random([](int n) { return n - 1; });
    const int expectedColour = MapFunctions::PaletteColor(8, 999);
    for (const Case &c : cases) {
        const QString name = QStringLiteral("kind%1").arg(c.shapeType);
        writeLayer(work_, name, shapes(c.shapeType, {1, 1, 2, 2}, {c.content}), 1);
        const TMapLayer &L = layer(openLayer(name + QStringLiteral(".shp")));
        SCOPED_TRACE(c.shapeType);
        EXPECT_EQ(L.MapType, c.mapType);
        EXPECT_EQ(L.ObjType, c.objType);
        EXPECT_EQ(L.FileName, name + QStringLiteral(".Shp"));
        EXPECT_EQ(L.Name, name + QStringLiteral(".shp"));
        EXPECT_EQ(L.BrushColor, expectedColour);
        EXPECT_EQ(L.BrushType, c.symbolFont ? 0 : 1);
        EXPECT_EQ(L.ViewPoints, c.symbolFont);
        EXPECT_EQ(L.Font.FontName, c.symbolFont ? QStringLiteral("Wingdings") : QStringLiteral("Arial CYR"));
        EXPECT_EQ(L.Font.Size, 12);
        if (c.symbolFont) {
            EXPECT_EQ(L.Font.TextSymbol, QChar(u'l'));
            EXPECT_EQ(L.Font.Color, expectedColour);
        }
        EXPECT_EQ(L.PenColor, c.randomPen ? expectedColour : 0);
        EXPECT_EQ(L.PenStyle, 1);
        EXPECT_EQ(L.PenWidth, 0.01);
        EXPECT_EQ(L.PenMode, 4);
        EXPECT_TRUE(L.Visible && L.Snap && L.Edited && L.ForAllObjects);
        EXPECT_FALSE(L.ViewShadow);
        EXPECT_EQ(map().Project().ActiveLayer, L.Number);
    }
}

TEST_F(LayerOpeningTest, TheProjectsKindsStayWhenNotNew)
{
    writeLayer(work_, QStringLiteral("texts"), shapes(8, {1, 1, 2, 2}, {textContent({1, 1, 2, 2})}), 1);
    map().Project().Layers.resize(1);
    layer(0).MapType = 1;
    layer(0).ObjType = 4;
    layer(0).FileName = QStringLiteral("texts.shp");
    EXPECT_TRUE(w().OpenLayer(QStringLiteral("texts.shp"), 0, false));
    EXPECT_EQ(layer(0).MapType, 1);
    EXPECT_EQ(layer(0).ObjType, 4);
    EXPECT_EQ(layer(0).Objects.size(), 1u);
    EXPECT_EQ(layer(0).Blocks[0].XMax, 2);
}

TEST_F(LayerOpeningTest, UnreadableLayersAreReportedAndStay)
{
    // An index shorter than its header, and a layer without files.
    writeFile(QDir(work_).filePath(QStringLiteral("short.shp")), fileHeader(1, {}, 50));
    writeFile(QDir(work_).filePath(QStringLiteral("short.shx")), QByteArray(60, '\0'));
    testsupport::ScriptedAnswers answers;
    reply(answers, platform::mrOk);
    reply(answers, platform::mrOk);
    EXPECT_FALSE(w().OpenLayer(QDir(work_).filePath(QStringLiteral("short.shp")), -1, true));
    EXPECT_FALSE(w().OpenLayer(QDir(work_).filePath(QStringLiteral("none.shp")), -1, true));
    ASSERT_EQ(answers.messages().size(), 2u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Ошибка открытия слоя short.shp !"));
    EXPECT_EQ(answers.messages()[1].text, QStringLiteral("Ошибка открытия слоя none.shp !"));
    ASSERT_EQ(map().Project().Layers.size(), 2u);
    EXPECT_TRUE(layer(0).Objects.empty());
    EXPECT_TRUE(layer(1).Objects.empty());
}

TEST_F(LayerOpeningTest, OpeningTakesSnapshotsOfTheFiles)
{
    writeLayer(work_, QStringLiteral("roads"), squares(3), 3);
    openLayer(QStringLiteral("Roads.SHP"));
    for (const char *ext : {"shp", "shx", "dbf"})
        EXPECT_EQ(readFile(QDir(work_).filePath(QStringLiteral("roads.%1").arg(QLatin1String(ext)))),
                  readFile(snapshot(QDir(work_).filePath(QStringLiteral("roads.%1").arg(QLatin1String(ext))))))
            << ext;
}

// ---------------------------------------------------------------------------
// Templates

TEST_F(LayerOpeningTest, EveryKindIsMadeFromItsTemplate)
{
    struct Case {
        QAction *TTolvane::*item;
        const char *templ;
        Byte mapType;
        Byte objType;
    };
    const Case cases[] = {
        {&TTolvane::mNewLayerPoint, "point", 1, otSymbols},
        {&TTolvane::mNewLayerPolyline, "polyline", 1, otPolylines},
        {&TTolvane::mNewLayerPoligon, "polygon", 1, otPolygons},
        {&TTolvane::In42, "in4", 1, otPolygons},
        {&TTolvane::mNewLayerImage, "image", 1, otImages},
        {&TTolvane::N84, "cosmetic", 8, otPolylines},
        {&TTolvane::mCreateLayerNav, "navigating", 1, 0},
    };
    const QDir templates(map().ProgramDir() + QStringLiteral("/Default"));
    ASSERT_TRUE(templates.exists(QStringLiteral("point.shp")));
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.templ);
        const QString base = QStringLiteral("new%1").arg(n);
        testsupport::ScriptedAnswers answers;
        openFile(answers, QDir(work_).filePath(base + QStringLiteral(".shp")));
        (w().*c.item)->trigger();
        ASSERT_EQ(answers.fileRequests().size(), 1u);
        EXPECT_EQ(answers.fileRequests()[0].title, QStringLiteral("Создание слоя"));
        EXPECT_EQ(answers.fileRequests()[0].filter, QStringLiteral("Tolvane layer file (*.shp)|*.shp"));
        EXPECT_EQ(answers.fileRequests()[0].initialDir, work_);
        ASSERT_EQ(map().Project().Layers.size(), size_t(n + 1));
        for (const char *ext : {".shp", ".shx", ".dbf"}) {
            EXPECT_EQ(readFile(QDir(work_).filePath(base + QLatin1String(ext))),
                      readFile(templates.filePath(QLatin1String(c.templ) + QLatin1String(ext))))
                << ext;
            EXPECT_FALSE(snapshot(QDir(work_).filePath(base + QLatin1String(ext))).isEmpty());
        }
        EXPECT_EQ(layer(n).MapType, c.mapType);
        if (c.objType) {
            EXPECT_EQ(layer(n).ObjType, c.objType);
        }
        EXPECT_EQ(map().Project().ActiveLayer, n);
        EXPECT_EQ(rowLayers(w().ListLayers).back(), n);
        EXPECT_EQ(w().ShownLayerIndex(), n);
        ++n;
    }
}

TEST_F(LayerOpeningTest, TemplateCopyAsksBeforeOverwritingAndNeedsTheTemplates)
{
    const QString target = QDir(work_).filePath(QStringLiteral("old.shp"));
    writeFile(target, "existing");
    {
        testsupport::ScriptedAnswers answers;
        openFile(answers, target);
        reply(answers, platform::mrNo);
        EXPECT_FALSE(w().CreateLayerFromTemplate(1));
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text,
                  QStringLiteral("Файл(ы) ") + QDir(work_).filePath(QStringLiteral("old")) +
                      QStringLiteral(".shp(shx,dbf) уже присутствуют в папке !\nПерезаписать существующие файлы ?"));
        EXPECT_EQ(readFile(target), QByteArray("existing"));
        EXPECT_FALSE(QFile::exists(QDir(work_).filePath(QStringLiteral("old.shx"))));
        EXPECT_TRUE(map().Project().Layers.empty());
    }
    {
        // A program folder without templates.
        map().SetProgramDir(folder(QStringLiteral("program")));
        testsupport::ScriptedAnswers answers;
        openFile(answers, QDir(work_).filePath(QStringLiteral("fresh.shp")));
        reply(answers, platform::mrOk);
        EXPECT_FALSE(w().CreateLayerFromTemplate(3));
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Не найден файл(ы) шаблона ") + map().ProgramDir() +
                                                  QStringLiteral("/Default/polyline.shp(shx,dbf)"));
        EXPECT_FALSE(QFile::exists(QDir(work_).filePath(QStringLiteral("fresh.shp"))));
        EXPECT_TRUE(map().Project().Layers.empty());
    }
}

TEST_F(LayerOpeningTest, ATargetInADottedFolderKeepsItsFolder)
{
    const QString dotted = folder(QStringLiteral("maps.v2"));
    testsupport::ScriptedAnswers answers;
    openFile(answers, QDir(dotted).filePath(QStringLiteral("city.shp")));
    EXPECT_TRUE(w().CreateLayerFromTemplate(5));
    for (const char *ext : {".shp", ".shx", ".dbf"})
        EXPECT_TRUE(QFile::exists(QDir(dotted).filePath(QStringLiteral("city") + QLatin1String(ext)))) << ext;
    EXPECT_FALSE(QFile::exists(dir_.file(QStringLiteral("maps.shp"))));
    EXPECT_EQ(layer(0).FileName, QDir(dotted).filePath(QStringLiteral("city.Shp")));
}

TEST_F(LayerOpeningTest, StandardLayersAreRecordsWithoutFiles)
{
    w().nNewLayerEstPoint->trigger();
    w().mCreateLayerIn4->trigger();
    ASSERT_EQ(map().Project().Layers.size(), 2u);
    const TMapLayer &p = layer(0);
    EXPECT_EQ(p.Name, QStringLiteral("локальные факторы - точки"));
    EXPECT_EQ(p.FileName, QStringLiteral("Estlocpnt.Shp"));
    EXPECT_EQ(p.MapType, 13);
    EXPECT_EQ(p.ObjType, 5);
    EXPECT_EQ(p.Font.FontName, QStringLiteral("Wingdings"));
    EXPECT_EQ(p.Font.TextSymbol, QChar(108));
    EXPECT_EQ(p.Font.Color, 255);
    EXPECT_EQ(p.BrushColor, 0xFFFFFF);
    EXPECT_EQ(p.BrushType, 0);
    EXPECT_TRUE(p.Visible && p.Snap && p.ForAllObjects);
    EXPECT_FALSE(p.Edited);
    EXPECT_TRUE(p.Objects.empty());
    EXPECT_EQ(layer(1).Name, QStringLiteral("обменные файлы"));
    EXPECT_EQ(layer(1).MapType, 17);
    EXPECT_EQ(layer(1).Font.FontName, QStringLiteral("Arial CYR"));
    EXPECT_EQ(rowLayers(w().ListLayers), (std::vector<int>{0, 1}));
    EXPECT_EQ(w().ShownLayerIndex(), 1);
    EXPECT_TRUE(QDir(work_).entryList(QDir::Files).isEmpty());
}

TEST_F(LayerOpeningTest, TheOpenDialogOpensEveryChosenLayerFile)
{
    writeLayer(work_, QStringLiteral("a"), squares(1), 1);
    writeLayer(work_, QStringLiteral("b"), squares(2), 2);
    writeFile(QDir(work_).filePath(QStringLiteral("notes.txt")), "x");
    testsupport::ScriptedAnswers answers;
    openFiles(answers, {QDir(work_).filePath(QStringLiteral("a.shp")), QDir(work_).filePath(QStringLiteral("notes.txt")),
                        QDir(work_).filePath(QStringLiteral("b.shp"))});
    w().aOpenLayer->trigger();
    ASSERT_EQ(answers.fileRequests().size(), 1u);
    const platform::FileDialogRequest &r = answers.fileRequests()[0];
    EXPECT_EQ(r.kind, platform::FileDialogRequest::OpenMultiple);
    EXPECT_EQ(r.title, QStringLiteral("Открыть слой Tolvane"));
    EXPECT_EQ(r.filter, QStringLiteral("Tolvane Layers (*.shp)|*.shp"));
    ASSERT_EQ(map().Project().Layers.size(), 2u);
    EXPECT_EQ(layer(0).FileName, QStringLiteral("a.Shp"));
    EXPECT_EQ(layer(1).FileName, QStringLiteral("b.Shp"));
    EXPECT_EQ(rowLayers(w().ListLayers), (std::vector<int>{0, 1}));
    EXPECT_EQ(w().ShownLayerIndex(), 1);
    // The view moves to the layer opened last.
    EXPECT_EQ(map().View().CenterX, layer(1).CenterX);
    EXPECT_EQ(map().View().CenterY, layer(1).CenterY);
}

TEST_F(LayerOpeningTest, ImportingIn4FilesIntoTheShownLayer)
{
    writeLayer(work_, QStringLiteral("parcels"), squares(1), 1);
    const int i = openLayer(QStringLiteral("parcels.shp"));
    // Without a shown layer nothing is asked.
    w().mImport->trigger();
    w().RebuildLayerList(true);
    w().ShowActiveLayerRow(i);
    const QString in4 = QDir(work_).filePath(QStringLiteral("plan.in4"));
    writeFile(in4, "BL,KN=\"1\"\r\nSR,KOD=1\r\nN=1,X=5000,Y=1000\r\nN=2,X=5010,Y=1000\r\n"
                   "N=3,X=5010,Y=1010\r\nCL,A=1\r\n");
    testsupport::ScriptedAnswers answers;
    openFiles(answers, {in4});
    w().mImport->trigger();
    EXPECT_TRUE(answers.exhausted());
    EXPECT_EQ(layer(i).Objects.size(), 2u);
    EXPECT_TRUE(layer(i).ObjectsAppended);
}
