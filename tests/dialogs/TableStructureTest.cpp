// The table structure editor: the empty table it writes (compared with bytes
// laid out here by hand), its reading of a header, the copy of records with
// renaming and type changes, and the editor's commands on a real table.

#include "dialogs/FEditTable.h"
#include "dialogs/TableStructure.h"
#include "platform/IniFile.h"
#include "platform/db/Table.h"

#include "DialogsTestSupport.h"
#include "db/DbTestSupport.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace dialogs::tables;
using dbtest::u8;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(CreateDbfFile, BytesAsLaidOutByHand)
{
    testsupport::TempFolder dir;
    const QString file = dir.file(QStringLiteral("new~.dbf"));
    writeAll(file, QByteArray(500, 'x')); // replaced whole
    CreateDbfFile(file, {u8("name;c;20;"), u8("area;N;25;30"), u8("born ; d ; 3 ; 2"), u8("ok;L;;"),
                         u8("дуже_довга_назва;C;300;"), u8("skip;C;5")});
    QByteArray want(32 + 32 * 5 + 2, '\0');
    want[0] = 3;
    want[1] = 106;
    want[2] = 3;
    want[3] = 1;
    want[8] = char(32 * 5 + 33); // 193
    // record length 1 + 20 + 19 + 8 + 1 + 254 = 303 = 0x012F
    want[10] = 0x2F;
    want[11] = 0x01;
    auto descriptor = [&](int i, const QByteArray &name, char type, int size, int dec) {
        const int at = 32 + 32 * i;
        for (int k = 0; k < name.size(); ++k)
            want[at + k] = name[k];
        want[at + 11] = type;
        want[at + 16] = char(size);
        want[at + 17] = char(dec);
    };
    descriptor(0, "NAME", 'C', 20, 0);
    descriptor(1, "AREA", 'N', 19, 18);
    descriptor(2, "BORN", 'D', 8, 0);
    descriptor(3, "OK", 'L', 1, 0);
    // Cut to ten bytes, upper case (Windows-1251 "ДУЖЕ_ДОВГА").
    descriptor(4, platform::toCp1251(u8("ДУЖЕ_ДОВГА")), 'C', 254, 0);
    want[32 + 32 * 5] = 0x0D;
    want[32 + 32 * 5 + 1] = 0x1A;
    const QByteArray got = readAll(file);
    EXPECT_EQ(got.size(), 32 * 5 + 34);
    EXPECT_EQ(got.toHex(' '), want.toHex(' '));

    // The engine reads it as an empty table of those fields.
    platform::db::Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("new~.dbf"));
    t.open();
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_EQ(t.fieldNames(), QStringList({u8("NAME"), u8("AREA"), u8("BORN"), u8("OK"), u8("ДУЖЕ_ДОВГА")}));
}

TEST(CreateDbfFile, Limits)
{
    struct Case {
        char type;
        int size, dec;
        int wantSize, wantDec;
    } cases[] = {
        {'C', 0, 3, 1, 0},  {'C', 255, 0, 254, 0}, {'C', 300, 0, 254, 0}, {'N', 25, 30, 19, 18},
        {'N', 0, 0, 1, 0},  {'N', 5, -2, 5, 0},    {'N', 10, 2, 10, 2},   {'D', 3, 1, 8, 0},
        {'L', 9, 9, 1, 0},  {'F', 300, 400, 255, 255},
    };
    for (const Case &c : cases) {
        const FieldLimits l = limitField(c.type, c.size, c.dec);
        EXPECT_EQ(l.size, c.wantSize) << c.type << c.size;
        EXPECT_EQ(l.decimals, c.wantDec) << c.type << c.size;
    }
    EXPECT_EQ(formatLetter(u8("число")), 'N');
    EXPECT_EQ(formatLetter(u8("что-то")), 0);
    EXPECT_EQ(formatText('M'), QString());
}

TEST(TableHeader, FieldCountBoundedByTheBytes)
{
    const QByteArray table = dbtest::dbfFile({{"ID", 'N', 9, 0}, {"NAME", 'C', 30, 0}, {"M", 'M', 10, 0}}, {});
    const auto fields = readTableFields(table);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[1].name, u8("NAME"));
    EXPECT_EQ(fields[1].type, 'C');
    EXPECT_EQ(fields[1].size, 30);
    EXPECT_EQ(fields[2].type, 'M');

    // A header length that claims 2000 descriptors in a 130-byte file.
    QByteArray lying = table;
    lying[8] = char(0x50);
    lying[9] = char(0xFA);
    EXPECT_EQ(readTableFields(lying).size(), 3u); // stops at the end mark
    QByteArray noMark = lying;
    noMark[32 + 3 * 32] = 'X';
    EXPECT_LE(readTableFields(noMark).size(), 3u);
    // Too short for a header, and a header length below 33.
    EXPECT_TRUE(readTableFields(table.left(20)).empty());
    QByteArray small = table;
    small[8] = 20;
    small[9] = 0;
    EXPECT_TRUE(readTableFields(small).empty());
}

TEST(CopyRecords, RenameConvertAndKeepDeletedRows)
{
    testsupport::TempFolder dir;
    const QString source = dir.file(QStringLiteral("streets.dbf"));
    writeAll(source, dbtest::streetTable());
    const QString target = dir.file(QStringLiteral("streets~.dbf"));
    // STREET renamed ROAD; AREA from N(12,2) to C(10); HOUSE from C to N(5)
    // (integer); ACTIVE dropped.
    CreateDbfFile(target, {u8("ID;N;9;0"), u8("ROAD;C;30;"), u8("HOUSE;N;5;0"), u8("AREA;C;10;"), u8("DATEEDIT;D;8;")});
    CopyRecords(source, target, u8("street"), u8("ROAD"));

    platform::db::Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("streets~.dbf"));
    t.open();
    ASSERT_EQ(t.recordCount(), 7);
    const char *roads[] = {"Шевченка", "Франка", "ШЕВЧЕНКА", "Садова", "Садова", "шевченка", "пров. \"Тихий\""};
    const char *houses[] = {"12", "3", "14", "7", "7", "2", "5"};
    for (int r = 1; r <= 7; ++r) {
        t.setRecNo(r);
        EXPECT_EQ(t.fieldByName(u"ID").asInteger(), r);
        EXPECT_EQ(t.fieldByName(u"ROAD").asString(), u8(roads[r - 1]));
        EXPECT_EQ(t.fieldByName(u"HOUSE").asString(), u8(houses[r - 1])) << r;
        // Row 4 stays marked deleted, so row n + 1 is still object n's.
        EXPECT_EQ(t.isDeletedRecord(), r == 4) << r;
    }
    t.setRecNo(1);
    EXPECT_EQ(t.fieldByName(u"DATEEDIT").asDate(), QDate(2024, 1, 15));
    EXPECT_FALSE(t.fieldByName(u"AREA").asString().isEmpty());
    t.setRecNo(7);
    EXPECT_TRUE(t.fieldByName(u"AREA").isNull());
}

// The editor on a copy of the street table, with the field dialog answered
// by the script.
class TableEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table_ = dir_.file(QStringLiteral("streets.dbf"));
        writeAll(table_, dbtest::streetTable());
        editor_ = EditTable();
        editor_->FTableFile = table_;
        ASSERT_TRUE(editor_->LoadTable());
    }
    void TearDown() override { FreeTableEditor(); }

    // The dialog's answer: the handler fills TNewField and presses "Создать".
    void answerField(const QString &name, const QString &format, const QString &size, const QString &dec,
                     const QString &note)
    {
        dialogtest::dialog(answers_, [=](QDialog &d) {
            auto &f = static_cast<TNewField &>(d);
            f.edFieldName->setText(name);
            f.cbFieldType->setCurrentText(format);
            f.edFieldSize->setText(size);
            f.cbFieldSize->setEditText(dec);
            f.edFieldNote->setText(note);
            f.BitBtn1Click();
            return int(f.result());
        });
    }
    QStringList column(const QString &field, const QString &table = QStringLiteral("streets.dbf"))
    {
        platform::db::Table t;
        t.setDatabaseName(dir_.path());
        t.setTableName(table);
        t.open();
        QStringList v;
        for (t.first(); !t.eof(); t.next())
            v << t.fieldByName(field).asString();
        return v;
    }
    QString cell(int row, int column) { return editor_->StringGrid1->item(row, column)->text(); }

    testsupport::TempFolder dir_;
    testsupport::ScriptedAnswers answers_;
    QString table_;
    TEditTable *editor_ = nullptr;
};

TEST_F(TableEditorTest, ShowsFieldsAndWorkNames)
{
    ASSERT_EQ(editor_->StringGrid1->rowCount(), 6);
    EXPECT_EQ(cell(1, 1), u8("STREET"));
    EXPECT_EQ(cell(1, 2), u8("строка"));
    EXPECT_EQ(cell(1, 3), u8("30"));
    EXPECT_EQ(cell(1, 4), QString());
    EXPECT_EQ(cell(3, 2), u8("число"));
    EXPECT_EQ(cell(3, 4), u8("2"));
    EXPECT_EQ(editor_->FNewFile, dir_.file(QStringLiteral("streets~.dbf")));
    EXPECT_EQ(editor_->FBackupFile, dir_.file(QStringLiteral("streets~~.dbf")));
    EXPECT_EQ(editor_->windowTitle(), u8("Редактирование таблицы [") + table_ + u8("]"));

    // A missing table: the message, and no editor.
    editor_->FTableFile = dir_.file(QStringLiteral("gone.dbf"));
    dialogtest::reply(answers_, platform::mrOk);
    EXPECT_FALSE(editor_->LoadTable());
    ASSERT_EQ(answers_.messages().size(), 1u);
    EXPECT_TRUE(answers_.messages()[0].text.startsWith(u8("База данных ")));
}

TEST_F(TableEditorTest, RenameAddDeleteAndMoveKeepValues)
{
    const QStringList streets = column(QStringLiteral("STREET"));
    const QStringList houses = column(QStringLiteral("HOUSE"));

    editor_->StringGrid1->setCurrentCell(1, 1);
    answerField(u8("road"), u8("строка"), u8("30"), QString(), u8("Улица"));
    editor_->nEditClick();
    EXPECT_EQ(column(QStringLiteral("ROAD")), streets);
    EXPECT_EQ(column(QStringLiteral("HOUSE")), houses);

    answerField(u8("note"), u8("строка"), u8("300"), u8("4"), QString());
    editor_->nAppendClick();
    auto fields = readTableFieldsFromFile(table_);
    ASSERT_EQ(fields.size(), 7u);
    EXPECT_EQ(fields[6].name, u8("NOTE"));
    EXPECT_EQ(fields[6].size, 254);
    EXPECT_EQ(column(QStringLiteral("ROAD")), streets);

    // The house field moves first; every value stays.
    editor_->MoveRow(2, 0);
    fields = readTableFieldsFromFile(table_);
    EXPECT_EQ(fields[0].name, u8("HOUSE"));
    EXPECT_EQ(fields[1].name, u8("ID"));
    EXPECT_EQ(column(QStringLiteral("HOUSE")), houses);
    EXPECT_EQ(column(QStringLiteral("ROAD")), streets);

    editor_->StringGrid1->setCurrentCell(0, 1);
    dialogtest::reply(answers_, platform::mrYes);
    editor_->nDeleteClick();
    fields = readTableFieldsFromFile(table_);
    EXPECT_EQ(fields.size(), 6u);
    EXPECT_EQ(fields[0].name, u8("ID"));
    EXPECT_EQ(column(QStringLiteral("ROAD")), streets);
    EXPECT_EQ(answers_.messages().back().text, u8("Вы уверены, что хотите удалить поле HOUSE ?"));

    // The old file stays as "~~" until the editor closes; closing writes the
    // descriptions and removes the work files.
    EXPECT_TRUE(QFile::exists(editor_->FBackupFile));
    editor_->FinishEditing();
    EXPECT_FALSE(QFile::exists(editor_->FBackupFile));
    EXPECT_FALSE(QFile::exists(editor_->FNewFile));
    const platform::IniFile dfn(dir_.file(QStringLiteral("streets.dfn")));
    EXPECT_EQ(dfn.readString(u"Table", u"ROAD", QStringLiteral("?")), u8("Улица"));
    EXPECT_EQ(dfn.readString(u"Table", u"NOTE", QStringLiteral("?")), QString());

    // GDAL reads the rebuilt table with its Cyrillic values.
    const QString ogrinfo = dbtest::program(QStringLiteral("ogrinfo"));
    if (!ogrinfo.isEmpty()) {
        QString errors;
        const QString out = QString::fromUtf8(dbtest::run(
            ogrinfo, {QStringLiteral("-al"), QStringLiteral("-q"), QStringLiteral("-oo"), QStringLiteral("ENCODING=CP1251"), table_},
            &errors));
        EXPECT_TRUE(out.contains(u8("ROAD (String) = Шевченка"))) << out.toStdString() << errors.toStdString();
        EXPECT_TRUE(out.contains(u8("ROAD (String) = пров. \"Тихий\""))) << out.toStdString();
    }
}

TEST_F(TableEditorTest, TypeChangesAndDescriptionOnly)
{
    const QByteArray before = readAll(table_);
    // A description alone rebuilds nothing.
    editor_->StringGrid1->setCurrentCell(3, 1);
    answerField(u8("AREA"), u8("число"), u8("12"), u8("2"), u8("Площадь"));
    editor_->nEditClick();
    EXPECT_EQ(readAll(table_), before);
    EXPECT_FALSE(QFile::exists(editor_->FNewFile));

    // Number to text keeps the values as text; text to number rounds or gives 0.
    answerField(u8("AREA"), u8("строка"), u8("12"), QString(), u8("Площадь"));
    editor_->nEditClick();
    const QStringList areas = column(QStringLiteral("AREA"));
    EXPECT_TRUE(areas[0] == u8("100,5") || areas[0] == u8("100.5") || areas[0] == u8("100,50")) << areas[0].toStdString();
    editor_->StringGrid1->setCurrentCell(2, 1);
    answerField(u8("HOUSE"), u8("число"), u8("4"), QString(), QString());
    editor_->nEditClick();
    EXPECT_EQ(column(QStringLiteral("HOUSE")), QStringList({u8("12"), u8("3"), u8("14"), u8("7"), u8("7"), u8("2"), u8("5")}));
}

// notes.dbf (dBase III with memo, 0x83): ID N(4), NOTE M(10); three rows,
// the third without a memo. notes.dbt: block 0 names block 3 as the next
// free one; block 1 row 1's text, block 2 row 2's, each ended by 0x1A 0x1A.
void writeMemoTable(const QString &dir)
{
    using namespace dbtest;
    QByteArray dbf = dbfFile({{"ID", 'N', 4, 0}, {"NOTE", 'M', 10, 0}},
                             {record({right(u8("1"), 4), right(u8("1"), 10)}),
                              record({right(u8("2"), 4), right(u8("2"), 10)}),
                              record({right(u8("3"), 4), QByteArray(10, ' ')})});
    dbf[0] = char(0x83);
    writeAll(dir + QStringLiteral("/notes.dbf"), dbf);
    QByteArray dbt(3 * 512, '\0');
    testsupport::putLE32(dbt, 0, 3);
    const QByteArray first = platform::toCp1251(u8("Перший запис")) + "\x1A\x1A";
    const QByteArray second = platform::toCp1251(u8("Другий")) + "\x1A\x1A";
    dbt.replace(512, first.size(), first);
    dbt.replace(1024, second.size(), second);
    writeAll(dir + QStringLiteral("/notes.dbt"), dbt);
}

TEST_F(TableEditorTest, MemosStayWithTheirRowsThroughRebuilds)
{
    writeMemoTable(dir_.path());
    // Row 1's memo rewritten longer: it moves to block 3 of the memo file.
    const QString longer = u8("Перший запис, переписаний довшим текстом ") + QString(600, u'ж');
    {
        platform::db::Table t;
        t.setDatabaseName(dir_.path());
        t.setTableName(QStringLiteral("notes.dbf"));
        t.open();
        t.setRecNo(1);
        t.edit();
        t.fieldByName(u"NOTE").setAsString(longer);
        t.post();
    }
    const QByteArray memoBefore = readAll(dir_.file(QStringLiteral("notes.dbt")));
    const QByteArray tableBefore = readAll(dir_.file(QStringLiteral("notes.dbf")));
    const QString table = dir_.file(QStringLiteral("notes.dbf"));
    editor_->FinishEditing();
    editor_->FTableFile = table;
    ASSERT_TRUE(editor_->LoadTable());
    EXPECT_EQ(cell(1, 2), QString()) << "a memo has no format of the dialog's";
    auto memos = [&](const char *field) { return column(QString::fromLatin1(field), QStringLiteral("notes.dbf")); };
    const QStringList want = {longer, u8("Другий"), QString()};
    ASSERT_EQ(memos("NOTE"), want);

    // A field added: every memo stays with its row, and the table is one
    // with a memo file of its own.
    answerField(u8("ADDED"), u8("строка"), u8("5"), QString(), QString());
    editor_->nAppendClick();
    EXPECT_EQ(memos("NOTE"), want);
    const QByteArray rebuilt = readAll(table);
    ASSERT_FALSE(rebuilt.isEmpty());
    EXPECT_EQ(quint8(rebuilt[0]), 0x83);
    // The table as it was is kept, both files, until the editor closes.
    EXPECT_EQ(readAll(dir_.file(QStringLiteral("notes~~.dbf"))), tableBefore);
    EXPECT_EQ(readAll(dir_.file(QStringLiteral("notes~~.dbt"))), memoBefore);

    // Renaming the memo field keeps it a memo, and its texts.
    editor_->StringGrid1->setCurrentCell(1, 1);
    answerField(u8("REMARK"), u8("строка"), u8("30"), QString(), u8("Примітка"));
    editor_->nEditClick();
    auto fields = readTableFieldsFromFile(table);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[1].name, u8("REMARK"));
    EXPECT_EQ(fields[1].type, 'M');
    EXPECT_EQ(memos("REMARK"), want);

    editor_->FinishEditing();
    for (const char *left : {"notes~.dbf", "notes~.dbt", "notes~~.dbf", "notes~~.dbt"})
        EXPECT_FALSE(QFile::exists(dir_.file(QString::fromLatin1(left)))) << left;
    EXPECT_EQ(memos("REMARK"), want);

    // dbfread reads the memos through the table's own memo file.
    const QString python = dbtest::pythonWithDbfread();
    if (!python.isEmpty()) {
        const QByteArray out = dbtest::run(
            python, {QStringLiteral("-c"),
                     QStringLiteral("import sys, dbfread\n"
                                    "for r in dbfread.DBF(sys.argv[1], encoding='cp1251'):\n"
                                    "    print(len(r['REMARK'] or ''), (r['REMARK'] or '')[:6])\n"),
                     table});
        EXPECT_EQ(QString::fromUtf8(out).trimmed(),
                  QString::number(longer.size()) + u8(" Перший\n6 Другий\n0"));
    }
}

TEST_F(TableEditorTest, ABackupThatCannotBeWrittenLeavesTheTable)
{
    writeMemoTable(dir_.path());
    const QString table = dir_.file(QStringLiteral("notes.dbf"));
    const QByteArray tableBefore = readAll(table);
    const QByteArray memoBefore = readAll(dir_.file(QStringLiteral("notes.dbt")));
    // A folder where the memo file's backup would go.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("notes~~.dbt")));
    editor_->FinishEditing();
    editor_->FTableFile = table;
    ASSERT_TRUE(editor_->LoadTable());
    answerField(u8("ADDED"), u8("строка"), u8("5"), QString(), QString());
    dialogtest::reply(answers_, platform::mrOk);
    editor_->nAppendClick();
    ASSERT_FALSE(answers_.messages().empty());
    EXPECT_EQ(answers_.messages().back().text,
              u8("Невозможно записать файл ") + dir_.file(QStringLiteral("notes~~.dbt")) + u8(" !"));
    EXPECT_EQ(readAll(table), tableBefore);
    EXPECT_EQ(readAll(dir_.file(QStringLiteral("notes.dbt"))), memoBefore);
}

TEST_F(TableEditorTest, ALongFieldNameIsRefused)
{
    const QByteArray before = readAll(table_);
    const QStringList streets = column(QStringLiteral("STREET"));
    editor_->StringGrid1->setCurrentCell(1, 1);
    answerField(u8("назва_вулиці"), u8("строка"), u8("30"), QString(), QString());
    dialogtest::reply(answers_, platform::mrOk);
    editor_->nEditClick();
    ASSERT_EQ(answers_.messages().size(), 1u);
    EXPECT_EQ(answers_.messages()[0].text, u8("Имя поля назва_вулиці длиннее 10 символов !"));
    EXPECT_EQ(NewField()->Hint, u8("Cancel"));
    EXPECT_EQ(readAll(table_), before);
    EXPECT_EQ(cell(1, 1), u8("STREET"));

    // Below the dialog the name is cut once, to what the descriptor holds,
    // and the values are copied under that name.
    const QString target = dir_.file(QStringLiteral("long~.dbf"));
    CreateDbfFile(target, {u8("ID;N;9;0"), u8("назва_вулиці;C;30;")});
    CopyRecords(table_, target, u8("street"), u8("назва_вулиці"));
    platform::db::Table t;
    t.setDatabaseName(dir_.path());
    t.setTableName(QStringLiteral("long~.dbf"));
    t.open();
    ASSERT_EQ(t.fieldNames(), QStringList({u8("ID"), u8("НАЗВА_ВУЛИ")}));
    QStringList copied;
    for (t.first(); !t.eof(); t.next())
        copied << t.fieldByName(u8("НАЗВА_ВУЛИ")).asString();
    EXPECT_EQ(copied, streets);
}

// The editor and the field dialog as a person sees them: every field's row
// drawn with its name and format, the empty decimals of a text field not,
// and the dialog's values.
TEST_F(TableEditorTest, Pictures)
{
    const QString folder = testsupport::artefactFolder(QStringLiteral("dialogs"));
    editor_->resize(560, 420);
    const QImage table = dialogtest::picture(*editor_);
    EXPECT_TRUE(table.save(folder + QStringLiteral("/table-editor.png")));
    EXPECT_EQ(editor_->windowTitle(), u8("Редактирование таблицы [") + table_ + u8("]"));
    QTableWidget &grid = *editor_->StringGrid1;
    for (int r = 0; r < 6; ++r)
        for (int c : {1, 2, 3})
            EXPECT_GT(dialogtest::inkIn(table, dialogtest::cellIn(*editor_, grid, grid.model()->index(r, c))), 5)
                << r << " " << c;
    EXPECT_EQ(dialogtest::inkIn(table, dialogtest::cellIn(*editor_, grid, grid.model()->index(1, 4))), 0)
        << "STREET has no decimals";
    EXPECT_GT(dialogtest::inkIn(table, dialogtest::cellIn(*editor_, grid, grid.model()->index(3, 4))), 5)
        << "AREA's decimals";
    EXPECT_GT(dialogtest::inkIn(table, dialogtest::placeIn(*editor_, *editor_->edFieldName)), 20);

    TNewField *dialog = NewField();
    dialog->edFieldName->setText(u8("AREA"));
    dialog->cbFieldType->setCurrentText(u8("число"));
    dialog->edFieldSize->setText(u8("12"));
    dialog->cbFieldSize->setEditText(u8("2"));
    dialog->edFieldNote->setText(u8("Площадь, га"));
    dialog->adjustSize();
    const QImage field = dialogtest::picture(*dialog);
    EXPECT_TRUE(field.save(folder + QStringLiteral("/new-field.png")));
    EXPECT_EQ(dialog->windowTitle(), u8("Создание поля"));
    for (QWidget *w : std::initializer_list<QWidget *>{dialog->edFieldName, dialog->cbFieldType, dialog->edFieldSize,
                                                       dialog->cbFieldSize, dialog->edFieldNote})
        EXPECT_GT(dialogtest::inkIn(field, dialogtest::placeIn(*dialog, *w)), 10) << w->objectName().toStdString();
}

} // namespace
