#include "dialogs/FFindPoint.h"

#include "platform/UserAnswers.h"
#include "platform/ui/FormClass.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {
TFindPoint *Instance = nullptr;
}

TFindPoint *FindPoint()
{
    if (!Instance)
        Instance = new TFindPoint(nullptr);
    return Instance;
}

TFindPoint::TFindPoint(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FindPoint"));
    platform::tagForm(this, "TFindPoint", "TForm");
    setWindowTitle(QStringLiteral("Позиционирование на точку"));
    auto *form = new QFormLayout(this);
    edX = platform::named(new QLineEdit(this), "edX", "TEdit");
    edY = platform::named(new QLineEdit(this), "edY", "TEdit");
    form->addRow(QStringLiteral("X ="), edX);
    form->addRow(QStringLiteral("Y ="), edY);
    auto *buttons = new QHBoxLayout;
    btnYes = platform::named(new QPushButton(QStringLiteral("Да"), this), "btnYes", "TBitBtn");
    btnNo = platform::named(new QPushButton(QStringLiteral("Нет"), this), "btnNo", "TBitBtn");
    btnYes->setDefault(true);
    buttons->addWidget(btnYes);
    buttons->addWidget(btnNo);
    form->addRow(buttons);
    connect(btnYes, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
    connect(btnNo, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });
}

bool TFindPoint::Ask(QString &x, QString &y)
{
    edX->setText(x);
    edY->setText(y);
    if (platform::execModal(*this) != platform::mrOk)
        return false;
    x = edX->text();
    y = edY->text();
    return true;
}
