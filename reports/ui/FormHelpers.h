#pragma once
// Small helpers of the report library's fixed-layout windows.

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace reports {

// A label at a fixed place of its parent.
inline QLabel *placedLabel(const QString &text, QWidget *parent, const QRect &geometry,
                           const QString &name = QString())
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(geometry);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

// The library's windows open in the middle of the screen.
inline void centreOnScreen(QWidget &window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

} // namespace reports
