// Start-up and the frame window: the program folder and help file, the
// frame's creation, the menus shown for the active window, and shutdown.

#include "AppTestSupport.h"

#include "app/Application.h"
#include "reports/output/ReportEngine.h"
#include "reports/output/Docking.h"
#include "reports/model/ReportObjects.h"
#include "reports/ui/PreviewForm.h"
#include "app/FFirstOpen.h"
#include "app/SmsControls.h"
#include "platform/ui/QtUserAnswers.h"

#include <QAbstractButton>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>

using apptest::setProductValue;

TEST(StartUpPaths, ProgramFolderAndHelpFile)
{
    struct Case {
        const char *setting;   // nullptr: no value
        QString programDir;
        QString helpFile;
    };
    const QString cwd = QStringLiteral("/home/user/work");
    const Case cases[] = {
        {nullptr, cwd, QStringLiteral("/home/user/work/Tolvane2.hlp")},
        {"C:\\Prog", QStringLiteral("C:\\Prog"), QStringLiteral("C:/Prog/Tolvane2.hlp")},
        // Padded values are used as read; only the emptiness test trims.
        {"  C:\\Prog\\Sub ", QStringLiteral("  C:\\Prog\\Sub "), QStringLiteral("  C:/Prog/Sub /Tolvane2.hlp")},
        {"   ", cwd, QStringLiteral("/home/user/work/Tolvane2.hlp")},
        {"\t", cwd, QStringLiteral("/home/user/work/Tolvane2.hlp")},
    };
    for (const Case &c : cases) {
        const QString dir = app::resolveProgramDir(c.setting ? QString::fromUtf8(c.setting) : QString(), cwd);
        EXPECT_EQ(dir, c.programDir) << c.setting;
        EXPECT_EQ(app::helpFilePath(dir), c.helpFile) << c.setting;
    }
}

class FrameTest : public apptest::WindowTest {};

TEST_F(FrameTest, CreationReadsTheProgramFolderAndSetsTitleAndHelp)
{
    struct Case {
        const char *setting;
        QString programDir;
    };
    // Without a setting the current folder is the program folder.
    QDir::setCurrent(programDir());
    const Case cases[] = {{nullptr, QDir::currentPath()},
                          {"   ", QDir::currentPath()},
                          {"C:\\Prog", QStringLiteral("C:\\Prog")}};
    for (const Case &c : cases) {
        platform::Registry::instance().deleteKey(platform::RegRoot::LocalMachine, apptest::ProductKey);
        if (c.setting)
            setProductValue(QStringLiteral("ProgramDirectory"), QString::fromUtf8(c.setting));
        // A folder without the style libraries: each is reported and start-up
        // goes on with it empty.
        testsupport::ScriptedAnswers answers;
        if (c.setting && QByteArray(c.setting).startsWith("C:"))
            answers.reply(platform::mrOk).reply(platform::mrOk).reply(platform::mrOk);
        TStart start;
        EXPECT_TRUE(answers.exhausted());
        if (!answers.messages().empty()) {
            EXPECT_TRUE(answers.messages()[0].text.startsWith(QStringLiteral("Отутствует файл C:\\Prog")));
            EXPECT_EQ(start.FFillStyles.count(), 0);
        } else {
            EXPECT_GT(start.FFillStyles.count(), 0);
            EXPECT_GT(start.FPointStyles.count(), 0);
            EXPECT_GT(start.FLineStyles.count(), 0);
        }
        EXPECT_EQ(start.FVersion, QStringLiteral("2.2.0.2"));
        EXPECT_EQ(start.windowTitle(), QStringLiteral("Tolvane v.2.2.0.2"));
        EXPECT_EQ(app::applicationTitle(), QStringLiteral("Tolvane v.2.2.0.2"));
        EXPECT_EQ(start.FProgramDir, c.programDir) << c.setting;
        EXPECT_EQ(app::applicationHelpFile(), app::helpFilePath(c.programDir));
        EXPECT_TRUE(reports::reportEngine().FunctionLibraries.contains(QStringLiteral("TfrVykLib")));
    }
    // Registering the same library again adds nothing.
    EXPECT_EQ(reports::reportEngine().FunctionLibraries.count(QStringLiteral("TfrVykLib")), 1);
    // The report designer offers the barcode object, once.
    EXPECT_EQ(std::count_if(reports::AddIns().begin(), reports::AddIns().end(),
                            [](const reports::AddInObjectInfo &a) { return a.ClassName == u"TfrBarCodeView"; }),
              1);
}

TEST_F(FrameTest, MapWindowIsMadeOnceAndItsHelpPathEqualsTheFrames)
{
    setProductValue(QStringLiteral("ProgramDirectory"), QStringLiteral("D:\\Карты\\Tolvane"));
    testsupport::ScriptedAnswers answers;   // the folder has no style libraries
    answers.reply(platform::mrOk).reply(platform::mrOk).reply(platform::mrOk);
    TStart &start = frame();
    ASSERT_NE(Tolvane, nullptr);
    TTolvane *first = Tolvane;
    EXPECT_EQ(start.EnsureMapWindow(), first);
    start.FormActivate();
    EXPECT_EQ(start.MdiArea->subWindowList().size(), 1);
    EXPECT_EQ(first->MapImage->ProgramDir(), QStringLiteral("D:\\Карты\\Tolvane"));
    EXPECT_EQ(first->MapImage->Settings().RegistryKey, QStringLiteral("Tolvane 2"));
    EXPECT_EQ(app::applicationHelpFile(), QStringLiteral("D:/Карты/Tolvane/Tolvane2.hlp"));
}

TEST_F(FrameTest, ClosingTheMapWindowOnlyMinimizesIt)
{
    TStart &start = frame();
    start.show();
    TTolvane *map = Tolvane;
    map->showMaximized();
    EXPECT_FALSE(map->close());
    QApplication::processEvents();
    EXPECT_EQ(Tolvane, map);
    EXPECT_TRUE(map->isMinimized());
    EXPECT_EQ(start.MdiArea->subWindowList().size(), 1);
}

TEST_F(FrameTest, MenuBarShowsTheActiveWindowsMenus)
{
    TStart &start = frame();
    auto titles = [&start] {
        QStringList t;
        for (QAction *a : start.MainMenu1->actions())
            t << a->text();
        return t;
    };
    start.MergeMenus(true);
    const QStringList mapMenus = titles();
    EXPECT_TRUE(mapMenus.contains(QStringLiteral("Слой")));
    EXPECT_TRUE(mapMenus.contains(QStringLiteral("Поиск")));
    EXPECT_FALSE(start.MainMenu1->actions().contains(start.N1->menuAction()));
    start.MergeMenus(false);
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("Проект"), QStringLiteral("Окна"), QStringLiteral("?")}));

    // The area's activation decides.
    start.show();
    start.MdiArea->setActiveSubWindow(Tolvane);
    QApplication::processEvents();
    EXPECT_TRUE(start.MainMenu1->actions().contains(Tolvane->N122->menuAction()));
}

TEST_F(FrameTest, FrameMenuEntries)
{
    TStart &start = frame();
    EXPECT_EQ(start.nFileNew->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(start.nFileOpen->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(start.N2->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(start.N27->text(), QStringLiteral("Выход"));
    EXPECT_EQ(start.N3->text(), QStringLiteral("Сверху вниз"));
    EXPECT_EQ(start.N7->text(), QStringLiteral("Справа на лево"));
    EXPECT_EQ(start.N4->text(), QStringLiteral("Каскадом"));
    EXPECT_EQ(start.N6->text(), QStringLiteral("О программе..."));
}

TEST_F(FrameTest, TilingArrangesTheChildWindows)
{
    TStart &start = frame();
    start.resize(800, 600);
    start.show();
    QApplication::processEvents();
    auto *second = start.MdiArea->addSubWindow(new QWidget());
    second->show();
    start.N3Click();   // one above the other
    const QRect a = Tolvane->geometry(), b = second->geometry();
    EXPECT_EQ(a.width(), b.width());
    EXPECT_LE(a.bottom(), b.top());
    start.N7Click();   // side by side
    const QRect c = Tolvane->geometry(), d = second->geometry();
    EXPECT_EQ(c.height(), d.height());
    EXPECT_LE(c.right(), d.left());
}

namespace {
// Components that only count their disconnections.
class FakeGsmOut : public platform::IGsmOut {
public:
    explicit FakeGsmOut(int &disconnects) : disconnects_(disconnects) {}
    void SetTrace(int) override {}
    void SetPin(const QString &) override {}
    void Connect() override {}
    void Disconnect() override { ++disconnects_; }
    void Send() override {}
private:
    int &disconnects_;
};
class FakeGsmIn : public platform::IGsmIn {
public:
    explicit FakeGsmIn(int &disconnects) : disconnects_(disconnects) {}
    void SetTrace(int) override {}
    void SetPin(const QString &) override {}
    void SetDeleteAfterReceive(int) override {}
    void SetReceiveRead(int) override {}
    void Connect() override {}
    void Disconnect() override { ++disconnects_; }
    void Receive() override {}
    int Eof() override { return 1; }
    void First() override {}
    void Next() override {}
    QString MessageText() override { return {}; }
private:
    int &disconnects_;
};
} // namespace

TEST_F(FrameTest, ClosingFreesTheSmsControlsThatExist)
{
    int disconnects = 0;
    {
        TStart &start = frame();
        app::GsmOut = std::make_unique<FakeGsmOut>(disconnects);
        ASSERT_EQ(app::GsmIn, nullptr);
        start.FormClose();
        EXPECT_EQ(disconnects, 1);
        EXPECT_EQ(app::GsmOut, nullptr);
        EXPECT_EQ(app::GsmIn, nullptr);
    }
    // Both made: both disconnected and freed.
    app::GsmOut = std::make_unique<FakeGsmOut>(disconnects);
    app::GsmIn = std::make_unique<FakeGsmIn>(disconnects);
    frame().FormClose();
    EXPECT_EQ(disconnects, 3);
    EXPECT_EQ(app::GsmOut, nullptr);
    EXPECT_EQ(app::GsmIn, nullptr);
}

TEST_F(FrameTest, KeysGoToTheActiveWindowsCommands)
{
    TStart &start = frame();
    start.show();
    QApplication::processEvents();
    // The welcome window of the first activation steps aside.
    FirstOpenWindow()->hide();
    start.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&start));
    start.MdiArea->setActiveSubWindow(Tolvane);
    Tolvane->MapImage->setFocus();
    QApplication::processEvents();
    QSignalSpy frameNew(start.nFileNew, &QAction::triggered);
    QSignalSpy searchNext(Tolvane->N57, &QAction::triggered);
    QSignalSpy zoomIn(Tolvane->aZoomIn, &QAction::triggered);
    QSignalSpy editInfoMenu(Tolvane->nEditInfo, &QAction::triggered);
    QSignalSpy editInfoAction(Tolvane->aEditInfo, &QAction::triggered);
    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    // Ctrl+N of the map window continues the search.
    QTest::keyClick(focus, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(searchNext.count(), 1);
    EXPECT_EQ(frameNew.count(), 0);
    // F3 of the action list; Ctrl+A of the menu item before the action's.
    QTest::keyClick(focus, Qt::Key_F3);
    EXPECT_EQ(zoomIn.count(), 1);
    {
        // With the zoom tool down the information panel says why it stays shut.
        testsupport::ScriptedAnswers told;
        told.reply(platform::mrOk);
        QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
        ASSERT_EQ(told.messages().size(), 1u);
        EXPECT_EQ(told.messages()[0].text, QStringLiteral("Выберите режим выбора объектов"));
    }
    EXPECT_EQ(editInfoMenu.count(), 1);
    EXPECT_EQ(editInfoAction.count(), 0);
    // The disabled "Копировать" item leaves Ctrl+C to the action.
    QSignalSpy copy(Tolvane->aCopyObjects, &QAction::triggered);
    QTest::keyClick(focus, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copy.count(), 1);
    // Ctrl+Z and Ctrl+Y are "Правка"'s undo and redo, once they are available.
    QSignalSpy undo(Tolvane->N28, &QAction::triggered);
    QSignalSpy redo(Tolvane->N29, &QAction::triggered);
    Tolvane->N28->setEnabled(true);
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    Tolvane->N29->setEnabled(true);
    QTest::keyClick(focus, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(undo.count(), 1);
    EXPECT_EQ(redo.count(), 1);
    // Without an active map window the frame's Ctrl+N makes a new project.
    start.MergeMenus(false);
    // A new project asks for its name at once.
    testsupport::ScriptedAnswers answers;
    answers.cancelFile();
    QTest::keyClick(focus, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(frameNew.count(), 1);
    EXPECT_EQ(searchNext.count(), 1);
}

TEST_F(FrameTest, ActivationMakesTheMapWindowWhenNoneExists)
{
    TStart start;
    ASSERT_EQ(Tolvane, nullptr);
    start.FormActivate();
    ASSERT_NE(Tolvane, nullptr);
    EXPECT_EQ(start.MdiArea->subWindowList(), QList<QMdiSubWindow *>{Tolvane});
    TTolvane *made = Tolvane;
    start.FormActivate();
    EXPECT_EQ(Tolvane, made);
}

namespace {
class CountingReports : public reports::ReportEngine {
public:
    // Installed while it lives.
    platform::ScopedService<reports::ReportEngine> installed{*this};
    void ShowReport() override { ++shown; }
    void DesignReport() override { ++designed; }
    int shown = 0, designed = 0;
};
} // namespace

TEST_F(FrameTest, ReportRunnerLoadsExistingTemplatesOnly)
{
    setProductValue(QStringLiteral("ProgramDirectory"), dir_.path());
    apptest::copyStyleLibraries(dir_.path());
    CountingReports reports;
    TStart &start = frame();
    const QString missing = dir_.file(QStringLiteral("Reports/нет.frf"));
    {
        testsupport::ScriptedAnswers answers;
        apptest::replyOk(answers);
        start.ShowReportFile(missing);
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Не найден файл шаблона - ") + missing);
    }
    EXPECT_EQ(reports.shown, 0);
    const QString plan = dir_.write(QStringLiteral("plan.frf"), QByteArray("template"));
    start.ShowReportFile(plan);
    start.DesignReportFile(plan);
    EXPECT_EQ(reports.shown, 1);
    EXPECT_EQ(reports.designed, 1);
    EXPECT_EQ(reports.FileName, plan);
    EXPECT_EQ(reports.Variables[QStringLiteral("StartPath")].toString(), dir_.path());
    EXPECT_EQ(reports.Variables[QStringLiteral("WorkPath")].toString(), dir_.path());
    start.DesignNewReport();
    EXPECT_EQ(reports.designed, 2);
    EXPECT_TRUE(reports.FileName.isEmpty());
}

// The open command asks for a template of the "Reports" folder (joined
// with "/"), passes over a chosen file that is gone, and in each case makes
// the map's work folder current again.
TEST_F(FrameTest, ReportRunnerDialogAndTheWorkFolder)
{
    setProductValue(QStringLiteral("ProgramDirectory"), dir_.path());
    apptest::copyStyleLibraries(dir_.path());
    CountingReports reports;
    TStart &start = frame();
    const QString work = dir_.file(QStringLiteral("work"));
    const QString elsewhere = dir_.file(QStringLiteral("elsewhere"));
    QDir().mkpath(work);
    QDir().mkpath(elsewhere);
    QDir().mkpath(dir_.file(QStringLiteral("Reports")));
    Tolvane->MapImage->SetWorkDir(work);
    const QString plan = dir_.write(QStringLiteral("Reports/plan.frf"), QByteArray("template"));
    const QString gone = dir_.file(QStringLiteral("Reports/нет.frf"));
    struct Case {
        const char *what;
        int mode;
        QString chosen; // empty: the dialog is cancelled
        int shown, designed;
        bool emptyReport;
    };
    const Case cases[] = {
        {"shown", 0, plan, 1, 0, false},
        {"designed", 1, plan, 0, 1, false},
        {"a new one, not the file chosen", 2, plan, 0, 1, true},
        {"a file that is gone, shown", 0, gone, 0, 0, false},
        {"a file that is gone, designed", 1, gone, 0, 0, false},
        {"a file that is gone, new", 2, gone, 0, 0, false},
        {"cancelled", 0, QString(), 0, 0, false},
        {"cancelled, new", 2, QString(), 0, 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        reports.shown = reports.designed = 0;
        reports.FileName = QStringLiteral("before");
        testsupport::ScriptedAnswers answers; // any message fails the test
        if (c.chosen.isEmpty())
            answers.cancelFile();
        else
            answers.openFile(c.chosen);
        QDir::setCurrent(elsewhere);
        start.OpenReport(c.mode);
        ASSERT_EQ(answers.fileRequests().size(), 1u);
        EXPECT_EQ(answers.fileRequests()[0].initialDir, dir_.path() + QStringLiteral("/Reports"));
        EXPECT_EQ(answers.fileRequests()[0].filter, QStringLiteral("Открытие отчёта (*.frf)|*.frf"));
        EXPECT_EQ(reports.shown, c.shown);
        EXPECT_EQ(reports.designed, c.designed);
        if (c.shown + c.designed > 0) {
            EXPECT_EQ(reports.FileName, c.emptyReport ? QString() : plan);
        }
        EXPECT_EQ(QDir::currentPath(), QDir(work).canonicalPath());
    }
}

TEST(StartUpErrors, AnErrorLetThroughIsShownWithItsText)
{
    testsupport::ScriptedAnswers answers;
    apptest::replyOk(answers);
    app::showException(std::runtime_error(QStringLiteral("Невозможно создать папку/home/u/Город").toStdString()));
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Невозможно создать папку/home/u/Город"));
    EXPECT_EQ(answers.messages()[0].type, platform::MsgType::Error);
}

namespace {
void setLanguage(const char *value)
{
    platform::Registry::instance().writeString(platform::RegRoot::LocalMachine, QStringLiteral("\\SOFTWARE\\Quillery 6"),
                                               QStringLiteral("Language"), QString::fromLatin1(value));
}
} // namespace

TEST_F(FrameTest, ThePlatformsButtonsSpeakTheInterfaceLanguage)
{
    // Russian unless the settings choose the Ukrainian file.
    EXPECT_EQ(app::interfaceLanguage(), QStringLiteral("ru"));
    const std::pair<const char *, const char *> cases[] = {{"1", "uk"}, {"2", "ru"}, {"0", "ru"}, {"x", "ru"}};
    for (const auto &[value, language] : cases) {
        setLanguage(value);
        EXPECT_EQ(app::interfaceLanguage(), QLatin1String(language)) << value;
    }

    // The save prompt as the platform shows it.
    ASSERT_TRUE(app::loadPlatformTranslations(QStringLiteral("ru"))) << "Qt's translations (qt6-translations-l10n)";
    TTolvane &w = mapWindow();
    w.MapImage->SetProjectFile(dir_.file(QStringLiteral("plan.tvp")));
    platform::QtUserAnswers platformAnswers;
    platform::ScopedService<platform::UserAnswers> scoped(platformAnswers);
    QString text;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        for (QAbstractButton *b : box->buttons())
            buttons << b->text().remove(u'&');
        box->button(QMessageBox::No)->click();
    });
    w.QuerySaveProject(false, false, false);
    EXPECT_EQ(text, QStringLiteral("Сохранить проект ") + w.MapImage->ProjectFile());
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет")}));
    // Without a catalogue the platform's own texts come back.
    EXPECT_FALSE(app::loadPlatformTranslations(QStringLiteral("none")));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
}

TEST_F(FrameTest, TheReportWindowsKeepTheirPlacesUnderTheProgramsName)
{
    const QString name = QCoreApplication::applicationName();
    const QString root = reports::docking::RegistryRoot();
    QCoreApplication::setApplicationName(QStringLiteral("Tolvane"));
    app::startReportSettings();
    {
        TStart start; // titles the application afterwards; the root stays
        reports::TfrPreviewForm preview;
        preview.show();
        preview.setWindowState(Qt::WindowNoState);
        preview.setGeometry(30, 40, 500, 300);
        preview.close();
    }
    const auto x = platform::Registry::instance().readString(
        platform::RegRoot::CurrentUser, QStringLiteral("Software\\ZeraDuvozo\\Tolvane\\Form\\TfrPreviewForm"),
        QStringLiteral("XPosition"));
    EXPECT_EQ(x, std::optional<QString>(QStringLiteral("30")));
    QCoreApplication::setApplicationName(name);
    reports::docking::SetRegistryRoot(root);
}
