// The map window's print commands without a template: "Карта", the view on
// one page shown in the report preview, and "Рисунок", the view straight
// onto the printer's printable area.

#include "app/FTolvane.h"
#include "app/MapPrinter.h"
#include "mapengine/RenderJob.h"
#include "platform/Paths.h"
#include "platform/UserAnswers.h"
#include "mapreports/MapPage.h"
#include "reports/output/PrinterJob.h"

void TTolvane::N33Click()
{
    app::MapPrinter &printer = app::mapPrinter();
    if (!printer.SetupDialog(2))
        return;
    TMapVyk &map = *MapImage;
    const double horz = printer.HorzSize(), vert = printer.VertSize();
    {
        // The view comes back when the picture view goes, also when the
        // redraw fails; a failed redraw shows its error and no page on a
        // stale or missing "map.wmf".
        const QSizeF picture = reports::MapPagePictureSize(horz, vert);
        const auto view = mapengine::PictureView::MapPicture(map, picture.width(), picture.height(), 0);
        RedrawMap();
    }
    if (!FMapPrint)
        FMapPrint = std::make_unique<reports::TMapPrint>();
    FMapPrint->SetPaper(reports::MapPagePaperOf(horz, vert, printer.Orientation() == 2));
    FMapPrint->Show(platform::resolvePath(map.ProgramDir()));
}

void TTolvane::N52Click()
{
    if (!app::mapPrinter().SetupDialog(2))
        return;
    TMapVyk &map = *MapImage;
    reports::PrinterJob job;
    if (!job.BeginDoc(QStringLiteral("Рисунок"))) {
        platform::answers().messageDlg(QStringLiteral("Печать невозможна: принтер недоступен."),
                                       platform::MsgType::Error, platform::mbOK);
        return;
    }
    platform::gdi::Canvas &canvas = *job.Canvas();
    const platform::gdi::DeviceMetrics device = canvas.deviceMetrics();
    try {
        // Rendered at the printable size and drawn over the printable area
        // at that size: the printed map keeps the view's scale.
        const auto view =
            mapengine::PictureView::MapPicture(map, device.horzSize * 100.0, device.vertSize * 100.0, 0);
        RedrawMap();
        canvas.drawMetafile(map.MapPicture(), reports::PicturePrintTarget(device));
    } catch (...) {
        job.Abort();
        throw;
    }
    job.EndDoc();
}
