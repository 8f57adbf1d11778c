#include "reports/ui/ReportDialogForms.h"

#include "platform/UserAnswers.h"
#include "reports/ui/FormHelpers.h"
#include "reports/ui/ProgressForms.h"
#include "reports/ui/ReportControls.h"

#include <QApplication>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace reports {

namespace {

// The OK and Cancel buttons of the library's dialogs, at the bottom right.
void addOkCancel(QDialog &dialog, int right, int top)
{
    auto *ok = new QPushButton(QStringLiteral("ОК"), &dialog);
    ok->setObjectName(QStringLiteral("OkB"));
    ok->setDefault(true);
    ok->setGeometry(right - 162, top, 78, 25);
    auto *cancel = new QPushButton(QStringLiteral("Отмена"), &dialog);
    cancel->setObjectName(QStringLiteral("CancelB"));
    cancel->setGeometry(right - 78, top, 78, 25);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}

// The categories of display formats and their types, by number.
const QStringList &categoryNames()
{
    static const QStringList names = {QStringLiteral("Текст"), QStringLiteral("Число"), QStringLiteral("Дата"),
                                      QStringLiteral("Время"), QStringLiteral("Логическая")};
    return names;
}

QStringList typeNames(int category)
{
    switch (category) {
    case 0:
        return {QStringLiteral("[Нет]")};
    case 1:
        return {QStringLiteral("1234,5"), QStringLiteral("1234,50"), QStringLiteral("1 234,5"),
                QStringLiteral("1 234,50"), QStringLiteral("Другой")};
    case 2:
        return {QStringLiteral("05.11.98"), QStringLiteral("05.11.1998"), QStringLiteral("5 ноя 1998"),
                QStringLiteral("5 ноября 1998"), QStringLiteral("Другой")};
    case 3:
        return {QStringLiteral("02:43:35"), QStringLiteral("2:43:35"), QStringLiteral("02:43"),
                QStringLiteral("2:43"), QStringLiteral("Другой")};
    case 4:
        return {QStringLiteral("0;1"), QStringLiteral("Нет;Да"), QStringLiteral("_;x"),
                QStringLiteral("False;True"), QStringLiteral("Другой")};
    default:
        return {};
    }
}

} // namespace

PasswordForm::PasswordForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frPasswForm"));
    setWindowTitle(QStringLiteral("Пароль"));
    setFixedSize(262, 100);
    L1 = placedLabel(QStringLiteral("Введите пароль для открытия отчета"), this, {8, 10, 246, 16}, QStringLiteral("L1"));
    L2 = placedLabel(QStringLiteral("Повторите пароль для проверки"), this, {8, 10, 246, 16}, QStringLiteral("L2"));
    L2->hide();
    E1 = new QLineEdit(this);
    E1->setObjectName(QStringLiteral("E1"));
    E1->setEchoMode(QLineEdit::Password);
    E1->setGeometry(8, 30, 246, 22);
    addOkCancel(*this, 254, 66);
}

void PasswordForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    E1->setFocus();
}

FormatForm::FormatForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frFmtForm"));
    setWindowTitle(QStringLiteral("Формат переменной"));
    setFixedSize(370, 250);
    auto *group = new QGroupBox(this);
    group->setGeometry(8, 4, 354, 200);
    CategoryLB = new QListWidget(group);
    CategoryLB->setObjectName(QStringLiteral("CategoryLB"));
    CategoryLB->setGeometry(8, 12, 120, 110);
    CategoryLB->addItems(categoryNames());
    TypeLB = new QListWidget(group);
    TypeLB->setObjectName(QStringLiteral("TypeLB"));
    TypeLB->setGeometry(136, 12, 210, 110);
    decLabel_ = placedLabel(QStringLiteral("&Дес. знаков"), group, {8, 134, 90, 16}, QStringLiteral("DecLabel"));
    DecEdit = new QLineEdit(group);
    DecEdit->setObjectName(QStringLiteral("DecEdit"));
    DecEdit->setGeometry(100, 132, 40, 21);
    DecEdit->setValidator(new QIntValidator(0, 255, DecEdit));
    decLabel_->setBuddy(DecEdit);
    splLabel_ = placedLabel(QStringLiteral("&Разделитель дроби"), group, {156, 134, 146, 16}, QStringLiteral("SplLabel"));
    SplEdit = new QLineEdit(group);
    SplEdit->setObjectName(QStringLiteral("SplEdit"));
    SplEdit->setGeometry(306, 132, 40, 21);
    SplEdit->setMaxLength(1);
    splLabel_->setBuddy(SplEdit);
    formatLabel_ = placedLabel(QStringLiteral("&Формат:"), group, {8, 166, 70, 16}, QStringLiteral("FormatLabel"));
    FormatEdit = new QLineEdit(group);
    FormatEdit->setObjectName(QStringLiteral("FormatEdit"));
    FormatEdit->setGeometry(80, 164, 266, 21);
    formatLabel_->setBuddy(FormatEdit);
    addOkCancel(*this, 362, 214);

    connect(CategoryLB, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        fillTypes(row);
        TypeLB->setCurrentRow(0);
        updateControls();
    });
    connect(TypeLB, &QListWidget::currentRowChanged, this, [this](int) { updateControls(); });
    // Entering the separator selects it, so one key press replaces it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now == SplEdit)
            SplEdit->selectAll();
    });
    SetFormat(DisplayFormat{}.toWord(), QString());
}

void FormatForm::fillTypes(int category)
{
    const QSignalBlocker block(TypeLB);
    TypeLB->clear();
    for (const QString &name : typeNames(category))
        if (!name.isEmpty())
            TypeLB->addItem(name);
}

void FormatForm::SetFormat(int word, const QString &formatText)
{
    shown_ = DisplayFormat::fromWord(word);
    formatText_ = formatText;
    {
        const QSignalBlocker block(CategoryLB);
        CategoryLB->setCurrentRow(std::clamp(shown_.Category, 0, static_cast<int>(categoryNames().size()) - 1));
    }
    fillTypes(CategoryLB->currentRow());
    {
        const QSignalBlocker block(TypeLB);
        TypeLB->setCurrentRow(std::clamp(shown_.Type, 0, TypeLB->count() - 1));
    }
    updateControls();
}

void FormatForm::updateControls()
{
    const bool number = CategoryLB->currentRow() == 1;
    const bool custom = TypeLB->currentRow() == kCustomFormatType;
    EnableControls({decLabel_, DecEdit, splLabel_, SplEdit}, number);
    EnableControls({formatLabel_, FormatEdit}, custom);
    if (number) {
        if (DecEdit->text().isEmpty())
            DecEdit->setText(QString::number(shown_.Digits));
        if (SplEdit->text().isEmpty())
            SplEdit->setText(shown_.Separator.isNull() ? QStringLiteral(",") : QString(shown_.Separator));
    } else {
        DecEdit->clear();
        SplEdit->clear();
    }
    if (custom) {
        if (FormatEdit->text().isEmpty())
            FormatEdit->setText(formatText_);
    } else {
        FormatEdit->clear();
    }
}

int FormatForm::Format() const
{
    DisplayFormat f;
    f.Category = std::max(0, CategoryLB->currentRow());
    f.Type = std::max(0, TypeLB->currentRow());
    f.Digits = DecEdit->isEnabled() ? DecEdit->text().toInt() : 0;
    f.Separator = SplEdit->text().isEmpty() ? QChar(u',') : SplEdit->text().front();
    return f.toWord();
}

QString FormatForm::FormatText() const
{
    return FormatEdit->isEnabled() ? FormatEdit->text() : formatText_;
}

InputQueryForm::InputQueryForm(const QString &caption, const QString &prompt, const QString &value, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("InputQuery"));
    setWindowTitle(caption);
    setFixedSize(300, 100);
    placedLabel(prompt, this, {8, 10, 284, 16}, QStringLiteral("Prompt"));
    Edit = new QLineEdit(value, this);
    Edit->setObjectName(QStringLiteral("Edit"));
    Edit->setGeometry(8, 30, 284, 22);
    Edit->selectAll();
    addOkCancel(*this, 292, 66);
}

int QtReportDialogs::ShowForReport(Report &report, const QString &caption, const QString &message,
                                   const ProgressWork &work)
{
    ProgressForm form;
    return form.ShowForReport(report, caption, message, work);
}

std::unique_ptr<ExportProgress> QtReportDialogs::NewExportProgress()
{
    return std::make_unique<ExportProgressForm>();
}

bool QtReportDialogs::AskPassword(QString &password, const QString &prompt)
{
    PasswordForm form;
    if (!prompt.isEmpty())
        form.L1->setText(prompt);
    if (platform::answers().runModal(form) != platform::mrOk)
        return false;
    password = form.E1->text();
    return true;
}

bool QtReportDialogs::EditDisplayFormat(int &format, QString &formatText)
{
    FormatForm form;
    form.SetFormat(format, formatText);
    if (platform::answers().runModal(form) != platform::mrOk)
        return false;
    format = form.Format();
    formatText = form.FormatText();
    return true;
}

bool QtReportDialogs::InputQuery(const QString &caption, const QString &prompt, QString &value)
{
    InputQueryForm form(caption, prompt, value);
    if (platform::answers().runModal(form) != platform::mrOk)
        return false;
    value = form.Edit->text();
    return true;
}

} // namespace reports
