#include "dialogs/FTransformXY.h"

#include "geodesy/PointTransform.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/MapControlCore.h"
#include "platform/ui/FormClass.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>

using namespace dialogs::ui;

namespace {

const QString TransformCaption = QStringLiteral("Преобразование координат на заданную величину по X и Y");
const QString SwapCaption = QStringLiteral("Поменять местами координаты X с Y");

QAction *toolButton(QToolBar *bar, const char *name, const QString &text)
{
    QAction *a = bar->addAction(text);
    a->setObjectName(QLatin1String(name));
    a->setToolTip(text);
    platform::setFormClass(a, "TToolButton");
    return a;
}

} // namespace

TTransformXY::TTransformXY() : TTransformForm("TransformXY", "TTransformXY", QStringLiteral("Перобразование координат"))
{
    nTransform->setText(TransformCaption);
    nSwap = menuItem(nOperations, "nSwap", SwapCaption);
    nHelpMenu = subMenu(MainMenu, "nHelpMenu", QStringLiteral("?"));
    nHelp = menuItem(nHelpMenu, "nHelp", QStringLiteral("Помощь"));
    nHelp->setShortcut(QKeySequence(Qt::Key_F1));
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbTransform = toolButton(ToolBar, "tbTransform", TransformCaption);
    tbTransform->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    tbSwap = toolButton(ToolBar, "tbSwap", SwapCaption);
    tbSwap->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    connect(tbTransform, &QAction::triggered, this, [this] { bTransformClick(); });
    Body->addWidget(ToolBar);

    auto *row = new QHBoxLayout;
    edX = edit(this, "edX", QStringLiteral("1000000"));
    edY = edit(this, "edY", QStringLiteral("1000000"));
    // "Х = <edit> + Х ;  Y = <edit> + Y": the new value from the old.
    row->addWidget(label(this, "Label1", QStringLiteral("Х =")));
    row->addWidget(edX);
    row->addWidget(label(this, "Label2", QStringLiteral("+ Х ;")));
    row->addWidget(label(this, "Label3", QStringLiteral("Y =")));
    row->addWidget(edY);
    row->addWidget(label(this, "Label4", QStringLiteral("+ Y")));
    Body->addLayout(row);
    // The shift is a command of the tool bar and the menu.
    bTransform->setVisible(false);
    VykFunctions::TranslateForm(objectName());
}

void TTransformXY::FormShow()
{
    TTransformForm::FormShow();
    bTransform->setVisible(false);
    const bool layers = Hint == QStringLiteral("shp");
    tbSwap->setEnabled(!layers);
    nSwap->setEnabled(!layers);
}

void TTransformXY::bTransformClick()
{
    if (!confirm(QStringLiteral("Вы уверены, что хотите преобразовать координаты X и, или Y по заданной величине ?")))
        return;
    if (Map)
        Map->TransformObjects(geodesy::tkShift, 0, 1, number(edX->text(), 0), number(edY->text(), 0), 1, 0, {}, {});
    answerOk();
}

TTransformXY *TransformXY()
{
    static TTransformXY *instance = nullptr;
    if (!instance)
        instance = new TTransformXY;
    return instance;
}
