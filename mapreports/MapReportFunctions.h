#pragma once
// The map's function library for report templates (TfrVykLib): dates and
// amounts in Ukrainian words, lenient text-to-number conversions, short forms
// of a person's name, a capital first letter, and the two functions that
// render the map window's current map into "map.wmf" for a template to show.
// The map is reached through MapPictureServices, which the map window
// installs while it lives; without one DrawMap and DrawGreed draw nothing.

#include "platform/Service.h"
#include "reports/model/ReportObjects.h"

namespace reports {

// What the report functions ask of the map window.
class MapPictureServices {
public:
    virtual ~MapPictureServices() = default;
    // The current view as a picture of width x height (0.01 mm) at the scale
    // denominator (0 or less: the current scale), written to "map.wmf".
    virtual void DrawMapPicture(double width, double height, double denominator) = 0;
    // The same at the current scale with a labelled grid of that step.
    virtual void DrawGridPicture(double width, double height, double gridStep) = 0;
};

// The map window installed (nullptr when there is none).
MapPictureServices *mapPictureServices();
void setMapPictureServices(MapPictureServices *services);

class VykFunctionLibrary : public FunctionLibrary {
public:
    enum Function {
        fnDateWrite, fnSumWrite, fnTxtToInt, fnTxtToIntTxt, fnTxtToFloat, fnShortFamily, fnFamilyShort,
        fnUpperFirst, fnDrawMap, fnDrawGreed
    };
    VykFunctionLibrary();
    QString ClassName() const override { return QStringLiteral("TfrVykLib"); }
    void DoFunction(int number, const QString &p1, const QString &p2, const QString &p3, Variant &result) override;
};

// Registers the map library (after the standard ones, so their names win).
void RegisterMapFunctionLibrary();

} // namespace reports
