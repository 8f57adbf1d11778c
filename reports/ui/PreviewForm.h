#pragma once
// The preview window of built reports: the toolbar, the drawing surface with
// its scroll bars and page buttons, the zoom menu, text search, loading,
// saving and exporting, printing and page editing; the search dialog; and
// the preview windows service that shows it for a built report.

#include "reports/output/PreviewLayout.h"
#include "reports/output/PreviewWindows.h"
#include "reports/model/ReportComponent.h"
#include "reports/ui/PrintForm.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QScrollBar;
class QToolButton;

namespace reports {

class TfrEMFPages;
class TfrReport;
class TfrPreviewForm;
class TfrSpeedButton;
class TfrTBSeparator;

// The drawing surface.
class TfrPBox : public QWidget {
public:
    explicit TfrPBox(TfrPreviewForm *form, QWidget *parent);

    bool Dragging = false;
    int DragX = 0, DragY = 0;
    int ClickedPage = 0;
    bool SkipNextDown = false;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    TfrPreviewForm *form_;
};

// "Поиск": the text, case, and from the start or on.
class TfrPreviewSearchForm : public QDialog {
public:
    explicit TfrPreviewSearchForm(QWidget *parent = nullptr);
    QLineEdit *Edit1;
    QCheckBox *CB1;
    QRadioButton *RB1, *RB2;
};

class TfrPreviewForm : public QDialog, private PrintTarget {
public:
    explicit TfrPreviewForm(QWidget *parent = nullptr);
    ~TfrPreviewForm() override;

    // Connects the report, sets up the buttons, goes to page 1 and shows the
    // window (modally when the report's ModalPreview is set).
    void ShowReport(TfrReport &report);
    void Connect(TfrReport &report);
    void Disconnect();
    void ResetView(bool firstPage);
    // The layout of the pages for the current surface and zoom.
    void FormResize();

    // Commands.
    void SetZoomItem(int tag);
    void GotoPage(int page);
    void Find(); // the dialog
    void FindNext();
    void Load();
    void Save();
    void Print();
    // The system's page set-up: margins and paper for every report page of
    // the template, then the report is built again.
    void PageSetup();
    void EditPage();
    void AddPage();
    void RemovePage();
    void Exit();
    // The help button: the next click on the window shows the help of the
    // control under it.
    void StartHelp();

    // State.
    TfrReport *Report = nullptr;
    std::unique_ptr<TfrEMFPages> HeldPages;
    int ShownPage = 0;
    double ZoomFactor = 1.0;
    int ZoomMode = 0;
    int ScrollX = 0, ScrollY = 0;
    bool PaintEnabled = true;
    preview::SearchState Search;
    int WheelFactor = 1;

    int PageCount() const;
    const std::vector<QRect> &PageRects() const { return rects_; }
    // The widget the panels are laid out in: the window, or the panel
    // component that borrowed them.
    QWidget *Host = this;
    std::function<void()> OnPageShown;

    // The text search's mark on the surface (surface pixels); empty when none.
    QRect SearchMark;

    // Controls by their names.
    QWidget *TopPanel, *Panel1, *PreviewPanel, *ScrollBox1, *RPanel, *BPanel;
    TfrSpeedButton *ZoomBtn, *LoadBtn, *SaveBtn, *PrintBtn, *PageSetupBtn, *FindBtn, *HelpBtn, *ExitBtn;
    TfrTBSeparator *frTBSeparator1, *frTBSeparator2, *frTBSeparator3;
    QScrollBar *VScrollBar, *HScrollBar;
    TfrSpeedButton *PgUp, *PgDown;
    QLabel *Label1, *Label2;
    QMenu *ProcMenu;
    TfrPBox *PBox;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    friend class TfrPBox;
    friend class TfrPreviewPanel;
    void buildControls();
    void setupButtons();
    void showPageNumber();
    void scrollToCurrent();
    void vScrolled(int value);
    void hScrolled(int value);
    void showZoomMenu(QPoint at);
    // The edit items show with a designer to edit in and a report that lets
    // its pages be changed.
    bool designerEditable() const;
    // Whether the page editing gestures (Ctrl+E, a double click) go to the
    // report, which says so when no designer is there.
    bool pagesEditable() const;
    void updateEditItems(bool visible);
    QRect pageTarget(int index) const;
    // A surface point on a page, in the page's report units; none off the page.
    std::optional<QPoint> pointOnPage(int index, QPoint point) const;
    void clickAt(QPoint point);
    void hoverAt(QPoint point);

    // PrintTarget
    bool HasPreparedPages() const override;
    int DefaultCopies() const override;
    bool DefaultCollate() const override;
    bool ShowPrintDialog() const override;
    int CurrentPage() const override { return ShownPage; }
    bool RebuildsForPrinter() const override;
    bool ChangePrinter(int oldIndex, int newIndex) override;
    void Rebuild() override;
    void PrintPreparedReport(const QString &pages, int copies, bool collate, int pageChoice) override;

    std::vector<QRect> rects_;
    int oldScrollX_ = 0, oldScrollY_ = 0;
    bool placementRestored_ = false;
    bool helpMode_ = false;
    QList<QAction *> zoomItems_;
    QList<QAction *> editItems_;
    QAction *removeItem_ = nullptr;
};

// The preview on a program's own form: it borrows the panels of a hidden
// preview window.
class TfrPreviewPanel : public QWidget, public TfrPreview {
public:
    enum class ScrollStyle { None, Horizontal, Vertical, Both };
    explicit TfrPreviewPanel(QWidget *parent = nullptr);
    ~TfrPreviewPanel() override;
    void Connect(TfrReport *report) override;
    void Disconnect();
    int GetPage() const;
    void SetScrollBars(ScrollStyle style);
    void SetShowToolbar(bool show);
    bool ShowToolbar() const { return showToolbar_; }
    TfrPreviewForm &Window() { return *form_; }
    std::function<void(TfrPreviewPanel *sender, int page)> OnPageChanged;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    std::unique_ptr<TfrPreviewForm> form_;
    bool showToolbar_ = false;
};

// Shows built reports in the preview window.
class QtPreviewWindows : public PreviewWindows {
public:
    void Show(TfrReport &report, const QString &caption) override;
};

// The platform's page set-up dialog over the margins and the orientation
// (the paper and the printer stay as they are).
class QtPageSetupDialog : public PageSetupDialog {
public:
    bool Show(PageSetupChoice &choice) override;
};

} // namespace reports
