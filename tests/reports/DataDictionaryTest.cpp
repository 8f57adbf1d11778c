// The data dictionary: its section and ".frd" file, the older layouts built
// byte by byte, names turned over, hidden data sets, field references through
// the component registry, values of variables and fields, and variables that
// lead back to themselves.

#include "ReportFileBytes.h"
#include "ReportTestSupport.h"
#include "platform/db/MemoryTable.h"
#include "reports/model/DataDictionary.h"
#include "reports/model/DataSets.h"
#include "reports/language/ExpressionParser.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/DataDictionary.h"
#include "reports/model/ReportFiles.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportStreams.h"
#include "support/TestFiles.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace reports;
using reportbytes::Bytes;
namespace db = platform::db;

namespace {

class DataDictionaryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        components().Clear();
        form = components().AddContainer(QStringLiteral("Form1"));
        table = std::make_unique<db::MemoryTable>(
            db::FieldDefs{{QStringLiteral("NAME"), db::FieldType::String, 20, 0},
                          {QStringLiteral("SUM"), db::FieldType::Float, 0, 0},
                          {QStringLiteral("ID"), db::FieldType::Integer, 4, 0}},
            std::vector<std::vector<QVariant>>{{QStringLiteral("Иванов"), 12.5, 1}});
        Component *t = form->Add(QStringLiteral("Table1"));
        t->DataSet = table.get();
        report.Owner = form;
        library().State.CurrentReport = &report;
    }
    void TearDown() override
    {
        components().Clear();
        resetLibrary();
    }

    Component *form = nullptr;
    std::unique_ptr<db::MemoryTable> table;
    TfrReport report;
};

QByteArray section(const DataDictionary &d)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    d.SaveToStream(buffer);
    return bytes;
}

void load(DataDictionary &d, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    d.LoadFromStream(buffer);
}

QStringList entries(const Variables &list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.GetName(i) + u'=' + list.GetValue(i).toString();
    return out;
}

TEST_F(DataDictionaryTest, TheSectionAndTheFileHoldTheSameBytes)
{
    DataDictionary d;
    d.Variables.SetVariable(QStringLiteral(" Группа"), Variant(QString()));
    d.Variables.SetVariable(QStringLiteral("A"), Variant(QStringLiteral("1")));
    d.BandDatasources.SetVariable(QStringLiteral("Data1"), Variant(QStringLiteral("Данные")));
    const QByteArray bytes = section(d);
    Bytes expected;
    expected.u16(0xFFFE).i32(2).str(QStringLiteral(" Группа")).str(QString()).str(QStringLiteral("A")).str(
        QStringLiteral("1"));
    expected.i32(0).i32(1).str(QStringLiteral("Data1")).str(QStringLiteral("Данные"));
    EXPECT_EQ(bytes, expected.b);

    testsupport::TempFolder folder;
    const QString name = folder.file(QStringLiteral("d.frd"));
    ASSERT_TRUE(d.SaveToFile(name));
    EXPECT_EQ(folder.read(QStringLiteral("d.frd")), QByteArray(1, 25) + bytes);
    DataDictionary back;
    ASSERT_TRUE(back.LoadFromFile(name));
    EXPECT_EQ(entries(back.Variables), entries(d.Variables));
    EXPECT_EQ(entries(back.BandDatasources), entries(d.BandDatasources));
    EXPECT_FALSE(back.LoadFromFile(folder.file(QStringLiteral("missing.frd"))));
}

QByteArray oldestSection(bool complete)
{
    Bytes s;
    s.i32(3);
    auto entry = [&](int kind, int number, const char *dataSet, const char *field, const char *name) {
        s.u8(kind).i32(number);
        for (const char *t : {dataSet, field, name}) {
            const QByteArray b = platform::toCp1251(QString::fromUtf8(t));
            s.u8(static_cast<int>(b.size())).raw(b);
        }
    };
    entry(1, 0, "Table1", "NAME", "Клиент");
    entry(2, 0, "", "", "Страница");
    entry(2, 1, "", "Просто текст", "Текст");
    if (!complete)
        return s.b;
    s.memo({QStringLiteral("Группа"), QStringLiteral(" Клиент"), QStringLiteral(" Страница"),
            QStringLiteral(" Текст")});
    return s.b;
}

TEST_F(DataDictionaryTest, TheOldestLayoutGivesItsVariablesAndValues)
{
    DataDictionary d;
    load(d, oldestSection(true));
    EXPECT_EQ(entries(d.Variables), QStringList({QStringLiteral(" Группа="), QStringLiteral("Клиент=Table1.\"NAME\""),
                                                 QStringLiteral("Страница=PAGE#"),
                                                 QStringLiteral("Текст=Просто текст")}));
    DataDictionary cut;
    EXPECT_THROW(load(cut, oldestSection(false)), StreamReadError);
}

TEST_F(DataDictionaryTest, NamesAreTurnedOverOnlyWhenTheFirstIsNoCategory)
{
    struct Case {
        QStringList stored;
        QStringList read;
    };
    const Case cases[] = {
        {{QStringLiteral(" Main"), QStringLiteral("A")}, {QStringLiteral(" Main="), QStringLiteral("A=")}},
        {{QStringLiteral("Main"), QStringLiteral(" A")}, {QStringLiteral(" Main="), QStringLiteral("A=")}},
    };
    for (const Case &c : cases) {
        Bytes s;
        s.u16(0xFFFE).i32(static_cast<qint32>(c.stored.size()));
        for (const QString &n : c.stored)
            s.str(n).str(QString());
        s.i32(0).i32(0);
        DataDictionary d;
        load(d, s.b);
        EXPECT_EQ(entries(d.Variables), c.read);
    }
}

TEST_F(DataDictionaryTest, EmptyAliasesOfTheOlderSectionArePruned)
{
    Bytes s;
    s.u16(0xFFFF).i32(0);
    s.i32(3).str(QStringLiteral("Table1.NAME")).str(QString()).str(QStringLiteral("Table1.GONE")).str(QString());
    s.str(QStringLiteral("Table1.ID")).str(QStringLiteral("Номер"));
    s.i32(2).str(QStringLiteral("Data1")).str(QString()).str(QStringLiteral("Data2")).str(QStringLiteral("Д"));
    DataDictionary d;
    load(d, s.b);
    EXPECT_EQ(entries(d.FieldAliases), QStringList({QStringLiteral("Table1.NAME="), QStringLiteral("Table1.ID=Номер")}));
    EXPECT_EQ(entries(d.BandDatasources), QStringList{QStringLiteral("Data2=Д")});
}

TEST_F(DataDictionaryTest, DisabledEntriesHideDataSets)
{
    DataDictionary d;
    d.DisabledDatasets = {QStringLiteral("Query*"), QStringLiteral("Table9")};
    struct Case {
        const char *name;
        bool enabled;
    };
    const Case cases[] = {{"QueryA", false}, {"Query", false}, {"queryA", true},
                          {"table9", false}, {"Table90", true}, {"Other", true}};
    for (const Case &c : cases)
        EXPECT_EQ(d.IsDatasetEnabled(QString::fromLatin1(c.name)), c.enabled) << c.name;

    form->Add(QStringLiteral("QueryA"))->DataSet = table.get();
    form->Add(QStringLiteral("Table9"))->DataSet = table.get();
    EXPECT_EQ(d.GetDatasetList(), QStringList{QStringLiteral("Table1")});
}

TEST_F(DataDictionaryTest, FieldReferencesReachTheSameField)
{
    for (const char *text : {"Table1.NAME", "Table1.\"NAME\"", "Form1.Table1.NAME", "Form1.Table1.\"NAME\""}) {
        db::DataSet *dataSet = nullptr;
        QString field;
        ParseFieldReference(QString::fromLatin1(text), dataSet, field);
        EXPECT_EQ(dataSet, table.get()) << text;
        EXPECT_EQ(field, QStringLiteral("NAME")) << text;
    }
    db::DataSet *dataSet = nullptr;
    QString field;
    ParseFieldReference(QStringLiteral("Table1.MISSING"), dataSet, field);
    EXPECT_TRUE(field.isEmpty());

    DataDictionary &d = *FileDictionary(report);
    EXPECT_TRUE(d.IsVariable(QStringLiteral("Table1.NAME")));
    EXPECT_EQ(d.GetValue(QStringLiteral("Table1.NAME")).toString(), QStringLiteral("Иванов"));
    EXPECT_FALSE(d.IsVariable(QStringLiteral("Table1.MISSING")));
    EXPECT_FALSE(d.IsVariable(QStringLiteral("Nothing")));

    // A field shown under an alias is reached by it.
    d.FieldAliases.SetVariable(QStringLiteral("Table1.SUM"), Variant(QStringLiteral("Сумма")));
    EXPECT_TRUE(d.IsVariable(QStringLiteral("Table1.Сумма")));
    EXPECT_DOUBLE_EQ(d.GetValue(QStringLiteral("Table1.Сумма")).toDouble(), 12.5);
    d.FieldAliases.SetVariable(QStringLiteral("Table1.ID"), Variant(QString()));
    EXPECT_EQ(d.GetFieldList(QStringLiteral("Table1")), QStringList({QStringLiteral("NAME"), QStringLiteral("Сумма")}));
}

TEST_F(DataDictionaryTest, VariablesTakeGlobalValuesAndEvaluateTheirText)
{
    DataDictionary &d = *FileDictionary(report);
    library().ReportParser.OnGetValue = [&](const QString &name, Variant &value) {
        if (d.IsVariable(name))
            value = d.GetValue(name);
    };
    d.Variables.SetVariable(QStringLiteral("Total"), Variant(QStringLiteral("1 + 2")));
    d.Variables.SetVariable(QStringLiteral("Shared"), Variant(QStringLiteral("5")));
    d.Variables.SetVariable(QStringLiteral("Client"), Variant(QStringLiteral("Table1.NAME")));
    library().ReportVariables.SetVariable(QStringLiteral("Shared"), Variant(QStringLiteral("глобальная")));
    EXPECT_EQ(d.GetValue(QStringLiteral("Total")).toInt(), 3);
    EXPECT_EQ(d.GetValue(QStringLiteral("Shared")).toString(), QStringLiteral("глобальная"));
    EXPECT_TRUE(d.IsVariable(QStringLiteral("Client")));
    EXPECT_EQ(d.GetValue(QStringLiteral("Client")).toString(), QStringLiteral("Иванов"));

    // Variables that lead back to themselves end in the undefined-variable
    // error instead of running down the stack.
    d.Variables.SetVariable(QStringLiteral("A"), Variant(QStringLiteral("B + 1")));
    d.Variables.SetVariable(QStringLiteral("B"), Variant(QStringLiteral("A")));
    try {
        d.GetValue(QStringLiteral("A"));
        FAIL() << "no error";
    } catch (const ParserError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Переменная не определена: \"A\""));
    }
    // The chain is free again afterwards.
    d.Variables.SetVariable(QStringLiteral("B"), Variant(QStringLiteral("2")));
    EXPECT_EQ(d.GetValue(QStringLiteral("A")).toInt(), 3);
}

TEST_F(DataDictionaryTest, NullFieldsGiveTheirTypesEmptyValue)
{
    db::MemoryTable nulls(db::FieldDefs{{QStringLiteral("S"), db::FieldType::String, 10, 0},
                                        {QStringLiteral("B"), db::FieldType::Boolean, 0, 0},
                                        {QStringLiteral("I"), db::FieldType::Integer, 4, 0},
                                        {QStringLiteral("F"), db::FieldType::Float, 0, 0},
                                        {QStringLiteral("D"), db::FieldType::Date, 0, 0}},
                          std::vector<std::vector<QVariant>>{{QVariant(), QVariant(), QVariant(), QVariant(), QVariant()}});
    nulls.open();
    struct Case {
        const char *field;
        Variant expected;
    };
    const Case cases[] = {{"S", Variant(QString())}, {"B", Variant(false)}, {"I", Variant(0)}, {"F", Variant(0)},
                          {"D", Variant(0)}};
    for (const Case &c : cases) {
        const Variant v = GetFieldValue(nulls.fieldByName(QString::fromLatin1(c.field)));
        EXPECT_EQ(v.type(), c.expected.type()) << c.field;
        EXPECT_EQ(v.toString(), c.expected.toString()) << c.field;
    }
    form->Add(QStringLiteral("Nulls"))->DataSet = &nulls;
    EXPECT_TRUE(FieldIsNull(QStringLiteral("Nulls.S")));
    EXPECT_FALSE(FieldIsNull(QStringLiteral("Table1.NAME")));
    EXPECT_TRUE(FieldIsNull(QStringLiteral("Nowhere.S")));
}

TEST_F(DataDictionaryTest, ComponentListsNameComponentsFromTheOwner)
{
    Component *module = components().AddContainer(QStringLiteral("Module"));
    Component *frame = module->Add(QStringLiteral("Frame"));
    frame->Add(QStringLiteral("Deep"))->DataSet = table.get();
    module->Add(QStringLiteral("Top"))->DataSet = table.get();
    QStringList names;
    for (const ListedComponent &c : FillComponentList(form, ComponentClass::AnyDataSet))
        names << c.Name;
    EXPECT_EQ(names, QStringList({QStringLiteral("Table1"), QStringLiteral("Module.Frame.Deep"),
                                  QStringLiteral("Module.Top")}));
    EXPECT_EQ(FindComponentEx(form, QStringLiteral("Module.Frame.Deep"))->Name, QStringLiteral("Deep"));
    EXPECT_EQ(FindComponentEx(form, QStringLiteral("table1"))->Name, QStringLiteral("Table1"));
    EXPECT_EQ(FindComponentEx(form, QStringLiteral("Module.Nothing")), nullptr);

    bool virtualSet = false;
    std::unique_ptr<Dataset> counted(ResolveDataset(QStringLiteral("3"), virtualSet));
    ASSERT_NE(counted, nullptr);
    EXPECT_TRUE(virtualSet);
    EXPECT_EQ(counted->RangeEndCount, 3);
}

} // namespace
