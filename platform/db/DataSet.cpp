#include "platform/db/DataSet.h"

#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"
#include "platform/db/DbfCodec.h"

#include <QIODevice>

#include <algorithm>
#include <climits>
#include <cmath>

namespace platform::db {

namespace {

bool isText(const QVariant &v)
{
    const int id = v.metaType().id();
    return id == QMetaType::QString || id == QMetaType::QByteArray || id == QMetaType::QChar;
}

bool parseBool(const QString &text, bool &out)
{
    const QString t = text.trimmed().toLower();
    if (t == u"true" || t == u"t" || t == u"1" || t == u"y" || t == u"yes" || t == u"да") {
        out = true;
        return true;
    }
    if (t == u"false" || t == u"f" || t == u"0" || t == u"n" || t == u"no" || t == u"нет") {
        out = false;
        return true;
    }
    return false;
}

QDate toDate(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        return v.toDate();
    case QMetaType::QDateTime:
        return v.toDateTime().date();
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return daysToDateTime(v.toDouble()).date();
    default:
        return readDateText(v.toString());
    }
}

[[noreturn]] void badValue(const FieldDef &def, const QVariant &value, const char *what)
{
    throw DbError(QStringLiteral("\"") + value.toString() + QStringLiteral("\" не является ") + QString::fromUtf8(what)
                  + QStringLiteral(" (поле ") + def.name + u')');
}

// The value in the form the field's type keeps it; raises DbError for a value
// that cannot be one of that type.
QVariant normalize(const FieldDef &def, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    const FieldType t = def.type;
    if (isStringType(t) || t == FieldType::Memo || t == FieldType::FmtMemo || t == FieldType::Unknown) {
        if (value.metaType().id() == QMetaType::QByteArray)
            return fromCp1251(value.toByteArray());
        return value.toString();
    }
    if (isText(value) && value.toString().trimmed().isEmpty())
        return {};
    if (isNumericType(t)) {
        double v = 0;
        if (isText(value)) {
            if (!dbf::parseNumber(value.toString(), v))
                badValue(def, value, "числом");
        } else if (value.metaType().id() == QMetaType::Bool) {
            v = value.toBool() ? 1 : 0;
        } else {
            bool ok = false;
            v = value.toDouble(&ok);
            if (!ok || !std::isfinite(v))
                badValue(def, value, "числом");
        }
        if (isIntegerType(t)) {
            if (std::fabs(v) >= 9.2e18)
                badValue(def, value, "целым числом");
            const qint64 i = roundHalfEven(v);
            return (i >= INT_MIN && i <= INT_MAX && t != FieldType::Largeint) ? QVariant(static_cast<int>(i))
                                                                             : QVariant(i);
        }
        return v;
    }
    if (t == FieldType::Boolean) {
        if (isText(value)) {
            bool b = false;
            if (!parseBool(value.toString(), b))
                badValue(def, value, "логическим значением");
            return b;
        }
        return value.toBool();
    }
    if (t == FieldType::Date) {
        const QDate d = toDate(value);
        if (!d.isValid())
            badValue(def, value, "датой");
        return d;
    }
    if (t == FieldType::DateTime || t == FieldType::Time) {
        if (value.metaType().id() == QMetaType::QDateTime)
            return value;
        if (value.metaType().id() == QMetaType::Double)
            return daysToDateTime(value.toDouble());
        const QDate d = toDate(value);
        if (!d.isValid())
            badValue(def, value, "датой");
        return QDateTime(d, QTime(0, 0));
    }
    if (isText(value) && value.metaType().id() == QMetaType::QString)
        return toCp1251(value.toString());
    return value.toByteArray();
}

} // namespace

// ---------------------------------------------------------------- RecordView

QVariant RecordView::value(QStringView fieldName) const
{
    Field *f = dataSet_.findField(fieldName);
    if (!f)
        return {};
    if (f->isCalculated())
        return {};
    if (recNo_ < 0)
        return dataSet_.fieldValue(f->index());
    return dataSet_.storedValue(recNo_, f->index());
}

// ---------------------------------------------------------------- Field

bool Field::readOnly() const
{
    return calculated_ || !dataSet_->canModify() || !dataSet_->storage_ || !dataSet_->storage_->canWriteField(index_);
}

QVariant Field::value() const
{
    return dataSet_->fieldValue(index_);
}

bool Field::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString Field::asString() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return {};
    const FieldType t = def_.type;
    if (isFloatType(t) || v.metaType().id() == QMetaType::Double)
        return floatToStr(v.toDouble());
    if (isIntegerType(t))
        return QString::number(v.toLongLong());
    switch (t) {
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date:
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case FieldType::DateTime:
        return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    case FieldType::Time:
        return v.toDateTime().time().toString(QStringLiteral("hh:mm:ss"));
    default:
        break;
    }
    if (v.metaType().id() == QMetaType::QByteArray)
        return fromCp1251(v.toByteArray());
    return v.toString();
}

double Field::asFloat() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0;
    switch (v.metaType().id()) {
    case QMetaType::QString: {
        double d = 0;
        return dbf::parseNumber(v.toString(), d) ? d : 0;
    }
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QDate:
        return dateTimeToDays(QDateTime(v.toDate(), QTime(0, 0)));
    case QMetaType::QDateTime:
        return dateTimeToDays(v.toDateTime());
    default:
        return v.toDouble();
    }
}

qint64 Field::asLargeInt() const
{
    const QVariant v = value();
    const int id = v.metaType().id();
    if (id == QMetaType::Int || id == QMetaType::LongLong)
        return v.toLongLong();
    const double d = asFloat();
    if (!std::isfinite(d))
        return 0;
    return roundHalfEven(d);
}

int Field::asInteger() const
{
    return static_cast<int>(std::clamp<qint64>(asLargeInt(), INT_MIN, INT_MAX));
}

bool Field::asBoolean() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return false;
    if (v.metaType().id() == QMetaType::QString) {
        bool b = false;
        return parseBool(v.toString(), b) && b;
    }
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool();
    return asFloat() != 0;
}

QDate Field::asDate() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return {};
    return toDate(v);
}

QDateTime Field::asDateTime() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime();
    const QDate d = toDate(v);
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

QByteArray Field::asBytes() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QByteArray)
        return v.toByteArray();
    return toCp1251(asString());
}

void Field::saveToStream(QIODevice &out) const
{
    out.write(asBytes());
}

void Field::loadFromStream(QIODevice &in)
{
    const QByteArray bytes = in.readAll();
    if (def_.type == FieldType::Memo || def_.type == FieldType::FmtMemo || isStringType(def_.type))
        setValue(fromCp1251(bytes));
    else
        setValue(bytes);
}

void Field::setValue(const QVariant &value)
{
    dataSet_->setFieldValue(index_, value);
}

void Field::setAsString(const QString &text)
{
    setValue(text);
}

// ---------------------------------------------------------------- links

DataLink::~DataLink()
{
    if (dataSet_)
        dataSet_->removeLink(this);
}

Field *FieldDataLink::field() const
{
    return dataSet() && dataSet()->active() ? dataSet()->findField(fieldName_) : nullptr;
}

void FieldDataLink::setModified()
{
    if (!dataSet() || (dataSet()->state() != DataSetState::Edit && dataSet()->state() != DataSetState::Insert))
        throw DbError(QStringLiteral("Набор данных не находится в режиме редактирования !"));
    modified_ = true;
}

void FieldDataLink::recordChanged(Field *f)
{
    if (!f || f == field())
        dataChange();
}

void FieldDataLink::updateData()
{
    if (modified_ && onUpdateData)
        onUpdateData();
    modified_ = false;
}

void FieldDataLink::dataChange()
{
    modified_ = false;
    if (onDataChange)
        onDataChange();
}

// ---------------------------------------------------------------- DataSet

DataSet::DataSet() = default;

DataSet::~DataSet()
{
    for (DataLink *l : links_)
        l->dataSet_ = nullptr;
}

template <typename F> void DataSet::notify(F f)
{
    const std::vector<DataLink *> links = links_;
    for (DataLink *l : links)
        if (std::find(links_.begin(), links_.end(), l) != links_.end())
            f(l);
}

void DataSet::addLink(DataLink *link)
{
    if (!link || link->dataSet_ == this)
        return;
    if (link->dataSet_)
        link->dataSet_->removeLink(link);
    link->dataSet_ = this;
    links_.push_back(link);
}

void DataSet::removeLink(DataLink *link)
{
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
    if (link && link->dataSet_ == this)
        link->dataSet_ = nullptr;
}

void DataSet::notifyDataSetChanged()
{
    notify([](DataLink *l) { l->dataSetChanged(); });
}

QString DataSet::readOnlyMessage() const
{
    return QStringLiteral("Набор данных открыт только для чтения !");
}

void DataSet::checkActive() const
{
    if (!active())
        throw DbError(QStringLiteral("Операция невозможна: набор данных закрыт !"));
}

void DataSet::open()
{
    if (active())
        return;
    storage_ = openStorage();
    const FieldDefs &defs = storage_->fieldDefs();
    fields_.clear();
    dataFieldCount_ = static_cast<int>(defs.size());
    for (int i = 0; i < dataFieldCount_; ++i)
        fields_.push_back(std::unique_ptr<Field>(new Field(this, i, defs[static_cast<size_t>(i)], false)));
    for (const CalcDef &c : calcDefs_) {
        FieldDef d;
        d.name = c.name;
        d.type = c.type;
        d.size = c.size;
        fields_.push_back(
            std::unique_ptr<Field>(new Field(this, static_cast<int>(fields_.size()), d, true)));
    }
    edits_.assign(static_cast<size_t>(dataFieldCount_), std::nullopt);
    modified_ = false;
    state_ = DataSetState::Browse;
    const int n = storage_->recordCount();
    setPosition(n > 0 ? 1 : 0, n == 0, true);
    notify([](DataLink *l) { l->activeChanged(); });
}

void DataSet::close()
{
    if (!active())
        return;
    state_ = DataSetState::Inactive;
    fields_.clear();
    edits_.clear();
    cache_.clear();
    cacheRecNo_ = 0;
    recNo_ = 0;
    eof_ = bof_ = true;
    modified_ = false;
    storage_ = nullptr;
    closeStorage();
    notify([](DataLink *l) { l->activeChanged(); });
}

Field &DataSet::field(int index) const
{
    if (index < 0 || index >= fieldCount())
        throw DbError(QStringLiteral("Нет поля с номером ") + QString::number(index));
    return *fields_[static_cast<size_t>(index)];
}

Field *DataSet::findField(QStringView name) const
{
    const QStringView n = name.trimmed();
    for (const auto &f : fields_)
        if (ansiSameText(f->fieldName(), n))
            return f.get();
    return nullptr;
}

Field &DataSet::fieldByName(QStringView name) const
{
    Field *f = findField(name);
    if (!f)
        throw DbError(QStringLiteral("Поле ") + name.toString() + QStringLiteral(" не найдено !"));
    return *f;
}

QStringList DataSet::fieldNames() const
{
    QStringList names;
    for (const auto &f : fields_)
        names << f->fieldName();
    return names;
}

void DataSet::addCalculatedField(const QString &name, FieldType type, int size, CalcFunction function)
{
    if (active())
        throw DbError(QStringLiteral("Вычисляемое поле добавляется только к закрытому набору данных !"));
    calcDefs_.push_back({name, type, size, std::move(function)});
}

int DataSet::recordCount() const
{
    return storage_ ? storage_->recordCount() : 0;
}

int DataSet::recNo() const
{
    return state_ == DataSetState::Insert ? 0 : recNo_;
}

bool DataSet::isDeletedRecord() const
{
    return storage_ && state_ == DataSetState::Browse && recNo_ > 0 && recNo_ <= recordCount()
        && storage_->isDeleted(recNo_);
}

void DataSet::setPosition(int recNo, bool eof, bool bof)
{
    const bool moved = recNo != recNo_;
    recNo_ = recNo;
    eof_ = eof;
    bof_ = bof;
    cacheRecNo_ = 0;
    if (moved) {
        notify([](DataLink *l) { l->dataSetScrolled(); });
    }
}

void DataSet::checkBrowseMode()
{
    checkActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        notify([](DataLink *l) { l->updateData(); });
        if (modified_)
            post();
        else
            cancel();
    }
}

void DataSet::first()
{
    checkBrowseMode();
    const int n = recordCount();
    setPosition(n > 0 ? 1 : 0, n == 0, true);
}

void DataSet::last()
{
    checkBrowseMode();
    const int n = recordCount();
    setPosition(n, true, n == 0);
}

void DataSet::next()
{
    checkBrowseMode();
    const int n = recordCount();
    if (recNo_ < n)
        setPosition(recNo_ + 1, false, false);
    else
        eof_ = true;
}

void DataSet::prior()
{
    checkBrowseMode();
    if (recNo_ > 1)
        setPosition(recNo_ - 1, false, false);
    else
        bof_ = true;
}

int DataSet::moveBy(int distance)
{
    checkBrowseMode();
    const int n = recordCount();
    if (n == 0) {
        eof_ = bof_ = true;
        return 0;
    }
    const qint64 target = static_cast<qint64>(recNo_) + distance;
    const int clamped = static_cast<int>(std::clamp<qint64>(target, 1, n));
    const int moved = clamped - recNo_;
    setPosition(clamped, target > n, target < 1);
    return moved;
}

bool DataSet::setRecNo(int recNo)
{
    checkBrowseMode();
    const int n = recordCount();
    if (n == 0) {
        eof_ = bof_ = true;
        return false;
    }
    if (recNo < 1) {
        setPosition(1, false, true);
        return false;
    }
    if (recNo > n) {
        setPosition(n, true, false);
        return false;
    }
    setPosition(recNo, false, false);
    return true;
}

bool DataSet::canModify() const
{
    return !readOnly_ && storage_ && storage_->canWrite();
}

void DataSet::append()
{
    checkBrowseMode();
    if (!canModify())
        throw DbError(readOnlyMessage());
    savedRecNo_ = recNo_;
    edits_.assign(static_cast<size_t>(dataFieldCount_), std::nullopt);
    state_ = DataSetState::Insert;
    modified_ = false;
    cacheRecNo_ = 0;
    if (onNewRecord_)
        onNewRecord_(*this);
    notify([](DataLink *l) { l->editingChanged(); });
    notify([](DataLink *l) { l->recordChanged(nullptr); });
}

void DataSet::edit()
{
    checkActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return;
    if (!canModify())
        throw DbError(readOnlyMessage());
    if (recordCount() == 0 || recNo_ < 1) {
        append();
        return;
    }
    edits_.assign(static_cast<size_t>(dataFieldCount_), std::nullopt);
    state_ = DataSetState::Edit;
    modified_ = false;
    notify([](DataLink *l) { l->editingChanged(); });
}

void DataSet::post()
{
    checkActive();
    if (state_ == DataSetState::Browse)
        return;
    notify([](DataLink *l) { l->updateData(); });
    const bool inserting = state_ == DataSetState::Insert;
    if (inserting) {
        std::vector<QVariant> values(static_cast<size_t>(dataFieldCount_));
        for (size_t i = 0; i < values.size(); ++i)
            if (edits_[i])
                values[i] = *edits_[i];
        const int newRecNo = storage_->append(values);
        state_ = DataSetState::Browse;
        recNo_ = 0;
        setPosition(newRecNo, false, false);
    } else {
        bool any = false;
        for (const auto &e : edits_)
            any = any || e.has_value();
        if (any)
            storage_->update(recNo_, edits_);
        state_ = DataSetState::Browse;
    }
    edits_.assign(static_cast<size_t>(dataFieldCount_), std::nullopt);
    modified_ = false;
    cacheRecNo_ = 0;
    notify([](DataLink *l) { l->editingChanged(); });
    if (inserting)
        notifyDataSetChanged();
    notify([](DataLink *l) { l->recordChanged(nullptr); });
}

void DataSet::cancel()
{
    checkActive();
    if (state_ == DataSetState::Browse)
        return;
    const bool inserting = state_ == DataSetState::Insert;
    state_ = DataSetState::Browse;
    edits_.assign(static_cast<size_t>(dataFieldCount_), std::nullopt);
    modified_ = false;
    cacheRecNo_ = 0;
    if (inserting) {
        const int n = recordCount();
        recNo_ = std::min(savedRecNo_, n);
        eof_ = n == 0;
        bof_ = n == 0;
    }
    notify([](DataLink *l) { l->editingChanged(); });
    notify([](DataLink *l) { l->recordChanged(nullptr); });
}

void DataSet::deleteRecord()
{
    checkActive();
    if (state_ == DataSetState::Insert) {
        cancel();
        return;
    }
    if (state_ == DataSetState::Edit)
        cancel();
    const int n = recordCount();
    if (n == 0 || recNo_ < 1)
        throw DbError(QStringLiteral("Нет записи для удаления !"));
    if (!canModify())
        throw DbError(readOnlyMessage());
    const bool keeps = storage_->keepsDeletedRecords();
    storage_->remove(recNo_);
    cacheRecNo_ = 0;
    if (keeps) {
        // The record keeps its number; the data set goes on to the following one.
        if (recNo_ < n)
            setPosition(recNo_ + 1, false, false);
        else
            eof_ = true;
        notify([](DataLink *l) { l->recordChanged(nullptr); });
    } else {
        const int left = n - 1;
        if (left == 0) {
            recNo_ = 0;
            eof_ = bof_ = true;
        } else if (recNo_ > left) {
            recNo_ = left;
            eof_ = true;
        }
        notifyDataSetChanged();
        notify([](DataLink *l) { l->dataSetScrolled(); });
    }
}

QVariant DataSet::storedValue(int recNo, int index)
{
    if (!storage_ || recNo < 1 || recNo > storage_->recordCount())
        return {};
    return storage_->value(recNo, index);
}

QVariant DataSet::fieldValue(int index) const
{
    if (!storage_ || index < 0 || index >= fieldCount())
        return {};
    const size_t i = static_cast<size_t>(index);
    if (index >= dataFieldCount_) {
        const CalcDef &c = calcDefs_[static_cast<size_t>(index - dataFieldCount_)];
        if (!c.function)
            return {};
        return c.function(RecordView(const_cast<DataSet &>(*this), -1));
    }
    if (state_ == DataSetState::Insert)
        return edits_[i] ? *edits_[i] : QVariant();
    if (state_ == DataSetState::Edit && edits_[i])
        return *edits_[i];
    if (recNo_ < 1 || recNo_ > storage_->recordCount())
        return {};
    if (cacheRecNo_ != recNo_ || cacheVersion_ != storage_->version()) {
        cache_.assign(static_cast<size_t>(dataFieldCount_), std::nullopt);
        cacheRecNo_ = recNo_;
        cacheVersion_ = storage_->version();
    }
    if (!cache_[i])
        cache_[i] = storage_->value(recNo_, index);
    return *cache_[i];
}

void DataSet::setFieldValue(int index, const QVariant &value)
{
    checkActive();
    Field &f = field(index);
    if (f.isCalculated())
        throw DbError(QStringLiteral("Поле ") + f.fieldName() + QStringLiteral(" вычисляемое и не может быть изменено !"));
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw DbError(QStringLiteral("Набор данных не находится в режиме редактирования !"));
    if (!storage_->canWriteField(index))
        throw DbError(QStringLiteral("Поле ") + f.fieldName() + QStringLiteral(" не может быть изменено !"));
    edits_[static_cast<size_t>(index)] = normalize(f.def(), value);
    modified_ = true;
    notify([&f](DataLink *l) { l->recordChanged(&f); });
}

QVariant DataSet::valueAt(int recNo, int fieldIndex)
{
    if (!storage_ || fieldIndex < 0 || fieldIndex >= fieldCount())
        return {};
    if (recNo == recNo_ && state_ == DataSetState::Edit)
        return fieldValue(fieldIndex);
    if (fieldIndex >= dataFieldCount_) {
        const CalcDef &c = calcDefs_[static_cast<size_t>(fieldIndex - dataFieldCount_)];
        return c.function ? c.function(RecordView(*this, recNo)) : QVariant();
    }
    return storedValue(recNo, fieldIndex);
}

bool DataSet::isDeletedAt(int recNo)
{
    return storage_ && recNo >= 1 && recNo <= storage_->recordCount() && storage_->isDeleted(recNo);
}

bool DataSet::matches(int recNo, const std::vector<int> &fields, const QVariantList &values, LocateOptions options)
{
    for (size_t k = 0; k < fields.size(); ++k) {
        const Field &f = *fields_[static_cast<size_t>(fields[k])];
        const QVariant stored = valueAt(recNo, fields[k]);
        const QVariant given = k < static_cast<size_t>(values.size()) ? values[static_cast<qsizetype>(k)] : QVariant();
        const bool storedNull = !stored.isValid() || stored.isNull()
            || (stored.metaType().id() == QMetaType::QString && stored.toString().trimmed().isEmpty());
        const bool givenNull = !given.isValid() || given.isNull() || (isText(given) && given.toString().trimmed().isEmpty());
        if (givenNull || storedNull) {
            if (givenNull != storedNull)
                return false;
            continue;
        }
        const FieldType t = f.dataType();
        if (isNumericType(t)) {
            double want = 0;
            if (isText(given)) {
                if (!dbf::parseNumber(given.toString(), want))
                    return false;
            } else {
                bool ok = false;
                want = given.toDouble(&ok);
                if (!ok)
                    return false;
            }
            const double have = stored.toDouble();
            if (std::fabs(have - want) > 1e-9 * std::max({1.0, std::fabs(have), std::fabs(want)}))
                return false;
        } else if (t == FieldType::Date || t == FieldType::DateTime) {
            if (toDate(stored) != toDate(given))
                return false;
        } else if (t == FieldType::Boolean) {
            bool want = false;
            if (isText(given)) {
                if (!parseBool(given.toString(), want))
                    return false;
            } else {
                want = given.toBool();
            }
            if (stored.toBool() != want)
                return false;
        } else {
            QString have = stored.metaType().id() == QMetaType::QByteArray ? fromCp1251(stored.toByteArray())
                                                                           : stored.toString();
            QString want = given.toString();
            while (have.endsWith(u' '))
                have.chop(1);
            while (want.endsWith(u' '))
                want.chop(1);
            if (options.partialKey)
                have.truncate(want.size());
            if (options.caseInsensitive ? !ansiSameText(have, want) : have != want)
                return false;
        }
    }
    return true;
}

bool DataSet::locate(const QString &keyFields, const QVariantList &values, LocateOptions options)
{
    checkBrowseMode();
    std::vector<int> fields;
    for (const QString &name : keyFields.split(u';', Qt::SkipEmptyParts)) {
        if (name.trimmed().isEmpty())
            continue;
        fields.push_back(fieldByName(name).index());
    }
    if (fields.empty())
        throw DbError(QStringLiteral("Не заданы поля для поиска !"));
    const int n = recordCount();
    for (int r = 1; r <= n; ++r) {
        if (storage_->isDeleted(r))
            continue;
        if (matches(r, fields, values, options)) {
            setPosition(r, false, false);
            return true;
        }
    }
    return false;
}

Bookmark DataSet::getBookmark() const
{
    if (!storage_ || recNo_ < 1 || recNo_ > storage_->recordCount())
        return {};
    return {storage_->rowId(recNo_)};
}

Bookmark DataSet::bookmarkAt(int recNo) const
{
    if (!storage_ || recNo < 1 || recNo > storage_->recordCount())
        return {};
    return {storage_->rowId(recNo)};
}

bool DataSet::bookmarkValid(const Bookmark &bookmark) const
{
    return storage_ && bookmark.isValid() && storage_->recNoOf(bookmark.id) > 0;
}

void DataSet::gotoBookmark(const Bookmark &bookmark)
{
    checkBrowseMode();
    const int r = bookmark.isValid() ? storage_->recNoOf(bookmark.id) : 0;
    if (r < 1)
        throw DbError(QStringLiteral("Запись не найдена: закладка недействительна !"));
    setPosition(r, false, false);
}

int DataSet::compareBookmarks(const Bookmark &a, const Bookmark &b) const
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid() ? 0 : (a.isValid() ? 1 : -1);
    const int ra = storage_ ? storage_->recNoOf(a.id) : 0;
    const int rb = storage_ ? storage_->recNoOf(b.id) : 0;
    return ra == rb ? 0 : (ra < rb ? -1 : 1);
}

} // namespace platform::db
