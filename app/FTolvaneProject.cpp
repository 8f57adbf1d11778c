// The project file: reading and writing ".tvp" files, the project commands.

#include "app/FTolvane.h"

#include "app/CommandErrors.h"
#include "app/LayerListRows.h"
#include "mapdata/ProjectFile.h"
#include "mapdata/BinaryFile.h"
#include "mapdata/MapFunctions.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>

#include <algorithm>

#include <unistd.h>

using projectfile::ProjectFileError;

namespace {

const QString ProgramVersion = QStringLiteral("2.2.0.2");

QString productKey(const TMapVyk &map)
{
    return QStringLiteral("\\SOFTWARE\\") + map.FRegistryKey;
}

// The panel switches of the map control, as the file names them.
struct PanelSwitch {
    const char *key;
    bool TMapVyk::*field;
};
const PanelSwitch PanelSwitches[] = {
    {"ZoomPanel", &TMapVyk::ZoomPanel},     {"PickPanel", &TMapVyk::PickPanel},
    {"SelectPanel", &TMapVyk::SelectPanel}, {"PointPanel", &TMapVyk::PointPanel},
    {"MarkPanel", &TMapVyk::MarkPanel},     {"TextPanel", &TMapVyk::TextPanel},
    {"SymbolPanel", &TMapVyk::SymbolPanel}, {"MapPanel", &TMapVyk::MapPanel},
    {"InformPanel", &TMapVyk::InformPanel}, {"ShowMarks", &TMapVyk::ShowMarks},
    {"ShowNamePoints", &TMapVyk::ShowNamePoints},
};

// The checked menu items the file keeps, in writing order.
struct MenuSwitch {
    const char *key;
    QAction *TTolvane::*item;
};
const MenuSwitch MenuSwitches[] = {
    {"SnapPoint", &TTolvane::nSnapPoint},      {"SnapLine", &TTolvane::nSnapLine},
    {"PointAutoIns", &TTolvane::nPointIns},    {"PointAutoDel", &TTolvane::nPointDel},
    {"ShowVykAll", &TTolvane::nShowAll},       {"ShowVykMark", &TTolvane::nShowMark},
    {"ShowVykActive", &TTolvane::nShowActive}, {"ShowVykPassive", &TTolvane::nShowPassive},
    {"ShowVykDelete", &TTolvane::nShowDelete}, {"ShowVykOther", &TTolvane::nShowOther},
};

// The work files of the standard cadastral layers: ".Ado" in the program
// folder, ".Lbl" in the work folder.
const char *const WorkFileBases[] = {"VykBlock", "VykPolygons", "VykPlan",   "VykAgro",    "VykServ",
                                     "VykLim",   "VykLease",    "Estarea",   "Estzone",    "Estagro",
                                     "Estlocpnt", "Estlocline", "Estlocpoly"};

void deleteFound(const QString &name)
{
    const QString found = platform::findExistingPath(name);
    if (!found.isEmpty() && QFileInfo(found).isFile())
        QFile::remove(found);
}

// Companions of a layer's three files that belong to it: the label files and
// the description of its table.
const char *const CompanionExts[] = {"Lbl", "Shl", "dfn"};

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

} // namespace

// ---------------------------------------------------------------------------
// Writing

void TTolvane::WriteProject(const QString &path)
{
    TMapVyk &map = *MapImage;
    SaveEditedLayers();

    const QString backup = platform::resolvePath(projectfile::backupName(path));
    const QString temp = platform::resolvePath(projectfile::tempName(path));
    QFile file(temp);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ProjectFileError(QStringLiteral("Невозможно создать файл ") + temp);
    auto put = [&](const QStringList &lines) {
        const QByteArray bytes = projectfile::encodeLines(lines);
        if (file.write(bytes) != bytes.size())
            throw ProjectFileError(QStringLiteral("Ошибка записи файла ") + temp);
    };

    QStringList head;
    head << QStringLiteral("!Tolvane v.") + (map.FVersion.isEmpty() ? ProgramVersion : map.FVersion) << QString();
    for (const PanelSwitch &s : PanelSwitches)
        head << QLatin1String(s.key) + u'=' + projectfile::boolText(map.*s.field);
    head << QStringLiteral("X=") + projectfile::realText(map.FCenterX)
         << QStringLiteral("Y=") + projectfile::realText(map.FCenterY)
         << QStringLiteral("Scale=") +
                (map.FScale == 0 ? QStringLiteral("0") : projectfile::realText(map.ScaleToDenominator(map.FScale)));
    for (const MenuSwitch &s : MenuSwitches)
        head << QLatin1String(s.key) + u'=' + projectfile::boolText((this->*s.item)->isChecked());
    const int rows = ListLayers->topLevelItemCount();
    if (LVLayer->topLevelItemCount() > 0) {
        // The blocks are numbered by row, and the reader makes block n the
        // layer n - 1: the active layer is written as its row.
        int row = app::findLayerRow(ListLayers, ShownLayerIndex());
        if (row < 0)
            row = app::findLayerRow(ListLayers, map.FProject.ActiveLayer);
        if (row < 0)
            row = rows - 1;
        head << QStringLiteral("ActiveLayer=") + QString::number(row);
    }
    head << QStringLiteral("LayersCount=") + QString::number(rows);
    put(head);

    for (int row = 0; row < rows; ++row) {
        const int index = ListLayerIndex(row);
        if (!ValidLayer(index))
            continue;
        QStringList block;
        projectfile::writeLayerBlock(block, map.FProject.Layers[static_cast<size_t>(index)], row + 1);
        put(block);
        map.RenumberLayerRows(index);
        if (map.FProject.Layers[static_cast<size_t>(index)].ObjectsDeleted)
            map.PackLayerTable(index);
    }

    // The new text is on the disk before the old file gives way.
    if (!file.flush() || ::fsync(file.handle()) != 0)
        throw ProjectFileError(QStringLiteral("Ошибка записи файла ") + temp);
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw ProjectFileError(QStringLiteral("Ошибка записи файла ") + temp);

    // The old file becomes the backup, the new one takes its name. The
    // backup keeps its name and gets no hidden attribute (see the
    // architecture notes).
    const QString existing = platform::findExistingPath(path);
    const QString target = existing.isEmpty() ? platform::resolvePath(path) : existing;
    if (!existing.isEmpty()) {
        deleteFound(backup);
        if (!QFile::rename(existing, backup))
            throw ProjectFileError(QStringLiteral("Невозможно переименовать файл ") + existing);
    }
    if (!QFile::rename(temp, target)) {
        // The project must not stay missing: the old file comes back.
        if (!existing.isEmpty())
            QFile::rename(backup, existing);
        throw ProjectFileError(QStringLiteral("Невозможно переименовать файл ") + temp);
    }
}

// ---------------------------------------------------------------------------
// Reading

bool TTolvane::ReadProject(const QString &path)
{
    TMapVyk &map = *MapImage;
    // A missing project changes nothing, not even its data folder.
    const QString found = platform::findExistingPath(path.trimmed());
    if (found.isEmpty() || !QFileInfo(found).isFile())
        return false;
    const QString projectPath = QFileInfo(found).absoluteFilePath();

    QString folder = projectfile::dataFolder(projectPath);
    if (const QString dir = platform::findExistingPath(folder); !dir.isEmpty() && QFileInfo(dir).isDir())
        folder = dir;
    else if (!QDir().mkdir(folder))
        throw ProjectFileError(QStringLiteral("Невозможно создать папку") + folder);

    QFile file(projectPath);
    if (!file.open(QIODevice::ReadOnly))
        throw ProjectFileError(QStringLiteral("Невозможно открыть файл ") + projectPath);
    const QByteArray bytes = file.readAll();
    file.close();

    map.FProject.Layers.clear();
    map.FProject.ActiveLayer = 0;
    map.ClearSelection();
    RebuildLayerList(true);
    ShowActiveLayerRow(0);

    // The data folder is also the current folder: relative names of layer
    // files and of projection grids are taken from there.
    QDir::setCurrent(folder);
    map.FWorkDir = folder;
    map.FProjectFile = projectPath;

    auto finish = [&] {
        RebuildLayerList(true);
        ShowActiveLayerRow(map.FProject.ActiveLayer);
        ShowStatusText(0, 0);
    };
    try {
        const QStringList lines = projectfile::decodeLines(bytes);
        const qsizetype blockLines = std::count_if(lines.begin(), lines.end(), [](const QString &l) {
            return MapFunctions::SplitPair(l, QStringLiteral("=")).Key == u"Layer";
        });
        const double total = std::max<qsizetype>(bytes.size(), 1);
        qsizetype consumed = lines.isEmpty() ? 0 : lines[0].size() + 2;
        qsizetype pos = 1; // the header line is not checked
        while (pos < lines.size()) {
            const QString &line = lines[pos++];
            consumed += line.size() + 2;
            const TTxtValues pair = MapFunctions::SplitPair(line, QStringLiteral("="));
            std::vector<TMapLayer> &layers = map.FProject.Layers;
            if (pair.Key == u"Layer") {
                const int n = projectfile::readInt(pair.Value);
                if (n >= 1 && static_cast<size_t>(n) <= layers.size()) {
                    const qsizetype start = pos;
                    TMapLayer &layer = layers[static_cast<size_t>(n - 1)];
                    pos = projectfile::readLayerBlock(lines, pos, layer);
                    for (qsizetype k = start; k < pos; ++k)
                        consumed += lines[k].size() + 2;
                    layer.Number = n - 1;
                    // A layer not found under its name is looked for by its
                    // bare name in the data folder.
                    const QString stored = layer.FileName;
                    const QString asStored = QDir::isAbsolutePath(platform::normalizePath(stored))
                                                 ? stored
                                                 : platform::joinPath(folder, stored);
                    if (!platform::fileExists(asStored)) {
                        const QString bare = platform::extractFileName(stored);
                        if (!bare.isEmpty() && platform::fileExists(platform::joinPath(folder, bare)))
                            layer.FileName = bare;
                    }
                    OpenLayer(layer.FileName, n - 1, false);
                    DrawProgress(consumed / total);
                    continue;
                }
            }
            // At the top level a line holding "X=" or "Y=" anywhere sets the
            // view's centre; every other key is compared whole.
            if (line.contains(QStringLiteral("X="))) {
                map.FCenterX = projectfile::readReal(pair.Value, 1);
            } else if (line.contains(QStringLiteral("Y="))) {
                map.FCenterY = projectfile::readReal(pair.Value, 1);
            } else if (pair.Key == u"Scale") {
                map.FScale = map.DenominatorToScale(projectfile::readReal(pair.Value, 1));
            } else if (pair.Key == u"ActiveLayer") {
                map.FProject.ActiveLayer = projectfile::readInt(pair.Value);
            } else if (pair.Key == u"LayersCount") {
                // A record no block can fill stays empty: the count is held
                // to the blocks the file has, whatever number it states.
                const qsizetype count = std::clamp<qsizetype>(projectfile::readInt(pair.Value), 0, blockLines);
                layers.assign(static_cast<size_t>(count), TMapLayer{});
            } else {
                for (const PanelSwitch &s : PanelSwitches)
                    if (pair.Key == QLatin1String(s.key))
                        map.*s.field = projectfile::readBool(pair.Value);
                for (const MenuSwitch &s : MenuSwitches)
                    if (pair.Key == QLatin1String(s.key))
                        (this->*s.item)->setChecked(projectfile::readBool(pair.Value));
            }
            DrawProgress(consumed / total);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    StoreLastProject();
    setWindowTitle(projectPath);
    return true;
}

void TTolvane::StoreLastProject()
{
    MapFunctions::WriteMachineRegString(productKey(*MapImage), QStringLiteral("LastOpenTvpFile"),
                                        MapImage->FProjectFile);
}

// ---------------------------------------------------------------------------
// Closing, dialogs, copying

void TTolvane::QuerySaveProject(bool askInAutoMode, bool autoMode, bool deleteWorkFiles)
{
    TMapVyk &map = *MapImage;
    bool saved = false;
    if (!map.FProjectFile.isEmpty() || !map.FProject.Layers.empty()) {
        bool save = true;
        if (!autoMode || askInAutoMode)
            save = platform::messageDlg(QStringLiteral("Сохранить проект ") + map.FProjectFile,
                                        platform::MsgType::Confirmation, platform::mbYesNo) == platform::mrYes;
        if (save) {
            // Saving without a question comes from "Сохранить как...": with
            // no project name the save would ask for a name again, so only
            // the layers are saved.
            if (autoMode && map.FProjectFile.isEmpty())
                SaveEditedLayers();
            else
                SaveProject();
            saved = true;
        }
    }
    for (int i = 0; i < static_cast<int>(map.FProject.Layers.size()); ++i)
        map.RestoreLayerBackup(i, saved);
    if (deleteWorkFiles)
        for (const char *base : WorkFileBases) {
            deleteFound(platform::joinPath(map.FProgramDir, QLatin1String(base) + QStringLiteral(".Ado")));
            deleteFound(platform::joinPath(map.FWorkDir, QLatin1String(base) + QStringLiteral(".Lbl")));
        }
}

bool TTolvane::OpenProjectDialog()
{
    platform::FileDialogRequest request = OpenDialog;
    request.kind = platform::FileDialogRequest::Open;
    request.title = QStringLiteral("Открыть Tolvane проект");
    request.filter = QStringLiteral("Tolvane projects (*.tvp)|*.tvp");
    request.defaultExt = QStringLiteral("tvp");
    request.initialDir = MapImage->FProgramDir;
    request.fileName.clear();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty())
        return false;
    const QString name = answer.files.first();
    if (!platform::fileExists(name) || platform::ansiUpperCase(name.trimmed()).right(3) != u"TVP")
        return false;
    return ReadProject(name);
}

void TTolvane::SaveProjectAs()
{
    TMapVyk &map = *MapImage;
    platform::FileDialogRequest request = SaveDialog;
    request.kind = platform::FileDialogRequest::Save;
    request.title = QStringLiteral("Сохранить Tolvane проект");
    request.filter = QStringLiteral("Tolvane projects (*.tvp)|*.tvp");
    request.defaultExt = QStringLiteral("tvp");
    request.initialDir = map.FProgramDir;
    request.fileName.clear();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty())
        return;
    QString name = answer.files.first().trimmed();
    // A name typed without the extension gets it: only ".tvp" files open
    // as projects.
    if (platform::ansiUpperCase(name).right(4) != u".TVP")
        name += QStringLiteral(".tvp");
    if (platform::fileExists(name) &&
        platform::messageDlg(QStringLiteral("Проект ") + name + QStringLiteral(" уже существует, перезаписать ?"),
                             platform::MsgType::Warning, platform::mbYesNo) != platform::mrYes)
        return;
    QuerySaveProject(false, true, false);
    CopyProjectLayers(map.FWorkDir, name);
    WriteProject(name);
    ReadProject(name);
}

void TTolvane::CopyProjectLayers(const QString &sourceFolder, const QString &projectPath)
{
    TMapVyk &map = *MapImage;
    QString path = projectPath;
    if (!path.isEmpty() && platform::isPathSeparator(path.back()))
        path.chop(1);
    QString folder = projectfile::dataFolder(path);
    if (const QString dir = platform::findExistingPath(folder); !dir.isEmpty() && QFileInfo(dir).isDir())
        folder = dir;
    else if (!QDir().mkdir(folder))
        throw ProjectFileError(QStringLiteral("Невозможно создать папку") + folder);
    if (!QFileInfo(folder).isDir())
        return;

    for (int row = 0; row < ListLayers->topLevelItemCount(); ++row) {
        const int index = ListLayerIndex(row);
        if (!ValidLayer(index))
            continue;
        const QString fileName = map.FProject.Layers[static_cast<size_t>(index)].FileName;
        // Layers given with a folder stay where they are.
        if (fileName.isEmpty() || platform::lastSeparator(fileName) >= 0)
            continue;
        const QString source = platform::findExistingPath(platform::joinPath(sourceFolder, fileName));
        const QString target = platform::joinPath(folder, fileName);
        if (source.isEmpty() || sameFile(source, platform::resolvePath(target)))
            continue;
        if (platform::fileExists(target) &&
            platform::messageDlg(QStringLiteral("Слой ") + target + QStringLiteral(" уже существует, перезаписать ?"),
                                 platform::MsgType::Warning, platform::mbYesNo) != platform::mrYes)
            continue;
        // The files keep their names as the disk spells them; the label files
        // and the table description go with the layer.
        QString files[3];
        map.GetLayerFileNames(source, QString(), files[0], files[1], files[2]);
        QStringList names(std::begin(files), std::end(files));
        const QString base = platform::changeFileExt(source, u"");
        for (const char *ext : CompanionExts)
            names << base + u'.' + QLatin1String(ext);
        for (const QString &name : names) {
            const QString f = platform::findExistingPath(name);
            if (!f.isEmpty() && QFileInfo(f).isFile())
                mapdata::copyFileOverwrite(f, platform::resolvePath(
                                                  platform::joinPath(folder, platform::extractFileName(f))));
        }
    }
}

void TTolvane::ClearProject()
{
    TMapVyk &map = *MapImage;
    map.FProject.Layers.clear();
    map.FProject.ActiveLayer = 0;
    map.ClearSelection();
    map.FProjectFile.clear();
    map.FWorkDir = MapFunctions::ReadMachineRegString(productKey(map), QStringLiteral("TempDir"), QString());
    // As at creation: no work folder set means the current folder.
    if (map.FWorkDir.isEmpty())
        map.FWorkDir = QDir::currentPath();
    setWindowTitle(QStringLiteral("NoName.tvp"));
    RebuildLayerList(true);
    ShowActiveLayerRow(0);
}

// ---------------------------------------------------------------------------
// Commands

void TTolvane::SaveProject()
{
    if (!MapImage->FProjectFile.isEmpty())
        WriteProject(MapImage->FProjectFile);
    else
        SaveProjectAs();
}

void TTolvane::nFileNewClick()
{
    app::runCommand([this] {
        QuerySaveProject(false, false, false);
        ClearProject();
        MapImage->ResetPicture();
        RedrawMap();
        SaveProjectAs();
    });
}

void TTolvane::nFileOpenClick()
{
    app::runCommand([this] {
        TMapVyk &map = *MapImage;
        const bool hadProject = !map.FProjectFile.isEmpty() || !map.FProject.Layers.empty();
        QuerySaveProject(false, false, false);
        if (OpenProjectDialog()) {
            RebuildLayerList(true);
            if (!map.FProject.Layers.empty())
                ShowActiveLayerRow(map.FProject.ActiveLayer);
            map.ResetPicture();
            ShowStatusText(0, 0);
            RedrawMap();
        } else if (hadProject) {
            // The layers of the previous project are closed (their files
            // restored unless saved): they must not stay in the table.
            ClearProject();
            RedrawMap();
        }
    });
}

void TTolvane::nFileSaveClick()
{
    app::runCommand([this] { SaveProject(); });
}

void TTolvane::nFileSaveAsClick()
{
    if (app::runCommand([this] { SaveProjectAs(); }))
        RedrawMap();
}

void TTolvane::tbOpenProjectClick()
{
    EnsureMapWindow()->nFileOpenClick();
}

void TTolvane::tbSaveProjectClick()
{
    nFileSaveClick();
}
