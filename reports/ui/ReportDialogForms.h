#pragma once
// The report library's small dialogs (the password prompt, the display-format
// editor, the one-line input box) and the windowed ReportDialogs service the
// program installs, which shows them and the progress windows through the
// answers service.

#include "reports/model/ReportDialogs.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

namespace reports {

// TfrPasswForm: "E1" shows a "*" for each character; "L1" the prompt, the
// hidden "L2" the second prompt callers take.
class PasswordForm : public QDialog {
public:
    explicit PasswordForm(QWidget *parent = nullptr);
    QLineEdit *E1;
    QLabel *L1;
    QLabel *L2;

protected:
    void showEvent(QShowEvent *event) override;
};

// TfrFmtForm: "CategoryLB", "TypeLB", "DecEdit", "SplEdit" and "FormatEdit"
// with their labels.
class FormatForm : public QDialog {
public:
    explicit FormatForm(QWidget *parent = nullptr);

    // What the dialog shows; read back after OK.
    void SetFormat(int word, const QString &formatText);
    int Format() const;
    // The format text: the edit's when it is enabled, else the one set.
    QString FormatText() const;

    QListWidget *CategoryLB;
    QListWidget *TypeLB;
    QLineEdit *DecEdit;
    QLineEdit *SplEdit;
    QLineEdit *FormatEdit;

private:
    void fillTypes(int category);
    void updateControls();

    QLabel *decLabel_;
    QLabel *splLabel_;
    QLabel *formatLabel_;
    DisplayFormat shown_;
    QString formatText_;
};

// The one-line input box: "Prompt" and "Edit".
class InputQueryForm : public QDialog {
public:
    InputQueryForm(const QString &caption, const QString &prompt, const QString &value, QWidget *parent = nullptr);
    QLineEdit *Edit;
};

class QtReportDialogs : public ReportDialogs {
public:
    int ShowForReport(Report &report, const QString &caption, const QString &message,
                      const ProgressWork &work) override;
    std::unique_ptr<ExportProgress> NewExportProgress() override;
    bool AskPassword(QString &password, const QString &prompt) override;
    bool EditDisplayFormat(int &format, QString &formatText) override;
    bool InputQuery(const QString &caption, const QString &prompt, QString &value) override;
};

} // namespace reports
