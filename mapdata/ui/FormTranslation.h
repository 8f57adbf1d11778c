#pragma once
// The form translation of the two helper units, apart from them because it
// walks widgets: the language file's name and the walk over a window's
// controls that both share, and each unit's TranslateForm, which reads the
// language settings its own way and then calls translateWindow.

#include "mapdata/MapFunctions.h"

#include <QString>

class QObject;

namespace mapdata {

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

namespace MapFunctions {
// Translates the texts of the application's window of that component name from
// the language file chosen by "Language" and "PathWorkFiles" of the local
// machine's key "\SOFTWARE\Quillery 6" (read with ReadMachineRegString). Bit
// buttons keep their captions; VykFunctions.TranslateForm translates them.
void TranslateForm(const QString &formName);
} // namespace MapFunctions

namespace VykFunctions {
// Translates the texts of the application's window of that component name from
// the language file chosen by "Language" and "PathWorkFiles" of the local
// machine's key "\SOFTWARE\Quillery 6" (read with ReadRegString). Bit buttons
// are translated too; MapFunctions.TranslateForm leaves them alone.
void TranslateForm(const QString &formName);
} // namespace VykFunctions
