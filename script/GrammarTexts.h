#pragma once
// The grammars of the four built-in script languages as XML texts. They are
// kept readable in script/grammars/*.grammar, in the rule notation below, and
// tools/grammargen writes them into a source of the build as one-line XML
// texts; the parser interprets them at run time (script/ILParser.h), so a
// language may be replaced by registering another text under its name
// (script/Languages.h).
//
// The notation of a rule line: - `name` {attributes} = children, the
// children separated by commas. A child is
// - a terminal (char, keyword, ident, number, string, frstring, eol), with
//   its expected text in double quotes: char "(" {err=err7};
// - a combinator (sequence, switch, optionalswitch, loop, optionalloop,
//   optional), with a loop's separator in double quotes, attributes in
//   braces and its children in parentheses: loop "," (`expression`);
// - a rule reference, the rule's name in backticks, with attributes in
//   braces: `statement` {node=thenstmt}.
// "(nothing)" stands for a rule without children. The XML text is the
// header, then `language` (text = the name) holding `parser` (the settings in
// file order, `keywords`, `errors`), `types`, and one element per rule in file
// order; the text attribute comes first, then the braces' attributes in their
// order; "<", ">", "&" and the double quote in values are written as
// character references.

namespace script {

struct BuiltInGrammar {
    const char *name;
    const char *text;
};

// In the order of registration: JScript, ZoridEdodud, D++Eviviz, PascalScript.
extern const BuiltInGrammar kBuiltInGrammars[];
extern const int kBuiltInGrammarCount;

} // namespace script
