#pragma once
// What the report component's file half shares with its callers: the
// password prompt of protected templates, the pages section of a template
// on its own, new template pages, band alignment before a build and the
// dictionary of the file formats.

#include <QString>

#include <functional>
#include <optional>

class QIODevice;

namespace reports {

class DataDictionary;
class Page;
class TfrReport;

// Asks for a protected template's password; none when cancelled. Without a
// prompt installed the report dialogs' password window asks (the headless
// service cancels, so a protected template read from a file is not opened).
using PasswordPrompt = std::function<std::optional<QString>()>;
void setPasswordPrompt(PasswordPrompt prompt);

// The date-time now as a day count from 30 December 1899.
double NowAsDays();

// The pages section of a template (without version byte, end byte or report
// information), in the form of the library's StreamVersion. Reading clears
// the report first and raises on damaged input; add-in classes that are not
// registered leave ClassErrorFlag set.
void LoadTemplatePages(TfrReport &report, QIODevice &stream);
void SaveTemplatePages(TfrReport &report, QIODevice &stream);

// A new report page with the printer's default paper and a name "Page" +
// the first number no page of the report has.
Page *AddTemplatePage(TfrReport &report);

// Draws every band-aligned object once on the measuring canvas so that its
// alignment applies (at the start of a build).
void ApplyBandAligns(TfrReport &report);

// The report's dictionary as the file formats keep it; none when another
// kind of dictionary was installed.
DataDictionary *FileDictionary(const TfrReport &report);

} // namespace reports
