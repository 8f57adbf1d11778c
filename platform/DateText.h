#pragma once
// Dates written as text, as tables, statements and typed values hold them.

#include <QDate>
#include <QStringView>

namespace platform {

// The date of a text in one of the forms "dd.MM.yyyy" (also "d.M.yyyy"),
// "yyyy-MM-dd", "yyyyMMdd" and "dd/MM/yyyy"; blanks around it and a time
// after it (after a blank or a "T") are passed over. An invalid date when the
// text is none of them. The forms exclude each other (each has its own
// separators), so the order in which they are tried changes nothing.
QDate readDateText(QStringView text);

} // namespace platform
