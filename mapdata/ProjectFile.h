#pragma once
// The project file (".tvp"): the value forms, the keys of a layer block with
// its legend and label blocks, and the names the writer and reader work with.
// The map window (FTolvaneProject.cpp) writes and reads the whole file with
// these; the top-level keys belong to the window's own controls.
//
// The text is Windows-1251 with CR LF line ends, one "key=value" pair per
// line. The reader splits a line at its first "=", trims blanks and control
// characters from both sides and compares keys case-sensitively.

#include "mapdata/MapTypes.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <stdexcept>

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
// Read tolerantly and rounded; an empty or malformed number gives 0.
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
// after that line.
qsizetype readLayerBlock(const QStringList &lines, qsizetype pos, TMapLayer &layer);

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

} // namespace projectfile
