#pragma once
// The script languages and the engine's messages.
//
// The language registry maps a language name (matched ignoring case) to the
// XML text of its grammar. The program registers the four built-in
// languages at start (RegisterBuiltInLanguages); AddLanguage replaces the
// grammar of a name already registered.
//
// The 17 messages are writable globals: the XML report library puts its
// own texts in their place at its start; whoever raises one reads it then.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace script {

// Registers or replaces a language; parsers made afterwards use the new
// grammar.
void AddLanguage(const QString &name, const QByteArray &grammar);
// The grammar registered under the name; raises ScriptError with
// SLangNotFound when there is none.
QByteArray GetLanguageGrammar(const QString &name);
// The names, in the order registered.
QStringList LanguageNames();
// A number that changes whenever a grammar is registered or replaced (the
// parsed grammars are cached under it).
int LanguagesVersion();
// JScript, ZoridEdodud, D++Eviviz and PascalScript, in that order, from
// script/grammars.
void RegisterBuiltInLanguages();

// The messages, with their built-in texts. Those ending in ": " are followed
// by a name in single quotes.
extern QString SLangNotFound;      // "Language '%s' not found"
extern QString SInvalidLanguage;   // "Invalid language definition"
extern QString SIdRedeclared;      // "Identifier redeclared: "
extern QString SUnknownType;       // "Unknown type: "
extern QString SIncompatibleTypes; // "Incompatible types"
extern QString SIdUndeclared;      // "Undeclared identifier: "
extern QString SClassRequired;     // "Class type required"
extern QString SIndexRequired;     // "Index required"
extern QString SStringError;       // "Strings doesn't have properties or methods"
extern QString SClassError;        // "Class %s does not have a default property"
extern QString SArrayRequired;     // "Array type required"
extern QString SVarRequired;       // "Variable required"
extern QString SNotEnoughParams;   // "Not enough actual parameters"
extern QString STooManyParams;     // "Too many actual parameters"
extern QString SLeftCantAssigned;  // "Left side cannot be assigned to"
extern QString SForError;          // "For loop variable must be numeric variable"
extern QString SEventError;        // "Event handler must be a procedure"

// Puts the built-in texts back (tests that pin them).
void ResetScriptMessages();

} // namespace script
