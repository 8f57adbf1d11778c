#pragma once
// The host hooks: free procedures through which the map window and its
// dialogs reach the product-specific parts of the program. Through them the
// same map window could serve a larger host product with cadastral registers;
// in this program the cadastral and host-window hooks do nothing (those with a
// result return false), and the others set up the product, forward drawing to
// the frame's style renderers, paint the fill sample, open the object view and
// run the map reports.

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <vector>

class TTolvane;
struct TMapLayer;

namespace platform::gdi {
class Canvas;
}

// ---- hooks with an effect ----

// The map control's registry key, program folder and host mode, and the help
// file.
void InitProductSettings(TTolvane &window);
// Hides the "Окна" menu and the creation items of the standard cadastral
// layers; copies the frame's version into the map control.
void HideCadastralMenus(TTolvane &window);
// "Tolvane 2".
QString ProductRegistryKey();

// Forwarders to the frame's renderers. The polygon has n + 1 points (the
// first repeated at the end), the line and the points n.
void DrawStyledPolygon(platform::gdi::Canvas &canvas, const QPoint *points, int n, int style, int colour,
                       int pictureWidth, int pictureHeight, double scaleX, double scaleY, double rotation,
                       double unitsPerPixelX, double unitsPerPixelY, bool outline);
// Adds penWidth / 50 to both scales.
void DrawStyledLine(platform::gdi::Canvas &canvas, const QPoint *points, int n, int style, int colour, int penWidth,
                    double scaleAlong, double scaleAcross, double ignored, double pictureWidth, double pictureHeight,
                    bool drawEvery);
void DrawStyledPoint(platform::gdi::Canvas &canvas, const QPoint *points, int n, int style, int colour,
                     int ignored1, int ignored2, double scaleX, double scaleY, double rotation);
int IntersectLinesHook(int mode, double x1, double y1, double z1, double x2, double y2, double z2, double x3,
                       double y3, double z3, double x4, double y4, double z4);

// Paints the fill sample of the point toolbar (imgTypeFill) from the object
// template: a fill pattern of the library is drawn over the sample; anything
// else only repaints it.
void DrawFillSample(TTolvane &window, int width, int height);

// The object view, modally, with the hint "Tolvane".
void ShowObjectView();

// ---- report hooks ----
void EditReportTemplate();
void SetMapReportVariables();
void ShowMapReport(const QString &templateFile);
void PrintCoordinateSheet(double xMin, double yMin, double xMax, double yMax, double area, double perimeter);

// ---- hooks without an effect in this program ----
void ShowHostWindow(const QString &name);
void DrawCadastralLayer(const QRect &pictureRect, const QRect &deviceRect, platform::gdi::Canvas &canvas);
void DrawCadastralLayerCached(const QRect &pictureRect, const QRect &deviceRect, platform::gdi::Canvas &canvas);
void DrawExchangeLayer(const QRect &pictureRect, const QRect &deviceRect, platform::gdi::Canvas &canvas);
void DeleteCadastralSelection();
void CommitCadastralObject();
bool InsertCadastralVertex(int a, int b, int c, int d, int e, int f, const QString &text);
bool DeleteCadastralVertex();
bool MoveCadastralVertex();
void StandardLayerCreated();
void CadastralObjectLocated();
void AfterCadastralZoom();
void NumberCadastralObject(int objectId, int parcelNumber);
void TickCadastralObjects();
void MarkCadastralObjects();
void FilterCadastralObjects(bool filtered);
void EditCadastralObject();
void SelectCadastralObject();
void PriorCadastralObject();
void NextCadastralObject();
void AppendCadastralLabels(const QString &format, int rounding);
void CadastralInfoDblClick();
void OpenCadastralTable(const TMapLayer &layer, const QString &table);
void LookupCadastralOwner(int objectId);
void FillCadastralFieldNames(const TMapLayer &layer, QStringList &fieldNames, bool flag);
