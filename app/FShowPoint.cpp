#include "app/FShowPoint.h"

#include "app/FTolvane.h"
#include "app/FormControls.h"
#include "platform/ui/FormClass.h"

#include <QAction>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace {

TShowPoint *ShowPoint = nullptr;
TMapStat *MapStat = nullptr;

QLabel *label(QWidget *parent, const char *name, const QString &caption)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(l, "TLabel");
    return l;
}

QAction *exitAction(QDialog *dialog, const std::function<void()> &handler)
{
    QAction *a = app::listAction(dialog, "aExit", QStringLiteral("aExit"), QString(), QKeySequence(Qt::Key_Escape));
    dialog->addAction(a);
    QObject::connect(a, &QAction::triggered, dialog, handler);
    return a;
}

void centreOnMainWindow(QWidget *w)
{
    if (QWidget *main = Tolvane ? Tolvane->window() : nullptr)
        w->move(main->geometry().center() - w->rect().center());
}

} // namespace

TShowPoint *ShowPointWindow()
{
    if (!ShowPoint)
        ShowPoint = new TShowPoint(nullptr);
    return ShowPoint;
}

TMapStat *MapStatWindow()
{
    if (!MapStat)
        MapStat = new TMapStat(nullptr);
    return MapStat;
}

TShowPoint::TShowPoint(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("ShowPoint"));
    platform::tagForm(this, "TShowPoint", "TForm");
    setWindowTitle(QStringLiteral("Координаты курсора"));
    setFixedSize(241, 61);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    platform::setFormClass(Image2, "TImage");
    Image2->setPixmap(app::glyphIcon(QStringLiteral("⌖"), 0x205080).pixmap(16, 16));
    edX = new QLineEdit(this);
    edX->setObjectName(QStringLiteral("edX"));
    platform::setFormClass(edX, "TEdit");
    edX->setReadOnly(true);
    edY = new QLineEdit(this);
    edY->setObjectName(QStringLiteral("edY"));
    platform::setFormClass(edY, "TEdit");
    edY->setReadOnly(true);
    grid->addWidget(Image2, 0, 0, 2, 1);
    grid->addWidget(label(this, "Label1", QStringLiteral("Карта Х, м")), 0, 1);
    grid->addWidget(edX, 0, 2);
    grid->addWidget(label(this, "Label2", QStringLiteral("Карта Y, м")), 1, 1);
    grid->addWidget(edY, 1, 2);
    aExit = exitAction(this, [this] { aExitExecute(); });
}

void TShowPoint::aExitExecute()
{
    close();
}

TMapStat::TMapStat(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("MapStat"));
    platform::tagForm(this, "TMapStat", "TForm");
    setWindowTitle(QStringLiteral("Статистика"));
    setFixedSize(259, 240);
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    panel->setPalette(pal);
    panel->setGeometry(6, 6, 247, 228);
    auto *grid = new QGridLayout(panel);
    const char *captionNames[] = {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7"};
    const QString captions[] = {QStringLiteral("Количество:"), QStringLiteral("Площадь, га:"),
                                QStringLiteral("Периметр, м:"), QStringLiteral("X минимум:"),
                                QStringLiteral("Y минимум:"), QStringLiteral("X максимум:"),
                                QStringLiteral("Y максимум:")};
    const char *valueNames[] = {"lbCount", "lbArea", "lbLenght", "lbMinX", "lbMinY", "lbMaxX", "lbMaxY"};
    QLabel **values[] = {&lbCount, &lbArea, &lbLenght, &lbMinX, &lbMinY, &lbMaxX, &lbMaxY};
    for (int i = 0; i < 7; ++i) {
        grid->addWidget(label(panel, captionNames[i], captions[i]), i, 0);
        QLabel *v = label(panel, valueNames[i], QString());
        QFont f = v->font();
        f.setBold(true);
        v->setFont(f);
        v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        v->setForegroundRole(QPalette::Highlight);
        *values[i] = v;
        grid->addWidget(v, i, 1);
    }
    aExit = exitAction(this, [this] { aExitExecute(); });
    centreOnMainWindow(this);
}

void TMapStat::aExitExecute()
{
    close();
}
