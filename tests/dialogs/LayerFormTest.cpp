// The layer properties dialog's controls as values: showing and saving
// without changes keeps the record, ids outside the lists and a projection
// text from the project file survive, and the edits reach their fields.

#include "dialogs/LayerForm.h"
#include "mapdata/ProjectFile.h"

#include <gtest/gtest.h>

using namespace layerform;

namespace {

// A layer whose values have no exact text or lie outside the dialog's lists.
TMapLayer awkwardLayer()
{
    TMapLayer L;
    L.Name = QStringLiteral("Участки");
    L.FileName = QStringLiteral("parcels.shp");
    L.ObjType = 3;
    L.Font.FontName = QStringLiteral("Arial");
    L.Font.Size = 9;
    L.Font.TextSymbol = u'Ж';
    L.Font.Rotate = 0.1 + 0.2;          // no exact 15-digit text
    L.Font.TextStyle = 8 | 1;           // strike-out has no button
    L.PenWidth = 1.0 / 3.0;
    L.Gamma = 35;                       // beyond the slider
    L.ScaleView = true;                 // the two flags disagree
    L.ViewInScale = false;
    L.Projection = QStringLiteral("stere");
    L.Ellipsoid = QStringLiteral(" sphere");
    L.Longitude = QStringLiteral("33d00E");
    L.Proj_K = 0;                       // shown as "1"
    L.Proj_X = 500000.123456789012;
    L.Transform = true;
    L.VykProject = false;
    L.NumProject = 5;                   // beyond the catalogue's list
    L.StrProject = QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33 +k=1 +x_0=4300000");
    TMapLabel label;
    label.Visible = true;
    label.FieldName = QStringLiteral("NAME");
    L.Labels.push_back(label);
    return L;
}

geodesy::TProjectCatalogue twoProjections()
{
    geodesy::TProjectCatalogue c;
    geodesy::TGeoProjectRecord a;
    a.Id = 1;
    a.Name = QStringLiteral("СК-63 зона 1");
    a.Projection = QStringLiteral("tmerc");
    a.Ellipsoid = QStringLiteral("krass");
    a.Longitude = QStringLiteral("24d00E");
    a.K = 1;
    a.X0 = 1300000;
    a.InUse = true;
    geodesy::TGeoProjectRecord b = a;
    b.Id = 2;
    b.Name = QStringLiteral("УСК-2000");
    b.Longitude = QStringLiteral("30d00E");
    c.Projects = {a, b};
    return c;
}

QStringList block(const TMapLayer &L)
{
    QStringList lines;
    projectfile::writeLayerBlock(lines, L, 1);
    return lines;
}

} // namespace

TEST(LayerForm, ShowingAndSavingUntouchedKeepsTheRecord)
{
    const geodesy::TProjectCatalogue catalogue = twoProjections();
    const QStringList names = geodesy::projectionNames(catalogue);
    const TMapLayer original = awkwardLayer();
    TMapLayer L = original;
    const Values shown = Show(L, static_cast<int>(names.size()));
    EXPECT_EQ(shown.cbProject, -1) << "an id outside the list chooses nothing";
    EXPECT_EQ(shown.cbEllipsoid, -1);
    EXPECT_EQ(shown.edK, QStringLiteral("1"));
    EXPECT_EQ(shown.tbGamma, GammaMax);
    const Saved saved = Save(shown, shown, L, catalogue, names);
    EXPECT_FALSE(saved.projectionChanged);
    EXPECT_EQ(block(L), block(original));
    EXPECT_EQ(L.Font.Rotate, original.Font.Rotate);
    EXPECT_EQ(L.PenWidth, original.PenWidth);
    EXPECT_EQ(L.Proj_X, original.Proj_X);
    EXPECT_EQ(L.Font.TextStyle, original.Font.TextStyle);
    EXPECT_TRUE(L.ScaleView && !L.ViewInScale);

    // An unrelated edit with the catalogue projection switched on keeps the
    // projection text the project file brought.
    Values edited = shown;
    edited.EditName = QStringLiteral("Ділянки");
    edited.cbGISProject = true;
    edited.cbTransform = false;
    Save(shown, edited, L, catalogue, names);
    EXPECT_EQ(L.Name, QStringLiteral("Ділянки"));
    EXPECT_EQ(L.StrProject, original.StrProject);
    EXPECT_EQ(L.NumProject, 5);
    EXPECT_EQ(L.Projection, QStringLiteral("stere"));
    EXPECT_EQ(L.Ellipsoid, QStringLiteral(" sphere"));
}

TEST(LayerForm, ChoicesOfTheUserReachTheirFields)
{
    const geodesy::TProjectCatalogue catalogue = twoProjections();
    const QStringList names = geodesy::projectionNames(catalogue);
    TMapLayer L = awkwardLayer();
    L.Projection = QStringLiteral("tmerc");
    L.Ellipsoid = QStringLiteral("krass");
    const Values shown = Show(L, static_cast<int>(names.size()));
    EXPECT_EQ(shown.cbProject, 6) << "\"Transverse Mercator\"";
    EXPECT_EQ(shown.cbEllipsoid, 29) << "\"Krassovsky, 1942\"";

    Values e = shown;
    e.cbViewInScale = true;
    e.EditSymbol.clear();
    e.edK.clear();
    e.EditFontSize = QStringLiteral("двенадцать");
    e.EditPenWidth = QStringLiteral("0,35");
    e.cBoxFontBold = false;
    e.cBoxFontItalic = true;
    e.objType = 2;
    e.labelTicks = {false};
    e.cbEllipsoid = 40;
    e.cbGISProject = true;
    e.cbTransform = false;
    e.cbNumProject = 1;
    e.cbPIN = QString(300, u'7');
    const Saved saved = Save(shown, e, L, catalogue, names);
    EXPECT_TRUE(saved.projectionChanged);
    EXPECT_TRUE(L.ScaleView && L.ViewInScale) << "the tick sets both flags";
    EXPECT_EQ(L.Font.TextSymbol, QChar(u'\0'));
    EXPECT_EQ(L.Proj_K, 1) << "an empty scale is 1";
    EXPECT_EQ(L.Font.Size, 0) << "no number";
    EXPECT_DOUBLE_EQ(L.PenWidth, 0.35);
    EXPECT_EQ(L.Font.TextStyle, 8 | 2);
    EXPECT_EQ(L.ObjType, 2);
    EXPECT_FALSE(L.Labels[0].Visible);
    EXPECT_EQ(L.Projection, QStringLiteral("tmerc"));
    EXPECT_EQ(L.Ellipsoid, QStringLiteral("WGS84"));
    EXPECT_FALSE(L.Transform);
    EXPECT_EQ(L.NumProject, 2);
    EXPECT_EQ(L.StrProject, geodesy::BuildProjString(catalogue.Projects[1]));
    EXPECT_EQ(L.PIN.size(), 255);

    // A chosen name that the catalogue no longer holds empties the text.
    const Values again = Show(L, 2);
    Values other = again;
    other.cbNumProject = 0;
    Save(again, other, L, catalogue, {QStringLiteral("нет такой")});
    EXPECT_EQ(L.NumProject, 1);
    EXPECT_TRUE(L.StrProject.isEmpty());
}

// The table is named by the file name part up to its first dot: a dot in a
// folder's name belongs to the folder.
TEST(LayerForm, TheTableOfTheLayer)
{
    TMapLayer L;
    for (const auto &[fileName, table] : {std::pair{"parcels.old.shp", "parcels.Dbf"},
                                          std::pair{"/home/u/.maps/parcels.shp", "/home/u/.maps/parcels.Dbf"},
                                          std::pair{"C:\\maps.v2\\parcels", "C:\\maps.v2\\parcels.Dbf"}}) {
        L.FileName = QString::fromUtf8(fileName);
        EXPECT_EQ(TableName(L), QString::fromUtf8(table)) << fileName;
    }
}

TEST(LayerForm, ListsAndCaptions)
{
    struct Case {
        const char *id;
        int projection, ellipsoid;
    };
    for (const Case c : {Case{"aea", 0, -1}, Case{" utm ", 7, -1}, Case{"MERIT", -1, 0}, Case{"ITRFMEX", -1, 41},
                         Case{"airy", 1, 4}, Case{"", -1, -1}, Case{"longlat", -1, -1}}) {
        EXPECT_EQ(ProjectionIdIndex(QString::fromLatin1(c.id)), c.projection) << c.id;
        EXPECT_EQ(EllipsoidIdIndex(QString::fromLatin1(c.id)), c.ellipsoid) << c.id;
    }
    EXPECT_EQ(penModeCaption(6), QStringLiteral("прозрачный"));
    EXPECT_TRUE(penModeCaption(2).isEmpty());
    EXPECT_EQ(kindButtons().size(), 9u);
    EXPECT_STREQ(kindButtons()[8].name, "tbLineBizer");
}
