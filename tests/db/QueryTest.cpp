// Local SQL: every form the windows send, on small fixtures; live results
// that write the table; statements without results; the select-only mode for
// requests of other programs; errors.

#include "DbTestSupport.h"

#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/db/SqlSupport.h"
#include "platform/db/Table.h"

#include <gtest/gtest.h>

using namespace platform::db;
using namespace dbtest;
using testsupport::TempFolder;

namespace {

QStringList column(Query &q, const QString &field)
{
    QStringList out;
    for (q.first(); !q.eof(); q.next())
        out << q.fieldByName(field).asString();
    return out;
}

// The cadastral database of the alias "Vyk6": work tables with long names.
void makeCadastre(const TempFolder &dir)
{
    auto make = [&](const QString &name, const std::vector<std::pair<QString, FieldType>> &fields,
                    const std::vector<QVariantList> &rows) {
        Table t;
        t.setDatabaseName(dir.path());
        t.setTableName(name);
        for (const auto &[n, type] : fields)
            t.addFieldDef(n, type, type == FieldType::String ? 25 : 0);
        t.createTable();
        t.open();
        for (const QVariantList &r : rows) {
            t.append();
            for (int i = 0; i < r.size(); ++i)
                t.field(i).setValue(r[i]);
            t.post();
        }
    };
    make(QStringLiteral("Object.db"),
         {{QStringLiteral("ID_Object"), FieldType::Integer}, {QStringLiteral("IKN"), FieldType::String},
          {QStringLiteral("ID_TypeGround"), FieldType::Integer}},
         {{1, QStringLiteral("3210100000:01:001:0001"), 20},
          {2, QStringLiteral("3210100000:01:001:0002"), 10},
          {3, QStringLiteral("3210200000:02:001:0001"), 20},
          {4, QStringLiteral("3210200000:02:001:0005"), 30}});
    make(QStringLiteral("UserRec.db"),
         {{QStringLiteral("ID_Object"), FieldType::Integer}, {QStringLiteral("ID_Uses"), FieldType::Integer},
          {QStringLiteral("Owner"), FieldType::String}},
         {{1, 100, u8("Іваненко")}, {2, 101, u8("Петренко")}, {3, 100, u8("Сидоренко")}, {9, 102, u8("Нікого")}});
    make(QStringLiteral("UsesLnk.db"),
         {{QStringLiteral("ID_Uses"), FieldType::Integer}, {QStringLiteral("ID_TypeUses"), FieldType::Integer}},
         {{100, 7}, {101, 5}, {102, 9}});
    make(QStringLiteral("TypeUses.db"),
         {{QStringLiteral("ID_TypeUses"), FieldType::Integer}, {QStringLiteral("Number"), FieldType::String}},
         {{5, QStringLiteral("01.05")}, {7, QStringLiteral("02.01")}, {9, QStringLiteral("03.03")}});
}

} // namespace

TEST(Query, FormsOfTheSearchWindowGiveTheRows)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    const struct {
        const char *what;
        QStringList sql;
        const char *field;
        QStringList expected;
    } cases[] = {
        {"contains, folding Cyrillic case, ordered by two fields",
         {QStringLiteral("Select *"), QStringLiteral("From \"streets.dbf\""), u8("Where (STREET Like \"%ЕВЧЕНК%\")"),
          QStringLiteral("ORDER BY STREET,HOUSE")},
         "ID",
         {QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("6")}},
        {"two conditions joined by And",
         {QStringLiteral("Select *"), QStringLiteral("From \"streets.dbf\""), u8("Where (STREET Like \"%шевченка%\")"),
          QStringLiteral("And (HOUSE Like \"1%\")"), QStringLiteral("ORDER BY STREET,HOUSE")},
         "ID",
         {QStringLiteral("1"), QStringLiteral("3")}},
        {"a pattern with doubled double quotes",
         {QStringLiteral("Select *"), QStringLiteral("From \"streets.dbf\""), u8("Where (STREET Like \"%\"\"Тихий\"\"%\")")},
         "ID",
         {QStringLiteral("7")}},
        {"deleted records are not found",
         {QStringLiteral("Select *"), QStringLiteral("From \"streets.dbf\""), u8("Where (STREET Like \"садова%\")")},
         "ID",
         {QStringLiteral("5")}},
        {"Group By gives distinct values (case folded)",
         {QStringLiteral("Select STREET From \"streets.dbf\" Group By STREET")},
         "STREET",
         {u8("пров. \"Тихий\""), u8("Садова"), u8("Франка"), u8("Шевченка")}},
        {"Order by DESC",
         {QStringLiteral("Select *"), QStringLiteral("From \"streets.dbf\""), QStringLiteral("Order by AREA DESC")},
         "ID",
         {QStringLiteral("5"), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("6"),
          QStringLiteral("7")}},
        {"Order by ASC of a date",
         {QStringLiteral("Select ID From \"streets.dbf\" Where DATEEDIT Is Not Null Order by DATEEDIT ASC")},
         "ID",
         {QStringLiteral("5"), QStringLiteral("3"), QStringLiteral("1")}},
        {"a bare file name in another letter case",
         {QStringLiteral("Select * from STREETS.DBF where ID > 5")},
         "ID",
         {QStringLiteral("6"), QStringLiteral("7")}},
        {"equality ignores case",
         {u8("Select ID From \"streets.dbf\" Where STREET = 'ШЕВЧЕНКА' Order By ID")},
         "ID",
         {QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("6")}},
        {"a double-quoted text that names no column is a literal",
         {u8("Select ID From \"streets.dbf\" Where HOUSE = \"3а\"")},
         "ID",
         {QStringLiteral("2")}},
        {"upper folds Cyrillic",
         {u8("Select Upper(STREET) S From \"streets.dbf\" Where ID = 2")},
         "S",
         {u8("ФРАНКА")}},
    };
    for (const auto &c : cases) {
        Query q;
        q.setDatabaseName(dir.path());
        q.setSql(c.sql);
        try {
            q.open();
        } catch (const DbError &e) {
            ADD_FAILURE() << c.what << ": " << e.message().toStdString();
            continue;
        }
        EXPECT_EQ(column(q, QString::fromLatin1(c.field)), c.expected) << c.what;
    }
}

TEST(Query, CadastralFormsOverTheAlias)
{
    TempFolder dir;
    makeCadastre(dir);
    ASSERT_TRUE(setAlias(QStringLiteral("Vyk6"), dir.path()));
    {
        Query q;
        q.setDatabaseName(QStringLiteral("Vyk6"));
        q.setSql({QStringLiteral("Select SUBSTRING( \"IKN\", 1, 10) IKN"), QStringLiteral("From \"Object\""),
                  QStringLiteral("Group By \"IKN\""), QStringLiteral("Order By \"IKN\"")});
        q.open();
        EXPECT_EQ(column(q, QStringLiteral("IKN")), (QStringList{QStringLiteral("3210100000"), QStringLiteral("3210200000")}));
        EXPECT_FALSE(q.live());
    }
    {
        Query q;
        q.setDatabaseName(QStringLiteral("Vyk6"));
        q.setSql({QStringLiteral("Select SUBSTRING(IKN FROM 12 FOR 2) P From \"Object\" Order By P DESC")});
        q.open();
        EXPECT_EQ(column(q, QStringLiteral("P")),
                  (QStringList{QStringLiteral("02"), QStringLiteral("02"), QStringLiteral("01"), QStringLiteral("01")}));
    }
    {
        Query q;
        q.setDatabaseName(QStringLiteral("Vyk6"));
        q.setSql({QStringLiteral("Select \"ID_TypeGround\""), QStringLiteral("From \"Object\""),
                  QStringLiteral("Group By \"ID_TypeGround\""), QStringLiteral("Order By \"ID_TypeGround\"")});
        q.open();
        EXPECT_EQ(q.field(0).dataType(), FieldType::Integer); // numeric classes
        EXPECT_EQ(column(q, QStringLiteral("ID_TypeGround")),
                  (QStringList{QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30")}));
    }
    {
        Query q;
        q.setDatabaseName(QStringLiteral("Vyk6"));
        q.setSql({QStringLiteral("Select T.Number, U.ID_Uses, T.ID_TypeUses"),
                  QStringLiteral("From \"Object\" O, UserRec U, UsesLnk L, TypeUses T"),
                  QStringLiteral("Where U.ID_Object = O.ID_Object And L.ID_Uses = U.ID_Uses And T.ID_TypeUses = L.ID_TypeUses"),
                  QStringLiteral("Group By T.Number, U.ID_Uses, T.ID_TypeUses"), QStringLiteral("Order By T.ID_TypeUses")});
        q.open();
        ASSERT_EQ(q.recordCount(), 2);
        EXPECT_EQ(q.fieldNames(), (QStringList{QStringLiteral("Number"), QStringLiteral("ID_Uses"), QStringLiteral("ID_TypeUses")}));
        q.first();
        EXPECT_EQ(q.fieldByName(u"Number").asString(), QStringLiteral("01.05"));
        EXPECT_EQ(q.fieldByName(u"ID_Uses").asInteger(), 101);
        q.next();
        EXPECT_EQ(q.fieldByName(u"Number").asString(), QStringLiteral("02.01"));
        EXPECT_EQ(q.fieldByName(u"ID_TypeUses").asInteger(), 7);
    }
    {
        Query q;
        q.setDatabaseName(QStringLiteral("Vyk6"));
        q.setSql({QStringLiteral("Select *"), QStringLiteral("From \"Object\" O, UserRec U"),
                  QStringLiteral("Where U.ID_Object = O.ID_Object")});
        q.open();
        EXPECT_EQ(q.recordCount(), 3);
        // Both tables have ID_Object: the second one is numbered.
        EXPECT_EQ(q.fieldNames(), (QStringList{QStringLiteral("ID_Object"), QStringLiteral("IKN"), QStringLiteral("ID_TypeGround"),
                                               QStringLiteral("ID_Object_1"), QStringLiteral("ID_Uses"), QStringLiteral("Owner")}));
        EXPECT_TRUE(q.locate(QStringLiteral("Owner"), u8("сидоренко")));
        EXPECT_EQ(q.fieldByName(u"IKN").asString(), QStringLiteral("3210200000:02:001:0001"));
        EXPECT_FALSE(q.live());
        q.first();
        EXPECT_THROW(q.edit(), DbError);
    }
}

TEST(Query, ErrorsRaiseWithAClearMessage)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    const struct {
        const char *what;
        QString database;
        QString sql;
        const char *mentions;
    } cases[] = {
        {"missing table", dir.path(), QStringLiteral("Select * From \"nothere.dbf\""), "nothere.dbf"},
        {"bad syntax", dir.path(), QStringLiteral("Select * Frm \"streets.dbf\""), "Ошибка"},
        {"unknown field", dir.path(), QStringLiteral("Select NOFIELD From \"streets.dbf\""), "NOFIELD"},
        {"unknown alias", QStringLiteral("NoSuchAlias"), QStringLiteral("Select * From \"streets.dbf\""), "NoSuchAlias"},
        {"unclosed quote", dir.path(), QStringLiteral("Select * From \"streets.dbf"), "кавычка"},
        {"two statements", dir.path(), QStringLiteral("Select * From \"streets.dbf\"; Delete From \"streets.dbf\""),
         "один"},
        {"no select to open", dir.path(), QStringLiteral("Delete From \"streets.dbf\""), "Select"},
    };
    for (const auto &c : cases) {
        Query q;
        q.setDatabaseName(c.database);
        q.setSqlText(c.sql);
        try {
            q.open();
            ADD_FAILURE() << c.what << ": opened";
        } catch (const DbError &e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.mentions))) << c.what << ": " << e.message().toStdString();
        }
        EXPECT_FALSE(q.active());
    }
    // Nothing was deleted by the refused statements.
    Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("streets.dbf"));
    t.open();
    t.setRecNo(1);
    EXPECT_FALSE(t.isDeletedRecord());
}

TEST(Query, EditsOfALiveResultReachTheFile)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    {
        Query q;
        q.setDatabaseName(dir.path());
        q.setSql({QStringLiteral("Select *"), QStringLiteral("From \"streets.dbf\""), u8("Where (STREET Like \"%садова%\")")});
        q.open();
        ASSERT_TRUE(q.live());
        ASSERT_EQ(q.recordCount(), 1);
        q.edit();
        q.fieldByName(u"HOUSE").setAsString(u8("7б"));
        q.fieldByName(u"DATEEDIT").setAsDate(QDate(2024, 6, 1));
        q.post();
        EXPECT_EQ(q.fieldByName(u"HOUSE").asString(), u8("7б"));

        // Appending through the result adds a record at the end of the table.
        q.append();
        q.fieldByName(u"ID").setAsInteger(8);
        q.fieldByName(u"STREET").setAsString(u8("Садова"));
        q.post();
        EXPECT_EQ(q.recordCount(), 2);
        // A value that does not fit is refused and the row keeps its value.
        q.first();
        q.edit();
        q.fieldByName(u"AREA").setAsFloat(1e15);
        EXPECT_THROW(q.post(), DbError);
        q.cancel();
        EXPECT_DOUBLE_EQ(q.fieldByName(u"AREA").asFloat(), 300);
    }
    Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("streets.dbf"));
    t.open();
    ASSERT_TRUE(t.setRecNo(5)); // the live row was physical record 5, not the deleted 4
    EXPECT_EQ(t.fieldByName(u"HOUSE").asString(), u8("7б"));
    EXPECT_EQ(t.fieldByName(u"DATEEDIT").asDate(), QDate(2024, 6, 1));
    EXPECT_DOUBLE_EQ(t.fieldByName(u"AREA").asFloat(), 300);
    t.setRecNo(4);
    EXPECT_EQ(t.fieldByName(u"HOUSE").asString(), QStringLiteral("7"));
    EXPECT_EQ(t.recordCount(), 8);
    t.last();
    EXPECT_EQ(t.fieldByName(u"ID").asInteger(), 8);

    // Deleting through a live result marks the record, which keeps its number.
    t.close();
    Query q;
    q.setDatabaseName(dir.path());
    q.setSqlText(QStringLiteral("Select * From \"streets.dbf\" Where ID = 2"));
    q.open();
    q.deleteRecord();
    EXPECT_EQ(q.recordCount(), 0);
    q.close();
    t.open();
    EXPECT_EQ(t.recordCount(), 8);
    t.setRecNo(2);
    EXPECT_TRUE(t.isDeletedRecord());
}

TEST(Query, StatementsWithoutResultChangeTheTableWhole)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    Query q;
    q.setDatabaseName(dir.path());
    q.setSqlText(u8("Update \"streets.dbf\" Set HOUSE = \"99\" Where STREET Like \"шевч%\""));
    q.execSql();
    EXPECT_EQ(q.rowsAffected(), 3);
    q.setSqlText(QStringLiteral("Delete From \"streets.dbf\" Where ID = 1"));
    q.execSql();
    q.setSqlText(u8("Insert Into \"streets.dbf\" (ID, STREET, DATEEDIT) Values (9, 'Нова', '2024-03-08')"));
    q.execSql();

    const QByteArray before = dir.read(QStringLiteral("streets.dbf"));
    // One row overflows AREA N(12,2): the statement fails and writes nothing.
    q.setSqlText(QStringLiteral("Update \"streets.dbf\" Set AREA = AREA * 10000000"));
    EXPECT_THROW(q.execSql(), DbError);
    EXPECT_EQ(dir.read(QStringLiteral("streets.dbf")), before);
    q.setSqlText(QStringLiteral("Create Table x (a)"));
    EXPECT_THROW(q.execSql(), DbError);

    Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("streets.dbf"));
    t.open();
    EXPECT_EQ(t.recordCount(), 8);
    EXPECT_TRUE(t.isDeletedRecord()); // record 1
    t.setRecNo(6);
    EXPECT_EQ(t.fieldByName(u"HOUSE").asString(), QStringLiteral("99"));
    t.last();
    EXPECT_EQ(t.fieldByName(u"STREET").asString(), u8("Нова"));
    EXPECT_EQ(t.fieldByName(u"DATEEDIT").asDate(), QDate(2024, 3, 8));
}

TEST(Query, RequestsOfOtherProgramsMaySelectOnly)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    const QByteArray before = dir.read(QStringLiteral("streets.dbf"));
    Query q;
    q.setDatabaseName(dir.path());
    q.setSelectOnly(true);
    for (const QString &sql : {QStringLiteral("Delete From \"streets.dbf\""),
                               QStringLiteral("Update \"streets.dbf\" Set ID = 0"),
                               QStringLiteral("Insert Into \"streets.dbf\" (ID) Values (1)"),
                               QStringLiteral("Select * From \"streets.dbf\"; Delete From \"streets.dbf\""),
                               QStringLiteral("Attach Database 'x' As y")}) {
        q.setSqlText(sql);
        EXPECT_THROW(q.open(), DbError) << sql.toStdString();
        EXPECT_THROW(q.execSql(), DbError) << sql.toStdString();
    }
    EXPECT_EQ(dir.read(QStringLiteral("streets.dbf")), before);
    q.setSqlText(u8("select * from \"STREETS.dbf\" where STREET like \"%франка%\""));
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_FALSE(q.live());
    EXPECT_THROW(q.edit(), DbError);
}

TEST(Query, WorkTablesAndTheirFileNames)
{
    TempFolder dir;
    Table points;
    points.setDatabaseName(dir.path());
    points.setTableName(QStringLiteral("points.db"));
    points.addFieldDef(QStringLiteral("Number"), FieldType::Float);
    points.addFieldDef(QStringLiteral("Name"), FieldType::String, 20);
    points.addFieldDef(QStringLiteral("X"), FieldType::Float);
    points.createTable();
    points.open();
    for (int i = 1; i <= 3; ++i) {
        points.append();
        points.fieldByName(u"Number").setAsFloat(i);
        points.fieldByName(u"X").setAsFloat(i * 10.5);
        points.post();
    }
    points.close();

    Query q;
    q.setDatabaseName(dir.path());
    q.setSqlText(QStringLiteral("Select * From \"Points.db\""));
    q.open();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.fieldByName(u"X").dataType(), FieldType::Float);
    EXPECT_TRUE(q.live());
    q.last();
    q.edit();
    q.fieldByName(u"Name").setAsString(u8("Межа"));
    q.post();
    q.close();
    points.open();
    points.last();
    EXPECT_EQ(points.fieldByName(u"Name").asString(), u8("Межа"));
}

TEST(Query, ASelfJoinOverALargeTableReadsEachSideRight)
{
    // Larger than the records read at once, so the two sides of the join keep
    // pushing each other's records out of the file's read buffer.
    TempFolder dir;
    std::vector<QByteArray> records;
    for (int i = 1; i <= 3000; ++i)
        records.push_back(record({right(QString::number(i), 9), left(u8("Вулиця ") + QString::number(i), 60)}));
    dir.write(QStringLiteral("big.dbf"), dbfFile({{"ID", 'N', 9, 0}, {"NAME", 'C', 60, 0}}, records));
    Query q;
    q.setDatabaseName(dir.path());
    q.setSqlText(QStringLiteral("Select A.ID, A.NAME, B.ID BID, B.NAME BNAME From \"big.dbf\" A, \"big.dbf\" B "
                                "Where B.rowid = A.rowid + 2000 Order By A.ID"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1000);
    int bad = 0;
    for (q.first(); !q.eof(); q.next()) {
        const int a = q.fieldByName(u"ID").asInteger();
        bad += q.fieldByName(u"BID").asInteger() != a + 2000;
        bad += q.fieldByName(u"NAME").asString() != u8("Вулиця ") + QString::number(a);
        bad += q.fieldByName(u"BNAME").asString() != u8("Вулиця ") + QString::number(a + 2000);
    }
    EXPECT_EQ(bad, 0);
}

TEST(Query, LikeMatchesWildcardsAndFoldsCase)
{
    const struct {
        const char *pattern;
        const char *text;
        bool match;
    } cases[] = {
        {"%", "", true},           {"%", "abc", true},          {"", "", true},
        {"", "a", false},          {"a_c", "abc", true},        {"a_c", "ac", false},
        {"%вич%", "ПЕТРОВИЧ", true}, {"ш%а", "Шевченка", true},   {"ш%о", "Шевченка", false},
        {"%a%b%c%", "xaybzc", true}, {"%a%b%c%", "xaybz", false}, {"Ёж%", "ёжик", true},
        {"%і", "ЇЖАКІ", true},      {"ґ_", "Ґа", true},          {"%!%%", "50%", true},
        {"%!%%", "50", false},     {"a!_c", "a_c", true},       {"a!_c", "abc", false},
    };
    for (const auto &c : cases) {
        const QByteArray p(c.pattern), t(c.text);
        const bool got = platform::db::sql::likeMatch(reinterpret_cast<const unsigned char *>(p.constData()),
                                                       static_cast<int>(p.size()),
                                                       reinterpret_cast<const unsigned char *>(t.constData()),
                                                       static_cast<int>(t.size()), U'!');
        EXPECT_EQ(got, c.match) << c.pattern << " ~ " << c.text;
    }
}

TEST(Query, ACompiledLikePatternMatchesAsLikeDoes)
{
    // likeMatch is the reference: every pattern against every text, the
    // text given as UTF-8 and as the record's Windows-1251 bytes.
    const char *patterns[] = {"",     "%",     "%%",      "_",       "__",     "a",        "A%",    "%a",
                              "%a%",  "a%a",   "%a%a%",   "a_c",     "%_%",    "_%_",      "%aab",  "%a%ab%",
                              "%b_",  "_b%",   "%ЕВЧ%",   "ш%а",     "%ё%",    "Ґ_",       "%і",    "%а_а%",
                              "%%а%%", "__%",  "%\"%",    "%%%_",    "шевченка", "%Шевченка%", "1%", "a%%c"};
    const char *texts[] = {"",     "a",     "A",       "aa",      "abc",    "aab",      "aaab",  "abcabc",
                           "ab",   "xaybzc", "Шевченка", "ШЕВЧЕНКА", "вул. шевченка 1", "ёжик", "ЇЖАКІ", "Ґа",
                           "а_а",  "а%а",   "пров. \"Тихий\"", "12", "1", "ac", "abbc", " a "};
    for (const char *p : patterns) {
        const QByteArray pattern(p);
        const platform::db::sql::LikePattern compiled(reinterpret_cast<const unsigned char *>(pattern.constData()),
                                                      static_cast<int>(pattern.size()));
        for (const char *t : texts) {
            const QByteArray text(t);
            const auto *u = reinterpret_cast<const unsigned char *>(text.constData());
            const bool expected = platform::db::sql::likeMatch(
                reinterpret_cast<const unsigned char *>(pattern.constData()), static_cast<int>(pattern.size()), u,
                static_cast<int>(text.size()));
            EXPECT_EQ(compiled.matchesUtf8(u, static_cast<int>(text.size())), expected) << p << " ~ " << t;
            const QByteArray cp1251 = platform::toCp1251(QString::fromUtf8(text));
            EXPECT_EQ(compiled.matchesCp1251(cp1251.constData(), static_cast<int>(cp1251.size())), expected)
                << p << " ~ " << t << " (Windows-1251)";
        }
    }
}

TEST(Query, LikeOnACharacterFieldFiltersTheRecordsAsTheFunctionDoes)
{
    // The table filters its records by Like conditions on character fields;
    // the same condition on an expression goes through the like function.
    TempFolder dir;
    std::vector<QByteArray> records;
    const char *streets[] = {"Шевченка", "ШЕВЧЕНКА", "", "вул. Шевченка", "Садова", "садова ", "пров. \"Тихий\"",
                             "Ґанкова", "ґанкова", "Їжакова", "Шевченкова"};
    int id = 0;
    for (const char *s : streets) {
        ++id;
        records.push_back(streetRecord(id, s, id % 2 ? "1" : "12", "1.00", "", 'T', id == 10));
    }
    // A street with a zero inside it: the text keeps it, only the trailing ones go.
    QByteArray zero = streetRecord(12, "A b", "1", "1.00", "", 'T');
    zero[1 + 9 + 1] = '\0';
    zero[1 + 9 + 4] = '\0';
    records.push_back(zero);
    dir.write(QStringLiteral("streets.dbf"), dbfFile(streetFields(), records));
    dir.write(QStringLiteral("patterns.dbf"),
              dbfFile({{"PAT", 'C', 20, 0}},
                      {record({left(u8("%ШЕВЧ%"), 20)}), record({left(u8("_анкова"), 20)}), record({left(u8(""), 20)})}));
    const QStringList patterns = {u8("'%шевч%'"), u8("'%ЕВЧЕНКА'"), u8("'садова%'"), u8("'%'"), u8("'_'"),
                                  u8("'%\"%'"),   u8("'ґ%'"),       u8("'%а_а%'"),   u8("''"),  QStringLiteral("NULL"),
                                  QStringLiteral("1"), QStringLiteral("'A%'"), QStringLiteral("'A_b'")};
    auto ids = [&](const QString &sql) {
        Query q;
        q.setDatabaseName(dir.path());
        q.setSqlText(sql);
        q.open();
        return column(q, QStringLiteral("ID"));
    };
    for (const QString &p : patterns) {
        const QStringList filtered =
            ids(QStringLiteral("Select ID From \"streets.dbf\" Where STREET Like ") + p + QStringLiteral(" And HOUSE Like '1%' Order By ID"));
        EXPECT_EQ(filtered, ids(QStringLiteral("Select ID From \"streets.dbf\" Where (STREET || '') Like ") + p
                                + QStringLiteral(" And (HOUSE || '') Like '1%' Order By ID")))
            << p.toStdString();
    }
    EXPECT_EQ(ids(u8("Select ID From \"streets.dbf\" Where STREET Like '%шевч%' Order By ID")),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("11")}));
    // Neither the blank street nor the deleted record.
    EXPECT_EQ(ids(u8("Select ID From \"streets.dbf\" Where STREET Like '%' Order By ID")).size(), 10);
    EXPECT_EQ(ids(QStringLiteral("Select ID From \"streets.dbf\" Where STREET Like 'A_b'")), QStringList{QStringLiteral("12")});
    // A pattern from another table, a new one for each of its rows; a
    // numeric field through the function.
    EXPECT_EQ(ids(QStringLiteral("Select S.ID From \"patterns.dbf\" P, \"streets.dbf\" S Where S.STREET Like P.PAT "
                                 "Order By S.ID")),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("8"),
                           QStringLiteral("9"), QStringLiteral("11")}));
    EXPECT_EQ(ids(QStringLiteral("Select ID From \"streets.dbf\" Where ID Like '1%' Order By ID")),
              (QStringList{QStringLiteral("1"), QStringLiteral("11"), QStringLiteral("12")}));
}
