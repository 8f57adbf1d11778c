// Opening a layer of the project: a new layer's defaults, the files read
// through OpenLayerFiles, the snapshots taken and what opening found
// reported. Nothing here needs a window: the map window and a program that
// draws a project without one open layers alike.

#include "mapdata/MapDataCore.h"

#include "mapdata/MapFunctions.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/UserAnswers.h"

namespace {

// File operations that change nothing: what recovery would do is only
// looked at.
class IdleFileOps : public mapdata::FileOps {
public:
    bool writeFile(const QString &, const QByteArray &) override { return true; }
    bool writeAt(const QString &, qint64, const QByteArray &) override { return true; }
    bool truncate(const QString &, qint64) override { return true; }
    bool copyFile(const QString &, const QString &) override { return true; }
    bool renameFile(const QString &, const QString &) override { return true; }
    bool removeFile(const QString &) override { return true; }
};

// A colour of the colour tables, drawn at random.
int randomPaletteColor()
{
    return MapFunctions::PaletteColor(platform::randomInt(9), platform::randomInt(1000));
}

} // namespace

TMapLayer &MapDataCore::AppendNewLayer()
{
    TMapProject &project = FProject;
    const int index = static_cast<int>(project.Layers.size());
    TMapLayer &L = project.Layers.emplace_back();
    project.ActiveLayer = index;
    L.Number = index;
    L.PenColor = 0;
    L.PenStyle = 1;
    L.PenWidth = 0.01;
    L.PenMode = 4;
    L.PntBitmap = 0;
    L.TypeLegend = 0;
    L.Gamma = 0;
    L.Contrast = 0;
    L.Font.FontName = QStringLiteral("Arial CYR");
    L.Font.Size = 12;
    L.Visible = true;
    L.Snap = true;
    L.ForAllObjects = true;
    L.ViewShadow = false;
    return L;
}

bool MapDataCore::OpenLayer(const QString &fileName, int index, bool newLayer)
{
    TMapProject &project = FProject;
    const QString name = MapFunctions::RelativeFileName(fileName, FWorkDir);

    if (newLayer) {
        index = static_cast<int>(project.Layers.size());
        TMapLayer &L = AppendNewLayer();
        // Only the file name loses its extension: a dot in a folder is kept.
        L.FileName = platform::changeFileExt(name.trimmed(), u".Shp");
        L.Name = platform::ansiLowerCase(platform::extractFileName(L.FileName));
        L.MapType = mtShapeLayer;
        L.ObjType = otPolylines;
        L.BrushColor = randomPaletteColor();
        L.BrushType = 1;
        L.Edited = true;
    }
    if (!validLayer(index))
        return false;

    // A save that a stopped run left half done is put right first; a program
    // that only reads says so and reads the files as they are.
    QStringList messages;
    if (FReadOnlyFiles) {
        IdleFileOps idle;
        const SaveRecovery found = recoverLayerSave(name, idle);
        messages << found.messages;
        if (found.acted)
            messages << QStringLiteral("Сохранение слоя ") + name +
                            QStringLiteral(" было прервано: слой прочитан как есть, без восстановления !");
    } else {
        const SaveRecovery recovery = recoverLayerSave(name, fileOps());
        messages << recovery.messages;
        if (!recovery.ok)
            messages << QStringLiteral("Невозможно завершить прерванное сохранение слоя ") + name +
                            QStringLiteral(" !");
    }
    TMapLayer &L = project.Layers[static_cast<size_t>(index)];
    if (L.MapType != mtShapeLayer && L.MapType != mtTextLayer) {
        for (const QString &message : messages)
            platform::showMessage(message);
        return false;
    }

    const TLayerCheck check = OpenLayerFiles(index);
    if (check.Read && newLayer) {
        switch (check.ShapeType) {
        case shp::stText:
            L.MapType = mtTextLayer;
            break;
        case shp::stPoint:
        case shp::stPointZ:
        case shp::stPointM:
            if (L.ObjType != otSymbols && L.ObjType != otBitmaps)
                L.ObjType = otSymbols;
            L.ViewPoints = true;
            L.BrushType = 0;
            L.Font.FontName = QStringLiteral("Wingdings");
            L.Font.TextSymbol = QChar(108);
            L.Font.Color = randomPaletteColor();
            break;
        case shp::stPolyline:
        case shp::stPolylineZ:
        case shp::stPolylineM:
            L.ObjType = otPolylines;
            L.PenColor = randomPaletteColor();
            break;
        case shp::stPolygon:
        case shp::stPolygonZ:
        case shp::stPolygonM:
            L.ObjType = otPolygons;
            break;
        case shp::stRaster:
            L.ObjType = otImages;
            break;
        default:
            break;
        }
    }
    // Damaged files or a table that does not fit the objects are read, never
    // written.
    L.ReadOnly = check.readOnly() || FReadOnlyFiles;
    messages << layerCheckMessages(check, name);
    // A projection the library refuses leaves the layer in its own units.
    if (const QString definition = layerProjectionDefinition(L);
        check.Read && !definition.isEmpty() && FProjectionLibrary && !FProjectionLibrary->setUp(definition)) {
        const QString why = FProjectionLibrary->lastError();
        messages << QStringLiteral("Неверная проекция слоя ") + name + QStringLiteral(": ") +
                        definition.trimmed() + (why.isEmpty() ? QString() : QStringLiteral(" (") + why + u')') +
                        QStringLiteral(". Слой показан без проекции !");
    }
    if (check.Found && !FReadOnlyFiles) {
        // Snapshots left by a run that ended abnormally go; without snapshots
        // of its own the layer could not be put back, so it is not written.
        RemoveStaleSnapshots(index);
        if (!BackupLayer(index, true)) {
            L.ReadOnly = true;
            messages << snapshotFailureMessage(name);
        }
    }
    if (!check.Read)
        messages << QStringLiteral("Ошибка открытия слоя ") + name + QStringLiteral(" !");
    for (const QString &message : messages)
        platform::showMessage(message);
    return check.Read;
}
