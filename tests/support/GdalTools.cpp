#include "support/GdalTools.h"

#include <QProcess>
#include <QStandardPaths>

namespace testsupport {

ToolRun runTool(const QString &program, const QStringList &args, const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

bool haveGdal()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ogr2ogr")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("ogrinfo")).isEmpty();
}

ToolRun makeGdalLayer(const TempFolder &dir, const QString &name, const QString &shpt,
                      const std::vector<QByteArray> &wkt)
{
    QByteArray csv = "WKT,NAME,NUM\n";
    for (size_t i = 1; i <= wkt.size(); ++i)
        csv += "\"" + wkt[i - 1] + "\"," + QStringLiteral("Объект №%1").arg(i).toUtf8() + "," +
               QByteArray::number(static_cast<int>(i) * 10) + "\n";
    dir.write(name + QStringLiteral(".csv"), csv);
    return runTool(QStringLiteral("ogr2ogr"),
                   {QStringLiteral("-f"), QStringLiteral("ESRI Shapefile"), QStringLiteral("-lco"),
                    QStringLiteral("ENCODING=CP1251"), QStringLiteral("-lco"), QStringLiteral("SHPT=") + shpt,
                    name + QStringLiteral(".shp"), name + QStringLiteral(".csv"), QStringLiteral("-oo"),
                    QStringLiteral("GEOM_POSSIBLE_NAMES=WKT"), QStringLiteral("-oo"),
                    QStringLiteral("KEEP_GEOM_COLUMNS=NO")},
                   dir.path());
}

} // namespace testsupport
