#pragma once
// The frame window: the program's main window, a multiple-document frame
// holding the one map window. It keeps what lives for the whole run: the
// program folder, the version text, the style libraries and renderers (its
// style services), and the report components.

#include "mapengine/StyleRenderers.h"
#include "platform/UserAnswers.h"

#include <QIcon>
#include <QMainWindow>
#include <QString>

#include <memory>

class QAction;
class QMdiArea;
class QMenu;
class QMenuBar;
class TAbout;
class TTolvane;

class TStart;

namespace reports {
class TfrTextExport;
class TfrRTFExport;
class TfrOLEExcelExport;
}
// The frame of the run (null until it is made).
extern TStart *Start;

class TStart : public QMainWindow, public mapengine::StyleServices {
public:
    // The frame installs itself as the style services (mapengine::
    // styleServices()) and puts back the ones it replaced when it goes.
    // FormCreate: version, caption, program folder, title, help file, style
    // libraries, report functions.
    explicit TStart(QWidget *parent = nullptr);
    ~TStart() override;

    // ---- controls ----
    QMdiArea *MdiArea = nullptr;
    QMenuBar *MainMenu1 = nullptr;
    QMenu *N1 = nullptr, *N8 = nullptr, *N5 = nullptr;
    QAction *nFileNew = nullptr, *nFileOpen = nullptr, *N19 = nullptr, *N27 = nullptr;
    QAction *N3 = nullptr, *N7 = nullptr, *N4 = nullptr;
    QAction *N2 = nullptr, *N6 = nullptr;
    platform::FileDialogRequest OpenDialog1;

    // ---- fields ----
    QString FVersion;
    QString FProgramDir;

    // ---- handlers ----
    void FormActivate();
    void FormClose();
    void nFileNewClick();
    void nFileOpenClick();
    void N27Click();
    void N3Click();
    void N7Click();
    void N4Click();
    void N2Click();
    void N6Click();

    // The map window, made when none exists (owner: the frame's area).
    TTolvane *EnsureMapWindow();

    // ---- services of the style libraries (filled by the map's drawing) ----
    // The fill, point and line libraries of the program folder.
    void LoadStyleLibraries();

    // ---- report runner ----
    void OpenReport(int mode);
    void ShowReportFile(const QString &fileName);
    void DesignReportFile(const QString &fileName);
    void DesignNewReport();
    void SetReportVariable(const QString &name, const QVariant &value);

    // The menus the frame shows: its own, or the map window's while that is
    // the active child.
    void MergeMenus(bool mapWindowActive);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildMenu();
    // Sets the path variables and loads the template into the report engine;
    // false when the file is missing (a message says so) or does not load.
    bool loadReportFile(const QString &fileName);
    // The program folder as the report variables "StartPath" and "WorkPath".
    void setPathVariables();
    QList<QAction *> FOwnMenus;
    bool FClosed = false;
    mapengine::StyleServices *FPreviousStyles = nullptr;
    // The export filters the reports offer, registered while the frame lives.
    std::unique_ptr<reports::TfrTextExport> frTextExport1;
    std::unique_ptr<reports::TfrRTFExport> frRTFExport1;
    std::unique_ptr<reports::TfrOLEExcelExport> frOLEExcelExport1;
};
