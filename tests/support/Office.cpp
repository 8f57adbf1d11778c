#include "support/Office.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace testsupport {

QString officeProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

QString officeConvert(const QString &office, const QString &file, const QString &work, const QString &to)
{
    const QString extension = to.section(u':', 0, 0);
    const QString out = work + QStringLiteral("/out-") + QFileInfo(file).suffix() + QLatin1Char('-') + extension;
    QProcess p;
    p.setProgram(office);
    p.setArguments({QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(work + QStringLiteral("/profile")).toString(),
                    QStringLiteral("--headless"), QStringLiteral("--convert-to"), to, QStringLiteral("--outdir"), out,
                    file});
    p.start();
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return out + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QLatin1Char('.') + extension;
}

QString readUtf8(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace testsupport
