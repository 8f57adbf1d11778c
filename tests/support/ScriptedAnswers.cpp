#include "support/ScriptedAnswers.h"

#include <gtest/gtest.h>

namespace testsupport {

template <typename T>
bool ScriptedAnswers::take(T &out, const char *what)
{
    if (script_.empty()) {
        ADD_FAILURE() << "unscripted question: " << what;
        return false;
    }
    T *t = std::get_if<T>(&script_.front());
    if (!t) {
        ADD_FAILURE() << "the script holds another kind of answer for: " << what;
        return false;
    }
    out = std::move(*t);
    script_.pop_front();
    return true;
}

int ScriptedAnswers::messageDlg(const QString &text, platform::MsgType type, unsigned buttons, const QString &)
{
    messages_.push_back({text, type, buttons});
    int result = platform::mrCancel;
    if (!take(result, qPrintable(QStringLiteral("message \"%1\"").arg(text))))
        return platform::mrCancel;
    return result;
}

platform::FileDialogAnswer ScriptedAnswers::fileDialog(const platform::FileDialogRequest &request)
{
    fileRequests_.push_back(request);
    platform::FileDialogAnswer a;
    take(a, "file dialog");
    return a;
}

QString ScriptedAnswers::selectDirectory(const QString &, const QString &)
{
    QString dir;
    take(dir, "folder dialog");
    return dir;
}

bool ScriptedAnswers::chooseColor(int &color)
{
    int c = 0;
    if (!take(c, "colour dialog") || c < 0)
        return false;
    color = c;
    return true;
}

bool ScriptedAnswers::chooseFont(platform::FontChoice &font)
{
    return take(font, "font dialog");
}

bool ScriptedAnswers::choosePrinter(platform::PrinterChoice &printer)
{
    return take(printer, "printer dialog");
}

int ScriptedAnswers::runModal(QDialog &dialog)
{
    DialogHandler h;
    if (!take(h, qPrintable(QStringLiteral("modal window %1").arg(dialog.objectName()))))
        return platform::mrCancel;
    return h(dialog);
}

int UnexpectedAnswers::messageDlg(const QString &text, platform::MsgType, unsigned, const QString &)
{
    ADD_FAILURE() << "unexpected message box: " << text.toStdString();
    return platform::mrCancel;
}

platform::FileDialogAnswer UnexpectedAnswers::fileDialog(const platform::FileDialogRequest &r)
{
    ADD_FAILURE() << "unexpected file dialog: " << r.title.toStdString();
    return {};
}

QString UnexpectedAnswers::selectDirectory(const QString &caption, const QString &)
{
    ADD_FAILURE() << "unexpected folder dialog: " << caption.toStdString();
    return {};
}

bool UnexpectedAnswers::chooseColor(int &)
{
    ADD_FAILURE() << "unexpected colour dialog";
    return false;
}

bool UnexpectedAnswers::chooseFont(platform::FontChoice &)
{
    ADD_FAILURE() << "unexpected font dialog";
    return false;
}

bool UnexpectedAnswers::choosePrinter(platform::PrinterChoice &)
{
    ADD_FAILURE() << "unexpected printer dialog";
    return false;
}

int UnexpectedAnswers::runModal(QDialog &dialog)
{
    ADD_FAILURE() << "unexpected modal window: " << dialog.objectName().toStdString();
    return platform::mrCancel;
}

} // namespace testsupport
