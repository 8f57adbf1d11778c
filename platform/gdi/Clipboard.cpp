#include "platform/gdi/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

namespace {

QClipboard *systemClipboard()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

template <>
TextClipboard &Service<TextClipboard>::fallback()
{
    static SystemClipboard system;
    return system;
}

QString SystemClipboard::text()
{
    QClipboard *board = systemClipboard();
    return board ? board->text() : QString();
}

void SystemClipboard::setText(const QString &text)
{
    if (QClipboard *board = systemClipboard())
        board->setText(text);
}

} // namespace platform
