// Import of In4 exchange files: each parcel becomes a polygon of the layer.

#include "mapdata/In4Reader.h"
#include "mapdata/MapDataCore.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/UserAnswers.h"

#include <QFile>

void MapDataCore::ImportLayers(int layer)
{
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::OpenMultiple;
    request.title = QStringLiteral("Открыть слой");
    request.filter = QStringLiteral("All (*.in4;*.shp)|*.in4;*.shp|Ведорум (*.in4)|*.in4|ArcView (*.shp)|*.shp");
    request.defaultExt = QStringLiteral("in4");
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    if (!answer.accepted)
        return;
    for (const QString &file : answer.files) {
        const QString name = file.trimmed();
        if (platform::ansiUpperCase(name.right(3)) == u"IN4" && !platform::findExistingPath(name).isEmpty())
            ImportIn4(layer, name);
    }
}

void MapDataCore::ImportIn4(int layer, const QString &fileName)
{
    const QString path = platform::findExistingPath(fileName.trimmed());
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // The whole file is read first: a coordinate that is no number stops the
    // import before any parcel of the file is stored.
    const std::vector<in4::Parcel> parcels = in4::readParcels(platform::fromCp1251(file.readAll()), fileName);
    file.close();

    // The figure is emptied and the drawing flag cleared however the loop
    // ends (a commit may raise the database engine's error).
    struct Figure {
        TNewObject &o;
        explicit Figure(TNewObject &obj) : o(obj) { o.Drawing = true; }
        ~Figure() { o.clearFigure(); o.Drawing = false; }
    } figure(FNewObject);
    for (const in4::Parcel &parcel : parcels) {
        FNewObject.clearFigure();
        FNewObject.Kind = okPolygon;
        FNewObject.Points = parcel.Points;
        FNewObject.Values = parcel.Values;
        CommitNewObject(layer, true, true);
    }
}
