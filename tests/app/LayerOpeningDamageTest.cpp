// Opening damaged layers: each is reported when it opens; a layer that opens
// writable takes an edit and a save, one that opens read-only refuses both
// and keeps its files as they were. GDAL's ogrinfo reads the layer after.

#include "MapWindowFixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <functional>

using namespace maptest;

namespace {

bool haveOgrinfo() { return !QStandardPaths::findExecutable(QStringLiteral("ogrinfo")).isEmpty(); }

// What ogrinfo reads of a layer: its output, without the line that names
// the file.
QString ogrinfo(const QString &shp)
{
    QProcess p;
    p.start(QStringLiteral("ogrinfo"), {QStringLiteral("-ro"), QStringLiteral("-al"), shp});
    p.waitForFinished(60000);
    QString out = QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
    out.remove(QRegularExpression(QStringLiteral("^INFO: Open of .*$"), QRegularExpression::MultilineOption));
    return out;
}

// The "ID" values ogrinfo reads, in order.
std::vector<int> ogrIds(const QString &text)
{
    std::vector<int> ids;
    static const QRegularExpression id(QStringLiteral("^  ID \\([^)]*\\) = (\\d+)$"), QRegularExpression::MultilineOption);
    for (auto it = id.globalMatch(text); it.hasNext();)
        ids.push_back(it.next().captured(1).toInt());
    return ids;
}

QByteArray withRowCount(QByteArray table, int count)
{
    putLE32(table, 4, count);
    return table;
}

} // namespace

class LayerOpeningDamageTest : public MapWindowTest {};

TEST_F(LayerOpeningDamageTest, DamagedLayersAreReportedAndNeverWrittenOver)
{
    if (!haveOgrinfo())
        GTEST_SKIP() << "ogrinfo is not installed";
    // Three squares of 136 bytes (record header and content) after the header,
    // and a table of their three rows.
    const ShapePair p = squares(3);
    const QString readOnly = QStringLiteral(" Слой открыт только для чтения !");
    struct Case {
        const char *name;
        QByteArray shp, shx, dbf;
        std::function<void(const QString &base)> prepare; // more files in the folder
        QStringList messages;                             // %1: the layer's file name
        bool writable;
    };
    const auto blockSnapshot = [this](const QString &base) {
        // The snapshot cannot be written, as in a folder that cannot be: the
        // copy's temporary name is taken by a folder. (Folder permissions do
        // not stop root, who may run the tests.)
        QDir(work_).mkpath(base + QStringLiteral(".Shp.001.part"));
    };
    const auto staleSnapshots = [this](const QString &base) {
        for (const QString &name : {base + QStringLiteral(".Shp.001"), base + QStringLiteral(".Dbf.004"),
                                    base + QStringLiteral(".lbl.1000")})
            writeFile(QDir(work_).filePath(name), "stale");
        // Not snapshots of this layer: they stay.
        for (const QString &name : {base + QStringLiteral(".Shp.001.txt"), base + QStringLiteral(".Shp.01"),
                                    base + QStringLiteral("x.Shp.002"), base + QStringLiteral(".Shp.bak")})
            writeFile(QDir(work_).filePath(name), "other");
    };
    const Case cases[] = {
        {"sound", p.shp, p.shx, idTable(3), nullptr, {}, true},
        {"header_over", p.shp, p.shx, withRowCount(idTable(3), 5), nullptr,
         {QStringLiteral("Таблица слоя %1 повреждена: строк в заголовке - 5, в файле - 3. Строки считаются по файлу !")},
         true},
        {"header_under", p.shp, p.shx, withRowCount(idTable(3), 1), nullptr,
         {QStringLiteral("Таблица слоя %1 повреждена: строк в файле - 3, в заголовке - 1.") + readOnly}, false},
        {"more_rows", p.shp, p.shx, idTable(4), nullptr,
         {QStringLiteral("Таблица слоя %1 не совпадает со слоем: строк - 4, объектов - 3.") + readOnly}, false},
        {"fewer_rows", p.shp, p.shx, idTable(2), nullptr,
         {QStringLiteral("Таблица слоя %1 не совпадает со слоем: строк - 2, объектов - 3.") + readOnly}, false},
        {"cut_in_the_middle", p.shp.left(100 + 136 + 60), p.shx, idTable(3), nullptr,
         {QStringLiteral("Слой %1 повреждён: его файлы обрезаны.") + readOnly}, false},
        {"cut_at_the_end", p.shp.chopped(30), p.shx, idTable(3), nullptr,
         {QStringLiteral("Слой %1 повреждён: его файлы обрезаны.") + readOnly}, false},
        {"index_cut", p.shp, p.shx + QByteArray(3, '\0'), idTable(3), nullptr,
         {QStringLiteral("Слой %1 повреждён: его файлы обрезаны.") + readOnly}, false},
        {"no_snapshots", p.shp, p.shx, idTable(3), blockSnapshot,
         {QStringLiteral("Невозможно сохранить копии файлов слоя %1.") + readOnly}, false},
        {"stale", p.shp, p.shx, idTable(3), staleSnapshots, {}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString base = QString::fromLatin1(c.name);
        const QString shp = QDir(work_).filePath(base + QStringLiteral(".shp"));
        writeLayer(work_, base, {c.shp, c.shx}, 3);
        writeFile(QDir(work_).filePath(base + QStringLiteral(".dbf")), c.dbf);
        if (c.prepare)
            c.prepare(base);
        const QString before = ogrinfo(shp);
        QByteArray files[3];
        for (int k = 0; k < 3; ++k)
            files[k] = readFile(QDir(work_).filePath(base + QLatin1String(k == 0 ? ".shp" : k == 1 ? ".shx" : ".dbf")));

        testsupport::ScriptedAnswers answers;
        for (qsizetype k = 0; k < c.messages.size(); ++k)
            reply(answers, platform::mrOk);
        const int l = openLayer(base + QStringLiteral(".shp"));
        ASSERT_EQ(answers.messages().size(), static_cast<size_t>(c.messages.size()));
        for (qsizetype k = 0; k < c.messages.size(); ++k)
            EXPECT_EQ(answers.messages()[static_cast<size_t>(k)].text, c.messages[k].arg(base + QStringLiteral(".shp")));
        EXPECT_EQ(layer(l).ReadOnly, !c.writable);
        EXPECT_EQ(layer(l).Objects.size(), 3u);

        // An edit and a save.
        map().NewObject().clearFigure();
        for (auto [x, y] : {std::pair{2000.0, 6000.0}, {2010, 6000}, {2010, 6010}}) {
            TNewPoint pt;
            pt.Point.X = x;
            pt.Point.Y = y;
            map().NewObject().Points.push_back(pt);
        }
        EXPECT_EQ(map().CommitNewObject(l, true, true), c.writable);
        map().NewObject().clearFigure();
        EXPECT_EQ(map().SaveLayer(l), c.writable);

        const QString after = ogrinfo(shp);
        if (c.writable) {
            // Every object and row there was, and the new ones.
            EXPECT_TRUE(after.contains(QStringLiteral("Feature Count: 4"))) << after.toStdString();
            EXPECT_EQ(ogrIds(after), (std::vector<int>{1, 2, 3, 4})) << after.toStdString();
        } else {
            // Not a byte changed: another program reads what it read before.
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(readFile(QDir(work_).filePath(base + QLatin1String(k == 0 ? ".shp" : k == 1 ? ".shx" : ".dbf"))),
                          files[k])
                    << k;
            EXPECT_EQ(after, before);
        }
    }

    // Stale snapshots of the layer went, and only they; the new ones took
    // their numbers.
    const QStringList left = QDir(work_).entryList({QStringLiteral("stale*")}, QDir::Files, QDir::Name);
    EXPECT_EQ(left, (QStringList{QStringLiteral("stale.Dbf.001"), QStringLiteral("stale.Shp.001"),
                                 QStringLiteral("stale.Shp.001.txt"), QStringLiteral("stale.Shp.01"),
                                 QStringLiteral("stale.Shp.bak"), QStringLiteral("stale.Shx.001"),
                                 QStringLiteral("stale.dbf"), QStringLiteral("stale.shp"), QStringLiteral("stale.shx"),
                                 QStringLiteral("stalex.Shp.002")}));
    EXPECT_EQ(readFile(QDir(work_).filePath(QStringLiteral("stale.Shp.001"))),
              readFile(QDir(work_).filePath(QStringLiteral("stale.shp"))));
}

TEST_F(LayerOpeningDamageTest, ALayerOpenTwiceKeepsTheSnapshotsOfTheFirst)
{
    writeLayer(work_, QStringLiteral("roads"), squares(2), 2);
    const int first = openLayer(QStringLiteral("roads.shp"));
    const int second = openLayer(QStringLiteral("roads.shp"));
    EXPECT_TRUE(QFile::exists(layer(first).BackupShp));
    EXPECT_TRUE(QFile::exists(layer(second).BackupShp));
    EXPECT_NE(layer(first).BackupShp, layer(second).BackupShp);
}
