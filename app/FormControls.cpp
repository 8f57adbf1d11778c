#include "app/FormControls.h"

#include "platform/ui/FormClass.h"

#include <QAction>
#include <QFont>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QVariant>

namespace app {

namespace {
constexpr char HintProperty[] = "tolvaneHint";
}

QString hintOf(const QObject *control)
{
    return control ? control->property(HintProperty).toString() : QString();
}

void setHint(QObject *control, const QString &hint)
{
    control->setProperty(HintProperty, hint);
    if (auto *a = qobject_cast<QAction *>(control))
        a->setToolTip(hint);
    else if (auto *w = qobject_cast<QWidget *>(control))
        w->setToolTip(hint);
}

QAction *menuItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut,
                  std::function<void()> handler, const QString &hint)
{
    auto *a = new QAction(caption, menu);
    a->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(a, "TMenuItem");
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    setHint(a, hint);
    if (handler)
        QObject::connect(a, &QAction::triggered, a, [handler = std::move(handler)] { handler(); });
    menu->addAction(a);
    return a;
}

QMenu *subMenu(QMenu *menu, const char *name, const QString &caption)
{
    auto *m = new QMenu(caption, menu);
    m->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(m, "TMenuItem");
    menu->addMenu(m);
    return m;
}

QAction *separatorItem(QMenu *menu, const char *name)
{
    QAction *a = menu->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(a, "TMenuItem");
    return a;
}

QAction *linkedItem(QMenu *menu, const char *name, QAction *action)
{
    auto *a = new QAction(action->text(), menu);
    a->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(a, "TMenuItem");
    a->setProperty("tolvaneAction", QVariant::fromValue(static_cast<QObject *>(action)));
    auto sync = [a, action] {
        a->setText(action->text());
        a->setEnabled(action->isEnabled());
        a->setVisible(action->isVisible());
        a->setCheckable(action->isCheckable());
        a->setChecked(action->isChecked());
        a->setShortcut(action->shortcut());
        setHint(a, hintOf(action));
    };
    sync();
    // The item's copy of the shortcut is for the menu's display only.
    a->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(action, &QAction::changed, a, sync);
    QObject::connect(a, &QAction::triggered, action, [action] { action->trigger(); });
    menu->addAction(a);
    return a;
}

QAction *listAction(QObject *actionList, const char *name, const QString &caption, const QString &category,
                    const QKeySequence &shortcut, const QString &hint)
{
    auto *a = new QAction(caption, actionList);
    a->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(a, "TAction");
    a->setProperty("tolvaneCategory", category);
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    setHint(a, hint);
    return a;
}

QToolButton *toolButton(QWidget *parent, const char *name, const QString &hint, const QIcon &icon)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(b, "TToolButton");
    b->setAutoRaise(true);
    if (!icon.isNull())
        b->setIcon(icon);
    setHint(b, hint);
    return b;
}

QIcon glyphIcon(const QString &glyph, unsigned rgb, unsigned background)
{
    QPixmap pm(16, 16);
    pm.fill(background ? QColor::fromRgb(background) : QColor(Qt::transparent));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = p.font();
    f.setPixelSize(glyph.size() > 1 ? 9 : 13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor::fromRgb(rgb));
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, glyph);
    p.end();
    return QIcon(pm);
}

} // namespace app
