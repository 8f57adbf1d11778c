// The transformation dialogs as the map window's commands open them.

#include "dialogs/DialogSeams.h"
#include "dialogs/FCalcProj.h"
#include "dialogs/FCalcProjection.h"
#include "dialogs/FCalcRotate.h"
#include "dialogs/FCalcShift.h"
#include "dialogs/FTransformXY.h"

namespace dialogs {

bool DialogSeams::ShowTransformation(LayerTransformation kind, const QString &mode, MapControlCore &map)
{
    TTransformForm *form = nullptr;
    switch (kind) {
    case LayerTransformation::Shift: form = TransformXY(); break;
    case LayerTransformation::Rotate: form = CalcRotate(); break;
    case LayerTransformation::Key: form = CalcShift(); break;
    case LayerTransformation::System: form = CalcProj(); break;
    case LayerTransformation::Projection: form = CalcProjection(); break;
    }
    return form && form->Execute(map, mode);
}

} // namespace dialogs
