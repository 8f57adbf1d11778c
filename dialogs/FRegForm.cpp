#include "dialogs/FRegForm.h"

#include "geodesy/ImageRegistration.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/VykFunctions.h"
#include "mapdata/ui/FormTranslation.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/Rounding.h"
#include "platform/UserAnswers.h"
#include "platform/ui/FormClass.h"
#include "raster/ImagingRoutines.h"
#include "raster/LeadImage.h"
#include "raster/LeadTools.h"
#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/ImagingLibrary.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using georef::RegPoint;

namespace {

QString pointCaption(int position)
{
    return QStringLiteral("Pt ") + QString::number(position);
}

// Map values as the list and the editor show them.
QString mapText(double v)
{
    return platform::floatToStr(v);
}

int wholeOrZero(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

} // namespace

// ---- markers --------------------------------------------------------------------------

TReper::TReper(QWidget *parent, TRegForm &form) : QWidget(parent), form_(form)
{
    setObjectName(QStringLiteral("Reper"));
    platform::setFormClass(this, "TReper");
    setAttribute(Qt::WA_TranslucentBackground);
    resize(ImageSize, ImageSize + 2);
}

void TReper::SetText(const QString &text)
{
    text_ = text;
    setToolTip(text);
    // Wide enough for the label right of the image.
    const int w = std::max(ImageSize, AnchorOffset() + fontMetrics().horizontalAdvance(text) + 10);
    const int h = std::max(ImageSize + 2, fontMetrics().height());
    const QPoint anchor = Anchor();
    resize(w, h);
    PlaceAt(anchor);
    update();
}

void TReper::PlaceAt(QPoint anchor)
{
    move(anchor - QPoint(AnchorOffset(), height() / 2));
}

void TReper::SetSelected(bool selected)
{
    selected_ = selected;
    if (selected)
        raise();
    update();
}

void TReper::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int top = height() / 2 - ImageSize / 2;
    const QRectF box(1.5, top + 1.5, ImageSize - 3, ImageSize - 3);
    const QColor colour = selected_ ? QColor(0, 90, 255) : QColor(230, 0, 0);
    p.setPen(QPen(Qt::white, 3));
    p.drawEllipse(box);
    p.setPen(QPen(colour, 1.5));
    p.drawEllipse(box);
    const QPointF c = box.center();
    p.drawLine(QPointF(c.x(), top), QPointF(c.x(), top + ImageSize));
    p.drawLine(QPointF(0, c.y()), QPointF(ImageSize, c.y()));
    p.setPen(colour);
    p.drawText(QRect(AnchorOffset() + 10, 0, width() - AnchorOffset() - 10, height()),
               Qt::AlignLeft | Qt::AlignBottom, text_);
}

void TReper::mousePressEvent(QMouseEvent *event)
{
    form_.MarkerPressed(this);
    if (event->button() == Qt::LeftButton) {
        press_ = event->position().toPoint();
        dragging_ = true;
    }
}

void TReper::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    move(pos() + event->position().toPoint() - press_);
    form_.MarkerMoved(this);
}

void TReper::mouseReleaseEvent(QMouseEvent *)
{
    dragging_ = false;
}

void TReper::mouseDoubleClickEvent(QMouseEvent *)
{
    dragging_ = false;
    form_.MarkerDoubleClicked(this);
}

// ---- the picture surface ----------------------------------------------------------------

TVykImage::TVykImage(QWidget *parent, TRegForm &form) : raster::TLEADImageWidget(parent), form_(form)
{
    setObjectName(QStringLiteral("Image"));
    platform::setFormClass(this, "TVykImage");
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    // The window scrolls and zooms by setting the rectangles itself.
    SetProperty(QStringLiteral("AutoScroll"), false);
    SetProperty(QStringLiteral("AutoSize"), false);
    SetProperty(QStringLiteral("BackColor"), static_cast<uint>(palette().color(QPalette::Button).rgb() & 0xFFFFFF));
    SetProperty(QStringLiteral("EnableMethodErrors"), false);
}

void TVykImage::paintEvent(QPaintEvent *event)
{
    raster::TLEADImageWidget::paintEvent(event);
    QPainter p(this);
    form_.PaintOverlay(p);
}

void TVykImage::mousePressEvent(QMouseEvent *event) { form_.ImageMouseDown(event); }
void TVykImage::mouseMoveEvent(QMouseEvent *event) { form_.ImageMouseMove(event); }
void TVykImage::mouseReleaseEvent(QMouseEvent *event) { form_.ImageMouseUp(event); }
void TVykImage::leaveEvent(QEvent *event)
{
    raster::TLEADImageWidget::leaveEvent(event);
    form_.HideReadout();
}
void TVykImage::resizeEvent(QResizeEvent *event)
{
    raster::TLEADImageWidget::resizeEvent(event);
    form_.UpdateView();
}

// ---- the point editor ---------------------------------------------------------------------

TVykPointEditForm::TVykPointEditForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("VykPointEditForm"));
    platform::tagForm(this, "TVykPointEditForm", "TForm");
    auto *form = new QFormLayout(this);
    edName = platform::named(new QLineEdit(this), "edName", "TEdit");
    edMapX = platform::named(new QLineEdit(this), "edMapX", "TEdit");
    edMapY = platform::named(new QLineEdit(this), "edMapY", "TEdit");
    edPicX = platform::named(new QLineEdit(this), "edPicX", "TEdit");
    edPicY = platform::named(new QLineEdit(this), "edPicY", "TEdit");
    form->addRow(QStringLiteral("Метка"), edName);
    form->addRow(QStringLiteral("Карта Х, м"), edMapX);
    form->addRow(QStringLiteral("Карта Y, м"), edMapY);
    form->addRow(QStringLiteral("Рисунок Х"), edPicX);
    form->addRow(QStringLiteral("Рисунок Y"), edPicY);
    auto *buttons = new QHBoxLayout;
    btnOk = platform::named(new QPushButton(QStringLiteral("Да"), this), "btnOk", "TBitBtn");
    btnCancel = platform::named(new QPushButton(QStringLiteral("Отменить"), this), "btnCancel", "TBitBtn");
    btnOk->setDefault(true);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    form->addRow(buttons);
    connect(btnOk, &QPushButton::clicked, this, [this] { done(platform::mrOk); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(platform::mrCancel); });
    VykFunctions::TranslateForm(objectName());
}

int TVykPointEditForm::Edit(RegPoint &point, bool isNew, const QString &markerText)
{
    setWindowTitle(isNew ? QStringLiteral("Создание контрольной точки") : QStringLiteral("Изменение контрольной точки"));
    edName->setText(point.Label.isEmpty() ? markerText : point.Label);
    edMapX->setText(mapText(point.Y));
    edMapY->setText(mapText(point.X));
    edPicX->setText(QString::number(point.Column));
    edPicY->setText(QString::number(point.Row));
    if (platform::execModal(*this) != platform::mrOk)
        return platform::mrCancel;
    point.Label = edName->text();
    point.Y = VykFunctions::TextToFloatDef(edMapX->text(), 0);
    point.X = VykFunctions::TextToFloatDef(edMapY->text(), 0);
    point.Column = wholeOrZero(edPicX->text());
    point.Row = wholeOrZero(edPicY->text());
    return platform::mrOk;
}

// ---- the form ------------------------------------------------------------------------------

struct TRegForm::Entry {
    RegPoint point;
    QTreeWidgetItem *item = nullptr;
    TReper *marker = nullptr;
    QString residualX = QStringLiteral("?"), residualY = QStringLiteral("?");
};

TRegForm::TRegForm(QWidget *parent, const QString &folder) : QDialog(parent), folder_(folder)
{
    setObjectName(QStringLiteral("RegForm"));
    platform::tagForm(this, "TRegForm", "TForm");
    setWindowTitle(QStringLiteral("Координирование изображения"));
    setSizeGripEnabled(true);
    resize(960, 660);
    tempDir_ = platform::joinPath(QDir::tempPath(), QStringLiteral("Vyk"));
    QDir().mkpath(tempDir_);
    BuildControls();
    VykFunctions::TranslateForm(objectName());
}

TRegForm::~TRegForm()
{
    // The children go after this body: what they signal on their way out
    // (the zoom box losing the focus) finds no view to update.
    for (QObject *sender : std::initializer_list<QObject *>{cbZoom, ScrollBarH, ScrollBarV, ListView, Timer})
        QObject::disconnect(sender, nullptr, this, nullptr);
    Image = nullptr;
    entries_.clear();
    DropWorkingImage();
    QDir().rmdir(tempDir_);
}

void TRegForm::BuildControls()
{
    auto *body = new QVBoxLayout(this);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    body->addWidget(bar);

    auto action = [&](QAction *&a, const char *name, const QString &text, auto slot) {
        a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        addAction(a);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    action(aImport, "aImport", QStringLiteral("Импорт..."), [this] { ImportClick(); });
    action(aExport, "aExport", QStringLiteral("Экспорт..."), [this] { ExportClick(); });
    action(aRotate, "aRotate", QStringLiteral("Повернуть"), [this] { RotatePicture(); });
    action(aApply, "aApply", QStringLiteral("Применить"), [this] { done(platform::mrOk); });
    action(aCancel, "aCancel", QStringLiteral("Отменить"), [this] { done(platform::mrCancel); });
    action(aZoomIn, "aZoomIn", QStringLiteral("Увеличить"), [this] { SetZoom(zoom_ * 1.2); });
    action(aZoomOut, "aZoomOut", QStringLiteral("Уменьшить"), [this] { SetZoom(zoom_ * 0.8); });
    action(aPan, "aPan", QStringLiteral("Переместить"), [this] { SetMode(Mode::Pan); });
    action(aZoomMode, "aZoomMode", QStringLiteral("Изменить масштаб"), [this] { SetMode(Mode::Zoom); });
    action(aAddPoints, "aAddPoints", QStringLiteral("Создание контрольных точек"), [this] { SetMode(Mode::AddPoints); });
    action(aDeletePoint, "aDeletePoint", QStringLiteral("Удалить контрольную точку"), [this] { DeleteSelected(); });
    action(aEditPoint, "aEditPoint", QStringLiteral("Изменить контрольную точку"), [this] { EditSelected(); });
    action(aGoToPoint, "aGoToPoint", QStringLiteral("Перейти к контрольной точке"), [this] { GoToSelected(); });
    action(aSwapXY, "aSwapXY", QStringLiteral("Поменять местами X и Y"), [this] { SwapXY(); });
    action(aCorelDraw, "aCorelDraw", QStringLiteral("Открыть избражение в CorelDraw"), [this] { OpenInEditor(true); });
    action(aPhotoshop, "aPhotoshop", QStringLiteral("Открыть изображение в Photoshop"), [this] { OpenInEditor(false); });
    aZoomIn->setShortcut(QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
    aZoomOut->setShortcut(QKeySequence(Qt::KeypadModifier | Qt::Key_Minus));
    aAddPoints->setShortcut(QKeySequence(Qt::Key_Insert));
    aDeletePoint->setShortcut(QKeySequence(Qt::Key_Delete));
    for (QAction *a : {aPan, aZoomMode, aAddPoints})
        a->setCheckable(true);
    aPan->setChecked(true);

    for (QAction *a : {aImport, aExport, aRotate})
        bar->addAction(a);
    bar->addSeparator();
    for (QAction *a : {aPan, aZoomMode, aAddPoints})
        bar->addAction(a);

    // The second row: the zoom, the points and the outside editors; the
    // list's menu holds every command on points.
    auto *points = new QToolBar(this);
    points->setObjectName(QStringLiteral("ToolBar2"));
    points->setToolButtonStyle(Qt::ToolButtonTextOnly);
    body->addWidget(points);
    points->addAction(aZoomOut);
    cbZoom = platform::named(new QComboBox(points), "cbZoom", "TComboBox");
    cbZoom->setEditable(true);
    cbZoom->addItems({QStringLiteral("10 %"), QStringLiteral("25 %"), QStringLiteral("50 %"), QStringLiteral("100 %"),
                      QStringLiteral("200 %"), QStringLiteral("500 %"), QStringLiteral("1000 %")});
    cbZoom->setCurrentText(georef::zoomText(1));
    cbZoom->setMinimumContentsLength(7);
    points->addWidget(cbZoom);
    connect(cbZoom, &QComboBox::textActivated, this, [this] { ZoomBoxEntered(); });
    points->addAction(aZoomIn);
    points->addSeparator();
    points->addAction(aEditPoint);
    points->addAction(aDeletePoint);
    points->addSeparator();
    // The editors' buttons name their program; the caption is their hint.
    for (QAction *a : {aCorelDraw, aPhotoshop}) {
        a->setToolTip(a->text());
        a->setIconText(a == aCorelDraw ? QStringLiteral("CorelDraw") : QStringLiteral("Photoshop"));
        points->addAction(a);
    }

    auto *split = new QSplitter(Qt::Vertical, this);
    body->addWidget(split, 1);
    Panel = platform::named(new QWidget(split), "Panel", "TPanel");
    auto *grid = new QGridLayout(Panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    Image = new TVykImage(Panel, *this);
    ScrollBarH = platform::named(new QScrollBar(Qt::Horizontal, Panel), "ScrollBarH", "TScrollBar");
    ScrollBarV = platform::named(new QScrollBar(Qt::Vertical, Panel), "ScrollBarV", "TScrollBar");
    grid->addWidget(Image, 0, 0);
    grid->addWidget(ScrollBarV, 0, 1);
    grid->addWidget(ScrollBarH, 1, 0);
    connect(ScrollBarH, &QScrollBar::valueChanged, this, [this](int v) {
        if (v != scroll_.x())
            ScrollTo(QPoint(v, scroll_.y()));
    });
    connect(ScrollBarV, &QScrollBar::valueChanged, this, [this](int v) {
        if (v != scroll_.y())
            ScrollTo(QPoint(scroll_.x(), v));
    });

    ListView = platform::named(new QTreeWidget(split), "ListView", "TListView");
    ListView->setRootIsDecorated(false);
    ListView->setHeaderLabels({QStringLiteral("Метка"), QStringLiteral("X Рисунок"), QStringLiteral("Y Рисунок"),
                               QStringLiteral("X Карта"), QStringLiteral("Y Карта"), QStringLiteral("X Ошибка"),
                               QStringLiteral("Y Ошибка")});
    ListView->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    split->setSizes({440, 120});
    connect(ListView, &QTreeWidget::itemSelectionChanged, this, [this] {
        const int i = Selected();
        for (int k = 0; k < Count(); ++k)
            entries_[static_cast<size_t>(k)]->marker->SetSelected(k == i);
    });
    connect(ListView, &QTreeWidget::itemDoubleClicked, this, [this] { EditSelected(); });
    ListView->setContextMenuPolicy(Qt::ActionsContextMenu);
    ListView->addActions({aEditPoint, aDeletePoint, aGoToPoint, aSwapXY});

    auto *status = new QHBoxLayout;
    status->setContentsMargins(6, 2, 6, 2);
    lbSize = platform::named(new QLabel(this), "lbSize", "TLabel");
    lbXY = platform::named(new QLabel(this), "lbXY", "TLabel");
    lbAngle = platform::named(new QLabel(this), "lbAngle", "TLabel");
    status->addWidget(lbSize);
    status->addSpacing(20);
    status->addWidget(lbXY);
    status->addSpacing(20);
    status->addWidget(lbAngle);
    status->addStretch(1);
    for (QAction *a : {aApply, aCancel}) {
        auto *button = new QPushButton(a->text(), this);
        button->setObjectName(a == aApply ? QStringLiteral("btnApply") : QStringLiteral("btnCancel"));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, a, &QAction::trigger);
        status->addWidget(button);
    }
    body->addLayout(status);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer1"));
    Timer->setInterval(100);
    connect(Timer, &QTimer::timeout, this, [this] { UpdateReadout(lastCursor_); });
}

QString TRegForm::ImagePath() const
{
    const QString name = record_.ImageName.trimmed();
    return platform::lastSeparator(name) < 0 && !folder_.isEmpty() ? platform::joinPath(folder_, name) : name;
}

void TRegForm::DropWorkingImage()
{
    if (Image && pictureOpen_)
        Image->ClearImage();
    pictureOpen_ = false;
    if (tempCopy_)
        QFile::remove(workImage_);
    tempCopy_ = false;
    workImage_.clear();
}

void TRegForm::PrepareWorkingImage()
{
    DropWorkingImage();
    const QString path = ImagePath();
    const QString ext = platform::extractFileExt(path).toLower();
    workImage_ = path;
    // Every picture other than a bitmap goes through the imaging library into
    // a temporary bitmap, which the view draws; ".sid" has no reader here.
    if (ext != QLatin1String(".bmp") && ext != QLatin1String(".sid") && platform::fileExists(path)) {
        // The folder may have gone with another window's last copy; the
        // name is taken at once, so that another window (or program) picks
        // the next one.
        QDir().mkpath(tempDir_);
        QString copy;
        for (int tries = 0; tries < 100 && copy.isEmpty(); ++tries) {
            QFile reserve(georef::freeTemporaryBmp(tempDir_));
            if (reserve.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                copy = reserve.fileName();
        }
        bool converted = false;
        try {
            converted = !copy.isEmpty() && raster::ConvertImageFile(this, platform::resolvePath(path), copy,
                                                                    platform::imaging::FILE_BMP, 8);
        } catch (const std::exception &) {
            converted = false;
        }
        if (converted) {
            workImage_ = copy;
            tempCopy_ = true;
        } else if (!copy.isEmpty()) {
            QFile::remove(copy);
        }
    }
    std::int32_t w = 0, h = 0, dx = 0, dy = 0;
    width_ = height_ = 0;
    bool measured = false;
    try {
        measured = platform::fileExists(workImage_) &&
                   raster::imagingRoutines().GetImageFileInfo(this, platform::resolvePath(workImage_), w, h, dx, dy);
    } catch (const std::exception &) {
        measured = false;
    }
    // A picture whose size cannot be read leaves the picture area empty.
    if (measured && w > 0 && h > 0) {
        width_ = w;
        height_ = h;
        try {
            pictureOpen_ = ext != QLatin1String(".sid") &&
                           Image->Load(platform::resolvePath(workImage_), 0, 0, 1) == platform::imaging::SUCCESS;
        } catch (const std::exception &) {
            pictureOpen_ = false;
        }
        if (!pictureOpen_)
            Image->ClearImage();
    }
}

void TRegForm::SetImage(const TRasterObject &record)
{
    record_ = record;
    for (auto &e : entries_)
        delete e->marker;
    entries_.clear();
    ListView->clear();
    zoom_ = 1;
    cbZoom->setCurrentText(georef::zoomText(zoom_));
    press_ = QPoint();
    PrepareWorkingImage();
    lbSize->setText(QString::number(width_) + QStringLiteral(" х ") + QString::number(height_));
    scroll_ = QPoint();
    int i = 0;
    for (const TControlPoint &p : record.Points)
        AddEntry(RegPoint{pointCaption(++i), p.X, p.Y, p.Column, p.Row});
    for (int k = 0; k < Count(); ++k)
        ShowPoint(k);
    if (Count() > 0)
        SelectPoint(0);
    UpdateView();
}

int TRegForm::Execute(TRasterObject &record)
{
    SetImage(record);
    setWindowTitle(QStringLiteral("Координирование изображения [") + record.ImageName.trimmed() + u']');
    const int result = platform::execModal(*this);
    if (result == platform::mrOk) {
        record.Points.clear();
        for (const RegPoint &p : Points())
            record.Points.push_back(TControlPoint{p.X, p.Y, p.Column, p.Row});
        return 1;
    }
    return 2;
}

std::vector<RegPoint> TRegForm::Points() const
{
    std::vector<RegPoint> out;
    for (const auto &e : entries_)
        out.push_back(e->point);
    return out;
}

int TRegForm::Selected() const
{
    const QList<QTreeWidgetItem *> items = ListView->selectedItems();
    return items.isEmpty() ? -1 : ListView->indexOfTopLevelItem(items.front());
}

void TRegForm::SelectPoint(int index)
{
    if (index < 0 || index >= Count())
        return;
    QTreeWidgetItem *item = entries_[static_cast<size_t>(index)]->item;
    ListView->setCurrentItem(item);
    item->setSelected(true);
    ListView->scrollToItem(item);
}

void TRegForm::AddEntry(const RegPoint &point)
{
    auto e = std::make_unique<Entry>();
    e->point = point;
    e->item = new QTreeWidgetItem(ListView);
    e->marker = new TReper(Image, *this);
    entries_.push_back(std::move(e));
}

void TRegForm::RemoveEntry(int index)
{
    // Out of the list first: removing the item changes the selection, whose
    // handler walks the markers.
    std::unique_ptr<Entry> e = std::move(entries_[static_cast<size_t>(index)]);
    entries_.erase(entries_.begin() + index);
    delete e->item;
    delete e->marker;
}

void TRegForm::ShowPoint(int index)
{
    Entry &e = *entries_[static_cast<size_t>(index)];
    const RegPoint &p = e.point;
    e.item->setText(0, p.Label);
    e.item->setText(1, QString::number(p.Column));
    e.item->setText(2, QString::number(p.Row));
    e.item->setText(3, mapText(p.Y));
    e.item->setText(4, mapText(p.X));
    e.marker->SetText(p.Label);
    e.marker->show();
    if (!e.marker->Dragging())
        e.marker->PlaceAt(PictureToPanel(QPoint(p.Column, p.Row)));
    RecalcResiduals();
}

void TRegForm::RecalcResiduals()
{
    const auto texts = georef::residualTexts(Points(), record_.ImageHeight);
    for (size_t i = 0; i < entries_.size(); ++i) {
        Entry &e = *entries_[i];
        e.residualX = texts[i].first;
        e.residualY = texts[i].second;
        e.item->setText(5, e.residualX);
        e.item->setText(6, e.residualY);
    }
}

QString TRegForm::ResidualX(int index) const { return entries_.at(static_cast<size_t>(index))->residualX; }
QString TRegForm::ResidualY(int index) const { return entries_.at(static_cast<size_t>(index))->residualY; }

double TRegForm::RotationAngle() const
{
    return georef::rotationAngleDeg(Points());
}

QPoint TRegForm::PanelToPicture(QPoint panel) const
{
    return QPoint(platform::roundToInt(panel.x() / zoom_) + scroll_.x(),
                  platform::roundToInt(panel.y() / zoom_) + scroll_.y());
}

QPoint TRegForm::PictureToPanel(QPoint picture) const
{
    return QPoint(platform::roundToInt((picture.x() - scroll_.x()) * zoom_),
                  platform::roundToInt((picture.y() - scroll_.y()) * zoom_));
}

void TRegForm::PlaceMarkers()
{
    for (auto &e : entries_)
        if (!e->marker->Dragging())
            e->marker->PlaceAt(PictureToPanel(QPoint(e->point.Column, e->point.Row)));
}

void TRegForm::UpdateView()
{
    if (!Image)
        return;
    const int viewW = platform::roundToInt(Image->width() / zoom_);
    const int viewH = platform::roundToInt(Image->height() / zoom_);
    // The scroll position keeps the window on the picture.
    scroll_.setX(std::clamp(scroll_.x(), 0, std::max(0, width_ - viewW)));
    scroll_.setY(std::clamp(scroll_.y(), 0, std::max(0, height_ - viewH)));
    const int pageW = std::min(width_, viewW), pageH = std::min(height_, viewH);
    const QSignalBlocker bh(ScrollBarH), bv(ScrollBarV);
    ScrollBarH->setRange(0, std::max(0, width_ - pageW));
    ScrollBarH->setPageStep(std::max(1, pageW));
    ScrollBarH->setValue(scroll_.x());
    ScrollBarV->setRange(0, std::max(0, height_ - pageH));
    ScrollBarV->setPageStep(std::max(1, pageH));
    ScrollBarV->setValue(scroll_.y());
    // The window of picture pixels the view shows, cut to the picture; the
    // control stretches it over the view, or over less where it was cut,
    // and fills the rest with the button face.
    const int W = Image->width(), H = Image->height();
    int srcW = platform::roundToInt(W / zoom_), srcH = platform::roundToInt(H / zoom_);
    int dstW = W, dstH = H;
    if (srcW > width_ - scroll_.x()) {
        srcW = std::max(0, width_ - scroll_.x());
        dstW = platform::roundToInt(srcW * zoom_);
    }
    if (srcH > height_ - scroll_.y()) {
        srcH = std::max(0, height_ - scroll_.y());
        dstH = platform::roundToInt(srcH * zoom_);
    }
    if (pictureOpen_ && srcW > 0 && srcH > 0 && dstW > 0 && dstH > 0) {
        Image->SetSrcRect(scroll_.x(), scroll_.y(), srcW, srcH);
        Image->SetSrcClipRect(scroll_.x(), scroll_.y(), srcW, srcH);
        Image->SetDstRect(0, 0, dstW, dstH);
        Image->SetDstClipRect(0, 0, dstW, dstH);
    }
    PlaceMarkers();
    Image->update();
}

void TRegForm::PaintOverlay(QPainter &painter)
{
    if (!Image)
        return;
    if (zoomRectShown_) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(zoomRect_.normalized());
    }
}

void TRegForm::SetZoom(double zoom)
{
    zoom_ = georef::clampZoom(zoom);
    cbZoom->setCurrentText(georef::zoomText(zoom_));
    UpdateView();
}

void TRegForm::ZoomBoxEntered()
{
    // A text without digits keeps the zoom as it was.
    if (const std::optional<double> z = georef::zoomFromText(cbZoom->currentText()))
        SetZoom(*z);
    else
        cbZoom->setCurrentText(georef::zoomText(zoom_));
}

void TRegForm::SetMode(Mode mode)
{
    mode_ = mode;
    aPan->setChecked(mode == Mode::Pan);
    aZoomMode->setChecked(mode == Mode::Zoom);
    aAddPoints->setChecked(mode == Mode::AddPoints);
    Image->setCursor(mode == Mode::AddPoints ? Qt::CrossCursor : Qt::ArrowCursor);
}

void TRegForm::ScrollTo(QPoint topLeft)
{
    scroll_ = topLeft;
    UpdateView();
}

// ---- points ---------------------------------------------------------------------------------

int TRegForm::EditPoint(int index, bool isNew)
{
    Entry &e = *entries_[static_cast<size_t>(index)];
    TVykPointEditForm editor(this);
    RegPoint p = e.point;
    const int result = editor.Edit(p, isNew, p.Label);
    if (result == platform::mrOk) {
        e.point = p;
        ShowPoint(index);
    }
    return result;
}

bool TRegForm::AddPointAt(int column, int row)
{
    RegPoint p;
    p.Column = column;
    p.Row = row;
    if (Count() >= 2)
        if (const auto s = georef::suggestedMapPoint(Points(), column, row)) {
            p.X = s->first;
            p.Y = s->second;
        }
    p.Label = pointCaption(Count() + 1);
    AddEntry(p);
    const int index = Count() - 1;
    if (EditPoint(index, true) == platform::mrOk) {
        SelectPoint(index);
        RecalcResiduals();
        return true;
    }
    RemoveEntry(index);
    RecalcResiduals();
    return false;
}

void TRegForm::EditSelected()
{
    const int i = Selected();
    if (i >= 0)
        EditPoint(i, false);
}

void TRegForm::DeleteSelected()
{
    const int i = Selected();
    if (i < 0)
        return;
    RemoveEntry(i);
    if (Count() > 0)
        SelectPoint(std::min(i, Count() - 1));
    RecalcResiduals();
}

void TRegForm::GoToSelected()
{
    const int i = Selected();
    if (i < 0)
        return;
    const RegPoint &p = entries_[static_cast<size_t>(i)]->point;
    ScrollTo(QPoint(p.Column - platform::roundToInt(Image->width() / zoom_ / 2),
                    p.Row - platform::roundToInt(Image->height() / zoom_ / 2)));
}

void TRegForm::SwapXY()
{
    for (int i = 0; i < Count(); ++i) {
        RegPoint &p = entries_[static_cast<size_t>(i)]->point;
        std::swap(p.X, p.Y);
        ShowPoint(i);
    }
}

int TRegForm::IndexOf(const TReper *marker) const
{
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i]->marker == marker)
            return static_cast<int>(i);
    return -1;
}

void TRegForm::MarkerPressed(TReper *marker)
{
    SelectPoint(IndexOf(marker));
}

void TRegForm::MarkerMoved(TReper *marker)
{
    const int i = IndexOf(marker);
    if (i < 0)
        return;
    const QPoint picture = PanelToPicture(marker->Anchor());
    RegPoint &p = entries_[static_cast<size_t>(i)]->point;
    p.Column = picture.x();
    p.Row = picture.y();
    ShowPoint(i);
}

void TRegForm::MarkerDoubleClicked(TReper *marker)
{
    const int i = IndexOf(marker);
    if (i >= 0)
        EditPoint(i, false);
}

// ---- the mouse on the picture ----------------------------------------------------------------

void TRegForm::ImageMouseDown(QMouseEvent *event)
{
    Image->setFocus();
    if (event->button() != Qt::LeftButton)
        return;
    press_ = event->position().toPoint();
    zoomRect_ = QRect(press_, press_);
}

void TRegForm::ImageMouseMove(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    UpdateReadout(at);
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (mode_ == Mode::Pan) {
        const QPoint d = at - press_;
        press_ = at;
        ScrollTo(scroll_ - QPoint(platform::roundToInt(d.x() / zoom_), platform::roundToInt(d.y() / zoom_)));
    } else if (mode_ == Mode::Zoom) {
        zoomRect_.setBottomRight(at);
        zoomRectShown_ = true;
        Image->update();
    }
}

void TRegForm::ImageMouseUp(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        if (mode_ == Mode::Zoom) {
            SetZoom(zoom_ * 0.8);
        } else {
            QMenu menu(this);
            menu.addActions({aAddPoints, aEditPoint, aDeletePoint, aGoToPoint, aSwapXY});
            menu.exec(Image->mapToGlobal(at));
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (mode_ == Mode::Zoom) {
        zoomRectShown_ = false;
        const QRect r = QRect(press_, at).normalized();
        const QPoint centre = PanelToPicture(r.center());
        const int w = r.width() - 1, h = r.height() - 1;
        double zoom = zoom_;
        if (w <= 1 && h <= 1)
            zoom *= 1.2;
        else if (w > 1 && h > 1)
            zoom *= std::min(double(Image->width()) / w, double(Image->height()) / h);
        else if (w > 1)
            zoom *= double(Image->width()) / w;
        else
            zoom *= double(Image->height()) / h;
        zoom_ = georef::clampZoom(zoom);
        cbZoom->setCurrentText(georef::zoomText(zoom_));
        ScrollTo(centre - QPoint(platform::roundToInt(Image->width() / zoom_ / 2),
                                 platform::roundToInt(Image->height() / zoom_ / 2)));
    } else if (mode_ == Mode::AddPoints) {
        const QPoint picture = PanelToPicture(at);
        AddPointAt(picture.x(), picture.y());
    }
}

void TRegForm::UpdateReadout(QPoint panel)
{
    lastCursor_ = panel;
    if (!Image->rect().contains(panel) || width_ <= 0) {
        HideReadout();
        return;
    }
    const QPoint p = PanelToPicture(panel);
    lbXY->setText(QStringLiteral("X = %1   Y = %2").arg(std::clamp(p.x(), 0, width_)).arg(std::clamp(p.y(), 0, height_)));
    lbAngle->setText(QStringLiteral("Повернуть = ") + platform::floatToStr(RotationAngle()) + QStringLiteral("°"));
    lbXY->show();
    lbAngle->show();
    if (!Timer->isActive())
        Timer->start();
}

void TRegForm::HideReadout()
{
    if (!Image)
        return;
    lbXY->hide();
    lbAngle->hide();
    Timer->stop();
}

// ---- files, turning, outside editors ------------------------------------------------------

void TRegForm::ImportFile(const QString &fileName)
{
    for (auto &e : entries_)
        delete e->marker;
    entries_.clear();
    ListView->clear();
    const QString picture = ImagePath();
    const georef::RegImport in = georef::importControlPoints(fileName, 0, [&](int &w, int &h) {
        std::int32_t pw = 0, ph = 0, dx = 0, dy = 0;
        try {
            if (!raster::imagingRoutines().GetImageFileInfo(this, platform::resolvePath(picture), pw, ph, dx, dy))
                return false;
        } catch (const std::exception &) {
            return false;
        }
        w = pw;
        h = ph;
        return true;
    });
    for (const RegPoint &p : in.points)
        AddEntry(p);
    for (int i = 0; i < Count(); ++i)
        ShowPoint(i);
    if (Count() > 0)
        SelectPoint(0);
    if (!in.error.isEmpty())
        platform::messageDlg(in.error, platform::MsgType::Error, platform::mbOK);
}

bool TRegForm::ExportFile(const QString &fileName)
{
    const QString message = georef::exportControlPoints(fileName, ImagePath(), Points(), width_, height_);
    if (message.isEmpty())
        return true;
    platform::messageDlg(message, platform::MsgType::Warning, platform::mbOK);
    return false;
}

void TRegForm::ImportClick()
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Импорт");
    request.filter = QStringLiteral("Все поддерживаемые форматы|*.tab;*.rtr;*.bmpw;*.jpgw;*.jpegw;*.tifw;*.tiffw|"
                                    "Файлы MapInfo|*.tab|Файлы ArcView|*.rtr|"
                                    "Файлы World Image|*.bmpw;*.jpgw;*.jpegw;*.tifw;*.tiffw|Все файлы (*.*)|*.*");
    request.initialDir = platform::extractFilePath(ImagePath());
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (answer.accepted && !answer.files.isEmpty())
        ImportFile(answer.files.front());
}

void TRegForm::ExportClick()
{
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Save;
    request.title = QStringLiteral("Экспорт");
    request.filter = QStringLiteral("MapInfo|*.tab|ArcView|*.rtr|World Image bmpw|*.bmpw|"
                                    "World Image jpgw|*.jpgw|World Image tifw|*.tifw");
    const QString path = ImagePath();
    const QString name = platform::extractFileName(path);
    request.initialDir = platform::extractFilePath(path);
    request.fileName = name.left(name.indexOf(u'.') < 0 ? name.size() : name.indexOf(u'.'));
    static const char *const extensions[] = {"tab", "rtr", "bmpw", "jpgw", "tifw"};
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty())
        return;
    QString file = answer.files.front();
    // The filter's extension when the name has none.
    if (platform::extractFileExt(file).isEmpty() && answer.filterIndex >= 1 && answer.filterIndex <= 5)
        file += u'.' + QLatin1String(extensions[answer.filterIndex - 1]);
    ExportFile(file);
}

bool TRegForm::RotatePicture()
{
    const QString path = ImagePath();
    const double angle = RotationAngle();
    if (!platform::fileExists(path) || angle == 0)
        return false;
    const int oldW = width_, oldH = height_;
    // The turn re-encodes the picture on a grown canvas: the picture as it
    // was is kept beside it.
    const QString original = platform::resolvePath(path);
    const QString backup = MapFunctions::FreeNumberedName(original, QStringLiteral("bak"));
    if (!QFile::copy(original, backup)) {
        platform::messageDlg(QStringLiteral("Не удалось записать файл ") + backup, platform::MsgType::Error,
                             platform::mbOK);
        return false;
    }
    bool turned = false;
    try {
        turned = raster::RotateImageFile(this, original, angle);
    } catch (const std::exception &e) {
        platform::messageDlg(QString::fromUtf8(e.what()), platform::MsgType::Error, platform::mbOK);
    }
    if (!turned) {
        QFile::remove(backup);
        return false;
    }
    AdjustPoints(oldW, oldH, false, angle);
    return true;
}

void TRegForm::AdjustPoints(int oldWidth, int oldHeight, bool ask, double angle)
{
    std::int32_t w = 0, h = 0, dx = 0, dy = 0;
    try {
        if (!raster::imagingRoutines().GetImageFileInfo(this, platform::resolvePath(ImagePath()), w, h, dx, dy))
            w = h = 0;
    } catch (const std::exception &) {
        w = h = 0;
    }
    bool move = false;
    if (angle != 0) {
        move = !ask ||
               platform::messageDlg(QStringLiteral("Будет осуществлен поворот изображения на угол %1° и сохранение "
                                                   "изображения.")
                                        .arg(platform::floatToStrF(angle, platform::FloatForm::Fixed, 15, 2)),
                                    platform::MsgType::Information, platform::mbOKCancel) == platform::mrOk;
    } else if (w > 0 && h > 0 && georef::sizeChanged(oldWidth, oldHeight, w, h)) {
        move = !ask || platform::messageDlg(QStringLiteral("Будет осуществлено пересчёт расположения пунктов "
                                                           "координирования"),
                                            platform::MsgType::Confirmation, platform::mbOKCancel) == platform::mrOk;
    }
    if (move && Count() > 1 && w > 0 && h > 0) {
        const std::vector<RegPoint> moved = georef::adjustedPoints(Points(), oldWidth, oldHeight, w, h, angle);
        for (int i = 0; i < Count(); ++i) {
            entries_[static_cast<size_t>(i)]->point = moved[static_cast<size_t>(i)];
            ShowPoint(i);
        }
    }
    // The working image follows the changed file whatever became of the
    // points, so that the picture shown is the file's.
    PrepareWorkingImage();
    lbSize->setText(QString::number(width_) + QStringLiteral(" х ") + QString::number(height_));
    UpdateView();
}

void TRegForm::OpenInEditor(bool corel)
{
    // The start command as the classes root names it; a missing one leaves
    // the picture's path alone as the command line.
    auto command = [](const char *key) {
        try {
            return VykFunctions::ReadRegString(platform::RegRoot::ClassesRoot, QString::fromLatin1(key), QString());
        } catch (const std::exception &) {
            return QString();
        }
    };
    QString open = corel ? command("\\Applications\\coreldrw.exe\\shell\\open\\command")
                         : command("\\Applications\\photoshop.exe\\shell\\open\\command");
    if (!corel && open.isEmpty())
        open = command("\\Applications\\Photoshp.exe\\shell\\open\\command");
    QString program = open;
    if (open.startsWith(u'"')) {
        const qsizetype end = open.indexOf(u'"', 1);
        program = end < 0 ? open.mid(1) : open.mid(1, end - 1);
    }
    const QString path = ImagePath();
    const int oldW = width_, oldH = height_;
    const QString line = program.isEmpty() ? path : program + u' ' + path;
    if (line.contains(u'.')) {
        QProcess process;
        process.setWorkingDirectory(QStringLiteral("."));
        if (program.isEmpty())
            process.start(platform::resolvePath(path), {});
        else
            process.start(program, {platform::resolvePath(path)});
        // The form waits for the editor, as the user's next step is to go
        // on with the changed picture.
        if (process.waitForStarted())
            process.waitForFinished(-1);
    }
    AdjustPoints(oldW, oldH, true, 0);
}
