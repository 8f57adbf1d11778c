#include "mapdata/VykFunctions.h"

namespace VykFunctions {

// ==== Text and number routines ====

// ==== end of text and number routines ====


// ==== Number and date words ====

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====
} // namespace VykFunctions

#include "mapdata/FormTranslation.h"

#include <cmath>

namespace VykFunctions {

namespace {

// replaced by TextToInt on merge
// Stand-in for this unit's integer converter: only digits and a minus that
// stands first are kept, so separators vanish ("12.7" reads 127); the value is
// reduced to its low 32 bits.
int textToIntStandIn(const QString &text)
{
    QString digits;
    for (QChar c : text.trimmed()) {
        if (c.isDigit() && c.unicode() < 128)
            digits += c;
        else if (c == u'-' && digits.isEmpty())
            digits += c;
    }
    if (digits.isEmpty() || digits == u"-")
        return 0;
    const double v = digits.toDouble();
    if (!(std::fabs(v) < 9.0e18))
        return 0;
    return static_cast<int>(static_cast<quint32>(static_cast<qint64>(v)));
}

} // namespace

QString ReadRegString(platform::RegRoot root, const QString &key, const QString &name, const QString &def)
{
    return platform::Registry::instance().readString(root, key, name).value_or(def);
}

bool WriteRegString(platform::RegRoot root, const QString &key, const QString &name, const QString &text)
{
    return platform::Registry::instance().writeString(root, key, name, text);
}

void TranslateForm(const QString &formName)
{
    const QString key = QString::fromUtf16(mapdata::LanguageRegistryKey);
    const int language =
        textToIntStandIn(ReadRegString(platform::RegRoot::LocalMachine, key, QStringLiteral("Language"), QString()));
    if (language <= 0)
        return;
    const QString folder =
        ReadRegString(platform::RegRoot::LocalMachine, key, QStringLiteral("PathWorkFiles"), QStringLiteral("0"));
    mapdata::translateWindow(formName, mapdata::languageFileName(language, folder), true);
}

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====

// ==== end of geometry ====

} // namespace VykFunctions
