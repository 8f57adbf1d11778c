#pragma once
// The map window: the one child window of the frame for the whole run. It
// holds the map control MapImage and every command that acts on the open
// project: menus, tool bars, the action list, the status bar and the layer
// list. Closing it only minimizes it.
//
// The methods are spread over several units by topic:
//   FTolvane.cpp            creation, showing, activation, resizing, the
//                           message hook, menu enabling, window and help commands
//   FTolvaneBuild.cpp       construction of the controls
//   FTolvaneProject.cpp     the project file and the project commands
//   FTolvaneLayers.cpp      layer creation and opening
//   FTolvaneLayerList.cpp   the layer list and the layer commands
//   FTolvaneNavigation.cpp  view navigation and the status bar
//   FTolvaneRender.cpp      the render loop, grids, progress and report pictures
//   FTolvaneDrawLayers.cpp  the drawing of one vector layer
//   FTolvaneMouse.cpp       the mouse tools, snapping and the selection marks
//   FTolvaneObjects.cpp     the object commands
//   FTolvaneAnalysis.cpp    the analysis and labelling commands
//   FTolvaneStyles.cpp      the style tool bars and the style panel
//   FTolvaneSearch.cpp      the search commands and what the search and
//                           attribute windows reach of the map window
//   FTolvaneMapPrint.cpp    the map page and the picture print

#include "mapengine/ui/MapVyk.h"
#include "platform/UserAnswers.h"

#include <QIcon>
#include <QMdiSubWindow>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <map>
#include <vector>
#include <memory>

class QAction;
class QActionGroup;
class QButtonGroup;
class QEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QScrollArea;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;

namespace geodesy {
class LayerProjectionLibrary;
class TProjector;
}
namespace platform::db {
class Table;
}
namespace dialogs {
class MapWindowHost;
}
namespace reports {
class TMapPrint;
}

class TTolvane;
// The map window of the run (null until it is made).
extern TTolvane *Tolvane;
// The map window, made when none exists: in the frame's area when there is a
// frame.
TTolvane *EnsureMapWindow();

class TTolvane : public QMdiSubWindow {
public:
    // FormCreate: builds the controls and sets the defaults.
    explicit TTolvane(QWidget *parent = nullptr);
    ~TTolvane() override;

    // ======================================================================
    // Controls (component names of the window's design)
    // ======================================================================

    // map area
    QScrollArea *MapScrollBox = nullptr;
    TMapVyk *MapImage = nullptr;

    // status bar: six panels of 80, 150, 100, 100, 200 and 170 pixels
    QStatusBar *MapStatusBar = nullptr;

    // tool bars
    QWidget *ControlBar = nullptr;
    QToolBar *ToolBarMain = nullptr, *ToolBarZoom = nullptr, *ToolBarPoints = nullptr, *ToolBarPick = nullptr,
             *ToolBarText = nullptr, *ToolBarSymbol = nullptr, *ToolBar1 = nullptr, *ToolBarView = nullptr;
    // ToolBarMain: the tools (one exclusive group, PBZoom down at start) ...
    QToolButton *PBZoom = nullptr, *TbLen = nullptr, *tbInfo = nullptr, *tbLabel = nullptr, *PBPick = nullptr,
                *pbSelect = nullptr, *pbDraw = nullptr, *pbEdit = nullptr, *pbCosmetic = nullptr;
    QButtonGroup *ToolGroup = nullptr;
    // ... and the commands, then the panel with the active-layer row
    QToolButton *tbUndo = nullptr, *tbRedo = nullptr, *tbLayerOpen = nullptr, *tbLayerClose = nullptr,
                *tbProLayer = nullptr, *tbProData = nullptr, *tbProView = nullptr, *tbOpenImage = nullptr,
                *tbSaveLayer = nullptr, *tbTrimTrac = nullptr;
    QWidget *LayerRowPanel = nullptr;
    // ToolBarZoom
    QToolButton *TBZoom = nullptr, *TBMove = nullptr, *tbZoomOut = nullptr, *tbZoomIn = nullptr;
    // ToolBarPoints
    QLineEdit *edPenWidth = nullptr;
    QLabel *imgTypePoint = nullptr, *imgArrowFirst = nullptr, *imgArrowLast = nullptr, *imgTypeLine = nullptr,
           *imgTypeFill = nullptr, *sPenColor = nullptr, *sBrushColor = nullptr;
    QToolButton *SpeedButton3 = nullptr, *SpeedButton7 = nullptr, *SpeedButton2 = nullptr, *SpeedButton4 = nullptr,
                *SpeedButton5 = nullptr, *SBLineColorShow = nullptr, *SBBgColorShow = nullptr,
                *SpeedButton10 = nullptr;
    // Digitizing points needs it down (the ruler's double click); never shown.
    QToolButton *TBPointsNew = nullptr;
    // ToolBarPick
    QToolButton *TBPick = nullptr, *tbSplit = nullptr, *tbUnSplit = nullptr, *tbRevase = nullptr, *TBWeld = nullptr,
                *ToolButton27 = nullptr, *ToolButton28 = nullptr, *TBFront = nullptr, *TBBack = nullptr;
    // ToolBarText
    QLineEdit *EditText = nullptr, *EditFont = nullptr, *EditSize = nullptr, *EditRotate = nullptr,
              *EditTextScale = nullptr;
    QLabel *ShapeTextColor = nullptr, *ShapeGgTextColor = nullptr;
    QToolButton *SpeedButton12 = nullptr, *SBTextColor = nullptr, *SBBgTextColor = nullptr, *SBSize = nullptr,
                *SpeedButton16 = nullptr, *SpeedButton17 = nullptr, *SBScale2 = nullptr, *tbBrushText = nullptr,
                *tbTextBold = nullptr, *tbTextItalic = nullptr, *tbTextUnderline = nullptr;
    // ToolBarSymbol
    QLineEdit *EditSymbol = nullptr, *EditFStyle = nullptr, *edSizeSymbol = nullptr, *edSymbolScale = nullptr;
    QLabel *sSymbolColor = nullptr, *sSymbolBgColor = nullptr;
    QToolButton *SpeedButton13 = nullptr, *SpeedButton21 = nullptr, *SpeedButton22 = nullptr,
                *SpeedButton23 = nullptr, *SpeedButton28 = nullptr, *tbBrushSymbol = nullptr;
    // ToolBar1
    QToolButton *tbOpenProject = nullptr, *tbSaveProject = nullptr;
    // ToolBarView
    QToolButton *TbViewLayers = nullptr, *TbViewObjects = nullptr, *TbSelectObject = nullptr,
                *tbPriorZoom = nullptr, *tbNextZoom = nullptr, *SBScale1 = nullptr;
    QLineEdit *EditScale = nullptr;
    // The group of the scale field and its button; the scale popup opens at
    // its lower left corner.
    QFrame *Bevel10 = nullptr;

    // layer list: the active-layer row and the drop-down panel with the list
    QTreeWidget *LVLayer = nullptr;
    QFrame *MapLayersPanel = nullptr;
    QScrollArea *ScrollBoxLayers = nullptr;
    QTreeWidget *ListLayers = nullptr;

    // main menu
    QMenuBar *MainMenu1 = nullptr;
    // "Проект"
    QMenu *N1 = nullptr;
    QAction *nFileNew = nullptr, *nFileOpen = nullptr, *nFileSave = nullptr, *nFileSaveAs = nullptr, *N54 = nullptr,
            *N27 = nullptr;
    // "Слой"
    QMenu *N111 = nullptr, *mNewLayer = nullptr;
    QAction *mOpenLayer = nullptr, *mNewLayerPoint = nullptr, *mNewLayerPolyline = nullptr,
            *mNewLayerPoligon = nullptr, *In42 = nullptr, *mNewLayerImage = nullptr, *N84 = nullptr,
            *mCreateLayerNav = nullptr, *N141 = nullptr, *mNewLayerZone = nullptr, *mNewLayerBlock = nullptr,
            *mNewLayerLand = nullptr, *mNewLayerPlan = nullptr, *mNewLayerAgro = nullptr, *mNewLayerServ = nullptr,
            *mNewLayerLim = nullptr, *mNewLayerLease = nullptr, *mCreateLayerIn4 = nullptr, *mNewLayerL1 = nullptr,
            *mNewLayerEstimate = nullptr, *mNewLayerEstZone = nullptr, *mNewLayerEstAgro = nullptr,
            *mNewLayerEstPoint = nullptr, *mNewLayerEstLine = nullptr, *mNewLayerEstPoly = nullptr,
            *mLayerSave = nullptr, *mLayerSaveAll = nullptr, *mLayerSaveAs = nullptr, *mLayerClose = nullptr,
            *nPropertiesLayer = nullptr, *mEditTable = nullptr, *mListImage = nullptr, *mProLegend = nullptr,
            *mShift = nullptr, *mTransformXY = nullptr, *mTransformKey = nullptr, *mTransformSys = nullptr,
            *mTransformPro = nullptr, *mLayerRecalc = nullptr, *mImport = nullptr, *N21 = nullptr;
    // "Поиск"
    QMenu *N122 = nullptr;
    QAction *N121 = nullptr, *N35 = nullptr, *N57 = nullptr;
    // "Правка"
    QMenu *menuEdit = nullptr;
    QAction *N28 = nullptr, *N29 = nullptr, *nObjectNew = nullptr, *nObjectEdit = nullptr, *nSatistic = nullptr,
            *N32 = nullptr, *N98 = nullptr, *N31 = nullptr, *mObjectDelete = nullptr, *mRevase = nullptr,
            *mSplit = nullptr, *mUnSplit = nullptr, *mBufferForPoint = nullptr, *mBufferForLine = nullptr,
            *mBufferForPoly = nullptr, *nEditInfo = nullptr, *nSnapPoint = nullptr, *nSnapLine = nullptr,
            *nPointIns = nullptr, *nPointDel = nullptr, *nAutoNum = nullptr;
    // "Вид"
    QMenu *N4 = nullptr, *N51 = nullptr;
    QAction *N36 = nullptr, *N96 = nullptr, *N49 = nullptr, *N58 = nullptr, *nViewLayers = nullptr,
            *nViewObjects = nullptr, *nViewPoint = nullptr, *nView = nullptr, *mZoomIn = nullptr,
            *mZoomOut = nullptr, *nShowAll = nullptr, *nShowMark = nullptr, *nShowFilter = nullptr,
            *nShowActive = nullptr, *nShowPassive = nullptr, *nShowDelete = nullptr, *nShowOther = nullptr;
    QAction *NM[19] = {};   // NM1 .. NM19 of "Шкала"
    QActionGroup *ShowFilterGroup = nullptr;
    // "Формат" (hidden, no commands)
    QMenu *N3 = nullptr;
    // "Рисование" (hidden)
    QMenu *N47 = nullptr;
    QAction *N64 = nullptr, *NDelPoint = nullptr;
    // "Изменить" (hidden, no commands)
    QMenu *N48 = nullptr, *N99 = nullptr;
    // "Печать"
    QMenu *N129 = nullptr;
    QAction *N130 = nullptr, *N131 = nullptr, *N132 = nullptr, *N134 = nullptr, *N33 = nullptr, *N135 = nullptr,
            *N52 = nullptr, *N124 = nullptr, *N95 = nullptr;
    // "Сервис" (hidden, no commands)
    QMenu *N108 = nullptr;
    // "Окна" (hidden when the window is first shown)
    QMenu *mWindows = nullptr;
    QAction *wOrder = nullptr, *wCertificate = nullptr, *N116 = nullptr, *wBuilding = nullptr, *N117 = nullptr,
            *N123 = nullptr, *N126 = nullptr, *wBookReg = nullptr, *N125 = nullptr, *N89 = nullptr, *N127 = nullptr,
            *N17 = nullptr, *N128 = nullptr, *N11 = nullptr, *N55 = nullptr;
    // "Отображение"
    QMenu *N8 = nullptr;
    QAction *nShowGreed = nullptr, *nShowCenter = nullptr;
    // "?"
    QMenu *N5 = nullptr;
    QAction *nHelp = nullptr, *nAbout = nullptr;

    // popup menus
    QMenu *PMenuLayers = nullptr, *pMenuPick = nullptr, *pMenuObjects = nullptr, *pMenuDraw = nullptr,
          *PMenuScale = nullptr, *PMenuZoom = nullptr, *PMenuSize = nullptr, *PMenuWidth = nullptr,
          *pMenuPenMode = nullptr, *PMenuStylePlan = nullptr, *PMenuStyleArrowLeft = nullptr,
          *PMenuStyleArrowRight = nullptr, *PMenuMarks = nullptr, *PSelectObject = nullptr;
    // PMenuLayers
    QMenu *nNewLayer = nullptr;
    QAction *nOpenLayer = nullptr, *nNewLayerPoint = nullptr, *nNewLayerPolyline = nullptr,
            *nNewLayerPoligon = nullptr, *In41 = nullptr, *nNewLayerImage = nullptr, *N18 = nullptr, *N66 = nullptr,
            *N24 = nullptr, *nNewLayerZone = nullptr, *nNewLayerBlock = nullptr, *nNewLayerLand = nullptr,
            *nNewLayerPlan = nullptr, *nNewLayerAgro = nullptr, *nNewLayerServ = nullptr, *nNewLayerLim = nullptr,
            *nNewLayerLease = nullptr, *N38 = nullptr, *nNewLayerL1 = nullptr, *nNewLayerEstimate = nullptr,
            *nNewLayerEstZone = nullptr, *nNewLayerEstAgro = nullptr, *nNewLayerEstPoint = nullptr,
            *nNewLayerEstLine = nullptr, *nNewLayerEstPoly = nullptr, *nLayerSave = nullptr, *nLayerSaveAs = nullptr,
            *nLayerClose = nullptr, *mPropertiesLayer = nullptr, *nEditTable = nullptr, *nProLegend = nullptr,
            *nListImage = nullptr, *nOpenImage = nullptr;
    // pMenuPick
    QAction *nSelectObject = nullptr, *nZoomIn = nullptr, *nZoomOut = nullptr, *nVYKSelect = nullptr,
            *nVYKEdit = nullptr, *nVYKView = nullptr, *nClickPoint = nullptr, *nStatistic = nullptr,
            *nVYKOk = nullptr, *nVYKMark = nullptr, *nVYKUnOk = nullptr, *nVYKUnMark = nullptr,
            *nVYKNumber = nullptr, *nVYKAutoLabel = nullptr, *nAppendLabel = nullptr, *nObjectCopy = nullptr,
            *nObjectDelete = nullptr, *nRevase = nullptr, *nSaveSelected = nullptr, *nBufferForPoint = nullptr,
            *nBufferForLine = nullptr, *nBufferForPoly = nullptr;
    // pMenuObjects
    QAction *pnEditObjects = nullptr, *N65 = nullptr, *N119 = nullptr, *pnViewObjects = nullptr,
            *pnSelectObject = nullptr;
    // pMenuDraw
    QAction *nDrawPoint = nullptr, *nDrawText = nullptr, *nDrawSymbol = nullptr, *nDrawLine = nullptr,
            *nDrawMultiPoint = nullptr, *nDrawPolyLine = nullptr, *nDrawPolygon = nullptr, *nDrawRect = nullptr,
            *nDrawArc = nullptr, *nDrawBizer = nullptr;
    // PMenuScale: NS1 .. NS19
    QAction *NS[19] = {};
    // PMenuZoom: N105 and MenuItem1 .. MenuItem17
    QAction *N105 = nullptr;
    QAction *MenuItemZoom[17] = {};
    // PMenuSize: NF1 .. NF18
    QAction *NF[18] = {};
    // PMenuWidth: N110, N210 .. N910, N1010
    QAction *NWidth[10] = {};
    // pMenuPenMode: nPenMode0, nPenMode1, nPenMode4 .. nPenMode16
    QAction *nPenMode[17] = {};
    // PMenuStylePlan: NStylePlan0 .. NStylePlan13
    QAction *NStylePlan[14] = {};
    // PMenuStyleArrowLeft: MenuItem18 .. MenuItem27; PMenuStyleArrowRight:
    // MenuItem33 .. MenuItem42
    QAction *ArrowLeft[10] = {}, *ArrowRight[10] = {};

    // action list
    QObject *ActionList1 = nullptr;
    QAction *aZoomIn = nullptr, *aCopyObjects = nullptr, *aEditInfo = nullptr, *aCutObjects = nullptr,
            *aPriorObject = nullptr, *aNextObject = nullptr, *aPasteObjects = nullptr, *aDeleteObjects = nullptr,
            *aCancelDraw = nullptr, *aZoomOut = nullptr, *aVykView = nullptr, *aOpenLayer = nullptr,
            *aCloseLayer = nullptr, *aSplit = nullptr, *aUnSplit = nullptr, *aSaveLayer = nullptr,
            *aRevase = nullptr, *aProLayer = nullptr, *aProData = nullptr, *aProView = nullptr,
            *aListImage = nullptr, *aBufferForPoint = nullptr, *aBufferForLine = nullptr,
            *aBufferForPoly = nullptr, *aSaveSelected = nullptr, *aStatistic = nullptr;

    // file dialogs: the settings the commands give them before asking
    platform::FileDialogRequest OpenDialog, OpenImageFile, SaveDialog;

    // the application's message hook
    class ApplicationEvents;
    ApplicationEvents *ApplicationEvents1 = nullptr;

    // the SMS timer of GPS tracking (10 s, off)
    QTimer *TimerIncome = nullptr;

    // the table the attribute dialogs work on (closed)
    std::unique_ptr<platform::db::Table> fDBF;

    // The picture list of menus, buttons and the layer lists, by image number.
    QIcon MapImageList(int index) const;
    // Pictures the map draws (image 20: the pick marker).
    QIcon BitmapList(int index) const;
    // The line-end pictures 0 .. 9 of the start and end of a line.
    QIcon ImgStyleArrowLeft(int index) const;
    QIcon ImgStyleArrowRight(int index) const;

    // ======================================================================
    // Private fields of the design
    // ======================================================================
    std::unique_ptr<geodesy::TProjector> FProjector;
    // The projection library the map control's layers are projected with.
    std::unique_ptr<geodesy::LayerProjectionLibrary> FLayerProjections;
    // For whom a style popup was opened, and so where its choice goes:
    // "MapScale" (the view's scale), "Text", "Symbol", "Layer",
    // "LayerTextScale", "LayerScaleMin", "LayerScaleMax", "Label",
    // "LabelTextScale", "NewLabel", "NewLabelTextScale"; empty until a button
    // or dialog sets it.
    QString FStyleTarget;
    std::int32_t FResizeCount = 0;

    // ======================================================================
    // Map window (FTolvane.cpp)
    // ======================================================================
    void FormShow();
    void FormActivate();
    void FormResize();
    void FormClose();
    void FormDestroy();
    void FormKeyUp();
    // The application's message hook: drops the layers panel down while the
    // mouse is over the layer row or the panel. globalPos is the message's
    // mouse position.
    void ApplicationEvents1Message(const QPoint &globalPos);
    void MainMenu1Change();
    void nHelpClick();
    void nAboutClick();
    void wOrderClick();
    void wCertificateClick();
    void N116Click();
    void wBuildingClick();
    void N117Click();
    void N123Click();
    void N126Click();
    void wBookRegClick();
    void N125Click();
    void N89Click();
    void N127Click();
    void N17Click();
    void N128Click();
    void N11Click();
    void N55Click();

    // Whether this is the window the user works in (the active child of the
    // frame in the active top-level window).
    bool IsActiveForm() const;
    // Whether the first activation has run.
    bool FirstActivationDone() const { return FActivated; }
    // The help topic the last help command opened (the help file has no
    // viewer on this platform; see nHelpClick).
    QString LastHelpTopic() const { return FLastHelpTopic; }

    // ======================================================================
    // Project file (FTolvaneProject.cpp)
    // ======================================================================
    bool ReadProject(const QString &path);
    void WriteProject(const QString &path);
    bool OpenProjectDialog();
    void SaveProjectAs();
    void CopyProjectLayers(const QString &sourceFolder, const QString &projectPath);
    void QuerySaveProject(bool askInAutoMode, bool autoMode, bool deleteWorkFiles);
    void nFileNewClick();
    void nFileOpenClick();
    void nFileSaveClick();
    void nFileSaveAsClick();
    void tbOpenProjectClick();
    void tbSaveProjectClick();
    // The body of nFileSave: writes the named project, or asks for a name;
    // errors reach the caller (nFileSave shows them).
    void SaveProject();
    // TMapVyk.StoreLastProject: records the open project as "LastOpenTvpFile"
    // of the product key.
    void StoreLastProject();
    // Empties the layer table, the selection and both lists, with no project
    // named: the state "Новый..." starts from.
    void ClearProject();
    // The two halves of QuerySaveProject, which "Открыть..." runs apart so
    // that a chosen file that is no project leaves the project open: the save
    // prompt (true when the project was saved), and the closing of every
    // layer (its files kept when saved, else restored) with the work files.
    bool AskSaveProject(bool askInAutoMode, bool autoMode);
    void CloseProjectLayers(bool saved, bool deleteWorkFiles);
    // The open dialog of OpenProjectDialog: the chosen ".tvp" file that
    // exists; empty otherwise.
    QString AskProjectFile();

    // ======================================================================
    // Layer creation and opening (FTolvaneLayers.cpp)
    // ======================================================================
    // The map control core's OpenLayer (which needs no window).
    bool OpenLayer(const QString &fileName, int index, bool newLayer);
    bool CreateLayerFromTemplate(int kind);
    void CreateStandardLayer(int choice, int unused, bool append);
    bool OpenLayerDialog();
    void CloseAttributeQueries();
    void mImportClick();
    void nNewLayerPointClick();
    void nNewLayerPolylineClick();
    void nNewLayerPoligonClick();
    void In41Click();
    void nNewLayerImageClick();
    void N84Click();
    void N18Click();
    void mCreateLayerNavClick();
    void nNewLayerBlockClick();
    void nNewLayerLandClick();
    void nNewLayerPlanClick();
    void nNewLayerAgroClick();
    void nNewLayerServClick();
    void nNewLayerLimClick();
    void nNewLayerLeaseClick();
    void nNewLayerEstimateClick();
    void nNewLayerEstZoneClick();
    void nNewLayerEstAgroClick();
    void nNewLayerEstPointClick();
    void nNewLayerEstLineClick();
    void nNewLayerEstPolyClick();
    void nNewLayerZoneClick();
    void mCreateLayerIn4Click();

    // ======================================================================
    // Layer list (FTolvaneLayerList.cpp)
    // ======================================================================
    void RebuildLayerList(bool full);
    void FillLayerRow(int row, int layer);
    void RefreshLayerRow(int layer);
    // Shows in LVLayer the row of the layer whose table index is n (the rows
    // are looked up by their hidden index, never taken as row numbers);
    // LVLayer is emptied when no row carries n.
    void ShowActiveLayerRow(int n);
    void DragLayerRow(int target, int source);
    void SizeLayersPanel();
    // Whether the mouse position (screen coordinates) lies over the list
    // controls.
    bool LayersPanelHitTest(const QPoint &globalPos);
    void UpdateToolButtons();
    // Saves every changed layer in row order; true when all were saved.
    bool SaveEditedLayers();
    // Events of the two lists; positions are in the list's viewport.
    void ListLayersClick();
    void ListLayersDblClick();
    bool ListLayersDragOver(QObject *source, const QPoint &pos);
    void ListLayersDragDrop(QObject *source, const QPoint &pos);
    void ListLayersMouseMove(const QPoint &pos);
    void ListLayersMouseDown();
    void LVLayerClick();
    void LVLayerDblClick();
    void LVLayerMouseMove(const QPoint &pos);
    void PMenuLayersPopup();
    void N111Click();
    void aOpenLayerExecute();
    void aCloseLayerExecute();
    void aSaveLayerExecute();
    void mLayerSaveAllClick();
    void nLayerSaveAsClick();
    void TbViewLayersClick();
    // The last mouse positions over the lists.
    QPoint FListLayersMouse, FLVLayerMouse;
    // The layer of a row of ListLayers (its hidden index); -1 for no row.
    int ListLayerIndex(int row) const;
    // The layer LVLayer shows; -1 when it shows none.
    int ShownLayerIndex() const;
    // Whether the layer index names a layer of the table.
    bool ValidLayer(int layer) const;
    // When the last double click on a list came (ms of a steady clock): the
    // release that ends a double click is no click of its own.
    qint64 FDblClickAt = -1;

    // ======================================================================
    // View navigation (FTolvaneNavigation.cpp)
    // ======================================================================
    void ZoomStep(int kind, bool fine, double denominator);
    void ZoomToExtent(double x1, double y1, double x2, double y2);
    void ZoomToWindow(int mode, const QPoint &p1, const QPoint &p2);
    void ZoomToObjects(int layer, bool objectMode, bool useSelection, bool fit, bool centre, int selIndex);
    void CentreAndRedraw(double x, double y);
    TMapExtent LocateObject(int layer, int index, bool select);
    void ShowStatusText(double x, double y);
    void tbZoomOutClick();
    void tbZoomInClick();
    void aZoomOutExecute();
    void aZoomInExecute();
    void TBZoomClick();
    void TBMoveClick();
    void TbViewObjectsClick();
    void TbSelectObjectClick();
    void nViewObjectsClick();
    void tbPriorZoomClick();
    void tbNextZoomClick();
    void EditScaleKeyUp(int key);
    void SBScale1MouseUp();
    // Items of "Шкала" and of PMenuScale.
    void NM1Click(QAction *Sender);
    void FormMouseWheel(int delta, bool shift);
    void nShowGreedClick();
    void nShowCenterClick();
    void nClickPointClick();
    void nSnapPointClick();
    void nSnapLineClick();
    void N36Click();
    void N96Click();

    // ======================================================================
    // Search (FTolvaneSearch.cpp)
    // ======================================================================
    void N35Click();
    void N57Click();
    void N121Click();
    // What the search window and the attribute dialogs reach of this window,
    // installed while it lives.
    std::unique_ptr<dialogs::MapWindowHost> FMapHost;
    dialogs::MapWindowHost *FPreviousMapHost = nullptr;
    void InstallMapHost();
    void RemoveMapHost();

    // ======================================================================
    // Render loop (FTolvaneRender.cpp) and layer drawing (FTolvaneDrawLayers.cpp)
    // ======================================================================
    // The one entry point of a redraw.
    void RedrawMap();
    // Two bars on the status bar, each filled to its fraction (0 .. 1).
    void DrawProgress(double first, double second = 0);
    // The grids of the picture canvas; the window is given by its corners in
    // map units. The overlay canvas is not drawn on.
    void DrawGrid(platform::gdi::Canvas &picture, platform::gdi::Canvas &overlay, const TMapPoint &minCorner,
                  const TMapPoint &maxCorner);
    void DrawLabelledGrid(platform::gdi::Canvas &picture, platform::gdi::Canvas &overlay, const TMapPoint &minCorner,
                          const TMapPoint &maxCorner);
    void DrawCentreMark();
    // Report pictures: the current view as a picture of width × height
    // (0.01 mm) written to "map.wmf" of the program folder; the view is put
    // back afterwards in every case.
    void DrawMapPicture(double width, double height, double denominator);
    void DrawGridPicture(double width, double height, double gridStep);
    // One layer of kind 0, 1 or 8: geometry on the picture canvas; labels,
    // captions, texts, symbol characters and raster frames on the overlay.
    virtual void DrawVectorLayer(int layer, platform::gdi::Canvas &picture, platform::gdi::Canvas &overlay,
                                 const TMapPoint &minCorner, const TMapPoint &maxCorner);

    // ======================================================================
    // Mouse tools (FTolvaneMouse.cpp; their decisions in app/MouseTools)
    // ======================================================================
    // The map control's mouse events; positions are pixels of the control.
    void MapImageMouseDown(Qt::MouseButton Button, TShiftState Shift, int X, int Y);
    void MapImageMouseMove(TShiftState Shift, int X, int Y);
    void MapImageMouseUp(Qt::MouseButton Button, TShiftState Shift, int X, int Y);
    void MapImageDblClick();
    // The snap search at a map point over the layers of the layer list (mode
    // 0 also selects every object hit); the figure being digitized takes
    // part while the draw tool is down.
    TSelObject SnapToLayers(Byte mode, double x, double y);
    // The objects in or across a rectangle of map corners (Shift adds, Ctrl:
    // wholly inside only).
    void SelectInRectangle(Qt::MouseButton Button, TShiftState Shift, double x1, double y1, double x2, double y2);
    // The label of the current layer's ".Lbl" under a pixel point, and the
    // labels in a rectangle of map corners (into the list of labels to move).
    TLabelEntry FindLabelAt(double x, double y);
    void SelectLabelsInRectangle(Qt::MouseButton Button, TShiftState Shift, double x1, double y1, double x2,
                                 double y2);
    // The marks of the selected objects over the map, with the frame handles
    // of the pick tool; also sets the selection's extent.
    void DrawPickedObjects();
    // The rotation pivot's mark over the plain map.
    void DrawPivotMark();
    // The layers of the layer list from its last row to its first.
    std::vector<int> PickingOrder() const;
    // The drawing kind the tools act on: FDrawKind, nDrawPolygon while none
    // is chosen.
    QAction *DrawKindItem() const;
    // Working state of the tools: the last snap result and its copy taken at
    // the press, the scales at the press and the last move, and the number
    // of the cursor a tool set last.
    TSelObject FSnapHit, FPressHit;
    double FPressScale = 0, FMoveScale = 0;
    int FToolCursor = 0;

    // ======================================================================
    // Raster images, GPS tracking, reports and printing
    // ======================================================================
    // raster images
    void tbOpenImageClick();
    void aListImageExecute();
    // GPS tracking
    void tbTrimTracClick();
    void TimerIncomeTimer();
    // reports and picture export
    void N130Click();
    void N131Click();
    void N134Click();
    // The map page of "Карта", made on its first use (FTolvaneMapPrint.cpp).
    std::unique_ptr<reports::TMapPrint> FMapPrint;
    void N33Click();
    void N135Click();
    void N52Click();
    void N124Click();
    void N95Click();
    void N54Click();

    // ======================================================================
    // Object commands (FTolvaneObjects.cpp)
    // ======================================================================
    void mObjectDeleteClick();
    void menuEditClick();
    void nObjectCopyClick();
    void aRevaseExecute();
    void aSplitExecute();
    void aUnSplitExecute();
    void aCopyObjectsExecute();
    void aPasteObjectsExecute();
    void tbUndoClick();
    void tbRedoClick();
    void nEditInfoClick();
    void aEditInfoExecute();
    void nObjectNewClick();
    void nObjectEditClick();
    void nVYKEditClick();
    void NDelPointClick();
    void pbDrawClick();
    void mLayerRecalcClick();
    void aProLayerExecute();
    void aProDataExecute();
    void aProViewExecute();
    void nSelectObjectClick();
    void pnViewObjectsClick();
    void pnSelectObjectClick();
    void pnEditObjectsClick();
    void N65Click();
    void N119Click();
    void aVykViewExecute();
    void nVYKSelectClick();
    void nVYKMarkClick();
    void nVYKUnMarkClick();
    void nVYKOkClick();
    void nVYKUnOkClick();
    void aPriorObjectExecute();
    void aNextObjectExecute();
    void nShowAllClick();
    void nShowMarkClick();
    void nShowFilterClick();
    void nShowActiveClick();
    void pMenuPickPopup();
    // Whether the row LVLayer shows (the current layer) carries the editable
    // mark.
    bool CurrentLayerEditable() const;
    // The table of the current layer the table editor opens: in the work
    // folder first, then where the layer's file name says; empty when
    // neither exists.
    QString CurrentLayerTable() const;

    // ======================================================================
    // Analysis and labelling commands (FTolvaneAnalysis.cpp)
    // ======================================================================
    void mShiftClick();
    void mTransformXYClick();
    void mTransformKeyClick();
    void mTransformSysClick();
    void mTransformProClick();
    void nViewPointClick();
    void nAppendLabelClick();
    void nVYKNumberClick();
    void nAutoNumClick();
    void nVYKAutoLabelClick();
    void aBufferForPolyExecute();
    void aBufferForLineExecute();
    void aBufferForPointExecute();
    void aSaveSelectedExecute();
    void nSatisticClick();

    // ======================================================================
    // Style tool bars and the style panel (FTolvaneStyles.cpp)
    // ======================================================================
    void nDrawPointClick(QAction *Sender);
    void pbCosmeticClick();
    void nPointInsClick();
    void nPointDelClick();
    void MenuItem18Click(QAction *Sender);
    void MenuItem33Click(QAction *Sender);
    void NF1Click(QAction *Sender);
    void NSelectZoomClick(QAction *Sender);
    void NSelectWidth(QAction *Sender);
    void nPenMode4Click(QAction *Sender);
    void NStylePlanClick(QAction *Sender);
    void SetFontSize(int size);
    void SetTextScale(int denominator);
    // step 1 turns by +45 degrees, step 2 by -45.
    void SetTextRotation(int step, double value);
    void SetTextBackground(bool on);
    void SetLayerPenWidth(double width);
    void SetLayerPenMode(int code);
    void SetFillStyle(int code);
    void ShowStylePanel();
    // ToolBarText (edits act on the release of Enter)
    void EditTextKeyUp(int key);
    void EditFontKeyUp(int key);
    void SpeedButton12Click();
    void SBTextColorClick();
    void SBBgTextColorClick();
    void SBSizeClick();
    void EditSizeKeyUp(int key);
    void SpeedButton16Click();
    void SpeedButton17Click();
    void EditRotateKeyUp(int key);
    void SBScale2Click();
    void EditTextScaleKeyUp(int key);
    void tbBrushTextClick();
    void tbTextBoldClick();
    // ToolBarSymbol
    void EditSymbolKeyUp(int key);
    void SpeedButton13Click();
    void EditFStyleKeyUp(int key);
    void SpeedButton21Click();
    void SpeedButton22Click();
    void SpeedButton23Click();
    void edSizeSymbolKeyUp(int key);
    void SpeedButton28Click();
    void tbBrushSymbolClick();
    // ToolBarPoints
    void edPenWidthKeyUp(int key);
    void SpeedButton3Click();
    void SpeedButton7Click();
    void SpeedButton2Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SBLineColorShowClick();
    void SBBgColorShowClick();
    void SpeedButton10Click();
    // The drawing kind pbCosmetic holds: one of the items of pMenuDraw
    // (nDrawPolygon at start).
    QAction *FDrawKind = nullptr;
    // Makes an item of pMenuDraw the drawing kind pbCosmetic holds.
    void SetDrawKind(QAction *item);
    // The colour a colour sample (ShapeTextColor, sPenColor ...) shows.
    static int ShapeColor(const QWidget *shape);
    static void SetShapeColor(QWidget *shape, int colour);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool event(QEvent *event) override;

private:
    // FTolvaneBuild.cpp
    void buildControls();
    void buildMainMenu();
    void buildPopupMenus();
    void buildActions();
    void buildToolBars();
    void buildLayerList();
    void buildStatusBar();
    // FTolvaneStyles.cpp: the handlers of the style tool bars' controls.
    void connectStyleToolBars();

    std::map<int, QIcon> FImages, FBitmaps;
    std::vector<QIcon> FArrowsLeft, FArrowsRight;
    bool FShown = false;
    bool FActivated = false;
    QString FLastHelpTopic;
};
