#pragma once
// The style renderers the frame offers (fill patterns, line patterns, point
// symbols, the line crossing) as the host hooks reach them: by default the
// frame's style services (nothing is drawn while there is no frame); tests
// install renderers that record.

#include <QPoint>

#include <vector>

namespace platform::gdi {
class Canvas;
}

namespace app {

class StyleRenderers {
public:
    virtual ~StyleRenderers() = default;

    virtual void DrawFillPattern(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style,
                                 int colour, int pictureWidth, int pictureHeight, double scaleX, double scaleY,
                                 double rotation, double unitsPerPixelX, double unitsPerPixelY, bool outline);
    virtual void DrawLineStyle(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style,
                               int colour, int penWidth, double scaleAlong, double scaleAcross, double ignored,
                               double pictureWidth, double pictureHeight, bool drawEvery);
    virtual void DrawPointStyle(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style,
                                int colour, int ignored1, int ignored2, double scaleX, double scaleY,
                                double rotation);
    // 1 when the crossing is accepted (kept in the frame's FCrossX, FCrossY,
    // FCrossValue).
    virtual int IntersectLines(int mode, double x1, double y1, double z1, double x2, double y2, double z2, double x3,
                               double y3, double z3, double x4, double y4, double z4);
    // The number of patterns of the fill library and the kind of one (0 a
    // fill pattern); -1 for a number outside the library.
    virtual int FillStyleCount() const;
    virtual int FillStyleKind(int index) const;
};

// The renderers in use; setStyleRenderers installs others (null: back to the
// frame's).
StyleRenderers &styleRenderers();
void setStyleRenderers(StyleRenderers *renderers);

} // namespace app
