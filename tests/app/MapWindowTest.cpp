// The map window: creation defaults, the enabling of the edit commands, the
// resize rule, the first activation, cursors, and the controls as the form
// translation sees them.

#include "AppTestSupport.h"

#include "app/FFirstOpen.h"
#include "app/FormControls.h"
#include "dialogs/FCalcProj.h"
#include "dialogs/FCalcProjection.h"
#include "dialogs/FCalcRotate.h"
#include "dialogs/FCalcShift.h"
#include "dialogs/FCalcTransform.h"
#include "dialogs/FNewGeo.h"
#include "dialogs/FTransformXY.h"
#include "mapengine/ScreenCursors.h"
#include "geodesy/Projector.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapdata/MapFunctions.h"
#include "platform/ui/FormClass.h"
#include "platform/IniFile.h"
#include "platform/TextCodec.h"

#include <QAction>
#include <QPushButton>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <set>

using apptest::setProductValue;

class MapWindowTest : public apptest::WindowTest {};

TEST_F(MapWindowTest, CreationDefaults)
{
    TTolvane &w = mapWindow();
    EXPECT_EQ(w.FProjector->Params,
              (QStringList{"proj=tmerc", "ellps=krass", "units=m", "lon_0=33d0E", "lat_0=0d0N", "k=1", "x_0=6500000",
                           "y_0=0"}));
    const TTextRecord &t = w.MapImage->Template();
    EXPECT_EQ(t.FontName, QStringLiteral("Arial Cyr"));
    EXPECT_EQ(t.FontSize, 10);
    EXPECT_EQ(t.FontStyle, 0);
    EXPECT_EQ(t.Rotate, 0);
    EXPECT_EQ(t.Transparent, 0);
    EXPECT_EQ(t.Symbol, QChar(u'l'));
    EXPECT_EQ(t.TextColor, 0);
    EXPECT_EQ(t.BgTextColor, 0xFFFFFF);
    EXPECT_EQ(t.Reserved291, 0);
    EXPECT_EQ(t.TextAlign, 0);
    EXPECT_EQ(t.Reserved307, 0);
    EXPECT_EQ(t.Reserved311, 0);
    // Layers are projected through the projection library.
    w.MapImage->Project().Layers.resize(1);
    w.MapImage->Project().Layers[0].VykProject = true;
    w.MapImage->Project().Layers[0].StrProject = QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33 +x_0=6500000");
    EXPECT_TRUE(w.MapImage->InitLayerProjection(0));
    w.MapImage->FreeLayerProjection();
    w.MapImage->Project().Layers.clear();
    EXPECT_EQ(w.MapImage->BlockSize(), 100);
    EXPECT_EQ(w.MapImage->JournalPos(), 0);
    EXPECT_EQ(w.MapImage->JournalCount(), 0);
    EXPECT_FALSE(w.MapImage->Settings().Caching);
    EXPECT_TRUE(w.MapImage->Settings().Compatibility);
    EXPECT_EQ(w.MapImage->Settings().RegistryKey, QStringLiteral("Tolvane 2"));
    EXPECT_TRUE(w.MapImage->ProjectFile().isEmpty());
    EXPECT_TRUE(w.windowTitle().isEmpty());
    EXPECT_EQ(w.FResizeCount, 0);
    EXPECT_EQ(w.ControlBar->height(), 82);
    // The style tool bars wait for an object that needs them.
    for (QToolBar *bar : {w.ToolBarText, w.ToolBarPoints, w.ToolBarSymbol, w.ToolBarPick})
        EXPECT_TRUE(bar->isHidden()) << bar->objectName().toStdString();
    for (QToolBar *bar : {w.ToolBarMain, w.ToolBarZoom})
        EXPECT_FALSE(bar->isHidden()) << bar->objectName().toStdString();
    EXPECT_FALSE(w.TimerIncome->isActive());
    EXPECT_EQ(w.TimerIncome->interval(), 10000);
    EXPECT_TRUE(w.nSnapPoint->isChecked());
    EXPECT_FALSE(w.nSnapLine->isChecked());
    // A double click of the edit tool inserts and deletes vertices.
    EXPECT_TRUE(w.nPointIns->isChecked());
    EXPECT_TRUE(w.nPointDel->isChecked());
    EXPECT_TRUE(w.PBZoom->isChecked());
    EXPECT_TRUE(w.TBZoom->isChecked());
    EXPECT_TRUE(w.TBPointsNew->isChecked());
    EXPECT_TRUE(w.TBPointsNew->isHidden());
}

TEST_F(MapWindowTest, WorkFolderAndWheelFromTheSettings)
{
    struct Case {
        const char *tempDir;   // nullptr: no value
        const char *typeWheel;
        QString workDir;
        bool reversed;
    };
    const Case cases[] = {
        {nullptr, nullptr, QDir::currentPath(), false},
        {"", "0", QDir::currentPath(), false},
        {"/data/work", "1", QStringLiteral("/data/work"), true},
        {"/data/work", "2", QStringLiteral("/data/work"), false},
        {"/data/work", " 1", QStringLiteral("/data/work"), false},
    };
    for (const Case &c : cases) {
        platform::Registry::instance().deleteKey(platform::RegRoot::LocalMachine, apptest::ProductKey);
        if (c.tempDir)
            setProductValue(QStringLiteral("TempDir"), QString::fromUtf8(c.tempDir));
        if (c.typeWheel)
            setProductValue(QStringLiteral("TypeWheel"), QString::fromUtf8(c.typeWheel));
        TTolvane w;
        EXPECT_EQ(w.MapImage->WorkDir(), c.workDir) << c.tempDir;
        EXPECT_EQ(w.MapImage->Settings().WheelReversed, c.reversed) << c.typeWheel;
    }
}

TEST_F(MapWindowTest, EditCommandsEnablingWhenTheMenuChanges)
{
    TTolvane &w = mapWindow();
    auto layer = [](Byte mapType, Byte objType) {
        TMapLayer l;
        l.MapType = mapType;
        l.ObjType = objType;
        return l;
    };
    auto selected = [](int layerIndex) {
        TSelObject e;
        e.Layer = layerIndex;
        return e;
    };
    struct Case {
        const char *what;
        std::vector<TMapLayer> layers;
        int active;
        std::vector<TSelObject> selection;
        bool pick;
        // expected: split, unsplit/revase, statistic, new, edit, buffers, delete
        bool split, unsplit, stat, objNew, objEdit, buffers, del;
    };
    const Case cases[] = {
        {"no project", {}, 0, {}, false, false, false, false, false, false, false, false},
        {"one shape layer, nothing selected", {layer(1, 2)}, 0, {}, true, false, false, false, true, false, false,
         false},
        {"one object of a MapType 2 layer", {layer(2, 3)}, 0, {selected(0)}, true, false, true, true, false, false,
         false, false},
        {"one object of a line layer, pick up", {layer(1, 2)}, 0, {selected(0)}, false, false, false, true, true,
         true, false, true},
        {"one object of a line layer, pick down", {layer(1, 2)}, 0, {selected(0)}, true, false, true, true, true,
         true, true, true},
        {"two objects of a polygon layer", {layer(1, 3)}, 0, {selected(0), selected(0)}, true, true, true, true, true,
         false, true, true},
        {"point layer: no buffers", {layer(1, 5)}, 0, {selected(0)}, true, false, true, true, true, true, false,
         true},
        {"text layer: buffers", {layer(8, 0)}, 0, {selected(0)}, true, false, true, true, true, true, true, true},
        {"active index past the table", {layer(1, 2)}, 3, {selected(0)}, true, false, true, true, false, true, false,
         true},
        {"selection in a layer past the table", {layer(1, 2)}, 0, {selected(5)}, true, false, true, true, true, false,
         true, true},
    };
    for (const Case &c : cases) {
        w.MapImage->Project().Layers = c.layers;
        w.MapImage->Project().ActiveLayer = c.active;
        w.MapImage->Selection().Entries = c.selection;
        w.PBPick->setChecked(c.pick);
        w.PBZoom->setChecked(!c.pick);
        w.MainMenu1Change();
        EXPECT_EQ(w.mSplit->isEnabled(), c.split) << c.what;
        EXPECT_EQ(w.mUnSplit->isEnabled(), c.unsplit) << c.what;
        EXPECT_EQ(w.mRevase->isEnabled(), c.unsplit) << c.what;
        EXPECT_EQ(w.nSatistic->isEnabled(), c.stat) << c.what;
        EXPECT_EQ(w.nObjectNew->isEnabled(), c.objNew) << c.what;
        EXPECT_EQ(w.nObjectEdit->isEnabled(), c.objEdit) << c.what;
        EXPECT_EQ(w.mBufferForPoly->isEnabled(), c.buffers) << c.what;
        EXPECT_EQ(w.mBufferForLine->isEnabled(), c.buffers) << c.what;
        EXPECT_EQ(w.mBufferForPoint->isEnabled(), c.buffers) << c.what;
        EXPECT_EQ(w.mObjectDelete->isEnabled(), c.del) << c.what;
    }
}

TEST_F(MapWindowTest, MenuOpeningRecomputesTheEnablingAndSelectionChangesDoNot)
{
    TTolvane &w = mapWindow();
    w.MapImage->Project().Layers.resize(1);
    w.MapImage->Project().Layers[0].MapType = 1;
    w.MainMenu1Change();
    EXPECT_FALSE(w.nSatistic->isEnabled());
    w.MapImage->Selection().Entries.resize(1);
    EXPECT_FALSE(w.nSatistic->isEnabled());
    emit w.menuEdit->aboutToShow();
    EXPECT_TRUE(w.nSatistic->isEnabled());
}

TEST_F(MapWindowTest, TheFirstFiveResizesChangeNothing)
{
    TTolvane &w = mapWindow();
    w.MapImage->Project().Layers.resize(1);
    w.MapImage->SetScale(200);
    w.MapImage->SetCentreX(5400000);
    w.MapImage->SetCentreY(1300000);
    for (int i = 1; i <= 5; ++i) {
        w.FormResize();
        EXPECT_EQ(w.FResizeCount, i);
        EXPECT_EQ(w.MapImage->View().Scale, 200);
        EXPECT_EQ(w.MapImage->View().CenterX, 5400000);
    }
    // Without a layer nothing changes however often the window is resized.
    w.MapImage->Project().Layers.clear();
    for (int i = 0; i < 3; ++i)
        w.FormResize();
    EXPECT_EQ(w.MapImage->View().Scale, 200);
    EXPECT_EQ(w.MapImage->View().CenterY, 1300000);
}

TEST_F(MapWindowTest, FirstActivationWithAMissingLastProjectShowsTheWelcomeOnce)
{
    setProductValue(QStringLiteral("LastOpenTvpFile"), dir_.file(QStringLiteral("gone.tvp")));
    TTolvane &w = mapWindow();
    TFirstOpen *welcome = FirstOpenWindow();
    welcome->hide();
    EXPECT_FALSE(w.FirstActivationDone());
    w.FormActivate();
    EXPECT_TRUE(w.FirstActivationDone());
    EXPECT_TRUE(welcome->isVisible());
    EXPECT_TRUE(w.MapImage->ProjectFile().isEmpty());
    welcome->hide();
    w.FormActivate();
    EXPECT_FALSE(welcome->isVisible());
}

namespace {
// A 32 x 32 cursor of 32 bits per pixel with its AND mask, hotspot (hx, hy),
// written byte by byte.
QByteArray cursorFile(int hx, int hy)
{
    const int pixels = 32 * 32 * 4, mask = 32 * 4;
    QByteArray b(6 + 16 + 40 + pixels + mask, '\0');
    testsupport::putLE16(b, 0, 0);
    testsupport::putLE16(b, 2, 2);   // cursor
    testsupport::putLE16(b, 4, 1);   // one image
    b[6] = 32;
    b[7] = 32;
    testsupport::putLE16(b, 10, static_cast<std::int16_t>(hx));
    testsupport::putLE16(b, 12, static_cast<std::int16_t>(hy));
    testsupport::putLE32(b, 14, 40 + pixels + mask);
    testsupport::putLE32(b, 18, 22);
    testsupport::putLE32(b, 22, 40);
    testsupport::putLE32(b, 26, 32);
    testsupport::putLE32(b, 30, 64);
    testsupport::putLE16(b, 34, 1);
    testsupport::putLE16(b, 36, 32);
    testsupport::putLE32(b, 42, pixels + mask);
    for (int i = 0; i < 32 * 32; ++i)
        b[62 + 4 * i + 3] = static_cast<char>(0xFF);   // opaque black
    return b;
}
} // namespace

TEST_F(MapWindowTest, ShowingLoadsTheCursorsThatExistAndHidesTheCadastralMenus)
{
    QDir(dir_.path()).mkdir(QStringLiteral("cur"));
    dir_.write(QStringLiteral("cur/ZoomIn.cur"), cursorFile(10, 12));   // case differs from the name asked for
    dir_.write(QStringLiteral("cur/pick.cur"), QByteArray("not a cursor"));
    TTolvane &w = mapWindow();
    w.MapImage->SetProgramDir(dir_.path());
    w.FormShow();
    EXPECT_EQ(mapengine::screenCursor(10).shape(), Qt::BitmapCursor);
    EXPECT_EQ(mapengine::screenCursor(10).hotSpot(), QPoint(10, 12));
    EXPECT_EQ(mapengine::screenCursor(11).shape(), Qt::ArrowCursor);
    EXPECT_EQ(mapengine::screenCursor(20).shape(), Qt::ArrowCursor);

    EXPECT_FALSE(w.mWindows->menuAction()->isVisible());
    const char *hidden[] = {"mNewLayerZone",    "mNewLayerBlock",    "mNewLayerLand",     "mNewLayerPlan",
                            "mNewLayerAgro",    "mNewLayerServ",     "mNewLayerLim",      "mNewLayerLease",
                            "mCreateLayerIn4",  "mNewLayerEstimate", "mNewLayerEstZone",  "mNewLayerEstAgro",
                            "mNewLayerEstPoint", "mNewLayerEstLine", "mNewLayerEstPoly",  "N141",
                            "mNewLayerL1",      "nNewLayerZone",     "nNewLayerBlock",    "nNewLayerLand",
                            "nNewLayerPlan",    "nNewLayerAgro",     "nNewLayerServ",     "nNewLayerLim",
                            "nNewLayerLease",   "nNewLayerEstimate", "nNewLayerEstZone",  "nNewLayerEstAgro",
                            "nNewLayerEstPoint", "nNewLayerEstLine", "nNewLayerEstPoly",  "N24",
                            "nNewLayerL1"};
    for (const char *name : hidden) {
        auto *a = w.findChild<QAction *>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_FALSE(a->isVisible()) << name;
    }
    const char *shown[] = {"N38", "mNewLayerPoint", "mNewLayerPolyline", "mNewLayerPoligon", "In42",
                           "mNewLayerImage", "N84", "mCreateLayerNav", "nNewLayerPoint", "N18", "N66", "In41"};
    for (const char *name : shown)
        EXPECT_TRUE(w.findChild<QAction *>(QString::fromLatin1(name))->isVisible()) << name;
    // The saving and transformation commands stay enabled.
    for (QAction *a : {w.nFileSave, w.nFileSaveAs, w.aSaveLayer, w.mLayerSaveAll, w.nLayerSaveAs, w.mLayerSaveAs,
                       w.mShift, w.mTransformXY, w.mTransformKey, w.mTransformSys, w.mTransformPro, w.mImport})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(MapWindowTest, ControlsAreNamedOnceAndTagged)
{
    TTolvane &w = mapWindow();
    std::set<QString> names;
    for (QObject *o : platform::ownedComponents(&w)) {
        if (platform::formClass(o).isEmpty() || o->objectName().isEmpty())
            continue;
        if (auto *a = qobject_cast<QAction *>(o); a && a->isSeparator())
            continue;
        EXPECT_TRUE(names.insert(o->objectName()).second) << "twice: " << o->objectName().toStdString();
    }
    // The design's names the other windows and the project file reach.
    for (const char *name : {"MapImage", "MapStatusBar", "ControlBar", "LVLayer", "ListLayers", "MapLayersPanel",
                             "ScrollBoxLayers", "MainMenu1", "PMenuLayers", "pMenuPick", "PMenuScale", "ActionList1",
                             "TimerIncome", "EditScale", "SBScale1", "Bevel10", "tbOpenImage", "aSaveLayer",
                             "nFileOpen", "NM19", "NS19", "NF18", "N1010", "nPenMode16", "NStylePlan13",
                             "MenuItem17", "MenuItem27", "MenuItem42"})
        EXPECT_TRUE(names.count(QString::fromLatin1(name))) << name;
    EXPECT_EQ(platform::statusPanels(w.MapStatusBar).size(), 6);
    // The design's widths; the scale, area and coordinate panels grow where
    // the font needs it.
    const int widths[6] = {80, 150, 100, 100, 200, 170};
    for (int i = 0; i < 6; ++i) {
        if (i < 4)
            EXPECT_GE(platform::statusPanels(w.MapStatusBar)[i]->width(), widths[i]);
        else
            EXPECT_EQ(platform::statusPanels(w.MapStatusBar)[i]->width(), widths[i]);
    }
    EXPECT_EQ(w.ListLayers->columnCount(), 5);
    EXPECT_EQ(w.ListLayers->columnWidth(0), 180);
    EXPECT_EQ(w.ListLayers->columnWidth(4), 0);
}

TEST_F(MapWindowTest, PopupValuesAreKeptInTheHints)
{
    TTolvane &w = mapWindow();
    EXPECT_EQ(app::hintOf(w.NM[4]), QStringLiteral("500"));
    EXPECT_EQ(w.NM[4]->text(), QStringLiteral("1:500"));
    EXPECT_EQ(app::hintOf(w.NS[16]), QStringLiteral("200000"));
    EXPECT_EQ(app::hintOf(w.NWidth[3]), QStringLiteral("0,5"));
    EXPECT_EQ(w.NWidth[3]->text(), QStringLiteral("0.5 мм"));
    EXPECT_EQ(app::hintOf(w.nPenMode[12]), QStringLiteral("12"));
    EXPECT_EQ(app::hintOf(w.NStylePlan[0]), QStringLiteral("1"));
    EXPECT_EQ(app::hintOf(w.NStylePlan[1]), QStringLiteral("0"));
    EXPECT_EQ(app::hintOf(w.N105), QStringLiteral("0"));
    EXPECT_EQ(w.NF[17]->text(), QStringLiteral("200"));
    EXPECT_EQ(app::hintOf(w.ArrowRight[9]), QStringLiteral("9"));
    // The action list: inverted names as designed, keys and hints.
    EXPECT_EQ(w.aZoomIn->text(), QStringLiteral("Уменьшить"));
    EXPECT_EQ(w.aZoomIn->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(app::hintOf(w.aZoomOut), QStringLiteral("Увеличение рисунка"));
    EXPECT_EQ(w.aZoomOut->shortcut(), QKeySequence(Qt::Key_F4));
    EXPECT_EQ(app::hintOf(w.aBufferForPoly), QStringLiteral("Расчёт буфферной зоны для полигонов"));
    // A menu item linked to an action shows and follows it.
    EXPECT_EQ(w.mZoomIn->text(), QStringLiteral("Уменьшить"));
    EXPECT_EQ(w.mZoomIn->shortcut(), QKeySequence(Qt::Key_F3));
    w.aSaveLayer->setEnabled(false);
    EXPECT_FALSE(w.mLayerSave->isEnabled());
    w.aSaveLayer->setEnabled(true);
    EXPECT_TRUE(w.mLayerSave->isEnabled());
}

namespace {
// The sections of a language file of the program folder's sources: window
// name -> keys.
std::map<QString, QStringList> languageSections(const QString &name)
{
    QFile f(QStringLiteral(TOLVANE_SOURCE_DIR "/resources/program-1251/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    std::map<QString, QStringList> sections;
    QString current;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n')) {
        const QString l = line.trimmed();
        if (l.isEmpty() || l.startsWith(u';'))
            continue;
        if (l.startsWith(u'[')) {
            current = l.mid(1, l.size() - 2);
            continue;
        }
        sections[current] << l.section(u'=', 0, 0);
    }
    return sections;
}
} // namespace

namespace {
// Makes the language file of the program's sources the one the windows are
// translated from ("Language" 1: Ukrainian, 2: Russian).
void useLanguageFile(const testsupport::TempFolder &dir, const QString &file, const char *language)
{
    QFile src(QStringLiteral(TOLVANE_SOURCE_DIR "/resources/program-1251/") + file);
    ASSERT_TRUE(src.open(QIODevice::ReadOnly));
    dir.write(file, platform::toCp1251(QString::fromUtf8(src.readAll())));
    platform::Registry::instance().writeString(platform::RegRoot::LocalMachine, QStringLiteral("\\SOFTWARE\\Quillery 6"),
                                               QStringLiteral("PathWorkFiles"), dir.path());
    platform::Registry::instance().writeValue(platform::RegRoot::LocalMachine, QStringLiteral("\\SOFTWARE\\Quillery 6"),
                                              QStringLiteral("Language"),
                                              platform::Registry::Value(QString::fromLatin1(language)));
}
} // namespace

TEST_F(MapWindowTest, LanguageFilesNameExistingControls)
{
    TTolvane &w = mapWindow();
    std::map<QString, QWidget *> windows = {{QStringLiteral("Tolvane"), &w},
                                            {QStringLiteral("FirstOpen"), FirstOpenWindow()},
                                            {QStringLiteral("TransformXY"), TransformXY()},
                                            {QStringLiteral("CalcShift"), CalcShift()},
                                            {QStringLiteral("CalcTransform"), CalcTransform()},
                                            {QStringLiteral("CalcProj"), CalcProj()},
                                            {QStringLiteral("CalcProjection"), CalcProjection()},
                                            {QStringLiteral("NewGeoSystem"), NewGeoSystem()},
                                            {QStringLiteral("NewGeoProject"), NewGeoProject()},
                                            {QStringLiteral("CalcRotate"), CalcRotate()}};
    for (const QString &file : {QStringLiteral("russian.lng"), QStringLiteral("ukraine.lng")}) {
        const auto sections = languageSections(file);
        EXPECT_EQ(sections.size(), windows.size()) << file.toStdString();
        for (const auto &[section, keys] : sections) {
            ASSERT_TRUE(windows.count(section)) << section.toStdString();
            QWidget *window = windows[section];
            for (const QString &key : keys) {
                // The window's own caption.
                if (key == u"Caption") {
                    EXPECT_EQ(platform::formParentClass(window), QStringLiteral("TForm")) << section.toStdString();
                    continue;
                }
                const QString name = key.section(u'.', 0, 0);
                const QString property = key.section(u'.', 1);
                QObject *o = nullptr;
                for (QObject *c : platform::ownedComponents(window))
                    if (c->objectName() == name)
                        o = c;
                ASSERT_NE(o, nullptr) << file.toStdString() << ": " << key.toStdString();
                const QString cls = platform::formClass(o);
                if (property == u"Hint")
                    EXPECT_TRUE(cls == u"TToolButton" || cls == u"TSpeedButton") << key.toStdString();
                else
                    EXPECT_EQ(property, QStringLiteral("Caption")) << key.toStdString();
            }
        }
    }
}

// The transformation dialogs take their texts from the language file too,
// bit buttons included.
TEST_F(MapWindowTest, TransformationDialogsAreTranslated)
{
    useLanguageFile(dir_, QStringLiteral("ukraine.lng"), "1");
    TCalcProj *d = CalcProj();
    VykFunctions::TranslateForm(d->objectName());
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Перетворення системи координат"));
    EXPECT_EQ(d->bTransform->text(), QStringLiteral("Перетворити"));
    EXPECT_EQ(d->sbEdit->toolTip(), QStringLiteral("Властивості"));
    EXPECT_EQ(d->pmRound->actions()[0]->text(), QStringLiteral("без округлення"));
    useLanguageFile(dir_, QStringLiteral("russian.lng"), "2");
    VykFunctions::TranslateForm(d->objectName());
    EXPECT_EQ(d->bTransform->text(), QStringLiteral("Пеобразовать"));
}

TEST_F(MapWindowTest, CreationTranslatesTheWindow)
{
    // The Ukrainian file of the program's sources, written as the program
    // reads it.
    useLanguageFile(dir_, QStringLiteral("ukraine.lng"), "1");
    TTolvane &w = mapWindow();
    EXPECT_EQ(w.N111->title(), QStringLiteral("Шар"));
    EXPECT_EQ(w.nFileOpen->text(), QStringLiteral("Відкрити..."));
    EXPECT_EQ(w.PBZoom->toolTip(), QStringLiteral("Панель масштабування"));
    EXPECT_EQ(w.tbInfo->toolTip(), QStringLiteral("Інформаційна панель"));
    EXPECT_EQ(w.aZoomIn->text(), QStringLiteral("Зменшити"));
    EXPECT_EQ(w.mZoomIn->text(), QStringLiteral("Зменшити"));
    EXPECT_EQ(w.NStylePlan[4]->text(), QStringLiteral("клітинка"));
    // Values of the popups stay in their hints.
    EXPECT_EQ(app::hintOf(w.NStylePlan[4]), QStringLiteral("6"));
}

// The mouse tools' buttons, the draw kinds and the switches with their texts,
// as the window is built and as the Russian language file leaves them.
TEST_F(MapWindowTest, ToolHintsDrawKindsAndSwitches)
{
    for (const bool russianFile : {false, true}) {
        SCOPED_TRACE(russianFile ? "russian.lng" : "no language file");
        if (russianFile)
            useLanguageFile(dir_, QStringLiteral("russian.lng"), "2");
        TTolvane w;
        struct Tool {
            QToolButton *TTolvane::*button;
            const char *hint;
            bool down;
        };
        const Tool tools[] = {
            {&TTolvane::PBZoom, "Панель масштабирования", true},
            {&TTolvane::TBZoom, "Масштабирование", true},
            {&TTolvane::TBMove, "Смещение", false},
            {&TTolvane::TbLen, "Линейка", false},
            {&TTolvane::tbInfo, "Информационня панель", false},
            {&TTolvane::tbLabel, "Смещение обозначений", false},
            {&TTolvane::PBPick, "Выбор объектов", false},
            {&TTolvane::pbSelect, "Выбор", false},
            {&TTolvane::pbDraw, "Рисовать", false},
            {&TTolvane::pbEdit, "Изменить", false},
            {&TTolvane::pbCosmetic, "Создание полигона", false},
        };
        for (const Tool &t : tools) {
            QToolButton *b = w.*t.button;
            EXPECT_EQ(app::hintOf(b), QString::fromUtf8(t.hint)) << b->objectName().toStdString();
            EXPECT_EQ(b->toolTip(), QString::fromUtf8(t.hint)) << b->objectName().toStdString();
            EXPECT_EQ(b->isChecked(), t.down) << b->objectName().toStdString();
        }
        // pbCosmetic holds its draw kind as its menu item: "Полигон" at start.
        EXPECT_EQ(w.pbCosmetic->text(), QStringLiteral("Полигон"));
        EXPECT_EQ(w.pbCosmetic->menu(), w.pMenuDraw);

        struct Kind {
            QAction *TTolvane::*item;
            const char *caption, *hint;
            bool visible;
        };
        const Kind kinds[] = {
            {&TTolvane::nDrawPoint, "Точка", "Создание точки", true},
            {&TTolvane::nDrawText, "Текст", "Создание текста", true},
            {&TTolvane::nDrawSymbol, "Символ", "Создание символа", true},
            {&TTolvane::nDrawLine, "Отрезок", "Создание отрезка", true},
            {&TTolvane::nDrawMultiPoint, "Точки", "Создание набора точек", true},
            {&TTolvane::nDrawPolyLine, "Линия", "Создание линии", true},
            {&TTolvane::nDrawPolygon, "Полигон", "Создание полигона", true},
            {&TTolvane::nDrawRect, "Квадрат", "Создание прямоугольника", false},
            {&TTolvane::nDrawArc, "Овал", "Создание овала", true},
            {&TTolvane::nDrawBizer, "Кривая", "Создание линии Безье", true},
        };
        const QList<QAction *> menuOrder = w.pMenuDraw->actions();
        ASSERT_EQ(menuOrder.size(), qsizetype(std::size(kinds)));
        for (size_t i = 0; i < std::size(kinds); ++i) {
            QAction *a = w.*kinds[i].item;
            EXPECT_EQ(menuOrder[qsizetype(i)], a) << kinds[i].caption;
            EXPECT_EQ(a->text(), QString::fromUtf8(kinds[i].caption));
            EXPECT_EQ(app::hintOf(a), QString::fromUtf8(kinds[i].hint)) << kinds[i].caption;
            EXPECT_EQ(a->isVisible(), kinds[i].visible) << kinds[i].caption;
        }

        struct Switch {
            QAction *TTolvane::*item;
            const char *caption;
            QKeySequence shortcut;
            bool on;
        };
        const Switch switches[] = {
            {&TTolvane::nSnapPoint, "Прилипание к точкам", QKeySequence(Qt::ALT | Qt::Key_S), true},
            {&TTolvane::nSnapLine, "Прилипание к линиям", QKeySequence(Qt::SHIFT | Qt::Key_S), false},
            {&TTolvane::nPointIns, "Автосоздание точки", QKeySequence(), true},
            {&TTolvane::nPointDel, "Автоудаление точки", QKeySequence(), true},
        };
        for (const Switch &s : switches) {
            QAction *a = w.*s.item;
            EXPECT_EQ(a->text(), QString::fromUtf8(s.caption));
            EXPECT_EQ(a->shortcut(), s.shortcut) << s.caption;
            EXPECT_TRUE(a->isCheckable()) << s.caption;
            EXPECT_EQ(a->isChecked(), s.on) << s.caption;
        }
        EXPECT_EQ(w.NDelPoint->text(), QStringLiteral("Удалить"));
        EXPECT_FALSE(w.NDelPoint->isEnabled());
    }
}

TEST_F(MapWindowTest, TheDrawButtonShowsTheChosenKind)
{
    TTolvane &w = mapWindow();
    w.nDrawArc->trigger();
    EXPECT_TRUE(w.pbDraw->isChecked());
    EXPECT_EQ(w.DrawKindItem(), w.nDrawArc);
    EXPECT_EQ(w.pbCosmetic->text(), QStringLiteral("Овал"));
    EXPECT_EQ(w.pbCosmetic->toolTip(), QStringLiteral("Создание овала"));
    // Pressing pbDraw takes the polygon again.
    w.pbDraw->click();
    EXPECT_EQ(w.DrawKindItem(), w.nDrawPolygon);
    EXPECT_EQ(w.pbCosmetic->text(), QStringLiteral("Полигон"));
    EXPECT_EQ(app::hintOf(w.pbCosmetic), QStringLiteral("Создание полигона"));
}

namespace {
// Whether a status panel shows its whole text: the text's width within the
// panel's frame, after the indent a framed label keeps on its left.
bool showsWholeText(const QLabel *panel)
{
    const QFontMetrics fm = panel->fontMetrics();
    const int indent = panel->indent() >= 0 ? panel->indent() : panel->frameWidth() > 0 ? fm.horizontalAdvance(u'x') / 2 : 0;
    return fm.horizontalAdvance(panel->text()) <= panel->contentsRect().width() - indent - 2 * panel->margin();
}
} // namespace

TEST_F(MapWindowTest, StatusPanelsHoldLargeCoordinatesAndScales)
{
    TTolvane &w = mapWindow();
    TMapVyk &map = *w.MapImage;
    const QList<QLabel *> panels = platform::statusPanels(w.MapStatusBar);
    ASSERT_EQ(panels.size(), 6);
    struct Case {
        double denominator, x, y;   // the cursor's map point
    };
    const Case cases[] = {
        {500, 9876543.219, 8765432.104},          // seven digits before the separator
        {2000, -6543210.5, -5400000.25},
        {2147483647, 1300000, 5400000},           // the smallest scale a view holds
        {1, 1000, 1000},
    };
    for (const Case &c : cases) {
        map.SetScale(map.DenominatorToScale(c.denominator));
        map.SetPictureWidth(400000);               // a wide screen, 4 m of picture
        map.SetPictureHeight(300000);
        map.SetCentreX(c.x);
        map.SetCentreY(c.y);
        // The middle of the picture shows the centre.
        w.ShowStatusText(map.View().PictureWidth / 2, -map.View().PictureHeight / 2);
        ASSERT_TRUE(panels[2]->text().startsWith(QStringLiteral("X = "))) << panels[2]->text().toStdString();
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(showsWholeText(panels[i])) << i << ": \"" << panels[i]->text().toStdString() << "\" in "
                                                   << panels[i]->width() << " pixels";
    }
}
