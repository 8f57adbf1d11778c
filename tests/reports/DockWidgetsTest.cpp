// Docks and toolbars as widgets: rows on the form's edges, drags along a
// dock, out of it into a float window and back onto a dock, and the places
// of toolbars restored from the settings store.

#include "reports/ui/DockWidgets.h"

#include "platform/Registry.h"
#include "reports/ui/SpeedButton.h"
#include "support/TestFiles.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

using namespace reports;
using reports::docking::DockSide;

namespace {

QPixmap glyph(QColor colour)
{
    QPixmap p(16, 16);
    p.fill(Qt::white); // the bottom-left pixel: transparent
    QPainter painter(&p);
    painter.setBrush(colour);
    painter.setPen(Qt::black);
    painter.drawEllipse(2, 2, 11, 11);
    return p;
}

class DockWidgets : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = platform::Registry::instance().storageFile();
        platform::Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
        root_ = docking::RegistryRoot();
        docking::SetRegistryRoot(QStringLiteral("Software\\ZeraDuvozo\\Tolvane"));

        form_.setObjectName(QStringLiteral("frDesignerForm"));
        form_.setGeometry(100, 100, 600, 400);
        top_ = new TfrDock(&form_, DockSide::Top);
        top_->setObjectName(QStringLiteral("frDock1"));
        left_ = new TfrDock(&form_, DockSide::Left);
        left_->setObjectName(QStringLiteral("frDock2"));
        bottom_ = new TfrDock(&form_, DockSide::Bottom);
        bottom_->setObjectName(QStringLiteral("frDock4"));
        bar_ = makeBar(QStringLiteral("frToolBar1"));
        bar_->AddToDock(top_);
        bar_->move(0, 0);
        top_->AdjustBounds();
        form_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
    }
    void TearDown() override
    {
        docking::SetRegistryRoot(root_);
        platform::Registry::instance().setStorageFile(previous_);
    }

    TfrToolBar *makeBar(const QString &name)
    {
        auto *bar = new TfrToolBar(top_);
        bar->setObjectName(name);
        bar->Caption = QStringLiteral("Текст");
        for (const QColor &c : {QColor(Qt::red), QColor(Qt::green)}) {
            auto *b = new TfrTBButton(bar);
            b->SetGlyph(glyph(c));
        }
        new TfrTBSeparator(bar);
        auto *b = new TfrTBButton(bar);
        b->setObjectName(QStringLiteral("BoldBtn"));
        b->SetGlyph(glyph(Qt::blue));
        bar->AdjustBounds();
        return bar;
    }

    // Presses on the grip and moves the cursor by `by`, leaving the button down.
    void drag(TfrToolBar *bar, QPoint by)
    {
        const QPoint grip(5, 5);
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        QTest::mouseMove(bar, grip + by);
    }

    testsupport::TempFolder dir_;
    QString previous_, root_;
    QWidget form_;
    TfrDock *top_ = nullptr, *left_ = nullptr, *bottom_ = nullptr;
    TfrToolBar *bar_ = nullptr;
};

} // namespace

TEST_F(DockWidgets, DocksKeepToTheFormsEdgesAndToolbarsLineUpTheirControls)
{
    // Grip 11, two buttons 22, separator 8, button 22, and 4.
    EXPECT_EQ(bar_->geometry(), QRect(0, 0, 11 + 22 + 22 + 8 + 22 + 4, 26));
    EXPECT_EQ(bar_->DragBox()->geometry(), QRect(1, 1, 11, 24));
    EXPECT_EQ(bar_->findChild<QWidget *>(QStringLiteral("BoldBtn"))->geometry(), QRect(1 + 11 + 22 + 22 + 8, 1, 22, 24));
    EXPECT_EQ(top_->geometry(), QRect(0, 0, 600, 27));
    EXPECT_EQ(bottom_->geometry(), QRect(0, 399, 600, 1)); // empty: one pixel
    EXPECT_EQ(left_->geometry(), QRect(0, 27, 1, 400 - 27 - 1));
    form_.resize(500, 300);
    EXPECT_EQ(bottom_->geometry(), QRect(0, 299, 500, 1));
    EXPECT_EQ(left_->geometry(), QRect(0, 27, 1, 300 - 27 - 1));

    // A second toolbar on the far edge of the top dock opens a second row.
    TfrToolBar *second = makeBar(QStringLiteral("frToolBar2"));
    second->AddToDock(top_);
    EXPECT_EQ(second->pos(), QPoint(0, 26));
    EXPECT_EQ(top_->height(), 26 + 26 + 1);
    EXPECT_EQ(left_->y(), 53);
    second->SetBarVisible(false); // its row goes with it
    EXPECT_EQ(top_->height(), 27);
}

TEST_F(DockWidgets, DraggingAlongATopDockClampsAndPastTwentyPixelsFloats)
{
    struct Case {
        int left;
        bool floats;
        int x;
    };
    const Case cases[] = {{20, false, 0}, {21, true, 0}, {-30, false, 30}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.left);
        if (bar_->IsFloat())
            bar_->DockTo(top_, 0, 0);
        bar_->move(0, 0);
        drag(bar_, QPoint(-c.left, 0));
        EXPECT_EQ(bar_->IsFloat(), c.floats);
        if (c.floats) {
            TfrFloatWindow *window = bar_->GetFloatWindow();
            ASSERT_TRUE(window);
            EXPECT_TRUE(window->isVisible());
            EXPECT_TRUE(window->windowFlags() & Qt::Tool);
            EXPECT_EQ(window->parentWidget(), &form_);
            EXPECT_EQ(window->windowTitle(), QStringLiteral("Текст"));
            EXPECT_TRUE(window->Dragging()); // the drag goes on with the window
            EXPECT_TRUE(bar_->DragBox()->isHidden());
            EXPECT_EQ(top_->height(), 1); // left by its only toolbar
            QTest::mouseRelease(window, Qt::LeftButton);
            EXPECT_FALSE(window->Dragging());
        } else {
            EXPECT_EQ(bar_->x(), c.x);
            QTest::mouseRelease(bar_, Qt::LeftButton);
        }
    }
}

TEST_F(DockWidgets, DraggingAcrossADockMovesByWholeRowsAndPushesNeighbours)
{
    TfrToolBar *second = makeBar(QStringLiteral("frToolBar2"));
    second->AddToDock(top_);
    second->move(200, 26);
    top_->AdjustBounds();
    // Half a row down is no step; a whole row puts it beside the other one.
    drag(second, QPoint(0, -12));
    EXPECT_EQ(second->pos(), QPoint(200, 26));
    QTest::mouseMove(second, QPoint(5, 5 - 26));
    EXPECT_EQ(second->y(), 0);
    EXPECT_EQ(top_->height(), 27); // the empty row went
    // Pushed against the first toolbar's right edge, not over it.
    QTest::mouseMove(second, QPoint(5 - 150, 5));
    EXPECT_EQ(second->x(), bar_->x() + bar_->width());
    QTest::mouseRelease(second, Qt::LeftButton);
}

TEST_F(DockWidgets, AFloatingToolbarDraggedOverADockDocksThere)
{
    drag(bar_, QPoint(-40, 0));
    QPointer<TfrFloatWindow> window = bar_->GetFloatWindow();
    ASSERT_TRUE(window);
    // Over the form's middle: no dock, the outline follows the cursor.
    const QPoint middle = form_.mapToGlobal(QPoint(300, 200));
    QTest::mouseMove(window, window->mapFromGlobal(middle));
    EXPECT_FALSE(bar_->Dock());
    EXPECT_EQ(window->DragRect().size(), window->size());
    // Over the left dock: docked there, turned upright, still dragged.
    QTest::mouseMove(window, window->mapFromGlobal(form_.mapToGlobal(QPoint(0, 100))));
    EXPECT_EQ(bar_->Dock(), left_);
    EXPECT_FALSE(bar_->IsFloat());
    EXPECT_EQ(bar_->GetFloatWindow(), nullptr);
    EXPECT_GT(bar_->height(), bar_->width());
    EXPECT_EQ(bar_->DragBox()->geometry(), QRect(1, 1, 24, 11));
    const QWidget *bold = bar_->findChild<QWidget *>(QStringLiteral("BoldBtn"));
    EXPECT_EQ(bold->geometry(), QRect(1, 1 + 11 + 22 + 22 + 8, 24, 22));
    // y from the cursor within the dock (the dock starts below the top one).
    EXPECT_EQ(bar_->pos(), QPoint(0, 100 - left_->y()));
    EXPECT_EQ(left_->width(), 27);
    EXPECT_TRUE(bar_->Dragging());
    QTest::mouseRelease(bar_, Qt::LeftButton);
    EXPECT_FALSE(bar_->Dragging());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); })); // the window went
}

TEST_F(DockWidgets, AHorizontalOnlyToolbarStaysFloatingOverASideDock)
{
    bar_->Orientation = docking::TfrOrientation::toHorzOnly;
    bar_->MakeFloat(form_.mapToGlobal(QPoint(300, 200)).x(), form_.mapToGlobal(QPoint(300, 200)).y());
    TfrFloatWindow *window = bar_->GetFloatWindow();
    ASSERT_TRUE(window);
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(4, 4)); // on the caption
    QTest::mouseMove(window, window->mapFromGlobal(form_.mapToGlobal(QPoint(0, 150))));
    EXPECT_TRUE(bar_->IsFloat());
    QTest::mouseRelease(window, Qt::LeftButton, {}, window->mapFromGlobal(form_.mapToGlobal(QPoint(0, 150))));
    // Released: the window goes where the outline was.
    EXPECT_EQ(window->pos(), form_.mapToGlobal(QPoint(0, 150)) - QPoint(4, 4));
    EXPECT_FALSE(window->Dragging());
    // The close box hides the toolbar with its window.
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(window->width() - 6, 6));
    EXPECT_FALSE(bar_->GetBarVisible());
}

TEST_F(DockWidgets, ToolbarPlacesRoundTripThroughTheSettingsStore)
{
    // Docked in another dock.
    bar_->DockTo(left_, 0, 40);
    const QRect docked = bar_->geometry();
    SaveToolbarSettings(bar_);
    bar_->AddToDock(bottom_);
    // Added at the far edge by the size it has lying down, one row deep.
    EXPECT_EQ(bar_->geometry(), QRect(0, 1, 89, 26));
    EXPECT_EQ(bottom_->height(), 27);
    RestoreToolbarSettings(bar_);
    EXPECT_EQ(bar_->Dock(), left_);
    EXPECT_EQ(bar_->geometry(), docked);
    EXPECT_TRUE(bar_->GetBarVisible());
    EXPECT_EQ(bottom_->height(), 1);

    // Floating, hidden.
    bar_->MakeFloat(700, 300);
    bar_->SetBarVisible(false);
    SaveToolbarSettings(bar_);
    bar_->DockTo(top_, 0, 0);
    bar_->SetBarVisible(true);
    RestoreToolbarSettings(bar_);
    ASSERT_TRUE(bar_->IsFloat());
    EXPECT_EQ(bar_->GetFloatWindow()->pos(), QPoint(700, 300));
    EXPECT_FALSE(bar_->GetBarVisible());
}

TEST_F(DockWidgets, RestoringWithoutASectionOrWithAForeignDockNameLeavesTheToolbar)
{
    TfrToolBar *second = makeBar(QStringLiteral("frToolBar2"));
    second->AddToDock(top_);
    const QRect first = bar_->geometry(), below = second->geometry();
    RestoreToolbarSettings(bar_); // no section
    RestoreToolbarSettings(second);
    EXPECT_EQ(bar_->geometry(), first);
    EXPECT_EQ(second->geometry(), below);
    EXPECT_EQ(bar_->Dock(), top_);
    EXPECT_TRUE(bar_->GetBarVisible() && second->GetBarVisible());
    EXPECT_EQ(top_->height(), 53);

    // A tampered file: a button's name, a name of nothing, the toolbar's own.
    const QString key = QStringLiteral("Software\\ZeraDuvozo\\Tolvane\\ToolBar\\frToolBar1");
    for (const QString &name : {QStringLiteral("BoldBtn"), QStringLiteral("frNoSuchDock"), QStringLiteral("frToolBar2")}) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(platform::Registry::instance().writeString(platform::RegRoot::CurrentUser, key,
                                                               QStringLiteral("DockName"), name));
        RestoreToolbarSettings(bar_);
        EXPECT_EQ(bar_->parentWidget(), top_);
        EXPECT_EQ(bar_->geometry(), first);
    }
}

TEST_F(DockWidgets, Picture)
{
    TfrToolBar *second = makeBar(QStringLiteral("frToolBar2"));
    second->AddToDock(left_);
    bar_->move(4, 0);
    top_->AdjustBounds();
    TfrToolBar *floating = makeBar(QStringLiteral("frToolBar3"));
    floating->Caption = QStringLiteral("Текст");
    floating->AddToDock(top_);
    floating->MakeFloat(form_.mapToGlobal(QPoint(260, 150)).x(), form_.mapToGlobal(QPoint(260, 150)).y());
    QImage shot = form_.grab().toImage();
    {
        QPainter painter(&shot);
        TfrFloatWindow *window = floating->GetFloatWindow();
        painter.drawPixmap(form_.mapFromGlobal(window->pos()), window->grab());
    }
    const QString file = testsupport::artefactFolder(QStringLiteral("reports")) + QStringLiteral("/TfrFloatWindow.png");
    EXPECT_TRUE(shot.save(file));
    // The float window stands over the form with its caption and buttons.
    EXPECT_NE(shot.pixelColor(265, 152), form_.palette().color(QPalette::Window));
}
