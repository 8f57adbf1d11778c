#include "platform/db/DbfCodec.h"

#include "platform/ByteOrder.h"
#include "platform/DateText.h"
#include "platform/Environment.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <charconv>
#include <cmath>

namespace platform::db::dbf {

namespace {

[[noreturn]] void corrupt(const QString &fileName)
{
    throw DbError(QStringLiteral("Файл ") + fileName + QStringLiteral(" не является таблицей dBase или повреждён !"));
}

QString fieldLabel(const DbfField &f)
{
    return QStringLiteral("поле ") + f.def.name + QStringLiteral(" (") + QChar(QLatin1Char(f.type)) + u' '
        + QString::number(f.length) + (f.decimals > 0 ? u'.' + QString::number(f.decimals) : QString()) + u')';
}

// The field's bytes with blanks and zero bytes trimmed at both ends.
QByteArrayView trimmedBytes(QByteArrayView raw)
{
    qsizetype b = 0, e = raw.size();
    while (b < e && (raw[b] == ' ' || raw[b] == '\0'))
        ++b;
    while (e > b && (raw[e - 1] == ' ' || raw[e - 1] == '\0'))
        --e;
    return raw.sliced(b, e - b);
}

} // namespace

int headerLengthOf(QByteArrayView header)
{
    return le::u16(header, 8);
}

std::vector<Descriptor> readDescriptors(QByteArrayView bytes, int headerLength, DescriptorWalk walk)
{
    qsizetype count = 0;
    if (walk == DescriptorWalk::WithinHeader) {
        const qsizetype end = std::min<qsizetype>(headerLength, bytes.size());
        count = end >= kHeaderSize ? (end - kHeaderSize) / kDescriptorSize : 0;
    } else if (headerLength >= kHeaderSize + 1 && bytes.size() >= kHeaderSize) {
        const qsizetype declared = (headerLength - (kHeaderSize + 1) + kDescriptorSize / 2) / kDescriptorSize;
        count = std::min<qsizetype>(declared, (bytes.size() - kHeaderSize) / kDescriptorSize);
    }
    std::vector<Descriptor> out;
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArrayView d = bytes.sliced(kHeaderSize + kDescriptorSize * i, kDescriptorSize);
        if (d[0] == kHeaderEnd)
            break;
        qsizetype nameEnd = 0;
        while (nameEnd < 11 && d[nameEnd] != '\0')
            ++nameEnd;
        Descriptor f;
        f.name = fromCp1251(d.first(nameEnd)).trimmed();
        f.type = d[11];
        f.length = static_cast<quint8>(d[16]);
        f.decimals = static_cast<quint8>(d[17]);
        out.push_back(std::move(f));
    }
    return out;
}

QByteArray newHeader(quint8 version, int fieldCount)
{
    QByteArray h(kHeaderSize + kDescriptorSize * fieldCount + 1, '\0');
    h[0] = static_cast<char>(version);
    le::put16(h, 8, static_cast<quint16>(h.size()));
    h[h.size() - 1] = kHeaderEnd;
    return h;
}

void putDescriptor(QByteArray &header, int index, QByteArrayView name, char type, int length, int decimals)
{
    const qsizetype at = kHeaderSize + kDescriptorSize * qsizetype(index);
    const qsizetype n = std::min<qsizetype>(name.size(), 10);
    for (qsizetype c = 0; c < n; ++c)
        header[at + c] = name[c];
    header[at + 11] = type;
    header[at + 16] = static_cast<char>(length);
    header[at + 17] = static_cast<char>(decimals);
}

void putRecordLength(QByteArray &header, int recordLength)
{
    le::put16(header, 10, static_cast<quint16>(recordLength));
}

FieldType engineType(char type, int length, int decimals)
{
    switch (type) {
    case 'C':
        return FieldType::String;
    case 'N':
        if (decimals > 0)
            return FieldType::Float;
        if (length < 5)
            return FieldType::Smallint;
        if (length < 10)
            return FieldType::Integer;
        return FieldType::Float;
    case 'F':
        return FieldType::Float;
    case 'D':
        return FieldType::Date;
    case 'L':
        return FieldType::Boolean;
    case 'M':
        return FieldType::Memo;
    case 'B':
        return FieldType::Blob; // binary memo: bytes in the memo file
    default:
        return FieldType::Unknown;
    }
}

DbfHeader parseHeader(QByteArrayView bytes, qint64 fileSize, const QString &fileName)
{
    if (bytes.size() < kHeaderSize + 1 || fileSize < kHeaderSize + 1)
        corrupt(fileName);
    DbfHeader h;
    h.version = static_cast<quint8>(bytes[0]);
    const int y = static_cast<quint8>(bytes[1]), m = static_cast<quint8>(bytes[2]), d = static_cast<quint8>(bytes[3]);
    h.date = QDate(1900 + y, m, d);
    h.recordCount = le::u32(bytes, 4);
    h.headerLength = headerLengthOf(bytes);
    h.recordLength = le::u16(bytes, 10);
    if (h.headerLength < kHeaderSize + 1 || h.recordLength < 1 || h.headerLength > fileSize
        || h.headerLength > bytes.size())
        corrupt(fileName);

    int offset = 1;
    for (const Descriptor &d : readDescriptors(bytes, h.headerLength, DescriptorWalk::WithinHeader)) {
        DbfField f;
        f.def.name = d.name;
        f.type = d.type;
        if (f.type >= 'a' && f.type <= 'z')
            f.type = static_cast<char>(f.type - 'a' + 'A');
        f.length = d.length;
        f.decimals = d.decimals;
        if (f.type == 'C') {
            // Writers of long character fields keep the high byte of the width
            // in the decimals byte.
            f.length += 256 * f.decimals;
            f.decimals = 0;
        }
        if (f.length < 1)
            corrupt(fileName);
        if (f.def.name.isEmpty())
            f.def.name = QStringLiteral("FIELD") + QString::number(h.fields.size() + 1);
        f.offset = offset;
        offset += f.length;
        if (offset > h.recordLength)
            corrupt(fileName);
        f.def.type = engineType(f.type, f.length, f.decimals);
        f.def.size = f.length;
        f.def.precision = f.decimals;
        f.def.dbfType = f.type;
        h.fields.push_back(std::move(f));
    }

    const qint64 room = (fileSize - h.headerLength) / h.recordLength;
    h.availableRecords = std::min<qint64>(h.recordCount, std::max<qint64>(room, 0));
    return h;
}

QByteArray buildHeader(const FieldDefs &defs, QDate date, quint32 recordCount, bool withMemo,
                       std::vector<DbfField> *layout)
{
    const qsizetype n = static_cast<qsizetype>(defs.size());
    if (kHeaderSize + kDescriptorSize * n + 1 > 0xFFFF)
        throw DbError(QStringLiteral("Слишком много полей для таблицы dBase: ") + QString::number(n));
    QByteArray h = newHeader(withMemo ? 0x83 : 0x03, static_cast<int>(n));
    // The code page mark of Windows-1251, so that other programs read the text right.
    h[29] = static_cast<char>(0xC9);
    std::vector<DbfField> fields;
    int offset = 1;
    for (qsizetype i = 0; i < n; ++i) {
        const FieldDef &d = defs[static_cast<size_t>(i)];
        DbfField f;
        f.def = d;
        const QByteArray name = toCp1251(ansiUpperCase(d.name.trimmed()));
        if (name.isEmpty() || name.size() > 10)
            throw DbError(QStringLiteral("Недопустимое имя поля dBase: \"") + d.name + u'"');
        switch (d.type) {
        case FieldType::String:
        case FieldType::FixedChar:
        case FieldType::WideString:
            f.type = 'C';
            f.length = std::clamp(d.size, 1, 254);
            break;
        case FieldType::Smallint:
        case FieldType::Word:
            f.type = 'N';
            f.length = d.size > 0 ? std::min(d.size, 19) : 6;
            break;
        case FieldType::Integer:
        case FieldType::AutoInc:
            f.type = 'N';
            f.length = d.size > 0 ? std::min(d.size, 19) : 11;
            break;
        case FieldType::Largeint:
            f.type = 'N';
            f.length = d.size > 0 ? std::min(d.size, 19) : 19;
            break;
        case FieldType::Float:
        case FieldType::Currency:
        case FieldType::BCD:
            f.type = 'N';
            f.length = d.size > 0 ? std::min(d.size, 19) : 19;
            f.decimals = d.precision > 0 ? d.precision : (d.type == FieldType::Float ? 6 : 2);
            f.decimals = std::min(f.decimals, f.length - 2 > 0 ? f.length - 2 : 0);
            break;
        case FieldType::Date:
        case FieldType::DateTime:
            f.type = 'D';
            f.length = 8;
            break;
        case FieldType::Boolean:
            f.type = 'L';
            f.length = 1;
            break;
        case FieldType::Memo:
        case FieldType::FmtMemo:
            if (!withMemo)
                throw DbError(QStringLiteral("Таблица dBase без файла примечаний не может иметь поле ") + d.name);
            f.type = 'M';
            f.length = 10;
            break;
        case FieldType::Blob:
            if (!withMemo)
                throw DbError(QStringLiteral("Таблица dBase без файла примечаний не может иметь поле ") + d.name);
            f.type = 'B';
            f.length = 10;
            break;
        default:
            throw DbError(QStringLiteral("Тип поля ") + d.name + QStringLiteral(" (") + fieldTypeName(d.type)
                          + QStringLiteral(") не поддерживается таблицами dBase"));
        }
        putDescriptor(h, static_cast<int>(i), name, f.type, f.length, f.decimals);
        f.offset = offset;
        offset += f.length;
        f.def.name = fromCp1251(name);
        f.def.type = engineType(f.type, f.length, f.decimals);
        f.def.size = f.length;
        f.def.precision = f.decimals;
        f.def.dbfType = f.type;
        fields.push_back(std::move(f));
    }
    if (offset > 0xFFFF)
        throw DbError(QStringLiteral("Слишком длинная запись таблицы dBase: ") + QString::number(offset));
    putRecordLength(h, offset);
    putDateAndCount(h, date, recordCount);
    if (layout)
        *layout = std::move(fields);
    return h;
}

void putDateAndCount(QByteArray &header, QDate date, quint32 recordCount)
{
    if (date.isValid()) {
        header[1] = static_cast<char>(std::clamp(date.year() - 1900, 0, 255));
        header[2] = static_cast<char>(date.month());
        header[3] = static_cast<char>(date.day());
    }
    le::put32(header, 4, recordCount);
}

QByteArray blankRecord(int recordLength)
{
    return QByteArray(recordLength, ' ');
}

bool parseNumber(QStringView text, double &out)
{
    QString t = text.trimmed().toString();
    if (t.isEmpty())
        return false;
    t.replace(u',', u'.');
    if (t.startsWith(u'+'))
        t.remove(0, 1);
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

QVariant decodeValue(const DbfField &field, QByteArrayView record)
{
    if (field.offset + field.length > record.size())
        return {};
    const QByteArrayView raw = record.sliced(field.offset, field.length);
    switch (field.type) {
    case 'C': {
        qsizetype e = raw.size();
        while (e > 0 && (raw[e - 1] == ' ' || raw[e - 1] == '\0'))
            --e;
        if (e == 0)
            return {};
        return fromCp1251(raw.first(e));
    }
    case 'N':
    case 'F': {
        const QByteArrayView t = trimmedBytes(raw);
        if (t.isEmpty())
            return {};
        // Plain digits are the common case: read them without a detour through text.
        if (field.def.type == FieldType::Smallint || field.def.type == FieldType::Integer) {
            qint64 v = 0;
            bool neg = false, digits = false, ok = true;
            for (qsizetype i = 0; i < t.size(); ++i) {
                const char c = t[i];
                if (i == 0 && (c == '-' || c == '+')) {
                    neg = c == '-';
                } else if (c >= '0' && c <= '9') {
                    v = v * 10 + (c - '0');
                    digits = true;
                } else {
                    ok = false;
                    break;
                }
            }
            if (ok && digits)
                return static_cast<int>(neg ? -v : v);
        }
        double v = 0;
        const char *first = t.data();
        const char *last = first + t.size();
        const auto parsed = std::from_chars(first, last, v);
        if (parsed.ec != std::errc() || parsed.ptr != last || !std::isfinite(v)) {
            // Rarer forms: a plus sign, a decimal comma.
            if (!parseNumber(QString::fromLatin1(t), v))
                return {};
        }
        if (field.def.type == FieldType::Smallint || field.def.type == FieldType::Integer) {
            // A fraction in an integer column (another program's rounding): keep the value.
            if (v == std::floor(v) && std::fabs(v) < 2147483648.0)
                return static_cast<int>(v);
        }
        return v;
    }
    case 'D': {
        const QByteArrayView t = trimmedBytes(raw);
        if (t.size() != 8)
            return {};
        const QDate d = QDate::fromString(QString::fromLatin1(t), QStringLiteral("yyyyMMdd"));
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case 'L': {
        const char c = raw[0];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y')
            return true;
        if (c == 'F' || c == 'f' || c == 'N' || c == 'n')
            return false;
        return {};
    }
    case 'M':
    case 'B': {
        const QByteArrayView t = trimmedBytes(raw);
        if (t.isEmpty())
            return {};
        qint64 block = 0;
        for (char c : t) {
            if (c < '0' || c > '9')
                return {};
            block = block * 10 + (c - '0');
            if (block > 0x7FFFFFFF)
                return {};
        }
        return block > 0 ? QVariant(block) : QVariant();
    }
    default: {
        const QByteArrayView t = trimmedBytes(raw);
        return t.isEmpty() ? QVariant() : QVariant(fromCp1251(t));
    }
    }
}

void encodeValue(const DbfField &field, QByteArray &record, const QVariant &value)
{
    if (field.offset + field.length > record.size())
        throw DbError(QStringLiteral("Запись короче, чем требует ") + fieldLabel(field));
    auto put = [&](const QByteArray &bytes, bool rightAlign) {
        QByteArray cell(field.length, ' ');
        const qsizetype n = std::min<qsizetype>(bytes.size(), field.length);
        if (rightAlign)
            std::copy(bytes.begin(), bytes.begin() + n, cell.begin() + (field.length - n));
        else
            std::copy(bytes.begin(), bytes.begin() + n, cell.begin());
        std::copy(cell.begin(), cell.end(), record.begin() + field.offset);
    };
    const bool isNull = !value.isValid() || value.isNull();
    switch (field.type) {
    case 'C':
        put(isNull ? QByteArray() : toCp1251(value.toString()), false);
        return;
    case 'N':
    case 'F': {
        if (isNull) {
            put({}, true);
            return;
        }
        double v = 0;
        const int typeId = value.metaType().id();
        if (typeId == QMetaType::QString || typeId == QMetaType::QByteArray) {
            const QString text = value.toString();
            if (text.trimmed().isEmpty()) {
                put({}, true);
                return;
            }
            if (!parseNumber(text, v))
                throw DbError(QStringLiteral("Значение \"") + text + QStringLiteral("\" не является числом: ")
                              + fieldLabel(field));
        } else if (typeId == QMetaType::Bool) {
            v = value.toBool() ? 1 : 0;
        } else {
            bool ok = false;
            v = value.toDouble(&ok);
            if (!ok)
                throw DbError(QStringLiteral("Значение \"") + value.toString()
                              + QStringLiteral("\" не является числом: ") + fieldLabel(field));
        }
        if (!std::isfinite(v))
            throw DbError(QStringLiteral("Недопустимое число для: ") + fieldLabel(field));
        QString text;
        if (field.decimals <= 0) {
            const double r = static_cast<double>(roundHalfEven(v));
            if (std::fabs(r) >= 1e18)
                throw DbError(QStringLiteral("Значение ") + QString::number(v, 'g', 17)
                              + QStringLiteral(" не помещается в ") + fieldLabel(field));
            text = QString::number(static_cast<qint64>(r));
        } else {
            text = QString::number(v, 'f', field.decimals);
            // No negative zero.
            bool allZero = true;
            for (QChar c : text)
                if (c != u'-' && c != u'0' && c != u'.')
                    allZero = false;
            if (allZero && text.startsWith(u'-'))
                text.remove(0, 1);
        }
        if (text.size() > field.length)
            throw DbError(QStringLiteral("Значение ") + text + QStringLiteral(" не помещается в ") + fieldLabel(field));
        put(text.toLatin1(), true);
        return;
    }
    case 'D': {
        if (isNull) {
            put({}, false);
            return;
        }
        QDate d;
        switch (value.metaType().id()) {
        case QMetaType::QDate:
            d = value.toDate();
            break;
        case QMetaType::QDateTime:
            d = value.toDateTime().date();
            break;
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::LongLong:
            d = daysToDateTime(value.toDouble()).date();
            break;
        default: {
            const QString t = value.toString().trimmed();
            if (t.isEmpty()) {
                put({}, false);
                return;
            }
            d = readDateText(t);
        }
        }
        if (!d.isValid() || d.year() < 1 || d.year() > 9999)
            throw DbError(QStringLiteral("Значение \"") + value.toString() + QStringLiteral("\" не является датой: ")
                          + fieldLabel(field));
        put(d.toString(QStringLiteral("yyyyMMdd")).toLatin1(), false);
        return;
    }
    case 'L': {
        if (isNull) {
            put({}, false);
            return;
        }
        bool b = false;
        if (value.metaType().id() == QMetaType::QString) {
            const QString t = value.toString().trimmed().toLower();
            b = t == u"true" || t == u"t" || t == u"1" || t == u"y" || t == u"yes" || t == u"да";
        } else {
            b = value.toBool();
        }
        put(b ? "T" : "F", false);
        return;
    }
    case 'M':
    case 'B': {
        // The caller stores the text in the memo file and passes its block number.
        if (isNull) {
            put({}, true);
            return;
        }
        put(QByteArray::number(value.toLongLong()), true);
        return;
    }
    default:
        throw DbError(QStringLiteral("Поле ") + field.def.name + QStringLiteral(" типа \"")
                      + QChar(QLatin1Char(field.type)) + QStringLiteral("\" не может быть записано"));
    }
}

} // namespace platform::db::dbf
