#include "dialogs/FTransformForm.h"

#include "mapdata/VykFunctions.h"
#include "mapdata/ui/FormTranslation.h"
#include "platform/NumberFormat.h"
#include "platform/UserAnswers.h"
#include "platform/ui/FormClass.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

namespace dialogs::ui {

QLabel *label(QWidget *parent, const char *name, const QString &caption)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    platform::setFormClass(l, "TLabel");
    return l;
}

QLineEdit *edit(QWidget *parent, const char *name, const QString &text)
{
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(QLatin1String(name));
    platform::setFormClass(e, "TEdit");
    return e;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    platform::setFormClass(b, "TBitBtn");
    return b;
}

QToolButton *speedButton(QWidget *parent, const char *name, const QString &caption, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(caption);
    b->setToolTip(hint);
    platform::setFormClass(b, "TSpeedButton");
    return b;
}

QAction *menuItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    platform::setFormClass(a, "TMenuItem");
    return a;
}

QMenu *subMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *m = bar->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    platform::setFormClass(m, "TMenuItem");
    return m;
}

bool confirm(const QString &question)
{
    return platform::messageDlg(question, platform::MsgType::Confirmation, platform::mbOKCancel) ==
           platform::mrOk;
}

double number(const QString &text, double defaultValue)
{
    return VykFunctions::TextToFloatDef(text, defaultValue);
}

QString numberText(double value)
{
    return platform::floatToStr(value);
}

bool chooseFontInto(QLineEdit *name, QLineEdit *size, QLineEdit *colour)
{
    platform::FontChoice font;
    font.name = name->text();
    font.size = static_cast<int>(number(size->text(), 0));
    font.color = static_cast<int>(number(colour->text(), 0));
    if (!platform::answers().chooseFont(font))
        return false;
    name->setText(font.name);
    size->setText(QString::number(font.size));
    colour->setText(QString::number(font.color));
    return true;
}

bool chooseColourInto(QLineEdit *colour)
{
    int chosen = static_cast<int>(number(colour->text(), 0));
    if (!platform::answers().chooseColor(chosen))
        return false;
    colour->setText(QString::number(chosen));
    return true;
}

} // namespace dialogs::ui

using namespace dialogs::ui;

TTransformForm::TTransformForm(const char *name, const char *className, const QString &caption)
    : QDialog(nullptr, Qt::Dialog)
{
    setObjectName(QLatin1String(name));
    platform::tagForm(this, className, "TForm");
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu1"));
    layout->setMenuBar(MainMenu);
    nOperations = subMenu(MainMenu, "nOperations", QStringLiteral("Операции"));
    nTransform = menuItem(nOperations, "nTransform", QStringLiteral("Преобразовать"));
    nCalculations = subMenu(MainMenu, "nCalculations", QStringLiteral("Вычисления"));
    nCalc = menuItem(nCalculations, "nCalc", QStringLiteral("Рассчитать"));
    Body = new QVBoxLayout;
    layout->addLayout(Body);
    Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    bTransform = button(this, "bTransform", QStringLiteral("Пеобразовать"));
    bCalc = button(this, "bCalc", QStringLiteral("Рассчитать"));
    bCancel = button(this, "bCancel", QStringLiteral("Отменить"));
    Buttons->addWidget(bTransform);
    Buttons->addWidget(bCalc);
    Buttons->addWidget(bCancel);
    layout->addLayout(Buttons);
    connect(nTransform, &QAction::triggered, this, [this] { bTransformClick(); });
    connect(bTransform, &QPushButton::clicked, this, [this] { bTransformClick(); });
    connect(bCancel, &QPushButton::clicked, this, [this] { reject(); });
}

QWidget *TTransformForm::makeRoundingRow(const QString &caption)
{
    auto *row = new QWidget(this);
    auto *h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    lbRound = label(row, "lbRound", caption);
    edRound = edit(row, "edRound", QStringLiteral("4"));
    edRound->setMaximumWidth(60);
    sbRound = speedButton(row, "sbRound", QStringLiteral("..."), QStringLiteral("Округление"));
    pmRound = new QMenu(this);
    pmRound->setObjectName(QStringLiteral("pmRound"));
    const char *names[] = {"nRound0", "nRound1", "nRound2", "nRound3", "nRound4", "nRound5"};
    for (int d = 0; d <= 5; ++d) {
        QAction *a = menuItem(pmRound, names[d], d == 0 ? QStringLiteral("без округления") : QString::number(d));
        connect(a, &QAction::triggered, this, [this, d] { edRound->setText(QString::number(d)); });
    }
    connect(sbRound, &QToolButton::clicked, this, [this] { sbRoundClick(); });
    h->addWidget(lbRound);
    h->addWidget(edRound);
    h->addWidget(sbRound);
    h->addStretch(1);
    return row;
}

void TTransformForm::sbRoundClick()
{
    // At the lower left corner of the edit's frame.
    pmRound->popup(edRound->mapToGlobal(QPoint(0, edRound->height())));
}

bool TTransformForm::Execute(MapControlCore &map, const QString &mode)
{
    Map = &map;
    Hint = mode;
    FormShow();
    platform::execModal(*this);
    return Hint == QStringLiteral("Ok");
}

void TTransformForm::FormShow()
{
    if (edRound)
        edRound->setText(QStringLiteral("4"));
    bTransform->setEnabled(true);
    nTransform->setEnabled(true);
    bCalc->setEnabled(false);
    bCalc->setVisible(false);
    nCalc->setEnabled(false);
    nCalculations->menuAction()->setVisible(false);
}

int TTransformForm::RoundingDigits() const
{
    return edRound ? VykFunctions::TextToInt(edRound->text()) : 0;
}

bool TTransformForm::ConfirmTransform()
{
    return confirm(QStringLiteral("Вы уверены, что хотите преобразовать координаты ?"));
}

void TTransformForm::answerOk()
{
    Hint = QStringLiteral("Ok");
    done(platform::mrOk);
}

TCatalogueForm::TCatalogueForm(const char *name, const char *className, const QString &caption,
                               const char *listName, const char *labelName, const QString &listCaption,
                               int minimumWidth)
    : TTransformForm(name, className, caption)
{
    auto *row = new QHBoxLayout;
    List = new QComboBox(this);
    List->setObjectName(QLatin1String(listName));
    sbNew = speedButton(this, "sbNew", QStringLiteral("Создать"), QStringLiteral("Создать"));
    sbEdit = speedButton(this, "sbEdit", QStringLiteral("..."), QStringLiteral("Свойства"));
    sbDelete = speedButton(this, "sbDelete", QStringLiteral("Удалить"), QStringLiteral("Удалить"));
    sbSave = speedButton(this, "sbSave", QStringLiteral("Сохранить"), QStringLiteral("Сохранить"));
    row->addWidget(label(this, labelName, listCaption));
    row->addWidget(List, 1);
    for (QToolButton *b : {sbNew, sbEdit, sbDelete, sbSave})
        row->addWidget(b);
    Body->addLayout(row);
    Body->addWidget(makeRoundingRow(QStringLiteral("Округление")));
    connect(sbNew, &QToolButton::clicked, this, [this] { sbNewClick(); });
    connect(sbEdit, &QToolButton::clicked, this, [this] { sbEditClick(); });
    connect(sbDelete, &QToolButton::clicked, this, [this] { sbDeleteClick(); });
    connect(sbSave, &QToolButton::clicked, this, [this] { sbSaveClick(); });
    setMinimumWidth(minimumWidth);
    VykFunctions::TranslateForm(objectName());
}
