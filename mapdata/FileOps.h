#pragma once
// The file operations that change layer files and the edit journal, one call
// per step. Writers go through an instance of this class so that a test can
// make any step fail (a full disk, a read-only folder) or stop the run at any
// step, as a killed process would.

#include <QByteArray>
#include <QString>

namespace mapdata {

class FileOps {
public:
    virtual ~FileOps() = default;

    // Creates or replaces the file with the bytes, flushed to disk.
    virtual bool writeFile(const QString &path, const QByteArray &bytes);
    // Writes the bytes at a position of an existing file, extending it when
    // they reach past its end.
    virtual bool writeAt(const QString &path, qint64 pos, const QByteArray &bytes);
    // Cuts an existing file to the size.
    virtual bool truncate(const QString &path, qint64 size);
    // Copies a file onto another, replacing it.
    virtual bool copyFile(const QString &from, const QString &to);
    // Renames a file, replacing a file of the new name.
    virtual bool renameFile(const QString &from, const QString &to);
    // Deletes a file; true when it is gone (also when it never was there).
    virtual bool removeFile(const QString &path);
    // A step that another engine (the database) carries out on its own
    // files; false when it must not run.
    virtual bool step() { return true; }
};

// The operations on the real file system.
FileOps &defaultFileOps();

} // namespace mapdata
