// Raster objects on the map control: reading, writing and appending their
// records, the picture's size, the initial control points, and drawing the
// picture in its box.

#include "mapengine/CanvasHelpers.h"
#include "mapengine/EditSupport.h"
#include "mapengine/MapControlCore.h"

#include "mapdata/BinaryFile.h"
#include "mapdata/LayerFiles.h"
#include "mapdata/LayerWriting.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/UserAnswers.h"
#include "raster/ImagingRoutines.h"
#include "raster/TiffDrawing.h"

#include <algorithm>
#include <cmath>

using namespace platform::gdi;

namespace {

using mapdata::layerfiles::TripleExts;

// The canvas in pixel units while a picture is drawn, in 0.01 mm again after,
// however the drawing ends.
class PixelUnits {
public:
    explicit PixelUnits(Canvas &canvas) : canvas_(canvas) { mapengine::detail::setMapMode(canvas_, MM_TEXT); }
    ~PixelUnits() { mapengine::detail::setMapMode(canvas_, MM_HIMETRIC); }
    PixelUnits(const PixelUnits &) = delete;
    PixelUnits &operator=(const PixelUnits &) = delete;

private:
    Canvas &canvas_;
};

// The picture file of that name as found on disk; empty when there is none.
QString existingPicture(const QString &name)
{
    return platform::fileExists(name) ? platform::findExistingPath(name) : QString();
}

int clampInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

// ---- the record ---------------------------------------------------------------------

bool MapControlCore::ReadRasterObject(int layer, int index, TRasterObject &record)
{
    if (!validLayer(layer))
        return false;
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    if (index < 0 || static_cast<size_t>(index) >= L.Objects.size())
        return false;
    // Read through the layer's kept files, as every reader of records.
    mapdata::KeptFile *shpFile = LayerRecordFile(layer);
    if (!shpFile)
        return false;
    const QByteArrayView head = shpFile->head();
    shp::FileHeader header;
    if (!shp::decodeFileHeader(head.data(), head.size(), header) || header.ShapeType != shp::stRaster)
        return false;
    const TMapObject &obj = L.Objects[static_cast<size_t>(index)];
    // An edited object is read from its copy in the journal.
    mapdata::KeptFile *jrnFile = obj.JrnOffset > 0 ? JournalRecordFile() : nullptr;
    const QByteArrayView content = jrnFile ? mapdata::recordContent(*jrnFile, obj.JrnOffset, 2 * qint64(obj.JrnLength))
                                           : mapdata::recordContent(*shpFile, obj.ShpOffset, obj.ShpLength);
    return raster::decodeRasterObject(content.data(), content.size(), record);
}

void MapControlCore::WriteRasterObject(int layer, int index, const TRasterObject &record)
{
    TMapObject *obj = mapengine::edit::objectAt(*this, layer, index);
    if (!mapengine::edit::editableLayerAt(*this, layer) || !obj)
        return;
    raster::shapeFromRaster(record, *obj->Shape);
    mapengine::edit::finishEdit(*this, layer, index);
}

bool MapControlCore::AppendRasterObject(const TRasterObject &record)
{
    const int layer = FProject.ActiveLayer;
    if (!mapengine::edit::editableLayerAt(*this, layer))
        return false;
    TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    const QByteArray content = raster::encodeRasterObject(record);
    const mapdata::Box box{record.XMin, record.YMin, record.XMax, record.YMax};
    const auto noValues = [](platform::db::Table &) {};

    QString shpName, shxName, dbfName;
    if (mapengine::edit::isImageLayer(L)) {
        if (!writableLayerFiles(L.FileName, shpName, shxName, dbfName))
            return false;
        shp::FileHeader header;
        if (!layerwrite::readLayerHeader(shpName, header) || header.ShapeType != shp::stRaster)
            return false;
        if (appendLayerRecord(layer, shpName, shxName, dbfName, header, content, box, box, false, noValues) < 0)
            return false;
        // The layer's extent is the header's, grown by the record.
        return true;
    }

    // A new image layer: the names the user gives, the templates copied
    // onto them. Cancelling changes nothing, and files of that name are
    // replaced only when the user says so.
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Save;
    request.filter = QStringLiteral("Tolvane images (*.shp)|*.shp");
    request.defaultExt = QStringLiteral("shp");
    request.initialDir = FWorkDir;
    request.fileName = QStringLiteral("noname.shp");
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty() || answer.files.first().trimmed().isEmpty())
        return false;
    const QString target = mapdata::layerfiles::baseName(answer.files.first().trimmed());
    if (!layerwrite::mayReplaceLayerFiles(target))
        return false;
    const QString templateBase = platform::joinPath(FProgramDir, u"Default\\image");
    std::array<QString, 3> files;
    for (int k = 0; k < 3; ++k) {
        const QString from = platform::findExistingPath(templateBase + QLatin1String(TripleExts[k]));
        files[size_t(k)] = platform::resolvePath(target + QLatin1String(TripleExts[k]));
        if (from.isEmpty() || !mapdata::copyFileOverwrite(from, files[size_t(k)]))
            return false;
    }
    for (const QString &f : files)
        if (mapdata::isReadOnlyFile(f))
            return false;
    shp::FileHeader header;
    mapdata::BinaryFile shx;
    if (!layerwrite::readLayerHeader(files[0], header) || !shx.open(files[1]))
        return false;
    // After the records the files already hold.
    const qint64 entries = shp::indexEntryCount(shx.size());
    shp::IndexEntry previous;
    if (entries > 0) {
        char e[shp::IndexEntrySize];
        if (!shx.readExact(shp::FileHeaderSize + (entries - 1) * shp::IndexEntrySize, e, shp::IndexEntrySize))
            return false;
        previous = shp::decodeIndexEntry(e);
    }
    shx.close();
    layerwrite::AppendedRecord written;
    return layerwrite::appendRecord(fileOps(), FWorkDir, files, header, static_cast<std::int32_t>(entries), previous,
                                    content, box, noValues, written);
}

// ---- size and control points ----------------------------------------------------------

void MapControlCore::LoadRasterSize(TRasterObject &record)
{
    const QString name = record.ImageName;
    QString file = existingPicture(name);
    // A bare name lies in the work folder.
    if (file.isEmpty() && platform::lastSeparator(name) < 0)
        file = existingPicture(platform::joinPath(FWorkDir, name));
    if (file.isEmpty()) {
        platform::messageDlg(QStringLiteral("Невозможно открыть изображение ") + name + QStringLiteral(" !"),
                             platform::MsgType::Warning, platform::mbOK);
        record.ImageWidth = 100;
        record.ImageHeight = 100;
        return;
    }
    std::int32_t width = 0, height = 0, divX = 0, divY = 0;
    if (raster::imagingRoutines().GetImageFileInfo(ImagingParent(), file, width, height, divX, divY)) {
        record.ImageWidth = width;
        record.ImageHeight = height;
        FRasterDivX = divX;
        FRasterDivY = divY;
    }
}

bool MapControlCore::FitRasterToControlPoints(TRasterObject &record)
{
    return raster::fitRasterToControlPoints(record);
}

void MapControlCore::FitRasterToWindow(TRasterObject &record)
{
    const raster::Edges e =
        raster::fitToWindowPixels(record.ImageWidth, record.ImageHeight, ClientWidth(), ClientHeight());
    // A window pixel as a map point.
    auto mapPoint = [&](std::int64_t x, std::int64_t y) {
        TMapPoint p;
        LogicalToMap(QPointF(x * FUnitsPerPixelX, -y * FUnitsPerPixelY), p);
        return p;
    };
    const TMapPoint a = mapPoint(e.left, e.top), b = mapPoint(e.right, e.bottom);
    record.Points = {TControlPoint{a.X, a.Y, 0, 0}, TControlPoint{b.X, b.Y, record.ImageWidth, record.ImageHeight}};
}

void MapControlCore::PlaceRasterAtScale(TRasterObject &record, double denominator)
{
    TMapPoint centre;
    LogicalToMap(QPointF(ClientWidth() / 2 * FUnitsPerPixelX, -(ClientHeight() / 2) * FUnitsPerPixelY), centre);
    const double gx = raster::halfSpanAtScale(record.ImageWidth, FRasterDivX, denominator);
    const double gy = raster::halfSpanAtScale(record.ImageHeight, FRasterDivY, denominator);
    record.Points = {TControlPoint{centre.X - gx, centre.Y + gy, 0, 0},
                     TControlPoint{centre.X + gx, centre.Y - gy, record.ImageWidth, record.ImageHeight}};
}

double MapControlCore::RasterRotationAngle(const TRasterObject &record) const
{
    return raster::rasterRotationAngle(record.Points);
}

// ---- drawing ------------------------------------------------------------------------

raster::Edges MapControlCore::RasterCorners(const Canvas &canvas, double xMin, double yMin, double xMax,
                                           double yMax) const
{
    // Picture points without rounding and without the pull towards the
    // view that drawing far vertices takes, so a picture much larger than
    // the view keeps its scale; then the canvas's own mapping, as the
    // vector data takes it.
    auto device = [&](long double x, long double y) {
        const long double X = (x - static_cast<long double>(FCenterX)) * FScale + FPictureWidth / 2.0L;
        const long double Y = (y - static_cast<long double>(FCenterY)) * FScale - FPictureHeight / 2.0L;
        const QPointF d = canvas.lpToDpF(QPointF(static_cast<double>(X), static_cast<double>(Y)));
        return std::pair{platform::roundHalfEven(d.x()), platform::roundHalfEven(d.y())};
    };
    const auto [x1, y1] = device(xMin, yMax);
    const auto [x2, y2] = device(xMax, yMin);
    return raster::Edges{x1, y1, x2, y2};
}

raster::RasterWindow MapControlCore::RasterPlacement(const Canvas &canvas, double xMin, double yMin, double xMax,
                                                     double yMax, int width, int height) const
{
    raster::Edges clip{0, 0, ClientWidth(), ClientHeight()};
    if (FPictureMode)
        clip = RasterCorners(canvas, FPictureExtent.X1, FPictureExtent.Y1, FPictureExtent.X2, FPictureExtent.Y2);
    return raster::rasterWindow(RasterCorners(canvas, xMin, yMin, xMax, yMax), width, height, clip, FPictureMode);
}

void MapControlCore::DrawRasterImage(Canvas &canvas, const QString &fileName, double xMin, double yMin,
                                     double xMax, double yMax, double, int width, int height, int rasterMode,
                                     int gamma, int contrast)
{
    const raster::RasterWindow w = RasterPlacement(canvas, xMin, yMin, xMax, yMax, width, height);
    if (w.empty())
        return;
    const QString file = existingPicture(fileName);
    if (file.isEmpty())
        return;
    PixelUnits pixels(canvas);
    const QString lower = fileName.toLower();
    if (lower.contains(QLatin1String(".tiff"))) {
        raster::DrawTiffRegion(file, canvas, w.source, w.destination, rasterMode, gamma);
        return;
    }
    const raster::ImageDrawing drawing{file, w.source, w.destination, rasterMode, gamma, contrast, w.kx, w.ky};
    if (lower.contains(QLatin1String(".sid")))
        raster::imagingRoutines().DrawMultiResolutionImage(ImagingParent(), canvas, drawing);
    else
        raster::imagingRoutines().DrawImageWithLead(ImagingParent(), canvas, drawing);
}

void MapControlCore::DrawMetafileRaster(Canvas &canvas, const QString &fileName, double xMin, double yMin,
                                        double xMax, double yMax, double, int, int)
{
    // The whole box, not clipped to the view.
    const raster::Edges box = RasterCorners(canvas, xMin, yMin, xMax, yMax);
    if (box.width() <= 0 || box.height() <= 0)
        return;
    const QString file = existingPicture(fileName);
    if (file.isEmpty())
        return;
    const std::optional<Metafile> picture = Metafile::loadFromFile(file);
    if (!picture)
        return;
    PixelUnits pixels(canvas);
    canvas.drawMetafile(*picture, Rect{clampInt(box.left), clampInt(box.top), clampInt(box.right), clampInt(box.bottom)});
}
