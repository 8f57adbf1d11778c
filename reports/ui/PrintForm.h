#pragma once
// The print dialog of the report preview (TfrPrintForm) and the preview's
// print button: the printer (the report printer's list without its virtual
// printer), the pages (all, the current one, or a list such as "1,3,5-12"),
// the copies and their collation, and all, the odd or the even pages.

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace reports {

class PrintForm : public QDialog {
public:
    explicit PrintForm(QWidget *parent = nullptr);

    // The report printer's index when the dialog was made; a close other
    // than OK selects it again.
    int SavedPrinterIndex = 0;
    // The preview's current page, the page text of "Текущая".
    int CurrentPage = 1;

    // The page text: empty for all pages, the current page, or E2's text.
    QString PageText() const;
    // The choice of CB2: 0 all, 1 odd, 2 even pages.
    int PageChoice() const;

    void done(int result) override;

    QComboBox *CB1;
    QPushButton *PropButton;
    QLineEdit *E1;
    QToolButton *UpB;
    QToolButton *DownB;
    QRadioButton *RB1;
    QRadioButton *RB2;
    QRadioButton *RB3;
    QLineEdit *E2;
    QComboBox *CB2;
    QCheckBox *CollateCB;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *collateLabel_;
    QLabel *collatePicture_;
    void drawCollatePicture();
};

// What the preview's print button works on: the report with its prepared
// pages and the preview showing them.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    virtual bool HasPreparedPages() const = 0;
    virtual int DefaultCopies() const = 0;
    virtual bool DefaultCollate() const = 0;
    // Whether the dialog is shown (else all pages print with the defaults).
    virtual bool ShowPrintDialog() const = 0;
    virtual int CurrentPage() const = 0;
    // Whether the report is built again for another printer (the current
    // report's RebuildPrinter and the report's CanRebuild).
    virtual bool RebuildsForPrinter() const = 0;
    // Switches the report to another printer; false stops the printing.
    virtual bool ChangePrinter(int oldIndex, int newIndex) = 0;
    // Drops the prepared pages, prepares the report again and shows the new pages.
    virtual void Rebuild() = 0;
    // The preview lets go of the pages while the report prints them, then
    // shows them again.
    virtual void PrintPreparedReport(const QString &pages, int copies, bool collate, int pageChoice) = 0;
};

// The preview's print button. Nothing without prepared pages or without a
// printer; the dialog, when the report shows it, may end it.
void PrintFromPreview(PrintTarget &target);

} // namespace reports
