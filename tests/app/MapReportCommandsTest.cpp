// The map window's report commands: the coordinate list of the selection
// into "points.db" and its template, the plan at the printer's page, the
// sheet and drawing templates, and the export of the map picture, with a
// recording report engine and a fake printer.

#include "CommandFixtures.h"

#include "app/FTolvane.h"
#include "app/MapPrinter.h"
#include "platform/db/Table.h"
#include "reports/output/ReportEngine.h"
#include "support/ScriptedAnswers.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace cmdtest;

namespace {

// Records what the commands hand to the report engine; the row count of
// the coordinate list's table is the default engine's query.
class RecordingReports : public reports::ReportEngine {
public:
    platform::ScopedService<reports::ReportEngine> installed{*this};
    void ShowReport() override
    {
        ++shown;
        shownPictureWidth = Variables[QStringLiteral("WmfWidth")].toDouble();
    }
    int shown = 0;
    double shownPictureWidth = 0;
};

class FakePrinter : public app::MapPrinter {
public:
    platform::ScopedService<app::MapPrinter> installed{*this};
    bool accept = true;
    int asked = 0, preset = 0;
    bool SetupDialog(int orientation) override
    {
        ++asked;
        preset = orientation;
        return accept;
    }
    int Orientation() const override { return 2; }
    double HorzSize() const override { return 287; }
    double VertSize() const override { return 200; }
};

class MapReportCommands : public CommandTest {
protected:
    QString programFile(const QString &name) { return QDir(map().ProgramDir()).filePath(name); }
    void writeTemplate(const QString &name)
    {
        QDir().mkpath(programFile(QStringLiteral("Reports")));
        writeFile(programFile(QStringLiteral("Reports/") + name), QByteArray("template"));
    }
    // The full name a command uses for a template of the "Reports" folder.
    QString templateName(const QString &name)
    {
        return map().ProgramDir() + QStringLiteral("/Reports/") + name;
    }
    RecordingReports reports;
};

} // namespace

TEST_F(MapReportCommands, CoordinateListOfASquareAndASquareWithAHole)
{
    // A 10 x 10 square away from the origin, and a 10 x 10 square at the
    // origin with a 2 x 2 hole (outer ring clockwise, hole counter-clockwise).
    const ShapePair p = shapes(
        5, {0, 0, 110, 210},
        {polyPoints(5, {{{100, 200}, {100, 210}, {110, 210}, {110, 200}, {100, 200}}}),
         polyPoints(5, {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}, {{4, 4}, {6, 4}, {6, 6}, {4, 6}, {4, 4}}})});
    const int parcels = addLayer(QStringLiteral("parcels"), p, 2);
    select(parcels, 0);
    select(parcels, 1);

    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    w().N134Click();
    // No template: its full name is shown and no other template is built.
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text,
              QStringLiteral("Не найден файл шаблона - ") + templateName(QStringLiteral("Ведомость координат объектов.frf")));
    EXPECT_EQ(reports.shown, 0);
    EXPECT_DOUBLE_EQ(reports.Variables[QStringLiteral("Area")].toDouble(), 100 + 96);
    EXPECT_DOUBLE_EQ(reports.Variables[QStringLiteral("Perimetr")].toDouble(), 40 + 48);
    EXPECT_EQ(reports.Variables[QStringLiteral("XMin")].toDouble(), 0);
    EXPECT_EQ(reports.Variables[QStringLiteral("YMax")].toDouble(), 210);

    platform::db::Table table;
    table.setDatabaseName(map().ProgramDir());
    table.setTableName(QStringLiteral("points.db"));
    table.open();
    EXPECT_EQ(table.recordCount(), 15);
    table.last();
    EXPECT_EQ(table.fieldByName(u"Number").asFloat(), 9); // the hole closes on its first number
    table.close();
    // The layer's objects keep their shapes.
    EXPECT_EQ(read(parcels, 1).Parts.size(), 2u);

    writeTemplate(QStringLiteral("Ведомость координат объектов.frf"));
    w().N134Click();
    EXPECT_EQ(reports.shown, 1);
    EXPECT_TRUE(reports.FileName.endsWith(QStringLiteral("Ведомость координат объектов.frf")));

    // An empty selection leaves an empty table and shows nothing.
    map().Selection().Entries.clear();
    w().N134Click();
    EXPECT_EQ(reports.shown, 1);
    table.open();
    EXPECT_EQ(table.recordCount(), 0);
}

TEST_F(MapReportCommands, PlanIsBuiltAtThePrintersPageAndTheViewComesBack)
{
    addLayer(QStringLiteral("lines"), twoLines(), 2);
    map().SetPictureWidth(12345);
    map().SetPictureHeight(6789);
    map().SetCentreX(50);
    map().SetCentreY(25);
    writeTemplate(QStringLiteral("План.frf"));
    FakePrinter printer;

    printer.accept = false;
    w().N135Click();
    EXPECT_EQ(printer.preset, 2); // landscape
    EXPECT_EQ(reports.shown, 0);
    EXPECT_FALSE(map().View().PictureMode);
    EXPECT_EQ(map().View().PictureWidth, 12345);

    printer.accept = true;
    w().N135Click();
    EXPECT_EQ(reports.shown, 1);
    EXPECT_EQ(reports.shownPictureWidth, 28700);
    EXPECT_EQ(reports.Variables[QStringLiteral("WmfHeight")].toDouble(), 20000);
    EXPECT_TRUE(QFile::exists(programFile(QStringLiteral("map.wmf"))));
    EXPECT_TRUE(QFile::exists(programFile(QStringLiteral("tmp.wmf"))));
    EXPECT_FALSE(map().View().PictureMode);
    EXPECT_EQ(map().View().PictureWidth, 12345);
    EXPECT_EQ(map().View().PictureHeight, 6789);
    EXPECT_EQ(map().View().CenterX, 50);
    EXPECT_EQ(map().View().CenterY, 25);
}

TEST_F(MapReportCommands, PlanIsNotShownWhenTheRedrawFails)
{
    addLayer(QStringLiteral("lines"), twoLines(), 2);
    writeTemplate(QStringLiteral("План.frf"));
    FakePrinter printer;
    // "map.wmf" cannot be written where a folder takes its name.
    QDir().mkpath(programFile(QStringLiteral("map.wmf")));
    EXPECT_ANY_THROW(w().N135Click());
    EXPECT_EQ(reports.shown, 0);
    EXPECT_FALSE(map().View().PictureMode);
}

TEST_F(MapReportCommands, SheetAndDrawingTemplates)
{
    FakePrinter printer;
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    w().N95Click();
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text,
              QStringLiteral("Не найден файл шаблона - ") + templateName(QStringLiteral("Планшет.frf")));

    writeTemplate(QStringLiteral("Планшет.frf"));
    writeTemplate(QStringLiteral("Чертёж.frf"));
    w().N95Click();
    EXPECT_EQ(printer.asked, 0); // the sheet asks for no printer setup
    EXPECT_TRUE(reports.FileName.endsWith(QStringLiteral("Планшет.frf")));
    printer.accept = false;
    w().N124Click();
    EXPECT_EQ(reports.shown, 1);
    printer.accept = true;
    w().N124Click();
    EXPECT_EQ(reports.shown, 2);
    EXPECT_TRUE(reports.FileName.endsWith(QStringLiteral("Чертёж.frf")));
}

TEST_F(MapReportCommands, OpenAndExportGoBackToTheWorkFolder)
{
    addLayer(QStringLiteral("lines"), twoLines(), 2);
    w().RedrawMap();
    writeTemplate(QStringLiteral("Участок.frf"));
    const QString elsewhere = folder(QStringLiteral("elsewhere"));
    testsupport::ScriptedAnswers answers;
    answers.openFile(programFile(QStringLiteral("Reports/Участок.frf")))
        .cancelFile()
        .openFile(QDir(elsewhere).filePath(QStringLiteral("X.JPG")))
        .cancelFile();

    QDir::setCurrent(elsewhere);
    w().N130Click();
    EXPECT_EQ(reports.shown, 1);
    EXPECT_EQ(answers.fileRequests()[0].filter, QStringLiteral("Открытие отчёта (*.frf)|*.frf"));
    EXPECT_EQ(answers.fileRequests()[0].initialDir, map().ProgramDir() + QStringLiteral("/Reports"));
    EXPECT_EQ(QDir::currentPath(), QDir(work_).canonicalPath());

    QDir::setCurrent(elsewhere);
    w().N130Click();
    EXPECT_EQ(reports.shown, 1);
    EXPECT_EQ(QDir::currentPath(), QDir(work_).canonicalPath());

    // The extension is compared without regard to case: "X.JPG" is a JPEG.
    w().N54Click();
    QFile jpeg(QDir(elsewhere).filePath(QStringLiteral("X.JPG")));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    EXPECT_EQ(jpeg.read(2), QByteArray("\xFF\xD8", 2));
    QDir::setCurrent(elsewhere);
    w().N54Click();
    EXPECT_EQ(QDir::currentPath(), QDir(work_).canonicalPath());
    EXPECT_TRUE(answers.exhausted());
}
