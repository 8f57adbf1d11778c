#pragma once
// The about window of the frame's "О программе...": a picture with link areas,
// a close button and a strip of text links. Links keep their targets in their
// hints; web links open in the user's browser, mail links start a mail.

#include "platform/ui/UrlOpener.h"

#include <QDialog>
#include <QUrl>

class QAction;
class QLabel;
class QToolButton;

namespace app {
// Opens an address with the system's handler (platform/ui/UrlOpener.h).
using platform::openUrl;
using platform::setUrlOpener;
using platform::UrlOpener;

// The text of a mail link: "mailto:" + address + "?subject=Re: Tolvane " +
// version + "&body=   Добрый день, " + name + " !%0d".
QString aboutMailText(const QString &address, const QString &version, const QString &name);
} // namespace app

class TAbout : public QDialog {
public:
    explicit TAbout(QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
    QToolButton *SpeedButton7 = nullptr;
    QLabel *Label4 = nullptr, *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr,
           *Label14 = nullptr;
    QAction *KeyPressESC = nullptr;

    void Image1Click();
    void SpeedButton7Click();
    void KeyPressESCExecute();
    void Label3Click();
    void Label4Click();
    void Label5Click();
    void Label6Click();
    void Label14Click();
    void Label2Click();
    void Label7Click();
    void Label8Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openPage(const QLabel *label);
    void startMail(const QLabel *label, const QString &name);
};
