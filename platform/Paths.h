#pragma once
// File names as the system's files write them: "\" and "/" are both separators,
// and a name may differ in case from the file on disk (".Shp" against "point.shp").

#include <QString>
#include <QStringView>

namespace platform {

inline bool isPathSeparator(QChar c) { return c == u'\\' || c == u'/'; }

// The name with every "\" turned into "/".
QString normalizePath(QStringView path);

// Index of the last separator, or -1.
qsizetype lastSeparator(QStringView path);

// The folder part with its trailing separator ("" when there is none).
QString extractFilePath(QStringView path);
// The part after the last separator.
QString extractFileName(QStringView path);
// The extension of the file name part, with its dot ("" when none); a dot in a
// folder name is not an extension.
QString extractFileExt(QStringView path);
// The name with the extension of its file name part replaced (ext with its dot,
// or empty to remove it).
QString changeFileExt(QStringView path, QStringView ext);
// Joins a folder and a name with one separator between them.
QString joinPath(QStringView folder, QStringView name);
// Removes one trailing separator.
QString excludeTrailingSeparator(QStringView path);

// The path of the existing file or folder that matches the name, comparing each
// component without regard to case where the exact one is missing; empty when
// nothing matches. Separators of either kind are accepted.
QString findExistingPath(QStringView path);
// Whether a file (not a folder) of that name exists in the above sense.
bool fileExists(QStringView path);
bool directoryExists(QStringView path);
// The existing path when there is one, otherwise the normalized name: for
// opening files, and for creating them next to the existing spelling.
QString resolvePath(QStringView path);

// Copies a folder with its subfolders into another (made when missing),
// replacing files of the same names; false when something could not be
// copied.
bool copyFolder(const QString &from, const QString &to);

} // namespace platform
