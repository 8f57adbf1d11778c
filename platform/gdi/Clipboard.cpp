#include "platform/gdi/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

namespace {

TextClipboard *&current()
{
    static SystemClipboard system;
    static TextClipboard *service = &system;
    return service;
}

QClipboard *systemClipboard()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

TextClipboard &clipboard() { return *current(); }

ScopedClipboard::ScopedClipboard(TextClipboard &service) : previous_(current()) { current() = &service; }
ScopedClipboard::~ScopedClipboard() { current() = previous_; }

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
