#include "dialogs/OpenImage.h"

#include "dialogs/FNewForAll.h"
#include "dialogs/FRegForm.h"
#include "dialogs/FSelExport.h"
#include "dialogs/MapWindowHost.h"
#include "geodesy/RegistrationFiles.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/VykFunctions.h"
#include "mapengine/MapControlCore.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/UserAnswers.h"

#include <QDir>

#include <array>
#include <optional>

namespace dialogs {

namespace {

void badFormat(const QString &fileName)
{
    platform::messageDlg(georef::badRegistrationMessage(fileName), platform::MsgType::Warning, platform::mbOK);
}

void badFormat(const TRasterObject &record)
{
    badFormat(record.ImageName);
}

bool upperContainsAny(const QString &name, std::initializer_list<const char *> texts)
{
    const QString upper = name.toUpper();
    for (const char *t : texts)
        if (upper.contains(QLatin1String(t)))
            return true;
    return false;
}

void takePoints(TRasterObject &record, const std::vector<georef::OpenedPoint> &points)
{
    record.Points.clear();
    for (const georef::OpenedPoint &p : points)
        record.Points.push_back(TControlPoint{p.X, p.Y, p.Column, p.Row});
}

// One command's state: the axis answer of ".tab" files, asked once.
struct OpenRun {
    MapControlCore &map;
    std::optional<int> tabAnswer;
    bool placed = false;
    TMapExtent extent;
    // The pictures world files placed in this command: a picture chosen
    // with its world file is placed once.
    QStringList placedByWorldFile;

    // Fits and appends; remembers the extent.
    void place(TRasterObject &record)
    {
        if (!map.FitRasterToControlPoints(record)) {
            badFormat(record);
            return;
        }
        if (!map.AppendRasterObject(record))
            return;
        extent = TMapExtent{record.XMin, record.YMin, record.XMax, record.YMax};
        placed = true;
    }

    // A registration file's record: checked, measured where the file does
    // not give the size, placed. True when the file was of that kind.
    bool registration(const QString &file, TRasterObject &record)
    {
        const QString workDir = map.WorkDir();
        bool measure = true;
        if (georef::isWorldFileName(file) && platform::fileExists(file)) {
            if (const std::optional<georef::WorldPlacement> world = worldPlacement(file))
                placeByWorld(*world, georef::worldFilePictureName(file), record);
            return true;
        } else if (upperContainsAny(file, {".TAB"}) && platform::fileExists(file)) {
            if (!tabAnswer) {
                const QString answer = SelExport()->Ask(QStringLiteral("XYorYX"));
                tabAnswer = answer == QLatin1String("1") ? 1 : answer == QLatin1String("2") ? 2 : 0;
            }
            const std::optional<QByteArray> bytes = georef::readRegistrationFile(file);
            const georef::OpenedRegistration tab = georef::readTabForOpen(bytes.value_or(QByteArray()), *tabAnswer == 1);
            if (tab.damaged) {
                badFormat(file);
                return true;
            }
            record.ImageName = MapFunctions::RelativeFileName(
                georef::completePictureName(tab.picture, file, workDir), workDir);
            takePoints(record, tab.points);
        } else if (upperContainsAny(file, {".RTR"}) && platform::fileExists(file)) {
            const std::optional<QByteArray> bytes = georef::readRegistrationFile(file);
            const georef::OpenedRegistration rtr = georef::readRtrForOpen(bytes.value_or(QByteArray()));
            if (rtr.damaged) {
                badFormat(file);
                return true;
            }
            record.ImageName = MapFunctions::RelativeFileName(
                georef::completePictureName(rtr.picture, file, workDir), workDir);
            takePoints(record, rtr.points);
            record.ImageWidth = rtr.width;
            record.ImageHeight = rtr.height;
            measure = false;
        } else {
            return false;
        }
        if (measure)
            map.LoadRasterSize(record);
        if (record.ImageWidth <= 0 || record.ImageHeight <= 0) {
            badFormat(record);
            return true;
        }
        place(record);
        return true;
    }

    // A world file's numbers; nothing, after naming the file, when they are
    // no numbers or too few.
    std::optional<georef::WorldPlacement> worldPlacement(const QString &file)
    {
        const std::optional<QByteArray> bytes = georef::readRegistrationFile(file);
        std::optional<georef::WorldPlacement> world = bytes ? georef::readWorldPlacement(*bytes) : std::nullopt;
        if (!world)
            badFormat(file);
        return world;
    }

    // A picture placed by a world file's numbers.
    void placeByWorld(const georef::WorldPlacement &world, const QString &pictureFile, TRasterObject &record)
    {
        record.ImageName = MapFunctions::RelativeFileName(pictureFile, map.WorkDir());
        map.LoadRasterSize(record);
        if (record.ImageWidth <= 0 || record.ImageHeight <= 0) {
            badFormat(record);
            return;
        }
        takePoints(record, georef::worldFileCorners(world, record.ImageWidth, record.ImageHeight));
        place(record);
        if (placed)
            placedByWorldFile << platform::resolvePath(pictureFile);
    }

    // A plain picture: placed by the world file beside it, else fitted,
    // placed at a scale or registered by hand.
    void picture(const QString &file, TRasterObject &record)
    {
        if (placedByWorldFile.contains(platform::resolvePath(file)))
            return;
        if (const QString beside = georef::worldFileBeside(file); !beside.isEmpty()) {
            if (const std::optional<georef::WorldPlacement> world = worldPlacement(beside)) {
                placeByWorld(*world, file, record);
                return;
            }
        }
        record.ImageName = MapFunctions::RelativeFileName(file, map.WorkDir());
        map.LoadRasterSize(record);
        if (record.ImageWidth <= 0 || record.ImageHeight <= 0) {
            badFormat(record);
            return;
        }
        map.FitRasterToWindow(record);
        const QString answer = SelExport()->Ask(file.toLower().contains(QLatin1String("bmp"))
                                                    ? QStringLiteral("ImageRegBmp")
                                                    : QStringLiteral("ImageRegistration"));
        if (answer == QLatin1String("1")) {
            map.FitRasterToWindow(record);
        } else if (answer == QLatin1String("2")) {
            QString text = QString::number(platform::roundHalfEven(map.CurrentScaleDenominator()));
            if (NewForAll()->Ask(QStringLiteral("Масштаб, 1:"), text)) {
                double d = VykFunctions::TextToFloatDef(text, 2000);
                if (!(d > 0))
                    d = 2000;
                map.PlaceRasterAtScale(record, d);
            }
        } else if (answer == QLatin1String("3")) {
            TRegForm form(nullptr, map.WorkDir());
            TRasterObject copy = record;
            if (form.Execute(copy) == 1)
                record = copy;
        } else {
            return;
        }
        place(record);
    }
};

} // namespace

QString openImageFilter()
{
    return QStringLiteral(
        "All Image Files (*.*)|*.*|JPEG Image File (*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmap Image File (*.bmp)|*.bmp|"
        "Mapinfo tab (*.tab)|*.tab|RTR Data File (*.rtr)|*.rtr|Tiff Image File (*.tif;*.tiff)|*.tif;*.tiff|"
        "MrSid Image File (*.sid)|*.sid|Gif Image File (*.gif)|*.gif|Windows Metafile (*.wmf;*.emf)|*.wmf;*.emf|"
        "World Image File (*.bmpw;*.jpgw;*.jpegw;*.tfw;*.tifw;*.tiffw;*.sdw;*.gfw;*.jgw)|"
        "*.bmpw;*.jpgw;*.jpegw;*.tfw;*.tifw;*.tiffw;*.sdw;*.gfw;*.jgw");
}

void OpenImages(MapControlCore &map)
{
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::OpenMultiple;
    request.title = QStringLiteral("Открыть изображение");
    request.filter = openImageFilter();
    request.initialDir = map.WorkDir();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!map.WorkDir().isEmpty())
        QDir::setCurrent(map.WorkDir());
    if (!answer.accepted)
        return;
    OpenImageFiles(map, answer.files);
}

void OpenImageFiles(MapControlCore &map, const QStringList &files)
{
    OpenRun run{map, std::nullopt, false, TMapExtent{}, {}};
    for (const QString &file : files) {
        run.placed = false;
        TRasterObject record;
        if (run.registration(file, record))
            continue;
        if (upperContainsAny(file, {".BMP", ".JPG", ".JPEG", ".TIF", ".TIFF", ".SID", ".WMF", ".EMF", ".IMG", ".DWG",
                                    ".GIF"}) &&
            platform::fileExists(file))
            run.picture(file, record);
    }
    if (run.placed)
        mapWindow().ZoomToExtent(run.extent.X1, run.extent.Y1, run.extent.X2, run.extent.Y2);
    else
        mapWindow().RedrawMap();
}

} // namespace dialogs
