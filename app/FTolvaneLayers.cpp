// Layer creation from the templates and opening of layer files.

#include "app/FTolvane.h"

#include "app/CommandErrors.h"
#include "app/HostHooks.h"
#include "mapdata/BinaryFile.h"
#include "mapdata/LayerFiles.h"
#include "mapdata/LayerWriting.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ShpRecords.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QFileInfo>

#include <algorithm>

namespace {

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

using mapdata::layerfiles::TripleExts;

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
    return MapImage->OpenLayer(fileName, index, newLayer);
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
    request.initialDir = map.WorkDir();
    request.fileName.clear();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty())
        return false;

    // Only the file name loses its extension: a dot in a folder is kept.
    const QString target = mapdata::layerfiles::baseName(answer.files.first().trimmed());
    const QString templateBase = platform::joinPath(map.ProgramDir(), QStringLiteral("Default\\") + templ);
    QString sources[3];
    for (int k = 0; k < 3; ++k)
        sources[k] = platform::findExistingPath(templateBase + QLatin1String(TripleExts[k]));
    if (std::any_of(std::begin(sources), std::end(sources), [](const QString &s) { return s.isEmpty(); })) {
        platform::showMessage(QStringLiteral("Не найден файл(ы) шаблона ") + platform::normalizePath(templateBase) +
                              QStringLiteral(".shp(shx,dbf)"));
        return false;
    }
    if (!layerwrite::mayReplaceLayerFiles(target))
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
    ShowActiveLayerRow(map.Project().ActiveLayer);
    RedrawMap();
    return true;
}

void TTolvane::CreateStandardLayer(int choice, int, bool append)
{
    if (choice < 0 || choice > 14)
        return;
    TMapProject &project = MapImage->Project();
    if (append) {
        const StandardLayer &s = StandardLayers[choice];
        TMapLayer &L = MapImage->AppendNewLayer();
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
    request.initialDir = map.WorkDir();
    request.fileName.clear();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted)
        return false;
    bool result = false;
    for (const QString &file : answer.files) {
        const QString name = MapFunctions::RelativeFileName(file, map.WorkDir());
        const QString path = platform::lastSeparator(name) >= 0 ? name : platform::joinPath(map.WorkDir(), name);
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
