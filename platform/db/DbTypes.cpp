#include "platform/db/DbTypes.h"

#include "platform/TextCodec.h"

namespace platform::db {

bool isStringType(FieldType t)
{
    return t == FieldType::String || t == FieldType::FixedChar || t == FieldType::WideString;
}

bool isIntegerType(FieldType t)
{
    return t == FieldType::Smallint || t == FieldType::Integer || t == FieldType::Word || t == FieldType::AutoInc
        || t == FieldType::Largeint;
}

bool isFloatType(FieldType t)
{
    return t == FieldType::Float || t == FieldType::Currency || t == FieldType::BCD;
}

bool isNumericType(FieldType t)
{
    return isIntegerType(t) || isFloatType(t);
}

bool isBlobType(FieldType t)
{
    switch (t) {
    case FieldType::Bytes:
    case FieldType::VarBytes:
    case FieldType::Blob:
    case FieldType::Memo:
    case FieldType::Graphic:
    case FieldType::FmtMemo:
    case FieldType::ParadoxOle:
    case FieldType::DBaseOle:
    case FieldType::TypedBinary:
        return true;
    default:
        return false;
    }
}

QString fieldTypeName(FieldType t)
{
    switch (t) {
    case FieldType::String:
    case FieldType::FixedChar:
    case FieldType::WideString:
        return QStringLiteral("строка");
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::AutoInc:
    case FieldType::Largeint:
        return QStringLiteral("целое число");
    case FieldType::Float:
    case FieldType::BCD:
        return QStringLiteral("число");
    case FieldType::Currency:
        return QStringLiteral("денежная сумма");
    case FieldType::Boolean:
        return QStringLiteral("логическое");
    case FieldType::Date:
        return QStringLiteral("дата");
    case FieldType::Time:
        return QStringLiteral("время");
    case FieldType::DateTime:
        return QStringLiteral("дата и время");
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return QStringLiteral("примечание");
    case FieldType::Unknown:
        return QStringLiteral("неизвестный тип");
    default:
        return QStringLiteral("двоичные данные");
    }
}

int findFieldDef(const FieldDefs &defs, QStringView name)
{
    const QStringView n = name.trimmed();
    for (size_t i = 0; i < defs.size(); ++i)
        if (ansiSameText(defs[i].name, n))
            return static_cast<int>(i);
    return -1;
}

} // namespace platform::db
