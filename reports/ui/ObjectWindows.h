#pragma once
// The report objects' parts that need windows: the designer's pop-up menu
// made of an object's pop-up items, and a dialog-page control that stands
// for a window control and draws what the control paints.

#include "reports/model/ReportObjects.h"

#include <QPointer>

class QMenu;
class QWidget;

namespace reports {

// Appends the items to the menu: separators, and actions that may be
// checked and disabled and that run the item's choice when triggered.
void AddPopupItemsToMenu(QMenu &menu, const PopupItems &items);

// A control of a dialog page over a window control (not owned).
class WidgetControl : public Control {
public:
    explicit WidgetControl(QWidget *widget = nullptr);
    QString ClassName() const override { return QStringLiteral("TfrWidgetControl"); }
    std::unique_ptr<View> CreateNew() const override { return std::make_unique<WidgetControl>(); }
    QWidget *widget() const { return widget_; }

    // The control sized to the object and painted into the picture.
    void PaintControl(QImage &picture) override;
    // Puts the control on the form at the object's place and size.
    void PlaceControl(QWidget &form);

private:
    QPointer<QWidget> widget_;
};

} // namespace reports
