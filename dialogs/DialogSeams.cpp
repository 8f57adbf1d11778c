#include "dialogs/DialogSeams.h"

#include "dialogs/EdInfo.h"
#include "dialogs/FMapView.h"
#include "dialogs/FProLayer.h"
#include "dialogs/FProLegend.h"
#include "dialogs/FEditTable.h"
#include "platform/UserAnswers.h"

namespace dialogs {

// None of these dialogs is in the program yet: nothing is shown and nothing
// is chosen.
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
bool DialogSeams::ShowCoordinateList(const QString &) { return false; }
bool DialogSeams::ShowEditInfo()
{
    TEditInfo *panel = EditInfo();
    panel->show();
    panel->raise();
    panel->activateWindow();
    panel->ShowLayerInfo();
    return true;
}
bool DialogSeams::RegisterImage(int, int, double &, double &, double &, double &) { return false; }
bool DialogSeams::AskPoint(QString &, QString &) { return false; }
bool DialogSeams::AskNewLabel(NewLabelAnswer &) { return false; }
int DialogSeams::SelectPointStyle() { return -1; }
int DialogSeams::SelectLineStyle() { return -1; }
int DialogSeams::SelectFillStyle() { return -1; }
bool DialogSeams::SelectSymbol(QString &, QChar &) { return false; }
StyleDialog *DialogSeams::styleDialog(StyleDialogKind kind)
{
    if (kind == StyleDialogKind::Layer) {
        TProLayer *layer = ProLayer();
        return layer->isVisible() ? layer : nullptr;
    }
    return nullptr;
}
bool DialogSeams::ShowLabelProperties(int, int, const QString &) { return false; }
bool DialogSeams::ShowObjectView()
{
    TMapView *view = MapView();
    view->Hint = QStringLiteral("Tolvane");
    view->FormActivate();
    platform::execModal(*view);
    return true;
}

} // namespace dialogs
