// The coordinate list: an object's vertices edited as text and written back
// through the journal, new objects from typed vertices, pasting and copying.

#include "EngineFixtures.h"

#include "dialogs/FNewMapPoint.h"
#include "dialogs/MapWindowHost.h"
#include "platform/Environment.h"
#include "support/ScriptedAnswers.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTableWidget>

#include <gtest/gtest.h>

using testsupport::ScriptedAnswers;

namespace {

class Host : public dialogs::MapWindowHost {
public:
    explicit Host(MapControlCore &map) : map_(map), guard_(*this) {}
    MapControlCore *mapControl() override { return &map_; }
    int activeLayer() const override { return map_.Project().ActiveLayer; }

private:
    MapControlCore &map_;
    platform::ScopedService<dialogs::MapWindowHost> guard_;
};

struct ListProject : maptest::EngineProject {
    Host host{map};
    int parcels = -1;

    ListProject()
    {
        // One square parcel, 1000..1010 east, 2000..2010 north.
        parcels = addLayer(QStringLiteral("parcels"), 5,
                           {fixtures::polyContent(5, {1000, 2000, 1010, 2010}, {0},
                                                  {{1000, 2000}, {1000, 2010}, {1010, 2010}, {1010, 2000}, {1000, 2000}})});
        map.Project().ActiveLayer = parcels;
    }
    TShpObject read(int index)
    {
        TShpObject s;
        map.ReadObject(parcels, index, s);
        return s;
    }
};

QString cell(TNewMapPoint &list, int row, int column)
{
    const QTableWidgetItem *item = list.StringGrid->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

TEST(CoordinateList, EditChangesAVertexThroughTheJournal)
{
    ListProject p;
    p.map.AppendSelectionEntry(p.parcels, 0, TMapExtent{1000, 2000, 1010, 2010});
    TNewMapPoint list;
    list.Hint = QStringLiteral("Edit");
    list.FormShow();
    // X is the northing.
    EXPECT_EQ(cell(list, 1, 1), QStringLiteral("2010"));
    EXPECT_EQ(cell(list, 1, 2), QStringLiteral("1000"));
    EXPECT_EQ(cell(list, 5, 1), QString());
    EXPECT_EQ(cell(list, 998, 0), QStringLiteral("999"));

    // The third vertex moves 5 east; the easting 0 of a vertex is a place
    // like any other, also for the object's box.
    list.SetVertex(2, QStringLiteral("2010"), QStringLiteral("1015"));
    list.SetVertex(3, QStringLiteral("2000"), QStringLiteral("0"));
    {
        ScriptedAnswers answers;
        answers.reply(platform::mrYes);
        list.WriteBack();
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Сохранить координаты ?"));
    }
    EXPECT_EQ(list.Hint, QStringLiteral("Ok"));
    EXPECT_NE(p.object(p.parcels, 0).JrnOffset, 0);
    EXPECT_TRUE(p.layer(p.parcels).ObjectsModified);
    TShpObject edited = p.read(0);
    ASSERT_EQ(edited.Parts.size(), 1u);
    EXPECT_EQ(edited.Parts[0].Points[2].X, 1015);
    EXPECT_EQ(edited.Parts[0].Points[3].X, 0);
    EXPECT_EQ(edited.XMin, 0);
    EXPECT_EQ(edited.XMax, 1015);
    EXPECT_EQ(edited.YMin, 2000);

    // Undo brings the square back.
    p.map.UndoEdit();
    EXPECT_EQ(p.read(0).Parts[0].Points[2].X, 1010);
    p.map.RedoEdit();
    EXPECT_EQ(p.read(0).Parts[0].Points[2].X, 1015);

    // Saved, the layer reads back in another program.
    ASSERT_TRUE(p.map.SaveLayer(p.parcels));
    const QString ogrinfo = QStandardPaths::findExecutable(QStringLiteral("ogrinfo"));
    if (ogrinfo.isEmpty())
        GTEST_SKIP() << "ogrinfo is not installed (gdal-bin)";
    QProcess run;
    run.start(ogrinfo, {QStringLiteral("-al"), QStringLiteral("-q"), p.dir.file(QStringLiteral("parcels.shp"))});
    ASSERT_TRUE(run.waitForFinished(60000));
    const QString out = QString::fromUtf8(run.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("POLYGON ((1000 2000,1000 2010,1015 2010,0 2000,1000 2000))")))
        << out.toStdString();
}

TEST(CoordinateList, NewObjectsOfRingsAndTooFewVertices)
{
    ListProject p;
    TNewMapPoint list;
    {
        // Two vertices: the question, "Ok", no object.
        list.Hint = QStringLiteral("New");
        list.FormShow();
        list.SetVertex(0, QStringLiteral("3000"), QStringLiteral("1000"));
        list.SetVertex(1, QStringLiteral("3010"), QStringLiteral("1000"));
        ScriptedAnswers answers;
        answers.reply(platform::mrYes);
        list.WriteBack();
        EXPECT_EQ(list.Hint, QStringLiteral("Ok"));
        EXPECT_EQ(p.layer(p.parcels).Objects.size(), 1u);
    }
    // Two rings: 1, 2, 3, 1 and 4, 5, 6, 4; the (0, 0) row ends the list.
    list.Hint = QStringLiteral("New");
    list.FormShow();
    const char *rows[][2] = {{"3000", "1000"}, {"3010", "1000"}, {"3010", "1010"}, {"3000", "1000"},
                             {"3002", "1002"}, {"3004", "1002"}, {"3004", "1004"}, {"3002", "1002"},
                             {"0", "0"},       {"5000", "5000"}};
    for (int r = 0; r < 10; ++r)
        list.SetVertex(r, QString::fromLatin1(rows[r][0]), QString::fromLatin1(rows[r][1]));
    ScriptedAnswers answers;
    answers.reply(platform::mrYes);
    list.WriteBack();
    ASSERT_EQ(p.layer(p.parcels).Objects.size(), 2u);
    const TShpObject made = p.read(1);
    ASSERT_EQ(made.Parts.size(), 2u);
    EXPECT_EQ(made.Parts[1].Points.size(), 4u);
    EXPECT_EQ(made.Parts[1].Points[0].X, 1002);
    EXPECT_EQ(made.Parts[1].Points[0].Y, 3002);
    EXPECT_TRUE(p.map.NewObject().Points.empty());
}

TEST(CoordinateList, CopyAndPasteAsText)
{
    ListProject p;
    platform::ScopedService<platform::DecimalSeparator> comma(u',');
    TNewMapPoint list;
    list.Hint = QStringLiteral("New");
    list.FormShow();
    list.SetVertex(0, QStringLiteral("5500000"), QStringLiteral("6500000,5"));
    EXPECT_EQ(list.CopyText(), QStringLiteral("00001    5500000,000    6500000,500      0,000   "));
    list.Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), list.CopyText());

    // Pasted after the last vertex; lines beyond the grid's last row grow it.
    list.PasteText(QStringLiteral("1 10.5 20\r\n\r\n2\t30 40 0 код\r\n"));
    EXPECT_EQ(cell(list, 1, 1), QStringLiteral("10,5"));
    EXPECT_EQ(cell(list, 2, 2), QStringLiteral("40"));
    QString many;
    for (int i = 0; i < 1200; ++i)
        many += QStringLiteral("%1 %2 %3\n").arg(i).arg(100 + i).arg(200 + i);
    list.PasteText(many);
    EXPECT_EQ(list.StringGrid->rowCount(), 1203);
    EXPECT_EQ(cell(list, 1202, 1), QStringLiteral("1299"));
    EXPECT_EQ(cell(list, 1202, 0), QStringLiteral("1203"));
    list.Clear();
    EXPECT_TRUE(list.Vertices().empty());
}

TEST(CoordinateList, Screenshot)
{
    ListProject p;
    p.map.AppendSelectionEntry(p.parcels, 0, TMapExtent{1000, 2000, 1010, 2010});
    TNewMapPoint list;
    list.Hint = QStringLiteral("Edit");
    list.FormShow();
    list.show();
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Список координат"));
    const QImage shot = list.grab().toImage();
    shot.save(QDir(testsupport::artefactFolder(QStringLiteral("dialogs"))).filePath(QStringLiteral("TNewMapPoint.png")));

    // What the user reads: the second vertex's northing is drawn in its
    // cell, and a row past the last vertex is blank.
    auto inkIn = [&](int row, int column) {
        const QTableWidgetItem *item = list.StringGrid->item(row, column);
        QRect area = item ? list.StringGrid->visualItemRect(item)
                          : list.StringGrid->visualRect(list.StringGrid->model()->index(row, column));
        area.moveTopLeft(list.StringGrid->viewport()->mapTo(&list, area.topLeft()));
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shot.rect().contains(x, y) && qGray(shot.pixel(x, y)) < 110)
                    ++dark;
        return dark;
    };
    EXPECT_EQ(cell(list, 1, 1), QStringLiteral("2010"));
    EXPECT_GT(inkIn(1, 1), 10) << "no text drawn where the grid shows 2010";
    EXPECT_EQ(inkIn(6, 1), 0) << "ink in a row past the last vertex";
    list.hide();
}
