// Layer creation from the templates and opening of layer files.

#include "app/FTolvane.h"

#include "app/CommandErrors.h"
#include "app/HostHooks.h"
#include "mapdata/BinaryFile.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ShpRecords.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// A colour of the colour tables, drawn at random.
int randomPaletteColor()
{
    return MapFunctions::PaletteColor(platform::randomInt(9), platform::randomInt(1000));
}

// The template files of a kind: "Default" of the program folder, with the
// name below and ".shp", ".shx", ".dbf".
QString templateName(int kind)
{
    switch (kind) {
    case 1: return QStringLiteral("point");
    case 3: return QStringLiteral("polyline");
    case 5: return QStringLiteral("polygon");
    case 8: return QStringLiteral("cosmetic");
    case 9: return QStringLiteral("navigating");
    case 10: return QStringLiteral("image");
    case 15: return QStringLiteral("in4");
    default: return {};
    }
}

// A layer appended to the project and made the active one, with the pen,
// font and switches every new layer starts with.
TMapLayer &appendNewLayer(TMapProject &project)
{
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

const char *const TripleExts[3] = {".shp", ".shx", ".dbf"};

struct StandardLayer {
    const char16_t *name;
    const char16_t *fileName;
    Byte mapType;
    Byte objType;
};

// The records of the standard cadastral layers, by choice 0 .. 14.
const StandardLayer StandardLayers[15] = {
    {u"кадастровые кварталы", u"VykBlock.Shp", 3, 3},
    {u"земельные участки", u"VykPolygons.Shp", 2, 3},
    {u"внутрихозяйственное устройство", u"VykPlan.Shp", 4, 3},
    {u"почвенная характеристика", u"VykAgro.Shp", 5, 3},
    {u"сервитуты", u"VykServ.Shp", 6, 3},
    {u"ограничения", u"VykLim.Shp", 7, 3},
    {u"аренда", u"VykLease.Shp", 9, 3},
    {u"граница населённых пунктов", u"Estarea.Shp", 10, 3},
    {u"оценочные зоны", u"Estzone.Shp", 11, 3},
    {u"почвенная характеристика", u"Estagro.Shp", 12, 3},
    {u"локальные факторы - точки", u"Estlocpnt.Shp", 13, 5},
    {u"локальные факторы - линии", u"Estlocline.Shp", 14, 2},
    {u"локальные факторы - полигоны", u"Estlocpoly.Shp", 15, 3},
    {u"кадастровые зоны", u"VykZone.Shp", 16, 3},
    {u"обменные файлы", u"VykIn4.Shp", 17, 3},
};

} // namespace

// ---------------------------------------------------------------------------
// Opening

bool TTolvane::OpenLayer(const QString &fileName, int index, bool newLayer)
{
    TMapVyk &map = *MapImage;
    TMapProject &project = map.FProject;
    const QString name = MapFunctions::RelativeFileName(fileName, map.FWorkDir);

    if (newLayer) {
        index = static_cast<int>(project.Layers.size());
        TMapLayer &L = appendNewLayer(project);
        // Only the file name loses its extension: a dot in a folder is kept.
        L.FileName = platform::changeFileExt(name.trimmed(), u".Shp");
        L.Name = platform::ansiLowerCase(platform::extractFileName(L.FileName));
        L.MapType = mtShapeLayer;
        L.ObjType = otPolylines;
        L.BrushColor = randomPaletteColor();
        L.BrushType = 1;
        L.Edited = true;
    }
    if (!ValidLayer(index))
        return false;

    // A save that a stopped run left half done is put right first.
    map.RecoverLayerSave(name);
    TMapLayer &L = project.Layers[static_cast<size_t>(index)];
    if (L.MapType != mtShapeLayer && L.MapType != mtTextLayer)
        return false;

    const TLayerCheck check = map.OpenLayerFiles(index);
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
    L.ReadOnly = check.readOnly();
    QStringList messages = layerCheckMessages(check, name);
    if (check.Found) {
        // Snapshots left by a run that ended abnormally go; without snapshots
        // of its own the layer could not be put back, so it is not written.
        map.RemoveStaleSnapshots(index);
        if (!map.BackupLayer(index, true)) {
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

// ---------------------------------------------------------------------------
// Creation

bool TTolvane::CreateLayerFromTemplate(int kind)
{
    TMapVyk &map = *MapImage;
    const QString templ = templateName(kind);
    if (templ.isEmpty())
        return false;
    platform::FileDialogRequest request = SaveDialog;
    request.kind = platform::FileDialogRequest::Save;
    request.title = QStringLiteral("Создание слоя");
    request.filter = QStringLiteral("Tolvane layer file (*.shp)|*.shp");
    request.defaultExt = QStringLiteral("shp");
    request.initialDir = map.FWorkDir;
    request.fileName.clear();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty())
        return false;

    // Only the file name loses its extension: a dot in a folder is kept.
    const QString target = platform::changeFileExt(answer.files.first().trimmed(), u"");
    const QString templateBase = platform::joinPath(map.FProgramDir, QStringLiteral("Default\\") + templ);
    QString sources[3];
    for (int k = 0; k < 3; ++k)
        sources[k] = platform::findExistingPath(templateBase + QLatin1String(TripleExts[k]));
    if (std::any_of(std::begin(sources), std::end(sources), [](const QString &s) { return s.isEmpty(); })) {
        platform::showMessage(QStringLiteral("Не найден файл(ы) шаблона ") + platform::normalizePath(templateBase) +
                              QStringLiteral(".shp(shx,dbf)"));
        return false;
    }
    bool exists = false;
    for (const char *ext : TripleExts)
        exists = exists || platform::fileExists(target + QLatin1String(ext));
    if (exists && platform::messageDlg(QStringLiteral("Файл(ы) ") + target +
                                           QStringLiteral(".shp(shx,dbf) уже присутствуют в папке !\n"
                                                          "Перезаписать существующие файлы ?"),
                                       platform::MsgType::Warning, platform::mbYesNo) != platform::mrYes)
        return false;
    for (int k = 0; k < 3; ++k) {
        const QString to = platform::resolvePath(target + QLatin1String(TripleExts[k]));
        if (!mapdata::copyFileOverwrite(sources[k], to)) {
            platform::showMessage(QStringLiteral("Невозможно скопировать файл ") + sources[k] + QStringLiteral(" в ") +
                                  to + QStringLiteral(" !"));
            return false;
        }
    }

    OpenLayer(target + QStringLiteral(".shp"), -1, true);
    RebuildLayerList(false);
    ShowActiveLayerRow(map.FProject.ActiveLayer);
    RedrawMap();
    return true;
}

void TTolvane::CreateStandardLayer(int choice, int, bool append)
{
    if (choice < 0 || choice > 14)
        return;
    TMapProject &project = MapImage->FProject;
    if (append) {
        const StandardLayer &s = StandardLayers[choice];
        TMapLayer &L = appendNewLayer(project);
        L.Name = QString::fromUtf16(s.name);
        L.FileName = QString::fromUtf16(s.fileName);
        L.MapType = s.mapType;
        L.ObjType = s.objType;
        L.BrushColor = 0xFFFFFF;
        L.BrushType = 0;
        L.Edited = false;
        if (choice == 10) {
            L.Font.FontName = QStringLiteral("Wingdings");
            L.Font.TextSymbol = QChar(108);
            L.Font.Color = 255;
        }
    }
    if (choice != 14)
        StandardLayerCreated();
    RebuildLayerList(false);
    ShowActiveLayerRow(project.ActiveLayer);
    RedrawMap();
}

bool TTolvane::OpenLayerDialog()
{
    TMapVyk &map = *MapImage;
    platform::FileDialogRequest request = OpenDialog;
    request.kind = platform::FileDialogRequest::OpenMultiple;
    request.title = QStringLiteral("Открыть слой Tolvane");
    request.filter = QStringLiteral("Tolvane Layers (*.shp)|*.shp");
    request.defaultExt = QStringLiteral("shp");
    request.initialDir = map.FWorkDir;
    request.fileName.clear();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted)
        return false;
    bool result = false;
    for (const QString &file : answer.files) {
        const QString name = MapFunctions::RelativeFileName(file, map.FWorkDir);
        const QString path = platform::lastSeparator(name) >= 0 ? name : platform::joinPath(map.FWorkDir, name);
        if (platform::fileExists(path) && platform::ansiUpperCase(name.trimmed()).right(3) == u"SHP")
            result = OpenLayer(name, -1, true);
    }
    return result;
}

void TTolvane::mImportClick()
{
    // Into the layer LVLayer shows; without one there is nothing to import
    // into.
    const int layer = ShownLayerIndex();
    if (!ValidLayer(layer))
        return;
    app::runCommand([&] { MapImage->ImportLayers(layer); });
    MapImage->ZoomAll();
    TbSelectObjectClick();
}

// ---------------------------------------------------------------------------
// Commands

void TTolvane::nNewLayerPointClick() { CreateLayerFromTemplate(1); }
void TTolvane::nNewLayerPolylineClick() { CreateLayerFromTemplate(3); }
void TTolvane::nNewLayerPoligonClick() { CreateLayerFromTemplate(5); }
void TTolvane::In41Click() { CreateLayerFromTemplate(15); }
void TTolvane::nNewLayerImageClick() { CreateLayerFromTemplate(10); }
void TTolvane::N84Click() { CreateLayerFromTemplate(8); }
void TTolvane::N18Click() { CreateLayerFromTemplate(8); }
void TTolvane::mCreateLayerNavClick() { CreateLayerFromTemplate(9); }
void TTolvane::nNewLayerBlockClick() { CreateStandardLayer(0, 0, true); }
void TTolvane::nNewLayerLandClick() { CreateStandardLayer(1, 0, true); }
void TTolvane::nNewLayerPlanClick() { CreateStandardLayer(2, 0, true); }
void TTolvane::nNewLayerAgroClick() { CreateStandardLayer(3, 0, true); }
void TTolvane::nNewLayerServClick() { CreateStandardLayer(4, 0, true); }
void TTolvane::nNewLayerLimClick() { CreateStandardLayer(5, 0, true); }
void TTolvane::nNewLayerLeaseClick() { CreateStandardLayer(6, 0, true); }
void TTolvane::nNewLayerEstimateClick() { CreateStandardLayer(7, 0, true); }
void TTolvane::nNewLayerEstZoneClick() { CreateStandardLayer(8, 0, true); }
void TTolvane::nNewLayerEstAgroClick() { CreateStandardLayer(9, 0, true); }
void TTolvane::nNewLayerEstPointClick() { CreateStandardLayer(10, 0, true); }
void TTolvane::nNewLayerEstLineClick() { CreateStandardLayer(11, 0, true); }
void TTolvane::nNewLayerEstPolyClick() { CreateStandardLayer(12, 0, true); }
void TTolvane::nNewLayerZoneClick() { CreateStandardLayer(13, 0, true); }
void TTolvane::mCreateLayerIn4Click() { CreateStandardLayer(14, 0, true); }
