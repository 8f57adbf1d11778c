#include "dialogs/DialogSeams.h"

#include "dialogs/EdInfo.h"
#include "dialogs/FEditTable.h"
#include "dialogs/LabelDialogs.h"

namespace dialogs {

// None of these dialogs is in the program yet: nothing is shown and nothing
// is chosen.
bool DialogSeams::ShowLayerProperties(int) { return false; }
bool DialogSeams::ShowTableEditor(const QString &tablePath)
{
    return EditTable()->Execute(tablePath);
}
bool DialogSeams::ShowLegendEditor(int) { return false; }
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
StyleDialog *DialogSeams::styleDialog(StyleDialogKind kind) { return ExistingLabelForm(kind); }

} // namespace dialogs
