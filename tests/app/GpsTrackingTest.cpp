// GPS tracking by SMS: the tracker reports as texts, and the whole road
// through a simulated GSM modem on a pseudo-terminal: the position requests
// sent to the phones of a navigation layer's table, the replies taken in by
// the timer and appended to the tracks of the rows whose unit number
// matches, each message once.

#include "MapWindowFixture.h"

#include "app/SmsControls.h"
#include "app/TrackerMessage.h"
#include "platform/modem/GsmModem.h"
#include "support/ModemSimulator.h"

#include <QTimer>
#include <QToolButton>

using namespace maptest;
using testsupport::ModemSimulator;

namespace {

// A position report of 82 characters: ">RTKP" (1-5), filler to 36, the
// latitude at 37-46, the longitude at 47-57, "000123" at 58-63, "045" at
// 64-66, "090" at 67-69, filler at 70-73, the unit number at 74-81, "<".
QString positionReport(const QString &lat, const QString &lon, const QString &unit)
{
    QString r = QStringLiteral(">RTKP") + QStringLiteral("0123 ABC 1234240501") + QString(12, u'0');
    EXPECT_EQ(r.size(), 36);
    r += lat + lon + QStringLiteral("000123045090") + QStringLiteral("XXXX") + unit + u'<';
    return r;
}

QString position(const QString &unit)
{
    return positionReport(QStringLiteral("+504500000"), QStringLiteral("+0304200000"), unit);
}

// A status report: ">RTKS", filler to 40, the unit number at 41-48, "<".
QString statusReport(const QString &unit)
{
    QString r = QStringLiteral(">RTKS") + QStringLiteral("0123 ABC 1234240501") + QString(16, u'0');
    EXPECT_EQ(r.size(), 40);
    return r + unit + u'<';
}

} // namespace

TEST(TrackerMessage, ReportsAreReadAtTheirCharacters)
{
    struct Case {
        const char *name;
        QString text;
        QString kind;        // of the position record ("" when none)
        double lat, lon;
        QString unit;
        bool placeable;
        QString statusUnit;  // "" when no status report
    };
    const QString full = position(QStringLiteral("UNIT0001"));
    const std::vector<Case> cases = {
        {"a position report", full, QStringLiteral("P"), 50.45, 30.42, QStringLiteral("UNIT0001"), true, {}},
        {"text before the report is ignored", QStringLiteral("From +380: ") + full, QStringLiteral("P"), 50.45,
         30.42, QStringLiteral("UNIT0001"), true, {}},
        {"southern and western halves",
         positionReport(QStringLiteral("-334500000"), QStringLiteral("-0704200000"), QStringLiteral("UNIT0001")),
         QStringLiteral("P"), -33.45, -70.42, QStringLiteral("UNIT0001"), true, {}},
        // The "<" at character 46 ends the report: the longitude and the unit
        // are missing, and the latitude is no whole number.
        {"a report ends at its first '<'", full.left(45) + u'<' + full.mid(46), QStringLiteral("P"), 5.045, 0, {},
         false, {}},
        {"a short text reads missing characters as empty", QStringLiteral(">RTKP12"), QStringLiteral("P"), 0, 0, {},
         false, {}},
        {"numbers that are none read 0",
         positionReport(QStringLiteral("ABCDEFGHIJ"), QStringLiteral(".........."
                                                                      "."),
                        QStringLiteral("UNIT0001")),
         QStringLiteral("P"), 0, 0, QStringLiteral("UNIT0001"), false, {}},
        {"letters inside a number", positionReport(QStringLiteral("+50A500000"), QStringLiteral("+0304200000"),
                                                   QStringLiteral("UNIT0001")),
         QStringLiteral("P"), 5.05, 30.42, QStringLiteral("UNIT0001"), false, {}},
        {"beyond the degrees", positionReport(QStringLiteral("+954500000"), QStringLiteral("+0304200000"),
                                              QStringLiteral("UNIT0001")),
         QStringLiteral("P"), 95.45, 30.42, QStringLiteral("UNIT0001"), false, {}},
        {"no unit number", position(QStringLiteral("        ")), QStringLiteral("P"), 50.45, 30.42,
         QStringLiteral("        "), false, {}},
        {"a status and a position report in one message", statusReport(QStringLiteral("UNIT0009")) + full,
         QStringLiteral("P"), 50.45, 30.42, QStringLiteral("UNIT0001"), true, QStringLiteral("UNIT0009")},
        {"a status report alone", statusReport(QStringLiteral("UNIT0009")), {}, 0, 0, {}, false,
         QStringLiteral("UNIT0009")},
        {"no report", QStringLiteral("Balance: 10.00"), {}, 0, 0, {}, false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TTrackerMessage status, pos;
        // Records of an earlier message are not carried over.
        pos.Kind = QStringLiteral("P");
        pos.Placeable = true;
        ParseTrackerMessage(c.text, status, pos);
        EXPECT_EQ(pos.Kind, c.kind);
        EXPECT_NEAR(pos.Latitude, c.lat, 1e-9);
        EXPECT_NEAR(pos.Longitude, c.lon, 1e-9);
        EXPECT_EQ(pos.Unit, c.unit);
        EXPECT_EQ(pos.Placeable, c.placeable);
        EXPECT_EQ(status.Kind, c.statusUnit.isEmpty() ? QString() : QStringLiteral("S"));
        EXPECT_EQ(status.Unit, c.statusUnit);
    }
    TTrackerMessage status, pos;
    ParseTrackerMessage(full, status, pos);
    EXPECT_EQ(pos.Value58, 123);
    EXPECT_EQ(pos.Value64, 45);
    EXPECT_EQ(pos.Value67, 90);
    EXPECT_EQ(pos.Field6, QStringLiteral("0123"));
    EXPECT_EQ(pos.Field11, QStringLiteral("ABC"));
    EXPECT_EQ(pos.Field15, QStringLiteral("1234"));
    EXPECT_EQ(pos.Field19, QStringLiteral("240501"));
}

namespace {

struct DbfField {
    const char *name;
    char type;
    int width;
};

// The fields of a navigation layer's table.
const std::vector<DbfField> navFields = {
    {"ID", 'N', 9}, {"NAME", 'C', 20}, {"PHONE", 'C', 20}, {"REQUEST", 'C', 40}, {"NUM", 'C', 8}, {"DATEEDIT", 'D', 8}};

struct Row {
    QByteArray phone, request, num;
    bool deleted = false;
};

// A dBase III table: version 3 at 0, record count at 4, header length at 8,
// record length at 10, a 32-byte descriptor per field from 32 (name at 0,
// type at 11, width at 16), 0x0D, the records (flag byte, the values: text
// left-aligned, numbers right-aligned), 0x1A.
QByteArray navTable(const std::vector<Row> &rows)
{
    const int headerLength = 32 + 32 * static_cast<int>(navFields.size()) + 1;
    int recordLength = 1;
    for (const DbfField &f : navFields)
        recordLength += f.width;
    QByteArray b(headerLength, '\0');
    b[0] = 3;
    b[1] = 124;
    b[2] = 5;
    b[3] = 1;
    putLE32(b, 4, static_cast<std::int32_t>(rows.size()));
    testsupport::putLE16(b, 8, static_cast<std::int16_t>(headerLength));
    testsupport::putLE16(b, 10, static_cast<std::int16_t>(recordLength));
    for (size_t i = 0; i < navFields.size(); ++i) {
        const qsizetype at = 32 + 32 * static_cast<qsizetype>(i);
        b.replace(at, static_cast<qsizetype>(qstrlen(navFields[i].name)), navFields[i].name);
        b[at + 11] = navFields[i].type;
        b[at + 16] = static_cast<char>(navFields[i].width);
    }
    b[headerLength - 1] = 0x0D;
    for (size_t r = 0; r < rows.size(); ++r) {
        b += rows[r].deleted ? '*' : ' ';
        b += QByteArray::number(static_cast<int>(r + 1)).rightJustified(9, ' ');
        b += QByteArray("Tracker").leftJustified(20, ' ');
        b += rows[r].phone.leftJustified(20, ' ');
        b += rows[r].request.leftJustified(40, ' ');
        b += rows[r].num.leftJustified(8, ' ');
        b += QByteArray("20240501");
    }
    b += char(0x1A);
    return b;
}

// A polyline record of one part: type 3 at 0, box at 4, part count at 36,
// point count at 40, the part's start at 44, the points from 48.
QByteArray lineContent(const std::vector<std::pair<double, double>> &points)
{
    QByteArray b(48 + 16 * static_cast<qsizetype>(points.size()), '\0');
    double x0 = points[0].first, y0 = points[0].second, x1 = x0, y1 = y0;
    for (const auto &[x, y] : points) {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
    putLE32(b, 0, 3);
    putLEDouble(b, 4, x0);
    putLEDouble(b, 12, y0);
    putLEDouble(b, 20, x1);
    putLEDouble(b, 28, y1);
    putLE32(b, 36, 1);
    putLE32(b, 40, static_cast<std::int32_t>(points.size()));
    for (size_t k = 0; k < points.size(); ++k) {
        putLEDouble(b, 48 + 16 * static_cast<qsizetype>(k), points[k].first);
        putLEDouble(b, 56 + 16 * static_cast<qsizetype>(k), points[k].second);
    }
    return b;
}

class GpsTrackingTest : public MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        ASSERT_FALSE(modem.device().isEmpty()) << "no pseudo-terminal";
        modem.requirePin(QStringLiteral("1234"));
    }
    void TearDown() override
    {
        app::releaseSmsControls();
        MapWindowTest::TearDown();
    }

    // A navigation layer with one track of two points per row, on a modem.
    int navigationLayer(const QString &base, const std::vector<Row> &rows, const ModemSimulator &on)
    {
        std::vector<QByteArray> contents;
        for (size_t i = 0; i < rows.size(); ++i)
            contents.push_back(lineContent({{30.0 + static_cast<double>(i), 50.0}, {30.1 + static_cast<double>(i), 50.1}}));
        ShapePair p = shapes(3, {30, 50, 30.1 + static_cast<double>(rows.size()), 50.1}, contents);
        writeFile(QDir(work_).filePath(base + QStringLiteral(".shp")), p.shp);
        writeFile(QDir(work_).filePath(base + QStringLiteral(".shx")), p.shx);
        writeFile(QDir(work_).filePath(base + QStringLiteral(".dbf")), navTable(rows));
        const int n = openLayer(base + QStringLiteral(".shp"));
        TMapLayer &L = layer(n);
        L.ObjType = otNavigation;
        L.Device = on.device();
        L.PIN = QStringLiteral("1234");
        L.Visible = true;
        w().RebuildLayerList(false);
        return n;
    }
    // The object's points as the map control reads it (from the journal
    // once edited).
    std::vector<std::pair<double, double>> track(int n, int object)
    {
        map().ReadObject(n, object, *layer(n).Objects[static_cast<size_t>(object)].Shape);
        std::vector<std::pair<double, double>> v;
        for (const TShpParts &part : layer(n).Objects[static_cast<size_t>(object)].Shape->Parts)
            for (const TShpPoint &p : part.Points)
                v.emplace_back(p.X, p.Y);
        return v;
    }
    void press(bool down)
    {
        w().tbTrimTrac->setChecked(down);
        w().tbTrimTracClick();
    }

    platform::ScopedService<platform::GsmTimeouts> limits{{500, 1000}};
    ModemSimulator modem;
};

const std::vector<Row> twoTrackers = {
    {"+380500000001", "POS?", "UNIT0001"},
    {"+380500000002", "WHERE", "unit0002"},
    {"", "POS?", "UNIT0003"},                // no phone: no request
    {"+380500000004", "", ""},               // no request text, no unit number
    {"+380500000005", "POS?", "UNIT0005", true}, // deleted row
};

} // namespace

TEST_F(GpsTrackingTest, RequestsGoToThePhonesAndRepliesExtendTheTracksOnce)
{
    const int n = navigationLayer(QStringLiteral("tracks"), twoTrackers, modem);
    press(true);
    EXPECT_TRUE(w().TimerIncome->isActive());
    const auto sent = modem.sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].number, QStringLiteral("+380500000001"));
    EXPECT_EQ(sent[0].text, QStringLiteral("POS?"));
    EXPECT_EQ(sent[1].number, QStringLiteral("+380500000002"));
    EXPECT_EQ(sent[1].text, QStringLiteral("WHERE"));

    // Replies: a position of the second tracker (its number matched without
    // regard to case), a status and a position of the first in one message,
    // then a status alone, a unit not in the table, and malformed ones.
    modem.receive(QStringLiteral("+380500000002"), QStringLiteral("Tracker 2: ") + position(QStringLiteral("UNIT0002")));
    modem.receive(QStringLiteral("+380500000001"),
                  statusReport(QStringLiteral("UNIT0001")) +
                      positionReport(QStringLiteral("+504600000"), QStringLiteral("+0304300000"), QStringLiteral("UNIT0001")));
    modem.receive(QStringLiteral("+380500000001"), statusReport(QStringLiteral("UNIT0001")));
    modem.receive(QStringLiteral("+380500000009"), position(QStringLiteral("UNIT0009")));
    modem.receive(QStringLiteral("+380500000001"), QStringLiteral(">RTKP0123<"));
    modem.receive(QStringLiteral("+380500000001"),
                  positionReport(QStringLiteral("+5045,0000"), QStringLiteral(".........."
                                                                               "."),
                                 QStringLiteral("UNIT0001")));
    modem.receive(QStringLiteral("+380500000003"), position(QStringLiteral("        ")));
    modem.receive(QStringLiteral("+380500000005"), position(QStringLiteral("UNIT0005")));

    w().TimerIncomeTimer();
    const auto t1 = track(n, 0);
    const auto t2 = track(n, 1);
    ASSERT_EQ(t1.size(), 3u);
    ASSERT_EQ(t2.size(), 3u);
    EXPECT_NEAR(t1.back().first, 30.43, 1e-9);
    EXPECT_NEAR(t1.back().second, 50.46, 1e-9);
    EXPECT_NEAR(t2.back().first, 30.42, 1e-9);
    EXPECT_NEAR(t2.back().second, 50.45, 1e-9);
    // Not placed: the blank unit number (matching no row's blank number) and
    // the unit of a deleted row.
    for (int object : {2, 3, 4})
        EXPECT_EQ(track(n, object).size(), 2u) << object;
    EXPECT_TRUE(layer(n).ObjectsModified);
    EXPECT_TRUE(layer(n).Objects[1].Modified);
    // Every message was taken off the modem.
    EXPECT_TRUE(modem.stored().empty());

    // A tick with nothing new adds nothing.
    w().TimerIncomeTimer();
    EXPECT_EQ(track(n, 0).size(), 3u);
    EXPECT_EQ(track(n, 1).size(), 3u);

    // A later reply extends the track again.
    modem.receive(QStringLiteral("+380500000002"),
                  positionReport(QStringLiteral("+504700000"), QStringLiteral("+0304400000"), QStringLiteral("UNIT0002")));
    w().TimerIncomeTimer();
    EXPECT_EQ(track(n, 1).size(), 4u);
    EXPECT_NEAR(track(n, 1).back().first, 30.44, 1e-9);
}

TEST_F(GpsTrackingTest, ReleasingStopsAndPressingAgainSendsAgainThroughTheFirstModem)
{
    ModemSimulator other;
    other.requirePin(QStringLiteral("1234"));
    // Rows go from the last to the first: the layer opened last comes first
    // and its modem sends for both.
    const int a = navigationLayer(QStringLiteral("a"), {{"+1", "A?", "UNITA001"}}, other);
    const int b = navigationLayer(QStringLiteral("b"), {{"+2", "B?", "UNITB001"}}, modem);
    ASSERT_EQ(rowLayers(w().ListLayers), (std::vector<int>{a, b}));

    press(true);
    ASSERT_EQ(modem.sent().size(), 2u);
    EXPECT_EQ(modem.sent()[0].number, QStringLiteral("+2"));
    EXPECT_EQ(modem.sent()[1].number, QStringLiteral("+1"));
    EXPECT_TRUE(other.sent().empty());

    press(false);
    EXPECT_FALSE(w().TimerIncome->isActive());
    EXPECT_EQ(modem.sent().size(), 2u);

    press(true);
    EXPECT_TRUE(w().TimerIncome->isActive());
    EXPECT_EQ(modem.sent().size(), 4u);
    EXPECT_TRUE(other.sent().empty());
}

TEST_F(GpsTrackingTest, RepliesReachTheTracksOfEveryNavigationLayer)
{
    // The modem is read once a tick: the reply for the second layer is not
    // lost because the first layer's reading took it off the modem.
    const int a = navigationLayer(QStringLiteral("a"), {{"+1", "A?", "UNITA001"}}, modem);
    const int b = navigationLayer(QStringLiteral("b"), {{"+2", "B?", "UNITB001"}}, modem);
    modem.receive(QStringLiteral("+1"), position(QStringLiteral("UNITA001")));
    modem.receive(QStringLiteral("+2"), position(QStringLiteral("UNITB001")));
    w().TimerIncomeTimer();
    EXPECT_EQ(track(a, 0).size(), 3u);
    EXPECT_EQ(track(b, 0).size(), 3u);
    EXPECT_TRUE(modem.stored().empty());
}

TEST_F(GpsTrackingTest, LayersThatTakeNoPartAreLeftAlone)
{
    struct Case {
        const char *name;
        std::function<void(TTolvane &, TMapLayer &)> change;
        bool componentMade;  // the layer takes part but has nothing to send
    };
    const std::vector<Case> cases = {
        {"not a navigation layer", [](TTolvane &, TMapLayer &L) { L.ObjType = otPolylines; }, false},
        {"a text layer", [](TTolvane &, TMapLayer &L) { L.MapType = mtTextLayer; }, false},
        {"hidden", [](TTolvane &, TMapLayer &L) { L.Visible = false; }, false},
        {"no device", [](TTolvane &, TMapLayer &L) { L.Device = QStringLiteral("  "); }, false},
        {"no PIN", [](TTolvane &, TMapLayer &L) { L.PIN.clear(); }, false},
        {"outside its scales",
         [](TTolvane &w, TMapLayer &L) {
             L.ScaleView = true;
             L.ScaleMin = 1000;
             L.ScaleMax = 5000;
             w.MapImage->SetScale(w.MapImage->DenominatorToScale(10000));
         },
         false},
        {"no table",
         [](TTolvane &w, TMapLayer &) {
             QFile::remove(w.MapImage->LayerTableName(static_cast<int>(w.MapImage->Project().Layers.size()) - 1));
         },
         true},
    };
    int k = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ModemSimulator m;
        m.requirePin(QStringLiteral("1234"));
        const int n = navigationLayer(QStringLiteral("t%1").arg(k++), twoTrackers, m);
        c.change(w(), layer(n));
        m.receive(QStringLiteral("+380500000001"), position(QStringLiteral("UNIT0001")));
        press(true);
        w().TimerIncomeTimer();
        EXPECT_TRUE(m.sent().empty());
        EXPECT_EQ(app::GsmOut != nullptr, c.componentMade);
        EXPECT_EQ(track(n, 0).size(), 2u);
        // Unread, the message stays for a layer that takes part.
        EXPECT_EQ(m.stored().size(), 1u);
        press(false);
        app::releaseSmsControls();
        w().ClearProject();
    }
    // Within its scales a layer takes part; a view scale of 0 counts as 1:1.
    const int n = navigationLayer(QStringLiteral("t"), twoTrackers, modem);
    layer(n).ScaleView = true;
    layer(n).ScaleMin = 1;
    layer(n).ScaleMax = 5000;
    map().SetScale(0);
    press(true);
    EXPECT_EQ(modem.sent().size(), 2u);
}

TEST_F(GpsTrackingTest, AFailingModemStopsTrackingAndIsReportedOnce)
{
    const int n = navigationLayer(QStringLiteral("tracks"), twoTrackers, modem);
    press(true);
    ASSERT_TRUE(w().TimerIncome->isActive());
    modem.setMute(true);
    EXPECT_THROW(w().TimerIncomeTimer(), platform::GsmError);
    EXPECT_FALSE(w().TimerIncome->isActive());
    EXPECT_FALSE(w().tbTrimTrac->isChecked());

    // A component that could not connect is not kept: the next try connects.
    app::releaseSmsControls();
    modem.setMute(false);
    layer(n).Device = QStringLiteral("/dev/nonexistent-modem");
    EXPECT_THROW(w().TimerIncomeTimer(), platform::GsmError);
    EXPECT_EQ(app::GsmIn, nullptr);
    layer(n).Device = modem.device();
    modem.receive(QStringLiteral("+380500000001"), position(QStringLiteral("UNIT0001")));
    w().TimerIncomeTimer();
    EXPECT_NE(app::GsmIn, nullptr);
    EXPECT_EQ(track(n, 0).size(), 3u);
}
