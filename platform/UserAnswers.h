#pragma once
// Every question the system puts to its user goes through one service: message
// boxes, the common dialogs (open, save, folder, colour, font, printer) and the
// modal windows of the system. The program installs Qt's dialogs
// (platform/ui/QtUserAnswers.h); a program without windows keeps the default,
// which asks nobody; tests install one that answers from a script and never
// blocks (platform::ScopedService<platform::UserAnswers>).

#include "platform/Service.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QDialog;
class QWidget;

namespace platform {

enum class MsgType { Warning, Error, Information, Confirmation, Custom };

// Buttons of a message box (a set) and the results of a modal window, with the
// platform's numbering.
enum MsgButton : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
};
constexpr unsigned mbYesNo = mbYes | mbNo;
constexpr unsigned mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr unsigned mbOKCancel = mbOK | mbCancel;

enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

struct FileDialogRequest {
    enum Kind { Open, OpenMultiple, Save };
    Kind kind = Open;
    QString title;
    // Filter in the platform's form: "Проекты (*.tvp)|*.tvp|Все файлы|*.*".
    QString filter;
    int filterIndex = 1; // 1-based
    QString initialDir;
    QString fileName;
    QString defaultExt; // without the dot
};

struct FileDialogAnswer {
    bool accepted = false;
    QStringList files;
    int filterIndex = 1;
};

struct FontChoice {
    QString name;
    int size = 10;    // points
    int style = 0;    // bit set: 1 bold, 2 italic, 4 underline, 8 strike-out
    int color = 0;    // RGB value 0x00BBGGRR
    int charset = 1;  // default character set
};

struct PrinterChoice {
    QString printerName;
    int copies = 1;
    int fromPage = 0; // 0: all pages
    int toPage = 0;
};

class UserAnswers {
public:
    virtual ~UserAnswers() = default;

    // A message box; returns the ModalResult of the button pressed.
    virtual int messageDlg(const QString &text, MsgType type, unsigned buttons,
                           const QString &caption = QString()) = 0;
    virtual FileDialogAnswer fileDialog(const FileDialogRequest &request) = 0;
    // Empty when cancelled.
    virtual QString selectDirectory(const QString &caption, const QString &start) = 0;
    // colour: RGB value 0x00BBGGRR, in and out.
    virtual bool chooseColor(int &color) = 0;
    virtual bool chooseFont(FontChoice &font) = 0;
    virtual bool choosePrinter(PrinterChoice &printer) = 0;
    // Shows a window modally and returns its modal result.
    virtual int runModal(QDialog &dialog) = 0;
};

// Answers as nobody is there to ask: a message goes to the standard error
// output, a question takes its cautious answer (Cancel, else No, else Abort,
// else OK), no file, folder, colour, font or printer is chosen and no window
// is shown (mrCancel).
class UnattendedAnswers : public UserAnswers {
public:
    int messageDlg(const QString &text, MsgType type, unsigned buttons, const QString &caption) override;
    FileDialogAnswer fileDialog(const FileDialogRequest &request) override;
    QString selectDirectory(const QString &caption, const QString &start) override;
    bool chooseColor(int &color) override;
    bool chooseFont(FontChoice &font) override;
    bool choosePrinter(PrinterChoice &printer) override;
    int runModal(QDialog &dialog) override;
};

// The default service: unattended answers.
template <>
UserAnswers &Service<UserAnswers>::fallback();

// The service in use.
inline UserAnswers &answers()
{
    return Service<UserAnswers>::get();
}

// Shorthands the system's code calls.
inline int messageDlg(const QString &text, MsgType type, unsigned buttons)
{
    return answers().messageDlg(text, type, buttons);
}
void showMessage(const QString &text);
int execModal(QDialog &dialog);

} // namespace platform
