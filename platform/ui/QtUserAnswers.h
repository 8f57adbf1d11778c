#pragma once
// The answers service that asks the user with Qt's dialogs; the program
// installs it at start.

#include "platform/UserAnswers.h"

namespace platform {

class QtUserAnswers : public UserAnswers {
public:
    int messageDlg(const QString &text, MsgType type, unsigned buttons, const QString &caption) override;
    FileDialogAnswer fileDialog(const FileDialogRequest &request) override;
    QString selectDirectory(const QString &caption, const QString &start) override;
    bool chooseColor(int &color) override;
    bool chooseFont(FontChoice &font) override;
    bool choosePrinter(PrinterChoice &printer) override;
    int runModal(QDialog &dialog) override;
};

// Converts the platform's filter text into Qt's ("Проекты (*.tvp);;Все файлы (*.*)").
QString toQtFilter(const QString &platformFilter);
// The extension a file dialog adds to a name typed without one, from the
// callers' forms ("shp", ".tvp", "*.frf", "*.wmf;*.emf": the first); none
// for "*.*".
QString toQtSuffix(const QString &defaultExt);

} // namespace platform
