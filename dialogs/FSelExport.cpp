#include "dialogs/FSelExport.h"

#include "mapdata/ui/FormTranslation.h"
#include "platform/UserAnswers.h"
#include "platform/ui/FormClass.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

TSelExport *Instance = nullptr;

const QString Registration = QStringLiteral("Координирование изображения");
const QString RegistrationInfo = QStringLiteral("Выберите вариант координирования изображения");

} // namespace

SelExportMode selExportMode(const QString &mode)
{
    const QStringList placing = {QStringLiteral("Вписать в окно рисунка"), QStringLiteral("Открыть в заданном масштабе"),
                                 QStringLiteral("Координирование в ручную")};
    if (mode == QLatin1String("XYorYX"))
        return {QStringLiteral("Импорт"), QStringLiteral("Выберите вариант импорта координат"),
                {QStringLiteral("(X, Y) = (X, Y)"), QStringLiteral("(X, Y) = (Y, X)")}, {}};
    if (mode == QLatin1String("ImageRegBmp"))
        return {Registration, RegistrationInfo, placing, {}};
    if (mode == QLatin1String("ImageRegistration"))
        return {Registration, RegistrationInfo, placing, {2}};
    return {};
}

TSelExport *SelExport()
{
    if (!Instance)
        Instance = new TSelExport(nullptr);
    return Instance;
}

TSelExport::TSelExport(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("SelExport"));
    platform::tagForm(this, "TSelExport", "TForm");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    LabelInfo = platform::named(new QLabel(this), "LabelInfo", "TLabel");
    LabelInfo->setWordWrap(true);
    layout->addWidget(LabelInfo);
    for (int i = 0; i < 9; ++i) {
        QPushButton *b = new QPushButton(QString::number(i + 1), this);
        b->setObjectName(QStringLiteral("Button%1").arg(i + 1));
        platform::setFormClass(b, "TButton");
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { press(i + 1); });
        layout->addWidget(b);
        Buttons[static_cast<size_t>(i)] = b;
    }
    // The information panel with its two memos serves other modes.
    PanelInfo = platform::named(new QWidget(this), "PanelInfo", "TPanel");
    PanelInfo->hide();
    layout->addStretch(1);
    VykFunctions::TranslateForm(objectName());
}

void TSelExport::prepareToShow()
{
    const SelExportMode m = selExportMode(Hint);
    setWindowTitle(m.caption);
    LabelInfo->setText(m.information);
    PanelInfo->hide();
    for (int i = 0; i < 9; ++i) {
        QPushButton *b = Buttons[static_cast<size_t>(i)];
        const bool offered = i < m.buttons.size();
        if (offered)
            b->setText(m.buttons[i]);
        // Button 1 is always there; those beyond the mode's last are not.
        b->setVisible(i == 0 || offered);
        b->setEnabled((i == 0 || offered) && !m.disabled.contains(i + 1));
    }
    // Two buttons fit 170 pixels, three 210.
    setFixedSize(282, Buttons[2]->isEnabled() ? 210 : 170);
    Hint.clear();
}

QString TSelExport::Ask(const QString &mode)
{
    Hint = mode;
    prepareToShow();
    platform::execModal(*this);
    if (Hint.isEmpty())
        Hint = QStringLiteral("Cancel");
    return Hint;
}

void TSelExport::press(int number)
{
    Hint = QString::number(number);
    done(platform::mrOk);
}

void TSelExport::reject()
{
    Hint = QStringLiteral("Cancel");
    QDialog::reject();
}
