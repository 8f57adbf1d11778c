#pragma once
// The map window as the search and attribute windows see it, for their
// tests: a map control core with the tests' layers, boxes that locating
// returns, and a record of what was centred, fitted and written to the status.

#include "dialogs/MapWindowHost.h"
#include "mapengine/MapControlCore.h"

#include "db/DbTestSupport.h"
#include "support/ScriptedAnswers.h"

#include <QAbstractItemView>
#include <QFile>
#include <QImage>
#include <QLayout>
#include <QWidget>

#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace dialogtest {

// Scripted answers, kept out of line: inlined into a test body the
// compiler's flow analysis warns about the script's variant.
[[gnu::noinline]] inline void reply(testsupport::ScriptedAnswers &answers, int result)
{
    answers.reply(result);
}
[[gnu::noinline]] inline void openFile(testsupport::ScriptedAnswers &answers, const QString &file)
{
    answers.openFile(file);
}
[[gnu::noinline]] inline void dialog(testsupport::ScriptedAnswers &answers,
                                     const testsupport::ScriptedAnswers::DialogHandler &handler)
{
    answers.dialog(handler);
}

class FakeMapWindow : public dialogs::MapWindowHost {
public:
    FakeMapWindow() : guard_(*this) {}

    MapControlCore *mapControl() override { return &core; }
    int activeLayer() const override { return active; }
    std::vector<int> layerListOrder() const override { return order; }
    TMapExtent LocateObject(int layer, int index, bool select) override
    {
        located.emplace_back(layer, index);
        const auto it = boxes.find({layer, index});
        const TMapExtent box = it == boxes.end() ? TMapExtent{} : it->second;
        if (select) {
            core.ClearSelection();
            core.AppendSelectionEntry(layer, index, box);
            core.RecalcSelectionExtent();
            centred.emplace_back(box.X1 + (box.X2 - box.X1) / 2, box.Y1 + (box.Y2 - box.Y1) / 2);
        }
        return box;
    }
    void CentreAndRedraw(double x, double y) override { centred.emplace_back(x, y); }
    void ZoomToExtent(double x1, double y1, double x2, double y2) override { fitted.push_back({x1, y1, x2, y2}); }
    void RedrawMap() override { ++redraws; }
    void setSearchStatus(const QString &text) override { status = text; }
    bool infoToolDown() const override { return false; }

    // A layer of the work folder.
    int addLayer(const QString &fileName, const QString &name, const QString &object, const QString &street,
                 const QString &house, Byte mapType = 0)
    {
        TMapLayer L;
        L.FileName = fileName;
        L.Name = name;
        L.MapType = mapType;
        L.FieldNameObject = object;
        L.FieldNameStreet = street;
        L.FieldNameHouse = house;
        L.Edited = true;
        core.Project().Layers.push_back(L);
        const int i = static_cast<int>(core.Project().Layers.size()) - 1;
        order.push_back(i);
        return i;
    }

    MapControlCore core;
    int active = 0;
    std::vector<int> order;
    std::map<std::pair<int, int>, TMapExtent> boxes;
    std::vector<std::pair<int, int>> located;
    std::vector<std::pair<double, double>> centred;
    std::vector<TMapExtent> fitted;
    int redraws = 0;
    QString status;

private:
    platform::ScopedService<dialogs::MapWindowHost> guard_;
};

// A window's picture as a person sees it, laid out first.
inline QImage picture(QWidget &window)
{
    if (window.layout())
        window.layout()->activate();
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Where the inside of a child widget (its frame left out), a region of it,
// or the inside of a cell of a list (its grid lines left out) lies in the
// window's picture.
inline QRect placeIn(const QWidget &window, const QWidget &child, QRect area = QRect())
{
    if (area.isNull())
        area = child.rect().adjusted(3, 3, -3, -3);
    return area.translated(child.mapTo(&window, QPoint(0, 0)));
}
inline QRect cellIn(const QWidget &window, const QAbstractItemView &view, const QModelIndex &index)
{
    return placeIn(window, *view.viewport(), view.visualRect(index).adjusted(2, 2, -2, -2));
}

// The pixels of a region that stand out from its background (its commonest
// colour): text drawn there, dark on light or light on a selected row.
inline int inkIn(const QImage &image, const QRect &area)
{
    const QRect inside = area.intersected(image.rect());
    std::map<QRgb, int> colours;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++colours[image.pixel(x, y)];
    QRgb back = 0;
    int most = 0;
    for (const auto &[colour, n] : colours)
        if (n > most) {
            most = n;
            back = colour;
        }
    int ink = 0;
    for (const auto &[colour, n] : colours)
        if (std::abs(qRed(colour) - qRed(back)) + std::abs(qGreen(colour) - qGreen(back))
                + std::abs(qBlue(colour) - qBlue(back))
            > 150)
            ink += n;
    return ink;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// parcels.dbf: ID N(9), NAME C(20), STREET C(30), HOUSE C(10), AREA N(10,2).
inline QByteArray parcelsTable()
{
    using namespace dbtest;
    auto row = [](int id, const char *name, const char *street, const char *house, const char *area) {
        return record({right(QString::number(id), 9), left(u8(name), 20), left(u8(street), 30), left(u8(house), 10),
                       right(u8(area), 10)});
    };
    return dbfFile({{"ID", 'N', 9, 0}, {"NAME", 'C', 20, 0}, {"STREET", 'C', 30, 0}, {"HOUSE", 'C', 10, 0},
                    {"AREA", 'N', 10, 2}},
                   {row(1, "Сад", "Шевченка", "12", "100.50"), row(2, "Город", "Франка", "3", "20.00"),
                    row(3, "Ліс", "ШЕВЧЕНКА", "14", "55.25"), row(4, "Садиба", "вул. Шевченка", "7", "1.00"),
                    row(5, "Поле", "Садова", "14", "300.00")});
}

// houses.dbf: ID N(9), HOUSE C(10).
inline QByteArray housesTable()
{
    using namespace dbtest;
    return dbfFile({{"ID", 'N', 9, 0}, {"HOUSE", 'C', 10, 0}},
                   {record({right(u8("1"), 9), left(u8("14"), 10)}), record({right(u8("2"), 9), left(u8("7"), 10)})});
}

} // namespace dialogtest
