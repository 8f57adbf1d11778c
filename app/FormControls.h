#pragma once
// Helpers that build the controls of the windows as the form translation and
// the handlers expect them: every control is a Qt object named by its
// component name and tagged with its component class; hints are kept as data
// (handlers parse values from the hints of popup items), and shown as tool
// tips.

#include <QIcon>
#include <QKeySequence>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QObject;
class QToolButton;
class QWidget;

namespace app {

// The hint of a control as its design gives it (never the caption that Qt
// shows as a tool tip when no hint is set).
QString hintOf(const QObject *control);
void setHint(QObject *control, const QString &hint);

// A menu item "TMenuItem" in a menu (or a popup), with a caption, a shortcut
// and a hint; triggered calls the handler when one is given.
QAction *menuItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut = {},
                  std::function<void()> handler = {}, const QString &hint = {});
// An item that opens a submenu: the submenu is the item ("TMenuItem" on the
// QMenu), its menuAction is what the parent menu holds.
QMenu *subMenu(QMenu *menu, const char *name, const QString &caption);
// A separator item; separators have names too, so that they can be hidden.
QAction *separatorItem(QMenu *menu, const char *name);
// A menu item linked to an action of the action list: it shows the action's
// caption, hint, enabled state and shortcut and performs the action. Its
// shortcut is only shown in the menu (the action's own shortcut does the
// work), so the two never compete for the key.
QAction *linkedItem(QMenu *menu, const char *name, QAction *action);
// An action "TAction" of an action list.
QAction *listAction(QObject *actionList, const char *name, const QString &caption, const QString &category,
                    const QKeySequence &shortcut = {}, const QString &hint = {});
// A tool button "TToolButton" with a hint and an icon.
QToolButton *toolButton(QWidget *parent, const char *name, const QString &hint, const QIcon &icon = {});

// A small picture with a glyph: the images of the windows' picture lists.
QIcon glyphIcon(const QString &glyph, unsigned rgb = 0x202020, unsigned background = 0);

} // namespace app
