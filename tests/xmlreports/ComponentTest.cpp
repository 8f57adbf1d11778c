// The component base, data sets, variables and settings of the report
// library.

#include "ReportTestClasses.h"

#include "platform/Environment.h"
#include "platform/Service.h"
#include "platform/TextCodec.h"
#include "platform/classlib/Streams.h"
#include "xmlreports/ReportUtils.h"
#include "xmlreports/Resources.h"
#include "xmlreports/Serializer.h"

#include <gtest/gtest.h>

using namespace xmltest;
using platform::classlib::TMemoryStream;

namespace {

class Components : public ::testing::Test {
protected:
    void SetUp() override { registerTestClasses(); }
    platform::DecimalSeparator point{u'.'};
    platform::ScopedService<platform::DecimalSeparator> pin{point};
};

} // namespace

TEST_F(Components, UniqueNamesAndDuplicates)
{
    TfrxTestReport report;
    auto *page = new TfrxTestPage(&report);
    auto *a = new TfrxTestMemo(page);
    a->MakeUniqueName();
    auto *b = new TfrxTestMemo(page);
    b->MakeUniqueName();
    EXPECT_EQ(a->Name(), QStringLiteral("TestMemo1"));
    EXPECT_EQ(b->Name(), QStringLiteral("TestMemo2"));
    EXPECT_EQ(a->Owner(), &report);
    delete a;
    auto *c = new TfrxTestMemo(page);
    c->MakeUniqueName();
    EXPECT_EQ(c->Name(), QStringLiteral("TestMemo1"));
    try {
        b->SetName(QStringLiteral("testmemo1"));
        FAIL() << "a duplicate name was taken";
    } catch (const ReportException &e) {
        EXPECT_EQ(e.message(), GetReportResources().Get(QStringLiteral("prDupl")));
    }
    EXPECT_EQ(b->Name(), QStringLiteral("TestMemo2"));
    EXPECT_EQ(report.FindObject(QStringLiteral("TESTMEMO2")), b);
    EXPECT_EQ(c->Page(), page);
    EXPECT_EQ(c->Report(), &report);
}

TEST_F(Components, DesignerRestrictionsAndParentFont)
{
    TfrxTestPage page;
    auto *designed = TfrxComponent::CreateForDesigner<TfrxTestMemo>(&page);
    designed->SetRestrictions(rfDontMove);
    designed->SetLeft(5);
    EXPECT_EQ(designed->Left(), 0);
    auto *plain = new TfrxTestMemo(&page);
    plain->SetRestrictions(rfDontMove);
    plain->SetLeft(5);
    EXPECT_EQ(plain->Left(), 5);

    TfrxTestPage other;
    other.Font()->SetName(QStringLiteral("Courier"));
    plain->SetParentFont(true);
    EXPECT_EQ(plain->Font()->Name(), QStringLiteral("Arial"));
    plain->SetParent(&other);
    EXPECT_EQ(plain->Font()->Name(), QStringLiteral("Courier"));
    other.Font()->SetSize(14);
    EXPECT_EQ(plain->Font()->Size(), 14);
    EXPECT_TRUE(plain->ParentFont());
    designed->Font()->SetSize(20); // its own font: the flag goes off
    EXPECT_FALSE(designed->ParentFont());
}

TEST_F(Components, AssignAndLoadKeepNames)
{
    TfrxTestReport report;
    auto *page = new TfrxTestPage(&report);
    page->SetName(QStringLiteral("Page1"));
    auto *source = new TfrxTestMemo(page);
    source->SetName(QStringLiteral("Src"));
    source->SetBounds(1, 2, 3, 4);
    source->Memo()->SetText(u"текст");
    auto *child = new TfrxTestMemo(source);
    child->SetName(QStringLiteral("Kid"));
    auto *target = new TfrxTestMemo(page);
    target->SetName(QStringLiteral("Dst"));
    target->Assign(source);
    EXPECT_EQ(target->Name(), QStringLiteral("Dst"));
    EXPECT_DOUBLE_EQ(target->Height(), 4);
    EXPECT_EQ(target->Memo()->Strings(0), QStringLiteral("текст"));
    EXPECT_TRUE(target->Objects().empty());

    TfrxTestPage loose; // no report: the copied child keeps its name
    auto *copy = new TfrxTestMemo(&loose);
    copy->AssignWithChildren(source);
    ASSERT_EQ(copy->Objects().size(), 1u);
    EXPECT_EQ(copy->Objects()[0]->Name(), QStringLiteral("Kid"));

    TMemoryStream stream;
    page->SaveToStream(stream);
    auto *page2 = new TfrxTestPage(&report);
    page2->SetName(QStringLiteral("Page2"));
    stream.SetPosition(0);
    EXPECT_NO_THROW(page2->LoadFromStream(stream) /* the objects' names clash with Page1's */);
    EXPECT_EQ(page2->Name(), QStringLiteral("Page2"));
}

TEST_F(Components, ArrangeAlignedChildren)
{
    struct Case {
        const char *what;
        std::vector<std::array<double, 5>> views; // align, left, top, width, height
        std::vector<std::array<double, 4>> expected;
    };
    const Case cases[] = {
        {"two baLeft on one line",
         {{baLeft, 50, 0, 10, 10}, {baLeft, 80, 5, 20, 10}},
         {{0, 0, 10, 10}, {10, 5, 20, 10}}},
        {"baRight", {{baRight, 5, 0, 30, 10}}, {{170, 0, 30, 10}}},
        {"baWidth up to a right neighbour",
         {{baWidth, 20, 0, 10, 10}, {baNone, 150, 0, 10, 10}},
         {{0, 0, 150, 10}, {150, 0, 10, 10}}},
        {"baCenter", {{baCenter, 0, 0, 50, 10}}, {{75, 0, 50, 10}}},
        {"baBottom", {{baBottom, 3, 0, 10, 20}}, {{3, 80, 10, 20}}},
        {"baClient", {{baClient, 3, 4, 5, 6}}, {{0, 0, 200, 100}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TfrxTestPage parent;
        parent.SetBounds(0, 0, 200, 100);
        std::vector<TfrxTestMemo *> views;
        for (const auto &v : c.views) {
            auto *m = new TfrxTestMemo(&parent);
            m->Align = static_cast<int>(v[0]);
            m->SetBounds(v[1], v[2], v[3], v[4]);
            views.push_back(m);
        }
        parent.ArrangeAlignedChildren();
        for (size_t i = 0; i < views.size(); ++i) {
            EXPECT_DOUBLE_EQ(views[i]->Left(), c.expected[i][0]) << i;
            EXPECT_DOUBLE_EQ(views[i]->Top(), c.expected[i][1]) << i;
            EXPECT_DOUBLE_EQ(views[i]->Width(), c.expected[i][2]) << i;
            EXPECT_DOUBLE_EQ(views[i]->Height(), c.expected[i][3]) << i;
        }
    }
}

TEST_F(Components, DifferenceTexts)
{
    TfrxTestPage page;
    auto *ref = new TfrxTestMemo(&page);
    auto *m = new TfrxTestMemo(&page);
    m->SetBounds(1.5, 0.00001, 10, 2);
    m->SetVisible(false);
    m->Font()->SetName(QStringLiteral("A&B"));
    m->Font()->SetStyle(1 | 4);
    m->Tag = 7;
    EXPECT_EQ(m->DifferenceText(ref), QStringLiteral(" l=\"1.5\" w=\"10\" h=\"2\" Visible=\"0\" Font.Name=\"A&#38;B\" "
                                                     "Font.Style=\"5\" Tag=\"7\""));
    m->AutoWidth = true;
    m->Align = baLeft;
    EXPECT_FALSE(m->DifferenceText(ref).contains(QStringLiteral(" l=")));
    EXPECT_FALSE(m->DifferenceText(ref).contains(QStringLiteral(" w=")));

    TfrxFrame f, r;
    f.Typ = ftLeft | ftBottom;
    f.Width = 1.00001;
    f.DropShadow = true;
    EXPECT_EQ(f.FrameDifferenceText(r), QStringLiteral(" Frame.DropShadow=\"1\" Frame.Typ=\"9\""));
}

TEST_F(Components, DataSets)
{
    TfrxUserDataSet ds;
    ds.RangeEnd = reCount;
    ds.RangeEndCount = 3;
    int nexts = 0;
    ds.OnNext = [&](TObject *) { ++nexts; };
    ds.First();
    ds.Next();
    ds.Next();
    EXPECT_FALSE(ds.Eof());
    ds.Next();
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(nexts, 2);
    EXPECT_EQ(ds.RecordCount(), 3);
    ds.RangeBegin = rbCurrent;
    EXPECT_EQ(ds.RecordCount(), 0);

    ds.SetName(QStringLiteral("Orders"));
    EXPECT_EQ(ds.UserName(), QStringLiteral("Orders"));
    ds.SetName(QStringLiteral("Orders2"));
    EXPECT_EQ(ds.UserName(), QStringLiteral("Orders2"));
    ds.SetUserName(QStringLiteral("Замовлення"));
    ds.SetName(QStringLiteral("Orders3"));
    EXPECT_EQ(ds.UserName(), QStringLiteral("Замовлення"));
    EXPECT_THROW(ds.SetUserName(QStringLiteral("   ")), ReportException);
    EXPECT_EQ(ds.UserName(), QStringLiteral("Замовлення"));

    ds.Fields()->Add(QStringLiteral("Name"));
    EXPECT_TRUE(ds.HasField(QStringLiteral("NAME")));
    EXPECT_FALSE(ds.HasField(QStringLiteral("Other")));

    // Two reports each with a data set of one user name find their own.
    TfrxTestReport r1, r2;
    auto *p1 = new TfrxTestPage(&r1);
    auto *p2 = new TfrxTestPage(&r2);
    auto *d1 = new TfrxUserDataSet(p1);
    auto *d2 = new TfrxUserDataSet(p2);
    d1->SetUserName(QStringLiteral("Customers"));
    d2->SetUserName(QStringLiteral("Customers"));
    EXPECT_EQ(FindDataSet(nullptr, QStringLiteral("customers"), &r2), d2);
    EXPECT_EQ(FindDataSet(nullptr, QStringLiteral("customers"), &r1), d1);
    EXPECT_EQ(FindDataSet(&ds, QStringLiteral("none"), &r1), &ds);
    EXPECT_EQ(FindDataSet(&ds, QString(), &r1), nullptr);
    r1.DataSets().Add()->SetDataSet(d1);
    EXPECT_EQ(r1.DataSets().FindByUserName(QStringLiteral("CUSTOMERS")), r1.DataSets().Items(0));
}

TEST_F(Components, Variables)
{
    TfrxVariables vars;
    vars.SetVariable(QStringLiteral("Total"), platform::Variant(5));
    vars.SetVariable(QStringLiteral("Підсумок"), platform::Variant(1));
    EXPECT_EQ(vars.Variables(QStringLiteral("TOTAL")).toInt(), 5);
    EXPECT_EQ(vars.IndexOf(QStringLiteral("ПІДСУМОК")), 1);
    EXPECT_TRUE(vars.Variables(QStringLiteral("missing")).isNull());
    EXPECT_EQ(vars.Count(), 2);
    vars.SetVariable(QStringLiteral("total"), platform::Variant(6));
    vars.SetVariable(QStringLiteral("New"), platform::Variant(7));
    EXPECT_EQ(vars.Count(), 3);
    EXPECT_EQ(vars.Items(0)->Value.toInt(), 6);
    EXPECT_EQ(vars.Items(2)->Name, QStringLiteral("New"));
}

TEST_F(Components, Settings)
{
    TfrxEngineOptions e;
    e.SetSilentMode(true);
    EXPECT_EQ(e.NewSilentMode, simSilent);
    e.NewSilentMode = simReThrow;
    EXPECT_FALSE(e.SilentMode());
    e.EnableThreadSafe = true;
    TfrxEngineOptions copy;
    copy.Assign(&e);
    EXPECT_EQ(copy.NewSilentMode, simReThrow);
    EXPECT_FALSE(copy.EnableThreadSafe);

    // The password is kept with each byte less ten.
    TfrxReportOptions o;
    o.Password = QStringLiteral("abc");
    EXPECT_EQ(platform::toCp1251(o.StoredPassword()), QByteArray("\x57\x58\x59"));
    int asked = 0;
    TfrxReportOptions::SetPasswordPrompt([&](QString &typed) {
        ++asked;
        typed = QStringLiteral("abc");
        return true;
    });
    EXPECT_TRUE(o.CheckPassword());
    EXPECT_TRUE(o.CheckPassword());
    EXPECT_EQ(asked, 1);
    TfrxReportOptions::SetPasswordPrompt(nullptr);

    o.Author = QStringLiteral("A");
    o.Description()->Add(QStringLiteral("d"));
    o.InfoOnly = true;
    o.Clear();
    EXPECT_EQ(o.Author, QStringLiteral("A"));
    EXPECT_EQ(o.Description()->Count(), 1);
    EXPECT_TRUE(o.Password.isEmpty());

    TfrxStyles styles;
    styles.Add()->SetName(QStringLiteral("Title"));
    EXPECT_THROW(styles.Add()->SetName(QStringLiteral("title")), ReportException);

    TfrxPreviewOptions preview;
    EXPECT_EQ(preview.Buttons, 4095);
    TfrxPrintOptions print;
    EXPECT_EQ(print.Printer, GetReportResources().Get(QStringLiteral("prDefault")));
}

TEST_F(Components, ReportErrorBySilentMode)
{
    EXPECT_THROW(ReportError(simReThrow, QStringLiteral("x")), ReportException);
    EXPECT_NO_THROW(ReportError(simSilent, QStringLiteral("x")));
}
