// The project commands; the file itself is read and written by
// mapdata/ProjectFile through the map window's ProjectHost.

#include "app/FTolvane.h"

#include "app/CommandErrors.h"
#include "app/LayerListRows.h"
#include "mapdata/ProjectFile.h"
#include "mapdata/BinaryFile.h"
#include "mapdata/LayerFiles.h"
#include "mapdata/MapFunctions.h"
#include "mapengine/ProjectView.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>

#include <iterator>

using projectfile::ProjectFileError;

namespace {

QString productKey(const TMapVyk &map)
{
    return QStringLiteral("\\SOFTWARE\\") + map.Settings().RegistryKey;
}

// The checked menu items the file keeps, in the order of its keys
// (projectfile::MenuSwitchKeys).
QAction *TTolvane::*const MenuItems[] = {
    &TTolvane::nSnapPoint, &TTolvane::nSnapLine,   &TTolvane::nPointIns,     &TTolvane::nPointDel,
    &TTolvane::nShowAll,   &TTolvane::nShowMark,   &TTolvane::nShowActive,   &TTolvane::nShowPassive,
    &TTolvane::nShowDelete, &TTolvane::nShowOther,
};
static_assert(std::size(MenuItems) == std::size(projectfile::MenuSwitchKeys));

// What the project file needs of the map window: its view and switches, the
// rows of its layer list, opening a layer and showing the progress.
class WindowProjectHost : public projectfile::ProjectHost {
public:
    explicit WindowProjectHost(TTolvane &window) : w_(window) {}

    void saveEditedLayers() override { w_.SaveEditedLayers(); }
    projectfile::ProjectView projectView() override
    {
        projectfile::ProjectView view = mapengine::projectViewOf(*w_.MapImage);
        for (size_t i = 0; i < std::size(MenuItems); ++i)
            view.Switches[QLatin1String(projectfile::MenuSwitchKeys[i])] = (w_.*MenuItems[i])->isChecked();
        return view;
    }
    std::vector<int> layerRows() override
    {
        std::vector<int> rows;
        for (int row = 0; row < w_.ListLayers->topLevelItemCount(); ++row)
            rows.push_back(w_.ListLayerIndex(row));
        return rows;
    }
    std::optional<int> activeRow() override
    {
        if (w_.LVLayer->topLevelItemCount() == 0)
            return std::nullopt;
        // The blocks are numbered by row, and the reader makes block n the
        // layer n - 1: the active layer is written as its row.
        int row = app::findLayerRow(w_.ListLayers, w_.ShownLayerIndex());
        if (row < 0)
            row = app::findLayerRow(w_.ListLayers, w_.MapImage->Project().ActiveLayer);
        if (row < 0)
            row = w_.ListLayers->topLevelItemCount() - 1;
        return row;
    }

    void readingStarted() override
    {
        w_.MapImage->ClearSelection();
        w_.RebuildLayerList(true);
        w_.ShowActiveLayerRow(0);
    }
    void applyProjectView(const projectfile::ProjectView &view) override
    {
        mapengine::applyProjectView(*w_.MapImage, view);
        for (size_t i = 0; i < std::size(MenuItems); ++i)
            if (const auto it = view.Switches.find(QLatin1String(projectfile::MenuSwitchKeys[i]));
                it != view.Switches.end())
                (w_.*MenuItems[i])->setChecked(it->second);
    }
    void openLayer(const QString &fileName, int index) override { w_.OpenLayer(fileName, index, false); }
    void readingProgress(double fraction) override { w_.DrawProgress(fraction); }
    void readingEnded() override
    {
        w_.RebuildLayerList(true);
        w_.ShowActiveLayerRow(w_.MapImage->Project().ActiveLayer);
        w_.ShowStatusText(0, 0);
    }

private:
    TTolvane &w_;
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
    WindowProjectHost host(*this);
    projectfile::writeProject(*MapImage, path, host);
}

// ---------------------------------------------------------------------------
// Reading

bool TTolvane::ReadProject(const QString &path)
{
    WindowProjectHost host(*this);
    if (!projectfile::readProject(*MapImage, path, host))
        return false;
    StoreLastProject();
    setWindowTitle(MapImage->ProjectFile());
    return true;
}

void TTolvane::StoreLastProject()
{
    MapFunctions::WriteMachineRegString(productKey(*MapImage), QStringLiteral("LastOpenTvpFile"),
                                        MapImage->ProjectFile());
}

// ---------------------------------------------------------------------------
// Closing, dialogs, copying

void TTolvane::QuerySaveProject(bool askInAutoMode, bool autoMode, bool deleteWorkFiles)
{
    CloseProjectLayers(AskSaveProject(askInAutoMode, autoMode), deleteWorkFiles);
}

bool TTolvane::AskSaveProject(bool askInAutoMode, bool autoMode)
{
    TMapVyk &map = *MapImage;
    if (map.ProjectFile().isEmpty() && map.Project().Layers.empty())
        return false;
    if ((!autoMode || askInAutoMode) &&
        platform::messageDlg(QStringLiteral("Сохранить проект ") + map.ProjectFile(), platform::MsgType::Confirmation,
                             platform::mbYesNo) != platform::mrYes)
        return false;
    // Saving without a question comes from "Сохранить как...": with no
    // project name the save would ask for a name again, so only the layers
    // are saved.
    if (autoMode && map.ProjectFile().isEmpty())
        SaveEditedLayers();
    else
        SaveProject();
    return true;
}

void TTolvane::CloseProjectLayers(bool saved, bool deleteWorkFiles)
{
    TMapVyk &map = *MapImage;
    for (int i = 0; i < static_cast<int>(map.Project().Layers.size()); ++i)
        map.RestoreLayerBackup(i, saved);
    if (deleteWorkFiles)
        for (const char *base : WorkFileBases) {
            deleteFound(platform::joinPath(map.ProgramDir(), QLatin1String(base) + QStringLiteral(".Ado")));
            deleteFound(platform::joinPath(map.WorkDir(), QLatin1String(base) + QStringLiteral(".Lbl")));
        }
}

bool TTolvane::OpenProjectDialog()
{
    const QString name = AskProjectFile();
    return !name.isEmpty() && ReadProject(name);
}

QString TTolvane::AskProjectFile()
{
    platform::FileDialogRequest request = OpenDialog;
    request.kind = platform::FileDialogRequest::Open;
    request.title = QStringLiteral("Открыть Tolvane проект");
    request.filter = QStringLiteral("Tolvane projects (*.tvp)|*.tvp");
    request.defaultExt = QStringLiteral("tvp");
    request.initialDir = MapImage->ProgramDir();
    request.fileName.clear();
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted || answer.files.isEmpty())
        return {};
    const QString name = answer.files.first();
    if (!platform::fileExists(name) || platform::ansiUpperCase(name.trimmed()).right(3) != u"TVP")
        return {};
    return name;
}

void TTolvane::SaveProjectAs()
{
    TMapVyk &map = *MapImage;
    platform::FileDialogRequest request = SaveDialog;
    request.kind = platform::FileDialogRequest::Save;
    request.title = QStringLiteral("Сохранить Tolvane проект");
    request.filter = QStringLiteral("Tolvane projects (*.tvp)|*.tvp");
    request.defaultExt = QStringLiteral("tvp");
    request.initialDir = map.ProgramDir();
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
    CopyProjectLayers(map.WorkDir(), name);
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
        const QString fileName = map.Project().Layers[static_cast<size_t>(index)].FileName;
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
        const QString base = mapdata::layerfiles::baseName(source);
        for (const char *ext : mapdata::layerfiles::CompanionExts)
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
    map.Project().Layers.clear();
    map.Project().ActiveLayer = 0;
    map.ClearSelection();
    map.SetProjectFile(QString());
    map.SetWorkDir(MapFunctions::ReadMachineRegString(productKey(map), QStringLiteral("TempDir"), QString()));
    // As at creation: no work folder set means the current folder.
    if (map.WorkDir().isEmpty())
        map.SetWorkDir(QDir::currentPath());
    setWindowTitle(QStringLiteral("NoName.tvp"));
    RebuildLayerList(true);
    ShowActiveLayerRow(0);
}

// ---------------------------------------------------------------------------
// Commands

void TTolvane::SaveProject()
{
    if (!MapImage->ProjectFile().isEmpty())
        WriteProject(MapImage->ProjectFile());
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
        const bool hadProject = !map.ProjectFile().isEmpty() || !map.Project().Layers.empty();
        const bool saved = AskSaveProject(false, false);
        // The open project's layers close only for a file that is a project:
        // one that is not is refused with the project still open.
        const QString name = AskProjectFile();
        if (!name.isEmpty())
            projectfile::checkProjectFile(name);
        CloseProjectLayers(saved, false);
        if (!name.isEmpty() && ReadProject(name)) {
            RebuildLayerList(true);
            if (!map.Project().Layers.empty())
                ShowActiveLayerRow(map.Project().ActiveLayer);
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
