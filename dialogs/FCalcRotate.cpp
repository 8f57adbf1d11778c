#include "dialogs/FCalcRotate.h"

#include "mapdata/ui/FormTranslation.h"
#include "platform/ui/FormClass.h"

#include <QAction>
#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using namespace dialogs::ui;

namespace {

// A group's edits and labels are named by the group's prefix ("c" or "r").
QString named(const char *prefix, const char *name)
{
    return QLatin1String(prefix) + QLatin1String(name);
}

QLineEdit *zeroEdit(QWidget *parent, const QString &name)
{
    return edit(parent, name.toLatin1().constData(), QStringLiteral("0"));
}

TCalcRotate::AngleRow angleRow(QWidget *parent, QGridLayout *grid, int row, const char *prefix,
                               const QString &caption)
{
    TCalcRotate::AngleRow r;
    grid->addWidget(label(parent, named(prefix, "lbAngle").toLatin1().constData(), caption), row, 0);
    r.Edit = zeroEdit(parent, named(prefix, "edAngle"));
    r.Edit->setMaximumWidth(120);
    grid->addWidget(r.Edit, row, 1);
    r.Degrees = label(parent, named(prefix, "lbDeg").toLatin1().constData(), QStringLiteral("0"));
    r.Minutes = label(parent, named(prefix, "lbMin").toLatin1().constData(), QStringLiteral("0"));
    r.Seconds = label(parent, named(prefix, "lbSec").toLatin1().constData(), QStringLiteral("0"));
    grid->addWidget(r.Degrees, row, 2);
    grid->addWidget(label(parent, named(prefix, "lbDegSign").toLatin1().constData(), QStringLiteral("°")), row, 3);
    grid->addWidget(r.Minutes, row, 4);
    grid->addWidget(label(parent, named(prefix, "lbMinSign").toLatin1().constData(), QStringLiteral("′")), row, 5);
    grid->addWidget(r.Seconds, row, 6);
    grid->setColumnStretch(8, 1);
    grid->addWidget(label(parent, named(prefix, "lbSecSign").toLatin1().constData(), QStringLiteral("″")), row, 7);
    return r;
}

TCalcRotate::PointsGroup pointsGroup(QWidget *parent, const char *prefix, const QString &caption)
{
    TCalcRotate::PointsGroup g;
    g.Box = new QGroupBox(caption, parent);
    g.Box->setObjectName(named(prefix, "gbPoints"));
    auto *grid = new QGridLayout(g.Box);
    grid->addWidget(label(g.Box, named(prefix, "lbStation").toLatin1().constData(), QStringLiteral("стояния")), 0,
                    0);
    grid->addWidget(label(g.Box, named(prefix, "lbTarget").toLatin1().constData(), QStringLiteral("наведения")), 1,
                    0);
    QLineEdit **edits[2][3] = {{&g.X1, &g.Y1, &g.Z1}, {&g.X2, &g.Y2, &g.Z2}};
    const char *captions[2][3] = {{"Х1 =", "Y1 =", "Z1 ="}, {"Х2 =", "Y2 =", "Z2 ="}};
    const char *names[2][3] = {{"X1", "Y1", "Z1"}, {"X2", "Y2", "Z2"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            grid->addWidget(label(g.Box, named(prefix, "lb").append(QLatin1String(names[r][c])).toLatin1().constData(),
                                  QString::fromUtf8(captions[r][c])),
                            r, 1 + 2 * c);
            *edits[r][c] = zeroEdit(g.Box, named(prefix, "ed").append(QLatin1String(names[r][c])));
            grid->addWidget(*edits[r][c], r, 2 + 2 * c);
        }
    auto *angles = new QGridLayout;
    g.Angle = angleRow(g.Box, angles, 0, prefix, QStringLiteral("дирекционный угол"));
    grid->addLayout(angles, 2, 0, 1, 7);
    return g;
}

} // namespace

TCalcRotate::TCalcRotate()
    : TTransformForm("CalcRotate", "TCalcRotate", QStringLiteral("Преобразование прямоугольной системы координат"))
{
    nHelpMenu = subMenu(MainMenu, "nHelpMenu", QStringLiteral("?"));
    nHelp = menuItem(nHelpMenu, "nHelp", QStringLiteral("Помощь"));
    nHelp->setShortcut(QKeySequence(Qt::Key_F1));
    Conditional = pointsGroup(this, "c", QStringLiteral("Условные координаты точек"));
    Reduced = pointsGroup(this, "r", QStringLiteral("Приведённые коорднаты точек"));
    gbRotation = new QGroupBox(QStringLiteral("Вращение условных координат"), this);
    gbRotation->setObjectName(QStringLiteral("gbRotation"));
    auto *rotation = new QGridLayout(gbRotation);
    Rotation = angleRow(gbRotation, rotation, 0, "t", QStringLiteral("угол"));
    Body->addWidget(Conditional.Box);
    Body->addWidget(Reduced.Box);
    Body->addWidget(gbRotation);
    Body->addWidget(makeRoundingRow(QStringLiteral("окуругление")));
    StatusBar = label(this, "StatusBar1",
                      QStringLiteral("При нулевых значениях приведённых координат можно ввести дирекционный угол или "
                                     "угол вращения"));
    Body->addWidget(StatusBar);
    bCalc->setText(QStringLiteral("Просчитать"));
    nCalc->setText(QStringLiteral("Просчитать"));
    bTransform->setVisible(false);
    nOperations->menuAction()->setVisible(false);
    for (const PointsGroup *g : {&Conditional, &Reduced})
        for (QLineEdit *e : {g->X1, g->Y1, g->X2, g->Y2, g->Angle.Edit})
            connect(e, &QLineEdit::textChanged, this, [this] { Recompute(); });
    connect(Rotation.Edit, &QLineEdit::textChanged, this, [this] { Recompute(); });
    VykFunctions::TranslateForm(objectName());
}

void TCalcRotate::FormShow()
{
    TTransformForm::FormShow();
    edRound->setText(QStringLiteral("3"));
    bTransform->setVisible(false);
    const bool layers = Hint == QStringLiteral("shp");
    bCalc->setVisible(!layers);
    bCalc->setEnabled(!layers);
    nCalc->setEnabled(!layers);
    nCalculations->menuAction()->setVisible(!layers);
}

void TCalcRotate::reject()
{
    // Any closing without "Ok" answers "Cancel".
    Hint = QStringLiteral("Cancel");
    TTransformForm::reject();
}

void TCalcRotate::Recompute()
{
    // The edits written here would call again.
    if (recomputing_)
        return;
    recomputing_ = true;
    geodesy::RotationTexts t;
    t.X1 = Conditional.X1->text();
    t.Y1 = Conditional.Y1->text();
    t.X2 = Conditional.X2->text();
    t.Y2 = Conditional.Y2->text();
    t.RX1 = Reduced.X1->text();
    t.RY1 = Reduced.Y1->text();
    t.RX2 = Reduced.X2->text();
    t.RY2 = Reduced.Y2->text();
    t.ReducedAngle = Reduced.Angle.Edit->text();
    t.Rotation = Rotation.Edit->text();
    Angles = geodesy::computeRotation(t);
    auto show = [](const AngleRow &row, double value, bool toEdit) {
        if (toEdit)
            row.Edit->setText(geodesy::angleText(value));
        const geodesy::DmsTexts dms = geodesy::dmsTexts(value);
        row.Degrees->setText(dms.Degrees);
        row.Minutes->setText(dms.Minutes);
        row.Seconds->setText(dms.Seconds);
    };
    show(Conditional.Angle, Angles.Conditional, true);
    show(Reduced.Angle, Angles.Reduced, Angles.ReducedComputed);
    show(Rotation, Angles.Rotation, Angles.RotationComputed);
    recomputing_ = false;
}

TCalcRotate *CalcRotate()
{
    static TCalcRotate *instance = nullptr;
    if (!instance)
        instance = new TCalcRotate;
    return instance;
}
