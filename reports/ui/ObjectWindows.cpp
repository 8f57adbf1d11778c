#include "reports/ui/ObjectWindows.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QWidget>

namespace reports {

void AddPopupItemsToMenu(QMenu &menu, const PopupItems &items)
{
    for (const PopupItem &item : items) {
        if (item.Caption.isEmpty()) {
            menu.addSeparator();
            continue;
        }
        QAction *action = menu.addAction(item.Caption);
        action->setCheckable(item.Checkable);
        action->setChecked(item.Checked);
        action->setEnabled(item.Enabled);
        if (item.OnClick)
            QObject::connect(action, &QAction::triggered, action, [click = item.OnClick]() { click(); });
    }
}

WidgetControl::WidgetControl(QWidget *widget) : widget_(widget)
{
    OnVisibleChanged = [this](bool visible) {
        if (widget_)
            widget_->setVisible(visible);
    };
}

void WidgetControl::PaintControl(QImage &picture)
{
    Control::PaintControl(picture);
    if (!widget_)
        return;
    widget_->resize(Width, Height);
    QPainter painter(&picture);
    widget_->render(&painter, QPoint(0, 0), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

void WidgetControl::PlaceControl(QWidget &form)
{
    if (!widget_)
        return;
    widget_->setParent(&form);
    widget_->setGeometry(Left, Top, Width, Height);
}

} // namespace reports
