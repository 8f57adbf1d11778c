// Construction of the map window's controls: names, captions, hints and
// shortcuts as the window's design gives them, and the handlers they call.

#include "app/FTolvane.h"

#include "app/FormControls.h"
#include "app/StatusTexts.h"
#include "dialogs/LayerForm.h"
#include "platform/ui/FormClass.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using app::linkedItem;
using app::listAction;
using app::menuItem;
using app::separatorItem;
using app::subMenu;

namespace {

QMenu *topMenu(QMenuBar *bar, QWidget *owner, const char *name, const QString &caption)
{
    auto *m = new QMenu(caption, owner);
    m->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(m, "TMenuItem");
    bar->addMenu(m);
    return m;
}

QMenu *popupMenu(QWidget *owner, const char *name)
{
    auto *m = new QMenu(owner);
    m->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(m, "TPopupMenu");
    return m;
}

QToolBar *toolBar(QWidget *parent, const char *name)
{
    auto *t = new QToolBar(parent);
    t->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(t, "TToolBar");
    t->setIconSize(QSize(16, 16));
    t->setMovable(false);
    return t;
}

QLineEdit *edit(QWidget *parent, const char *name, int width, const QString &hint = {})
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(e, "TEdit");
    e->setFixedWidth(width);
    app::setHint(e, hint);
    return e;
}

QLabel *picture(QWidget *parent, const char *name, const char *cls, const QString &hint = {})
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(l, cls);
    l->setFixedSize(24, 20);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    app::setHint(l, hint);
    return l;
}

QToolButton *speedButton(QWidget *parent, const char *name, const QString &hint, const QString &glyph)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(b, "TSpeedButton");
    b->setAutoRaise(true);
    b->setIcon(app::glyphIcon(glyph));
    app::setHint(b, hint);
    return b;
}

// A tool button that performs an action of the action list, with the
// action's hint; its enabled state is its own.
QToolButton *actionButton(QToolBar *bar, const char *name, QAction *action, const QIcon &icon)
{
    QToolButton *b = app::toolButton(bar, name, app::hintOf(action).isEmpty() ? action->text() : app::hintOf(action),
                                     icon);
    QObject::connect(b, &QToolButton::clicked, action, [action] { action->trigger(); });
    bar->addWidget(b);
    return b;
}

QTreeWidget *layerListView(QWidget *parent, const char *name)
{
    auto *v = new QTreeWidget(parent);
    v->setObjectName(QString::fromLatin1(name));
    platform::setFormClass(v, "TListView");
    v->setColumnCount(5);
    v->setHeaderHidden(true);
    v->setRootIsDecorated(false);
    v->setUniformRowHeights(true);
    v->setIndentation(0);
    v->setIconSize(QSize(16, 16));
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setFocusPolicy(Qt::StrongFocus);
    v->header()->setMinimumSectionSize(0);
    v->header()->setStretchLastSection(false);
    v->setColumnWidth(0, 180);
    v->setColumnWidth(1, 25);
    v->setColumnWidth(2, 25);
    v->setColumnWidth(3, 25);
    v->setColumnWidth(4, 0);
    v->setMouseTracking(true);
    v->viewport()->setMouseTracking(true);
    v->setContextMenuPolicy(Qt::CustomContextMenu);
    return v;
}

const int ScaleDenominators[19] = {1,     50,    100,   200,    500,    1000,   2000,   5000,   10000, 15000,
                                   25000, 30000, 40000, 50000, 100000, 150000, 200000, 300000, 500000};

QString scaleCaption(int d)
{
    return QStringLiteral("1:%1").arg(d);
}

} // namespace

QIcon TTolvane::MapImageList(int index) const
{
    const auto it = FImages.find(index);
    return it == FImages.end() ? QIcon() : it->second;
}

QIcon TTolvane::BitmapList(int index) const
{
    const auto it = FBitmaps.find(index);
    return it == FBitmaps.end() ? QIcon() : it->second;
}

QIcon TTolvane::ImgStyleArrowLeft(int index) const
{
    return index >= 0 && index < int(FArrowsLeft.size()) ? FArrowsLeft[size_t(index)] : QIcon();
}

QIcon TTolvane::ImgStyleArrowRight(int index) const
{
    return index >= 0 && index < int(FArrowsRight.size()) ? FArrowsRight[size_t(index)] : QIcon();
}

namespace {

// A line-end sample: a line with the end of kind 0 .. 9 at its right end
// (mirrored for the start of a line).
QIcon lineEndPicture(int kind, bool atStart)
{
    QPixmap pm(32, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (atStart) {
        p.translate(32, 0);
        p.scale(-1, 1);
    }
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(2, 8, 29, 8);
    const int angle[10] = {0, 20, 20, 30, 30, 45, 45, 45, 90, 45};
    if (kind > 0 && kind < 10) {
        const double a = angle[kind] * M_PI / 180;
        const double len = kind == 8 ? 6 : 10;
        const QPointF tip = kind == 9 ? QPointF(19, 8) : QPointF(29, 8);
        const double dir = kind == 9 ? 1 : -1;
        const QPointF l(tip.x() + dir * len * std::cos(a), tip.y() - len * std::sin(a));
        const QPointF r(tip.x() + dir * len * std::cos(a), tip.y() + len * std::sin(a));
        if (kind % 2 == 1 && kind != 9) {   // solid heads
            p.setBrush(Qt::black);
            p.drawPolygon(QPolygonF{tip, l, r});
        } else {
            p.drawLine(tip, l);
            p.drawLine(tip, r);
            if (kind == 7) {
                p.drawLine(tip - QPointF(5, 0), l - QPointF(5, 0));
                p.drawLine(tip - QPointF(5, 0), r - QPointF(5, 0));
            }
        }
    }
    p.end();
    return QIcon(pm);
}

} // namespace

void TTolvane::buildControls()
{
    // The picture list: the images the menus, buttons and layer lists use.
    FImages = {
        {20, app::glyphIcon(QStringLiteral("+"), 0xC00000)},    // pick marker
        {23, app::glyphIcon(QStringLiteral("▤"), 0x205080)},    // layer row
        {54, app::glyphIcon(QStringLiteral("◎"), 0x205080)},
        {55, app::glyphIcon(QStringLiteral("↔"), 0x205080)},
        {56, app::glyphIcon(QStringLiteral("✎"), 0x205080)},
        {57, app::glyphIcon(QStringLiteral("⌫"), 0x205080)},
        {58, app::glyphIcon(QStringLiteral("⎘"), 0x205080)},
        {59, app::glyphIcon(QStringLiteral("▣"), 0x205080)},
        {75, app::glyphIcon(QStringLiteral("◉"), 0x008000)},    // visible
        {76, app::glyphIcon(QStringLiteral("○"), 0x808080)},    // hidden
        {77, app::glyphIcon(QStringLiteral("➚"), 0x0050C0)},    // selectable
        {78, app::glyphIcon(QStringLiteral("·"), 0x808080)},    // not selectable
        {79, app::glyphIcon(QStringLiteral("✎"), 0xC05000)},    // editable
        {80, app::glyphIcon(QStringLiteral("⊘"), 0x808080)},    // read-only
        {96, app::glyphIcon(QStringLiteral("▲"), 0x205080)},
        {97, app::glyphIcon(QStringLiteral("▼"), 0x205080)},
        {98, app::glyphIcon(QStringLiteral("■"), 0x205080)},
    };

    FBitmaps = {{20, app::glyphIcon(QStringLiteral("+"), 0x0000C0)}};
    for (int kind = 0; kind < 10; ++kind) {
        FArrowsLeft.push_back(lineEndPicture(kind, true));
        FArrowsRight.push_back(lineEndPicture(kind, false));
    }

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setWidget(client);
    auto *column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    ActionList1 = new QObject(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    platform::setFormClass(ActionList1, "TActionList");
    buildActions();

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    platform::setFormClass(MainMenu1, "TMainMenu");
    // The frame shows these menus in its own bar while this window is active.
    MainMenu1->setNativeMenuBar(false);
    MainMenu1->hide();
    buildPopupMenus();
    buildMainMenu();

    ControlBar = new QWidget(client);
    ControlBar->setObjectName(QStringLiteral("ControlBar"));
    platform::setFormClass(ControlBar, "TControlBar");
    column->addWidget(ControlBar);
    buildToolBars();

    MapScrollBox = new QScrollArea(client);
    MapScrollBox->setObjectName(QStringLiteral("MapScrollBox"));
    platform::setFormClass(MapScrollBox, "TScrollBox");
    MapScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MapScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MapScrollBox->setWidgetResizable(true);
    MapScrollBox->setFrameShape(QFrame::NoFrame);
    // The map area is white where the map does not cover it.
    QPalette white = MapScrollBox->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    MapScrollBox->setPalette(white);
    MapImage = new TMapVyk();
    MapImage->setObjectName(QStringLiteral("MapImage"));
    platform::setFormClass(MapImage, "TMapVyk");
    MapImage->setPalette(white);
    MapImage->installEventFilter(this);
    connect(MapImage, &TMapVyk::MouseDown, this,
            [this](Qt::MouseButton b, TShiftState s, int x, int y) { MapImageMouseDown(b, s, x, y); });
    connect(MapImage, &TMapVyk::MouseMove, this, [this](TShiftState s, int x, int y) { MapImageMouseMove(s, x, y); });
    connect(MapImage, &TMapVyk::MouseUp, this,
            [this](Qt::MouseButton b, TShiftState s, int x, int y) { MapImageMouseUp(b, s, x, y); });
    connect(MapImage, &TMapVyk::DblClick, this, [this] { MapImageDblClick(); });
    MapScrollBox->setWidget(MapImage);
    column->addWidget(MapScrollBox, 1);

    buildStatusBar();
    column->addWidget(MapStatusBar);

    buildLayerList();
    connectStyleToolBars();

    TimerIncome = new QTimer(this);
    TimerIncome->setObjectName(QStringLiteral("TimerIncome"));
    platform::setFormClass(TimerIncome, "TTimer");
    TimerIncome->setInterval(10000);
    connect(TimerIncome, &QTimer::timeout, this, [this] { TimerIncomeTimer(); });
}

void TTolvane::buildActions()
{
    QObject *al = ActionList1;
    const QString screen = QStringLiteral("Screen"), map = QStringLiteral("Map"), layer = QStringLiteral("Layer"),
                  objects = QStringLiteral("Objects");
    aZoomIn = listAction(al, "aZoomIn", QStringLiteral("Уменьшить"), screen, QKeySequence(Qt::Key_F3),
                         QStringLiteral("Уменьшение рисунка"));
    aCopyObjects = listAction(al, "aCopyObjects", QStringLiteral("aCopyObjects"), map,
                              QKeySequence(Qt::CTRL | Qt::Key_C));
    aEditInfo = listAction(al, "aEditInfo", QStringLiteral("EditInfo"), QString(), QKeySequence(Qt::CTRL | Qt::Key_A));
    aCutObjects = listAction(al, "aCutObjects", QStringLiteral("aCutObjects"), map, QKeySequence(Qt::CTRL | Qt::Key_X));
    aPriorObject = listAction(al, "aPriorObject", QStringLiteral("aPriorObject"), QString(),
                              QKeySequence(Qt::CTRL | Qt::Key_Left));
    aNextObject = listAction(al, "aNextObject", QStringLiteral("aNextObject"), QString(),
                             QKeySequence(Qt::CTRL | Qt::Key_Right));
    aPasteObjects = listAction(al, "aPasteObjects", QStringLiteral("aPasteObjects"), map,
                               QKeySequence(Qt::CTRL | Qt::Key_V));
    aDeleteObjects = listAction(al, "aDeleteObjects", QStringLiteral("aDeleteObjects"), map,
                                QKeySequence(Qt::CTRL | Qt::Key_Delete));
    aCancelDraw = listAction(al, "aCancelDraw", QStringLiteral("aCancelDraw"), QString());
    aZoomOut = listAction(al, "aZoomOut", QStringLiteral("Увеличить"), screen, QKeySequence(Qt::Key_F4),
                          QStringLiteral("Увеличение рисунка"));
    aVykView = listAction(al, "aVykView", QStringLiteral("Просмотр объекта"), QString(), QKeySequence(Qt::Key_F6));
    aOpenLayer = listAction(al, "aOpenLayer", QStringLiteral("Открыть ..."), layer, {},
                            QStringLiteral("Открыть слой"));
    aCloseLayer = listAction(al, "aCloseLayer", QStringLiteral("Закрыть слой"), layer, {},
                             QStringLiteral("Закрыть слой"));
    aSplit = listAction(al, "aSplit", QStringLiteral("Объединение"), objects, {}, QStringLiteral("Объединение"));
    aUnSplit = listAction(al, "aUnSplit", QStringLiteral("Разъединение"), objects, {},
                          QStringLiteral("Разъединение"));
    aSaveLayer = listAction(al, "aSaveLayer", QStringLiteral("Сохранить"), layer, {},
                            QStringLiteral("Сохранить слой"));
    aRevase = listAction(al, "aRevase", QStringLiteral("Изменить направление"), objects, {},
                         QStringLiteral("Изменить направление"));
    aProLayer = listAction(al, "aProLayer", QStringLiteral("Параметры слоя"), layer, {},
                           QStringLiteral("Параметры слоя"));
    aProData = listAction(al, "aProData", QStringLiteral("Параметры базы данных"), layer, {},
                          QStringLiteral("Параметры базы данных"));
    aProView = listAction(al, "aProView", QStringLiteral("Параметры отображеия"), layer, {},
                          QStringLiteral("Параметры отображеия"));
    aListImage = listAction(al, "aListImage", QStringLiteral("Инспектр изображений"), layer, {},
                            QStringLiteral("Инспектр изображений"));
    aBufferForPoint = listAction(al, "aBufferForPoint", QStringLiteral("Буфферная зона для точек"), objects, {},
                                 QStringLiteral("Расчёт буфферной зоны для точек"));
    aBufferForLine = listAction(al, "aBufferForLine", QStringLiteral("Буфферная зона для линий"), objects, {},
                                QStringLiteral("Расчёт буфферной зоны для линий"));
    aBufferForPoly = listAction(al, "aBufferForPoly", QStringLiteral("Буфферная зона для полигонов"), objects, {},
                                QStringLiteral("Расчёт буфферной зоны для полигонов"));
    aSaveSelected = listAction(al, "aSaveSelected", QStringLiteral("Сохранить выбранные"), objects, {},
                               QStringLiteral("Сохранить выбранные"));
    aStatistic = listAction(al, "aStatistic", QStringLiteral("Статистика"), QString());

    const std::pair<QAction *, void (TTolvane::*)()> handlers[] = {
        {aZoomIn, &TTolvane::aZoomInExecute},
        {aCopyObjects, &TTolvane::aCopyObjectsExecute},
        {aEditInfo, &TTolvane::aEditInfoExecute},
        {aPriorObject, &TTolvane::aPriorObjectExecute},
        {aNextObject, &TTolvane::aNextObjectExecute},
        {aPasteObjects, &TTolvane::aPasteObjectsExecute},
        {aZoomOut, &TTolvane::aZoomOutExecute},
        {aVykView, &TTolvane::aVykViewExecute},
        {aOpenLayer, &TTolvane::aOpenLayerExecute},
        {aCloseLayer, &TTolvane::aCloseLayerExecute},
        {aSplit, &TTolvane::aSplitExecute},
        {aUnSplit, &TTolvane::aUnSplitExecute},
        {aSaveLayer, &TTolvane::aSaveLayerExecute},
        {aRevase, &TTolvane::aRevaseExecute},
        {aProLayer, &TTolvane::aProLayerExecute},
        {aProData, &TTolvane::aProDataExecute},
        {aProView, &TTolvane::aProViewExecute},
        {aListImage, &TTolvane::aListImageExecute},
        {aBufferForPoint, &TTolvane::aBufferForPointExecute},
        {aBufferForLine, &TTolvane::aBufferForLineExecute},
        {aBufferForPoly, &TTolvane::aBufferForPolyExecute},
        {aSaveSelected, &TTolvane::aSaveSelectedExecute},
    };
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });

    // The list's shortcuts work while the map window (or a control in it)
    // has the focus. Where a menu item of the main menu has the same key, the
    // menu item takes it, as menus come before action lists.
    for (QAction *a : ActionList1->findChildren<QAction *>(Qt::FindDirectChildrenOnly)) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
    aEditInfo->setShortcutContext(Qt::WidgetShortcut);
    aDeleteObjects->setShortcutContext(Qt::WidgetShortcut);
}

void TTolvane::buildMainMenu()
{
    QMenuBar *bar = MainMenu1;

    // "Проект"
    N1 = topMenu(bar, this, "N1", QStringLiteral("Проект"));
    nFileNew = menuItem(N1, "nFileNew", QStringLiteral("Новый..."), {}, [this] { nFileNewClick(); });
    nFileOpen = menuItem(N1, "nFileOpen", QStringLiteral("Открыть..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                         [this] { nFileOpenClick(); });
    nFileSave = menuItem(N1, "nFileSave", QStringLiteral("Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S),
                         [this] { nFileSaveClick(); });
    nFileSaveAs = menuItem(N1, "nFileSaveAs", QStringLiteral("Сохранить как..."), {}, [this] { nFileSaveAsClick(); });
    separatorItem(N1, "N53");
    N54 = menuItem(N1, "N54", QStringLiteral("Экспорт..."), {}, [this] { N54Click(); });
    N27 = menuItem(N1, "N27", QStringLiteral("Выход"));
    N27->setVisible(false);

    // "Слой"
    N111 = topMenu(bar, this, "N111", QStringLiteral("Слой"));
    connect(N111, &QMenu::aboutToShow, this, [this] { N111Click(); });
    mOpenLayer = linkedItem(N111, "mOpenLayer", aOpenLayer);
    mNewLayer = subMenu(N111, "mNewLayer", QStringLiteral("Создать"));
    mNewLayerPoint = menuItem(mNewLayer, "mNewLayerPoint", QStringLiteral("точки"), {},
                              [this] { nNewLayerPointClick(); });
    mNewLayerPolyline = menuItem(mNewLayer, "mNewLayerPolyline", QStringLiteral("полилинии"), {},
                                 [this] { nNewLayerPolylineClick(); });
    mNewLayerPoligon = menuItem(mNewLayer, "mNewLayerPoligon", QStringLiteral("полигоны"), {},
                                [this] { nNewLayerPoligonClick(); });
    In42 = menuItem(mNewLayer, "In42", QStringLiteral("полигоны (формат In4)"), {}, [this] { In41Click(); });
    mNewLayerImage = menuItem(mNewLayer, "mNewLayerImage", QStringLiteral("изображение"), {},
                              [this] { nNewLayerImageClick(); });
    N84 = menuItem(mNewLayer, "N84", QStringLiteral("косметический"), {}, [this] { N84Click(); });
    mCreateLayerNav = menuItem(mNewLayer, "mCreateLayerNav", QStringLiteral("навигация"), {},
                               [this] { mCreateLayerNavClick(); });
    N141 = separatorItem(mNewLayer, "N141");
    mNewLayerZone = menuItem(mNewLayer, "mNewLayerZone", QStringLiteral("кадастровые зоны"), {},
                             [this] { nNewLayerZoneClick(); });
    mNewLayerBlock = menuItem(mNewLayer, "mNewLayerBlock", QStringLiteral("кадастровые кварталы"), {},
                              [this] { nNewLayerBlockClick(); });
    mNewLayerLand = menuItem(mNewLayer, "mNewLayerLand", QStringLiteral("земельные участки"), {},
                             [this] { nNewLayerLandClick(); });
    mNewLayerPlan = menuItem(mNewLayer, "mNewLayerPlan", QStringLiteral("внутрихозяйственное устройство"), {},
                             [this] { nNewLayerPlanClick(); });
    mNewLayerAgro = menuItem(mNewLayer, "mNewLayerAgro", QStringLiteral("почвенная характеристика"), {},
                             [this] { nNewLayerAgroClick(); });
    mNewLayerServ = menuItem(mNewLayer, "mNewLayerServ", QStringLiteral("сервитуты"), {},
                             [this] { nNewLayerServClick(); });
    mNewLayerLim = menuItem(mNewLayer, "mNewLayerLim", QStringLiteral("ограничения"), {},
                            [this] { nNewLayerLimClick(); });
    mNewLayerLease = menuItem(mNewLayer, "mNewLayerLease", QStringLiteral("аренда"), {},
                              [this] { nNewLayerLeaseClick(); });
    mCreateLayerIn4 = menuItem(mNewLayer, "mCreateLayerIn4", QStringLiteral("обменные файлы"), {},
                               [this] { mCreateLayerIn4Click(); });
    mNewLayerL1 = separatorItem(mNewLayer, "mNewLayerL1");
    mNewLayerEstimate = menuItem(mNewLayer, "mNewLayerEstimate", QStringLiteral("граница населённых пунктов"), {},
                                 [this] { nNewLayerEstimateClick(); });
    mNewLayerEstZone = menuItem(mNewLayer, "mNewLayerEstZone", QStringLiteral("оценочные зоны"), {},
                                [this] { nNewLayerEstZoneClick(); });
    mNewLayerEstAgro = menuItem(mNewLayer, "mNewLayerEstAgro", QStringLiteral("почвенная характеристика"), {},
                                [this] { nNewLayerEstAgroClick(); });
    mNewLayerEstPoint = menuItem(mNewLayer, "mNewLayerEstPoint", QStringLiteral("локальные факторы - точки"), {},
                                 [this] { nNewLayerEstPointClick(); });
    mNewLayerEstLine = menuItem(mNewLayer, "mNewLayerEstLine", QStringLiteral("локальные факторы - линии"), {},
                                [this] { nNewLayerEstLineClick(); });
    mNewLayerEstPoly = menuItem(mNewLayer, "mNewLayerEstPoly", QStringLiteral("локальные факторы - полигоны"), {},
                                [this] { nNewLayerEstPolyClick(); });
    mLayerSave = linkedItem(N111, "mLayerSave", aSaveLayer);
    mLayerSaveAll = menuItem(N111, "mLayerSaveAll", QStringLiteral("Сохранить все"), {},
                             [this] { mLayerSaveAllClick(); });
    mLayerSaveAs = menuItem(N111, "mLayerSaveAs", QStringLiteral("Сохранить как..."), {},
                            [this] { nLayerSaveAsClick(); });
    mLayerClose = linkedItem(N111, "mLayerClose", aCloseLayer);
    separatorItem(N111, "N112");
    nPropertiesLayer = linkedItem(N111, "nPropertiesLayer", aProLayer);
    mEditTable = linkedItem(N111, "mEditTable", aProData);
    mListImage = linkedItem(N111, "mListImage", aListImage);
    mProLegend = linkedItem(N111, "mProLegend", aProView);
    separatorItem(N111, "N113");
    mShift = menuItem(N111, "mShift", QStringLiteral("Смещение координат"), {}, [this] { mShiftClick(); });
    mTransformXY = menuItem(N111, "mTransformXY", QStringLiteral("Преобразование координат"), {},
                            [this] { mTransformXYClick(); });
    mTransformKey = menuItem(N111, "mTransformKey", QStringLiteral("Преобразование по ключу"), {},
                             [this] { mTransformKeyClick(); });
    mTransformSys = menuItem(N111, "mTransformSys", QStringLiteral("Преобразование системы"), {},
                             [this] { mTransformSysClick(); });
    mTransformPro = menuItem(N111, "mTransformPro", QStringLiteral("Преобразование проекции"), {},
                             [this] { mTransformProClick(); });
    mLayerRecalc = menuItem(N111, "mLayerRecalc", QStringLiteral("Пересчёт слоя"), {}, [this] { mLayerRecalcClick(); });
    separatorItem(N111, "N114");
    mImport = menuItem(N111, "mImport", QStringLiteral("Импорт..."), QKeySequence(Qt::CTRL | Qt::Key_I),
                       [this] { mImportClick(); });
    N21 = menuItem(N111, "N21", QStringLiteral("Экспорт..."), QKeySequence(Qt::CTRL | Qt::Key_E));
    N21->setEnabled(false);

    // "Поиск"
    N122 = topMenu(bar, this, "N122", QStringLiteral("Поиск"));
    N121 = menuItem(N122, "N121", QStringLiteral("Быстрый поиск"), QKeySequence(Qt::Key_F7), [this] { N121Click(); });
    N35 = menuItem(N122, "N35", QStringLiteral("Найти..."), QKeySequence(Qt::CTRL | Qt::Key_F), [this] { N35Click(); });
    N57 = menuItem(N122, "N57", QStringLiteral("Продолжить поиск"), QKeySequence(Qt::CTRL | Qt::Key_N),
                   [this] { N57Click(); });

    // "Правка"
    menuEdit = topMenu(bar, this, "menuEdit", QStringLiteral("Правка"));
    connect(menuEdit, &QMenu::aboutToShow, this, [this] { menuEditClick(); });
    // Undo and redo of the menu and their keys do what the tool buttons do,
    // and are available when they are.
    N28 = menuItem(menuEdit, "N28", QStringLiteral("Отменить"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                   [this] { tbUndoClick(); });
    N28->setEnabled(false);
    N29 = menuItem(menuEdit, "N29", QStringLiteral("Вернуть"), QKeySequence(Qt::CTRL | Qt::Key_Y),
                   [this] { tbRedoClick(); });
    N29->setEnabled(false);
    separatorItem(menuEdit, "N30");
    nObjectNew = menuItem(menuEdit, "nObjectNew", QStringLiteral("Создать"), {}, [this] { nObjectNewClick(); });
    nObjectEdit = menuItem(menuEdit, "nObjectEdit", QStringLiteral("Изменить"), {}, [this] { nObjectEditClick(); });
    nSatistic = menuItem(menuEdit, "nSatistic", QStringLiteral("Статистика"), {}, [this] { nSatisticClick(); });
    separatorItem(menuEdit, "N34");
    N32 = menuItem(menuEdit, "N32", QStringLiteral("Копировать"), QKeySequence(Qt::CTRL | Qt::Key_C));
    N32->setEnabled(false);
    N98 = menuItem(menuEdit, "N98", QStringLiteral("Вставить"), QKeySequence(Qt::CTRL | Qt::Key_V));
    N98->setEnabled(false);
    N31 = menuItem(menuEdit, "N31", QStringLiteral("Вырезать"), QKeySequence(Qt::CTRL | Qt::Key_X));
    N31->setEnabled(false);
    mObjectDelete = menuItem(menuEdit, "mObjectDelete", QStringLiteral("Удалить"),
                             QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { mObjectDeleteClick(); });
    mRevase = linkedItem(menuEdit, "mRevase", aRevase);
    mSplit = linkedItem(menuEdit, "mSplit", aSplit);
    mUnSplit = linkedItem(menuEdit, "mUnSplit", aUnSplit);
    separatorItem(menuEdit, "N43");
    mBufferForPoint = linkedItem(menuEdit, "mBufferForPoint", aBufferForPoint);
    mBufferForLine = linkedItem(menuEdit, "mBufferForLine", aBufferForLine);
    mBufferForPoly = linkedItem(menuEdit, "mBufferForPoly", aBufferForPoly);
    separatorItem(menuEdit, "N50");
    nEditInfo = menuItem(menuEdit, "nEditInfo", QStringLiteral("Параметров"), QKeySequence(Qt::CTRL | Qt::Key_A),
                         [this] { nEditInfoClick(); });
    separatorItem(menuEdit, "N59");
    nSnapPoint = menuItem(menuEdit, "nSnapPoint", QStringLiteral("Прилипание к точкам"),
                          QKeySequence(Qt::ALT | Qt::Key_S), [this] { nSnapPointClick(); });
    nSnapPoint->setCheckable(true);
    nSnapPoint->setChecked(true);
    nSnapLine = menuItem(menuEdit, "nSnapLine", QStringLiteral("Прилипание к линиям"),
                         QKeySequence(Qt::SHIFT | Qt::Key_S), [this] { nSnapLineClick(); });
    nSnapLine->setCheckable(true);
    nPointIns = menuItem(menuEdit, "nPointIns", QStringLiteral("Автосоздание точки"), {}, [this] { nPointInsClick(); });
    nPointDel = menuItem(menuEdit, "nPointDel", QStringLiteral("Автоудаление точки"), {}, [this] { nPointDelClick(); });
    // A double click of the edit tool inserts or deletes a vertex from the
    // start; a project may store them off.
    for (QAction *a : {nPointIns, nPointDel}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    nAutoNum = menuItem(menuEdit, "nAutoNum", QStringLiteral("Параметр автонумерации"), {},
                        [this] { nAutoNumClick(); });
    // The checked items toggle themselves; their handlers see the new state.

    // "Вид"
    N4 = topMenu(bar, this, "N4", QStringLiteral("Вид"));
    N36 = menuItem(N4, "N36", QStringLiteral("Обновить экран"), {}, [this] { N36Click(); });
    N96 = menuItem(N4, "N96", QStringLiteral("Обновить менеджер объектов"), {}, [this] { N96Click(); });
    separatorItem(N4, "N62");
    N49 = menuItem(N4, "N49", QStringLiteral("Предшествующий масштаб"), {}, [this] { tbPriorZoomClick(); });
    N58 = menuItem(N4, "N58", QStringLiteral("Следующий масштаб"), {}, [this] { tbNextZoomClick(); });
    nViewLayers = menuItem(N4, "nViewLayers", QStringLiteral("Все слои"), QKeySequence(Qt::Key_F5),
                           [this] { TbViewLayersClick(); });
    nViewObjects = menuItem(N4, "nViewObjects", QStringLiteral("Все объекты слоя"), QKeySequence(Qt::Key_F8),
                            [this] { nViewObjectsClick(); });
    nViewPoint = menuItem(N4, "nViewPoint", QStringLiteral("Позиционирование"), {}, [this] { nViewPointClick(); });
    N51 = subMenu(N4, "N51", QStringLiteral("Шкала"));
    for (int i = 0; i < 19; ++i) {
        const QByteArray name = "NM" + QByteArray::number(i + 1);
        NM[i] = menuItem(N51, name.constData(), scaleCaption(ScaleDenominators[i]), {}, {},
                         QString::number(ScaleDenominators[i]));
        QAction *item = NM[i];
        connect(item, &QAction::triggered, this, [this, item] { NM1Click(item); });
    }
    nView = menuItem(N4, "nView", QStringLiteral("Центр"));
    nView->setEnabled(false);
    mZoomIn = linkedItem(N4, "mZoomIn", aZoomIn);
    mZoomOut = linkedItem(N4, "mZoomOut", aZoomOut);
    ShowFilterGroup = new QActionGroup(this);
    ShowFilterGroup->setObjectName(QStringLiteral("ShowFilterGroup"));
    nShowAll = menuItem(N4, "nShowAll", QStringLiteral("Все участки"), {}, [this] { nShowAllClick(); });
    nShowMark = menuItem(N4, "nShowMark", QStringLiteral("Отмеченные"), {}, [this] { nShowMarkClick(); });
    nShowFilter = menuItem(N4, "nShowFilter", QStringLiteral("Отфильтрованные"), {}, [this] { nShowFilterClick(); });
    for (QAction *a : {nShowAll, nShowMark, nShowFilter}) {
        a->setCheckable(true);
        ShowFilterGroup->addAction(a);
    }
    nShowAll->setChecked(true);
    nShowActive = menuItem(N4, "nShowActive", QStringLiteral("Активные"), {}, [this] { nShowActiveClick(); });
    nShowPassive = menuItem(N4, "nShowPassive", QStringLiteral("Пассивные"), {}, [this] { nShowActiveClick(); });
    nShowDelete = menuItem(N4, "nShowDelete", QStringLiteral("Удалённые"), {}, [this] { nShowActiveClick(); });
    nShowOther = menuItem(N4, "nShowOther", QStringLiteral("Прочие"), {}, [this] { nShowActiveClick(); });
    for (QAction *a : {nShowActive, nShowPassive, nShowDelete, nShowOther}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    for (QAction *a : {nShowAll, nShowMark, nShowFilter, nShowActive, nShowPassive, nShowDelete, nShowOther})
        a->setVisible(false);

    // "Формат" (hidden; no commands)
    N3 = topMenu(bar, this, "N3", QStringLiteral("Формат"));
    menuItem(N3, "N39", QStringLiteral("Слой..."));
    menuItem(N3, "N40", QStringLiteral("Цвет линии..."));
    menuItem(N3, "N42", QStringLiteral("Толщина линии..."));
    menuItem(N3, "N41", QStringLiteral("Тип линии..."));
    menuItem(N3, "N56", QStringLiteral("Цвет фона..."));
    menuItem(N3, "N63", QStringLiteral("Штриховка..."));
    menuItem(N3, "N44", QStringLiteral("Стиль текста..."));
    menuItem(N3, "N45", QStringLiteral("Стиль измерения..."));
    menuItem(N3, "N46", QStringLiteral("Стиль точки..."));
    N3->menuAction()->setVisible(false);

    // "Рисование" (hidden; its keys still work)
    N47 = topMenu(bar, this, "N47", QStringLiteral("Рисование"));
    menuItem(N47, "N37", QStringLiteral("Точки"));
    menuItem(N47, "N60", QStringLiteral("Линия"));
    menuItem(N47, "N61", QStringLiteral("Полигон"));
    menuItem(N47, "N106", QStringLiteral("Текст"));
    menuItem(N47, "N107", QStringLiteral("Обозначения"));
    N64 = menuItem(N47, "N64", QStringLiteral("Отменить"), QKeySequence(Qt::Key_Escape));
    NDelPoint = menuItem(N47, "NDelPoint", QStringLiteral("Удалить"), QKeySequence(Qt::Key_Delete),
                         [this] { NDelPointClick(); });
    NDelPoint->setEnabled(false);
    N47->menuAction()->setVisible(false);
    for (QAction *a : {N64, NDelPoint}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }

    // "Изменить" (hidden; no commands)
    N48 = topMenu(bar, this, "N48", QStringLiteral("Изменить"));
    menuItem(N48, "N68", QStringLiteral("Пареметры объекта"))->setEnabled(false);
    N99 = subMenu(N48, "N99", QStringLiteral("Тип объекта"));
    menuItem(N99, "N100", QStringLiteral("точки"));
    menuItem(N99, "N101", QStringLiteral("линия"));
    menuItem(N99, "N102", QStringLiteral("полигон"));
    menuItem(N99, "N103", QStringLiteral("текст"));
    menuItem(N99, "N104", QStringLiteral("обозначения"));
    N48->menuAction()->setVisible(false);

    // "Печать"
    N129 = topMenu(bar, this, "N129", QStringLiteral("Печать"));
    N130 = menuItem(N129, "N130", QStringLiteral("Открыть"), {}, [this] { N130Click(); });
    N131 = menuItem(N129, "N131", QStringLiteral("Изменить"), {}, [this] { N131Click(); });
    N132 = menuItem(N129, "N132", QStringLiteral("Создать"));
    N132->setEnabled(false);
    separatorItem(N129, "N133");
    N134 = menuItem(N129, "N134", QStringLiteral("Ведомость координат"), QKeySequence(Qt::CTRL | Qt::Key_T),
                    [this] { N134Click(); });
    N33 = menuItem(N129, "N33", QStringLiteral("Карта"), QKeySequence(Qt::ALT | Qt::Key_P), [this] { N33Click(); });
    N135 = menuItem(N129, "N135", QStringLiteral("План"), QKeySequence(Qt::CTRL | Qt::Key_P), [this] { N135Click(); });
    N52 = menuItem(N129, "N52", QStringLiteral("Рисунок"), {}, [this] { N52Click(); });
    N124 = menuItem(N129, "N124", QStringLiteral("Чертёж"), {}, [this] { N124Click(); });
    N95 = menuItem(N129, "N95", QStringLiteral("Планшет"), {}, [this] { N95Click(); });

    // "Сервис" (hidden; no commands)
    N108 = topMenu(bar, this, "N108", QStringLiteral("Сервис"));
    menuItem(N108, "N109", QStringLiteral("Создание растровой сетки ..."));
    N108->menuAction()->setVisible(false);

    // "Окна"
    mWindows = topMenu(bar, this, "mWindows", QStringLiteral("Окна"));
    wOrder = menuItem(mWindows, "wOrder", QStringLiteral("Заказы"), {}, [this] { wOrderClick(); });
    wCertificate = menuItem(mWindows, "wCertificate", QStringLiteral("Сертификаты"), {},
                            [this] { wCertificateClick(); });
    N116 = menuItem(mWindows, "N116", QStringLiteral("Земельные участки"), {}, [this] { N116Click(); });
    wBuilding = menuItem(mWindows, "wBuilding", QStringLiteral("Недвижимость"), {}, [this] { wBuildingClick(); });
    N117 = menuItem(mWindows, "N117", QStringLiteral("Техническая документация"), {}, [this] { N117Click(); });
    N123 = menuItem(mWindows, "N123", QStringLiteral("Государственные акты"), {}, [this] { N123Click(); });
    N126 = menuItem(mWindows, "N126", QStringLiteral("Договора аренды"), {}, [this] { N126Click(); });
    wBookReg = menuItem(mWindows, "wBookReg", QStringLiteral("Книги регистрации"), {}, [this] { wBookRegClick(); });
    N125 = menuItem(mWindows, "N125", QStringLiteral("Регистрационные карточки"), {}, [this] { N125Click(); });
    N89 = menuItem(mWindows, "N89", QStringLiteral("Денежная оценка"), {}, [this] { N89Click(); });
    N127 = menuItem(mWindows, "N127", QStringLiteral("Карта"), {}, [this] { N127Click(); });
    separatorItem(mWindows, "N118");
    N17 = menuItem(mWindows, "N17", QStringLiteral("Каскадом"), {}, [this] { N17Click(); });
    N128 = menuItem(mWindows, "N128", QStringLiteral("Мозаика"), {}, [this] { N128Click(); });
    N11 = menuItem(mWindows, "N11", QStringLiteral("Вертикально"), {}, [this] { N11Click(); });
    N55 = menuItem(mWindows, "N55", QStringLiteral("Горизонтально"), {}, [this] { N55Click(); });
    const char *hiddenWindowItems[] = {"NZoom",  "NPick",   "NPoints",    "NMarks",    "NText",  "NSymbol",
                                       "NLayers", "NInform", "NShowMarks", "NShowNum", "NShowLen"};
    const QString hiddenCaptions[] = {QStringLiteral("Масштаб"),   QStringLiteral("Выбор"),
                                      QStringLiteral("Точки"),     QStringLiteral("Пометки"),
                                      QStringLiteral("Текст"),     QStringLiteral("Символы"),
                                      QStringLiteral("Слои"),      QStringLiteral("Информация"),
                                      QStringLiteral("Пометки на карте"), QStringLiteral("Номера точек"),
                                      QStringLiteral("Длины линий")};
    for (int i = 0; i < 11; ++i)
        menuItem(mWindows, hiddenWindowItems[i], hiddenCaptions[i])->setVisible(false);

    // "Отображение"
    N8 = topMenu(bar, this, "N8", QStringLiteral("Отображение"));
    nShowGreed = menuItem(N8, "nShowGreed", QStringLiteral("координатной сетки"), {}, [this] { nShowGreedClick(); });
    nShowCenter = menuItem(N8, "nShowCenter", QStringLiteral("центра рисунка"), {}, [this] { nShowCenterClick(); });
    nShowGreed->setCheckable(true);
    nShowCenter->setCheckable(true);

    // "?"
    N5 = topMenu(bar, this, "N5", QStringLiteral("?"));
    nHelp = menuItem(N5, "nHelp", QStringLiteral("Помощь"), QKeySequence(Qt::Key_F1), [this] { nHelpClick(); });
    nAbout = menuItem(N5, "nAbout", QStringLiteral("О программе..."), QKeySequence(Qt::CTRL | Qt::Key_F1),
                      [this] { nAboutClick(); });

    // The edit commands are enabled when a menu of the main menu opens.
    for (QMenu *m : {N1, N111, N122, menuEdit, N4, N129, mWindows, N8, N5})
        connect(m, &QMenu::aboutToShow, this, [this] { MainMenu1Change(); });
}

void TTolvane::buildPopupMenus()
{
    // PMenuLayers: the layer commands on the two layer lists.
    PMenuLayers = popupMenu(this, "PMenuLayers");
    connect(PMenuLayers, &QMenu::aboutToShow, this, [this] { PMenuLayersPopup(); });
    nOpenLayer = linkedItem(PMenuLayers, "nOpenLayer", aOpenLayer);
    nNewLayer = subMenu(PMenuLayers, "nNewLayer", QStringLiteral("Создать"));
    nNewLayerPoint = menuItem(nNewLayer, "nNewLayerPoint", QStringLiteral("точки"), {},
                              [this] { nNewLayerPointClick(); });
    nNewLayerPolyline = menuItem(nNewLayer, "nNewLayerPolyline", QStringLiteral("полилинии"), {},
                                 [this] { nNewLayerPolylineClick(); });
    nNewLayerPoligon = menuItem(nNewLayer, "nNewLayerPoligon", QStringLiteral("полигоны"), {},
                                [this] { nNewLayerPoligonClick(); });
    In41 = menuItem(nNewLayer, "In41", QStringLiteral("полигоны (формат In4)"), {}, [this] { In41Click(); });
    nNewLayerImage = menuItem(nNewLayer, "nNewLayerImage", QStringLiteral("изображение"), {},
                              [this] { nNewLayerImageClick(); });
    N18 = menuItem(nNewLayer, "N18", QStringLiteral("косметический"), {}, [this] { N18Click(); });
    N66 = menuItem(nNewLayer, "N66", QStringLiteral("навигация"), {}, [this] { mCreateLayerNavClick(); });
    N24 = separatorItem(nNewLayer, "N24");
    nNewLayerZone = menuItem(nNewLayer, "nNewLayerZone", QStringLiteral("кадастровые зоны"), {},
                             [this] { nNewLayerZoneClick(); });
    nNewLayerBlock = menuItem(nNewLayer, "nNewLayerBlock", QStringLiteral("кадастровые кварталы"), {},
                              [this] { nNewLayerBlockClick(); });
    nNewLayerLand = menuItem(nNewLayer, "nNewLayerLand", QStringLiteral("земельные участки"), {},
                             [this] { nNewLayerLandClick(); });
    nNewLayerPlan = menuItem(nNewLayer, "nNewLayerPlan", QStringLiteral("внутрихозяйственное устройство"), {},
                             [this] { nNewLayerPlanClick(); });
    nNewLayerAgro = menuItem(nNewLayer, "nNewLayerAgro", QStringLiteral("почвенная характеристика"), {},
                             [this] { nNewLayerAgroClick(); });
    nNewLayerServ = menuItem(nNewLayer, "nNewLayerServ", QStringLiteral("сервитуты"), {},
                             [this] { nNewLayerServClick(); });
    nNewLayerLim = menuItem(nNewLayer, "nNewLayerLim", QStringLiteral("ограничения"), {},
                            [this] { nNewLayerLimClick(); });
    nNewLayerLease = menuItem(nNewLayer, "nNewLayerLease", QStringLiteral("аренда"), {},
                              [this] { nNewLayerLeaseClick(); });
    N38 = menuItem(nNewLayer, "N38", QStringLiteral("обменные файлы"), {}, [this] { mCreateLayerIn4Click(); });
    nNewLayerL1 = separatorItem(nNewLayer, "nNewLayerL1");
    nNewLayerEstimate = menuItem(nNewLayer, "nNewLayerEstimate", QStringLiteral("граница населённых пунктов"), {},
                                 [this] { nNewLayerEstimateClick(); });
    nNewLayerEstZone = menuItem(nNewLayer, "nNewLayerEstZone", QStringLiteral("оценочные зоны"), {},
                                [this] { nNewLayerEstZoneClick(); });
    nNewLayerEstAgro = menuItem(nNewLayer, "nNewLayerEstAgro", QStringLiteral("почвенная характеристика"), {},
                                [this] { nNewLayerEstAgroClick(); });
    nNewLayerEstPoint = menuItem(nNewLayer, "nNewLayerEstPoint", QStringLiteral("локальные факторы - точки"), {},
                                 [this] { nNewLayerEstPointClick(); });
    nNewLayerEstLine = menuItem(nNewLayer, "nNewLayerEstLine", QStringLiteral("локальные факторы - линии"), {},
                                [this] { nNewLayerEstLineClick(); });
    nNewLayerEstPoly = menuItem(nNewLayer, "nNewLayerEstPoly", QStringLiteral("локальные факторы - полигоны"), {},
                                [this] { nNewLayerEstPolyClick(); });
    nLayerSave = linkedItem(PMenuLayers, "nLayerSave", aSaveLayer);
    nLayerSaveAs = menuItem(PMenuLayers, "nLayerSaveAs", QStringLiteral("Сохранить как..."), {},
                            [this] { nLayerSaveAsClick(); });
    nLayerClose = linkedItem(PMenuLayers, "nLayerClose", aCloseLayer);
    separatorItem(PMenuLayers, "N67");
    mPropertiesLayer = linkedItem(PMenuLayers, "mPropertiesLayer", aProLayer);
    nEditTable = linkedItem(PMenuLayers, "nEditTable", aProData);
    nProLegend = linkedItem(PMenuLayers, "nProLegend", aProView);
    nListImage = linkedItem(PMenuLayers, "nListImage", aListImage);
    nOpenImage = menuItem(PMenuLayers, "nOpenImage", QStringLiteral("Открыть изображение"), {},
                          [this] { tbOpenImageClick(); });
    // Items of the design without a command.
    separatorItem(PMenuLayers, "N69");
    const QString inert[] = {QStringLiteral("Обновить экран"),
                             QStringLiteral("Обновить менеджер объектов"),
                             QStringLiteral("Пересчитать параментры слоя"),
                             QStringLiteral("Поменять местами Х с Y"),
                             QStringLiteral("Просмотр всех объектов"),
                             QStringLiteral("Просмотр текущего слоя"),
                             QStringLiteral("Просмотр в центре"),
                             QStringLiteral("Переместить в начало списка"),
                             QStringLiteral("Переместить вверх"),
                             QStringLiteral("Переместить вниз"),
                             QStringLiteral("Переместить в конец списка")};
    for (int i = 0; i < 11; ++i) {
        const QByteArray name = "N" + QByteArray::number(150 + i);
        menuItem(PMenuLayers, name.constData(), inert[i]);
    }

    // pMenuPick: the map's menu in the pick tool.
    pMenuPick = popupMenu(this, "pMenuPick");
    connect(pMenuPick, &QMenu::aboutToShow, this, [this] { pMenuPickPopup(); });
    nSelectObject = menuItem(pMenuPick, "nSelectObject", QStringLiteral("Позиционирование"), QKeySequence(Qt::Key_F2),
                             [this] { nSelectObjectClick(); });
    nZoomIn = linkedItem(pMenuPick, "nZoomIn", aZoomIn);
    nZoomOut = linkedItem(pMenuPick, "nZoomOut", aZoomOut);
    separatorItem(pMenuPick, "N80");
    nVYKSelect = menuItem(pMenuPick, "nVYKSelect", QStringLiteral("Выбор объекта"), {}, [this] { nVYKSelectClick(); });
    nVYKEdit = menuItem(pMenuPick, "nVYKEdit", QStringLiteral("Изменить объект"), {}, [this] { nVYKEditClick(); });
    nVYKView = linkedItem(pMenuPick, "nVYKView", aVykView);
    nClickPoint = menuItem(pMenuPick, "nClickPoint", QStringLiteral("Координаты курсора"), {},
                           [this] { nClickPointClick(); });
    nStatistic = menuItem(pMenuPick, "nStatistic", QStringLiteral("Статистика"), {}, [this] { nSatisticClick(); });
    separatorItem(pMenuPick, "N81");
    nVYKOk = menuItem(pMenuPick, "nVYKOk", QStringLiteral("Пометить"), {}, [this] { nVYKOkClick(); });
    nVYKMark = menuItem(pMenuPick, "nVYKMark", QStringLiteral("Маркировать"), {}, [this] { nVYKMarkClick(); });
    nVYKUnOk = menuItem(pMenuPick, "nVYKUnOk", QStringLiteral("Снять пометки"), {}, [this] { nVYKUnOkClick(); });
    nVYKUnMark = menuItem(pMenuPick, "nVYKUnMark", QStringLiteral("Снять маркировку"), {},
                          [this] { nVYKUnMarkClick(); });
    nVYKNumber = menuItem(pMenuPick, "nVYKNumber", QStringLiteral("Нумерация участков"), {},
                          [this] { nVYKNumberClick(); });
    nVYKAutoLabel = menuItem(pMenuPick, "nVYKAutoLabel", QStringLiteral("Расстивить обозначения"), {},
                             [this] { nVYKAutoLabelClick(); });
    nAppendLabel = menuItem(pMenuPick, "nAppendLabel", QStringLiteral("Добавить обозначения"), {},
                            [this] { nAppendLabelClick(); });
    separatorItem(pMenuPick, "N82");
    nObjectCopy = menuItem(pMenuPick, "nObjectCopy", QStringLiteral("Дублировать"), {}, [this] { nObjectCopyClick(); });
    nObjectDelete = menuItem(pMenuPick, "nObjectDelete", QStringLiteral("Удалить"), {},
                             [this] { mObjectDeleteClick(); });
    nRevase = linkedItem(pMenuPick, "nRevase", aRevase);
    nSaveSelected = linkedItem(pMenuPick, "nSaveSelected", aSaveSelected);
    nBufferForPoint = linkedItem(pMenuPick, "nBufferForPoint", aBufferForPoint);
    nBufferForLine = linkedItem(pMenuPick, "nBufferForLine", aBufferForLine);
    nBufferForPoly = linkedItem(pMenuPick, "nBufferForPoly", aBufferForPoly);

    // pMenuObjects: the object list of the information tool.
    pMenuObjects = popupMenu(this, "pMenuObjects");
    pnEditObjects = menuItem(pMenuObjects, "pnEditObjects", QStringLiteral("Параметры"), {},
                             [this] { pnEditObjectsClick(); });
    N65 = menuItem(pMenuObjects, "N65", QStringLiteral("Удалить"), {}, [this] { N65Click(); });
    N119 = menuItem(pMenuObjects, "N119", QStringLiteral("Дублировать"), {}, [this] { N119Click(); });
    pnViewObjects = menuItem(pMenuObjects, "pnViewObjects", QStringLiteral("Просмотр"), {},
                             [this] { pnViewObjectsClick(); });
    pnSelectObject = menuItem(pMenuObjects, "pnSelectObject", QStringLiteral("Позиционирование"), {},
                              [this] { pnSelectObjectClick(); });

    // pMenuDraw: the drawing kinds of pbCosmetic; "Квадрат" is hidden.
    pMenuDraw = popupMenu(this, "pMenuDraw");
    const struct {
        QAction *TTolvane::*item;
        const char *name;
        QString caption, hint;
    } drawKinds[] = {
        {&TTolvane::nDrawPoint, "nDrawPoint", QStringLiteral("Точка"), QStringLiteral("Создание точки")},
        {&TTolvane::nDrawText, "nDrawText", QStringLiteral("Текст"), QStringLiteral("Создание текста")},
        {&TTolvane::nDrawSymbol, "nDrawSymbol", QStringLiteral("Символ"), QStringLiteral("Создание символа")},
        {&TTolvane::nDrawLine, "nDrawLine", QStringLiteral("Отрезок"), QStringLiteral("Создание отрезка")},
        {&TTolvane::nDrawMultiPoint, "nDrawMultiPoint", QStringLiteral("Точки"),
         QStringLiteral("Создание набора точек")},
        {&TTolvane::nDrawPolyLine, "nDrawPolyLine", QStringLiteral("Линия"), QStringLiteral("Создание линии")},
        {&TTolvane::nDrawPolygon, "nDrawPolygon", QStringLiteral("Полигон"), QStringLiteral("Создание полигона")},
        {&TTolvane::nDrawRect, "nDrawRect", QStringLiteral("Квадрат"), QStringLiteral("Создание прямоугольника")},
        {&TTolvane::nDrawArc, "nDrawArc", QStringLiteral("Овал"), QStringLiteral("Создание овала")},
        {&TTolvane::nDrawBizer, "nDrawBizer", QStringLiteral("Кривая"), QStringLiteral("Создание линии Безье")},
    };
    for (const auto &kind : drawKinds) {
        QAction *item = menuItem(pMenuDraw, kind.name, kind.caption, {}, {}, kind.hint);
        this->*kind.item = item;
        connect(item, &QAction::triggered, this, [this, item] { nDrawPointClick(item); });
    }
    nDrawRect->setVisible(false);

    // PMenuScale: the scales of the view's scale button; the last two have no
    // command.
    PMenuScale = popupMenu(this, "PMenuScale");
    for (int i = 0; i < 19; ++i) {
        const QByteArray name = "NS" + QByteArray::number(i + 1);
        NS[i] = menuItem(PMenuScale, name.constData(), scaleCaption(ScaleDenominators[i]), {}, {},
                         QString::number(ScaleDenominators[i]));
        if (i < 17) {
            QAction *item = NS[i];
            connect(item, &QAction::triggered, this, [this, item] { NM1Click(item); });
        }
    }

    // PMenuZoom: the text and symbol scales.
    PMenuZoom = popupMenu(this, "PMenuZoom");
    N105 = menuItem(PMenuZoom, "N105", QStringLiteral("без масштабирования"), {}, {}, QStringLiteral("0"));
    connect(N105, &QAction::triggered, this, [this] { NSelectZoomClick(N105); });
    for (int i = 0; i < 17; ++i) {
        const QByteArray name = "MenuItem" + QByteArray::number(i + 1);
        QAction *item = menuItem(PMenuZoom, name.constData(), scaleCaption(ScaleDenominators[i]), {}, {},
                                 QString::number(ScaleDenominators[i]));
        MenuItemZoom[i] = item;
        connect(item, &QAction::triggered, this, [this, item] { NSelectZoomClick(item); });
    }

    // PMenuSize: font sizes, the value in the caption.
    PMenuSize = popupMenu(this, "PMenuSize");
    const int sizes[18] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 36, 48, 72, 100, 150, 200};
    for (int i = 0; i < 18; ++i) {
        const QByteArray name = "NF" + QByteArray::number(i + 1);
        QAction *item = menuItem(PMenuSize, name.constData(), QString::number(sizes[i]));
        NF[i] = item;
        connect(item, &QAction::triggered, this, [this, item] { NF1Click(item); });
    }

    // PMenuWidth: pen widths in millimetres (hints with a decimal comma).
    PMenuWidth = popupMenu(this, "PMenuWidth");
    const QString widthHints[10] = {QStringLiteral("0,01"), QStringLiteral("0,05"), QStringLiteral("0,1"),
                                    QStringLiteral("0,5"),  QStringLiteral("1"),    QStringLiteral("2"),
                                    QStringLiteral("4"),    QStringLiteral("8"),    QStringLiteral("16"),
                                    QStringLiteral("24")};
    for (int i = 0; i < 10; ++i) {
        const QByteArray name = "N" + QByteArray::number(i + 1) + "10";
        QString caption = widthHints[i];
        caption.replace(u',', u'.');
        QAction *item = menuItem(PMenuWidth, name.constData(), caption + QStringLiteral(" мм"), {}, {}, widthHints[i]);
        NWidth[i] = item;
        connect(item, &QAction::triggered, this, [this, item] { NSelectWidth(item); });
    }

    // pMenuPenMode: pen modes, the code in the hint.
    pMenuPenMode = popupMenu(this, "pMenuPenMode");
    for (const auto &[code, caption] : layerform::penModes()) {
        const QByteArray name = "nPenMode" + QByteArray::number(code);
        QAction *item = menuItem(pMenuPenMode, name.constData(), QString::fromUtf8(caption), {}, {},
                                 QString::number(code));
        nPenMode[code] = item;
        connect(item, &QAction::triggered, this, [this, item] { nPenMode4Click(item); });
    }

    // PMenuStylePlan: fill kinds, the code in the hint.
    PMenuStylePlan = popupMenu(this, "PMenuStylePlan");
    const std::pair<int, QString> fills[14] = {
        {1, QStringLiteral("без заливки")},
        {0, QStringLiteral("сплошная заливка")},
        {4, QStringLiteral("наклонная с права - на лево")},
        {5, QStringLiteral("наклонная с лева - на право")},
        {6, QStringLiteral("клетка")},
        {7, QStringLiteral("клетка наклонная")},
        {2, QStringLiteral("горизонтальные линии")},
        {3, QStringLiteral("вертикальные линии")},
        {8, QStringLiteral("многолетние насаждения")},
        {9, QStringLiteral("сады цитрусовые")},
        {10, QStringLiteral("растительность высокорослая")},
        {11, QStringLiteral("растительность травяная")},
        {12, QStringLiteral("растительность влаголюбивая")},
        {13, QStringLiteral("газоны")}};
    for (int i = 0; i < 14; ++i) {
        const QByteArray name = "NStylePlan" + QByteArray::number(i);
        QAction *item = menuItem(PMenuStylePlan, name.constData(), fills[i].second, {}, {},
                                 QString::number(fills[i].first));
        NStylePlan[i] = item;
        connect(item, &QAction::triggered, this, [this, item] { NStylePlanClick(item); });
    }

    // Line ends, the kind in the hint.
    PMenuStyleArrowLeft = popupMenu(this, "PMenuStyleArrowLeft");
    PMenuStyleArrowRight = popupMenu(this, "PMenuStyleArrowRight");
    const QString ends[10] = {QStringLiteral("без указателя"),        QStringLiteral("сплошная 20°"),
                              QStringLiteral("стрелка 20°"),          QStringLiteral("сплошная 30°"),
                              QStringLiteral("cтрелка 30°"),          QStringLiteral("сплошная 45°"),
                              QStringLiteral("стрелка 45°"),          QStringLiteral("двойная стрелка 45°"),
                              QStringLiteral("линия 90°"),            QStringLiteral("обратная стрелка 45°")};
    for (int i = 0; i < 10; ++i) {
        const QByteArray left = "MenuItem" + QByteArray::number(18 + i);
        const QByteArray right = "MenuItem" + QByteArray::number(33 + i);
        QString rightCaption = ends[i];
        if (i == 4)
            rightCaption = QStringLiteral("стрелка 30°");
        else if (i == 8)
            rightCaption = QStringLiteral("линия под 90°");
        QAction *l = menuItem(PMenuStyleArrowLeft, left.constData(), ends[i], {}, {}, QString::number(i));
        QAction *r = menuItem(PMenuStyleArrowRight, right.constData(), rightCaption, {}, {}, QString::number(i));
        ArrowLeft[i] = l;
        ArrowRight[i] = r;
        connect(l, &QAction::triggered, this, [this, l] { MenuItem18Click(l); });
        connect(r, &QAction::triggered, this, [this, r] { MenuItem33Click(r); });
    }

    // Menus of the design without commands.
    PMenuMarks = popupMenu(this, "PMenuMarks");
    PSelectObject = popupMenu(this, "PSelectObject");
}

void TTolvane::buildToolBars()
{
    auto *rows = new QVBoxLayout(ControlBar);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    auto *row1 = new QHBoxLayout();
    auto *row2 = new QHBoxLayout();
    row1->setSpacing(2);
    row2->setSpacing(2);
    rows->addLayout(row1);
    rows->addLayout(row2);

    // ToolBarMain: the tools, the commands and the active-layer row.
    ToolBarMain = toolBar(ControlBar, "ToolBarMain");
    ToolGroup = new QButtonGroup(this);
    ToolGroup->setObjectName(QStringLiteral("ToolGroup"));
    ToolGroup->setExclusive(true);
    auto tool = [this](const char *name, const QString &hint, const QString &glyph) {
        QToolButton *b = app::toolButton(ToolBarMain, name, hint, app::glyphIcon(glyph));
        b->setCheckable(true);
        ToolGroup->addButton(b);
        ToolBarMain->addWidget(b);
        return b;
    };
    PBZoom = tool("PBZoom", QStringLiteral("Панель масштабирования"), QStringLiteral("⌕"));
    TbLen = tool("TbLen", QStringLiteral("Линейка"), QStringLiteral("↔"));
    tbInfo = tool("tbInfo", QStringLiteral("Информационня панель"), QStringLiteral("i"));
    tbLabel = tool("tbLabel", QStringLiteral("Смещение обозначений"), QStringLiteral("A"));
    PBPick = tool("PBPick", QStringLiteral("Выбор объектов"), QStringLiteral("➚"));
    pbSelect = tool("pbSelect", QStringLiteral("Выбор"), QStringLiteral("⬚"));
    pbDraw = tool("pbDraw", QStringLiteral("Рисовать"), QStringLiteral("✎"));
    pbEdit = tool("pbEdit", QStringLiteral("Изменить"), QStringLiteral("◇"));
    pbCosmetic = tool("pbCosmetic", QStringLiteral("Создание полигона"), QStringLiteral("T"));
    pbCosmetic->setMenu(pMenuDraw);
    pbCosmetic->setPopupMode(QToolButton::MenuButtonPopup);
    PBZoom->setChecked(true);
    connect(pbDraw, &QToolButton::clicked, this, [this] { pbDrawClick(); });
    connect(pbCosmetic, &QToolButton::clicked, this, [this] { pbCosmeticClick(); });
    ToolBarMain->addSeparator();
    tbUndo = app::toolButton(ToolBarMain, "tbUndo", QStringLiteral("Отменить последнее изменение"),
                             app::glyphIcon(QStringLiteral("↶")));
    tbRedo = app::toolButton(ToolBarMain, "tbRedo", QStringLiteral("Восстановить последнее изменение"),
                             app::glyphIcon(QStringLiteral("↷")));
    ToolBarMain->addWidget(tbUndo);
    ToolBarMain->addWidget(tbRedo);
    tbUndo->setEnabled(false);
    tbRedo->setEnabled(false);
    connect(tbUndo, &QToolButton::clicked, this, [this] { tbUndoClick(); });
    connect(tbRedo, &QToolButton::clicked, this, [this] { tbRedoClick(); });
    ToolBarMain->addSeparator();
    tbLayerOpen = actionButton(ToolBarMain, "tbLayerOpen", aOpenLayer, app::glyphIcon(QStringLiteral("⊕"), 0x006000));
    tbLayerClose = actionButton(ToolBarMain, "tbLayerClose", aCloseLayer,
                                app::glyphIcon(QStringLiteral("⊖"), 0x900000));
    tbProLayer = actionButton(ToolBarMain, "tbProLayer", aProLayer, app::glyphIcon(QStringLiteral("☰")));
    tbProData = actionButton(ToolBarMain, "tbProData", aProData, app::glyphIcon(QStringLiteral("▦")));
    tbProView = actionButton(ToolBarMain, "tbProView", aProView, app::glyphIcon(QStringLiteral("◐")));
    tbOpenImage = app::toolButton(ToolBarMain, "tbOpenImage", QStringLiteral("Открыть изображение"),
                                  app::glyphIcon(QStringLiteral("▨")));
    ToolBarMain->addWidget(tbOpenImage);
    connect(tbOpenImage, &QToolButton::clicked, this, [this] { tbOpenImageClick(); });
    tbSaveLayer = actionButton(ToolBarMain, "tbSaveLayer", aSaveLayer, app::glyphIcon(QStringLiteral("⤓")));
    tbTrimTrac = app::toolButton(ToolBarMain, "tbTrimTrac", QStringLiteral("Запрос для навигационного слоя"),
                                 app::glyphIcon(QStringLiteral("⌁")));
    tbTrimTrac->setCheckable(true);
    connect(tbTrimTrac, &QToolButton::clicked, this, [this] { tbTrimTracClick(); });
    ToolBarMain->addWidget(tbTrimTrac)->setVisible(false);
    ToolBarMain->addSeparator();
    LayerRowPanel = new QWidget(ToolBarMain);
    LayerRowPanel->setObjectName(QStringLiteral("LayerRowPanel"));
    platform::setFormClass(LayerRowPanel, "TPanel");
    ToolBarMain->addWidget(LayerRowPanel);
    row1->addWidget(ToolBarMain);

    // ToolBar1: project buttons.
    ToolBar1 = toolBar(ControlBar, "ToolBar1");
    tbOpenProject = app::toolButton(ToolBar1, "tbOpenProject", QStringLiteral("Открыть проект"),
                                    app::glyphIcon(QStringLiteral("📂")));
    tbSaveProject = app::toolButton(ToolBar1, "tbSaveProject", QStringLiteral("Сохранить проект"),
                                    app::glyphIcon(QStringLiteral("💾")));
    ToolBar1->addWidget(tbOpenProject);
    ToolBar1->addWidget(tbSaveProject);
    connect(tbOpenProject, &QToolButton::clicked, this, [this] { tbOpenProjectClick(); });
    connect(tbSaveProject, &QToolButton::clicked, this, [this] { tbSaveProjectClick(); });
    row1->addWidget(ToolBar1);

    // ToolBarView: view commands and the scale field.
    ToolBarView = toolBar(ControlBar, "ToolBarView");
    TbViewLayers = app::toolButton(ToolBarView, "TbViewLayers", QStringLiteral("Просмотр всех объектов"),
                                   app::glyphIcon(QStringLiteral("⛶")));
    TbViewObjects = app::toolButton(ToolBarView, "TbViewObjects", QStringLiteral("Просмотр текущего объекта"),
                                    app::glyphIcon(QStringLiteral("▢")));
    TbSelectObject = app::toolButton(ToolBarView, "TbSelectObject", QStringLiteral("Позиционирование на объект"),
                                     app::glyphIcon(QStringLiteral("⌖")));
    tbPriorZoom = app::toolButton(ToolBarView, "tbPriorZoom", QStringLiteral("Предшествующий масштаб"),
                                  app::glyphIcon(QStringLiteral("◁")));
    tbNextZoom = app::toolButton(ToolBarView, "tbNextZoom", QStringLiteral("Следующий масштаб"),
                                 app::glyphIcon(QStringLiteral("▷")));
    for (QToolButton *b : {TbViewLayers, TbViewObjects, TbSelectObject, tbPriorZoom, tbNextZoom})
        ToolBarView->addWidget(b);
    connect(TbViewLayers, &QToolButton::clicked, this, [this] { TbViewLayersClick(); });
    connect(TbViewObjects, &QToolButton::clicked, this, [this] { TbViewObjectsClick(); });
    connect(TbSelectObject, &QToolButton::clicked, this, [this] { TbSelectObjectClick(); });
    connect(tbPriorZoom, &QToolButton::clicked, this, [this] { tbPriorZoomClick(); });
    connect(tbNextZoom, &QToolButton::clicked, this, [this] { tbNextZoomClick(); });
    Bevel10 = new QFrame(ToolBarView);
    Bevel10->setObjectName(QStringLiteral("Bevel10"));
    platform::setFormClass(Bevel10, "TBevel");
    auto *scaleRow = new QHBoxLayout(Bevel10);
    scaleRow->setContentsMargins(1, 1, 1, 1);
    scaleRow->setSpacing(0);
    EditScale = edit(Bevel10, "EditScale", 70, QStringLiteral("Масштаб"));
    EditScale->installEventFilter(this);
    SBScale1 = speedButton(Bevel10, "SBScale1", QStringLiteral("Масштаб"), QStringLiteral("▾"));
    connect(SBScale1, &QToolButton::clicked, this, [this] { SBScale1MouseUp(); });
    scaleRow->addWidget(EditScale);
    scaleRow->addWidget(SBScale1);
    ToolBarView->addWidget(Bevel10);
    row1->addWidget(ToolBarView);
    row1->addStretch(1);

    // ToolBarZoom: the zoom tool's sub-modes and the steps.
    ToolBarZoom = toolBar(ControlBar, "ToolBarZoom");
    TBZoom = app::toolButton(ToolBarZoom, "TBZoom", QStringLiteral("Масштабирование"),
                             app::glyphIcon(QStringLiteral("⌕")));
    TBMove = app::toolButton(ToolBarZoom, "TBMove", QStringLiteral("Смещение"), app::glyphIcon(QStringLiteral("✥")));
    auto *zoomGroup = new QButtonGroup(this);
    zoomGroup->setObjectName(QStringLiteral("ZoomGroup"));
    for (QToolButton *b : {TBZoom, TBMove}) {
        b->setCheckable(true);
        zoomGroup->addButton(b);
    }
    TBZoom->setChecked(true);
    tbZoomOut = app::toolButton(ToolBarZoom, "tbZoomOut", QStringLiteral("Увеличение"),
                                app::glyphIcon(QStringLiteral("+")));
    tbZoomIn = app::toolButton(ToolBarZoom, "tbZoomIn", QStringLiteral("Уменьшение"),
                               app::glyphIcon(QStringLiteral("−")));
    for (QToolButton *b : {TBZoom, TBMove, tbZoomOut, tbZoomIn})
        ToolBarZoom->addWidget(b);
    connect(TBZoom, &QToolButton::clicked, this, [this] { TBZoomClick(); });
    connect(TBMove, &QToolButton::clicked, this, [this] { TBMoveClick(); });
    connect(tbZoomOut, &QToolButton::clicked, this, [this] { tbZoomOutClick(); });
    connect(tbZoomIn, &QToolButton::clicked, this, [this] { tbZoomInClick(); });
    row2->addWidget(ToolBarZoom);

    // ToolBarPoints: point, line and fill style.
    ToolBarPoints = toolBar(ControlBar, "ToolBarPoints");
    edPenWidth = edit(ToolBarPoints, "edPenWidth", 40, QStringLiteral("Толщина линии"));
    SpeedButton3 = speedButton(ToolBarPoints, "SpeedButton3", QStringLiteral("Толщина линии"), QStringLiteral("▾"));
    imgTypePoint = picture(ToolBarPoints, "imgTypePoint", "TImage", QStringLiteral("Вид точки "));
    SpeedButton7 = speedButton(ToolBarPoints, "SpeedButton7", QStringLiteral("Вид точки "), QStringLiteral("•"));
    imgArrowFirst = picture(ToolBarPoints, "imgArrowFirst", "TImage", QStringLiteral("Начало линии"));
    SpeedButton2 = speedButton(ToolBarPoints, "SpeedButton2", QStringLiteral("Начало линии"), QStringLiteral("◂"));
    imgArrowLast = picture(ToolBarPoints, "imgArrowLast", "TImage", QStringLiteral("Конец линии"));
    SpeedButton4 = speedButton(ToolBarPoints, "SpeedButton4", QStringLiteral("Конец линии"), QStringLiteral("▸"));
    imgTypeLine = picture(ToolBarPoints, "imgTypeLine", "TImage", QStringLiteral("Вид линии"));
    SpeedButton5 = speedButton(ToolBarPoints, "SpeedButton5", QStringLiteral("Вид линии"), QStringLiteral("┄"));
    sPenColor = picture(ToolBarPoints, "sPenColor", "TShape", QStringLiteral("Цвет линии"));
    SBLineColorShow = speedButton(ToolBarPoints, "SBLineColorShow", QStringLiteral("Цвет линии"),
                                  QStringLiteral("▾"));
    sBrushColor = picture(ToolBarPoints, "sBrushColor", "TShape", QStringLiteral("Цвет заливки"));
    SBBgColorShow = speedButton(ToolBarPoints, "SBBgColorShow", QStringLiteral("Цвет заливки"), QStringLiteral("▾"));
    imgTypeFill = picture(ToolBarPoints, "imgTypeFill", "TImage", QStringLiteral("Вид заливки"));
    SpeedButton10 = speedButton(ToolBarPoints, "SpeedButton10", QStringLiteral("Вид заливки"), QStringLiteral("▦"));
    for (QWidget *w : std::initializer_list<QWidget *>{edPenWidth, SpeedButton3, imgTypePoint, SpeedButton7,
                                                       imgArrowFirst, SpeedButton2, imgArrowLast, SpeedButton4,
                                                       imgTypeLine, SpeedButton5, sPenColor, SBLineColorShow,
                                                       sBrushColor, SBBgColorShow, imgTypeFill, SpeedButton10})
        ToolBarPoints->addWidget(w);
    TBPointsNew = app::toolButton(ToolBarPoints, "TBPointsNew", QString());
    TBPointsNew->setCheckable(true);
    TBPointsNew->setChecked(true);
    TBPointsNew->hide();
    row2->addWidget(ToolBarPoints);

    // ToolBarPick: object commands of the pick tool.
    ToolBarPick = toolBar(ControlBar, "ToolBarPick");
    TBPick = app::toolButton(ToolBarPick, "TBPick", QStringLiteral("Выбор объектов"),
                             app::glyphIcon(QStringLiteral("➚")));
    ToolBarPick->addWidget(TBPick);
    tbSplit = actionButton(ToolBarPick, "tbSplit", aSplit, app::glyphIcon(QStringLiteral("⊔")));
    tbUnSplit = actionButton(ToolBarPick, "tbUnSplit", aUnSplit, app::glyphIcon(QStringLiteral("⊓")));
    tbRevase = actionButton(ToolBarPick, "tbRevase", aRevase, app::glyphIcon(QStringLiteral("⇄")));
    TBWeld = app::toolButton(ToolBarPick, "TBWeld", QStringLiteral("Сварка"), app::glyphIcon(QStringLiteral("⋈")));
    ToolButton27 = app::toolButton(ToolBarPick, "ToolButton27", QString(), app::glyphIcon(QStringLiteral("◫")));
    ToolButton28 = app::toolButton(ToolBarPick, "ToolButton28", QString(), app::glyphIcon(QStringLiteral("◪")));
    TBFront = app::toolButton(ToolBarPick, "TBFront", QStringLiteral("На передний план"),
                              app::glyphIcon(QStringLiteral("⤒")));
    TBBack = app::toolButton(ToolBarPick, "TBBack", QStringLiteral("На задний план"),
                             app::glyphIcon(QStringLiteral("⤓")));
    for (QToolButton *b : {TBWeld, ToolButton27, ToolButton28, TBFront, TBBack})
        ToolBarPick->addWidget(b);
    row2->addWidget(ToolBarPick);

    // ToolBarText: text style.
    ToolBarText = toolBar(ControlBar, "ToolBarText");
    EditText = edit(ToolBarText, "EditText", 120, QStringLiteral("Текст"));
    EditFont = edit(ToolBarText, "EditFont", 100, QStringLiteral("Шрифт"));
    SpeedButton12 = speedButton(ToolBarText, "SpeedButton12", QStringLiteral("Шрифт"), QStringLiteral("F"));
    ShapeTextColor = picture(ToolBarText, "ShapeTextColor", "TShape", QStringLiteral("Цвет текста"));
    SBTextColor = speedButton(ToolBarText, "SBTextColor", QStringLiteral("Цвет текста"), QStringLiteral("▾"));
    ShapeGgTextColor = picture(ToolBarText, "ShapeGgTextColor", "TShape", QStringLiteral("Цвет фона текста"));
    SBBgTextColor = speedButton(ToolBarText, "SBBgTextColor", QStringLiteral("Цвет фона текста"), QStringLiteral("▾"));
    EditSize = edit(ToolBarText, "EditSize", 36, QStringLiteral("Размер шрифта"));
    SBSize = speedButton(ToolBarText, "SBSize", QStringLiteral("Размер шрифта"), QStringLiteral("▾"));
    SpeedButton16 = speedButton(ToolBarText, "SpeedButton16", QStringLiteral("Повернуть на 45°"), QStringLiteral("↺"));
    EditRotate = edit(ToolBarText, "EditRotate", 36, QStringLiteral("Угол поворота"));
    SpeedButton17 = speedButton(ToolBarText, "SpeedButton17", QStringLiteral("Повернуть на -45°"),
                                QStringLiteral("↻"));
    EditTextScale = edit(ToolBarText, "EditTextScale", 60, QStringLiteral("Масштаб текста"));
    SBScale2 = speedButton(ToolBarText, "SBScale2", QStringLiteral("Масштаб текста"), QStringLiteral("▾"));
    tbBrushText = app::toolButton(ToolBarText, "tbBrushText", QStringLiteral("Фон текста"),
                                  app::glyphIcon(QStringLiteral("▇")));
    tbTextBold = app::toolButton(ToolBarText, "tbTextBold", QStringLiteral("Жирный"), app::glyphIcon(QStringLiteral("B")));
    tbTextItalic = app::toolButton(ToolBarText, "tbTextItalic", QStringLiteral("Курсив"),
                                   app::glyphIcon(QStringLiteral("I")));
    tbTextUnderline = app::toolButton(ToolBarText, "tbTextUnderline", QStringLiteral("Подчёркнутый"),
                                      app::glyphIcon(QStringLiteral("U")));
    for (QToolButton *b : {tbBrushText, tbTextBold, tbTextItalic, tbTextUnderline})
        b->setCheckable(true);
    for (QWidget *w : std::initializer_list<QWidget *>{
             EditText, EditFont, SpeedButton12, ShapeTextColor, SBTextColor, ShapeGgTextColor, SBBgTextColor,
             EditSize, SBSize, SpeedButton16, EditRotate, SpeedButton17, EditTextScale, SBScale2, tbBrushText,
             tbTextBold, tbTextItalic, tbTextUnderline})
        ToolBarText->addWidget(w);
    row2->addWidget(ToolBarText);

    // ToolBarSymbol: symbol style.
    ToolBarSymbol = toolBar(ControlBar, "ToolBarSymbol");
    EditSymbol = edit(ToolBarSymbol, "EditSymbol", 24, QStringLiteral("Символ"));
    EditFStyle = edit(ToolBarSymbol, "EditFStyle", 100, QStringLiteral("Шрифт символов"));
    SpeedButton13 = speedButton(ToolBarSymbol, "SpeedButton13", QStringLiteral("Выбор символа"), QStringLiteral("Ω"));
    sSymbolColor = picture(ToolBarSymbol, "sSymbolColor", "TShape", QStringLiteral("Цвет символа"));
    SpeedButton21 = speedButton(ToolBarSymbol, "SpeedButton21", QStringLiteral("Цвет символа"), QStringLiteral("▾"));
    sSymbolBgColor = picture(ToolBarSymbol, "sSymbolBgColor", "TShape", QStringLiteral("Цвет фона символа"));
    SpeedButton22 = speedButton(ToolBarSymbol, "SpeedButton22", QStringLiteral("Цвет фона символа"),
                                QStringLiteral("▾"));
    edSizeSymbol = edit(ToolBarSymbol, "edSizeSymbol", 36, QStringLiteral("Размер символа"));
    SpeedButton23 = speedButton(ToolBarSymbol, "SpeedButton23", QStringLiteral("Размер символа"), QStringLiteral("▾"));
    edSymbolScale = edit(ToolBarSymbol, "edSymbolScale", 60, QStringLiteral("Масштаб символа"));
    SpeedButton28 = speedButton(ToolBarSymbol, "SpeedButton28", QStringLiteral("Масштаб символа"), QStringLiteral("▾"));
    tbBrushSymbol = app::toolButton(ToolBarSymbol, "tbBrushSymbol", QStringLiteral("Фон символа"),
                                    app::glyphIcon(QStringLiteral("▇")));
    tbBrushSymbol->setCheckable(true);
    for (QWidget *w : std::initializer_list<QWidget *>{EditSymbol, EditFStyle, SpeedButton13, sSymbolColor,
                                                       SpeedButton21, sSymbolBgColor, SpeedButton22, edSizeSymbol,
                                                       SpeedButton23, edSymbolScale, SpeedButton28, tbBrushSymbol})
        ToolBarSymbol->addWidget(w);
    row2->addWidget(ToolBarSymbol);
    row2->addStretch(1);
}

void TTolvane::buildLayerList()
{
    // The active-layer row on the main tool bar, at (2, 2) of its panel.
    LVLayer = layerListView(LayerRowPanel, "LVLayer");
    LVLayer->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LVLayer->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LVLayer->setFrameShape(QFrame::NoFrame);
    LVLayer->setGeometry(2, 2, 180 + 3 * 25 + 4, 19);
    LayerRowPanel->setFixedSize(LVLayer->width() + 4, LVLayer->height() + 4);
    LVLayer->viewport()->installEventFilter(this);
    connect(LVLayer, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PMenuLayers->popup(LVLayer->viewport()->mapToGlobal(p)); });

    // The drop-down panel with the layer list, over the map; hidden until the
    // mouse points at the active-layer row.
    MapLayersPanel = new QFrame(widget());
    MapLayersPanel->setObjectName(QStringLiteral("MapLayersPanel"));
    platform::setFormClass(MapLayersPanel, "TPanel");
    MapLayersPanel->setFrameShape(QFrame::Box);
    MapLayersPanel->setAutoFillBackground(true);
    MapLayersPanel->hide();
    auto *panelLayout = new QVBoxLayout(MapLayersPanel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    ScrollBoxLayers = new QScrollArea(MapLayersPanel);
    ScrollBoxLayers->setObjectName(QStringLiteral("ScrollBoxLayers"));
    platform::setFormClass(ScrollBoxLayers, "TScrollBox");
    ScrollBoxLayers->setWidgetResizable(true);
    ScrollBoxLayers->setFrameShape(QFrame::NoFrame);
    ScrollBoxLayers->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelLayout->addWidget(ScrollBoxLayers);
    ListLayers = layerListView(nullptr, "ListLayers");
    ListLayers->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListLayers->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListLayers->setFrameShape(QFrame::NoFrame);
    ListLayers->setDragEnabled(true);
    ListLayers->setAcceptDrops(true);
    ListLayers->setDragDropMode(QAbstractItemView::DragDrop);
    ListLayers->setDefaultDropAction(Qt::CopyAction);
    ScrollBoxLayers->setWidget(ListLayers);
    ListLayers->viewport()->installEventFilter(this);
    connect(ListLayers, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PMenuLayers->popup(ListLayers->viewport()->mapToGlobal(p)); });
}

void TTolvane::buildStatusBar()
{
    MapStatusBar = new QStatusBar(widget());
    MapStatusBar->setObjectName(QStringLiteral("MapStatusBar"));
    platform::setFormClass(MapStatusBar, "TStatusBar");
    MapStatusBar->setSizeGripEnabled(false);
    // The design's widths, wider where the font needs it for the widest text
    // a panel shows (scale, visible area, coordinates).
    const int widths[6] = {80, 150, 100, 100, 200, 170};
    const QStringList widest = app::status::widestTexts();
    for (int i = 0; i < 6; ++i) {
        QLabel *panel = platform::addStatusPanel(MapStatusBar, i < widest.size() ? widest[i] : QString());
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setFixedWidth(std::max(widths[i], panel->sizeHint().width()));
        panel->clear();
    }
}
