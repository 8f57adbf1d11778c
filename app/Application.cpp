#include "app/Application.h"

#include "mapdata/MapFunctions.h"
#include "platform/UserAnswers.h"
#include "reports/output/Docking.h"

#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <stdexcept>

namespace app {

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        showException(error);
    } catch (...) {
        showException(std::runtime_error("Неизвестная ошибка"));
    }
    return false;
}

QString interfaceLanguage()
{
    return MapFunctions::LanguageNumber() == 1 ? QStringLiteral("uk") : QStringLiteral("ru");
}

bool loadPlatformTranslations(const QString &language)
{
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

void showException(const std::exception &error)
{
    platform::messageDlg(QString::fromUtf8(error.what()), platform::MsgType::Error, platform::mbOK);
}

namespace {
QString title = QStringLiteral("Tolvane v.2.2.0.0");
QString helpFile = QStringLiteral("TOLVANE.HLP");
} // namespace

void startReportSettings()
{
    reports::docking::SetRegistryRoot(QStringLiteral("Software\\ZeraDuvozo\\") + QCoreApplication::applicationName());
}

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
