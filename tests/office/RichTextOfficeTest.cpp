// RTF this program writes, opened by another program: LibreOffice converts
// it to text and to HTML, and must find the same text, Cyrillic and signs
// included, and the same styles, sizes, colours and alignment. Skipped when
// LibreOffice is not installed (label "office").

#include "platform/richtext/RichDocument.h"
#include "support/Office.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace platform::richtext;

TEST(OfficeRichText, WrittenRtfOpensWithItsTextAndStyles)
{
    const QString office = testsupport::officeProgram();
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the written RTF is not checked by another program";

    RichDocument doc;
    CharFormat plain;
    plain.font = QStringLiteral("Liberation Serif");
    plain.charset = 204;
    CharFormat title = plain;
    title.bold = true;
    title.halfPoints = 32;
    CharFormat red = plain;
    red.italic = true;
    red.color = platform::gdi::rgb(255, 0, 0);
    CharFormat under = plain;
    under.underline = true;
    CharFormat struck = plain;
    struck.strikeOut = true;
    struck.color = platform::gdi::rgb(0, 0, 255);
    doc.append(QStringLiteral("Межевой план"), title);
    doc.append(QStringLiteral("\rЗаказчик: "), plain);
    doc.append(QStringLiteral("Иванов"), red);
    doc.append(QStringLiteral(", № "), plain);
    doc.append(QStringLiteral("50:12"), under);
    doc.append(QStringLiteral(" — "), plain);
    doc.append(QStringLiteral("снят"), struck);
    doc.append(QStringLiteral(" €½\u4E2D"), plain);
    doc.append(QStringLiteral("\rСправа"), plain);
    doc.setParaFormat(0, ParaFormat{Align::Center, 0, 0, 0, false});
    doc.setParaFormat(2, ParaFormat{Align::Right, 0, 0, 0, false});

    testsupport::TempFolder dir;
    const QString file = dir.write(QStringLiteral("rich.rtf"), doc.toRtf());

    const QString text = testsupport::readUtf8(testsupport::officeConvert(office, file, dir.path(), QStringLiteral("txt:Text (encoded):UTF8")));
    QString expected = doc.plainText();
    QString seen = text;
    seen.remove(QChar(0xFEFF));
    EXPECT_EQ(seen.trimmed().replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
              expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    const QString html = testsupport::readUtf8(testsupport::officeConvert(office, file, dir.path(), QStringLiteral("html")));
    ASSERT_FALSE(html.isEmpty());
    const QString keep = testsupport::artefactFolder(QStringLiteral("office"));
    QFile::remove(keep + QStringLiteral("/rich.html"));
    QFile::copy(dir.path() + QStringLiteral("/out-rtf-html/rich.html"), keep + QStringLiteral("/rich.html"));
    // Line breaks of the HTML are blanks; none between tags.
    QString flat = html;
    flat.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    flat.replace(QStringLiteral("> <"), QStringLiteral("><"));
    auto has = [&flat](const QString &pattern) { return flat.contains(QRegularExpression(pattern)); };
    EXPECT_TRUE(has(QStringLiteral("<p[^>]*align=\"center\"[^>]*>(<[^>]*>)*<font size=\"4\" style=\"font-size: 16pt\"><b>Межевой план</b>")));
    EXPECT_TRUE(has(QStringLiteral("<font color=\"#ff0000\">(<[^>]*>)*<i>Иванов</i>")));
    EXPECT_TRUE(has(QStringLiteral("<u>50:12</u>")));
    EXPECT_TRUE(has(QStringLiteral("<font color=\"#0000ff\"><strike>(<[^>]*>)*снят<")));
    EXPECT_TRUE(has(QStringLiteral("<p[^>]*align=\"right\"[^>]*>(<[^>]*>)*Справа<")));
}
