#pragma once
// The arithmetic of the image registration window, without the window: the
// residuals of the control points under the fit the map draws pictures with,
// the turn of the points, the map point suggested for a new point, the zoom
// and its box text, the points moved after the picture was turned or edited,
// and the name of the temporary copy of a picture.

#include "geodesy/RegistrationFiles.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace georef {

// The residual texts ("X Ошибка", "Y Ошибка") of every point: map y (the
// northing, which "X Карта" shows) and map x minus the fit's prediction, in
// metres to the centimetre; "?" for every point when there are fewer than
// three points or they share one column or one row throughout. `height` is
// the picture's height in the record.
std::vector<std::pair<QString, QString>> residualTexts(const std::vector<RegPoint> &points, int height);

// The turn between the first two points on the map (map x, map y) and in the
// picture (column, negated row), in degrees counter-clockwise within -180 to
// 180, rounded to 0.01; 0 with fewer than two points. Turning the picture by it lines it up
// with the map.
double rotationAngleDeg(const std::vector<RegPoint> &points);

// The map point a new point at (column, row) gets by extending the first
// two points linearly; nothing when there are fewer than two or they share
// a column, a row or a map y.
std::optional<std::pair<double, double>> suggestedMapPoint(const std::vector<RegPoint> &points, int column, int row);

// Zoom: screen pixels per picture pixel, 0.01 to 10.
double clampZoom(double zoom);
// The zoom box's text: "100 %".
QString zoomText(double zoom);
// The zoom a typed text asks for: its first run of digits as a percentage
// (0 counts as 1); nothing for a text without digits.
std::optional<double> zoomFromText(const QString &text);

// The points after the picture changed from oldW × oldH to newW × newH
// pixels, turned counter-clockwise by `angle` degrees about its centre: each
// point turned about the old centre, moved by half the change of size, kept
// within the new picture and truncated to whole pixels. With fewer than two
// points nothing moves.
std::vector<RegPoint> adjustedPoints(const std::vector<RegPoint> &points, int oldW, int oldH, int newW, int newH,
                                     double angle);

// Whether a change of picture size asks for the points to move: more than
// 2 pixels on an axis.
bool sizeChanged(int oldW, int oldH, int newW, int newH);

// "n.bmp" in the folder with the smallest n from 1 that names no file.
QString freeTemporaryBmp(const QString &folder);

} // namespace georef
