#pragma once
// The report library's texts by number (in place of the program's string
// resources) and its named pictures (Qt resources under ":/reports/").

#include <QImage>
#include <QString>

namespace reports {

class Locale {
public:
    // The text of that number; empty for a number the library has no text of.
    QString LoadString(int id) const;
    // The picture of that name; a null image when there is none.
    QImage LoadBitmap(const QString &name) const;
};

// The one locale object, made on first use.
Locale &GetLocale();

// GetLocale().LoadString(id).
QString GetResourceText(int id);

} // namespace reports
