#pragma once
// The names of a layer's files. A layer is named by its ".Shp" (the
// project's FileName); its index, attribute table, label files and snapshot
// copies take a base of that name with their own extensions. Two rules for
// the base stand side by side, each where the program has always used it,
// and they differ for a file name with more than one dot ("a.b.shp"):
//   baseName      "a.b": the file name part loses its last extension;
//   firstDotBase  "a":   the file name part is cut at its first dot.
// Under both, a dot in a folder's name belongs to the folder.

#include <QString>

#include <array>

namespace mapdata::layerfiles {

// A layer's three files, in the order every reader and writer keeps them:
// records, index, table. In lower case, as they are written: other programs
// find a shapefile's companions only by all-lower or all-upper extensions,
// while our own lookups ignore case.
inline constexpr std::array<const char *, 3> TripleExts = {".shp", ".shx", ".dbf"};
// The files a layer's snapshot copies are taken of, as the copies spell
// them ("roads.Shp.001"): the three files, then the placed labels.
inline constexpr std::array<const char *, 4> SnapshotExts = {"Shp", "Shx", "Dbf", "Lbl"};
// The files beside a layer that belong to it besides the three: the label
// files and the description of its table.
inline constexpr std::array<const char *, 3> CompanionExts = {"Lbl", "Shl", "dfn"};

// The name without the extension of its file name part: "maps/a.b.shp" is
// "maps/a.b", "~/.maps/roads" stays as it is.
QString baseName(const QString &fileName);
// baseName of the trimmed name, in the work folder when the name has no
// folder: the base of a layer's files as the layer store opens them.
QString baseIn(const QString &workDir, const QString &fileName);
// The name with its file name part cut at the first dot: "maps/a.b.shp" is
// "maps/a".
QString firstDotBase(const QString &fileName);
// The attribute table named after a layer file: baseName + ".Dbf".
QString tableName(const QString &fileName);
// A label file of the layer file (ext ".Lbl", ".Shl", ".Lbt"): firstDotBase
// of the trimmed name + ext, in the work folder when the name has no folder.
QString labelFileIn(const QString &workDir, const QString &fileName, const QString &ext);

} // namespace mapdata::layerfiles
