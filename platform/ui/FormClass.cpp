#include "platform/ui/FormClass.h"

#include "platform/TextCodec.h"

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QStatusBar>
#include <QVariant>

namespace platform {

void setFormClass(QObject *object, const char *className)
{
    object->setProperty(FormClassProperty, QString::fromLatin1(className));
}

QString formClass(const QObject *object)
{
    return object ? object->property(FormClassProperty).toString() : QString();
}

void setFormParentClass(QObject *window, const char *className)
{
    window->setProperty(FormParentClassProperty, QString::fromLatin1(className));
}

QString formParentClass(const QObject *window)
{
    return window ? window->property(FormParentClassProperty).toString() : QString();
}

void tagForm(QObject *window, const char *className, const char *parentClassName)
{
    setFormClass(window, className);
    setFormParentClass(window, parentClassName);
}

bool isTaggedForm(const QObject *object) { return !formParentClass(object).isEmpty(); }

QWidget *findApplicationWindow(QStringView name)
{
    if (name.isEmpty())
        return nullptr;
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget *w : tops)
        if (ansiSameText(w->objectName(), name))
            return w;
    // Child windows (a map window inside the frame) are not top-level widgets
    // in Qt but are the application's windows all the same.
    for (QWidget *top : tops)
        for (QWidget *w : top->findChildren<QWidget *>())
            if (isTaggedForm(w) && ansiSameText(w->objectName(), name))
                return w;
    return nullptr;
}

namespace {

void collectOwned(const QObject *parent, QList<QObject *> &out)
{
    for (QObject *child : parent->children()) {
        if (isTaggedForm(child))
            continue;
        out.push_back(child);
        collectOwned(child, out);
    }
}

} // namespace

QList<QObject *> ownedComponents(const QObject *window)
{
    QList<QObject *> out;
    if (window)
        collectOwned(window, out);
    return out;
}

QLabel *addStatusPanel(QStatusBar *bar, const QString &text, int stretch)
{
    auto *panel = new QLabel(text, bar);
    setFormClass(panel, StatusPanelClass);
    bar->addWidget(panel, stretch);
    return panel;
}

QList<QLabel *> statusPanels(const QWidget *bar)
{
    QList<QLabel *> out;
    if (!bar)
        return out;
    for (QLabel *label : bar->findChildren<QLabel *>())
        if (formClass(label) == QLatin1String(StatusPanelClass))
            out.push_back(label);
    return out;
}

QList<QRadioButton *> radioGroupItems(const QWidget *group)
{
    return group ? group->findChildren<QRadioButton *>() : QList<QRadioButton *>();
}

} // namespace platform
