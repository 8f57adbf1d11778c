// The project file's layer blocks: every key written and read back, the
// reader's tolerance (legacy keys, malformed numbers, brush and style keys),
// and the names the writer works with.

#include "mapdata/ProjectFile.h"
#include "mapdata/MapFunctions.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <functional>

using namespace projectfile;

namespace {

TMapLayer sampleLayer()
{
    TMapLayer L;
    L.FileName = QStringLiteral("дороги.shp");
    L.Number = 7;
    L.Name = QStringLiteral("Дороги района");
    L.MapType = 8;
    L.ImgName = QStringLiteral("план.tif");
    L.ObjType = 4;
    L.MtMinX = 5400000.125;
    L.MtMinY = 1300000.5;
    L.MtMaxX = 5400100.75;
    L.MtMaxY = 1300200.25;
    L.CenterX = 5400050.4375;
    L.CenterY = 1300100.375;
    L.S = 12.5;
    L.P = 3.25;
    L.PenColor = 255;
    L.PenStyle = 2;
    L.PenWidth = 0.35;
    L.PenMode = 13;
    L.PointStyle = 6;
    L.PntBitmap = 3;
    L.BrushColor = 0x00FF00;
    L.BrushType = 0;
    L.Font.FontName = QStringLiteral("Times New Roman Cyr");
    L.Font.Size = 14;
    L.Font.Rotate = 45.5;
    L.Font.Scale = 2000;
    L.Font.Color = 0x0000FF;
    L.Font.TextStyle = 5;
    L.Font.TextSymbol = u'Ж';
    L.ScaleMin = 100;
    L.ScaleMax = 50000;
    L.ScaleView = true;
    L.ViewPoints = true;
    L.XError = 0.5;
    L.YError = 0.25;
    L.PsToPtX = 1.5;
    L.PsToPtY = 2.5;
    L.RCenterX = 10.5;
    L.RCenterY = 20.5;
    L.Visible = false;
    L.Snap = true;
    L.Edited = true;
    L.ForAllObjects = false;
    L.ViewInScale = true;
    L.ViewShadow = true;
    L.FieldNameObject = QStringLiteral("KADNUM");
    L.FieldNameStreet = QStringLiteral("УЛИЦА");
    L.FieldNameHouse = QStringLiteral("DOM");
    L.Gamma = 30;
    L.Contrast = -20;
    L.Transform = true;
    L.Projection = QStringLiteral("tmerc");
    L.Ellipsoid = QStringLiteral("krass");
    L.Longitude = QStringLiteral("33");
    L.Latitude = QStringLiteral("0");
    L.Proj_X = 6500000;
    L.Proj_Y = -0.5;
    L.Proj_K = 0.9996;
    L.VykProject = true;
    L.NumProject = 3;
    L.StrProject = QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33");
    L.GPS = QStringLiteral("GPS1");
    L.Device = QStringLiteral("COM3");
    L.PIN = QStringLiteral("1234");
    L.TypeLegend = 2;
    L.FieldNameLegend = QStringLiteral("ВИД");
    L.Legend = {{2, QStringLiteral("пашня"), 5, 0x00FFFF}, {1, QStringLiteral("10-20"), 6, 12}};
    TMapLabel a;
    a.Visible = true;
    a.FieldName = QStringLiteral("НАЗВАНИЕ");
    a.Font.FontName = QStringLiteral("Arial Cyr");
    a.Font.Size = 9;
    a.Font.Scale = 500;
    a.Font.Rotate = 12.25;
    a.Font.Color = 0x112233;
    a.Font.TextStyle = 2;
    a.Font.BrushColor = 0xFFFFFF;
    a.Font.BrushStyle = 1;
    a.Font.Center = 2;
    a.Font.Position = 7;
    a.Font.ShiftX = -3;
    a.Font.ShiftY = 4;
    a.FormatShow = QStringLiteral("0.00");
    TMapLabel removed = a;
    removed.Removed = true;
    removed.FieldName = QStringLiteral("GONE");
    TMapLabel b;
    b.FieldName = QStringLiteral("ID");
    b.Font.TextStyle = 7;
    L.Labels = {a, removed, b};
    return L;
}

// The keys of a layer block in writing order, with the text of the sample
// layer's value ("." as decimal separator).
const std::pair<const char *, const char *> SampleKeys[] = {
    {"FileName", "дороги.shp"},
    {"Number", "7"},
    {"Name", "Дороги района"},
    {"MapType", "8"},
    {"ImgName", "план.tif"},
    {"ObjType", "4"},
    {"MtMinX", "5400000.125"},
    {"MtMinY", "1300000.5"},
    {"MtMaxX", "5400100.75"},
    {"MtMaxY", "1300200.25"},
    {"CenterX", "5400050.4375"},
    {"CenterY", "1300100.375"},
    {"S", "12.5"},
    {"P", "3.25"},
    {"PenColor", "255"},
    {"PenStyle", "2"},
    {"PenWidth", "0.35"},
    {"PenMode", "13"},
    {"PointStyle", "6"},
    {"PntBitmap", "3"},
    {"BrushColor", "65280"},
    {"BrushStyle", "1"},
    {"BrushType", "0"},
    {"FontName", "Times New Roman Cyr"},
    {"FontSize", "14"},
    {"TextRotate", "45.5"},
    {"TextScale", "2000"},
    {"TextColor", "255"},
    {"TextStyleBold", "True"},
    {"TextStyleItalic", "False"},
    {"TextStyleUnderline", "True"},
    {"TextSymbol", "Ж"},
    {"ScaleMin", "100"},
    {"ScaleMax", "50000"},
    {"ScaleView", "True"},
    {"ViewPoints", "True"},
    {"PtMinX", "5400000.125"},
    {"PtMinY", "1300000.5"},
    {"PtMaxX", "5400100.75"},
    {"PtMaxY", "1300200.25"},
    {"XError", "0.5"},
    {"YError", "0.25"},
    {"PsToPtX", "1.5"},
    {"PsToPtY", "2.5"},
    {"RCenterX", "10.5"},
    {"RCenterY", "20.5"},
    {"Visible", "False"},
    {"Snap", "True"},
    {"Edited", "True"},
    {"ForAllObjects", "False"},
    {"ViewInScale", "True"},
    {"ViewShadow", "True"},
    {"FieldNameObject", "KADNUM"},
    {"FieldNameStreet", "УЛИЦА"},
    {"FieldNameHouse", "DOM"},
    {"Gamma", "30"},
    {"Contrast", "-20"},
    {"Transform", "True"},
    {"Projection", "tmerc"},
    {"Ellipsoid", "krass"},
    {"Longitude", "33"},
    {"Latitude", "0"},
    {"Proj_X", "6500000"},
    {"Proj_Y", "-0.5"},
    {"Proj_K", "0.9996"},
    {"VykProject", "True"},
    {"NumProject", "3"},
    {"StrProject", "+proj=tmerc +ellps=krass +lon_0=33"},
    {"GPS", "GPS1"},
    {"Device", "COM3"},
    {"PIN", "1234"},
    {"TypeLegend", "2"},
    {"FieldNameLegend", "ВИД"},
};

void expectSameLayer(const TMapLayer &got, const TMapLayer &want)
{
    EXPECT_EQ(got.FileName, want.FileName);
    EXPECT_EQ(got.Name, want.Name);
    EXPECT_EQ(got.MapType, want.MapType);
    EXPECT_EQ(got.ImgName, want.ImgName);
    EXPECT_EQ(got.ObjType, want.ObjType);
    EXPECT_EQ(got.MtMinX, want.MtMinX);
    EXPECT_EQ(got.MtMinY, want.MtMinY);
    EXPECT_EQ(got.MtMaxX, want.MtMaxX);
    EXPECT_EQ(got.MtMaxY, want.MtMaxY);
    EXPECT_EQ(got.CenterX, want.CenterX);
    EXPECT_EQ(got.CenterY, want.CenterY);
    EXPECT_EQ(got.S, want.S);
    EXPECT_EQ(got.P, want.P);
    EXPECT_EQ(got.PenColor, want.PenColor);
    EXPECT_EQ(got.PenStyle, want.PenStyle);
    EXPECT_EQ(got.PenWidth, want.PenWidth);
    EXPECT_EQ(got.PenMode, want.PenMode);
    EXPECT_EQ(got.PointStyle, want.PointStyle);
    EXPECT_EQ(got.PntBitmap, want.PntBitmap);
    EXPECT_EQ(got.BrushColor, want.BrushColor);
    EXPECT_EQ(got.BrushType, want.BrushType);
    EXPECT_EQ(got.Font.FontName, want.Font.FontName);
    EXPECT_EQ(got.Font.Size, want.Font.Size);
    EXPECT_EQ(got.Font.Rotate, want.Font.Rotate);
    EXPECT_EQ(got.Font.Scale, want.Font.Scale);
    EXPECT_EQ(got.Font.Color, want.Font.Color);
    EXPECT_EQ(got.Font.TextStyle, want.Font.TextStyle);
    EXPECT_EQ(got.Font.TextSymbol, want.Font.TextSymbol);
    EXPECT_EQ(got.ScaleMin, want.ScaleMin);
    EXPECT_EQ(got.ScaleMax, want.ScaleMax);
    EXPECT_EQ(got.ScaleView, want.ScaleView);
    EXPECT_EQ(got.ViewPoints, want.ViewPoints);
    EXPECT_EQ(got.XError, want.XError);
    EXPECT_EQ(got.YError, want.YError);
    EXPECT_EQ(got.PsToPtX, want.PsToPtX);
    EXPECT_EQ(got.PsToPtY, want.PsToPtY);
    EXPECT_EQ(got.RCenterX, want.RCenterX);
    EXPECT_EQ(got.RCenterY, want.RCenterY);
    EXPECT_EQ(got.Visible, want.Visible);
    EXPECT_EQ(got.Snap, want.Snap);
    EXPECT_EQ(got.Edited, want.Edited);
    EXPECT_EQ(got.ForAllObjects, want.ForAllObjects);
    EXPECT_EQ(got.ViewInScale, want.ViewInScale);
    EXPECT_EQ(got.ViewShadow, want.ViewShadow);
    EXPECT_EQ(got.FieldNameObject, want.FieldNameObject);
    EXPECT_EQ(got.FieldNameStreet, want.FieldNameStreet);
    EXPECT_EQ(got.FieldNameHouse, want.FieldNameHouse);
    EXPECT_EQ(got.Gamma, want.Gamma);
    EXPECT_EQ(got.Contrast, want.Contrast);
    EXPECT_EQ(got.Transform, want.Transform);
    EXPECT_EQ(got.Projection, want.Projection);
    EXPECT_EQ(got.Ellipsoid, want.Ellipsoid);
    EXPECT_EQ(got.Longitude, want.Longitude);
    EXPECT_EQ(got.Latitude, want.Latitude);
    EXPECT_EQ(got.Proj_X, want.Proj_X);
    EXPECT_EQ(got.Proj_Y, want.Proj_Y);
    EXPECT_EQ(got.Proj_K, want.Proj_K);
    EXPECT_EQ(got.VykProject, want.VykProject);
    EXPECT_EQ(got.NumProject, want.NumProject);
    EXPECT_EQ(got.StrProject, want.StrProject);
    EXPECT_EQ(got.GPS, want.GPS);
    EXPECT_EQ(got.Device, want.Device);
    EXPECT_EQ(got.PIN, want.PIN);
    EXPECT_EQ(got.TypeLegend, want.TypeLegend);
    EXPECT_EQ(got.FieldNameLegend, want.FieldNameLegend);
}

void expectSameLabel(const TMapLabel &got, const TMapLabel &want)
{
    EXPECT_EQ(got.Visible, want.Visible);
    EXPECT_EQ(got.FieldName, want.FieldName);
    EXPECT_EQ(got.FormatShow, want.FormatShow);
    const TMapFont &g = got.Font, &f = want.Font;
    EXPECT_EQ(g.FontName, f.FontName);
    EXPECT_EQ(g.Size, f.Size);
    EXPECT_EQ(g.Scale, f.Scale);
    EXPECT_EQ(g.Rotate, f.Rotate);
    EXPECT_EQ(g.Color, f.Color);
    EXPECT_EQ(g.TextStyle, f.TextStyle);
    EXPECT_EQ(g.BrushColor, f.BrushColor);
    EXPECT_EQ(g.BrushStyle, f.BrushStyle);
    EXPECT_EQ(g.Center, f.Center);
    EXPECT_EQ(g.Position, f.Position);
    EXPECT_EQ(g.ShiftX, f.ShiftX);
    EXPECT_EQ(g.ShiftY, f.ShiftY);
}

// A layer read from the lines of a block body.
TMapLayer readBody(const QStringList &body)
{
    QStringList lines = body;
    lines << QStringLiteral("}");
    TMapLayer L;
    readLayerBlock(lines, 0, L);
    return L;
}

} // namespace

TEST(ProjectFileBlocks, EveryKeyIsWrittenAndReadBack)
{
    for (const QChar separator : {QChar(u'.'), QChar(u',')}) {
        SCOPED_TRACE(QString(separator).toStdString());
        platform::ScopedService<platform::DecimalSeparator> sep(separator);
        const TMapLayer sample = sampleLayer();
        QStringList lines;
        writeLayerBlock(lines, sample, 3);

        ASSERT_GE(lines.size(), 3 + qsizetype(std::size(SampleKeys)));
        EXPECT_EQ(lines[0], QString());
        EXPECT_EQ(lines[1], QStringLiteral("Layer=3"));
        EXPECT_EQ(lines[2], QStringLiteral("{"));
        for (size_t k = 0; k < std::size(SampleKeys); ++k) {
            QString value = QString::fromUtf8(SampleKeys[k].second);
            bool real = false;
            value.toDouble(&real);
            if (real)
                value.replace(u'.', separator);
            EXPECT_EQ(lines[3 + qsizetype(k)], QStringLiteral("   ") + QLatin1String(SampleKeys[k].first) + u'=' + value);
        }
        // The legend and the labels after the keys; the removed label is
        // left out and the others numbered without a gap.
        const QStringList rest = lines.mid(3 + qsizetype(std::size(SampleKeys)));
        EXPECT_EQ(rest.first(), QStringLiteral(" "));
        EXPECT_TRUE(rest.contains(QStringLiteral("   Legend=2")));
        EXPECT_TRUE(rest.contains(QStringLiteral("      Values=пашня")));
        EXPECT_TRUE(rest.contains(QStringLiteral("   Label=2")));
        EXPECT_FALSE(rest.contains(QStringLiteral("   Label=3")));
        EXPECT_FALSE(rest.contains(QStringLiteral("      FieldName=GONE")));
        EXPECT_EQ(rest.last(), QStringLiteral("}"));
        const QStringList label1 = rest.mid(rest.indexOf(QStringLiteral("   Label=1")), 20);
        EXPECT_EQ(label1, (QStringList{"   Label=1", "   {", "      Visible=True", "      FieldName=НАЗВАНИЕ",
                                       "      FontName=Arial Cyr", "      Size=9", "      Scale=500",
                                       QStringLiteral("      Rotate=12") + separator + QStringLiteral("25"),
                                       "      Color=1122867", "      TextStyleBold=False", "      TextStyleItalic=True",
                                       "      TextStyleUnderline=False", "      BrushColor=16777215",
                                       "      BrushStyle=1", "      Center=2", "      Position=7", "      ShiftX=-3",
                                       "      ShiftY=4", "      FormatShow=0.00", "   }"}));

        // Read back: the lines after "Layer=".
        TMapLayer read;
        EXPECT_EQ(readLayerBlock(lines, 2, read), lines.size());
        expectSameLayer(read, sample);
        EXPECT_EQ(read.Number, 0);   // the reader numbers layers by their blocks
        EXPECT_EQ(read.PtMinX, 5400000);
        EXPECT_EQ(read.PtMinY, 1300000);   // 1300000.5: halves to even
        EXPECT_EQ(read.PtMaxX, 5400101);
        EXPECT_EQ(read.PtMaxY, 1300200);
        ASSERT_EQ(read.Legend.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(read.Legend[i].ObjType, sample.Legend[i].ObjType);
            EXPECT_EQ(read.Legend[i].Values, sample.Legend[i].Values);
            EXPECT_EQ(read.Legend[i].Number, sample.Legend[i].Number);
            EXPECT_EQ(read.Legend[i].Code, sample.Legend[i].Code);
        }
        ASSERT_EQ(read.Labels.size(), 2u);
        expectSameLabel(read.Labels[0], sample.Labels[0]);
        expectSameLabel(read.Labels[1], sample.Labels[2]);
    }
}

TEST(ProjectFileBlocks, ReaderTolerance)
{
    struct Case {
        const char *name;
        QStringList body;
        std::function<void(const TMapLayer &)> check;
    };
    const Case cases[] = {
        {"BrushStyle 0 alone", {"BrushStyle=0"}, [](const TMapLayer &L) { EXPECT_EQ(L.BrushType, 1); }},
        {"BrushType decides", {"BrushStyle=0", "BrushType=0"}, [](const TMapLayer &L) { EXPECT_EQ(L.BrushType, 0); }},
        {"BrushStyle 1", {"BrushStyle=1"}, [](const TMapLayer &L) { EXPECT_EQ(L.BrushType, 0); }},
        {"BrushStyle 3", {"BrushStyle=3"}, [](const TMapLayer &L) { EXPECT_EQ(L.BrushType, 3); }},
        {"italic only", {"TextStyleItalic=True"}, [](const TMapLayer &L) { EXPECT_EQ(L.Font.TextStyle, 2); }},
        {"booleans", {"Visible=1", "Snap=true", "Edited=True", "ViewShadow=yes"},
         [](const TMapLayer &L) {
             EXPECT_TRUE(L.Visible);
             EXPECT_FALSE(L.Snap);   // only "True" and "1"
             EXPECT_TRUE(L.Edited);
             EXPECT_FALSE(L.ViewShadow);
         }},
        {"symbol of code 0", {QStringLiteral("TextSymbol=") + QChar(0)},
         [](const TMapLayer &L) { EXPECT_EQ(L.Font.TextSymbol, TMapFont{}.TextSymbol); }},
        {"malformed numbers", {"MtMinX=,", "Proj_K=-.", "PenColor=.", "FontSize=-,", "Proj_X=1.5.5", "Gamma=12,7"},
         [](const TMapLayer &L) {
             EXPECT_EQ(L.MtMinX, 0);
             EXPECT_EQ(L.Proj_K, 1);
             EXPECT_EQ(L.PenColor, 0);
             EXPECT_EQ(L.Font.Size, 0);
             EXPECT_EQ(L.Proj_X, 1.55);
             EXPECT_EQ(L.Gamma, 13);
         }},
        {"empty Proj_K", {"Proj_K="}, [](const TMapLayer &L) { EXPECT_EQ(L.Proj_K, 1); }},
        // A number beyond the 32-bit range is as malformed as any other; the
        // bounds themselves still read.
        {"beyond 32 bits", {"Gamma=99999999999", "Contrast=-2147483649", "PenColor=2147483647", "ScaleMin=-2147483648",
                            "ScaleMax=4294967296"},
         [](const TMapLayer &L) {
             EXPECT_EQ(L.Gamma, 0);
             EXPECT_EQ(L.Contrast, 0);
             EXPECT_EQ(L.PenColor, 2147483647);
             EXPECT_EQ(L.ScaleMin, -2147483647 - 1);
             EXPECT_EQ(L.ScaleMax, 0);
         }},

        {"indentation and case", {"      Name  =  Дом культуры  ", "name=other", "Foo=bar", "{"},
         [](const TMapLayer &L) { EXPECT_EQ(L.Name, QStringLiteral("Дом культуры")); }},
        {"255 characters", {QStringLiteral("ImgName=") + QString(300, u'я'), QStringLiteral("Name=") + QString(300, u'я')},
         [](const TMapLayer &L) {
             EXPECT_EQ(L.ImgName, QString(255, u'я'));
             EXPECT_EQ(L.Name.size(), 300);
         }},
        {"legacy label", {"Lable=1", "{", "FieldName=NAME", "Visible=True", "}", "Label=2", "{", "}"},
         [](const TMapLayer &L) {
             ASSERT_EQ(L.Labels.size(), 2u);
             EXPECT_EQ(L.Labels[0].FieldName, QStringLiteral("NAME"));
             EXPECT_TRUE(L.Labels[0].Visible);
         }},
        {"ViewNameObj", {"ViewNameObj=True"},
         [](const TMapLayer &L) {
             ASSERT_EQ(L.Labels.size(), 1u);
             EXPECT_TRUE(L.Labels[0].Visible);
         }},
        {"ViewNameObj false", {"ViewNameObj=False"}, [](const TMapLayer &L) { EXPECT_TRUE(L.Labels.empty()); }},
        {"ViewFieldName", {"FontName=Arial Cyr", "FontSize=8", "TextColor=255", "ViewFieldName=KADNUM"},
         [](const TMapLayer &L) {
             ASSERT_EQ(L.Labels.size(), 1u);
             const TMapLabel &l = L.Labels[0];
             EXPECT_EQ(l.FieldName, QStringLiteral("KADNUM"));
             EXPECT_EQ(l.Font.FontName, QStringLiteral("Arial Cyr"));
             EXPECT_EQ(l.Font.Size, 8);
             EXPECT_EQ(l.Font.Color, 255);
             EXPECT_EQ(l.Font.BrushColor, 0xFFFFFF);
             EXPECT_EQ(l.Font.BrushStyle, 1);
         }},
        {"legacy keys on an existing label", {"Label=1", "{", "FieldName=A", "}", "ViewNameObj=True", "ViewFieldName=B"},
         [](const TMapLayer &L) {
             ASSERT_EQ(L.Labels.size(), 1u);
             EXPECT_TRUE(L.Labels[0].Visible);
             EXPECT_EQ(L.Labels[0].FieldName, QStringLiteral("B"));
         }},
    };
    platform::ScopedService<platform::DecimalSeparator> sep(u'.');
    // The converter itself raises on these; the reader takes the default.
    EXPECT_THROW(MapFunctions::TextToFloat(QStringLiteral("-."), 1), platform::ConvertError);
    EXPECT_THROW(MapFunctions::TextToInt(QStringLiteral(",")), platform::ConvertError);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.check(readBody(c.body));
    }
}

TEST(ProjectFileBlocks, ABlockEndsAtTheFirstClosingBrace)
{
    const QStringList lines = {"Name=A", "Legend=1", "{", "Values=x", "}", "Name=B", "}", "Name=C"};
    TMapLayer L;
    EXPECT_EQ(readLayerBlock(lines, 0, L), 7);
    EXPECT_EQ(L.Name, QStringLiteral("B"));
    ASSERT_EQ(L.Legend.size(), 1u);
    EXPECT_EQ(L.Legend[0].Values, QStringLiteral("x"));
    // A block cut short ends with the lines.
    TMapLayer cut;
    EXPECT_EQ(readLayerBlock({"Name=D", "Label=1", "{", "FieldName=F"}, 0, cut), 4);
    EXPECT_EQ(cut.Name, QStringLiteral("D"));
    ASSERT_EQ(cut.Labels.size(), 1u);
    EXPECT_EQ(cut.Labels[0].FieldName, QStringLiteral("F"));
}

TEST(ProjectFileNames, BackupTempAndDataFolder)
{
    struct Case {
        const char *project, *backup, *data;
    };
    const Case cases[] = {
        {"/home/u/maps/city.tvp", "/home/u/maps/city.bak", "/home/u/maps/city"},
        // A dot in a folder names no extension.
        {"/home/u/.maps/city.tvp", "/home/u/.maps/city.bak", "/home/u/.maps/city"},
        {"C:\\maps.v2\\city.tvp", "C:\\maps.v2\\city.bak", "C:\\maps.v2\\city"},
        {"/m/city.v2.tvp", "/m/city.v2.bak", "/m/city"},
        {"/m/city", "/m/city.bak", "/m/city"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.project);
        const QString p = QString::fromUtf8(c.project);
        EXPECT_EQ(backupName(p), QString::fromUtf8(c.backup));
        EXPECT_EQ(dataFolder(p), QString::fromUtf8(c.data));
        EXPECT_EQ(tempName(p), p + u'0');
    }
}

TEST(ProjectFileNames, LinesInTheFilesCodePage)
{
    const QByteArray bytes = encodeLines({"!Tolvane v.2.2.0.2", "", "Name=Дом"});
    EXPECT_EQ(bytes, QByteArray("!Tolvane v.2.2.0.2\r\n\r\nName=\xc4\xee\xec\r\n"));
    EXPECT_EQ(decodeLines(bytes), (QStringList{"!Tolvane v.2.2.0.2", "", "Name=Дом"}));
    EXPECT_EQ(decodeLines("a\nb\rc\r\n"), (QStringList{"a", "b", "c"}));
}
