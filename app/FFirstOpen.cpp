#include "app/FFirstOpen.h"

#include "app/CommandErrors.h"
#include "app/FTolvane.h"
#include "app/HostHooks.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ProjectFile.h"
#include "mapdata/ui/FormTranslation.h"
#include "platform/ui/FormClass.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QGridLayout>
#include <QToolButton>

namespace {

TFirstOpen *FirstOpen = nullptr;

QToolButton *speedButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(b, "TSpeedButton");
    b->setText(caption);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return b;
}

QString lastProjectSetting()
{
    return MapFunctions::ReadMachineRegString(QStringLiteral("\\SOFTWARE\\") + ProductRegistryKey(),
                                              QStringLiteral("LastOpenTvpFile"), QString());
}

} // namespace

TFirstOpen *FirstOpenWindow()
{
    if (!FirstOpen)
        FirstOpen = new TFirstOpen(nullptr);
    return FirstOpen;
}

TFirstOpen::TFirstOpen(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FirstOpen"));
    platform::tagForm(this, "TFirstOpen", "TForm");
    setWindowTitle(QStringLiteral("Добро пожаловать в Tolvane"));
    setFixedSize(495, 209);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *grid = new QGridLayout(this);
    SpeedButton1 = speedButton(this, "SpeedButton1", QStringLiteral("Новый проект"));
    SpeedButton3 = speedButton(this, "SpeedButton3", QStringLiteral("Открыть проект"));
    SpeedButton2 = speedButton(this, "SpeedButton2", QStringLiteral("Последний  открытый"));
    grid->addWidget(SpeedButton1, 0, 0);
    grid->addWidget(SpeedButton3, 0, 1);
    grid->addWidget(SpeedButton2, 1, 0, 1, 2);
    grid->setRowStretch(0, 3);
    grid->setRowStretch(1, 1);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });

    // FormCreate
    MapFunctions::TranslateForm(objectName());
}

void TFirstOpen::showEvent(QShowEvent *event)
{
    // Centred on the main window.
    if (QWidget *main = Tolvane ? Tolvane->window() : nullptr; main && main != this)
        move(main->geometry().center() - rect().center());
    FormShow();
    QDialog::showEvent(event);
}

void TFirstOpen::FormShow()
{
    QString name = lastProjectSetting();
    if (!platform::fileExists(name))
        name.clear();
    SpeedButton2->setText(name);
    SpeedButton2->setEnabled(!name.isEmpty());
}

void TFirstOpen::SpeedButton1Click()
{
    // The welcome window closes first: the new project's save dialog follows
    // at once and must not sit under a window that stays on top.
    TTolvane *w = EnsureMapWindow();
    close();
    w->nFileNewClick();
}

void TFirstOpen::SpeedButton3Click()
{
    TTolvane *w = EnsureMapWindow();
    close();
    w->nFileOpenClick();
}

void TFirstOpen::SpeedButton2Click()
{
    TTolvane *w = EnsureMapWindow();
    const QString name = lastProjectSetting();
    // The project is taken only when its file still exists; a vanished file
    // leaves the map window as it was (it must not name a missing project).
    if (!platform::fileExists(name))
        return;
    // Nor does a file that is no project (reported).
    if (!app::runCommand([&] { projectfile::checkProjectFile(name); }))
        return;
    TMapVyk *map = w->MapImage;
    map->SetProjectFile(name);
    map->SetWorkDir(name.left(name.size() - 4));
    w->ReadProject(name);
    w->RebuildLayerList(true);
    if (!map->Project().Layers.empty())
        w->ShowActiveLayerRow(map->Project().ActiveLayer);
    map->ResetPicture();
    w->ShowStatusText(0, 0);
    w->RedrawMap();
    close();
}
