#pragma once
// The project file (".tvp"): the value forms, the keys of a layer block with
// its legend and label blocks, the names the writer and reader work with, and
// the writer and reader of the whole file. They need no window: what they need
// of the project's viewer (its view and switches, the layer list, opening a
// layer) goes through a ProjectHost, which the map window implements
// (FTolvaneProject.cpp) and so can a program that draws a project.
//
// The text is Windows-1251 with CR LF line ends, one "key=value" pair per
// line. The reader splits a line at its first "=", trims blanks and control
// characters from both sides and compares keys case-sensitively.

#include "mapdata/MapTypes.h"

#include <QByteArray>

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

class MapDataCore;

namespace projectfile {

// An error of reading or writing a project; the command that called shows
// its message. what() is UTF-8.
class ProjectFileError : public std::runtime_error {
public:
    explicit ProjectFileError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// ---- value forms ----

// "True" or "False".
QString boolText(bool value);
// True for "True" and "1", false for anything else.
bool readBool(const QString &value);
// The general float text (15 significant digits, the current decimal
// separator).
QString realText(double value);
// Read with either separator; an empty or malformed number gives the default.
double readReal(const QString &value, double defaultValue = 0);
// Read tolerantly and rounded; an empty or malformed number, and one beyond
// the 32-bit range, gives 0.
std::int32_t readInt(const QString &value);
// A text field of at most 255 characters keeps its first 255.
QString readShort(const QString &value);

// ---- layer blocks ----

// The lines of the block of one layer: an empty line, "Layer=" + number, "{",
// the layer keys indented by three blanks, the legend block when the layer
// has legend entries, the label block when it has labels (removed labels are
// left out and the others numbered without gaps), "}".
void writeLayerBlock(QStringList &lines, const TMapLayer &layer, int number);

// Applies one key of a layer block to the layer; false for a key the block
// does not know (skipped). "Number" is not applied: the reader numbers the
// layer by its block. "Legend", "Label" and "Lable" open nested blocks and
// are handled by readLayerBlock.
bool applyLayerKey(TMapLayer &layer, const QString &key, const QString &value);
bool applyLegendKey(TLegend &legend, const QString &key, const QString &value);
bool applyLabelKey(TMapLabel &label, const QString &key, const QString &value);

// Reads the lines of a layer block that follow its "Layer=" line, from `pos`
// up to the first line that contains "}" (or the end of the lines): the keys
// of the layer and its nested legend and label blocks. Returns the position
// after that line; closed (when given) tells whether the block had its "}"
// or was cut short by the end of the lines.
qsizetype readLayerBlock(const QStringList &lines, qsizetype pos, TMapLayer &layer, bool *closed = nullptr);

// ---- names ----

// The data folder of a project: its folder followed by its file name up to
// the first ".".
QString dataFolder(const QString &projectPath);
// The backup of a project: its name with the extension of the file name
// replaced by ".bak" (a dot in a folder name is no extension).
QString backupName(const QString &projectPath);
// The name a project is written under before it replaces the file.
QString tempName(const QString &projectPath);

// The whole text as the file holds it: Windows-1251, CR LF after every line.
QByteArray encodeLines(const QStringList &lines);
// The lines of a file's bytes (CR LF, LF or CR).
QStringList decodeLines(const QByteArray &bytes);

// ---- the whole file ----

// The version written in the header when the core names none.
inline constexpr char16_t ProgramVersion[] = u"2.2.0.2";

// The top-level switches, as the file names them, in writing order: the map
// control's panel switches (written before the view) and the checked menu
// items of the map window (after it).
inline constexpr const char *PanelSwitchKeys[] = {
    "ZoomPanel", "PickPanel", "SelectPanel", "PointPanel", "MarkPanel",      "TextPanel",
    "SymbolPanel", "MapPanel", "InformPanel", "ShowMarks", "ShowNamePoints",
};
inline constexpr const char *MenuSwitchKeys[] = {
    "SnapPoint",   "SnapLine",    "PointAutoIns",   "PointAutoDel",   "ShowVykAll",
    "ShowVykMark", "ShowVykActive", "ShowVykPassive", "ShowVykDelete", "ShowVykOther",
};

// The top level of a project beside its layers: the view's centre and scale
// (the scale denominator; 0 for none) and the switches by key. The writer
// takes every value; a line read gives the one value it holds.
struct ProjectView {
    std::optional<double> CenterX, CenterY, Scale;
    std::map<QString, bool> Switches;
};

// What the writer and the reader need of the project's viewer.
class ProjectHost {
public:
    virtual ~ProjectHost() = default;

    // ---- writing ----
    // Saves the modified layers; called before the file is written.
    virtual void saveEditedLayers() {}
    // The view and every switch.
    virtual ProjectView projectView() = 0;
    // The layer-table index of each row of the layer list, in order: the
    // layers written, in that order (a row whose index lies outside the table
    // is passed over).
    virtual std::vector<int> layerRows() = 0;
    // The row written as "ActiveLayer"; none writes no such line.
    virtual std::optional<int> activeRow() = 0;

    // ---- reading ----
    // The layer table was emptied for the project being read (the selection
    // and the list of layers go with it).
    virtual void readingStarted() {}
    // A top-level line set a value of the view.
    virtual void applyProjectView(const ProjectView &view) = 0;
    // Opens the layer of a block just read at that table index.
    virtual void openLayer(const QString &fileName, int index) = 0;
    // The part of the file read so far, 0 to 1.
    virtual void readingProgress(double) {}
    // The reading ended, by the end of the file or by an error: the list of
    // layers shows the layers read so far.
    virtual void readingEnded() {}
};

// Writes the project under path: the modified layers are saved, the file is
// written whole under tempName(path) and then takes the name, the old file
// becoming backupName(path). After a layer's block is written its attribute
// rows are renumbered and, when objects were deleted, its table packed.
// Raises ProjectFileError (the old file and its backup untouched) when the
// file cannot be written.
void writeProject(MapDataCore &core, const QString &path, ProjectHost &host);

// Reads the project at path (found without regard to case) into the core:
// the layer table is emptied and filled from the blocks, each layer opened
// through the host as its block ends; the data folder becomes the current
// folder and FWorkDir, the path FProjectFile. False, with nothing changed,
// when no file of that name exists. A file that does not begin with the
// header "!Tolvane v." is no project: ProjectFileError, with nothing changed.
// An error while reading goes on to the caller after the host was told the
// reading ended; the layers read so far stay open.
bool readProject(MapDataCore &core, const QString &path, ProjectHost &host);

// Raises the reader's ProjectFileError when the file at path exists but does
// not begin with the project header; a command checks the file it was given
// before it closes the open project.
void checkProjectFile(const QString &path);

} // namespace projectfile
