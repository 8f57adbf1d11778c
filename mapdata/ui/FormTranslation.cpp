#include "mapdata/ui/FormTranslation.h"

#include "mapdata/MapFunctions.h"
#include "mapdata/VykFunctions.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/ui/FormClass.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include <functional>

namespace mapdata {

QString languageFileName(int language, QString folder)
{
    if (folder.endsWith(u'\\'))
        folder.chop(1);
    return folder + u'\\' + (language == 1 ? QStringLiteral("ukraine.lng") : QStringLiteral("russian.lng"));
}

namespace {

// One section of the language file; every read defaults to the current text,
// so a missing key leaves the text as it is.
class Section {
public:
    Section(const platform::IniFile &ini, QString name) : ini_(ini), name_(std::move(name)) {}

    void apply(const QString &key, const QString &current, const std::function<void(const QString &)> &set) const
    {
        const QString value = ini_.readString(name_, key, current);
        if (value != current)
            set(value);
    }

private:
    const platform::IniFile &ini_;
    QString name_;
};

// The caption of a control as its Qt counterpart holds it.
bool applyCaption(const Section &s, const QString &key, QObject *o)
{
    if (auto *m = qobject_cast<QMenu *>(o)) {
        s.apply(key, m->title(), [m](const QString &v) { m->setTitle(v); });
    } else if (auto *a = qobject_cast<QAction *>(o)) {
        s.apply(key, a->text(), [a](const QString &v) { a->setText(v); });
    } else if (auto *b = qobject_cast<QAbstractButton *>(o)) {
        s.apply(key, b->text(), [b](const QString &v) { b->setText(v); });
    } else if (auto *l = qobject_cast<QLabel *>(o)) {
        s.apply(key, l->text(), [l](const QString &v) { l->setText(v); });
    } else if (auto *g = qobject_cast<QGroupBox *>(o)) {
        s.apply(key, g->title(), [g](const QString &v) { g->setTitle(v); });
    } else {
        return false;
    }
    return true;
}

void applyText(const Section &s, const QString &key, QObject *o)
{
    if (auto *e = qobject_cast<QLineEdit *>(o))
        s.apply(key, e->text(), [e](const QString &v) { e->setText(v); });
    else
        applyCaption(s, key, o);
}

void applyHint(const Section &s, const QString &key, QObject *o)
{
    if (auto *a = qobject_cast<QAction *>(o))
        s.apply(key, a->toolTip(), [a](const QString &v) { a->setToolTip(v); });
    else if (auto *w = qobject_cast<QWidget *>(o))
        s.apply(key, w->toolTip(), [w](const QString &v) { w->setToolTip(v); });
}

// A tab sheet's caption is the title of its page in the tab widget that holds it.
void applyTabSheet(const Section &s, const QString &key, QObject *o)
{
    auto *page = qobject_cast<QWidget *>(o);
    if (!page)
        return;
    for (QWidget *p = page->parentWidget(); p; p = p->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(p)) {
            const int i = tabs->indexOf(page);
            if (i >= 0) {
                s.apply(key, tabs->tabText(i), [tabs, i](const QString &v) { tabs->setTabText(i, v); });
                return;
            }
        }
    }
    s.apply(key, page->windowTitle(), [page](const QString &v) { page->setWindowTitle(v); });
}

void applyTabs(const Section &s, const QString &name, QObject *o)
{
    auto *bar = qobject_cast<QTabBar *>(o);
    if (!bar)
        return;
    for (int i = 0; i < bar->count(); ++i)
        s.apply(name + QStringLiteral(".Tabs[%1]").arg(i), bar->tabText(i),
                [bar, i](const QString &v) { bar->setTabText(i, v); });
}

void applyPanels(const Section &s, const QString &name, QObject *o)
{
    const QList<QLabel *> panels = platform::statusPanels(qobject_cast<QWidget *>(o));
    for (qsizetype i = 0; i < panels.size(); ++i) {
        QLabel *panel = panels[i];
        s.apply(name + QStringLiteral(".Panels[%1].Text").arg(i), panel->text(),
                [panel](const QString &v) { panel->setText(v); });
    }
}

void applyColumns(const Section &s, const QString &name, QObject *o)
{
    auto *view = qobject_cast<QAbstractItemView *>(o);
    QAbstractItemModel *model = view ? view->model() : nullptr;
    if (!model)
        return;
    for (int i = 0; i < model->columnCount(); ++i)
        s.apply(name + QStringLiteral(".Columns[%1].Title.Caption").arg(i),
                model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(),
                [model, i](const QString &v) { model->setHeaderData(i, Qt::Horizontal, v, Qt::DisplayRole); });
}

void applyItems(const Section &s, const QString &name, QObject *o)
{
    const QList<QRadioButton *> items = platform::radioGroupItems(qobject_cast<QWidget *>(o));
    for (qsizetype i = 0; i < items.size(); ++i) {
        QRadioButton *item = items[i];
        s.apply(name + QStringLiteral(".Items[%1]").arg(i), item->text(),
                [item](const QString &v) { item->setText(v); });
    }
}

// The controls the translation knows, by exact class name.
void translateComponent(const Section &s, QObject *o, bool translateBitButtons)
{
    const QString name = o->objectName();
    if (name.isEmpty())
        return;
    const QString cls = platform::formClass(o);
    if (cls.isEmpty())
        return;
    if (cls == u"TLabel" || cls == u"TMenuItem" || cls == u"TAction" ||
        (cls == u"TBitBtn" && translateBitButtons)) {
        applyCaption(s, name + QStringLiteral(".Caption"), o);
    } else if (cls == u"TEdit") {
        applyText(s, name + QStringLiteral(".Text"), o);
    } else if (cls == u"TSpeedButton") {
        applyHint(s, name + QStringLiteral(".Hint"), o);
        applyCaption(s, name + QStringLiteral(".Caption"), o);
    } else if (cls == u"TToolButton") {
        applyHint(s, name + QStringLiteral(".Hint"), o);
    } else if (cls == u"TTabSheet") {
        applyTabSheet(s, name + QStringLiteral(".Caption"), o);
    } else if (cls == u"TTabControl") {
        applyTabs(s, name, o);
    } else if (cls == u"TStatusBar") {
        applyPanels(s, name, o);
    } else if (cls == u"TDBGrid") {
        applyColumns(s, name, o);
    } else if (cls == u"TRadioGroup" || cls == u"TDBRadioGroup") {
        applyItems(s, name, o);
    }
}

} // namespace

void translateWindow(const QString &formName, const QString &fileName, bool translateBitButtons)
{
    if (!platform::fileExists(fileName))
        return;
    QWidget *window = platform::findApplicationWindow(formName);
    if (!window)
        return;
    const platform::IniFile ini(fileName); // only read; released on return
    const Section section(ini, formName);
    if (platform::formParentClass(window) == u"TForm")
        section.apply(QStringLiteral("Caption"), window->windowTitle(),
                      [window](const QString &v) { window->setWindowTitle(v); });
    for (QObject *o : platform::ownedComponents(window))
        translateComponent(section, o, translateBitButtons);
}

} // namespace mapdata

namespace {

// The "Language" value through the unit's own integer converter; a text that
// is no number means no translation, as a missing value does.
template <class ToInt>
int languageNumber(const QString &text, ToInt toInt)
{
    try {
        return toInt(text);
    } catch (const platform::ConvertError &) {
        return 0;
    }
}

} // namespace

namespace MapFunctions {

void TranslateForm(const QString &formName)
{
    const QString key = QString::fromUtf16(mapdata::LanguageRegistryKey);
    const int language = LanguageNumber();
    if (language <= 0)
        return;
    const QString folder = ReadMachineRegString(key, QStringLiteral("PathWorkFiles"), QStringLiteral("0"));
    mapdata::translateWindow(formName, mapdata::languageFileName(language, folder), false);
}

} // namespace MapFunctions

namespace VykFunctions {

void TranslateForm(const QString &formName)
{
    const QString key = QString::fromUtf16(mapdata::LanguageRegistryKey);
    const int language =
        languageNumber(ReadRegString(platform::RegRoot::LocalMachine, key, QStringLiteral("Language"), QString()),
                       VykFunctions::TextToInt);
    if (language <= 0)
        return;
    const QString folder =
        ReadRegString(platform::RegRoot::LocalMachine, key, QStringLiteral("PathWorkFiles"), QStringLiteral("0"));
    mapdata::translateWindow(formName, mapdata::languageFileName(language, folder), true);
}

} // namespace VykFunctions
