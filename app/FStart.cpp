#include "app/FStart.h"

#include "app/Application.h"
#include "app/FAbout.h"
#include "app/FTolvane.h"
#include "app/FormControls.h"
#include "reports/output/ReportEngine.h"
#include "app/MapReports.h"
#include "reports/ui/BarcodeForm.h"
#include "reports/addins/RichView.h"
#include "reports/addins/ShapeView.h"
#include "reports/export/ExcelExport.h"
#include "reports/export/RtfExport.h"
#include "reports/export/TextExport.h"
#include "reports/ui/RichEditForm.h"
#include "app/SmsControls.h"
#include "mapdata/VykFunctions.h"
#include "platform/ui/FormClass.h"
#include "platform/Paths.h"
#include "platform/Service.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

TStart *Start = nullptr;

namespace {
// The one about window of the run.
TAbout *About = nullptr;

// The area's windows in a row along the direction, each given the full
// breadth across it and an equal share along it.
void tileWindows(QMdiArea &area, Qt::Orientation direction)
{
    const QList<QMdiSubWindow *> windows = area.subWindowList();
    if (windows.isEmpty())
        return;
    const QRect r = area.viewport()->rect();
    const bool downwards = direction == Qt::Vertical;
    const int share = (downwards ? r.height() : r.width()) / int(windows.size());
    int at = 0;
    for (QMdiSubWindow *w : windows) {
        w->showNormal();
        if (downwards)
            w->setGeometry(0, at, r.width(), share);
        else
            w->setGeometry(at, 0, share, r.height());
        at += share;
    }
}
} // namespace

TStart::TStart(QWidget *parent) : QMainWindow(parent)
{
    Start = this;
    // The map draws with the frame's libraries while it lives.
    FPreviousStyles = platform::Service<mapengine::StyleServices>::install(this);
    setObjectName(QStringLiteral("Start"));
    platform::tagForm(this, "TStart", "TForm");
    resize(1081, 901);

    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(MdiArea);
    connect(MdiArea, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow *w) { MergeMenus(w && w == Tolvane); });
    buildMenu();

    // FormCreate
    FVersion = QStringLiteral("2.2.0.2");
    setWindowTitle(QStringLiteral("Tolvane v.") + FVersion);
    FProgramDir = app::resolveProgramDir(
        VykFunctions::ReadRegString(platform::RegRoot::LocalMachine, QStringLiteral("\\SOFTWARE\\Tolvane 2"),
                                    QStringLiteral("ProgramDirectory"), QString()),
        QDir::currentPath());
    app::setApplicationTitle(windowTitle());
    app::setApplicationHelpFile(app::helpFilePath(FProgramDir));
    LoadStyleLibraries();
    // The dialogs and the map reach the libraries as a service.
    platform::Service<mapengine::StyleServices>::install(this);
    reports::reportEngine().RegisterFunctionLibrary(QStringLiteral("TfrVykLib"));
    // The map's functions come third, after the standard and database ones.
    reports::RegisterMapFunctionLibrary();
    reports::setMapPictureServices(&app::mapWindowPictures());
    // frBarCodeObject1: the report designer offers the barcode object.
    reports::RegisterBarCodeObject();
    // The report objects that come as add-ins, with their editors.
    reports::RegisterRichAddIn();
    // frShapeObject1: the designer offers the shape object.
    reports::RegisterShapeAddIn();
    frTextExport1 = std::make_unique<reports::TfrTextExport>();
    frRTFExport1 = std::make_unique<reports::TfrRTFExport>();
    frOLEExcelExport1 = std::make_unique<reports::TfrOLEExcelExport>();
    reports::InstallRichEditForm();
}

TStart::~TStart()
{
    // The area's signals and the closing come no more while the frame goes.
    FClosed = true;
    disconnect(MdiArea, nullptr, this, nullptr);
    if (Start == this)
        Start = nullptr;
    // Services installed after the frame and still in place stay.
    if (&mapengine::styleServices() == this)
        platform::Service<mapengine::StyleServices>::install(FPreviousStyles);
}

void TStart::buildMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    platform::setFormClass(MainMenu1, "TMainMenu");

    N1 = new QMenu(QStringLiteral("Проект"), this);
    N1->setObjectName(QStringLiteral("N1"));
    platform::setFormClass(N1, "TMenuItem");
    nFileNew = app::menuItem(N1, "nFileNew", QStringLiteral("Новый..."), QKeySequence(Qt::CTRL | Qt::Key_N),
                             [this] { nFileNewClick(); });
    nFileOpen = app::menuItem(N1, "nFileOpen", QStringLiteral("Открыть..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                              [this] { nFileOpenClick(); });
    N19 = app::separatorItem(N1, "N19");
    N27 = app::menuItem(N1, "N27", QStringLiteral("Выход"), {}, [this] { N27Click(); });

    N8 = new QMenu(QStringLiteral("Окна"), this);
    N8->setObjectName(QStringLiteral("N8"));
    platform::setFormClass(N8, "TMenuItem");
    N3 = app::menuItem(N8, "N3", QStringLiteral("Сверху вниз"), {}, [this] { N3Click(); });
    N7 = app::menuItem(N8, "N7", QStringLiteral("Справа на лево"), {}, [this] { N7Click(); });
    N4 = app::menuItem(N8, "N4", QStringLiteral("Каскадом"), {}, [this] { N4Click(); });

    N5 = new QMenu(QStringLiteral("?"), this);
    N5->setObjectName(QStringLiteral("N5"));
    platform::setFormClass(N5, "TMenuItem");
    N2 = app::menuItem(N5, "N2", QStringLiteral("Помощь"), QKeySequence(Qt::Key_F1), [this] { N2Click(); });
    N6 = app::menuItem(N5, "N6", QStringLiteral("О программе..."), {}, [this] { N6Click(); });

    FOwnMenus = {N1->menuAction(), N8->menuAction(), N5->menuAction()};
    MainMenu1->addActions(FOwnMenus);
}

void TStart::MergeMenus(bool mapWindowActive)
{
    // The frame's menu bar shows the map window's menus in place of its own
    // while the map window is the active child, so that each window's
    // shortcuts work while it is active (Ctrl+N of the map window continues
    // the search; the frame's makes a new project).
    MainMenu1->clear();
    if (mapWindowActive && Tolvane) {
        for (QAction *a : Tolvane->MainMenu1->actions())
            MainMenu1->addAction(a);
    } else {
        MainMenu1->addActions(FOwnMenus);
    }
}

TTolvane *TStart::EnsureMapWindow()
{
    if (!Tolvane) {
        auto *w = new TTolvane();
        MdiArea->addSubWindow(w);
        w->showMaximized();
    }
    return Tolvane;
}

void TStart::FormActivate()
{
    if (!Tolvane)
        EnsureMapWindow();
}

void TStart::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QMainWindow::changeEvent(event);
}

void TStart::FormClose()
{
    if (Tolvane) {
        Tolvane->QuerySaveProject(false, false, true);
        app::releaseSmsControls();
    }
}

void TStart::closeEvent(QCloseEvent *event)
{
    if (!FClosed) {
        FClosed = true;
        FormClose();
    }
    event->accept();
}

void TStart::nFileNewClick()
{
    EnsureMapWindow()->nFileNewClick();
}

void TStart::nFileOpenClick()
{
    EnsureMapWindow()->nFileOpenClick();
}

void TStart::N27Click()
{
    close();
}

void TStart::N3Click()
{
    // Windows one above the other: the area tiles its windows in a grid, so
    // each window is given the full width and a share of the height.
    tileWindows(*MdiArea, Qt::Vertical);
}

void TStart::N7Click()
{
    // Windows side by side.
    tileWindows(*MdiArea, Qt::Horizontal);
}

void TStart::N4Click()
{
    MdiArea->cascadeSubWindows();
}

void TStart::N2Click()
{
    // The frame's help item has no action of its own.
}

void TStart::N6Click()
{
    if (!About)
        About = new TAbout(nullptr);
    platform::execModal(*About);
}

void TStart::LoadStyleLibraries()
{
    mapengine::StyleServices::LoadStyleLibraries(FProgramDir);
}

void TStart::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The fill tiling's polygon mask has the frame's size.
    SetFrameSize(width(), height());
}

void TStart::OpenReport(int mode)
{
    platform::FileDialogRequest request = OpenDialog1;
    request.kind = platform::FileDialogRequest::Open;
    request.defaultExt = QStringLiteral("*.frf");
    request.initialDir = platform::joinPath(FProgramDir, u"Reports");
    request.filter = QStringLiteral("Открытие отчёта (*.frf)|*.frf");
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    // A chosen file that is gone by now is passed over without a word.
    if (answer.accepted && !answer.files.isEmpty() && platform::fileExists(answer.files.first())) {
        if (mode == 0)
            ShowReportFile(answer.files.first());
        else if (mode == 1)
            DesignReportFile(answer.files.first());
        else
            DesignNewReport();
    }
    // The dialog may have left another folder current; the map's file names
    // are relative to its work folder.
    if (Tolvane)
        QDir::setCurrent(platform::resolvePath(Tolvane->MapImage->WorkDir()));
}

void TStart::setPathVariables()
{
    SetReportVariable(QStringLiteral("StartPath"), FProgramDir);
    SetReportVariable(QStringLiteral("WorkPath"), FProgramDir);
}

bool TStart::loadReportFile(const QString &fileName)
{
    if (!platform::fileExists(fileName)) {
        platform::showMessage(QStringLiteral("Не найден файл шаблона - ") + fileName);
        return false;
    }
    setPathVariables();
    return reports::reportEngine().LoadFromFile(platform::resolvePath(fileName));
}

void TStart::ShowReportFile(const QString &fileName)
{
    if (loadReportFile(fileName))
        reports::reportEngine().ShowReport();
}

void TStart::DesignReportFile(const QString &fileName)
{
    if (loadReportFile(fileName))
        reports::reportEngine().DesignReport();
}

void TStart::DesignNewReport()
{
    setPathVariables();
    reports::reportEngine().Clear();
    reports::reportEngine().DesignReport();
}

void TStart::SetReportVariable(const QString &name, const QVariant &value)
{
    reports::reportEngine().SetReportVariable(name, value);
}
