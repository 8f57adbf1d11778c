#pragma once
// The number format of measurement captions, which the map window hands to
// the render job.

#include <QString>

namespace app::render {

// A number written by a format of the platform's number formats: "0"
// places a digit always, "#" a digit when there is one, the first "." the
// decimal separator and "," anywhere before it groups the thousands; text in
// quotes and other characters are copied; up to three sections (positive;
// negative; zero). An empty format gives the general float text.
QString formatNumber(const QString &format, double value);

} // namespace app::render
