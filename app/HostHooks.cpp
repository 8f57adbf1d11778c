#include "app/HostHooks.h"

#include "app/Application.h"
#include "app/FStart.h"
#include "app/FTolvane.h"
#include "dialogs/DialogSeams.h"
#include "reports/output/ReportEngine.h"
#include "mapengine/StyleRenderers.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/UserAnswers.h"
#include "platform/gdi/Bitmap.h"

#include <algorithm>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPixmap>

namespace {
QString programDir()
{
    return Start ? Start->FProgramDir : (Tolvane ? Tolvane->MapImage->ProgramDir() : QDir::currentPath());
}
} // namespace

void InitProductSettings(TTolvane &window)
{
    TMapVyk &map = *window.MapImage;
    map.Settings().RegistryKey = ProductRegistryKey();
    map.SetProgramDir(Start ? Start->FProgramDir : QString());
    // Host mode (the registry's caching and imaging switches) is never on in
    // this program; the control has no switch for it.
    if (map.ProgramDir().trimmed().isEmpty())
        map.SetProgramDir(QDir::currentPath());
    app::setApplicationHelpFile(app::helpFilePath(map.ProgramDir()));
}

void HideCadastralMenus(TTolvane &w)
{
    w.mWindows->menuAction()->setVisible(false);
    for (QAction *a : {w.mNewLayerZone, w.mNewLayerBlock, w.mNewLayerLand, w.mNewLayerPlan, w.mNewLayerAgro,
                       w.mNewLayerServ, w.mNewLayerLim, w.mNewLayerLease, w.mCreateLayerIn4, w.mNewLayerEstimate,
                       w.mNewLayerEstZone, w.mNewLayerEstAgro, w.mNewLayerEstPoint, w.mNewLayerEstLine,
                       w.mNewLayerEstPoly, w.N141, w.mNewLayerL1, w.nNewLayerZone, w.nNewLayerBlock, w.nNewLayerLand,
                       w.nNewLayerPlan, w.nNewLayerAgro, w.nNewLayerServ, w.nNewLayerLim, w.nNewLayerLease,
                       w.nNewLayerEstimate, w.nNewLayerEstZone, w.nNewLayerEstAgro, w.nNewLayerEstPoint,
                       w.nNewLayerEstLine, w.nNewLayerEstPoly, w.N24, w.nNewLayerL1})
        a->setVisible(false);
    w.N38->setVisible(true);
    if (Start)
        w.MapImage->SetVersion(Start->FVersion);
}

QString ProductRegistryKey()
{
    return QStringLiteral("Tolvane 2");
}

// ---- forwarders to the style renderers ----

void DrawStyledPolygon(platform::gdi::Canvas &canvas, const QPoint *points, int n, int style, int colour,
                       int pictureWidth, int pictureHeight, double scaleX, double scaleY, double rotation,
                       double unitsPerPixelX, double unitsPerPixelY, bool outline)
{
    mapengine::DrawStyledPolygon(&mapengine::styleServices(), canvas, points, n, style, colour, pictureWidth, pictureHeight,
                                 scaleX, scaleY, rotation, unitsPerPixelX, unitsPerPixelY, outline);
}

void DrawStyledLine(platform::gdi::Canvas &canvas, const QPoint *points, int n, int style, int colour, int penWidth,
                    double scaleAlong, double scaleAcross, double ignored, double pictureWidth, double pictureHeight,
                    bool drawEvery)
{
    mapengine::DrawStyledLine(&mapengine::styleServices(), canvas, points, n, style, colour, penWidth, scaleAlong,
                              scaleAcross, ignored, pictureWidth, pictureHeight, drawEvery);
}

void DrawStyledPoint(platform::gdi::Canvas &canvas, const QPoint *points, int n, int style, int colour, int ignored1,
                     int ignored2, double scaleX, double scaleY, double rotation)
{
    mapengine::DrawStyledPoint(&mapengine::styleServices(), canvas, points, n, style, colour, ignored1, ignored2, scaleX,
                               scaleY, rotation);
}

int IntersectLinesHook(int mode, double x1, double y1, double z1, double x2, double y2, double z2, double x3,
                       double y3, double z3, double x4, double y4, double z4)
{
    return mapengine::styleServices().IntersectLines(mode, x1, y1, z1, x2, y2, z2, x3, y3, z3, x4, y4, z4);
}

void DrawFillSample(TTolvane &window, int width, int height)
{
    TMapVyk &map = *window.MapImage;
    const TTextRecord &t = map.Template();
    mapengine::StyleServices &renderers = mapengine::styleServices();
    QLabel *sample = window.imgTypeFill;
    const int w = std::max(1, sample->width());
    const int h = std::max(1, sample->height());
    platform::gdi::Bitmap picture(w, h);
    const TVykSymbol *pattern = t.BrushStyle > 0 ? renderers.FFillStyles.item(t.BrushStyle) : nullptr;
    if (pattern && pattern->Kind == 0) {
        platform::gdi::Canvas &canvas = picture.canvas();
        platform::gdi::Pen pen = canvas.pen();
        pen.color = static_cast<platform::gdi::Color>(t.PenColor);
        canvas.setPen(pen);
        platform::gdi::Brush brush = canvas.brush();
        brush.color = static_cast<platform::gdi::Color>(t.BrushColor);
        canvas.setBrush(brush);
        const std::vector<QPoint> points = {QPoint(0, 0), QPoint(0, height + 20), QPoint(width + 20, height + 20),
                                            QPoint(width + 20, 0), QPoint(0, 0)};
        renderers.DrawFillPattern(canvas, points, t.BrushStyle, t.BrushColor, map.width(), map.height(), 1, 1, 0,
                                  map.View().UnitsPerPixelX, map.View().UnitsPerPixelY, false);
    }
    sample->setPixmap(QPixmap::fromImage(picture.image()));
    sample->update();
}

void ShowObjectView()
{
    dialogs::dialogSeams().ShowObjectView();
}

// ---- report hooks ----

void EditReportTemplate()
{
    if (!Start)
        return;
    platform::FileDialogRequest request = Start->OpenDialog1;
    request.kind = platform::FileDialogRequest::Open;
    request.defaultExt = QStringLiteral("*.frf");
    request.initialDir = platform::joinPath(Start->FProgramDir, u"Reports");
    request.filter = QStringLiteral("Открытие отчёта (*.frf)|*.frf");
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (answer.accepted && !answer.files.isEmpty() && platform::fileExists(answer.files.first())) {
        if (reports::reportEngine().LoadFromFile(platform::resolvePath(answer.files.first())))
            reports::reportEngine().DesignReport();
    }
    if (Tolvane)
        QDir::setCurrent(platform::resolvePath(Tolvane->MapImage->WorkDir()));
}

namespace {
void setViewReportVariables()
{
    reports::ReportEngine &engine = reports::reportEngine();
    const QString dir = programDir();
    engine.SetReportVariable(QStringLiteral("StartPath"), dir);
    engine.SetReportVariable(QStringLiteral("WorkPath"), dir);
    if (!Tolvane)
        return;
    const TMapVyk &map = *Tolvane->MapImage;
    engine.SetReportVariable(QStringLiteral("WmfWidth"), map.View().PictureWidth);
    engine.SetReportVariable(QStringLiteral("WmfHeight"), map.View().PictureHeight);
    engine.SetReportVariable(QStringLiteral("Scale"),
                             platform::roundToInt(TMapVyk::ScaleToDenominator(map.View().Scale)));
}
} // namespace

void SetMapReportVariables()
{
    setViewReportVariables();
    reports::reportEngine().SetReportVariable(QStringLiteral("LinesColor"), false);
    if (Tolvane)
        Tolvane->MapImage->ExportPicture(platform::resolvePath(platform::joinPath(programDir(), u"map.wmf")));
}

void ShowMapReport(const QString &templateFile)
{
    if (!platform::fileExists(templateFile)) {
        platform::showMessage(QStringLiteral("Не найден файл шаблона - ") + templateFile);
        return;
    }
    setViewReportVariables();
    if (Tolvane)
        Tolvane->MapImage->ExportPicture(platform::resolvePath(platform::joinPath(programDir(), u"tmp.wmf")));
    if (reports::reportEngine().LoadFromFile(platform::resolvePath(templateFile)))
        reports::reportEngine().ShowReport();
}

void PrintCoordinateSheet(double xMin, double yMin, double xMax, double yMax, double area, double perimeter)
{
    reports::ReportEngine &engine = reports::reportEngine();
    engine.SetReportVariable(QStringLiteral("XMin"), xMin);
    engine.SetReportVariable(QStringLiteral("YMin"), yMin);
    engine.SetReportVariable(QStringLiteral("XMax"), xMax);
    engine.SetReportVariable(QStringLiteral("YMax"), yMax);
    engine.SetReportVariable(QStringLiteral("Area"), area);
    engine.SetReportVariable(QStringLiteral("Perimetr"), perimeter);
    const QString dir = programDir();
    if (engine.QueryRowCount(dir, QStringLiteral("Points.db")) >= 1) {
        const QString sheet = platform::joinPath(dir, u"Reports/Ведомость координат объектов.frf");
        // A missing template is named, never replaced by the one loaded before.
        if (!platform::fileExists(sheet))
            platform::showMessage(QStringLiteral("Не найден файл шаблона - ") + sheet);
        else if (engine.LoadFromFile(platform::resolvePath(sheet)))
            engine.ShowReport();
    }
}

// ---- hooks of a host product: nothing to do in this program ----

void ShowHostWindow(const QString &) {}
void DrawCadastralLayer(const QRect &, const QRect &, platform::gdi::Canvas &) {}
void DrawCadastralLayerCached(const QRect &, const QRect &, platform::gdi::Canvas &) {}
void DrawExchangeLayer(const QRect &, const QRect &, platform::gdi::Canvas &) {}
void DeleteCadastralSelection() {}
void CommitCadastralObject() {}
bool InsertCadastralVertex(int, int, int, int, int, int, const QString &)
{
    return false;
}
bool DeleteCadastralVertex()
{
    return false;
}
bool MoveCadastralVertex()
{
    return false;
}
void StandardLayerCreated() {}
void CadastralObjectLocated() {}
void AfterCadastralZoom() {}
void NumberCadastralObject(int, int) {}
void TickCadastralObjects() {}
void MarkCadastralObjects() {}
void FilterCadastralObjects(bool) {}
void EditCadastralObject() {}
void SelectCadastralObject() {}
void PriorCadastralObject() {}
void NextCadastralObject() {}
void AppendCadastralLabels(const QString &, int) {}
void CadastralInfoDblClick() {}
void OpenCadastralTable(const TMapLayer &, const QString &) {}
void LookupCadastralOwner(int) {}
void FillCadastralFieldNames(const TMapLayer &, QStringList &, bool) {}
