#include "reports/ui/PreviewForm.h"

#include "platform/UserAnswers.h"
#include "platform/ui/FormClass.h"
#include "platform/ui/QtPrinterBackend.h"
#include "platform/gdi/Metafile.h"
#include "platform/gdi/PainterCanvas.h"
#include "reports/output/Docking.h"
#include "reports/model/Extensions.h"
#include "reports/model/PreparedPages.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportObjects.h"
#include "reports/model/ReportPrinter.h"
#include "reports/language/ResourceTexts.h"
#include "reports/ui/DockWidgets.h"
#include "reports/ui/ReportControls.h"
#include "reports/ui/SpeedButton.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <cmath>

namespace reports {

namespace {

constexpr int kBarSize = 16;
constexpr int kBottomHeight = 18;
constexpr int kToolbarHeight = 33;

QPixmap standardGlyph(QStyle::StandardPixmap which)
{
    // The button faces come from the style, with a white corner so that the
    // glyph's transparent colour is one the picture does not use.
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        QApplication::style()->standardIcon(which).paint(&p, QRect(0, 0, 16, 16));
    }
    image.setPixel(0, 15, qRgb(255, 255, 255));
    return QPixmap::fromImage(image);
}

TfrTBButton *toolButton(QWidget *parent, const QString &name, const QString &hint, int tag,
                        QStyle::StandardPixmap glyph)
{
    auto *b = new TfrTBButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setProperty("tag", tag);
    b->resize(24, 24);
    b->SetGlyph(standardGlyph(glyph));
    return b;
}

TfrTBSeparator *separator(QWidget *parent, const QString &name)
{
    auto *s = new TfrTBSeparator(parent);
    s->setObjectName(name);
    s->resize(8, 24);
    return s;
}

} // namespace

TfrPBox::TfrPBox(TfrPreviewForm *form, QWidget *parent) : QWidget(parent), form_(form)
{
    setObjectName(QStringLiteral("PBox"));
    setProperty("tag", 207);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void TfrPBox::paintEvent(QPaintEvent *event)
{
    TfrPreviewForm &f = *form_;
    if (!f.PaintEnabled)
        return;
    QPainter plain(this);
    if (f.PageCount() == 0) {
        plain.fillRect(rect(), palette().color(QPalette::Button));
        return;
    }
    plain.end();
    platform::gdi::PainterCanvas canvas(*this, platform::gdi::PainterCanvas::metricsOf(*this));
    const QPoint scroll(f.ScrollX, f.ScrollY);
    const std::vector<bool> shown = preview::visiblePages(f.rects_, scroll, size(), event->rect());
    TfrEMFPages &pages = *f.HeldPages;
    {
        QPainter &p = canvas.painter();
        p.setClipRegion(event->region());
        p.fillRect(rect(), QColor(128, 128, 128));
        for (int i = 0; i < pages.Count(); ++i) {
            if (!shown[static_cast<size_t>(i)])
                continue;
            const QRect r = f.rects_[static_cast<size_t>(i)].translated(scroll);
            p.setPen(Qt::black);
            p.setBrush(Qt::white);
            p.drawRect(r.x(), r.y(), r.width() - 1, r.height() - 1);
            // The shadow along the bottom and the right.
            p.drawLine(r.left() + 1, r.bottom() + 1, r.right() + 1, r.bottom() + 1);
            p.drawLine(r.right() + 1, r.bottom() + 1, r.right() + 1, r.top() + 1);
        }
    }
    canvas.selectClipRegion(event->region());
    for (int i = 0; i < pages.Count(); ++i) {
        TfrEMFPage &page = pages[i];
        page.Visible = shown[static_cast<size_t>(i)];
        if (page.Visible)
            pages.Draw(i, canvas, f.pageTarget(i).translated(scroll));
        else if (page.Page)
            pages.Draw(i, canvas, QRect()); // only lets the unpacked page go
    }
    if (!f.SearchMark.isEmpty()) {
        // The found text, marked as an inverting overlay until the view moves.
        QPainter &p = canvas.painter();
        p.setClipping(false);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(Qt::white);
        for (int y = f.SearchMark.top(); y <= f.SearchMark.bottom(); ++y)
            p.drawLine(f.SearchMark.left(), y, f.SearchMark.right(), y);
    }
}

void TfrPBox::mousePressEvent(QMouseEvent *event)
{
    TfrPreviewForm &f = *form_;
    if (f.PageCount() == 0)
        return;
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (SkipNextDown) {
            SkipNextDown = false;
            return;
        }
        f.clickAt(at);
    } else if (event->button() == Qt::RightButton) {
        f.updateEditItems(f.designerEditable());
        f.ProcMenu->popup(mapToGlobal(at));
    }
}

void TfrPBox::mouseMoveEvent(QMouseEvent *event)
{
    TfrPreviewForm &f = *form_;
    if (f.PageCount() == 0)
        return;
    const QPoint at = event->position().toPoint();
    if (Dragging) {
        f.HScrollBar->setValue(f.HScrollBar->value() + DragX - at.x());
        f.VScrollBar->setValue(f.VScrollBar->value() + DragY - at.y());
        DragX = at.x();
        DragY = at.y();
        return;
    }
    f.hoverAt(at);
}

void TfrPBox::mouseReleaseEvent(QMouseEvent *) { Dragging = false; }

void TfrPBox::mouseDoubleClickEvent(QMouseEvent *)
{
    TfrPreviewForm &f = *form_;
    if (f.PageCount() == 0)
        return;
    Dragging = false;
    SkipNextDown = true;
    if (ClickedPage != 0) {
        f.ShownPage = ClickedPage;
        f.showPageNumber();
    }
    if (f.pagesEditable())
        f.EditPage();
}

void TfrPBox::wheelEvent(QWheelEvent *event)
{
    const int step = event->angleDelta().y() > 0 ? -10 : 10;
    form_->VScrollBar->setValue(form_->VScrollBar->value() + step * form_->WheelFactor);
}

TfrPreviewSearchForm::TfrPreviewSearchForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frPreviewSearchForm"));
    setWindowTitle(QStringLiteral("Поиск"));
    setFixedSize(340, 190);
    auto *label = new QLabel(QStringLiteral("Искать &текст"), this);
    label->setGeometry(8, 8, 324, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 26, 324, 21);
    label->setBuddy(Edit1);
    auto *options = new QGroupBox(QStringLiteral("Опции поиска"), this);
    options->setObjectName(QStringLiteral("GroupBox1"));
    options->setGeometry(8, 54, 158, 90);
    CB1 = new QCheckBox(QStringLiteral("Различать &регистр"), options);
    CB1->setObjectName(QStringLiteral("CB1"));
    CB1->setGeometry(8, 22, 146, 20);
    auto *from = new QGroupBox(QStringLiteral("Искать"), this);
    from->setObjectName(QStringLiteral("GroupBox2"));
    from->setGeometry(174, 54, 158, 90);
    RB1 = new QRadioButton(QStringLiteral("С &начала"), from);
    RB1->setObjectName(QStringLiteral("RB1"));
    RB1->setGeometry(8, 22, 146, 20);
    RB1->setChecked(true);
    RB2 = new QRadioButton(QStringLiteral("&Продолжить"), from);
    RB2->setObjectName(QStringLiteral("RB2"));
    RB2->setGeometry(8, 46, 146, 20);
    auto *ok = new QPushButton(QStringLiteral("ОК"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(176, 156, 75, 25);
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(257, 156, 75, 25);
    connect(ok, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });
    Edit1->setFocus();
}

TfrPreviewForm::TfrPreviewForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frPreviewForm"));
    // Its place is kept under its class name.
    platform::setFormClass(this, "TfrPreviewForm");
    setWindowTitle(GetResourceText(53090));
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    // Until a place is stored the window shows a page: most of the screen,
    // centred (it opens maximized, and comes back to this size).
    if (const QScreen *on = screen()) {
        const QRect available = on->availableGeometry();
        QRect bounds(0, 0, available.width() * 9 / 10, available.height() * 9 / 10);
        bounds.moveCenter(available.center());
        setGeometry(bounds);
    } else {
        resize(640, 480);
    }
    buildControls();
    const preview::ZoomMemory &last = preview::lastZoom();
    ZoomFactor = last.factor;
    ZoomMode = last.mode;
}

TfrPreviewForm::~TfrPreviewForm()
{
    if (Report && HeldPages)
        Disconnect();
}

void TfrPreviewForm::buildControls()
{
    TopPanel = new QWidget(this);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->setAutoFillBackground(true);
    Panel1 = new QWidget(TopPanel);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    ZoomBtn = toolButton(Panel1, QStringLiteral("ZoomBtn"), QStringLiteral("Масштаб"), 200,
                         QStyle::SP_FileDialogContentsView);
    ZoomBtn->resize(53, 24);
    ZoomBtn->SetGlyph(QPixmap());
    frTBSeparator1 = separator(Panel1, QStringLiteral("frTBSeparator1"));
    LoadBtn = toolButton(Panel1, QStringLiteral("LoadBtn"), QStringLiteral("Открыть отчет"), 201,
                         QStyle::SP_DialogOpenButton);
    SaveBtn = toolButton(Panel1, QStringLiteral("SaveBtn"), QStringLiteral("Сохранить отчет в файле"), 202,
                         QStyle::SP_DialogSaveButton);
    PrintBtn = toolButton(Panel1, QStringLiteral("PrintBtn"), QStringLiteral("Печать отчета"), 203,
                          QStyle::SP_FileIcon);
    PageSetupBtn = toolButton(Panel1, QStringLiteral("PageSetupBtn"), QStringLiteral("Параметры страницы"), 203,
                              QStyle::SP_FileDialogDetailedView);
    frTBSeparator2 = separator(Panel1, QStringLiteral("frTBSeparator2"));
    FindBtn = toolButton(Panel1, QStringLiteral("FindBtn"), QStringLiteral("Поиск"), 204,
                         QStyle::SP_FileDialogContentsView);
    HelpBtn = toolButton(Panel1, QStringLiteral("HelpBtn"), QStringLiteral("Показать справку"), 0,
                         QStyle::SP_DialogHelpButton);
    frTBSeparator3 = separator(Panel1, QStringLiteral("frTBSeparator3"));
    ExitBtn = toolButton(Panel1, QStringLiteral("ExitBtn"), QStringLiteral("Выход"), 205,
                         QStyle::SP_DialogCloseButton);

    PreviewPanel = new QWidget(this);
    PreviewPanel->setObjectName(QStringLiteral("PreviewPanel"));
    ScrollBox1 = new QWidget(PreviewPanel);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    PBox = new TfrPBox(this, ScrollBox1);
    RPanel = new QWidget(PreviewPanel);
    RPanel->setObjectName(QStringLiteral("RPanel"));
    VScrollBar = new QScrollBar(Qt::Vertical, RPanel);
    VScrollBar->setObjectName(QStringLiteral("VScrollBar"));
    PgUp = new TfrSpeedButton(RPanel);
    PgUp->setObjectName(QStringLiteral("PgUp"));
    PgUp->resize(16, 16);
    PgUp->SetGlyph(standardGlyph(QStyle::SP_ArrowUp));
    PgDown = new TfrSpeedButton(RPanel);
    PgDown->setObjectName(QStringLiteral("PgDown"));
    PgDown->resize(16, 16);
    PgDown->SetGlyph(standardGlyph(QStyle::SP_ArrowDown));
    BPanel = new QWidget(PreviewPanel);
    BPanel->setObjectName(QStringLiteral("BPanel"));
    Label1 = new QLabel(BPanel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFrameShape(QFrame::Panel);
    Label1->setFrameShadow(QFrame::Sunken);
    Label1->setProperty("tag", 206);
    Label2 = new QLabel(BPanel);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFrameShape(QFrame::Panel);
    Label2->setFrameShadow(QFrame::Sunken);
    Label2->setProperty("tag", 206);
    HScrollBar = new QScrollBar(Qt::Horizontal, BPanel);
    HScrollBar->setObjectName(QStringLiteral("HScrollBar"));
    for (QScrollBar *bar : {VScrollBar, HScrollBar}) {
        bar->setSingleStep(10);
        bar->setPageStep(200);
        bar->setFocusPolicy(Qt::NoFocus);
    }
    connect(VScrollBar, &QScrollBar::valueChanged, this, [this](int v) { vScrolled(v); });
    connect(HScrollBar, &QScrollBar::valueChanged, this, [this](int v) { hScrolled(v); });

    ProcMenu = new QMenu(this);
    ProcMenu->setObjectName(QStringLiteral("ProcMenu"));
    auto *group = new QActionGroup(ProcMenu);
    const std::pair<QString, int> zooms[] = {
        {QStringLiteral("200%"), 200}, {QStringLiteral("150%"), 150}, {QStringLiteral("100%"), 100},
        {QStringLiteral("75%"), 75},   {QStringLiteral("50%"), 50},   {QStringLiteral("25%"), 25},
        {QStringLiteral("10%"), 10},   {QStringLiteral("По ширине страницы"), 1},
        {QStringLiteral("Страница целиком"), 2}, {QStringLiteral("Две страницы"), 3}};
    for (const auto &[text, tag] : zooms) {
        QAction *a = ProcMenu->addAction(text);
        a->setCheckable(true);
        a->setData(tag);
        a->setChecked(tag == 100);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, tag] { SetZoomItem(tag); });
        zoomItems_.append(a);
    }
    editItems_.append(ProcMenu->addSeparator());
    QAction *edit = ProcMenu->addAction(QStringLiteral("Редактировать страницу"));
    connect(edit, &QAction::triggered, this, [this] { EditPage(); });
    QAction *add = ProcMenu->addAction(QStringLiteral("Добавить страницу"));
    connect(add, &QAction::triggered, this, [this] { AddPage(); });
    removeItem_ = ProcMenu->addAction(QStringLiteral("Удалить страницу"));
    connect(removeItem_, &QAction::triggered, this, [this] { RemovePage(); });
    editItems_ << edit << add << removeItem_;

    ZoomBtn->OnClick = [this] {
        updateEditItems(false);
        showZoomMenu(ZoomBtn->mapToGlobal(QPoint(0, ZoomBtn->height())));
    };
    LoadBtn->OnClick = [this] { Load(); };
    SaveBtn->OnClick = [this] { Save(); };
    PrintBtn->OnClick = [this] { Print(); };
    FindBtn->OnClick = [this] { Find(); };
    PageSetupBtn->OnClick = [this] { PageSetup(); };
    HelpBtn->OnClick = [this] { StartHelp(); };
    ExitBtn->OnClick = [this] { Exit(); };
    PgUp->OnClick = [this] { GotoPage(ShownPage - 1); };
    PgDown->OnClick = [this] { GotoPage(ShownPage + 1); };
    for (QWidget *w : findChildren<QWidget *>())
        w->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
}

int TfrPreviewForm::PageCount() const { return HeldPages ? HeldPages->Count() : 0; }

bool TfrPreviewForm::designerEditable() const
{
    return library().State.DesignerFormClass && Report && Report->ModifyPrepared;
}

bool TfrPreviewForm::pagesEditable() const
{
    return Report && Report->ModifyPrepared;
}

void TfrPreviewForm::updateEditItems(bool visible)
{
    for (QAction *a : editItems_)
        a->setVisible(visible);
    removeItem_->setEnabled(PageCount() > 1);
}

void TfrPreviewForm::Connect(TfrReport &report)
{
    Report = &report;
    HeldPages = std::move(report.EMFPages);
    report.EMFPages = std::make_unique<TfrEMFPages>(&report);
}

void TfrPreviewForm::Disconnect()
{
    if (!Report || !HeldPages)
        return;
    Report->EMFPages = std::move(HeldPages);
}

void TfrPreviewForm::setupButtons()
{
    if (!Report)
        return;
    const bool designing = library().State.DocumentMode == 0 && library().State.CurrentDesigner;
    if (!designing) {
        const unsigned b = Report->PreviewButtons;
        ZoomBtn->setVisible(b & pbZoom);
        LoadBtn->setVisible(b & pbLoad);
        SaveBtn->setVisible(b & pbSave);
        PrintBtn->setVisible(b & pbPrint);
        PageSetupBtn->setVisible(b & pbPageSetup);
        FindBtn->setVisible(b & pbFind);
        const bool ownStrip = Host == this && TopPanel->parentWidget() == this;
        HelpBtn->setVisible(ownStrip && (b & pbHelp));
        ExitBtn->setVisible(ownStrip && (b & pbExit));
    }
    frTBSeparator1->setVisible(!ZoomBtn->isHidden());
    frTBSeparator3->setVisible(!FindBtn->isHidden() || !HelpBtn->isHidden());
    PrintBtn->setEnabled(ReportPrinter().VirtualPrinterIndex > 0);
    PageSetupBtn->setEnabled(PrintBtn->isEnabled());
    updateEditItems(designerEditable());
    if (Report->InitialZoom != TfrPreviewZoom::pzDefault)
        preview::lastZoom().mode = static_cast<int>(Report->InitialZoom);
    const bool grayed = library().State.DesignerFormClass
                            ? docking::ReadBoolSetting(QStringLiteral("Form\\TfrDesignerForm"),
                                                       QStringLiteral("GrayButtons"), false)
                            : Report->GrayedButtons;
    // The buttons declare no meta-object of their own: found by their C++ type.
    for (QWidget *w : Panel1->findChildren<QWidget *>())
        if (auto *button = dynamic_cast<TfrSpeedButton *>(w))
            button->SetGrayedInactive(grayed);
    // Buttons in their order along the strip.
    int x = 2;
    for (QWidget *w : std::initializer_list<QWidget *>{ZoomBtn, frTBSeparator1, LoadBtn, SaveBtn, PrintBtn,
                                                       PageSetupBtn, frTBSeparator2, FindBtn, HelpBtn,
                                                       frTBSeparator3, ExitBtn}) {
        if (w->isHidden())
            continue;
        w->move(x, 0);
        x += w->width();
    }
    Panel1->setGeometry(2, 4, x + 2, 24);
}

void TfrPreviewForm::ShowReport(TfrReport &report)
{
    Connect(report);
    setupButtons();
    ResetView(true);
    if (report.ModalPreview) {
        platform::answers().runModal(*this);
    } else {
        show();
    }
}

void TfrPreviewForm::ResetView(bool firstPage)
{
    ZoomFactor = preview::lastZoom().factor;
    ZoomMode = preview::lastZoom().mode;
    for (QAction *a : zoomItems_) {
        const int tag = a->data().toInt();
        a->setChecked(ZoomMode >= 1 ? tag == ZoomMode : tag == std::lround(ZoomFactor * 100));
    }
    if (firstPage) {
        ShownPage = PageCount() > 0 ? 1 : 0;
        ScrollX = ScrollY = oldScrollX_ = oldScrollY_ = 0;
        HScrollBar->setValue(0);
        VScrollBar->setValue(0);
    }
    showPageNumber();
    FormResize();
    for (int i = 0; i < PageCount(); ++i) {
        (*HeldPages)[i].Visible = false;
        if ((*HeldPages)[i].Page) {
            platform::gdi::Metafile none;
            platform::gdi::MetafileCanvas scrap(none);
            HeldPages->Draw(i, scrap, QRect());
        }
    }
    removeItem_->setEnabled(PageCount() > 1);
    PBox->update();
}

QRect TfrPreviewForm::pageTarget(int index) const
{
    const TfrEMFPage &page = (*HeldPages)[index];
    const QRect &r = rects_[static_cast<size_t>(index)];
    if (page.UseMargins)
        return r;
    const PageMetrics &m = page.Metrics;
    auto z = [this](double v) { return static_cast<int>(std::lround(v * ZoomFactor)); };
    return QRect(r.left() + z(m.OffsetX + page.Margins[0]), r.top() + z(m.OffsetY + page.Margins[1]),
                 z(m.PrintWidth - page.Margins[0] - page.Margins[2]),
                 z(m.PrintHeight - page.Margins[1] - page.Margins[3]));
}

void TfrPreviewForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TfrPreviewForm::FormResize()
{
    // The panels.
    const bool strip = TopPanel->parentWidget() == Host;
    const int top = strip ? kToolbarHeight : 0;
    if (strip)
        TopPanel->setGeometry(0, 0, Host->width(), kToolbarHeight);
    PreviewPanel->setGeometry(0, top, Host->width(), Host->height() - top);
    const int pw = PreviewPanel->width(), ph = PreviewPanel->height();
    const int right = RPanel->isHidden() ? 0 : kBarSize;
    const int bottom = BPanel->isHidden() ? 0 : kBottomHeight;
    RPanel->setGeometry(pw - right, 0, right, ph - bottom);
    BPanel->setGeometry(0, ph - bottom, pw, bottom);
    ScrollBox1->setGeometry(0, 0, pw - right, ph - bottom);
    PBox->setGeometry(0, 0, ScrollBox1->width(), ScrollBox1->height());
    PgDown->move(0, RPanel->height() - 16);
    PgUp->move(0, PgDown->y() - 16);
    VScrollBar->setGeometry(0, 0, kBarSize, std::max(0, PgUp->y() - 1));
    Label1->setGeometry(0, 1, 90, kBottomHeight - 2);
    Label2->setGeometry(92, 1, 150, kBottomHeight - 2);
    HScrollBar->setGeometry(244, 1, std::max(0, pw - 244 - right), kBottomHeight - 2);

    const int count = PageCount();
    if (count == 0)
        return;
    PaintEnabled = false;
    const QSize surface = PBox->size();
    const TfrEMFPage &current = (*HeldPages)[std::clamp(ShownPage, 1, count) - 1];
    ZoomFactor = preview::zoomFactor(ZoomMode, ZoomFactor, surface, current.Metrics.PaperWidth,
                                     current.Metrics.PaperHeight);
    for (QAction *a : zoomItems_) {
        const int tag = a->data().toInt();
        if (ZoomMode >= 1 ? tag == ZoomMode : tag == std::lround(ZoomFactor * 100))
            a->setChecked(true);
    }
    ZoomBtn->SetCaption(preview::zoomText(ZoomFactor));
    std::vector<QSize> sizes;
    std::vector<int> widths;
    sizes.reserve(static_cast<size_t>(count));
    widths.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const PageMetrics &m = (*HeldPages)[i].Metrics;
        sizes.emplace_back(static_cast<int>(std::lround(m.PaperWidth * ZoomFactor)),
                           static_cast<int>(std::lround(m.PaperHeight * ZoomFactor)));
        widths.push_back(sizes.back().width());
    }
    const int columns = preview::columnCount(widths, surface.width(), ZoomMode);
    rects_ = preview::layoutPages(sizes, columns, surface.width());
    for (int i = 0; i < count; ++i)
        (*HeldPages)[i].PageRect = rects_[static_cast<size_t>(i)];
    const QSize maxima = preview::scrollMaxima(rects_, surface);
    HScrollBar->setMaximum(maxima.width());
    HScrollBar->setEnabled(maxima.width() > 0);
    VScrollBar->setMaximum(maxima.height());
    VScrollBar->setEnabled(maxima.height() > 0);
    scrollToCurrent();
    PaintEnabled = true;
}

void TfrPreviewForm::showPageNumber()
{
    Label1->setText(PageCount() == 0 ? QString()
                                     : QStringLiteral("Стр. %1/%2").arg(ShownPage).arg(PageCount()));
    if (OnPageShown)
        OnPageShown();
}

void TfrPreviewForm::scrollToCurrent()
{
    if (ShownPage < 1 || ShownPage > static_cast<int>(rects_.size()))
        return;
    const int page = ShownPage;
    VScrollBar->setValue(rects_[static_cast<size_t>(page - 1)].top() - 10);
    ShownPage = page; // the bar's change made the page under it current
    showPageNumber();
}

void TfrPreviewForm::vScrolled(int value)
{
    const int y = -value;
    const int dy = y - ScrollY;
    oldScrollY_ = ScrollY;
    ScrollY = y;
    SearchMark = QRect();
    if (dy != 0 && PaintEnabled)
        PBox->scroll(0, dy);
    const int page = preview::pageAtScroll(rects_, value);
    if (page >= 0) {
        ShownPage = page + 1;
        showPageNumber();
    }
}

void TfrPreviewForm::hScrolled(int value)
{
    const int x = -value;
    const int dx = x - ScrollX;
    oldScrollX_ = ScrollX;
    ScrollX = x;
    SearchMark = QRect();
    if (dx != 0 && PaintEnabled)
        PBox->scroll(dx, 0);
}

void TfrPreviewForm::GotoPage(int page)
{
    if (PageCount() == 0 || page < 1 || page > PageCount())
        return;
    ShownPage = page;
    showPageNumber();
    scrollToCurrent();
}

void TfrPreviewForm::SetZoomItem(int tag)
{
    if (tag >= 1 && tag <= 3) {
        ZoomMode = tag;
    } else {
        ZoomMode = preview::ZoomFixed;
        ZoomFactor = tag / 100.0;
    }
    for (QAction *a : zoomItems_)
        if (a->data().toInt() == tag)
            a->setChecked(true);
    ScrollX = 0;
    HScrollBar->setValue(0);
    FormResize();
    preview::lastZoom() = {ZoomFactor, ZoomMode};
    PBox->update();
}

void TfrPreviewForm::showZoomMenu(QPoint at) { ProcMenu->popup(at); }

std::optional<QPoint> TfrPreviewForm::pointOnPage(int index, QPoint point) const
{
    const QPoint p = point - QPoint(ScrollX, ScrollY);
    const QRect &r = rects_[static_cast<size_t>(index)];
    if (!r.contains(p))
        return std::nullopt;
    return QPoint(static_cast<int>(std::lround((p.x() - r.left()) / ZoomFactor)),
                  static_cast<int>(std::lround((p.y() - r.top()) / ZoomFactor)));
}

void TfrPreviewForm::clickAt(QPoint point)
{
    TfrPBox &box = *PBox;
    box.ClickedPage = ShownPage;
    for (int i = 0; i < PageCount(); ++i) {
        const std::optional<QPoint> unit = pointOnPage(i, point);
        if (!unit)
            continue;
        box.ClickedPage = i + 1;
        QString hint;
        int cursor = 0;
        if (HeldPages->DoClick(i, *unit, true, hint, cursor)) {
            if (const auto target = preview::linkedPage(hint, PageCount()))
                GotoPage(*target);
            return;
        }
    }
    box.Dragging = true;
    box.DragX = point.x();
    box.DragY = point.y();
    if (box.ClickedPage >= 1) {
        ShownPage = box.ClickedPage;
        showPageNumber();
    }
}

void TfrPreviewForm::hoverAt(QPoint point)
{
    if (!Report)
        return;
    for (int i = 0; i < PageCount(); ++i) {
        const std::optional<QPoint> unit = pointOnPage(i, point);
        if (!unit)
            continue;
        QString hint;
        int cursor = 0;
        HeldPages->DoClick(i, *unit, false, hint, cursor);
        PBox->setCursor(cursor == crHandPoint ? Qt::PointingHandCursor : Qt::ArrowCursor);
        Label2->setText(preview::linkStatus(hint));
        return;
    }
    PBox->setCursor(Qt::ArrowCursor);
    Label2->clear();
}

void TfrPreviewForm::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const preview::KeyCommand c = preview::keyCommand(event->key(), ctrl);
    if (c.action == preview::KeyAction::NotHandled) {
        event->ignore();
        return;
    }
    event->accept();
    if (PageCount() == 0)
        return;
    using preview::KeyAction;
    switch (c.action) {
    case KeyAction::VScroll: VScrollBar->setValue(VScrollBar->value() + c.amount); break;
    case KeyAction::HScroll: HScrollBar->setValue(HScrollBar->value() + c.amount); break;
    case KeyAction::PrevPage: GotoPage(ShownPage - 1); break;
    case KeyAction::NextPage: GotoPage(ShownPage + 1); break;
    case KeyAction::ZoomMenu: ZoomBtn->OnClick(); break;
    case KeyAction::Exit: Exit(); break;
    case KeyAction::Top: VScrollBar->setValue(0); break;
    case KeyAction::LastPage: GotoPage(PageCount()); break;
    case KeyAction::FindNext:
        if (!Search.text.isEmpty()) {
            if (ShownPage != Search.page + 1) {
                Search.page = ShownPage - 1;
                Search.record = 0;
            }
            FindNext();
        }
        break;
    case KeyAction::Load: Load(); break;
    case KeyAction::Save: Save(); break;
    case KeyAction::Find: Find(); break;
    case KeyAction::Print:
        if (PrintBtn->isEnabled())
            Print();
        break;
    case KeyAction::Edit:
        if (pagesEditable())
            EditPage();
        break;
    default: break;
    }
}

void TfrPreviewForm::Find()
{
    if (PageCount() == 0)
        return;
    TfrPreviewSearchForm form(this);
    form.Edit1->setText(Search.text);
    form.Edit1->selectAll();
    form.CB1->setChecked(Search.caseSensitive);
    if (platform::answers().runModal(form) != platform::mrOk)
        return;
    Search.caseSensitive = form.CB1->isChecked();
    Search.text = Search.caseSensitive ? form.Edit1->text() : form.Edit1->text().toUpper();
    if (form.RB1->isChecked()) {
        Search.page = 0;
        Search.record = 0;
    } else if (ShownPage != Search.page + 1) {
        Search.page = ShownPage - 1;
        Search.record = 0;
    }
    FindNext();
}

void TfrPreviewForm::FindNext()
{
    if (PageCount() == 0 || Search.text.isEmpty())
        return;
    PaintEnabled = false;
    const bool hit = preview::findNext(*HeldPages, Search);
    if (hit) {
        ShownPage = Search.page + 1;
        showPageNumber();
        const QRect &page = rects_[static_cast<size_t>(Search.page)];
        const QRect &b = Search.bounds;
        const QSize surface = PBox->size();
        const int c = static_cast<int>(std::lround(b.height() * ZoomFactor));
        int e = static_cast<int>(std::lround(ZoomFactor * b.top())) + 10;
        // The page's own top and left are added to the bar positions.
        if (surface.height() - c < e) {
            VScrollBar->setValue(page.top() + e + c - surface.height() - 10);
            e = surface.height() - c;
        } else {
            VScrollBar->setValue(page.top() - 10);
        }
        const int wd = static_cast<int>(std::lround(ZoomFactor * b.width()));
        int x = page.left() + static_cast<int>(std::lround(ZoomFactor * b.left()));
        if (surface.width() - wd < x) {
            HScrollBar->setValue(page.left() + x + wd - surface.width() - 10);
            x = surface.width() - wd;
        } else {
            HScrollBar->setValue(page.left() - 10);
        }
        ShownPage = Search.page + 1; // the bar moved the current page
        showPageNumber();
        PaintEnabled = true;
        // The mark in surface pixels, where the text now stands.
        SearchMark = QRect(page.left() + static_cast<int>(std::lround(ZoomFactor * b.left())) + ScrollX,
                           page.top() + static_cast<int>(std::lround(ZoomFactor * b.top())) + ScrollY, wd, c);
        PBox->repaint();
        return;
    }
    PaintEnabled = true;
}

void TfrPreviewForm::Load()
{
    if (!Report)
        return;
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Open;
    request.filter = QStringLiteral("Файл отчета (*.frp)|*.frp");
    request.defaultExt = QStringLiteral("frp");
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty())
        return;
    Disconnect();
    Report->EMFPages->Clear();
    Report->LoadPreparedReport(answer.files.first());
    Connect(*Report);
    ResetView(true);
}

void TfrPreviewForm::Save()
{
    if (!Report || PageCount() == 0)
        return;
    const std::vector<ExportFilterInfo> &filters = ExportFilters();
    int preselected = 0;
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Save;
    request.filter = preview::saveFilter(filters, &preselected);
    request.filterIndex = preselected + 1;
    request.defaultExt = QStringLiteral("frp");
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty())
        return;
    const QString name = answer.files.first();
    const int entry = answer.filterIndex - 1;
    // The report works on the pages while the preview lets them go.
    Disconnect();
    if (entry <= 0 || entry > static_cast<int>(filters.size())) {
        Report->SavePreparedReport(preview::forceExtension(name, QStringLiteral("*.frp")));
    } else {
        const ExportFilterInfo &filter = filters[static_cast<size_t>(entry - 1)];
        try {
            Report->ExportTo(filter.Filter, preview::forceExtension(name, filter.FilterExt));
        } catch (const std::exception &) {
            platform::answers().messageDlg(QStringLiteral("Не удалось создать файл \"%1\"").arg(name),
                                           platform::MsgType::Error, platform::mbOK);
        }
    }
    Connect(*Report);
    FormResize();
    PBox->update();
}

void TfrPreviewForm::Print()
{
    if (PageCount() == 0 || !PrintBtn->isEnabled())
        return;
    PrintFromPreview(*this);
}

bool TfrPreviewForm::HasPreparedPages() const { return PageCount() > 0; }
int TfrPreviewForm::DefaultCopies() const { return Report ? Report->DefaultCopies : 1; }
bool TfrPreviewForm::DefaultCollate() const { return Report ? Report->DefaultCollate : true; }
bool TfrPreviewForm::ShowPrintDialog() const { return Report ? Report->ShowPrintDialog : true; }
bool TfrPreviewForm::RebuildsForPrinter() const { return Report && Report->RebuildPrinter && Report->CanRebuild; }
bool TfrPreviewForm::ChangePrinter(int oldIndex, int newIndex)
{
    return Report && Report->ChangePrinter(oldIndex, newIndex);
}

void TfrPreviewForm::Rebuild()
{
    if (!Report)
        return;
    Disconnect();
    Report->EMFPages->Clear();
    Report->PrepareReport();
    Connect(*Report);
    ResetView(true);
}

void TfrPreviewForm::PrintPreparedReport(const QString &pages, int copies, bool collate, int pageChoice)
{
    Disconnect();
    Report->PrintPreparedReport(pages, copies, collate, pageChoice);
    Connect(*Report);
    PBox->update();
}

void TfrPreviewForm::PageSetup()
{
    if (!Report || PageCount() == 0 || !PageSetupBtn->isEnabled())
        return;
    PageSetupChoice choice;
    const TfrEMFPage &first = (*HeldPages)[0];
    for (int i = 0; i < 4; ++i)
        choice.Margins[i] = marginToSetup(first.Margins[i]);
    Printer &printer = ReportPrinter();
    choice.PrinterIndex = printer.PrinterIndex();
    choice.PaperSize = printer.PaperSize;
    if (printer.PaperSize == 256) {
        choice.PaperWidth = printer.PaperWidth;
        choice.PaperHeight = printer.PaperHeight;
    }
    choice.Orientation = printer.Orientation;
    choice.Bin = printer.Bin;
    if (!platform::Service<PageSetupDialog>::get().Show(choice))
        return;
    if (choice.PrinterIndex >= 0 && choice.PrinterIndex != printer.PrinterIndex())
        printer.SetPrinterIndex(choice.PrinterIndex);
    printer.Refresh();
    // Every report page of the template takes the margins and the paper.
    for (const auto &page : Report->Pages) {
        if (page->PageType == 1)
            continue;
        page->MarginLeft = marginFromSetup(choice.Margins[0]);
        page->MarginTop = marginFromSetup(choice.Margins[1]);
        page->MarginRight = marginFromSetup(choice.Margins[2]);
        page->MarginBottom = marginFromSetup(choice.Margins[3]);
        page->pgSize = choice.PaperSize;
        // A user size keeps its width and height: without them its pages
        // would have no size.
        page->pgWidth = choice.PaperSize == 256 ? choice.PaperWidth : 0;
        page->pgHeight = choice.PaperSize == 256 ? choice.PaperHeight : 0;
        page->pgOr = choice.Orientation;
        page->pgBin = choice.Bin;
    }
    Rebuild();
}

void TfrPreviewForm::EditPage()
{
    if (!pagesEditable() || PageCount() == 0)
        return;
    Disconnect();
    Report->EditPreparedReport(ShownPage - 1);
    Connect(*Report);
    FormResize();
    PBox->update();
}

void TfrPreviewForm::AddPage()
{
    if (!Report || PageCount() == 0 || !Report->PageAt(0))
        return;
    HeldPages->Insert(ShownPage - 1, *Report->PageAt(0));
    removeItem_->setEnabled(PageCount() > 1);
    FormResize();
    PBox->update();
}

void TfrPreviewForm::RemovePage()
{
    if (PageCount() <= 1)
        return;
    if (platform::answers().messageDlg(GetResourceText(55005), platform::MsgType::Confirmation, platform::mbYesNo,
                                       GetResourceText(55006)) != platform::mrYes)
        return;
    HeldPages->Delete(ShownPage - 1);
    ResetView(true);
}

void TfrPreviewForm::Exit()
{
    if (isModal())
        done(1);
    else
        close();
}

void TfrPreviewForm::StartHelp()
{
    helpMode_ = true;
    setCursor(Qt::WhatsThisCursor);
    grabMouse();
}

void TfrPreviewForm::mousePressEvent(QMouseEvent *event)
{
    if (!helpMode_) {
        QDialog::mousePressEvent(event);
        return;
    }
    helpMode_ = false;
    releaseMouse();
    unsetCursor();
    QWidget *control = FindControlAt(this, event->position().toPoint());
    if (control && control != HelpBtn)
        platform::Service<ContextHelp>::get().ShowContext(QStringLiteral("FRuser.hlp"),
                                                          control->property("tag").toInt());
}

void TfrPreviewForm::showEvent(QShowEvent *event)
{
    if (!placementRestored_) {
        placementRestored_ = true;
        // The window starts maximized unless its place says otherwise.
        setWindowState(windowState() | Qt::WindowMaximized);
        RestoreFormSettings(this);
    }
    QDialog::showEvent(event);
}

void TfrPreviewForm::closeEvent(QCloseEvent *event)
{
    SaveFormSettings(this);
    QDialog::closeEvent(event);
}

bool QtPageSetupDialog::Show(PageSetupChoice &choice)
{
    QPrinter printer;
    const bool landscape = choice.Orientation == 1;
    // Qt's page sizes are upright; the user size comes as the paper lies.
    platform::Paper offered{choice.PaperSize, choice.PaperWidth, choice.PaperHeight};
    if (landscape)
        std::swap(offered.width, offered.length);
    printer.setPageSize(platform::pageSizeOfPaper(offered));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QMarginsF margins(choice.Margins[0] / 100.0, choice.Margins[1] / 100.0, choice.Margins[2] / 100.0,
                            choice.Margins[3] / 100.0);
    printer.setPageMargins(margins, QPageLayout::Millimeter);
    QPageSetupDialog dialog(&printer);
    if (platform::answers().runModal(dialog) != platform::mrOk)
        return false;
    const QPageLayout layout = printer.pageLayout();
    const QMarginsF chosen = layout.margins(QPageLayout::Millimeter);
    choice.Margins[0] = static_cast<int>(std::lround(chosen.left() * 100));
    choice.Margins[1] = static_cast<int>(std::lround(chosen.top() * 100));
    choice.Margins[2] = static_cast<int>(std::lround(chosen.right() * 100));
    choice.Margins[3] = static_cast<int>(std::lround(chosen.bottom() * 100));
    choice.Orientation = layout.orientation() == QPageLayout::Landscape ? 1 : 0;
    // The paper chosen by its code in the report's table of papers.
    platform::Paper paper = platform::paperOfPageSize(layout.pageSize());
    if (choice.Orientation == 1)
        std::swap(paper.width, paper.length);
    choice.PaperSize = paper.code;
    choice.PaperWidth = paper.code == 256 ? paper.width : 0;
    choice.PaperHeight = paper.code == 256 ? paper.length : 0;
    return true;
}

TfrPreviewPanel::TfrPreviewPanel(QWidget *parent) : QWidget(parent), form_(std::make_unique<TfrPreviewForm>())
{
    form_->Host = this;
    form_->WheelFactor = 3;
    form_->OnPageShown = [this] {
        if (OnPageChanged)
            OnPageChanged(this, form_->ShownPage);
    };
}

TfrPreviewPanel::~TfrPreviewPanel()
{
    // The borrowed panels go back before the window goes.
    form_->PreviewPanel->setParent(form_.get());
    form_->TopPanel->setParent(form_.get());
}

void TfrPreviewPanel::Connect(TfrReport *report)
{
    if (!report)
        return;
    form_->PreviewPanel->setParent(this);
    form_->PreviewPanel->show();
    SetShowToolbar(showToolbar_);
    form_->Connect(*report);
    form_->setupButtons();
    form_->ResetView(true);
}

void TfrPreviewPanel::Disconnect() { form_->Disconnect(); }

int TfrPreviewPanel::GetPage() const { return form_->ShownPage; }

void TfrPreviewPanel::SetScrollBars(ScrollStyle style)
{
    form_->RPanel->setVisible(style == ScrollStyle::Vertical || style == ScrollStyle::Both);
    form_->BPanel->setVisible(style == ScrollStyle::Horizontal || style == ScrollStyle::Both);
    form_->FormResize();
}

void TfrPreviewPanel::SetShowToolbar(bool show)
{
    showToolbar_ = show;
    form_->TopPanel->setParent(show ? static_cast<QWidget *>(this) : form_.get());
    form_->TopPanel->setVisible(show);
    form_->FormResize();
}

void TfrPreviewPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    form_->FormResize();
}

void QtPreviewWindows::Show(TfrReport &report, const QString &caption)
{
    if (report.ModalPreview) {
        TfrPreviewForm form;
        form.setWindowTitle(caption);
        form.ShowReport(report);
        form.Disconnect();
        return;
    }
    auto *form = new TfrPreviewForm;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowTitle(caption);
    form->ShowReport(report);
}

} // namespace reports
