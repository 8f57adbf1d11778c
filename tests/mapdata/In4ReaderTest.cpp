#include "mapdata/In4Reader.h"

#include "platform/Environment.h"
#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

namespace {

QString lines(std::initializer_list<const char *> l)
{
    QStringList out;
    for (const char *s : l)
        out << QString::fromUtf8(s);
    return out.join(QStringLiteral("\r\n"));
}

std::vector<std::pair<QString, QString>> pairs(const std::vector<TTxtValues> &values)
{
    std::vector<std::pair<QString, QString>> out;
    for (const TTxtValues &v : values)
        out.emplace_back(v.Key, v.Value);
    return out;
}

using Pairs = std::vector<std::pair<QString, QString>>;

std::pair<QString, QString> p(const char *k, const char *v) { return {QString::fromUtf8(k), QString::fromUtf8(v)}; }

} // namespace

TEST(In4Reader, FieldsAndValues)
{
    struct Split { const char *line; std::vector<const char *> fields; };
    const Split splits[] = {
        {"BL,KN=12,S=0.5", {"BL", "KN=12", "S=0.5"}},
        {"BL,NAME=\"Иванов, Петров\",S=1", {"BL", "NAME=\"Иванов, Петров\"", "S=1"}},  // quotes keep commas
        {"A,,B,", {"A", "", "B", ""}},
        {"X=\"unclosed, quote", {"X=\"unclosed, quote"}},
        {"", {""}},
    };
    for (const Split &s : splits) {
        QStringList expected;
        for (const char *f : s.fields)
            expected << QString::fromUtf8(f);
        EXPECT_EQ(in4::splitFields(QString::fromUtf8(s.line)), expected) << s.line;
    }

    struct Clean { const char *in, *out; };
    const Clean cleans[] = {
        {"5400000.5", "5400000,5"},        // numbers read under either separator
        {" 1.2.3 ", "1,2,3"},
        {"\"ул. Ленина, 5\"", "ул. Ленина, 5"},  // quoted texts keep their points
        {"a\"b", "a b"},
        {"", ""},
    };
    for (const Clean &c : cleans)
        EXPECT_EQ(in4::cleanValue(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(In4Reader, ParcelsWithTheirAttributesAndSwappedCoordinates)
{
    const QString text = lines({
        "Заголовок файла",
        "BL,KN=\"48:02:001\",AREA=0.15,",
        "NAME=\"Иванов, Петров\"",                // continuation line of the BL block
        "SR,KOD=3,NOTE=\"пашня\"",
        "N=1,NP=\"п1\",X=5400000.5,Y=1300000.25,Z=150.5,MX=0.1,MY=0.1",
        "N=2,NP=\"п2\",X=5400010,Y=1300000.25",
        "N=3,X=5400010,Y=1300010",
        "CL,SOMETHING=1",
        "BL,KN=\"48:02:002\"",
        "SR,KOD=4",
        "N=1,X=1,Y=2",
        "N=2,X=3,Y=4",
        "N=3,X=,Y=",                             // ends the point list
        "N=4,X=5,Y=6",
    });
    const std::vector<in4::Parcel> parcels = in4::readParcels(text, QStringLiteral("  /data/plots.in4 "));
    ASSERT_EQ(parcels.size(), 2u);

    EXPECT_EQ(pairs(parcels[0].Values),
              (Pairs{p("FileName", "/data/plots.in4"), p("BL", ""), p("KN", "48:02:001"), p("AREA", "0,15"), p("", ""),
                     p("NAME", "Иванов, Петров"), p("", ""), p("", ""), p("SR", ""), p("KOD", "3"),
                     p("NOTE", "пашня")}));
    ASSERT_EQ(parcels[0].Points.size(), 3u);
    // The file's X is the northing (the second coordinate), its Y the easting.
    EXPECT_EQ(parcels[0].Points[0].Point.X, 1300000.25);
    EXPECT_EQ(parcels[0].Points[0].Point.Y, 5400000.5);
    EXPECT_EQ(parcels[0].Points[0].Point.Z, 150.5);
    EXPECT_EQ(parcels[0].Points[0].Name, QStringLiteral("п1"));
    EXPECT_EQ(parcels[0].Points[2].Point.X, 1300010);
    EXPECT_EQ(parcels[0].Points[2].Point.Z, 0);

    EXPECT_EQ(pairs(parcels[1].Values), (Pairs{p("FileName", "/data/plots.in4"), p("BL", ""), p("KN", "48:02:002"),
                                               p("", ""), p("", ""), p("SR", ""), p("KOD", "4")}));
    ASSERT_EQ(parcels[1].Points.size(), 2u);
    EXPECT_EQ(parcels[1].Points[1].Point.X, 4);
    EXPECT_EQ(parcels[1].Points[1].Point.Y, 3);
}

TEST(In4Reader, WhichPointBlocksMakeParcels)
{
    struct Case { const char *what; QString text; size_t parcels; size_t points; };
    const Case cases[] = {
        {"points after a BL header only", lines({"BL,KN=1", "N=1,X=1,Y=1"}), 0, 0},
        {"points after a CL header", lines({"BL,KN=1", "SR,A=1", "CL,B=2", "N=1,X=1,Y=1"}), 0, 0},
        {"an ST header then points", lines({"ST,A=1", "N=1,X=1,Y=1", "N=2,X=2,Y=2"}), 1, 2},
        {"lower-case headers", lines({"bl,KN=1", "sr,A=1", "N=1,X=1,Y=1"}), 1, 1},
        {"no point lines", lines({"BL,KN=1", "SR,A=1"}), 0, 0},
        {"first row without coordinates", lines({"SR,A=1", "N=1,X=,Y="}), 0, 0},
        {"a blank line ends the point block", lines({"SR,A=1", "N=1,X=1,Y=1", "", "N=2,X=2,Y=2"}), 2, 1},
        {"LF line ends and no final break", QStringLiteral("SR,A=1\nN=1,X=1,Y=1\nN=2,X=2,Y=2"), 1, 2},
        {"empty file", QString(), 0, 0},
    };
    for (const Case &c : cases) {
        const std::vector<in4::Parcel> parcels = in4::readParcels(c.text, QStringLiteral("a.in4"));
        EXPECT_EQ(parcels.size(), c.parcels) << c.what;
        if (!parcels.empty()) {
            EXPECT_EQ(parcels.front().Points.size(), c.points) << c.what;
        }
    }
}

TEST(In4Reader, TablesGrowBeyondFixedSizes)
{
    // 150 fields in one block over several lines, 2500 points, points with
    // more than seven fields: nothing is cut off or overrun.
    QStringList text{QStringLiteral("BL,F0=0")};
    for (int line = 0; line < 15; ++line) {
        QStringList fields;
        for (int k = 1; k <= 10; ++k)
            fields << QStringLiteral("F%1=%2").arg(line * 10 + k).arg(k);
        text << fields.join(u',');
    }
    text << QStringLiteral("SR,A=1");
    for (int n = 1; n <= 2500; ++n)
        text << QStringLiteral("N=%1,NP=%1,X=%2,Y=%3,Z=1,MX=0,MY=0,EXTRA=9,MORE=10").arg(n).arg(n * 2).arg(n);
    const std::vector<in4::Parcel> parcels = in4::readParcels(text.join(QStringLiteral("\r\n")), QString());
    ASSERT_EQ(parcels.size(), 1u);
    EXPECT_EQ(parcels[0].Values.size(), 1u + 152u + 1u + 1u + 2u);
    EXPECT_EQ(parcels[0].Values[152].Key, QStringLiteral("F150"));
    ASSERT_EQ(parcels[0].Points.size(), 2500u);
    EXPECT_EQ(parcels[0].Points[2499].Point.X, 2500);
    EXPECT_EQ(parcels[0].Points[2499].Point.Y, 5000);
    EXPECT_EQ(parcels[0].Points[2499].Name, QStringLiteral("2500"));
}

TEST(In4Reader, CoordinateThatIsNoNumberRefusesTheFile)
{
    const QString text = lines({"SR,A=1", "N=1,X=1,Y=1", "BL,K=1", "SR,A=2", "N=1,X=.,Y=2"});
    EXPECT_THROW(in4::readParcels(text, QString()), platform::ConvertError);
}
