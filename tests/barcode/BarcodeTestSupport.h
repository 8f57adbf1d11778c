#pragma once
// Drawing barcode symbols into pictures and reading them back with zbarimg.

#include "reports/addins/Barcode.h"

#include <QImage>
#include <QString>

namespace barcodetest {

// Whether zbarimg (package zbar-tools) is installed.
bool haveZbar();

// The engine's symbol at its angle, bars `height` pixels high, drawn on a
// white picture with a quiet zone of 24 pixels around it.
QImage renderSymbol(reports::Barcode &barcode, int height);

// The bounding box of the dark pixels of a picture; empty when there are none.
QRect darkBox(const QImage &image);

// What zbarimg reads in the picture, "<symbology>:<data>" per line (the
// picture is kept under the test artefacts as <name>.png); empty when it
// reads nothing.
QString decodeWithZbar(const QImage &image, const QString &name);

} // namespace barcodetest
