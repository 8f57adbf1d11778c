#pragma once
// The render job: the whole map picture of a view without any window. Given
// the project's layers in drawing order (layer indices, the first drawn
// first and so lying lowest), the view of the map control core and the
// services it draws with, it records the map picture FMapPicture (every
// layer's geometry, the pick markers and the grids) and an overlay (texts,
// symbol characters, labels, measurement captions, raster frames) that it
// lays over the map picture at the end, so no label is covered by another
// layer's geometry. In picture mode (report pictures) it writes "map.wmf".
//
// Styles, raster pictures and what a host product draws for its own layer
// kinds are passed in: the style services (fill, line and point patterns of
// the libraries, and none means that styled drawing draws nothing), the
// raster services (the map control's own by default) and the render hooks.

#include "mapengine/MapControlCore.h"

#include <QIcon>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

namespace platform::db {
class Table;
}

namespace mapengine {

class StyleServices;
class RenderJob;

// Where raster objects hand their pictures on: by default the map control's
// own raster drawing.
class RasterServices {
public:
    virtual ~RasterServices() = default;
    virtual void DrawRasterImage(MapControlCore &map, platform::gdi::Canvas &canvas, const QString &fileName,
                                 double xMin, double yMin, double xMax, double yMax, double angle, int width,
                                 int height, int rasterMode, int gamma, int contrast);
    virtual void DrawMetafileRaster(MapControlCore &map, platform::gdi::Canvas &canvas, const QString &fileName,
                                    double xMin, double yMin, double xMax, double yMax, double angle, int width,
                                    int height);
};

// What the caller of a redraw adds: the drawing of the standard cadastral
// and exchange layer kinds (nothing in this program), the vector drawing of
// one layer (the job's own unless the caller draws it), the progress of the
// layer loop, the pictures of the image lists (pick markers and bitmap
// points) and the number format of measurement captions.
class RenderHooks {
public:
    virtual ~RenderHooks() = default;
    virtual void DrawCadastralLayer(const QRect &pictureRect, const QRect &deviceRect, platform::gdi::Canvas &canvas,
                                    bool cached);
    virtual void DrawExchangeLayer(const QRect &pictureRect, const QRect &deviceRect, platform::gdi::Canvas &canvas);
    virtual void DrawVectorLayer(RenderJob &job, int layer, platform::gdi::Canvas &picture,
                                 platform::gdi::Canvas &overlay, const TMapPoint &minCorner,
                                 const TMapPoint &maxCorner);
    // Before each layer: 0 and the share of the layers reached.
    virtual void Progress(double first, double second);
    // A null picture draws nothing.
    virtual QIcon ListImage(int index) const;
};

struct RenderServices {
    StyleServices *styles = nullptr;
    RasterServices *rasters = nullptr;
    RenderHooks *hooks = nullptr;
};

struct RenderOptions {
    // The plain grid of crosses (the labelled grid follows FGridLabels).
    bool grid = false;
    // A marker (image 20 of the image list) at the middle of every selected
    // object, as while the zoom tool is down.
    bool pickMarkers = false;
};

class RenderJob {
public:
    explicit RenderJob(MapControlCore &map, const RenderServices &services = {});
    ~RenderJob();
    RenderJob(const RenderJob &) = delete;
    RenderJob &operator=(const RenderJob &) = delete;

    // Records FMapPicture with the overlay laid over it. An error of a layer
    // drawer ends the layer loop; the picture is still completed and the
    // error goes on to the caller.
    void Run(const std::vector<int> &layerOrder, const RenderOptions &options = {});
    // Writes FMapPicture to "map.wmf" of the program folder (picture mode);
    // a file that cannot be written raises an error.
    void SavePictureFile();

    // The map picture played onto a white image of the picture's size, as
    // the map control shows it.
    QImage PictureImage() const;

    // The size in pixels of the pictures of a redraw: the control's, or in
    // picture mode the picture's own.
    QSize PictureSize() const;

    // One vector layer (kinds 1 and 8) into the two canvases of a redraw.
    void DrawVectorLayer(int layer, platform::gdi::Canvas &picture, platform::gdi::Canvas &overlay,
                         const TMapPoint &minCorner, const TMapPoint &maxCorner);
    // The plain grid of crosses and the labelled grid of report pictures.
    void DrawGrid(platform::gdi::Canvas &picture, platform::gdi::Canvas &overlay, const TMapPoint &minCorner,
                  const TMapPoint &maxCorner);
    void DrawLabelledGrid(platform::gdi::Canvas &picture, platform::gdi::Canvas &overlay,
                          const TMapPoint &minCorner, const TMapPoint &maxCorner);

    MapControlCore &Map() { return map_; }
    StyleServices *Styles() const { return services_.styles; }
    RasterServices &Rasters() const;
    RenderHooks &Hooks() const;
    // The attribute table the layer drawing reads legends and labels from.
    platform::db::Table &AttributeTable();

private:
    MapControlCore &map_;
    RenderServices services_;
    std::unique_ptr<platform::db::Table> table_;
};

// The view of a report picture for the time of one redraw: the constructor
// sets the picture's size (0.01 mm) and extent around the current centre,
// the destructor puts back the scale, the picture size, the centre, picture
// mode, the labelled grid and its step, however the redraw ends.
class PictureView {
public:
    // The current view at the denominator (the current scale when 0 or
    // less).
    static std::unique_ptr<PictureView> MapPicture(MapControlCore &map, double width, double height,
                                                   double denominator);
    // At the current scale, the upper-left corner on whole multiples of the
    // grid spacing, with the labelled grid of `gridStep` millimetres.
    static std::unique_ptr<PictureView> GridPicture(MapControlCore &map, double width, double height,
                                                    double gridStep);
    ~PictureView();
    PictureView(const PictureView &) = delete;
    PictureView &operator=(const PictureView &) = delete;

private:
    explicit PictureView(MapControlCore &map);
    MapControlCore &map_;
    double scale_, width_, height_, centreX_, centreY_;
};

} // namespace mapengine
