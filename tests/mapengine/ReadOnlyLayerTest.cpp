// A layer opened read-only (damaged files, a table that does not fit, no
// snapshots) is refused by every writer as a layer of read-only files is:
// nothing reaches its files, the journal or its object table. The same
// writer on the layer opened as usual does change it.

#include "EditingFixtures.h"

#include "platform/gdi/Clipboard.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using edittest::Project;
using fixtures::Box;

namespace {

struct Writer {
    const char *name;
    std::function<void(Project &, int layer, int other)> run;
    // What comes before the writer (and is not its doing).
    std::function<void(Project &, int layer)> prepare = nullptr;
};

// Everything a writer may change: the files, the journal's position, the
// layer's flags and its object table.
struct State {
    std::map<QString, QByteArray> files;
    QString table;
    bool operator==(const State &) const = default;
};

State stateOf(Project &p, int l)
{
    State s{editfix::folderState(p.dir.path()), QString::number(p.map.JournalPos())};
    const TMapLayer &L = p.layer(l);
    s.table += QStringLiteral(" %1%2%3").arg(L.ObjectsModified).arg(L.ObjectsAppended).arg(L.ObjectsDeleted);
    for (const TMapObject &o : L.Objects)
        s.table += QStringLiteral(" %1/%2/%3/%4%5%6%7")
                       .arg(o.ShpOffset)
                       .arg(o.ShpLength)
                       .arg(o.JrnOffset)
                       .arg(o.Modified)
                       .arg(o.Deleted)
                       .arg(o.Appended)
                       .arg(o.Shown);
    return s;
}

// The map point of a pixel of the 800 × 400 control.
QPoint pixel(Project &p, double x, double y) { return p.map.MapToLogical(x, y); }

void setFigure(Project &p)
{
    p.map.NewObject().clearFigure();
    for (auto [x, y] : {std::pair{40.0, 40.0}, {60, 40}, {60, 60}}) {
        TNewPoint pt;
        pt.Point.X = x;
        pt.Point.Y = y;
        p.map.NewObject().Points.push_back(pt);
    }
}

} // namespace

TEST(ReadOnlyLayer, EveryWriterRefusesIt)
{
    const QByteArray square = fixtures::polyContent(5, Box{10, 10, 20, 20}, {0}, {{10, 10}, {10, 20}, {20, 20}, {10, 10}});
    const QByteArray line = fixtures::polyContent(5, Box{30, 10, 35, 20}, {0}, {{30, 10}, {30, 20}, {35, 20}, {30, 10}});
    const Writer writers[] = {
        {"commit", [](Project &p, int l, int) { setFigure(p); p.map.CommitNewObject(l, true, true); }},
        {"paste",
         [](Project &p, int l, int other) {
             p.select(other, 0);
             p.map.CopyObjectsToClipboard();
             p.map.PasteObjects(l);
         }},
        {"copy into it",
         [](Project &p, int l, int other) {
             TSelObject entry;
             p.map.MoveObjectRecord(l, other, 0, 5, 5, entry);
         }},
        {"delete", [](Project &p, int l, int) { p.select(l, 0); p.map.DeleteSelection(); }},
        {"reverse", [](Project &p, int l, int) { p.select(l, 0); p.map.ReverseSelection(); }},
        {"style", [](Project &p, int l, int) { p.select(l, 0); p.map.ApplyStyleToSelection({0, 1}); }},
        {"drag",
         [](Project &p, int l, int) {
             p.select(l, 0);
             const QPoint from = pixel(p, 20, 20), to = pixel(p, 30, 25);
             p.map.Drag().PressX = from.x();
             p.map.Drag().PressY = from.y();
             p.map.DragTransformSelection(to.x(), to.y(), 5);
         }},
        {"vertex insert", [](Project &p, int l, int) { p.map.InsertVertex(l, 0, 1, 15, 25); }},
        {"vertex delete", [](Project &p, int l, int) { p.map.DeleteVertex(l, 0, 1); }},
        {"vertex move", [](Project &p, int l, int) { p.select(l, 0, 1); p.map.MoveVertex(TMapPoint{12, 22, 0}, Qt::NoModifier); }},
        {"track point", [](Project &p, int l, int) { p.map.AppendTrackPoint(l, 0, QString(), 25, 25, 0); }},
        {"save", [](Project &p, int l, int) { p.map.SaveLayer(l); },
         [](Project &p, int l) { p.layer(l).ObjectsModified = true; }},
        {"recalculation", [](Project &p, int l, int) { p.map.RecalcLayer(l); },
         [](Project &p, int l) { p.layer(l).Objects[0].ShpOffset = 0; }},
    };
    for (const Writer &w : writers) {
        SCOPED_TRACE(w.name);
        for (const bool readOnly : {true, false}) {
            Project p;
            platform::MemoryClipboard clipboard;
            platform::ScopedService<platform::TextClipboard> clipboardGuard{clipboard};
            const int l = p.addLayer(QStringLiteral("parcels"), 5, Box{10, 10, 20, 20}, {square},
                                     editfix::templateDbf({editfix::row("1", "20240101", "A", "1")}));
            const int other = p.addLayer(QStringLiteral("other"), 5, Box{30, 10, 35, 20}, {line},
                                         editfix::templateDbf({editfix::row("1", "20240101", "B", "2")}));
            p.layer(l).ReadOnly = readOnly;
            if (w.prepare)
                w.prepare(p, l);
            const State before = stateOf(p, l);
            w.run(p, l, other);
            EXPECT_EQ(stateOf(p, l) == before, readOnly) << (readOnly ? "read-only" : "writable");
        }
    }
}
