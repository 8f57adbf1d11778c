#include "EditFixtures.h"

#include <QFile>

using testsupport::putBE32;
using testsupport::putLE32;

namespace editfix {

std::vector<dbtest::FieldSpec> templateFields()
{
    return {{"ID", 'N', 10, 0}, {"DATEEDIT", 'D', 8, 0}, {"NAME", 'C', 20, 0}, {"AREA", 'N', 12, 2}};
}

QByteArray row(const char *id, const char *date, const char *name, const char *area, bool deleted)
{
    return dbtest::record({dbtest::right(dbtest::u8(id), 10), dbtest::left(dbtest::u8(date), 8),
                           dbtest::left(dbtest::u8(name), 20), dbtest::right(dbtest::u8(area), 12)},
                          deleted);
}

QByteArray templateDbf(const std::vector<QByteArray> &rows, int yy, int mm, int dd)
{
    return dbtest::dbfFile(templateFields(), rows, yy, mm, dd);
}

QByteArray emptyShape(std::int32_t shapeType) { return fixtures::header(shapeType, {}, 50); }

void FakeEngine::RecalcSelectionExtent()
{
    TSelObjects &s = selection;
    s.MinX = s.MinY = s.MaxX = s.MaxY = 0;
    bool first = true;
    for (const TSelObject &e : s.Entries) {
        if (first || e.XMin < s.MinX) s.MinX = e.XMin;
        if (first || e.YMin < s.MinY) s.MinY = e.YMin;
        if (first || e.XMax > s.MaxX) s.MaxX = e.XMax;
        if (first || e.YMax > s.MaxY) s.MaxY = e.YMax;
        first = false;
    }
    s.CenterX = s.MinX + (s.MaxX - s.MinX) / 2;
    s.CenterY = s.MinY + (s.MaxY - s.MinY) / 2;
    if (s.PivotX == 0 && s.PivotY == 0) {
        s.PivotX = s.CenterX;
        s.PivotY = s.CenterY;
    }
}

QDateTime testDay() { return QDateTime(QDate(2024, 3, 15), QTime(10, 0)); }

EditProject::EditProject()
{
    core.SetWorkDir(dir.path());
    core.setEngineServices(&engine);
}

int EditProject::addLayer(const QString &name, std::int32_t shapeType, const QByteArray &dbf)
{
    dir.write(name + QStringLiteral(".shp"), emptyShape(shapeType));
    dir.write(name + QStringLiteral(".shx"), emptyShape(shapeType));
    dir.write(name + QStringLiteral(".dbf"), dbf);
    return openLayer(name);
}

int EditProject::openLayer(const QString &name)
{
    TMapLayer l;
    l.FileName = name + QStringLiteral(".shp");
    l.Name = name;
    l.MapType = mtShapeLayer;
    l.Visible = l.Snap = l.Edited = true;
    core.Project().Layers.push_back(l);
    const int index = static_cast<int>(core.Project().Layers.size()) - 1;
    core.RecalcLayer(index);
    if (core.Project().Layers.back().ShapeType == 8)
        core.Project().Layers.back().MapType = mtTextLayer;
    core.BackupLayer(index, true);
    return index;
}

bool EditProject::commit(int layer, std::initializer_list<std::pair<double, double>> points,
                         std::vector<std::int32_t> parts, std::vector<TTxtValues> values, Byte kind)
{
    core.NewObject().clearFigure();
    for (const auto &[x, y] : points) {
        TNewPoint p;
        p.Point.X = x;
        p.Point.Y = y;
        core.NewObject().Points.push_back(p);
    }
    core.NewObject().Parts = std::move(parts);
    core.NewObject().Values = std::move(values);
    core.NewObject().Kind = kind;
    const bool ok = core.CommitNewObject(layer, true, true);
    core.NewObject().clearFigure();
    return ok;
}

bool EditProject::remove(int layer, int index)
{
    TMapLayer &L = core.Project().Layers[static_cast<size_t>(layer)];
    TMapObject &obj = L.Objects[static_cast<size_t>(index)];
    obj.Shape.clearParts();
    L.ObjectsDeleted = true;
    obj.Deleted = true;
    return core.JournalObject(layer, index, obj.JrnOffset, obj.JrnLength, obj.JrnOffset, obj.JrnLength);
}

QByteArray record(std::int32_t number, const QByteArray &content)
{
    QByteArray r(8, '\0');
    putBE32(r, 0, number);
    putBE32(r, 4, static_cast<std::int32_t>(content.size() / 2));
    return r + content;
}

QByteArray journalEntry(std::int32_t layer, std::int32_t index, std::int32_t newOffset, std::int32_t newLength,
                        std::int32_t prevOffset, std::int32_t prevLength, int shown, int modified, int deleted,
                        int appended)
{
    QByteArray e(28, '\0');
    putLE32(e, 0, layer);
    putLE32(e, 4, index);
    putLE32(e, 8, newOffset);
    putLE32(e, 12, newLength);
    putLE32(e, 16, prevOffset);
    putLE32(e, 20, prevLength);
    e[24] = static_cast<char>(shown);
    e[25] = static_cast<char>(modified);
    e[26] = static_cast<char>(deleted);
    e[27] = static_cast<char>(appended);
    return e;
}

QByteArray journalHeader()
{
    QByteArray h(100, '\0');
    putLE32(h, 0, 9994);
    return h;
}

} // namespace editfix

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace editfix {

int FaultyOps::next(const QString &what)
{
    ++steps;
    log << what;
    if (stopAt > 0 && steps >= stopAt)
        return -1;
    if (failAt > 0 && steps == failAt)
        return 0;
    if (dead && failAt > 0 && steps > failAt)
        return -1;
    return 1;
}

bool FaultyOps::writeFile(const QString &path, const QByteArray &bytes)
{
    const int go = next(QStringLiteral("write ") + QFileInfo(path).fileName());
    if (go < 0)
        return false;
    if (go == 0) {
        FileOps::writeFile(path, bytes.left(bytes.size() / 2));
        return false;
    }
    return FileOps::writeFile(path, bytes);
}

bool FaultyOps::writeAt(const QString &path, qint64 pos, const QByteArray &bytes)
{
    const int go = next(QStringLiteral("write at ") + QFileInfo(path).fileName());
    if (go < 0)
        return false;
    if (go == 0) {
        if (bytes.size() > 1)
            FileOps::writeAt(path, pos, bytes.left(bytes.size() / 2));
        return false;
    }
    return FileOps::writeAt(path, pos, bytes);
}

bool FaultyOps::truncate(const QString &path, qint64 size)
{
    return next(QStringLiteral("truncate ") + QFileInfo(path).fileName()) > 0 && FileOps::truncate(path, size);
}

bool FaultyOps::copyFile(const QString &from, const QString &to)
{
    const int go = next(QStringLiteral("copy ") + QFileInfo(to).fileName());
    if (go < 0)
        return false;
    if (go == 0) {
        QFile in(from);
        in.open(QIODevice::ReadOnly);
        FileOps::writeFile(to, in.readAll().left(in.size() / 2));
        return false;
    }
    return FileOps::copyFile(from, to);
}

bool FaultyOps::renameFile(const QString &from, const QString &to)
{
    return next(QStringLiteral("rename ") + QFileInfo(from).fileName()) > 0 && FileOps::renameFile(from, to);
}

bool FaultyOps::removeFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true; // nothing to do is no step
    return next(QStringLiteral("remove ") + QFileInfo(path).fileName()) > 0 && FileOps::removeFile(path);
}

bool FaultyOps::step() { return next(QStringLiteral("table")) > 0; }

int MessageLog::messageDlg(const QString &text, platform::MsgType, unsigned, const QString &)
{
    texts << text;
    return platform::mrOk;
}

std::map<QString, QByteArray> folderState(const QString &root)
{
    std::map<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        out[QFileInfo(path).fileName()] = f.readAll();
    }
    return out;
}

} // namespace editfix
