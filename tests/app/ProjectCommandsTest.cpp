// Reading and writing projects through the map window, the safe replacement
// of the file, closing a project with its save prompt, and the commands new,
// open, save and save as.

#include "MapWindowFixture.h"

#include "mapdata/ProjectFile.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/ui/FormClass.h"
#include "platform/TextCodec.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>

using namespace maptest;

namespace {

const QString ProductKey = QStringLiteral("\\SOFTWARE\\Tolvane 2");

QString setting(const QString &name)
{
    return platform::Registry::instance()
        .readString(platform::RegRoot::LocalMachine, ProductKey, name)
        .value_or(QString());
}

// A project file in Windows-1251 with CR LF line ends.
void writeProject(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &l : lines)
        bytes += platform::toCp1251(l) + "\r\n";
    writeFile(path, bytes);
}

QStringList block(int n, const QString &fileName, const QString &name, const QStringList &more = {})
{
    QStringList l = {QString(), QStringLiteral("Layer=%1").arg(n), QStringLiteral("{"),
                     QStringLiteral("   FileName=") + fileName, QStringLiteral("   Name=") + name,
                     QStringLiteral("   MapType=1")};
    l << more << QStringLiteral("}");
    return l;
}

} // namespace

class ProjectCommandsTest : public MapWindowTest {
protected:
    // A project "city.tvp" in folder "proj" with the layers "дороги" (3
    // squares, a bare name) and "участки" (2 squares, a Windows path that is
    // found by its bare name in the data folder); the second is active.
    QString cityProject()
    {
        const QString proj = folder(QStringLiteral("proj"));
        const QString data = folder(QStringLiteral("proj/city"));
        writeLayer(data, QStringLiteral("roads"), squares(3), 3);
        writeLayer(data, QStringLiteral("parcels"), squares(2), 2);
        const QString path = QDir(proj).filePath(QStringLiteral("city.tvp"));
        QStringList lines = {"!Tolvane v.2.2.0.2", "", "ZoomPanel=True", "X=5400100.5", "Y=1300200.25",
                             "Scale=2000", "SnapPoint=False", "SnapLine=True", "ShowVykMark=True", "ActiveLayer=1",
                             "LayersCount=2"};
        lines << block(1, QStringLiteral("roads.shp"), QStringLiteral("дороги"))
              << block(2, QStringLiteral("C:\\Old\\Maps\\Parcels.SHP"), QStringLiteral("участки"),
                       {QStringLiteral("   Visible=False")});
        writeProject(path, lines);
        return path;
    }
    QStringList names()
    {
        QStringList n;
        for (int i = 0; i < w().ListLayers->topLevelItemCount(); ++i)
            n << w().ListLayers->topLevelItem(i)->text(app::lcName);
        return n;
    }
    QString statusPanel(int i) { return platform::statusPanels(w().MapStatusBar).at(i)->text(); }
};

TEST_F(ProjectCommandsTest, ReadingOpensTheLayersInOrder)
{
    platform::ScopedService<platform::DecimalSeparator> sep(u'.');
    const QString path = cityProject();
    const QString data = dir_.file(QStringLiteral("proj/city"));
    ASSERT_TRUE(w().ReadProject(path));

    ASSERT_EQ(map().Project().Layers.size(), 2u);
    EXPECT_EQ(names(), (QStringList{"дороги", "участки"}));
    EXPECT_EQ(rowLayers(w().ListLayers), (std::vector<int>{0, 1}));
    EXPECT_EQ(layer(0).Objects.size(), 3u);
    EXPECT_EQ(layer(1).Objects.size(), 2u);
    EXPECT_EQ(layer(1).FileName, QStringLiteral("Parcels.SHP"));
    EXPECT_EQ(layer(1).Number, 1);
    EXPECT_EQ(app::rowImage(w().ListLayers->topLevelItem(1), app::lcVisible), app::imgVisibleOff);
    EXPECT_EQ(map().Project().ActiveLayer, 1);
    EXPECT_EQ(w().ShownLayerIndex(), 1);
    EXPECT_EQ(map().View().CenterX, 5400100.5);
    EXPECT_EQ(map().View().CenterY, 1300200.25);
    EXPECT_EQ(map().View().Scale, 50);
    EXPECT_TRUE(map().Panels().ZoomPanel);
    EXPECT_FALSE(map().Panels().PickPanel);
    EXPECT_FALSE(w().nSnapPoint->isChecked());
    EXPECT_TRUE(w().nSnapLine->isChecked());
    EXPECT_TRUE(w().nShowMark->isChecked());
    EXPECT_EQ(map().WorkDir(), data);
    EXPECT_EQ(QDir::currentPath(), data);
    EXPECT_EQ(map().ProjectFile(), path);
    EXPECT_EQ(w().windowTitle(), path);
    EXPECT_EQ(setting(QStringLiteral("LastOpenTvpFile")), path);
    EXPECT_EQ(statusPanel(0), QStringLiteral("M 1:2000"));
    // Snapshots of the layers' files were taken.
    EXPECT_FALSE(snapshot(QDir(data).filePath(QStringLiteral("parcels.shp"))).isEmpty());
}

TEST_F(ProjectCommandsTest, MissingProjectsAndDataFolders)
{
    // A missing project changes nothing, not even a data folder.
    EXPECT_FALSE(w().ReadProject(dir_.file(QStringLiteral("none.tvp"))));
    EXPECT_FALSE(QFileInfo::exists(dir_.file(QStringLiteral("none"))));
    EXPECT_TRUE(map().ProjectFile().isEmpty());
    // A project without its data folder gets one.
    const QString path = dir_.file(QStringLiteral("bare.tvp"));
    writeProject(path, {"!Tolvane v.2.2.0.2", "", "LayersCount=0"});
    EXPECT_TRUE(w().ReadProject(path));
    EXPECT_TRUE(QFileInfo(dir_.file(QStringLiteral("bare"))).isDir());
    // The project's name is found without regard to case.
    EXPECT_TRUE(w().ReadProject(dir_.file(QStringLiteral("BARE.TVP"))));
}

TEST_F(ProjectCommandsTest, AFileWithoutTheHeaderIsRefusedAndTheProjectStaysOpen)
{
    const QString path = cityProject();
    ASSERT_TRUE(w().ReadProject(path));
    const QString data = dir_.file(QStringLiteral("proj/city"));
    const QString roads = QDir(data).filePath(QStringLiteral("roads.shp"));
    const QString snapshotBefore = snapshot(roads);
    ASSERT_FALSE(snapshotBefore.isEmpty());
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"noise.tvp", noise},
        {"headless.tvp", "ZoomPanel=True\r\nLayersCount=0\r\n"},
        {"empty.tvp", ""},
    };
    auto stillOpen = [&] {
        EXPECT_EQ(map().ProjectFile(), path);
        EXPECT_EQ(names(), (QStringList{"дороги", "участки"}));
        EXPECT_EQ(map().Project().Layers.size(), 2u);
        EXPECT_EQ(map().WorkDir(), data);
        EXPECT_EQ(QDir::currentPath(), data);
        EXPECT_EQ(w().windowTitle(), path);
        EXPECT_EQ(setting(QStringLiteral("LastOpenTvpFile")), path);
        EXPECT_EQ(snapshot(roads), snapshotBefore);
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString other = dir_.file(QString::fromUtf8(c.name));
        writeFile(other, c.bytes);
        try {
            w().ReadProject(other);
            ADD_FAILURE() << "read as a project";
        } catch (const projectfile::ProjectFileError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Файл ") + other + QStringLiteral(" не является проектом Tolvane !"));
        }
        stillOpen();
        // No data folder is made for it.
        EXPECT_FALSE(QFileInfo::exists(platform::changeFileExt(other, u"")));
    }
    // "Открыть..." on such a file: the save prompt, the message, and the
    // project is still open with its layers (their snapshots kept).
    testsupport::ScriptedAnswers answers;
    reply(answers, platform::mrNo);
    openFile(answers, dir_.file(QStringLiteral("noise.tvp")));
    reply(answers, platform::mrOk);
    w().nFileOpen->trigger();
    EXPECT_TRUE(answers.exhausted());
    ASSERT_EQ(answers.messages().size(), 2u);
    EXPECT_EQ(answers.messages()[1].text,
              QStringLiteral("Файл ") + dir_.file(QStringLiteral("noise.tvp")) + QStringLiteral(" не является проектом Tolvane !"));
    stillOpen();
}

TEST_F(ProjectCommandsTest, BlocksOutsideTheLayerCountAreTopLevelLines)
{
    platform::ScopedService<platform::DecimalSeparator> sep(u'.');
    const QString path = dir_.file(QStringLiteral("odd.tvp"));
    QStringList lines = {"!Tolvane v.2.2.0.2", "", "X=10", "Y=20", "LayersCount=2"};
    lines << block(1, QStringLiteral("a.shp"), QStringLiteral("A"))
          << block(3, QStringLiteral("c.shp"), QStringLiteral("C"),
                   {QStringLiteral("   MtMinX=777"), QStringLiteral("   CenterY=888")});
    writeProject(path, lines);
    folder(QStringLiteral("odd"));
    writeLayer(dir_.file(QStringLiteral("odd")), QStringLiteral("a"), squares(1), 1);
    ASSERT_TRUE(w().ReadProject(path));
    EXPECT_EQ(map().View().CenterX, 777);
    EXPECT_EQ(map().View().CenterY, 888);
    ASSERT_EQ(map().Project().Layers.size(), 2u);
    EXPECT_EQ(layer(0).Name, QStringLiteral("A"));
    // The second record stays empty: no name, no file, no kind.
    EXPECT_TRUE(layer(1).Name.isEmpty());
    EXPECT_EQ(layer(1).MapType, 0);

    // A count far beyond the file's blocks makes no more records than blocks.
    writeProject(path, {"!Tolvane v.2.2.0.2", "", "LayersCount=2000000000", "Layer=1", "{", "Name=A", "}"});
    ASSERT_TRUE(w().ReadProject(path));
    EXPECT_EQ(map().Project().Layers.size(), 1u);
}

TEST_F(ProjectCommandsTest, AWrittenProjectReadsBackInListOrder)
{
    platform::ScopedService<platform::DecimalSeparator> sep(u',');
    const QString path = cityProject();
    ASSERT_TRUE(w().ReadProject(path));
    layer(0).Labels.resize(1);
    layer(0).Labels[0].FieldName = QStringLiteral("НОМЕР");
    layer(0).Legend = {{2, QStringLiteral("1-5"), 3, 255}};
    // Rows: участки, дороги; the active layer is дороги (table index 0,
    // row 1).
    w().ListLayers->setCurrentItem(w().ListLayers->topLevelItem(0));
    w().DragLayerRow(1, 0);
    map().Project().ActiveLayer = 0;
    w().ShowActiveLayerRow(0);
    map().SetCentreX(5400000.75);
    map().SetCentreY(1300000.125);
    map().SetScale(map().DenominatorToScale(500));
    map().Panels().PickPanel = true;
    w().nSnapPoint->setChecked(true);
    w().nShowAll->setChecked(false);

    w().WriteProject(path);
    const QStringList written = projectfile::decodeLines(readFile(path));
    EXPECT_EQ(written.first(), QStringLiteral("!Tolvane v.2.2.0.2"));
    EXPECT_TRUE(written.contains(QStringLiteral("X=5400000,75")));
    EXPECT_TRUE(written.contains(QStringLiteral("Scale=500")));
    // The active layer as its row, which the reader makes its index.
    EXPECT_TRUE(written.contains(QStringLiteral("ActiveLayer=1")));
    EXPECT_TRUE(written.contains(QStringLiteral("LayersCount=2")));

    map().SetCentre(0, 0);
    map().Panels().PickPanel = false;
    w().nSnapPoint->setChecked(false);
    ASSERT_TRUE(w().ReadProject(path));
    EXPECT_EQ(names(), (QStringList{"участки", "дороги"}));
    EXPECT_EQ(layer(0).Name, QStringLiteral("участки"));
    EXPECT_EQ(layer(0).Objects.size(), 2u);
    EXPECT_EQ(layer(1).Objects.size(), 3u);
    EXPECT_EQ(map().Project().ActiveLayer, 1);
    EXPECT_EQ(w().LVLayer->topLevelItem(0)->text(app::lcName), QStringLiteral("дороги"));
    ASSERT_EQ(layer(1).Labels.size(), 1u);
    EXPECT_EQ(layer(1).Labels[0].FieldName, QStringLiteral("НОМЕР"));
    ASSERT_EQ(layer(1).Legend.size(), 1u);
    EXPECT_EQ(layer(1).Legend[0].Code, 255);
    EXPECT_EQ(map().View().CenterX, 5400000.75);
    EXPECT_EQ(map().View().CenterY, 1300000.125);
    EXPECT_EQ(map().ScaleToDenominator(map().View().Scale), 500);
    EXPECT_TRUE(map().Panels().PickPanel);
    EXPECT_TRUE(w().nSnapPoint->isChecked());
    EXPECT_FALSE(w().nShowAll->isChecked());
}

TEST_F(ProjectCommandsTest, ClosedLayersAreNotWritten)
{
    const QString path = cityProject();
    ASSERT_TRUE(w().ReadProject(path));
    testsupport::ScriptedAnswers answers;
    reply(answers, platform::mrOk);
    w().aCloseLayer->trigger();   // участки, the active layer
    w().WriteProject(path);
    ASSERT_TRUE(w().ReadProject(path));
    EXPECT_EQ(names(), (QStringList{"дороги"}));
    EXPECT_EQ(map().Project().ActiveLayer, 0);
}

TEST_F(ProjectCommandsTest, TheFileIsReplacedSafely)
{
    // The project lies in a dotted folder, beside a file that a backup name
    // cut at the first dot of the path would name.
    const QString dotted = folder(QStringLiteral("maps.v2"));
    const QString path = QDir(dotted).filePath(QStringLiteral("city.tvp"));
    const QString unrelated = dir_.file(QStringLiteral("maps.bak"));
    writeFile(unrelated, "keep me");
    writeProject(path, {"!Tolvane v.2.2.0.2", "", "X=1", "LayersCount=0"});
    const QByteArray original = readFile(path);

    map().SetCentreX(111);
    w().WriteProject(path);
    const QByteArray first = readFile(path);
    map().SetCentreX(222);
    w().WriteProject(path);
    const QByteArray second = readFile(path);
    EXPECT_NE(first, original);
    EXPECT_NE(second, first);
    EXPECT_EQ(readFile(QDir(dotted).filePath(QStringLiteral("city.bak"))), first);
    EXPECT_EQ(readFile(unrelated), QByteArray("keep me"));
    EXPECT_EQ(QDir(dotted).entryList(QDir::Files), (QStringList{"city.bak", "city.tvp"}));

    // A temporary file that cannot be written: the error reaches the caller,
    // the project and its backup stay as they were.
    QDir().mkdir(path + u'0');
    map().SetCentreX(333);
    EXPECT_THROW(w().WriteProject(path), projectfile::ProjectFileError);
    EXPECT_EQ(readFile(path), second);
    EXPECT_EQ(readFile(QDir(dotted).filePath(QStringLiteral("city.bak"))), first);
    EXPECT_TRUE(QFileInfo(path + u'0').isDir());
    // The save command shows the error.
    map().SetProjectFile(path);
    testsupport::ScriptedAnswers answers;
    reply(answers, platform::mrOk);
    w().nFileSave->trigger();
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_TRUE(answers.messages()[0].text.startsWith(QStringLiteral("Невозможно создать файл ")));
    EXPECT_EQ(readFile(path), second);
}

TEST_F(ProjectCommandsTest, ClosingWithoutAProjectAsksNothingAndDeletesWorkFiles)
{
    const QString program = folder(QStringLiteral("program"));
    map().SetProgramDir(program);
    writeFile(QDir(program).filePath(QStringLiteral("VykBlock.Ado")), "x");
    writeFile(QDir(program).filePath(QStringLiteral("estlocpoly.ado")), "x");
    writeFile(QDir(program).filePath(QStringLiteral("Other.Ado")), "x");
    writeFile(QDir(work_).filePath(QStringLiteral("Estzone.Lbl")), "x");
    writeFile(QDir(work_).filePath(QStringLiteral("VykBlock.Ado")), "x");
    w().QuerySaveProject(false, false, false);
    EXPECT_TRUE(QFile::exists(QDir(program).filePath(QStringLiteral("VykBlock.Ado"))));
    w().QuerySaveProject(false, false, true);
    EXPECT_EQ(QDir(program).entryList(QDir::Files), (QStringList{"Other.Ado"}));
    EXPECT_EQ(QDir(work_).entryList(QDir::Files), (QStringList{"VykBlock.Ado"}));
}

TEST_F(ProjectCommandsTest, ClosingRestoresOrKeepsTheLayerFiles)
{
    struct Case {
        int answer;
        bool restored;
    };
    for (const Case c : {Case{platform::mrNo, true}, Case{platform::mrYes, false}}) {
        SCOPED_TRACE(c.answer);
        const QString path = cityProject();
        const QString roads = dir_.file(QStringLiteral("proj/city/roads.shp"));
        const QString dbf = dir_.file(QStringLiteral("proj/city/roads.dbf"));
        const QByteArray shpBefore = readFile(roads), dbfBefore = readFile(dbf);
        ASSERT_TRUE(w().ReadProject(path));
        const QByteArray projectBefore = readFile(path);
        // An object appended in place, and a changed row.
        writeFile(roads, shpBefore + polyContent(5, {1, 1, 2, 2}));
        writeFile(dbf, dbfBefore + "changed");
        testsupport::ScriptedAnswers answers;
        reply(answers, c.answer);
        w().QuerySaveProject(false, false, false);
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Сохранить проект ") + path);
        EXPECT_EQ(answers.messages()[0].type, platform::MsgType::Confirmation);
        EXPECT_EQ(answers.messages()[0].buttons, platform::mbYesNo);
        EXPECT_EQ(readFile(roads) == shpBefore, c.restored);
        EXPECT_EQ(readFile(dbf) == dbfBefore, c.restored);
        // Saved: the project was written (its old text is the backup).
        EXPECT_EQ(QFile::exists(dir_.file(QStringLiteral("proj/city.bak"))), !c.restored);
        if (!c.restored) {
            EXPECT_EQ(readFile(dir_.file(QStringLiteral("proj/city.bak"))), projectBefore);
        }
        // Either way the snapshots are gone.
        EXPECT_TRUE(snapshot(roads).isEmpty());
        QFile::remove(dir_.file(QStringLiteral("proj/city.bak")));
    }
}

TEST_F(ProjectCommandsTest, CancellingTheOpenDialogLeavesNoClosedLayers)
{
    const QString path = cityProject();
    ASSERT_TRUE(w().ReadProject(path));
    testsupport::ScriptedAnswers answers;
    reply(answers, platform::mrNo);
    cancelFile(answers);
    w().nFileOpen->trigger();
    EXPECT_TRUE(answers.exhausted());
    ASSERT_EQ(answers.fileRequests().size(), 1u);
    const platform::FileDialogRequest &r = answers.fileRequests()[0];
    EXPECT_EQ(r.title, QStringLiteral("Открыть Tolvane проект"));
    EXPECT_EQ(r.filter, QStringLiteral("Tolvane projects (*.tvp)|*.tvp"));
    EXPECT_EQ(r.initialDir, map().ProgramDir());
    EXPECT_TRUE(map().Project().Layers.empty());
    EXPECT_EQ(w().ListLayers->topLevelItemCount(), 0);
    EXPECT_EQ(w().LVLayer->topLevelItemCount(), 0);
    // No project is named any more: a save cannot write the old one empty.
    EXPECT_TRUE(map().ProjectFile().isEmpty());
    EXPECT_EQ(w().windowTitle(), QStringLiteral("NoName.tvp"));
}

TEST_F(ProjectCommandsTest, OpeningAProject)
{
    const QString path = cityProject();
    writeFile(dir_.file(QStringLiteral("proj/notes.txt")), "x");
    {
        // Only ".tvp" files are read.
        testsupport::ScriptedAnswers answers;
        openFile(answers, dir_.file(QStringLiteral("proj/notes.txt")));
        EXPECT_FALSE(w().OpenProjectDialog());
        EXPECT_TRUE(map().ProjectFile().isEmpty());
    }
    testsupport::ScriptedAnswers answers;
    openFile(answers, path);
    w().nFileOpen->trigger();
    EXPECT_EQ(map().ProjectFile(), path);
    EXPECT_EQ(names(), (QStringList{"дороги", "участки"}));
    EXPECT_EQ(w().ShownLayerIndex(), 1);
}

TEST_F(ProjectCommandsTest, SaveAsOfAnUnnamedProjectAsksForOneName)
{
    platform::Registry::instance().writeString(platform::RegRoot::LocalMachine, ProductKey, QStringLiteral("TempDir"),
                                               work_);
    {
        // "Новый..." asks for the new project's name at once; cancelled.
        testsupport::ScriptedAnswers answers;
        cancelFile(answers);
        w().nFileNew->trigger();
        EXPECT_TRUE(answers.exhausted());
        EXPECT_EQ(w().windowTitle(), QStringLiteral("NoName.tvp"));
        EXPECT_EQ(map().WorkDir(), work_);
    }
    writeLayer(work_, QStringLiteral("roads"), squares(3), 3);
    writeFile(QDir(work_).filePath(QStringLiteral("roads.Lbl")), "labels");
    openLayer(QStringLiteral("roads.shp"));
    w().RebuildLayerList(false);
    w().ShowActiveLayerRow(0);

    const QString path = dir_.file(QStringLiteral("new/town"));
    folder(QStringLiteral("new"));
    testsupport::ScriptedAnswers answers;
    openFile(answers, path);
    w().nFileSaveAs->trigger();
    // One dialog, no question: the unnamed project's layers were saved as
    // they stand.
    EXPECT_TRUE(answers.exhausted());
    EXPECT_EQ(answers.fileRequests().size(), 1u);
    EXPECT_TRUE(answers.messages().empty());
    const QString project = path + QStringLiteral(".tvp");
    EXPECT_TRUE(QFile::exists(project));
    EXPECT_EQ(map().ProjectFile(), project);
    const QString data = dir_.file(QStringLiteral("new/town"));
    EXPECT_EQ(map().WorkDir(), data);
    for (const char *f : {"roads.shp", "roads.shx", "roads.dbf", "roads.Lbl"})
        EXPECT_EQ(readFile(QDir(data).filePath(QLatin1String(f))), readFile(QDir(work_).filePath(QLatin1String(f))))
            << f;
    ASSERT_EQ(map().Project().Layers.size(), 1u);
    EXPECT_EQ(layer(0).FileName, QStringLiteral("roads.Shp"));
    EXPECT_EQ(layer(0).Objects.size(), 3u);
    EXPECT_FALSE(snapshot(QDir(data).filePath(QStringLiteral("roads.shp"))).isEmpty());
    EXPECT_TRUE(snapshot(QDir(work_).filePath(QStringLiteral("roads.shp"))).isEmpty());
}

TEST_F(ProjectCommandsTest, SaveAsCopiesOnlyLayersStoredByBareNames)
{
    const QString path = cityProject();
    // A third layer given by its full path elsewhere.
    const QString elsewhere = folder(QStringLiteral("elsewhere"));
    writeLayer(elsewhere, QStringLiteral("rivers"), squares(1), 1);
    writeFile(dir_.file(QStringLiteral("proj/city/roads.shl")), "shl");
    ASSERT_TRUE(w().ReadProject(path));
    ASSERT_TRUE(w().OpenLayer(QDir(elsewhere).filePath(QStringLiteral("rivers.shp")), -1, true));
    w().RebuildLayerList(false);

    const QString target = dir_.file(QStringLiteral("copy.tvp"));
    testsupport::ScriptedAnswers answers;
    openFile(answers, target);
    w().nFileSaveAs->trigger();
    EXPECT_TRUE(answers.exhausted());
    const QDir data(dir_.file(QStringLiteral("copy")));
    EXPECT_EQ(data.entryList({QStringLiteral("*.shp"), QStringLiteral("*.shl")}, QDir::Files),
              (QStringList{"parcels.shp", "roads.shl", "roads.shp"}));
    EXPECT_EQ(names(), (QStringList{"дороги", "участки", "rivers.shp"}));
    EXPECT_EQ(layer(2).FileName, QDir(elsewhere).filePath(QStringLiteral("rivers.Shp")));
    EXPECT_EQ(layer(2).Objects.size(), 1u);
    // Overwriting an existing project asks first.
    testsupport::ScriptedAnswers again;
    openFile(again, target);
    reply(again, platform::mrNo);
    w().nFileSaveAs->trigger();
    ASSERT_EQ(again.messages().size(), 1u);
    EXPECT_EQ(again.messages()[0].text, QStringLiteral("Проект ") + target + QStringLiteral(" уже существует, перезаписать ?"));
}

TEST_F(ProjectCommandsTest, TheDemoProject)
{
    // A copy: reading takes snapshots beside the layers.
    ASSERT_TRUE(w().ReadProject(testsupport::copyDemoProject(folder(QStringLiteral("demo")))));
    const std::vector<TMapLayer> &layers = map().Project().Layers;
    ASSERT_EQ(layers.size(), 6u);
    EXPECT_EQ(rowLayers(w().ListLayers), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    for (const TMapLayer &L : layers) {
        EXPECT_FALSE(L.Objects.empty()) << L.Name.toStdString();
        EXPECT_NE(L.MtMinX, 0) << L.Name.toStdString();
    }
    EXPECT_EQ(w().ShownLayerIndex(), map().Project().ActiveLayer);
    EXPECT_EQ(statusPanel(0), QStringLiteral("M 1:2000"));
}
