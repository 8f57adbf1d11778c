#pragma once
// A data source: the indirection through which controls and reports reach a
// data set, so that the data set can be changed in one place. A reference to
// a data source (DataSource::Ref) and the data source's own reference to its
// data set clear themselves when the object they name is destroyed.

#include "platform/db/DataSet.h"

#include <vector>

namespace platform::db {

class DataSource {
public:
    DataSource() = default;
    ~DataSource();
    DataSource(const DataSource &) = delete;
    DataSource &operator=(const DataSource &) = delete;

    DataSet *dataSet() const { return link_.dataSet(); }
    void setDataSet(DataSet *dataSet);

    // A reference to a data source, null once the data source is destroyed.
    class Ref {
    public:
        Ref() = default;
        ~Ref() { reset(nullptr); }
        Ref(const Ref &) = delete;
        Ref &operator=(const Ref &) = delete;
        void reset(DataSource *source);
        DataSource *get() const { return source_; }

    private:
        friend class DataSource;
        DataSource *source_ = nullptr;
    };

private:
    DataLink link_;
    std::vector<Ref *> refs_;
};

// A reference to a data set, null once the data set is destroyed.
class DataSetRef {
public:
    DataSet *get() const { return link_.dataSet(); }
    void reset(DataSet *dataSet);

private:
    DataLink link_;
};

} // namespace platform::db
