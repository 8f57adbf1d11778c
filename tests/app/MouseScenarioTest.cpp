// The mouse tools as a user works with them: the program started on a
// project of two polygon layers, driven by Qt mouse events sent to the map
// control (a double click as Qt delivers it: press, release, double click,
// release). Digitizing with snapping to another layer's vertex, picking and
// dragging with the journal, copying with Ctrl, rectangles, dragging a label
// into the ".Shl", zooming by rectangle and panning with the right button.

#include "AppTestSupport.h"

#include "app/MouseTools.h"
#include "dialogs/DialogSeams.h"
#include "dialogs/FNewForAll.h"
#include "platform/TextCodec.h"

#include <QMdiArea>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <cstring>
#include <optional>

using namespace app::tools;
using testsupport::putBE32;
using testsupport::putLE32;
using testsupport::putLEDouble;

namespace {

// 800 × 600 pixels on 200 × 150 mm: 25 units of 0.01 mm per pixel, so at
// 1:2000 a pixel is half a metre.
platform::gdi::DeviceMetrics testScreen()
{
    platform::gdi::DeviceMetrics m;
    m.horzRes = 800;
    m.vertRes = 600;
    m.horzSize = 200;
    m.vertSize = 150;
    m.logPixelsX = 96;
    m.logPixelsY = 96;
    return m;
}

// A polygon record of one ring (type 5 at 0, box at 4, part and point counts
// at 36 and 40, the part start at 44, the points from 48).
QByteArray polygon(const std::vector<QPointF> &ring)
{
    QByteArray b(48 + 16 * static_cast<int>(ring.size()), '\0');
    double x0 = ring[0].x(), y0 = ring[0].y(), x1 = x0, y1 = y0;
    for (const QPointF &p : ring) {
        x0 = std::min(x0, p.x());
        y0 = std::min(y0, p.y());
        x1 = std::max(x1, p.x());
        y1 = std::max(y1, p.y());
    }
    putLE32(b, 0, 5);
    putLEDouble(b, 4, x0);
    putLEDouble(b, 12, y0);
    putLEDouble(b, 20, x1);
    putLEDouble(b, 28, y1);
    putLE32(b, 36, 1);
    putLE32(b, 40, static_cast<std::int32_t>(ring.size()));
    putLE32(b, 44, 0);
    for (size_t k = 0; k < ring.size(); ++k) {
        putLEDouble(b, 48 + 16 * static_cast<int>(k), ring[k].x());
        putLEDouble(b, 56 + 16 * static_cast<int>(k), ring[k].y());
    }
    return b;
}

std::vector<QPointF> square(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
}

// A polygon layer: the 100-byte headers (code 9994 and length in words
// big-endian at 0 and 24, version 1000 at 28, type 5 at 32), the records
// (number and content length in words, big-endian) and their index entries;
// a dBase III table of one numeric field "ID" (width 10) numbering the rows.
void writePolygonLayer(const QString &folder, const QString &base, const std::vector<QByteArray> &records)
{
    auto header = [](std::int32_t words) {
        QByteArray h(100, '\0');
        putBE32(h, 0, 9994);
        putBE32(h, 24, words);
        putLE32(h, 28, 1000);
        putLE32(h, 32, 5);
        return h;
    };
    QByteArray shp, shx;
    int offset = 100;
    for (size_t i = 0; i < records.size(); ++i) {
        QByteArray head(8, '\0'), entry(8, '\0');
        putBE32(head, 0, static_cast<std::int32_t>(i + 1));
        putBE32(head, 4, static_cast<std::int32_t>(records[i].size() / 2));
        putBE32(entry, 0, offset / 2);
        putBE32(entry, 4, static_cast<std::int32_t>(records[i].size() / 2));
        shp += head + records[i];
        shx += entry;
        offset += 8 + static_cast<int>(records[i].size());
    }
    shp.prepend(header((100 + static_cast<std::int32_t>(shp.size())) / 2));
    shx.prepend(header((100 + static_cast<std::int32_t>(shx.size())) / 2));
    QByteArray dbf(65, '\0');
    dbf[0] = 3;
    dbf[1] = 124;
    dbf[2] = 1;
    dbf[3] = 1;
    putLE32(dbf, 4, static_cast<std::int32_t>(records.size()));
    testsupport::putLE16(dbf, 8, 65);
    testsupport::putLE16(dbf, 10, 11);
    dbf.replace(32, 2, "ID");
    dbf[32 + 11] = 'N';
    dbf[32 + 16] = 10;
    dbf[64] = 0x0D;
    for (size_t r = 1; r <= records.size(); ++r)
        dbf += ' ' + QByteArray::number(static_cast<int>(r)).rightJustified(10, ' ');
    dbf += char(0x1A);
    for (const auto &[ext, bytes] : {std::pair{".shp", shp}, {".shx", shx}, {".dbf", dbf}}) {
        QFile f(QDir(folder).filePath(base + QLatin1String(ext)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::int32_t be32(const QByteArray &b, int at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(b.constData() + at);
    return static_cast<std::int32_t>((std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
                                     (std::uint32_t(p[2]) << 8) | p[3]);
}

std::int32_t le32(const QByteArray &b, int at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(b.constData() + at);
    return static_cast<std::int32_t>(p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                                     (std::uint32_t(p[3]) << 24));
}

double leDouble(const QByteArray &b, int at)
{
    std::uint64_t v = 0;
    for (int k = 7; k >= 0; --k)
        v = (v << 8) | static_cast<unsigned char>(b[at + k]);
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}

// The points of record n (from 1) of a polygon ".shp", found through its
// ".shx" entry (offset in words, big-endian, at 100 + 8 (n - 1)).
std::vector<QPointF> recordPoints(const QString &base, int n, int *parts = nullptr)
{
    const QByteArray shx = readAll(base + QStringLiteral(".shx"));
    const QByteArray shp = readAll(base + QStringLiteral(".shp"));
    const int content = 2 * be32(shx, 100 + 8 * (n - 1)) + 8;
    if (parts)
        *parts = le32(shp, content + 36);
    const int count = le32(shp, content + 40);
    const int first = content + 44 + 4 * le32(shp, content + 36);
    std::vector<QPointF> points;
    for (int k = 0; k < count; ++k)
        points.emplace_back(leDouble(shp, first + 16 * k), leDouble(shp, first + 16 * k + 8));
    return points;
}

// The text of field "ID" of row n (from 1) of the layer's table: header
// length at 8 and record length at 10 (little-endian), the field after the
// deletion flag.
QString idOfRow(const QString &base, int n)
{
    const QByteArray dbf = readAll(base + QStringLiteral(".dbf"));
    const int headerLength = static_cast<unsigned char>(dbf[8]) | (static_cast<unsigned char>(dbf[9]) << 8);
    const int recordLength = static_cast<unsigned char>(dbf[10]) | (static_cast<unsigned char>(dbf[11]) << 8);
    return QString::fromLatin1(dbf.mid(headerLength + (n - 1) * recordLength + 1, 10)).trimmed();
}

// A 200-byte ".Lbl" record: object number at 50, layer and object index at
// 54 and 58, label definition index at 62, the anchor in picture units at 78
// and 86 and in pixels at 94 and 102, the pixel box at 110 .. 134.
QByteArray lblRecord(int number, int object, QPoint pixel, QRect box)
{
    QByteArray b(200, '\0');
    b.replace(0, 2, "12");
    putLE32(b, 50, number);
    putLE32(b, 54, 1);
    putLE32(b, 58, object);
    putLE32(b, 62, 0);
    putLEDouble(b, 78, pixel.x() * 25.0);
    putLEDouble(b, 86, -pixel.y() * 25.0);
    putLEDouble(b, 94, pixel.x());
    putLEDouble(b, 102, pixel.y());
    putLEDouble(b, 110, box.left());
    putLEDouble(b, 118, box.top());
    putLEDouble(b, 126, box.right());
    putLEDouble(b, 134, box.bottom());
    return b;
}

// The vertices of the large L-shaped polygon of layer "contour": its notch
// (x over E, y under E) lies inside its box but outside the polygon.
const QPointF A(930.125, 4940.375), B(930.125, 5060.625), C(1070.875, 5060.625), D(1070.875, 5010.5),
    E(1000.25, 5010.5), F(1000.25, 4940.375);

} // namespace

class MouseScenarioTest : public apptest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        screen_.emplace(testScreen());
        const QString folder = dir_.file(QStringLiteral("scene"));
        QDir().mkpath(folder);
        writePolygonLayer(folder, QStringLiteral("contour"), {polygon({A, B, C, D, E, F, A})});
        writePolygonLayer(folder, QStringLiteral("plots"),
                          {polygon(square(1005, 4945, 1035, 4975)), polygon(square(1045, 4945, 1065, 4975))});
        plots_ = QDir(folder).filePath(QStringLiteral("plots"));
        // An empty text and symbol layer from the program folder's template.
        for (const char *ext : {".shp", ".shx", ".dbf"})
            ASSERT_TRUE(QFile::copy(testsupport::programFolder() + QStringLiteral("/Default/cosmetic") + QLatin1String(ext),
                                    QDir(folder).filePath(QStringLiteral("texts") + QLatin1String(ext))));
        const QString layer = QStringLiteral("Layer=%1\n{\n   FileName=%2.shp\n   Name=%3\n   MapType=1\n"
                                             "   ObjType=3\n   Visible=True\n   Snap=True\n   Edited=%4\n}\n");
        const QString text = QStringLiteral("!Tolvane v.2.2.0.2\n\nZoomPanel=True\nX=1000\nY=5000\nScale=2000\n"
                                            "SnapPoint=True\nSnapLine=False\nPointAutoIns=True\nPointAutoDel=True\n"
                                            "ActiveLayer=1\nLayersCount=3\n\n") +
                             layer.arg(1).arg(QStringLiteral("contour"), QStringLiteral("Контур"),
                                              QStringLiteral("False")) +
                             layer.arg(2).arg(QStringLiteral("plots"), QStringLiteral("Участки"),
                                              QStringLiteral("True")) +
                             QStringLiteral("Layer=3\n{\n   FileName=texts.shp\n   Name=Надписи\n   MapType=8\n"
                                            "   Visible=True\n   Snap=True\n   Edited=True\n}\n");
        const QString project = dir_.file(QStringLiteral("scene.tvp"));
        {
            QFile f(project);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(platform::toCp1251(text).replace("\n", "\r\n"));
        }
        apptest::setProductValue(QStringLiteral("LastOpenTvpFile"), project);

        TStart &start = frame();
        start.resize(1000, 800);
        start.show();
        start.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&start));
        start.MdiArea->setActiveSubWindow(Tolvane);
        Tolvane->showMaximized();
        QApplication::processEvents();
        ASSERT_EQ(map().Project().Layers.size(), 3u);
        ASSERT_EQ(w().ShownLayerIndex(), 1);
        ASSERT_DOUBLE_EQ(map().View().UnitsPerPixelX, 25);
        ASSERT_DOUBLE_EQ(TMapVyk::ScaleToDenominator(map().View().Scale), 2000);
        // The whole L in the control.
        ASSERT_GE(px(A).x(), 0);
        ASSERT_GE(px(A).y(), 0);
        ASSERT_LT(px(C).x(), map().width());
        ASSERT_LT(px(A).y(), map().height());
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        screen_.reset();
    }

    TTolvane &w() { return *Tolvane; }
    TMapVyk &map() { return *Tolvane->MapImage; }

    // The pixel of a map point and the map point of a pixel.
    QPoint px(QPointF p)
    {
        const QPoint l = map().MapToLogical(p.x(), p.y());
        return QPoint(qRound(l.x() / map().View().UnitsPerPixelX), qRound(-l.y() / map().View().UnitsPerPixelY));
    }
    QPointF at(QPoint pixel)
    {
        TMapPoint m;
        map().LogicalToMap(QPointF(pixel.x() * map().View().UnitsPerPixelX, -pixel.y() * map().View().UnitsPerPixelY), m);
        return QPointF(m.X, m.Y);
    }

    // Qt's mouse events to the control, with the buttons held.
    void send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers keys)
    {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
            held_ |= button;
        else if (type == QEvent::MouseButtonRelease)
            held_ &= ~Qt::MouseButtons(button);
        QMouseEvent e(type, QPointF(p), QPointF(map().mapToGlobal(p)), button, held_, keys);
        QApplication::sendEvent(&map(), &e);
    }
    void move(QPoint p, Qt::KeyboardModifiers keys = {}) { send(QEvent::MouseMove, p, Qt::NoButton, keys); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        send(QEvent::MouseButtonPress, p, b, keys);
    }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        send(QEvent::MouseButtonRelease, p, b, keys);
    }
    void click(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        move(p, keys);
        press(p, b, keys);
        release(p, b, keys);
    }
    void doubleClick(QPoint p)
    {
        click(p);
        send(QEvent::MouseButtonDblClick, p, Qt::LeftButton, {});
        release(p);
    }
    // Press, moves in steps to `to`, release there.
    void drag(QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        move(from, keys);
        press(from, b, keys);
        for (int k = 1; k <= 4; ++k)
            move(from + (to - from) * k / 4, keys);
        release(to, b, keys);
    }
    // Makes a layer the current one, as a click on its row does.
    void makeCurrent(int layer)
    {
        map().Project().ActiveLayer = layer;
        w().ShowActiveLayerRow(layer);
        w().UpdateToolButtons();
    }
    // Chooses a tool as the user does: its button, then the mouse over the map.
    void tool(QToolButton *button)
    {
        button->click();
        move(QPoint(5, 5));
    }

    std::optional<platform::ScopedService<platform::gdi::ScreenMetrics>> screen_;
    Qt::MouseButtons held_;
    QString plots_;
};

TEST_F(MouseScenarioTest, DigitizingAPolygonSnapsToAVertexOfAnotherLayer)
{
    tool(w().pbDraw);
    ASSERT_EQ(w().DrawKindItem(), w().nDrawPolygon);
    const QPoint c1 = px({1005, 4980}), c2 = px({1060, 4980}), c3 = px({1060, 5005}), c5 = px({1002, 4995});
    // Within 7 pixels of the contour's vertex E, 3 and 2 pixels off.
    const QPoint c4 = px(E) + QPoint(3, 2);
    click(c1);
    EXPECT_TRUE(map().Drag().Drawing);
    EXPECT_TRUE(w().NDelPoint->isEnabled());
    click(c2);
    click(c3);
    move(c4);
    EXPECT_EQ(w().FToolCursor, crPolygonMove);   // over a vertex
    click(c4);
    doubleClick(c5);
    EXPECT_FALSE(map().Drag().Drawing);
    EXPECT_FALSE(w().NDelPoint->isEnabled());

    // The new record: one closed ring, the snapped vertex exactly E.
    const TMapLayer &L = map().Project().Layers[1];
    ASSERT_EQ(L.Objects.size(), 3u);
    int parts = 0;
    const std::vector<QPointF> ring = recordPoints(plots_, 3, &parts);
    EXPECT_EQ(parts, 1);
    ASSERT_EQ(ring.size(), 6u);
    const std::vector<QPointF> expected = {at(c1), at(c2), at(c3), E, at(c5), at(c1)};
    for (size_t k = 0; k < ring.size(); ++k) {
        EXPECT_EQ(ring[k].x(), expected[k].x()) << k;
        EXPECT_EQ(ring[k].y(), expected[k].y()) << k;
    }
    EXPECT_EQ(idOfRow(plots_, 3), QStringLiteral("3"));
    // It is the selection, and it can be undone.
    ASSERT_EQ(map().Selection().Entries.size(), 1u);
    EXPECT_EQ(map().Selection().Entries[0].Layer, 1);
    EXPECT_EQ(map().Selection().Entries[0].Index, 2);

    // What another program reads of the layer.
    if (QStandardPaths::findExecutable(QStringLiteral("ogrinfo")).isEmpty()) {
        GTEST_SKIP() << "ogrinfo is missing: the layer is not checked by GDAL";
    }
    QProcess ogr;
    ogr.start(QStringLiteral("ogrinfo"), {QStringLiteral("-al"), plots_ + QStringLiteral(".shp")});
    ASSERT_TRUE(ogr.waitForFinished(60000));
    const QString out = QString::fromUtf8(ogr.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("Feature Count: 3"))) << out.toStdString();
    const QRegularExpression last(QStringLiteral("OGRFeature\\(plots\\):2\\s+ID \\(\\S+\\) = 3\\s+POLYGON \\(\\(([^)]*)\\)\\)"));
    const QRegularExpressionMatch m = last.match(out);
    ASSERT_TRUE(m.hasMatch()) << out.toStdString();
    const QStringList vertices = m.captured(1).split(u',');
    ASSERT_EQ(vertices.size(), 6);
    EXPECT_EQ(vertices.first().trimmed(), vertices.last().trimmed());
    EXPECT_EQ(vertices[3].trimmed(), QStringLiteral("1000.25 5010.5"));
}

TEST_F(MouseScenarioTest, ADoubleClickFirstCommitsAOnePointFigureAndALockedLayerNothing)
{
    tool(w().pbDraw);
    doubleClick(px({1005, 4980}));
    EXPECT_FALSE(map().Drag().Drawing);
    ASSERT_EQ(map().Project().Layers[1].Objects.size(), 3u);
    EXPECT_EQ(recordPoints(plots_, 3).size(), 1u);

    // On a layer that is not editable the figure ends with no commit.
    map().Project().Layers[1].Edited = false;
    click(px({1005, 4980}));
    click(px({1060, 4980}));
    doubleClick(px({1060, 5000}));
    EXPECT_FALSE(map().Drag().Drawing);
    EXPECT_EQ(map().Project().Layers[1].Objects.size(), 3u);
}

TEST_F(MouseScenarioTest, PickingDraggingUndoAndCopying)
{
    const int journal = map().JournalPos();
    tool(w().PBPick);
    // Off the handles of both frames of plot 1 (30 m, 60 pixels across).
    const QPoint inside = px({1020, 4966});
    click(inside);
    ASSERT_EQ(map().Selection().Entries.size(), 1u);
    EXPECT_EQ(map().Selection().Entries[0].Index, 0);
    EXPECT_EQ(map().Selection().FrameMode, 0);
    // A second click turns the frame to rotation, a third back.
    click(inside);
    EXPECT_EQ(map().Selection().FrameMode, 1);
    click(inside);
    EXPECT_EQ(map().Selection().FrameMode, 0);

    // A drag of 20 pixels moves the object 10 m, through the journal.
    drag(inside, inside + QPoint(20, 0));
    TShpObject moved;
    map().ReadObject(1, 0, moved);
    ASSERT_EQ(moved.Parts.size(), 1u);
    EXPECT_DOUBLE_EQ(moved.Parts[0].Points[0].X, 1015);
    EXPECT_DOUBLE_EQ(moved.Parts[0].Points[2].X, 1045);
    EXPECT_DOUBLE_EQ(moved.Parts[0].Points[0].Y, 4945);
    EXPECT_EQ(map().JournalPos(), journal + 1);
    EXPECT_TRUE(w().tbUndo->isEnabled());
    // The undo command: the journal steps back and the map is redrawn.
    map().UndoEdit();
    w().RedrawMap();
    map().ReadObject(1, 0, moved);
    EXPECT_DOUBLE_EQ(moved.Parts[0].Points[0].X, 1005);

    // With Ctrl the drag copies the object into the current layer.
    drag(inside, inside + QPoint(0, 20), Qt::LeftButton, Qt::ControlModifier);
    ASSERT_EQ(map().Project().Layers[1].Objects.size(), 3u);
    TShpObject original, copy;
    map().ReadObject(1, 0, original);
    map().ReadObject(1, 2, copy);
    EXPECT_DOUBLE_EQ(original.Parts[0].Points[0].Y, 4945);
    EXPECT_DOUBLE_EQ(copy.Parts[0].Points[0].Y, 4935);
    EXPECT_DOUBLE_EQ(copy.Parts[0].Points[0].X, 1005);
    ASSERT_EQ(map().Selection().Entries.size(), 1u);
    EXPECT_EQ(map().Selection().Entries[0].Index, 2);
    EXPECT_EQ(w().FToolCursor, crPick);
}

TEST_F(MouseScenarioTest, RectanglesSelectByEdgesNotByTheBoxOfAPolygon)
{
    tool(w().PBPick);
    // In the notch of the L: inside its box, outside the polygon; nothing
    // selected, although the rectangle lies in the polygon's box.
    drag(px({1005, 4985}), px({1065, 5005}));
    EXPECT_TRUE(map().Selection().Entries.empty());
    // Over both plots, pressed away from every object.
    drag(px({1067, 4995}), px({1003, 4943}));
    EXPECT_EQ(map().Selection().Entries.size(), 2u);
    // With Shift a rectangle across the L's edge D-E adds the L.
    drag(px({1067, 4995}), px({1003, 5015}), Qt::LeftButton, Qt::ShiftModifier);
    std::vector<std::pair<int, int>> picked;
    for (const TSelObject &e : map().Selection().Entries)
        picked.emplace_back(e.Layer, e.Index);
    std::sort(picked.begin(), picked.end());
    EXPECT_EQ(picked, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {1, 1}}));

    // The L selected alone, then a Shift rectangle inside it: the press takes
    // it out, and the rectangle does not bring it back.
    click(px({1067, 4995}));
    EXPECT_TRUE(map().Selection().Entries.empty());
    click(px({960, 5000}));
    ASSERT_EQ(map().Selection().Entries.size(), 1u);
    drag(px({950, 4990}), px({980, 5030}), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(map().Selection().Entries.empty());
    // The same rectangle without a press of its own.
    w().SelectInRectangle(Qt::LeftButton, TShiftState(), 950, 4990, 980, 5030);
    EXPECT_TRUE(map().Selection().Entries.empty());
}

TEST_F(MouseScenarioTest, TheLabelToolDragsALabelIntoTheShlFile)
{
    // A label of plot 2 (object number 2, definition "ID") with its box
    // around its anchor, and one of plot 1 beside it.
    TMapLayer &L = map().Project().Layers[1];
    L.Labels.resize(1);
    L.Labels[0].FieldName = QStringLiteral("ID");
    const QPoint anchor = px({1055, 4960}), other = px({1020, 4960});
    {
        QFile f(plots_ + QStringLiteral(".Lbl"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(lblRecord(1, 0, other, QRect(other - QPoint(8, 5), other + QPoint(8, 5))));
        f.write(lblRecord(2, 1, anchor, QRect(anchor - QPoint(8, 5), anchor + QPoint(8, 5))));
    }
    tool(w().tbLabel);
    move(anchor);
    EXPECT_EQ(w().FToolCursor, crHandPoint);
    move(anchor + QPoint(30, 30));
    EXPECT_EQ(w().FToolCursor, crArrow);

    // A rectangle of 3 by 2 pixels beside the labels selects nothing.
    drag(anchor + QPoint(30, 30), anchor + QPoint(33, 32));
    EXPECT_TRUE(map().MoveLabels().Entries.empty());

    drag(anchor + QPoint(2, 1), anchor + QPoint(22, 11));
    ASSERT_EQ(map().MoveLabels().Entries.size(), 1u);
    EXPECT_EQ(map().MoveLabels().Entries[0].ObjectNumber, 2);
    // ".Shl": its 100-byte header, then one 96-byte record: object number at
    // 0, key at 4 (44 characters), the map shift at 48 and 56, the flag of a
    // changed position at 89.
    const QByteArray shl = readAll(plots_ + QStringLiteral(".Shl"));
    ASSERT_EQ(shl.size(), 196);
    EXPECT_EQ(be32(shl, 0), 9994);
    EXPECT_EQ(le32(shl, 100), 2);
    EXPECT_EQ(shl.mid(104, 44), QByteArray("ID").leftJustified(44, ' '));
    EXPECT_DOUBLE_EQ(leDouble(shl, 148), 10);
    EXPECT_DOUBLE_EQ(leDouble(shl, 156), -5);
    EXPECT_EQ(shl[189], 1);

    // A second drag of the same label adds to its shift.
    drag(anchor, anchor + QPoint(-4, 0));
    const QByteArray again = readAll(plots_ + QStringLiteral(".Shl"));
    ASSERT_EQ(again.size(), 196);
    EXPECT_DOUBLE_EQ(leDouble(again, 148), 8);
}

TEST_F(MouseScenarioTest, ZoomRectangleStepsAndPanning)
{
    ASSERT_TRUE(w().PBZoom->isChecked());
    ASSERT_TRUE(w().TBZoom->isChecked());
    move(QPoint(5, 5));
    // The rectangle from (980, 4980) to (1020, 5000): 40 × 20 m.
    const QPoint p1 = px({980, 5000}), p2 = px({1020, 4980});
    const double width = map().View().PictureWidth, height = map().View().PictureHeight;
    drag(p1, p2);
    EXPECT_DOUBLE_EQ(map().View().Scale, std::min(height / (20 * 1.1), width / (40 * 1.1)));
    EXPECT_DOUBLE_EQ(map().View().CenterX, 1000);
    EXPECT_DOUBLE_EQ(map().View().CenterY, 4990);
    EXPECT_EQ(w().FToolCursor, crZoomIn);

    // A click zooms one step in, a right click one step out; a drag along
    // one axis only is a click.
    const double scale = map().View().Scale;
    click(QPoint(100, 100));
    EXPECT_DOUBLE_EQ(map().View().Scale, scale * 2);
    click(QPoint(100, 100), Qt::RightButton);
    EXPECT_DOUBLE_EQ(map().View().Scale, scale);
    drag(QPoint(100, 100), QPoint(160, 100));
    EXPECT_DOUBLE_EQ(map().View().Scale, scale * 2);
    // A right drag keeps the scale.
    drag(QPoint(100, 100), QPoint(160, 140), Qt::RightButton);
    EXPECT_DOUBLE_EQ(map().View().Scale, scale * 2);
    EXPECT_DOUBLE_EQ(map().View().CenterX, 1000);

    // A right drag with the pick tool pans by the drag.
    tool(w().PBPick);
    const double x = map().View().CenterX, y = map().View().CenterY, s = map().View().Scale;
    drag(QPoint(200, 200), QPoint(240, 170), Qt::RightButton);
    EXPECT_DOUBLE_EQ(map().View().CenterX, x - 40 * 25 / s);
    EXPECT_DOUBLE_EQ(map().View().CenterY, y - 30 * 25 / s);
    // A right click of the pick tool opens its menu and leaves the view.
    click(QPoint(200, 200), Qt::RightButton);
    EXPECT_TRUE(w().pMenuPick->isVisible());
    w().pMenuPick->hide();
    EXPECT_DOUBLE_EQ(map().View().CenterX, x - 40 * 25 / s);
}

// The dialogs the tools open, counted, with an image registration that
// gives a box.
class ToolDialogs : public dialogs::DialogSeams {
public:
    bool ShowEditInfo() override
    {
        ++infoShown;
        return true;
    }
    bool RegisterImage(int layer, int index, double &x1, double &y1, double &x2, double &y2) override
    {
        registered.emplace_back(layer, index);
        x1 = 1100;
        y1 = 5100;
        x2 = 1200;
        y2 = 5300;
        return accept;
    }
    int infoShown = 0;
    bool accept = true;
    std::vector<std::pair<int, int>> registered;
};

TEST_F(MouseScenarioTest, TheInformationToolSelectsEveryObjectHitAndShowsThePanel)
{
    ToolDialogs dialogs;
    platform::ScopedService<dialogs::DialogSeams> seams(dialogs);
    tool(w().tbInfo);
    // Inside plot 1, in the notch of the L: the plot only.
    click(px({1020, 4966}));
    ASSERT_EQ(map().Selection().Entries.size(), 1u);
    EXPECT_EQ(map().Selection().Entries[0].Layer, 1);
    EXPECT_EQ(dialogs.infoShown, 1);
    // Inside the L: the L.
    click(px({960, 5000}));
    ASSERT_EQ(map().Selection().Entries.size(), 1u);
    EXPECT_EQ(map().Selection().Entries[0].Layer, 0);
    // Beside everything: no panel.
    click(px({1090, 5090}));
    EXPECT_TRUE(map().Selection().Entries.empty());
    EXPECT_EQ(dialogs.infoShown, 2);
}

TEST_F(MouseScenarioTest, ADoubleClickOnAnImageOfTheCurrentLayerRegistersIt)
{
    ToolDialogs dialogs;
    platform::ScopedService<dialogs::DialogSeams> seams(dialogs);
    TMapLayer &plots = map().Project().Layers[1];
    tool(w().PBPick);
    const QPoint inside = px({1020, 4966});
    // Not an image layer: nothing.
    doubleClick(inside);
    EXPECT_TRUE(dialogs.registered.empty());
    // As an image layer (kind 6) that is locked: nothing either.
    plots.ObjType = 6;
    plots.Edited = false;
    doubleClick(inside);
    EXPECT_TRUE(dialogs.registered.empty());
    // Editable: the registration of the object picked; the view fits its box.
    plots.Edited = true;
    doubleClick(inside);
    EXPECT_EQ(dialogs.registered, (std::vector<std::pair<int, int>>{{1, 0}}));
    EXPECT_DOUBLE_EQ(map().View().CenterX, 1150);
    EXPECT_DOUBLE_EQ(map().View().CenterY, 5200);
    // Cancelled: the view stays.
    dialogs.accept = false;
    map().SetCentreX(1000);
    map().SetCentreY(5000);
    w().RedrawMap();
    click(px({1020, 4966}));
    doubleClick(px({1020, 4966}));
    EXPECT_EQ(dialogs.registered.size(), 2u);
    EXPECT_DOUBLE_EQ(map().View().CenterX, 1000);
}

TEST_F(MouseScenarioTest, EditingVertices)
{
    tool(w().pbEdit);
    // A press on a corner of plot 1 picks it; a drag moves that vertex (far
    // enough not to snap back to where it was).
    const QPoint corner = px({1035, 4975});
    drag(corner, corner + QPoint(16, -12));
    TShpObject plot;
    map().ReadObject(1, 0, plot);
    EXPECT_DOUBLE_EQ(plot.Parts[0].Points[2].X, 1043);
    EXPECT_DOUBLE_EQ(plot.Parts[0].Points[2].Y, 4981);

    // A double click on a segment inserts a vertex; on a vertex deletes it.
    const size_t before = plot.Parts[0].Points.size();
    const QPoint edge = px({1005, 4960});
    move(edge);
    doubleClick(edge);
    map().ReadObject(1, 0, plot);
    ASSERT_EQ(plot.Parts[0].Points.size(), before + 1);
    doubleClick(px({1005, 4975}));
    map().ReadObject(1, 0, plot);
    EXPECT_EQ(plot.Parts[0].Points.size(), before);

    // The L's layer is locked: a double click on its vertex leaves it, even
    // with the plots editable.
    const QPoint lVertex = px(B);
    move(lVertex);
    doubleClick(lVertex);
    TShpObject l;
    map().ReadObject(0, 0, l);
    EXPECT_EQ(l.Parts[0].Points.size(), 7u);
}

TEST_F(MouseScenarioTest, AnOvalEndsOnTheReleaseOfItsSecondClick)
{
    tool(w().pbDraw);
    w().FDrawKind = w().nDrawArc;
    const QPoint p1 = px({1010, 4985}), p2 = px({1040, 5000});
    click(p1);
    ASSERT_TRUE(map().Drag().Drawing);
    EXPECT_EQ(map().NewObject().Kind, 7);
    // The second click is the first half of a double click: the release
    // commits, and the double click finds no figure.
    doubleClick(p2);
    EXPECT_FALSE(map().Drag().Drawing);
    ASSERT_EQ(map().Project().Layers[1].Objects.size(), 3u);
    const std::vector<QPointF> ring = recordPoints(plots_, 3);
    ASSERT_GE(ring.size(), 2u);
    EXPECT_EQ(ring[0], at(p1));
    EXPECT_EQ(ring[1], at(p2));
    EXPECT_EQ(w().FToolCursor, crNewPoint);
}

TEST_F(MouseScenarioTest, TheFiguresOwnPointsWinAndTheRulerStoresNothing)
{
    tool(w().pbDraw);
    // Over plot 1, away from its edges: an object without vertex or segment.
    move(px({1020, 4960}));
    EXPECT_EQ(w().FToolCursor, crPolygonEdit);
    const QPoint c1 = px({1010, 4985}), c2 = px({1040, 4985}), c3 = px({1040, 5000});
    click(c1);
    click(c2);
    click(c3);
    // 5 and 4 pixels from the first point: that point exactly.
    move(c1 + QPoint(5, -4));
    EXPECT_EQ(w().FToolCursor, crPolygonMove);
    click(c1 + QPoint(5, -4));
    ASSERT_EQ(map().NewObject().Points.size(), 4u);
    EXPECT_EQ(map().NewObject().Points[3].Point.X, at(c1).x());
    EXPECT_EQ(map().NewObject().Points[3].Point.Y, at(c1).y());
    // Another tool leaves the figure; the draw tool, brought back through
    // the menu of drawing kinds, carries it on.
    tool(w().PBZoom);
    EXPECT_TRUE(map().Drag().Drawing);
    w().nDrawPolygon->trigger();
    ASSERT_TRUE(w().pbDraw->isChecked());
    move(QPoint(5, 5));
    doubleClick(px({1020, 5005}));
    EXPECT_EQ(map().Project().Layers[1].Objects.size(), 3u);
    EXPECT_EQ(recordPoints(plots_, 3).size(), 6u);

    // The ruler measures where the user clicks, E included, and stores nothing.
    tool(w().TbLen);
    click(px(E) + QPoint(2, 2));
    click(px({1040, 4990}));
    ASSERT_TRUE(map().Drag().Drawing);
    ASSERT_EQ(map().NewObject().Points.size(), 2u);
    EXPECT_NE(map().NewObject().Points[0].Point.X, E.x());
    EXPECT_TRUE(w().NDelPoint->isEnabled());
    doubleClick(px({1050, 4990}));
    EXPECT_FALSE(map().Drag().Drawing);
    EXPECT_TRUE(map().NewObject().Points.empty());
    EXPECT_FALSE(w().NDelPoint->isEnabled());
    EXPECT_EQ(map().Project().Layers[1].Objects.size(), 3u);
}

TEST_F(MouseScenarioTest, OneClickTextsAndPointsOnTheTextLayer)
{
    makeCurrent(2);
    ASSERT_TRUE(w().pbCosmetic->isEnabled());
    tool(w().pbDraw);
    w().FDrawKind = w().nDrawText;
    move(px({1010, 4990}));
    EXPECT_EQ(w().FToolCursor, crIBeam);
    {
        testsupport::ScriptedAnswers answers;
        answers.dialog([](QDialog &d) {
            auto &box = static_cast<TNewForAll &>(d);
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Текст"));
            EXPECT_TRUE(box.Edit->text().isEmpty());
            box.Edit->setText(QStringLiteral("Участок 5"));
            QTest::keyClick(box.Edit, Qt::Key_Return);
            return d.result();
        });
        click(px({1010, 4990}));
        EXPECT_TRUE(answers.exhausted());
    }
    TMapLayer &texts = map().Project().Layers[2];
    ASSERT_EQ(texts.Objects.size(), 1u);
    TShpObject text;
    map().ReadObject(2, 0, text);
    EXPECT_EQ(map().Template().Kind, okText);
    EXPECT_EQ(map().Template().Text, QStringLiteral("Участок 5"));
    ASSERT_FALSE(text.Parts.empty());
    EXPECT_EQ(text.Parts[0].Points[0].X, at(px({1010, 4990})).x());

    // A cancelled box creates nothing.
    {
        testsupport::ScriptedAnswers answers;
        answers.dialog([](QDialog &d) {
            QTest::keyClick(&d, Qt::Key_Escape);
            return d.result();
        });
        click(px({1030, 4990}));
    }
    EXPECT_EQ(texts.Objects.size(), 1u);

    // A point is one click, with no box.
    w().FDrawKind = w().nDrawPoint;
    click(px({1030, 4990}));
    ASSERT_EQ(texts.Objects.size(), 2u);
    map().ReadObject(2, 1, text);
    EXPECT_EQ(map().Template().Kind, okPoint);

    // A locked text layer: no box, nothing created.
    texts.Edited = false;
    w().FDrawKind = w().nDrawText;
    click(px({1040, 4990}));
    w().FDrawKind = w().nDrawSymbol;
    click(px({1040, 4990}));
    EXPECT_EQ(texts.Objects.size(), 2u);
}

TEST_F(MouseScenarioTest, InRotateModeHandleNineMovesOnlyThePivotAndTheSelectToolOnlySelects)
{
    tool(w().PBPick);
    const QPoint inside = px({1020, 4966}), centre = px({1020, 4960});
    click(inside);
    click(inside);
    ASSERT_EQ(map().Selection().FrameMode, 1);
    const int journal = map().JournalPos();
    drag(centre, centre + QPoint(10, 6));
    EXPECT_EQ(map().Drag().DragHandle, 9);
    EXPECT_EQ(map().Selection().FrameMode, 1);
    EXPECT_DOUBLE_EQ(map().Selection().PivotX, at(centre + QPoint(10, 6)).x());
    EXPECT_DOUBLE_EQ(map().Selection().PivotY, at(centre + QPoint(10, 6)).y());
    EXPECT_EQ(map().JournalPos(), journal);
    TShpObject plot;
    map().ReadObject(1, 0, plot);
    EXPECT_DOUBLE_EQ(plot.Parts[0].Points[0].X, 1005);

    // The select tool: a drag that starts on plot 2 selects it and moves nothing.
    tool(w().pbSelect);
    const QPoint second = px({1055, 4966});
    drag(second, second + QPoint(20, 0));
    ASSERT_EQ(map().Selection().Entries.size(), 1u);
    EXPECT_EQ(map().Selection().Entries[0].Index, 1);
    map().ReadObject(1, 1, plot);
    EXPECT_DOUBLE_EQ(plot.Parts[0].Points[0].X, 1045);
    EXPECT_EQ(map().JournalPos(), journal);
}
