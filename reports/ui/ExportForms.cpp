#include "reports/ui/ExportForms.h"

#include "platform/UserAnswers.h"
#include "reports/ui/FormHelpers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace reports {

ExportOptionsForm::ExportOptionsForm(const QString &objectName, const QString &caption,
                                     const std::vector<Check> &checks, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    const int rows = static_cast<int>(checks.size());
    auto *group = new QGroupBox(this);
    group->setGeometry(8, 4, 246, 20 + rows * 22);
    for (int i = 0; i < rows; ++i) {
        auto *cb = new QCheckBox(checks[i].text, group);
        cb->setObjectName(checks[i].name);
        cb->setGeometry(10, 12 + i * 22, 226, 20);
        boxes_.push_back(cb);
    }
    auto *scale = new QGroupBox(QStringLiteral("Масштабирование"), this);
    const int top = 30 + rows * 22;
    scale->setGeometry(8, top, 246, 52);
    placedLabel(QStringLiteral("X"), scale, {10, 22, 14, 20});
    E1 = new QLineEdit(scale);
    E1->setObjectName(QStringLiteral("E1"));
    E1->setGeometry(26, 20, 80, 22);
    placedLabel(QStringLiteral("Y"), scale, {128, 22, 14, 20});
    E2 = new QLineEdit(scale);
    E2->setObjectName(QStringLiteral("E2"));
    E2->setGeometry(144, 20, 80, 22);
    const int buttons = top + 62;
    auto *ok = new QPushButton(QStringLiteral("ОК"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    ok->setGeometry(92, buttons, 78, 25);
    auto *cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(176, buttons, 78, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(262, buttons + 33);
}

QCheckBox *ExportOptionsForm::box(const QString &name) const
{
    for (QCheckBox *cb : boxes_)
        if (cb->objectName() == name)
            return cb;
    return nullptr;
}

TXTExportForm::TXTExportForm(QWidget *parent)
    : ExportOptionsForm(QStringLiteral("frTXTExportForm"), QStringLiteral("Экспорт в TXT"),
                        {{QStringLiteral("CB1"), QStringLiteral("&Удалять пустые строки")},
                         {QStringLiteral("CB2"), QStringLiteral("Преобразовывать в &DOS")},
                         {QStringLiteral("CB3"), QStringLiteral("Экспорт &обрамления")},
                         {QStringLiteral("CB4"), QStringLiteral("Использовать &псевдографику")},
                         {QStringLiteral("CB5"), QStringLiteral("Вставлять &разрывы страниц")}},
                        parent)
{
    QCheckBox *frames = box(QStringLiteral("CB3"));
    QCheckBox *pseudo = box(QStringLiteral("CB4"));
    connect(frames, &QCheckBox::toggled, pseudo, &QCheckBox::setEnabled);
    pseudo->setEnabled(frames->isChecked());
}

void TXTExportForm::setChoices(const TextExportChoices &c)
{
    box(QStringLiteral("CB1"))->setChecked(c.KillEmptyLines);
    box(QStringLiteral("CB2"))->setChecked(c.ConvertToOEM);
    box(QStringLiteral("CB3"))->setChecked(c.ExportFrames);
    box(QStringLiteral("CB4"))->setChecked(c.UsePseudographic);
    box(QStringLiteral("CB5"))->setChecked(c.PageBreaks);
    box(QStringLiteral("CB4"))->setEnabled(c.ExportFrames);
    E1->setText(c.ScaleX);
    E2->setText(c.ScaleY);
}

void TXTExportForm::readChoices(TextExportChoices &c) const
{
    c.KillEmptyLines = box(QStringLiteral("CB1"))->isChecked();
    c.ConvertToOEM = box(QStringLiteral("CB2"))->isChecked();
    c.ExportFrames = box(QStringLiteral("CB3"))->isChecked();
    c.UsePseudographic = box(QStringLiteral("CB4"))->isChecked();
    c.PageBreaks = box(QStringLiteral("CB5"))->isChecked();
    c.ScaleX = E1->text();
    c.ScaleY = E2->text();
}

RTFExportForm::RTFExportForm(QWidget *parent)
    : ExportOptionsForm(QStringLiteral("frRTFExportForm"), QStringLiteral("Экспорт в RTF"),
                        {{QStringLiteral("CB1"), QStringLiteral("&Удалять пустые строки")},
                         {QStringLiteral("CB2"), QStringLiteral("Экспорт &картинок")},
                         {QStringLiteral("CB3"), QStringLiteral("Преобразовать в &таблицу")},
                         {QStringLiteral("CB5"), QStringLiteral("Вставлять &разрывы страниц")}},
                        parent)
{
}

void RTFExportForm::setChoices(const RtfExportChoices &c)
{
    box(QStringLiteral("CB1"))->setChecked(c.KillEmptyLines);
    box(QStringLiteral("CB2"))->setChecked(c.ExportBitmaps);
    box(QStringLiteral("CB3"))->setChecked(c.ConvertToTable);
    box(QStringLiteral("CB5"))->setChecked(c.PageBreaks);
    E1->setText(c.ScaleX);
    E2->setText(c.ScaleY);
}

void RTFExportForm::readChoices(RtfExportChoices &c) const
{
    c.KillEmptyLines = box(QStringLiteral("CB1"))->isChecked();
    c.ExportBitmaps = box(QStringLiteral("CB2"))->isChecked();
    c.ConvertToTable = box(QStringLiteral("CB3"))->isChecked();
    c.PageBreaks = box(QStringLiteral("CB5"))->isChecked();
    c.ScaleX = E1->text();
    c.ScaleY = E2->text();
}

int QtExportDialogs::ShowTextExport(TextExportChoices &choices)
{
    TXTExportForm form;
    form.setChoices(choices);
    centreOnScreen(form);
    const int result = platform::answers().runModal(form);
    // The filter reads the choices back whatever the answer.
    form.readChoices(choices);
    return result;
}

int QtExportDialogs::ShowRtfExport(RtfExportChoices &choices)
{
    RTFExportForm form;
    form.setChoices(choices);
    centreOnScreen(form);
    const int result = platform::answers().runModal(form);
    form.readChoices(choices);
    return result;
}

OLEExcelSetForm::OLEExcelSetForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frOLEExcelSet"));
    setWindowTitle(QStringLiteral("Экспорт в Excel"));
    auto *quality = new QGroupBox(QStringLiteral(" Настройки качества "), this);
    quality->setGeometry(8, 4, 290, 48);
    CB_Pictures = new QCheckBox(QStringLiteral("Картинки"), quality);
    CB_Pictures->setObjectName(QStringLiteral("CB_Pictures"));
    CB_Pictures->setGeometry(10, 20, 200, 20);
    auto *pages = new QGroupBox(QStringLiteral("Страницы"), this);
    pages->setGeometry(8, 58, 290, 104);
    QLabel *numbers = placedLabel(QStringLiteral("&Номера:"), pages, {10, 24, 60, 20});
    E_Range = new QLineEdit(pages);
    E_Range->setObjectName(QStringLiteral("E_Range"));
    E_Range->setGeometry(74, 22, 204, 22);
    numbers->setBuddy(E_Range);
    QLabel *note = placedLabel(
        QStringLiteral("Введите номера и/или диапазоны страниц, разделенные запятыми. Например, 1,3,5-12"), pages,
        {10, 52, 268, 44});
    note->setWordWrap(true);
    CB_OpenExcel = new QCheckBox(QStringLiteral("Открыть Excel после экспорта"), this);
    CB_OpenExcel->setObjectName(QStringLiteral("CB_OpenExcel"));
    CB_OpenExcel->setGeometry(16, 170, 270, 20);
    auto *ok = new QPushButton(QStringLiteral("ОК"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    ok->setGeometry(136, 200, 78, 25);
    auto *cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(220, 200, 78, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(306, 233);
}

int QtExcelExportDialogs::ShowExcelExport(ExcelExportChoices &choices)
{
    OLEExcelSetForm form;
    form.CB_Pictures->setChecked(choices.ExportPictures);
    form.CB_OpenExcel->setChecked(choices.OpenAfterExport);
    centreOnScreen(form);
    const int result = platform::answers().runModal(form);
    // The flags come back whatever the answer; the range is the edit's.
    choices.ExportPictures = form.CB_Pictures->isChecked();
    choices.OpenAfterExport = form.CB_OpenExcel->isChecked();
    choices.Range = form.E_Range->text();
    return result;
}

} // namespace reports
