#include "dialogs/LayerForm.h"

#include "mapdata/LayerFiles.h"
#include "mapdata/VykFunctions.h"
#include "platform/NumberFormat.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <tuple>

namespace layerform {

namespace {

QString intText(std::int32_t v)
{
    return QString::number(v);
}

// Texts that are no numbers read as the default.
double toFloat(const QString &text, double defaultValue)
{
    return VykFunctions::TextToFloatDef(text, defaultValue);
}

std::int32_t toInt(const QString &text)
{
    return platform::roundToInt(toFloat(text, 0));
}

template <typename List>
int idIndex(const List &list, const QString &id)
{
    const QString t = id.trimmed();
    int found = -1;
    for (size_t i = 0; i < list.size(); ++i)
        if (t == QLatin1StringView(list[i].Id))
            found = static_cast<int>(i);
    return found;
}

// The layer's value when the text is as shown, else the text read.
void keepOrRead(const QString &shown, const QString &edited, std::int32_t &field)
{
    if (edited != shown)
        field = toInt(edited);
}
void keepOrRead(const QString &shown, const QString &edited, double &field, double defaultValue)
{
    if (edited != shown)
        field = toFloat(edited, defaultValue);
}
void keepOrCut(const QString &shown, const QString &edited, QString &field)
{
    if (edited != shown)
        field = edited.left(255);
}

} // namespace

const std::vector<KindButton> &kindButtons()
{
    static const std::vector<KindButton> buttons = {
        {"tbPoints", "Точки"},         {"tbLines", "Линии"},          {"tbPolygons", "Полигоны"},
        {"tbText", "Текст"},           {"tbSymbols", "Символы"},      {"tbImage", "Изображения"},
        {"tbBitmap", "Обозначения"},   {"tbNavigating", "Навигация"}, {"tbLineBizer", "Линия Безье"}};
    return buttons;
}

QString TableName(const TMapLayer &L)
{
    return mapdata::layerfiles::firstDotBase(L.FileName) + QStringLiteral(".Dbf");
}

const std::vector<PenMode> &penModes()
{
    static const std::vector<PenMode> modes = {
        {0, "BLACKNESS"}, {1, "WHITENESS"}, {4, "сплошной"}, {5, "SRCPAINT"}, {6, "прозрачный"},
        {7, "SRCINVERT"}, {8, "SRCERASE"}, {9, "NOTSRCCOPY"}, {10, "NOTSRCERASE"}, {11, "MERGECOPY"},
        {12, "комбинированный"}, {13, "PATCOPY"}, {14, "PATPAINT"}, {15, "PATINVERT"}, {16, "DSTINVERT"}};
    return modes;
}

QString penModeCaption(int code)
{
    for (const PenMode &mode : penModes())
        if (mode.code == code)
            return QString::fromUtf8(mode.caption);
    return {};
}

int ProjectionIdIndex(const QString &id)
{
    return idIndex(geodesy::projectionChoices(), id);
}

int EllipsoidIdIndex(const QString &id)
{
    return idIndex(geodesy::ellipsoidChoices(), id);
}

Values Show(const TMapLayer &L, int catalogueEntries)
{
    Values v;
    v.EditName = L.Name;
    v.EditFileName = L.FileName;
    v.EditFontName = L.Font.FontName;
    v.EditFontSize = intText(L.Font.Size);
    v.EditSymbol = L.Font.TextSymbol.isNull() ? QString() : QString(L.Font.TextSymbol);
    v.EditFontColor = intText(L.Font.Color);
    v.EditFontScale = intText(L.Font.Scale);
    v.EditFontRotate = platform::floatToStr(L.Font.Rotate);
    v.cBoxFontBold = L.Font.TextStyle & 1;
    v.cBoxFontItalic = L.Font.TextStyle & 2;
    v.cBoxFontUnderline = L.Font.TextStyle & 4;
    v.EditBitmap = intText(L.PntBitmap);
    v.EditPenWidth = platform::floatToStr(L.PenWidth);
    v.EditPenColor = intText(L.PenColor);
    v.EditBrushColor = intText(L.BrushColor);
    v.tbGamma = std::clamp(L.Gamma, 0, GammaMax);
    v.tbContrast = std::clamp(L.Contrast, 0, ContrastMax);
    v.cbViewPoints = L.ViewPoints;
    v.cbViewShadow = L.ViewShadow;
    v.cbForAllObjects = L.ForAllObjects;
    v.cbViewInScale = L.ViewInScale;
    v.EditScaleMin = intText(L.ScaleMin);
    v.EditScaleMax = intText(L.ScaleMax);
    v.cbFieldNameObject = L.FieldNameObject;
    v.cbFieldNameStreet = L.FieldNameStreet;
    v.cbFieldNameHouse = L.FieldNameHouse;
    v.objType = L.ObjType >= 1 && L.ObjType <= 9 ? L.ObjType : 0;
    for (const TMapLabel &label : L.Labels)
        v.labelTicks.push_back(label.Visible);
    v.cbTransform = L.Transform;
    v.cbProject = ProjectionIdIndex(L.Projection);
    v.cbEllipsoid = EllipsoidIdIndex(L.Ellipsoid);
    v.cbLongitude = L.Longitude;
    v.cbLatitude = L.Latitude;
    v.edX = platform::floatToStr(L.Proj_X);
    v.edY = platform::floatToStr(L.Proj_Y);
    v.edK = L.Proj_K == 0 ? QStringLiteral("1") : platform::floatToStr(L.Proj_K);
    v.cbGISProject = L.VykProject;
    v.cbNumProject = L.NumProject >= 1 && L.NumProject <= catalogueEntries ? L.NumProject - 1 : -1;
    v.cbGPS = L.GPS;
    v.cbDevice = L.Device;
    v.cbPIN = L.PIN;
    return v;
}

Saved Save(const Values &s, const Values &e, TMapLayer &L, const geodesy::TProjectCatalogue &catalogue,
           const QStringList &catalogueNames)
{
    Saved out;
    keepOrCut(s.EditName, e.EditName, L.Name);
    if (e.EditFileName != s.EditFileName)
        L.FileName = e.EditFileName;
    if (e.EditFontName != s.EditFontName)
        L.Font.FontName = e.EditFontName;
    keepOrRead(s.EditFontSize, e.EditFontSize, L.Font.Size);
    if (e.EditSymbol != s.EditSymbol)
        L.Font.TextSymbol = e.EditSymbol.isEmpty() ? QChar(u'\0') : e.EditSymbol.front();
    keepOrRead(s.EditFontColor, e.EditFontColor, L.Font.Color);
    keepOrRead(s.EditFontScale, e.EditFontScale, L.Font.Scale);
    keepOrRead(s.EditFontRotate, e.EditFontRotate, L.Font.Rotate, 0);
    // The three buttons own bits 1, 2 and 4; strike-out (8) stays.
    L.Font.TextStyle = static_cast<Byte>((L.Font.TextStyle & ~7) | (e.cBoxFontBold ? 1 : 0) |
                                         (e.cBoxFontItalic ? 2 : 0) | (e.cBoxFontUnderline ? 4 : 0));
    keepOrRead(s.EditBitmap, e.EditBitmap, L.PntBitmap);
    keepOrRead(s.EditPenWidth, e.EditPenWidth, L.PenWidth, 0);
    keepOrRead(s.EditPenColor, e.EditPenColor, L.PenColor);
    keepOrRead(s.EditBrushColor, e.EditBrushColor, L.BrushColor);
    if (e.tbGamma != s.tbGamma)
        L.Gamma = e.tbGamma;
    if (e.tbContrast != s.tbContrast)
        L.Contrast = e.tbContrast;
    L.ViewPoints = e.cbViewPoints;
    L.ViewShadow = e.cbViewShadow;
    L.ForAllObjects = e.cbForAllObjects;
    if (e.cbViewInScale != s.cbViewInScale)
        L.ScaleView = L.ViewInScale = e.cbViewInScale;
    keepOrRead(s.EditScaleMin, e.EditScaleMin, L.ScaleMin);
    keepOrRead(s.EditScaleMax, e.EditScaleMax, L.ScaleMax);
    keepOrCut(s.cbFieldNameObject, e.cbFieldNameObject, L.FieldNameObject);
    keepOrCut(s.cbFieldNameStreet, e.cbFieldNameStreet, L.FieldNameStreet);
    keepOrCut(s.cbFieldNameHouse, e.cbFieldNameHouse, L.FieldNameHouse);
    if (e.objType >= 1 && e.objType <= 9 && e.objType != s.objType)
        L.ObjType = static_cast<Byte>(e.objType);
    for (size_t i = 0; i < e.labelTicks.size() && i < L.Labels.size(); ++i)
        L.Labels[i].Visible = e.labelTicks[i];

    auto projection = [&L] {
        return std::make_tuple(L.Transform, L.VykProject, L.Projection, L.Ellipsoid, L.Longitude, L.Latitude,
                               L.Proj_X, L.Proj_Y, L.Proj_K, L.StrProject);
    };
    const auto before = projection();
    L.Transform = e.cbTransform;
    // A projection or ellipsoid the lists do not hold shows nothing chosen;
    // only a choice of the user replaces the layer's id.
    if (e.cbProject >= 0 && e.cbProject != s.cbProject &&
        e.cbProject < static_cast<int>(geodesy::projectionChoices().size()))
        L.Projection = QString::fromLatin1(geodesy::projectionChoices()[static_cast<size_t>(e.cbProject)].Id);
    if (e.cbEllipsoid >= 0 && e.cbEllipsoid != s.cbEllipsoid &&
        e.cbEllipsoid < static_cast<int>(geodesy::ellipsoidChoices().size()))
        L.Ellipsoid = QString::fromLatin1(geodesy::ellipsoidChoices()[static_cast<size_t>(e.cbEllipsoid)].Id);
    keepOrCut(s.cbLongitude, e.cbLongitude, L.Longitude);
    keepOrCut(s.cbLatitude, e.cbLatitude, L.Latitude);
    keepOrRead(s.edX, e.edX, L.Proj_X, 0);
    keepOrRead(s.edY, e.edY, L.Proj_Y, 0);
    keepOrRead(s.edK, e.edK, L.Proj_K, 1);
    L.VykProject = e.cbGISProject;
    // The projection text comes from the catalogue only when the user chose
    // an entry; a text the project file brought stays otherwise.
    if (e.cbGISProject && e.cbNumProject >= 0 && e.cbNumProject != s.cbNumProject) {
        L.NumProject = e.cbNumProject + 1;
        const int found = e.cbNumProject < catalogueNames.size()
                              ? geodesy::FindProjectionByName(catalogue, catalogueNames[e.cbNumProject])
                              : -1;
        L.StrProject = found >= 0 ? geodesy::BuildProjString(catalogue.Projects[static_cast<size_t>(found)])
                                  : QString();
    }
    out.projectionChanged = projection() != before;
    keepOrCut(s.cbGPS, e.cbGPS, L.GPS);
    keepOrCut(s.cbDevice, e.cbDevice, L.Device);
    keepOrCut(s.cbPIN, e.cbPIN, L.PIN);
    return out;
}

} // namespace layerform
