#include "platform/UserAnswers.h"

#include <cstdio>

namespace platform {

template <>
UserAnswers &Service<UserAnswers>::fallback()
{
    static UnattendedAnswers unattended;
    return unattended;
}

void showMessage(const QString &text)
{
    answers().messageDlg(text, MsgType::Custom, mbOK);
}

int execModal(QDialog &dialog) { return answers().runModal(dialog); }

int UnattendedAnswers::messageDlg(const QString &text, MsgType, unsigned buttons, const QString &caption)
{
    const QString line = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    if (buttons == 0)
        return mrOk;
    static const struct {
        MsgButton button;
        ModalResult result;
    } cautious[] = {{mbCancel, mrCancel}, {mbNo, mrNo}, {mbAbort, mrAbort}, {mbOK, mrOk}};
    for (const auto &c : cautious)
        if (buttons & c.button)
            return c.result;
    return mrCancel;
}

FileDialogAnswer UnattendedAnswers::fileDialog(const FileDialogRequest &) { return {}; }
QString UnattendedAnswers::selectDirectory(const QString &, const QString &) { return {}; }
bool UnattendedAnswers::chooseColor(int &) { return false; }
bool UnattendedAnswers::chooseFont(FontChoice &) { return false; }
bool UnattendedAnswers::choosePrinter(PrinterChoice &) { return false; }
int UnattendedAnswers::runModal(QDialog &) { return mrCancel; }

} // namespace platform
