// Putting right a layer save that a stopped run left half done.
//
// A save first writes base + "~.Save", naming every file it may make (the
// new files, the part file of the table's copy, the names it sets the old
// files aside under, the journal's new index); then the new files; then
// base + "~.Done", naming each new file with its size and digest; then
// base + "~.Swap", naming each layer file it sets aside, with its size and
// digest; then it swaps. A later run reads the markers:
// - a done marker whose new files are still what it names (or already in
//   place) completes the save: the new files take their places, the files
//   set aside go;
// - otherwise, with the first marker, the save is taken back: the files set
//   aside (still what the swap marker names) come back, the files it made
//   go;
// - anything else (no first marker, files not what a marker names, a marker
//   of another form) is left as it is and reported: files beside the layer
//   that no marker names may be another layer's ("plots~") and are never
//   touched.
// Markers of the older form (an empty done marker, a swap marker listing
// extensions) name no files; the one state of theirs that can be told apart
// from foreign files, renames begun and not finished, is completed without
// deleting or overwriting anything.

#include "mapdata/MapDataCore.h"
#include "mapdata/SaveMarkers.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

using savemarks::Entry;
using savemarks::Marker;
using savemarks::Role;
using savemarks::layerExts;

namespace {

bool isFile(const QString &path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

// The extensions an older version's swap marker lists, one a line; nothing
// when it holds anything else.
std::optional<std::array<bool, 3>> olderSwapList(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > 64)
        return std::nullopt;
    std::array<bool, 3> listed{};
    for (const QByteArray &raw : f.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw.trimmed());
        if (line.isEmpty())
            continue;
        bool known = false;
        for (size_t k = 0; k < layerExts().size(); ++k)
            if (line.compare(layerExts()[k], Qt::CaseInsensitive) == 0)
                listed[k] = known = true;
        if (!known)
            return std::nullopt;
    }
    if (!listed[0] || !listed[1])
        return std::nullopt;
    return listed;
}

QString ignoredMessage(const QString &marker, const QString &layer)
{
    return QStringLiteral("Файл ") + marker + QStringLiteral(" не подтверждается файлами сохранения слоя ") + layer +
           QStringLiteral(" и оставлен без внимания: файлы рядом со слоем не изменены !");
}

} // namespace

MapDataCore::SaveNames MapDataCore::saveNames(const QString &fileName) const
{
    SaveNames n;
    const QString base = LayerBaseName(fileName);
    for (size_t k = 0; k < layerExts().size(); ++k)
        n.layer[k] = existingFile(base + layerExts()[k]);
    // The folder and stem of the layer's files as found; the base's when its
    // ".Shp" is missing (set aside by a save).
    const QString shp = n.layer[0];
    if (!shp.isEmpty()) {
        n.folder = QFileInfo(shp).path();
        n.stem = platform::extractFileName(shp.chopped(platform::extractFileExt(shp).size()));
    } else {
        const QString folder = platform::extractFilePath(base);
        const QString found = platform::findExistingPath(folder);
        n.folder = platform::excludeTrailingSeparator(found.isEmpty() ? folder : found);
        if (n.folder.isEmpty())
            n.folder = QStringLiteral(".");
        n.stem = platform::extractFileName(base);
    }
    for (size_t k = 0; k < layerExts().size(); ++k)
        n.target[k] = !n.layer[k].isEmpty() ? n.layer[k] : platform::joinPath(n.folder, n.stem + layerExts()[k]);
    auto marker = [&](const char *ext) {
        const QString path = platform::joinPath(n.folder, n.stem + QLatin1String(ext));
        const QString found = existingFile(path);
        return found.isEmpty() ? path : found;
    };
    n.begun = marker("~.Save");
    n.done = marker("~.Done");
    n.swap = marker("~.Swap");
    return n;
}

MapDataCore::SaveRecovery MapDataCore::recoverLayerSave(const QString &fileName, mapdata::FileOps &ops)
{
    SaveRecovery out;
    const SaveNames n = saveNames(fileName);
    const Marker begun = savemarks::readMarker(n.begun, n.stem);
    const Marker done = savemarks::readMarker(n.done, n.stem);
    const Marker swap = savemarks::readMarker(n.swap, n.stem);
    if (begun.state == Marker::Missing && done.state == Marker::Missing && swap.state == Marker::Missing)
        return out;

    const QString layerName = QDir::toNativeSeparators(n.target[0]);
    auto path = [&](const Entry &e) {
        return e.role == Role::Journal ? platform::joinPath(FWorkDir, e.name) : platform::joinPath(n.folder, e.name);
    };
    auto targetOf = [&](const Entry &e) { return n.target[static_cast<size_t>(e.ext)]; };
    auto rename = [&](const QString &from, const QString &to) {
        out.acted = true;
        out.ok = ops.renameFile(from, to) && out.ok;
    };
    auto remove = [&](const QString &file) {
        if (!QFileInfo::exists(file))
            return;
        out.acted = true;
        out.ok = ops.removeFile(file) && out.ok;
    };
    auto ignore = [&](const QString &marker) { out.messages << ignoredMessage(QDir::toNativeSeparators(marker), layerName); };
    auto ignoreAll = [&] {
        for (const auto &[state, file] : {std::pair{begun.state, n.begun}, {done.state, n.done}, {swap.state, n.swap}})
            if (state != Marker::Missing)
                ignore(file);
        return out;
    };

    // The first marker cut short: the save stopped while writing it, before
    // any other file.
    if (begun.state == Marker::Cut) {
        if (done.state != Marker::Missing || swap.state != Marker::Missing)
            return ignoreAll();
        remove(n.begun);
        return out;
    }
    const bool ours = begun.state == Marker::Whole;

    // Every new file the done marker names is there as it was written, or
    // already in its place.
    auto doneHolds = [&] {
        if (done.state != Marker::Whole)
            return false;
        std::array<bool, 3> named{};
        for (const Entry &e : done.entries) {
            if (e.role != Role::New || e.ext < 0)
                return false;
            named[static_cast<size_t>(e.ext)] = true;
            const bool waiting = isFile(path(e)) && savemarks::idOfFile(path(e)) == e.id;
            const bool placed = !isFile(path(e)) && savemarks::idOfFile(targetOf(e)) == e.id;
            if (!waiting && !placed)
                return false;
        }
        return named[0] && named[1];
    };
    // Every file the swap marker set aside is what it set aside, or gone.
    auto swapHolds = [&] {
        if (swap.state != Marker::Whole)
            return false;
        for (const Entry &e : swap.entries)
            if (e.role != Role::Old || e.ext < 0 || (isFile(path(e)) && savemarks::idOfFile(path(e)) != e.id))
                return false;
        return true;
    };
    // The files the first marker names that no later step vouches for: the
    // new ones, the part file and the journal's new index.
    auto removeUnfinished = [&] {
        for (const Entry &e : begun.entries)
            if (e.role == Role::New || e.role == Role::Part || e.role == Role::Journal)
                remove(path(e));
    };
    auto removeMarkers = [&] {
        if (!out.ok)
            return;
        remove(n.swap);
        remove(n.done);
        remove(n.begun);
    };

    const bool foreign =
        begun.state == Marker::Foreign || done.state == Marker::Foreign || swap.state == Marker::Foreign;
    if (!foreign && doneHolds() && (ours || swap.state == Marker::Missing || swapHolds())) {
        // Every new file was written: they take their places.
        for (const Entry &e : done.entries)
            if (isFile(path(e)))
                rename(path(e), targetOf(e));
        // The files set aside are spare once the new ones stand.
        if (out.ok && swapHolds())
            for (const Entry &e : swap.entries)
                if (isFile(path(e)) && isFile(targetOf(e)))
                    remove(path(e));
        if (ours && out.ok)
            removeUnfinished();
        removeMarkers();
        return out;
    }
    if (!foreign && ours && done.state != Marker::Whole && (swap.state != Marker::Whole || swapHolds())) {
        // The save had not written every new file, or was being taken back:
        // the files it set aside come back over the new ones that took their
        // names, and what it made goes.
        if (swap.state == Marker::Whole)
            for (const Entry &e : swap.entries)
                if (isFile(path(e)))
                    rename(path(e), targetOf(e));
        if (out.ok)
            removeUnfinished();
        removeMarkers();
        return out;
    }
    if (begun.state == Marker::Missing && done.state == Marker::Cut)
        if (const std::optional<std::array<bool, 3>> listed = olderSwapList(n.swap))
            // An older version's save (its done marker was empty): completed
            // where its state shows it.
            if (completeOlderSave(n, *listed, ops, out))
                return out;
    return ignoreAll();
}

bool MapDataCore::completeOlderSave(const SaveNames &n, const std::array<bool, 3> &listed, mapdata::FileOps &ops,
                                    SaveRecovery &out)
{
    // The older names: "~" for the new files, "`" for those set aside.
    std::array<QString, 3> fresh, old;
    for (size_t k = 0; k < layerExts().size(); ++k) {
        auto found = [&](QChar mark) {
            const QString name = platform::joinPath(n.folder, n.stem + mark + layerExts()[k]);
            const QString f = existingFile(name);
            return f.isEmpty() ? name : f;
        };
        fresh[k] = found(u'~');
        old[k] = found(u'`');
    }
    // The swap went file by file: each listed layer file was set aside, then
    // the new one took its name. Only a state that this order leaves, with
    // at least one rename made and one to go, is that save's.
    size_t pending = layerExts().size();
    bool begun = false;
    for (size_t k = 0; k < layerExts().size(); ++k) {
        if (!listed[k])
            continue;
        const bool L = isFile(n.layer[k]), F = isFile(fresh[k]), O = isFile(old[k]);
        if (pending == layerExts().size()) {
            if (!F && O && L) {
                begun = true; // swapped
                continue;
            }
            if (F && O && !L)
                begun = true; // set aside, the new one not yet in place
            else if (!(F && !O && L))
                return false;
            pending = k;
        } else if (!(F && !O && L)) {
            return false;
        }
    }
    if (!begun || pending == layerExts().size())
        return false;
    QStringList kept;
    for (size_t k = pending; k < layerExts().size(); ++k) {
        if (!listed[k])
            continue;
        if (isFile(n.layer[k])) {
            out.acted = true;
            out.ok = ops.renameFile(n.layer[k], old[k]) && out.ok;
        }
        out.acted = true;
        out.ok = out.ok && ops.renameFile(fresh[k], n.target[k]);
    }
    if (!out.ok)
        return true;
    for (size_t k = 0; k < layerExts().size(); ++k)
        if (listed[k] && isFile(old[k]))
            kept << QDir::toNativeSeparators(old[k]);
    out.ok = ops.removeFile(n.swap) && ops.removeFile(n.done);
    out.messages << QStringLiteral("Сохранение слоя ") + QDir::toNativeSeparators(n.target[0]) +
                        QStringLiteral(", прерванное прежней версией программы, завершено. Прежние файлы слоя "
                                       "оставлены рядом с ним: ") +
                        kept.join(QStringLiteral(", ")) + u'.';
    return true;
}

QStringList MapDataCore::RecoverLayerSave(const QString &fileName)
{
    return recoverLayerSave(fileName, fileOps()).messages;
}
