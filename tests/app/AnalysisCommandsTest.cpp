// The analysis and labelling commands on fixture layers: buffer zones,
// saving the selection as a layer, the statistics, the transformations'
// refusal, going to a point, measurement labels, parcel numbering and the
// automatic label placement with its quarters.

#include "CommandFixtures.h"

#include "app/AutoLabels.h"
#include "app/FShowPoint.h"
#include "dialogs/FNewForAll.h"
#include "platform/Environment.h"
#include "platform/db/Table.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

#include <numbers>

using namespace cmdtest;

namespace {

// Answers the one-line input box: its text, confirmed or cancelled.
[[gnu::noinline]] void box(testsupport::ScriptedAnswers &answers, const QString &text, bool ok = true)
{
    answers.dialog([text, ok](QDialog &d) {
        auto &b = dynamic_cast<TNewForAll &>(d);
        b.Edit->setText(text);
        b.Hint = ok ? QStringLiteral("Ok") : QStringLiteral("Cancel");
        return ok ? int(platform::mrOk) : int(platform::mrCancel);
    });
}

class AnalysisCommands : public CommandTest {
protected:
    // A polygon layer for the zones, current and editable.
    int zones()
    {
        return addLayer(QStringLiteral("zones"), shapes(5, {0, 0, 0, 0}, {}), 0);
    }
};

} // namespace

TEST_F(AnalysisCommands, BufferZonesGoIntoTheCurrentEditableLayer)
{
    const int points = addLayer(QStringLiteral("points"),
                                shapes(1, {100, 100, 100, 100}, {pointContent(100, 100)}), 1);
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    const int squares = addLayer(QStringLiteral("squares"), maptest::squares(1), 1);
    const int target = zones();
    pickTool();

    // Points: a radius, then a count; three points become a square.
    select(points, 0);
    {
        testsupport::ScriptedAnswers answers;
        box(answers, QStringLiteral("10"));
        box(answers, QStringLiteral("3"));
        w().aBufferForPoint->trigger();
        EXPECT_TRUE(answers.exhausted());
    }
    ASSERT_EQ(layer(target).Objects.size(), 1u);
    TShpObject zone = read(target, 0);
    ASSERT_EQ(zone.Parts.size(), 1u);
    ASSERT_EQ(zone.Parts[0].Points.size(), 5u);
    for (const TShpPoint &p : zone.Parts[0].Points)
        EXPECT_NEAR(std::hypot(p.X - 100, p.Y - 100), 10, 1e-6);

    // A radius of 0 is refused with the parameters.
    {
        testsupport::ScriptedAnswers answers;
        box(answers, QStringLiteral("0"));
        box(answers, QStringLiteral("6"));
        reply(answers, platform::mrOk);
        w().aBufferForPoint->trigger();
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text,
                  QStringLiteral("Неверно введены параметры !\nРадиус 0 м, количество точек 6 шт."));
        EXPECT_EQ(answers.messages()[0].type, platform::MsgType::Confirmation);
        EXPECT_EQ(answers.messages()[0].buttons, unsigned(platform::mbOK));
    }
    EXPECT_EQ(layer(target).Objects.size(), 1u);

    // Lines: a band of the width around each line.
    map().Selection().Entries.clear();
    select(lines, 0);
    {
        testsupport::ScriptedAnswers answers;
        box(answers, QStringLiteral("5"));
        w().aBufferForLine->trigger();
    }
    ASSERT_EQ(layer(target).Objects.size(), 2u);
    zone = read(target, 1);
    EXPECT_EQ(zone.Parts[0].Points.size(), 5u);
    EXPECT_NEAR(zone.YMax - zone.YMin, 10, 1e-9);

    // Polygons: a ring around the square, outside.
    map().Selection().Entries.clear();
    select(squares, 0);
    {
        testsupport::ScriptedAnswers answers;
        box(answers, QStringLiteral("2,5"));
        w().aBufferForPoly->trigger();
    }
    ASSERT_EQ(layer(target).Objects.size(), 3u);
    zone = read(target, 2);
    EXPECT_NEAR(zone.XMax - zone.XMin, 15, 1e-9);

    // A cancelled box, a locked layer or another tool build nothing.
    {
        testsupport::ScriptedAnswers answers;
        box(answers, QStringLiteral("5"), false);
        w().aBufferForPoly->trigger();
    }
    setEditable(target, false);
    w().aBufferForPoly->trigger();
    setEditable(target, true);
    w().PBZoom->setChecked(true);
    w().aBufferForLine->trigger();
    EXPECT_EQ(layer(target).Objects.size(), 3u);
}

namespace {

// The fields and rows of a table through the engine.
struct TableContent {
    QStringList fields;
    std::vector<QStringList> rows;
};

TableContent readTable(const QString &path)
{
    TableContent c;
    platform::db::Table t;
    t.setTableName(path);
    t.open();
    for (int i = 0; i < t.fieldCount(); ++i)
        c.fields << t.field(i).fieldName();
    for (t.first(); !t.eof(); t.next()) {
        QStringList row;
        for (int i = 0; i < t.fieldCount(); ++i)
            row << t.field(i).asString().trimmed();
        c.rows.push_back(row);
    }
    return c;
}

} // namespace

TEST_F(AnalysisCommands, SavingTheSelectionMakesALayerOfTheSelectedObjectsAndRows)
{
    const int parcels = addLayer(QStringLiteral("parcels"), maptest::squares(3), 3,
                                 namedTable({"north", "middle", "south"}));
    pickTool();
    select(parcels, 0);
    select(parcels, 2);
    const QString chosen = QDir(work_).filePath(QStringLiteral("saved.shp"));
    {
        testsupport::ScriptedAnswers answers;
        openFile(answers, chosen);
        reply(answers, platform::mrYes);
        w().aSaveSelected->trigger();
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Открыть слой ") + chosen + QStringLiteral(" ?"));
        ASSERT_EQ(answers.fileRequests().size(), 1u);
        EXPECT_EQ(answers.fileRequests()[0].filter,
                  QStringLiteral("Все форматы (*.shp)|*.shp|Слой ArcView (*.shp)|*.shp"));
    }
    // The new layer is open, with the two squares.
    ASSERT_EQ(map().Project().Layers.size(), 2u);
    EXPECT_EQ(w().ShownLayerIndex(), 1);
    EXPECT_EQ(layer(1).Objects.size(), 2u);
    EXPECT_EQ(read(1, 1).XMin, 1040);
    const TableContent table = readTable(QDir(work_).filePath(QStringLiteral("saved.dbf")));
    EXPECT_EQ(table.fields, (QStringList{QStringLiteral("ID"), QStringLiteral("NAME")}));
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0], (QStringList{QStringLiteral("1"), QStringLiteral("north")}));
    EXPECT_EQ(table.rows[1], (QStringList{QStringLiteral("2"), QStringLiteral("south")}));

    // Where the geodata tools are installed, they read the same layer.
    const QString ogrinfo = QStandardPaths::findExecutable(QStringLiteral("ogrinfo"));
    if (ogrinfo.isEmpty())
        GTEST_SKIP() << "ogrinfo is not installed (gdal-bin)";
    QProcess p;
    p.start(ogrinfo, {QStringLiteral("-al"), QStringLiteral("-q"), chosen});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(out.count(QStringLiteral("OGRFeature")), 2) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("NAME (String) = south"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("middle"))) << out.toStdString();
}

TEST_F(AnalysisCommands, SavingOverExistingFilesAnsweredNoWritesNothing)
{
    const int parcels = addLayer(QStringLiteral("parcels"), maptest::squares(2), 2);
    pickTool();
    select(parcels, 1);
    const QString existing = QDir(work_).filePath(QStringLiteral("old.shp"));
    writeFile(existing, QByteArray("keep"));
    {
        testsupport::ScriptedAnswers answers;
        openFile(answers, existing);
        reply(answers, platform::mrNo);
        w().aSaveSelected->trigger();
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text,
                  QStringLiteral("Файл(ы) old.shp(shx,dbf) уже присутствуют в папке !\n"
                                 "Перезаписать существующие файлы ?"));
    }
    EXPECT_EQ(readFile(existing), QByteArray("keep"));
    EXPECT_FALSE(QFile::exists(QDir(work_).filePath(QStringLiteral("old.dbf"))));
    EXPECT_EQ(map().Project().Layers.size(), 1u);

    // An open layer of the project is never written over.
    {
        testsupport::ScriptedAnswers answers;
        openFile(answers, QDir(work_).filePath(QStringLiteral("parcels.shp")));
        reply(answers, platform::mrOk);
        w().aSaveSelected->trigger();
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_TRUE(answers.messages()[0].text.startsWith(QStringLiteral("Слой parcels")));
    }
    EXPECT_EQ(layer(parcels).Objects.size(), 2u);
    EXPECT_EQ(readTable(QDir(work_).filePath(QStringLiteral("parcels.dbf"))).rows.size(), 2u);

    // Without the pick tool nothing is asked.
    w().PBZoom->setChecked(true);
    w().aSaveSelected->trigger();
}

TEST_F(AnalysisCommands, SavingIntoAFolderWithADotKeepsTheFolder)
{
    const int parcels = addLayer(QStringLiteral("parcels"), maptest::squares(2), 2);
    pickTool();
    select(parcels, 0);
    const QString chosen = QDir(folder(QStringLiteral("out.v2"))).filePath(QStringLiteral("part.shp"));
    {
        testsupport::ScriptedAnswers answers;
        openFile(answers, chosen);
        reply(answers, platform::mrNo);
        w().aSaveSelected->trigger();
    }
    for (const char *ext : {"part.shp", "part.shx", "part.dbf"})
        EXPECT_TRUE(QFile::exists(QDir(dir_.file(QStringLiteral("out.v2"))).filePath(QString::fromLatin1(ext))))
            << ext;
    EXPECT_FALSE(QFile::exists(dir_.file(QStringLiteral("out.shp"))));
}

TEST_F(AnalysisCommands, StatisticsOfALineShowItsLengthAndNoArea)
{
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    select(lines, 1);
    platform::ScopedService<platform::DecimalSeparator> comma(u',');
    testsupport::ScriptedAnswers answers;
    dialog(answers, [](QDialog &) { return int(platform::mrOk); });
    w().nSatisticClick();
    TMapStat *s = MapStatWindow();
    EXPECT_EQ(s->lbCount->text(), QStringLiteral("1"));
    EXPECT_EQ(s->lbLenght->text(), QStringLiteral("100,0000"));
    EXPECT_EQ(s->lbArea->text(), QStringLiteral("0,0000"));
    // X is the northing, Y the easting.
    EXPECT_EQ(s->lbMinX->text(), QStringLiteral("50,000"));
    EXPECT_EQ(s->lbMinY->text(), QStringLiteral("0,000"));
    EXPECT_EQ(s->lbMaxY->text(), QStringLiteral("100,000"));
}

TEST_F(AnalysisCommands, TransformationsRefuseLayersThatAreNoShapefiles)
{
    class Transformations : public dialogs::DialogSeams {
    public:
        bool ShowTransformation(dialogs::LayerTransformation kind, const QString &mode, MapControlCore &) override
        {
            kinds.push_back(kind);
            modes << mode;
            return true;
        }
        std::vector<dialogs::LayerTransformation> kinds;
        QStringList modes;
    } seams;
    platform::ScopedService<dialogs::DialogSeams> installed(seams);
    const int texts = addLayer(QStringLiteral("texts"), shapes(8, {0, 0, 10, 10}, {textRecord({}, {{0, 0}})}), 1);
    ASSERT_EQ(layer(texts).MapType, mtTextLayer);
    struct Case {
        void (TTolvane::*command)();
        const char *message;
    };
    const Case cases[] = {
        {&TTolvane::mShiftClick, "Для смещения координат на заданную величину выберите внешний слой ArcView(Shp) !"},
        {&TTolvane::mTransformXYClick,
         "Для выполнения преобразования прямоугольной системы координат выберите внешний слой ArcView(Shp) !"},
        {&TTolvane::mTransformKeyClick,
         "Для выполнения преобразования координат по ключу перевода выберите внешний слой ArcView(Shp) !"},
        {&TTolvane::mTransformSysClick,
         "Для трансформирования из одной системы координат в ругую выберите внешний слой ArcView(Shp) !"},
        {&TTolvane::mTransformProClick,
         "Для трансформирования из одной системы координат в ругую выберите внешний слой ArcView(Shp) !"},
    };
    for (const Case &c : cases) {
        testsupport::ScriptedAnswers answers;
        reply(answers, platform::mrOk);
        (w().*c.command)();
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QString::fromUtf8(c.message));
    }
    EXPECT_TRUE(seams.kinds.empty());
    // A shapefile layer gets the dialog, with the mode word.
    layer(texts).MapType = mtShapeLayer;
    for (const Case &c : cases)
        (w().*c.command)();
    EXPECT_EQ(seams.kinds.size(), 5u);
    EXPECT_EQ(seams.modes.front(), QStringLiteral("shp"));
}

TEST_F(AnalysisCommands, GoingToAPointCentresOnTheTypedNorthingAndEasting)
{
    class Point : public dialogs::DialogSeams {
    public:
        bool AskPoint(QString &x, QString &y) override
        {
            shownX = x;
            shownY = y;
            x = QStringLiteral("5000,5");
            y = QString();
            return true;
        }
        QString shownX, shownY;
    } seams;
    platform::ScopedService<dialogs::DialogSeams> installed(seams);
    addLayer(QStringLiteral("lines"), twoLines(), 2);
    map().SetCentreX(1000);
    map().SetCentreY(2000);
    map().SetScale(TMapVyk::DenominatorToScale(500));
    w().nViewPointClick();
    EXPECT_EQ(seams.shownX, QStringLiteral("2000"));
    EXPECT_EQ(seams.shownY, QStringLiteral("1000"));
    // A blank easting keeps the centre's.
    EXPECT_EQ(map().View().CenterY, 5000.5);
    EXPECT_EQ(map().View().CenterX, 1000);
}

TEST_F(AnalysisCommands, MeasurementLabelsGoIntoAnEditableTextLayer)
{
    class Labels : public dialogs::DialogSeams {
    public:
        bool AskNewLabel(dialogs::NewLabelAnswer &a) override
        {
            a.EditFontName = QStringLiteral("Arial");
            a.EditFontSize = QStringLiteral("12");
            a.EditFontScale = QStringLiteral("500");
            a.EditFontRotate = QStringLiteral("0");
            a.cbFieldName = mode;
            a.cbRound = QStringLiteral("1");
            a.sbTop = a.sbRight = true;
            return true;
        }
        QString mode = QStringLiteral("Расстояния");
    } seams;
    platform::ScopedService<dialogs::DialogSeams> installed(seams);
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    const int texts = addLayer(QStringLiteral("texts"), shapes(8, {0, 0, 10, 10}, {textRecord({}, {{0, 0}})}), 1);
    map().ResetPicture();
    select(lines, 0);
    pickTool();

    // Not into a layer of another kind.
    makeCurrent(lines);
    w().nAppendLabelClick();
    EXPECT_EQ(layer(texts).Objects.size(), 1u);
    EXPECT_EQ(layer(lines).Objects.size(), 2u);

    makeCurrent(texts);
    w().nAppendLabelClick();
    // The one segment of the line, labelled with its length to one decimal.
    ASSERT_EQ(layer(texts).Objects.size(), 2u);
    read(texts, 1);
    EXPECT_EQ(map().Template().Kind, okText);
    EXPECT_EQ(map().Template().Text.trimmed(), QStringLiteral("100,0").replace(u',', platform::decimalSeparator()));

    // An attribute field name goes to the host product: nothing is added.
    const size_t count = layer(texts).Objects.size();
    seams.mode = QStringLiteral("NAME");
    w().nAppendLabelClick();
    EXPECT_EQ(layer(texts).Objects.size(), count);
}

TEST_F(AnalysisCommands, ParcelNumberingAsksTheStartNumberOnce)
{
    addLayer(QStringLiteral("lines"), twoLines(), 2);
    select(0, 0);
    {
        testsupport::ScriptedAnswers answers;
        box(answers, QStringLiteral("17"));
        w().nVYKNumberClick();
    }
    EXPECT_EQ(map().Settings().NextParcelNumber, 17);
    // Only parcels are numbered: the number stays.
    w().nVYKNumberClick();
    layer(0).MapType = 2;
    w().nVYKNumberClick();
    EXPECT_EQ(map().Settings().NextParcelNumber, 18);
    // "Параметр автонумерации" sets it without numbering; a cancel keeps it.
    {
        testsupport::ScriptedAnswers answers;
        box(answers, QStringLiteral("5"));
        box(answers, QStringLiteral("9"), false);
        w().nAutoNumClick();
        w().nAutoNumClick();
    }
    EXPECT_EQ(map().Settings().NextParcelNumber, 5);
}

// ---------------------------------------------------------------------------
// Automatic label placement

TEST(AutoLabelQuarters, DirectionsFallInQuartersOneToFour)
{
    using app::autolabel::directionQuarter;
    struct Case {
        double degrees;
        int quarter;
    };
    const Case cases[] = {{0, 1},     {44, 1},    {45, 1},    {46, 2},   {135, 2},  {136, 3},
                          {225, 3},   {226, 4},   {314, 4},   {359, 1},  {315, 4},
                          {314.9999, 4}, {315.0001, 1}, {775, 2},  {-725, 1},
                          // Beyond any turn, or no number: the turned 0, without looping.
                          {1e300, 4}, {std::numeric_limits<double>::infinity(), 4},
                          {-std::numeric_limits<double>::infinity(), 4}, {std::nan(""), 4}};
    for (const Case &c : cases)
        EXPECT_EQ(directionQuarter(c.degrees), c.quarter) << c.degrees;
}

TEST(AutoLabelQuarters, TheMoveGoesAwayFromTheFlaggedQuarters)
{
    using app::autolabel::moveDirection;
    struct Case {
        std::array<bool, 4> q;
        int previous, h;
    };
    const Case cases[] = {
        {{false, false, false, false}, 0, 0}, {{false, true, false, false}, 0, 1},
        {{true, true, false, false}, 0, 4},   {{false, false, false, true}, 1, 3},
        {{false, false, true, true}, 0, 2},   {{false, true, true, false}, 0, 4},
        {{true, false, false, false}, 4, 2},  {{true, false, false, false}, 0, 4},
        {{false, false, true, false}, 0, 4},  {{false, true, false, true}, 1, 3},
    };
    for (const Case &c : cases)
        EXPECT_EQ(moveDirection(c.q, c.previous), c.h);
    const app::autolabel::LabelBox box{0, 0, 0, 10, 20, 50, 45};
    EXPECT_EQ(app::autolabel::moveOffset(box, 1), QPoint(20, 0));
    EXPECT_EQ(app::autolabel::moveOffset(box, 2), QPoint(0, -12));
    EXPECT_EQ(app::autolabel::moveOffset(box, 3), QPoint(-20, 0));
    EXPECT_EQ(app::autolabel::moveOffset(box, 4), QPoint(0, 12));
}

namespace {

// A ".Lbl" record: object number at 50, layer 54, object 58, label
// definition 62, the box in pixels at 110, 118, 126, 134.
QByteArray lblRecord(std::int32_t number, std::int32_t layerIndex, std::int32_t object, double left, double top,
                     double right, double bottom)
{
    QByteArray b(200, '\0');
    b.replace(0, 4, "Name");
    putLE32(b, 50, number);
    putLE32(b, 54, layerIndex);
    putLE32(b, 58, object);
    putLE32(b, 62, 0);
    putLE32(b, 66, 10);
    putLEDouble(b, 110, left);
    putLEDouble(b, 118, top);
    putLEDouble(b, 126, right);
    putLEDouble(b, 134, bottom);
    b.replace(150, 5, "Arial");
    return b;
}

} // namespace

TEST(AutoLabelQuarters, CollisionsAreSeenFromTheLabelsCorner)
{
    using namespace app::autolabel;
    // The label and neighbours whose diagonals reach into it: one straight
    // along the first axis, one at 315 degrees (exactly the turned 0), one
    // of the label's own object number, and one far away.
    const QByteArray bytes = lblRecord(7, 0, 0, 0, 0, 40, 20) + lblRecord(8, 0, 1, 30, 10, 60, 20) +
                             lblRecord(9, 0, 2, 30, 15, 50, 10) + lblRecord(7, 0, 3, 10, 10, 90, 90) +
                             lblRecord(10, 0, 4, 500, 500, 600, 600) + QByteArray(50, '\0');
    const std::vector<LabelBox> records = decodeLabelRecords(bytes);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[1].ObjectNumber, 8);
    EXPECT_EQ(records[1].Object, 1);
    EXPECT_EQ(records[1].X2, 60);
    const std::array<bool, 4> q = collisionQuarters(records[0], records);
    EXPECT_EQ(q, (std::array<bool, 4>{true, false, false, true}));
    EXPECT_EQ(moveDirection(q, 0), 2);
}

TEST(AutoLabelQuarters, ANeighbourWhoseCornerIsNoNumberGivesNoDirection)
{
    using namespace app::autolabel;
    // Its first corner lies in the label, its second reads as NaN.
    const double nan = std::nan("");
    const std::vector<LabelBox> records =
        decodeLabelRecords(lblRecord(7, 0, 0, 0, 0, 40, 20) + lblRecord(8, 0, 1, 10, 10, nan, nan));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(collisionQuarters(records[0], records), (std::array<bool, 4>{}));
}

TEST_F(AnalysisCommands, AutomaticPlacementShiftsTheOverlappingLabelOfAParcel)
{
    const int parcels = addLayer(QStringLiteral("parcels"), maptest::squares(2), 2);
    layer(parcels).MapType = 2;
    TMapLabel label;
    label.FieldName = QStringLiteral("Name");
    layer(parcels).Labels.push_back(label);
    map().SetClientSize(400, 300);
    map().ResetPicture();
    writeFile(QDir(work_).filePath(QStringLiteral("parcels.Lbl")),
              lblRecord(7, parcels, 0, 0, 0, 40, 20) + lblRecord(8, parcels, 1, 30, 10, 60, 30));
    select(parcels, 0);
    // No answer but Yes moves anything.
    {
        testsupport::ScriptedAnswers answers;
        reply(answers, platform::mrNo);
        w().nVYKAutoLabelClick();
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text,
                  QStringLiteral("Выполнить автоматическую расстановку обозначений для выбранных объектов ?"));
    }
    EXPECT_FALSE(QFile::exists(QDir(work_).filePath(QStringLiteral("parcels.Shl"))));
    {
        testsupport::ScriptedAnswers answers;
        reply(answers, platform::mrYes);
        w().nVYKAutoLabelClick();
    }
    // The neighbour lies in quarter 1: the label moves by half its height
    // (direction 4), 10 pixels, recorded in map units; the copy is gone.
    const QByteArray shl = readFile(QDir(work_).filePath(QStringLiteral("parcels.Shl")));
    ASSERT_EQ(shl.size(), 100 + 96);
    const auto le32 = [&](int at) { return qFromLittleEndian<std::int32_t>(shl.constData() + at); };
    const auto leDouble = [&](int at) {
        double v;
        const std::uint64_t bits = qFromLittleEndian<std::uint64_t>(shl.constData() + at);
        std::memcpy(&v, &bits, 8);
        return v;
    };
    EXPECT_EQ(le32(100), 7);
    EXPECT_DOUBLE_EQ(leDouble(100 + 48), 0);
    EXPECT_NEAR(leDouble(100 + 56), 10 * map().View().UnitsPerPixelY / map().View().Scale, 1e-9);
    EXPECT_EQ(shl[100 + 89], 1);
    EXPECT_FALSE(QFile::exists(QDir(work_).filePath(QStringLiteral("parcels.Lbt"))));
}
