#pragma once
// The map page ("Карта"): the current view on one printer page, built as a
// report of one page whose band holds the map picture ("map.wmf" of the
// program folder) and whose edges are masked white, shown in the report
// preview, from which the user prints. And the geometry of the picture
// print ("Рисунок"), which goes straight to the printer.
//
// Sizes: the printer's in millimetres, map pictures in 0.01 mm, the page's
// objects in report units.

#include "platform/db/Table.h"
#include "platform/gdi/Canvas.h"
#include "reports/model/ReportComponent.h"

#include <QRect>
#include <QSizeF>
#include <QString>

#include <array>

namespace reports {

// The page's margins on every side, millimetres.
inline constexpr double kMapPageMargin = 15;

// The page's paper as the printer's set-up gives it: the printable size in
// portrait terms (in landscape the width is the vertical size and the
// length the horizontal one) and the orientation.
struct MapPagePaper {
    double Width = 0, Length = 0; // millimetres
    bool Landscape = false;
    // The paper as it lies, width across.
    double ShownWidth() const { return Landscape ? Length : Width; }
    double ShownHeight() const { return Landscape ? Width : Length; }
};
MapPagePaper MapPagePaperOf(double horzSize, double vertSize, bool landscape);

// The map picture in 0.01 mm: the printable size less the margins, rounded.
QSizeF MapPagePictureSize(double horzSize, double vertSize, double margin = kMapPageMargin);

// Where the page's objects lie, in report units on the page as shown. The
// band spans the page; the picture fills it less the margins.
struct MapPageLayout {
    QRect Band, Picture;
    // The white masks along the edges, over the margins.
    std::array<QRect, 4> Masks; // top, bottom, left, right
    // The marks at the picture's corners (lines: one side is 0), in the
    // order of kMapPageCorners.
    std::array<QRect, 8> Corners;
};
inline constexpr const char *kMapPageMasks[4] = {"QRShpTop", "QRShpBottom", "QRShpLeft", "QRShpRight"};
inline constexpr const char *kMapPageCorners[8] = {"QRShapeLTHor", "QRShapeLTVer", "QRShapeRTHor", "QRShapeRTVer",
                                                   "QRShapeLBHor", "QRShapeLBVer", "QRShapeRBHor", "QRShapeRBVer"};
// The length of a corner mark, report units.
inline constexpr int kMapPageMarkLength = 36;
MapPageLayout LayOutMapPage(int pageWidth, int pageHeight, int left, int top, int right, int bottom);

// The picture print's rectangle on the printer, device pixels from the
// printable area's origin: the printable size in whole millimetres (what
// the picture is rendered at), so the map keeps its scale and stays on the
// printable area.
gdi::Rect PicturePrintTarget(const gdi::DeviceMetrics &printer);

// The map page, made once and kept for the run.
class TMapPrint {
public:
    TMapPrint();
    ~TMapPrint();
    TMapPrint(const TMapPrint &) = delete;
    TMapPrint &operator=(const TMapPrint &) = delete;

    // The page takes the paper (a user size) and the orientation.
    void SetPaper(const MapPagePaper &paper);
    // Builds the page over "map.wmf" and the tile table of the program
    // folder and shows it in the preview. A build error (the picture or the
    // tile table) is shown and no preview follows.
    void Show(const QString &programDir);

    TfrReport &Report() { return report_; }

    // The tile grid: one column and one row before every build; its origin
    // is never moved.
    double ColCount = 1, RowCount = 1;
    double OriginX = 0, OriginY = 0;

private:
    // Around every build of the page.
    void BeforePrint();
    void AfterPrint();
    void FillTileTable(int w, int h);

    TfrReport report_;
    platform::db::Table temp_; // "TTemp"
    QString programDir_;
    // What went wrong before the build: the tile table or the picture.
    QString error_;
};

} // namespace reports
