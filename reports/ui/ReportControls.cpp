#include "reports/ui/ReportControls.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QWidget>

namespace reports {

void EnableControls(const QList<QWidget *> &controls, bool enabled)
{
    const QPalette system = QApplication::palette();
    for (QWidget *control : controls) {
        if (!control)
            continue;
        control->setEnabled(enabled);
        QPalette palette = control->palette();
        if (qobject_cast<QLabel *>(control))
            palette.setColor(QPalette::WindowText, enabled ? system.color(QPalette::Active, QPalette::WindowText)
                                                           : system.color(QPalette::Disabled, QPalette::WindowText));
        else
            palette.setColor(QPalette::Base, enabled ? system.color(QPalette::Active, QPalette::Base)
                                                     : system.color(QPalette::Active, QPalette::Button));
        control->setPalette(palette);
    }
}

QWidget *FindControlAt(QWidget *container, const QPoint &point)
{
    if (!container)
        return nullptr;
    // Children in stacking order: the last one is on top.
    const QObjectList &children = container->children();
    for (qsizetype i = children.size() - 1; i >= 0; --i) {
        auto *child = qobject_cast<QWidget *>(children[i]);
        if (!child || child->isWindow() || child->isHidden() || !child->geometry().contains(point))
            continue;
        if (child->findChild<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (QWidget *inner = FindControlAt(child, point - child->pos()))
                return inner;
            continue;
        }
        return child;
    }
    return nullptr;
}

namespace {

QPointer<QWidget> &dialogForm()
{
    static QPointer<QWidget> form;
    return form;
}

} // namespace

QWidget *reportDialogForm()
{
    QPointer<QWidget> &form = dialogForm();
    if (!form) {
        form = new QWidget;
        form->setObjectName(QStringLiteral("DialogForm"));
        form->setGeometry(-100, -100, 10, 10);
        // Freed while the application ends, before its windows go.
        qAddPostRoutine([] { delete dialogForm().data(); });
    }
    return form;
}

} // namespace reports
