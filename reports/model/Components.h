#pragma once
// The application's components as the report library looks them up by name:
// global containers (forms and data modules) by name, each owning named
// components, which may own components of their own one level further. A
// component may stand for a data set of the database engine or for a band
// data source of the report library. Names compare without regard to case.

#include <QString>

#include <memory>
#include <vector>

namespace platform::db {
class DataSet;
}

namespace reports {

class Dataset;

class Component {
public:
    explicit Component(QString name, Component *parent = nullptr) : Name(std::move(name)), Parent(parent) {}
    virtual ~Component() = default;
    Component(const Component &) = delete;
    Component &operator=(const Component &) = delete;

    QString Name;
    // The container; none for a global container.
    Component *Parent;
    // A data set of the database engine, or none.
    platform::db::DataSet *DataSet = nullptr;
    // A band data source of the report library, or none.
    Dataset *ReportDataset = nullptr;

    Component *Add(const QString &name);
    Component *Find(const QString &name) const;
    const std::vector<std::unique_ptr<Component>> &Children() const { return children_; }

private:
    std::vector<std::unique_ptr<Component>> children_;
};

class ComponentRegistry {
public:
    // A global container (form or data module); the one of that name when it exists.
    Component *AddContainer(const QString &name);
    void RemoveContainer(const QString &name);
    Component *FindContainer(const QString &name) const;
    const std::vector<std::unique_ptr<Component>> &Containers() const { return containers_; }
    void Clear() { containers_.clear(); }

private:
    std::vector<std::unique_ptr<Component>> containers_;
};

ComponentRegistry &components();

// Which components a list gathers.
enum class ComponentClass {
    AnyDataSet,    // a data set of the database engine
    ReportDataset, // a band data source (TfrDataset and kinds)
    DBDataSet,     // a band data source over a data set (TfrDBDataSet)
};

struct ListedComponent {
    QString Name;
    Component *Object = nullptr;
};

// Every component of the class in every container, except the skipped one,
// named plainly when its container is the owner, "Container.Name" in a global
// container, and "Parent.Container.Name" deeper.
std::vector<ListedComponent> FillComponentList(const Component *owner, ComponentClass kind,
                                               const Component *skipped = nullptr);

// A name without "." among the owner's components; two dotted parts: a global
// container and its component; three: one level further. None when a part is
// not found.
Component *FindComponentEx(const Component *owner, const QString &name);

} // namespace reports
