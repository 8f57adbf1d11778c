// The whole project file read and written without a window: what the reader
// hands its host (views, layers to open) and what it refuses, and a project
// written from the host's rows read back in their order.

#include "mapdata/MapDataCore.h"
#include "mapdata/ProjectFile.h"
#include "platform/Environment.h"
#include "platform/TextCodec.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace projectfile;

namespace {

// A host that keeps what the reader tells it and answers the writer with
// fixed rows.
class RecordingHost : public ProjectHost {
public:
    ProjectView projectView() override { return written; }
    std::vector<int> layerRows() override { return rows; }
    std::optional<int> activeRow() override { return active; }
    void readingStarted() override { ++started; }
    void applyProjectView(const ProjectView &view) override
    {
        if (view.CenterX)
            read.CenterX = view.CenterX;
        if (view.CenterY)
            read.CenterY = view.CenterY;
        if (view.Scale)
            read.Scale = view.Scale;
        for (const auto &[key, on] : view.Switches)
            read.Switches[key] = on;
    }
    void openLayer(const QString &fileName, int index) override { opened.emplace_back(fileName, index); }
    void readingEnded() override { ++ended; }

    ProjectView written, read;
    std::vector<int> rows;
    std::optional<int> active;
    std::vector<std::pair<QString, int>> opened;
    int started = 0, ended = 0;
};

QByteArray fileOf(const QStringList &lines)
{
    return encodeLines(lines);
}

} // namespace

TEST(ProjectFileWhole, ReadWithoutAWindow)
{
    const platform::ScopedService<platform::DecimalSeparator> point(u'.');
    testsupport::TempFolder dir;
    const QString path = dir.write(QStringLiteral("city.tvp"), fileOf({
        "!Tolvane v.2.2.0.2", "", "ZoomPanel=True", "X=5400100.5", "Y=1300200.25", "Scale=2000",
        "SnapLine=True", "Unknown=1", "ActiveLayer=1", "LayersCount=2",
        "", "Layer=1", "{", "   FileName=roads.shp", "   Name=Дороги", "}",
        // A number beyond 32 bits would wrap to block 1: it names no block,
        // and its lines are top-level lines.
        "", "Layer=4294967297", "{", "   CenterY=17", "}",
        "", "Layer=2", "{", "   FileName=C:\\Old\\parcels.shp", "}",
    }));
    QDir(dir.path()).mkdir(QStringLiteral("city"));
    dir.write(QStringLiteral("city/parcels.shp"), QByteArray(100, '\0'));
    MapDataCore core;
    RecordingHost host;
    ASSERT_TRUE(readProject(core, path, host));
    EXPECT_EQ(host.started, 1);
    EXPECT_EQ(host.ended, 1);
    ASSERT_EQ(core.Project().Layers.size(), 2u);
    EXPECT_EQ(core.Project().Layers[0].Name, QStringLiteral("Дороги"));
    EXPECT_EQ(core.Project().ActiveLayer, 1);
    // The second layer is found by its bare name in the data folder.
    EXPECT_EQ(host.opened, (std::vector<std::pair<QString, int>>{{"roads.shp", 0}, {"parcels.shp", 1}}));
    EXPECT_EQ(host.read.CenterX, 5400100.5);
    EXPECT_EQ(host.read.CenterY, 17);
    EXPECT_EQ(host.read.Scale, 2000);
    EXPECT_EQ(host.read.Switches, (std::map<QString, bool>{{"ZoomPanel", true}, {"SnapLine", true}}));
    EXPECT_EQ(core.ProjectFile(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(core.WorkDir(), dir.file(QStringLiteral("city")));
    EXPECT_EQ(QDir::currentPath(), dir.file(QStringLiteral("city")));
}

TEST(ProjectFileWhole, AFileCutInsideALayerBlockSaysSo)
{
    // The file ends inside the second layer's block: after its file name
    // (the layer opens with what was read) or before it (no layer at all);
    // either way the user is told which block was cut.
    const QStringList head = {"!Tolvane v.2.2.0.2", "", "LayersCount=2", "", "Layer=1", "{", "   FileName=roads.shp",
                              "}", "", "Layer=2", "{"};
    const struct {
        const char *name;
        QStringList rest;
        std::vector<std::pair<QString, int>> opened;
        const char *ending;
    } cases[] = {
        {"after the file name", {"   FileName=parcels.shp", "   Name=Уч"}, {{"roads.shp", 0}, {"parcels.shp", 1}},
         " обрывается, его настройки прочитаны не полностью !"},
        {"in a legend block", {"   FileName=parcels.shp", "   Legend=1", "   {", "      Values=x", "   }"},
         {{"roads.shp", 0}, {"parcels.shp", 1}}, " обрывается, его настройки прочитаны не полностью !"},
        {"before the file name", {"   Name=Уч", "   Color=255"}, {{"roads.shp", 0}}, " обрывается, слой не открыт !"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempFolder dir;
        const QString path = dir.write(QStringLiteral("city.tvp"), fileOf(head + c.rest));
        MapDataCore core;
        RecordingHost host;
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrOk);
        ASSERT_TRUE(readProject(core, path, host));
        EXPECT_EQ(host.opened, c.opened);
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Файл проекта ") + QFileInfo(path).absoluteFilePath() +
                                                  QStringLiteral(" повреждён: описание слоя 2") +
                                                  QString::fromUtf8(c.ending));
        ASSERT_EQ(core.Project().Layers.size(), 2u);
        // A layer without its file is left out of the list (and of the file saved).
        EXPECT_EQ(core.Project().Layers[1].Closed, c.opened.size() == 1);
    }
}

TEST(ProjectFileWhole, AFileWithoutTheHeaderChangesNothing)
{
    testsupport::TempFolder dir;
    MapDataCore core;
    core.Project().Layers.resize(1);
    core.SetProjectFile(QStringLiteral("/old/city.tvp"));
    core.SetWorkDir(QStringLiteral("/old/city"));
    for (const QByteArray &bytes : {QByteArray("\xff\xfe\x01\x02", 4), QByteArray("LayersCount=0\r\n"),
                                    QByteArray(), QByteArray("\r\n!Tolvane v.2.2.0.2\r\n")}) {
        const QString path = dir.write(QStringLiteral("other.tvp"), bytes);
        RecordingHost host;
        EXPECT_THROW(readProject(core, path, host), ProjectFileError);
        EXPECT_THROW(checkProjectFile(path), ProjectFileError);
        EXPECT_EQ(host.started, 0);
        EXPECT_EQ(core.Project().Layers.size(), 1u);
        EXPECT_EQ(core.ProjectFile(), QStringLiteral("/old/city.tvp"));
        EXPECT_EQ(core.WorkDir(), QStringLiteral("/old/city"));
        EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("other"))));
    }
    // Blanks before the header are passed over; a missing file is no error.
    const QString indented = dir.write(QStringLiteral("indented.tvp"), " !Tolvane v.2.2.0.2\r\n");
    EXPECT_NO_THROW(checkProjectFile(indented));
    EXPECT_NO_THROW(checkProjectFile(dir.file(QStringLiteral("none.tvp"))));
}

TEST(ProjectFileWhole, WrittenInTheHostsRowOrder)
{
    const platform::ScopedService<platform::DecimalSeparator> point(u'.');
    testsupport::TempFolder dir;
    MapDataCore core;
    core.Project().Layers.resize(3);
    core.Project().Layers[0].Name = QStringLiteral("A");
    core.Project().Layers[1].Name = QStringLiteral("B");
    RecordingHost host;
    host.written.CenterX = 10.5;
    host.written.CenterY = 20;
    host.written.Scale = 0;
    host.written.Switches = {{"ZoomPanel", true}, {"ShowVykOther", true}};
    host.rows = {1, 0};
    host.active = 1;
    const QString path = dir.file(QStringLiteral("two.tvp"));
    writeProject(core, path, host);
    const QStringList lines = decodeLines(dir.read(QStringLiteral("two.tvp")));
    ASSERT_GE(lines.size(), 28);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"!Tolvane v.2.2.0.2", "", "ZoomPanel=True"}));
    EXPECT_EQ(lines.mid(13, 3), (QStringList{"X=10.5", "Y=20", "Scale=0"}));
    EXPECT_EQ(lines.mid(25, 3), (QStringList{"ShowVykOther=True", "ActiveLayer=1", "LayersCount=2"}));

    MapDataCore back;
    RecordingHost reader;
    ASSERT_TRUE(readProject(back, path, reader));
    ASSERT_EQ(back.Project().Layers.size(), 2u);
    EXPECT_EQ(back.Project().Layers[0].Name, QStringLiteral("B"));
    EXPECT_EQ(back.Project().Layers[1].Name, QStringLiteral("A"));
    EXPECT_EQ(reader.read.Switches.at(QStringLiteral("PickPanel")), false);
    EXPECT_EQ(reader.read.Switches.at(QStringLiteral("ShowVykOther")), true);
}
