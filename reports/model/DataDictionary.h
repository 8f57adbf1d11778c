#pragma once
// TfrDataDictionary: the report's variables grouped in categories (an entry
// whose name begins with a blank is a category), the aliases under which
// data sets and fields are shown, the aliases of band data sources and the
// data sets hidden from the user; and the routines that turn names such as
// "Form.Table.Field" into data sets, fields and values.
//
// Stored inside a template after the marker 254 and on its own in a ".frd"
// file (the byte 25, then the same section).

#include "platform/Variant.h"
#include "reports/model/Components.h"
#include "reports/model/ReportComponent.h"
#include "reports/language/ReportVariables.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <stdexcept>

class QIODevice;

namespace platform::db {
class DataSet;
class Field;
} // namespace platform::db

namespace reports {

using platform::Variant;
class Dataset;

struct CacheItem {
    platform::db::DataSet *DataSet = nullptr;
    QString DataField;
};

// The build asks it through ReportDictionary: names of variables, of data
// fields through the registry, and then the report's own data sets.
class DataDictionary : public ReportDictionary {
public:
    explicit DataDictionary(TfrReport *report = nullptr) : ReportDictionary(report) {}

    reports::Variables Variables;
    reports::Variables FieldAliases;
    reports::Variables BandDatasources;
    QStringList DisabledDatasets;

    void Clear() override;
    void ClearCache() { cache_.clear(); }
    void AddCacheItem(const QString &name, platform::db::DataSet *dataSet, const QString &field);

    // The section: Int16 -2 and the three lists (older layouts read too).
    // A section of the oldest layout that ends early raises StreamReadError.
    void LoadFromStream(QIODevice &stream);
    void SaveToStream(QIODevice &stream) const;
    // ".frd": false when the file cannot be opened, read or written.
    bool LoadFromFile(const QString &fileName);
    bool SaveToFile(const QString &fileName) const;

    bool IsVariable(const QString &name) override;
    // A variable's value (a global report variable of that name wins; a
    // text is evaluated as an expression) or a field's. A variable whose
    // value leads back to itself raises the undefined-variable error.
    Variant GetValue(const QString &name) override;
    bool IsDatasetEnabled(const QString &name) const;
    // Splits at the last "." outside double quotes; the field part loses its
    // surrounding quotes. Both outputs stay as they were without such a ".".
    static void SplitFieldName(const QString &text, QString &dataSet, QString &field);

    QString NameOfAlias(const QString &alias) const;
    QString BandSourceOfAlias(const QString &alias) const;
    QString ShortNameOfAlias(const QString &alias) const;
    QString AliasOfName(const QString &name) const;

    QStringList GetDatasetList() const;
    QStringList GetFieldList(const QString &dataSetName) const;
    QStringList GetBandDatasourceList() const;
    QStringList GetCategoryList() const;
    QStringList GetVariablesInCategory(const QString &category) const;

private:
    // Cached names, upper-cased.
    QMap<QString, CacheItem> cache_;
    int depth_ = 0;
    QStringList resolving_;
};

// The report's owner: the component whose own components plain names reach
// (the current report's owner while a report is loaded or built).
const Component *ReportOwner();

// FindComponentEx from the current report's owner.
Component *FindReportComponent(const QString &name);

// The data set and field a text names: "Field" (with a data set given),
// "Table.Field", "Form.Table.Field", "Form.Frame.Table.Field"; the field part
// may stand in double quotes. The field stays empty when the data set has no
// such field.
void ParseFieldReference(const QString &text, platform::db::DataSet *&dataSet, QString &field);
// The name when the data set has such a field, else empty.
QString ValidateFieldName(platform::db::DataSet *dataSet, const QString &name);
// The field's value; null becomes "" for text fields, false for yes/no
// fields and 0 for the others.
Variant GetFieldValue(platform::db::Field &field);
// The data set of the band being printed, or none.
platform::db::DataSet *DefaultDataSet();
// A name beginning with a digit 1 to 9 makes a user data set of that many
// records (virtualSet on; the caller owns it); any other names a report data
// set component. The data set is initialised.
Dataset *ResolveDataset(const QString &name, bool &virtualSet);
bool FieldIsNull(const QString &text);

} // namespace reports
