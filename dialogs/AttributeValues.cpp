#include "dialogs/AttributeValues.h"

#include "mapdata/MapFunctions.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"

#include <cmath>

namespace dialogs::attributes {

using platform::db::FieldType;

namespace {

// Null, or a text that a character field stores as blanks.
bool blankValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return true;
    return v.metaType().id() == QMetaType::QString && v.toString().trimmed().isEmpty();
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    const bool nullA = blankValue(a), nullB = blankValue(b);
    if (nullA || nullB)
        return nullA == nullB;
    const int ta = a.metaType().id(), tb = b.metaType().id();
    const bool numA = ta == QMetaType::Int || ta == QMetaType::LongLong || ta == QMetaType::Double;
    const bool numB = tb == QMetaType::Int || tb == QMetaType::LongLong || tb == QMetaType::Double;
    if (numA && numB)
        return a.toDouble() == b.toDouble();
    // Character fields keep no blanks at the end.
    auto text = [](const QVariant &v) {
        QString t = v.toString();
        while (t.endsWith(u' '))
            t.chop(1);
        return t;
    };
    return a == b || text(a) == text(b);
}

} // namespace

bool isIdField(const QString &name)
{
    return name.trimmed().compare(QStringLiteral("ID"), Qt::CaseInsensitive) == 0;
}

FieldWrite fieldWrite(FieldType type, const QString &text, bool assignAll)
{
    FieldWrite w;
    w.shownText = text;
    const bool blank = text.trimmed().isEmpty();
    if (platform::db::isStringType(type) || type == FieldType::Memo || type == FieldType::FmtMemo) {
        w.written = true;
        w.value = text;
    } else if (type == FieldType::Smallint || type == FieldType::Integer || type == FieldType::Word
               || type == FieldType::Largeint) {
        w.written = true;
        if (blank && !assignAll)
            w.value = QVariant();
        else {
            std::int32_t v = 0;
            try {
                v = MapFunctions::TextToInt(MapFunctions::TextToDigits(text));
            } catch (const platform::ConvertError &) {
                v = 0;
            }
            w.value = v;
        }
    } else if (type == FieldType::Boolean) {
        w.written = true;
        w.shownText = text.trimmed().toLower();
        w.value = w.shownText == u"true" || w.shownText == u"1";
    } else if (type == FieldType::Float || type == FieldType::Currency || type == FieldType::BCD) {
        w.written = true;
        if (blank && !assignAll) {
            w.value = QVariant();
        } else {
            double v = 0;
            try {
                v = MapFunctions::TextToFloat(text, 0);
            } catch (const platform::ConvertError &) {
                v = 0;
            }
            w.value = v;
        }
    }
    return w;
}

bool writeValues(platform::db::DataSet &table, std::vector<std::pair<QString, QString>> &values, bool assignAll)
{
    bool changed = false;
    for (auto &[name, text] : values) {
        platform::db::Field *f = table.findField(name);
        if (!f || isIdField(name) || f->isCalculated())
            continue;
        const FieldWrite w = fieldWrite(f->dataType(), text, assignAll);
        if (!w.written)
            continue;
        text = w.shownText;
        const QVariant old = f->value();
        f->setValue(w.value);
        if (!sameValue(old, f->value()))
            changed = true;
    }
    if (changed) {
        if (platform::db::Field *date = table.findField(u"DATEEDIT"))
            date->setValue(platform::currentDateTime().date());
    }
    return changed;
}

QString displayValue(const platform::db::DataSet &table)
{
    for (int i = 0; i < table.fieldCount(); ++i) {
        const platform::db::Field &f = table.field(i);
        if (f.def().dbfType == 'C' || (f.def().dbfType == 0 && platform::db::isStringType(f.dataType()))) {
            const QString v = f.asString();
            if (!v.trimmed().isEmpty())
                return v;
        }
    }
    return table.fieldCount() > 0 ? table.field(0).asString() : QString();
}

bool priorEnabled(int objects, int current)
{
    return objects >= 2 && current > 0;
}

bool nextEnabled(int objects, int current)
{
    return objects >= 2 && current >= 0 && current < objects - 1;
}

} // namespace dialogs::attributes
