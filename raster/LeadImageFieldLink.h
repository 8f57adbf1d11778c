#pragma once
// The field link of a bound imaging control (LeadImageBinding.cpp).

#include "raster/LeadImageDisplay.h"

#include "platform/db/DataSource.h"

namespace raster {

// The field link of a control: reloads on every data change, saves when the
// data set asks, and tells the data set of a change made before editing
// began as soon as it begins.
class ImageFieldLink : public platform::db::FieldDataLink {
public:
    explicit ImageFieldLink(TLEADImageDisplay &control) : control_(control)
    {
        onDataChange = [this] { control_.LoadFromDataField(); };
        onUpdateData = [this] { control_.saveToDataField(); };
    }
    void editingChanged() override
    {
        if (control_.dataModified_ && editing())
            setModified();
    }
    bool editing() const
    {
        return dataSet()
            && (dataSet()->state() == platform::db::DataSetState::Edit || dataSet()->state() == platform::db::DataSetState::Insert);
    }
    void attach(platform::db::DataSet *set)
    {
        if (dataSet() == set)
            return;
        if (dataSet())
            dataSet()->removeLink(this);
        if (set)
            set->addLink(this);
    }
    platform::db::DataSource::Ref source;
    bool readOnly = false;

private:
    TLEADImageDisplay &control_;
};

} // namespace raster
