#pragma once
// The export filters' dialogs and the windowed ExportDialogs service the
// program installs, which shows them through the answers service.

#include "reports/export/ExcelExport.h"
#include "reports/export/TextExport.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QLineEdit;

namespace reports {

// The common layout: check boxes one below the other ("CB1"...), the
// scaling edits "E1" (X) and "E2" (Y), OK and Cancel.
class ExportOptionsForm : public QDialog {
public:
    struct Check {
        QString name, text;
    };
    ExportOptionsForm(const QString &objectName, const QString &caption, const std::vector<Check> &checks,
                      QWidget *parent = nullptr);
    QCheckBox *box(const QString &name) const;
    QLineEdit *E1;
    QLineEdit *E2;

private:
    std::vector<QCheckBox *> boxes_;
};

// TfrTXTExportForm: "CB4" (pseudographic) is enabled only while "CB3"
// (frames) is checked.
class TXTExportForm : public ExportOptionsForm {
public:
    explicit TXTExportForm(QWidget *parent = nullptr);
    void setChoices(const TextExportChoices &c);
    void readChoices(TextExportChoices &c) const;
};

// TfrRTFExportForm.
class RTFExportForm : public ExportOptionsForm {
public:
    explicit RTFExportForm(QWidget *parent = nullptr);
    void setChoices(const RtfExportChoices &c);
    void readChoices(RtfExportChoices &c) const;
};

// TfrOLEExcelSet: "CB_Pictures", the page range "E_Range", "CB_OpenExcel".
class OLEExcelSetForm : public QDialog {
public:
    explicit OLEExcelSetForm(QWidget *parent = nullptr);
    QCheckBox *CB_Pictures;
    QLineEdit *E_Range;
    QCheckBox *CB_OpenExcel;
};

class QtExcelExportDialogs : public ExcelExportDialogs {
public:
    int ShowExcelExport(ExcelExportChoices &choices) override;
};

class QtExportDialogs : public ExportDialogs {
public:
    int ShowTextExport(TextExportChoices &choices) override;
    int ShowRtfExport(RtfExportChoices &choices) override;
};

} // namespace reports
