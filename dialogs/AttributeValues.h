#pragma once
// The attribute panel's rules without a window: how a typed text becomes a
// field's value (by the field's type), which field is never written, the
// "DATEEDIT" stamp, the value that stands for a row in the object list, and
// when "<<" and ">>" can be used.

#include "platform/db/DataSet.h"

#include <QString>

#include <utility>
#include <vector>

namespace dialogs::attributes {

// "ID" in any letter case, blanks around it ignored.
bool isIdField(const QString &name);

// What writing a text into a field of that type does.
struct FieldWrite {
    bool written = false;  // false: the type is not written from the panel
    QVariant value;        // null clears the field
    QString shownText;     // the text as the list shows it afterwards
};
// Text fields take the text; integer fields the integer of its digits;
// logical fields true for "true" or "1" (trimmed, lower case, and shown so);
// float fields the number. An empty number clears the field, or gives 0 when
// assigning to all objects.
FieldWrite fieldWrite(platform::db::FieldType type, const QString &text, bool assignAll);

// Writes the named texts into the current record of a data set in edit mode:
// fields it does not have and "ID" are passed over. When a value changed and
// the table has "DATEEDIT", that field becomes today's date. Answers whether
// a value changed; shown texts come back in place.
bool writeValues(platform::db::DataSet &table, std::vector<std::pair<QString, QString>> &values, bool assignAll);

// The value that stands for the current record: the first character field
// that is not empty, else the first field's text.
QString displayValue(const platform::db::DataSet &table);

// "<<" and ">>" over a list of n objects with object e current.
bool priorEnabled(int objects, int current);
bool nextEnabled(int objects, int current);

} // namespace dialogs::attributes
