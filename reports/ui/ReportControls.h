#pragma once
// The report library's routines over windows: enabling groups of dialog
// controls, finding the control under a point, and the hidden window that
// dialog-control objects are placed on.

#include <QList>
#include <QPoint>

class QWidget;

namespace reports {

// Enables or disables every control; a label also takes the text colour of
// the state (the system's grey text or window text), any other control the
// background of the state (button face or window).
void EnableControls(const QList<QWidget *> &controls, bool enabled);

// The deepest visible control under a point of the container (in its
// coordinates), trying the topmost child first. A child that has children of
// its own is searched inside; when nothing inside is under the point, the
// search goes on with the next child below it. Null when none.
QWidget *FindControlAt(QWidget *container, const QPoint &point);

// The hidden window "DialogForm" at (-100, -100), 10 x 10 pixels, made on
// first use and kept until the application ends.
QWidget *reportDialogForm();

} // namespace reports
