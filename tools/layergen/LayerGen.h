#pragma once
// The two jobs of layergen: the layer templates of the "Default" folder and
// the demo project. Each turns a description into the files to write (paths
// under the given folder); nothing is written until all of them are made.

#include "tools/layergen/Description.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace layergen {

struct OutputFile {
    QString path;
    QByteArray bytes;
};
using Outputs = std::vector<OutputFile>;

// "<name>.shp", ".shx" and ".dbf" of every [template <name>] section.
Outputs makeTemplates(const Description &d, const QString &folder);

// "<file>.tvp" and, in the data folder "<file>", the layers of the demo.
Outputs makeDemo(const Description &d, const QString &folder);

} // namespace layergen
