#include "dialogs/FMapView.h"

#include "dialogs/FTransformForm.h"
#include "dialogs/MapWindowHost.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/CanvasHelpers.h"
#include "mapengine/MapControlCore.h"
#include "platform/Paths.h"
#include "platform/UserAnswers.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Metafile.h"
#include "platform/ui/FormClass.h"
#include "reports/output/ReportEngine.h"

#include <QBoxLayout>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QLabel>
#include <QLineEdit>
#include <QWheelEvent>

#include <cmath>

using namespace platform::gdi;
using namespace dialogs::ui;

namespace {

constexpr double Degree = 3.14159265358979323846 / 180;

int nint(double v)
{
    return static_cast<int>(std::lround(v));
}

QAction *switchItem(QMenu *menu, const char *name, const QString &caption, bool on)
{
    QAction *a = menuItem(menu, name, caption);
    a->setCheckable(true);
    a->setChecked(on);
    return a;
}

QToolButton *toolButton(QToolBar *bar, const char *name, const QString &caption, const QString &hint)
{
    QToolButton *b = speedButton(bar, name, caption, hint);
    bar->addWidget(b);
    return b;
}

} // namespace

// ---- the picture control ---------------------------------------------------

TSketchPicture::TSketchPicture(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image"));
    platform::setFormClass(this, "TImage");
    setMouseTracking(true);
    setMinimumSize(320, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSketchPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, picture);
    if (frameShown) {
        p.setPen(QPen(Qt::red, 1, Qt::DotLine));
        p.drawRect(frame);
    }
}

void TSketchPicture::mousePressEvent(QMouseEvent *e)
{
    if (onPress)
        onPress(e);
}
void TSketchPicture::mouseMoveEvent(QMouseEvent *e)
{
    if (onMove)
        onMove(e);
}
void TSketchPicture::mouseReleaseEvent(QMouseEvent *e)
{
    if (onRelease)
        onRelease(e);
}
void TSketchPicture::wheelEvent(QWheelEvent *e)
{
    if (onWheel)
        onWheel(e);
}

// ---- the window --------------------------------------------------------------

TMapView::TMapView()
{
    setObjectName(QStringLiteral("MapView"));
    platform::tagForm(this, "TMapView", "TForm");
    setWindowTitle(QStringLiteral("Просмотр объектов"));
    auto *body = new QVBoxLayout(this);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);

    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu"));
    body->setMenuBar(bar);
    QMenu *picture = subMenu(bar, "mPicture", QStringLiteral("Рисунок"));
    nRedraw = menuItem(picture, "nRedraw", QStringLiteral("Формирование рисунка"));
    nZoomOut = menuItem(picture, "nZoomOut", QStringLiteral("Уменьшение рисунка"));
    nZoomOut->setShortcut(Qt::Key_F3);
    nZoomIn = menuItem(picture, "nZoomIn", QStringLiteral("Увеличение рисунка"));
    nZoomIn->setShortcut(Qt::Key_F4);
    nViewAll = menuItem(picture, "nViewAll", QStringLiteral("Просмотр всех объектов"));
    nViewAll->setShortcut(Qt::Key_F5);
    QMenu *print = subMenu(bar, "mPrint", QStringLiteral("Печать"));
    nOpen = menuItem(print, "nOpen", QStringLiteral("Открыть"));
    nEdit = menuItem(print, "nEdit", QStringLiteral("Изменить"));
    nCreate = menuItem(print, "nCreate", QStringLiteral("Создать"));
    nBlankSheet = menuItem(print, "nBlankSheet", QStringLiteral("Рисунка на чистом листе"));
    QMenu *show = subMenu(bar, "mShow", QStringLiteral("Отображение"));
    nLines = switchItem(show, "nLines", QStringLiteral("линий"), true);
    nPoints = switchItem(show, "nPoints", QStringLiteral("точек"), true);
    nLengths = switchItem(show, "nLengths", QStringLiteral("вычисленных расстояний"), true);
    nNumbers = switchItem(show, "nNumbers", QStringLiteral("номеров точек"), true);
    nObjectNumber = switchItem(show, "nObjectNumber", QStringLiteral("номера объекта"), false);
    nArea = switchItem(show, "nArea", QStringLiteral("площади"), true);
    nPerimeter = switchItem(show, "nPerimeter", QStringLiteral("периметра"), false);
    nGrid = switchItem(show, "nGrid", QStringLiteral("сетки"), false);
    for (QAction *a : {nLines, nPoints, nLengths, nNumbers, nObjectNumber, nArea, nPerimeter, nGrid})
        connect(a, &QAction::toggled, this, [this] { DrawObjects(); });

    auto *tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("ToolBar1"));
    body->addWidget(tools);
    tbZoom = toolButton(tools, "tbZoom", QStringLiteral("Лупа"), QStringLiteral("Увеличение рамкой"));
    tbPan = toolButton(tools, "tbPan", QStringLiteral("Рука"), QStringLiteral("Перемещение рисунка"));
    for (QToolButton *b : {tbZoom, tbPan}) {
        b->setCheckable(true);
        b->setAutoExclusive(true);
    }
    tbPan->setChecked(true);
    tbZoomIn = toolButton(tools, "tbZoomIn", QStringLiteral("+"), QStringLiteral("Увеличение рисунка"));
    tbZoomOut = toolButton(tools, "tbZoomOut", QStringLiteral("−"), QStringLiteral("Уменьшение рисунка"));
    tbViewAll = toolButton(tools, "tbViewAll", QStringLiteral("Все"), QStringLiteral("Просмотр всех объектов"));
    tools->addWidget(label(this, "lbScale", QStringLiteral(" M 1:")));
    edScale = edit(this, "edScale");
    edScale->setMaximumWidth(90);
    tools->addWidget(edScale);
    tbScaleMenu = toolButton(tools, "tbScaleMenu", QStringLiteral("▾"), QStringLiteral("Масштаб"));
    pmScale = new QMenu(this);
    pmScale->setObjectName(QStringLiteral("pmScale"));
    for (int n : {1, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 15000, 25000, 30000, 40000, 50000, 100000, 150000,
                  200000}) {
        QAction *a = pmScale->addAction(QStringLiteral("1:") + QString::number(n));
        a->setObjectName(QStringLiteral("nScale") + QString::number(n));
        connect(a, &QAction::triggered, this, [this, n] { SetViewScale(0, 1.0 / n); });
    }
    connect(tbScaleMenu, &QToolButton::clicked, this,
            [this] { pmScale->popup(tbScaleMenu->mapToGlobal(QPoint(0, tbScaleMenu->height()))); });

    Image = new TSketchPicture(this);
    body->addWidget(Image, 1);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar1"));
    platform::setFormClass(StatusBar, "TStatusBar");
    for (int i = 0; i < 4; ++i)
        platform::addStatusPanel(StatusBar, QString(), 1);
    body->addWidget(StatusBar);

    connect(nRedraw, &QAction::triggered, this, [this] { DrawObjects(); });
    connect(nZoomOut, &QAction::triggered, this, [this] { SetViewScale(2, 0); });
    connect(nZoomIn, &QAction::triggered, this, [this] { SetViewScale(1, 0); });
    connect(tbZoomOut, &QToolButton::clicked, this, [this] { SetViewScale(2, 0); });
    connect(tbZoomIn, &QToolButton::clicked, this, [this] { SetViewScale(1, 0); });
    auto all = [this] {
        Refit = true;
        DrawObjects();
    };
    connect(nViewAll, &QAction::triggered, this, all);
    connect(tbViewAll, &QToolButton::clicked, this, all);
    connect(nOpen, &QAction::triggered, this, [this] { PrintReport(0); });
    connect(nEdit, &QAction::triggered, this, [this] { PrintReport(1); });
    connect(nCreate, &QAction::triggered, this, [this] { PrintReport(2); });
    connect(nBlankSheet, &QAction::triggered, this, [this] { PrintBlankSheet(); });
    connect(edScale, &QLineEdit::returnPressed, this, [this] { scaleEntered(); });
    for (QToolButton *b : {tbZoom, tbPan})
        connect(b, &QToolButton::clicked, this, [this] {
            Image->setCursor(tbZoom->isChecked() ? Qt::CrossCursor : Qt::OpenHandCursor);
            dragging_ = false;
            Image->frameShown = false;
            Image->update();
        });
    Image->setCursor(Qt::OpenHandCursor);
    Image->onPress = [this](QMouseEvent *e) { press(e); };
    Image->onMove = [this](QMouseEvent *e) { move(e); };
    Image->onRelease = [this](QMouseEvent *e) { release(e); };
    Image->onWheel = [this](QWheelEvent *e) { wheel(e); };
    resize(720, 560);
    VykFunctions::TranslateForm(objectName());
}

MapControlCore *TMapView::map() const
{
    return Map ? Map : dialogs::mapWindow().mapControl();
}

QString TMapView::pictureFile() const
{
    const MapControlCore *m = map();
    return platform::joinPath(m ? m->ProgramDir() : QString(), QStringLiteral("map.wmf"));
}

void TMapView::FormActivate()
{
    // Before the first showing the picture takes its laid-out size.
    layout()->activate();
    Refit = true;
    Wheel.reset();
    CopySelectedObjects();
    DrawObjects();
}

void TMapView::CopySelectedObjects()
{
    Objects = sketch::Objects{};
    MapControlCore *m = map();
    if (Hint != QStringLiteral("Tolvane") || !m)
        return;
    for (const TSelObject &entry : m->Selection().Entries) {
        if (entry.Layer < 0 || static_cast<size_t>(entry.Layer) >= m->Project().Layers.size())
            continue;
        TShpObject shape;
        m->ReadObject(entry.Layer, entry.Index, shape);
        std::vector<std::vector<TShpPoint>> parts;
        for (const TShpParts &p : shape.Parts)
            parts.push_back(p.Points);
        sketch::AppendObject(Objects, entry.Index, parts);
    }
}

void TMapView::DrawObjects()
{
    const int w = std::max(1, Image->width());
    const int h = std::max(1, Image->height());
    Metafile meta(screenMetrics());
    meta.setSizeInPixels(w, h);
    if (Refit) {
        sketch::FitPicture(View, Objects, w, h, static_cast<double>(meta.mmWidth()) / w,
                           static_cast<double>(meta.mmHeight()) / h);
        Refit = false;
    }
    const double W = View.Width, H = View.Height, scale = View.Scale;
    auto toPicture = [&](double x, double y) {
        return QPoint(nint((x - View.CenterX) * scale + W / 2), nint((y - View.CenterY) * scale - H / 2));
    };
    {
        MetafileCanvas c(meta);
        c.setMapMode(MM_HIMETRIC);
        c.setPen(Pen{PS_SOLID, 1, rgb(255, 255, 255)});
        c.setBrush(Brush{BS_SOLID, rgb(255, 255, 255), HS_HORIZONTAL});
        c.rectangle(Rect{0, 0, nint(W), -nint(H)});
        c.setBkMode(TRANSPARENT);
        c.setPen(Pen{PS_SOLID, 15, rgb(0, 0, 0)});
        LogFont font;
        font.faceName = QStringLiteral("Arial Cyr");
        font.charSet = RUSSIAN_CHARSET;
        // Texts go out in pixels, centred at the converted point, their top
        // half a text height above it (or where `lines` of heights put it).
        auto text = [&](double x, double y, const QString &s, int points, double lines = 0.5) {
            if (s.isEmpty())
                return;
            const QPoint device = c.lpToDp(toPicture(x, y));
            c.setMapMode(MM_TEXT);
            font.height = mapengine::detail::fontHeightForPoints(c, points);
            c.setFont(font);
            c.setTextAlign(TA_CENTER | TA_TOP);
            const int th = c.textMetrics().height;
            c.textOut(device.x(), device.y() - nint(th * lines), s);
            c.setMapMode(MM_HIMETRIC);
        };
        if (nGrid->isChecked()) {
            const sketch::Grid g = sketch::GridPoints(Objects, sketch::Denominator(scale));
            for (double gx : g.xs)
                for (double gy : g.ys) {
                    const QPoint p = toPicture(gx, gy);
                    c.moveTo(p.x() - 300, p.y());
                    c.lineTo(p.x() + 300, p.y());
                    c.moveTo(p.x(), p.y() - 300);
                    c.lineTo(p.x(), p.y() + 300);
                }
        }
        for (const sketch::Part &part : Objects.Parts) {
            std::vector<QPoint> pts;
            for (const sketch::Vertex &v : part.Points)
                pts.push_back(toPicture(v.X, v.Y));
            if (nLines->isChecked() && pts.size() > 1)
                c.polyline(pts);
            if (nPoints->isChecked())
                for (const QPoint &p : pts)
                    c.ellipse(Rect{p.x() - 50, p.y() + 50, p.x() + 50, p.y() - 50});
        }
        const double s = scale != 0 ? 50 / scale : 0;
        sketch::SegmentLabels labelled;
        for (const sketch::Part &part : Objects.Parts) {
            const std::vector<sketch::Vertex> &P = part.Points;
            for (size_t i = 0; i + 1 < P.size(); ++i) {
                const double a = P[i].Direction;
                if (nLengths->isChecked() && labelled.firstTime(P[i].X, P[i].Y, P[i + 1].X, P[i + 1].Y)) {
                    const double mx = (P[i].X + P[i + 1].X) / 2 + 10 * s * std::cos((a - 90) * Degree);
                    const double my = (P[i].Y + P[i + 1].Y) / 2 + 10 * s * std::sin((a - 90) * Degree);
                    text(mx, my, sketch::LengthText(P[i + 1].Length), 7);
                }
                if (nNumbers->isChecked()) {
                    const double d = (a + P[i].Angle / 2) * Degree;
                    text(P[i].X + 7 * s * std::cos(d), P[i].Y + 7 * s * std::sin(d), P[i].Text, 7);
                }
            }
        }
        for (const sketch::Part &part : Objects.Parts) {
            if (nObjectNumber->isChecked()) {
                const qsizetype at = part.Name.indexOf(u'№');
                text(part.LabelX, part.LabelY, at >= 0 ? part.Name.mid(at + 1) : QString(), 8, 1.5);
            }
            if (nArea->isChecked())
                text(part.LabelX, part.LabelY, sketch::AreaText(part.Area), 8);
            if (nPerimeter->isChecked())
                text(part.LabelX, part.LabelY, sketch::PerimeterText(part.Perimeter), 8, -0.5);
        }
        c.finish();
    }
    QString error;
    if (!meta.saveToFile(pictureFile(), &error) && !error.isEmpty())
        platform::showMessage(error);
    Bitmap bitmap(w, h);
    bitmap.canvas().drawMetafile(meta, Rect{0, 0, w, h});
    bitmap.releaseCanvas();
    Image->picture = bitmap.image().copy();
    Image->update();
    ShowCursorStatus(mousePoint_);
}

void TMapView::SetViewScale(int kind, double value)
{
    if (kind == 0)
        View.Scale = value * 100000;
    else if (kind == 1)
        View.Scale *= 2;
    else if (kind == 2)
        View.Scale /= 2;
    DrawObjects();
    ShowCursorStatus(mousePoint_);
}

QPointF TMapView::pixelToMap(QPoint pixel) const
{
    const double h = pixel.x() * View.UnitsPerPixelX;
    const double v = -pixel.y() * View.UnitsPerPixelY;
    if (View.Scale == 0)
        return {View.CenterX, View.CenterY};
    return {(h - View.Width / 2) / View.Scale + View.CenterX, (v + View.Height / 2) / View.Scale + View.CenterY};
}

void TMapView::ShowCursorStatus(QPoint pixel)
{
    const QList<QLabel *> panels = platform::statusPanels(StatusBar);
    const sketch::ScaleTexts t = sketch::ScaleStatus(View);
    panels[0]->setText(t.scale);
    panels[1]->setText(t.zoom);
    edScale->setText(t.field);
    if (pixel != QPoint(0, 0)) {
        const QPointF m = pixelToMap(pixel);
        panels[2]->setText(sketch::NorthingText(m.y()));
        panels[3]->setText(sketch::EastingText(m.x()));
    }
}

void TMapView::scaleEntered()
{
    const double n = number(edScale->text(), 0);
    if (n > 0)
        SetViewScale(0, 1 / n);
}

void TMapView::press(QMouseEvent *e)
{
    dragging_ = true;
    pressPoint_ = e->position().toPoint();
    button_ = e->button();
    if (tbZoom->isChecked())
        Image->setCursor(e->button() == Qt::LeftButton ? Qt::CrossCursor : Qt::PointingHandCursor);
}

void TMapView::move(QMouseEvent *e)
{
    mousePoint_ = e->position().toPoint();
    const Qt::MouseButtons b = e->buttons();
    if (dragging_ && (b == Qt::LeftButton || b == Qt::RightButton) && mousePoint_ != pressPoint_) {
        const QPoint d = mousePoint_ - pressPoint_;
        if (tbPan->isChecked())
            Image->frame = Image->rect().translated(d);
        else
            Image->frame = QRect(pressPoint_, mousePoint_).normalized();
        Image->frameShown = true;
        Image->update();
    }
    ShowCursorStatus(mousePoint_);
}

void TMapView::release(QMouseEvent *e)
{
    if (!dragging_)
        return;
    dragging_ = false;
    const QPoint at = e->position().toPoint();
    const bool framed = Image->frameShown;
    Image->frameShown = false;
    if (tbPan->isChecked()) {
        if (framed && at != pressPoint_) {
            const QPoint d = at - pressPoint_;
            View.CenterX -= d.x() * View.UnitsPerPixelX / View.Scale;
            View.CenterY += d.y() * View.UnitsPerPixelY / View.Scale;
            DrawObjects();
        }
    } else if (button_ == Qt::LeftButton) {
        if (framed && at.x() != pressPoint_.x() && at.y() != pressPoint_.y()) {
            const QPointF a = pixelToMap(pressPoint_), b = pixelToMap(at);
            const double rw = std::fabs(b.x() - a.x()), rh = std::fabs(b.y() - a.y());
            View.Scale = std::min(View.Width / (1.1 * rw), View.Height / (1.1 * rh));
            View.CenterX = (a.x() + b.x()) / 2;
            View.CenterY = (a.y() + b.y()) / 2;
            DrawObjects();
        } else {
            SetViewScale(1, 0);
        }
    } else {
        if (framed)
            DrawObjects();
        else
            SetViewScale(2, 0);
    }
    Image->setCursor(tbZoom->isChecked() ? Qt::CrossCursor : Qt::OpenHandCursor);
    Image->update();
}

void TMapView::wheel(QWheelEvent *e)
{
    const int delta = e->angleDelta().y();
    if (delta == 0)
        return;
    // High-resolution wheels send parts of a notch: whole notches count.
    const int notches = std::max(1, std::abs(delta) / 120);
    const MapControlCore *m = map();
    const bool reversed = m && m->Settings().WheelReversed;
    for (int i = 0; i < notches; ++i)
        if (Wheel.notch())
            SetViewScale((delta > 0) != reversed ? 2 : 1, 0);
    e->accept();
}

void TMapView::PrintReport(int mode)
{
    reports::ReportEngine &engine = reports::reportEngine();
    engine.SetReportVariable(QStringLiteral("WmfWidth"), nint(View.Width));
    engine.SetReportVariable(QStringLiteral("WmfHeight"), nint(View.Height));
    if (mode == 2) {
        engine.Clear();
        engine.DesignReport();
        return;
    }
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Open;
    request.defaultExt = QStringLiteral("*.frf");
    const MapControlCore *m = map();
    request.initialDir = platform::joinPath(m ? m->ProgramDir() : QString(), QStringLiteral("Reports"));
    request.filter = QStringLiteral("Открытие отчёта (*.frf)|*.frf");
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty() || !engine.LoadFromFile(answer.files.first()))
        return;
    if (mode == 0)
        engine.ShowReport();
    else
        engine.DesignReport();
}

void TMapView::PrintBlankSheet()
{
    reports::ReportEngine &engine = reports::reportEngine();
    engine.SetReportVariable(QStringLiteral("WmfWidth"), nint(View.Width));
    engine.SetReportVariable(QStringLiteral("WmfHeight"), nint(View.Height));
    const MapControlCore *m = map();
    const QString file =
        platform::joinPath(m ? m->ProgramDir() : QString(),
                           QStringLiteral("Reports/Участок на чистом листе для окна просмотр объектов.frf"));
    if (engine.LoadFromFile(file))
        engine.ShowReport();
}

TMapView *MapView()
{
    static TMapView *instance = nullptr;
    if (!instance)
        instance = new TMapView;
    return instance;
}
