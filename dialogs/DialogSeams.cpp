#include "dialogs/DialogSeams.h"

#include "dialogs/EdInfo.h"
#include "dialogs/FMapView.h"
#include "dialogs/FProLayer.h"
#include "dialogs/FProLegend.h"
#include "dialogs/FEditTable.h"
#include "dialogs/FFindPoint.h"
#include "dialogs/FListImages.h"
#include "dialogs/FNewMapPoint.h"
#include "dialogs/FRegForm.h"
#include "dialogs/MapWindowHost.h"
#include "dialogs/LabelDialogs.h"
#include "platform/UserAnswers.h"

namespace dialogs {

// The label dialogs and the pickers are shown in StyleSeams.cpp.
bool DialogSeams::ShowLayerProperties(int layer)
{
    return ProLayer()->Execute(layer);
}
bool DialogSeams::ShowTableEditor(const QString &tablePath)
{
    return EditTable()->Execute(tablePath);
}
bool DialogSeams::ShowLegendEditor(int layer)
{
    return ProLegend()->Execute(layer);
}
bool DialogSeams::ShowCoordinateList(const QString &mode)
{
    return NewMapPoint()->Execute(mode);
}
bool DialogSeams::ShowEditInfo()
{
    TEditInfo *panel = EditInfo();
    panel->show();
    panel->raise();
    panel->activateWindow();
    panel->ShowLayerInfo();
    return true;
}
bool DialogSeams::RegisterImage(int layer, int index, double &xMin, double &yMin, double &xMax, double &yMax)
{
    MapControlCore *map = mapWindow().mapControl();
    TRasterObject record;
    if (!map || !map->ReadRasterObject(layer, index, record))
        return false;
    TRegForm form(nullptr, map->WorkDir());
    if (form.Execute(record) != 1)
        return false;
    return storeRegisteredImage(*map, layer, index, record, xMin, yMin, xMax, yMax);
}
bool DialogSeams::AskPoint(QString &x, QString &y)
{
    return FindPoint()->Ask(x, y);
}
// The popups' choices go to the dialog of the target's kind while it is shown
// (the label entry's dialog opens over the layer dialog: both are shown).
StyleDialog *DialogSeams::styleDialog(StyleDialogKind kind)
{
    QDialog *dialog = nullptr;
    StyleDialog *receiver = nullptr;
    if (kind == StyleDialogKind::Layer) {
        TProLayer *layer = ExistingProLayer();
        dialog = layer;
        receiver = layer;
    } else {
        TLabelForm *label = ExistingLabelForm(kind);
        dialog = label;
        receiver = label;
    }
    return dialog && dialog->isVisible() ? receiver : nullptr;
}
bool DialogSeams::ShowObjectView()
{
    TMapView *view = MapView();
    view->Hint = QStringLiteral("Tolvane");
    view->FormActivate();
    platform::execModal(*view);
    return true;
}

} // namespace dialogs
