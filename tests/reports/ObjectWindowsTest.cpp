// The designer's pop-up menu of an object's items, and a dialog-page control
// drawn from its window control.

#include "platform/gdi/Bitmap.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "reports/ui/ObjectWindows.h"

#include <QMenu>
#include <QWidget>

#include <gtest/gtest.h>

using namespace reports;

TEST(ObjectWindows, PopupItemsBecomeTheMenu)
{
    resetLibrary();
    MemoView memo;
    memo.Flags = flWordWrap;
    PopupItems items;
    memo.AddPopupItems(items);
    QMenu menu;
    AddPopupItemsToMenu(menu, items);
    const QList<QAction *> actions = menu.actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size()));
    EXPECT_TRUE(actions[3]->isSeparator());
    QAction *wrap = actions[5];
    EXPECT_EQ(wrap->text(), "Перенос слов");
    EXPECT_TRUE(wrap->isCheckable());
    EXPECT_TRUE(wrap->isChecked());
    QAction *autoWidth = actions[7];
    EXPECT_EQ(autoWidth->text(), "Авторазмер");
    autoWidth->trigger();
    EXPECT_TRUE(memo.Flags & flAutoWidth);

    memo.Flags = 0;
    PopupItems withoutWrap;
    memo.AddPopupItems(withoutWrap);
    QMenu second;
    AddPopupItemsToMenu(second, withoutWrap);
    EXPECT_FALSE(second.actions()[6]->isEnabled()); // hyphenation needs word wrap
}

TEST(ObjectWindows, AControlDrawsWhatItsWindowPaints)
{
    resetLibrary();
    QWidget form;
    QWidget control;
    control.setAutoFillBackground(true);
    QPalette palette = control.palette();
    palette.setColor(QPalette::Window, QColor(255, 0, 0));
    control.setPalette(palette);

    WidgetControl view(&control);
    view.SetBounds(20, 10, 60, 30);
    view.PlaceControl(form);
    EXPECT_EQ(control.parentWidget(), &form);
    EXPECT_EQ(control.geometry(), QRect(20, 10, 60, 30));
    view.SetProperty(QStringLiteral("Visible"), Variant(true));
    EXPECT_FALSE(control.isHidden());
    view.SetProperty(QStringLiteral("Visible"), Variant(false));
    EXPECT_TRUE(control.isHidden());

    platform::gdi::Bitmap page(120, 60);
    view.Draw(page.canvas());
    const QImage &image = page.image();
    EXPECT_EQ(image.pixel(40, 20), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(10, 20), 0xFFFFFFFFu);
}
