// Feeds arbitrary bytes, as the edit journal ("updates.mhx" and
// "updates.mhp"), to everything that reads it: redo and undo over every
// entry, the object reader taking the versions the entries point at, a new
// change appended to the journal, the save of a layer from its current
// versions and the dropping of the saved layer's entries. The layers (polygons,
// texts, points with heights) are made by the program's own writers: three
// objects committed to each. Nothing may be read out of bounds, and no place
// or length in the journal may make a reader allocate beyond the files.
//
// Input: bytes 0-1 (little-endian) are the length of "updates.mhx"; then
// come "updates.mhx" and "updates.mhp".

#include "FuzzSupport.h"
#include "mapdata/MapDataCore.h"
#include "platform/UserAnswers.h"
#include "platform/db/DbfFile.h"

#include <map>

namespace {

// Entries applied per input, so that a long index stays quick.
constexpr std::int32_t kMaxEntries = 64;
const std::int32_t kShapeTypes[] = {5, 8, 11};

// Text objects take a box around their anchor; the selection is kept.
struct Engine : IMapEngineServices {
    TSelObjects selection;
    void LayoutTextObject(const TTextRecord &, double x, double y, double &xMin, double &yMin, double &xMax,
                          double &yMax) override
    {
        xMin = x - 10;
        yMin = y - 5;
        xMax = x + 10;
        yMax = y + 5;
    }
    double CurrentScaleDenominator() override { return 500; }
    TSelObjects *EngineSelection() override { return &selection; }
    void ClearSelection() override { selection = TSelObjects{}; }
};

// A write that fails says so, unheard; the run goes on.
struct Silent : platform::UnattendedAnswers {
    int messageDlg(const QString &, platform::MsgType, unsigned, const QString &) override { return platform::mrOk; }
};

const QString &folder()
{
    static const QString dir = fuzzsupport::scratchPath("edit_journal");
    return dir;
}

QString layerName(int i) { return QStringLiteral("layer%1").arg(i); }

void openLayers(MapDataCore &core)
{
    core.SetWorkDir(folder());
    for (int i = 0; i < 3; ++i) {
        TMapLayer l;
        l.FileName = layerName(i) + QStringLiteral(".shp");
        l.MapType = kShapeTypes[i] == 8 ? mtTextLayer : mtShapeLayer;
        l.Visible = l.Snap = l.Edited = true;
        core.Project().Layers.push_back(l);
        core.RecalcLayer(i);
    }
}

// The layer files with their objects, as the writers leave them.
std::map<QString, QByteArray> makeLayers(Engine &engine)
{
    QDir(folder()).removeRecursively();
    QDir().mkpath(folder());
    for (int i = 0; i < 3; ++i) {
        shp::FileHeader h;
        h.FileCode = shp::FileCode;
        h.Version = 1000;
        h.ShapeType = kShapeTypes[i];
        const auto bytes = shp::encodeFileHeader(h, shp::FileHeaderSize);
        for (const char *ext : {".shp", ".shx"}) {
            QFile f(folder() + u'/' + layerName(i) + QLatin1String(ext));
            if (!f.open(QIODevice::WriteOnly))
                abort();
            f.write(bytes.data(), bytes.size());
        }
        platform::db::FieldDefs fields(3);
        fields[0] = {QStringLiteral("ID"), platform::db::FieldType::Integer, 10, 0, 'N'};
        fields[1] = {QStringLiteral("DATEEDIT"), platform::db::FieldType::Date, 8, 0, 'D'};
        fields[2] = {QStringLiteral("NAME"), platform::db::FieldType::String, 20, 0, 'C'};
        platform::db::DbfFile::create(folder() + u'/' + layerName(i) + QStringLiteral(".dbf"), fields);
    }
    MapDataCore core;
    core.setEngineServices(&engine);
    openLayers(core);
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) {
            core.NewObject().clearFigure();
            const int points = kShapeTypes[i] == 11 ? 1 : 4;
            for (int p = 0; p < points; ++p) {
                TNewPoint q;
                q.Point.X = 1000 + 10 * k + (p == 1 || p == 2 ? 5 : 0);
                q.Point.Y = 2000 + 10 * i + (p >= 2 ? 5 : 0);
                q.Point.Z = 3.5 * p;
                core.NewObject().Points.push_back(q);
            }
            core.NewObject().Values = {{QStringLiteral("NAME"), QStringLiteral("Участок %1").arg(k)}};
            core.NewObject().Kind = 4;
            if (!core.CommitNewObject(i, true, true))
                abort();
        }
    std::map<QString, QByteArray> files;
    for (const QString &name : QDir(folder()).entryList(QDir::Files)) {
        if (name.startsWith(u"updates"))
            continue;
        QFile f(folder() + u'/' + name);
        if (!f.open(QIODevice::ReadOnly))
            abort();
        files[name] = f.readAll();
    }
    return files;
}

void writeFile(const QString &name, const QByteArray &bytes)
{
    fuzzsupport::writeFile(folder() + u'/' + name, bytes);
}

void readAll(MapDataCore &core)
{
    for (int i = 0; i < static_cast<int>(core.Project().Layers.size()); ++i)
        for (int k = 0; k < static_cast<int>(core.Project().Layers[static_cast<size_t>(i)].Objects.size()); ++k) {
            TShpObject shape;
            core.ReadObject(i, k, shape);
        }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    static Silent silent;
    static platform::ScopedService<platform::UserAnswers> answers(silent);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Engine engine;
    static const std::map<QString, QByteArray> layers = makeLayers(engine);
    if (size < 2)
        return 0;
    const auto [mhx, mhp] = fuzzsupport::splitTwo(data, size, 2);

    QDir(folder()).removeRecursively();
    QDir().mkpath(folder());
    for (const auto &[name, bytes] : layers)
        writeFile(name, bytes);
    writeFile(QStringLiteral("updates.mhx"), mhx);
    writeFile(QStringLiteral("updates.mhp"), mhp);

    engine.ClearSelection();
    MapDataCore core;
    core.setEngineServices(&engine);
    openLayers(core);
    const std::int32_t entries = static_cast<std::int32_t>(
        std::clamp<qsizetype>((mhx.size() - shp::FileHeaderSize) / 28, 0, kMaxEntries));
    core.SetJournalCount(entries);
    for (std::int32_t k = 0; k < entries; ++k)
        core.RedoEdit();
    readAll(core);
    for (std::int32_t k = 0; k < entries; ++k)
        core.UndoEdit();
    for (std::int32_t k = 0; k < entries / 2 + 1 && core.JournalPos() < core.JournalCount(); ++k)
        core.RedoEdit();
    if (core.JournalPos() != std::min(entries, entries / 2 + 1))
        __builtin_trap();
    readAll(core);

    // A change to the first object of the first layer, after what is applied.
    TMapLayer &first = core.Project().Layers[0];
    if (!first.Objects.empty()) {
        TMapObject &obj = first.Objects[0];
        core.ReadObject(0, 0, *obj.Shape);
        for (TShpParts &part : obj.Shape->Parts)
            for (TShpPoint &p : part.Points)
                p.X += 1;
        obj.Modified = true;
        first.ObjectsModified = true;
        core.JournalObject(0, 0, obj.JrnOffset, obj.JrnLength, obj.JrnOffset, obj.JrnLength);
        readAll(core);
    }

    // One layer saved (a save looks its files up many times over: one keeps
    // the runs quick), picked by the number of entries.
    const int saved = entries % 3;
    core.Project().Layers[static_cast<size_t>(saved)].ObjectsModified = true;
    if (core.SaveLayer(saved)) {
        core.DropLayerJournal(saved);
        core.RecalcLayer(saved);
    }
    readAll(core);
    return 0;
}
