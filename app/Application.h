#pragma once
// What the program keeps of its application object: the title and the help
// file. Help has no viewer on this platform: the commands only name the file
// and topic (see TTolvane::nHelpClick).

#include <QApplication>
#include <QString>

#include <exception>

namespace app {

// The application object: an error that a handler lets through reaches the
// user as a message with its text, and the program goes on (the handlers
// leave the errors of libraries and of the few checks that raise to it).
class Application : public QApplication {
public:
    Application(int &argc, char **argv) : QApplication(argc, argv) {}
    bool notify(QObject *receiver, QEvent *event) override;
};

// The language of the platform's own buttons and dialogs ("Да"/"Нет" of a
// question, the file dialogs): "uk" when the "Language" setting chooses the
// Ukrainian language file, "ru" otherwise (the interface is Russian).
QString interfaceLanguage();
// Puts the platform's own translations of that language (Qt's catalogue of
// its standard buttons and dialogs) in place of those loaded before; false,
// with the platform's English texts, when the catalogue is not installed.
bool loadPlatformTranslations(const QString &language);

// Shows an error's text as an error message.
void showException(const std::exception &error);

// The report library's windows keep their places and options in the settings
// store under "Software\ZeraDuvozo\" and the application's name as the
// program starts (before the frame gives the application its title).
void startReportSettings();

QString applicationTitle();
void setApplicationTitle(const QString &title);
QString applicationHelpFile();
void setApplicationHelpFile(const QString &fileName);

// The help file of a program folder: the folder, "\Tolvane2.hlp", and then
// every "\" of the whole path turned into "/".
QString helpFilePath(const QString &programDir);

// The program folder from the settings value "ProgramDirectory": the value as
// it was read, or the current folder when it is missing or blank.
QString resolveProgramDir(const QString &settingsValue, const QString &currentDir);

} // namespace app
