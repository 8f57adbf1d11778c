// Raster sheets that failed, told once each.

#include "raster/SheetFaults.h"

#include "platform/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace raster {

namespace {

// The same file however its name was spelled.
QString keyOf(const QString &file)
{
    return QFileInfo(platform::resolvePath(file)).absoluteFilePath();
}

} // namespace

SheetFaults::Told SheetFaults::stampOf(const QString &file, const QString &message)
{
    const QFileInfo info(platform::resolvePath(file));
    Told t;
    t.message = message;
    if (info.exists()) {
        t.size = info.size();
        t.modified = info.lastModified().toMSecsSinceEpoch();
    }
    return t;
}

void SheetFaults::failed(const QString &file, const QString &message)
{
    const Told now = stampOf(file, message);
    const QString key = keyOf(file);
    auto [at, added] = told_.try_emplace(key, now);
    if (!added) {
        if (at->second == now)
            return;
        at->second = now;
    }
    queued_ << text(QDir::toNativeSeparators(key), message);
}

void SheetFaults::drawn(const QString &file)
{
    if (!told_.empty())
        told_.erase(keyOf(file));
}

QStringList SheetFaults::take()
{
    QStringList out;
    out.swap(queued_);
    return out;
}

QString SheetFaults::text(const QString &file, const QString &message)
{
    return QStringLiteral("Изображение ") + file + QStringLiteral(":\n") + message;
}

} // namespace raster
