#include "app/Application.h"

namespace app {

namespace {
QString title = QStringLiteral("Tolvane v.2.2.0.0");
QString helpFile = QStringLiteral("TOLVANE.HLP");
} // namespace

QString applicationTitle()
{
    return title;
}

void setApplicationTitle(const QString &t)
{
    title = t;
}

QString applicationHelpFile()
{
    return helpFile;
}

void setApplicationHelpFile(const QString &fileName)
{
    helpFile = fileName;
}

QString helpFilePath(const QString &programDir)
{
    QString path = programDir + QStringLiteral("\\Tolvane2.hlp");
    path.replace(u'\\', u'/');
    return path;
}

QString resolveProgramDir(const QString &settingsValue, const QString &currentDir)
{
    return settingsValue.trimmed().isEmpty() ? currentDir : settingsValue;
}

} // namespace app
