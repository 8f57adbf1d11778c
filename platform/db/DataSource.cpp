#include "platform/db/DataSource.h"

#include <algorithm>

namespace platform::db {

DataSource::~DataSource()
{
    for (Ref *ref : refs_)
        ref->source_ = nullptr;
}

void DataSource::setDataSet(DataSet *dataSet)
{
    if (dataSet)
        dataSet->addLink(&link_);
    else if (link_.dataSet())
        link_.dataSet()->removeLink(&link_);
}

void DataSource::Ref::reset(DataSource *source)
{
    if (source_ == source)
        return;
    if (source_)
        source_->refs_.erase(std::remove(source_->refs_.begin(), source_->refs_.end(), this), source_->refs_.end());
    source_ = source;
    if (source_)
        source_->refs_.push_back(this);
}

void DataSetRef::reset(DataSet *dataSet)
{
    if (dataSet)
        dataSet->addLink(&link_);
    else if (link_.dataSet())
        link_.dataSet()->removeLink(&link_);
}

} // namespace platform::db
