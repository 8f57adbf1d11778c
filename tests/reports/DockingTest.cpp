// Docks and toolbars on rectangles: rows, drags along and out of a dock,
// dropping onto docks, and the places kept in the settings store.

#include "reports/output/Docking.h"

#include "platform/Registry.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace reports::docking;

namespace {

Dock topDock(std::vector<QRect> bars, int width = 400, int depth = 27)
{
    Dock d;
    d.side = DockSide::Top;
    d.bounds = QRect(0, 0, width, depth);
    for (const QRect &r : bars)
        d.bars.push_back(Item{r, true});
    return d;
}

} // namespace

TEST(Docking, AdjustBoundsRemovesEmptyRowsAndShrinksEmptyDocks)
{
    // Row 0 is empty: the toolbar in row 1 moves up and the dock loses a row.
    Dock d = topDock({QRect(0, 26, 100, 26)}, 400, 53);
    AdjustBounds(d);
    EXPECT_EQ(d.bars[0].bounds.y(), 0);
    EXPECT_EQ(d.bounds.height(), 27);

    // A toolbar added below the last row makes a new one.
    d.bars.push_back(Item{QRect(AddToDockPosition(d, QSize(80, 26)), QSize(80, 26)), true});
    EXPECT_EQ(d.bars[1].bounds.y(), 26);
    AdjustBounds(d);
    EXPECT_EQ(d.bounds.height(), 53);

    // A bottom dock grows upwards and keeps its bottom on the form's edge.
    Dock bottom;
    bottom.side = DockSide::Bottom;
    bottom.bounds = QRect(0, 500, 400, 1);
    bottom.bars.push_back(Item{QRect(AddToDockPosition(bottom, QSize(80, 26)), QSize(80, 26)), true});
    AdjustBounds(bottom);
    EXPECT_EQ(bottom.bars[0].bounds.y(), 1);
    EXPECT_EQ(bottom.bounds.height(), 27);
    EXPECT_EQ(bottom.bounds.bottom(), 500);

    // Without toolbars: 1 pixel deep, whichever the direction.
    for (DockSide side : {DockSide::Top, DockSide::Bottom, DockSide::Left, DockSide::Right}) {
        Dock empty;
        empty.side = side;
        empty.bounds = QRect(0, 0, 53, 53);
        AdjustBounds(empty);
        EXPECT_EQ(empty.depth(), 1) << static_cast<int>(side);
        EXPECT_EQ(empty.length(), 53);
    }
}

TEST(Docking, MoveAlongATopDock)
{
    const QRect a(0, 0, 100, 26), b(200, 0, 100, 26), c(150, 0, 100, 26);
    struct Case {
        const char *what;
        std::vector<QRect> bars; // the moved one is the last
        int x;
        bool canFloat;
        MoveOutcome outcome;
        int placedX;
    } cases[] = {
        {"21 left floats", {QRect(0, 0, 100, 26)}, -21, true, MoveOutcome::Float, 0},
        {"20 left stops at 0", {QRect(0, 0, 100, 26)}, -20, true, MoveOutcome::Moved, 0},
        {"cannot float: clamped", {QRect(0, 0, 100, 26)}, -50, false, MoveOutcome::Moved, 0},
        {"past the right edge: against it", {QRect(0, 0, 100, 26)}, 350, true, MoveOutcome::Moved, 300},
        {"onto a neighbour: pushed off its right", {a, b}, 90, true, MoveOutcome::Moved, 100},
        {"neighbour's left inside: pushed before it", {b, a}, 150, true, MoveOutcome::Moved, 100},
        {"between two that keep pushing: refused", {a, c, QRect(300, 0, 100, 26)}, 80, true,
         MoveOutcome::Refused, 300},
        {"another row is no neighbour", {QRect(0, 26, 100, 26), QRect(200, 0, 100, 26)}, 0, true,
         MoveOutcome::Moved, 0},
    };
    for (const Case &t : cases) {
        Dock d = topDock(t.bars, 400, t.bars.front().y() ? 53 : 27);
        const int moved = static_cast<int>(d.bars.size()) - 1;
        const int y = d.bars.back().bounds.y();
        EXPECT_EQ(MoveTo(d, moved, t.x, y, t.canFloat), t.outcome) << t.what;
        if (t.outcome != MoveOutcome::Float) {
            EXPECT_EQ(d.bars.back().bounds.x(), t.placedX) << t.what;
        }
    }
}

TEST(Docking, MoveAcrossRowsOutOfTheDockFloats)
{
    Dock d = topDock({QRect(0, 0, 100, 26), QRect(150, 0, 100, 26)});
    // Below the last row with a neighbour keeping the row: a new row is made.
    EXPECT_EQ(MoveTo(d, 1, 150, 26), MoveOutcome::Moved);
    EXPECT_EQ(d.bounds.height(), 53);
    // Back up, the empty row goes again.
    EXPECT_EQ(MoveTo(d, 1, 150, 0), MoveOutcome::Moved);
    EXPECT_EQ(d.bounds.height(), 27);
    // Above the dock the depth stays: the toolbar floats.
    EXPECT_EQ(MoveTo(d, 1, 150, -26), MoveOutcome::Float);
}

TEST(Docking, TryDockFindsTheDockAndKeepsOrientation)
{
    Dock top = topDock({}, 400, 27);
    Dock left;
    left.side = DockSide::Left;
    left.bounds = QRect(0, 27, 27, 300);
    Dock right;
    right.side = DockSide::Right;
    right.bounds = QRect(373, 27, 27, 300);
    const std::vector<Dock> docks{top, left, right};

    auto t = TryDock(docks, QPoint(120, 10), QSize(100, 26), TfrOrientation::toAny);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->dock, 0);
    EXPECT_EQ(t->position, QPoint(120, 26));
    t = TryDock(docks, QPoint(390, 10), QSize(100, 26), TfrOrientation::toAny); // kept inside the dock
    ASSERT_TRUE(t);
    EXPECT_EQ(t->position.x(), 300);
    t = TryDock(docks, QPoint(400, 27), QSize(100, 26), TfrOrientation::toAny); // the far edge counts
    ASSERT_TRUE(t);
    EXPECT_EQ(t->dock, 0);

    EXPECT_FALSE(TryDock(docks, QPoint(10, 100), QSize(100, 26), TfrOrientation::toHorzOnly));
    EXPECT_FALSE(TryDock(docks, QPoint(120, 10), QSize(26, 100), TfrOrientation::toVertOnly));
    t = TryDock(docks, QPoint(10, 100), QSize(26, 100), TfrOrientation::toVertOnly);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->dock, 1);
    EXPECT_EQ(t->position, QPoint(26, 73));
    t = TryDock(docks, QPoint(380, 300), QSize(26, 100), TfrOrientation::toAny);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->dock, 2);
    EXPECT_EQ(t->position, QPoint(1 - 100, 200));
    EXPECT_FALSE(TryDock(docks, QPoint(200, 200), QSize(26, 100), TfrOrientation::toAny));
}

TEST(Docking, ArrangeControlsOrdersAlignsAndSizes)
{
    std::vector<BarControl> controls{
        {QRect(50, 0, 24, 24), Align::Left, true},
        {QRect(0, 0, 8, 8), Align::Top, true},
        {QRect(30, 0, 24, 24), Align::Left, false},
        {QRect(10, 0, 24, 24), Align::Bottom, true},
    };
    const QSize size = ArrangeControls(controls, QSize(26, 120), false);
    EXPECT_EQ(size, QSize(8 + 24 + 24 + 4, 26)); // swapped to lie, sized by the visible ones
    EXPECT_EQ(controls[0].bounds.left(), 0);
    EXPECT_EQ(controls[0].align, Align::Left);
    EXPECT_EQ(controls[1].bounds, QRect(0, 10, 24, 24)); // turned: its former top is its left
    EXPECT_EQ(controls[1].align, Align::Right);
    EXPECT_FALSE(controls[2].visible); // the hidden one keeps its slot
    EXPECT_EQ(controls[3].bounds.left(), 50);
}

TEST(Docking, ControlsTurnWithTheToolbarAndKeepTheirLengthAlongIt)
{
    // An upright toolbar: grip, button, separator, a hidden button, a button
    // at the bottom, and a control aligned to nothing.
    std::vector<BarControl> controls{
        {QRect(1, 1, 24, 11), Align::Top, true, 0},    {QRect(1, 12, 24, 22), Align::Top, true, 1},
        {QRect(1, 34, 24, 8), Align::Top, true, 2},    {QRect(1, 42, 24, 22), Align::Top, false, 3},
        {QRect(1, 70, 24, 22), Align::Bottom, true, 4}, {QRect(3, 50, 30, 10), Align::None, true, 5},
    };
    const QSize size = ArrangeControls(controls, QSize(26, 120), false);
    EXPECT_EQ(size, QSize(11 + 22 + 8 + 22 + 30 + 4, 26));
    const struct {
        int id;
        QRect bounds;
        Align align;
    } expected[] = {
        {0, QRect(1, 1, 11, 24), Align::Left},  {1, QRect(12, 1, 22, 24), Align::Left},
        {2, QRect(34, 1, 8, 24), Align::Left},  {3, QRect(1, 42, 24, 22), Align::Top},
        {4, QRect(70, 1, 22, 24), Align::Right}, {5, QRect(3, 50, 30, 10), Align::Left},
    };
    ASSERT_EQ(controls.size(), std::size(expected));
    for (size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(controls[i].id, expected[i].id); // ordered by their left edges before the turn
        EXPECT_EQ(controls[i].bounds, expected[i].bounds);
        EXPECT_EQ(controls[i].align, expected[i].align);
    }
    // And back upright: the same places as before.
    ArrangeControls(controls, size, true);
    EXPECT_EQ(controls[1].bounds, QRect(1, 12, 24, 22));
    EXPECT_EQ(controls[2].bounds, QRect(1, 34, 24, 8));
}

TEST(Docking, AlignedControlsFillTheClientInTheOrderOfTheirPlaces)
{
    std::vector<BarControl> controls{
        {QRect(50, 0, 10, 5), Align::Left, true},   {QRect(5, 9, 20, 5), Align::Left, true},
        {QRect(0, 0, 8, 8), Align::Right, true},    {QRect(30, 3, 7, 7), Align::Left, false},
        {QRect(70, 2, 6, 6), Align::None, true},
    };
    AlignControls(controls, QRect(1, 1, 100, 24));
    EXPECT_EQ(controls[1].bounds, QRect(1, 1, 20, 24));
    EXPECT_EQ(controls[0].bounds, QRect(21, 1, 10, 24));
    EXPECT_EQ(controls[2].bounds, QRect(101 - 8, 1, 8, 24));
    EXPECT_EQ(controls[3].bounds, QRect(30, 3, 7, 7)); // hidden and unaligned ones stay
    EXPECT_EQ(controls[4].bounds, QRect(70, 2, 6, 6));
}

namespace {

class DockingSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = platform::Registry::instance().storageFile();
        platform::Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
        root_ = RegistryRoot();
        SetRegistryRoot(QStringLiteral("Software\\ZeraDuvozo\\Tolvane"));
    }
    void TearDown() override
    {
        SetRegistryRoot(root_);
        platform::Registry::instance().setStorageFile(previous_);
    }
    testsupport::TempFolder dir_;
    QString previous_, root_;
};

} // namespace

TEST_F(DockingSettings, ToolbarPlacementRoundTripsAndDefaultsToTheCurrentState)
{
    const ToolbarPlacement current{false, true, QRect(5, 0, 200, 26), QStringLiteral("frDock1")};
    auto docks = [](const QString &name) { return name.startsWith(QStringLiteral("frDock")); };
    // No section: where it is, docked and visible.
    ToolbarPlacement p = RestoreToolbarSettings(QStringLiteral("frTB1"), current, docks);
    EXPECT_FALSE(p.floating);
    EXPECT_TRUE(p.visible);
    EXPECT_EQ(p.bounds, current.bounds);
    EXPECT_EQ(p.dockName, QStringLiteral("frDock1"));

    const ToolbarPlacement saved{false, false, QRect(-3, 26, 180, 26), QStringLiteral("frDock2")};
    ASSERT_TRUE(SaveToolbarSettings(QStringLiteral("frTB1"), saved));
    platform::Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg"))); // reload
    p = RestoreToolbarSettings(QStringLiteral("frTB1"), current, docks);
    EXPECT_FALSE(p.visible);
    EXPECT_EQ(p.bounds, saved.bounds);
    EXPECT_EQ(p.dockName, QStringLiteral("frDock2"));
    EXPECT_EQ(platform::Registry::instance().readString(platform::RegRoot::CurrentUser,
                                                       u"Software\\ZeraDuvozo\\Tolvane\\ToolBar\\frTB1",
                                                       u"XPosition"),
              QStringLiteral("-3"));

    // A floating toolbar names no dock.
    ASSERT_TRUE(SaveToolbarSettings(QStringLiteral("frTB2"), {true, true, QRect(300, 200, 180, 26), {}}));
    p = RestoreToolbarSettings(QStringLiteral("frTB2"), current, docks);
    EXPECT_TRUE(p.floating);
    EXPECT_EQ(p.bounds.topLeft(), QPoint(300, 200));
    EXPECT_FALSE(platform::Registry::instance().valueExists(
        platform::RegRoot::CurrentUser, u"Software\\ZeraDuvozo\\Tolvane\\ToolBar\\frTB2", u"DockName"));
}

TEST_F(DockingSettings, ADockNameOfAnotherComponentKeepsTheCurrentDock)
{
    auto &reg = platform::Registry::instance();
    const QString key = QStringLiteral("Software\\ZeraDuvozo\\Tolvane\\ToolBar\\frTB1");
    ASSERT_TRUE(reg.writeString(platform::RegRoot::CurrentUser, key, u"DockName", QStringLiteral("ExitBtn")));
    ASSERT_TRUE(reg.writeValue(platform::RegRoot::CurrentUser, key, u"XPosition", quint32(40))); // a number, not text
    const ToolbarPlacement current{false, true, QRect(5, 0, 200, 26), QStringLiteral("frDock1")};
    const ToolbarPlacement p = RestoreToolbarSettings(
        key.section(QLatin1Char('\\'), -1), current, [](const QString &n) { return n == QStringLiteral("frDock2"); });
    EXPECT_EQ(p.dockName, QStringLiteral("frDock1"));
    EXPECT_EQ(p.bounds.x(), 40);
}

TEST_F(DockingSettings, FormPlacementRoundTripsAndStartsMaximized)
{
    const QRect current(10, 20, 640, 480);
    FormPlacement p = RestoreFormSettings(QStringLiteral("TfrPreviewForm"), current);
    EXPECT_TRUE(p.maximized);
    EXPECT_EQ(p.bounds, current);
    ASSERT_TRUE(SaveFormSettings(QStringLiteral("TfrPreviewForm"), {QRect(-8, 30, 800, 600), false}));
    platform::Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
    p = RestoreFormSettings(QStringLiteral("TfrPreviewForm"), current);
    EXPECT_FALSE(p.maximized);
    EXPECT_EQ(p.bounds, QRect(-8, 30, 800, 600));
}
