#include "reports/model/DataDictionary.h"

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/db/DataSet.h"
#include "reports/model/DataSets.h"
#include "reports/language/ExpressionParser.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportStreams.h"
#include "reports/language/ReportUtils.h"
#include "reports/model/ReportViews.h"
#include "reports/language/ResourceTexts.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>

namespace reports {

namespace {

void writeList(QIODevice &stream, const Variables &list)
{
    WriteStreamInteger(stream, list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        WriteStreamString(stream, list.GetName(i));
        WriteStreamString(stream, list.GetValue(i).toString());
    }
}

void readList(QIODevice &stream, Variables &list)
{
    const qint32 count = ReadStreamInteger(stream);
    for (qint32 i = 0; i < count; ++i) {
        const QString name = ReadStreamString(stream);
        const QString value = ReadStreamString(stream);
        // A list may hold a name twice; the second entry is kept as its own.
        list.Insert(list.Count(), name);
        list.SetValueAt(list.Count() - 1, Variant(value));
    }
}

// The special variables of the report by their number in the oldest layout
// (number 1 is a field text and has no name).
const char *const kSpecialNames[] = {"PAGE#",        "",           "DATE",         "TIME",       "LINE#",
                                     "LINETHROUGH#", "COLUMN#",    "CURRENT#",     "TOTALPAGES", "REPORTCOMMENT",
                                     "REPORTNAME",   "REPORTAUTOR", "VMAJOR",      "VMINOR",     "VRELEASE",
                                     "VBUILD",       "REPORTDATE", "REPORTLASTCHANGE"};

QString readShortText(QIODevice &stream)
{
    const quint8 n = ReadStreamByte(stream);
    return platform::fromCp1251(ReadStreamBytes(stream, n));
}

QString upper(const QString &text)
{
    return platform::ansiUpperCase(text);
}

// The field names of a data set; a closed one is opened for them and closed
// again.
QStringList fieldNamesOf(platform::db::DataSet *dataSet)
{
    QStringList fields;
    if (!dataSet)
        return fields;
    GetDataSetFieldNames(dataSet, fields);
    if (fields.isEmpty() && !dataSet->active()) {
        try {
            dataSet->open();
            GetDataSetFieldNames(dataSet, fields);
            dataSet->close();
        } catch (const std::exception &) {
        }
    }
    return fields;
}

platform::db::DataSet *dataSetOf(Component *c)
{
    if (!c)
        return nullptr;
    if (c->DataSet)
        return c->DataSet;
    if (auto *db = dynamic_cast<DBDataSet *>(c->ReportDataset)) {
        try {
            return &db->GetDataSet();
        } catch (const std::exception &) {
            return nullptr;
        }
    }
    return nullptr;
}

} // namespace

void DataDictionary::Clear()
{
    Variables.Clear();
    FieldAliases.Clear();
    BandDatasources.Clear();
    DisabledDatasets.clear();
    ClearCache();
}

void DataDictionary::AddCacheItem(const QString &name, platform::db::DataSet *dataSet, const QString &field)
{
    cache_.insert(upper(name), CacheItem{dataSet, field});
}

void DataDictionary::SaveToStream(QIODevice &stream) const
{
    WriteStreamSmallInt(stream, -2);
    writeList(stream, Variables);
    writeList(stream, FieldAliases);
    writeList(stream, BandDatasources);
}

void DataDictionary::LoadFromStream(QIODevice &stream)
{
    Clear();
    const qint64 start = stream.pos();
    const qint16 marker = ReadStreamSmallInt(stream);
    if (marker == -1 || marker == -2) {
        readList(stream, Variables);
        readList(stream, FieldAliases);
        readList(stream, BandDatasources);
    } else {
        stream.seek(start);
        const qint32 count = ReadStreamInteger(stream);
        reports::Variables stored;
        for (qint32 i = 0; i < count; ++i) {
            const quint8 kind = ReadStreamByte(stream);
            const qint32 number = ReadStreamInteger(stream);
            const QString dataSet = readShortText(stream);
            const QString field = readShortText(stream);
            const QString name = readShortText(stream);
            QString value;
            if (kind == 1)
                value = dataSet + u'.' + u'"' + field + u'"';
            else if (kind == 2)
                value = number == 1 ? field
                                    : (number >= 0 && number < int(std::size(kSpecialNames))
                                           ? QString::fromLatin1(kSpecialNames[number])
                                           : QString());
            stored.SetVariable(u' ' + name, Variant(value));
        }
        for (const QString &line : ReadMemoOfVersion(stream)) {
            Variables.Insert(Variables.Count(), line);
            const int at = Variables.Count() - 1;
            if (!line.isEmpty() && !line.startsWith(u' '))
                Variables.SetValueAt(at, Variant(QString()));
            else
                Variables.SetValueAt(at, Variant(stored.GetVariable(line).toString()));
        }
    }
    // A list whose first entry is a plain name was stored with its names
    // turned over: categories without the blank, variables with it.
    if (Variables.Count() > 0) {
        const QString first = Variables.GetName(0);
        if (!first.isEmpty() && !first.startsWith(u' ')) {
            for (int i = 0; i < Variables.Count(); ++i) {
                const QString n = Variables.GetName(i);
                Variables.SetName(i, n.startsWith(u' ') ? n.mid(1) : u' ' + n);
            }
        }
    }
    if (marker == -1) {
        for (int i = FieldAliases.Count() - 1; i >= 0; --i) {
            if (!FieldAliases.GetValue(i).toString().isEmpty())
                continue;
            platform::db::DataSet *dataSet = nullptr;
            QString field;
            ParseFieldReference(FieldAliases.GetName(i), dataSet, field);
            if (field.isEmpty())
                FieldAliases.Delete(i);
        }
        for (int i = BandDatasources.Count() - 1; i >= 0; --i)
            if (BandDatasources.GetValue(i).toString().isEmpty())
                BandDatasources.Delete(i);
    }
}

bool DataDictionary::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        ReadStreamByte(buffer);
        LoadFromStream(buffer);
    } catch (const std::exception &) {
        Clear();
        return false;
    }
    return true;
}

bool DataDictionary::SaveToFile(const QString &fileName) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    WriteStreamByte(buffer, 25);
    SaveToStream(buffer);
    return platform::writeFileAtomically(fileName, bytes);
}

bool DataDictionary::IsVariable(const QString &name)
{
    if (cache_.contains(upper(name)))
        return true;
    const int index = Variables.IndexOf(name);
    if (index >= 0) {
        const Variant value = Variables.GetValue(index);
        if (!value.isNull() && value.toString().contains(u'.')) {
            platform::db::DataSet *dataSet = DefaultDataSet();
            QString field;
            ParseFieldReference(value.toString(), dataSet, field);
            if (!field.isEmpty())
                AddCacheItem(name, dataSet, field);
        }
        return true;
    }
    QString reference = name;
    if (name.contains(u'.')) {
        QString dataSetPart, fieldPart;
        SplitFieldName(name, dataSetPart, fieldPart);
        dataSetPart = NameOfAlias(dataSetPart);
        for (int i = 0; i < FieldAliases.Count(); ++i) {
            const QString key = FieldAliases.GetName(i);
            if (platform::ansiSameText(FieldAliases.GetValue(i).toString(), fieldPart) &&
                key.startsWith(dataSetPart, Qt::CaseInsensitive)) {
                QString ds, f;
                SplitFieldName(key, ds, f);
                fieldPart = f;
                break;
            }
        }
        reference = dataSetPart + u'.' + u'"' + fieldPart + u'"';
    }
    platform::db::DataSet *dataSet = DefaultDataSet();
    QString field;
    ParseFieldReference(reference, dataSet, field);
    if (field.isEmpty())
        return ReportDictionary::IsVariable(name);
    AddCacheItem(name, dataSet, field);
    return true;
}

Variant DataDictionary::GetValue(const QString &name)
{
    const auto cached = cache_.constFind(upper(name));
    if (cached != cache_.constEnd()) {
        platform::db::DataSet *dataSet = cached->DataSet;
        if (!dataSet)
            return Variant();
        if (!dataSet->active())
            dataSet->open();
        platform::db::Field *field = dataSet->findField(cached->DataField);
        return field ? GetFieldValue(*field) : Variant();
    }
    const int index = Variables.IndexOf(name);
    if (index < 0)
        return ReportDictionary::IsVariable(name) ? ReportDictionary::GetValue(name) : Variant();
    if (const Variant *global = library().ReportVariables.Find(name))
        return *global;
    const Variant value = Variables.GetValue(index);
    if (value.isNull() || value.toString().isEmpty())
        return value;
    // A variable whose expression leads back to itself would never end.
    if (resolving_.contains(name, Qt::CaseInsensitive))
        throw ParserError(GetResourceText(55439) + QStringLiteral(" \"") + name + u'"');
    resolving_ << name;
    struct Pop {
        QStringList &list;
        ~Pop() { list.removeLast(); }
    } pop{resolving_};
    return library().ReportParser.Calc(value.toString());
}

bool DataDictionary::IsDatasetEnabled(const QString &name) const
{
    for (const QString &entry : DisabledDatasets) {
        if (entry.endsWith(u'*') && name.startsWith(entry.left(entry.size() - 1)))
            return false;
        if (platform::ansiSameText(entry, name))
            return false;
    }
    return true;
}

void DataDictionary::SplitFieldName(const QString &text, QString &dataSet, QString &field)
{
    bool quoted = false;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (text[i] == u'"')
            quoted = !quoted;
        else if (text[i] == u'.' && !quoted) {
            dataSet = text.left(i);
            QString f = text.mid(i + 1);
            if (f.size() >= 2 && f.startsWith(u'"') && f.endsWith(u'"'))
                f = f.mid(1, f.size() - 2);
            field = f;
            return;
        }
    }
}

namespace {

QString keyOfValue(const Variables &list, const QString &alias)
{
    for (int i = 0; i < list.Count(); ++i)
        if (platform::ansiSameText(list.GetValue(i).toString(), alias))
            return list.GetName(i);
    return alias;
}

} // namespace

QString DataDictionary::NameOfAlias(const QString &alias) const
{
    return keyOfValue(FieldAliases, alias);
}

QString DataDictionary::BandSourceOfAlias(const QString &alias) const
{
    return keyOfValue(BandDatasources, alias);
}

QString DataDictionary::ShortNameOfAlias(const QString &alias) const
{
    const QString name = NameOfAlias(alias);
    return name.mid(name.lastIndexOf(u'.') + 1);
}

QString DataDictionary::AliasOfName(const QString &name) const
{
    if (const Variant *v = FieldAliases.Find(name))
        return v->toString();
    if (const Variant *v = BandDatasources.Find(name))
        return v->toString();
    return name;
}

QStringList DataDictionary::GetDatasetList() const
{
    QStringList list;
    for (const ListedComponent &c : FillComponentList(ReportOwner(), ComponentClass::AnyDataSet)) {
        if (!IsDatasetEnabled(c.Name))
            continue;
        if (FieldAliases.Count() == 0) {
            list << c.Name;
        } else if (const Variant *alias = FieldAliases.Find(c.Name)) {
            list << (alias->toString().isEmpty() ? c.Name : alias->toString());
        }
    }
    list.sort(Qt::CaseInsensitive);
    return list;
}

QStringList DataDictionary::GetFieldList(const QString &dataSetName) const
{
    QStringList list;
    Component *c = FindReportComponent(dataSetName);
    if (!dataSetOf(c))
        c = FindReportComponent(NameOfAlias(dataSetName));
    platform::db::DataSet *dataSet = dataSetOf(c);
    if (!dataSet)
        return list;
    const QStringList fields = fieldNamesOf(dataSet);
    const QString name = NameOfAlias(dataSetName);
    for (const QString &f : fields) {
        if (const Variant *alias = FieldAliases.Find(name + u'.' + f)) {
            if (!alias->toString().isEmpty())
                list << alias->toString();
        } else {
            list << f;
        }
    }
    return list;
}

QStringList DataDictionary::GetBandDatasourceList() const
{
    QStringList list;
    for (const ListedComponent &c : FillComponentList(ReportOwner(), ComponentClass::ReportDataset)) {
        if (BandDatasources.Count() == 0) {
            list << c.Name;
        } else if (const Variant *alias = BandDatasources.Find(c.Name)) {
            list << (alias->toString().isEmpty() ? c.Name : alias->toString());
        }
    }
    list.sort(Qt::CaseInsensitive);
    return list;
}

QStringList DataDictionary::GetCategoryList() const
{
    QStringList list;
    for (int i = 0; i < Variables.Count(); ++i)
        if (Variables.GetName(i).startsWith(u' '))
            list << Variables.GetName(i).mid(1);
    return list;
}

QStringList DataDictionary::GetVariablesInCategory(const QString &category) const
{
    QStringList list;
    int i = Variables.IndexOf(u' ' + category);
    if (i < 0)
        return list;
    for (++i; i < Variables.Count(); ++i) {
        const QString n = Variables.GetName(i);
        if (n.isEmpty() || n.startsWith(u' '))
            break;
        list << n;
    }
    return list;
}

const Component *ReportOwner()
{
    auto *report = dynamic_cast<TfrReport *>(library().State.CurrentReport);
    return report ? report->Owner : nullptr;
}

Component *FindReportComponent(const QString &name)
{
    return FindComponentEx(ReportOwner(), name);
}

QString ValidateFieldName(platform::db::DataSet *dataSet, const QString &name)
{
    for (const QString &f : fieldNamesOf(dataSet))
        if (platform::ansiSameText(f, name))
            return name;
    return QString();
}

void ParseFieldReference(const QString &text, platform::db::DataSet *&dataSet, QString &field)
{
    field.clear();
    QStringList parts;
    const qsizetype quote = text.indexOf(u'"');
    const QString head = quote >= 0 ? text.left(quote) : text;
    parts = head.split(u'.');
    if (quote >= 0)
        parts.last() += text.mid(quote, 255);
    const qsizetype dots = parts.size() - 1;
    QString fieldPart;
    if (dots == 0) {
        if (!dataSet)
            return;
        fieldPart = text;
    } else if (dots == 1) {
        dataSet = dataSetOf(FindComponentEx(ReportOwner(), parts[0]));
        fieldPart = parts[1];
    } else if (dots == 2 || dots == 3) {
        Component *c = components().FindContainer(parts[0]);
        for (qsizetype i = 1; c && i < dots; ++i)
            c = c->Find(parts[i]);
        dataSet = dataSetOf(c);
        fieldPart = parts[dots];
    } else {
        return;
    }
    if (fieldPart.size() > 2 && fieldPart.startsWith(u'"') && fieldPart.endsWith(u'"'))
        fieldPart = fieldPart.mid(1, fieldPart.size() - 2);
    field = ValidateFieldName(dataSet, fieldPart);
}

Variant GetFieldValue(platform::db::Field &field)
{
    using platform::db::FieldType;
    platform::db::DataSet &dataSet = field.dataSet();
    if (!dataSet.active())
        dataSet.open();
    const FieldType type = field.dataType();
    if (type == FieldType::Largeint)
        return Variant(field.asString());
    if (field.isNull()) {
        if (platform::db::isStringType(type))
            return Variant(QString());
        if (type == FieldType::Boolean)
            return Variant(false);
        return Variant(0);
    }
    return Variant::fromQVariant(field.value());
}

platform::db::DataSet *DefaultDataSet()
{
    const BuildState &state = library().State;
    Dataset *source = nullptr;
    if (auto *report = dynamic_cast<TfrReport *>(state.CurrentReport))
        source = report->ReportDataset;
    if (state.CurrentPage && state.CurrentBand) {
        int type = -1;
        switch (state.CurrentBand->Typ) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 16: case 17:
            type = 5;
            break;
        case 8: case 9:
            type = 8;
            break;
        case 11: case 12:
            type = 11;
            break;
        case 19: case 20:
            type = 19;
            break;
        default:
            break;
        }
        const auto &bands = state.CurrentPage->Bands;
        if (type >= 0 && type < int(bands.size()) && bands[size_t(type)])
            source = bands[size_t(type)]->DataSet;
    }
    if (auto *db = dynamic_cast<DBDataSet *>(source)) {
        try {
            return &db->GetDataSet();
        } catch (const std::exception &) {
            return nullptr;
        }
    }
    return nullptr;
}

Dataset *ResolveDataset(const QString &name, bool &virtualSet)
{
    Dataset *result = nullptr;
    virtualSet = false;
    if (!name.isEmpty() && name[0] >= u'1' && name[0] <= u'9') {
        auto *user = new UserDataset;
        user->RangeEnd = TRangeEnd::reCount;
        user->RangeEndCount = name.toInt();
        result = user;
        virtualSet = true;
    } else if (Component *c = FindReportComponent(name)) {
        result = c->ReportDataset;
    }
    if (result)
        result->Init();
    return result;
}

bool FieldIsNull(const QString &text)
{
    platform::db::DataSet *dataSet = nullptr;
    if (auto *report = dynamic_cast<TfrReport *>(library().State.CurrentReport);
        report && report->UseDefaultDataSetName)
        dataSet = DefaultDataSet();
    QString field;
    ParseFieldReference(text, dataSet, field);
    if (!dataSet)
        return true;
    if (!dataSet->active())
        dataSet->open();
    // An unknown name raises the data set's field-not-found error.
    const QString name = field.isEmpty() ? Unquote(text.mid(text.lastIndexOf(u'.') + 1)) : field;
    return dataSet->fieldByName(name).isNull();
}

} // namespace reports
