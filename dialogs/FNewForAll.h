#pragma once
// The one-line input box ("Ширина", "Радиус, м", "Текст" ...). The caller sets
// the caption and the text of Edit, may place it, shows it modally and takes
// Hint "Ok" as confirmation: Enter answers "Ok", Esc "Cancel". For bar-code
// captions the box accepts by itself once a whole code has been typed (or
// scanned), as scanners send no Enter.

#include <QDialog>
#include <QString>

class QLineEdit;
class QShowEvent;

class TNewForAll : public QDialog {
public:
    explicit TNewForAll(QWidget *parent = nullptr);

    QLineEdit *Edit = nullptr;
    // "Ok", "Cancel", or empty while the box is open.
    QString Hint;

    void setCaption(const QString &caption) { setWindowTitle(caption); }
    QString caption() const { return windowTitle(); }

    // What showing does: empties Hint, focuses Edit, caret after the text.
    // Called from the show event, and by execModal callers that fake the
    // window (tests) through Ask.
    void prepareToShow();

    // Sets caption and text, shows the box modally (platform::execModal) and
    // returns whether it was confirmed; text receives Edit's text either way.
    bool Ask(const QString &caption, QString &text);

    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void confirm();
    void textEdited();
    bool answering_ = false;
};

// The box of the run: made on first use, kept.
TNewForAll *NewForAll();
