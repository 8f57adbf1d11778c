// Uses every menu item and tool bar control of the map window, as a person
// would, on a copy of the demo project: the program is started as main()
// starts it, and then, with each tool down and with nothing, one object of
// each layer, or all objects of a layer selected, every enabled item of every
// menu and popup is chosen, every visible enabled button clicked, Enter given
// to every style field, and the map clicked, dragged and double-clicked.
// Questions are answered as a cautious user answers them: no to saving and
// overwriting, cancel to file dialogs (a "save as" gets a file of the
// temporary folder), small numbers to the input box, a colour to colour
// dialogs. Messages are listed; the run fails only when the program dies.
//
//   clickthrough [--quick] [program folder]
//
// With CLICKTHROUGH_VERBOSE set it names every item as it goes.
//
// It runs on the display it is given or, without one, on the offscreen
// platform. Its settings store, work folder and a copy of the program folder
// with the demo project live in a temporary folder; the program folder given
// is only read.

#include "app/Application.h"
#include "app/FStart.h"
#include "app/FTolvane.h"
#include "dialogs/FNewForAll.h"
#include "dialogs/FProLayer.h"
#include "mapdata/MapFunctions.h"
#include "platform/ui/FormClass.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/UserAnswers.h"
#include "reports/ui/PreviewForm.h"
#include "tools/ToolUsage.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>

#ifndef TOLVANE_PROGRAM_DIR
#define TOLVANE_PROGRAM_DIR "."
#endif

namespace {

void say(const QString &text)
{
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

class CautiousUser : public platform::UserAnswers {
public:
    explicit CautiousUser(const QString &folder) : folder_(folder) {}

    int messages = 0, files = 0, modals = 0;
    QString reopen;   // a project to name in the next open dialog for "*.tvp"
    std::function<void()> restore;   // puts the project's files back first

    int messageDlg(const QString &text, platform::MsgType, unsigned buttons, const QString &) override
    {
        ++messages;
        say(QStringLiteral("  message: ") + QString(text).replace(u'\n', u' '));
        if (buttons & platform::mbNo)
            return platform::mrNo;
        if (buttons & platform::mbCancel)
            return platform::mrCancel;
        return platform::mrOk;
    }
    platform::FileDialogAnswer fileDialog(const platform::FileDialogRequest &request) override
    {
        ++files;
        platform::FileDialogAnswer a;
        if (request.kind != platform::FileDialogRequest::Save && !reopen.isEmpty() &&
            request.filter.contains(QStringLiteral("tvp"), Qt::CaseInsensitive)) {
            if (restore)
                restore();
            a.accepted = true;
            a.files << reopen;
            reopen.clear();
            return a;
        }
        if (request.kind == platform::FileDialogRequest::Save && request.filter.contains(u"shp")) {
            a.accepted = true;
            a.files << QDir(folder_).filePath(QStringLiteral("saved%1.shp").arg(files));
        }
        return a;
    }
    QString selectDirectory(const QString &, const QString &) override { return {}; }
    bool chooseColor(int &color) override
    {
        color = 0x3060C0;
        return true;
    }
    bool chooseFont(platform::FontChoice &) override { return false; }
    bool choosePrinter(platform::PrinterChoice &) override { return false; }
    int runModal(QDialog &dialog) override
    {
        ++modals;
        // The input box gets a small number; every other window is closed.
        if (auto *box = dynamic_cast<TNewForAll *>(&dialog)) {
            box->Edit->setText(QStringLiteral("5"));
            box->Hint = QStringLiteral("Ok");
            return platform::mrOk;
        }
        // Every other window is shown, painted and closed; the layer dialog
        // the first time opens its label entry, pickers and popups first.
        say(QStringLiteral("  window: ") + dialog.objectName());
        dialog.show();
        QCoreApplication::processEvents();
        if (auto *layer = dynamic_cast<TProLayer *>(&dialog); layer && !layerDialogUsed) {
            layerDialogUsed = true;
            useLayerDialog(*layer);
        }
        dialog.reject();
        return platform::mrCancel;
    }

private:
    // The label entry ("Изменить", or "Создать" on a layer without labels),
    // the style pickers and the map window's style popups.
    static void useLayerDialog(TProLayer &d)
    {
        if (d.clbViewFieldName->count() > 0)
            d.clbViewFieldName->setCurrentRow(0);
        d.EditLabel();
        for (QToolButton *b : {d.SpeedButton9, d.SpeedButton11, d.SpeedButton18, d.SBTextSymbol, d.SBSize,
                               d.SpeedButton8, d.SBScale2, d.SBMinSize, d.SBMaxSize, d.sbPenMode, d.SpeedButton16}) {
            b->click();
            QCoreApplication::processEvents();
            while (QWidget *popup = QApplication::activePopupWidget())
                popup->hide();
        }
    }

    QString folder_;
    bool layerDialogUsed = false;
};

// Copies a folder's files over another's, replacing them.
constexpr char Usage[] = "usage: clickthrough [--quick] [program folder]\n"
                        "  Uses every menu item and tool bar control of the map window on a copy of the\n"
                        "  program folder (default: the build's) and its demo project; --quick: a short\n"
                        "  round (the pick and draw tools).\n";

// The program folder's content but the program itself.
bool copyProgramFolder(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo &entry : QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir()) {
            if (!platform::copyFolder(entry.filePath(), target))
                return false;
        } else if (!entry.isExecutable() && !QFile::copy(entry.filePath(), target)) {
            return false;
        }
    }
    return true;
}

struct Counts {
    int items = 0, buttons = 0, edits = 0, clicks = 0, errors = 0;
};

// Runs one user action; an error it raises is what the application's
// handler would show.
void act(Counts &counts, const QString &what, const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::exception &e) {
        ++counts.errors;
        say(QStringLiteral("  error after ") + what + QStringLiteral(": ") + QString::fromUtf8(e.what()));
    } catch (...) {
        ++counts.errors;
        say(QStringLiteral("  error after ") + what);
    }
    QApplication::processEvents();
}

// Every item of a menu and of its submenus, the menu opened first so that its
// enabling runs; only enabled items are chosen.
void useMenu(Counts &counts, QMenu *menu, const QString &path, const std::function<void()> &before = {},
             bool backwards = false)
{
    menu->popup(QPoint(0, 0));
    QApplication::processEvents();
    QList<QAction *> items = menu->actions();
    if (backwards)
        std::reverse(items.begin(), items.end());
    menu->hide();
    for (QAction *a : items) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        const QString name = path + u'/' + (a->objectName().isEmpty() ? a->text() : a->objectName());
        if (QMenu *sub = a->menu()) {
            useMenu(counts, sub, name, before, backwards);
            continue;
        }
        if (before) {
            // The state the menu was opened in, and its enabling again.
            act(counts, QStringLiteral("select"), before);
            menu->popup(QPoint(0, 0));
            QApplication::processEvents();
            menu->hide();
        }
        if (qEnvironmentVariableIsSet("CLICKTHROUGH_VERBOSE"))
            say(QStringLiteral("  item ") + name + (a->isEnabled() ? QString() : QStringLiteral(" (disabled)")));
        if (!a->isEnabled())
            continue;
        ++counts.items;
        act(counts, name, [a] { a->trigger(); });
    }
}

void mouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

// Clicks, a drag and a double click on the map, with either button.
void useMap(Counts &counts, TTolvane &w)
{
    QWidget *map = w.MapImage;
    const QPoint c(std::max(10, map->width() / 2), std::max(10, map->height() / 2));
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
        act(counts, QStringLiteral("map click"), [&] {
            mouse(map, QEvent::MouseButtonPress, c, b, b);
            mouse(map, QEvent::MouseButtonRelease, c, b, Qt::NoButton);
        });
        act(counts, QStringLiteral("map drag"), [&] {
            mouse(map, QEvent::MouseButtonPress, c, b, b);
            for (int k = 1; k <= 4; ++k)
                mouse(map, QEvent::MouseMove, c + QPoint(10 * k, 6 * k), Qt::NoButton, b);
            mouse(map, QEvent::MouseButtonRelease, c + QPoint(40, 24), b, Qt::NoButton);
        });
        act(counts, QStringLiteral("map double click"), [&] {
            const QPoint d = c + QPoint(-30, 20);
            mouse(map, QEvent::MouseButtonPress, d, b, b);
            mouse(map, QEvent::MouseButtonRelease, d, b, Qt::NoButton);
            mouse(map, QEvent::MouseButtonDblClick, d, b, b);
            mouse(map, QEvent::MouseButtonRelease, d, b, Qt::NoButton);
        });
        counts.clicks += 3;
    }
    // The popups a click opened close again.
    for (QMenu *m : w.findChildren<QMenu *>())
        m->hide();
}

// Every visible, enabled button of the tool bars, and Enter in every field.
void useToolBars(Counts &counts, TTolvane &w)
{
    for (QToolBar *bar : w.findChildren<QToolBar *>()) {
        if (bar->isHidden())
            continue;
        for (QToolButton *b : bar->findChildren<QToolButton *>()) {
            if (b->isHidden() || !b->isEnabled())
                continue;
            ++counts.buttons;
            act(counts, bar->objectName() + u'/' + b->objectName(), [b] { b->click(); });
            for (QMenu *m : w.findChildren<QMenu *>())
                m->hide();
        }
        for (QLineEdit *e : bar->findChildren<QLineEdit *>()) {
            if (e->isHidden() || !e->isEnabled())
                continue;
            ++counts.edits;
            act(counts, bar->objectName() + u'/' + e->objectName(), [e] {
                if (e->text().isEmpty())
                    e->setText(QStringLiteral("12"));
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
                QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
                QApplication::sendEvent(e, &press);
                QApplication::sendEvent(e, &release);
            });
        }
    }
}

// The selections a round starts from: none, the first object of each layer,
// and every object of each layer.
std::vector<std::vector<TSelObject>> selections(TMapVyk &map, bool firstOnly)
{
    std::vector<std::vector<TSelObject>> all{{}};
    for (int l = 0; l < static_cast<int>(map.Project().Layers.size()); ++l) {
        const TMapLayer &L = map.Project().Layers[static_cast<size_t>(l)];
        std::vector<TSelObject> whole;
        for (int i = 0; i < static_cast<int>(L.Objects.size()); ++i) {
            TSelObject e;
            e.Layer = l;
            e.Index = i;
            if (L.MapType == mtTextLayer) {
                TShpObject s;
                map.ReadObject(l, i, s);
                e.Kind = static_cast<Byte>(s.ShapeType);
            }
            whole.push_back(e);
        }
        if (whole.empty())
            continue;
        all.push_back({whole.front()});
        if (!firstOnly)
            all.push_back(whole);
    }
    return all;
}

} // namespace

int main(int argc, char **argv)
{
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(Usage);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    app::Application application(argc, argv);
    app::loadPlatformTranslations(app::interfaceLanguage());
    // --quick: the pick and draw tools only, from no selection and from one
    // object of each layer (the run of the tests).
    bool quick = false;
    QString source = QStringLiteral(TOLVANE_PROGRAM_DIR);
    int folders = 0;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--quick") {
            quick = true;
        } else if (arg.startsWith('-') || ++folders > 1) {
            return tools::wrongArguments("clickthrough", ("unknown argument " + arg).constData(), Usage);
        } else {
            source = QString::fromLocal8Bit(arg);
        }
    }
    // The run works on a copy of the program folder (without the program
    // itself): the commands write pictures and delete work files there.
    QTemporaryDir temp;
    const QString programDir = temp.filePath(QStringLiteral("program"));
    if (!temp.isValid() || !copyProgramFolder(source, programDir) ||
        !QFileInfo::exists(QDir(programDir).filePath(QStringLiteral("Demo/demo.tvp")))) {
        std::fprintf(stderr, "clickthrough: cannot copy the program folder and demo project of %s\n",
                     qPrintable(source));
        return 2;
    }
    QDir().mkpath(temp.filePath(QStringLiteral("work")));
    platform::Registry::instance().setStorageFile(temp.filePath(QStringLiteral("registry.reg")));
    const QString key = QStringLiteral("\\SOFTWARE\\Tolvane 2");
    const QString project = QDir(programDir).filePath(QStringLiteral("Demo/demo.tvp"));
    MapFunctions::WriteMachineRegString(key, QStringLiteral("ProgramDirectory"), programDir);
    MapFunctions::WriteMachineRegString(key, QStringLiteral("TempDir"), temp.filePath(QStringLiteral("work")));
    MapFunctions::WriteMachineRegString(key, QStringLiteral("LastOpenTvpFile"), project);
    QDir::setCurrent(programDir);

    CautiousUser user(temp.filePath(QStringLiteral("work")));
    // Built pages open in the preview window, as in the program (the user
    // closes it).
    reports::QtPreviewWindows previews;
    platform::ScopedService<reports::PreviewWindows> previewWindows(previews);
    user.restore = [&] {
        // The project file and its layers as the program folder has them;
        // layers made by a round are dropped.
        const QString demo = QDir(programDir).filePath(QStringLiteral("Demo"));
        QDir(demo).removeRecursively();
        platform::copyFolder(QDir(source).filePath(QStringLiteral("Demo")), demo);
    };
    platform::ScopedService<platform::UserAnswers> answers(user);

    auto *frame = new TStart();
    frame->EnsureMapWindow();
    frame->showMaximized();
    frame->activateWindow();
    QElapsedTimer started;
    started.start();
    while (Tolvane && !Tolvane->FirstActivationDone() && started.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!Tolvane)
        return 2;
    TTolvane &w = *Tolvane;
    if (!w.FirstActivationDone())
        w.FormActivate();
    if (w.MapImage->Project().Layers.empty()) {
        std::fprintf(stderr, "clickthrough: the demo project did not open\n");
        return 2;
    }

    QList<QToolButton *> tools = {w.PBPick, w.PBZoom, w.pbSelect, w.pbDraw, w.pbEdit, w.TbLen, w.tbInfo, w.tbLabel};
    if (quick)
        tools = {w.PBPick, w.pbDraw};
    QList<QMenu *> popups;
    for (QMenu *m : w.findChildren<QMenu *>())
        if (platform::formClass(m) == QStringLiteral("TPopupMenu"))
            popups << m;
    say(QStringLiteral("%1 popup menus").arg(popups.size()));

    Counts counts;
    int round = 0;
    // Each round starts from the project as it is on disk.
    const auto reopen = [&] {
        user.reopen = project;
        act(counts, QStringLiteral("reopen"), [&] { w.nFileOpen->trigger(); });
    };
    reopen();
    const auto fewer = selections(*w.MapImage, true);
    const auto more = selections(*w.MapImage, false);
    for (QToolButton *tool : tools) {
        // Every selection with the pick tool; the other tools from none and
        // from one object of each layer.
        for (const auto &selection : quick || tool != w.PBPick ? fewer : more) {
            ++round;
            say(QStringLiteral("round %1: %2, %3 selected").arg(round).arg(tool->objectName()).arg(selection.size()));
            reopen();
            const auto select = [&] {
                tool->setChecked(true);
                w.MapImage->Selection().Entries.clear();
                // Objects deleted meanwhile cannot be picked.
                for (const TSelObject &e : selection) {
                    if (!w.ValidLayer(e.Layer))
                        continue;
                    const auto &objects = w.MapImage->Project().Layers[static_cast<size_t>(e.Layer)].Objects;
                    if (static_cast<size_t>(e.Index) < objects.size() && !objects[static_cast<size_t>(e.Index)].Deleted)
                        w.MapImage->Selection().Entries.push_back(e);
                }
                w.MapImage->RecalcSelectionExtent();
                w.ShowStylePanel();
                if (qEnvironmentVariableIsSet("CLICKTHROUGH_VERBOSE"))
                    say(QStringLiteral("  selected %1 of %2")
                            .arg(w.MapImage->Selection().Entries.size())
                            .arg(selection.size()));
            };
            // Each stage from the project as it is on disk: the tool bars and
            // menus hold commands that close it.
            act(counts, QStringLiteral("select"), select);
            useToolBars(counts, w);
            // The popups twice: from the first item down and from the last
            // up, so that the items after one that deletes the selection
            // also see it.
            for (bool backwards : {false, true}) {
                for (QMenu *m : popups) {
                    reopen();
                    useMenu(counts, m, m->objectName(), select, backwards);
                }
            }
            reopen();
            act(counts, QStringLiteral("select"), select);
            useMap(counts, w);
            reopen();
            act(counts, QStringLiteral("select"), select);
            for (QAction *top : w.MainMenu1->actions())
                if (QMenu *m = top->menu())
                    useMenu(counts, m, m->objectName());
        }
    }
    // What no round brings up on the demo project: the pattern pickers of
    // the figures' tool bar (its text layer holds no figures) and, with the
    // text layer made active, the labels of the pick menu.
    reopen();
    for (int l = 0; l < static_cast<int>(w.MapImage->Project().Layers.size()); ++l) {
        if (w.MapImage->Project().Layers[static_cast<size_t>(l)].MapType != mtTextLayer)
            continue;
        w.MapImage->Project().ActiveLayer = l;
        w.ShowActiveLayerRow(l);
        break;
    }
    w.PBPick->setChecked(true);
    for (QToolButton *b : {w.SpeedButton5, w.SpeedButton7, w.SpeedButton10, w.SpeedButton13}) {
        ++counts.buttons;
        act(counts, QStringLiteral("pickers/") + b->objectName(), [b] { b->click(); });
    }
    useMenu(counts, w.pMenuPick, w.pMenuPick->objectName());

    say(QStringLiteral("done: %1 rounds, %2 menu items, %3 buttons, %4 fields, %5 map gestures, %6 messages, "
                       "%7 file dialogs, %8 windows, %9 errors")
            .arg(round)
            .arg(counts.items)
            .arg(counts.buttons)
            .arg(counts.edits)
            .arg(counts.clicks)
            .arg(user.messages)
            .arg(user.files)
            .arg(user.modals)
            .arg(counts.errors));
    frame->close();
    delete frame;
    return 0;
}
