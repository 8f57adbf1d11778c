// The ".fr3" the banded engine writes (reports/model/Fr3Writer.cpp), read by this
// library: its Windows-1251 bytes under the utf-8 declaration are decoded
// by attribute, the memo's "Memo.text" through the wide list's 8-bit text,
// the password with each byte plus ten, positions as written (the banded
// engine's units, not converted).

#include "ReportTestClasses.h"

#include "platform/Environment.h"
#include "platform/Service.h"
#include "platform/classlib/Streams.h"
#include "reports/model/Fr3Writer.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportViews.h"
#include "xmlreports/Serializer.h"
#include "xmlreports/XmlDocument.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace xmltest;

TEST(BandedTemplate, LoadsIntoTheLibrarysObjects)
{
    registerTestClasses();
    platform::DecimalSeparator comma{u','};
    platform::ScopedService<platform::DecimalSeparator> pin(comma);

    reports::TfrReport banded;
    auto page = std::make_unique<reports::Page>();
    page->ChangePaper(256, 2000, 1000, -1, 0);
    page->MarginLeft = page->MarginTop = page->MarginRight = page->MarginBottom = 10;
    auto memo = std::make_unique<reports::MemoView>();
    memo->Name = QStringLiteral("Title1");
    memo->SetBounds(120, 40, 300, 25);
    memo->Memo = QStringList{QStringLiteral("Відомість ділянок"), QStringLiteral("[Date]")};
    page->Add(std::move(memo));
    banded.Pages.push_back(std::move(page));
    banded.ReportAutor = QStringLiteral("Іваненко");
    banded.ReportPassword = QStringLiteral("abc");

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    reports::SaveToFR3Stream(banded, out);

    platform::classlib::TMemoryStream stream(out.data());
    TfrxXMLDocument doc;
    doc.LoadFromStream(stream);
    ASSERT_EQ(doc.Root()->Name, "TfrxReport");

    TfrxTestReport report;
    TfrxXMLSerializer serializer;
    serializer.Owner = &report;
    serializer.AttributesToObject(doc.Root()->Text, &report);
    EXPECT_EQ(report.ReportOptions()->Author, QStringLiteral("Іваненко"));
    EXPECT_EQ(report.ReportOptions()->Password, QStringLiteral("abc"));
    EXPECT_TRUE(report.ScriptText()->Text().contains(QStringLiteral("begin")));
    EXPECT_EQ(report.Variables().Count(), 0); // read through the collection form, none written

    ASSERT_EQ(doc.Root()->Count(), 1);
    TfrxXMLItem *pageElement = doc.Root()->Items(0);
    EXPECT_EQ(pageElement->Name, "TfrxReportPage");
    ASSERT_EQ(pageElement->Count(), 1);
    TfrxXMLItem *memoElement = pageElement->Items(0);
    EXPECT_EQ(memoElement->Name, "TfrxMemoView");
    auto *view = new TfrxTestMemo(&report);
    serializer.AttributesToObject(memoElement->Text, view);
    serializer.ResolveReferences();
    EXPECT_TRUE(serializer.Errors().isEmpty()) << serializer.Errors().join(u'\n').toStdString();
    EXPECT_EQ(view->Name(), QStringLiteral("Title1"));
    EXPECT_EQ(view->Memo()->Strings(0), QStringLiteral("Відомість ділянок"));
    EXPECT_EQ(view->Memo()->Strings(1), QStringLiteral("[Date]"));
    // Positions in the banded engine's units, as written (the page's left
    // margin taken off).
    EXPECT_DOUBLE_EQ(view->Top(), 40);
    EXPECT_DOUBLE_EQ(view->Width(), 300);
    EXPECT_DOUBLE_EQ(view->Height(), 25);
}
