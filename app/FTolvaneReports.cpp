// The map window's report commands (menu "Печать", and "Экспорт..." of the
// project menu): templates run with the current map, the template editor,
// the coordinate list of the selection and the export of the map picture.

#include "app/FTolvane.h"
#include "app/HostHooks.h"
#include "app/MapPrinter.h"
#include "app/MapReports.h"
#include "mapengine/RenderJob.h"
#include "platform/Paths.h"
#include "platform/UserAnswers.h"
#include "mapreports/CoordinateList.h"

#include <QDir>

namespace {

QString reportsDir(const TMapVyk &map)
{
    return platform::joinPath(map.ProgramDir(), u"Reports");
}

const QString kReportFilter = QStringLiteral("Открытие отчёта (*.frf)|*.frf");

class WindowPictures : public reports::MapPictureServices {
public:
    void DrawMapPicture(double width, double height, double denominator) override
    {
        if (Tolvane)
            Tolvane->DrawMapPicture(width, height, denominator);
    }
    void DrawGridPicture(double width, double height, double gridStep) override
    {
        if (Tolvane)
            Tolvane->DrawGridPicture(width, height, gridStep);
    }
};

} // namespace

namespace app {

reports::MapPictureServices &mapWindowPictures()
{
    static WindowPictures pictures;
    return pictures;
}

} // namespace app

void TTolvane::N130Click()
{
    const TMapVyk &map = *MapImage;
    OpenDialog.kind = platform::FileDialogRequest::Open;
    OpenDialog.defaultExt = QStringLiteral("*.frf");
    OpenDialog.initialDir = reportsDir(map);
    OpenDialog.filter = kReportFilter;
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(OpenDialog);
    if (answer.accepted && !answer.files.isEmpty() && platform::fileExists(answer.files.first()))
        ShowMapReport(answer.files.first());
    QDir::setCurrent(platform::resolvePath(map.WorkDir()));
}

void TTolvane::N131Click()
{
    SetMapReportVariables();
    EditReportTemplate();
}

void TTolvane::N134Click()
{
    TMapVyk &map = *MapImage;
    // Each shape is read into a copy of its own: the layer's object table
    // keeps the entries' shapes as they are.
    std::vector<TShpObject> shapes;
    for (const TSelObject &entry : map.Selection().Entries) {
        TShpObject shape;
        map.ReadObject(entry.Layer, entry.Index, shape);
        if (!shape.Parts.empty())
            shapes.push_back(std::move(shape));
    }
    const reports::CoordinateList list = reports::MakeCoordinateList(shapes);
    reports::WriteCoordinateTable(platform::resolvePath(platform::joinPath(map.ProgramDir(), u"points.db")), list.Rows);
    PrintCoordinateSheet(list.XMin, list.YMin, list.XMax, list.YMax, list.Area, list.Perimeter);
}

void TTolvane::N135Click()
{
    app::MapPrinter &printer = app::mapPrinter();
    if (!printer.SetupDialog(2))
        return;
    TMapVyk &map = *MapImage;
    // The picture at the printer's page; the view comes back when the
    // picture view goes, also when the redraw fails. A failed redraw shows
    // its error and no report on a stale or missing "map.wmf".
    const auto view =
        mapengine::PictureView::MapPicture(map, printer.HorzSize() * 100, printer.VertSize() * 100, 0);
    RedrawMap();
    map.SetPictureMode(false);
    ShowMapReport(platform::joinPath(reportsDir(map), u"План.frf"));
}

void TTolvane::N124Click()
{
    if (!app::mapPrinter().SetupDialog(2))
        return;
    ShowMapReport(platform::joinPath(reportsDir(*MapImage), u"Чертёж.frf"));
}

void TTolvane::N95Click()
{
    ShowMapReport(platform::joinPath(reportsDir(*MapImage), u"Планшет.frf"));
}

void TTolvane::N54Click()
{
    TMapVyk &map = *MapImage;
    SaveDialog.kind = platform::FileDialogRequest::Save;
    SaveDialog.defaultExt = QStringLiteral("*.wmf;*.emf;*.bmp;*.jpg");
    SaveDialog.filter = QStringLiteral(
        "Все форматы (*.wmf,*.emf,*.bmp,*.jpg)|*.wmf;*.emf;*.bmp;*.jpg|Windows Meta Files (*.wmf)|*.wmf|"
        "Extended Windows Meta Files (*.emf)|*.emf|BitMap Files (*.bmp)|*.bmp|Jpeg Files (*.jpg)|*.jpg");
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(SaveDialog);
    if (answer.accepted && !answer.files.isEmpty())
        map.ExportPicture(platform::resolvePath(answer.files.first()));
    QDir::setCurrent(platform::resolvePath(map.WorkDir()));
}
