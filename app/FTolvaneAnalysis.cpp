// The analysis and labelling commands: the layer transformations, going to a
// point, measurement labels, parcel numbering, the automatic label
// placement, buffer zones, saving the selection as a layer, and the
// statistics of the selection.

#include "app/FTolvane.h"

#include "app/AutoLabels.h"
#include "app/CommandErrors.h"
#include "dialogs/DialogSeams.h"
#include "app/FShowPoint.h"
#include "app/HostHooks.h"
#include "dialogs/FNewForAll.h"
#include "mapdata/BinaryFile.h"
#include "mapdata/LayerFiles.h"
#include "mapdata/MapFunctions.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/UserAnswers.h"
#include "platform/db/Table.h"

#include <QFile>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace {

using mapdata::layerfiles::TripleExts;

// A number with a fixed count of decimals and the decimal separator of the
// user's settings ("0.0000").
QString fixedText(double value, int decimals)
{
    return platform::formatNumber(QStringLiteral("0.") + QString(decimals, u'0'), value);
}

// Asks a value with the one-line input box; true when it was confirmed.
bool askValue(const QString &caption, QString &text)
{
    return NewForAll()->Ask(caption, text);
}

// The transformation commands share one pattern: only layers of kind 0 or 1
// are transformed; the dialog then transforms the current layer itself.
void transformLayer(TTolvane &w, dialogs::LayerTransformation kind, const QString &refusal)
{
    const int layer = w.ShownLayerIndex();
    if (!w.ValidLayer(layer))
        return;
    const Byte mapType = w.MapImage->Project().Layers[static_cast<size_t>(layer)].MapType;
    if (mapType != 0 && mapType != mtShapeLayer) {
        platform::showMessage(refusal);
        return;
    }
    // The object selection tool follows whatever the dialog answered.
    dialogs::dialogSeams().ShowTransformation(kind, QStringLiteral("shp"), *w.MapImage);
    w.TbSelectObject->click();
}

} // namespace

// ---------------------------------------------------------------------------
// Layer transformations

void TTolvane::mShiftClick()
{
    transformLayer(*this, dialogs::LayerTransformation::Shift,
                   QStringLiteral("Для смещения координат на заданную величину выберите внешний слой ArcView(Shp) !"));
}

void TTolvane::mTransformXYClick()
{
    transformLayer(*this, dialogs::LayerTransformation::Rotate,
                   QStringLiteral("Для выполнения преобразования прямоугольной системы координат выберите внешний "
                                  "слой ArcView(Shp) !"));
}

void TTolvane::mTransformKeyClick()
{
    transformLayer(*this, dialogs::LayerTransformation::Key,
                   QStringLiteral("Для выполнения преобразования координат по ключу перевода выберите внешний слой "
                                  "ArcView(Shp) !"));
}

void TTolvane::mTransformSysClick()
{
    transformLayer(*this, dialogs::LayerTransformation::System,
                   QStringLiteral("Для трансформирования из одной системы координат в ругую выберите внешний слой "
                                  "ArcView(Shp) !"));
}

void TTolvane::mTransformProClick()
{
    transformLayer(*this, dialogs::LayerTransformation::Projection,
                   QStringLiteral("Для трансформирования из одной системы координат в ругую выберите внешний слой "
                                  "ArcView(Shp) !"));
}

// ---------------------------------------------------------------------------
// Going to a point

void TTolvane::nViewPointClick()
{
    TMapVyk &map = *MapImage;
    // X is the northing, Y the easting.
    QString x = platform::floatToStr(map.View().CenterY);
    QString y = platform::floatToStr(map.View().CenterX);
    if (!dialogs::dialogSeams().AskPoint(x, y))
        return;
    app::runCommand([&] {
        const double northing = MapFunctions::TextToFloat(x, map.View().CenterY);
        const double easting = MapFunctions::TextToFloat(y, map.View().CenterX);
        CentreAndRedraw(easting, northing);
    });
}

// ---------------------------------------------------------------------------
// Measurement labels

void TTolvane::nAppendLabelClick()
{
    dialogs::NewLabelAnswer a;
    if (!dialogs::dialogSeams().AskNewLabel(a))
        return;
    app::runCommand([&] {
        TMapFontValues v;
        v.FontName = a.EditFontName;
        v.Size = MapFunctions::TextToInt(a.EditFontSize);
        v.BrushColor = MapFunctions::TextToInt(a.EditBrushColor);
        v.BrushStyle = a.BackgroundStyle;
        v.Charset = 204;
        v.TextStyle = (a.cBoxFontBold ? 1 : 0) + (a.cBoxFontItalic ? 2 : 0) + (a.cBoxFontUnderline ? 4 : 0);
        v.Color = MapFunctions::TextToInt(a.EditFontColor);
        v.Scale = MapFunctions::TextToInt(a.EditFontScale);
        v.Rotate = MapFunctions::TextToFloat(a.EditFontRotate, 0);
        TMapFont font = TMapVyk::MakeMapFont(v);
        // When several buttons are down, the one listed later wins.
        int center = 0;
        const bool alignment[8] = {a.sbTop,     a.sbBottom,     a.sbLeft,     a.sbRight,
                                   a.sbTopLeft, a.sbBottomLeft, a.sbTopRight, a.sbBottomRight};
        for (int i = 0; i < 8; ++i)
            if (alignment[i])
                center = i + 1;
        int position = -1;
        const bool placement[9] = {a.rbCenterS,  a.rbTopS,       a.rbBottomS,  a.rbLeftS,     a.rbRightS,
                                   a.rbTopLeft, a.rbBottomLeft, a.rbTopRight, a.rbBottomRight};
        for (int i = 0; i < 9; ++i)
            if (placement[i])
                position = i;
        font.Center = static_cast<Byte>(center);
        font.Position = static_cast<Byte>(position < 0 ? center : position);
        font.ShiftX = MapFunctions::TextToInt(a.edShiftX);
        font.ShiftY = MapFunctions::TextToInt(a.edShiftY);

        TMapVyk &map = *MapImage;
        const int layer = ShownLayerIndex();
        if (!PBPick->isChecked() || map.Selection().Entries.empty() || !CurrentLayerEditable() ||
            !ValidLayer(layer) || map.Project().Layers[static_cast<size_t>(layer)].MapType != mtTextLayer)
            return;
        const int decimals = MapFunctions::TextToInt(a.cbRound);
        static const QString modes[] = {QStringLiteral("Линия"),         QStringLiteral("Площадь, га"),
                                        QStringLiteral("Площадь, кв.м"), QStringLiteral("Периметр"),
                                        QStringLiteral("Расстояния"),    QStringLiteral("Номера точек")};
        if (std::find(std::begin(modes), std::end(modes), a.cbFieldName) != std::end(modes))
            map.AppendMeasureLabels(a.cbFieldName, font, decimals);
        else
            AppendCadastralLabels(a.cbFormat.left(255), decimals);
        RedrawMap();
    });
}

// ---------------------------------------------------------------------------
// Parcel numbering

namespace {

// Asks the start number of the parcel numbering into the map control; false
// when the box was cancelled.
bool askParcelNumber(TMapVyk &map)
{
    QString text = map.Settings().NextParcelNumber > 0 ? QString::number(map.Settings().NextParcelNumber) : QString();
    if (!askValue(QStringLiteral("Начальный номер"), text))
        return false;
    return app::runCommand([&] { map.Settings().NextParcelNumber = MapFunctions::TextToInt(text); });
}

} // namespace

void TTolvane::nVYKNumberClick()
{
    TMapVyk &map = *MapImage;
    if (map.Selection().Entries.empty())
        return;
    if (map.Settings().NextParcelNumber == 0 && !askParcelNumber(map))
        return;
    if (map.Settings().NextParcelNumber <= 0)
        return;
    for (const TSelObject &e : map.Selection().Entries) {
        if (!ValidLayer(e.Layer))
            continue;
        const TMapLayer &L = map.Project().Layers[static_cast<size_t>(e.Layer)];
        if (L.MapType != 2 || e.Index < 0 || static_cast<size_t>(e.Index) >= L.Objects.size())
            continue;
        NumberCadastralObject(L.Objects[static_cast<size_t>(e.Index)].ObjectID, map.Settings().NextParcelNumber);
        ++map.Settings().NextParcelNumber;
    }
}

void TTolvane::nAutoNumClick()
{
    askParcelNumber(*MapImage);
}

// ---------------------------------------------------------------------------
// Automatic label placement

void TTolvane::nVYKAutoLabelClick()
{
    using namespace app::autolabel;
    TMapVyk &map = *MapImage;
    const int current = ShownLayerIndex();
    if (map.Selection().Entries.empty() || !ValidLayer(current))
        return;
    const TMapLayer &layer = map.Project().Layers[static_cast<size_t>(current)];
    if (!layer.Visible || !layer.Snap || layer.Closed)
        return;
    if (platform::messageDlg(
            QStringLiteral("Выполнить автоматическую расстановку обозначений для выбранных объектов ?"),
            platform::MsgType::Confirmation, platform::mbYesNo) != platform::mrYes)
        return;

    const QString lbl = platform::findExistingPath(map.LabelFileName(QStringLiteral(".Lbl")));
    const QString lbt = platform::resolvePath(map.LabelFileName(QStringLiteral(".Lbt")));
    if (lbl.isEmpty() || !mapdata::copyFileOverwrite(lbl, lbt))
        return;
    QByteArray bytes;
    {
        // The copy is what the collisions are tested against while the
        // shifts are stored.
        QFile f(lbt);
        if (f.open(QIODevice::ReadOnly))
            bytes = f.readAll();
    }
    const std::vector<LabelBox> records = decodeLabelRecords(bytes);
    int previous = 0;
    for (const TSelObject &e : map.Selection().Entries) {
        if (!ValidLayer(e.Layer) || map.Project().Layers[static_cast<size_t>(e.Layer)].MapType != 2)
            continue;
        for (size_t k = 0; k < records.size(); ++k) {
            const LabelBox &r = records[k];
            if (r.Layer != e.Layer || r.Object != e.Index)
                continue;
            const std::array<bool, 4> quarters = collisionQuarters(r, records);
            if (std::none_of(quarters.begin(), quarters.end(), [](bool q) { return q; }))
                continue;
            const int h = moveDirection(quarters, previous);
            const QPoint d = moveOffset(r, h);
            TMapPoint origin, moved;
            map.LogicalToMap(QPointF(0, 0), origin);
            map.LogicalToMap(QPointF(d.x() * map.View().UnitsPerPixelX, -d.y() * map.View().UnitsPerPixelY), moved);
            map.AddAutoLabel(static_cast<std::int32_t>(k), origin.X - moved.X, origin.Y - moved.Y);
            previous = h;
            break;
        }
    }
    QFile::remove(lbt);
    RedrawMap();
}

// ---------------------------------------------------------------------------
// Buffer zones

namespace {

// The zone commands need the pick tool, a selection and an editable current
// layer, which receives the zones.
int zoneLayer(TTolvane &w)
{
    const int layer = w.ShownLayerIndex();
    if (!w.PBPick->isChecked() || w.MapImage->Selection().Entries.empty() || !w.CurrentLayerEditable() ||
        !w.ValidLayer(layer))
        return -1;
    return layer;
}

} // namespace

void TTolvane::aBufferForPolyExecute()
{
    const int layer = zoneLayer(*this);
    QString text;
    if (layer < 0 || !askValue(QStringLiteral("Ширина"), text))
        return;
    app::runCommand([&] { MapImage->BufferPolygons(layer, -MapFunctions::TextToFloat(text, 1)); });
    RedrawMap();
}

void TTolvane::aBufferForLineExecute()
{
    const int layer = zoneLayer(*this);
    QString text;
    if (layer < 0 || !askValue(QStringLiteral("Ширина"), text))
        return;
    app::runCommand([&] { MapImage->BufferLines(layer, -MapFunctions::TextToFloat(text, 1)); });
    RedrawMap();
}

void TTolvane::aBufferForPointExecute()
{
    const int layer = zoneLayer(*this);
    QString radiusText;
    if (layer < 0 || !askValue(QStringLiteral("Радиус, м"), radiusText))
        return;
    QString countText;
    const bool confirmed = askValue(QStringLiteral("Точек, шт"), countText);
    double r = 0;
    int n = 0;
    if (!app::runCommand([&] {
            r = MapFunctions::TextToFloat(radiusText, 1);
            n = std::max(4, MapFunctions::TextToInt(countText));
        }))
        return;
    if (!(r > 0)) {
        platform::messageDlg(QStringLiteral("Неверно введены параметры !\nРадиус ") + platform::floatToStr(r) +
                                 QStringLiteral(" м, количество точек ") + QString::number(n) +
                                 QStringLiteral(" шт."),
                             platform::MsgType::Confirmation, platform::mbOK);
        return;
    }
    if (!confirmed)
        return;
    app::runCommand([&] { MapImage->BufferPoints(layer, n, r); });
    RedrawMap();
}

// ---------------------------------------------------------------------------
// Saving the selection as a layer

void TTolvane::aSaveSelectedExecute()
{
    TMapVyk &map = *MapImage;
    CloseAttributeQueries();
    if (!PBPick->isChecked() || map.Selection().Entries.empty())
        return;
    platform::FileDialogRequest request = SaveDialog;
    request.kind = platform::FileDialogRequest::Save;
    request.defaultExt = QStringLiteral("shp");
    request.filter = QStringLiteral("Все форматы (*.shp)|*.shp|Слой ArcView (*.shp)|*.shp");
    request.initialDir = map.WorkDir();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    const int current = ShownLayerIndex();
    if (!answer.accepted || answer.files.isEmpty() || !ValidLayer(current))
        return;
    const QString chosen = answer.files.first().trimmed();
    // Only the file name loses its extension: a dot in a folder is kept.
    const QString base = mapdata::layerfiles::baseName(MapFunctions::RelativeFileName(chosen, map.WorkDir()));
    const QString target = platform::lastSeparator(base) >= 0 ? base : platform::joinPath(map.WorkDir(), base);

    // A layer of the project must not be overwritten under itself.
    for (const TMapLayer &L : map.Project().Layers) {
        if (!L.Closed && platform::ansiSameText(platform::normalizePath(map.LayerBaseName(L.FileName)),
                                                 platform::normalizePath(target))) {
            platform::showMessage(QStringLiteral("Слой ") + base +
                                  QStringLiteral(" открыт в проекте: выберите другое имя файла !"));
            return;
        }
    }

    bool write = true;
    bool exists = false;
    for (const char *ext : TripleExts)
        exists = exists || platform::fileExists(target + QLatin1String(ext));
    if (exists && platform::messageDlg(QStringLiteral("Файл(ы) ") + base +
                                           QStringLiteral(".shp(shx,dbf) уже присутствуют в папке !\n"
                                                          "Перезаписать существующие файлы ?"),
                                       platform::MsgType::Warning, platform::mbYesNo) != platform::mrYes)
        write = false;

    const TMapLayer &source = map.Project().Layers[static_cast<size_t>(current)];
    const QString templ = source.ObjType == otPoints     ? QStringLiteral("\\Default\\point")
                          : source.ObjType == otPolygons ? QStringLiteral("\\Default\\polygon")
                                                         : QStringLiteral("\\Default\\polyline");
    const QString templateBase = map.ProgramDir() + templ;
    QString sources[3];
    for (int k = 0; k < 3; ++k)
        sources[k] = platform::findExistingPath(templateBase + QLatin1String(TripleExts[k]));
    if (std::any_of(std::begin(sources), std::end(sources), [](const QString &s) { return s.isEmpty(); })) {
        platform::showMessage(QStringLiteral("Не найден файл(ы) шаблона ") + templateBase +
                              QStringLiteral(".shp(shx,dbf)"));
        return;
    }
    if (!write)
        return;

    QString targets[3];
    for (int k = 0; k < 3; ++k) {
        targets[k] = platform::resolvePath(target + QLatin1String(TripleExts[k]));
        if (!mapdata::copyFileOverwrite(sources[k], targets[k])) {
            platform::showMessage(QStringLiteral("Невозможно скопировать файл ") + sources[k] + QStringLiteral(" в ") +
                                  targets[k] + QStringLiteral(" !"));
            return;
        }
    }
    // The new table takes the fields of the current layer's table, without
    // its rows.
    const QString table = CurrentLayerTable();
    if (!table.isEmpty()) {
        if (!mapdata::copyFileOverwrite(table, targets[2])) {
            platform::showMessage(QStringLiteral("Невозможно скопировать файл ") + table + QStringLiteral(" в ") +
                                  targets[2] + QStringLiteral(" !"));
            return;
        }
        const bool emptied = app::runCommand([&] {
            platform::db::Table t;
            t.setDatabaseName(map.WorkDir());
            t.setTableName(targets[2]);
            t.setExclusive(true);
            t.emptyTable();
        });
        if (!emptied)
            return;
    }
    // A layer that could not be written (a failed write is reported by the
    // writer) is not offered for opening.
    bool saved = false;
    if (!app::runCommand([&] { saved = map.SaveSelectionAsLayer(target + QStringLiteral(".shp")); }) || !saved)
        return;

    if (platform::messageDlg(QStringLiteral("Открыть слой ") + chosen + QStringLiteral(" ?"),
                             platform::MsgType::Confirmation, platform::mbYesNo) != platform::mrYes)
        return;
    OpenLayer(base + QStringLiteral(".shp"), -1, true);
    RebuildLayerList(false);
    ShowActiveLayerRow(map.Project().ActiveLayer);
    RedrawMap();
}

// ---------------------------------------------------------------------------
// Statistics

void TTolvane::nSatisticClick()
{
    TMapVyk &map = *MapImage;
    TMeasureResult s;
    if (!app::runCommand([&] { s = map.SelectionStatistics(); }))
        return;
    TMapStat *w = MapStatWindow();
    w->lbCount->setText(QString::number(map.Selection().Entries.size()));
    w->lbArea->setText(fixedText(s.Area / 10000, 4));
    w->lbLenght->setText(fixedText(s.Length, 4));
    // "X" is the northing and "Y" the easting, as everywhere in the window.
    w->lbMinX->setText(fixedText(s.MinY, 3));
    w->lbMinY->setText(fixedText(s.MinX, 3));
    w->lbMaxX->setText(fixedText(s.MaxY, 3));
    w->lbMaxY->setText(fixedText(s.MaxX, 3));
    platform::execModal(*w);
}
