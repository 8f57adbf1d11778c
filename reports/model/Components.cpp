#include "reports/model/Components.h"

#include "platform/TextCodec.h"
#include "reports/model/DataSets.h"

namespace reports {

Component *Component::Add(const QString &name)
{
    children_.push_back(std::make_unique<Component>(name, this));
    return children_.back().get();
}

Component *Component::Find(const QString &name) const
{
    for (const auto &child : children_)
        if (platform::ansiSameText(child->Name, name))
            return child.get();
    return nullptr;
}

Component *ComponentRegistry::AddContainer(const QString &name)
{
    if (Component *existing = FindContainer(name))
        return existing;
    containers_.push_back(std::make_unique<Component>(name));
    return containers_.back().get();
}

void ComponentRegistry::RemoveContainer(const QString &name)
{
    std::erase_if(containers_, [&](const auto &c) { return platform::ansiSameText(c->Name, name); });
}

Component *ComponentRegistry::FindContainer(const QString &name) const
{
    for (const auto &c : containers_)
        if (platform::ansiSameText(c->Name, name))
            return c.get();
    return nullptr;
}

ComponentRegistry &components()
{
    static ComponentRegistry registry;
    return registry;
}

namespace {

bool isOfClass(const Component &c, ComponentClass kind)
{
    switch (kind) {
    case ComponentClass::AnyDataSet:
        return c.DataSet != nullptr;
    case ComponentClass::ReportDataset:
        return c.ReportDataset != nullptr;
    case ComponentClass::DBDataSet:
        return dynamic_cast<DBDataSet *>(c.ReportDataset) != nullptr;
    }
    return false;
}

void gather(const Component &container, const Component *owner, ComponentClass kind, const Component *skipped,
            std::vector<ListedComponent> &list)
{
    for (const auto &child : container.Children()) {
        // Components of nested containers are listed before their container's
        // own later components, as a form's child controls are searched first.
        if (!child->Children().empty())
            gather(*child, owner, kind, skipped, list);
        if (child.get() == skipped || !isOfClass(*child, kind))
            continue;
        QString name = child->Name;
        if (&container != owner) {
            name = container.Name + u'.' + name;
            if (container.Parent)
                name = container.Parent->Name + u'.' + name;
        }
        list.push_back({name, child.get()});
    }
}

} // namespace

std::vector<ListedComponent> FillComponentList(const Component *owner, ComponentClass kind,
                                               const Component *skipped)
{
    std::vector<ListedComponent> list;
    for (const auto &container : components().Containers())
        gather(*container, owner, kind, skipped, list);
    return list;
}

Component *FindComponentEx(const Component *owner, const QString &name)
{
    const QStringList parts = name.split(u'.');
    if (parts.size() == 1)
        return owner ? owner->Find(name) : nullptr;
    if (parts.size() > 3)
        return nullptr;
    Component *c = components().FindContainer(parts[0]);
    for (qsizetype i = 1; c && i < parts.size(); ++i)
        c = c->Find(parts[i]);
    return c;
}

} // namespace reports
