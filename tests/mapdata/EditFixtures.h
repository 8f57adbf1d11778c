#pragma once
// A work folder with layers made from template triples (empty ".shp" and
// ".shx", a table with ID, DATEEDIT, NAME and AREA), built byte by byte as
// the program folder's "Default" templates are, and a map engine stand-in
// that keeps the selection and the scale.

#include "LayerFixtures.h"
#include "db/DbTestSupport.h"

#include "mapdata/MapDataCore.h"
#include "mapdata/MapServices.h"
#include "platform/Environment.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QByteArray>
#include <QString>

#include <QStringList>

#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

namespace editfix {

// Template table fields: ID N(10,0), DATEEDIT D(8), NAME C(20), AREA N(12,2).
std::vector<dbtest::FieldSpec> templateFields();
// A row of the template table.
QByteArray row(const char *id, const char *date, const char *name, const char *area, bool deleted = false);
// The template table with rows; its header date is 2006-03-01.
QByteArray templateDbf(const std::vector<QByteArray> &rows = {}, int yy = 106, int mm = 3, int dd = 1);
// An empty ".shp" or ".shx" of a template: header only, box 0.
QByteArray emptyShape(std::int32_t shapeType);

// The map engine as the core sees it: a fixed scale, a selection kept by
// the rules of the map control, text extents left as stored.
class FakeEngine : public IMapEngineServices {
public:
    double scale = 500;
    TSelObjects selection;
    void LayoutTextObject(const TTextRecord &, double, double, double &, double &, double &, double &) override {}
    double CurrentScaleDenominator() override { return scale; }
    TSelObjects *EngineSelection() override { return &selection; }
    void ClearSelection() override { selection = TSelObjects{}; }
    void RecalcSelectionExtent() override;
};

// The day every test of editing runs on: 15 March 2024, 10:00.
QDateTime testDay();

// A work folder, the core and its engine; layers come from the templates.
struct EditProject {
    testsupport::TempFolder dir;
    MapDataCore core;
    FakeEngine engine;
    platform::ScopedService<platform::Clock> clock{testDay()};

    EditProject();
    // Writes the template triple as name.shp/.shx/.dbf, opens it as a layer
    // (object table, snapshots) and returns its index.
    int addLayer(const QString &name, std::int32_t shapeType, const QByteArray &dbf = templateDbf());
    // Opens existing files as a layer.
    int openLayer(const QString &name);
    QByteArray read(const QString &name) const { return dir.read(name); }
    QString path(const QString &name) const { return dir.file(name); }
    // Fills the new object and commits it with (true, true).
    bool commit(int layer, std::initializer_list<std::pair<double, double>> points,
                std::vector<std::int32_t> parts = {}, std::vector<TTxtValues> values = {}, Byte kind = 0);
    // Changes an object as the editing commands do: reads it, lets the caller
    // change its shape, marks it and journals it.
    template <typename F> bool change(int layer, int index, F edit)
    {
        TMapLayer &L = core.Project().Layers[static_cast<size_t>(layer)];
        TMapObject &obj = L.Objects[static_cast<size_t>(index)];
        core.ReadObject(layer, index, *obj.Shape);
        edit(*obj.Shape);
        L.ObjectsModified = true;
        obj.Modified = true;
        return core.JournalObject(layer, index, obj.JrnOffset, obj.JrnLength, obj.JrnOffset, obj.JrnLength);
    }
    // Deletes an object as the delete command does.
    bool remove(int layer, int index);
    const TMapObject &object(int layer, int index) const
    {
        return core.Project().Layers[static_cast<size_t>(layer)].Objects[static_cast<size_t>(index)];
    }
};

// The record of a layer file: number and content length (words), big-endian, then the content.
QByteArray record(std::int32_t number, const QByteArray &content);
// A journal index entry of 28 bytes.
QByteArray journalEntry(std::int32_t layer, std::int32_t index, std::int32_t newOffset, std::int32_t newLength,
                        std::int32_t prevOffset, std::int32_t prevLength, int shown, int modified, int deleted,
                        int appended);
// The 100-byte journal header: 9994 little-endian, zeros.
QByteArray journalHeader();

} // namespace editfix

namespace editfix {

// File operations that fail from a chosen step on. A failing write leaves
// half its bytes behind, as a full disk or a killed process would. With
// `dead`, every step after the failing one fails too and changes nothing:
// the process is gone. `stopAt` stops the process at a step of its own, so
// that a run can fail at one step and be killed later, while it puts the
// failure right.
class FaultyOps : public mapdata::FileOps {
public:
    int failAt = 0;     // 1-based step that fails; 0: none
    bool dead = false;
    int stopAt = 0;     // 1-based step from which nothing is done; 0: none
    int steps = 0;
    QStringList log;

    bool writeFile(const QString &path, const QByteArray &bytes) override;
    bool writeAt(const QString &path, qint64 pos, const QByteArray &bytes) override;
    bool truncate(const QString &path, qint64 size) override;
    bool copyFile(const QString &from, const QString &to) override;
    bool renameFile(const QString &from, const QString &to) override;
    bool removeFile(const QString &path) override;
    bool step() override;

private:
    // 1 go on, 0 fail this step (half done), -1 do nothing at all.
    int next(const QString &what);
};

// Answers every message box with OK and keeps the texts.
class MessageLog : public testsupport::ScriptedAnswers {
public:
    int messageDlg(const QString &text, platform::MsgType type, unsigned buttons, const QString &caption) override;
    QStringList texts;
};

// Every file of a folder with its bytes, by name.
std::map<QString, QByteArray> folderState(const QString &root);

} // namespace editfix
