#pragma once
// The raster sheets that could not be drawn. A damaged picture must not
// blank the rest of the map, and must not ask for the user's attention on
// every redraw either: its failure is told once, naming the file, and told
// again only when the file has changed since (or was drawn in between).

#include <QString>
#include <QStringList>

#include <map>

namespace raster {

class SheetFaults {
public:
    // Drawing `file` failed with the reader's `message`: the text for the
    // user, naming the file by its full path, is queued unless that message
    // was told for the file as it is now.
    void failed(const QString &file, const QString &message);
    // `file` was drawn: a later failure is told again.
    void drawn(const QString &file);
    // The texts queued since the last call, in the order of the failures.
    QStringList take();
    // What the user is told: the reader's message with the file's name.
    static QString text(const QString &file, const QString &message);

private:
    // The file as it was when its failure was told.
    struct Told {
        qint64 size = -1;
        qint64 modified = 0;
        QString message;
        bool operator==(const Told &) const = default;
    };
    static Told stampOf(const QString &file, const QString &message);
    std::map<QString, Told> told_;
    QStringList queued_;
};

} // namespace raster
