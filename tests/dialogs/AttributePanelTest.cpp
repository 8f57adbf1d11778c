// The attribute panel: how typed texts become field values, the write-back
// into the layer's table (and when it is refused), "=" for all objects, the
// walk with "<<" and ">>", attached files.

#include "dialogs/AttributeValues.h"
#include "dialogs/EdInfo.h"
#include "platform/Environment.h"
#include "platform/db/Table.h"
#include "platform/ui/UrlOpener.h"

#include "DialogsTestSupport.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

using dbtest::u8;
using dialogtest::FakeMapWindow;
using platform::db::FieldType;

namespace {

TEST(AttributeValues, WriteByFieldType)
{
    struct Case {
        FieldType type;
        const char *text;
        bool assignAll;
        QVariant value;
        const char *shown;
    } cases[] = {
        {FieldType::String, " текст ", false, u8(" текст "), " текст "},
        {FieldType::Integer, "", false, QVariant(), ""},
        {FieldType::Integer, "  ", true, 0, "  "},
        {FieldType::Integer, "№ -12а", false, -12, "№ -12а"},
        {FieldType::Smallint, "7.6", false, 76, "7.6"},
        {FieldType::Boolean, "TRUE", false, true, "true"},
        {FieldType::Boolean, " 1 ", false, true, "1"},
        {FieldType::Boolean, "так", false, false, "так"},
        {FieldType::Float, "", false, QVariant(), ""},
        {FieldType::Float, "", true, 0.0, ""},
        {FieldType::Float, "12,5 га", false, 12.5, "12,5 га"},
        {FieldType::Float, "нема", false, 0.0, "нема"},
    };
    for (const Case &c : cases) {
        const dialogs::attributes::FieldWrite w = dialogs::attributes::fieldWrite(c.type, u8(c.text), c.assignAll);
        EXPECT_TRUE(w.written) << c.text;
        EXPECT_EQ(w.value.isNull(), c.value.isNull()) << c.text;
        if (!c.value.isNull()) {
            EXPECT_EQ(w.value.toString(), c.value.toString()) << c.text;
        }
        EXPECT_EQ(w.shownText, u8(c.shown)) << c.text;
    }
    EXPECT_FALSE(dialogs::attributes::fieldWrite(FieldType::Date, u8("01.02.2020"), false).written);
    EXPECT_TRUE(dialogs::attributes::isIdField(u8(" id ")));
    EXPECT_FALSE(dialogs::attributes::isIdField(u8("IDX")));
    // "<<" and ">>" over three objects.
    EXPECT_FALSE(dialogs::attributes::priorEnabled(3, 0));
    EXPECT_TRUE(dialogs::attributes::nextEnabled(3, 1));
    EXPECT_FALSE(dialogs::attributes::nextEnabled(3, 2));
    EXPECT_FALSE(dialogs::attributes::nextEnabled(1, 0));
}

// attrs.dbf: ID N(9), NAME C(20), CNT N(4), AREA N(10,2), OK L, DATEEDIT D;
// three rows.
QByteArray attributesTable()
{
    using namespace dbtest;
    auto row = [](int id, const char *name, const char *cnt) {
        return record({right(QString::number(id), 9), left(u8(name), 20), right(u8(cnt), 4), right(u8("1.50"), 10),
                       QByteArray(1, 'F'), left(u8("20200101"), 8)});
    };
    return dbfFile({{"ID", 'N', 9, 0}, {"NAME", 'C', 20, 0}, {"CNT", 'N', 4, 0}, {"AREA", 'N', 10, 2},
                    {"OK", 'L', 1, 0}, {"DATEEDIT", 'D', 8, 0}},
                   {row(1, "Перший", "1"), row(2, "", "2"), row(3, "Третій", "3")});
}

class AttributePanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialogtest::writeFile(dir_.file(QStringLiteral("attrs.dbf")), attributesTable());
        dialogtest::writeFile(dir_.file(QStringLiteral("other.dbf")), attributesTable());
        host_.core.SetWorkDir(dir_.path());
        attrs_ = host_.addLayer(QStringLiteral("attrs.shp"), u8("Атрибути"), {}, {}, {});
        other_ = host_.addLayer(QStringLiteral("other.shp"), u8("Інший"), {}, {}, {});
        for (auto [layer, index] : {std::pair{attrs_, 0}, {attrs_, 1}, {other_, 2}}) {
            TSelObject e;
            e.Layer = layer;
            e.Index = index;
            host_.core.Selection().Entries.push_back(e);
        }
        panel_ = EditInfo();
        panel_->ShowLayerInfo();
    }
    void TearDown() override { FreeEditInfo(); }

    QString stored(const char *file, int row, const char16_t *field)
    {
        platform::db::Table t;
        t.setDatabaseName(dir_.path());
        t.setTableName(QString::fromLatin1(file));
        t.open();
        t.setRecNo(row);
        return t.fieldByName(field).asString();
    }
    int fieldRow(const QString &name)
    {
        for (int r = 0; r < panel_->InfoListEdit->rowCount(); ++r)
            if (panel_->InfoListEdit->item(r, 0)->text() == name)
                return r;
        return -1;
    }
    void type(const QString &field, const QString &text)
    {
        const int r = fieldRow(field);
        ASSERT_GE(r, 0) << field.toStdString();
        panel_->InfoListEdit->item(r, 1)->setText(text);
    }

    testsupport::TempFolder dir_;
    FakeMapWindow host_;
    platform::ScopedService<platform::Clock> clock_{platform::Clock(QDateTime(QDate(2026, 3, 9), QTime(10, 0)))};
    int attrs_ = 0, other_ = 0;
    TEditInfo *panel_ = nullptr;
};

TEST_F(AttributePanelTest, ListsObjectsAndWalks)
{
    ASSERT_EQ(panel_->InfoList->rowCount(), 3);
    EXPECT_EQ(panel_->InfoList->item(0, 0)->text(), u8("attrs.shp"));
    EXPECT_EQ(panel_->InfoList->item(0, 1)->text(), u8("Перший"));
    // An empty character field: the first field's value stands for the row.
    EXPECT_EQ(panel_->InfoList->item(1, 1)->text(), u8("2"));
    EXPECT_EQ(panel_->InfoList->item(2, 0)->text(), u8("other.shp"));
    EXPECT_EQ(panel_->LabelLayer->text(), u8("attrs.shp:1"));
    EXPECT_EQ(panel_->InfoListEdit->rowCount(), 6);
    EXPECT_FALSE(panel_->sbPrior->isEnabled());
    EXPECT_TRUE(panel_->sbNext->isEnabled());
    panel_->sbNextClick();
    panel_->sbNextClick();
    EXPECT_EQ(panel_->LabelLayer->text(), u8("other.shp:3"));
    EXPECT_FALSE(panel_->sbNext->isEnabled());
    EXPECT_TRUE(panel_->sbPrior->isEnabled());
    EXPECT_EQ(panel_->InfoListEdit->item(fieldRow(u8("NAME")), 1)->text(), u8("Третій"));
}

TEST_F(AttributePanelTest, WriteBackStampsOnlyChanges)
{
    type(u8("NAME"), u8("Змінений «Їжак»"));
    type(u8("CNT"), QString());
    type(u8("OK"), u8(" TRUE "));
    type(u8("ID"), u8("999"));
    panel_->sbNextClick(); // writes object 0, shows object 1
    EXPECT_EQ(stored("attrs.dbf", 1, u"NAME"), u8("Змінений «Їжак»"));
    EXPECT_EQ(stored("attrs.dbf", 1, u"CNT"), QString());
    EXPECT_EQ(stored("attrs.dbf", 1, u"OK"), u8("True"));
    EXPECT_EQ(stored("attrs.dbf", 1, u"ID"), u8("1"));
    EXPECT_EQ(stored("attrs.dbf", 1, u"DATEEDIT"), u8("09.03.2026"));

    // Writing the same values again stamps nothing.
    panel_->sbPriorClick(); // writes object 1 unchanged
    EXPECT_EQ(stored("attrs.dbf", 2, u"DATEEDIT"), u8("01.01.2020"));
    EXPECT_EQ(panel_->InfoListEdit->item(fieldRow(u8("OK")), 1)->text(), u8("True"));

    // GDAL and dbfread read the Cyrillic as it was typed.
    const QString ogrinfo = dbtest::program(QStringLiteral("ogrinfo"));
    if (!ogrinfo.isEmpty()) {
        const QString info = QString::fromUtf8(dbtest::run(
            ogrinfo, {QStringLiteral("-al"), QStringLiteral("-q"), QStringLiteral("-oo"), QStringLiteral("ENCODING=CP1251"),
                      dir_.file(QStringLiteral("attrs.dbf"))}));
        EXPECT_TRUE(info.contains(u8("NAME (String) = Змінений «Їжак»"))) << info.toStdString();
        EXPECT_TRUE(info.contains(u8("DATEEDIT (Date) = 2026/03/09"))) << info.toStdString();
    }
    const QString python = dbtest::pythonWithDbfread();
    if (!python.isEmpty()) {
        const QByteArray out = dbtest::run(
            python, {QStringLiteral("-c"),
                     QStringLiteral("import sys, dbfread\n"
                                    "t = dbfread.DBF(sys.argv[1], encoding='cp1251')\n"
                                    "print(list(t)[0]['NAME'])\n"),
                     dir_.file(QStringLiteral("attrs.dbf"))});
        EXPECT_EQ(QString::fromUtf8(out).trimmed(), u8("Змінений «Їжак»"));
    }
}

// The write-back leaves a layer that may not be edited alone; "=" is a
// command of its own and writes it, except where the table cannot be
// written: a layer opened read-only or a read-only file is named in a
// message, a layer without a table of its own here is passed over.
TEST_F(AttributePanelTest, LayersThatMayNotBeWrittenAreLeftAlone)
{
    const QByteArray before = attributesTable();
    struct Case {
        const char *what;
        std::function<void(TMapLayer &)> make;
        bool fileReadOnly;
        bool writtenByAll;
        bool named;
    } cases[] = {
        {"not editable", [](TMapLayer &L) { L.Edited = false; }, false, true, false},
        {"opened read-only", [](TMapLayer &L) { L.ReadOnly = true; }, false, false, true},
        {"a cadastral kind", [](TMapLayer &L) { L.MapType = 2; }, false, false, false},
        {"a read-only file", [](TMapLayer &) {}, true, false, true},
    };
    const QString attrs = dir_.file(QStringLiteral("attrs.dbf"));
    for (const Case &c : cases) {
        TMapLayer &L = host_.core.Project().Layers[static_cast<size_t>(attrs_)];
        const TMapLayer saved = L;
        panel_->ShowLayerInfo();
        c.make(L);
        if (c.fileReadOnly)
            QFile::setPermissions(attrs, QFileDevice::ReadOwner);
        type(u8("NAME"), u8("Не писати"));
        panel_->SaveAttributes(0);
        QFile f(attrs);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), before) << c.what;
        f.close();

        panel_->InfoListEdit->setCurrentCell(fieldRow(u8("NAME")), 1);
        testsupport::ScriptedAnswers answers;
        dialogtest::reply(answers, platform::mrYes);
        if (c.named)
            dialogtest::reply(answers, platform::mrOk);
        panel_->AssignFieldToAll();
        EXPECT_EQ(stored("attrs.dbf", 1, u"NAME"), c.writtenByAll ? u8("Не писати") : u8("Перший")) << c.what;
        EXPECT_EQ(stored("attrs.dbf", 2, u"NAME"), c.writtenByAll ? u8("Не писати") : QString()) << c.what;
        ASSERT_EQ(answers.messages().size(), c.named ? 2u : 1u) << c.what;
        if (c.named) {
            EXPECT_EQ(answers.messages()[1].text,
                      u8("Значение не присвоено объектам таблиц, открытых только для чтения:\n") + attrs)
                << c.what;
        }
        // The other layer was written by "=".
        EXPECT_EQ(stored("other.dbf", 3, u"NAME"), u8("Не писати")) << c.what;
        QFile::setPermissions(attrs, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        dialogtest::writeFile(attrs, attributesTable());
        dialogtest::writeFile(dir_.file(QStringLiteral("other.dbf")), attributesTable());
        L = saved;
    }
}

// Looking through the objects writes nothing: a blank logical stays blank,
// numbers keep their bytes, and DATEEDIT is stamped only with a change.
TEST_F(AttributePanelTest, LookingThroughObjectsChangesNothing)
{
    // Row 1's logical OK blank (record length 53 from byte 225, OK at 44).
    QByteArray table = attributesTable();
    ASSERT_EQ(table[225 + 44], 'F');
    table[225 + 44] = ' ';
    const QString attrs = dir_.file(QStringLiteral("attrs.dbf"));
    dialogtest::writeFile(attrs, table);
    panel_->ShowLayerInfo();
    EXPECT_EQ(panel_->InfoListEdit->item(fieldRow(u8("OK")), 1)->text(), QString());
    panel_->sbNextClick();
    panel_->sbNextClick();
    panel_->sbPriorClick();
    panel_->sbPriorClick();
    panel_->SaveAttributes(panel_->ShownInfoEntry);
    QFile f(attrs);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), table);
    f.close();

    // A change writes that field and the stamp, and nothing else.
    type(u8("NAME"), u8("Інша назва"));
    panel_->sbNextClick();
    platform::db::Table t;
    t.setDatabaseName(dir_.path());
    t.setTableName(QStringLiteral("attrs.dbf"));
    t.open();
    t.setRecNo(1);
    EXPECT_EQ(t.fieldByName(u"NAME").asString(), u8("Інша назва"));
    EXPECT_TRUE(t.fieldByName(u"OK").isNull());
    EXPECT_EQ(t.fieldByName(u"DATEEDIT").asDate(), QDate(2026, 3, 9));
    t.setRecNo(2);
    EXPECT_EQ(t.fieldByName(u"DATEEDIT").asDate(), QDate(2020, 1, 1));
}

// A search request changes the selection while the panel shows an object:
// the shown values go back into that object's row, and the list keeps the
// objects it listed.
TEST_F(AttributePanelTest, TheShownObjectKeepsItsValues)
{
    type(u8("NAME"), u8("Садова"));
    host_.core.Selection().Entries.clear();
    for (auto [layer, index] : {std::pair{other_, 2}, {attrs_, 2}}) {
        TSelObject e;
        e.Layer = layer;
        e.Index = index;
        host_.core.Selection().Entries.push_back(e);
    }
    panel_->InfoListClick(1);
    EXPECT_EQ(stored("attrs.dbf", 1, u"NAME"), u8("Садова"));
    EXPECT_EQ(stored("other.dbf", 3, u"NAME"), u8("Третій"));
    EXPECT_EQ(stored("attrs.dbf", 3, u"NAME"), u8("Третій"));
    EXPECT_EQ(panel_->LabelLayer->text(), u8("attrs.shp:2"));

    // A layer closed since the list was built: its values go nowhere.
    type(u8("NAME"), u8("Нікуди"));
    host_.core.Project().Layers[static_cast<size_t>(attrs_)].FileName = QStringLiteral("renamed.shp");
    panel_->SaveAttributes(panel_->ShownInfoEntry);
    EXPECT_EQ(stored("attrs.dbf", 2, u"NAME"), QString());
    // Only the entry shown is written back.
    host_.core.Project().Layers[static_cast<size_t>(attrs_)].FileName = QStringLiteral("attrs.shp");
    panel_->SaveAttributes(0);
    EXPECT_EQ(stored("attrs.dbf", 2, u"NAME"), QString());
    EXPECT_EQ(stored("attrs.dbf", 1, u"NAME"), u8("Садова"));
}

TEST_F(AttributePanelTest, AssignToAllAndMissingRows)
{
    panel_->InfoListEdit->setCurrentCell(fieldRow(u8("CNT")), 1);
    type(u8("CNT"), QString());
    testsupport::ScriptedAnswers answers;
    dialogtest::reply(answers, platform::mrYes);
    panel_->AssignFieldToAll();
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, u8("Присвоить всем объектам значение текущего поля"));
    // An empty integer assigned to all is 0, not null.
    EXPECT_EQ(stored("attrs.dbf", 1, u"CNT"), u8("0"));
    EXPECT_EQ(stored("attrs.dbf", 2, u"CNT"), u8("0"));
    EXPECT_EQ(stored("other.dbf", 3, u"CNT"), u8("0"));
    EXPECT_EQ(stored("other.dbf", 1, u"CNT"), u8("1"));
    EXPECT_EQ(stored("attrs.dbf", 1, u"DATEEDIT"), u8("09.03.2026"));

    // An object beyond the table's rows shows nothing and writes nowhere
    // (not into the last row).
    host_.core.Selection().Entries[2].Index = 7;
    panel_->ShowLayerInfo();
    panel_->InfoListClick(2);
    EXPECT_EQ(panel_->InfoListEdit->rowCount(), 0);
    EXPECT_EQ(panel_->InfoList->item(2, 1)->text(), QString());
    panel_->SaveAttributes(2);
    EXPECT_EQ(stored("other.dbf", 3, u"NAME"), u8("Третій"));
    panel_->SaveAttributes(-1);
    panel_->SaveAttributes(3);
}

TEST_F(AttributePanelTest, AttachedFiles)
{
    const QString doc = dir_.file(QStringLiteral("план.pdf"));
    dialogtest::writeFile(doc, "%PDF");
    testsupport::ScriptedAnswers answers;
    dialogtest::openFile(answers, doc);
    panel_->InfoListEdit->setCurrentCell(fieldRow(u8("NAME")), 1);
    panel_->sbOpenDocumentClick();
    ASSERT_EQ(answers.fileRequests().size(), 1u);
    EXPECT_EQ(answers.fileRequests()[0].title, u8("Вставить файл"));
    EXPECT_EQ(panel_->InfoListEdit->item(fieldRow(u8("NAME")), 1)->text(), u8("план.pdf"));

    std::vector<QUrl> opened;
    platform::setUrlOpener([&](const QUrl &url) {
        opened.push_back(url);
        return true;
    });
    panel_->InfoListEditDblClick(fieldRow(u8("NAME")));
    panel_->InfoListEditDblClick(fieldRow(u8("CNT"))); // "1": no file
    platform::setUrlOpener({});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toLocalFile(), doc);
}

// The panel as a person sees it on the second object: the listed values and
// the object's own values are drawn, its empty NAME is not.
TEST_F(AttributePanelTest, Picture)
{
    panel_->InfoListClick(1);
    const QImage image = dialogtest::picture(*panel_);
    EXPECT_TRUE(image.save(testsupport::artefactFolder(QStringLiteral("dialogs")) + QStringLiteral("/attribute-panel.png")));
    EXPECT_EQ(panel_->windowTitle(), u8("Информационная панель"));
    QTableWidget &objects = *panel_->InfoList;
    QTableWidget &fields = *panel_->InfoListEdit;
    EXPECT_GT(dialogtest::inkIn(image, dialogtest::cellIn(*panel_, objects, objects.model()->index(0, 1))), 20)
        << "Перший";
    EXPECT_GT(dialogtest::inkIn(image, dialogtest::cellIn(*panel_, objects, objects.model()->index(2, 0))), 20)
        << "other.shp";
    EXPECT_GT(dialogtest::inkIn(image, dialogtest::placeIn(*panel_, *panel_->LabelLayer)), 20) << "attrs.shp:2";
    EXPECT_GT(dialogtest::inkIn(image, dialogtest::cellIn(*panel_, fields, fields.model()->index(fieldRow(u8("CNT")), 1))),
              5)
        << "2";
    EXPECT_GT(dialogtest::inkIn(image, dialogtest::cellIn(*panel_, fields, fields.model()->index(fieldRow(u8("NAME")), 0))),
              20);
    EXPECT_EQ(dialogtest::inkIn(image, dialogtest::cellIn(*panel_, fields, fields.model()->index(fieldRow(u8("NAME")), 1))),
              0)
        << "the second object's NAME is empty";
}

} // namespace
