#pragma once
// The part of the form translation that both helper units share: the language
// file's name and the walk over a window's controls. Each unit's TranslateForm
// reads the language settings its own way and then calls translateWindow.

#include <QString>

class QObject;

namespace mapdata {

// The local machine's key that holds "Language" and "PathWorkFiles".
inline constexpr char16_t LanguageRegistryKey[] = u"\\SOFTWARE\\Quillery 6";

// The language file for a language number above 0: the folder (one trailing
// "\" dropped), "\" and "ukraine.lng" for 1, "russian.lng" for any other.
QString languageFileName(int language, QString folder);

// Translates the application's window of that component name from the
// language file: its caption when it derives directly from "TForm", then every
// control it owns whose exact class is one the translation knows. Nothing
// happens when the file or the window does not exist. Bit buttons ("TBitBtn")
// are translated only when asked.
void translateWindow(const QString &formName, const QString &fileName, bool translateBitButtons);

} // namespace mapdata
