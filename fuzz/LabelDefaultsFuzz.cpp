// Feeds arbitrary bytes as "VYK.INI" to the label defaults of "Добавить
// обозначения". Reading never fails, and the ini text written back from what
// was parsed gives the same defaults.

#include "dialogs/LabelSettings.h"
#include "platform/IniFile.h"
#include "platform/TextCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // No file of that name: the ini is what is parsed.
    platform::IniFile ini(QStringLiteral("/nonexistent/VYK.INI"));
    ini.parse(platform::fromCp1251(bytes));
    const dialogs::labels::LabelSettings first = dialogs::labels::readNewLabelDefaults(ini);
    platform::IniFile again(QStringLiteral("/nonexistent/VYK.INI"));
    again.parse(ini.text());
    if (!(dialogs::labels::readNewLabelDefaults(again) == first))
        __builtin_trap();
    return 0;
}
