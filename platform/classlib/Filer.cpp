#include "platform/classlib/Filer.h"

#include "platform/TextCodec.h"

#include <QtEndian>

#include <bit>
#include <cmath>
#include <cstring>

namespace platform::classlib {

namespace {

[[noreturn]] void readError()
{
    throw StreamError(QStringLiteral("Ошибка чтения потока"));
}

[[noreturn]] void badValue()
{
    throw ClassError(QStringLiteral("Недопустимое значение свойства"));
}

constexpr int kMaxDepth = 64;

} // namespace

void doubleToExtended(double value, unsigned char bytes[10])
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const unsigned sign = static_cast<unsigned>(bits >> 63);
    const unsigned exponent = static_cast<unsigned>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = 0;
    unsigned e = 0;
    if (exponent == 0x7FF) {
        e = 0x7FFF;
        mantissa = (std::uint64_t{1} << 63) | ((bits & ((std::uint64_t{1} << 52) - 1)) << 11);
    } else if (value != 0) {
        int k = 0;
        const double m = std::frexp(std::fabs(value), &k); // 0.5 <= m < 1
        mantissa = static_cast<std::uint64_t>(std::ldexp(m, 64));
        e = static_cast<unsigned>(k - 1 + 16383);
    }
    qToLittleEndian<quint64>(mantissa, bytes);
    qToLittleEndian<quint16>(static_cast<quint16>(e | (sign << 15)), bytes + 8);
}

double extendedToDouble(const unsigned char bytes[10])
{
    const std::uint64_t mantissa = qFromLittleEndian<quint64>(bytes);
    const unsigned top = qFromLittleEndian<quint16>(bytes + 8);
    const bool negative = (top & 0x8000) != 0;
    const int e = static_cast<int>(top & 0x7FFF);
    double value;
    if (e == 0x7FFF && (mantissa << 1) == 0) {
        value = INFINITY;
    } else if (e == 0x7FFF) {
        // A NaN keeps the payload a double can hold, and stays a NaN.
        std::uint64_t fraction = (mantissa >> 11) & ((std::uint64_t{1} << 52) - 1);
        if (fraction == 0)
            fraction = std::uint64_t{1} << 51;
        value = std::bit_cast<double>((std::uint64_t{0x7FF} << 52) | fraction);
    } else {
        value = std::ldexp(static_cast<double>(mantissa), e - 16383 - 63);
    }
    return negative ? -value : value;
}

// ---------------------------------------------------------------------------
// TWriter

void TWriter::DefineProperty(const QString &name, const ReaderProc &, const WriterProc &write, bool hasData)
{
    if (!hasData || !write)
        return;
    WritePropName(name);
    write(*this);
}

void TWriter::DefineBinaryProperty(const QString &name, const StreamProc &, const StreamProc &write, bool hasData)
{
    if (!hasData || !write)
        return;
    TMemoryStream bytes;
    write(bytes);
    WritePropName(name);
    WriteBinary(bytes.Memory());
}

void TWriter::WriteValue(ValueType type)
{
    const auto b = static_cast<std::uint8_t>(type);
    writeBytes(&b, 1);
}

void TWriter::writeShortString(const QByteArray &bytes)
{
    const QByteArray b = bytes.left(255);
    const auto n = static_cast<std::uint8_t>(b.size());
    writeBytes(&n, 1);
    writeBytes(b.constData(), b.size());
}

void TWriter::writeInt32(std::int32_t value)
{
    unsigned char b[4];
    qToLittleEndian<qint32>(value, b);
    writeBytes(b, 4);
}

void TWriter::WritePropName(const QString &name)
{
    writeShortString(toCp1251(prefix_ + name));
}

void TWriter::WriteInteger(std::int64_t value)
{
    unsigned char b[8];
    if (value >= INT8_MIN && value <= INT8_MAX) {
        WriteValue(ValueType::Int8);
        b[0] = static_cast<unsigned char>(value);
        writeBytes(b, 1);
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        WriteValue(ValueType::Int16);
        qToLittleEndian<qint16>(static_cast<qint16>(value), b);
        writeBytes(b, 2);
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        WriteValue(ValueType::Int32);
        writeInt32(static_cast<std::int32_t>(value));
    } else {
        WriteValue(ValueType::Int64);
        qToLittleEndian<qint64>(value, b);
        writeBytes(b, 8);
    }
}

void TWriter::WriteFloat(double value)
{
    unsigned char b[10];
    doubleToExtended(value, b);
    WriteValue(ValueType::Extended);
    writeBytes(b, 10);
}

void TWriter::WriteSingle(float value)
{
    unsigned char b[4];
    qToLittleEndian<quint32>(std::bit_cast<quint32>(value), b);
    WriteValue(ValueType::Single);
    writeBytes(b, 4);
}

void TWriter::WriteCurrency(std::int64_t scaled)
{
    unsigned char b[8];
    qToLittleEndian<qint64>(scaled, b);
    WriteValue(ValueType::Currency);
    writeBytes(b, 8);
}

void TWriter::WriteDate(double value)
{
    unsigned char b[8];
    qToLittleEndian<quint64>(std::bit_cast<quint64>(value), b);
    WriteValue(ValueType::Date);
    writeBytes(b, 8);
}

void TWriter::WriteString(const QString &value)
{
    const QByteArray b = toCp1251(value);
    if (b.size() > 255) {
        WriteValue(ValueType::LString);
        writeInt32(static_cast<std::int32_t>(b.size()));
        writeBytes(b.constData(), b.size());
    } else {
        WriteValue(ValueType::String);
        writeShortString(b);
    }
}

void TWriter::WriteWideString(const QString &value)
{
    WriteValue(ValueType::WString);
    writeInt32(static_cast<std::int32_t>(value.size()));
    QByteArray b(value.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < value.size(); ++i)
        qToLittleEndian<quint16>(value[i].unicode(), b.data() + 2 * i);
    writeBytes(b.constData(), b.size());
}

void TWriter::WriteUTF8String(const QString &value)
{
    const QByteArray b = value.toUtf8();
    WriteValue(ValueType::UTF8String);
    writeInt32(static_cast<std::int32_t>(b.size()));
    writeBytes(b.constData(), b.size());
}

void TWriter::WriteIdent(const QString &ident)
{
    if (ident.compare(u"False", Qt::CaseInsensitive) == 0)
        WriteValue(ValueType::False);
    else if (ident.compare(u"True", Qt::CaseInsensitive) == 0)
        WriteValue(ValueType::True);
    else if (ident.compare(u"nil", Qt::CaseInsensitive) == 0)
        WriteValue(ValueType::Nil);
    else if (ident.compare(u"Null", Qt::CaseInsensitive) == 0)
        WriteValue(ValueType::Null);
    else {
        WriteValue(ValueType::Ident);
        writeShortString(toCp1251(ident));
    }
}

void TWriter::WriteSet(const TypeInfo &setType, std::uint32_t bits)
{
    WriteValue(ValueType::Set);
    const TypeInfo *element = setType.setElement;
    for (int i = 0; i < 32; ++i)
        if (bits & (1u << i))
            writeShortString(toCp1251(element ? enumName(*element, i) : QString::number(i)));
    writeShortString({});
}

void TWriter::WriteBinary(const QByteArray &bytes)
{
    WriteValue(ValueType::Binary);
    writeInt32(static_cast<std::int32_t>(bytes.size()));
    writeBytes(bytes.constData(), bytes.size());
}

void TWriter::WriteVariant(const Variant &value)
{
    switch (value.type()) {
    case VarType::Empty: WriteValue(ValueType::Nil); return;
    case VarType::Null: WriteValue(ValueType::Null); return;
    case VarType::OleStr: WriteWideString(value.rawString()); return;
    case VarType::String: WriteString(value.rawString()); return;
    case VarType::Smallint:
    case VarType::Integer:
    case VarType::Byte:
    case VarType::Word:
    case VarType::Int64: WriteInteger(value.rawInteger()); return;
    case VarType::Single: WriteSingle(static_cast<float>(value.rawDouble())); return;
    case VarType::Double: WriteFloat(value.rawDouble()); return;
    case VarType::Currency: WriteCurrency(value.rawCurrency()); return;
    case VarType::Date: WriteDate(value.rawDouble()); return;
    case VarType::Boolean: WriteBoolean(value.rawInteger() != 0); return;
    default: throw ClassError(QStringLiteral("Значение variant этого типа не записывается в поток"));
    }
}

void TWriter::WriteCollection(const TCollection *collection)
{
    WriteValue(ValueType::Collection);
    if (collection) {
        for (int i = 0; i < collection->Count(); ++i) {
            WriteListBegin();
            WriteProperties(*collection->Items(i));
            WriteListEnd();
        }
    }
    WriteListEnd();
}

void TWriter::WriteProperties(const TPersistent &object)
{
    for (const PropInfo *p : object.classInfo().all())
        if (p->isStored(object))
            writeProperty(object, *p);
    const_cast<TPersistent &>(object).DefineProperties(*this);
}

void TWriter::writeProperty(const TPersistent &object, const PropInfo &property)
{
    const TypeInfo &type = *property.type;
    switch (type.kind) {
    case Kind::Integer:
    case Kind::Char:
    case Kind::WChar:
    case Kind::Enum:
    case Kind::Set: {
        if (!property.get)
            return;
        const Variant v = property.get(object);
        std::int64_t ordinal = 0;
        if (type.kind == Kind::Char || type.kind == Kind::WChar) {
            const QString s = v.toString();
            ordinal = s.isEmpty() ? 0 : type.kind == Kind::Char ? cp1251Byte(s.front()) : s.front().unicode();
        } else {
            ordinal = v.toInt64();
        }
        if (property.def && *property.def == ordinal)
            return;
        WritePropName(QString::fromLatin1(property.name));
        if (type.kind == Kind::Enum)
            WriteIdent(enumName(type, ordinal));
        else if (type.kind == Kind::Set)
            WriteSet(type, static_cast<std::uint32_t>(ordinal));
        else if (type.kind == Kind::Char)
            WriteString(v.toString().left(1));
        else if (type.kind == Kind::WChar)
            WriteWideString(v.toString().left(1));
        else
            WriteInteger(ordinal);
        return;
    }
    case Kind::Int64: {
        const std::int64_t v = property.get ? property.get(object).toInt64() : 0;
        if (property.def ? *property.def == v : v == 0)
            return;
        WritePropName(QString::fromLatin1(property.name));
        WriteInteger(v);
        return;
    }
    case Kind::Float: {
        const double v = property.get ? property.get(object).toDouble() : 0;
        if (v == 0)
            return;
        WritePropName(QString::fromLatin1(property.name));
        switch (type.floatType) {
        case FloatType::Single: WriteSingle(static_cast<float>(v)); break;
        case FloatType::Currency: WriteCurrency(Variant::currencyFromDouble(v).rawCurrency()); break;
        default:
            if (&type == &tiDateTime)
                WriteDate(v);
            else
                WriteFloat(v);
        }
        return;
    }
    case Kind::String:
    case Kind::WString: {
        const QString v = property.get ? property.get(object).toString() : QString();
        if (v.isEmpty())
            return;
        WritePropName(QString::fromLatin1(property.name));
        if (type.kind == Kind::WString)
            WriteWideString(v);
        else
            WriteString(v);
        return;
    }
    case Kind::Variant: {
        const Variant v = property.get ? property.get(object) : Variant();
        if (v.isEmpty())
            return;
        WritePropName(QString::fromLatin1(property.name));
        WriteVariant(v);
        return;
    }
    case Kind::Class: {
        TObject *value = property.getObject ? property.getObject(object) : nullptr;
        if (!value)
            return;
        if (auto *component = dynamic_cast<TComponent *>(value)) {
            // A reference to another component, by name.
            if (component->Name().isEmpty())
                return;
            QString name = component->Name();
            if (root_ && component != root_ && component->Owner() && component->Owner() != root_)
                name = component->Owner()->Name() + u'.' + name;
            WritePropName(QString::fromLatin1(property.name));
            WriteIdent(name);
        } else if (auto *collection = dynamic_cast<TCollection *>(value)) {
            WritePropName(QString::fromLatin1(property.name));
            WriteCollection(collection);
        } else if (auto *persistent = dynamic_cast<TPersistent *>(value)) {
            const QString saved = prefix_;
            prefix_ += QString::fromLatin1(property.name) + u'.';
            WriteProperties(*persistent);
            prefix_ = saved;
        }
        return;
    }
    case Kind::Method: return;
    }
}

// ---------------------------------------------------------------------------
// TReader

void TReader::DefineProperty(const QString &name, const ReaderProc &read, const WriterProc &, bool)
{
    if (found_ || !read || name.compare(property_, Qt::CaseInsensitive) != 0)
        return;
    found_ = true;
    read(*this);
}

void TReader::DefineBinaryProperty(const QString &name, const StreamProc &read, const StreamProc &, bool)
{
    if (found_ || !read || name.compare(property_, Qt::CaseInsensitive) != 0)
        return;
    found_ = true;
    TMemoryStream bytes(ReadBinary());
    read(bytes);
}

std::int64_t TReader::left()
{
    return stream_.Size() - stream_.Position();
}

void TReader::readBytes(void *data, std::int64_t count)
{
    if (count < 0 || count > left())
        readError();
    stream_.ReadBuffer(data, count);
}

std::int32_t TReader::readInt32()
{
    unsigned char b[4];
    readBytes(b, 4);
    return qFromLittleEndian<qint32>(b);
}

QByteArray TReader::readShortString()
{
    std::uint8_t n = 0;
    readBytes(&n, 1);
    QByteArray b(n, Qt::Uninitialized);
    readBytes(b.data(), n);
    return b;
}

ValueType TReader::ReadValue()
{
    std::uint8_t b = 0;
    readBytes(&b, 1);
    if (b > static_cast<std::uint8_t>(ValueType::UTF8String))
        readError();
    return static_cast<ValueType>(b);
}

ValueType TReader::NextValue()
{
    const ValueType v = ReadValue();
    stream_.Seek(-1, SeekOrigin::Current);
    return v;
}

void TReader::checkValue(ValueType expected)
{
    if (ReadValue() != expected)
        badValue();
}

QString TReader::ReadPropName()
{
    return fromCp1251(readShortString());
}

std::int64_t TReader::ReadInt64()
{
    unsigned char b[8];
    switch (ReadValue()) {
    case ValueType::Int8: readBytes(b, 1); return static_cast<std::int8_t>(b[0]);
    case ValueType::Int16: readBytes(b, 2); return qFromLittleEndian<qint16>(b);
    case ValueType::Int32: return readInt32();
    case ValueType::Int64: readBytes(b, 8); return qFromLittleEndian<qint64>(b);
    default: badValue();
    }
}

std::int32_t TReader::ReadInteger()
{
    const std::int64_t v = ReadInt64();
    if (v < INT32_MIN || v > INT32_MAX)
        badValue();
    return static_cast<std::int32_t>(v);
}

bool TReader::ReadBoolean()
{
    const ValueType v = ReadValue();
    if (v != ValueType::False && v != ValueType::True)
        badValue();
    return v == ValueType::True;
}

double TReader::ReadFloat()
{
    unsigned char b[10];
    switch (NextValue()) {
    case ValueType::Extended:
        ReadValue();
        readBytes(b, 10);
        return extendedToDouble(b);
    case ValueType::Single: return ReadSingle();
    case ValueType::Currency: return static_cast<double>(ReadCurrency()) / 10000.0;
    case ValueType::Date: return ReadDate();
    default: return static_cast<double>(ReadInt64());
    }
}

float TReader::ReadSingle()
{
    checkValue(ValueType::Single);
    unsigned char b[4];
    readBytes(b, 4);
    return std::bit_cast<float>(qFromLittleEndian<quint32>(b));
}

std::int64_t TReader::ReadCurrency()
{
    checkValue(ValueType::Currency);
    unsigned char b[8];
    readBytes(b, 8);
    return qFromLittleEndian<qint64>(b);
}

double TReader::ReadDate()
{
    checkValue(ValueType::Date);
    unsigned char b[8];
    readBytes(b, 8);
    return std::bit_cast<double>(qFromLittleEndian<quint64>(b));
}

QString TReader::ReadString()
{
    switch (ReadValue()) {
    case ValueType::String: return fromCp1251(readShortString());
    case ValueType::LString:
    case ValueType::UTF8String: {
        const bool utf8 = [&] {
            stream_.Seek(-1, SeekOrigin::Current);
            return ReadValue() == ValueType::UTF8String;
        }();
        const std::int32_t n = readInt32();
        if (n < 0 || n > left())
            readError();
        QByteArray b(n, Qt::Uninitialized);
        readBytes(b.data(), n);
        return utf8 ? QString::fromUtf8(b) : fromCp1251(b);
    }
    case ValueType::WString: {
        const std::int32_t n = readInt32();
        if (n < 0 || n > left() / 2)
            readError();
        QByteArray b(qsizetype{n} * 2, Qt::Uninitialized);
        readBytes(b.data(), b.size());
        QString s(n, Qt::Uninitialized);
        for (std::int32_t i = 0; i < n; ++i)
            s[i] = QChar(qFromLittleEndian<quint16>(b.constData() + 2 * i));
        return s;
    }
    default: badValue();
    }
}

QString TReader::ReadIdent()
{
    switch (ReadValue()) {
    case ValueType::Ident: return fromCp1251(readShortString());
    case ValueType::False: return QStringLiteral("False");
    case ValueType::True: return QStringLiteral("True");
    case ValueType::Nil: return QStringLiteral("nil");
    case ValueType::Null: return QStringLiteral("Null");
    default: badValue();
    }
}

std::uint32_t TReader::ReadSet(const TypeInfo &setType)
{
    checkValue(ValueType::Set);
    std::uint32_t bits = 0;
    for (;;) {
        const QString name = fromCp1251(readShortString());
        if (name.isEmpty())
            return bits;
        const int ordinal = setType.setElement ? enumValue(*setType.setElement, name) : -1;
        if (ordinal < 0 || ordinal > 31)
            badValue();
        bits |= 1u << ordinal;
    }
}

QByteArray TReader::ReadBinary()
{
    checkValue(ValueType::Binary);
    const std::int32_t n = readInt32();
    if (n < 0 || n > left())
        readError();
    QByteArray b(n, Qt::Uninitialized);
    readBytes(b.data(), n);
    return b;
}

Variant TReader::ReadVariant()
{
    switch (NextValue()) {
    case ValueType::Nil: ReadValue(); return Variant();
    case ValueType::Null: ReadValue(); return Variant::null();
    case ValueType::Int8:
    case ValueType::Int16:
    case ValueType::Int32: return Variant(ReadInteger());
    case ValueType::Int64: return Variant::int64(ReadInt64());
    case ValueType::Extended: return Variant(ReadFloat());
    case ValueType::Single: return Variant::single(ReadSingle());
    case ValueType::Currency: return Variant::currency(ReadCurrency());
    case ValueType::Date: return Variant::date(ReadDate());
    case ValueType::String:
    case ValueType::LString: return Variant(ReadString());
    case ValueType::WString:
    case ValueType::UTF8String: return Variant::oleStr(ReadString());
    case ValueType::False:
    case ValueType::True: return Variant(ReadBoolean());
    default: badValue();
    }
}

void TReader::ReadCollection(TCollection *collection)
{
    checkValue(ValueType::Collection);
    if (collection) {
        collection->BeginUpdate();
        collection->Clear();
    }
    try {
        while (!EndOfList()) {
            const ValueType v = NextValue();
            if (v == ValueType::Int8 || v == ValueType::Int16 || v == ValueType::Int32)
                ReadInteger(); // an order number, not kept
            ReadListBegin();
            if (collection)
                ReadProperties(*collection->Add());
            else
                while (!EndOfList()) {
                    readShortString();
                    SkipValue();
                }
            if (!collection)
                ReadListEnd();
        }
        ReadListEnd();
    } catch (...) {
        if (collection)
            collection->EndUpdate();
        throw;
    }
    if (collection)
        collection->EndUpdate();
}

void TReader::SkipValue()
{
    skip(0);
}

void TReader::skip(int depth)
{
    if (depth > kMaxDepth)
        readError();
    unsigned char b[10];
    switch (ReadValue()) {
    case ValueType::Null:
    case ValueType::False:
    case ValueType::True:
    case ValueType::Nil: return;
    case ValueType::List:
        while (!EndOfList())
            skip(depth + 1);
        ReadListEnd();
        return;
    case ValueType::Int8: readBytes(b, 1); return;
    case ValueType::Int16: readBytes(b, 2); return;
    case ValueType::Int32:
    case ValueType::Single: readBytes(b, 4); return;
    case ValueType::Extended: readBytes(b, 10); return;
    case ValueType::Int64:
    case ValueType::Currency:
    case ValueType::Date: readBytes(b, 8); return;
    case ValueType::String:
    case ValueType::Ident: readShortString(); return;
    case ValueType::Set:
        while (!readShortString().isEmpty()) {
        }
        return;
    case ValueType::Binary:
    case ValueType::LString:
    case ValueType::UTF8String: {
        const std::int32_t n = readInt32();
        if (n < 0 || n > left())
            readError();
        stream_.Seek(n, SeekOrigin::Current);
        return;
    }
    case ValueType::WString: {
        const std::int32_t n = readInt32();
        if (n < 0 || n > left() / 2)
            readError();
        stream_.Seek(qint64{n} * 2, SeekOrigin::Current);
        return;
    }
    case ValueType::Collection:
        while (!EndOfList()) {
            const ValueType v = NextValue();
            if (v == ValueType::Int8 || v == ValueType::Int16 || v == ValueType::Int32)
                ReadInteger();
            ReadListBegin();
            while (!EndOfList()) {
                readShortString();
                skip(depth + 1);
            }
            ReadListEnd();
        }
        ReadListEnd();
        return;
    }
}

void TReader::ReadProperty(TPersistent &object)
{
    const QString name = ReadPropName();
    TPersistent *target = &object;
    QStringView rest = name;
    // "Font.Name": down through the published object properties.
    for (qsizetype dot = rest.indexOf(u'.'); dot >= 0; dot = rest.indexOf(u'.')) {
        const PropInfo *p = target->classInfo().find(rest.left(dot));
        TObject *inner = p && p->kind() == Kind::Class && p->getObject ? p->getObject(*target) : nullptr;
        target = dynamic_cast<TPersistent *>(inner);
        if (!target)
            throw ClassError(QStringLiteral("Свойство %1 не существует").arg(name));
        rest = rest.mid(dot + 1);
    }
    if (const PropInfo *p = target->classInfo().find(rest); p && p->kind() != Kind::Method) {
        readPropertyValue(*target, *p);
        return;
    }
    const QString savedProperty = property_;
    const bool savedFound = found_;
    property_ = rest.toString();
    found_ = false;
    target->DefineProperties(*this);
    const bool found = found_;
    property_ = savedProperty;
    found_ = savedFound;
    if (!found)
        throw ClassError(QStringLiteral("Свойство %1 не существует").arg(name));
}

void TReader::ReadProperties(TPersistent &object)
{
    while (!EndOfList())
        ReadProperty(object);
    ReadListEnd();
}

void TReader::readPropertyValue(TPersistent &object, const PropInfo &property)
{
    const TypeInfo &type = *property.type;
    const auto set = [&](const Variant &v) {
        if (property.set)
            property.set(object, v);
    };
    switch (type.kind) {
    case Kind::Integer: set(Variant(ReadInteger())); return;
    case Kind::Int64: set(Variant::int64(ReadInt64())); return;
    case Kind::Char:
    case Kind::WChar: {
        if (NextValue() == ValueType::Int8 || NextValue() == ValueType::Int16) {
            const int code = ReadInteger();
            set(Variant(type.kind == Kind::Char ? fromCp1251(QByteArray(1, static_cast<char>(code)))
                                                : QString(QChar(static_cast<char16_t>(code)))));
        } else {
            set(Variant(ReadString().left(1)));
        }
        return;
    }
    case Kind::Enum: {
        const int ordinal = enumValue(type, ReadIdent());
        if (ordinal < 0)
            badValue();
        set(Variant(ordinal));
        return;
    }
    case Kind::Set: set(Variant(static_cast<qint64>(ReadSet(type)))); return;
    case Kind::Float: set(Variant(ReadFloat())); return;
    case Kind::String: set(Variant(ReadString())); return;
    case Kind::WString: set(Variant::oleStr(ReadString())); return;
    case Kind::Variant: set(ReadVariant()); return;
    case Kind::Class: {
        const ValueType next = NextValue();
        if (next == ValueType::Nil) {
            ReadValue();
            if (property.setObject)
                property.setObject(object, nullptr);
        } else if (next == ValueType::Collection) {
            ReadCollection(dynamic_cast<TCollection *>(property.getObject ? property.getObject(object) : nullptr));
        } else {
            fixups_.push_back({&object, &property, ReadIdent()});
        }
        return;
    }
    case Kind::Method: SkipValue(); return;
    }
}

void TReader::FixupReferences()
{
    for (const Fixup &f : fixups_) {
        if (!root_ || !f.property->setObject)
            continue;
        TComponent *found = root_->Name().compare(f.name, Qt::CaseInsensitive) == 0 ? root_ : root_->FindComponent(f.name);
        if (!found)
            continue;
        try {
            f.property->setObject(*f.object, found);
        } catch (const InvalidCast &) {
            // A name of an object of another class leaves the property unset.
        }
    }
    fixups_.clear();
}

} // namespace platform::classlib
