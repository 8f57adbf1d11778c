#pragma once
// The component classes of the system's windows, kept on the Qt objects that
// stand for them. A window and each of its controls is a Qt object whose
// objectName is the component name ("ProLayer", "nFileOpen"); the class the
// window's design gives it ("TLabel", "TMenuItem", "TTabSheet" ...) is kept in a
// dynamic property set where the object is made, because routines such as the
// form translation match controls by their exact class name. A window also keeps
// the class it derives from directly ("TForm" for a form derived straight from
// the platform's form class).
//
// How the classes are made in Qt (what the form translation expects):
//   TForm          a window widget (its caption is the windowTitle)
//   TLabel         QLabel                      TEdit          QLineEdit
//   TMenuItem      QAction (or a QMenu for an item with a submenu)
//   TSpeedButton   QAbstractButton or QAction  TToolButton    QToolButton or QAction
//   TBitBtn        QAbstractButton             TAction        QAction
//   TTabSheet      a page of a QTabWidget      TTabControl    QTabBar
//   TStatusBar     a widget holding its panels: QLabels tagged "TStatusPanel",
//                  panel i being the i-th such label in tree order (addStatusPanel)
//   TDBGrid        QAbstractItemView; column titles are the model's horizontal headers
//   TRadioGroup, TDBRadioGroup
//                  a widget (a QGroupBox) holding its items as QRadioButtons,
//                  item i being the i-th radio button in tree order
// Panels and radio items are parts of their control, not components of the window.

#include <QList>
#include <QString>
#include <QStringView>

class QLabel;
class QObject;
class QRadioButton;
class QStatusBar;
class QWidget;

namespace platform {

// Names of the dynamic properties.
inline constexpr char FormClassProperty[] = "tolvaneFormClass";
inline constexpr char FormParentClassProperty[] = "tolvaneFormParentClass";

// The class a status-bar panel is tagged with.
inline constexpr char StatusPanelClass[] = "TStatusPanel";

void setFormClass(QObject *object, const char *className);
// Names a control as the window's design does and tags its class; returns it.
template <class W>
W *named(W *control, const char *name, const char *className)
{
    control->setObjectName(QString::fromLatin1(name));
    setFormClass(control, className);
    return control;
}
// The class name, or an empty text for an untagged object.
QString formClass(const QObject *object);

// For windows: the class the window's own class derives from directly.
void setFormParentClass(QObject *window, const char *className);
QString formParentClass(const QObject *window);
// Tags a window with its own class and the class it derives from directly,
// e.g. tagForm(w, "TProLayer", "TForm").
void tagForm(QObject *window, const char *className, const char *parentClassName);
// Whether the object was tagged as a window (it has a parent class).
bool isTaggedForm(const QObject *object);

// The window of the application with that component name (compared without
// regard to case): the top-level widgets first, then any widget tagged as a
// window wherever it sits (a child window of the frame). nullptr when none.
QWidget *findApplicationWindow(QStringView name);

// The objects a window owns, in tree order (each object's children in the
// order they were added): every descendant, QActions included, except the
// contents of descendants that are windows themselves (those own their own).
QList<QObject *> ownedComponents(const QObject *window);

// Adds a panel to a status bar: a QLabel tagged "TStatusPanel".
QLabel *addStatusPanel(QStatusBar *bar, const QString &text, int stretch = 0);
// The panels of a status bar in order.
QList<QLabel *> statusPanels(const QWidget *bar);
// The items of a radio group in order.
QList<QRadioButton *> radioGroupItems(const QWidget *group);

} // namespace platform
